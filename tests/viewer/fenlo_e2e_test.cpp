// Fenlo end to end: the program started in a folder of its own and used through its menus, its
// file dialogs and the clipboard from this process, with what it shows read from the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "classlib/clipboard.h"
#include "classlib/finally.h"
#include "imagelib/PGraphic.h"
#include "tests/viewer/fenlo_driver.h"
#include "viewer/Unit1.h"
#include "viewer/Unit3.h"

using namespace fenlotest;
using imagelib::TPixelGraphic;
using imagelib::TRGB;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

// A 24-bit picture of Width x Height pixels, each coloured by Color(x, y).
classlib::TOwned<TPixelGraphic> Picture(int Width, int Height, COLORREF (*Color)(int, int)) {
  classlib::TOwned<TPixelGraphic> p(classlib::New<TPixelGraphic>());
  p->NewImage(Width, Height, 3);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width; ++x) p->SetPixelColor(x, y, Color(x, y));
  return p;
}
COLORREF AllRed(int, int) { return kRed; }
COLORREF Checks(int X, int Y) {
  static const COLORREF colors[] = {RGB(0, 0, 255), RGB(0, 255, 0), RGB(255, 255, 0),
                                    RGB(255, 0, 255), RGB(0, 255, 255), RGB(128, 64, 0)};
  return colors[Y * 3 + X];
}

void PutOnClipboard(TPixelGraphic* Picture) { classlib::Clipboard()->Assign(Picture); }

class Fenlo : public ::testing::Test {
 protected:
  std::string PictureFolder(FenloProcess& P) { return P.Folder.File("Billeder"); }
  // red.bmp (200 x 100) in the program's picture folder, opened through the menu and the dialog.
  void OpenRed(FenloProcess& P) {
    Picture(200, 100, AllRed)->SaveToFile(PictureFolder(P) + "\\red.bmp");
    ASSERT_TRUE(OpenThroughDialog(P, "red.bmp")) << P.Caption();
  }
};

TEST_F(Fenlo, StartsWithItsFolderAndCaptionAndEndsOnExit) {
  FenloProcess p;
  EXPECT_TRUE(std::filesystem::is_directory(PictureFolder(p)));
  EXPECT_EQ(p.Caption(), std::string(fenlo::kStartVersion) + fenlo::kPictureFileLabel);

  // A cancelled Open names the file shown, which is none yet.
  Choose(p, kOpen);
  p.AnswerFileDialog(kOpenTitle.c_str(), "");
  EXPECT_TRUE(WaitUntil([&] { return p.Caption() == AfterVersion(""); })) << p.Caption();
  EXPECT_EQ(p.StatusText(1), "");

  // Commands that need a picture do nothing without one; the about box shows that the
  // commands before it have run.
  Choose(p, kSaveAs);
  Choose(p, kCopy);
  Choose(p, kAbout);
  EXPECT_NE(p.WaitFor("TForm2"), nullptr);
  EXPECT_EQ(p.Find("#32770"), nullptr);

  Choose(p, kExit);
  EXPECT_TRUE(p.Ended());
}

TEST_F(Fenlo, OpensFitsSavesAndReopensAPicture) {
  FenloProcess p;
  OpenRed(p);
  EXPECT_EQ(p.StatusText(1), PictureFolder(p) + "\\red.bmp");
  HWND view = p.View();
  RECT client{};
  GetClientRect(view, &client);
  ASSERT_GT(client.right, 260);
  EXPECT_TRUE(p.ShowsPixel(view, 5, 5, kRed));
  EXPECT_NE(p.ScreenPixel(view, 250, 5), kRed) << "full size: the picture ends at 200";

  Choose(p, kFit);
  EXPECT_TRUE(p.ShowsPixel(view, client.right - 5, 5, kRed)) << "fitted to the view's width";
  Choose(p, kFull);
  EXPECT_TRUE(WaitUntil([&] { return p.ScreenPixel(view, 250, 5) != kRed; }, 15));

  // Save As proposes the file shown.
  Choose(p, kSaveAs);
  HWND dialog = p.WaitFor("#32770", kSaveTitle.c_str());
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(WindowText(FileNameEdit(dialog)).find("red.bmp"), std::string::npos);
  p.AnswerFileDialog(kSaveTitle.c_str(), "kopi.bmp");
  const std::string saved = PictureFolder(p) + "\\kopi.bmp";
  classlib::TOwned<TPixelGraphic> back(classlib::New<TPixelGraphic>());
  ASSERT_TRUE(LoadWhenWritten(back.get(), saved));
  EXPECT_EQ(back->GetWidth(), 200);
  EXPECT_EQ(back->GetHeight(), 100);
  EXPECT_EQ(back->GetPixelColor(199, 99), TRGB(kRed));

  Choose(p, kOpen);
  p.AnswerFileDialog(kOpenTitle.c_str(), "kopi.bmp");
  EXPECT_TRUE(WaitUntil([&] { return p.Caption() == AfterVersion("kopi.bmp"); })) << p.Caption();
  EXPECT_TRUE(p.ShowsPixel(view, 5, 5, kRed));

  // A file that cannot be read leaves the picture and its name.
  std::ofstream(PictureFolder(p) + "\\tom.bmp").put('x');
  Choose(p, kOpen);
  p.AnswerFileDialog(kOpenTitle.c_str(), "tom.bmp");
  EXPECT_NE(p.TakeMessageBox(), "");
  Choose(p, kOpen);
  p.AnswerFileDialog(kOpenTitle.c_str(), "");
  EXPECT_TRUE(WaitUntil([&] { return p.Caption() == AfterVersion("kopi.bmp"); })) << p.Caption();
  EXPECT_EQ(p.StatusText(1), saved);
  EXPECT_TRUE(p.ShowsPixel(view, 5, 5, kRed));
}

