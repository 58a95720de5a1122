#include "imagelib/formats/PGCodecBridge.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "classlib/winapi.h"  // before jpeglib.h: both define boolean, alike on Windows
#include <jerror.h>
#include <jpeglib.h>
#include <png.h>
#include <zlib.h>

#include "imagelib/formats/PGFileFormats.h"

#ifndef JCS_EXTENSIONS
#error "the JPEG glue needs libjpeg-turbo's extended colour spaces (JCS_EXT_BGR)"
#endif

namespace imagelib {

// ---- the way back

void TCodecJump::Fail(const char* Prefix, const char* Text_) noexcept {
  std::snprintf(Text, sizeof Text, "%s%s", Prefix, Text_);
  std::longjmp(Jump, 1);
}

void TCodecJump::Leave() noexcept { std::longjmp(Jump, 1); }

void TCodecJump::Warn(TPGWarningAction Action, const char* FormatWord, const char* Prefix,
                      const char* Text_) noexcept {
  bool refused = false;
  // The box may run a modal loop; the window procedures keep their exceptions to themselves.
  bool ran = Try([&] {
    if (std::optional<std::string> refusal = PGWarningOutcome(Action, FormatWord, Prefix, Text_)) {
      std::snprintf(Text, sizeof Text, "%s", refusal->c_str());
      refused = true;
    }
  });
  // Every object of the block above is gone before the jump.
  if (refused || !ran) Leave();
}

// ---- buffered stream I/O

size_t TCodecInput::Fill() {
  int64_t got = FStream->Read(FBuffer.data(), int64_t(FBuffer.size()));
  FNext = 0;
  FEnd = got > 0 ? size_t(got) : 0;
  return FEnd;
}

size_t TCodecInput::Read(uint8_t* Data, size_t Count) {
  size_t done = 0;
  while (done < Count) {
    if (Available() == 0 && Fill() == 0) break;
    size_t n = std::min(Count - done, Available());
    std::memcpy(Data + done, Next(), n);
    FNext += n;
    done += n;
  }
  return done;
}

bool TCodecOutput::Write(const uint8_t* Data, size_t Count) {
  while (Count > 0) {
    if (FUsed == FBuffer.size() && !Flush()) return false;
    size_t n = std::min(Count, FBuffer.size() - FUsed);
    std::memcpy(FBuffer.data() + FUsed, Data, n);
    FUsed += n;
    Data += n;
    Count -= n;
  }
  return true;
}

bool TCodecOutput::Flush() {
  size_t used = FUsed;
  FUsed = 0;
  return WriteBuffer(used);
}

bool TCodecOutput::WriteBuffer(size_t Count) {
  return Count == 0 || FStream->Write(FBuffer.data(), int64_t(Count)) == int64_t(Count);
}

// ---- library versions

namespace {

const char* gJpegVersion = nullptr;
const char* gPngVersion = nullptr;
const char* gZlibVersion = nullptr;

// "M.N" followed by a dot, a blank or the end, for the release line M.N.
bool IsReleaseLine(const char* Text, int Major, int Minor) {
  std::string line = std::to_string(Major) + "." + std::to_string(Minor);
  if (!Text || std::strncmp(Text, line.c_str(), line.size()) != 0) return false;
  char next = Text[line.size()];
  return next == '.' || next == ' ' || next == '\0';
}

}  // namespace

const char* JPGLibraryVersion() {
  if (gJpegVersion) return gJpegVersion;
  jpeg_error_mgr error;
  jpeg_std_error(&error);  // its message table is the library's own, with the version as an entry
  return error.jpeg_message_table[JMSG_VERSION];
}

const char* PNGLibraryVersion() { return gPngVersion ? gPngVersion : png_get_libpng_ver(nullptr); }
const char* ZlibLibraryVersion() { return gZlibVersion ? gZlibVersion : zlibVersion(); }

bool JPGLibraryVersionOK() {
  // The record names the release of the interface the library provides, in the Independent JPEG
  // Group's style: interface 62 is release "6b".
  static_assert(JPEG_LIB_VERSION == 62, "the JPEG glue is written for the libjpeg 6.2 interface");
  const char* text = JPGLibraryVersion();
  return text && std::strncmp(text, "6b", 2) == 0 && (text[2] == ' ' || text[2] == '\0');
}

bool PNGLibraryVersionOK() {
  // zlib itself only insists on the same major release.
  const char* z = ZlibLibraryVersion();
  return IsReleaseLine(PNGLibraryVersion(), PNG_LIBPNG_VER_MAJOR, PNG_LIBPNG_VER_MINOR) && z &&
         z[0] == ZLIB_VERSION[0];
}

void testing::SetCodecVersionTexts(const char* Jpeg, const char* Png, const char* Zlib) {
  gJpegVersion = Jpeg;
  gPngVersion = Png;
  gZlibVersion = Zlib;
}

}  // namespace imagelib
