#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imagelib/PGraphic.h"
#include "tests/imagelib/progress_events.h"

using namespace imagelib;

namespace {
TOwned<TPixelGraphic> Picture(int W, int H, int BitCountNum, TPaletteIdent Palette = pTrueColor) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, BitCountNum);
  if (Palette != pTrueColor) p->SetPaletteIdent(Palette);
  return p;
}

TOwned<TPixelGraphic> Row(const std::vector<TRGB>& Colors) {
  auto p = Picture(int(Colors.size()), 1, 3);
  for (size_t x = 0; x < Colors.size(); ++x) p->SetPixel(int(x), 0, Colors[x]);
  return p;
}

std::vector<TRGB> RowOf(TPixelGraphic* P, int Y = 0) {
  std::vector<TRGB> colors;
  for (int x = 0; x < P->GetWidth(); ++x) colors.push_back(P->GetPixelColor(x, Y));
  return colors;
}

// Channel by channel: (Wa * a + Wb * b) div D.
TRGB Mix(TRGB A, int Wa, TRGB B, int Wb, int D) {
  return MakeRGB((Wa * RGBRed(A) + Wb * RGBRed(B)) / D, (Wa * RGBGreen(A) + Wb * RGBGreen(B)) / D,
                 (Wa * RGBBlue(A) + Wb * RGBBlue(B)) / D);
}

TOwned<TPixelGraphic> RandomPicture(int W, int H, int BitCountNum, unsigned Seed) {
  std::mt19937 random(Seed);
  auto p = Picture(W, H, BitCountNum);
  if (BitCountNum != 3) {
    p->SetPaletteCount(p->GetPaletteSize());
    for (int i = 0; i < p->GetPaletteCount(); ++i) p->SetPaletteEntry(i, TRGB(random() & 0xFFFFFF));
  }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      p->SetPixel(x, y, BitCountNum == 3 ? TRGB(random() & 0xFFFFFF) : int(random() % unsigned(p->GetPaletteSize())));
  return p;
}

using testsupport::Events;

const TRGB P0 = MakeRGB(200, 10, 7), P1 = MakeRGB(0, 90, 255), P2 = MakeRGB(33, 66, 99), P3 = MakeRGB(255, 255, 255);
}  // namespace

TEST(StretchCopy, EnlargingLinearlyMixesNeighbours) {
  auto source = Row({P0, P1});
  auto target = Picture(4, 1, 3);  // smPrecise enlarges linearly
  target->CopyFrom(source.get());
  EXPECT_EQ(RowOf(target.get()), (std::vector<TRGB>{P0, Mix(P0, 6, P1, 2, 8), Mix(P0, 2, P1, 6, 8), P1}));
  target->SetStretchMode(smMedium);  // enlarges with boxes: each source pixel twice
  target->CopyFrom(source.get());
  EXPECT_EQ(RowOf(target.get()), (std::vector<TRGB>{P0, P0, P1, P1}));
}

TEST(StretchCopy, ShrinkingWithBoxesAverages) {
  auto four = Row({P0, P1, P2, P3});
  auto two = Picture(2, 1, 3);
  two->CopyFrom(four.get());
  EXPECT_EQ(RowOf(two.get()), (std::vector<TRGB>{Mix(P0, 2, P1, 2, 4), Mix(P2, 2, P3, 2, 4)}));
  auto three = Row({P0, P1, P2});
  two->CopyFrom(three.get());
  EXPECT_EQ(RowOf(two.get()), (std::vector<TRGB>{Mix(P0, 2, P1, 1, 3), Mix(P1, 1, P2, 2, 3)}));
  two->SetStretchMode(smMedium);  // shrinks linearly: source 0.75 of the way between pixels
  two->CopyFrom(three.get());
  EXPECT_EQ(RowOf(two.get()), (std::vector<TRGB>{Mix(P0, 3, P1, 1, 4), Mix(P1, 1, P2, 3, 4)}));
}

TEST(StretchCopy, FastTakesTheNearestColumns) {
  auto four = Row({P0, P1, P2, P3});
  auto three = Picture(3, 1, 3);
  three->SetStretchMode(smFast);
  three->CopyFrom(four.get());
  EXPECT_EQ(RowOf(three.get()), (std::vector<TRGB>{P0, P1, P2}));
  auto seven = Picture(7, 1, 3);
  seven->SetStretchMode(smFast);
  seven->CopyFrom(three.get());
  EXPECT_EQ(RowOf(seven.get()), (std::vector<TRGB>{P0, P0, P0, P1, P1, P2, P2}));
}

