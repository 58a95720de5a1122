// The picture view under Wine: loading and saving by file name, the scroll bars that follow the
// picture at once, centring, zoom and auto size in a real window, the pixels it paints, the
// relays of its TPicBox, and the hooks on the picture it owns.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/screen.h"
#include "imagelib/view/PGImage.h"
#include "tests/form_suite.h"
#include "tests/test_support.h"
#include "tests/imagelib/view/view_support.h"
#include "tests/window_support.h"

using namespace imagelib;

namespace {

using testsupport::kLeft;
using testsupport::kRight;
using testsupport::TwoHalves;

std::string SaveTwoHalves(const testsupport::TempDir& Dir, const std::string& Name, int W, int H) {
  TOwned<TPixelGraphic> p(TwoHalves(W, H));
  std::string path = Dir.File(Name);
  p->SaveToFile(path);
  return path;
}

using testsupport::PaintNow;
using testsupport::PixelAt;

class View : public testsupport::FormSuite {
 protected:
  void SetUp() override {
    Image = New<TPGImage>(Form);
    Image->SetBounds(10, 10, 204, 154);  // 200 x 150 inside the sunken border
    Image->SetParent(Form);
    VB = GetSystemMetrics(SM_CXVSCROLL);
    HB = GetSystemMetrics(SM_CYHSCROLL);
  }
  TRect PicBox() { return Image->GetPicBox()->GetBoundsRect(); }
  TControlScrollBar* Horz() { return Image->GetHorzScrollBar(); }
  TControlScrollBar* Vert() { return Image->GetVertScrollBar(); }
  SCROLLINFO Info(int Bar) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(Image->GetHandle(), Bar, &info);
    return info;
  }
  TPGImage* Image = nullptr;
  int VB = 0, HB = 0;
  testsupport::TempDir Dir;
};

}  // namespace

TEST_F(View, StartsEmptyWithItsDefaults) {
  EXPECT_EQ(Image->GetWidth(), 204);
  EXPECT_EQ(Image->GetPixelGraphic(), nullptr);
  EXPECT_EQ(Image->BorderWidth(), 2);
  EXPECT_EQ(PicBox(), Rect(0, 0, 0, 0));
  EXPECT_EQ(Image->GetEffectiveZoom(), 1);
  EXPECT_EQ(Image->GetZoomFactor(), 1);
  EXPECT_EQ(Image->GetStretch(), sNeverKAR);
  EXPECT_EQ(Image->GetAutoSizeMaxWidth(), INT32_MAX);
  EXPECT_EQ(Image->GetPicBoxFrameColor(), clBtnShadow);
  EXPECT_EQ(Image->GetPalette8BitSys24BitGraphic(), pOptimized252Sys16);
  EXPECT_EQ(Image->GetReadWarningAction(), pgwaOKCancelBox);
  EXPECT_EQ(Image->GetSelectionColor2(), 255);
  EXPECT_EQ(Image->GetSelectionWidth(), 1);
  EXPECT_FALSE(Horz()->IsScrollBarVisible());
  // Bad values for the palette kinds are refused.
  Image->SetPalette8BitSys24BitGraphic(pSource);
  EXPECT_EQ(Image->GetPalette8BitSys24BitGraphic(), pOptimized252Sys16);
  Image->SetPalette8BitSys8BitGraphic(pSource);
  EXPECT_EQ(Image->GetPalette8BitSys8BitGraphic(), pSource);
  // Without the 3-D look the border is one line.
  Image->SetCtl3D(false);
  EXPECT_EQ(Image->BorderWidth(), 1);
  EXPECT_EQ(Image->GetClientWidth(), 202);
}

