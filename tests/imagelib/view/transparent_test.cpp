// The transparent controls on a picture view under Wine: the picture's pixels stay visible around
// their text and inside their frames (read back from the windows), the window styles and the
// static-colour answer, the erase in the control's colour once opaque, the repaint of the parent
// under them, and the group box frame.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "imagelib/view/PGImage.h"
#include "imagelib/view/PGTransparentControls.h"
#include "tests/form_suite.h"

using namespace imagelib;

namespace {

constexpr TRGB kPicture = 0x30A060;  // a colour no control draws by itself

void PaintNow(HWND Window) {
  RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// What a window shows in a rectangle of its client area. Read through the window's own device
// context: windows of other test programs may lie over it on the shared screen.
struct TShownArea {
  TShownArea(HWND Window, const TRect& R) : Area(R) {
    HDC dc = GetDC(Window);
    for (int y = R.Top; y < R.Bottom; ++y)
      for (int x = R.Left; x < R.Right; ++x) Pixels.push_back(GetPixel(dc, x, y));
    ReleaseDC(Window, dc);
  }
  int Count(COLORREF C) const { return int(std::count(Pixels.begin(), Pixels.end(), C)); }
  COLORREF At(int X, int Y) const { return Pixels[size_t(Y - Area.Top) * Area.Width() + (X - Area.Left)]; }
  int Size() const { return int(Pixels.size()); }
  TRect Area;
  std::vector<COLORREF> Pixels;
};

// Sends WM_ERASEBKGND to Control with a memory DC that holds the picture and counts the pixels of
// the control's colour afterwards.
int ErasedToColour(TWinControl* Control) {
  RECT r{};
  GetClientRect(Control->GetHandle(), &r);
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  HBRUSH picture = CreateSolidBrush(kPicture);
  FillRect(dc, &r, picture);
  DeleteObject(picture);
  EXPECT_EQ(SendMessageA(Control->GetHandle(), WM_ERASEBKGND, WPARAM(dc), 0), 1);
  COLORREF colour = ColorToRGB(Control->GetColor());
  int count = 0;
  for (int y = 0; y < r.bottom; ++y)
    for (int x = 0; x < r.right; ++x) count += GetPixel(dc, x, y) == colour;
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return count;
}

class Transparent : public testsupport::FormSuite {
 protected:
  void SetUp() override {
    Image = New<TPGImage>(Form);
    Image->SetBorderStyle(bsNone);
    Image->SetBounds(10, 10, 300, 200);
    Image->SetParent(Form);
    auto* picture = New<TPixelGraphic>();
    picture->NewImage(300, 200, 3);
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) picture->SetPixel(x, y, kPicture);
    Image->SetPixelGraphic(picture);
  }
  template <class T>
  T* Add(TWinControl* Parent, const TRect& Bounds, const std::string& Caption = "") {
    T* c = New<T>(Image);
    c->SetBoundsRect(Bounds);
    c->SetCaption(Caption);
    c->SetParent(Parent);
    return c;
  }
  TPGImage* Image = nullptr;
};

}  // namespace

TEST_F(Transparent, ALabelLeavesThePictureAroundItsText) {
  auto* label = Add<TPGLabel>(Image, Rect(20, 20, 0, 0), "Lumbrix 2.1");
  label->GetFont()->SetColor(clBlack);
  auto* opaque = Add<TLabel>(Image, Rect(20, 80, 0, 0), "Lumbrix 2.1");
  opaque->GetFont()->SetColor(clBlack);
  PaintNow(Form->GetHandle());
  ASSERT_GT(label->GetWidth(), 30) << "sized to its text";
  // Glyph edges may be smoothed; whatever is not text is the picture, never the label's colour.
  TShownArea clear(Image->GetHandle(), label->GetBoundsRect());
  int picture = clear.Count(COLORREF(kPicture));
  EXPECT_GT(clear.Size() - picture, 10) << "the text is drawn";
  EXPECT_GT(picture, clear.Size() / 2);
  EXPECT_EQ(clear.Count(GetSysColor(COLOR_BTNFACE)), 0);
  // The class library's own label fills its background.
  TShownArea filled(Image->GetHandle(), opaque->GetBoundsRect());
  EXPECT_EQ(filled.Count(COLORREF(kPicture)), 0);
  EXPECT_GT(filled.Count(GetSysColor(COLOR_BTNFACE)), filled.Size() / 2);
}

