#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imagelib/PGPalettes.h"
#include "imagelib/PGFineGrid.h"
#include "imagelib/PGSpecial252Grid.h"
#include "tests/imagelib/special252_grid.h"

using namespace imagelib;

namespace {
std::vector<int> CellList(int R, int G, int B) {
  int cell = R * 81 + G * 9 + B;
  return std::vector<int>(PGSpecial252Candidates + PGSpecial252Starts[cell],
                          PGSpecial252Candidates + PGSpecial252Starts[cell + 1]);
}
}  // namespace

TEST(Special252Grid, TheShippedTableIsTheOneThePaletteGives) {
  special252::Grid grid = special252::BuildGrid();
  ASSERT_EQ(grid.Starts.size(), 730u);
  ASSERT_EQ(grid.Indices.size(), 1928u);
  for (size_t i = 0; i < 730; ++i) ASSERT_EQ(grid.Starts[i], PGSpecial252Starts[i]) << i;
  for (size_t i = 0; i < 1928; ++i) ASSERT_EQ(grid.Indices[i], PGSpecial252Candidates[i]) << i;
}

TEST(Special252Grid, PublishedCells) {
  EXPECT_EQ(CellList(0, 0, 0), (std::vector<int>{0}));
  EXPECT_EQ(CellList(0, 0, 1), (std::vector<int>{0, 16, 125}));
  EXPECT_EQ(CellList(0, 0, 3), (std::vector<int>{4, 16}));
  EXPECT_EQ(CellList(3, 1, 3), (std::vector<int>{5, 35, 36, 40, 41, 59, 63, 64}));
  EXPECT_EQ(CellList(7, 7, 7), (std::vector<int>{128}));
  for (int cell = 0; cell < 729; ++cell) {
    int n = PGSpecial252Starts[cell + 1] - PGSpecial252Starts[cell];
    EXPECT_GE(n, 1);
    EXPECT_LE(n, 8);
  }
}

TEST(Special252Grid, MatchingGivesANearestEntry) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(1, 1, 2);
  p->SetPaletteIdent(pSpecial252);
  EXPECT_EQ(p->ColorToIndex(MakeRGB(208, 208, 208)), 128) << "of two equally near entries, the listed one";
  TFixedPalette palette = FixedPalette(pSpecial252);
  auto distance = [](TRGB a, TRGB b) {
    int dr = RGBRed(a) - RGBRed(b), dg = RGBGreen(a) - RGBGreen(b), db = RGBBlue(a) - RGBBlue(b);
    return dr * dr + dg * dg + db * db;
  };
  std::mt19937 random(252);
  for (int i = 0; i < 20000; ++i) {
    TRGB c = TRGB(random() & 0xFFFFFF);
    int best = 1 << 30;
    for (int e = 0; e < palette.Count; ++e) best = std::min(best, distance(c, palette.Entries[e]));
    int index = p->ColorToIndex(c);
    ASSERT_EQ(distance(c, palette.Entries[index]), best) << std::hex << c;
  }
}

TEST(FineGrids, GiveTheCandidateRulesAnswerForEveryColour) {
  using namespace colormatch;
  auto check = [](const char* Name, const auto& Grid, TPaletteIdent Ident, int (*Rule)(TRGB)) {
    TFixedPalette palette = FixedPalette(Ident);
    std::vector<uint8_t> entries;  // red, green, blue and a spare byte
    for (int i = 0; i < palette.Count; ++i)
      for (int channel : {RGBRed(palette.Entries[i]), RGBGreen(palette.Entries[i]), RGBBlue(palette.Entries[i]), 0})
        entries.push_back(uint8_t(channel));
    for (int r = 0; r < 256; ++r)
      for (int g = 0; g < 256; ++g)
        for (int b = 0; b < 256; ++b) {
          int cell = Grid.CellOf(r, g, b);
          uint32_t weighed = FineMatch<true>(Grid, entries.data(), cell, r, g, b, Rule);
          ASSERT_EQ(weighed, uint32_t(Rule(MakeRGB(r, g, b)))) << Name << " " << r << "," << g << "," << b;
          ASSERT_EQ(FineMatch<false>(Grid, entries.data(), cell, r, g, b, Rule), weighed) << Name;
        }
  };
  check("pSpecial252", Special252FineGrid(), pSpecial252, Special252Index);
  check("pSys16", Sys16FineGrid(), pSys16, Sys16Index);
}
