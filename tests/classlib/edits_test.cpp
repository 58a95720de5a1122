// TEdit's change event, a memo's Tab and Enter and its text in a new window, TUpDown with its
// buddy, style setters on live windows, TStatusBar's panels, the scroll box's range and bars,
// and the colour dialog's exchange through the dialog hook.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/dialogs.h"
#include "classlib/edits.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/scrollbox.h"
#include "classlib/statusbar.h"
#include "classlib/updown.h"
#include "tests/window_support.h"

using namespace classlib;

namespace {
class Widgets : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = New<TForm>(Application);
    Form->SetBounds(0, 0, 500, 400);
  }
  void TearDown() override {
    classlib::testing::SetCommonDialogHook(nullptr);
    Free(Form);
  }
  TForm* Form = nullptr;
};

class TSpyPaintBox : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  void SetBounds(int L, int T, int W, int H) override {
    ++SetBoundsCalls;
    TGraphicControl::SetBounds(L, T, W, H);
  }
  int SetBoundsCalls = 0;
};
}  // namespace

TEST_F(Widgets, EditChangesFireOnceTheWindowExistsNotWhileItIsMade) {
  TEdit* edit = New<TEdit>(Form);
  edit->SetText("1");
  int changes = 0;
  edit->OnChange = [&](TObject*) { ++changes; };
  edit->SetParent(Form);
  Form->Show();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(edit->GetText(), "1");
  edit->SetText("12");
  EXPECT_EQ(changes, 1);
  SendMessageA(edit->GetHandle(), EM_SETSEL, 2, 2);
  SendMessageA(edit->GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("3"));
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(edit->GetText(), "123");
}

TEST_F(Widgets, AMemoTakesTabAndEnterAsToldAndKeepsItsTextInANewWindow) {
  auto* memo = New<TCustomMemo>(Form);
  memo->SetParent(Form);
  Form->Show();
  HWND window = memo->GetHandle();
  memo->SetWantTabs(true);
  memo->SetWantReturns(false);
  for (WORD key : {WORD('A'), WORD(VK_TAB), WORD(VK_RETURN), WORD('B')}) testsupport::PressKey(window, key);
  EXPECT_EQ(memo->GetText(), "a\tb") << "no line for a plain Enter";
  testsupport::PressKey(window, VK_RETURN, ssCtrl);
  EXPECT_EQ(memo->GetText(), "a\tb\r\n");
  memo->SetHideSelection(false);
  EXPECT_NE(memo->GetHandle(), window);
  EXPECT_TRUE(GetWindowLongA(memo->GetHandle(), GWL_STYLE) & ES_NOHIDESEL);
  EXPECT_EQ(memo->GetText(), "a\tb\r\n");
}