TEST_F(View, LoadingAPictureBringsItsScrollBarsAtOnce) {
  std::string path = SaveTwoHalves(Dir, "big.bmp", 400, 300);
  int changes = 0;
  std::vector<TCursor> cursors;
  Image->OnPixelGraphicChange = [&](TObject*) { ++changes; };
  Image->OnPixelGraphicProgress = [&](TObject*, int, int, bool&) { cursors.push_back(Screen->GetCursor()); };
  Image->SetFileName(path);
  EXPECT_EQ(Image->GetFileName(), path);
  ASSERT_NE(Image->GetPixelGraphic(), nullptr);
  EXPECT_EQ(changes, 1);
  ASSERT_FALSE(cursors.empty());
  EXPECT_EQ(cursors.front(), crHourGlass) << "while the file loads";
  EXPECT_EQ(Screen->GetCursor(), crDefault) << "and restored afterwards";

  EXPECT_EQ(PicBox(), Rect(0, 0, 400, 300));
  EXPECT_TRUE(Horz()->IsScrollBarVisible());
  EXPECT_TRUE(Vert()->IsScrollBarVisible());
  EXPECT_EQ(Horz()->GetRange(), 400);
  EXPECT_EQ(Vert()->GetRange(), 300);
  EXPECT_EQ(Image->GetClientWidth(), 200 - VB);
  EXPECT_EQ(Image->GetClientHeight(), 150 - HB);
  SCROLLINFO h = Info(SB_HORZ);
  EXPECT_EQ(h.nMax, 399);
  EXPECT_EQ(int(h.nPage), 200 - VB);
  EXPECT_TRUE(GetWindowLongA(Image->GetHandle(), GWL_STYLE) & WS_HSCROLL);

  // Scrolling moves the TPicBox; a smaller picture takes the bars away again.
  Horz()->SetPosition(50);
  EXPECT_EQ(PicBox().Left, -50);
  Image->SetPixelGraphic(TwoHalves(120, 80));
  EXPECT_EQ(PicBox(), Rect(0, 0, 120, 80));
  EXPECT_FALSE(Horz()->IsScrollBarVisible());
  EXPECT_FALSE(Vert()->IsScrollBarVisible());
  EXPECT_EQ(Image->GetClientWidth(), 200);
  EXPECT_FALSE(GetWindowLongA(Image->GetHandle(), GWL_STYLE) & WS_HSCROLL);
}

TEST_F(View, AFailedLoadKeepsThePictureAndItsName) {
  std::string good = SaveTwoHalves(Dir, "good.bmp", 64, 48);
  Image->LoadFromFile(good);
  TPixelGraphic* before = Image->GetPixelGraphic();
  // Rows missing at the end of the file.
  std::string cut = SaveTwoHalves(Dir, "cut.bmp", 64, 48);
  std::filesystem::resize_file(cut, 54 + 64 * 3 * 10);
  int changes = 0;
  Image->OnPixelGraphicChange = [&](TObject*) { ++changes; };
  try {
    Image->LoadFromFile(cut);
    FAIL() << "the cut file loaded";
  } catch (const EPGBMPFileFormatReader& e) {
    EXPECT_EQ(e.Message(), "BMP: " + PGLangStr(pgmUnexpectedEnd));
  }
  EXPECT_EQ(Image->GetPixelGraphic(), before);
  EXPECT_EQ(Image->GetFileName(), good);
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  EXPECT_EQ(changes, 0) << "nothing changed";
  EXPECT_THROW(Image->LoadFromFile(Dir.File("missing.bmp")), EFOpenError);
  EXPECT_EQ(Image->GetPixelGraphic(), before);

  // A name that ends in a folder separator empties the view.
  std::string folder = Dir.Path() + "\\";
  Image->SetFileName(folder);
  EXPECT_EQ(Image->GetPixelGraphic(), nullptr);
  EXPECT_EQ(Image->GetFileName(), folder);
  EXPECT_EQ(PicBox(), Rect(0, 0, 0, 0));
}

TEST_F(View, AnAbortedLoadShowsWhatWasRead) {
  std::string path = SaveTwoHalves(Dir, "abort.bmp", 300, 200);
  Image->OnPixelGraphicProgress = [](TObject*, int, int, bool& Abort) { Abort = true; };
  Image->LoadFromFile(path);
  ASSERT_NE(Image->GetPixelGraphic(), nullptr);
  EXPECT_EQ(Image->GetPixelGraphic()->GetWidth(), 300);
  EXPECT_EQ(PicBox(), Rect(0, 0, 300, 200));
}

TEST_F(View, SavesByExtensionAndRefusesAnEmptyView) {
  try {
    Image->SaveToFile(Dir.File("empty.bmp"));
    FAIL();
  } catch (const EPGEmpty& e) {
    EXPECT_EQ(e.Message(), "PixelGraphic is empty");
  }
  Image->SetPixelGraphic(TwoHalves(30, 20));
  std::string path = Dir.File("saved.bmp");
  Image->SaveToFile(path);
  EXPECT_EQ(Image->GetFileName(), path);
  TOwned<TPixelGraphic> back(New<TPixelGraphic>());
  back->LoadFromFile(path);
  EXPECT_EQ(back->GetWidth(), 30);
  EXPECT_EQ(back->GetPixel(29, 19), kRight);
  // A failed save keeps the old name.
  EXPECT_THROW(Image->SaveToFile(Dir.File("saved.xyz")), EPGUnknownExtension);
  EXPECT_EQ(Image->GetFileName(), path);
}

TEST_F(View, CentringPutsTheScrollPositionsInTheMiddle) {
  Image->SetPixelGraphic(TwoHalves(400, 300));
  Image->SetCenter(true);
  int cw = 200 - VB, ch = 150 - HB;
  EXPECT_EQ(Horz()->GetPosition(), (400 - cw) / 2);
  EXPECT_EQ(Vert()->GetPosition(), (300 - ch) / 2);
  EXPECT_EQ(PicBox().Left, -(400 - cw) / 2);
  // A small picture stands in the middle without bars.
  Image->SetPixelGraphic(TwoHalves(100, 50));
  EXPECT_EQ(PicBox(), Bounds(50, 50, 100, 50));
  EXPECT_FALSE(Horz()->IsScrollBarVisible());
}