TEST_F(Transparent, WindowedControlsShowThePictureThroughTheirBackground) {
  auto* panel = Add<TPGPanel>(Image, Bounds(20, 20, 160, 80), "Panel");
  auto* check = Add<TPGCheckBox>(Image, Bounds(20, 130, 120, 20), "Tjek");
  auto* group = Add<TPGGroupBox>(Image, Bounds(200, 20, 80, 80), "Ramme");
  PaintNow(Form->GetHandle());
  HWND p = panel->GetHandle(), c = check->GetHandle(), g = group->GetHandle();
  // Inside the bevel, away from the caption.
  TShownArea inside(p, Bounds(4, 4, 40, 20));
  EXPECT_EQ(inside.Count(COLORREF(kPicture)), inside.Size());
  TShownArea bevel(p, Bounds(0, 1, 1, 78));
  EXPECT_EQ(bevel.Count(GetSysColor(COLOR_BTNHIGHLIGHT)), 78) << "the raised bevel is still drawn";
  // Right of the check box's text.
  TShownArea afterText(c, Bounds(90, 2, 28, 16));
  EXPECT_EQ(afterText.Count(COLORREF(kPicture)), afterText.Size());
  TShownArea groupInside(g, Bounds(10, 30, 60, 40));
  EXPECT_EQ(groupInside.Count(COLORREF(kPicture)), groupInside.Size());
  // Opaque again, the panel fills its inside with its colour.
  panel->SetTransparent(false);
  check->SetTransparent(false);
  group->SetTransparent(false);
  PaintNow(Form->GetHandle());
  TShownArea filled(p, Bounds(4, 4, 40, 20));
  EXPECT_EQ(filled.Count(GetSysColor(COLOR_BTNFACE)), filled.Size());
  TShownArea groupFilled(g, Bounds(10, 30, 60, 40));
  EXPECT_EQ(groupFilled.Count(GetSysColor(COLOR_BTNFACE)), groupFilled.Size());
}

TEST_F(Transparent, TheStyleAndTheStaticColourFollowTransparent) {
  auto* check = Add<TPGCheckBox>(Image, Bounds(20, 20, 100, 20), "Tjek");
  HWND h = check->GetHandle();
  EXPECT_TRUE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_TRUE(IsTransparentPGControl(check));
  HDC dc = CreateCompatibleDC(nullptr);
  auto colour = [&](LOGBRUSH& Brush) {
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(Image->GetHandle(), WM_CTLCOLORSTATIC, WPARAM(dc), LPARAM(h)));
    GetObjectA(brush, sizeof Brush, &Brush);
  };
  check->GetFont()->SetColor(clBlue);
  check->SetColor(clYellow);
  LOGBRUSH b{};
  colour(b);
  EXPECT_EQ(b.lbStyle, UINT(BS_HOLLOW));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 255));
  EXPECT_EQ(SendMessageA(h, WM_ERASEBKGND, WPARAM(dc), 0), 1);

  check->SetTransparent(false);
  EXPECT_FALSE(GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
  EXPECT_TRUE(check->GetControlStyle() & csOpaque);
  EXPECT_FALSE(IsTransparentPGControl(check));
  colour(b);
  EXPECT_EQ(b.lbStyle, UINT(BS_SOLID));
  EXPECT_EQ(b.lbColor, RGB(255, 255, 0));
  EXPECT_EQ(GetBkMode(dc), OPAQUE);
  EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 0));
  check->SetTransparent(true);
  EXPECT_FALSE(check->GetControlStyle() & csOpaque);
  DeleteDC(dc);

  // Which controls count as transparent.
  auto* label = Add<TPGLabel>(Image, Bounds(0, 0, 10, 10));
  auto* bevel = Add<TPGBevel>(Image, Bounds(0, 0, 10, 10));
  auto* plain = Add<TLabel>(Image, Bounds(0, 0, 10, 10));
  EXPECT_TRUE(IsTransparentPGControl(label));
  EXPECT_TRUE(IsTransparentPGControl(bevel));
  EXPECT_FALSE(IsTransparentPGControl(plain));
  EXPECT_FALSE(IsTransparentPGControl(nullptr));
  plain->SetTransparent(true);
  EXPECT_FALSE(IsTransparentPGControl(plain)) << "only the library's own controls";
  label->SetTransparent(false);
  EXPECT_FALSE(IsTransparentPGControl(label));
}

