#include "classlib/updown.h"

#include "classlib/text.h"

namespace classlib {

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = 0;
  FWidth = 15;
  FHeight = 25;
}

void TUpDown::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SuperClassOf = UPDOWN_CLASSA;
  Params.Style |= UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS;
  if (FArrowKeys) Params.Style |= UDS_ARROWKEYS;
  if (FWrap) Params.Style |= UDS_WRAP;
}

void TUpDown::CreateWndDone() {
  ApplyRange();
  SendMessageA(FHandle, UDM_SETPOS32, 0, FPosition);
  ApplyBuddy();
}

void TUpDown::ApplyRange() {
  if (!FHandle) return;
  SendMessageA(FHandle, UDM_SETRANGE32, WPARAM(FMin), LPARAM(FMax));
  UDACCEL accel{0, UINT(FIncrement)};
  SendMessageA(FHandle, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
}

void TUpDown::ApplyBuddy() {
  if (!FHandle || !FAssociate) return;
  SendMessageA(FHandle, UDM_SETBUDDY, reinterpret_cast<WPARAM>(FAssociate->GetHandle()), 0);
  // The buddy shows the position; written here too in case the control leaves the text alone.
  std::string text = IntToStr(FPosition);
  if (FAssociate->GetText() != text) FAssociate->SetText(text);
}

void TUpDown::SetAssociate(TWinControl* Value) {
  if (Value == FAssociate) return;
  if (FAssociate) FAssociate->RemoveFreeNotification(this);
  FAssociate = Value;
  if (FAssociate) FAssociate->FreeNotification(this);
  if (FHandle) {
    if (FAssociate)
      ApplyBuddy();
    else
      SendMessageA(FHandle, UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::Notification(TComponent* Component, TOperation Operation) {
  TWinControl::Notification(Component, Operation);
  if (Operation == opRemove && Component == FAssociate) {
    FAssociate = nullptr;
    if (FHandle) SendMessageA(FHandle, UDM_SETBUDDY, 0, 0);
  }
}

void TUpDown::SetMin(int Value) {
  FMin = Value;
  ApplyRange();
}

void TUpDown::SetMax(int Value) {
  FMax = Value;
  ApplyRange();
}

int TUpDown::GetPosition() {
  if (FHandle) {
    BOOL failed = FALSE;
    int position = int(SendMessageA(FHandle, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    FPosition = position;
  }
  return FPosition;
}

void TUpDown::SetPosition(int Value) {
  FPosition = Value;
  if (!FHandle) return;
  SendMessageA(FHandle, UDM_SETPOS32, 0, Value);
  FPosition = int(SendMessageA(FHandle, UDM_GETPOS32, 0, 0));
  if (FAssociate) {
    std::string text = IntToStr(FPosition);
    if (FAssociate->GetText() != text) FAssociate->SetText(text);
  }
}

void TUpDown::SetIncrement(int Value) {
  FIncrement = Value;
  ApplyRange();
}

void TUpDown::SetArrowKeys(bool Value) {
  if (Value == FArrowKeys) return;
  FArrowKeys = Value;
  SetWindowStyleBit(UDS_ARROWKEYS, Value);
}

void TUpDown::SetWrap(bool Value) {
  if (Value == FWrap) return;
  FWrap = Value;
  SetWindowStyleBit(UDS_WRAP, Value);
}

}  // namespace classlib
