#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "classlib/testing.h"
#include "imagelib/PGOptions.h"
#include "imagelib/PGraphic.h"

using namespace imagelib;

namespace {
// A picture that counts its OnChange events.
struct Picture {
  Picture() : P(New<TPixelGraphic>()) {
    P->OnChange = [this](TObject* Sender) {
      ++Changes;
      EXPECT_EQ(Sender, P.get());
    };
  }
  TPixelGraphic* operator->() { return P.get(); }
  TOwned<TPixelGraphic> P;
  int Changes = 0;
};

const uint8_t* Row(TPixelGraphic* P, int Y) { return P->ScanLine(Y); }
}  // namespace

TEST(TPixelGraphic, StartsAsAnEmpty24BitPicture) {
  Picture p;
  EXPECT_TRUE(p->GetEmpty());
  EXPECT_EQ(p->GetBitCount(), 24);
  EXPECT_EQ(p->GetBitCountNum(), 3);
  EXPECT_EQ(p->GetPaletteIdent(), pTrueColor);
  EXPECT_EQ(p->GetWidth(), 0);
  EXPECT_EQ(p->GetRowSize(), 0);
  EXPECT_TRUE(p->GetDither());
  EXPECT_EQ(p->GetDitherErrorLimit(), 32);
  EXPECT_TRUE(p->GetColorCache());
  EXPECT_TRUE(p->GetRGBWeighting());
  EXPECT_EQ(p->GetStretchMode(), smPrecise);
  EXPECT_EQ(p->GetReadWarningAction(), pgwaOKCancelBox);
  EXPECT_EQ(p->GetSaveColorResWarningAction(), pgwaOKCancelBox);
  EXPECT_FALSE(p->GetRaiseOnOutOfRange());
  EXPECT_EQ(p->GetGamma(), PGDisplayGamma);
  EXPECT_EQ(p->GetGamma(), 1.8L);
  EXPECT_EQ(p->GetStreamSize(), 58);
  EXPECT_EQ(p->GetPalette(), nullptr);
}

TEST(NewImage, ZeroSizedPictures) {
  Picture p;
  p->NewImage(0, 0, 3);
  EXPECT_EQ(p.Changes, 0) << "same geometry: a Clear of an empty picture";
  p->NewImage(5, 0, 2);
  EXPECT_EQ(p.Changes, 1);
  EXPECT_TRUE(p->GetEmpty());
  EXPECT_EQ(p->GetWidth(), 5);
  EXPECT_EQ(p->GetHeight(), 0);
  EXPECT_EQ(p->GetDIBSection(), nullptr);
  EXPECT_EQ(p->GetBitmapInfo(), nullptr);
}

TEST(NewImage, RowSizesArePaddedToFourBytes) {
  struct Case {
    int Width, BitCountNum, RowSize;
  } cases[] = {{1, 3, 4}, {33, 0, 8}, {3, 1, 4}, {32, 0, 4}, {9, 1, 8}, {5, 2, 8}, {4, 3, 12}, {47, 3, 144}};
  for (const Case& c : cases) {
    Picture p;
    p->NewImage(c.Width, 3, c.BitCountNum);
    EXPECT_EQ(p->GetRowSize(), c.RowSize) << c.Width << " x " << c.BitCountNum;
    EXPECT_EQ(p->GetImageSize(), 3 * c.RowSize);
    // Without a palette the packed bitmap still carries the full colour table of the bit count.
    int tableEntries = c.BitCountNum == 3 ? 0 : p->GetPaletteSize();
    EXPECT_EQ(p->GetPaletteCount(), 0);
    EXPECT_EQ(p->GetStreamSize(), 4 * tableEntries + 3 * c.RowSize + 58);
  }
}

TEST(NewImage, DescribesTheSectionInItsHeader) {
  Picture p;
  p->SetPaletteIdent(pGray16);
  p->NewImage(7, 5, 1);
  const BITMAPINFO* info = p->GetBitmapInfo();
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->bmiHeader.biSize, 40u);
  EXPECT_EQ(info->bmiHeader.biWidth, 7);
  EXPECT_EQ(info->bmiHeader.biHeight, 5) << "bottom-up";
  EXPECT_EQ(info->bmiHeader.biBitCount, 4);
  EXPECT_EQ(info->bmiHeader.biSizeImage, 20u);
  EXPECT_EQ(info->bmiHeader.biClrUsed, 16u);
  EXPECT_EQ(info->bmiColors[15].rgbRed, 255);
  EXPECT_EQ(info->bmiColors[1].rgbGreen, 17);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) EXPECT_EQ(p->GetPixel(x, y), 0);
}

