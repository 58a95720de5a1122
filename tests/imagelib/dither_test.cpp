#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imagelib/PGDither.h"
#include "imagelib/PGraphic.h"

using namespace imagelib;

namespace {
using Rows = std::vector<std::vector<TRGB>>;

// Dithers Source into a new picture of the bit count and palette, visiting rows in order and each
// row in its serpentine direction, as the conversions do.
TOwned<TPixelGraphic> Dithered(const Rows& Source, int BitCountNum, TPaletteIdent Palette) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  int h = int(Source.size()), w = int(Source[0].size());
  p->NewImage(w, h, BitCountNum);
  p->SetPaletteIdent(Palette);
  p->BeginDither();
  for (int y = 0; y < h; ++y) {
    p->NextDitherRow();
    for (int i = 0; i < w; ++i) {
      int x = (y & 1) ? w - 1 - i : i;
      TRGB c = Source[size_t(y)][size_t(x)];
      p->DitherPixel(x, y, RGBRed(c), RGBGreen(c), RGBBlue(c));
    }
  }
  p->EndDither();
  return p;
}

std::vector<std::vector<int>> Indices(TPixelGraphic* P) {
  std::vector<std::vector<int>> rows(size_t(P->GetHeight()), std::vector<int>(size_t(P->GetWidth())));
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) rows[size_t(y)][size_t(x)] = P->GetPixel(x, y);
  return rows;
}

TRGB Grey(int V) { return MakeRGB(V, V, V); }

std::vector<int> Limits(TPaletteIdent Ident, int Count, bool Auto = true, int Limit = 32, bool Soft = true) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(2, 1, 2);
  p->SetPaletteIdent(Ident);
  p->SetDitherErrorLimitAuto(Auto);
  p->SetDitherErrorLimit(uint8_t(Limit));
  p->SetDitherErrorLimitSoft(Soft);
  p->BeginDither();
  std::vector<int> t;
  for (int e = 0; e < Count; ++e) t.push_back(p->GetDitherLimit(e));
  EXPECT_EQ(p->GetDitherLimit(-Count + 1), -t.back()) << "the table is odd";
  return t;
}
}  // namespace

TEST(PGClampTable, ClampsTheWholeRange) {
  EXPECT_EQ(PGClampTable[-510], 0);
  EXPECT_EQ(PGClampTable[-1], 0);
  EXPECT_EQ(PGClampTable[0], 0);
  EXPECT_EQ(PGClampTable[200], 200);
  EXPECT_EQ(PGClampTable[255], 255);
  EXPECT_EQ(PGClampTable[510], 255);
  InitClampTable();  // the start-up fill changes nothing
  EXPECT_EQ(PGClampTable[256], 255);
}

TEST(BeginDither, ErrorLimitTables) {
  EXPECT_EQ(Limits(pGray256, 8), (std::vector<int>{0, 0, 1, 1, 2, 2, 2, 2}));
  EXPECT_EQ(Limits(pGray236, 7), (std::vector<int>{0, 0, 1, 1, 2, 3, 3}));
  std::vector<int> l32 = Limits(pUnknown, 101);
  EXPECT_EQ(l32[15], 15);
  EXPECT_EQ(l32[16], 16);
  EXPECT_EQ(l32[20], 18);
  EXPECT_EQ(l32[40], 28);
  EXPECT_EQ(l32[48], 32);
  EXPECT_EQ(l32[100], 32);
  std::vector<int> bw = Limits(pBlackWhite, 256);
  EXPECT_EQ(bw[126], 126);
  EXPECT_EQ(bw[127], 126);
  EXPECT_EQ(bw[200], 163);
  EXPECT_EQ(bw[254], 190);
  EXPECT_EQ(bw[255], 255);
  std::vector<int> s216 = Limits(pSpecial216, 256);
  EXPECT_EQ(s216[42], 42);
  EXPECT_EQ(s216[43], 42) << "the knee starts at L div 2";
  EXPECT_EQ(s216[200], 86);
  std::vector<int> plain = Limits(pSys16, 256, false, 255, false);
  for (int e = 0; e < 256; ++e) ASSERT_EQ(plain[size_t(e)], e) << "plain Floyd-Steinberg";
  std::vector<int> hard = Limits(pSys16, 256, false, 40, false);
  EXPECT_EQ(hard[39], 39);
  EXPECT_EQ(hard[41], 40);
}

TEST(DitherPixel, GreyPathWorkedExample) {
  // Mid grey 100 into black and white: error 100 goes 7/16 ahead, so the next pixel reads 144 and
  // turns white, and so on; the second row runs from the right.
  Rows source(2, std::vector<TRGB>(3, Grey(100)));
  auto p = Dithered(source, 0, pBlackWhite);
  EXPECT_EQ(Indices(p.get()), (std::vector<std::vector<int>>{{0, 1, 0}, {0, 1, 0}}));
  Rows graded = {std::vector<TRGB>(4, Grey(100)),
                 {Grey(30), Grey(60), Grey(120), Grey(200)},
                 std::vector<TRGB>(4, Grey(128))};
  auto q = Dithered(graded, 0, pBlackWhite);
  EXPECT_EQ(Indices(q.get()), (std::vector<std::vector<int>>{{0, 1, 0, 0}, {0, 0, 1, 1}, {1, 0, 1, 0}}));
}

TEST(DitherPixel, ColourPathFollowsTheSerpentine) {
  Rows source = {{MakeRGB(200, 30, 40), MakeRGB(90, 180, 60), MakeRGB(10, 10, 250)},
                 {MakeRGB(250, 250, 10), MakeRGB(128, 64, 200), MakeRGB(60, 60, 60)},
                 {MakeRGB(0, 200, 200), MakeRGB(220, 120, 30), MakeRGB(140, 140, 140)}};
  auto p = Dithered(source, 1, pSys16);
  // Visiting the odd row left to right instead would give 4 at (2, 1) and 3 at (1, 2).
  EXPECT_EQ(Indices(p.get()), (std::vector<std::vector<int>>{{9, 8, 12}, {11, 8, 2}, {14, 9, 8}}));
}

