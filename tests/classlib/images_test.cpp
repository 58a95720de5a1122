// TBitmap, TPicture and TImage: exact 24-bit pixels, resizing, change notification, the image
// control's own bitmap, its painting and its invalidation.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/bitmap.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/images.h"
#include "classlib/picture.h"

using namespace classlib;

namespace {
COLORREF PixelOf(TBitmap* B, int X, int Y) {
  const uint8_t* p = B->GetScanLine(Y) + 3 * X;
  return RGB(p[2], p[1], p[0]);
}
}  // namespace

TEST(TBitmap, IsAWhiteTwentyFourBitSectionThatTheCanvasDrawsInto) {
  TOwned<TBitmap> b(New<TBitmap>());
  EXPECT_TRUE(b->GetEmpty());
  b->SetSize(7, 5);
  EXPECT_FALSE(b->GetEmpty());
  EXPECT_EQ(b->GetRowSize(), 24) << "rows padded to 4 bytes";
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(b->GetHandle(), sizeof info, &info));
  EXPECT_EQ(info.bmBitsPixel, 24);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(PixelOf(b.get(), x, y), RGB(255, 255, 255)) << x << "," << y;
  b->GetCanvas()->GetPen()->SetColor(TColor(RGB(1, 2, 3)));
  b->GetCanvas()->MoveTo(0, 1);
  b->GetCanvas()->LineTo(7, 1);
  EXPECT_EQ(PixelOf(b.get(), 6, 1), RGB(1, 2, 3)) << "exact, whatever the screen";
  EXPECT_EQ(PixelOf(b.get(), 6, 0), RGB(255, 255, 255)) << "row 0 is the top";
}

TEST(TBitmap, ResizingKeepsTheTopLeftAndWhitensTheRestButKeepsTheCanvasSettings) {
  TOwned<TBitmap> b(New<TBitmap>());
  b->SetSize(4, 4);
  TCanvas* canvas = b->GetCanvas();
  canvas->GetBrush()->SetColor(clRed);
  canvas->GetPen()->SetMode(pmNotXor);
  canvas->FillRect(Rect(0, 0, 4, 4));
  b->SetSize(6, 3);
  EXPECT_EQ(PixelOf(b.get(), 3, 2), RGB(255, 0, 0));
  EXPECT_EQ(PixelOf(b.get(), 4, 0), RGB(255, 255, 255));
  b->SetHeight(5);
  EXPECT_EQ(PixelOf(b.get(), 0, 3), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(b.get(), 0, 2), RGB(255, 0, 0));
  EXPECT_EQ(b->GetCanvas(), canvas);
  EXPECT_EQ(canvas->GetPen()->GetMode(), pmNotXor);
  canvas->FillRect(Rect(5, 4, 6, 5));
  EXPECT_EQ(PixelOf(b.get(), 5, 4), RGB(255, 0, 0)) << "the canvas draws on the new section";
}

TEST(TBitmap, RefusesNegativeAndOversizedPictures) {
  TOwned<TBitmap> b(New<TBitmap>());
  b->SetSize(3, 3);
  try {
    b->SetSize(-1, 3);
    FAIL();
  } catch (const EInvalidGraphicOperation& e) {
    EXPECT_EQ(e.Message(), "Invalid image size");
  }
  // 100000 x 100000 x 3 bytes overflows 32 bits; refused before anything is allocated.
  EXPECT_THROW(b->SetSize(100000, 100000), EOutOfResources);
  EXPECT_EQ(b->GetWidth(), 3) << "a refused size leaves the bitmap as it was";
  b->SetSize(0, 3);
  EXPECT_TRUE(b->GetEmpty());
  EXPECT_THROW(b->GetScanLine(0), EInvalidGraphicOperation);
}

