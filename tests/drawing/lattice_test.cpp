// The lattice arithmetic of the drawing window: snapping, the slope test, the short lines and
// the grid's dots, including grid sizes that would divide by zero or overflow 32 bits.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <utility>

#include "drawing/Lattice.h"

using namespace skadra;

TEST(SnapToLattice, SwitchesColumnAndRowWhereTheFormulaSays) {
  // G = 2: columns 39, 73, ... and rows 20, 40, ...
  EXPECT_EQ(SnapToLattice(56, 29, 2), (TPoint{39, 20}));
  EXPECT_EQ(SnapToLattice(57, 30, 2), (TPoint{73, 40}));
  EXPECT_EQ(SnapToLattice(39, 20, 2), (TPoint{39, 20}));
  EXPECT_EQ(SnapToLattice(107, 60, 2), (TPoint{107, 60}));
  // G = 3 steps by 51 and 30; h = G div 2 truncates, so the switch lies past the middle.
  EXPECT_EQ(SnapToLattice(73, 39, 3).X, 39);
  EXPECT_EQ(SnapToLattice(74, 39, 3).X, 90);
  EXPECT_EQ(SnapToLattice(125, 39, 3).X, 141);
  EXPECT_EQ(SnapToLattice(73, 39, 3).Y, 20);
  EXPECT_EQ(SnapToLattice(73, 40, 3).Y, 50);
}

TEST(SnapToLattice, TruncationGivesTheFirstColumnAndRowAWiderBand) {
  // Every X with X + 17 - 40 in (-34, 34) snaps to 39 for G = 2, also negative ones (capture).
  EXPECT_EQ(SnapToLattice(-10, 20, 2).X, 39);
  EXPECT_EQ(SnapToLattice(-11, 20, 2).X, 5);
  EXPECT_EQ(SnapToLattice(39, -9, 2).Y, 20);
  EXPECT_EQ(SnapToLattice(39, -10, 2).Y, 0);
}

TEST(SnapToLattice, LeavesThePointForAGridSizeOfZeroOrLess) {
  EXPECT_EQ(SnapToLattice(57, 30, 0), (TPoint{57, 30}));
  EXPECT_EQ(SnapToLattice(-5, 1000, -4), (TPoint{-5, 1000}));
}

TEST(SnapToLattice, HugeGridSizesNeitherOverflowNorWrap) {
  // Parameters like "2147483647" give such grid sizes; everything near the origin snaps there.
  EXPECT_EQ(SnapToLattice(100, 100, 2147483627), (TPoint{39, 20}));
  EXPECT_EQ(SnapToLattice(INT_MAX, INT_MAX, 2147483627), (TPoint{39, 20}));
  // One column of 17G = 3.4e9 is beyond the 32-bit range: the result is clamped to it.
  TPoint far = SnapToLattice(INT_MAX, INT_MAX, 200000000);
  EXPECT_EQ(far.X, INT_MAX);
  EXPECT_EQ(far.Y, 2000000020);
  // Truncation toward zero also far out on the negative side: (INT_MIN - 40) div 17 = -126322569.
  EXPECT_EQ(SnapToLattice(INT_MIN, INT_MIN, 1), (TPoint{-2147483634, -2147483640}));
}

TEST(ToolSnaps, OnlyTheLongAndShortLines) {
  for (int t = tkLongLine; t <= tkShortNWSE; ++t)
    EXPECT_EQ(ToolSnaps(TToolKind(t)), t == tkLongLine || t >= tkShortNS) << t;
}

TEST(IsIsometric, AsManyColumnsAsRowsInAnyDirection) {
  EXPECT_TRUE(IsIsometric({39, 20}, {73, 40}));
  EXPECT_TRUE(IsIsometric({73, 40}, {39, 20}));
  EXPECT_TRUE(IsIsometric({73, 20}, {39, 40}));
  EXPECT_TRUE(IsIsometric({39, 20}, {141, 80}));
  EXPECT_FALSE(IsIsometric({39, 20}, {107, 40}));  // two columns, one row
  EXPECT_FALSE(IsIsometric({100, 100}, {200, 150}));
  EXPECT_FALSE(IsIsometric({39, 20}, {39, 60})) << "vertical segments are not decided here";
  EXPECT_FALSE(IsIsometric({5, 5}, {5, 5}));
  // Exact in integers: 17 * 1e9 does not fit 32 bits.
  EXPECT_TRUE(IsIsometric({0, 0}, {1700000000, 1000000000}));
  EXPECT_FALSE(IsIsometric({0, 0}, {1700000000, 1000000001}));
  EXPECT_FALSE(IsIsometric({INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}));
}