TEST_F(Transparent, OpaqueWindowedControlsEraseWithTheirColour) {
  auto check = [](auto* Control) {
    SCOPED_TRACE(Control->ClassName());
    Control->SetColor(clYellow);
    EXPECT_EQ(ErasedToColour(Control), 0) << "transparent: the picture stays";
    Control->SetTransparent(false);
    EXPECT_EQ(ErasedToColour(Control), Control->GetWidth() * Control->GetHeight());
  };
  check(Add<TPGPanel>(Image, Bounds(20, 20, 60, 40), "Panel"));
  check(Add<TPGGroupBox>(Image, Bounds(100, 20, 60, 40), "Ramme"));
  check(Add<TPGCheckBox>(Image, Bounds(20, 80, 60, 20), "Tjek"));
  check(Add<TPGRadioButton>(Image, Bounds(100, 80, 60, 20), "Radio"));
  // The class library's own panel leaves its background to its painting, which covers it.
  auto* plain = Add<TPanel>(Image, Bounds(180, 20, 60, 40), "Panel");
  plain->SetColor(clYellow);
  EXPECT_EQ(ErasedToColour(plain), 0);
}

TEST_F(Transparent, RepaintingAControlRepaintsWhatIsUnderIt) {
  auto* panel = Add<TPGPanel>(Image, Bounds(20, 20, 160, 100), "");
  auto* check = Add<TPGCheckBox>(panel, Bounds(10, 10, 100, 20), "Tjek");
  HWND view = Image->GetHandle(), p = panel->GetHandle(), c = check->GetHandle();
  auto validate = [&] {
    for (HWND w : {view, p, c}) ValidateRect(w, nullptr);
  };
  RECT r{};
  validate();
  check->Invalidate();
  ASSERT_TRUE(GetUpdateRect(view, &r, FALSE)) << "the picture under the panel";
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.right, 180);
  EXPECT_TRUE(GetUpdateRect(p, &r, FALSE)) << "the panel";
  EXPECT_TRUE(GetUpdateRect(c, &r, FALSE)) << "the check box itself";
  // The view's own invalidation reaches the transparent windows on it.
  validate();
  Image->Invalidate();
  EXPECT_TRUE(GetUpdateRect(p, &r, FALSE));
  EXPECT_TRUE(GetUpdateRect(c, &r, FALSE));
  // Moving a control repaints its old place.
  auto* label = Add<TPGLabel>(Image, Bounds(200, 20, 40, 15), "Lumbrix");
  TRect old = label->GetBoundsRect();
  validate();
  label->SetBounds(200, 150, old.Width(), old.Height());
  HRGN update = CreateRectRgn(0, 0, 0, 0);
  GetUpdateRgn(view, update, FALSE);
  EXPECT_TRUE(PtInRegion(update, old.Left + 2, old.Top + 2)) << "the old place";
  EXPECT_TRUE(PtInRegion(update, old.Left + 2, 152)) << "the new place";
  DeleteObject(update);
  // Scrolling moves the windows over a picture drawn afresh: they must be drawn again on top.
  auto* big = New<TPixelGraphic>();
  big->NewImage(900, 700, 3);
  Image->SetPixelGraphic(big);
  validate();
  Image->GetHorzScrollBar()->SetPosition(40);
  EXPECT_EQ(panel->GetLeft(), 20 - 40);
  EXPECT_TRUE(GetUpdateRect(p, &r, FALSE));
  EXPECT_TRUE(GetUpdateRect(c, &r, FALSE));
}

TEST_F(Transparent, TheGroupBoxFrameBreaksUnderItsCaption) {
  auto* titled = Add<TPGGroupBox>(Image, Bounds(20, 20, 120, 80), "Ramme");
  auto* plain = Add<TPGGroupBox>(Image, Bounds(160, 20, 120, 80), "");
  PaintNow(Form->GetHandle());
  HDC dc = GetDC(titled->GetHandle());
  SelectObject(dc, titled->GetFont()->GetHandle());
  SIZE text{};
  GetTextExtentPoint32A(dc, "0", 1, &text);
  ReleaseDC(titled->GetHandle(), dc);
  int line = int(text.cy) / 2 - 1;
  COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
  TShownArea a(titled->GetHandle(), Rect(0, line, 120, line + 1));
  EXPECT_EQ(a.At(3, line), shadow);
  EXPECT_EQ(a.At(7, line), COLORREF(kPicture)) << "broken just before the caption at x = 8";
  EXPECT_EQ(a.At(110, line), shadow) << "and whole again after it";
  TShownArea b(plain->GetHandle(), Rect(0, line, 120, line + 1));
  EXPECT_EQ(b.Count(shadow), 119) << "without a caption the line is whole";
}