TEST_F(Widgets, UpDownPositionIsTheBuddysNumber) {
  TEdit* edit = New<TEdit>(Form);
  edit->SetParent(Form);
  TUpDown* arrows = New<TUpDown>(Form);
  arrows->SetMin(0);
  arrows->SetPosition(1);
  arrows->SetAssociate(edit);
  arrows->SetParent(Form);
  Form->Show();
  EXPECT_EQ(edit->GetText(), "1") << "the buddy shows the position";
  edit->SetText("7");
  EXPECT_EQ(arrows->GetPosition(), 7);
  arrows->SetPosition(42);
  EXPECT_EQ(edit->GetText(), "42");
  arrows->SetPosition(1000);
  EXPECT_EQ(arrows->GetPosition(), 100) << "Max is 100";
  int low = -1, high = -1;
  SendMessageA(arrows->GetHandle(), UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
  EXPECT_EQ(low, 0);
  EXPECT_EQ(high, 100);
  Free(edit);
  EXPECT_EQ(arrows->GetAssociate(), nullptr) << "a freed buddy is forgotten";
}

TEST_F(Widgets, StyleSettersChangeOnlyTheirOwnBitsOfALiveWindow) {
  TEdit* edit = New<TEdit>(Form);
  edit->SetParent(Form);
  TUpDown* arrows = New<TUpDown>(Form);
  arrows->SetParent(Form);
  Form->Show();
  auto style = [](TWinControl* Control) { return GetWindowLongA(Control->GetHandle(), GWL_STYLE); };
  const LONG before = style(arrows);
  arrows->SetWrap(true);
  EXPECT_EQ(style(arrows), before | UDS_WRAP);
  arrows->SetArrowKeys(false);
  arrows->SetWrap(false);
  EXPECT_EQ(style(arrows), before & ~LONG(UDS_ARROWKEYS));
  const LONG edited = style(edit);
  edit->SetTabStop(false);
  EXPECT_EQ(style(edit), edited & ~LONG(WS_TABSTOP));
  EXPECT_TRUE(style(Form) & WS_SYSMENU);
  Form->SetBorderIcons(0);
  EXPECT_EQ(style(Form) & (WS_VISIBLE | WS_SYSMENU), WS_VISIBLE) << "the form stays shown";
}

TEST_F(Widgets, StatusPanelsKeepTheirTextsAndTheLastReachesTheEdge) {
  TStatusBar* bar = New<TStatusBar>(Form);
  bar->GetPanels()->Add()->SetWidth(150);
  bar->GetPanels()->Add()->SetWidth(50);
  bar->GetPanels()->GetItem(0)->SetText("Start: (1, 2)");
  bar->SetParent(Form);
  EXPECT_EQ(bar->GetAlign(), alBottom);
  Form->Show();
  HWND h = bar->GetHandle();
  EXPECT_EQ(testsupport::StatusParts(h), (std::vector<int>{150, -1}));
  EXPECT_EQ(testsupport::StatusPanelText(h, 0), "Start: (1, 2)");
  bar->GetPanels()->GetItem(1)->SetText("Nu: (1234, 567)");
  EXPECT_EQ(testsupport::StatusPanelText(h, 1), "Nu: (1234, 567)");
  RECT client{}, r = testsupport::WindowRectIn(h, Form->GetHandle());
  GetClientRect(Form->GetHandle(), &client);
  EXPECT_EQ(r.bottom, client.bottom);
  EXPECT_EQ(r.bottom - r.top, 19);
  EXPECT_THROW(bar->GetPanels()->GetItem(2), EListError);
}

TEST_F(Widgets, ScrollBoxRangeFollowsItsChildrenAndBoundsThePosition) {
  TScrollBox* box = New<TScrollBox>(Form);
  box->SetBounds(0, 0, 404, 304);  // a client area of 400 x 300 inside the 2-pixel edge
  box->SetParent(Form);
  Form->Show();
  auto* child = New<TSpyPaintBox>(Form);
  child->SetParent(box);
  child->SetBounds(0, 8, 780, 1200);
  TControlScrollBar* vert = box->GetVertScrollBar();
  TControlScrollBar* horz = box->GetHorzScrollBar();
  EXPECT_EQ(vert->GetRange(), 1208);
  EXPECT_EQ(horz->GetRange(), 780);
  EXPECT_TRUE(vert->IsScrollBarVisible());
  EXPECT_TRUE(horz->IsScrollBarVisible());
  EXPECT_EQ(box->GetClientWidth(), 400 - GetSystemMetrics(SM_CXVSCROLL)) << "final when SetBounds returns";
  EXPECT_EQ(box->GetClientHeight(), 300 - GetSystemMetrics(SM_CYHSCROLL));

  child->SetBoundsCalls = 0;
  vert->SetPosition(10000);
  EXPECT_EQ(vert->GetPosition(), 1208 - box->GetClientHeight());
  EXPECT_EQ(child->GetTop(), 8 - vert->GetPosition());
  EXPECT_EQ(child->SetBoundsCalls, 0) << "scrolling moves children without SetBounds";
  EXPECT_EQ(GetScrollPos(box->GetHandle(), SB_VERT), vert->GetPosition());
  EXPECT_EQ(vert->GetRange(), 1208) << "the range is the unscrolled extent";
  SendMessageA(box->GetHandle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(vert->GetPosition(), 0);
  EXPECT_EQ(child->GetTop(), 8);
  SendMessageA(box->GetHandle(), WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(vert->GetPosition(), 8);
  SendMessageA(box->GetHandle(), WM_VSCROLL, SB_PAGEDOWN, 0);
  EXPECT_EQ(vert->GetPosition(), 8 + box->GetClientHeight());

  child->Hide();
  EXPECT_EQ(vert->GetRange(), 0);
  EXPECT_FALSE(vert->IsScrollBarVisible());
  EXPECT_FALSE(GetWindowLongA(box->GetHandle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL));
  EXPECT_EQ(vert->GetPosition(), 0);
  EXPECT_EQ(box->GetClientWidth(), 400);
}

TEST_F(Widgets, ColourDialogExchangesTheColourThroughTheHook) {
  Form->Show();
  TColorDialog* dialog = New<TColorDialog>(Form);
  dialog->SetColor(clBlue);
  HWND owner = reinterpret_cast<HWND>(-1);
  bool answer = false;
  classlib::testing::SetCommonDialogHook([&](TCommonDialog& d, void* record) {
    EXPECT_EQ(&d, dialog);
    auto* cc = static_cast<CHOOSECOLORA*>(record);
    owner = cc->hwndOwner;
    EXPECT_EQ(cc->rgbResult, RGB(0, 0, 255));
    EXPECT_EQ(cc->lpCustColors, dialog->GetCustomColors());
    cc->rgbResult = RGB(10, 20, 30);
    return answer;
  });
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->GetColor(), clBlue) << "Cancel keeps the colour";
  answer = true;
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetColor(), TColor(RGB(10, 20, 30)));
  EXPECT_TRUE(owner == nullptr || owner == Form->GetHandle());
}
