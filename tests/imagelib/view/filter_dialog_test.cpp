// The filter dialogs: their forms as built, their values and filters, the live preview read back
// from the window, OK and Cancel, and closing while a preview pass runs.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "classlib/application.h"
#include "classlib/graphics.h"
#include "classlib/numerics.h"
#include "classlib/testing.h"
#include "imagelib/view/PGFilterDialogs.h"
#include "tests/imagelib/view/view_support.h"

using namespace imagelib;
using namespace testsupport;

namespace {

// Runs the dialog with Body working its form once it is shown; Body's answer (mrNone to leave it
// to the buttons and keys it used) ends the loop.
bool RunDialog(const std::function<bool()>& Execute, const std::function<int(TFilterDialogForm&)>& Body) {
  classlib::testing::SetModalFormHook(
      [&](TForm& Form) {
        if (int result = Body(dynamic_cast<TFilterDialogForm&>(Form))) Form.SetModalResult(result);
      });
  bool ok = Execute();
  classlib::testing::SetModalFormHook(nullptr);
  return ok;
}

// A user's move of a track bar: the thumb moves, then the bar tells its parent.
void MoveTrack(TTrackBar* Track, int Position) {
  SendMessageA(Track->GetHandle(), TBM_SETPOS, TRUE, Position);
  SendMessageA(GetParent(Track->GetHandle()), WM_HSCROLL, TB_THUMBPOSITION, reinterpret_cast<LPARAM>(Track->GetHandle()));
}

TPixelGraphic* Uniform(int W, int H, TRGB Color) {
  auto* p = New<TPixelGraphic>();
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, Color);
  return p;
}

std::string WindowText(HWND Window) {
  char text[256] = {};
  GetWindowTextA(Window, text, sizeof text);
  return text;
}

class FilterDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    classlib::testing::SetPixelsPerInchOverride(100);  // the layout's own numbers, unscaled
    Owner = New<TComponent>(nullptr);
  }
  void TearDown() override {
    classlib::testing::SetModalFormHook(nullptr);
    Free(Owner);
    classlib::testing::SetPixelsPerInchOverride(0);
  }
  TComponent* Owner = nullptr;
};

struct SliderLook {
  int Min, Max, Position, Mark;
  const char* Value;
};

struct FormLook {
  const char* Name;
  std::function<TFilterDialog*(TComponent*)> Make;
  const char* Caption;
  int ClientWidth;
  int BevelTop;
  bool Preview;
  std::vector<SliderLook> Sliders;
  const char* CheckBox;  // caption, or null without one (shown checked)
  const char* Radios[2];  // captions, or null; the first is checked
};

template <class D>
std::function<TFilterDialog*(TComponent*)> Maker() {
  return [](TComponent* Owner) { return New<D>(Owner); };
}

}  // namespace

