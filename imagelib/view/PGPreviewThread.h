// TCreateOpenSaveDialogPaintPGThread: the file dialogs' preview thread. It makes the preview of
// one file on a worker and posts it to the dialog's hook window; a preview that fails posts a
// notice instead, whose text the hook reads from the thread.
//
// Cancel and the thread's posting take one lock, so nothing is posted once Cancel has returned:
// after Cancel, draining the hook window's queue leaves no result of this thread behind, and the
// dialog need not wait for a slow reader before it goes on. A picture that is not posted, or whose
// post fails, is freed by the thread.
#pragma once

#include <mutex>
#include <string>

#include "classlib/thread.h"
#include "imagelib/view/PGPreviewJob.h"
#include "imagelib/view/PGViewMessages.h"

namespace imagelib {

class TCreateOpenSaveDialogPaintPGThread : public TThread, public TPreviewJob {
  CL_CLASS(TCreateOpenSaveDialogPaintPGThread)
  // NoOp: Execute returns at once (the object only stands in for a thread).
  TCreateOpenSaveDialogPaintPGThread(bool CreateSuspended, bool NoOp);

  bool NoOp;
  HWND DialogWindow = nullptr;
  HWND HookWindow = nullptr;

  // Terminates the thread; from then on it posts nothing.
  void Cancel();
  // Why the preview failed (the text of what was raised); read it after WM_PGPREVIEWFAILED.
  std::string GetFailureText();

 protected:
  void Execute() override;
  bool JobTerminated() const override { return GetTerminated(); }
  void ReportProgress(int Code, int Percent) override;

 private:
  std::mutex FPostLock;
  std::string FFailureText;
};

}  // namespace imagelib
