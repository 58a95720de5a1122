// The picture view's display-ready copy in a real window: copies resampled on the paint thread,
// copies for palette screens (the screen's bit count overridden), the job run inside the paint,
// the empty frame and the clocks meanwhile, and who frees what when the picture is replaced or the
// view destroyed while a job runs, or when a job fails: counted in live pictures and threads.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "classlib/graphics.h"
#include "classlib/testing.h"
#include "tests/form_suite.h"
#include "tests/imagelib/view/view_support.h"

using namespace imagelib;
using namespace testsupport;

namespace {

struct ScopedBitCount {
  explicit ScopedBitCount(int Bits) { classlib::testing::SetScreenBitCountOverride(Bits); }
  ~ScopedBitCount() { classlib::testing::SetScreenBitCountOverride(0); }
};

// Holds every job at its progress reports until released or cancelled.
class JobGate {
 public:
  JobGate() {
    SetDisplayCopyProgressHook([this](TDisplayCopyJob& Job) {
      Entered = true;
      while (!Released && !Job.IsCancelled()) Sleep(1);
    });
  }
  ~JobGate() { SetDisplayCopyProgressHook(nullptr); }
  std::atomic<bool> Entered{false}, Released{false};
};

class PaintThread : public FormSuite {
 protected:
  void SetUp() override {
    Live = LivePixelGraphicCount();
    Threads = classlib::testing::LiveThreadCount();
    Image = New<TTestView>(Form);
    Image->SetBorderStyle(bsNone);
    Image->SetBounds(10, 10, 200, 150);
    Image->SetParent(Form);
    Window = Image->GetHandle();
  }
  void TearDown() override {
    if (Image) FreeAndNil(Image);
    EXPECT_EQ(LivePixelGraphicCount(), Live) << "every picture freed, once";
    EXPECT_EQ(classlib::testing::LiveThreadCount(), Threads);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_PGPAINTPIXELGRAPHIC, WM_PGPROGRESS, PM_REMOVE))
        << "a message left for a window that is gone";
    FormSuite::TearDown();
  }
  bool CopyArrives() {
    return PumpUntil([&] { return Image->GetPaintPixelGraphic() != nullptr; });
  }
  // The picture area's pixels as they are painted now.
  std::vector<TRGB> Painted() {
    PaintNow(Window);
    return Grab(Window, 200, 150);
  }
  TTestView* Image = nullptr;
  HWND Window = nullptr;
  int Live = 0, Threads = 0;
};

}  // namespace

TEST_F(PaintThread, StretchedCopiesAreResampledOnTheThreadAndPaintedAsMade) {
  for (int bits : {0, 16}) {  // the screen as it is (32 bits), and a high-colour one
    for (TStretchMode mode : {smMedium, smPrecise}) {
      ScopedBitCount screen(bits);
      JobGate gate;
      Image->SetStretch(sAlways);
      Image->SetStretchMode(mode);
      Image->SetPixelGraphic(Gradient(120, 80));
      // Until the copy arrives, the picture area shows the empty frame with its clocks.
      std::vector<TRGB> waiting = Painted();
      ASSERT_TRUE(WaitUntil([&] { return bool(gate.Entered); }));
      EXPECT_EQ(Image->GetPaintPixelGraphic(), nullptr);
      EXPECT_EQ(waiting[0], SysColor(COLOR_BTNSHADOW)) << "the frame";
      EXPECT_EQ(waiting[75 * 200 + 100], SysColor(COLOR_BTNSHADOW)) << "the hands in the middle";
      EXPECT_EQ(waiting[40 * 200 + 40], SysColor(COLOR_BTNFACE));
      gate.Released = true;
      ASSERT_TRUE(CopyArrives());
      TPixelGraphic* copy = Image->GetPaintPixelGraphic();
      ASSERT_EQ(copy->GetWidth(), 200);
      ASSERT_EQ(copy->GetHeight(), 150);
      EXPECT_EQ(copy->GetBitCount(), 24);
      TOwned<TPixelGraphic> expected(New<TPixelGraphic>());
      expected->NewImage(200, 150, 3);
      expected->SetStretchMode(mode);
      expected->CopyFrom(Image->GetPixelGraphic());
      std::vector<TRGB> shown = Painted();
      for (int y = 0; y < 150; ++y)
        for (int x = 0; x < 200; ++x) {
          ASSERT_EQ(copy->GetPixel(x, y), expected->GetPixel(x, y)) << "mode " << int(mode) << " at " << x << "," << y;
          ASSERT_EQ(shown[size_t(y) * 200 + x], expected->GetPixel(x, y)) << x << "," << y;
        }
      // Another size makes another copy.
      Image->SetBounds(10, 10, 160, 150);
      PaintNow(Window);
      ASSERT_TRUE(CopyArrives());
      EXPECT_EQ(Image->GetPaintPixelGraphic()->GetWidth(), 160);
      Image->SetBounds(10, 10, 200, 150);
    }
  }
}

