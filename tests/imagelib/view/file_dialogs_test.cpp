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
#include "imagelib/formats/PGJPGFormat.h"
#include "imagelib/formats/PGPNGFormat.h"
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

// Pixels of Colour in the window's client area.
int CountColour(HWND Window, TRGB Colour) {
  RECT r{};
  GetClientRect(Window, &r);
  int n = 0;
  for (TRGB p : Grab(Window, r.right, r.bottom)) n += p == Colour;
  return n;
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

namespace {

// The filter's entries as (description, pattern) pairs.
std::vector<std::pair<std::string, std::string>> Entries(const std::string& Filter) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (size_t bar; (bar = Filter.find('|', from)) != std::string::npos; from = bar + 1)
    parts.push_back(Filter.substr(from, bar - from));
  if (from < Filter.size()) parts.push_back(Filter.substr(from));
  std::vector<std::pair<std::string, std::string>> entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) entries.emplace_back(parts[i], parts[i + 1]);
  return entries;
}

// Checks FilterExtension and FilterCount against the entries of the dialog's filter: the format
// entries from First on, none before or after them.
void ExpectExtensionsFollowEntries(TPGOpenDialog& Dialog, int First, int Trailing) {
  const auto entries = Entries(Dialog.GetFilter());
  const int formats = int(entries.size()) - (First - 1) - Trailing;
  EXPECT_EQ(Dialog.FilterCount(), formats);
  for (int k = 0; k <= int(entries.size()) + 1; ++k) {
    const bool format = k >= First && k < First + formats;
    EXPECT_EQ(Dialog.FilterExtension(k), format ? entries[size_t(k - 1)].second.substr(2) : "") << "entry " << k;
  }
}

}  // namespace

TEST_F(FileDialogs, FiltersListTheRegisteredFormatsAndNameTheirExtensions) {
  TOwned<TTestOpenDialog> open(New<TTestOpenDialog>(nullptr));
  TOwned<TTestSaveDialog> save(New<TTestSaveDialog>(nullptr));
  EXPECT_EQ(save->GetFilter().rfind("BMP - Bitmap|*.bmp|JPG - JPEG (JFIF compliant)|*.jpg|", 0), 0u)
      << "the constructor lists the writers: " << save->GetFilter();
  ExpectExtensionsFollowEntries(*save, 1, 0);

  const std::string filter = open->GetFilter();
  EXPECT_EQ(filter.rfind("Image files|*.bmp; *.dib; *.jif; ", 0), 0u) << filter;
  const auto entries = Entries(filter);
  ASSERT_GE(entries.size(), 3u);
  EXPECT_EQ(entries.back(), std::make_pair(std::string("All files"), std::string("*.*")));
  EXPECT_EQ(entries[1], std::make_pair(std::string("BMP - Bitmap"), std::string("*.bmp")));
  std::string all;
  for (size_t i = 1; i + 1 < entries.size(); ++i) all += (i > 1 ? "; " : "") + entries[i].second;
  EXPECT_EQ(entries[0].second, all) << "the first entry holds every format's pattern";
  ExpectExtensionsFollowEntries(*open, 2, 1);

  // Sorted by extension, unlisted formats left out; without writers the save filter is empty.
  {
    formattest::ScopedFormatLists lists(
        {New<SlowReader>(), New<TBMPFileFormatReader>()},
        {New<TPNGFileFormatWriter>(), New<TDIBFileFormatWriter>(), New<TJPGFileFormatWriter>(),
         New<TBMPFileFormatWriter>()});
    EXPECT_EQ(open->DefaultFilter(), "Image files|*.bmp|BMP - Bitmap|*.bmp|All files|*.*");
    EXPECT_EQ(save->DefaultFilter(),
              "BMP - Bitmap|*.bmp|JPG - JPEG (JFIF compliant)|*.jpg|PNG - Portable Network Graphics|*.png|");
  }
  {
    formattest::ScopedFormatLists lists({}, {});
    EXPECT_EQ(open->DefaultFilter(), "All files|*.*");
    EXPECT_EQ(save->DefaultFilter(), "");
    EXPECT_EQ(save->FilterCount(), 0);
  }
  // Without the default filter there are no format entries to name.
  for (TPGOpenDialog* dialog : std::initializer_list<TPGOpenDialog*>{open.get(), save.get()}) {
    dialog->SetUseDefaultFilter(false);
    EXPECT_EQ(dialog->FilterCount(), 0);
    EXPECT_EQ(dialog->FilterExtension(2), "");
  }
}

