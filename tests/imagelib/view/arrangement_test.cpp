// The picture view's geometry without a window: the twelve stretch modes for a picture larger than,
// smaller than and equal to the area, centred and not, with the scroll bars the result brings;
// zoom, sizes and limits at their extremes; placement; auto size; the pixel conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "classlib/scrollrange.h"
#include "imagelib/view/PGArrangement.h"

using namespace imagelib;
using classlib::LayScrollBars;
using classlib::Rect;

namespace {

// A 200 x 100 area (aspect 2) with 16-pixel bars.
constexpr int kAW = 200, kAH = 100, kBar = 16;

TArrangeArea Area(int PW, int PH, int AW = kAW, int AH = kAH, int HB = kBar, int VB = kBar) {
  return TArrangeArea{PW, PH, AW, AH, HB, VB};
}

struct Size {
  int W, H;
};
// Larger than the area and relatively taller (aspect 10:7); smaller and relatively wider (9:4);
// exactly the area.
constexpr Size kLarger{400, 280}, kSmaller{90, 40}, kEqual{200, 100};

struct Row {
  TStretch Stretch;
  Size Picture;
  int W, H;
  long double Zoom;
  // Centred: the place, and the bars that centring counts (which are the bars the scroll box shows).
  int X, Y;
  bool HorzBar, VertBar;
};

// Worked out by hand from the rules. FitKeepAspect of the larger picture: 100 high, 142 (142.86)
// wide; of the smaller: 200 wide, 88 (88.9) high. FitLongerEdge of the larger leaves a gap wider
// than a bar, so its width fills the area less a bar: 184 wide, 128 (128.8) high, overflowing
// vertically.
const Row kRows[] = {
    {sNeverKAR, kLarger, 400, 280, 1, 0, 0, true, true},
    {sNeverKAR, kSmaller, 90, 40, 1, 55, 30, false, false},
    {sNeverKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    {sAlways, kLarger, 200, 100, -1, 0, 0, false, false},
    {sAlways, kSmaller, 200, 100, -1, 0, 0, false, false},
    {sAlways, kEqual, 200, 100, -1, 0, 0, false, false},
    {sAlwaysKAR, kLarger, 142, 100, 100.0L / 280, 29, 0, false, false},
    {sAlwaysKAR, kSmaller, 200, 88, 200.0L / 90, 0, 6, false, false},
    {sAlwaysKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    {sShrink, kLarger, 200, 100, -1, 0, 0, false, false},
    {sShrink, kSmaller, 90, 40, 1, 55, 30, false, false},
    {sShrink, kEqual, 200, 100, 1, 0, 0, false, false},
    {sShrinkKAR, kLarger, 142, 100, 100.0L / 280, 29, 0, false, false},
    {sShrinkKAR, kSmaller, 90, 40, 1, 55, 30, false, false},
    {sShrinkKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    // The larger picture overflows both ways, so the room it is enlarged to (less the bars) is
    // still smaller than it: it keeps its size.
    {sEnlarge, kLarger, 400, 280, 1, 0, 0, true, true},
    {sEnlarge, kSmaller, 200, 100, -1, 0, 0, false, false},
    {sEnlarge, kEqual, 200, 100, 1, 0, 0, false, false},
    {sEnlargeKAR, kLarger, 400, 280, 1, 0, 0, true, true},
    {sEnlargeKAR, kSmaller, 200, 88, 200.0L / 90, 0, 6, false, false},
    {sEnlargeKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    {sAlwaysLongerEdgeKAR, kLarger, 184, 128, 184.0L / 400, 0, 0, false, true},
    {sAlwaysLongerEdgeKAR, kSmaller, 200, 88, 200.0L / 90, 0, 6, false, false},
    {sAlwaysLongerEdgeKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    {sShrinkLongerEdgeKAR, kLarger, 184, 128, 184.0L / 400, 0, 0, false, true},
    {sShrinkLongerEdgeKAR, kSmaller, 90, 40, 1, 55, 30, false, false},
    {sShrinkLongerEdgeKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    {sEnlargeShrinkLongerEdgeKAR, kLarger, 184, 128, 184.0L / 400, 0, 0, false, true},
    {sEnlargeShrinkLongerEdgeKAR, kSmaller, 200, 88, 200.0L / 90, 0, 6, false, false},
    {sEnlargeShrinkLongerEdgeKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    {sEnlargeLongerEdgeKAR, kLarger, 400, 280, 1, 0, 0, true, true},
    {sEnlargeLongerEdgeKAR, kSmaller, 200, 88, 200.0L / 90, 0, 6, false, false},
    {sEnlargeLongerEdgeKAR, kEqual, 200, 100, 1, 0, 0, false, false},
    // Zoom 1.5.
    {sZoomKAR, kLarger, 600, 420, 1.5L, 0, 0, true, true},
    {sZoomKAR, kSmaller, 135, 60, 1.5L, 32, 20, false, false},
    {sZoomKAR, kEqual, 300, 150, 1.5L, 0, 0, true, true},
};

}  // namespace

TEST(Arrangement, EveryStretchModeForLargerSmallerAndEqualPicturesCentredOrNot) {
  for (const Row& row : kRows) {
    SCOPED_TRACE(testing::Message() << "mode " << int(row.Stretch) << ", picture " << row.Picture.W << " x "
                                    << row.Picture.H);
    for (bool center : {false, true}) {
      TArrangement a = ComputeArrangement(Area(row.Picture.W, row.Picture.H), row.Stretch, 1.5L, center);
      EXPECT_EQ(a.Width, row.W);
      EXPECT_EQ(a.Height, row.H);
      EXPECT_EQ(a.Zoom, row.Zoom);
      EXPECT_EQ(a.X, center ? row.X : 0);
      EXPECT_EQ(a.Y, center ? row.Y : 0);
      EXPECT_EQ(a.HorzBar, center && row.HorzBar);
      EXPECT_EQ(a.VertBar, center && row.VertBar);
      // The scroll box's range is the rectangle's far edge; its bars are those centring expects.
      auto bars = LayScrollBars(int64_t(a.X) + a.Width, int64_t(a.Y) + a.Height, kAW, kAH, kBar, kBar);
      EXPECT_EQ(bars.Horz, row.HorzBar);
      EXPECT_EQ(bars.Vert, row.VertBar);
      if (center && row.HorzBar) {
        EXPECT_EQ(CenteredScrollPosition(a.Width, bars.ClientWidth), (row.W - (kAW - kBar)) / 2);
      }
    }
  }
}

TEST(Arrangement, ExamplesOfTheRules) {
  // A 400 x 100 picture in a 200 x 200 area.
  TArrangement fit = ComputeArrangement(Area(400, 100, 200, 200, 17, 17), sAlwaysKAR, 1, false);
  EXPECT_EQ(fit.Width, 200);
  EXPECT_EQ(fit.Height, 50);
  EXPECT_EQ(fit.Zoom, 0.5L);
  // Fitting leaves a gap higher than a bar: the height fills the area less a 17-pixel bar.
  TArrangement longer = ComputeArrangement(Area(400, 100, 200, 200, 17, 17), sAlwaysLongerEdgeKAR, 1, false);
  EXPECT_EQ(longer.Width, 732);
  EXPECT_EQ(longer.Height, 183);
  EXPECT_EQ(longer.Zoom, 183.0L / 100);
  // sShrinkLongerEdgeKAR: a picture that needs one bar keeps its size, one that needs both shrinks.
  TArrangement oneBar = ComputeArrangement(Area(300, kAH - kBar), sShrinkLongerEdgeKAR, 1, false);
  EXPECT_EQ(oneBar.Width, 300);
  EXPECT_EQ(oneBar.Zoom, 1);
  TArrangement bothBars = ComputeArrangement(Area(300, kAH - kBar + 1), sShrinkLongerEdgeKAR, 1, false);
  EXPECT_LT(bothBars.Width, 300);
  EXPECT_LT(bothBars.Zoom, 1);
  // Round halves to even: 2.5 -> 2 and 3.5 -> 4.
  TArrangement half = ComputeArrangement(Area(5, 7), sZoomKAR, 0.5L, false);
  EXPECT_EQ(half.Width, 2);
  EXPECT_EQ(half.Height, 4);
}

TEST(Arrangement, WithoutPictureOrAreaTheRectangleIsThePictureAtZoomOne) {
  struct Case {
    int PW, PH, AW, AH;
  } cases[] = {{0, 0, 200, 100}, {400, 280, 0, 100}, {400, 280, 200, -4}, {400, 280, -8, -8}};
  for (const Case& c : cases) {
    for (TStretch s : {sAlwaysKAR, sAlways, sZoomKAR, sAlwaysLongerEdgeKAR}) {
      TArrangement a = ComputeArrangement(Area(c.PW, c.PH, c.AW, c.AH), s, 3, false);
      EXPECT_EQ(a.Width, c.PW);
      EXPECT_EQ(a.Height, c.PH);
      EXPECT_EQ(a.Zoom, 1);
      EXPECT_EQ(a.X, 0);
      EXPECT_EQ(a.Y, 0);
    }
  }
  // Centred, the empty rectangle stands in the middle of the area.
  TArrangement empty = ComputeArrangement(Area(0, 0), sNeverKAR, 1, true);
  EXPECT_EQ(empty.X, kAW / 2);
  EXPECT_EQ(empty.Y, kAH / 2);
}

TEST(Arrangement, ZoomAtItsExtremesGivesABoxTheViewCanHold) {
  const long double inf = std::numeric_limits<long double>::infinity();
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  // 0, negative and NaN show the picture at its own size.
  for (long double z : {0.0L, -1.0L, -inf, nan}) {
    TArrangement a = ComputeArrangement(Area(400, 280), sZoomKAR, z, false);
    EXPECT_EQ(a.Width, 400);
    EXPECT_EQ(a.Height, 280);
    EXPECT_EQ(a.Zoom, 1);
  }
  // A tiny zoom leaves nothing to show.
  TArrangement tiny = ComputeArrangement(Area(400, 280), sZoomKAR, 1e-300L, false);
  EXPECT_EQ(tiny.Width, 0);
  EXPECT_EQ(tiny.Height, 0);
  // A zoom past 32 bits stops at the size limit, with the aspect ratio and a true zoom.
  for (long double z : {1e7L, 1e300L, inf}) {
    TArrangement a = ComputeArrangement(Area(400, 100), sZoomKAR, z, true);
    EXPECT_EQ(a.Width, PGMaxPicBoxSize);
    EXPECT_EQ(a.Height, PGMaxPicBoxSize / 4);
    EXPECT_EQ(a.Zoom, static_cast<long double>(PGMaxPicBoxSize) / 400);
    EXPECT_TRUE(a.HorzBar && a.VertBar);
  }
  TArrangement onePixel = ComputeArrangement(Area(1, 1), sZoomKAR, inf, false);
  EXPECT_EQ(onePixel.Width, PGMaxPicBoxSize);
  EXPECT_EQ(onePixel.Height, PGMaxPicBoxSize);
}

TEST(Arrangement, PicturesAtTheSizeLimitAreScaledIntoTheBox) {
  const int huge = INT32_MAX;
  // At its own size a picture wider than the limit is scaled down, keeping its aspect ratio.
  TArrangement wide = ComputeArrangement(Area(huge, 4), sNeverKAR, 1, false);
  EXPECT_EQ(wide.Width, PGMaxPicBoxSize);
  EXPECT_EQ(wide.Height, 2);  // 4 * 2^30 / (2^31 - 1), truncated
  EXPECT_LT(wide.Zoom, 0.5L + 1e-9L);
  EXPECT_GT(wide.Zoom, 0.5L - 1e-9L);
  // A tall, narrow picture fitted by its width in a wide area would be 2^31 times taller.
  TArrangement tall = ComputeArrangement(Area(1, huge, 4000, 100), sAlwaysLongerEdgeKAR, 1, false);
  EXPECT_EQ(tall.Height, PGMaxPicBoxSize);
  EXPECT_GE(tall.Width, 0);
  EXPECT_LE(tall.Width, PGMaxPicBoxSize);
  // Modes that do not keep the aspect ratio hold each side on its own.
  TArrangement always = ComputeArrangement(Area(10, 10, huge, huge), sAlways, 1, true);
  EXPECT_EQ(always.Width, PGMaxPicBoxSize);
  EXPECT_EQ(always.Height, PGMaxPicBoxSize);
  EXPECT_EQ(always.Zoom, -1);
  EXPECT_GT(always.X, 0);  // centred in an area larger than the box, without wrapping
  EXPECT_EQ(always.X, int((int64_t(huge) - PGMaxPicBoxSize) / 2));
}

TEST(Arrangement, PlacementKeepsTheUsersScrollingUnlessForced) {
  TArrangement t = ComputeArrangement(Area(400, 280), sNeverKAR, 1, true);  // both bars counted
  const int cw = kAW - kBar, ch = kAH - kBar;
  // Scrolling moves the rectangle by the positions.
  TPlacement scrolled{Rect(-30, -20, 370, 260), 30, 20, cw, ch};
  EXPECT_FALSE(MustPlace(t, scrolled, false, true)) << "same size, not forced";
  EXPECT_TRUE(MustPlace(t, scrolled, true, true)) << "forced, and not at its place";
  EXPECT_TRUE(MustPlace(t, scrolled, true, false));
  TPlacement home{Rect(0, 0, 400, 280), 0, 0, cw, ch};
  EXPECT_FALSE(MustPlace(t, home, true, false)) << "forced, but already in place";
  EXPECT_TRUE(MustPlace(t, home, true, true)) << "centred, the scroll positions are not yet in the middle";
  TPlacement smaller{Rect(0, 0, 399, 280), 0, 0, cw, ch};
  EXPECT_TRUE(MustPlace(t, smaller, false, false)) << "a new size always";
}

TEST(Arrangement, AutoSizeAddsTheBarsTheLimitsMakeNecessary) {
  struct Case {
    int PW, PH;
    TAutoSizeLimits Limits;
    int W, H;
  } cases[] = {
      // The picture and a 2-pixel border on each side.
      {400, 280, {}, 404, 284},
      // Too wide: a horizontal bar (16) makes it higher.
      {400, 280, {0, 300, 0, INT32_MAX}, 300, 300},
      // Too wide, and the horizontal bar makes it too high too: then also a vertical bar.
      {400, 280, {0, 300, 0, 290}, 300, 290},
      // Too high: the vertical bar makes it wider, which the width limit then cuts.
      {400, 280, {0, 410, 0, 200}, 410, 200},
      // Held at the minimum.
      {10, 10, {100, INT32_MAX, 50, INT32_MAX}, 100, 50},
      // The largest picture plus its border stays in 32 bits; negative limits give 0.
      {INT32_MAX, INT32_MAX, {}, INT32_MAX, INT32_MAX},
      {10, 10, {-50, -20, -50, -20}, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.PW << " x " << c.PH << " max " << c.Limits.MaxWidth << " x "
                                    << c.Limits.MaxHeight);
    classlib::TSize s = ComputeAutoSize(c.PW, c.PH, 2, kBar, kBar, c.Limits);
    EXPECT_EQ(s.cx, c.W);
    EXPECT_EQ(s.cy, c.H);
  }
}

TEST(Arrangement, PixelConversionsTruncateWithoutWrapping) {
  EXPECT_EQ(ScaleCoordinate(0, 732, 400), 0);
  EXPECT_EQ(ScaleCoordinate(732, 400, 732), 400) << "the right edge maps to the picture width";
  EXPECT_EQ(ScaleCoordinate(3, 2, 4), 1);
  EXPECT_EQ(ScaleCoordinate(-3, 2, 4), -1) << "toward zero, not down to -2";
  EXPECT_EQ(ScaleCoordinate(-7, 3, 2), -10);
  EXPECT_EQ(ScaleCoordinate(50000, 50000, 50001), 49999) << "a product past 32 bits";
  EXPECT_EQ(ScaleCoordinate(INT32_MAX, INT32_MAX, 1), INT32_MAX);
  EXPECT_EQ(ScaleCoordinate(INT32_MIN, INT32_MAX, 1), INT32_MIN);
  EXPECT_EQ(ScaleCoordinate(5, 7, 0), 0);
  EXPECT_EQ(ScaleCoordinate(5, 7, -3), 0);
}

TEST(Arrangement, ScrollBarsAreDecidedTogether) {
  struct Case {
    int RangeX, RangeY;
    bool Horz, Vert;
  } cases[] = {
      {200, 100, false, false},
      {190, 110, true, true},   // the vertical bar leaves 184, too little for 190
      {184, 110, false, true},
      {210, 90, true, true},    // the horizontal bar leaves 84, too little for 90
      {210, 84, true, false},
      {201, 101, true, true},
  };
  for (const Case& c : cases) {
    auto l = LayScrollBars(c.RangeX, c.RangeY, kAW, kAH, kBar, kBar);
    EXPECT_EQ(l.Horz, c.Horz) << c.RangeX << " x " << c.RangeY;
    EXPECT_EQ(l.Vert, c.Vert) << c.RangeX << " x " << c.RangeY;
    EXPECT_EQ(l.ClientWidth, kAW - (c.Vert ? kBar : 0));
    EXPECT_EQ(l.ClientHeight, kAH - (c.Horz ? kBar : 0));
  }
  EXPECT_FALSE(LayScrollBars(500, 500, kAW, kAH, kBar, kBar, false, true).Horz) << "a bar that is off";
}
