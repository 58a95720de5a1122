// TPGImage's display-ready copy: when painting needs one, starting the job that makes it (on the
// paint thread, or at once without a thread), taking the result and the progress reports, and
// the progress clocks.
//
// A result posted by a job travels only in WM_PGPAINTPIXELGRAPHIC. Whenever the picture changes
// or a new job starts, the view first stops the paint thread and frees the results still waiting
// in its queue, so that a copy of something gone is never installed; so does the window when it
// goes.
#include "classlib/graphics.h"
#include "imagelib/view/PGImage.h"
#include "imagelib/view/PGProgressClock.h"

namespace imagelib {

void TPGImage::StopPaintThread() {
  if (!FPaintThread) return;
  FPaintThread->Terminate();
  FPaintThread->WaitFor();
}

void TPGImage::DrainPaintMessages() {
  if (!HandleAllocated()) return;
  DrainPostedMessages(FHandle, WM_PGPAINTPIXELGRAPHIC,
                      [](const MSG& M) { Free(reinterpret_cast<TPixelGraphic*>(M.lParam)); });
  DrainPostedMessages(FHandle, WM_PGPROGRESS, [](const MSG&) {});
}

void TPGImage::DestroyWnd() {
  StopPaintThread();
  DrainPaintMessages();
  TScrollBox::DestroyWnd();
}

void TPGImage::ReleasePaintPixelGraphic() {
  if (FKeepOldPaintPixelGraphic && FUseThread)
    FPaintPixelGraphicOutdated = true;
  else
    FreeAndNil(FPaintPixelGraphic);
}

bool TPGImage::UpdatePaintPixelGraphic() {
  const int boxWidth = FPicBox->GetWidth(), boxHeight = FPicBox->GetHeight();
  if (FStretchMode != smFast && !FReduceOnLoad &&
      (FPaintPixelGraphicWidth != boxWidth || FPaintPixelGraphicHeight != boxHeight))
    FPaintPixelGraphicOutdated = true;
  const int screenBits = ScreenBitCount();
  bool useCopy = false, needStretch = false;
  if (FPixelGraphic) {
    needStretch = FStretchMode != smFast && (boxWidth != FPictureWidth || boxHeight != FPictureHeight);
    TDisplayCopyQuery q;
    q.ScreenBits = screenBits;
    q.PictureBits = FPixelGraphic->GetBitCount();
    q.PictureIdent = FPixelGraphic->GetPaletteIdent();
    q.NeedStretch = needStretch;
    q.Palette8BitSys8BitGraphic = FPalette8BitSys8BitGraphic;
    q.ReduceOnLoad = FReduceOnLoad;
    q.CopyOutdated = FPaintPixelGraphicOutdated;
    useCopy = DisplayCopyWanted(q);
  }
  const bool keepOld = FKeepOldPaintPixelGraphic && FUseThread;
  if (((FPaintPixelGraphicOutdated && !keepOld) || !useCopy) && FPaintPixelGraphic) {
    StopPaintThread();
    FreeAndNil(FPaintPixelGraphic);
  }
  if (!useCopy) return false;
  if (!FPaintPixelGraphicOutdated) {
    if (FPaintPixelGraphicFailed) return false;
    // A delivered copy, or a job still on its way (one that finished counts as not terminated):
    // only a cancelled job is made again.
    if (FPaintPixelGraphic || (FPaintThread && !FPaintThread->GetTerminated())) return true;
  }
  return StartPaintJob(screenBits, needStretch);
}

bool TPGImage::StartPaintJob(int ScreenBits, bool NeedStretch) {
  StopPaintThread();
  DrainPaintMessages();
  const bool keepOld = FKeepOldPaintPixelGraphic && FUseThread;
  if (FPaintPixelGraphic && !keepOld) FreeAndNil(FPaintPixelGraphic);
  FProgressStage = 1;
  FProgressPercent = 0;
  FPaintPixelGraphicFailed = false;
  FreeAndNil(FPaintThread);
  FPaintThread = FUseThread ? New<TCreatePaintPGThread>(true, false) : New<TCreatePaintPGThread>(false, true);
  TCreatePaintPGThread* job = FPaintThread;
  const int boxWidth = FPicBox->GetWidth(), boxHeight = FPicBox->GetHeight();
  try {
    job->Post = FUseThread;
    if (!FUseThread) {
      job->CompletionTarget = [this](TPixelGraphic* Graphic) { PaintPixelGraphicReady(Graphic); };
      job->ProgressTarget = [this](int Stage, int Percent) { SetProgress(Stage, Percent); };
    }
    job->TargetWindow = GetHandle();
    job->Source = FPixelGraphic;
    FPixelGraphic->GetBits();  // drawing still pending on this thread reaches the pixels first
    if (FAllow24BitStretch && NeedStretch && ScreenBits == 8 && FPalette8BitSys24BitGraphic == pOptimized252Sys16) {
      job->Intermediate = New<TPixelGraphic>();
      MakeDisplayCopyImage(job->Intermediate, TDisplayCopyFormat{pgbc24Bits, pTrueColor}, boxWidth, boxHeight, nullptr);
      job->Intermediate->SetStretchMode(FStretchMode);
      job->PreStretch = true;
    } else {
      job->Intermediate = FPixelGraphic;
    }
    TDisplayCopyFormat format = DisplayCopyFormat(ScreenBits, job->Intermediate->GetBitCount(),
                                                  FPalette8BitSys24BitGraphic, FPalette8BitSys8BitGraphic);
    job->Optimise = format.Palette == pOptimized252Sys16;
    job->Copy = New<TPixelGraphic>();
    const bool stretched = FStretchMode != smFast;
    FPaintPixelGraphicWidth = stretched ? boxWidth : FPictureWidth;
    FPaintPixelGraphicHeight = stretched ? boxHeight : FPictureHeight;
    MakeDisplayCopyImage(job->Copy, format, FPaintPixelGraphicWidth, FPaintPixelGraphicHeight, job->Intermediate);
    job->Copy->SetStretchMode(FStretchMode);
    job->Copy->SetDitherOptions(FDitherOptions);
    job->Copy->SetRGBWeighting(FRGBWeighting);
    FPaintPixelGraphicOutdated = false;
    if (FUseThread) {
      job->Resume();
      return true;
    }
    job->CreatePaintPixelGraphic();  // delivers (or reports failure) before it returns
    return FPaintPixelGraphic != nullptr;  // not when it failed, or became the picture
  } catch (...) {
    // The view paints the picture itself and tries again at a later paint. The job never ran:
    // what it holds is freed now, and the stand-in's thread ends without running (WaitFor).
    FreeAndNil(job->Copy);
    if (job->Intermediate != job->Source) FreeAndNil(job->Intermediate);
    job->Intermediate = nullptr;
    FPaintPixelGraphicOutdated = true;
    return false;
  }
}

void TPGImage::PaintPixelGraphicReady(TPixelGraphic* Graphic) {
  if (!Graphic) {
    FPaintPixelGraphicFailed = true;
  } else if (FReduceOnLoad) {
    // The copy replaces the picture, which nothing may be reading any more.
    StopPaintThread();
    FreeAndNil(FPixelGraphic);
    FreeAndNil(FPaintPixelGraphic);
    FPixelGraphic = Graphic;
    HookPixelGraphic(FPixelGraphic, true);
    // Its own size from now on: a copy made at the TPicBox's size needs no stretching again.
    FPictureWidth = Graphic->GetWidth();
    FPictureHeight = Graphic->GetHeight();
  } else {
    FreeAndNil(FPaintPixelGraphic);
    FPaintPixelGraphic = Graphic;
  }
  NotifyPalette();
  Invalidate();
}

void TPGImage::SetProgress(int Stage, int Percent) {
  FProgressStage = Stage;
  FProgressPercent = Percent;
  DrawProgressClocks();
}

void TPGImage::DrawProgressClocks() {
  if (!FProgressClockVisible) return;
  for (TPoint corner : ProgressClockCorners(FPicBox->GetBoundsRect(), FProgress5Clocks))
    PaintProgressClock(FCanvas, corner.X, corner.Y, FProgressStage, FProgressPercent, FProgressClockLineColor,
                       FProgressClockBkColor);
}

}  // namespace imagelib
