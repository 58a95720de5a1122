#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

#include "imagelib/PGPalettes.h"
#include "imagelib/PGQuantize.h"

using namespace imagelib;

namespace {
TOwned<TPixelGraphic> Picture(int W, int H, int BitCountNum) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, BitCountNum);
  return p;
}

std::vector<TRGB> PaletteOf(TPixelGraphic* P) {
  std::vector<TRGB> entries;
  for (int i = 0; i < P->GetPaletteCount(); ++i) entries.push_back(P->GetPaletteEntry(i));
  return entries;
}

std::vector<TRGB> Sys16() { return std::vector<TRGB>(PGSys16Palette, PGSys16Palette + 16); }

// The centre of the 5-6-5 cell of a colour.
TRGB Centre(TRGB C) { return MakeRGB(RGBRed(C) / 8 * 8 + 4, RGBGreen(C) / 4 * 4 + 2, RGBBlue(C) / 8 * 8 + 4); }
}  // namespace

TEST(MedianCut, OneColourGivesTheCentreOfItsCell) {
  auto source = Picture(5, 4, 3);
  source->SetBackGroundColor(MakeRGB(255, 0, 0));
  source->Clear();
  auto target = Picture(5, 4, 2);
  CreateOptimizedPalette(target.get(), source.get(), 252, false);
  EXPECT_EQ(PaletteOf(target.get()), (std::vector<TRGB>{MakeRGB(252, 2, 4)}));
  EXPECT_EQ(target->GetPaletteIdent(), pUnknown);
  CreateOptimizedPalette(target.get(), source.get(), 252, true);
  std::vector<TRGB> expected{MakeRGB(252, 2, 4)};
  for (TRGB c : Sys16()) expected.push_back(c);
  EXPECT_EQ(PaletteOf(target.get()), expected);
}

TEST(MedianCut, TwoColoursInTwoCells) {
  auto source = Picture(4, 4, 3);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) source->SetPixel(x, y, x < 1 ? MakeRGB(10, 200, 30) : MakeRGB(240, 20, 100));
  auto target = Picture(1, 1, 0);
  CreateOptimizedPalette(target.get(), source.get(), 2, false);
  std::vector<TRGB> palette = PaletteOf(target.get());
  std::sort(palette.begin(), palette.end());
  std::vector<TRGB> expected{Centre(MakeRGB(10, 200, 30)), Centre(MakeRGB(240, 20, 100))};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(palette, expected);
}

TEST(MedianCut, FewerCellsThanColoursKeepsEveryCell) {
  // 100 distinct cells and room for 236: each cell becomes one entry, then the system colours.
  std::mt19937 random(100);
  std::set<TRGB> cells;
  auto source = Picture(100, 3, 3);
  for (int x = 0; x < 100; ++x) {
    TRGB c;
    do c = Centre(TRGB(random() & 0xFFFFFF));
    while (cells.count(c));
    cells.insert(c);
    for (int y = 0; y < 3; ++y) source->SetPixel(x, y, c);
  }
  auto target = Picture(1, 1, 2);
  CreateOptimizedPalette(target.get(), source.get(), 252, true);
  std::vector<TRGB> palette = PaletteOf(target.get());
  ASSERT_EQ(palette.size(), 116u);
  EXPECT_EQ(std::vector<TRGB>(palette.end() - 16, palette.end()), Sys16());
  EXPECT_EQ(std::set<TRGB>(palette.begin(), palette.end() - 16), cells);
}

TEST(MedianCut, LargeCountsDoNotOverflowTheMeans) {
  // 13 million bright pixels over 256 cells in one box: the weighted sums pass 2^31.
  auto source = Picture(4096, 3200, 3);
  std::vector<TRGB> colours;
  for (int i = 0; i < 256; ++i) colours.push_back(MakeRGB(128 + (i % 16) * 8, 192 + (i / 16) * 4, 240));
  int64_t w = 0, sr = 0, sg = 0, sb = 0, counts[65536] = {};
  for (int y = 0; y < 3200; ++y) {
    uint8_t* row = source->ScanLine(y);
    for (int x = 0; x < 4096; ++x) {
      TRGB c = colours[size_t((x + y) % 256)];
      row[3 * x] = uint8_t(RGBBlue(c));
      row[3 * x + 1] = uint8_t(RGBGreen(c));
      row[3 * x + 2] = uint8_t(RGBRed(c));
      int cell = ((RGBRed(c) / 8) << 11) | ((RGBGreen(c) / 4) << 5) | (RGBBlue(c) / 8);
      if (counts[cell] < 65535) ++counts[cell];
    }
  }
  for (int cell = 0; cell < 65536; ++cell) {
    w += counts[cell];
    sr += counts[cell] * (8 * (cell >> 11) + 4);
    sg += counts[cell] * (4 * ((cell >> 5) & 63) + 2);
    sb += counts[cell] * (8 * (cell & 31) + 4);
  }
  ASSERT_GT(sr, int64_t(1) << 31);
  auto target = Picture(1, 1, 0);
  CreateOptimizedPalette(target.get(), source.get(), 1, false);
  EXPECT_EQ(PaletteOf(target.get()),
            (std::vector<TRGB>{MakeRGB(int((sr + w / 2) / w), int((sg + w / 2) / w), int((sb + w / 2) / w))}));
}

