// TTimer: fired from the message loop while enabled, stopped by Enabled and by freeing, its
// exceptions handed to the application while it keeps running.
#include <gtest/gtest.h>

#include <stdexcept>

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/timer.h"

using namespace classlib;

namespace {
// Dispatches this thread's messages until Done holds or the time is up.
bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 10000) {
  DWORD start = GetTickCount();
  while (!Done()) {
    if (GetTickCount() - start > TimeoutMs) return false;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
}
}  // namespace

TEST(TTimer, FiresFromTheLoopUntilStoppedAndOutlivesItsExceptions) {
  Application->Initialize();
  int fired = 0;
  TTimer* timer = New<TTimer>(nullptr);
  timer->SetInterval(10);
  timer->OnTimer = [&](TObject* Sender) {
    EXPECT_EQ(Sender, timer);
    if (++fired == 2) throw EInvalidOperation("from the timer");
  };
  std::string caught;
  Application->OnException = [&](TObject*, std::exception_ptr e) {
    try {
      std::rethrow_exception(e);
    } catch (const std::exception& x) {
      caught = x.what();
    }
  };
  EXPECT_TRUE(PumpUntil([&] { return fired >= 3; })) << "fires again after its exception";
  EXPECT_EQ(caught, "from the timer");
  Application->OnException = nullptr;
  timer->SetEnabled(false);
  int stopped = fired;
  PumpUntil([] { return false; }, 100);  // ten intervals in which nothing may fire
  EXPECT_EQ(fired, stopped);
  timer->Tick();
  EXPECT_EQ(fired, stopped + 1) << "at once, even when disabled";
  // A timer may free itself from its own handler.
  timer->SetEnabled(true);
  timer->OnTimer = [&](TObject*) { FreeAndNil(timer); };
  EXPECT_TRUE(PumpUntil([&] { return timer == nullptr; }));
}
