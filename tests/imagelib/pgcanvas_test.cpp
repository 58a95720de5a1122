// The picture canvas and drawing a picture to a device (Windows build; memory DCs, no display).
#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/PGCanvas.h"
#include "imagelib/PGraphic.h"

using namespace imagelib;

namespace {
TOwned<TPixelGraphic> NewPicture(int W, int H, int BitCountNum, TPaletteIdent Palette) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, BitCountNum);
  if (Palette != pTrueColor) p->SetPaletteIdent(Palette);
  return p;
}

// A 32-bit top-down target for DrawToDC.
class Target {
 public:
  Target(int W, int H) : FWidth(W) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    FSection = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
    DC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(DC, FSection);
    std::memset(FBits, 0x7F, size_t(W) * H * 4);
  }
  ~Target() {
    SelectObject(DC, FOld);
    DeleteDC(DC);
    DeleteObject(FSection);
  }
  TRGB Pixel(int X, int Y) const {
    GdiFlush();
    uint32_t v = FBits[Y * FWidth + X];
    return MakeRGB(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF));
  }
  HDC DC;

 private:
  int FWidth;
  HBITMAP FSection;
  uint32_t* FBits = nullptr;
  HGDIOBJ FOld;
};
}  // namespace

TEST(TPGCanvas, DrawingLandsInThePixelsAndFiresOncePerOperation) {
  auto p = NewPicture(16, 4, 1, pSys16);
  int changes = 0;
  p->OnChange = [&](TObject*) { ++changes; };
  TPGCanvas* canvas = p->GetCanvas();
  EXPECT_TRUE(p->GetGdiPending());
  canvas->GetPen()->SetColor(clRed);
  canvas->MoveTo(2, 1);
  canvas->LineTo(12, 1);
  EXPECT_EQ(changes, 1);
  canvas->GetBrush()->SetColor(clBlue);
  canvas->FillRect(Rect(0, 3, 4, 4));
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(p->GetPixel(2, 1), 9) << "red is system colour 9";
  EXPECT_EQ(p->GetPixel(11, 1), 9);
  EXPECT_EQ(p->GetPixel(12, 1), 0);
  EXPECT_EQ(p->GetPixel(3, 3), 12);
  EXPECT_FALSE(p->GetGdiPending()) << "pixel access flushed the queued drawing";
  p->BeginUpdate();
  canvas->LineTo(0, 0);
  EXPECT_EQ(changes, 2) << "silent inside an update";
  p->EndUpdate();
  EXPECT_EQ(changes, 3);
}

TEST(TPGCanvas, DrawingAfterAPaletteChangeSeesTheNewColourTable) {
  auto p = NewPicture(4, 4, 2, pGray256);
  TPGCanvas* canvas = p->GetCanvas();
  canvas->SetPixel(0, 0, TColor(RGB(200, 0, 0)));
  EXPECT_NE(p->GetPixel(0, 0), 5);
  p->SetPaletteEntry(5, MakeRGB(200, 0, 0));
  EXPECT_FALSE(canvas->HandleAllocated()) << "a palette change releases the context";
  canvas->SetPixel(1, 0, TColor(RGB(200, 0, 0)));
  EXPECT_EQ(p->GetPixel(1, 0), 5);
}

TEST(TPGCanvas, TheListHoldsExactlyTheCanvasesWithAContext) {
  ASSERT_NE(PGCanvasList, nullptr);
  int before = PGCanvasList->GetCount();
  auto a = NewPicture(4, 4, 3, pTrueColor);
  auto b = NewPicture(4, 4, 2, pGray4);
  auto c = NewPicture(4, 4, 0, pBlackWhite);
  for (auto* p : {a.get(), b.get(), c.get()}) p->GetCanvas()->LineTo(3, 3);
  EXPECT_EQ(PGCanvasList->GetCount(), before + 3);
  b->NewImage(5, 5, 2);  // a new bitmap releases the old context
  EXPECT_EQ(PGCanvasList->GetCount(), before + 2);
  b->GetCanvas()->LineTo(1, 1);
  EXPECT_EQ(PGCanvasList->GetCount(), before + 3);
  FreeAllPGCanvasHandles();
  EXPECT_EQ(PGCanvasList->GetCount(), 0);
  for (auto* p : {a.get(), b.get(), c.get()}) EXPECT_FALSE(p->GetCanvasIfAny()->HandleAllocated());
  a->GetCanvas()->LineTo(0, 0);  // the canvases live on and take a new context
  EXPECT_EQ(PGCanvasList->GetCount(), 1);
  a.reset();
  EXPECT_EQ(PGCanvasList->GetCount(), 0) << "a destroyed picture leaves no canvas behind";
}

