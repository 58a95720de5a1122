// TTrackBar: the system's horizontal track bar (a superclass of msctls_trackbar32) with ticks and a
// selection range; OnChange tells of every move by the user, never of a Position set from code.
#pragma once

#include "classlib/controls.h"

namespace classlib {

class TTrackBar : public TWinControl {
  CL_CLASS(TTrackBar)
  explicit TTrackBar(TComponent* AOwner);

  int GetMin() const { return FMin; }
  void SetMin(int Value);
  int GetMax() const { return FMax; }
  void SetMax(int Value);
  int GetFrequency() const { return FFrequency; }
  void SetFrequency(int Value);
  // With a window, where the thumb stands.
  int GetPosition();
  void SetPosition(int Value);

  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  void WndProc(TMessage& Message) override;

 private:
  void ApplyRange();
  int FMin = 0;
  int FMax = 10;
  int FFrequency = 1;
  int FPosition = 0;
};

}  // namespace classlib
