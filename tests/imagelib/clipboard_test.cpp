// Pictures through the real clipboard (Windows build; Wine's clipboard needs no display).
#include <gtest/gtest.h>

#include "classlib/clipboard.h"
#include "imagelib/PGCanvas.h"
#include "imagelib/PGInit.h"
#include "imagelib/PGraphic.h"

using namespace imagelib;

namespace {
TOwned<TPixelGraphic> Sample() {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(13, 5, 1);
  p->SetPaletteIdent(pSys16);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x) p->SetPixel(x, y, (x + y) % 16);
  return p;
}
}  // namespace

TEST(PictureClipboard, CopiedPicturesPasteBackIdentical) {
  auto original = Sample();
  Clipboard()->Assign(original.get());
  ASSERT_TRUE(IsClipboardFormatAvailable(CF_DIB));
  // What another program finds there: a packed bitmap with an info header.
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE block = GetClipboardData(CF_DIB);
  ASSERT_NE(block, nullptr);
  const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(block));
  EXPECT_EQ(header->biSize, 40u);
  EXPECT_EQ(header->biWidth, 13);
  EXPECT_EQ(header->biBitCount, 4);
  GlobalUnlock(block);
  CloseClipboard();

  TOwned<TPixelGraphic> pasted(New<TPixelGraphic>());
  pasted->PasteFromClipboard();
  ASSERT_EQ(pasted->GetWidth(), 13);
  EXPECT_EQ(pasted->GetPaletteIdent(), pSys16);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 13; ++x) ASSERT_EQ(pasted->GetPixel(x, y), original->GetPixel(x, y)) << x << "," << y;
}

TEST(PictureClipboard, AClipboardWithoutABitmapLeavesThePicture) {
  Clipboard()->Clear();
  auto p = Sample();
  p->PasteFromClipboard();
  EXPECT_EQ(p->GetWidth(), 13);
  EXPECT_EQ(p->GetPixel(3, 1), 4);
}

TEST(FinalizePGraphicUnit, ReleasesTheContextsCanvasesStillHold) {
  auto p = Sample();
  TPGCanvas* canvas = p->GetCanvas();
  canvas->LineTo(3, 3);
  ASSERT_TRUE(canvas->HandleAllocated());
  FinalizePGraphicUnit();
  EXPECT_FALSE(canvas->HandleAllocated());
  InitPGraphicUnit();
}