TEST(ShortLineRefused, EdgesForGridSizeTwoOnTheControl) {
  // Control 780 x 1200: NE-SW below X 62, N-S beyond Y 1140, NW-SE beyond X 740.
  EXPECT_TRUE(ShortLineRefused(tkShortNESW, 61, 500, 2, 780, 1200));
  EXPECT_FALSE(ShortLineRefused(tkShortNESW, 62, 500, 2, 780, 1200));
  EXPECT_TRUE(ShortLineRefused(tkShortNS, 300, 1141, 2, 780, 1200));
  EXPECT_FALSE(ShortLineRefused(tkShortNS, 300, 1140, 2, 780, 1200));
  EXPECT_TRUE(ShortLineRefused(tkShortNWSE, 741, 500, 2, 780, 1200));
  EXPECT_FALSE(ShortLineRefused(tkShortNWSE, 740, 500, 2, 780, 1200));
  for (TToolKind t : {tkLongLine, tkRectangle, tkEllipse, tkRoundRect})
    EXPECT_FALSE(ShortLineRefused(t, -1000, 100000, 2, 780, 1200)) << int(t);
}

TEST(ShortLineRefused, HugeGridSizesRefuseEverywhereWithoutOverflow) {
  EXPECT_TRUE(ShortLineRefused(tkShortNESW, INT_MAX, 0, INT_MAX, 780, 1200));
  EXPECT_TRUE(ShortLineRefused(tkShortNS, INT_MIN, INT_MIN, INT_MAX, 780, 1200));
  EXPECT_TRUE(ShortLineRefused(tkShortNWSE, INT_MIN, 0, INT_MAX, 780, 1200));
}

TEST(ShortLineEnd, DownLeftAndRightByTheLatticeSteps) {
  EXPECT_EQ(ShortLineEnd(tkShortNS, {107, 100}, 2), (TPoint{107, 140}));
  EXPECT_EQ(ShortLineEnd(tkShortNESW, {107, 100}, 2), (TPoint{73, 120}));
  EXPECT_EQ(ShortLineEnd(tkShortNWSE, {107, 100}, 2), (TPoint{141, 120}));
  EXPECT_EQ(ShortLineEnd(tkShortNWSE, {39, 20}, 5), (TPoint{124, 70}));
  EXPECT_EQ(ShortLineEnd(tkLongLine, {107, 100}, 2), (TPoint{107, 100}));
}

TEST(ShortLineEnd, IsClampedToTheThirtyTwoBitRange) {
  EXPECT_EQ(ShortLineEnd(tkShortNS, {39, 20}, INT_MAX), (TPoint{39, INT_MAX}));
  EXPECT_EQ(ShortLineEnd(tkShortNESW, {39, 20}, INT_MAX), (TPoint{INT_MIN, INT_MAX}));
  EXPECT_EQ(ShortLineEnd(tkShortNWSE, {INT_MAX - 5, 20}, 3), (TPoint{INT_MAX, 50}));
}

TEST(GridDots, GridSizeTwoHasFortyRowPairsOfTwentyTwoAndFortyTwoDots) {
  std::vector<TPoint> dots = GridDots(2);
  ASSERT_EQ(dots.size(), 40u * (22 + 42));
  EXPECT_EQ(dots[0], (TPoint{40, 20}));
  EXPECT_EQ(dots[1], (TPoint{108, 20}));
  EXPECT_EQ(dots[21], (TPoint{40 + 68 * 21, 20}));
  EXPECT_EQ(dots[22], (TPoint{74, 40}));
  EXPECT_EQ(dots[63], (TPoint{74 + 68 * 41, 40}));
  EXPECT_EQ(dots[64], (TPoint{40, 60}));
  EXPECT_EQ(dots.back().Y, 20 + 20 * 79);
}

TEST(GridDots, GridSizeThreeRowAHasFifteenDotsAtAPitchOf102) {
  std::vector<TPoint> dots = GridDots(3);
  ASSERT_GE(dots.size(), 15u);
  for (int j = 0; j < 15; ++j) EXPECT_EQ(dots[size_t(j)], (TPoint{40 + 102 * j, 20})) << j;
  EXPECT_EQ(dots[15], (TPoint{91, 50}));
  EXPECT_EQ(dots.size(), 26u * (15 + 42));
}

TEST(GridDots, EveryDotLiesOnTheLatticeWithAnEvenColumnPlusRow) {
  for (int g = 1; g <= 6; ++g) {
    std::set<std::pair<int, int>> seen;
    for (TPoint d : GridDots(g)) {
      ASSERT_EQ((d.X - 40) % (17 * g), 0) << g;
      ASSERT_EQ((d.Y - 20) % (10 * g), 0) << g;
      int k = (d.X - 40) / (17 * g), m = (d.Y - 20) / (10 * g);
      EXPECT_EQ((k + m) % 2, 0) << "G " << g << " dot " << d.X << "," << d.Y;
      EXPECT_TRUE(seen.insert({d.X, d.Y}).second) << "dot drawn twice";
    }
  }
}

TEST(GridDots, NoDotsForGridSizesThatHaveNoRowOrWouldDivideByZero) {
  EXPECT_TRUE(GridDots(0).empty());
  EXPECT_TRUE(GridDots(-2).empty());
  EXPECT_TRUE(GridDots(81).empty());
  EXPECT_TRUE(GridDots(INT_MAX).empty());
  EXPECT_EQ(GridDots(80).size(), 1u + 42u);
}