TEST_F(Fenlo, CopiesToAndPastesFromAnotherProgram) {
  FenloProcess p;
  OpenRed(p);
  classlib::Clipboard()->Clear();
  Choose(p, kCopy);
  ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != 0; }));
  classlib::TOwned<TPixelGraphic> copied(classlib::New<TPixelGraphic>());
  copied->PasteFromClipboard();
  EXPECT_EQ(copied->GetWidth(), 200);
  EXPECT_EQ(copied->GetHeight(), 100);
  EXPECT_EQ(copied->GetPixelColor(100, 50), TRGB(kRed));

  // Without a picture on the clipboard Paste changes nothing.
  classlib::Clipboard()->Clear();
  Choose(p, kPaste);
  Choose(p, kAbout);
  EXPECT_NE(p.WaitFor("TForm2"), nullptr);
  EXPECT_EQ(p.Caption(), AfterVersion("red.bmp"));
  EXPECT_EQ(p.Find("TForm3"), nullptr);
  PostMessageA(FindWindowExA(p.Find("TForm2"), nullptr, "TButton", "Luk"), BM_CLICK, 0, 0);

  auto pasted = Picture(3, 2, Checks);
  PutOnClipboard(pasted.get());
  Choose(p, kPaste);
  ASSERT_TRUE(WaitUntil([&] { return p.Caption() == AfterVersion(fenlo::kNewPicture); })) << p.Caption();
  HWND view = p.View();
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_TRUE(p.ShowsPixel(view, x, y, Checks(x, y))) << x << "," << y;
  EXPECT_NE(p.ScreenPixel(view, 5, 5), kRed) << "the pasted picture replaces the one shown";

  // The pasted picture is what Copy hands on.
  classlib::Clipboard()->Clear();
  Choose(p, kCopy);
  ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != 0; }));
  copied->PasteFromClipboard();
  ASSERT_EQ(copied->GetWidth(), 3);
  ASSERT_EQ(copied->GetHeight(), 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(copied->GetPixelColor(x, y), TRGB(Checks(x, y)));

  // Save As now proposes the seed's name, which the view took for the paste.
  Choose(p, kSaveAs);
  HWND dialog = p.WaitFor("#32770", kSaveTitle.c_str());
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(WindowText(FileNameEdit(dialog)).find("bc24.bmp"), std::string::npos);
  p.AnswerFileDialog(kSaveTitle.c_str(), "");
}

TEST_F(Fenlo, PasteWithoutTheSeedWarnsAndLukEndsTheProgram) {
  FenloProcess p(false);
  auto pasted = Picture(3, 2, Checks);
  PutOnClipboard(pasted.get());
  Choose(p, kPaste);
  HWND warning = p.WaitFor("TForm3");
  ASSERT_NE(warning, nullptr);
  EXPECT_EQ(WindowText(warning), "   ADVARSEL");
  std::string text;
  for (const char* line : fenlo::kWarningLines) text += std::string(line) + "\r";
  HWND rich = Child(warning, "TRichEdit");
  ASSERT_NE(rich, nullptr);
  std::string shown = WindowText(rich);
  // The control may keep its paragraphs with CR or with CR LF.
  std::erase(shown, '\n');
  EXPECT_EQ(shown, text);
  // The seed cannot be read either: the library says so and the paste ends.
  EXPECT_NE(p.TakeMessageBox().find("bc24.bmp"), std::string::npos);
  EXPECT_EQ(p.Caption(), std::string(fenlo::kStartVersion) + fenlo::kPictureFileLabel);

  HWND luk = FindWindowExA(warning, nullptr, "TButton", "Luk");
  ASSERT_NE(luk, nullptr);
  PostMessageA(luk, BM_CLICK, 0, 0);
  EXPECT_TRUE(p.Ended());
}

