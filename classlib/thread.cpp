#include "classlib/thread.h"

#include <process.h>

#include <cassert>

#include "classlib/exceptions.h"
#include "classlib/numerics.h"
#include "classlib/startup.h"
#include "classlib/testing.h"
#include "classlib/text.h"

namespace classlib {

namespace {
std::atomic<int> gLiveThreads{0};
}

int testing::LiveThreadCount() { return gLiveThreads; }

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {
  unsigned id = 0;
  uintptr_t h = _beginthreadex(nullptr, 0, &TThread::ThreadProc, this, CREATE_SUSPENDED, &id);
  if (!h) throw EThread(Format("Thread creation error: %s", "_beginthreadex failed"));
  FHandle = reinterpret_cast<HANDLE>(h);
  FThreadID = id;
  ++gLiveThreads;
}

TThread::~TThread() {
  if (FHandle) {
    CloseHandle(FHandle);
    --gLiveThreads;
  }
}

void TThread::AfterConstruction() {
  if (!FCreateSuspended) Resume();
}

void TThread::BeforeDestruction() {
  if (FStarted && !FFinished) Terminate();
  WaitFor();
  TObject::BeforeDestruction();
}

void TThread::Resume() {
  if (FStarted) return;
  FStarted = true;
  ResumeThread(FHandle);
}

void TThread::WaitFor() {
  if (!FStarted) {
    FSkipExecute = true;
    Resume();
  }
  if (!IsMainThread()) {
    WaitForSingleObject(FHandle, INFINITE);
    return;
  }
  for (;;) {
    DWORD r = MsgWaitForMultipleObjects(1, &FHandle, FALSE, INFINITE, QS_SENDMESSAGE);
    if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) return;
    MSG msg;
    // Peeking dispatches messages sent from other threads; posted ones stay in the queue.
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

unsigned __stdcall TThread::ThreadProc(void* Param) {
  auto* self = static_cast<TThread*>(Param);
  SetX87ControlWord(X87FullPrecision);
  if (!self->FSkipExecute) {
    try {
      self->Execute();
    } catch (...) {
      self->FFatalException = std::current_exception();
    }
  }
  self->FFinished = true;
  return 0;
}

void DrainPostedMessages(HWND Window, UINT Msg, const std::function<void(const MSG&)>& Drop) {
  if (!Window) return;
  MSG msg;
  while (PeekMessageA(&msg, Window, Msg, Msg, PM_REMOVE)) Drop(msg);
}

}  // namespace classlib
