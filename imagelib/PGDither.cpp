// Dithering state of a picture.
#include "imagelib/PGraphic.h"

namespace imagelib {

void TPixelGraphic::EndDither() {
  DitherRowCurrent.reset();
  DitherRowNext.reset();
  DitherLimitTable.reset();
}

}  // namespace imagelib