TEST(MedianCut, ACellCountsAtMost65535Pixels) {
  // 70000 pixels of one colour and 10000 of another, in rows whose pixels go to all four of a
  // cell's counters: the first weighs 65535 in the mean, not 70000.
  auto source = Picture(401, 200, 3);
  TRGB many = MakeRGB(240, 20, 100), few = MakeRGB(10, 200, 30);
  int manyLeft = 70000;
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 401; ++x) source->SetPixel(x, y, manyLeft-- > 0 ? many : x % 2 ? few : many);
  int64_t counts[2] = {};
  for (int y = 0; y < 200; ++y)
    for (int x = 0; x < 401; ++x) ++counts[source->GetPixelColor(x, y) == few];
  ASSERT_GT(counts[0], 65535);
  int64_t w[2] = {65535, counts[1]};
  auto mean = [&](int (*Channel)(TRGB)) {
    int64_t sum = w[0] * Channel(Centre(many)) + w[1] * Channel(Centre(few));
    return int((sum + (w[0] + w[1]) / 2) / (w[0] + w[1]));
  };
  auto target = Picture(1, 1, 0);
  CreateOptimizedPalette(target.get(), source.get(), 1, false);
  EXPECT_EQ(PaletteOf(target.get()), (std::vector<TRGB>{MakeRGB(mean(RGBRed), mean(RGBGreen), mean(RGBBlue))}));
}

TEST(Octree, APaletteSourceWithFewColoursKeepsThemExactly) {
  std::mt19937 random(10);
  auto source = Picture(20, 2, 2);
  source->SetPaletteCount(256);
  std::set<TRGB> used;
  for (int i = 0; i < 256; ++i) source->SetPaletteEntry(i, TRGB(random() & 0xFFFFFF));
  for (int x = 0; x < 20; ++x) {
    int index = (x % 10) * 7;
    source->SetPixel(x, 0, index);
    source->SetPixel(x, 1, index);
    used.insert(source->GetPaletteEntry(index));
  }
  ASSERT_EQ(used.size(), 10u);
  auto target = Picture(1, 1, 2);
  CreateOptimizedPalette(target.get(), source.get(), 10, false);
  std::vector<TRGB> palette = PaletteOf(target.get());
  EXPECT_EQ(palette.size(), 10u);
  EXPECT_EQ(std::set<TRGB>(palette.begin(), palette.end()), used);
}

TEST(Octree, NeverGivesMoreColoursThanAskedFor) {
  for (unsigned seed = 0; seed < 60; ++seed) {
    std::mt19937 random(seed);
    auto source = Picture(64, 4, 2);
    source->SetPaletteCount(256);
    for (int i = 0; i < 256; ++i) source->SetPaletteEntry(i, TRGB(random() & 0xFFFFFF));
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 64; ++x) source->SetPixel(x, y, y * 64 + x);
    for (int n : {1, 2, 5, 16, 100}) {
      auto target = Picture(1, 1, 2);
      CreateOptimizedPalette(target.get(), source.get(), n, false);
      ASSERT_LE(target->GetPaletteCount(), n) << "seed " << seed;
      ASSERT_GE(target->GetPaletteCount(), 1);
    }
  }
}

TEST(CreateOptimizedPalette, NoRoomOrNoSourceGivesTheSystemColours) {
  auto source = Picture(3, 3, 3);
  auto target = Picture(1, 1, 1);
  CreateOptimizedPalette(target.get(), source.get(), 16, true);
  EXPECT_EQ(PaletteOf(target.get()), Sys16());
  EXPECT_EQ(target->GetPaletteIdent(), pSys16);
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>());
  CreateOptimizedPalette(target.get(), empty.get(), 8, false);
  EXPECT_EQ(PaletteOf(target.get()), std::vector<TRGB>(PGSys16Palette, PGSys16Palette + 8));
  CreateOptimizedPalette(target.get(), source.get(), -5, false);
  EXPECT_EQ(target->GetPaletteCount(), 0);
  CreateOptimizedPalette(target.get(), source.get(), 100000, false);  // clamped to 256
  EXPECT_EQ(target->GetPaletteCount(), 1);
}

TEST(CreateOptimizedPalette, ProgressGoesToTheTargetAndAbortStopsCounting) {
  auto source = Picture(2, 3, 3);
  source->SetPixel(0, 0, MakeRGB(255, 0, 0));
  source->SetPixel(1, 0, MakeRGB(255, 0, 0));
  source->SetPixel(0, 1, MakeRGB(0, 0, 255));  // never counted
  auto target = Picture(1, 1, 2);
  std::vector<std::string> log;
  target->OnProgressStart = [&](TObject*) { log.push_back("start"); };
  target->OnProgressEnd = [&](TObject*) { log.push_back("end"); };
  target->OnProgress = [&](TObject* Sender, int Step, int Max, bool& Abort) {
    EXPECT_EQ(Sender, target.get());
    log.push_back(std::to_string(Step) + "/" + std::to_string(Max));
    Abort = true;
  };
  CreateOptimizedPalette(target.get(), source.get(), 4, false);
  EXPECT_EQ(log, (std::vector<std::string>{"0/2"}));
  EXPECT_EQ(PaletteOf(target.get()), (std::vector<TRGB>{MakeRGB(252, 2, 4)}));
}
