// TCreatePaintPGThread: the picture view's paint thread, which makes one display-ready copy on a
// worker and posts it to the view's window; or, made as a stand-in (NoOp), the record of a job
// that the window thread runs itself and reports by direct calls.
#pragma once

#include <functional>

#include "classlib/thread.h"
#include "imagelib/view/PGDisplayCopy.h"
#include "imagelib/view/PGViewMessages.h"

namespace imagelib {

class TCreatePaintPGThread : public TThread, public TDisplayCopyJob {
  CL_CLASS(TCreatePaintPGThread)
  // NoOp: Execute does nothing; the object stands in for a thread, or records a job run at once.
  TCreatePaintPGThread(bool CreateSuspended, bool NoOp);

  bool NoOp;
  HWND TargetWindow = nullptr;
  // True: reports are posted to TargetWindow; False: the two targets are called.
  bool Post = true;
  std::function<void(TPixelGraphic* Graphic)> CompletionTarget;
  std::function<void(int Stage, int Percent)> ProgressTarget;

 protected:
  void Execute() override;
  bool JobTerminated() const override { return GetTerminated(); }
  // A picture whose message cannot be posted is freed here.
  void Deliver(TPixelGraphic* Result) override;
  void ReportProgress(int Stage, int Percent) override;
};

}  // namespace imagelib