TEST(StretchCopy, ResamplesBothDirections) {
  // A 2 x 2 picture to 1 x 1 with boxes: the mean of all four, the rows divided first.
  auto source = Picture(2, 2, 3);
  source->SetPixel(0, 0, P0);
  source->SetPixel(1, 0, P1);
  source->SetPixel(0, 1, P2);
  source->SetPixel(1, 1, P3);
  auto target = Picture(1, 1, 3);
  target->CopyFrom(source.get());
  TRGB top = Mix(P0, 1, P1, 1, 2), bottom = Mix(P2, 1, P3, 1, 2);
  EXPECT_EQ(target->GetPixel(0, 0), Mix(top, 1, bottom, 1, 2));
}

TEST(StretchCopy, RectanglesOutsideThePicturesAreClipped) {
  auto source = Row({P0, P1});
  auto target = Picture(3, 2, 3);
  target->SetBackGroundColor(P3);
  target->Clear();
  target->StretchCopy(-2, 1, 4, 1, 0, 0, 2, 1, source.get());  // half of it lies left of the target
  EXPECT_EQ(RowOf(target.get(), 1), (std::vector<TRGB>{Mix(P0, 2, P1, 6, 8), P1, P3}));
  EXPECT_EQ(RowOf(target.get(), 0), (std::vector<TRGB>{P3, P3, P3}));
  // A source rectangle reaching past the source: samples there are skipped, the pixels stay.
  auto wide = Picture(4, 1, 3);
  wide->SetBackGroundColor(P3);
  wide->Clear();
  wide->SetStretchMode(smFast);
  wide->StretchCopy(0, 0, 4, 1, 1, 0, 2, 1, source.get());
  EXPECT_EQ(RowOf(wide.get()), (std::vector<TRGB>{P1, P1, P3, P3}));
}

TEST(StretchCopy, EmptyRectanglesDoNothing) {
  auto source = Row({P0, P1});
  auto target = Picture(3, 3, 3);
  target->SetStretchMode(smMedium);  // enlarging with boxes divides by the source width
  Events events(target.get());
  target->StretchCopy(0, 0, 3, 3, 0, 0, 0, 1, source.get());
  target->StretchCopy(0, 0, 3, 3, 0, 0, 2, -1, source.get());
  target->StretchCopy(0, 0, 0, 3, 0, 0, 2, 1, source.get());
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>());
  target->CopyFrom(empty.get());
  EXPECT_TRUE(events.Log.empty());
  EXPECT_EQ(target->GetPixel(1, 1), 0);
}

TEST(StretchCopy, LargeZoomsComputeTheirSamplesWithoutOverflow) {
  auto source = Picture(40000, 1, 3);
  source->SetPixel(39999, 0, P1);
  auto target = Picture(60000, 1, 3);
  target->SetStretchMode(smFast);
  target->CopyFrom(source.get());  // 59999 * 40000 passes 2^31
  EXPECT_EQ(target->GetPixel(59999, 0), P1);
  EXPECT_EQ(target->GetPixel(59998, 0), 0);
}

TEST(StretchCopy, ProgressPerRowAndAbort) {
  auto source = RandomPicture(5, 6, 3, 7);
  auto target = Picture(4, 3, 3);
  Events events(target.get());
  events.AbortAt = 0;
  target->CopyFrom(source.get());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"start", "0/2", "end", "changed"}));
  EXPECT_EQ(target->GetPixel(0, 1), 0) << "only the first row was converted";
  EXPECT_NE(RowOf(target.get(), 0), std::vector<TRGB>(4, 0));
  events.Log.clear();
  events.AbortAt = -1;
  target->CopyFrom(source.get());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"start", "0/2", "1/2", "2/2", "end", "changed"}));
}

TEST(StretchCopy, AFailedMatchLeavesNoEndEvent) {
  auto source = RandomPicture(3, 3, 3, 8);
  auto target = Picture(2, 2, 2);
  target->SetPaletteIdent(pNone);
  Events events(target.get());
  EXPECT_THROW(target->CopyFrom(source.get()), EPGNoPalette);
  EXPECT_EQ(events.Log, (std::vector<std::string>{"start"}));
  target->SetPaletteIdent(pGray256);
  target->CopyFrom(source.get());  // the dithering state was cleaned up
  EXPECT_EQ(events.Log.back(), "changed");
}

