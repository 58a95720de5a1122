// The display-ready copy without a window or a thread: when a screen needs one, the format it
// gets, and the job that makes it: what it delivers, what it frees when it is cancelled or fails
// (natively under the sanitizers), and how often it reports progress.
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

#include "classlib/testing.h"
#include "imagelib/PGPalettes.h"
#include "imagelib/PGQuantize.h"
#include "imagelib/view/PGDisplayCopy.h"

using namespace imagelib;

namespace {

// A job that records what it delivers and reports, and is cancelled on request.
class TRecordingJob : public TDisplayCopyJob {
 public:
  ~TRecordingJob() override {
    for (TPixelGraphic* p : Delivered) Free(p);
  }
  bool Cancel = false;
  std::vector<TPixelGraphic*> Delivered;  // null for a failure
  std::vector<std::pair<int, int>> Reports;

 protected:
  bool JobTerminated() const override { return Cancel; }
  void Deliver(TPixelGraphic* Result) override { Delivered.push_back(Result); }
  void ReportProgress(int Stage, int Percent) override { Reports.emplace_back(Stage, Percent); }
};

// A true-colour picture with smooth gradients (many colours).
TOwned<TPixelGraphic> Gradient(int W, int H) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, MakeRGB(x * 255 / W, y * 255 / H, (x + y) * 127 / (W + H)));
  return p;
}

// The job set up as the view sets it up for an 8-bit screen with an optimised palette.
void SetUpOptimised(TRecordingJob& Job, TPixelGraphic* Source, int W, int H) {
  Job.Source = Source;
  Job.Intermediate = Source;
  Job.Optimise = true;
  Job.Copy = New<TPixelGraphic>();
  MakeDisplayCopyImage(Job.Copy, TDisplayCopyFormat{2, pOptimized252Sys16}, W, H, Source);
}

struct ScopedHook {
  explicit ScopedHook(std::function<void(TDisplayCopyJob&)> Hook) { SetDisplayCopyProgressHook(std::move(Hook)); }
  ~ScopedHook() { SetDisplayCopyProgressHook(nullptr); }
};

}  // namespace

TEST(DisplayCopy, IsWantedWhereTheScreenCannotShowThePictureAsItIs) {
  struct Row {
    int D, B;
    TPaletteIdent Ident;
    bool Stretch;
    TPaletteIdent P8;
    bool Reduce, Outdated, Wanted;
  } rows[] = {
      {32, 24, pTrueColor, false, pOptimized252Sys16, false, false, false},  // true colour as it is
      {32, 24, pTrueColor, true, pOptimized252Sys16, false, false, true},    // resampled
      {16, 24, pTrueColor, false, pOptimized252Sys16, false, false, false},
      {8, 24, pTrueColor, false, pOptimized252Sys16, false, false, true},    // more bits than the screen
      {8, 8, pGray256, false, pGray256, false, false, false},                // already the screen's palette
      {8, 8, pGray256, false, pOptimized252Sys16, false, false, true},
      {8, 8, pGray256, false, pSource, false, false, false},                 // its own palette is shown
      {8, 8, pGray256, true, pSource, false, false, true},
      {8, 8, pGray256, false, pOptimized252Sys16, true, false, false},       // already reduced on load
      {8, 8, pGray256, false, pOptimized252Sys16, true, true, true},
      {4, 4, pGray16, false, pOptimized252Sys16, false, false, true},        // 16 colours: only pSys16
      {4, 4, pSys16, false, pOptimized252Sys16, false, false, false},
      {4, 1, pBlackWhite, false, pSource, false, false, true},
      {4, 24, pTrueColor, false, pOptimized252Sys16, false, false, true},
  };
  for (const Row& r : rows) {
    TDisplayCopyQuery q{r.D, r.B, r.Ident, r.Stretch, r.P8, r.Reduce, r.Outdated};
    EXPECT_EQ(DisplayCopyWanted(q), r.Wanted) << "D " << r.D << " B " << r.B << " ident " << int(r.Ident)
                                              << " P8 " << int(r.P8) << " reduce " << r.Reduce;
  }
}