TEST(TPGCanvas, ReleasingOtherContextsOfTheSameSection) {
  auto p = NewPicture(4, 4, 3, pTrueColor);
  TPGCanvas* canvas = p->GetCanvas();
  canvas->LineTo(2, 2);
  FreePGCanvasHandlesOfDIB(p->GetDIBSection());
  EXPECT_FALSE(canvas->HandleAllocated());
  EXPECT_EQ(PGCanvasList->IndexOf(canvas), -1);
  auto other = NewPicture(4, 4, 3, pTrueColor);
  other->GetCanvas()->LineTo(1, 1);
  FreePGCanvasHandlesOfDIB(p->GetDIBSection());
  EXPECT_TRUE(other->GetCanvasIfAny()->HandleAllocated()) << "another section is left alone";
}

TEST(TPGCanvas, AStalePaletteIsNotDeletedWhileSelected) {
  auto p = NewPicture(4, 4, 2, pGray16);
  TPGCanvas* canvas = p->GetCanvas();
  canvas->LineTo(1, 1);
  HPALETTE old = p->GetPaletteHandle();
  ASSERT_NE(old, nullptr);
  p->SetPaletteIdent(pUnknown);  // marks the palette stale without touching the canvas
  HPALETTE fresh = p->GetPalette();
  EXPECT_NE(fresh, nullptr);
  EXPECT_EQ(GetObjectType(old), 0u) << "the old palette was really deleted";
  canvas->LineTo(2, 2);
  EXPECT_EQ(GetCurrentObject(canvas->GetHandle(), OBJ_PAL), fresh);
}

TEST(DrawToDC, StretchesThePictureIntoTheRectangle) {
  auto p = NewPicture(2, 2, 3, pTrueColor);
  p->SetPixel(0, 0, MakeRGB(255, 0, 0));
  p->SetPixel(1, 0, MakeRGB(0, 255, 0));
  p->SetPixel(0, 1, MakeRGB(0, 0, 255));
  p->SetPixel(1, 1, MakeRGB(255, 255, 255));
  for (bool viaCanvas : {false, true}) {
    TPixelGraphic::SetForceCanvasBlit(viaCanvas);
    Target t(8, 8);
    p->DrawToDC(t.DC, Rect(2, 2, 6, 6), true, SRCCOPY);
    EXPECT_EQ(t.Pixel(2, 2), MakeRGB(255, 0, 0)) << viaCanvas;
    EXPECT_EQ(t.Pixel(5, 2), MakeRGB(0, 255, 0)) << viaCanvas;
    EXPECT_EQ(t.Pixel(3, 5), MakeRGB(0, 0, 255)) << viaCanvas;
    EXPECT_EQ(t.Pixel(5, 5), MakeRGB(255, 255, 255)) << viaCanvas;
    EXPECT_EQ(t.Pixel(1, 1), MakeRGB(127, 127, 127)) << "outside the rectangle stays";
    EXPECT_EQ(t.Pixel(6, 6), MakeRGB(127, 127, 127));
  }
  TPixelGraphic::SetForceCanvasBlit(false);
}

