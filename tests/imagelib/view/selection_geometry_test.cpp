// The selection's arithmetic without a window: its rectangle on screen, the handle squares and
// which one a point hits, resizing, moving, the rubber band, the strips its frame repaints and
// the marching ants' pattern. Values worked out by hand from the rules.
#include <gtest/gtest.h>

#include <climits>

#include "imagelib/view/PGSelectionGeometry.h"

using namespace imagelib;
using classlib::Point;
using classlib::Rect;
using classlib::TRect;

TEST(SelectionGeometry, TheRectangleFollowsTheZoomWithoutOverflow) {
  // A 100 x 50 picture shown at 200 x 100.
  TSelectionScale twice{200, 100, 100, 50};
  EXPECT_EQ(SelectionRectInPicBox(TSelectionBounds{3, 4, 5, 6}, twice), Rect(6, 8, 16, 20));
  EXPECT_EQ(SelectionRectInPicBox(TSelectionBounds{-3, 0, 1, 1}, twice), Rect(-6, 0, -4, 2));
  // Any values are stored; the sums stay in range.
  TRect far = SelectionRectInPicBox(TSelectionBounds{INT_MAX, INT_MIN, INT_MAX, 1}, TSelectionScale{1, 1, 1, 1});
  EXPECT_EQ(far, Rect(INT_MAX, INT_MIN, INT_MAX, INT_MIN + 1));
  EXPECT_EQ(SelectionRectOf(TSelectionBounds{INT_MAX, 0, 5, -3}), Rect(INT_MAX, 0, INT_MAX, -3));
  EXPECT_EQ(SelectionRectInPicBox(TSelectionBounds{3, 4, 5, 6}, TSelectionScale{}), Rect(0, 0, 0, 0));
}

TEST(SelectionGeometry, HandlesLieThreePixelsOutsideTheFrame) {
  const TRect s = Rect(10, 20, 30, 41);  // middles 20 and 30
  const TRect expected[] = {Rect(2, 12, 7, 17),  Rect(18, 12, 23, 17), Rect(33, 12, 38, 17), Rect(2, 28, 7, 33),
                            Rect(33, 28, 38, 33), Rect(2, 44, 7, 49),  Rect(18, 44, 23, 49), Rect(33, 44, 38, 49)};
  for (int h = 0; h < PGSelectionHandleCount; ++h) {
    EXPECT_EQ(SelectionHandleRect(s, TSelectionHandle(h)), expected[h]) << "handle " << h;
    EXPECT_EQ(SelectionHandleAt(s, Point(expected[h].Left, expected[h].Top)), h);
    EXPECT_EQ(SelectionHandleAt(s, Point(expected[h].Right - 1, expected[h].Bottom - 1)), h);
  }
  EXPECT_EQ(SelectionHandleAt(s, Point(1, 12)), shNone) << "9 pixels from the frame";
  EXPECT_EQ(SelectionHandleAt(s, Point(7, 17)), shNone) << "right and bottom edges are outside";
  EXPECT_EQ(SelectionHandleAt(s, Point(15, 25)), shNone) << "inside the selection";
  // The middles truncate toward zero.
  EXPECT_EQ(SelectionHandleRect(Rect(-11, 0, -4, 0), shTop).Left, -7 - 2);
  EXPECT_EQ(SelectionHandleRect(Rect(INT_MIN, 0, INT_MAX, 0), shTopLeft).Left, INT_MIN);
}

