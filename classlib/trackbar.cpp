#include "classlib/trackbar.h"

#include <algorithm>

namespace classlib {

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = 0;
  FTabStop = true;
  FWidth = 150;
  FHeight = 45;
}

void TTrackBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SuperClassOf = TRACKBAR_CLASSA;
  Params.Style |= TBS_HORZ | TBS_AUTOTICKS | TBS_ENABLESELRANGE;
}

void TTrackBar::CreateWndDone() {
  ApplyRange();
  SendMessageA(FHandle, TBM_SETTICFREQ, WPARAM(FFrequency), 0);
  SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::ApplyRange() {
  FPosition = std::clamp(FPosition, FMin, std::max(FMin, FMax));
  if (!FHandle) return;
  SendMessageA(FHandle, TBM_SETRANGEMIN, FALSE, FMin);
  SendMessageA(FHandle, TBM_SETRANGEMAX, TRUE, FMax);
}

void TTrackBar::SetMin(int Value) {
  FMin = Value;
  ApplyRange();
}

void TTrackBar::SetMax(int Value) {
  FMax = Value;
  ApplyRange();
}

void TTrackBar::SetFrequency(int Value) {
  FFrequency = Value;
  if (FHandle) SendMessageA(FHandle, TBM_SETTICFREQ, WPARAM(Value), 0);
}

int TTrackBar::GetPosition() {
  if (FHandle) FPosition = int(SendMessageA(FHandle, TBM_GETPOS, 0, 0));
  return FPosition;
}

void TTrackBar::SetPosition(int Value) {
  FPosition = std::clamp(Value, FMin, std::max(FMin, FMax));
  if (FHandle) SendMessageA(FHandle, TBM_SETPOS, TRUE, FPosition);
}

void TTrackBar::WndProc(TMessage& Message) {
  if (Message.Msg == CN_HSCROLL || Message.Msg == CN_VSCROLL) {
    if (FHandle) FPosition = int(SendMessageA(FHandle, TBM_GETPOS, 0, 0));
    if (OnChange) OnChange(this);
    Message.Result = 0;
    return;
  }
  TWinControl::WndProc(Message);
}

}  // namespace classlib