TEST(DitherPixel, AColourOnAPaletteEntryCarriesNoError) {
  for (TPaletteIdent ident : {pSys16, pSpecial216, pSpecial252, pGray16}) {
    TOwned<TPixelGraphic> palette(New<TPixelGraphic>());
    palette->NewImage(1, 1, 2);
    palette->SetPaletteIdent(ident);
    TRGB c = palette->GetPaletteEntry(palette->GetPaletteCount() / 3);
    Rows flat(5, std::vector<TRGB>(7, c));
    auto p = Dithered(flat, 2, ident);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x) ASSERT_EQ(p->GetPixelColor(x, y), c) << int(ident) << " " << x << "," << y;
  }
}

TEST(DitherPixel, OnePixelWideStaysInsideItsRows) {
  Rows column(9, std::vector<TRGB>(1, MakeRGB(77, 130, 201)));
  auto p = Dithered(column, 2, pSpecial125);  // the sanitizers watch the spill cells
  EXPECT_EQ(p->GetWidth(), 1);
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>());
  empty->BeginDither();
  empty->NextDitherRow();
  empty->DitherPixel(0, 0, 1, 2, 3);
  EXPECT_TRUE(empty->GetEmpty());
}

TEST(DitherPixel, OutsideThePictureOrWithoutRowsBehavesLikeSetPixel) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(2, 2, 2);
  p->SetPaletteIdent(pGray256);
  p->DitherPixel(0, 0, 9, 9, 9);  // no BeginDither: plain matching
  EXPECT_EQ(p->GetPixel(0, 0), 9);
  p->BeginDither();
  p->NextDitherRow();
  p->DitherPixel(2, 0, 200, 200, 200);
  p->DitherPixel(-1, 0, 200, 200, 200);
  EXPECT_EQ(p->GetPixel(1, 0), 0);
  p->SetRaiseOnOutOfRange(true);
  EXPECT_THROW(p->DitherPixel(0, 2, 1, 1, 1), EPGXYIndexOutOfRange);
}

TEST(DitherPixel, GreyPicturesDitherTheLuminanceOfTheTargetsWeighting) {
  Rows pure = {{MakeRGB(255, 0, 0), MakeRGB(0, 255, 0), MakeRGB(0, 0, 255)}};
  auto weighted = Dithered(pure, 2, pGray256);
  // 255 * 897 div 1000 = 228, 255 * 1761 div 1000 = 449, 255 * 342 div 1000 = 87, each div 3.
  EXPECT_EQ(Indices(weighted.get())[0], (std::vector<int>{76, 149, 29}));
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(3, 1, 2);
  p->SetPaletteIdent(pGray256);
  p->SetRGBWeighting(false);
  p->BeginDither();
  p->NextDitherRow();
  for (int x = 0; x < 3; ++x) p->DitherPixel(x, 0, x == 0 ? 255 : 0, x == 1 ? 255 : 0, x == 2 ? 255 : 0);
  EXPECT_EQ(Indices(p.get())[0], (std::vector<int>{85, 85, 85}));
}

TEST(DitherRow, GivesExactlyWhatDitherPixelGives) {
  std::mt19937 random(1111);
  struct Case {
    int BitCountNum;
    TPaletteIdent Palette;
  } cases[] = {{0, pBlackWhite}, {1, pSys16},      {1, pGray16},    {2, pSpecial252}, {2, pSpecial216},
               {2, pSpecial125}, {2, pGray256},    {2, pGray236},   {1, pSysGray4},   {2, pUnknown},
               {0, pUnknown},    {2, pSys16},      {1, pSpecial252}};
  for (int width : {1, 2, 37}) {
    TOwned<TPixelGraphic> source(New<TPixelGraphic>());
    source->NewImage(width, 9, 3);
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < width; ++x) source->SetPixel(x, y, TRGB(random() & 0xFFFFFF));
    for (const Case& c : cases) {
      TOwned<TPixelGraphic> byPixel(New<TPixelGraphic>()), byRow(New<TPixelGraphic>());
      for (TPixelGraphic* p : {byPixel.get(), byRow.get()}) {
        p->NewImage(width, 9, c.BitCountNum);
        if (c.Palette == pUnknown) {
          p->SetPaletteCount(c.BitCountNum == 0 ? 2 : 7);
          for (int i = 0; i < p->GetPaletteCount(); ++i) p->SetPaletteEntry(i, TRGB(0x2468AC * (i + 1)) & 0xFFFFFF);
        } else {
          p->SetPaletteIdent(c.Palette);
        }
        p->BeginDither();
      }
      for (int y = 0; y < 9; ++y) {
        byPixel->NextDitherRow();
        byRow->NextDitherRow();
        for (int i = 0; i < width; ++i) {
          int x = (y & 1) ? width - 1 - i : i;
          TRGB color = source->GetPixel(x, y);
          byPixel->DitherPixel(x, y, RGBRed(color), RGBGreen(color), RGBBlue(color));
        }
        byRow->DitherRow(y, source->ScanLine(y));
      }
      ASSERT_EQ(Indices(byRow.get()), Indices(byPixel.get())) << "width " << width << " ident " << int(c.Palette);
      TRGB probe = source->GetPixel(0, 0);
      EXPECT_EQ(byRow->ColorToIndex(probe), byPixel->ColorToIndex(probe));
    }
  }
}