TEST(NewImage, ColourTableIsBlackBeyondThePalette) {
  Picture p;
  p->NewImage(1, 1, 2);
  p->SetPaletteCount(2);
  p->SetPaletteEntry(0, MakeRGB(10, 20, 30));
  p->SetPaletteEntry(1, MakeRGB(1, 2, 3));
  p->NewImage(2, 1, 2);
  const RGBQUAD* table = p->GetBitmapInfo()->bmiColors;
  EXPECT_EQ(table[0].rgbBlue, 30);
  EXPECT_EQ(table[1].rgbRed, 1);
  for (int i = 2; i < 256; ++i) ASSERT_EQ(table[i].rgbRed | table[i].rgbGreen | table[i].rgbBlue, 0) << i;
}

TEST(NewImage, ShortensAPaletteButNeverLengthensIt) {
  Picture p;
  p->NewImage(4, 4, 2);
  p->SetPaletteIdent(pGray256);
  p->NewImage(4, 4, 1);
  EXPECT_EQ(p->GetPaletteCount(), 16);
  p->NewImage(4, 4, 2);
  EXPECT_EQ(p->GetPaletteCount(), 16);
  p->NewImage(4, 4, 3);
  EXPECT_EQ(p->GetPaletteCount(), 0);
  EXPECT_EQ(p->GetPaletteIdent(), pTrueColor);
}

TEST(NewImage, RefusesNegativeSizesWidthFirst) {
  Picture p;
  try {
    p->NewImage(-1, -1, 3);
    FAIL();
  } catch (const EPGInvalidSize& e) {
    EXPECT_EQ(e.Message(), "Negative width");
  }
  try {
    p->NewImage(1, -1, 3);
    FAIL();
  } catch (const EPGInvalidSize& e) {
    EXPECT_EQ(e.Message(), "Negative height");
  }
  EXPECT_THROW(p->NewImage(1, 1, 4), EPGInvalidBitCountNum);
}

TEST(NewImage, RefusesPixelMemoryBeyondTheLimitAndStaysUsable) {
  Picture p;
  p->NewImage(2, 2, 3);
  try {
    p->NewImage(70000, 70000, 3);  // 14.7 GB: far beyond what the 32-bit sizes can describe
    FAIL();
  } catch (const EPixelGraphic& e) {
    EXPECT_EQ(e.Message(), "CreateDIBSection failed");
  }
  EXPECT_EQ(p->GetWidth(), 70000);
  EXPECT_TRUE(p->GetEmpty());
  EXPECT_EQ(p->GetImageSize(), 0);
  // Pixel access treats the picture as outside, drawing does nothing.
  EXPECT_EQ(p->GetPixel(10, 10), 0);
  p->SetPixel(10, 10, 0xFFFFFF);
  p->Clear();
  p->SetRaiseOnOutOfRange(true);
  EXPECT_THROW(p->GetPixel(10, 10), EPGXYIndexOutOfRange);
  // The largest 24-bit picture whose rows fit the limit: one row of the limit's width is refused.
  EXPECT_THROW(p->NewImage(0x7FFFFFFF / 3 + 1, 1, 3), EPixelGraphic);
  p->NewImage(3, 3, 0);
  EXPECT_FALSE(p->GetEmpty());
}

// The refusal NewImage and every reader share, on sizes in 64 bits: the largest row and the most
// rows of 4 bytes pass, a pixel or a row more does not, nor does a size beyond 32 bits.
TEST(ImageSizeLimit, BoundaryPairsAndSizesBeyond32Bits) {
  auto refusal = [](int64_t Width, int64_t Height, int Bits) {
    try {
      RequireNonNegativeSize(Width, Height);
      RequireImageSizeWithinLimit(Width, Height, Bits);
      return std::string();
    } catch (const EPixelGraphic& e) {
      return e.ClassName() + ": " + e.Message();
    }
  };
  const std::string tooLarge = "EPixelGraphic: CreateDIBSection failed";
  EXPECT_EQ(refusal(0x7FFFFFFC, 1, 8), "");
  EXPECT_EQ(refusal(0x7FFFFFFD, 1, 8), tooLarge);  // padded to 2^31 bytes
  EXPECT_EQ(refusal(32, 0x1FFFFFFF, 1), "");
  EXPECT_EQ(refusal(32, 0x20000000, 1), tooLarge);
  EXPECT_EQ(refusal(int64_t(1) << 40, 1, 1), tooLarge);
  EXPECT_EQ(refusal(0, int64_t(1) << 40, 24), "") << "no pixel memory, however many rows";
  EXPECT_EQ(refusal(-1, -1, 24), "EPGInvalidSize: Negative width");
  EXPECT_EQ(refusal(1, -1, 24), "EPGInvalidSize: Negative height");
}

