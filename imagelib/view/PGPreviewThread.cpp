#include "imagelib/view/PGPreviewThread.h"

#include <exception>

namespace imagelib {

TCreateOpenSaveDialogPaintPGThread::TCreateOpenSaveDialogPaintPGThread(bool CreateSuspended, bool NoOp)
    : TThread(CreateSuspended), NoOp(NoOp) {}

void TCreateOpenSaveDialogPaintPGThread::Cancel() {
  std::lock_guard<std::mutex> lock(FPostLock);
  Terminate();
}

std::string TCreateOpenSaveDialogPaintPGThread::GetFailureText() {
  std::lock_guard<std::mutex> lock(FPostLock);
  return FFailureText;
}

void TCreateOpenSaveDialogPaintPGThread::Execute() {
  if (NoOp) return;
  TPixelGraphic* preview = nullptr;
  bool failed = false;
  std::string failure;
  try {
    preview = MakePreview();
  } catch (const std::exception& Error) {
    failed = true;
    failure = Error.what();
  } catch (...) {
    failed = true;
  }
  if (preview) GdiFlush();  // drawing batched on this thread reaches the pixels before they travel
  std::lock_guard<std::mutex> lock(FPostLock);
  if (GetTerminated()) {
    Free(preview);
  } else if (preview) {
    if (!PostMessageA(HookWindow, WM_PGPAINTPIXELGRAPHIC, 0, reinterpret_cast<LPARAM>(preview))) Free(preview);
  } else if (failed) {
    FFailureText = failure;
    PostMessageA(HookWindow, WM_PGPREVIEWFAILED, 0, 0);
  }
}

void TCreateOpenSaveDialogPaintPGThread::ReportProgress(int Code, int Percent) {
  std::lock_guard<std::mutex> lock(FPostLock);
  if (!GetTerminated()) PostMessageA(HookWindow, WM_PGPROGRESS, WPARAM(Code), LPARAM(Percent));
}

}  // namespace imagelib
