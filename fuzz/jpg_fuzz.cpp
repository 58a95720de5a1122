// The JPEG reader and, on what it loads, the writer (codec_fuzz.h).
#include "fuzz/codec_fuzz.h"
#include "imagelib/formats/PGJPGFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  return fuzzsupport::FuzzCodec<imagelib::TJPGFileFormatReader, imagelib::TJPGFileFormatWriter>(Data, Size, false);
}
