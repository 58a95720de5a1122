#include "classlib/timer.h"

#include <map>

#include "classlib/controls.h"
#include "classlib/exceptions.h"

namespace classlib {

namespace {
// The thread timers of this thread's TTimer objects, by the system's timer id.
std::map<UINT_PTR, TTimer*>& Timers() {
  static auto* timers = new std::map<UINT_PTR, TTimer*>;
  return *timers;
}
}  // namespace

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) { UpdateTimer(); }

TTimer::~TTimer() { StopTimer(); }

void TTimer::SetInterval(UINT Value) {
  if (Value == FInterval) return;
  FInterval = Value;
  UpdateTimer();
}

void TTimer::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  UpdateTimer();
}

void TTimer::StopTimer() {
  if (!FId) return;
  KillTimer(nullptr, FId);
  Timers().erase(FId);
  FId = 0;
}

void TTimer::UpdateTimer() {
  StopTimer();
  if (!FEnabled || FInterval == 0) return;
  FId = SetTimer(nullptr, 0, FInterval, &TTimer::TimerProc);
  if (!FId) throw EOutOfResources("Not enough timers available");
  Timers()[FId] = this;
}

void TTimer::Tick() {
  DispatchCallback(this, [this] {
    TNotifyEvent handler = OnTimer;  // the handler may free this timer
    if (handler) handler(this);
  });
}

void CALLBACK TTimer::TimerProc(HWND, UINT, UINT_PTR Id, DWORD) {
  auto found = Timers().find(Id);
  // A message already queued for a timer that has been stopped since finds nobody.
  if (found != Timers().end()) found->second->Tick();
}

}  // namespace classlib