TEST_F(FileDialogs, OptionsAlwaysKeepShareAwareAndSayWhenTheyMustAddIt) {
  TOwned<TTestSaveDialog> dialog(New<TTestSaveDialog>(nullptr));
  EXPECT_EQ(dialog->GetOptions(), ofHideReadOnly | ofShareAware);
  for (TOpenOptions options : {ofHideReadOnly | ofShareAware | ofAllowMultiSelect, TOpenOptions(ofAllowMultiSelect)}) {
    MessageBoxRecorder boxes(IDOK);
    dialog->SetOptions(options);
    EXPECT_EQ(dialog->GetOptions(), options | ofShareAware);
    if (options & ofShareAware) {
      EXPECT_TRUE(boxes.Calls.empty());
    } else {
      ASSERT_EQ(boxes.Calls.size(), 1u);
      EXPECT_EQ(boxes.Calls[0].Text, "TPGOpenDialog.Options and TPGSaveDialog.Options must include ofShareAware!");
    }
  }
}

TEST_F(FileDialogs, SaveExecutePicksTheTypeOfTheNameAndGivesTheNameTheChosenType) {
  struct Case {
    const char* Name;
    bool UseDefaultFilter;
    std::string FileName;
    int FilterIndex;
    bool Ok;                  // what the user does
    const char* Chosen;       // the file the user picks (on OK)
    int ChosenIndex;          // and its type
    int WantIndexShown;       // the type the dialog opens with
    std::string WantFileName; // afterwards
    int WantFilterIndex;
  } cases[] = {
      {"a .png name picks the last entry", true, "C:\\p\\pic.png", 1, false, "", 0, 3, "C:\\p\\pic.png", 3},
      {"the extension's case does not matter", true, "pic.JPG", 1, false, "", 0, 2, "pic.JPG", 2},
      {"an unknown extension keeps the type", true, "pic.xyz", 3, false, "", 0, 3, "pic.xyz", 3},
      {"a bare name gets the type's extension after Cancel", true, "pic", 3, false, "", 0, 3, "pic.png", 3},
      {"an empty name becomes the bare extension", true, "", 1, false, "", 0, 1, ".bmp", 1},
      {"OK takes the chosen name and type", true, "pic.bmp", 1, true, "C:\\out\\neu", 2, 1, "C:\\out\\neu.jpg", 2},
      {"without the default filter nothing is added", false, "pic", 3, true, "C:\\out\\neu", 2, 3, "C:\\out\\neu",
       2},
  };
  // The writers of these formats, whatever else is registered.
  formattest::ScopedFormatLists lists(
      {}, {New<TBMPFileFormatWriter>(), New<TJPGFileFormatWriter>(), New<TPNGFileFormatWriter>()});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TOwned<TTestSaveDialog> dialog(New<TTestSaveDialog>(nullptr));
    dialog->SetUseDefaultFilter(c.UseDefaultFilter);
    dialog->SetFileName(c.FileName);
    dialog->SetFilterIndex(c.FilterIndex);
    int shown = -1;
    classlib::testing::SetCommonDialogHook([&](TCommonDialog& Dialog, void* Record) {
      auto& record = *static_cast<OPENFILENAMEA*>(Record);
      EXPECT_EQ(&Dialog, dialog.get());
      EXPECT_EQ(record.lpfnHook, &PGOpenDialogHookProc);
      EXPECT_EQ(record.lCustData, reinterpret_cast<LPARAM>(dialog.get()));
      EXPECT_EQ(record.Flags & (OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_SHAREAWARE),
                DWORD(OFN_EXPLORER | OFN_ENABLEHOOK | OFN_HIDEREADONLY | OFN_SHAREAWARE));
      shown = int(record.nFilterIndex);
      if (!c.Ok) return false;
      lstrcpynA(record.lpstrFile, c.Chosen, int(record.nMaxFile));
      record.nFilterIndex = DWORD(c.ChosenIndex);
      return true;
    });
    const bool result = dialog->Execute();
    classlib::testing::SetCommonDialogHook(nullptr);
    EXPECT_EQ(result, c.Ok);
    EXPECT_EQ(shown, c.WantIndexShown);
    EXPECT_EQ(dialog->GetFileName(), c.WantFileName);
    EXPECT_EQ(dialog->GetFilterIndex(), c.WantFilterIndex);
  }
}

