// The progress clock that the picture view and the file dialogs' preview panel show while a
// picture is being made: the hour hand counts the stages, the minute hand turns once per stage.
#pragma once

#include "classlib/canvas.h"

namespace imagelib {

// Draws the clock in the PGProgressClockSize square whose top-left corner is (X, Y): the face in
// BkColor, outlined and with its hands in LineColor. Leaves the canvas's pen and brush solid, in
// those colours.
void PaintProgressClock(classlib::TCanvas* Canvas, int X, int Y, int Stage, int Percent, classlib::TColor LineColor,
                        classlib::TColor BkColor);

}  // namespace imagelib
