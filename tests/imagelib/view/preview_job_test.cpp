// The file dialogs' preview job without a window or a thread (natively under the sanitizers): the
// size it reduces to, the format it converts to for each kind of screen, what it gives for files
// it cannot show, and how often it reports progress.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "classlib/testing.h"
#include "imagelib/view/PGPreviewJob.h"
#include "tests/test_support.h"

using namespace imagelib;

namespace {

class TRecordingPreview : public TPreviewJob {
 public:
  bool Cancel = false;
  std::vector<std::pair<int, int>> Reports;

 protected:
  bool JobTerminated() const override { return Cancel; }
  void ReportProgress(int Code, int Percent) override { Reports.emplace_back(Code, Percent); }
};

// A 24-bit picture of two colours (left and right half), or of many when Many.
TOwned<TPixelGraphic> Picture(int W, int H, bool Many) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      p->SetPixel(x, y, Many ? MakeRGB(x * 255 / W, y * 255 / H, 90) : (x < W / 2 ? 0x2040C0 : 0x30D020));
  return p;
}

struct ScopedTicks {
  explicit ScopedTicks(const DWORD& Now) {
    classlib::testing::SetTickSource([&Now] { return Now; });
  }
  ~ScopedTicks() { classlib::testing::SetTickSource(nullptr); }
};

}  // namespace

TEST(PreviewJob, ReducesToTheBoxKeepingTheAspectAndAtLeastOnePixel) {
  struct Case {
    int W, H, BoxW, BoxH, WantW, WantH;
  } cases[] = {
      {16, 10, 180, 160, 16, 10},    // fits: its own size
      {180, 160, 180, 160, 180, 160},
      {300, 120, 180, 160, 180, 72},  // wide: the width fills the box
      {100, 400, 180, 160, 40, 160},  // tall: the height fills it
      {1000, 1, 100, 100, 100, 1},    // 0.1 rows truncated would be none
      {1, 1000, 100, 100, 1, 100},
      {333, 100, 100, 100, 100, 30},  // 30.03 truncated
  };
  for (const Case& c : cases) {
    TSize size = PreviewSize(c.W, c.H, c.BoxW, c.BoxH);
    EXPECT_EQ(size.cx, c.WantW) << c.W << "x" << c.H;
    EXPECT_EQ(size.cy, c.WantH) << c.W << "x" << c.H;
  }
}

TEST(PreviewJob, ConvertsForTheScreenOnlyWherePaletteScreensNeedIt) {
  testsupport::TempDir dir;
  const std::string large = dir.File("large.bmp"), small = dir.File("small.bmp");
  Picture(300, 120, false)->SaveToFile(large);
  {
    TOwned<TPixelGraphic> eight(New<TPixelGraphic>());
    eight->NewImage(20, 10, 2);
    eight->SetPaletteIdent(pGray256);
    for (int x = 0; x < 20; ++x) eight->SetPixel(x, 3, x * 10);
    eight->SaveToFile(small);
  }
  struct Case {
    const char* Name;
    const std::string* File;
    int ScreenBits;
    TPalette8BitSys24BitGraphic For24;
    TPalette8BitSys8BitGraphic For8;
    int WantW, WantH, WantBits;
    TPaletteIdent WantPalette;  // pNone: not checked (an optimised palette)
  } cases[] = {
      {"24-bit screen, large 24-bit file: reduced", &large, 24, pOptimized252Sys16, pOptimized252Sys16, 100, 40, 24,
       pNone},
      {"24-bit screen, small 8-bit file: as it is", &small, 32, pOptimized252Sys16, pOptimized252Sys16, 20, 10, 8,
       pGray256},
      {"16-colour screen", &large, 4, pOptimized252Sys16, pOptimized252Sys16, 100, 40, 4, pSys16},
      {"16-colour screen, palette file", &small, 4, pOptimized252Sys16, pSource, 20, 10, 4, pSys16},
      {"8-bit screen, 24-bit file, fixed palette", &large, 8, pSpecial216, pOptimized252Sys16, 100, 40, 8,
       pSpecial216},
      {"8-bit screen, 24-bit file, optimised", &large, 8, pOptimized252Sys16, pSource, 100, 40, 8, pNone},
      {"8-bit screen, palette file, its own palette", &small, 8, pSpecial216, pSource, 20, 10, 8, pGray256},
      {"8-bit screen, palette file, fixed palette", &small, 8, pOptimized252Sys16, pSpecial252, 20, 10, 8,
       pSpecial252},
  };
  const int live = LivePixelGraphicCount();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TRecordingPreview job;
    job.FileName = *c.File;
    job.BoxWidth = job.BoxHeight = 100;
    job.ScreenBitCount = c.ScreenBits;
    job.Palette8BitSys24BitGraphic = c.For24;
    job.Palette8BitSys8BitGraphic = c.For8;
    TOwned<TPixelGraphic> preview(job.MakePreview());
    ASSERT_NE(preview.get(), nullptr);
    EXPECT_EQ(preview->GetWidth(), c.WantW);
    EXPECT_EQ(preview->GetHeight(), c.WantH);
    EXPECT_EQ(preview->GetBitCount(), c.WantBits);
    if (c.WantPalette != pNone) {
      EXPECT_EQ(preview->GetPaletteIdent(), c.WantPalette);
    }
    // The two colours of the large picture stay near what they were in any of these formats
    // but the 16 system colours.
    if (c.File == &large && c.WantPalette != pSys16) {
      auto similar = [](TRGB A, TRGB B) {
        return std::abs(RGBRed(A) - RGBRed(B)) <= 8 && std::abs(RGBGreen(A) - RGBGreen(B)) <= 8 &&
               std::abs(RGBBlue(A) - RGBBlue(B)) <= 8;
      };
      if (c.WantPalette != pSpecial216) {
        EXPECT_TRUE(similar(preview->GetPixelColor(0, 0), 0x2040C0));
        EXPECT_TRUE(similar(preview->GetPixelColor(c.WantW - 1, c.WantH - 1), 0x30D020));
      }
      EXPECT_NE(preview->GetPixel(0, 0), preview->GetPixel(c.WantW - 1, c.WantH - 1));
    }
    EXPECT_FALSE(preview->GetOnProgress()) << "no call back into the job once it is gone";
  }
  EXPECT_EQ(LivePixelGraphicCount(), live);
}

