#include "classlib/edits.h"

namespace classlib {

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csClickEvents | csSetCaption | csDoubleClicks;
  FColor = clWindow;
  FTabStop = true;
  FWidth = 121;
  FHeight = 21;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SuperClassOf = "EDIT";
  Params.Style |= ES_AUTOHSCROLL | ES_LEFT;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  BorderParams(Params, true);
}

void TCustomEdit::CreateWndDone() {
  TWinControl::CreateWndDone();
  DoSetMaxLength(FMaxLength);
}

void TCustomEdit::DestroyWnd() {
  FText = GetText();
  TWinControl::DestroyWnd();
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (Value == FHideSelection) return;
  FHideSelection = Value;
  RecreateWnd();
}

void TCustomEdit::SetCtl3D(bool Value) {
  if (Value == FCtl3D) return;
  TWinControl::SetCtl3D(Value);
  UpdateBorderStyle(true);
}

void TCustomEdit::SetMaxLength(int Value) {
  if (Value == FMaxLength) return;
  FMaxLength = Value;
  if (HandleAllocated()) DoSetMaxLength(Value);
}

void TCustomEdit::DoSetMaxLength(int Value) { SendMessageA(FHandle, EM_LIMITTEXT, WPARAM(Value), 0); }

void TCustomEdit::SetReadOnly(bool Value) {
  if (Value == FReadOnly) return;
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETREADONLY, Value, 0);
}

void TCustomEdit::Clear() {
  FText.clear();
  if (HandleAllocated()) SetWindowTextA(FHandle, "");
}

void TCustomEdit::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == EN_CHANGE) {
    if (!FCreatingWnd) Change();
    Message.Result = 0;
    return;
  }
  TWinControl::WndProc(Message);
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

// ---- TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FWidth = 185;
  FHeight = 89;
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
  if (FWordWrap) Params.Style &= ~DWORD(ES_AUTOHSCROLL);
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomMemo::WndProc(TMessage& Message) {
  if (Message.Msg != WM_GETDLGCODE) {
    TCustomEdit::WndProc(Message);
    return;
  }
  DefaultHandler(Message);
  if (FWantTabs)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~LRESULT(DLGC_WANTTAB);
  // Ctrl+Enter stays the control's.
  if (!FWantReturns && GetKeyState(VK_CONTROL) >= 0) Message.Result &= ~LRESULT(DLGC_WANTALLKEYS);
}

// Without WantReturns the control never sees a plain Enter, whether it acts on the key or on
// its character; Ctrl+Enter passes.
void TCustomMemo::KeyDown(WORD& Key, TShiftState Shift) {
  TCustomEdit::KeyDown(Key, Shift);
  if (Key == VK_RETURN && !FWantReturns && !(Shift & ssCtrl)) Key = 0;
}

void TCustomMemo::KeyPress(char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == '\r' && !FWantReturns) Key = 0;
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (Value == FScrollBars) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (Value == FWordWrap) return;
  FWordWrap = Value;
  RecreateWnd();
}

}  // namespace classlib
