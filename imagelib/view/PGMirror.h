// Mirrored copies of a picture, for the view's mirrored tiles.
#pragma once

#include "imagelib/PGraphic.h"

namespace imagelib {

// A new picture owned by the caller: Source mirrored left to right and/or top to bottom, with the
// same size, bit count and palette colours; the raw pixel values are moved, not converted. Empty
// for a source without width or height.
TPixelGraphic* MirroredPixelGraphic(TPixelGraphic* Source, bool Horizontal, bool Vertical);

}  // namespace imagelib
