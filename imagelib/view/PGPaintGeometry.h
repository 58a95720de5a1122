// The picture view's painting geometry, free of windows: the grid of tiles that covers the client
// area, which tiles are drawn mirrored, and where the progress clocks and their hands go.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/types.h"

namespace imagelib {

// How the picture fills the client area around its rectangle.
enum TTiling : uint8_t { tNone, tRepeat, tMirrorHorizontal, tMirrorVertical, tMirror };

// Tiles (Column, Row) for Column in I0..I1 and Row in J0..J1; tile (0, 0) is the picture's own
// rectangle, tile (i, j) that rectangle moved by i widths and j heights.
struct TTileGrid {
  int I0 = 0, I1 = -1, J0 = 0, J1 = -1;  // empty unless filled
  bool Empty() const { return I1 < I0 || J1 < J0; }
};

// The fewest tiles of Picture that cover Client (only tile (0, 0) for tNone). A picture
// rectangle without width or height has no tiles at all.
TTileGrid TileGrid(const classlib::TRect& Picture, const classlib::TRect& Client, TTiling Tiling);
// Tile (Column, Row) of Picture, held in the 32-bit range.
classlib::TRect TileRect(const classlib::TRect& Picture, int Column, int Row);
// Whether the tile touches Clip (its edges included).
bool TileVisible(const classlib::TRect& Tile, const classlib::TRect& Clip);

// How a tile is drawn: mirrored left to right, top to bottom, both or neither. A flip and an odd
// index under a mirroring tiling cancel each other.
struct TTileMirror {
  bool Horizontal = false, Vertical = false;
};
TTileMirror TileMirror(int Column, int Row, bool FlipHorizontal, bool FlipVertical, TTiling Tiling);

// A progress clock is drawn in a square of PGProgressClockSize pixels, its hands starting
// PGProgressClockCentre pixels right of and below the square's corner.
constexpr int PGProgressClockSize = 15, PGProgressClockCentre = 7;

// The top-left corners of the progress clocks over the picture rectangle R: one in the middle
// when R is larger than 20 x 20, four more in its corners with FiveClocks when it is at least
// 101 x 101.
std::vector<classlib::TPoint> ProgressClockCorners(const classlib::TRect& R, bool FiveClocks);
// The ends of the hour and minute hands of a clock centred at (0, 0) (y grows downward): a full
// turn of the minute hand per stage, an hour per stage.
struct TClockHands {
  classlib::TPoint Hour, Minute;
};
TClockHands ProgressClockHands(int Stage, int Percent);

}  // namespace imagelib
