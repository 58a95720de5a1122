/* Record sizes as C code compiled with the JPEG and PNG libraries' headers sees them; png_info is
   opaque in the PNG library and has no size to report. */
#include <stddef.h>
#include <stdio.h>

#include <jpeglib.h>
#include <png.h>

size_t SizeOfPngColor(void) { return sizeof(png_color); }
size_t SizeOfPngColor8(void) { return sizeof(png_color_8); }
size_t SizeOfPngColor16(void) { return sizeof(png_color_16); }
size_t SizeOfPngText(void) { return sizeof(png_text); }
size_t SizeOfPngTime(void) { return sizeof(png_time); }
size_t SizeOfJpegErrorMgr(void) { return sizeof(struct jpeg_error_mgr); }
size_t SizeOfJpegDecompressStruct(void) { return sizeof(struct jpeg_decompress_struct); }
size_t SizeOfJpegCompressStruct(void) { return sizeof(struct jpeg_compress_struct); }
size_t SizeOfJpegCommonStruct(void) { return sizeof(struct jpeg_common_struct); }
