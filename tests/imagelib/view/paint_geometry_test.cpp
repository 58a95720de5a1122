// The view's painting geometry without a window: the tiles that cover the client area, which of
// them are mirrored, the progress clocks, and the mirrored pictures themselves.
#include <gtest/gtest.h>

#include <tuple>

#include "imagelib/view/PGMirror.h"
#include "imagelib/view/PGPaintGeometry.h"

using namespace imagelib;
using classlib::Point;
using classlib::Rect;
using classlib::TRect;

TEST(PaintGeometry, TheFewestTilesCoverTheClientArea) {
  struct Row {
    TRect Picture, Client;
    TTiling Tiling;
    TTileGrid Grid;
  } rows[] = {
      {Rect(0, 0, 100, 50), Rect(0, 0, 350, 120), tRepeat, {0, 3, 0, 2}},          // from the origin
      {Rect(130, 40, 230, 90), Rect(0, 0, 360, 130), tMirror, {-2, 2, -1, 1}},      // centred
      {Rect(100, 50, 200, 100), Rect(0, 0, 300, 150), tMirrorVertical, {-1, 1, -1, 1}},
      {Rect(-40, -30, 460, 370), Rect(0, 0, 300, 150), tRepeat, {0, 0, 0, 0}},      // larger than the client
      {Rect(130, 40, 230, 90), Rect(0, 0, 360, 130), tNone, {0, 0, 0, 0}},
  };
  for (const Row& r : rows) {
    TTileGrid g = TileGrid(r.Picture, r.Client, r.Tiling);
    EXPECT_EQ(std::tie(g.I0, g.I1, g.J0, g.J1), std::tie(r.Grid.I0, r.Grid.I1, r.Grid.J0, r.Grid.J1))
        << r.Picture.Left << "," << r.Picture.Top;
    // The outer tiles reach the client's edges, the next ones further in do not.
    if (r.Tiling != tNone) {
      EXPECT_LE(TileRect(r.Picture, g.I0, g.J0).Left, r.Client.Left);
      EXPECT_LE(TileRect(r.Picture, g.I0, g.J0).Top, r.Client.Top);
      EXPECT_GE(TileRect(r.Picture, g.I1, g.J1).Right, r.Client.Right);
      EXPECT_GE(TileRect(r.Picture, g.I1, g.J1).Bottom, r.Client.Bottom);
      EXPECT_GT(TileRect(r.Picture, g.I0 + 1, g.J0 + 1).Left, r.Client.Left);
    }
  }
  // A rectangle without width or height has no tiles (nothing to divide by).
  EXPECT_TRUE(TileGrid(Rect(10, 10, 110, 10), Rect(0, 0, 300, 200), tRepeat).Empty());
  EXPECT_TRUE(TileGrid(Rect(10, 10, 10, 90), Rect(0, 0, 300, 200), tNone).Empty());
  EXPECT_EQ(TileRect(Rect(5, 6, 15, 26), -2, 3), Rect(-15, 66, -5, 86));
  EXPECT_EQ(TileRect(Rect(0, 0, 1 << 30, 1), 3, 0).Right, INT32_MAX);
  EXPECT_TRUE(TileVisible(Rect(0, 0, 10, 10), Rect(10, 10, 20, 20))) << "edges count";
  EXPECT_FALSE(TileVisible(Rect(0, 0, 10, 10), Rect(11, 0, 20, 20)));
}

TEST(PaintGeometry, FlipsAndOddTilesOfAMirroringTilingCancel) {
  EXPECT_TRUE(TileMirror(0, 0, true, false, tNone).Horizontal);
  EXPECT_FALSE(TileMirror(0, 0, true, false, tNone).Vertical);
  EXPECT_FALSE(TileMirror(1, 0, true, false, tMirrorHorizontal).Horizontal);
  EXPECT_TRUE(TileMirror(-1, 0, false, false, tMirrorHorizontal).Horizontal) << "-1 is odd";
  EXPECT_FALSE(TileMirror(1, 0, false, false, tMirrorVertical).Horizontal);
  EXPECT_TRUE(TileMirror(0, -3, false, false, tMirrorVertical).Vertical);
  EXPECT_FALSE(TileMirror(1, 1, false, false, tRepeat).Horizontal);
  // Columns and rows 0..3 under tMirror: four tiles of each mirrored kind; 0..1: one of each.
  for (int n : {4, 2}) {
    int kinds[4] = {};
    for (int j = 0; j < n; ++j)
      for (int i = 0; i < n; ++i) {
        TTileMirror m = TileMirror(i, j, false, false, tMirror);
        ++kinds[(m.Horizontal ? 1 : 0) + (m.Vertical ? 2 : 0)];
      }
    for (int k = 0; k < 4; ++k) EXPECT_EQ(kinds[k], n * n / 4) << n << " kind " << k;
  }
}