TEST_F(PaintThread, PaletteScreensGetCopiesOfTheirBitCount) {
  Image->SetPixelGraphic(Gradient(200, 150));
  {
    ScopedBitCount screen(8);
    Image->Invalidate();
    ASSERT_TRUE(CopyArrives());
    TPixelGraphic* copy = Image->GetPaintPixelGraphic();
    EXPECT_EQ(copy->GetBitCount(), 8);
    EXPECT_LE(copy->GetPaletteCount(), 252);
    EXPECT_GT(copy->GetPaletteCount(), 200) << "an optimised palette";
    EXPECT_EQ(Image->GetPalette(), copy->GetPalette());
    std::vector<TRGB> shown = Painted();
    for (int y = 0; y < 150; y += 7)
      for (int x = 0; x < 200; x += 3) ASSERT_EQ(shown[size_t(y) * 200 + x], copy->GetPixelColor(x, y)) << x << "," << y;
  }
  {
    ScopedBitCount screen(4);
    Image->SetDitherErrorLimitAuto(false);
    Image->SetDitherErrorLimit(90);
    Image->PixelGraphicChanged();  // as after a display change
    Image->Invalidate();
    ASSERT_TRUE(PumpUntil([&] { return Image->GetPaintPixelGraphic() && Image->GetPaintPixelGraphic()->GetBitCount() == 4; }));
    TPixelGraphic* copy = Image->GetPaintPixelGraphic();
    EXPECT_EQ(copy->GetPaletteIdent(), pSys16);
    EXPECT_EQ(copy->GetDitherOptions(), (TDitherOptions{true, 90, false, true})) << "the view's, whole";
    EXPECT_EQ(Image->GetPalette(), nullptr) << "the system colours need no palette";
    std::vector<TRGB> shown = Painted();
    for (int y = 0; y < 150; y += 5)
      for (int x = 0; x < 200; x += 5) ASSERT_EQ(shown[size_t(y) * 200 + x], copy->GetPixelColor(x, y)) << x << "," << y;
    // A picture of the system colours is shown as it is.
    TPixelGraphic* sys16 = New<TPixelGraphic>();
    sys16->NewImage(20, 20, 1);
    sys16->SetPaletteIdent(pSys16);
    Image->SetPixelGraphic(sys16);
    EXPECT_FALSE(Image->UpdatePaintPixelGraphic());
  }
  // On an 8-bit screen a palette picture keeps its own palette when asked, or when it already
  // has the one asked for.
  ScopedBitCount screen(8);
  TPixelGraphic* gray = New<TPixelGraphic>();
  gray->NewImage(50, 40, 2);
  gray->SetPaletteIdent(pGray256);
  Image->SetPixelGraphic(gray);
  Image->SetPalette8BitSys8BitGraphic(pGray256);
  EXPECT_FALSE(Image->UpdatePaintPixelGraphic());
  Image->SetPalette8BitSys8BitGraphic(pSource);
  EXPECT_FALSE(Image->UpdatePaintPixelGraphic());
  // Stretched, its copy takes its palette.
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smPrecise);
  Image->Invalidate();
  ASSERT_TRUE(CopyArrives());
  EXPECT_EQ(Image->GetPaintPixelGraphic()->GetPaletteCount(), 256);
  EXPECT_EQ(Image->GetPaintPixelGraphic()->GetPaletteEntry(77), gray->GetPaletteEntry(77));
  // A true-colour picture on a 16-bit screen needs no copy.
  ScopedBitCount high(16);
  Image->SetStretchMode(smFast);
  Image->SetPixelGraphic(Gradient(30, 30));
  EXPECT_FALSE(Image->UpdatePaintPixelGraphic());
  EXPECT_EQ(Image->GetPaintPixelGraphic(), nullptr);
}