#ifndef _WIN32
TEST(NewImage, AFailedBitmapSectionLeavesNoPixelMemory) {
  Picture p;
  classlib::testing::ForceCreateDIBSectionFailure(1);
  EXPECT_THROW(p->NewImage(8, 8, 2), EPixelGraphic);
  EXPECT_TRUE(p->GetEmpty());
  EXPECT_EQ(p->GetBitmapInfo(), nullptr);
  EXPECT_EQ(p->GetPixel(1, 1), 0);
  p->NewImage(8, 9, 2);
  EXPECT_FALSE(p->GetEmpty());
}
#endif

TEST(Pixels, LayoutOfEachBitCount) {
  Picture p;
  p->NewImage(10, 2, 1);
  p->SetPixel(0, 0, 15);
  p->SetPixel(1, 0, 1);
  EXPECT_EQ(Row(p.P.get(), 0)[0], 0xF1);
  p->SetPixel(1, 0, 0x1A);  // the low nibble only
  EXPECT_EQ(Row(p.P.get(), 0)[0], 0xFA);
  EXPECT_EQ(p->GetPixel(0, 0), 15);

  p->NewImage(10, 2, 0);
  p->SetPixel(0, 1, 1);
  p->SetPixel(9, 1, 1);
  p->SetPixel(3, 1, 2);  // any value but 1 clears
  EXPECT_EQ(Row(p.P.get(), 1)[0], 0x80);
  EXPECT_EQ(Row(p.P.get(), 1)[1], 0x40);
  EXPECT_EQ(p->GetBits(), Row(p.P.get(), 1)) << "the bottom row comes first in memory";

  p->NewImage(2, 2, 3);
  p->SetPixel(1, 0, MakeRGB(1, 2, 3));
  const uint8_t* bgr = Row(p.P.get(), 0) + 3;
  EXPECT_EQ(bgr[0], 3);
  EXPECT_EQ(bgr[1], 2);
  EXPECT_EQ(bgr[2], 1);
  EXPECT_EQ(p->GetPixel(1, 0), MakeRGB(1, 2, 3));
  EXPECT_EQ(p->GetPixelColor(1, 0), MakeRGB(1, 2, 3));
  EXPECT_EQ(p.Changes, 3) << "SetPixel fires nothing";
}

TEST(Pixels, OutsideThePicture) {
  Picture p;
  p->NewImage(3, 3, 3);
  p->SetBackGroundColor(MakeRGB(9, 8, 7));
  EXPECT_EQ(p->GetPixel(-1, 0), MakeRGB(9, 8, 7));
  EXPECT_EQ(p->GetPixel(0, 3), MakeRGB(9, 8, 7));
  p->SetPixel(3, 0, 0x123456);  // ignored
  p->SetRaiseOnOutOfRange(true);
  try {
    p->GetPixel(3, 0);
    FAIL();
  } catch (const EPGXYIndexOutOfRange& e) {
    EXPECT_EQ(e.Message(), "X, Y index out of range");
  }
  EXPECT_THROW(p->SetPixel(0, -1, 0), EPGXYIndexOutOfRange);
  EXPECT_EQ(p->ScanLine(0), p->GetBits() + 2 * p->GetRowSize());
  Picture empty;
  EXPECT_EQ(empty->ScanLine(0), nullptr);
}

TEST(Pixels, PaletteEntriesAndColours) {
  Picture p;
  EXPECT_EQ(p->GetPaletteEntry(12345), 12345) << "true colour: the index is the colour";
  p->NewImage(2, 2, 2);
  p->SetPaletteIdent(pGray256);
  EXPECT_EQ(p->GetPaletteEntry(200), MakeRGB(200, 200, 200));
  try {
    p->GetPaletteEntry(256);
    FAIL();
  } catch (const EPGInvalidPaletteIndex& e) {
    EXPECT_EQ(e.Message(), "Invalid palette index");
  }
  p->SetPixelColor(1, 1, MakeRGB(90, 90, 90));
  EXPECT_EQ(p->GetPixel(1, 1), 90);
  EXPECT_EQ(p->GetPixelColor(1, 1), MakeRGB(90, 90, 90));
  p->SetBackGroundColor(MakeRGB(30, 30, 30));
  EXPECT_EQ(p->GetBackGroundValue(), 30);
  EXPECT_EQ(p->GetBackGroundColor(), MakeRGB(30, 30, 30));
}

