// Check boxes and radio buttons, labels, a window's font, the scroll box's border and AutoScroll,
// popup menus that are freed, and the cursors: the screen's, and a control's under the pointer.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/buttons.h"
#include "classlib/forms.h"
#include "classlib/images.h"
#include "classlib/labels.h"
#include "classlib/menus.h"
#include "classlib/panels.h"
#include "classlib/screen.h"
#include "classlib/scrollbox.h"
#include "classlib/trackbar.h"
#include "tests/form_suite.h"

using namespace classlib;

namespace {
class StandardControls : public testsupport::FormSuite {
 protected:
  template <class T>
  T* Add(const TRect& Bounds) {
    T* c = New<T>(Form);
    c->SetBoundsRect(Bounds);
    c->SetParent(Form);
    return c;
  }
};
}  // namespace

TEST_F(StandardControls, CheckBoxesToggleAndRadioButtonsExcludeEachOther) {
  auto* check = Add<TCheckBox>(Bounds(10, 10, 97, 17));
  int clicks = 0;
  check->OnClick = [&](TObject*) { ++clicks; };
  check->SetChecked(true);
  check->SetChecked(true);
  EXPECT_EQ(clicks, 1) << "only a change clicks";
  EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  SendMessageA(check->GetHandle(), BM_CLICK, 0, 0);
  EXPECT_FALSE(check->GetChecked());
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(SendMessageA(check->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);

  auto* a = Add<TRadioButton>(Bounds(10, 40, 100, 17));
  auto* b = Add<TRadioButton>(Bounds(10, 60, 100, 17));
  int aClicks = 0;
  a->OnClick = [&](TObject*) { ++aClicks; };
  a->SetChecked(true);
  SendMessageA(b->GetHandle(), BM_CLICK, 0, 0);
  EXPECT_TRUE(b->GetChecked());
  EXPECT_FALSE(a->GetChecked());
  EXPECT_EQ(aClicks, 1) << "unchecked by its sibling without a click";
  EXPECT_EQ(SendMessageA(a->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  // A check state set before the window exists reaches it.
  auto* early = New<TCheckBox>(Form);
  early->SetChecked(true);
  early->SetParent(Form);
  EXPECT_EQ(SendMessageA(early->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(StandardControls, ATrackBarTellsOfTheUsersMovesOnly) {
  auto* track = New<TTrackBar>(Form);
  track->SetMax(100);
  track->SetMin(-100);
  track->SetPosition(250);
  int changes = 0;
  track->OnChange = [&](TObject*) { ++changes; };
  track->SetBounds(10, 10, 240, 32);
  track->SetParent(Form);
  HWND window = track->GetHandle();
  EXPECT_EQ(SendMessageA(window, TBM_GETRANGEMIN, 0, 0), -100);
  EXPECT_EQ(SendMessageA(window, TBM_GETPOS, 0, 0), 100) << "limited to the range";
  track->SetPosition(-30);
  EXPECT_EQ(SendMessageA(window, TBM_GETPOS, 0, 0), -30);
  EXPECT_EQ(changes, 0) << "a position from code is no change";
  SendMessageA(window, WM_KEYDOWN, VK_END, 0);
  EXPECT_GE(changes, 1);
  EXPECT_EQ(track->GetPosition(), 100);
}

TEST_F(StandardControls, ScalingMovesEveryEdgeSoThatNeighboursStayAdjacent) {
  auto* form = New<TForm>(Application);
  form->SetClientWidth(400);
  form->SetClientHeight(100);
  auto* left = New<TLabel>(form);
  left->SetAutoSize(false);
  left->SetBounds(15, 15, 245, 33);
  left->SetParent(form);
  auto* right = New<TLabel>(form);
  right->SetAutoSize(false);
  right->SetBounds(260, 15, 33, 33);
  right->SetParent(form);  // its own font, not the form's
  right->SetParentFont(false);
  right->GetFont()->SetHeight(-20);
  for (int ppi : {96, 120}) {
    SCOPED_TRACE(ppi);
    const TRect before = left->GetBoundsRect();
    form->ScaleBy(ppi, 100);
    EXPECT_EQ(left->GetLeft() + left->GetWidth(), right->GetLeft());
    EXPECT_EQ(left->GetTop(), MulDiv(before.Top, ppi, 100));
    EXPECT_EQ(left->GetWidth(), MulDiv(before.Right, ppi, 100) - MulDiv(before.Left, ppi, 100));
    form->ScaleBy(100, ppi);
  }
  form->ScaleBy(120, 100);
  EXPECT_EQ(form->GetClientWidth(), 480);
  EXPECT_EQ(right->GetFont()->GetHeight(), -24);
  Free(form);
}

TEST_F(StandardControls, ALabelSizesItselfToItsText) {
  auto* label = Add<TLabel>(Bounds(10, 10, 65, 17));
  label->SetCaption("Kort");
  int shortWidth = label->GetWidth();
  label->SetCaption("En noget længere tekst");
  EXPECT_GT(label->GetWidth(), shortWidth);
  EXPECT_GT(label->GetHeight(), 8);
  EXPECT_TRUE(label->GetControlStyle() & csOpaque) << "filled with its colour by default";
  label->SetTransparent(true);
  EXPECT_FALSE(label->GetControlStyle() & csOpaque);
  label->SetAutoSize(false);
  label->SetCaption("x");
  EXPECT_GT(label->GetWidth(), shortWidth) << "no longer sized";
}

TEST_F(StandardControls, AWindowsFontHasEveryPartOfItsFontPitchIncluded) {
  auto* check = Add<TCheckBox>(Bounds(10, 10, 97, 17));
  check->HandleNeeded();
  TFont* font = check->GetFont();
  font->SetName("Courier New");
  font->SetHeight(-13);
  font->SetStyle(fsBold | fsItalic | fsUnderline);
  font->SetCharset(ANSI_CHARSET);
  font->SetPitch(fpFixed);
  LOGFONTA made{};
  ASSERT_NE(GetObjectA(HGDIOBJ(SendMessageA(check->GetHandle(), WM_GETFONT, 0, 0)), sizeof made, &made), 0);
  EXPECT_STREQ(made.lfFaceName, "Courier New");
  EXPECT_EQ(made.lfHeight, -13);
  EXPECT_EQ(made.lfWeight, FW_BOLD);
  EXPECT_EQ(made.lfItalic, 1);
  EXPECT_EQ(made.lfUnderline, 1);
  EXPECT_EQ(made.lfStrikeOut, 0);
  EXPECT_EQ(made.lfCharSet, ANSI_CHARSET);
  EXPECT_EQ(made.lfPitchAndFamily & 3, FIXED_PITCH);
}

TEST_F(StandardControls, TheScrollBoxBorderAndAutoScroll) {
  auto* box = Add<TScrollBox>(Bounds(0, 0, 204, 104));
  EXPECT_EQ(box->GetClientWidth(), 200);
  box->SetCtl3D(false);
  EXPECT_TRUE(GetWindowLongA(box->GetHandle(), GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(GetWindowLongA(box->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  EXPECT_EQ(box->GetClientWidth(), 202);
  box->SetBorderStyle(bsNone);
  EXPECT_EQ(box->GetClientWidth(), 204);
  auto* child = New<TPaintBox>(Form);
  child->SetBounds(0, 0, 300, 50);
  child->SetParent(box);
  EXPECT_EQ(box->GetHorzScrollBar()->GetRange(), 300);
  box->SetAutoScroll(false);
  child->SetWidth(100);
  EXPECT_EQ(box->GetHorzScrollBar()->GetRange(), 300) << "the range stays without AutoScroll";
  box->SetAutoScroll(true);
  EXPECT_EQ(box->GetHorzScrollBar()->GetRange(), 100);
}

TEST_F(StandardControls, ScrolledChildrenKeepTheirPlacesWithAndWithoutAWindow) {
  auto* box = New<TScrollBox>(Form);  // not on the form yet: no window
  box->SetBounds(0, 0, 104, 104);
  auto* panel = New<TPanel>(Form);
  panel->SetBounds(100000, 10, 100, 20);
  panel->SetParent(box);
  TControlScrollBar* horz = box->GetHorzScrollBar();
  horz->SetPosition(99990);
  EXPECT_EQ(panel->GetLeft(), 10) << "moved although there is no window";
  box->SetParent(Form);
  EXPECT_EQ(horz->GetPosition(), 99990);
  EXPECT_EQ(testsupport::WindowRectIn(panel->GetHandle(), box->GetHandle()).left, 10);
  // Scrolled back, the window cannot stand 100000 pixels away; the control keeps its true place.
  horz->SetPosition(0);
  EXPECT_EQ(panel->GetLeft(), 100000);
  horz->SetPosition(99980);
  EXPECT_EQ(panel->GetLeft(), 20);
  EXPECT_EQ(testsupport::WindowRectIn(panel->GetHandle(), box->GetHandle()).left, 20);
}

TEST_F(StandardControls, AFreedPopupMenuIsForgotten) {
  auto* box = Add<TPaintBox>(Bounds(0, 0, 50, 50));
  auto* menu = New<TPopupMenu>(nullptr);
  box->SetPopupMenu(menu);
  EXPECT_EQ(box->GetPopupMenu(), menu);
  Free(menu);
  EXPECT_EQ(box->GetPopupMenu(), nullptr);
}

TEST_F(StandardControls, TheCursorIsTheScreensElseTheControlsUnderThePointer) {
  auto* box = Add<TPaintBox>(Bounds(20, 20, 50, 50));
  box->SetCursor(crCross);
  HWND form = Form->GetHandle();
  auto setCursor = [&](int X, int Y) { return testsupport::SetCursorAt(form, X, Y); };
  EXPECT_EQ(setCursor(30, 30), 1);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_CROSS)) << "the child's cursor";
  Form->SetCursor(crSizeWE);
  setCursor(100, 100);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE)) << "the form's own away from the child";
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT)) << "at once";
  setCursor(30, 30);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_WAIT)) << "the screen's wins";
  Screen->SetCursor(crDefault);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  setCursor(30, 30);
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_CROSS)) << "the controls choose again";
  Form->SetCursor(crDefault);
}
