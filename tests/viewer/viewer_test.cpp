// Fenlo's main window made in this process: its menu as a user reads it, and its start-up with
// the picture folder made, found, or impossible to make.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "classlib/application.h"
#include "classlib/files.h"
#include "classlib/printer.h"
#include "classlib/testing.h"
#include "tests/test_support.h"
#include "viewer/Unit1.h"
#include "viewer/Unit3.h"

using namespace classlib;
using namespace fenlo;

namespace {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    WorkingDir = GetCurrentDir();
    classlib::testing::SetExeDir(Folder.Path());
  }
  void TearDown() override {
    Free(Form);
    SetCurrentDir(WorkingDir);
    classlib::testing::SetExeDir("");
  }
  void Create() { Form = New<TForm1>(Application); }

  testsupport::TempDir Folder;
  std::string WorkingDir;
  TForm1* Form = nullptr;
};

TEST_F(MainWindow, MenuCaptionsInOrder) {
  Create();
  struct Expected {
    const char* Top;
    std::vector<std::string> Items;
  };
  const Expected menus[] = {{"Filer", {"Åben", "-", "Gem Som", "-", "EXIT"}},
                            {"Billedstørrelse", {"FULD", "TILPAS"}},
                            {"Editer", {"Kopier", "Sæt Ind"}},
                            {"Gråtoner", {}},
                            {"Juster", {"Gør Skarpere", "Gør Blødere", "Lys Kontrast Gamma", "RGB"}},
                            {"About", {}}};
  TMenuItem* bar = Form->MainMenu1->GetItems();
  ASSERT_EQ(bar->GetCount(), int(std::size(menus)));
  for (int i = 0; i < bar->GetCount(); ++i) {
    EXPECT_EQ(bar->GetItem(i)->GetCaption(), menus[i].Top);
    std::vector<std::string> items;
    for (int j = 0; j < bar->GetItem(i)->GetCount(); ++j) items.push_back(bar->GetItem(i)->GetItem(j)->GetCaption());
    EXPECT_EQ(items, menus[i].Items) << menus[i].Top;
  }
  // The commands answer through the window's menu bar.
  HMENU handle = GetMenu(Form->GetHandle());
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(GetSubMenu(handle, 3), nullptr) << "Gråtoner is a command of the bar";
  EXPECT_EQ(GetSubMenu(handle, 5), nullptr) << "About is a command of the bar";
  EXPECT_EQ(Form->GetCaption(), std::string(kStartVersion) + kPictureFileLabel);
}

TEST_F(MainWindow, StartUpPointsTheDialogsAndTheCurrentFolderAtBilleder) {
  for (bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "folder there" : "folder made");
    if (existing) CreateDir(Folder.File("Billeder"));
    Create();
    const std::string pictures = Folder.Path() + "\\Billeder";
    EXPECT_TRUE(DirectoryExists(pictures));
    EXPECT_EQ(Form->PGOpenDialog1->GetInitialDir(), pictures);
    EXPECT_EQ(Form->PGSaveDialog1->GetInitialDir(), pictures);
    EXPECT_EQ(std::filesystem::equivalent(GetCurrentDir(), pictures), true);
    EXPECT_EQ(Form->PGOpenDialog1->GetFileName(), "");
    FreeAndNil(Form);
    SetCurrentDir(WorkingDir);
    std::filesystem::remove_all(pictures);
  }
}

TEST_F(MainWindow, AFolderThatCannotBeMadeIsReportedAndTheWindowStillComes) {
  // A file where the folder should be.
  std::ofstream(Folder.File("Billeder")) << "x";
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text.rfind("I/O error ", 0), 0u) << boxes.Calls[0].Text;
  ASSERT_NE(Form, nullptr);
  EXPECT_NE(Form->GetHandle(), nullptr);
  EXPECT_EQ(Form->PGOpenDialog1->GetInitialDir(), "");
}

TEST_F(MainWindow, ProgressShowsAPercentageAtMostEvery50Milliseconds) {
  Create();
  DWORD now = 1000;
  classlib::testing::SetTickSource([&] { return now; });
  auto text = [&] { return Form->StatusBar1->GetPanels()->GetItem(0)->GetText(); };
  bool abort = false;
  Form->PGImage1PixelGraphicProgressStart(nullptr);
  const struct {
    DWORD At;
    int Step, Max;
    const char* Shown;
  } calls[] = {{1000, 3, 7, "42%"}, {1040, 5, 7, "42%"}, {1051, 6, 7, "85%"}, {1200, 1, 0, "85%"}, {1300, 7, 7, "100%"}};
  for (const auto& c : calls) {
    now = c.At;
    Form->PGImage1PixelGraphicProgress(nullptr, c.Step, c.Max, abort);
    EXPECT_EQ(text(), c.Shown) << c.At;
  }
  EXPECT_FALSE(abort);
  Form->PGImage1PixelGraphicProgressEnd(nullptr);
  EXPECT_EQ(text(), "");
  classlib::testing::SetTickSource(nullptr);
}