TEST(PreviewJob, GivesNothingForWhatItCannotShowAndFreesWhatItMade) {
  testsupport::TempDir dir;
  const std::string good = dir.File("good.bmp"), damaged = dir.File("damaged.bmp");
  Picture(300, 120, true)->SaveToFile(good);
  {
    std::ifstream in(good, std::ios::binary);
    std::string bytes(std::istreambuf_iterator<char>(in), {});
    std::ofstream(damaged, std::ios::binary) << bytes.substr(0, 70);  // the header and a few pixels
  }
  const int live = LivePixelGraphicCount();
  struct Case {
    const char* Name;
    std::string File;
    bool Cancel, Raises;
  } cases[] = {
      {"a file that is not there", dir.File("none.bmp"), false, false},
      {"a folder", dir.Path(), false, false},
      {"a damaged file", damaged, false, true},
      {"a cancelled job", good, true, false},
  };
  for (const Case& c : cases) {
    TRecordingPreview job;
    job.FileName = c.File;
    job.BoxWidth = job.BoxHeight = 50;
    job.Cancel = c.Cancel;
    if (c.Raises) {
      EXPECT_ANY_THROW(Free(job.MakePreview())) << c.Name;
    } else {
      EXPECT_EQ(job.MakePreview(), nullptr) << c.Name;
    }
    EXPECT_EQ(LivePixelGraphicCount(), live) << c.Name;
  }
}

TEST(PreviewJob, ReportsProgressOnceThePercentChangesInANewTickBucketOrSixteenth) {
  DWORD now = 0;
  ScopedTicks ticks(now);
  TRecordingPreview job;
  job.FileName = "absent.bmp";  // resets the job's counters at tick 0, makes nothing
  EXPECT_EQ(job.MakePreview(), nullptr);
  struct Step {
    DWORD Tick;
    int Step, Max;
    bool Reported;
  } steps[] = {
      {50, 1, 100, false},   // same 100 ms bucket, same sixteenth
      {120, 2, 100, true},   // a new bucket
      {150, 3, 100, false},
      {160, 16, 100, true},  // crosses a multiple of 16 within the bucket
      {170, 16, 100, false}, // the percent did not change
      {250, 16, 100, false},
      {260, 17, 100, true},
      {900, 5, 0, false},    // nothing to measure by
      {1000, 30000000, 60000000, true},  // 50 %, without overflow
  };
  size_t reports = 0;
  for (const Step& s : steps) {
    now = s.Tick;
    bool abort = true;
    job.Progress(nullptr, s.Step, s.Max, abort);
    EXPECT_FALSE(abort);
    reports += s.Reported;
    ASSERT_EQ(job.Reports.size(), reports) << "at tick " << s.Tick;
    if (s.Reported) {
      EXPECT_EQ(job.Reports.back(), std::make_pair(16, int(int64_t(s.Step) * 100 / s.Max)));
    }
  }
  job.Cancel = true;
  bool abort = false;
  job.Progress(nullptr, 1, 2, abort);
  EXPECT_TRUE(abort) << "a cancelled job tells its picture to stop";
}
