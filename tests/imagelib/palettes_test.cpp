#include <gtest/gtest.h>

#include <cstdlib>

#include "imagelib/PGPalettes.h"
#include "imagelib/PGraphic.h"

using namespace imagelib;

namespace {
TOwned<TPixelGraphic> PaletteOf(TPaletteIdent Ident, int BitCountNum = 2) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(2, 2, BitCountNum);
  p->SetPaletteIdent(Ident);
  return p;
}

const TPaletteIdent kFixed[] = {pBlackWhite, pSysGray4, pSys16,      pGray4,      pGray16,
                                pGray236,    pGray256,  pSpecial125, pSpecial216, pSpecial252};
}  // namespace

TEST(FixedPalettes, SizesAndSampleEntries) {
  EXPECT_EQ(FixedPalette(pGray236).Count, 236);
  EXPECT_EQ(FixedPalette(pSpecial252).Count, 252);
  EXPECT_EQ(FixedPalette(pNone).Count, 0);
  const TRGB* s252 = FixedPalette(pSpecial252).Entries;
  EXPECT_EQ(s252[7], MakeRGB(192, 192, 192));
  EXPECT_EQ(s252[16], MakeRGB(0, 0, 64));
  EXPECT_EQ(s252[17], MakeRGB(0, 0, 192));
  EXPECT_EQ(s252[18], MakeRGB(0, 64, 0));
  EXPECT_EQ(s252[124], MakeRGB(255, 255, 192));
  EXPECT_EQ(s252[125], MakeRGB(0x20, 0x20, 0x20));
  EXPECT_EQ(s252[251], MakeRGB(0xE0, 0x60, 0xC0));
  const TRGB* s125 = FixedPalette(pSpecial125).Entries;
  EXPECT_EQ(s125[1], MakeRGB(0, 0, 64));
  EXPECT_EQ(s125[124], MakeRGB(255, 255, 255));
  EXPECT_EQ(FixedPalette(pSpecial216).Entries[6], MakeRGB(0, 51, 0));
  EXPECT_EQ(FixedPalette(pSys16).Entries[9], MakeRGB(255, 0, 0));
}

TEST(FixedPalettes, Gray236Greys) {
  auto p = PaletteOf(pGray236);
  int expected[] = {0, 1, 2, 3, 4, 5, 7, 8};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(RGBRed(p->GetPaletteEntry(i)), expected[i]) << i;
  EXPECT_EQ(RGBRed(p->GetPaletteEntry(234)), 254);
  EXPECT_EQ(RGBRed(p->GetPaletteEntry(235)), 255);
  p->UpdatePaletteIdent();
  EXPECT_EQ(p->GetPaletteIdent(), pGray236);
}

TEST(FixedPalettes, EveryPaletteMapsItsOwnEntriesToThemselves) {
  for (TPaletteIdent ident : kFixed) {
    auto p = PaletteOf(ident);
    for (bool weighted : {true, false}) {
      p->SetRGBWeighting(weighted);
      for (int i = 0; i < p->GetPaletteCount(); ++i)
        ASSERT_EQ(p->ColorToIndex(p->GetPaletteEntry(i)), i) << "ident " << int(ident) << " entry " << i;
    }
  }
}

TEST(FixedPalettes, UpdatePaletteIdentRecognisesEachOne) {
  for (TPaletteIdent ident : kFixed) {
    auto source = PaletteOf(ident);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->NewImage(1, 1, 2);
    p->SetPaletteCount(source->GetPaletteCount());
    for (int i = 0; i < source->GetPaletteCount(); ++i) p->SetPaletteEntry(i, source->GetPaletteEntry(i));
    EXPECT_EQ(p->GetPaletteIdent(), pUnknown) << "entry by entry reads unknown until recognised";
    p->UpdatePaletteIdent();
    EXPECT_EQ(p->GetPaletteIdent(), ident);
    bool grey = ident == pBlackWhite || ident == pSysGray4 || ident == pGray4 || ident == pGray16 ||
                ident == pGray236 || ident == pGray256;
    EXPECT_EQ(p->GetIsGray(), grey) << int(ident);
  }
}

TEST(SetPaletteIdent, RequestsLeaveThePaletteAlone) {
  auto p = PaletteOf(pGray16);
  p->SetPaletteIdent(pSource);
  EXPECT_EQ(p->GetPaletteIdent(), pGray16);
  p->SetPaletteIdent(pOptimized252Sys16);
  EXPECT_EQ(p->GetPaletteIdent(), pGray16);
  EXPECT_EQ(p->GetPaletteCount(), 16);
  p->SetPaletteIdent(pUnknown);
  EXPECT_EQ(p->GetPaletteCount(), 16) << "pUnknown keeps the entries";
  p->SetPaletteIdent(pNone);
  EXPECT_EQ(p->GetPaletteCount(), 0);
  EXPECT_EQ(p->GetPaletteIdent(), pNone);
}