// Each command with its dialog answered OK: the picture shown is the library's filter applied to
// the picture before; the point filters keep the picture object, sharpen and smooth replace it.
TEST_F(MainWindow, FilterCommandsApplyTheirDialogsFilterToThePictureShown) {
  Create();
  const struct {
    const char* Name;
    void (TForm1::*Command)(TObject*);
    std::function<TPGFilter*(TForm1&)> Filter;
    bool InPlace;
  } commands[] = {
      {"Gråtoner", &TForm1::Gratoner1Click, [](TForm1& f) { return f.GrayScaleFilterDialog1->GetFilter(); }, true},
      {"Gør Skarpere", &TForm1::GrSkarpere1Click, [](TForm1& f) { return f.SharpenFilterDialog1->GetFilter(); }, false},
      {"Gør Blødere", &TForm1::GrBldere1Click, [](TForm1& f) { return f.SmoothFilterDialog1->GetFilter(); }, false},
      {"Lys Kontrast Gamma", &TForm1::LysKontrastGamma1Click, [](TForm1& f) { return f.BCGFilterDialog1->GetFilter(); },
       true},
      {"RGB", &TForm1::RGB1Click, [](TForm1& f) { return f.RGBFilterDialog1->GetFilter(); }, true},
  };
  Form->BCGFilterDialog1->SetBrightness(20);
  Form->RGBFilterDialog1->SetBlue(-30);
  // Without an open picture nothing happens, not even a dialog.
  int dialogs = 0;
  classlib::testing::SetModalFormHook([&](TForm& F) {
    ++dialogs;
    F.SetModalResult(mrOk);
  });
  for (const auto& c : commands) (Form->*c.Command)(nullptr);
  EXPECT_EQ(dialogs, 0);
  EXPECT_EQ(Form->PGImage1->GetPixelGraphic(), nullptr);

  auto* picture = New<TPixelGraphic>();
  picture->NewImage(40, 30, 3);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) picture->SetPixel(x, y, MakeRGB(x * 6, y * 8, (x * y) & 255));
  Form->PGImage1->SetPixelGraphic(picture);
  Form->PGOpenDialog1->SetFileName("billede.bmp");
  for (const auto& c : commands) {
    SCOPED_TRACE(c.Name);
    TPixelGraphic* before = Form->PGImage1->GetPixelGraphic();
    auto expected = std::unique_ptr<TPixelGraphic, FreeDeleter>(New<TPixelGraphic>());
    expected->ApplyFilter(c.Filter(*Form), before);
    (Form->*c.Command)(nullptr);
    TPixelGraphic* after = Form->PGImage1->GetPixelGraphic();
    EXPECT_EQ(after == before, c.InPlace);
    int differing = 0;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) differing += after->GetPixel(x, y) != expected->GetPixel(x, y);
    EXPECT_EQ(differing, 0);
  }
  EXPECT_EQ(dialogs, 5);
  EXPECT_EQ(Form->StatusBar1->GetPanels()->GetItem(0)->GetText(), "");
  classlib::testing::SetModalFormHook(nullptr);
}

// ---- the warning's Print

class Warning : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = New<TForm3>(Application);
    // OK in the print dialog, on the printer it offers first.
    classlib::testing::SetCommonDialogHook([this](TCommonDialog&, void*) {
      ++Dialogs;
      return true;
    });
  }
  void TearDown() override {
    classlib::testing::SetCommonDialogHook(nullptr);
    classlib::testing::SetPrinterDCFactory(nullptr, nullptr);
    Free(Form);
  }
  TForm3* Form = nullptr;
  int Dialogs = 0;
};

// Collects the text of a metafile's text records (a callback in the platform's convention).
int CALLBACK CollectText(HDC, HANDLETABLE*, const ENHMETARECORD* Record, int, LPARAM Param) {
  if (Record->iType == EMR_EXTTEXTOUTW) {
    auto* r = reinterpret_cast<const EMREXTTEXTOUTW*>(Record);
    const auto* chars = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(r) + r->emrtext.offString);
    char line[512] = {};
    WideCharToMultiByte(CP_ACP, 0, chars, int(r->emrtext.nChars), line, sizeof(line) - 1, nullptr, nullptr);
    *reinterpret_cast<std::string*>(Param) += line;
  }
  return 1;
}

// The text of every text record of a metafile, in order.
std::string MetafileText(HENHMETAFILE Metafile) {
  std::string text;
  EnumEnhMetaFile(nullptr, Metafile, CollectText, &text, nullptr);
  return text;
}

TEST_F(Warning, PrintWritesEveryLineOnThePage) {
  std::string printed;
  classlib::testing::SetPrinterDCFactory([] { return CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr); },
                                         [&](HDC DC) {
                                           HENHMETAFILE metafile = CloseEnhMetaFile(DC);
                                           printed = MetafileText(metafile);
                                           DeleteEnhMetaFile(metafile);
                                         });
  Form->Button2Click(Form->Button2);
  EXPECT_EQ(Dialogs, 1);
  EXPECT_FALSE(Printer()->GetPrinting());
  std::erase(printed, ' ');
  for (const char* line : kWarningLines) {
    std::string words = line;
    std::erase(words, ' ');
    EXPECT_NE(printed.find(words), std::string::npos) << words << " in " << printed;
  }
}

// Run by print_pdf.sh, which starts the PDF printer and reads the page it prints.
TEST_F(Warning, PrintsOnTheSystemPrinter) {
  if (!getenv("FENLO_PRINT_PDF")) GTEST_SKIP() << "print_pdf.sh runs this against a PDF printer";
  Form->Button2Click(Form->Button2);
  EXPECT_FALSE(Printer()->GetPrinting());
}

}  // namespace
