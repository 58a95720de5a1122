// TThread: a worker thread whose Execute starts only after the object is fully constructed
// (New<T> -> AfterConstruction), with full x87 precision, and whose exceptions end it quietly.
#pragma once

#include <atomic>
#include <exception>
#include <functional>

#include "classlib/object.h"
#include "classlib/winapi.h"

namespace classlib {

class TThread : public TObject {
  CL_CLASS(TThread)
  explicit TThread(bool CreateSuspended);
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;
  ~TThread() override;
  void AfterConstruction() override;
  // A started, unfinished thread is terminated and waited for; a never-started one is released.
  void BeforeDestruction() override;

  void Resume();
  void Terminate() { FTerminated = true; }
  bool GetTerminated() const { return FTerminated; }
  // On the main thread, sent messages are handled while waiting (posted ones stay queued).
  // A thread that never started is released without running Execute, so this cannot hang.
  void WaitFor();
  bool GetFinished() const { return FFinished; }
  std::exception_ptr GetFatalException() const { return FFatalException; }
  bool GetFreeOnTerminate() const { return false; }
  HANDLE GetHandle() const { return FHandle; }
  DWORD GetThreadID() const { return FThreadID; }

 protected:
  virtual void Execute() = 0;

 private:
  static unsigned __stdcall ThreadProc(void* Param);
  HANDLE FHandle = nullptr;
  DWORD FThreadID = 0;
  bool FCreateSuspended;
  bool FStarted = false;
  bool FSkipExecute = false;
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::exception_ptr FFatalException;
};

// Takes every message Msg posted to Window that still waits in this thread's queue and hands it
// to Drop, which frees what it carries: for windows that receive objects from workers and are
// reset or go away before they have taken them.
void DrainPostedMessages(HWND Window, UINT Msg, const std::function<void(const MSG& Message)>& Drop);

}  // namespace classlib