TEST(DrawToDC, AFarZoomDrawsTheSourcePixelsThatAreSeen) {
  // 4 x 4 pixels of their own colour, each 2^28 device pixels wide: 32 bits cannot hold the
  // destination extent times the source extent.
  auto p = NewPicture(4, 4, 3, pTrueColor);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) p->SetPixel(x, y, MakeRGB(60 * x, 60 * y, 200));
  const int k = 1 << 28;
  for (bool viaCanvas : {false, true}) {
    TPixelGraphic::SetForceCanvasBlit(viaCanvas);
    Target t(40, 30);
    // The visible 40 x 30 lies inside source column 2 and row 1.
    p->DrawToDC(t.DC, Rect(-2 * k - 10, -k - 5, 2 * k - 10, 3 * k - 5), true, SRCCOPY);
    EXPECT_EQ(t.Pixel(0, 0), MakeRGB(120, 60, 200)) << viaCanvas;
    EXPECT_EQ(t.Pixel(39, 29), MakeRGB(120, 60, 200)) << viaCanvas;
    // Mirrored left to right: column 0 is at the right end, column 1 covers the visible part.
    p->DrawToDC(t.DC, Rect(2 * k - 10, -k - 5, -2 * k - 10, 3 * k - 5), true, SRCCOPY);
    EXPECT_EQ(t.Pixel(20, 10), MakeRGB(60, 60, 200)) << viaCanvas;
    // Across the edge of two source columns, 10 device pixels in.
    p->DrawToDC(t.DC, Rect(-k + 10, -k - 5, 3 * k + 10, 3 * k - 5), true, SRCCOPY);
    EXPECT_EQ(t.Pixel(9, 3), MakeRGB(0, 60, 200)) << viaCanvas;
    EXPECT_EQ(t.Pixel(10, 3), MakeRGB(60, 60, 200)) << viaCanvas;
  }
  TPixelGraphic::SetForceCanvasBlit(false);
}

TEST(DrawToDC, SelectsThePaletteAndPutsTheOldOneBack) {
  auto p = NewPicture(2, 1, 0, pBlackWhite);
  p->SetPixel(1, 0, 1);
  Target t(2, 1);
  HGDIOBJ before = GetCurrentObject(t.DC, OBJ_PAL);
  p->DrawToDC(t.DC, Rect(0, 0, 2, 1), false, SRCCOPY);
  EXPECT_EQ(GetCurrentObject(t.DC, OBJ_PAL), before);
  EXPECT_EQ(t.Pixel(0, 0), 0);
  EXPECT_EQ(t.Pixel(1, 0), 0xFFFFFF);
  p->SetNoPaletteRealize(true);
  p->DrawToDC(t.DC, Rect(0, 0, 2, 1), true, NOTSRCCOPY);
  EXPECT_EQ(GetCurrentObject(t.DC, OBJ_PAL), before);
  EXPECT_EQ(t.Pixel(0, 0), 0xFFFFFF) << "the raster operation is passed on";
  EXPECT_EQ(t.Pixel(1, 0), 0);
}

TEST(DrawToDC, EmptyPicturesDrawNothing) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  Target t(2, 2);
  p->DrawToDC(t.DC, Rect(0, 0, 2, 2), true, BLACKNESS);
  EXPECT_EQ(t.Pixel(0, 0), MakeRGB(127, 127, 127));
}

TEST(Draw, ACanvasDrawsThePictureWithItsCopyMode) {
  auto p = NewPicture(1, 1, 3, pTrueColor);
  p->SetPixel(0, 0, MakeRGB(255, 255, 0));
  auto target = NewPicture(3, 1, 3, pTrueColor);
  TPGCanvas* canvas = target->GetCanvas();
  canvas->Draw(1, 0, p.get());
  EXPECT_EQ(target->GetPixel(1, 0), MakeRGB(255, 255, 0));
  EXPECT_EQ(target->GetPixel(2, 0), 0);
  canvas->SetCopyMode(NOTSRCCOPY);
  canvas->StretchDraw(Rect(2, 0, 3, 1), p.get());
  EXPECT_EQ(target->GetPixel(2, 0), MakeRGB(0, 0, 255));
}