TEST(PaintGeometry, ProgressClocksAndTheirHands) {
  EXPECT_TRUE(ProgressClockCorners(Rect(0, 0, 20, 30), true).empty()) << "20 wide is too narrow";
  ASSERT_EQ(ProgressClockCorners(Rect(0, 0, 21, 21), true).size(), 1u);
  EXPECT_EQ(ProgressClockCorners(Rect(0, 0, 21, 21), true)[0], Point(3, 3));
  std::vector<classlib::TPoint> five = ProgressClockCorners(Rect(10, 10, 111, 111), true);
  std::vector<classlib::TPoint> expected{Point(53, 53), Point(15, 15), Point(91, 15), Point(15, 91), Point(91, 91)};
  EXPECT_EQ(five, expected);
  EXPECT_EQ(ProgressClockCorners(Rect(10, 10, 111, 111), false).size(), 1u);
  EXPECT_EQ(ProgressClockCorners(Rect(10, 10, 110, 200), true).size(), 1u) << "100 wide: one clock";

  struct Row {
    int Stage, Percent;
    classlib::TPoint Hour, Minute;
  } rows[] = {
      {1, 0, {0, -6}, {0, -7}},     // both at twelve
      {1, 25, {1, -6}, {7, 0}},     // the minute hand at three, the hour hand 1/48 turn on
      {1, 50, {2, -6}, {0, 7}},
      {4, 0, {6, 0}, {0, -7}},      // three stages done: the hour hand at three
      {7, 100, {-3, 5}, {0, -7}},   // six stages and a whole one: seven o'clock
  };
  for (const Row& r : rows) {
    TClockHands h = ProgressClockHands(r.Stage, r.Percent);
    EXPECT_EQ(h.Hour, r.Hour) << r.Stage << " " << r.Percent;
    EXPECT_EQ(h.Minute, r.Minute) << r.Stage << " " << r.Percent;
  }
}

TEST(PaintGeometry, MirroredPicturesMoveTheRawPixels) {
  for (int num = 0; num < 4; ++num) {
    TOwned<TPixelGraphic> source(New<TPixelGraphic>());
    const int w = 13, h = 5;  // odd widths leave part of a byte at the end of 1- and 4-bit rows
    source->NewImage(w, h, num);
    const int values = num == 3 ? 1 << 24 : 1 << source->GetBitCount();
    if (num < 3) {
      source->SetPaletteCount(values);
      for (int i = 0; i < values; ++i) source->SetPaletteEntry(i, MakeRGB(i, 255 - i, i * 7 & 255));
    }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) source->SetPixel(x, y, (x * 37 + y * 101 + x * y * 13) % values);
    for (int kind = 1; kind < 4; ++kind) {
      bool mh = kind & 1, mv = kind & 2;
      TOwned<TPixelGraphic> m(MirroredPixelGraphic(source.get(), mh, mv));
      ASSERT_EQ(m->GetWidth(), w);
      ASSERT_EQ(m->GetBitCountNum(), num);
      ASSERT_EQ(m->GetPaletteCount(), source->GetPaletteCount());
      if (num < 3) {
        EXPECT_EQ(m->GetPaletteEntry(values - 1), source->GetPaletteEntry(values - 1));
      }
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
          ASSERT_EQ(m->GetPixel(x, y), source->GetPixel(mh ? w - 1 - x : x, mv ? h - 1 - y : y))
              << "bits " << source->GetBitCount() << " kind " << kind << " at " << x << "," << y;
    }
  }
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>());
  TOwned<TPixelGraphic> m(MirroredPixelGraphic(empty.get(), true, true));
  EXPECT_TRUE(m->GetEmpty());
}
