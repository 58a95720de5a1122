#include "imagelib/view/PGPreviewJob.h"

#include <algorithm>

#include "classlib/files.h"
#include "classlib/ticks.h"
#include "imagelib/PGQuantize.h"

namespace imagelib {

TSize PreviewSize(int Width, int Height, int BoxWidth, int BoxHeight) {
  BoxWidth = std::max(BoxWidth, 1);
  BoxHeight = std::max(BoxHeight, 1);
  if (Width <= 0 || Height <= 0 || (Width <= BoxWidth && Height <= BoxHeight)) return TSize{Width, Height};
  const double aspect = double(Width) / Height;
  if (double(BoxWidth) / BoxHeight >= aspect)
    return TSize{int(std::clamp<int64_t>(int64_t(BoxHeight * aspect), 1, Width)), BoxHeight};
  return TSize{BoxWidth, int(std::clamp<int64_t>(int64_t(BoxWidth / aspect), 1, Height))};
}

TPixelGraphic* TPreviewJob::MakePreview() {
  FStage = 1;
  FSubStep = 0;
  FLastPercent = 0;
  FLastPercentBucket = 0;
  FLastTick = TickCount();
  if (!FileExists(FileName)) return nullptr;
  TOwned<TPixelGraphic> graphic(New<TPixelGraphic>());
  graphic->SetOnProgress([this](TObject* Sender, int Step, int Max, bool& Abort) { Progress(Sender, Step, Max, Abort); });
  graphic->SetReadWarningAction(pgwaIgnore);
  graphic->SetFastJPGDecoding(true);
  graphic->LoadFromFile(FileName);
  // A picture without pixels has no aspect to keep and nothing to show.
  if (JobTerminated() || graphic->GetEmpty() || graphic->GetWidth() <= 0 || graphic->GetHeight() <= 0) return nullptr;

  const TSize size = PreviewSize(graphic->GetWidth(), graphic->GetHeight(), BoxWidth, BoxHeight);
  if (size.cx != graphic->GetWidth() || size.cy != graphic->GetHeight()) {
    TOwned<TPixelGraphic> reduced(New<TPixelGraphic>());
    reduced->NewImage(size.cx, size.cy, pgbc24Bits);
    reduced->SetStretchMode(StretchMode);
    graphic.reset(CopyStep(graphic.get(), reduced.release(), false));
    if (JobTerminated()) return nullptr;
  }
  if (ScreenBitCount <= 8) {
    const TDisplayCopyFormat format = DisplayCopyFormat(ScreenBitCount, graphic->GetBitCount(),
                                                        Palette8BitSys24BitGraphic, Palette8BitSys8BitGraphic);
    TOwned<TPixelGraphic> converted(New<TPixelGraphic>());
    MakeDisplayCopyImage(converted.get(), format, graphic->GetWidth(), graphic->GetHeight(), graphic.get());
    graphic.reset(CopyStep(graphic.get(), converted.release(), format.Palette == pOptimized252Sys16));
    if (JobTerminated()) return nullptr;
  }
  graphic->SetOnProgress(nullptr);  // its receiver must not call back into a job that is gone
  return graphic.release();
}

TPixelGraphic* TPreviewJob::CopyStep(TPixelGraphic* Graphic, TPixelGraphic* Target, bool Optimise) {
  TOwned<TPixelGraphic> target(Target);
  ++FStage;
  target->SetOnProgress([this](TObject* Sender, int Step, int Max, bool& Abort) { Progress(Sender, Step, Max, Abort); });
  if (Optimise) {
    CreateOptimizedPalette(Target, Graphic, 252, true);
    if (JobTerminated()) return target.release();  // the caller sees the cancellation
  }
  target->CopyFrom(Graphic);
  return target.release();  // the caller frees Graphic as it takes the result in its place
}

void TPreviewJob::Progress(TObject*, int Step, int Max, bool& Abort) {
  if (Max > 0) {
    const int percent = int(int64_t(Step) * 100 / Max);
    const uint32_t now = TickCount();
    if (percent != FLastPercent && (now / 100 != FLastTick / 100 || percent / 16 != FLastPercentBucket)) {
      FLastPercent = percent;
      FLastPercentBucket = percent / 16;
      FLastTick = now;
      ReportProgress(FStage * 16 + FSubStep, percent);
    }
  }
  Abort = JobTerminated();
}

}  // namespace imagelib