TEST(SetPaletteEntry, RefusesPicturesWithoutAPaletteAndBadIndices) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(1, 1, 3);
  try {
    p->SetPaletteEntry(0, 0);
    FAIL();
  } catch (const EPGNoPalette& e) {
    EXPECT_EQ(e.Message(), "No palette");
  }
  p->SetPaletteCount(2);
  EXPECT_EQ(p->GetPaletteIdent(), pUnknown);
  EXPECT_THROW(p->SetPaletteEntry(2, 0), EPGInvalidPaletteIndex);
  EXPECT_THROW(p->SetPaletteEntry(-1, 0), EPGInvalidPaletteIndex);
  p->SetPaletteEntry(1, MakeRGB(5, 6, 7));
  EXPECT_EQ(p->GetPaletteEntry(1), MakeRGB(5, 6, 7));
  EXPECT_EQ(p->GetBitmapInfo()->bmiHeader.biClrUsed, 0u) << "a 24-bit header never claims a colour table";
  TOwned<TPixelGraphic> none(New<TPixelGraphic>());
  none->NewImage(1, 1, 2);
  none->SetPaletteIdent(pNone);
  EXPECT_THROW(none->ColorToIndex(0), EPGNoPalette);
  EXPECT_THROW(none->ColorToIndex(0), EPGNoPalette) << "a failure is not remembered as a result";
  none->SetPaletteIdent(pUnknown);  // an unknown palette without entries has nothing to match
  for (bool cache : {true, false}) {
    none->SetColorCache(cache);
    EXPECT_THROW(none->ColorToIndex(0x123456), EPGNoPalette);
  }
}

TEST(SetPaletteCount, NewAndDroppedEntriesAreBlackAndTheHeaderFollows) {
  auto p = PaletteOf(pGray4);
  p->SetPaletteCount(6);
  EXPECT_EQ(p->GetPaletteEntry(3), MakeRGB(255, 255, 255));
  EXPECT_EQ(p->GetPaletteEntry(5), 0);
  EXPECT_EQ(p->GetPaletteIdent(), pUnknown);
  EXPECT_EQ(p->GetBitmapInfo()->bmiHeader.biClrUsed, 6u);
  p->SetPaletteCount(300);
  EXPECT_EQ(p->GetBitmapInfo()->bmiHeader.biClrUsed, 256u);
  p->SetPaletteEntry(299, 0xFFFFFF);  // beyond the 8-bit table: kept in the palette only
  EXPECT_EQ(p->GetPaletteEntry(299), 0xFFFFFF);
  EXPECT_THROW(p->SetPaletteCount(-1), EPGInvalidPaletteIndex);

  // Shortened: the slots it no longer covers turn black in the colour table the screen shows.
  auto gray = PaletteOf(pGray256);
  gray->SetPaletteCount(101);
  const RGBQUAD* table = gray->GetBitmapInfo()->bmiColors;
  EXPECT_EQ(table[100].rgbGreen, 100);
  for (int i = 101; i < 256; ++i) ASSERT_EQ(table[i].rgbRed | table[i].rgbGreen | table[i].rgbBlue, 0) << i;
}

TEST(ColorToIndex, ArithmeticKinds) {
  auto p125 = PaletteOf(pSpecial125);
  auto level = [&](int v) { return p125->ColorToIndex(MakeRGB(v, 0, 0)) / 25; };
  EXPECT_EQ(level(224), 4);
  EXPECT_EQ(level(223), 3);
  EXPECT_EQ(level(32), 0);
  EXPECT_EQ(level(33), 1);
  auto p216 = PaletteOf(pSpecial216);
  EXPECT_EQ(p216->ColorToIndex(MakeRGB(0, 0, 26)), 0);
  EXPECT_EQ(p216->ColorToIndex(MakeRGB(0, 0, 27)), 1);
  auto bw = PaletteOf(pBlackWhite);
  bw->SetRGBWeighting(false);
  EXPECT_EQ(bw->ColorToIndex(MakeRGB(127, 128, 128)), 1);
  EXPECT_EQ(bw->ColorToIndex(MakeRGB(127, 127, 128)), 0);
  auto sys4 = PaletteOf(pSysGray4);
  sys4->SetRGBWeighting(false);
  EXPECT_EQ(sys4->ColorToIndex(MakeRGB(64, 64, 64)), 0);   // 192
  EXPECT_EQ(sys4->ColorToIndex(MakeRGB(64, 64, 65)), 1);   // 193
  EXPECT_EQ(sys4->ColorToIndex(MakeRGB(160, 160, 160)), 1);  // 480
  EXPECT_EQ(sys4->ColorToIndex(MakeRGB(223, 223, 224)), 2);  // 670
  EXPECT_EQ(sys4->ColorToIndex(MakeRGB(224, 224, 223)), 3);  // 671
  auto g16 = PaletteOf(pGray16);
  g16->SetRGBWeighting(false);
  EXPECT_EQ(g16->ColorToIndex(MakeRGB(8, 8, 9)), 0);  // L3 25: (25 + 25) div 51
  EXPECT_EQ(g16->ColorToIndex(MakeRGB(8, 9, 9)), 1);  // L3 26
}

