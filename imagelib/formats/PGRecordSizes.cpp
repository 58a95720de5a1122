#include "imagelib/formats/PGRecordSizes.h"

#include "classlib/finally.h"
#include "classlib/winapi.h"  // before jpeglib.h: both define boolean, alike on Windows
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

#include "classlib/text.h"
#include "imagelib/formats/PGCodecBridge.h"
#include "imagelib/formats/PGLibSizes.h"

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

// The JPEG library's refusal is named after the record it refused, and leaves as the glue's do.
struct TCheckError {
  jpeg_error_mgr Manager;  // first: the library's err pointer is this record
  TCodecJump Jump;
  const char* Record = nullptr;
};

void CheckErrorExit(j_common_ptr Info) {
  auto* error = reinterpret_cast<TCheckError*>(Info->err);
  char text[JMSG_LENGTH_MAX];
  error->Manager.format_message(Info, text);
  error->Jump.Fail(error->Record, text);
}

void NoOutput(j_common_ptr) {}

// Creates and destroys one object of the kind; the library compares its own record size and
// version with ours and refuses with EPixelGraphic "<record>: <its text>".
template <class Object>
void CheckJpegObject(const char* Record, void (*Create)(Object*, int, size_t), void (*Destroy)(Object*)) {
  TCheckError error{};
  error.Record = Record;
  Object object{};
  object.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = CheckErrorExit;
  error.Manager.output_message = NoOutput;
  Finally([&] { error.Jump.Call<EPixelGraphic>([&] { Create(&object, JPEG_LIB_VERSION, sizeof object); }); },
          [&] { Destroy(&object); });
}

void PngWarning(png_structp, png_const_charp) {}
void PngError(png_structp Png, png_const_charp Text) {
  static_cast<TCodecJump*>(png_get_error_ptr(Png))->Fail("png_struct: ", Text);
}

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
  CheckJpegObject<jpeg_decompress_struct>("jpeg_decompress_struct: ", jpeg_CreateDecompress, jpeg_destroy_decompress);
  CheckJpegObject<jpeg_compress_struct>("jpeg_compress_struct: ", jpeg_CreateCompress, jpeg_destroy_compress);
  // The PNG library refuses to make its structures for a program built with other headers.
  TCodecJump jump;
  png_structp png = nullptr;
  jump.Call<EPixelGraphic>([&] { png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &jump, PngError, PngWarning); });
  if (!png)
    throw EPixelGraphic(std::string("png_struct: the PNG library ") + png_get_libpng_ver(nullptr) +
                        " does not accept the version " PNG_LIBPNG_VER_STRING);
  png_destroy_read_struct(&png, nullptr, nullptr);
}

}  // namespace imagelib
