// The arithmetic of the picture view's selection, free of windows: the selection's rectangle on
// screen, its eight handles, what a drag does to it, the strips its frame covers and the marching
// ants' pattern. Selection values come unchecked from programs and mouse drags, so every sum is
// formed in 64 bits and held in the 32-bit range.
#pragma once

#include <array>
#include <cstdint>

#include "classlib/types.h"

namespace imagelib {

// A selection in picture pixels.
struct TSelectionBounds {
  int Left = 0, Top = 0, Width = 1, Height = 1;
  bool operator==(const TSelectionBounds&) const = default;
};

// The handles in the order they are tested and drawn; drag state 4 + the handle's number.
enum TSelectionHandle : int {
  shTopLeft, shTop, shTopRight, shLeft, shRight, shBottomLeft, shBottom, shBottomRight, shNone = -1
};
constexpr int PGSelectionHandleCount = 8;

// Converts a picture coordinate to an on-screen one (the view's PictureToPicBoxX / Y).
struct TSelectionScale {
  int BoxWidth = 0, BoxHeight = 0;          // the TPicBox's size
  int PictureWidth = 0, PictureHeight = 0;  // the picture's size
};

// The selection's rectangle in TPicBox pixels (right and bottom exclusive).
classlib::TRect SelectionRectInPicBox(const TSelectionBounds& B, const TSelectionScale& Scale);
// Its rectangle in picture pixels.
classlib::TRect SelectionRectOf(const TSelectionBounds& B);

// The 5 x 5 square of handle H, 3 pixels outside the frame of S.
classlib::TRect SelectionHandleRect(const classlib::TRect& S, TSelectionHandle H);
// The first handle (in their order) whose square holds P; shNone when none does.
TSelectionHandle SelectionHandleAt(const classlib::TRect& S, classlib::TPoint P);

// What a press on handle H remembers: how far the picture point P lies from the edges H moves.
classlib::TPoint HandleGrabOffset(TSelectionHandle H, classlib::TPoint P, const TSelectionBounds& B);
// Dragging handle H to picture point P with that grab offset: the edges H holds stay, and the
// selection keeps at least one pixel in each direction.
TSelectionBounds ResizeSelection(TSelectionHandle H, const TSelectionBounds& B, classlib::TPoint P,
                                 classlib::TPoint Grab);
// Dragging the selection so that its top-left lies at P less the grab offset; it may leave the
// picture in part but keeps at least one pixel inside it.
TSelectionBounds MoveSelection(const TSelectionBounds& B, classlib::TPoint P, classlib::TPoint Grab,
                               int PictureWidth, int PictureHeight);
// The rubber band from Anchor to P: both corner pixels are inside.
TSelectionBounds RubberBandSelection(classlib::TPoint Anchor, classlib::TPoint P);

// The four strips, E pixels wide, that hold the frame drawn around F (and its handles when E
// leaves room for them): left, top, right, bottom.
std::array<classlib::TRect, 4> SelectionFrameStrips(const classlib::TRect& F, int E);

// Which of the eight phase brushes draws a frame at S.Left, S.Top in phase Phase (0..7).
int SelectionBrushIndex(int Phase, int Left, int Top);
// Pixel (X, Y) of the 8 x 8 pattern of phase Phase: the first colour or the second (diagonal
// stripes four pixels wide).
inline bool SelectionPatternFirstColor(int X, int Y, int Phase) { return ((X + Y + 8 - Phase) % 8 + 8) % 8 < 4; }

}  // namespace imagelib