TEST(TBitmap, AssignCopiesDeepAndEachDrawingReportsOneChange) {
  TOwned<TBitmap> a(New<TBitmap>()), b(New<TBitmap>());
  a->SetSize(3, 2);
  int changes = 0;
  a->OnChange = [&](TObject*) { ++changes; };
  a->GetCanvas()->SetPixel(1, 1, clBlue);
  a->GetCanvas()->Rectangle(0, 0, 1, 1);
  EXPECT_EQ(changes, 2);
  b->Assign(a.get());
  a->GetCanvas()->SetPixel(1, 1, clGreen);
  EXPECT_EQ(PixelOf(b.get(), 1, 1), RGB(0, 0, 255));
  EXPECT_EQ(b->GetWidth(), 3);
  b->Assign(nullptr);
  EXPECT_TRUE(b->GetEmpty());
}

TEST(TPicture, KeepsACopyAndReportsDrawingOnItsBitmap) {
  TPicture picture;
  int changes = 0;
  picture.OnChange = [&](TObject*) { ++changes; };
  TOwned<TBitmap> source(New<TBitmap>());
  source->SetSize(2, 2);
  picture.SetGraphic(source.get());
  EXPECT_EQ(changes, 1);
  EXPECT_NE(picture.GetGraphic(), source.get());
  EXPECT_EQ(picture.GetWidth(), 2);
  picture.GetBitmap()->GetCanvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(PixelOf(source.get(), 0, 0), RGB(255, 255, 255));
  picture.Assign(nullptr);
  EXPECT_EQ(picture.GetGraphic(), nullptr);
  EXPECT_TRUE(picture.GetBitmap()->GetEmpty()) << "asking for the bitmap makes an empty one";
}

namespace {
class Images : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = New<TForm>(Application);
    Form->SetBounds(0, 0, 300, 300);
    Form->SetColor(clYellow);
    Image = New<TImage>(Form);
    Image->SetBounds(10, 10, 60, 40);
    Image->SetParent(Form);
  }
  void TearDown() override { Free(Form); }
  TForm* Form = nullptr;
  TImage* Image = nullptr;
};
}  // namespace

TEST_F(Images, ACanvasWithoutAPictureFirstMakesAWhiteBitmapOfTheControlsSize) {
  TCanvas* canvas = Image->GetCanvas();
  TGraphic* graphic = Image->GetPicture()->GetGraphic();
  ASSERT_NE(graphic, nullptr);
  EXPECT_EQ(graphic->GetWidth(), 60);
  EXPECT_EQ(graphic->GetHeight(), 40);
  canvas->Ellipse(20, 20, 22, 18);  // a grid dot: the 2 x 2 block (20..21, 18..19)
  auto* bitmap = Image->GetPicture()->GetBitmap();
  EXPECT_EQ(PixelOf(bitmap, 20, 18), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(bitmap, 21, 19), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(bitmap, 22, 19), RGB(255, 255, 255));
  EXPECT_EQ(PixelOf(bitmap, 20, 20), RGB(255, 255, 255));
}

TEST_F(Images, PaintsTheBitmapAtTheTopLeftAndTheParentColourBeyond) {
  TOwned<TBitmap> bitmap(New<TBitmap>());
  bitmap->SetSize(30, 20);
  bitmap->GetCanvas()->SetPixel(29, 19, clBlue);
  Image->GetPicture()->SetGraphic(bitmap.get());
  Form->Show();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP target = CreateCompatibleBitmap(screen, 60, 40);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, target);
  Image->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 29, 19), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 30, 19), RGB(255, 255, 0));
  EXPECT_EQ(GetPixel(dc, 5, 35), RGB(255, 255, 0));
  SelectObject(dc, old);
  DeleteObject(target);
  DeleteDC(dc);
  EXPECT_EQ(Image->Perform(WM_ERASEBKGND, 0, 0), 1) << "no erasing under the picture";
}

TEST_F(Images, DrawingInvalidatesTheControlForTheNextPaint) {
  Image->GetCanvas();
  Form->Show();
  HWND h = Image->GetHandle();
  ValidateRect(h, nullptr);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
  Image->GetCanvas()->MoveTo(0, 0);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE)) << "MoveTo draws nothing";
  Image->GetCanvas()->LineTo(10, 10);
  EXPECT_TRUE(GetUpdateRect(h, nullptr, FALSE));
  UpdateWindow(h);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));
}
