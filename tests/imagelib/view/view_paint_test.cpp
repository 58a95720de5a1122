// The picture view's painting read back from its window: the margins, the picture flipped either
// way, the tilings with their mirrored tiles (drawn from mirrored pictures and into reversed
// rectangles), the empty frame, and the paint events.
#include <gtest/gtest.h>

#include <string>

#include "tests/form_suite.h"
#include "tests/imagelib/view/view_support.h"

using namespace imagelib;
using namespace testsupport;

namespace {

constexpr int kW = 200, kH = 150;  // the view's client area

// Each pixel its own colour, so that any misplaced pixel shows.
TPixelGraphic* Numbered(int W, int H) {
  auto* p = New<TPixelGraphic>();
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, MakeRGB(x * 2 + 1, y * 2 + 1, 128 + ((x + y) & 63)));
  return p;
}

// Rounds toward minus infinity (tile indices left of and above the picture).
int FloorDiv(int A, int B) { return A >= 0 ? A / B : -((-A + B - 1) / B); }

class ViewPaint : public FormSuite {
 protected:
  void SetUp() override {
    Image = New<TPGImage>(Form);
    Image->SetBorderStyle(bsNone);
    Image->SetBounds(10, 10, kW, kH);
    Image->SetParent(Form);
    Window = Image->GetHandle();
  }
  std::vector<TRGB> Painted() {
    PaintNow(Window);
    return Grab(Window, kW, kH);
  }
  // What a pixel of the client area shows: the picture's pixel of the tile it lies in, mirrored
  // as the tile is, or the margin.
  TRGB Expected(int X, int Y, const TRect& R, TPixelGraphic* P, TRGB Margin) {
    int w = R.Width(), h = R.Height();
    int i = FloorDiv(X - R.Left, w), j = FloorDiv(Y - R.Top, h);
    if (Image->GetTiling() == tNone && (i != 0 || j != 0)) return Margin;
    TTiling t = Image->GetTiling();
    bool mh = Image->GetFlipHorizontal() != ((t == tMirrorHorizontal || t == tMirror) && i % 2 != 0);
    bool mv = Image->GetFlipVertical() != ((t == tMirrorVertical || t == tMirror) && j % 2 != 0);
    int lx = X - R.Left - i * w, ly = Y - R.Top - j * h;
    return P->GetPixel(mh ? w - 1 - lx : lx, mv ? h - 1 - ly : ly);
  }
  TPGImage* Image = nullptr;
  HWND Window = nullptr;
};

}  // namespace

TEST_F(ViewPaint, FlipsTilesAndMarginsShowWhereTheyBelong) {
  struct Row {
    int W, H;  // the picture's size, centred in the view
    TTiling Tiling;
    bool FlipH, FlipV;
  } rows[] = {
      {90, 60, tNone, false, false},  {90, 60, tNone, true, false}, {90, 60, tNone, false, true},
      {90, 60, tNone, true, true},
      // Small tiles: three and more of each mirrored kind come from mirrored pictures.
      {30, 20, tRepeat, false, false}, {30, 20, tMirrorHorizontal, false, false},
      {30, 20, tMirrorVertical, true, false}, {30, 20, tMirror, false, false}, {30, 20, tMirror, true, true},
      // Large tiles: one or two of a kind, drawn into reversed rectangles.
      {120, 90, tMirror, false, false}, {120, 90, tMirrorHorizontal, false, true},
  };
  const TRGB face = SysColor(COLOR_BTNFACE);
  for (const Row& r : rows) {
    Image->SetPixelGraphic(Numbered(r.W, r.H));
    Image->SetCenter(true);
    Image->SetTiling(r.Tiling);
    Image->SetFlipHorizontal(r.FlipH);
    Image->SetFlipVertical(r.FlipV);
    TRect box = Image->GetPicBox()->GetBoundsRect();
    ASSERT_EQ(box, Bounds((kW - r.W) / 2, (kH - r.H) / 2, r.W, r.H));
    std::vector<TRGB> shown = Painted();
    TPixelGraphic* picture = Image->GetPixelGraphic();  // each read waits for the paint thread
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(shown[size_t(y) * kW + x], Expected(x, y, box, picture, face))
            << r.W << "x" << r.H << " tiling " << int(r.Tiling) << " flips " << r.FlipH << r.FlipV << " at " << x
            << "," << y;
  }
}

TEST_F(ViewPaint, AnEmptyViewShowsItsFrameAndMarginsWhateverTheTiling) {
  Image->SetTiling(tMirror);
  Image->SetColor(clYellow);
  Image->SetPicBoxColor(clAqua);
  Image->SetPicBoxFrameColor(clRed);
  Image->GetPicBox()->SetBounds(50, 40, 60, 30);  // a picture area whose picture is not there yet
  std::vector<TRGB> shown = Painted();
  EXPECT_EQ(shown[10 * kW + 10], 0x00FFFF) << "margin";
  EXPECT_EQ(shown[40 * kW + 50], 0x0000FF) << "frame";
  EXPECT_EQ(shown[69 * kW + 109], 0x0000FF) << "frame";
  EXPECT_EQ(shown[50 * kW + 60], 0xFFFF00) << "inside";
  EXPECT_EQ(shown[70 * kW + 110], 0x00FFFF);
}

TEST_F(ViewPaint, EachPaintFiresItsEventsOnceAndErasesNothing) {
  std::vector<std::string> log;
  Image->OnPainting = [&](TObject*) { log.push_back("painting"); };
  Image->OnPaint = [&](TObject*) { log.push_back("paint"); };
  Image->SetPixelGraphic(Numbered(40, 30));
  PaintNow(Window);
  log.clear();
  PaintNow(Window);
  EXPECT_EQ(log, (std::vector<std::string>{"painting", "paint"}));
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 4, 4);
  HGDIOBJ old = SelectObject(mem, bitmap);
  SetPixel(mem, 1, 1, RGB(1, 2, 3));
  EXPECT_EQ(SendMessageA(Window, WM_ERASEBKGND, WPARAM(mem), 0), 1);
  EXPECT_EQ(GetPixel(mem, 1, 1), RGB(1, 2, 3));
  SelectObject(mem, old);
  DeleteObject(bitmap);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
}
