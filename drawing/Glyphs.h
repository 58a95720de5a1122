// The pictures on the drawing window's tool buttons, drawn in code.
#pragma once

#include "classlib/bitmap.h"

namespace skadra {

enum class TGlyph {
  LongLine, ShortNS, ShortNESW, ShortNWSE, Pen, Rectangle, Ellipse, RoundRect, Brush, Colors,
  PenSolid, PenDash, PenDot, PenDashDot, PenDashDotDot, PenClear,
  BrushSolid, BrushClear, BrushHorizontal, BrushVertical, BrushFDiagonal, BrushBDiagonal, BrushCross,
  BrushDiagCross
};

// Makes Glyph an 18 x 18 picture of Kind on a background of the transparent colour.
void PaintGlyph(classlib::TBitmap* Glyph, TGlyph Kind);

}  // namespace skadra