TEST_F(FileDialogs, OpenExecuteRebuildsTheFilterOnlyWithTheDefaultFilter) {
  const std::string own = "Billedfiler|*.bmp|Alle filer|*.*";
  for (bool useDefault : {true, false}) {
    TOwned<TTestOpenDialog> dialog(New<TTestOpenDialog>(nullptr));
    const std::string built = dialog->GetFilter();
    dialog->SetUseDefaultFilter(useDefault);
    dialog->SetFilter(own);
    std::string seen;
    classlib::testing::SetCommonDialogHook([&](TCommonDialog&, void* Record) {
      const char* list = static_cast<OPENFILENAMEA*>(Record)->lpstrFilter;
      for (const char* p = list; *p; p += strlen(p) + 1) seen += std::string(p) + "|";
      return false;
    });
    EXPECT_FALSE(dialog->Execute());
    classlib::testing::SetCommonDialogHook(nullptr);
    EXPECT_EQ(seen, (useDefault ? built : own) + "|") << "the list the dialog gets";
    EXPECT_EQ(dialog->GetFileName(), "") << "the open dialog adds no extension";
  }
}

TEST_F(FileDialogs, SaveDialogKeepsTheExtensionInStepWithTheChosenType) {
  ASSERT_TRUE(classlib::CreateDir(File("mappe")));
  TOwned<TTestSaveDialog> dialog(New<TTestSaveDialog>(nullptr));
  auto entry = [&](const std::string& Ext) {
    for (int k = 1; k <= dialog->FilterCount(); ++k)
      if (dialog->FilterExtension(k) == Ext) return k;
    ADD_FAILURE() << "no entry for " << Ext;
    return 1;
  };
  dialog->SetInitialDir(Dir.Path());
  dialog->SetFileName("pic.bmp");
  auto window = [&] { return dialog->GetDialogWindow(); };
  // Types the name, chooses the type and expects the name the dialog then shows.
  auto typeChange = [&](const std::string& Typed, const std::string& Ext, const std::string& Shown) {
    SetDlgItemTextA(window(), edt1, Typed.c_str());
    ChooseFileType(window(), entry(Ext));
    const std::string text = FileNameText(window());
    EXPECT_TRUE(text.size() >= Shown.size() && text.compare(text.size() - Shown.size(), Shown.size(), Shown) == 0)
        << "\"" << Typed << "\" as " << Ext << " shows \"" << text << "\"";
    return true;
  };
  std::string inFolder;
  DialogScript script(window);
  script.Then("the dialog shows the name", [&] { return window() && FileNameText(window()) == "pic.bmp"; })
      .Then("a name in the current folder", [&] { return typeChange("pic.bmp", "png", "pic.png"); })
      .Then("it stays a bare name", [&] {
        EXPECT_EQ(FileNameText(window()), "pic.png");
        return true;
      })
      .Then("a name in another folder keeps its folder", [&] {
        typeChange("mappe\\pic.png", "jpg", "\\mappe\\pic.jpg");
        inFolder = FileNameText(window());
        EXPECT_GT(inFolder.size(), std::string("\\mappe\\pic.jpg").size()) << "the whole path";
        return true;
      })
      .Then("a name without extension gets one", [&] { return typeChange("neu", "bmp", "neu.bmp"); })
      .Then("a folder is left alone", [&] {
        typeChange("mappe", "png", "mappe");
        EXPECT_EQ(FileNameText(window()), "mappe");
        return PostMessageA(window(), WM_COMMAND, IDCANCEL, 0) != 0;
      });
  bool ok = true;
  EXPECT_TRUE(script.Run([&] { ok = dialog->Execute(); }));
  EXPECT_FALSE(ok);
  EXPECT_EQ(dialog->GetFileName(), "pic.bmp") << "Cancel keeps the name, which has an extension";
}

