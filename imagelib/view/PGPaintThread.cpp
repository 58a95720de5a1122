#include "imagelib/view/PGPaintThread.h"

namespace imagelib {

TCreatePaintPGThread::TCreatePaintPGThread(bool CreateSuspended, bool NoOp) : TThread(CreateSuspended), NoOp(NoOp) {}

void TCreatePaintPGThread::Execute() {
  if (!NoOp) CreatePaintPixelGraphic();
}

void TCreatePaintPGThread::Deliver(TPixelGraphic* Result) {
  if (!Post) {
    if (CompletionTarget)
      CompletionTarget(Result);
    else
      Free(Result);
    return;
  }
  if (!PostMessageA(TargetWindow, WM_PGPAINTPIXELGRAPHIC, 0, reinterpret_cast<LPARAM>(Result))) Free(Result);
}

void TCreatePaintPGThread::ReportProgress(int Stage, int Percent) {
  if (!Post) {
    if (ProgressTarget) ProgressTarget(Stage, Percent);
    return;
  }
  PostMessageA(TargetWindow, WM_PGPROGRESS, WPARAM(Stage), LPARAM(Percent));
}

}  // namespace imagelib
