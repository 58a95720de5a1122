// The isometric lattice of the drawing window for a grid size G: the horizontal step is 17G and
// the vertical step 10G (10 : 17 is close to tan 30 degrees). Integer division truncates toward
// zero. Everything is computed in 64 bits and clamped to the 32-bit range, so that any grid size
// is safe; a grid size of 0 or less snaps nothing and has no dots.
#pragma once

#include <vector>

#include "classlib/types.h"
#include "drawing/ToolKind.h"

namespace skadra {

using classlib::TPoint;

// Tools whose points snap: the long line and the three short lines.
bool ToolSnaps(TToolKind Tool);

// The snap lattice is x = 39 + 17G*k, y = 20 + 10G*m; the first column and row take a wider band
// because the division truncates toward zero.
TPoint SnapToLattice(int X, int Y, int GridSize);

// 17*|dy| = 10*|dx| with dx != 0: on the snap lattice, as many columns as rows. A segment with
// dx = 0 is not isometric by this test (callers treat vertical segments apart).
bool IsIsometric(TPoint P, TPoint Q);

// A short line is refused when its release point (raw) is too near the control's edge: the
// NE-SW line at the left, the N-S line at the bottom, the NW-SE line at the right. Other tools
// are never refused.
bool ShortLineRefused(TToolKind Tool, int X, int Y, int GridSize, int ControlWidth, int ControlHeight);

// The far end of the short line of Tool drawn from From: 20G down (N-S), 17G left and 10G down
// (NE-SW), 17G right and 10G down (NW-SE). Other tools: From.
TPoint ShortLineEnd(TToolKind Tool, TPoint From, int GridSize);

// The grid's dots in drawing order: 80 div G row pairs from y = 20, row A with (42 div G) + 1
// dots at x = 40 + 34G*j, row B with 42 dots at x = 40 + 17G + 34G*j.
std::vector<TPoint> GridDots(int GridSize);

}  // namespace skadra
