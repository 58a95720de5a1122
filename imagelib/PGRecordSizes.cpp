#include "imagelib/PGRecordSizes.h"

#include <csetjmp>
#include <cstdio>

#include "classlib/winapi.h"  // before jpeglib.h: both define boolean, alike on Windows
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include "classlib/text.h"
#include "imagelib/PGExceptions.h"
#include "imagelib/PGLibSizes.h"

namespace imagelib {

static_assert(JPEG_LIB_VERSION == 62, "the JPEG glue is written for the libjpeg 6.2 interface");
static_assert(PNG_LIBPNG_VER >= 10600 && PNG_LIBPNG_VER < 10700, "the PNG glue is written for libpng 1.6");

namespace {

const TPGRecordSize kRecords[] = {
    {"png_color", sizeof(png_color), SizeOfPngColor},
    {"png_color_8", sizeof(png_color_8), SizeOfPngColor8},
    {"png_color_16", sizeof(png_color_16), SizeOfPngColor16},
    {"png_text", sizeof(png_text), SizeOfPngText},
    {"png_time", sizeof(png_time), SizeOfPngTime},
    {"jpeg_error_mgr", sizeof(jpeg_error_mgr), SizeOfJpegErrorMgr},
    {"jpeg_decompress_struct", sizeof(jpeg_decompress_struct), SizeOfJpegDecompressStruct},
    {"jpeg_compress_struct", sizeof(jpeg_compress_struct), SizeOfJpegCompressStruct},
    {"jpeg_common_struct", sizeof(jpeg_common_struct), SizeOfJpegCommonStruct},
};

// The JPEG library reports a refusal through its error exit, which must not return: it jumps back.
struct JpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Text[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr Info) {
  auto* error = reinterpret_cast<JpegError*>(Info->err);
  error->Manager.format_message(Info, error->Text);
  std::longjmp(error->Jump, 1);
}

void OutputMessage(j_common_ptr) {}

// Creates and destroys one object of each kind; the library compares its own record sizes and
// version with ours. Returns the library's text on a refusal, or nothing.
bool JpegAccepts(bool Decompress, std::string& Text) {
  JpegError error{};
  jpeg_decompress_struct decompress{};
  jpeg_compress_struct compress{};
  decompress.err = compress.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = ErrorExit;
  error.Manager.output_message = OutputMessage;
  if (setjmp(error.Jump)) {
    if (Decompress)
      jpeg_destroy_decompress(&decompress);
    else
      jpeg_destroy_compress(&compress);
    Text = error.Text;
    return false;
  }
  if (Decompress) {
    jpeg_CreateDecompress(&decompress, JPEG_LIB_VERSION, sizeof decompress);
    jpeg_destroy_decompress(&decompress);
  } else {
    jpeg_CreateCompress(&compress, JPEG_LIB_VERSION, sizeof compress);
    jpeg_destroy_compress(&compress);
  }
  return true;
}

void PngWarning(png_structp, png_const_charp) {}
void PngError(png_structp Png, png_const_charp) { png_longjmp(Png, 1); }

}  // namespace

void CheckRecordSizes(const TPGRecordSize* Table, int Count) {
  for (int i = 0; i < Count; ++i) {
    size_t compiled = Table[i].Compiled();
    if (compiled != Table[i].Declared)
      throw EPixelGraphic(std::string(Table[i].Name) + ": the size in the compiled library (" +
                          classlib::IntToStr(int64_t(compiled)) + ") differs from the declared size (" +
                          classlib::IntToStr(int64_t(Table[i].Declared)) + ")");
  }
}

void CheckRecordSizes() {
  CheckRecordSizes(kRecords, int(sizeof kRecords / sizeof kRecords[0]));
  std::string text;
  if (!JpegAccepts(true, text)) throw EPixelGraphic("jpeg_decompress_struct: " + text);
  if (!JpegAccepts(false, text)) throw EPixelGraphic("jpeg_compress_struct: " + text);
  // The PNG library refuses to make its structures for a program built with other headers.
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngError, PngWarning);
  if (!png)
    throw EPixelGraphic(std::string("png_struct: the PNG library ") + png_get_libpng_ver(nullptr) +
                        " does not accept the version " PNG_LIBPNG_VER_STRING);
  png_destroy_read_struct(&png, nullptr, nullptr);
}

}  // namespace imagelib
