// The optimised palette: chooses colours that represent a source picture well.
#pragma once

#include "imagelib/PGraphic.h"

namespace imagelib {

// Replaces Target's palette by up to MaxColors colours chosen from Source (median cut for a 24-bit
// source, an octree for a palette source), followed by the 16 system colours when AddSys16 while
// there is room. Target's pixels and bit count stay. Progress goes to Target's OnProgress per
// counted source row; Abort ends the counting and the palette is built from what was counted.
void CreateOptimizedPalette(TPixelGraphic* Target, TPixelGraphic* Source, int MaxColors, bool AddSys16);

}  // namespace imagelib
