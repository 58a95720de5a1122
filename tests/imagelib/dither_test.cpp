#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "imagelib/PGDither.h"
#include "imagelib/PGQuantize.h"
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

TEST(PGClampTable, KeepsChannelsAndGivesTheNearestEndBeyondThem) {
  // Both edges of a channel as boundary pairs, and the table's own ends.
  const std::pair<int, int> cases[] = {{-510, 0},   {-1, 0},    {0, 0},     {1, 1},    {200, 200},
                                       {254, 254}, {255, 255}, {256, 255}, {510, 255}};
  for (auto [v, clamped] : cases) EXPECT_EQ(PGClampTable[v], clamped) << v;
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

namespace {
// Rows the way photographs and drawings come: smooth gradients with a little noise (so that colours
// repeat and neighbours are close), flat runs, pure noise, greys, and channels at their ends.
TOwned<TPixelGraphic> MixedPicture(int W, int H, std::mt19937& Random) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, 3);
  auto channel = [&](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
  for (int y = 0; y < H; ++y) {
    int style = int(Random() % 5);
    int r = int(Random() % 256), g = int(Random() % 256), b = int(Random() % 256);
    int dr = int(Random() % 9) - 4, dg = int(Random() % 9) - 4, db = int(Random() % 9) - 4;
    for (int x = 0; x < W; ++x) {
      TRGB c;
      switch (style) {
        case 0: {
          int jitter = int(Random() % 7) - 3;
          c = MakeRGB(channel(r + dr * x + jitter), channel(g + dg * x - jitter), channel(b + db * x));
          break;
        }
        case 1:
          if (Random() % 6 == 0) r = int(Random() % 256), g = int(Random() % 256), b = int(Random() % 256);
          c = MakeRGB(r, g, b);
          break;
        case 2: c = TRGB(Random() & 0xFFFFFF); break;
        case 3: {
          int v = channel(r + dr * x + int(Random() % 5) - 2);
          c = MakeRGB(v, v, v);
          break;
        }
        default: {
          static const int ends[] = {0, 1, 2, 127, 128, 253, 254, 255};
          c = MakeRGB(ends[Random() % 8], ends[Random() % 8], ends[Random() % 8]);
        }
      }
      p->SetPixel(x, y, c);
    }
  }
  return p;
}

// The colours that ColorToIndex was asked for, in order; the answers are the library's own.
class RecordingPicture : public TPixelGraphic {
 public:
  std::vector<TRGB> Asked;
  int32_t ColorToIndex(TRGB Color) override {
    Asked.push_back(Color);
    return TPixelGraphic::ColorToIndex(Color);
  }
};

// How the target of one case gets its palette: a fixed kind, or entries of its own.
struct PaletteSetup {
  const char* Name;
  std::function<void(TPixelGraphic* Target, TPixelGraphic* Source, std::mt19937& Random)> Apply;
};

std::vector<PaletteSetup> PaletteSetups() {
  std::vector<PaletteSetup> setups;
  for (TPaletteIdent ident : {pBlackWhite, pSysGray4, pSys16, pGray4, pGray16, pGray236, pGray256, pSpecial125,
                              pSpecial216, pSpecial252})
    setups.push_back({"fixed", [ident](TPixelGraphic* t, TPixelGraphic*, std::mt19937&) { t->SetPaletteIdent(ident); }});
  auto entries = [](TPixelGraphic* t, int Count, const std::function<TRGB()>& Entry) {
    t->SetPaletteCount(Count);
    for (int i = 0; i < Count; ++i) t->SetPaletteEntry(i, Entry());
  };
  for (int count : {1, 2, 5, 16, 200, 256})
    setups.push_back({"random", [=](TPixelGraphic* t, TPixelGraphic*, std::mt19937& r) {
                        entries(t, count, [&] { return TRGB(r() & 0xFFFFFF); });
                      }});
  setups.push_back({"greys", [=](TPixelGraphic* t, TPixelGraphic*, std::mt19937& r) {
                      entries(t, 12, [&] {
                        int v = int(r() % 256);
                        return MakeRGB(v, v, v);
                      });
                    }});
  setups.push_back({"ties", [=](TPixelGraphic* t, TPixelGraphic*, std::mt19937& r) {
                      TRGB a = TRGB(r() & 0xFFFFFF), b = TRGB(r() & 0xFFFFFF);
                      int i = 0;
                      entries(t, 6, [&] { return (i++ % 3 == 2) ? b : a; });
                    }});
  setups.push_back({"no cache", [=](TPixelGraphic* t, TPixelGraphic*, std::mt19937& r) {
                      entries(t, 40, [&] { return TRGB(r() & 0xFFFFFF); });
                      t->SetColorCache(false);
                    }});
  for (int colors : {252, 16, 2})
    setups.push_back({"optimised", [colors](TPixelGraphic* t, TPixelGraphic* s, std::mt19937&) {
                        CreateOptimizedPalette(t, s, colors, colors == 252);
                      }});
  return setups;
}
}  // namespace

