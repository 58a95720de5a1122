// The display-ready copy of a picture: whether a screen needs one, the format it gets, and the
// job that makes it (resampling, an optimised palette, conversion and dithering). Free of windows
// and threads: the picture view runs the job on its paint thread or at once, and delivers the
// copy to itself; the file dialogs' preview makes its copies in the same format.
//
// Ownership: the job owns its copy until it delivers it, and its intermediate unless that is the
// source; whatever it still owns when it ends or is destroyed, it frees. The source is only read,
// and nobody may touch it until the job has ended.
#pragma once

#include <cstdint>
#include <functional>

#include "imagelib/PGraphic.h"

namespace imagelib {

// Palette kinds of a copy for an 8-bit screen: pBlackWhite..pOptimized252Sys16 for a true-colour
// picture, pBlackWhite..pSource for a picture with a palette.
using TPalette8BitSys24BitGraphic = TPaletteIdent;
using TPalette8BitSys8BitGraphic = TPaletteIdent;

// What decides whether a picture is shown through a copy.
struct TDisplayCopyQuery {
  int ScreenBits = 32;        // bits per pixel times planes of the screen
  int PictureBits = 24;       // 1, 4, 8 or 24
  TPaletteIdent PictureIdent = pTrueColor;
  bool NeedStretch = false;   // resampled to another size than the picture's
  TPalette8BitSys8BitGraphic Palette8BitSys8BitGraphic = pOptimized252Sys16;
  bool ReduceOnLoad = false;  // a copy replaces the picture once made
  bool CopyOutdated = false;
};
// More bits than a palette screen shows, a resampled size, or another palette than the screen
// is to use.
bool DisplayCopyWanted(const TDisplayCopyQuery& Q);

// The bit count and palette of a copy: pBlackWhite..pSpecial252 a fixed palette,
// pOptimized252Sys16 one made from the source, pSource the source's own, pTrueColor none.
struct TDisplayCopyFormat {
  int BitCountNum = pgbc24Bits;
  TPaletteIdent Palette = pTrueColor;
  bool operator==(const TDisplayCopyFormat&) const = default;
};
// 4 bits with the 16 system colours below 8 screen bits, 8 bits with the chosen palette kind at
// 8, true colour above.
TDisplayCopyFormat DisplayCopyFormat(int ScreenBits, int SourceBitCount, TPalette8BitSys24BitGraphic For24Bit,
                                     TPalette8BitSys8BitGraphic For8Bit);
// Gives Copy the format at Width x Height, or 1 x 1 when that size cannot be made; a fixed or
// the source's palette is set at once, an optimised one is left to the job.
void MakeDisplayCopyImage(TPixelGraphic* Copy, const TDisplayCopyFormat& Format, int Width, int Height,
                          TPixelGraphic* Source);

class TDisplayCopyJob {
 public:
  TDisplayCopyJob() = default;
  TDisplayCopyJob(const TDisplayCopyJob&) = delete;
  TDisplayCopyJob& operator=(const TDisplayCopyJob&) = delete;
  // Frees a copy that was never delivered and an intermediate of the job's own.
  virtual ~TDisplayCopyJob();

  // Set up before the job runs.
  bool PreStretch = false;                // resample the source into the intermediate first
  bool Optimise = false;                  // make an optimised palette for the copy
  TPixelGraphic* Source = nullptr;        // not owned
  TPixelGraphic* Copy = nullptr;          // owned until delivered
  TPixelGraphic* Intermediate = nullptr;  // the source, or a 24-bit picture owned by the job

  // The job: the steps it is not cancelled before, then the copy delivered (or freed when
  // cancelled). An exception inside a step frees the copy and delivers none (null).
  void CreatePaintPixelGraphic();
  // The copy's and the intermediate's progress handler: one report per percent that changed in
  // a 50 ms bucket of the tick counter; Abort follows the job's cancellation.
  void Progress(TObject* Sender, int Step, int Max, bool& Abort);

  int GetStage() const { return FStage; }
  bool IsCancelled() const { return JobTerminated(); }

 protected:
  virtual bool JobTerminated() const = 0;
  // Takes the finished copy over; null tells that the job failed.
  virtual void Deliver(TPixelGraphic* Result) = 0;
  virtual void ReportProgress(int Stage, int Percent) = 0;

 private:
  void MakeCopy();
  void RemapByTable();
  void ReleaseIntermediate();
  int FStage = 1;
  int FLastPercent = 0;
  uint32_t FLastTick = 0;
};

// A test seam: called at every progress report of every job, on the job's thread, before the job learns
// whether it is cancelled (it may wait, or throw to make the job fail). Set it and take it away
// only while no job runs.
void SetDisplayCopyProgressHook(std::function<void(TDisplayCopyJob& Job)> Hook);

}  // namespace imagelib
