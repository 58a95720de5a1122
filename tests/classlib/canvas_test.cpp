// The canvas contract, on memory device contexts over 24-bit sections (no display needed), and
// the holders of raw GDI handles.
#include <gtest/gtest.h>

#include <cstring>

#include "classlib/canvas.h"
#include "classlib/exceptions.h"
#include "classlib/gdihandles.h"

using namespace classlib;

namespace {
// A canvas over its own 24-bit section of W x H pixels, white.
class TSectionCanvas : public TCanvas {
 public:
  TSectionCanvas(int W, int H) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = W;
    info.bmiHeader.biHeight = -H;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    FSection = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &FBits, nullptr, 0);
    FRow = ((W * 3 + 3) / 4) * 4;
    std::memset(FBits, 0xFF, size_t(FRow) * H);
  }
  ~TSectionCanvas() override {
    Release();
    DeleteObject(FSection);
  }
  void Release() {
    if (!FDC) return;
    HDC dc = FDC;
    SetHandle(nullptr);
    SelectObject(dc, FOld);
    DeleteDC(dc);
    FDC = nullptr;
  }
  // Blue, green, red of pixel (X, Y), after the drawing has been flushed.
  COLORREF Pixel(int X, int Y) {
    GdiFlush();
    const uint8_t* p = static_cast<uint8_t*>(FBits) + Y * FRow + X * 3;
    return RGB(p[2], p[1], p[0]);
  }
  int CreateCalls = 0;

 protected:
  void CreateHandle() override {
    ++CreateCalls;
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FSection);
    SetHandle(FDC);
  }

 private:
  HBITMAP FSection;
  void* FBits = nullptr;
  int FRow;
  HDC FDC = nullptr;
  HGDIOBJ FOld = nullptr;
};

class TNoHandleCanvas : public TCanvas {};
}  // namespace

TEST(TCanvas, RefusesToDrawWithoutAHandle) {
  TNoHandleCanvas canvas;
  try {
    canvas.LineTo(1, 1);
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Canvas does not allow drawing");
  }
  EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(TCanvas, CreatesItsHandleOnceAndFiresOncePerOperation) {
  TSectionCanvas canvas(20, 10);
  int changes = 0, changing = 0;
  canvas.OnChange = [&](TObject*) { ++changes; };
  canvas.OnChanging = [&](TObject*) { ++changing; };
  canvas.MoveTo(0, 5);
  EXPECT_EQ(changes, 0) << "MoveTo draws nothing";
  canvas.GetPen()->SetColor(clRed);
  EXPECT_EQ(changes, 0) << "a pen change draws nothing";
  canvas.LineTo(10, 5);
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(changing, 1);
  canvas.Rectangle(12, 1, 16, 4);
  canvas.FillRect(Rect(0, 8, 2, 10));
  EXPECT_EQ(changes, 3);
  EXPECT_EQ(canvas.CreateCalls, 1);
  EXPECT_EQ(canvas.Pixel(0, 5), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(9, 5), RGB(255, 0, 0));
  EXPECT_EQ(canvas.Pixel(10, 5), RGB(255, 255, 255)) << "LineTo leaves out the end pixel";
  EXPECT_EQ(canvas.GetPenPos(), Point(10, 5));
}

TEST(TCanvas, NotXorTwiceRestoresThePixels) {
  TSectionCanvas canvas(30, 30);
  canvas.GetPen()->SetColor(clBlue);
  canvas.Rectangle(2, 2, 20, 20);
  canvas.GetPen()->SetMode(pmNotXor);
  canvas.GetPen()->SetColor(clBlack);
  canvas.GetBrush()->SetStyle(bsClear);
  canvas.Rectangle(5, 5, 25, 25);
  EXPECT_NE(canvas.Pixel(5, 10), RGB(255, 255, 255));
  canvas.Rectangle(5, 5, 25, 25);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      bool outline = (x == 2 || x == 19) && y >= 2 && y < 20;
      outline |= (y == 2 || y == 19) && x >= 2 && x < 20;
      COLORREF expected = outline ? RGB(0, 0, 255) : RGB(255, 255, 255);
      ASSERT_EQ(canvas.Pixel(x, y), expected) << x << "," << y;
    }
}

TEST(TCanvas, ResettingTheHandleSelectsTheStockObjectsBack) {
  TSectionCanvas canvas(4, 4);
  canvas.GetPen()->SetColor(clGreen);
  canvas.LineTo(3, 3);
  HDC dc = canvas.GetHandle();
  EXPECT_NE(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  canvas.SetHandle(nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(HOLLOW_BRUSH));
  EXPECT_FALSE(canvas.HandleAllocated());
  // The next operation asks for a handle again.
  canvas.LineTo(0, 0);
  EXPECT_EQ(canvas.CreateCalls, 2);
}

TEST(TCanvas, BrushStyleDecidesTheBackgroundMode) {
  TSectionCanvas canvas(4, 4);
  canvas.GetBrush()->SetColor(clYellow);
  canvas.FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(GetBkMode(canvas.GetHandle()), OPAQUE);
  EXPECT_EQ(GetBkColor(canvas.GetHandle()), RGB(255, 255, 0));
  canvas.GetBrush()->SetStyle(bsDiagCross);
  canvas.Rectangle(0, 0, 4, 4);
  EXPECT_EQ(GetBkMode(canvas.GetHandle()), TRANSPARENT);
  EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0));
}

TEST(GdiHandles, HoldersPutBackWhatTheyReplacedAndFreeTheirHandles) {
  HGDIOBJ bitmap = nullptr;
  {
    TMemoryDC mem(CreateCompatibleDC(nullptr));
    TGdiObject<HBITMAP> owned(CreateBitmap(4, 4, 1, 1, nullptr));
    bitmap = owned.get();
    const HGDIOBJ first = GetCurrentObject(mem.get(), OBJ_BITMAP);
    {
      TSelectedObject selected(mem.get(), owned.get());
      EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), bitmap);
    }
    EXPECT_EQ(GetCurrentObject(mem.get(), OBJ_BITMAP), first);
  }
  EXPECT_EQ(GetObjectType(bitmap), 0u) << "deleted with its holder";
}
