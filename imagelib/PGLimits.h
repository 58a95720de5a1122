// The size limit of every picture, with the messages and exceptions at the base of the library so
// that the model, the byte input below it and the readers all keep the same one: the pixel memory
// a picture may have, and the refusals of a size that no picture can have, as NewImage raises
// them. Readers ask before they believe a header's size; sizes are taken in 64 bits for that.
#pragma once

#include <cstdint>

#include "imagelib/PGExceptions.h"
#include "imagelib/PGMessages.h"

namespace imagelib {

// Shared limit of every picture: pixel memory above this many bytes is refused.
constexpr int64_t PGMaxImageSize = 0x7FFFFFFF;

// Whether the pixel memory of a Width x Height picture at BitsPerPixel (rows padded to 4 bytes)
// stays within PGMaxImageSize; the product is formed only once it cannot overflow.
inline bool ImageSizeWithinLimit(int64_t Width, int64_t Height, int BitsPerPixel) {
  const int64_t rowSize = ((BitsPerPixel * Width + 31) / 32) * 4;
  return rowSize <= PGMaxImageSize && (rowSize == 0 || Height <= PGMaxImageSize / rowSize);
}

// EPGInvalidSize "Negative width", then "Negative height".
inline void RequireNonNegativeSize(int64_t Width, int64_t Height) {
  if (Width < 0) throw EPGInvalidSize(PGLangStr(pgmNegativeWidth));
  if (Height < 0) throw EPGInvalidSize(PGLangStr(pgmNegativeHeight));
}

// Pixel memory beyond the limit is refused as a bitmap section that cannot be made:
// EPixelGraphic "CreateDIBSection failed".
inline void RequireImageSizeWithinLimit(int64_t Width, int64_t Height, int BitsPerPixel) {
  if (!ImageSizeWithinLimit(Width, Height, BitsPerPixel))
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "CreateDIBSection"));
}

}  // namespace imagelib
