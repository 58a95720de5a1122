// TTimer: calls OnTimer every Interval milliseconds on the thread that made it, from its message
// loop (also a modal or a common dialog's loop). It runs while Enabled and Interval is above 0;
// a change of either starts the count afresh. Freeing it stops it.
#pragma once

#include "classlib/component.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TTimer : public TComponent {
  CL_CLASS(TTimer)
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  UINT GetInterval() const { return FInterval; }
  void SetInterval(UINT Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  TNotifyEvent OnTimer;

  // Fires OnTimer now, as the message loop would (exceptions go to the application).
  void Tick();

 private:
  static void CALLBACK TimerProc(HWND, UINT, UINT_PTR Id, DWORD);
  void UpdateTimer();
  void StopTimer();
  UINT FInterval = 1000;
  bool FEnabled = true;
  UINT_PTR FId = 0;
};

}  // namespace classlib
