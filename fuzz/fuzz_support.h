// What the fuzz targets share: the library's start, the way a finding ends the run, and the
// comparison of two pictures.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "imagelib/PGraphic.h"

namespace fuzzsupport {

using namespace imagelib;

inline void Start() {
  static bool started = [] {
    classlib::Startup();
    InitPGraphicUnit();  // registers every reader
    return true;
  }();
  (void)started;
}

[[noreturn]] inline void Finding(const char* What) {
  std::fprintf(stderr, "finding: %s\n", What);
  std::abort();
}

// The picture's pixels and colours, compared with another's: same size, bit count, raw pixel
// memory and the colours every index shows.
inline bool SamePicture(TPixelGraphic* A, TPixelGraphic* B) {
  if (A->GetWidth() != B->GetWidth() || A->GetHeight() != B->GetHeight() || A->GetBitCount() != B->GetBitCount() ||
      A->GetImageSize() != B->GetImageSize())
    return false;
  if (A->GetImageSize() > 0 && std::memcmp(A->GetBits(), B->GetBits(), size_t(A->GetImageSize())) != 0) return false;
  if (A->GetBitCount() > 8) return true;
  TRGB a[256], b[256];
  A->ConversionColors(a);
  B->ConversionColors(b);
  return std::memcmp(a, b, sizeof(TRGB) * size_t(A->GetPaletteSize())) == 0;
}

}  // namespace fuzzsupport