TEST(DisplayCopy, TakesTheFormatOfTheScreen) {
  EXPECT_EQ(DisplayCopyFormat(4, 24, pOptimized252Sys16, pOptimized252Sys16), (TDisplayCopyFormat{1, pSys16}));
  EXPECT_EQ(DisplayCopyFormat(1, 8, pOptimized252Sys16, pSource), (TDisplayCopyFormat{1, pSys16}));
  EXPECT_EQ(DisplayCopyFormat(16, 8, pSpecial216, pSource), (TDisplayCopyFormat{3, pTrueColor}));
  EXPECT_EQ(DisplayCopyFormat(8, 24, pSpecial216, pSource), (TDisplayCopyFormat{2, pSpecial216}));
  EXPECT_EQ(DisplayCopyFormat(8, 24, pOptimized252Sys16, pSource), (TDisplayCopyFormat{2, pOptimized252Sys16}));
  EXPECT_EQ(DisplayCopyFormat(8, 4, pSpecial216, pSource), (TDisplayCopyFormat{2, pSource}));
  EXPECT_EQ(DisplayCopyFormat(8, 1, pSpecial216, pGray236), (TDisplayCopyFormat{2, pGray236}));

  TOwned<TPixelGraphic> source(New<TPixelGraphic>());
  source->NewImage(4, 4, 1);
  source->SetPaletteIdent(pGray16);
  TOwned<TPixelGraphic> copy(New<TPixelGraphic>());
  MakeDisplayCopyImage(copy.get(), TDisplayCopyFormat{2, pSource}, 30, 20, source.get());
  EXPECT_EQ(copy->GetWidth(), 30);
  EXPECT_EQ(copy->GetBitCount(), 8);
  ASSERT_EQ(copy->GetPaletteCount(), 16);
  EXPECT_EQ(copy->GetPaletteEntry(15), source->GetPaletteEntry(15));
  // Sizes that cannot be made give 1 x 1 of the same bit count.
  for (auto [w, h] : {std::pair{0, 20}, std::pair{200000, 200000}}) {
    MakeDisplayCopyImage(copy.get(), TDisplayCopyFormat{1, pSys16}, w, h, nullptr);
    EXPECT_EQ(copy->GetWidth() * copy->GetHeight() * copy->GetBitCount(), 4) << w << " x " << h;
    EXPECT_EQ(copy->GetPaletteIdent(), pSys16);
  }
}

TEST(DisplayCopy, TheJobMakesWhatTheLibrarysConversionMakes) {
  TOwned<TPixelGraphic> source = Gradient(61, 37);
  // An optimised palette and a dithered copy.
  TRecordingJob job;
  SetUpOptimised(job, source.get(), 61, 37);
  job.CreatePaintPixelGraphic();
  ASSERT_EQ(job.Delivered.size(), 1u);
  TPixelGraphic* copy = job.Delivered[0];
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(job.Copy, nullptr) << "handed over";
  EXPECT_EQ(job.GetStage(), 3);
  TOwned<TPixelGraphic> expected(New<TPixelGraphic>());
  expected->NewImage(61, 37, 2);
  CreateOptimizedPalette(expected.get(), source.get(), 252, true);
  expected->CopyFrom(source.get());
  ASSERT_EQ(copy->GetPaletteCount(), expected->GetPaletteCount());
  EXPECT_LE(copy->GetPaletteCount(), 252);
  EXPECT_EQ(copy->GetPaletteEntry(copy->GetPaletteCount() - 1), PGSys16Palette[15]);
  for (int y = 0; y < 37; ++y)
    for (int x = 0; x < 61; ++x) ASSERT_EQ(copy->GetPixelColor(x, y), expected->GetPixelColor(x, y)) << x << "," << y;

  // Resampled into a 24-bit intermediate first.
  TRecordingJob stretched;
  stretched.Source = source.get();
  stretched.Intermediate = New<TPixelGraphic>();
  stretched.Intermediate->NewImage(90, 20, 3);
  stretched.Intermediate->SetStretchMode(smPrecise);
  stretched.PreStretch = true;
  stretched.Copy = New<TPixelGraphic>();
  MakeDisplayCopyImage(stretched.Copy, TDisplayCopyFormat{1, pSys16}, 90, 20, nullptr);
  stretched.CreatePaintPixelGraphic();
  ASSERT_EQ(stretched.Delivered.size(), 1u);
  EXPECT_EQ(stretched.Intermediate, nullptr) << "freed at the end";
  TOwned<TPixelGraphic> resampled(New<TPixelGraphic>());
  resampled->NewImage(90, 20, 3);
  resampled->SetStretchMode(smPrecise);
  resampled->CopyFrom(source.get());
  TOwned<TPixelGraphic> sys16(New<TPixelGraphic>());
  sys16->NewImage(90, 20, 1);
  sys16->SetPaletteIdent(pSys16);
  sys16->CopyFrom(resampled.get());
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 90; ++x) ASSERT_EQ(stretched.Delivered[0]->GetPixel(x, y), sys16->GetPixel(x, y));
}

