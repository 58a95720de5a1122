// Speed buttons: groups per parent, AllowAllUp, Down from code, momentary buttons, and the glyph.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/bitmap.h"
#include "classlib/buttons.h"
#include "classlib/forms.h"
#include "classlib/panels.h"
#include "tests/window_support.h"

using namespace classlib;
using testsupport::Click;

namespace {
class SpeedButtons : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    testsupport::ParkPointer();
    Form = New<TForm>(Application);
    Form->SetBounds(50, 50, 400, 200);
    Bar1 = AddBar();
    Bar2 = AddBar();
  }
  void TearDown() override { Free(Form); }
  TPanel* AddBar() {
    TPanel* bar = New<TPanel>(Form);
    bar->SetAlign(alTop);
    bar->SetParent(Form);
    return bar;
  }
  TSpeedButton* Add(TPanel* Bar, int Group, int* Clicks = nullptr) {
    TSpeedButton* b = New<TSpeedButton>(Form);
    b->SetBounds(8 + 30 * Bar->GetControlCount(), 8, 25, 25);
    b->SetGroupIndex(Group);
    if (Clicks) b->OnClick = [Clicks](TObject*) { ++*Clicks; };
    b->SetParent(Bar);
    return b;
  }
  void Show() { Form->Show(); }
  TForm* Form = nullptr;
  TPanel* Bar1 = nullptr;
  TPanel* Bar2 = nullptr;
};
}  // namespace

TEST_F(SpeedButtons, AClickPutsTheButtonDownAndTheRestOfItsGroupUp) {
  int clicks = 0;
  TSpeedButton* a = Add(Bar1, 1, &clicks);
  TSpeedButton* b = Add(Bar1, 1, &clicks);
  TSpeedButton* other = Add(Bar1, 2);
  TSpeedButton* elsewhere = Add(Bar2, 1);
  a->SetDown(true);
  other->SetDown(true);
  elsewhere->SetDown(true);
  Show();
  Click(b->GetHandle());
  EXPECT_TRUE(b->GetDown());
  EXPECT_FALSE(a->GetDown());
  EXPECT_TRUE(other->GetDown()) << "another group";
  EXPECT_TRUE(elsewhere->GetDown()) << "the same group index on another parent";
  EXPECT_EQ(clicks, 1);
  Click(b->GetHandle());
  EXPECT_TRUE(b->GetDown()) << "without AllowAllUp a down button stays down";
  EXPECT_EQ(clicks, 2) << "and still reports the click";
}

TEST_F(SpeedButtons, AllowAllUpLetsTheDownButtonGoUpAndIsSharedByTheGroup) {
  TSpeedButton* a = Add(Bar1, 3);
  TSpeedButton* b = Add(Bar1, 3);
  a->SetAllowAllUp(true);
  EXPECT_TRUE(b->GetAllowAllUp());
  Show();
  Click(a->GetHandle());
  EXPECT_TRUE(a->GetDown());
  Click(a->GetHandle());
  EXPECT_FALSE(a->GetDown());
  EXPECT_FALSE(b->GetDown());
}

TEST_F(SpeedButtons, DownFromCodeReleasesTheGroupWithoutAClick) {
  int clicks = 0;
  TSpeedButton* a = Add(Bar1, 1, &clicks);
  TSpeedButton* b = Add(Bar1, 1, &clicks);
  Show();
  a->SetDown(true);
  b->SetDown(true);
  EXPECT_FALSE(a->GetDown());
  EXPECT_TRUE(b->GetDown());
  b->SetDown(false);
  EXPECT_TRUE(b->GetDown()) << "a group without AllowAllUp keeps one button down";
  EXPECT_EQ(clicks, 0);
}

TEST_F(SpeedButtons, GroupZeroIsMomentaryAndDisabledOrMissedClicksDoNothing) {
  int clicks = 0;
  TSpeedButton* plain = Add(Bar1, 0, &clicks);
  plain->SetDown(true);
  EXPECT_FALSE(plain->GetDown());
  Show();
  Click(plain->GetHandle());
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(plain->GetDown());
  testsupport::MouseDown(plain->GetHandle(), 5, 5);
  testsupport::MouseUp(plain->GetHandle(), 40, 5);  // released outside
  EXPECT_EQ(clicks, 1);
  TSpeedButton* grouped = Add(Bar1, 1, &clicks);
  grouped->SetEnabled(false);
  Click(grouped->GetHandle());
  EXPECT_FALSE(grouped->GetDown());
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(IsWindowEnabled(grouped->GetHandle()));
  EXPECT_EQ(GetFocus() == plain->GetHandle(), false) << "speed buttons never take the focus";
}

TEST_F(SpeedButtons, TheGlyphIsCentredWithItsCornerColourTransparent) {
  TSpeedButton* b = Add(Bar1, 0);
  TBitmap* glyph = b->GetGlyph();
  glyph->SetSize(5, 5);
  glyph->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  glyph->GetCanvas()->FillRect(Rect(0, 0, 5, 5));
  glyph->GetCanvas()->SetPixel(2, 2, clBlue);
  Show();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 25, 25);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 12, 12), RGB(0, 0, 255)) << "glyph pixel (2, 2) at the centre";
  EXPECT_EQ(GetPixel(dc, 10, 10), GetSysColor(COLOR_BTNFACE)) << "the key colour lets the face through";
  b->SetEnabled(false);
  b->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 12, 12), GetSysColor(COLOR_BTNSHADOW)) << "greyed";
  EXPECT_EQ(GetPixel(dc, 13, 13), GetSysColor(COLOR_BTNHIGHLIGHT));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}
