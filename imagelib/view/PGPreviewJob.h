// The file dialogs' preview of a picture file, free of windows and threads: the file loaded with
// its reader's bounds (warnings ignored, JPEG decoded fast), reduced to fit the preview box and
// converted for a palette screen. The dialogs run it on their preview thread.
//
// Ownership: the picture the job returns belongs to the caller; every picture it made on the way
// is freed, also when it fails or is cancelled.
#pragma once

#include <cstdint>
#include <string>

#include "imagelib/PGraphic.h"
#include "imagelib/view/PGDisplayCopy.h"

namespace imagelib {

// The size a picture of Width x Height is shown at in a box of BoxWidth x BoxHeight: its own when
// it fits, else the largest size of its aspect that fits (truncated, never below 1 pixel).
TSize PreviewSize(int Width, int Height, int BoxWidth, int BoxHeight);

class TPreviewJob {
 public:
  TPreviewJob() = default;
  TPreviewJob(const TPreviewJob&) = delete;
  TPreviewJob& operator=(const TPreviewJob&) = delete;
  virtual ~TPreviewJob() = default;

  // Set up before the job runs.
  std::string FileName;
  int BoxWidth = 0, BoxHeight = 0;  // room for the picture
  TStretchMode StretchMode = smPrecise;
  TPalette8BitSys24BitGraphic Palette8BitSys24BitGraphic = pOptimized252Sys16;
  TPalette8BitSys8BitGraphic Palette8BitSys8BitGraphic = pOptimized252Sys16;
  int ScreenBitCount = 24;  // bits per pixel times planes of the screen

  // The preview, or null when the file does not exist, holds an empty picture or the job was
  // cancelled; raises what loading and converting raise.
  TPixelGraphic* MakePreview();
  // The progress handler of every picture the job works on: one report when the percent changed
  // and either a new 100 ms bucket of the tick counter began or it crossed a multiple of 16;
  // Abort follows the job's cancellation.
  void Progress(TObject* Sender, int Step, int Max, bool& Abort);

  int GetStage() const { return FStage; }

 protected:
  virtual bool JobTerminated() const = 0;
  // Code is the stage times 16 plus the sub-step (always 0).
  virtual void ReportProgress(int Code, int Percent) = 0;

 private:
  // Gives Target Graphic's pixels (resampled, converted; with Optimise into an optimised palette
  // made first) and returns Target to take Graphic's place.
  TPixelGraphic* CopyStep(TPixelGraphic* Graphic, TPixelGraphic* Target, bool Optimise);
  int FStage = 1;
  int FSubStep = 0;
  int FLastPercent = 0;
  int FLastPercentBucket = 0;
  uint32_t FLastTick = 0;
};

}  // namespace imagelib
