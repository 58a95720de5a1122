// Timing and picture helpers shared by the benchmarks.
#pragma once

#include <functional>
#include <string>

#include "imagelib/PGraphic.h"

namespace bench {

// Median wall-clock seconds of Runs calls of Body after one warm-up call.
double MedianSeconds(const std::function<void()>& Body, int Runs);

// Median wall-clock seconds of Runs runs of a shell command (output discarded) after one warm-up;
// exits with a message when the command fails.
double MedianCommandSeconds(const std::string& Command, int Runs);

// A binary PPM (P6, maxval 255) as a 24-bit picture; exits with a message on anything else.
imagelib::TPixelGraphic* LoadPPM(const std::string& FileName);

// The palette of Ident as a 1-pixel-high binary PPM, for other tools to remap to.
void WritePalettePPM(imagelib::TPaletteIdent Ident, const std::string& FileName);

}  // namespace bench
