// Where the picture view shows its picture: the size and place of the picture's on-screen
// rectangle for each stretch mode, with zoom and centring; whether an arrangement must move the
// rectangle; the view's own size when it sizes itself to the picture; and the conversion between
// picture pixels and on-screen pixels. Free of windows, so that it runs everywhere; every sum and
// product is formed in 64 bits and nothing wraps, whatever the zoom or the picture.
#pragma once

#include <cstdint>

#include "classlib/types.h"

namespace imagelib {

// How the picture is fitted into the view; KAR keeps its aspect ratio.
enum TStretch : uint8_t {
  sNeverKAR, sAlways, sAlwaysKAR, sShrink, sShrinkKAR, sEnlarge, sEnlargeKAR, sAlwaysLongerEdgeKAR,
  sShrinkLongerEdgeKAR, sEnlargeShrinkLongerEdgeKAR, sEnlargeLongerEdgeKAR, sZoomKAR
};

// The longest on-screen side of a picture. A larger result is scaled down to it (keeping the
// aspect ratio where the mode keeps it), so that the view's sums of places, sizes, borders, scroll
// positions and scroll bars all stay inside 32 bits.
constexpr int PGMaxPicBoxSize = 1 << 30;

// What an arrangement starts from.
struct TArrangeArea {
  int PictureWidth = 0, PictureHeight = 0;  // 0 x 0 without a picture
  int AreaWidth = 0, AreaHeight = 0;        // the view's outer size less its border on both sides
  int HorzBarHeight = 0, VertBarWidth = 0;  // the system's scroll bar sizes
};

struct TArrangement {
  int Width = 0, Height = 0;  // the picture's on-screen size
  int X = 0, Y = 0;           // its place in the unscrolled view (only centring moves it from 0, 0)
  // The zoom this gives; -1 when the size does not keep the aspect ratio.
  long double Zoom = 1.0L;
  // Centring expects the picture to scroll horizontally / vertically.
  bool HorzBar = false, VertBar = false;
};

// ZoomFactor counts for sZoomKAR only, and only when it is above 0 (else 1).
TArrangement ComputeArrangement(const TArrangeArea& Area, TStretch Stretch, long double ZoomFactor, bool Center);

// Where the rectangle stands now, and the view's scroll state.
struct TPlacement {
  classlib::TRect Bounds;  // the rectangle in the view's client coordinates (it moves as the view scrolls)
  int HorzPosition = 0, VertPosition = 0;
  int ClientWidth = 0, ClientHeight = 0;
};

// The scroll position that shows the middle of an extent of Size in a client extent of Client.
inline int CenteredScrollPosition(int Size, int Client) { return int((int64_t(Size) - Client) / 2); }

// Whether the rectangle must be placed again. A new size always asks for it; without Force (or
// RearrangeAlways) the user's scroll positions and the rectangle's place survive.
bool MustPlace(const TArrangement& Target, const TPlacement& Now, bool Force, bool Center);

// The view's own size when it sizes itself to the picture: the picture plus the border on both
// sides, plus the scroll bars that the limits make necessary, then held within the limits (and
// never below 0).
struct TAutoSizeLimits {
  int MinWidth = 0, MaxWidth = INT32_MAX, MinHeight = 0, MaxHeight = INT32_MAX;
};
classlib::TSize ComputeAutoSize(int PictureWidth, int PictureHeight, int BorderWidth, int HorzBarHeight,
                                int VertBarWidth, const TAutoSizeLimits& Limits);

// X * Numerator div Denominator with the product in 64 bits and the quotient truncated toward 0,
// held in the 32-bit range; 0 when Denominator is 0 or less.
int ScaleCoordinate(int X, int Numerator, int Denominator);

}  // namespace imagelib
