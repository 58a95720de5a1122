// The sizes of the records the image library shares with the JPEG and PNG libraries, as the code
// compiled beside those libraries lays them out (a C unit built with the libraries' own headers).
#pragma once

#include <cstddef>

extern "C" {
size_t SizeOfPngColor(void);
size_t SizeOfPngColor8(void);
size_t SizeOfPngColor16(void);
size_t SizeOfPngText(void);
size_t SizeOfPngTime(void);
size_t SizeOfJpegErrorMgr(void);
size_t SizeOfJpegDecompressStruct(void);
size_t SizeOfJpegCompressStruct(void);
size_t SizeOfJpegCommonStruct(void);
}
