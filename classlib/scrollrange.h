// Which scroll bars a scroll box shows for the extent of its children, and the client area that is
// left: each bar takes room from the other direction, so the two are decided together.
#pragma once

#include <algorithm>
#include <cstdint>

namespace classlib {

struct TScrollBarLayout {
  bool Horz = false, Vert = false;
  int ClientWidth = 0, ClientHeight = 0;
};

// RangeX and RangeY are the children's extent; FullWidth and FullHeight the client area without
// bars; BarWidth the width of a vertical bar and BarHeight the height of a horizontal one. A bar
// that is not allowed never shows.
inline TScrollBarLayout LayScrollBars(int64_t RangeX, int64_t RangeY, int FullWidth, int FullHeight, int BarWidth,
                                      int BarHeight, bool HorzAllowed = true, bool VertAllowed = true) {
  TScrollBarLayout l;
  // First the vertical bar as if there were no horizontal one, then the horizontal bar beside it,
  // then the vertical bar again under a horizontal one.
  l.Vert = VertAllowed && RangeY > FullHeight;
  l.Horz = HorzAllowed && RangeX > int64_t(FullWidth) - (l.Vert ? BarWidth : 0);
  if (l.Horz && !l.Vert) l.Vert = VertAllowed && RangeY > int64_t(FullHeight) - BarHeight;
  l.ClientWidth = std::max(FullWidth - (l.Vert ? BarWidth : 0), 0);
  l.ClientHeight = std::max(FullHeight - (l.Horz ? BarHeight : 0), 0);
  return l;
}

// The largest scroll position for a range and the client extent beside it.
inline int MaxScrollPosition(int Range, int ClientExtent) { return std::max(0, Range - ClientExtent); }

}  // namespace classlib
