// The headers of a packed device-independent bitmap, read and checked in one place: the picture
// reads a block through them, and the bitmap reader describes a file through them, so the two
// refuse the same headers with the same texts.
#pragma once

#include <cstdint>

#include "classlib/streams.h"

namespace imagelib::dib {

using classlib::TStream;

constexpr int kCoreHeaderSize = 12;
constexpr int kInfoHeaderSize = 40;
constexpr int kMasksSize = 12;  // red, green, blue channel masks behind an info header

enum : uint32_t { kBiRGB = 0, kBiRLE8 = 1, kBiRLE4 = 2, kBiBitFields = 3 };

struct TDIBHeader {
  bool Core = false;
  int64_t Width = 0;
  int64_t Height = 0;  // as stored: negative for top-down rows
  int BitCount = 0;
  uint32_t Compression = kBiRGB;
  uint32_t SizeImage = 0;
  uint32_t ClrUsed = 0;
  uint32_t Masks[3] = {};  // red, green, blue: as stored with bit fields, else the defaults (16, 32 bits)
};

// Each reads its header at the stream position (and, with bit fields, the masks behind it) and
// checks every field as it comes: EPGBMPFileFormatReader "BMP: <field> invalid", "BMP: Unexpected
// end of file" for a header the stream cannot deliver whole; a negative width or a picture beyond
// the size limit fails as NewImage would fail for it.
TDIBHeader ReadCoreHeader(TStream* Stream);
TDIBHeader ReadInfoHeader(TStream* Stream);

}  // namespace imagelib::dib