TEST(SelectionGeometry, ResizingKeepsTheOtherEdgesAndOnePixel) {
  const TSelectionBounds b{10, 10, 20, 20};  // right edge 30, bottom edge 30 (exclusive)
  struct Row {
    TSelectionHandle H;
    int PressX, PressY, DragX, DragY;
    TSelectionBounds Result;
  } rows[] = {
      {shLeft, 7, 20, 2, 99, {5, 10, 25, 20}},         // grab 3 left of the edge
      {shLeft, 7, 20, 50, 20, {29, 10, 1, 20}},        // past the right edge: width 1
      {shRight, 33, 20, 43, 0, {10, 10, 30, 20}},      // grab 13 beyond the width
      {shRight, 33, 20, 5, 20, {10, 10, 1, 20}},       // past the left edge
      {shTop, 20, 7, 0, 15, {10, 18, 20, 12}},
      {shBottom, 20, 33, 99, 60, {10, 10, 20, 47}},
      {shTopLeft, 7, 7, 40, -5, {29, -2, 1, 32}},
      {shBottomRight, 33, 33, -100, -100, {10, 10, 1, 1}},
      {shTopRight, 33, 7, 34, 8, {10, 11, 21, 19}},
      {shBottomLeft, 7, 33, 8, 34, {11, 10, 19, 21}},
  };
  for (const Row& r : rows) {
    classlib::TPoint grab = HandleGrabOffset(r.H, Point(r.PressX, r.PressY), b);
    EXPECT_EQ(ResizeSelection(r.H, b, Point(r.DragX, r.DragY), grab), r.Result) << "handle " << r.H;
  }
  // Pressing where the handle is and not moving changes nothing.
  for (int h = 0; h < PGSelectionHandleCount; ++h) {
    TRect sq = SelectionHandleRect(SelectionRectOf(b), TSelectionHandle(h));
    classlib::TPoint p = Point(sq.Left + 2, sq.Top + 2);
    EXPECT_EQ(ResizeSelection(TSelectionHandle(h), b, p, HandleGrabOffset(TSelectionHandle(h), p, b)), b);
  }
  // Extreme values do not wrap.
  TSelectionBounds huge{INT_MAX - 1, 0, INT_MAX, 1};
  EXPECT_EQ(ResizeSelection(shLeft, huge, Point(INT_MIN, 0), Point(INT_MAX, 0)).Left, INT_MIN);
}

TEST(SelectionGeometry, MovingKeepsOnePixelInsideThePicture) {
  const TSelectionBounds b{10, 10, 20, 20};
  // Grabbed 5, 6 inside its top-left corner; a 100 x 80 picture.
  EXPECT_EQ(MoveSelection(b, Point(45, 36), Point(5, 6), 100, 80), (TSelectionBounds{40, 30, 20, 20}));
  EXPECT_EQ(MoveSelection(b, Point(-1000, -1000), Point(5, 6), 100, 80), (TSelectionBounds{-19, -19, 20, 20}))
      << "the last column and row at 0";
  EXPECT_EQ(MoveSelection(b, Point(1000, 1000), Point(5, 6), 100, 80), (TSelectionBounds{99, 79, 20, 20}))
      << "the first column and row at the last";
}

TEST(SelectionGeometry, TheRubberBandHoldsBothCornerPixels) {
  EXPECT_EQ(RubberBandSelection(Point(20, 30), Point(5, 10)), (TSelectionBounds{5, 10, 16, 21}));
  EXPECT_EQ(RubberBandSelection(Point(5, 10), Point(20, 30)), (TSelectionBounds{5, 10, 16, 21}));
  EXPECT_EQ(RubberBandSelection(Point(7, 7), Point(7, 7)), (TSelectionBounds{7, 7, 1, 1}));
  EXPECT_EQ(RubberBandSelection(Point(INT_MIN, 0), Point(INT_MAX, 0)).Width, INT_MAX);
}

TEST(SelectionGeometry, FrameStripsAndThePhasePattern) {
  auto strips = SelectionFrameStrips(Rect(10, 20, 30, 40), 8);
  EXPECT_EQ(strips[0], Rect(2, 12, 10, 48));
  EXPECT_EQ(strips[1], Rect(2, 12, 38, 20));
  EXPECT_EQ(strips[2], Rect(30, 12, 38, 48));
  EXPECT_EQ(strips[3], Rect(2, 40, 38, 48));
  EXPECT_EQ(SelectionFrameStrips(Rect(10, 20, 30, 40), 1)[3], Rect(9, 40, 31, 41));

  EXPECT_EQ(SelectionBrushIndex(3, 5, 2), 2);
  EXPECT_EQ(SelectionBrushIndex(0, -3, -2), 3) << "negative sums fold into 0..7";
  EXPECT_EQ(SelectionBrushIndex(7, INT_MAX, INT_MAX), int((7 + 2LL * INT_MAX) % 8));
  // Diagonal stripes four pixels wide; each phase moves them by one pixel.
  for (int p = 0; p < 8; ++p)
    for (int y = 0; y < 8; ++y) {
      int first = 0;
      for (int x = 0; x < 8; ++x) {
        first += SelectionPatternFirstColor(x, y, p);
        EXPECT_EQ(SelectionPatternFirstColor(x, y, p), SelectionPatternFirstColor((x + 1) % 8, y, (p + 1) % 8));
        EXPECT_EQ(SelectionPatternFirstColor(x, y, p), SelectionPatternFirstColor((x + 7) % 8, (y + 1) % 8, p));
      }
      EXPECT_EQ(first, 4);
    }
  EXPECT_TRUE(SelectionPatternFirstColor(0, 0, 0));
  EXPECT_FALSE(SelectionPatternFirstColor(4, 0, 0));
}
