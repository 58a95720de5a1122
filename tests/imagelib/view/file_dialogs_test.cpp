// The file dialogs on the system's real dialogs: the preview and the info panel of a file selected
// in the list, read back from the panels; damaged files and folders passed over; a slow file left
// behind when the selection moves on; the progress clock; the save dialog's type and extension.
// Every test counts live pictures and threads, and leaves no message for a window that is gone.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>

#include "classlib/files.h"
#include "classlib/testing.h"
#include "classlib/text.h"
#include "imagelib/view/PGPreviewJob.h"
#include "tests/imagelib/formats/format_lists.h"
#include "tests/imagelib/view/file_dialog_support.h"
#include "tests/imagelib/view/view_support.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

using namespace imagelib;
using namespace testsupport;

namespace {

void SavePicture(TPixelGraphic* Picture, const std::string& FileName) {
  TOwned<TPixelGraphic> owned(Picture);
  owned->SaveToFile(FileName);
}

std::string ReadAll(const std::string& FileName) {
  std::ifstream in(FileName, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& FileName, const std::string& Bytes) {
  std::ofstream(FileName, std::ios::binary) << Bytes;
}

// A reader of "SLOW" files that takes its time: a quiet one ("SLOWQ") sits in a step that reports
// no progress until it is released, a talking one ("SLOWT") reports progress until told to stop.
class SlowReader : public TFileFormatReader {
 public:
  SlowReader() {
    Extension = "slw";
    Description = "Slow";
    HasSignature = true;
    Listed = false;
  }
  bool CheckSignature(const TFileFormatHeader& Header) override { return std::memcmp(Header.data(), "SLOW", 4) == 0; }
  void GetInfo(TStream*, int, std::string& Info1, std::string& Info2, int& Width, int& Height, std::string& Colors,
               int& BitCount, int& ImageCount) override {
    Info1 = Info2 = "";
    Width = 40;
    Height = 30;
    Colors = "16.7M";
    BitCount = 24;
    ImageCount = 1;
  }
  void Read(TStream* Stream, TPixelGraphic* Graphic, int) override {
    char header[5] = {};
    Stream->Read(header, 5);
    ++Entered;
    Graphic->NewImage(40, 30, 3);
    for (int step = 0;; ++step) {
      if (header[4] == 'Q') {
        if (Released) return;
      } else {
        bool abort = false;
        if (Graphic->OnProgress) Graphic->OnProgress(this, step % 1000, 1000, abort);
        if (abort || Released) return;
      }
      Sleep(5);
    }
  }
  std::atomic<int> Entered{0};
  std::atomic<bool> Released{false};
};

class FileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    ParkPointer();
    Live = LivePixelGraphicCount();
    Threads = classlib::testing::LiveThreadCount();
  }
  void TearDown() override {
    EXPECT_EQ(LivePixelGraphicCount(), Live) << "every picture freed, once";
    EXPECT_EQ(classlib::testing::LiveThreadCount(), Threads);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_USER, WM_PGPREVIEWFAILED, PM_REMOVE)) << "a message left behind";
  }
  // Dir.File would take a CP1252 name for UTF-8.
  std::string File(const std::string& Name) const { return Dir.Path() + "\\" + Name; }

  // The preview panel's client pixels as painted now.
  static std::vector<TRGB> PanelPixels(HWND Panel, int& W, int& H) {
    RECT r{};
    GetClientRect(Panel, &r);
    W = r.right;
    H = r.bottom;
    UpdateWindow(Panel);
    return Grab(Panel, W, H);
  }

  // No preview work is waiting: the timer has fired, its message was taken, and no thread runs.
  template <class D>
  static bool Settled(D& Dialog) {
    MSG msg;
    return !Dialog.GetTimer()->GetEnabled() &&
           !PeekMessageA(&msg, Dialog.GetHookWindow(), WM_PGSTARTPREVIEW, WM_PGSTARTPREVIEW, PM_NOREMOVE) &&
           Dialog.GetPreviewThread()->GetFinished();
  }

  TempDir Dir;
  int Live = 0, Threads = 0;
};

}  // namespace

