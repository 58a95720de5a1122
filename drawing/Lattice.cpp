#include "drawing/Lattice.h"

#include <cstdint>
#include <cstdlib>
#include <limits>

namespace skadra {

namespace {
constexpr int64_t kGridLeft = 40;  // first dot column
constexpr int64_t kSnapLeft = 39;  // snap column: one pixel left of the dot column
constexpr int64_t kGridTop = 20;

int Clamp32(int64_t V) {
  if (V > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (V < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return int(V);
}
}  // namespace

bool ToolSnaps(TToolKind Tool) {
  return Tool == tkLongLine || Tool == tkShortNS || Tool == tkShortNESW || Tool == tkShortNWSE;
}

TPoint SnapToLattice(int X, int Y, int GridSize) {
  if (GridSize <= 0) return TPoint{X, Y};
  int64_t g = GridSize, h = GridSize / 2;
  int64_t column = (int64_t(X) + 17 * h - kGridLeft) / (17 * g);
  int64_t row = (int64_t(Y) + 10 * h - kGridTop) / (10 * g);
  return TPoint{Clamp32(column * 17 * g + kSnapLeft), Clamp32(row * 10 * g + kGridTop)};
}

bool IsIsometric(TPoint P, TPoint Q) {
  int64_t dx = std::llabs(int64_t(P.X) - Q.X), dy = std::llabs(int64_t(P.Y) - Q.Y);
  return dx != 0 && 17 * dy == 10 * dx;
}

bool ShortLineRefused(TToolKind Tool, int X, int Y, int GridSize, int ControlWidth, int ControlHeight) {
  int64_t g = GridSize;
  switch (Tool) {
    case tkShortNESW:
      return X < (17 * g) / 2 + 45;
    case tkShortNS:
      return Y > ControlHeight - 30 * g;
    case tkShortNWSE:
      return X > ControlWidth - 20 * g;
    default:
      return false;
  }
}

TPoint ShortLineEnd(TToolKind Tool, TPoint From, int GridSize) {
  int64_t g = GridSize, x = From.X, y = From.Y;
  switch (Tool) {
    case tkShortNS:
      return TPoint{From.X, Clamp32(y + 20 * g)};
    case tkShortNESW:
      return TPoint{Clamp32(x - 17 * g), Clamp32(y + 10 * g)};
    case tkShortNWSE:
      return TPoint{Clamp32(x + 17 * g), Clamp32(y + 10 * g)};
    default:
      return From;
  }
}

std::vector<TPoint> GridDots(int GridSize) {
  std::vector<TPoint> dots;
  if (GridSize <= 0) return dots;
  int64_t g = GridSize, y = kGridTop;
  for (int pair = 0; pair < 80 / GridSize; ++pair) {
    for (int j = 0; j <= 42 / GridSize; ++j) dots.push_back(TPoint{Clamp32(kGridLeft + 34 * g * j), Clamp32(y)});
    y += 10 * g;
    for (int j = 0; j <= 41; ++j) dots.push_back(TPoint{Clamp32(kGridLeft + 17 * g + 34 * g * j), Clamp32(y)});
    y += 10 * g;
  }
  return dots;
}

}  // namespace skadra
