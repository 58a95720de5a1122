#include "imagelib/view/PGSelectionGeometry.h"

#include <algorithm>

#include "imagelib/view/PGArrangement.h"

namespace imagelib {

using classlib::TPoint;
using classlib::TRect;

namespace {

int Clamp32(int64_t V) { return int(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

TRect Rect64(int64_t Left, int64_t Top, int64_t Right, int64_t Bottom) {
  return TRect{Clamp32(Left), Clamp32(Top), Clamp32(Right), Clamp32(Bottom)};
}

bool MovesLeftEdge(TSelectionHandle H) { return H == shTopLeft || H == shLeft || H == shBottomLeft; }
bool MovesRightEdge(TSelectionHandle H) { return H == shTopRight || H == shRight || H == shBottomRight; }
bool MovesTopEdge(TSelectionHandle H) { return H == shTopLeft || H == shTop || H == shTopRight; }
bool MovesBottomEdge(TSelectionHandle H) { return H == shBottomLeft || H == shBottom || H == shBottomRight; }

}  // namespace

TRect SelectionRectInPicBox(const TSelectionBounds& B, const TSelectionScale& Scale) {
  int right = Clamp32(int64_t(B.Left) + B.Width), bottom = Clamp32(int64_t(B.Top) + B.Height);
  return TRect{ScaleCoordinate(B.Left, Scale.BoxWidth, Scale.PictureWidth),
               ScaleCoordinate(B.Top, Scale.BoxHeight, Scale.PictureHeight),
               ScaleCoordinate(right, Scale.BoxWidth, Scale.PictureWidth),
               ScaleCoordinate(bottom, Scale.BoxHeight, Scale.PictureHeight)};
}

TRect SelectionRectOf(const TSelectionBounds& B) {
  return Rect64(B.Left, B.Top, int64_t(B.Left) + B.Width, int64_t(B.Top) + B.Height);
}

TRect SelectionHandleRect(const TRect& S, TSelectionHandle H) {
  // The middles truncate toward zero, as the division of the sums does.
  int64_t mx = (int64_t(S.Left) + S.Right) / 2, my = (int64_t(S.Top) + S.Bottom) / 2;
  int64_t x, y;  // the square's left and top
  switch (H) {
    case shTopLeft: case shLeft: case shBottomLeft: x = int64_t(S.Left) - 8; break;
    case shTop: case shBottom: x = mx - 2; break;
    default: x = int64_t(S.Right) + 3;
  }
  switch (H) {
    case shTopLeft: case shTop: case shTopRight: y = int64_t(S.Top) - 8; break;
    case shLeft: case shRight: y = my - 2; break;
    default: y = int64_t(S.Bottom) + 3;
  }
  return Rect64(x, y, x + 5, y + 5);
}

TSelectionHandle SelectionHandleAt(const TRect& S, TPoint P) {
  for (int h = 0; h < PGSelectionHandleCount; ++h) {
    TRect r = SelectionHandleRect(S, TSelectionHandle(h));
    if (P.X >= r.Left && P.X < r.Right && P.Y >= r.Top && P.Y < r.Bottom) return TSelectionHandle(h);
  }
  return shNone;
}

TPoint HandleGrabOffset(TSelectionHandle H, TPoint P, const TSelectionBounds& B) {
  TPoint g{0, 0};
  if (MovesLeftEdge(H)) g.X = Clamp32(int64_t(P.X) - B.Left);
  if (MovesRightEdge(H)) g.X = Clamp32(int64_t(P.X) - B.Width);
  if (MovesTopEdge(H)) g.Y = Clamp32(int64_t(P.Y) - B.Top);
  if (MovesBottomEdge(H)) g.Y = Clamp32(int64_t(P.Y) - B.Height);
  return g;
}

TSelectionBounds ResizeSelection(TSelectionHandle H, const TSelectionBounds& B, TPoint P, TPoint Grab) {
  TSelectionBounds n = B;
  if (MovesLeftEdge(H)) {
    int64_t left = std::min(int64_t(P.X) - Grab.X, int64_t(B.Left) + B.Width - 1);
    n.Left = Clamp32(left);
    n.Width = Clamp32(int64_t(B.Width) + B.Left - n.Left);
  }
  if (MovesTopEdge(H)) {
    int64_t top = std::min(int64_t(P.Y) - Grab.Y, int64_t(B.Top) + B.Height - 1);
    n.Top = Clamp32(top);
    n.Height = Clamp32(int64_t(B.Height) + B.Top - n.Top);
  }
  if (MovesRightEdge(H)) n.Width = Clamp32(std::max<int64_t>(int64_t(P.X) - Grab.X, 1));
  if (MovesBottomEdge(H)) n.Height = Clamp32(std::max<int64_t>(int64_t(P.Y) - Grab.Y, 1));
  return n;
}

TSelectionBounds MoveSelection(const TSelectionBounds& B, TPoint P, TPoint Grab, int PictureWidth, int PictureHeight) {
  TSelectionBounds n = B;
  n.Top = Clamp32(std::min(std::max(int64_t(P.Y) - Grab.Y, 1 - int64_t(B.Height)), int64_t(PictureHeight) - 1));
  n.Left = Clamp32(std::min(std::max(int64_t(P.X) - Grab.X, 1 - int64_t(B.Width)), int64_t(PictureWidth) - 1));
  return n;
}

TSelectionBounds RubberBandSelection(TPoint Anchor, TPoint P) {
  int left = std::min(Anchor.X, P.X), top = std::min(Anchor.Y, P.Y);
  return TSelectionBounds{left, top, Clamp32(int64_t(std::max(Anchor.X, P.X)) - left + 1),
                          Clamp32(int64_t(std::max(Anchor.Y, P.Y)) - top + 1)};
}

std::array<TRect, 4> SelectionFrameStrips(const TRect& F, int E) {
  int64_t l = F.Left, t = F.Top, r = F.Right, b = F.Bottom;
  return {Rect64(l - E, t - E, l, b + E), Rect64(l - E, t - E, r + E, t), Rect64(r, t - E, r + E, b + E),
          Rect64(l - E, b, r + E, b + E)};
}

int SelectionBrushIndex(int Phase, int Left, int Top) {
  int64_t n = int64_t(Phase) + Left + Top;
  return int((n % 8 + 8) % 8);
}

}  // namespace imagelib