TEST_F(PaintThread, WithoutAThreadTheCopyIsInstalledBeforeThePaintDraws) {
  Image->SetUseThread(false);
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smPrecise);
  Image->SetPixelGraphic(Gradient(60, 50));  // the palette walk of the arrangement made it
  ASSERT_NE(Image->GetPaintPixelGraphic(), nullptr);
  TPixelGraphic* copy = Image->GetPaintPixelGraphic();
  std::vector<TRGB> shown = Painted();  // no message taken in between
  EXPECT_EQ(shown[75 * 200 + 100], copy->GetPixel(100, 75));
  EXPECT_EQ(shown[149 * 200 + 199], copy->GetPixel(199, 149));
}

TEST_F(PaintThread, ReduceOnLoadReplacesThePictureByItsFirstCopy) {
  ScopedBitCount screen(8);
  Image->SetUseThread(false);
  Image->SetReduceOnLoad(true);
  Image->SetPixelGraphic(Gradient(90, 70));
  PaintNow(Window);
  TPixelGraphic* picture = Image->GetPixelGraphic();
  EXPECT_EQ(picture->GetBitCount(), 8);
  EXPECT_EQ(Image->GetPaintPixelGraphic(), nullptr);
  TCreatePaintPGThread* job = Image->GetPaintThread();
  PaintNow(Window);
  EXPECT_FALSE(Image->UpdatePaintPixelGraphic()) << "shown as it is now";
  EXPECT_EQ(Image->GetPaintThread(), job) << "no further job";
  EXPECT_EQ(Image->GetPixelGraphic(), picture);
}

TEST_F(PaintThread, KeepOldShowsTheOldCopyUntilTheNewOneArrives) {
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smPrecise);
  Image->SetKeepOldPaintPixelGraphic(true);
  Image->SetPixelGraphic(TwoHalves(100, 100));
  Image->Invalidate();
  ASSERT_TRUE(CopyArrives());
  JobGate gate;
  Image->SetBounds(10, 10, 180, 150);
  std::vector<TRGB> shown = Painted();
  ASSERT_TRUE(WaitUntil([&] { return bool(gate.Entered); }));
  EXPECT_EQ(Image->GetPaintPixelGraphic()->GetWidth(), 200) << "the old copy";
  EXPECT_EQ(shown[20 * 200 + 20], kLeft) << "stretched into the new rectangle, no empty frame";
  EXPECT_EQ(shown[20 * 200 + 170], kRight);
  gate.Released = true;
  ASSERT_TRUE(PumpUntil([&] { return Image->GetPaintPixelGraphic()->GetWidth() == 180; }));
}

TEST_F(PaintThread, AReplacedPictureTakesItsJobAndItsWaitingResultWithIt) {
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smPrecise);
  {
    // Replaced while the job runs.
    JobGate gate;
    Image->SetPixelGraphic(TwoHalves(100, 80));
    PaintNow(Window);
    ASSERT_TRUE(WaitUntil([&] { return bool(gate.Entered); }));
    TPixelGraphic* next = TwoHalves(60, 90);
    Image->SetPixelGraphic(next);  // stops it; the arrangement may start the next job at once
    gate.Released = true;
    ASSERT_TRUE(CopyArrives());
    EXPECT_EQ(Image->GetPixelGraphic(), next);
    EXPECT_EQ(LivePixelGraphicCount(), Live + 2) << "the new picture and its copy";
  }
  // Replaced while its result waits in the queue.
  Image->SetPixelGraphic(TwoHalves(100, 80));
  PaintNow(Window);
  MSG msg;
  ASSERT_TRUE(WaitUntil([&] { return PeekMessageA(&msg, Window, WM_PGPAINTPIXELGRAPHIC, WM_PGPAINTPIXELGRAPHIC, PM_NOREMOVE) != 0; }));
  Image->SetPixelGraphic(nullptr);
  EXPECT_FALSE(PeekMessageA(&msg, Window, WM_PGPAINTPIXELGRAPHIC, WM_PGPAINTPIXELGRAPHIC, PM_NOREMOVE));
  EXPECT_EQ(LivePixelGraphicCount(), Live) << "the waiting copy was freed";
}