TEST(DitherRow, GivesExactlyWhatDitherPixelGives) {
  // Every bit count, palette kind and error limit, pictures of several widths: the whole-row form
  // must leave the very pixels and colour map that dithering pixel by pixel leaves, twice in a row
  // into the same pictures (the second run starts from the colour map the first one filled).
  std::mt19937 random(1111);
  std::vector<PaletteSetup> setups = PaletteSetups();
  for (int width : {1, 2, 3, 8, 37, 130})
    for (int bits : {0, 1, 2})
      for (size_t s = 0; s < setups.size(); ++s) {
        const int height = 6;
        auto first = MixedPicture(width, height, random), second = MixedPicture(width, height, random);
        TOwned<TPixelGraphic> byPixel(New<TPixelGraphic>()), byRow(New<TPixelGraphic>());
        unsigned seed = unsigned(random());
        bool weighted = random() & 1, automatic = random() % 3 != 0, soft = random() & 1;
        uint8_t limit = uint8_t(random());
        for (TPixelGraphic* p : {byPixel.get(), byRow.get()}) {
          std::mt19937 same(seed);
          p->NewImage(width, height, bits);
          setups[s].Apply(p, first.get(), same);
          p->SetRGBWeighting(weighted);
          p->SetDitherErrorLimitAuto(automatic);
          p->SetDitherErrorLimit(limit);
          p->SetDitherErrorLimitSoft(soft);
        }
        std::string what = std::string(setups[s].Name) + " " + std::to_string(s) + ", " + std::to_string(bits) +
                           " bits, width " + std::to_string(width) + (weighted ? " weighted" : "") +
                           (automatic ? "" : ", limit " + std::to_string(limit) + (soft ? " soft" : ""));
        for (TPixelGraphic* source : {first.get(), second.get()}) {
          byPixel->BeginDither();
          byRow->BeginDither();
          for (int y = 0; y < height; ++y) {
            byPixel->NextDitherRow();
            byRow->NextDitherRow();
            // Mostly whole rows; some rows left out, some pixel by pixel in both.
            int way = int(random() % 8);
            for (int pass = 0; pass < (way == 0 ? 0 : 1); ++pass) {
              for (int i = 0; i < width; ++i) {
                int x = (y & 1) ? width - 1 - i : i;
                TRGB color = source->GetPixel(x, y);
                byPixel->DitherPixel(x, y, RGBRed(color), RGBGreen(color), RGBBlue(color));
                if (way == 2) byRow->DitherPixel(x, y, RGBRed(color), RGBGreen(color), RGBBlue(color));
              }
              if (way != 2) byRow->DitherRow(y, source->ScanLine(y));
            }
          }
          byPixel->EndDither();
          byRow->EndDither();
          ASSERT_EQ(Indices(byRow.get()), Indices(byPixel.get())) << what;
        }
        // Colours neither run asked for find the colour map in the same state.
        for (int i = 0; i < 64; ++i) {
          TRGB probe = TRGB(random() & 0xFFFFFF);
          ASSERT_EQ(byRow->ColorToIndex(probe), byPixel->ColorToIndex(probe)) << what;
        }
      }
}

