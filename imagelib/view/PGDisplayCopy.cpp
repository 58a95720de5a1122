#include "imagelib/view/PGDisplayCopy.h"

#include <exception>

#include "classlib/ticks.h"
#include "imagelib/PGQuantize.h"

namespace imagelib {

namespace {
std::function<void(TDisplayCopyJob&)> gProgressHook;
}

void SetDisplayCopyProgressHook(std::function<void(TDisplayCopyJob&)> Hook) { gProgressHook = std::move(Hook); }

// ---- the decision and the format

bool DisplayCopyWanted(const TDisplayCopyQuery& Q) {
  const int B = Q.PictureBits, D = Q.ScreenBits;
  bool use = (B > D && D <= 8) || Q.NeedStretch;
  if (B <= 8 && D <= 8) {
    // With ReduceOnLoad the first copy has become the picture: no second one until it is outdated.
    bool again = !Q.ReduceOnLoad || Q.CopyOutdated;
    if (D == 4)
      use = use || (Q.PictureIdent != pSys16 && again);
    else
      use = use || (Q.Palette8BitSys8BitGraphic != pSource && Q.Palette8BitSys8BitGraphic != Q.PictureIdent && again);
  }
  return use;
}

TDisplayCopyFormat DisplayCopyFormat(int ScreenBits, int SourceBitCount, TPalette8BitSys24BitGraphic For24Bit,
                                     TPalette8BitSys8BitGraphic For8Bit) {
  if (ScreenBits < 8) return TDisplayCopyFormat{pgbc4Bits, pSys16};
  if (ScreenBits > 8) return TDisplayCopyFormat{pgbc24Bits, pTrueColor};
  return TDisplayCopyFormat{pgbc8Bits, SourceBitCount == 24 ? For24Bit : For8Bit};
}

void MakeDisplayCopyImage(TPixelGraphic* Copy, const TDisplayCopyFormat& Format, int Width, int Height,
                          TPixelGraphic* Source) {
  bool made = false;
  if (Width >= 1 && Height >= 1) {
    try {
      Copy->NewImage(Width, Height, Format.BitCountNum);
      made = !Copy->GetEmpty();
    } catch (const std::exception&) {
      // too large for a picture: the small stand-in below
    }
  }
  if (!made) Copy->NewImage(1, 1, Format.BitCountNum);
  if (Format.Palette == pSource)
    Copy->AssignPalette(Source);
  else if (Format.Palette != pTrueColor && Format.Palette != pOptimized252Sys16)
    Copy->SetPaletteIdent(Format.Palette);
}

// ---- the job

TDisplayCopyJob::~TDisplayCopyJob() {
  FreeAndNil(Copy);
  ReleaseIntermediate();
}

void TDisplayCopyJob::ReleaseIntermediate() {
  if (Intermediate != Source) Free(Intermediate);
  Intermediate = nullptr;
}

void TDisplayCopyJob::CreatePaintPixelGraphic() {
  FLastPercent = 0;
  FLastTick = TickCount();
  FStage = 1;
  if (Copy && Source) {
    auto progress = [this](TObject* Sender, int Step, int Max, bool& Abort) { Progress(Sender, Step, Max, Abort); };
    bool failed = false;
    try {
      Copy->SetOnProgress(progress);
      if (!JobTerminated()) {
        if (PreStretch && Intermediate && Intermediate != Source) {
          Intermediate->SetOnProgress(progress);
          Intermediate->CopyFrom(Source);
          ++FStage;
        } else {
          ReleaseIntermediate();
          Intermediate = Source;
        }
      }
      if (!JobTerminated() && Optimise) {
        CreateOptimizedPalette(Copy, Intermediate, 252, true);
        ++FStage;
      }
      if (!JobTerminated()) {
        MakeCopy();
        ++FStage;
      }
    } catch (...) {
      failed = true;
    }
    TPixelGraphic* result = Copy;
    Copy = nullptr;
    result->SetOnProgress(nullptr);  // its receiver must not call back into a job that is gone
    if (failed || JobTerminated()) {
      Free(result);
      if (failed && !JobTerminated()) Deliver(nullptr);
    } else {
      Deliver(result);
    }
  }
  ReleaseIntermediate();
}

void TDisplayCopyJob::MakeCopy() {
  if (Optimise && Intermediate->GetBitCountNum() == pgbc8Bits && Intermediate->GetWidth() == Copy->GetWidth() &&
      Intermediate->GetHeight() == Copy->GetHeight())
    RemapByTable();
  else
    Copy->CopyFrom(Intermediate);
}

void TDisplayCopyJob::RemapByTable() {
  // Every index an 8-bit pixel can hold, also those past the palette's end (they show the colour
  // the bitmap's colour table gives them).
  TRGB colors[256];
  Intermediate->ConversionColors(colors);
  uint8_t table[256];
  bool cache = Copy->GetColorCache();
  Copy->SetColorCache(false);
  for (int i = 0; i < 256; ++i) table[i] = uint8_t(Copy->ColorToIndex(colors[i]));
  Copy->SetColorCache(cache);
  int w = Copy->GetWidth(), h = Copy->GetHeight();
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = Intermediate->ScanLine(y);
    uint8_t* to = Copy->ScanLine(y);
    for (int x = 0; x < w; ++x) to[x] = table[from[x]];
    bool abort = false;
    Progress(Copy, y, h - 1, abort);
    if (abort) break;
  }
  Copy->Changed();
}

void TDisplayCopyJob::Progress(TObject*, int Step, int Max, bool& Abort) {
  int percent = Max != 0 ? int(int64_t(Step) * 100 / Max) : 100;
  uint32_t now = TickCount();
  if (percent != FLastPercent && now / 50 != FLastTick / 50) {
    FLastPercent = percent;
    FLastTick = now;
    ReportProgress(FStage, percent);
  }
  if (gProgressHook) gProgressHook(*this);
  Abort = JobTerminated();
}

}  // namespace imagelib
