// Timing and picture helpers shared by the benchmarks.
#pragma once

#include <functional>
#include <string>

#include "imagelib/PGraphic.h"

namespace bench {

// Seconds on the clock the benchmarks use: processor time of this process natively (on a shared
// machine, time spent waiting for a processor would count far more than the work), wall-clock time
// in the Windows build (Wine's processor times are counted in scheduler ticks) and after
// UseWallClock, for comparing the two builds.
double Seconds();
void UseWallClock();

// The least seconds of Runs calls of Body after one warm-up call. Whatever else the machine does
// only adds to a call's time, so the least is the nearest to an undisturbed call.
double LeastSeconds(const std::function<void()>& Body, int Runs);

// A binary PPM (P6, maxval 255) as a 24-bit picture; exits with a message on anything else.
imagelib::TPixelGraphic* LoadPPM(const std::string& FileName);

// The palette of Ident as a 1-pixel-high binary PPM, for other tools to remap to.
void WritePalettePPM(imagelib::TPaletteIdent Ident, const std::string& FileName);

}  // namespace bench
