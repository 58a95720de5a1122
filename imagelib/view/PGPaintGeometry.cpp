#include "imagelib/view/PGPaintGeometry.h"

#include <algorithm>
#include <cmath>

#include "classlib/numerics.h"

namespace imagelib {

using classlib::TPoint;
using classlib::TRect;

TTileGrid TileGrid(const TRect& R, const TRect& Client, TTiling Tiling) {
  int64_t w = int64_t(R.Right) - R.Left, h = int64_t(R.Bottom) - R.Top;
  if (w <= 0 || h <= 0) return TTileGrid{};  // nothing to repeat, and the ranges would divide by 0
  TTileGrid g{0, 0, 0, 0};
  if (Tiling == tNone) return g;
  // Divisions truncate toward zero: the first index reaches back just far enough.
  if (R.Top > Client.Top) g.J0 = int((1 - int64_t(R.Bottom) + Client.Top) / h);
  if (R.Bottom < Client.Bottom) g.J1 = int((int64_t(Client.Bottom) - R.Top - 1) / h);
  if (R.Left > Client.Left) g.I0 = int((1 - int64_t(R.Right) + Client.Left) / w);
  if (R.Right < Client.Right) g.I1 = int((int64_t(Client.Right) - R.Left - 1) / w);
  return g;
}

TRect TileRect(const TRect& R, int Column, int Row) {
  int64_t w = int64_t(R.Right) - R.Left, h = int64_t(R.Bottom) - R.Top;
  auto clamp = [](int64_t v) { return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
  int64_t left = R.Left + Column * w, top = R.Top + Row * h;
  return TRect{clamp(left), clamp(top), clamp(left + w), clamp(top + h)};
}

bool TileVisible(const TRect& T, const TRect& Clip) {
  return T.Bottom >= Clip.Top && T.Right >= Clip.Left && T.Top <= Clip.Bottom && T.Left <= Clip.Right;
}

TTileMirror TileMirror(int Column, int Row, bool FlipHorizontal, bool FlipVertical, TTiling Tiling) {
  bool columns = Tiling == tMirrorHorizontal || Tiling == tMirror;
  bool rows = Tiling == tMirrorVertical || Tiling == tMirror;
  // Negative odd indices are odd too.
  return TTileMirror{FlipHorizontal != (columns && Column % 2 != 0), FlipVertical != (rows && Row % 2 != 0)};
}

std::vector<TPoint> ProgressClockCorners(const TRect& R, bool FiveClocks) {
  std::vector<TPoint> corners;
  int64_t w = int64_t(R.Right) - R.Left, h = int64_t(R.Bottom) - R.Top;
  if (w > 20 && h > 20)
    corners.push_back(TPoint{int(R.Left + w / 2 - PGProgressClockCentre), int(R.Top + h / 2 - PGProgressClockCentre)});
  if (FiveClocks && w >= 101 && h >= 101) {
    // Each clock 5 pixels in from the two edges of its corner.
    const int inset = 5, farInset = inset + PGProgressClockSize;
    corners.push_back(TPoint{R.Left + inset, R.Top + inset});
    corners.push_back(TPoint{R.Right - farInset, R.Top + inset});
    corners.push_back(TPoint{R.Left + inset, R.Bottom - farInset});
    corners.push_back(TPoint{R.Right - farInset, R.Bottom - farInset});
  }
  return corners;
}

TClockHands ProgressClockHands(int Stage, int Percent) {
  const long double pi = 3.14159265358979323846264338327950288L;
  long double minute = Percent * pi * 0.02L;
  long double hour = ((Stage - 1) * 2 * pi + minute) / 12;
  // Angles run clockwise from twelve o'clock.
  auto end = [](long double Angle, int Length) {
    return TPoint{int(classlib::Round(sinl(Angle) * Length)), int(-classlib::Round(cosl(Angle) * Length))};
  };
  return TClockHands{end(hour, 6), end(minute, 7)};
}

}  // namespace imagelib