TEST_F(PaintThread, AViewDestroyedWhileAJobRunsLeavesNothingBehind) {
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smMedium);
  {
    JobGate gate;
    Image->SetPixelGraphic(Gradient(300, 200));
    PaintNow(Window);
    ASSERT_TRUE(WaitUntil([&] { return bool(gate.Entered); }));
    FreeAndNil(Image);  // TearDown counts pictures, threads and messages left
  }
  EXPECT_EQ(LivePixelGraphicCount(), Live);
  // And with its result waiting.
  Image = New<TTestView>(Form);
  Image->SetParent(Form);
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smMedium);
  Window = Image->GetHandle();
  Image->SetPixelGraphic(Gradient(30, 20));
  PaintNow(Window);
  MSG msg;
  ASSERT_TRUE(WaitUntil([&] { return PeekMessageA(&msg, Window, WM_PGPAINTPIXELGRAPHIC, WM_PGPAINTPIXELGRAPHIC, PM_NOREMOVE) != 0; }));
}

TEST_F(PaintThread, AJobThatFailsLeavesThePictureShownAsItIs) {
  Image->SetStretch(sAlways);
  Image->SetStretchMode(smPrecise);
  {
    SetDisplayCopyProgressHook([](TDisplayCopyJob&) { throw std::runtime_error("no memory"); });
    Image->SetPixelGraphic(TwoHalves(100, 100));
    PaintNow(Window);
    ASSERT_TRUE(PumpUntil([&] { return Image->GetPaintThread()->GetFinished() && !Image->UpdatePaintPixelGraphic(); }));
    SetDisplayCopyProgressHook(nullptr);
  }
  EXPECT_EQ(Image->GetPaintPixelGraphic(), nullptr);
  std::vector<TRGB> shown = Painted();
  EXPECT_EQ(shown[75 * 200 + 20], kLeft) << "the picture, stretched by the device";
  EXPECT_EQ(shown[75 * 200 + 180], kRight);
  EXPECT_EQ(LivePixelGraphicCount(), Live + 1);
  // Once outdated, the copy is tried again.
  Image->SetStretchMode(smMedium);
  Image->Invalidate();
  EXPECT_TRUE(CopyArrives());
}

TEST_F(PaintThread, ProgressReportsTurnTheClocks) {
  Image->SetStretch(sAlways);
  Image->SetProgressClockLineColor(clRed);
  Image->SetProgressClockBkColor(clBlue);
  Image->SetPixelGraphic(TwoHalves(50, 50));  // a picture box of 200 x 150: five clocks
  PaintNow(Window);
  SendMessageA(Window, WM_PGPROGRESS, 2, 50);
  EXPECT_EQ(Image->GetProgressStage(), 2);
  EXPECT_EQ(Image->GetProgressPercent(), 50);
  // The middle clock's corner is at (93, 68), its centre at (100, 75); the minute hand points
  // down, the hour hand (1.5 hours) to the right and up.
  std::vector<TRGB> clocks = Grab(Window, 200, 150);
  auto at = [&](int X, int Y) { return clocks[size_t(Y) * 200 + X]; };
  EXPECT_EQ(at(100, 75 + 6), TRGB(0x0000FF));
  EXPECT_EQ(at(100, 75 - 5), TRGB(0xFF0000)) << "the face";
  EXPECT_EQ(at(12, 12), TRGB(0x0000FF)) << "the top-left clock's centre";
  EXPECT_EQ(at(199 - 12, 149 - 12), TRGB(0x0000FF)) << "the bottom-right one";
  Image->SetProgressClockVisible(false);
  PaintNow(Window);
  SendMessageA(Window, WM_PGPROGRESS, 3, 10);
  EXPECT_EQ(Grab(Window, 200, 150)[75 * 200 + 100], kRight) << "no clocks";
}