TEST(DitherRow, RowsDitheredAgainGiveWhatThePixelPathGives) {
  // Against the protocol: rows dithered several times over before NextDitherRow. The sums grow
  // past what a cell can hold; both ways must stay inside their tables (the sanitizers watch) and
  // agree.
  std::mt19937 random(6);
  auto source = MixedPicture(30, 4, random);
  TOwned<TPixelGraphic> byPixel(New<TPixelGraphic>()), byRow(New<TPixelGraphic>());
  for (TPixelGraphic* p : {byPixel.get(), byRow.get()}) {
    p->NewImage(30, 4, 2);
    p->SetPaletteIdent(pSpecial252);
    p->BeginDither();
  }
  for (int y = 0; y < 4; ++y) {
    byPixel->NextDitherRow();
    byRow->NextDitherRow();
    for (int pass = 0; pass < (y == 2 ? 40 : 2); ++pass) {
      for (int i = 0; i < 30; ++i) {
        int x = (y & 1) ? 29 - i : i;
        TRGB c = source->GetPixel(x, y);
        byPixel->DitherPixel(x, y, RGBRed(c), RGBGreen(c), RGBBlue(c));
      }
      byRow->DitherRow(y, source->ScanLine(y));
    }
  }
  EXPECT_EQ(Indices(byRow.get()), Indices(byPixel.get()));
}

TEST(DitherRow, RowsMadeForAnotherWidthAreLeftAlone) {
  // A picture made anew after BeginDither: its pixels are matched without dithering, and nothing
  // touches the rows made for the old width (the sanitizers watch).
  std::mt19937 random(5);
  auto source = MixedPicture(40, 2, random);
  TOwned<TPixelGraphic> p(New<TPixelGraphic>()), plain(New<TPixelGraphic>());
  p->NewImage(3, 2, 2);
  p->BeginDither();
  for (TPixelGraphic* q : {p.get(), plain.get()}) {
    q->NewImage(40, 2, 2);
    q->SetPaletteIdent(pSpecial252);
  }
  for (int y = 0; y < 2; ++y) {
    p->NextDitherRow();
    if (y == 0)
      p->DitherRow(y, source->ScanLine(y));
    else
      for (int x = 39; x >= 0; --x) p->DitherPixel(x, y, 9 * x, 255 - 6 * x, 128);
    for (int x = 0; x < 40; ++x) plain->SetPixelColor(x, y, y == 0 ? source->GetPixel(x, y) : MakeRGB(9 * x, 255 - 6 * x, 128));
  }
  EXPECT_EQ(Indices(p.get()), Indices(plain.get()));
}

TEST(DitherRow, AsksAPictureThatMatchesColoursItsOwnWayPixelByPixel) {
  std::mt19937 random(77);
  auto source = MixedPicture(23, 4, random);
  TOwned<RecordingPicture> byPixel(New<RecordingPicture>()), byRow(New<RecordingPicture>());
  for (RecordingPicture* p : {byPixel.get(), byRow.get()}) {
    p->NewImage(23, 4, 2);
    p->SetPaletteIdent(pSpecial252);
    p->BeginDither();
  }
  for (int y = 0; y < 4; ++y) {
    byPixel->NextDitherRow();
    byRow->NextDitherRow();
    for (int i = 0; i < 23; ++i) {
      int x = (y & 1) ? 22 - i : i;
      TRGB color = source->GetPixel(x, y);
      byPixel->DitherPixel(x, y, RGBRed(color), RGBGreen(color), RGBBlue(color));
    }
    byRow->DitherRow(y, source->ScanLine(y));
  }
  EXPECT_EQ(byRow->Asked.size(), size_t(23 * 4));
  EXPECT_EQ(byRow->Asked, byPixel->Asked);
  EXPECT_EQ(Indices(byRow.get()), Indices(byPixel.get()));
}