TEST(Clear, FillsWithTheBackgroundAndLeavesPaddingAlone) {
  struct Case {
    int BitCountNum, Width;
    TPaletteIdent Palette;
    TRGB Background;
    int32_t Index;
  } cases[] = {{0, 11, pBlackWhite, 0xFFFFFF, 1},
               {1, 5, pGray16, MakeRGB(204, 204, 204), 12},
               {2, 6, pGray256, MakeRGB(77, 77, 77), 77},
               {3, 5, pTrueColor, 0x102030, 0x102030}};
  for (const Case& c : cases) {
    Picture p, reference;
    for (TPixelGraphic* q : {p.P.get(), reference.P.get()}) {
      q->NewImage(c.Width, 3, c.BitCountNum);
      q->SetPaletteIdent(c.Palette);
      std::memset(q->GetBits(), 0xAA, size_t(q->GetImageSize()));
    }
    p->SetBackGroundColor(c.Background);
    ASSERT_EQ(p->GetBackGroundValue(), c.Index);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < c.Width; ++x) reference->SetPixel(x, y, c.Index);
    int before = p.Changes;
    p->Clear();
    EXPECT_EQ(p.Changes, before + 1);
    EXPECT_EQ(std::memcmp(p->GetBits(), reference->GetBits(), size_t(p->GetImageSize())), 0)
        << "bit count " << c.BitCountNum << ": exactly what SetPixel on every pixel gives";
  }
}

TEST(Clear, ZeroBackgroundClearsEverythingIncludingPadding) {
  Picture p;
  p->NewImage(5, 2, 3);
  std::memset(p->GetBits(), 0x55, size_t(p->GetImageSize()));
  p->Clear();
  for (int i = 0; i < p->GetImageSize(); ++i) ASSERT_EQ(p->GetBits()[i], 0) << i;
  Picture empty;
  empty->Clear();
  EXPECT_EQ(empty.Changes, 0);
}

TEST(Geometry, SettersMakeANewBlankBitmapOnlyOnAChange) {
  Picture p;
  p->NewImage(4, 4, 3);
  p->SetPixel(1, 1, 0xFFFFFF);
  int changes = p.Changes;
  p->SetWidth(4);
  p->SetHeight(4);
  p->SetBitCountNum(3);
  EXPECT_EQ(p.Changes, changes);
  EXPECT_EQ(p->GetPixel(1, 1), 0xFFFFFF);
  p->SetWidth(5);
  EXPECT_EQ(p.Changes, changes + 1);
  EXPECT_EQ(p->GetPixel(1, 1), 0);
  p->SetBitCountNum(2);
  EXPECT_EQ(p->GetBitCount(), 8);
  EXPECT_EQ(TPixelGraphic::BitCountToNum(24), 3);
  EXPECT_EQ(TPixelGraphic::BitCountToNum(1), 0);
  try {
    TPixelGraphic::BitCountToNum(16);
    FAIL();
  } catch (const EPGInvalidBitCountNum& e) {
    EXPECT_EQ(e.Message(), "Invalid value for BitCountNum");
  }
}

TEST(Changed, NestedUpdatesFireOnceAtTheOutermostEnd) {
  Picture p;
  p->BeginUpdate();
  p->BeginUpdate();
  p->NewImage(3, 3, 3);
  p->EndUpdate();
  EXPECT_EQ(p.Changes, 0);
  p->EndUpdate();
  EXPECT_EQ(p.Changes, 1);
  p->SetColorCache(false);
  EXPECT_EQ(p.Changes, 2);
  p->SetColorCache(false);
  EXPECT_EQ(p.Changes, 2) << "no change, no event";
}

