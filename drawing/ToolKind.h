// The drawing window's seven tools, as TForm1::ToolKind holds them (a byte; the long line at
// start). The platform-neutral lattice arithmetic takes them too.
#pragma once

#include <cstdint>

namespace skadra {

enum TToolKind : uint8_t {
  tkLongLine = 0,  // both ends snapped; only vertical or isometric lines are drawn
  tkRectangle = 1,
  tkEllipse = 2,
  tkRoundRect = 3,
  tkShortNS = 4,  // the short lines, drawn down from the snapped release point
  tkShortNESW = 5,
  tkShortNWSE = 6,
};

}  // namespace skadra
