// The members the 2.0 control takes from the class library's rich edit, on real windows under
// Wine: Tab and Enter with the tab order, the key and focus events, and the styles and input
// method settings that only show on the window.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "classlib/buttons.h"
#include "classlib/edits.h"
#include "tests/richedit/richedit_support.h"
#include "tests/richedit/richeditex_fixture.h"
#include "tests/window_support.h"

using namespace classlib;
using namespace richedit;
using testsupport::PressKey;
using testsupport::Select;

namespace {
class RichEditExMembers : public testsupport::RichEditExWindow {
 protected:
  TEdit* NewEdit(int Top) {
    TEdit* edit = New<TEdit>(Form);
    edit->SetBounds(10, Top, 100, 21);
    edit->SetParent(Form);
    return edit;
  }
  LONG Style() { return GetWindowLongA(Edit->GetHandle(), GWL_STYLE); }
  // The pixels across the first eight characters, painted anew.
  std::vector<COLORREF> SelectionRow() {
    HWND window = Edit->GetHandle();
    InvalidateRect(window, nullptr, TRUE);
    UpdateWindow(window);
    POINTL from{}, to{};
    SendMessageA(window, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&from), 0);
    SendMessageA(window, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&to), 8);
    std::vector<COLORREF> row;
    HDC dc = GetDC(window);
    for (LONG x = from.x; x < to.x; ++x) row.push_back(GetPixel(dc, x, from.y + 4));
    ReleaseDC(window, dc);
    return row;
  }
};
}  // namespace