TEST(Assign, CopiesPixelsPaletteAndOptionsButNotEvents) {
  Picture source;
  source->NewImage(3, 2, 2);
  source->SetPaletteIdent(pSys16);
  source->SetPaletteCount(17);  // one more: the palette becomes an unknown one
  source->SetPaletteEntry(16, MakeRGB(1, 2, 3));
  source->SetPixel(2, 1, 16);
  source->SetDither(false);
  source->SetDitherErrorLimit(7);
  source->SetDitherErrorLimitAuto(false);
  source->SetDitherErrorLimitSoft(false);
  source->SetGamma(2.2L);
  source->SetStretchMode(smFast);
  source->SetRaiseOnOutOfRange(true);
  source->SetFastJPGDecoding(true);
  bool progressCalled = false;
  source->OnProgressStart = [&](TObject*) { progressCalled = true; };

  Picture copy;
  copy->Assign(source.P.get());
  EXPECT_EQ(copy.Changes, 1) << "Assign brackets its work in one update";
  EXPECT_EQ(copy->GetWidth(), 3);
  EXPECT_EQ(copy->GetBitCount(), 8);
  EXPECT_EQ(copy->GetPixel(2, 1), 16);
  EXPECT_EQ(copy->GetPaletteCount(), 17);
  EXPECT_EQ(copy->GetPaletteEntry(16), MakeRGB(1, 2, 3));
  EXPECT_EQ(copy->GetPaletteIdent(), pUnknown);
  EXPECT_EQ(copy->GetDitherOptions(), (TDitherOptions{false, 7, false, false}));
  EXPECT_EQ(copy->GetGamma(), 2.2L);
  EXPECT_EQ(copy->GetStretchMode(), smFast);
  EXPECT_TRUE(copy->GetRaiseOnOutOfRange());
  EXPECT_FALSE(copy->GetFastJPGDecoding());
  EXPECT_FALSE(copy->OnProgressStart);

  copy->Assign(nullptr);
  EXPECT_TRUE(copy->GetEmpty());
  EXPECT_EQ(copy->GetBitCount(), 24);
}

TEST(Assign, ToItselfKeepsThePicture) {
  Picture p;
  p->NewImage(2, 2, 3);
  p->SetPixel(0, 0, 0xABCDEF);
  p->Assign(p.P.get());
  EXPECT_EQ(p->GetPixel(0, 0), 0xABCDEF);
}

TEST(Assign, RecognisesAFixedPaletteAgain) {
  Picture source;
  source->NewImage(2, 2, 2);
  source->SetPaletteIdent(pSpecial216);
  Picture copy;
  copy->Assign(source.P.get());
  EXPECT_EQ(copy->GetPaletteIdent(), pSpecial216);
  Picture other;
  other->NewImage(1, 1, 2);
  other->AssignPalette(source.P.get());
  EXPECT_EQ(other->GetPaletteIdent(), pSpecial216);
  EXPECT_EQ(other->GetPaletteEntry(215), MakeRGB(255, 255, 255));
}

TEST(GetPalette, RebuildsAStalePaletteAndNeverKeepsADeletedHandle) {
  Picture p;
  p->NewImage(2, 2, 2);
  p->SetPaletteIdent(pGray4);
  HPALETTE first = p->GetPalette();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(p->GetPalette(), first) << "not stale: the same handle";
  PALETTEENTRY entries[4];
  ASSERT_EQ(GetPaletteEntries(first, 0, 4, entries), 4u);
  EXPECT_EQ(entries[1].peRed, 85);
  EXPECT_EQ(entries[3].peBlue, 255);
  EXPECT_EQ(entries[2].peFlags, 0);
  p->SetPaletteIdent(pTrueColor);
  EXPECT_EQ(p->GetPalette(), nullptr);
  EXPECT_EQ(p->GetPaletteHandle(), nullptr);
  p->SetPaletteIdent(pBlackWhite);
  EXPECT_NE(p->GetPalette(), nullptr);
  p->SetPaletteCount(0);
  EXPECT_EQ(p->GetPalette(), nullptr);
}

TEST(Numerics, PowerFloorAndLuminance) {
  EXPECT_EQ(PGPower(0, 0), 1);
  EXPECT_EQ(PGPower(-2, 0), 1);
  EXPECT_EQ(PGPower(0, 3), 0);
  EXPECT_EQ(PGPower(1, 1e10L), 1);
  try {
    PGPower(-2, 0.5L);
    FAIL();
  } catch (const EPixelGraphic& e) {
    EXPECT_EQ(e.Message(), "Invalid Argument");
  }
  EXPECT_NEAR(double(PGPower(2, 10)), 1024.0, 1e-9);
  EXPECT_EQ(PGFloor(-1.5L), -2);
  EXPECT_EQ(PGFloor(-2.0L), -2);
  EXPECT_EQ(PGFloor(2.999L), 2);
  EXPECT_EQ(Luminance3(0xFFFFFF, true), 765);
  EXPECT_EQ(Luminance3(0xFFFFFF, false), 765);
  EXPECT_EQ(Luminance3(MakeRGB(100, 0, 0), true), 89);
  EXPECT_EQ(Luminance3(MakeRGB(1, 2, 3), false), 6);
  EXPECT_EQ(IntMax(-3, 2), 2);
  EXPECT_EQ(IntMin(-3, 2), -3);
  EXPECT_TRUE(PointInRect(Point(0, 0), Rect(0, 0, 1, 1)));
  EXPECT_FALSE(PointInRect(Point(1, 0), Rect(0, 0, 1, 1)));
}