TEST(StretchCopy, WritesPaletteTargetsInSerpentineOrderThroughDithering) {
  auto source = RandomPicture(13, 7, 3, 9);
  for (TPaletteIdent ident : {pSpecial252, pSys16, pGray16}) {
    int bits = ident == pSpecial252 ? 2 : 1;
    for (bool fullWidth : {true, false}) {
      int w = 9, h = 5;
      auto colours = Picture(w, h, 3);
      auto target = Picture(w, h, bits, ident);
      // Equal rectangles in both; the narrower one leaves the first column out.
      int x = fullWidth ? 0 : 1;
      colours->StretchCopy(x, 0, w - x, h, 0, 0, 13, 7, source.get());
      target->StretchCopy(x, 0, w - x, h, 0, 0, 13, 7, source.get());
      auto reference = Picture(w, h, bits, ident);
      reference->BeginDither();
      for (int y = 0; y < h; ++y) {
        reference->NextDitherRow();
        for (int i = 0; i < w - x; ++i) {
          int c = (y & 1) ? w - 1 - i : x + i;
          TRGB colour = colours->GetPixel(c, y);
          reference->DitherPixel(c, y, RGBRed(colour), RGBGreen(colour), RGBBlue(colour));
        }
      }
      for (int y = 0; y < h; ++y)
        ASSERT_EQ(RowOf(target.get(), y), RowOf(reference.get(), y)) << int(ident) << " row " << y << " " << fullWidth;
    }
  }
}

TEST(CopyRect, EveryBitCountPairWithAndWithoutDithering) {
  for (int from : {0, 1, 2, 3})
    for (int to : {0, 1, 2, 3})
      for (bool dither : {true, false}) {
        auto source = RandomPicture(11, 4, from, unsigned(10 + from));
        TPaletteIdent palette = to == 0 ? pBlackWhite : to == 1 ? pSys16 : to == 2 ? pSpecial216 : pTrueColor;
        auto target = Picture(11, 4, to, palette);
        auto reference = Picture(11, 4, to, palette);
        target->SetDither(dither);
        target->CopyFrom(source.get());
        // Pixel by pixel as the copy is defined: rows in order, odd rows from the right.
        if (dither && to != 3) reference->BeginDither();
        for (int y = 0; y < 4; ++y) {
          if (dither && to != 3) reference->NextDitherRow();
          for (int i = 0; i < 11; ++i) {
            int x = (y & 1) ? 10 - i : i;
            TRGB c = source->GetPixelColor(x, y);
            if (to == 3)
              reference->SetPixel(x, y, c);
            else if (dither)
              reference->DitherPixel(x, y, RGBRed(c), RGBGreen(c), RGBBlue(c));
            else
              reference->SetPixelColor(x, y, c);
          }
        }
        for (int y = 0; y < 4; ++y)
          ASSERT_EQ(RowOf(target.get(), y), RowOf(reference.get(), y))
              << from << " -> " << to << (dither ? " dithered" : "") << " row " << y;
      }
}

TEST(CopyRect, SameSizedTrueColourRowsMoveWholeAndSendNoProgress) {
  auto source = RandomPicture(6, 3, 3, 11);
  auto target = Picture(6, 3, 3);
  Events events(target.get());
  target->CopyFrom(source.get());
  EXPECT_EQ(events.Log, (std::vector<std::string>{"start", "end", "changed"}));
  for (int y = 0; y < 3; ++y) EXPECT_EQ(RowOf(target.get(), y), RowOf(source.get(), y));
  events.Log.clear();
  target->CopyRect(4, 1, 5, 5, -3, 0, source.get());  // nothing lies inside both
  EXPECT_EQ(events.Log, (std::vector<std::string>{"changed"}));
}

TEST(CopyRect, CopiesTheOverlapOfBothPictures) {
  auto source = RandomPicture(4, 4, 2, 12);
  auto target = Picture(5, 5, 3);
  Events events(target.get());
  target->CopyRect(3, -1, 4, 4, 1, 1, source.get());
  // Target (3..4, 0..2) takes source (1..2, 2..4); source row 4 does not exist.
  EXPECT_EQ(target->GetPixel(3, 0), source->GetPixelColor(1, 2));
  EXPECT_EQ(target->GetPixel(4, 1), source->GetPixelColor(2, 3));
  EXPECT_EQ(target->GetPixel(3, 2), 0);
  EXPECT_EQ(target->GetPixel(2, 0), 0);
  EXPECT_EQ(events.Log, (std::vector<std::string>{"start", "0/2", "1/2", "end", "changed"}));
}

TEST(Conversions, IndicesBeyondThePaletteReadAsTheScreenShowsThem) {
  auto source = Picture(1, 1, 2);
  source->SetPaletteCount(2);
  source->SetPaletteEntry(0, P1);
  source->SetPaletteEntry(1, P2);
  source->NewImage(3, 1, 2);  // the colour table beyond the palette is black
  source->SetPixel(1, 0, 1);
  source->SetPixel(2, 0, 200);
  auto target = Picture(3, 1, 3);
  target->CopyFrom(source.get());
  EXPECT_EQ(RowOf(target.get()), (std::vector<TRGB>{P1, P2, 0}));
  EXPECT_THROW(source->GetPixelColor(2, 0), EPGInvalidPaletteIndex) << "the accessor itself still refuses";
}