TEST_F(FileDialogs, DamagedAndSlowFilesNeverHoldUpTheDialog) {
  SavePicture(TwoHalves(16, 10), File("små.bmp"));
  SavePicture(Gradient(300, 120), File("whole.bmp"));
  auto* slow = New<SlowReader>();
  formattest::ScopedFormatLists lists({New<TBMPFileFormatReader>(), slow}, {});
  WriteAll(File("skadet.bmp"), ReadAll(File("whole.bmp")).substr(0, 2000));
  WriteAll(File("talk.slw"), "SLOWT");
  WriteAll(File("quiet.slw"), "SLOWQ");
  // What the info panel must say about the damaged file: what its reader says.
  std::string why;
  try {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->SetReadWarningAction(pgwaIgnore);
    p->LoadFromFile(File("skadet.bmp"));
  } catch (const std::exception& Error) {
    why = Error.what();
  }
  ASSERT_FALSE(why.empty()) << "the damaged file must not load";

  TOwned<TTestOpenDialog> dialog(New<TTestOpenDialog>(nullptr));
  dialog->SetInitialDir(Dir.Path());
  dialog->SetFilterIndex(3);  // All files: the slow files are not listed
  dialog->SetProgressClockBkColor(clRed);
  auto window = [&] { return dialog->GetDialogWindow(); };
  auto showsSmall = [&] { return dialog->GetPreviewGraphic() && dialog->GetPreviewGraphic()->GetWidth() == 16; };
  DWORD waitFrom = 0;
  DialogScript script(window);
  script.Then("select the damaged file", [&] { return SelectInList(window(), "skadet.bmp"); })
      .Then("the info panel says why", [&] {
        const std::vector<std::string> lines = dialog->InfoLines();
        return Settled(*dialog) && !lines.empty() && lines.back() == why;
      })
      .Then("with no preview", [&] {
        EXPECT_EQ(dialog->GetPreviewGraphic(), nullptr);
        EXPECT_EQ(dialog->InfoLines().front(), "Bitmap");
        return true;
      })
      .Then("select a slow file that reports progress", [&] { return SelectInList(window(), "talk.slw"); })
      .Then("the progress clock turns", [&] { return CountColour(dialog->GetPreviewWindow(), 0x0000FF) > 40; })
      .Then("move on", [&] { return SelectInList(window(), "små.bmp"); })
      .Then("the next preview comes", showsSmall)
      .Then("select a slow file that keeps quiet", [&] { return SelectInList(window(), "quiet.slw"); })
      .Then("it is being read", [&] { return slow->Entered == 2; })
      .Then("move on", [&] {
        waitFrom = GetTickCount();
        return SelectInList(window(), "små.bmp");
      })
      .Then("the dialog goes on answering meanwhile", [&] {
        EXPECT_EQ(dialog->GetPreviewGraphic(), nullptr);
        return GetTickCount() - waitFrom > 400;
      })
      .Then("the reader lets go", [&] {
        slow->Released = true;
        return true;
      })
      .Then("the next preview comes", showsSmall)
      .Then("close", [&] { return PostMessageA(window(), WM_COMMAND, IDCANCEL, 0) != 0; });
  EXPECT_TRUE(script.Run([&] { dialog->Execute(); }));
  slow->Released = true;
}

TEST(FileDialogTexts, FirstOfSeveralSelectedAndTheSizeLine) {
  struct Path {
    std::string Given, Want;
  } paths[] = {
      {"C:\\Billeder\\\"a.bmp\" \"b.bmp\"", "C:\\Billeder\\a.bmp"},
      {"C:\\Billeder\\\"a b.bmp\" \"c.bmp\" \"d.bmp\"", "C:\\Billeder\\a b.bmp"},
      {"C:\\Billeder\\én fil.bmp", "C:\\Billeder\\én fil.bmp"},
      {"", ""},
  };
  for (const Path& p : paths) EXPECT_EQ(FirstSelectedPath(p.Given), p.Want) << p.Given;
  EXPECT_EQ(PreviewInfoSizeLine(640, 480, "256", 8, 1), "640x480x256 8 bit");
  EXPECT_EQ(PreviewInfoSizeLine(20, 10, "16.7M", 24, 0), "20x10x16.7M 24 bit");
  EXPECT_EQ(PreviewInfoSizeLine(20, 10, "2", 1, 3), "20x10x2 1 bit, 3") << "the number of images when several";
}

TEST_F(FileDialogs, PathsLongerThanTheShortBuffersArePreviewed) {
  // The folder and name together take the path past 255 characters, to the longest the ANSI file
  // functions take (MAX_PATH with its NUL).
  const std::string folder = File(std::string(60, 'm') + "æ");
  ASSERT_TRUE(classlib::CreateDir(folder));
  const std::string name = std::string(MAX_PATH - 1 - folder.size() - 1 - 5, 'b') + "ø.bmp";
  SavePicture(TwoHalves(16, 10), folder + "\\" + name);
  ASSERT_EQ(folder.size() + 1 + name.size(), size_t(MAX_PATH - 1));
  TOwned<TTestOpenDialog> dialog(New<TTestOpenDialog>(nullptr));
  dialog->SetInitialDir(folder);
  auto window = [&] { return dialog->GetDialogWindow(); };
  DialogScript script(window);
  script.Then("select the file", [&] { return SelectInList(window(), name); })
      .Then("its preview and info", [&] { return dialog->GetPreviewGraphic() != nullptr && dialog->GetInfoValid(); })
      .Then("close", [&] { return PostMessageA(window(), WM_COMMAND, IDCANCEL, 0) != 0; });
  EXPECT_TRUE(script.Run([&] { dialog->Execute(); }));
  EXPECT_EQ(dialog->GetPreviewGraphic(), nullptr);
}