TEST_F(RichEditExMembers, TabAndEnterGoWhereTheTabOrderWantTabsAndWantReturnsSay) {
  EXPECT_FALSE(Edit->GetWantTabs());
  EXPECT_TRUE(Edit->GetWantReturns());
  TEdit* second = NewEdit(320);
  TEdit* third = NewEdit(345);
  EXPECT_EQ(std::vector<int>({Edit->GetTabOrder(), second->GetTabOrder(), third->GetTabOrder()}),
            std::vector<int>({0, 1, 2}))
      << "the order they came onto the form";
  third->SetTabOrder(0);
  EXPECT_EQ(std::vector<int>({Edit->GetTabOrder(), second->GetTabOrder(), third->GetTabOrder()}),
            std::vector<int>({1, 2, 0}));

  // Another program's window may take the focus meanwhile; it leaves these records as they are.
  std::vector<std::string> entered, left;
  for (auto [control, name] : {std::pair<TWinControl*, std::string>{Edit, "rich"}, {second, "second"}, {third, "third"}}) {
    control->OnEnter = [&entered, name = name](TObject*) { entered.push_back(name); };
    control->OnExit = [&left, name = name](TObject*) { left.push_back(name); };
  }
  Edit->SetFocus();
  entered.clear();
  PressKey(Window, VK_TAB);
  PressKey(second->GetHandle(), VK_TAB);
  PressKey(third->GetHandle(), VK_TAB);
  PressKey(Window, VK_TAB, ssShift);
  EXPECT_EQ(entered, std::vector<std::string>({"second", "third", "rich", "third"})) << "round to the first and back";
  EXPECT_EQ(left, std::vector<std::string>({"rich", "second", "third", "rich"}));
  second->SetEnabled(false);
  Edit->SetFocus();
  PressKey(Window, VK_TAB);
  EXPECT_EQ(entered.back(), "third") << "past the disabled one";
  EXPECT_EQ(Text(), L"");

  TButton* button = New<TButton>(Form);
  button->SetBounds(200, 320, 75, 25);
  button->SetDefault(true);
  button->SetParent(Form);
  int clicks = 0;
  button->OnClick = [&](TObject*) { ++clicks; };
  Edit->SetFocus();
  entered.clear();
  Edit->SetWantTabs(true);
  PressKey(Window, VK_TAB);
  PressKey(Window, VK_RETURN);
  EXPECT_TRUE(entered.empty()) << "the focus stays";
  EXPECT_EQ(Text(), L"\t\r");
  EXPECT_EQ(clicks, 0) << "the control wants Enter";
  Edit->SetWantReturns(false);
  PressKey(Window, VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(Text(), L"\t\r");
  PressKey(Window, VK_RETURN, ssCtrl);
  EXPECT_EQ(Text(), L"\t\r\r");
  EXPECT_EQ(clicks, 1);
}

TEST_F(RichEditExMembers, KeyEventsSeeTheKeyAndShiftAndMayKeepItFromTheControl) {
  std::vector<std::pair<WORD, TShiftState>> downs, ups;
  std::string presses;
  Edit->OnKeyDown = [&](TObject* Sender, WORD& Key, TShiftState Shift) {
    EXPECT_EQ(Sender, Edit);
    downs.emplace_back(Key, Shift);
    if (Key == VK_RETURN) Key = 0;
  };
  Edit->OnKeyPress = [&](TObject* Sender, char& Key) {
    EXPECT_EQ(Sender, Edit);
    presses += Key;
    if (Key == 'x') Key = 'y';
    if (Key == 'z') Key = 0;
  };
  Edit->OnKeyUp = [&](TObject*, WORD& Key, TShiftState Shift) { ups.emplace_back(Key, Shift); };
  PressKey(Window, 'X');
  PressKey(Window, 'Z');
  PressKey(Window, 'A', ssShift);
  PressKey(Window, VK_RETURN);
  PressKey(Window, VK_LEFT, ssShift | ssCtrl);
  EXPECT_EQ(Text(), L"yA") << "the changed key in, the swallowed ones out";
  EXPECT_EQ(presses, "xzA\r");
  const std::vector<std::pair<WORD, TShiftState>> keys{
      {'X', 0}, {'Z', 0}, {'A', ssShift}, {VK_RETURN, 0}, {VK_LEFT, ssShift | ssCtrl}};
  EXPECT_EQ(downs, keys);
  EXPECT_EQ(ups, keys);
  EXPECT_EQ(Edit->GetSelLength(), 2) << "Shift+Ctrl+Left reached the control";
}

TEST_F(RichEditExMembers, SelectionScrollBarsFrameAndInputMethodReachTheWindow) {
  EXPECT_TRUE(Edit->GetHideSelection());
  EXPECT_TRUE(Edit->GetHideScrollBars());
  EXPECT_TRUE(Edit->GetParentCtl3D());
  EXPECT_EQ(Edit->GetImeMode(), imDontCare);
  EXPECT_EQ(Edit->GetImeName(), "");
  TEdit* other = NewEdit(320);
  SetText(L"MMMMMMMMMMMM");
  auto selectionLooks = [&] {
    Select(Edit->GetHandle(), 0, 8);
    std::vector<COLORREF> focused;
    // Painted again should another program's window have taken the focus meanwhile.
    for (int attempt = 0; attempt < 20 && (focused.empty() || !Edit->Focused()); ++attempt) {
      Edit->SetFocus();
      focused = SelectionRow();
    }
    other->SetFocus();
    return std::pair(focused, SelectionRow());
  };
  auto [focused, unfocused] = selectionLooks();
  EXPECT_NE(focused, unfocused) << "hidden without the focus";
  Edit->SetHideSelection(false);
  EXPECT_TRUE(Style() & ES_NOHIDESEL);
  EXPECT_EQ(Text(), L"MMMMMMMMMMMM") << "the new window has the text";
  std::tie(focused, unfocused) = selectionLooks();
  EXPECT_EQ(focused, unfocused) << "shown without the focus";

  Edit->SetScrollBars(ssVertical);
  EXPECT_FALSE(Style() & WS_VSCROLL) << "a short text needs no bar";
  Edit->SetHideScrollBars(false);
  EXPECT_TRUE(Style() & ES_DISABLENOSCROLL);
  EXPECT_TRUE(Style() & WS_VSCROLL) << "the bar stays";

  auto frame = [&] {
    RECT client{};
    GetClientRect(Edit->GetHandle(), &client);
    return Edit->GetHeight() - client.bottom;
  };
  const int sunken = frame();
  Form->SetCtl3D(false);
  EXPECT_FALSE(Edit->GetCtl3D());
  EXPECT_TRUE(Style() & WS_BORDER);
  EXPECT_LT(frame(), sunken) << "a line instead of the sunken edge";
  Edit->SetCtl3D(true);
  EXPECT_FALSE(Edit->GetParentCtl3D());
  Form->SetCtl3D(true);
  Form->SetCtl3D(false);
  EXPECT_EQ(frame(), sunken) << "no longer the parent's";
  Edit->SetParentCtl3D(true);
  EXPECT_FALSE(Edit->GetCtl3D());

  // Set on each focus: the open state is the thread's input context's, which both share.
  Edit->SetImeMode(imOpen);
  other->SetImeMode(imClose);
  auto imeOpen = [](TWinControl* Control) {
    Control->SetFocus();
    HIMC context = ImmGetContext(Control->GetHandle());
    bool open = context && ImmGetOpenStatus(context);
    if (context) ImmReleaseContext(Control->GetHandle(), context);
    return open;
  };
  EXPECT_TRUE(imeOpen(Edit));
  EXPECT_FALSE(imeOpen(other));
  EXPECT_TRUE(imeOpen(Edit));
  Edit->SetImeMode(imDisable);
  EXPECT_EQ(ImmGetContext(Edit->GetHandle()), nullptr) << "no input method for the control";
  Edit->SetImeMode(imKata);
  HIMC context = ImmGetContext(Edit->GetHandle());
  ASSERT_NE(context, nullptr);
  DWORD conversion = 0, sentence = 0;
  ImmGetConversionStatus(context, &conversion, &sentence);
  EXPECT_EQ(conversion, DWORD(IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE));
  ImmReleaseContext(Edit->GetHandle(), context);
}
