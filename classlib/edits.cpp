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
  Params.ExStyle |= WS_EX_CLIENTEDGE;
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

int TCustomEdit::GetSelStart() {
  DWORD start = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  return int(start);
}

void TCustomEdit::SetSelStart(int Value) { SendMessageA(GetHandle(), EM_SETSEL, WPARAM(Value), LPARAM(Value)); }

int TCustomEdit::GetSelLength() {
  DWORD start = 0, end = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return int(end - start);
}

void TCustomEdit::SetSelLength(int Value) {
  int start = GetSelStart();
  SendMessageA(GetHandle(), EM_SETSEL, WPARAM(start), LPARAM(start + Value));
}

// ---- TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner) {
  FWidth = 185;
  FHeight = 89;
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
}

}  // namespace classlib