TEST_F(Fenlo, AboutBoxStaysOnTopAndLukHidesIt) {
  FenloProcess p;
  Choose(p, kAbout);
  HWND about = p.WaitFor("TForm2");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(WindowText(about), " ");
  const LONG_PTR style = GetWindowLongPtrA(about, GWL_STYLE), exStyle = GetWindowLongPtrA(about, GWL_EXSTYLE);
  EXPECT_FALSE(style & WS_SYSMENU);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  RECT client{};
  GetClientRect(about, &client);
  EXPECT_EQ(client.right, 281);
  EXPECT_EQ(client.bottom, 196);
  // The product's name is written in navy.
  EXPECT_TRUE(WaitUntil([&] {
    auto pixels = p.Capture(about, client.right, client.bottom);
    return std::count(pixels.begin(), pixels.end(), RGB(0, 0, 128)) > 50;
  }, 15));

  HWND luk = FindWindowExA(about, nullptr, "TButton", "Luk");
  ASSERT_NE(luk, nullptr);
  PostMessageA(luk, BM_CLICK, 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(about); }));
  EXPECT_TRUE(p.Running());
}

}  // namespace

namespace {
TEST_F(Fenlo, RunsTheFiveFiltersOnAPhotographThroughTheirMenusAndDialogs) {
  FenloProcess p;
  auto photo = Picture(96, 64, [](int X, int Y) { return COLORREF(RGB(X * 2 + 40, Y * 3 + 20, (X * Y) % 200)); });
  photo->SaveToFile(PictureFolder(p) + "\\foto.jpg");
  Choose(p, kOpen);
  p.AnswerFileDialog(kOpenTitle.c_str(), "foto.jpg");
  ASSERT_TRUE(WaitUntil([&] { return p.Caption() == AfterVersion("foto.jpg"); })) << p.Caption();

  // What the library makes of the same file with the dialogs' settings: the defaults, and red +100%.
  classlib::TOwned<TPixelGraphic> expected(classlib::New<TPixelGraphic>());
  expected->LoadFromFile(PictureFolder(p) + "\\foto.jpg");
  classlib::TOwned<imagelib::TGrayScaleFilter> gray(classlib::New<imagelib::TGrayScaleFilter>());
  classlib::TOwned<imagelib::TConvFilter> sharpen(classlib::New<imagelib::TConvFilter>());
  sharpen->MakeSharpenKernel(imagelib::dsGaussian, true, 0.75L, 50);
  classlib::TOwned<imagelib::TConvFilter> smooth(classlib::New<imagelib::TConvFilter>());
  smooth->MakeSmoothKernel(imagelib::dsGaussian, true, 1.3L, 100);
  classlib::TOwned<imagelib::TBCGFilter> bcg(classlib::New<imagelib::TBCGFilter>());
  bcg->Brightness = 0;
  classlib::TOwned<imagelib::TRGBFilter> rgb(classlib::New<imagelib::TRGBFilter>());
  for (int i = 0; i < 256; ++i) rgb->TableR[i] = 255;
  const struct {
    TCommand Command;
    const char* Caption;
    imagelib::TPGFilter* Filter;
    bool RedToTheEnd;
  } steps[] = {{kGray, "Grayscale Filter", gray.get(), false},
               {kSharpen, "Sharpen", sharpen.get(), false},
               {kSmooth, "Smooth", smooth.get(), false},
               {kBCG, "Brightness, Contrast, Gamma Filter", bcg.get(), false},
               {kRGB, "RGB Filter", rgb.get(), true}};
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Caption);
    ASSERT_TRUE(RunFilter(p, step.Command, step.Caption, step.RedToTheEnd));
    classlib::TOwned<TPixelGraphic> next(classlib::New<TPixelGraphic>());
    next->ApplyFilter(step.Filter, expected.get());
    expected = std::move(next);
  }
  classlib::Clipboard()->Clear();
  Choose(p, kCopy);
  ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != 0; }));
  classlib::TOwned<TPixelGraphic> shown(classlib::New<TPixelGraphic>());
  shown->PasteFromClipboard();
  ASSERT_EQ(shown->GetWidth(), 96);
  ASSERT_EQ(shown->GetHeight(), 64);
  int differing = 0;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 96; ++x) differing += shown->GetPixelColor(x, y) != expected->GetPixelColor(x, y);
  EXPECT_EQ(differing, 0);
  EXPECT_EQ(p.StatusText(0), "") << "no percentage is left behind";
  EXPECT_TRUE(p.ShowsPixel(p.View(), 10, 10, COLORREF(expected->GetPixelColor(10, 10))));
}
}  // namespace