TEST(DisplayCopy, ARemapKeepsTheColoursOfAPalettePictureAndOfIndicesPastItsPalette) {
  TOwned<TPixelGraphic> source(New<TPixelGraphic>());
  source->NewImage(16, 9, 2);
  source->SetPaletteCount(10);
  for (int i = 0; i < 10; ++i) source->SetPaletteEntry(i, MakeRGB(20 * i + 7, 255 - 23 * i, 90 + i));
  for (int y = 0; y < 9; ++y)
    for (int x = 0; x < 16; ++x) source->SetPixel(x, y, x == 15 ? 200 : (x + y) % 10);  // 200: past the palette
  TRecordingJob job;
  SetUpOptimised(job, source.get(), 16, 9);
  job.CreatePaintPixelGraphic();
  ASSERT_EQ(job.Delivered.size(), 1u);
  TPixelGraphic* copy = job.Delivered[0];
  for (int y = 0; y < 9; ++y) {
    for (int x = 0; x < 15; ++x) ASSERT_EQ(copy->GetPixelColor(x, y), source->GetPixelColor(x, y)) << x << "," << y;
    EXPECT_EQ(copy->GetPixelColor(15, y), 0) << "the black of the colour table's empty slot";
  }
}

TEST(DisplayCopy, ACancelledOrFailedJobFreesWhatItHolds) {
  const int live = LivePixelGraphicCount();
  TOwned<TPixelGraphic> source = Gradient(40, 300);
  {
    TRecordingJob cancelled;  // before it starts
    cancelled.Cancel = true;
    SetUpOptimised(cancelled, source.get(), 40, 300);
    cancelled.CreatePaintPixelGraphic();
    EXPECT_TRUE(cancelled.Delivered.empty());
    EXPECT_EQ(cancelled.Copy, nullptr);
  }
  {
    TRecordingJob midway;  // at its first progress report, with an intermediate of its own
    int reports = 0;
    ScopedHook hook([&](TDisplayCopyJob&) {
      if (++reports == 3) midway.Cancel = true;
    });
    midway.Source = source.get();
    midway.Intermediate = New<TPixelGraphic>();
    midway.Intermediate->NewImage(50, 310, 3);
    midway.PreStretch = true;
    midway.Copy = New<TPixelGraphic>();
    MakeDisplayCopyImage(midway.Copy, TDisplayCopyFormat{3, pTrueColor}, 50, 310, nullptr);
    midway.CreatePaintPixelGraphic();
    EXPECT_TRUE(midway.Delivered.empty());
    EXPECT_LT(reports, 20) << "the resampling stopped at the next row";
  }
  {
    TRecordingJob failing;  // an exception inside a picture operation
    ScopedHook hook([](TDisplayCopyJob&) { throw std::runtime_error("out of memory"); });
    SetUpOptimised(failing, source.get(), 40, 300);
    failing.CreatePaintPixelGraphic();
    ASSERT_EQ(failing.Delivered.size(), 1u);
    EXPECT_EQ(failing.Delivered[0], nullptr) << "a failure is told, without a picture";
  }
  {
    TRecordingJob neverRun;  // set up, then given up before it ran
    SetUpOptimised(neverRun, source.get(), 40, 300);
    neverRun.Intermediate = New<TPixelGraphic>();
  }
  EXPECT_EQ(LivePixelGraphicCount(), live + 1) << "only the source is left";
}

TEST(DisplayCopy, ReportsProgressOncePerPercentAndTickBucket) {
  DWORD now = 1000;
  classlib::testing::SetTickSource([&] { return now; });
  TRecordingJob job;
  job.CreatePaintPixelGraphic();  // without pictures it only resets the counters (stage 1, tick 1000)
  bool abort = true;
  job.Progress(nullptr, 5, 10, abort);  // the same 50 ms bucket as the start
  EXPECT_FALSE(abort);
  now = 1050;
  job.Progress(nullptr, 5, 10, abort);
  job.Progress(nullptr, 6, 10, abort);  // same bucket again
  now = 1120;
  job.Progress(nullptr, 6, 10, abort);
  job.Progress(nullptr, 6, 10, abort);
  now = 1200;
  job.Progress(nullptr, 6, 10, abort);  // same percent
  job.Progress(nullptr, 3, 0, abort);   // Max 0 counts as done
  classlib::testing::SetTickSource(nullptr);
  std::vector<std::pair<int, int>> expected{{1, 50}, {1, 60}, {1, 100}};
  EXPECT_EQ(job.Reports, expected);
  job.Cancel = true;
  job.Progress(nullptr, 1, 2, abort);
  EXPECT_TRUE(abort) << "a cancelled job stops the picture operation";
}