TEST_F(View, SettingAValueAgainKeepsTheUsersScrolling) {
  Image->SetPixelGraphic(TwoHalves(400, 300));
  Image->SetStretch(sZoomKAR);
  Horz()->SetPosition(30);
  Image->SetStretch(sZoomKAR);
  Image->SetZoomFactor(1);
  Image->SetCenter(false);
  EXPECT_EQ(Horz()->GetPosition(), 30);
  Image->SetZoomFactor(1.0000001L);
  EXPECT_EQ(Horz()->GetPosition(), 0) << "a new zoom arranges afresh";
}

TEST_F(View, ZoomAndFitFollowTheFactorAndTheSize) {
  Image->SetPixelGraphic(TwoHalves(400, 100));
  int zoomChanges = 0;
  Image->OnZoomFactorChange = [&](TObject*) { ++zoomChanges; };
  Image->SetStretch(sZoomKAR);
  Image->SetZoomFactor(0.25L);
  EXPECT_EQ(PicBox(), Rect(0, 0, 100, 25));
  EXPECT_EQ(Image->GetEffectiveZoom(), 0.25L);
  EXPECT_EQ(zoomChanges, 1);
  Image->SetZoomFactor(-3);
  EXPECT_EQ(PicBox(), Rect(0, 0, 400, 100));
  EXPECT_EQ(Image->GetZoomFactor(), -3) << "the factor is kept as set";
  EXPECT_EQ(Image->GetEffectiveZoom(), 1);
  // A huge zoom gives the largest box and scroll bars that hold it.
  Image->SetZoomFactor(1e12L);
  EXPECT_EQ(PicBox().Width(), PGMaxPicBoxSize);
  EXPECT_EQ(Horz()->GetRange(), PGMaxPicBoxSize);
  Horz()->SetPosition(INT32_MAX);
  EXPECT_EQ(Horz()->GetPosition(), PGMaxPicBoxSize - Image->GetClientWidth());
  // Fitting follows the control's size.
  Image->SetStretch(sAlwaysKAR);
  EXPECT_EQ(PicBox(), Rect(0, 0, 200, 50));
  EXPECT_EQ(Image->GetEffectiveZoom(), 0.5L);
  Image->SetBounds(10, 10, 404, 154);
  EXPECT_EQ(PicBox(), Rect(0, 0, 400, 100));
  EXPECT_EQ(Image->GetEffectiveZoom(), 1);
}

TEST_F(View, AutoSizeFitsTheControlToThePicture) {
  std::vector<TSize> reported;
  Image->OnNewAutoSize = [&](TObject*, int W, int H) { reported.push_back(TSize{W, H}); };
  Image->SetPixelGraphic(TwoHalves(120, 80));
  ASSERT_EQ(reported.size(), 1u) << "reported also while AutoSize is off";
  EXPECT_EQ(reported[0], (TSize{124, 84}));
  EXPECT_EQ(Image->GetWidth(), 204);
  Image->SetAutoSize(true);
  EXPECT_EQ(Image->GetWidth(), 124);
  EXPECT_EQ(Image->GetHeight(), 84);
  EXPECT_EQ(Image->GetClientWidth(), 120);
  EXPECT_FALSE(Horz()->IsScrollBarVisible());
  // Limits that make it smaller than the picture leave room for the bars they bring.
  Image->SetAutoSizeMaxWidth(100);
  EXPECT_EQ(Image->GetWidth(), 100);
  EXPECT_EQ(Image->GetHeight(), 84 + HB);
  EXPECT_TRUE(Horz()->IsScrollBarVisible());
  EXPECT_FALSE(Vert()->IsScrollBarVisible());
  EXPECT_EQ(Image->GetClientHeight(), 80) << "the whole picture height fits above the bar";
  // Aligned to the form's client area, the view keeps filling it.
  Image->SetAlign(alClient);
  TRect client = Form->GetClientRect();
  EXPECT_EQ(Image->GetBoundsRect(), client);
  Image->SetPixelGraphic(TwoHalves(50, 40));
  EXPECT_EQ(Image->GetBoundsRect(), client);
  EXPECT_EQ(reported.back(), (TSize{54, 44}));
}