TEST_F(FilterDialogs, EachFormIsBuiltWithItsControlsRangesAndDefaults) {
  const FormLook looks[] = {
      {"rgb", Maker<TRGBFilterDialog>(), "RGB Filter", 10 + 14 + 240 + 32 + 10 + 140 + 10, 160, true,
       {{-100, 100, 0, 0, "±0%"}, {-100, 100, 0, 0, "±0%"}, {-100, 100, 0, 0, "±0%"}}, nullptr, {}},
      {"bcg", Maker<TBCGFilterDialog>(), "Brightness, Contrast, Gamma Filter", 10 + 55 + 240 + 32 + 10 + 140 + 10,
       160 + 17 + 10, true, {{-100, 100, 0, 0, "±0%"}, {-100, 100, 0, 0, "1.00"}, {-100, 100, 0, 0, "1.00"}},
       nullptr, {"RGB", "Y"}},
      {"grayscale", Maker<TGrayScaleFilterDialog>(), "Grayscale Filter", 40 + 40 + 140, 160 + 17 + 10, true, {},
       "RGB weighting", {}},
      {"sharpen", Maker<TSharpenFilterDialog>(), "Sharpen", 10 + 75 + 240 + 32 + 10, 60 + 32 + 17 + 10, false,
       {{40, 130, 75, 75, "0.75"}, {10, 100, 50, 50, "50%"}}, nullptr, {}},
      {"smooth", Maker<TSmoothFilterDialog>(), "Smooth", 10 + 75 + 240 + 32 + 10, 60 + 32 + 17 + 10, false,
       {{40, 130, 130, 130, "1.30"}, {10, 100, 100, 100, "100%"}}, nullptr, {}},
  };
  auto source = std::unique_ptr<TPixelGraphic, FreeDeleter>(Uniform(20, 10, MakeRGB(1, 2, 3)));
  for (const FormLook& look : looks) {
    SCOPED_TRACE(look.Name);
    TFilterDialog* dialog = look.Make(Owner);
    auto execute = [&] {
      if (auto* preview = dynamic_cast<TPreviewFilterDialog*>(dialog)) return preview->Execute(source.get());
      return dialog->Execute();
    };
    RunDialog(execute, [&](TFilterDialogForm& form) -> int {
      EXPECT_EQ(WindowText(form.GetHandle()), look.Caption);
      EXPECT_EQ(form.GetClientWidth(), look.ClientWidth);
      EXPECT_EQ(form.Bevel->GetTop(), look.BevelTop);
      EXPECT_EQ(form.OKButton->GetTop(), look.BevelTop + 12);
      EXPECT_EQ(form.GetClientHeight(), look.BevelTop + 12 + 24 + 10);
      EXPECT_EQ(WindowText(form.OKButton->GetHandle()), "OK");
      EXPECT_EQ(WindowText(form.CancelButton->GetHandle()), "Cancel");
      EXPECT_EQ(form.Preview != nullptr, look.Preview);
      if (form.Preview) {
        EXPECT_EQ(form.Preview->GetLeft(), look.ClientWidth - (look.Sliders.empty() ? 40 : 10) - 140);
      }
      for (size_t n = 0; n < 3; ++n) {
        SCOPED_TRACE(n + 1);
        TSliderControls row = form.SliderControls(int(n));
        EXPECT_EQ(row.TrackBar != nullptr, n < look.Sliders.size());
        if (!row.TrackBar || n >= look.Sliders.size()) continue;
        HWND track = row.TrackBar->GetHandle();
        const SliderLook& s = look.Sliders[n];
        EXPECT_EQ(SendMessageA(track, TBM_GETRANGEMIN, 0, 0), s.Min);
        EXPECT_EQ(SendMessageA(track, TBM_GETRANGEMAX, 0, 0), s.Max);
        EXPECT_EQ(SendMessageA(track, TBM_GETPOS, 0, 0), s.Position);
        EXPECT_EQ(SendMessageA(track, TBM_GETSELSTART, 0, 0), s.Mark);
        EXPECT_EQ(SendMessageA(track, TBM_GETSELEND, 0, 0), s.Mark);
        EXPECT_EQ(row.ValueLabel->GetCaption(), s.Value);
        const int top = 10 + 50 * int(n), left = row.TrackBar->GetLeft();
        EXPECT_EQ(row.TrackBar->GetTop(), top);
        // The caption and the value a little below the track's top, the three texts under it.
        EXPECT_EQ(row.CaptionLabel->GetTop(), top + 6);
        EXPECT_EQ(row.ValueLabel->GetTop(), top + 6);
        EXPECT_EQ(row.ValueLabel->GetLeft(), left + 240);
        for (TLabel* text : {row.MinLabel, row.MiddleLabel, row.MaxLabel}) EXPECT_EQ(text->GetTop(), top + 32);
        EXPECT_EQ(row.MinLabel->GetLeft(), left);
        EXPECT_EQ(row.MaxLabel->GetLeft() + row.MaxLabel->GetWidth(), left + 240) << "ends where the track ends";
      }
      EXPECT_EQ(form.CheckBox != nullptr, look.CheckBox != nullptr);
      if (form.CheckBox) {
        EXPECT_EQ(WindowText(form.CheckBox->GetHandle()), look.CheckBox);
        EXPECT_EQ(SendMessageA(form.CheckBox->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
      }
      EXPECT_EQ(form.RadioButton1 != nullptr, look.Radios[0] != nullptr);
      if (form.RadioButton1) {
        EXPECT_EQ(WindowText(form.RadioButton1->GetHandle()), look.Radios[0]);
        EXPECT_EQ(WindowText(form.RadioButton2->GetHandle()), look.Radios[1]);
        EXPECT_EQ(SendMessageA(form.RadioButton1->GetHandle(), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(SendMessageA(form.RadioButton2->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_EQ(form.OptionLabel->GetCaption(), "Apply on");
        EXPECT_EQ(form.RadioButton1->GetTop(), 160);
      }
      return mrCancel;
    });
  }
}

TEST_F(FilterDialogs, PropertiesAreLimitedAndReconfigureTheFilterOnlyWhereTheyShould) {
  auto* rgb = New<TRGBFilterDialog>(Owner);
  rgb->SetRed(150);
  rgb->SetGreen(-1);
  rgb->SetBlue(-100);
  EXPECT_EQ(rgb->GetRed(), 100);
  for (int i = 0; i < 256; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(rgb->GetFilter()->TableR[i], 255);
    EXPECT_EQ(rgb->GetFilter()->TableG[i], std::max(i - 2, 0)) << "-255 div 100 is -2";
    EXPECT_EQ(rgb->GetFilter()->TableB[i], 0);
  }
  rgb->SetRed(0);
  for (int i = 0; i < 256; ++i) EXPECT_EQ(rgb->GetFilter()->TableR[i], i);

  auto* bcg = New<TBCGFilterDialog>(Owner);
  const struct {
    long double Set, Read;
  } contrasts[] = {{1.0L, 1.0L}, {2.0L, 2.0L}, {10.0L, 5.0L}, {0.01L, 0.2L}};
  for (const auto& c : contrasts) {
    bcg->SetContrast(c.Set);
    EXPECT_NEAR(double(bcg->GetContrast()), double(c.Read), 1e-9) << double(c.Set);
  }
  bcg->SetGamma(2.0L);
  bcg->SetBrightness(-250);
  bcg->SetUseY(true);
  EXPECT_EQ(bcg->GetBrightness(), -100);
  EXPECT_TRUE(bcg->GetUseY());
  // Stored only: the filter is still as the constructor made it.
  EXPECT_EQ(bcg->GetFilter()->Brightness, 0);
  EXPECT_EQ(double(bcg->GetFilter()->Contrast), 1.0);
  EXPECT_FALSE(bcg->GetFilter()->UseY);
  // A cancelled dialog reconfigures the filter with the values it had before it opened.
  auto source = std::unique_ptr<TPixelGraphic, FreeDeleter>(Uniform(4, 4, 0));
  RunDialog([&] { return bcg->Execute(source.get()); }, [](TFilterDialogForm&) { return mrCancel; });
  EXPECT_EQ(bcg->GetFilter()->Brightness, -100);
  EXPECT_NEAR(double(bcg->GetFilter()->Contrast), 0.2, 1e-12);
  EXPECT_NEAR(double(bcg->GetFilter()->Gamma), expl(logl(5.0L) * 0.43L), 1e-12) << "position 43";
  EXPECT_TRUE(bcg->GetFilter()->UseY);

  auto* sharpen = New<TSharpenFilterDialog>(Owner);
  sharpen->SetDistributionShape(dsTent);
  sharpen->SetUseDistance(false);
  auto expected = std::unique_ptr<TConvFilter, FreeDeleter>(New<TConvFilter>());
  expected->MakeSharpenKernel(dsTent, false, 0.75L, 50);
  auto sameKernel = [&] {
    if (sharpen->GetFilter()->GetWidth() != expected->GetWidth()) return false;
    for (int y = 0; y < expected->GetHeight(); ++y)
      for (int x = 0; x < expected->GetWidth(); ++x)
        if (sharpen->GetFilter()->GetKernelValue(x, y) != expected->GetKernelValue(x, y)) return false;
    return true;
  };
  EXPECT_TRUE(sameKernel());
  sharpen->SetStdDeviation(0.1L);
  sharpen->SetPercent(0);
  EXPECT_NEAR(double(sharpen->GetStdDeviation()), 0.4, 1e-12);
  EXPECT_EQ(sharpen->GetPercent(), 10);
  EXPECT_TRUE(sameKernel()) << "stored only";
}

TEST_F(FilterDialogs, TheButtonsKeysAndCloseBoxKeepOrRestoreTheValues) {
  const struct {
    const char* Name;
    std::function<void(TFilterDialogForm&)> End;
    bool Ok;
  } ends[] = {
      {"OK button", [](TFilterDialogForm& f) { SendMessageA(f.OKButton->GetHandle(), BM_CLICK, 0, 0); }, true},
      {"Enter", [](TFilterDialogForm& f) { PostMessageA(f.TrackBar1->GetHandle(), WM_KEYDOWN, VK_RETURN, 0); }, true},
      {"Cancel button", [](TFilterDialogForm& f) { SendMessageA(f.CancelButton->GetHandle(), BM_CLICK, 0, 0); }, false},
      {"Esc", [](TFilterDialogForm& f) { PostMessageA(f.TrackBar1->GetHandle(), WM_KEYDOWN, VK_ESCAPE, 0); }, false},
      {"close box", [](TFilterDialogForm& f) { PostMessageA(f.GetHandle(), WM_CLOSE, 0, 0); }, false},
  };
  auto source = std::unique_ptr<TPixelGraphic, FreeDeleter>(Uniform(8, 8, MakeRGB(10, 20, 30)));
  for (const auto& end : ends) {
    SCOPED_TRACE(end.Name);
    auto* bcg = New<TBCGFilterDialog>(Owner);
    bool ok = RunDialog([&] { return bcg->Execute(source.get()); }, [&](TFilterDialogForm& f) -> int {
      MoveTrack(f.TrackBar1, 30);
      MoveTrack(f.TrackBar2, 100);
      EXPECT_EQ(f.ValueLabel1->GetCaption(), "+30%");
      EXPECT_EQ(f.ValueLabel2->GetCaption(), "5.00");
      SendMessageA(f.RadioButton2->GetHandle(), BM_CLICK, 0, 0);
      EXPECT_EQ(SendMessageA(f.RadioButton1->GetHandle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
      // Every change reaches the filter at once.
      EXPECT_EQ(bcg->GetFilter()->Brightness, 30);
      EXPECT_TRUE(bcg->GetFilter()->UseY);
      end.End(f);
      return mrNone;
    });
    EXPECT_EQ(ok, end.Ok);
    EXPECT_EQ(bcg->GetBrightness(), end.Ok ? 30 : 0);
    EXPECT_EQ(double(bcg->GetContrast()), end.Ok ? 5.0 : 1.0);
    EXPECT_EQ(bcg->GetUseY(), end.Ok);
    EXPECT_EQ(bcg->GetFilter()->Brightness, end.Ok ? 30 : 0);
    EXPECT_EQ(bcg->GetFilter()->UseY, end.Ok);
  }
}

TEST_F(FilterDialogs, ThePreviewShowsTheFilteredReducedPictureAfterEachChange) {
  const TRGB color = MakeRGB(100, 120, 140);
  auto source = std::unique_ptr<TPixelGraphic, FreeDeleter>(Uniform(300, 200, color));
  auto* rgb = New<TRGBFilterDialog>(Owner);
  RunDialog([&] { return rgb->Execute(source.get()); }, [&](TFilterDialogForm& f) -> int {
    // The reduced copy fits the preview's client area by the longer side.
    const int cw = f.Preview->GetClientWidth();
    EXPECT_TRUE(PumpUntil([&] { return f.SourceReady; }));
    EXPECT_EQ(f.PreviewSource->GetWidth(), cw);
    EXPECT_EQ(f.PreviewSource->GetHeight(), int(Round(200.0L * cw / 300)));
    const struct {
      int Red, Blue;
    } steps[] = {{100, 0}, {-40, 20}};
    for (const auto& step : steps) {
      SCOPED_TRACE(step.Red);
      MoveTrack(f.TrackBar1, step.Red);
      MoveTrack(f.TrackBar3, step.Blue);
      const TRGB want = MakeRGB(std::clamp(100 + step.Red * 255 / 100, 0, 255), 120,
                                std::clamp(140 + step.Blue * 255 / 100, 0, 255));
      HWND view = f.Preview->GetHandle();
      bool shown = PumpUntil([&] {
        TPixelGraphic* p = f.Preview->GetPixelGraphic();
        if (!p || p->GetPixel(0, 0) != want) return false;
        PaintNow(view);
        COLORREF c = PixelAt(view, cw / 2, f.Preview->GetClientHeight() / 2);
        return MakeRGB(GetRValue(c), GetGValue(c), GetBValue(c)) == want;
      });
      EXPECT_TRUE(shown);
      // The whole preview is the library's filter on the reduced copy.
      auto direct = std::unique_ptr<TPixelGraphic, FreeDeleter>(New<TPixelGraphic>());
      direct->ApplyFilter(rgb->GetFilter(), f.PreviewSource);
      TPixelGraphic* shownPicture = f.Preview->GetPixelGraphic();
      EXPECT_EQ(shownPicture->GetWidth(), direct->GetWidth());
      EXPECT_EQ(shownPicture->GetHeight(), direct->GetHeight());
      int differing = 0;
      for (int y = 0; y < direct->GetHeight(); ++y)
        for (int x = 0; x < direct->GetWidth(); ++x) differing += shownPicture->GetPixel(x, y) != direct->GetPixel(x, y);
      EXPECT_EQ(differing, 0);
    }
    return mrOk;
  });
}

namespace {
// An RGB dialog whose preview passes are counted and can be held at their start.
std::atomic<int> gPasses{0};
std::atomic<bool> gHold{false}, gHeld{false}, gPassFinished{false};

class THeldRGBFilter : public TRGBFilter {
 public:
  void BeginFilter(TPixelGraphic* ASource) override {
    gHeld = true;
    while (gHold) Sleep(1);
    TRGBFilter::BeginFilter(ASource);
  }
  void EndFilter() override {
    TRGBFilter::EndFilter();
    gPassFinished = true;
  }
};

class TCountingRGBDialog : public TRGBFilterDialog {
 public:
  using TRGBFilterDialog::TRGBFilterDialog;

 protected:
  TPGFilter* CreateFilter() override {
    ++gPasses;
    return New<THeldRGBFilter>();
  }
};
}  // namespace

TEST_F(FilterDialogs, AFastDragStartsOnePassAndClosingWaitsForTheRunningOne) {
  auto source = std::unique_ptr<TPixelGraphic, FreeDeleter>(Gradient(64, 48));
  auto* dialog = New<TCountingRGBDialog>(Owner);
  const int threadsBefore = classlib::testing::LiveThreadCount();
  bool finishedAtClose = false;
  RunDialog([&] { return dialog->Execute(source.get()); }, [&](TFilterDialogForm& f) -> int {
    EXPECT_TRUE(PumpUntil([&] { return f.Preview->GetPixelGraphic() != nullptr; }));
    const int before = gPasses;
    for (int p = -100; p <= 60; p += 8) MoveTrack(f.TrackBar1, p);  // no message runs in between
    TPixelGraphic* old = f.Preview->GetPixelGraphic();
    EXPECT_TRUE(PumpUntil([&] { return f.Preview->GetPixelGraphic() != old; }));
    EXPECT_EQ(gPasses - before, 1);
    EXPECT_EQ(RGBRed(f.Preview->GetPixelGraphic()->GetPixel(0, 0)),
              std::clamp(RGBRed(f.PreviewSource->GetPixel(0, 0)) + 60 * 255 / 100, 0, 255));
    // A pass held at its start while the form closes: the close waits for it.
    gHold = true;
    gHeld = false;
    gPassFinished = false;
    MoveTrack(f.TrackBar2, 50);
    EXPECT_TRUE(PumpUntil([] { return gHeld.load(); }));
    std::thread release([] {
      Sleep(100);
      gHold = false;
    });
    release.detach();
    SendMessageA(f.CancelButton->GetHandle(), BM_CLICK, 0, 0);
    return mrNone;
  });
  finishedAtClose = gPassFinished;
  EXPECT_TRUE(finishedAtClose);
  EXPECT_EQ(classlib::testing::LiveThreadCount(), threadsBefore);
}

TEST_F(FilterDialogs, ClosingWhileThePictureIsStillBeingReducedStopsTheReduction) {
  auto source = std::unique_ptr<TPixelGraphic, FreeDeleter>(Gradient(2400, 1800));
  auto* gray = New<TGrayScaleFilterDialog>(Owner);
  const int threadsBefore = classlib::testing::LiveThreadCount();
  EXPECT_FALSE(RunDialog([&] { return gray->Execute(source.get()); }, [](TFilterDialogForm&) { return mrCancel; }));
  EXPECT_EQ(classlib::testing::LiveThreadCount(), threadsBefore);
  EXPECT_TRUE(gray->GetRGBWeighting());
}