TEST(ColorToIndex, Sys16FollowsItsCandidateTable) {
  auto p = PaletteOf(pSys16, 1);
  EXPECT_EQ(p->ColorToIndex(MakeRGB(80, 192, 192)), 7) << "the table's answer, not the nearest colour";
  EXPECT_EQ(p->ColorToIndex(MakeRGB(250, 5, 5)), 9);
  EXPECT_EQ(p->ColorToIndex(MakeRGB(100, 100, 100)), 8);
  EXPECT_EQ(p->ColorToIndex(MakeRGB(40, 40, 200)), 12);
}

TEST(ColorToIndex, RemembersTheLastColourUntilSomethingChanges) {
  auto p = PaletteOf(pGray256);
  TRGB red = MakeRGB(255, 0, 0);
  EXPECT_EQ(p->ColorToIndex(red), (Luminance3(red, true) + 1) / 3);
  p->SetRGBWeighting(false);
  EXPECT_EQ(p->ColorToIndex(red), 85) << "a new weighting recomputes";
  EXPECT_EQ(p->ColorToIndex(red), 85);
}

TEST(ColorToIndex, AnUnknownPaletteTakesTheNearestEntry) {
  for (bool cache : {true, false}) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->NewImage(1, 1, 2);
    p->SetColorCache(cache);
    p->SetPaletteCount(1);
    p->SetPaletteEntry(0, MakeRGB(10, 200, 30));
    for (TRGB c : {0, 0xFFFFFF, 0x123456, MakeRGB(10, 200, 30)}) EXPECT_EQ(p->ColorToIndex(c), 0) << cache;
    p->SetPaletteCount(3);
    p->SetPaletteEntry(1, MakeRGB(250, 250, 250));
    p->SetPaletteEntry(2, MakeRGB(250, 250, 250));  // a tie keeps the first
    EXPECT_EQ(p->ColorToIndex(0xFFFFFF), 1) << cache;
    EXPECT_EQ(p->ColorToIndex(MakeRGB(20, 190, 40)), 0) << cache;
  }
}

TEST(ColorToIndex, TheColourMapPrefersTheEntryFewestCellsAway) {
  // For (7, 0, 0), entry 1 is nearer in distance, but entry 0 lies one 5-6-5 cell away and
  // entry 1 two: the seeded map answers 0, the exact scan answers 1.
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(1, 1, 2);
  p->SetPaletteCount(2);
  p->SetPaletteEntry(0, MakeRGB(0, 7, 0));   // cell (0, 1, 0)
  p->SetPaletteEntry(1, MakeRGB(16, 0, 0));  // cell (2, 0, 0)
  TRGB probe = MakeRGB(7, 0, 0);             // cell (0, 0, 0)
  EXPECT_EQ(p->ColorToIndex(probe), 0);
  p->SetColorCache(false);
  EXPECT_EQ(p->ColorToIndex(probe), 1);
  p->SetColorCache(true);
  EXPECT_EQ(p->ColorToIndex(probe), 0) << "the map is kept while the palette stays";
  p->SetPaletteEntry(1, MakeRGB(16, 0, 0));
  EXPECT_EQ(p->ColorToIndex(probe), 0) << "rebuilt after a palette change, same answer";
}

TEST(ColorToIndex, Gray236TakesTheNearestGreyAndTheLowerOnATie) {
  auto p = PaletteOf(pGray236);
  p->SetRGBWeighting(false);
  for (int l3 = 0; l3 <= 765; ++l3) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 236; ++i) {
      int d = std::abs(3 * RGBRed(p->GetPaletteEntry(i)) - l3);
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    TRGB c = MakeRGB(l3 / 3 + (l3 % 3 > 0), l3 / 3 + (l3 % 3 > 1), l3 / 3);  // a colour of that sum
    ASSERT_EQ(Luminance3(c, false), l3);
    ASSERT_EQ(p->ColorToIndex(c), best) << "L3 " << l3;
  }
}