TEST_F(View, PaintsThePictureIntoTheTPicBoxAndTheMarginsInItsColour) {
  Image->SetBorderStyle(bsNone);
  Image->SetPixelGraphic(TwoHalves(100, 50));
  Image->SetCenter(true);
  PaintNow(Form->GetHandle());
  HWND w = Image->GetHandle();
  TRect r = PicBox();
  EXPECT_EQ(r, Bounds(52, 52, 100, 50));
  EXPECT_EQ(PixelAt(w, r.Left + 1, r.Top + 1), COLORREF(kLeft));
  EXPECT_EQ(PixelAt(w, r.Right - 2, r.Bottom - 2), COLORREF(kRight));
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(PixelAt(w, r.Left - 1, r.Top + 5), face);
  EXPECT_EQ(PixelAt(w, 2, 2), face);
  EXPECT_EQ(PixelAt(w, r.Right, r.Bottom), face);
  // Scrolled, the picture moves with the TPicBox.
  Image->SetCenter(false);
  Image->SetPixelGraphic(TwoHalves(800, 50));
  Horz()->SetPosition(400);
  PaintNow(Form->GetHandle());
  EXPECT_EQ(PixelAt(w, 0, 10), COLORREF(kRight));
}

TEST_F(View, TheTPicBoxRelaysMouseAndPaintInItsOrder) {
  Image->SetPixelGraphic(TwoHalves(100, 80));
  TPicBox* box = Image->GetPicBox();
  std::vector<std::string> log;
  box->ImageMouseDown = [&](TObject* s, TMouseButton, TShiftState, int X, int Y) {
    log.push_back("view down " + std::to_string(X) + "," + std::to_string(Y) + (s == box ? "" : " ?"));
  };
  box->ImageMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("view up"); };
  box->ImagePaint = [&](TObject*) { log.push_back("view paint"); };
  Image->SetPicBoxOnMouseDown([&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("user down"); });
  Image->SetPicBoxOnMouseUp([&](TObject*, TMouseButton, TShiftState, int, int) { log.push_back("user up"); });
  Image->SetPicBoxOnClick([&](TObject*) { log.push_back("click"); });
  Image->SetPicBoxOnPaint([&](TObject*) { log.push_back("user paint"); });
  testsupport::MouseDown(Image->GetHandle(), 12, 7);
  testsupport::MouseUp(Image->GetHandle(), 12, 7);
  PaintNow(Image->GetHandle());
  std::vector<std::string> expected{"view down 12,7", "user down", "click", "user up", "view up", "view paint",
                                    "user paint"};
  EXPECT_EQ(log, expected);
  // The pass-through properties are the TPicBox's own.
  Image->SetPicBoxCursor(crCross);
  Image->SetPicBoxTag(7);
  EXPECT_EQ(box->GetCursor(), crCross);
  EXPECT_EQ(box->GetTag(), 7);
}

TEST_F(View, ThePicturesOwnChangesReachTheView) {
  Image->SetPixelGraphic(TwoHalves(100, 80));
  TPixelGraphic* p = Image->GetPixelGraphic();
  int changes = 0;
  Image->OnPixelGraphicChange = [&](TObject*) { ++changes; };
  p->NewImage(60, 30, 3);
  p->Changed();
  EXPECT_GE(changes, 1);
  EXPECT_EQ(PicBox(), Rect(0, 0, 60, 30));
  // Handing back the picture the view holds keeps it.
  Image->SetPixelGraphic(p);
  EXPECT_EQ(Image->GetPixelGraphic(), p);
  EXPECT_EQ(p->GetWidth(), 60);
  // The palette of a picture with its own palette; none for the system palettes.
  TPixelGraphic* gray = New<TPixelGraphic>();
  gray->NewImage(8, 8, 2);
  gray->SetPaletteIdent(pGray256);
  Image->SetPixelGraphic(gray);
  EXPECT_NE(Image->GetPalette(), nullptr);
  gray->SetPaletteIdent(pSys16);
  EXPECT_EQ(Image->GetPalette(), nullptr);
}

TEST_F(View, TheFormPassesDisplayChangesAndPaletteNoticesOn) {
  Image->SetPixelGraphic(TwoHalves(50, 40));
  HWND w = Image->GetHandle();
  UpdateWindow(w);
  RECT r{};
  ASSERT_FALSE(GetUpdateRect(w, &r, FALSE));
  SendMessageA(Form->GetHandle(), WM_DISPLAYCHANGE, 24, MAKELPARAM(1280, 1024));
  EXPECT_TRUE(GetUpdateRect(w, &r, FALSE)) << "the view repaints for the new display";
  // The palette walk asks the view for its palette.
  int asked = 0;
  struct TCounting : TPGImage {
    using TPGImage::TPGImage;
    HPALETTE GetPalette() override {
      ++*Asked;
      return TPGImage::GetPalette();
    }
    int* Asked = nullptr;
  };
  auto* counting = New<TCounting>(Form);
  counting->Asked = &asked;
  counting->SetParent(Form);
  counting->SetBounds(220, 10, 50, 50);
  counting->NotifyPalette();
  EXPECT_GE(asked, 1);
}