TEST_F(FileDialogs, SelectedFilesArePreviewedAndDescribedAndFoldersShowNothing) {
  // Names in the ANSI code page; one picture larger than the panel, one smaller.
  SavePicture(Gradient(300, 120), File("rød æble.bmp"));
  SavePicture(TwoHalves(16, 10), File("små.bmp"));
  ASSERT_TRUE(classlib::CreateDir(File("mappe")));
  TOwned<TTestOpenDialog> dialog(New<TTestOpenDialog>(nullptr));
  dialog->SetInitialDir(Dir.Path());
  auto window = [&] { return dialog->GetDialogWindow(); };

  // The preview as the panel must show it: reduced to fit the room inside the frame, centred.
  auto shows = [&](const std::string& Name, int PictureWidth, int PictureHeight) {
    int w = 0, h = 0;
    std::vector<TRGB> pixels = PanelPixels(dialog->GetPreviewWindow(), w, h);
    TSize size = PreviewSize(PictureWidth, PictureHeight, w - 4, h - 4);
    TPixelGraphic* preview = dialog->GetPreviewGraphic();
    EXPECT_EQ(preview->GetWidth(), size.cx) << Name;
    EXPECT_EQ(preview->GetHeight(), size.cy) << Name;
    EXPECT_EQ(preview->GetBitCount(), 24);
    TOwned<TPixelGraphic> expected(New<TPixelGraphic>());
    expected->LoadFromFile(File(Name));
    if (size.cx != PictureWidth || size.cy != PictureHeight) {
      TOwned<TPixelGraphic> reduced(New<TPixelGraphic>());
      reduced->NewImage(size.cx, size.cy, 3);
      reduced->CopyFrom(expected.get());  // smPrecise, the dialog's default
      expected = std::move(reduced);
    }
    const int x0 = (w - size.cx) / 2, y0 = (h - size.cy) / 2;
    int wrong = 0;
    for (int y = 2; y < h - 2; ++y)
      for (int x = 2; x < w - 2; ++x) {
        bool inside = x >= x0 && x < x0 + size.cx && y >= y0 && y < y0 + size.cy;
        TRGB want = inside ? expected->GetPixel(x - x0, y - y0) : SysColor(COLOR_BTNFACE);
        wrong += pixels[size_t(y) * w + x] != want;
      }
    EXPECT_EQ(wrong, 0) << Name << ": pixels of the panel differ from the preview";
    EXPECT_EQ(pixels[0], SysColor(COLOR_BTNSHADOW)) << "the sunken frame";
    EXPECT_EQ(pixels[size_t(w) + 1], 0u);
    EXPECT_EQ(pixels[size_t(h - 1) * w + w - 1], 0xFFFFFFu);
    return true;
  };
  auto describes = [&](const std::string& Name) {
    std::string description, info1, info2, colors;
    int width = 0, height = 0, bits = 0, count = 0;
    EXPECT_TRUE(GetFileFormatInfo(File(Name), 0, description, info1, info2, width, height, colors, bits, count));
    std::vector<std::string> expected{"Bitmap"};
    if (!info1.empty()) expected.push_back(info1);
    if (!info2.empty()) expected.push_back(info2);
    expected.push_back(IntToStr(width) + "x" + IntToStr(height) + "x" + colors + " 24 bit");
    EXPECT_EQ(dialog->InfoLines(), expected);
    // Each line is drawn in its own band of the panel.
    int w = 0, h = 0;
    std::vector<TRGB> pixels = PanelPixels(dialog->GetInfoWindow(), w, h);
    for (size_t line = 0; line < expected.size(); ++line) {
      int ink = 0;
      for (int y = int(line) * h / int(expected.size()); y < int(line + 1) * h / int(expected.size()); ++y)
        for (int x = 0; x < w; ++x) ink += pixels[size_t(y) * w + x] != SysColor(COLOR_BTNFACE);
      EXPECT_GT(ink, 0) << "line " << line << " of " << Name;
    }
    return true;
  };

  DialogScript script(window);
  script.Then("select the large picture", [&] { return SelectInList(window(), "rød æble.bmp"); })
      .Then("its preview", [&] { return dialog->GetPreviewGraphic() != nullptr; })
      .Then("check it", [&] { return shows("rød æble.bmp", 300, 120) && describes("rød æble.bmp"); })
      .Then("select the small picture", [&] { return SelectInList(window(), "små.bmp"); })
      .Then("the old preview goes at once", [&] {
        EXPECT_EQ(dialog->GetPreviewGraphic(), nullptr);
        return true;
      })
      .Then("its preview", [&] { return dialog->GetPreviewGraphic() != nullptr; })
      .Then("check it", [&] { return shows("små.bmp", 16, 10) && describes("små.bmp"); })
      .Then("the dialog is centred", [&] {
        RECT r{};
        GetWindowRect(window(), &r);
        EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
        EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 3);
        RECT list = WindowRectIn(FindDescendant(window(), "SysListView32"), nullptr);
        RECT panel = WindowRectIn(dialog->GetPreviewWindow(), nullptr);
        EXPECT_GE(panel.left, list.right) << "the preview lies right of the list";
        EXPECT_LE(panel.right, r.right);
        return true;
      })
      .Then("select the folder", [&] {
        if (!SelectInList(window(), "mappe")) return false;
        SetDlgItemTextA(window(), edt1, "");  // as when the user passes over a folder with an empty name
        return true;
      })
      .Then("settled", [&] { return Settled(*dialog); })
      .Then("nothing shown", [&] {
        EXPECT_EQ(dialog->GetPreviewGraphic(), nullptr);
        EXPECT_FALSE(dialog->GetInfoValid());
        EXPECT_TRUE(dialog->InfoLines().empty());
        return PostMessageA(window(), WM_COMMAND, IDCANCEL, 0) != 0;
      });
  bool ok = true;
  EXPECT_TRUE(script.Run([&] { ok = dialog->Execute(); }));
  EXPECT_FALSE(ok);
  EXPECT_EQ(dialog->GetHookWindow(), nullptr);
  EXPECT_EQ(dialog->GetPreviewGraphic(), nullptr) << "the preview goes with the window";
}
