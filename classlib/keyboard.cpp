// TWinControl and the keyboard: the order Tab goes through the controls, the key and focus
// events, and the input method editor while a control has the focus.
#include <algorithm>
#include <iterator>

#include "classlib/controls.h"
#include "classlib/text.h"

namespace classlib {

TShiftState KeyDataToShiftState(LPARAM KeyData) {
  TShiftState s = 0;
  if (GetKeyState(VK_SHIFT) < 0) s |= ssShift;
  if (GetKeyState(VK_CONTROL) < 0) s |= ssCtrl;
  if (KeyData & 0x20000000) s |= ssAlt;  // the context code of a key message
  return s;
}

// ---- tab order

int TWinControl::GetTabOrder() const {
  if (!FParent) return -1;
  const auto& list = FParent->FTabList;
  return int(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int Value) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (Value < 0 || size_t(Value) > list.size()) Value = int(list.size());
  list.insert(list.begin() + Value, this);
}

void TWinControl::AddTabOrderList(std::vector<TWinControl*>& List) {
  for (TWinControl* c : FTabList) {
    List.push_back(c);
    c->AddTabOrderList(List);
  }
}

bool TWinControl::SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop) {
  std::vector<TWinControl*> list;
  AddTabOrderList(list);
  const int n = int(list.size());
  int at = int(std::find(list.begin(), list.end(), Current) - list.begin());
  if (at == n) at = GoForward ? -1 : n;
  for (int step = 1; step <= n; ++step) {
    TWinControl* c = list[size_t(((GoForward ? at + step : at - step) % n + n) % n)];
    if (c == Current) break;
    if ((!CheckTabStop || c->FTabStop) && c->CanFocus()) {
      c->SetFocus();
      return true;
    }
  }
  return false;
}

// ---- focus and key events

void TWinControl::DoEnter() {
  if (OnEnter) OnEnter(this);
}

void TWinControl::DoExit() {
  if (OnExit) OnExit(this);
}

void TWinControl::KeyDown(WORD& Key, TShiftState Shift) {
  if (OnKeyDown) OnKeyDown(this, Key, Shift);
}

void TWinControl::KeyPress(char& Key) {
  if (OnKeyPress) OnKeyPress(this, Key);
}

void TWinControl::KeyUp(WORD& Key, TShiftState Shift) {
  if (OnKeyUp) OnKeyUp(this, Key, Shift);
}

bool TWinControl::KeyEvent(TMessage& Message) {
  if (Message.Msg == WM_CHAR) {
    char key = char(Message.WParam);
    KeyPress(key);
    Message.WParam = WPARAM(BYTE(key));
    return key != 0;
  }
  WORD key = WORD(Message.WParam);
  TShiftState shift = KeyDataToShiftState(Message.LParam);
  if (Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN)
    KeyDown(key, shift);
  else
    KeyUp(key, shift);
  Message.WParam = key;
  return key != 0;
}

// ---- input method

namespace {
// The conversion mode of each input mode, from imSAlpha on.
constexpr DWORD kImeConversion[] = {
    IME_CMODE_ALPHANUMERIC,                                            // imSAlpha
    IME_CMODE_ALPHANUMERIC | IME_CMODE_FULLSHAPE,                      // imAlpha
    IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE,                            // imHira
    IME_CMODE_NATIVE | IME_CMODE_KATAKANA,                             // imSKata
    IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE,       // imKata
    IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE,                            // imChinese
    IME_CMODE_HANGUL,                                                  // imSHanguel
    IME_CMODE_HANGUL | IME_CMODE_FULLSHAPE,                            // imHanguel
};
static_assert(std::size(kImeConversion) == imHanguel - imSAlpha + 1);

// The installed input method's keyboard layout described as Name, or null.
HKL ImeLayout(const std::string& Name) {
  HKL layouts[64];
  int n = GetKeyboardLayoutList(int(std::size(layouts)), layouts);
  for (int i = 0; i < n; ++i) {
    char description[256] = {};
    if (ImmIsIME(layouts[i]) && ImmGetDescriptionA(layouts[i], description, sizeof description) &&
        AnsiCompareText(description, Name) == 0)
      return layouts[i];
  }
  return nullptr;
}
}  // namespace

void TWinControl::SetImeMode(TImeMode Value) {
  FImeMode = Value;
  if (Focused()) ApplyIme();
}

void TWinControl::SetImeName(const std::string& Value) {
  FImeName = Value;
  if (Focused()) ApplyIme();
}

void TWinControl::ApplyIme() {
  if (!FImeName.empty()) {
    HKL layout = ImeLayout(FImeName);
    HKL now = GetKeyboardLayout(0);
    if (layout && layout != now) {
      if (!FLayoutBeforeIme) FLayoutBeforeIme = now;
      ActivateKeyboardLayout(layout, 0);
    }
  }
  // A window without an input context gets no input method at all.
  if (FImeMode == imDisable) {
    ImmAssociateContext(FHandle, nullptr);
    FImeDisabled = true;
    return;
  }
  if (FImeDisabled) {
    ImmAssociateContextEx(FHandle, nullptr, IACE_DEFAULT);
    FImeDisabled = false;
  }
  if (FImeMode == imDontCare) return;
  HIMC context = ImmGetContext(FHandle);
  if (!context) return;
  ImmSetOpenStatus(context, FImeMode != imClose);
  if (FImeMode >= imSAlpha) {
    DWORD conversion = 0, sentence = 0;
    ImmGetConversionStatus(context, &conversion, &sentence);
    ImmSetConversionStatus(context, kImeConversion[FImeMode - imSAlpha], sentence);
  }
  ImmReleaseContext(FHandle, context);
}

void TWinControl::ResetIme() {
  if (!FLayoutBeforeIme) return;
  ActivateKeyboardLayout(FLayoutBeforeIme, 0);
  FLayoutBeforeIme = nullptr;
}

}  // namespace classlib
