// The drawing window's start-up: the settings dialog over the "cfg" folder, "default.cfg", every
// key with and without its value line, the switches, the painter look-up, and damaged files.
// The program's folder is a fresh one per test; the parameters are handed over in code.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/testing.h"
#include "drawing/DrawWin.h"
#include "tests/test_support.h"

using namespace classlib;
using namespace skadra;

namespace {

class Start : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    skadra::testing::SetExeDir(Folder.Path());
    CreateDir(Folder.File("cfg"));
    StartParameters.clear();
    PainterPath = "mspaint.exe";
    classlib::testing::SetCommonDialogHook([this](TCommonDialog& Dialog, void* Record) {
      auto* r = static_cast<OPENFILENAMEA*>(Record);
      ++DialogCalls;
      DialogSeen = &Dialog;
      DialogSize = r->lStructSize;
      DialogOwner = r->hwndOwner;
      DialogFolder = r->lpstrInitialDir ? r->lpstrInitialDir : "";
      DialogTitle = r->lpstrTitle ? r->lpstrTitle : "";
      DialogFilter = r->lpstrFilter ? std::string(r->lpstrFilter, 21) : "";
      if (Chosen.empty()) return false;
      lstrcpynA(r->lpstrFile, Chosen.c_str(), int(r->nMaxFile));
      return true;
    });
  }
  void TearDown() override {
    classlib::testing::SetCommonDialogHook(nullptr);
    Free(Form);
    skadra::testing::SetExeDir("");
    StartParameters.clear();
  }

  void Write(const std::string& Name, const std::string& Text) {
    std::ofstream(Folder.File(Name), std::ios::binary) << Text;
  }
  // The window is made as the program makes it: its start-up runs on creation.
  void Create() { Form = New<TForm1>(Application); }
  // A window whose start-up applied nothing: no parameters, the dialog cancelled and an empty
  // default file.
  void CreatePlain() {
    Write("default.cfg", "");
    Create();
  }
  void Apply(const std::string& Text) {
    Form->SettingsLines.SetTextStr(Text);
    Form->ApplySettings();
  }

  TBitmap* Bitmap() { return Form->Image1->GetPicture()->GetBitmap(); }
  bool Black(int X, int Y) {
    const uint8_t* p = Bitmap()->GetScanLine(Y) + 3 * X;
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
  }
  int BlackPixels() {
    int n = 0;
    for (int y = 0; y < Bitmap()->GetHeight(); ++y)
      for (int x = 0; x < Bitmap()->GetWidth(); ++x) n += Black(x, y);
    return n;
  }
  // The picture white again, its size kept.
  void Whiten() {
    int w = Bitmap()->GetWidth(), h = Bitmap()->GetHeight();
    Bitmap()->SetSize(0, 0);
    Bitmap()->SetSize(w, h);
  }
  // Which grid is drawn, told by three points: (40, 20) belongs to every grid, (74, 40) only to
  // size 2, (108, 60) to sizes 2 and 4, (142, 80) to 2 and 6.
  int GridDrawn() {
    if (!Black(40, 20)) return 0;
    if (Black(74, 40)) return 2;
    if (Black(108, 60)) return 4;
    if (Black(142, 80)) return 6;
    return -1;
  }

  // The enabled states of everything the settings and switches reach, in a fixed order.
  std::vector<bool> Enabled() {
    return {Form->SKJUL1->GetEnabled(),          Form->LineButton->GetEnabled(),
            Form->PenButton->GetEnabled(),       Form->RectangleButton->GetEnabled(),
            Form->EllipseButton->GetEnabled(),   Form->RoundRectButton->GetEnabled(),
            Form->BrushButton->GetEnabled(),     Form->STARTTEKSTBEHANDLER1->GetEnabled(),
            Form->STARTMALEREN1->GetEnabled()};
  }
  static std::vector<bool> AllBut(std::initializer_list<int> Off) {
    std::vector<bool> states(9, true);
    for (int i : Off) states[size_t(i)] = false;
    return states;
  }
  void EnableAll() {
    Form->SKJUL1->SetEnabled(true);
    for (TSpeedButton* b : {Form->LineButton, Form->PenButton, Form->RectangleButton, Form->EllipseButton,
                            Form->RoundRectButton, Form->BrushButton})
      b->SetEnabled(true);
    Form->STARTTEKSTBEHANDLER1->SetEnabled(true);
    Form->STARTMALEREN1->SetEnabled(true);
  }
  enum { kSkjul, kLine, kPen, kRect, kEllipse, kRoundRect, kBrush, kTekster, kMaler };

  testsupport::TempDir Folder;
  TForm1* Form = nullptr;
  std::string Chosen;  // the dialog's answer; empty: cancelled
  int DialogCalls = 0;
  TCommonDialog* DialogSeen = nullptr;
  DWORD DialogSize = 0;
  HWND DialogOwner = reinterpret_cast<HWND>(-1);
  std::string DialogFolder, DialogTitle, DialogFilter;
};

}  // namespace

// ---- the start without parameters

TEST_F(Start, OffersTheCfgFolderAndAppliesTheChosenFileOnly) {
  Write("default.cfg", "[SIZE]\r\n6\r\n[BLYANT]\r\nGEM\r\n");
  Write("cfg\\valg.cfg", "[SIZE]\r\n4\r\n[LINIE]\r\nGEM\r\n");
  Chosen = Folder.File("cfg\\valg.cfg");
  Create();
  ASSERT_EQ(DialogCalls, 1);
  EXPECT_EQ(DialogSeen, Form->OpenDialog2);
  EXPECT_EQ(DialogFolder, Folder.Path() + "\\cfg");
  EXPECT_EQ(DialogTitle, " Vælg Indstillinger for start af TRIVANE v. 1.0");
  EXPECT_EQ(DialogFilter, std::string("Indstillinger\0*.cfg\0\0", 21));
  EXPECT_EQ(DialogSize, DWORD(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_EQ(DialogOwner, nullptr) << "no window is shown yet";

  EXPECT_EQ(GridSize, 4);
  EXPECT_EQ(GridDrawn(), 4);
  EXPECT_EQ(Enabled(), AllBut({kLine}));
  // The long line switched off is no longer the tool: the short N-S line is.
  EXPECT_TRUE(Form->SpeedButton1->GetDown());
  EXPECT_EQ(Form->ToolKind, tkShortNS);
  EXPECT_EQ(Form->SettingsLines.GetCount(), 4);
}

TEST_F(Start, CancelledDialogFallsBackToDefaultCfg) {
  Write("default.cfg", "[BLYANT]\r\nGEM\r\n[SIZE]\r\n6\r\n");
  Write("cfg\\andet.cfg", "[SIZE]\r\n4\r\n");
  Create();
  EXPECT_EQ(DialogCalls, 1);
  EXPECT_EQ(GridSize, 6);
  EXPECT_EQ(GridDrawn(), 6);
  EXPECT_EQ(Enabled(), AllBut({kPen}));
  EXPECT_EQ(Bitmap()->GetWidth(), 780);
  EXPECT_EQ(Bitmap()->GetHeight(), 1200);
  // The grid, drawn twice in copy mode, is the one grid: 2 x 2 black pixels a dot.
  int dots = 0;
  for (int m = 0; 20 + 60 * m <= 1200; ++m)
    for (int k = m % 2; 40 + 102 * k <= 780; k += 2) dots += 20 + 60 * m < 1200 ? 4 : 2;
  EXPECT_EQ(BlackPixels(), dots);
}

TEST_F(Start, PictureFolderIsMadeBesideTheProgramForTheFileDialogs) {
  CreatePlain();
  std::string pictures = Folder.Path() + "\\billeder";
  EXPECT_TRUE(DirectoryExists(pictures));
  EXPECT_EQ(Form->OpenDialog1->GetInitialDir(), pictures);
  EXPECT_EQ(Form->SaveDialog1->GetInitialDir(), pictures);
  Free(Form);
  // A folder that is there is kept as it is.
  Write("billeder\\tegning.bmp", "x");
  Create();
  EXPECT_TRUE(FileExists(Folder.File("billeder\\tegning.bmp")));
  EXPECT_EQ(GridDrawn(), 2);
}

TEST_F(Start, PictureFolderThatCannotBeMadeEndsTheStartUp) {
  Write("billeder", "a file in the folder's place");
  Write("default.cfg", "[SIZE]\r\n4\r\n");
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, TMessageBoxKind::Exception);
  EXPECT_EQ(boxes.Calls[0].Text.rfind("I/O error ", 0), 0u) << boxes.Calls[0].Text;
  EXPECT_EQ(DialogCalls, 0);
  // The window is there and draws: grid size 2, a picture of the control's size made on demand.
  EXPECT_EQ(GridSize, 2);
  Form->GentegnNet1Click(nullptr);
  EXPECT_EQ(Bitmap()->GetWidth(), 780);
  EXPECT_EQ(GridDrawn(), 2);
}

// ---- the keys

TEST_F(Start, ShowAndHideKeysSwitchTheirControls) {
  CreatePlain();
  struct Case {
    const char* Key;
    std::initializer_list<int> Controls;
  } cases[] = {{"[SKJUL]", {kSkjul}},
               {"[LINIE]", {kLine}},
               {"[BLYANT]", {kPen}},
               {"[De 4]", {kRect, kEllipse, kRoundRect, kBrush}}};
  for (const Case& c : cases) {
    std::string key = c.Key;
    Form->ToolKind = tkLongLine;
    Form->LineButton->SetDown(true);
    Apply(key + "\r\nGEM");
    EXPECT_EQ(Enabled(), AllBut(c.Controls)) << key;
    // The long line switched off is no longer the tool; the short N-S line is.
    const bool line = key == "[LINIE]";
    EXPECT_EQ(Form->ToolKind, line ? tkShortNS : tkLongLine) << key;
    EXPECT_EQ(Form->SpeedButton1->GetDown(), line) << key;
    for (const char* other : {"vis", "VIS ", " VIS", "JA", ""}) {
      Apply(key + "\r\n" + other);
      EXPECT_EQ(Enabled(), AllBut(c.Controls)) << key << " '" << other << "' changes nothing";
    }
    Apply(key);  // the last line: an empty value
    EXPECT_EQ(Enabled(), AllBut(c.Controls)) << key;
    Apply(key + "\r\nVIS");
    EXPECT_EQ(Enabled(), AllBut({})) << key;
    Apply(key + "\r\nGEM");
    Apply(key + "\r\ngem");
    EXPECT_EQ(Enabled(), AllBut(c.Controls)) << key;
    EnableAll();
  }
}

TEST_F(Start, GridSizeKeyTakesTwoFourOrSixAndRedrawsTheGrid) {
  CreatePlain();
  struct Case {
    const char* Value;
    int Size;
  } cases[] = {{"4", 4}, {"6", 6}, {"2", 2}, {" 4", 4}, {"+6", 6}, {"3", 2},
               {"5", 2}, {"0", 2}, {"-4", 2}, {"8", 2}, {"40", 2}};
  for (const Case& c : cases) {
    testsupport::ScopedValue grid(GridSize, 2);
    Whiten();
    Apply(std::string("[SIZE]\r\n") + c.Value);
    EXPECT_EQ(GridSize, c.Size) << c.Value;
    EXPECT_EQ(GridDrawn(), c.Size) << c.Value;
  }
}

TEST_F(Start, PictureSizeKeysResizeThePictureButNotTheControl) {
  CreatePlain();
  Apply("[HOJDE]\r\n300\r\n[BREDDE]\r\n400");
  EXPECT_EQ(Bitmap()->GetWidth(), 400);
  EXPECT_EQ(Bitmap()->GetHeight(), 300);
  EXPECT_EQ(Form->Image1->GetWidth(), 780);
  EXPECT_EQ(Form->Image1->GetHeight(), 1200);
  EXPECT_EQ(GridDrawn(), 2);
  for (const char* ignored : {"[HOJDE]\r\n0", "[BREDDE]\r\n0", "[HOJDE]\r\n-300", "[BREDDE]\r\n-1"}) {
    Apply(ignored);
    EXPECT_EQ(Bitmap()->GetWidth(), 400) << ignored;
    EXPECT_EQ(Bitmap()->GetHeight(), 300) << ignored;
  }
  // Growing keeps the old pixels and adds white.
  Apply("[BREDDE]\r\n900");
  EXPECT_EQ(Bitmap()->GetWidth(), 900);
  EXPECT_TRUE(Black(40, 20));
  EXPECT_FALSE(Black(890, 10));
  EXPECT_EQ(Form->PictureFileName, "");
}

TEST_F(Start, PainterAndWordProcessorKeys) {
  CreatePlain();
  // A long path stays one line: nothing wraps it.
  const std::string painter = "C:\\Programmer\\Tegneprogrammer\\Maleren\\maler.exe";
  Apply("[MALER]\r\n" + painter);
  EXPECT_EQ(PainterPath, painter);
  EXPECT_EQ(Enabled(), AllBut({}));
  Apply("[MALER]\r\nNEJ");
  EXPECT_EQ(PainterPath, "NEJ");
  EXPECT_EQ(Enabled(), AllBut({kMaler}));
  Apply("[MALER]\r\nnej");
  EXPECT_EQ(PainterPath, "nej");
  EXPECT_EQ(Enabled(), AllBut({}));
  Apply("[MALER]\r\nNEJ\r\n[MALER]");
  EXPECT_EQ(PainterPath, "") << "a key on the last line has an empty value";
  EXPECT_EQ(Enabled(), AllBut({}));

  Apply("[TEKSTER]\r\nNEJ");
  EXPECT_EQ(Enabled(), AllBut({kTekster}));
  Apply("[TEKSTER]\r\nJA");
  EXPECT_EQ(Enabled(), AllBut({}));
  Apply("[TEKSTER]\r\nNEJ\r\n[TEKSTER]");
  EXPECT_EQ(Enabled(), AllBut({}));
}

// ---- the grammar

TEST_F(Start, KeysAreWholeExactLinesSplitAtEveryLineBreak) {
  CreatePlain();
  for (const char* breakText : {"\r\n", "\n", "\r"}) {
    std::string br = breakText;
    Apply("[SIZE]" + br + "2" + br + "[LINIE]" + br + "VIS");
    Apply("Mine indstillinger" + br + "[SIZE]" + br + "4" + br + "[LINIE]" + br + "GEM" + br);
    EXPECT_EQ(GridSize, 4) << testsupport::Escaped(br);
    EXPECT_EQ(Enabled(), AllBut({kLine})) << testsupport::Escaped(br);
  }
  EnableAll();
  for (const char* notKey : {"[skjul]", " [SKJUL]", "[SKJUL] ", "[SKJUL]\t", "SKJUL", "[De4]", "[DE 4]",
                             "\xEF\xBB\xBF[SKJUL]"}) {
    Apply(std::string(notKey) + "\r\nGEM");
    EXPECT_EQ(Enabled(), AllBut({})) << testsupport::Escaped(notKey);
  }
}

TEST_F(Start, ValueLinesAreKeysTooAndLaterKeysWin) {
  CreatePlain();
  Apply("[MALER]\r\n[SIZE]\r\n4");
  EXPECT_EQ(PainterPath, "[SIZE]");
  EXPECT_EQ(GridSize, 4);
  Apply("[SIZE]\r\n4\r\n[SIZE]\r\n6");
  EXPECT_EQ(GridSize, 6);
  Apply("[LINIE]\r\nGEM\r\n[LINIE]\r\nVIS");
  EXPECT_TRUE(Form->LineButton->GetEnabled());
  Apply("[LINIE]\r\n[LINIE]\r\nGEM");
  EXPECT_FALSE(Form->LineButton->GetEnabled());
  // Lines that are no key, and values without a key before them, are passed over.
  EnableAll();
  Apply("GEM\r\n\r\nNEJ\r\n4\r\n[SIZE]x\r\n");
  EXPECT_EQ(Enabled(), AllBut({}));
  EXPECT_EQ(GridSize, 6);
}

// ---- damaged files

TEST_F(Start, BadNumbersRaiseTheConversionErrorAndStopTheLines) {
  CreatePlain();
  struct Case {
    const char* Text;
    const char* Value;
  } cases[] = {{"[SIZE]\r\n4 ", "4 "},
               {"[SIZE]\r\nfire", "fire"},
               {"[SIZE]", ""},
               {"[SIZE]\r\n\r\n4", ""},
               {"[HOJDE]\r\n1e3", "1e3"},
               {"[BREDDE]\r\n99999999999", "99999999999"},
               {"[HOJDE]\r\n300px", "300px"},
               {"[BREDDE]", ""}};
  for (const Case& c : cases) {
    Whiten();
    // A key on the last line has nothing after it; the others are followed by a key to skip.
    std::string text = c.Text;
    if (text.back() != ']') text += "\r\n[LINIE]\r\nGEM";
    Form->SettingsLines.SetTextStr(text);
    try {
      Form->ApplySettings();
      ADD_FAILURE() << "accepted " << testsupport::Escaped(c.Text);
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + c.Value + "' is not a valid integer value");
    }
    EXPECT_TRUE(Form->LineButton->GetEnabled()) << "the lines after the error are not applied";
    EXPECT_EQ(GridDrawn(), 0) << "nor is the grid drawn";
    EXPECT_EQ(Bitmap()->GetWidth(), 780);
    EXPECT_EQ(Bitmap()->GetHeight(), 1200);
  }
}

TEST_F(Start, ErrorInTheFileIsShownAndTheWindowStaysUsable) {
  Write("default.cfg", "[LINIE]\r\nGEM\r\n[SIZE]\r\n4 \r\n[BLYANT]\r\nGEM\r\n");
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Kind, TMessageBoxKind::Exception);
  EXPECT_EQ(boxes.Calls[0].Text, "'4 ' is not a valid integer value.");
  EXPECT_EQ(Enabled(), AllBut({kLine}));
  EXPECT_EQ(GridSize, 2);
  EXPECT_EQ(BlackPixels(), 0) << "the start-up ended before any grid";
  Form->GentegnNet1Click(nullptr);
  EXPECT_EQ(GridDrawn(), 2);
  EXPECT_EQ(boxes.Calls.size(), 1u);
}

TEST_F(Start, HugePictureSizeIsRefusedAndThePictureKept) {
  Write("default.cfg", "[SIZE]\r\n4\r\n[HOJDE]\r\n2000000000\r\n[SKJUL]\r\nGEM\r\n");
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Out of system resources.");
  EXPECT_EQ(Bitmap()->GetWidth(), 780);
  EXPECT_EQ(Bitmap()->GetHeight(), 1200);
  EXPECT_EQ(GridSize, 4);
  EXPECT_EQ(Enabled(), AllBut({})) << "the lines after the error are not applied";
  EXPECT_EQ(BlackPixels(), 0);
  Form->GentegnNet1Click(nullptr);
  EXPECT_EQ(GridDrawn(), 4);

  for (const char* huge : {"[BREDDE]\r\n2147483647", "[BREDDE]\r\n1000000\r\n[HOJDE]\r\n1000000"}) {
    Form->SettingsLines.SetTextStr(huge);
    EXPECT_THROW(Form->ApplySettings(), EOutOfResources) << huge;
    EXPECT_EQ(Bitmap()->GetHeight(), 1200);
  }
}

TEST_F(Start, MissingDefaultFileGivesTheFileError) {
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Cannot open file " + Folder.Path() + "\\default.cfg.");
  EXPECT_EQ(BlackPixels(), 0);
  EXPECT_EQ(Enabled(), AllBut({}));
  Form->GentegnNet1Click(nullptr);
  EXPECT_EQ(GridDrawn(), 2);
}

TEST_F(Start, UnreadableChosenFileGivesTheFileError) {
  Write("default.cfg", "[SIZE]\r\n4\r\n");
  Chosen = Folder.File("cfg");  // a folder, not a file
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "Cannot open file " + Chosen + ".");
  EXPECT_EQ(GridSize, 2) << "no fall-back to the default file";
  EXPECT_EQ(BlackPixels(), 0);
}

// ---- the command line

TEST_F(Start, ParametersReplaceTheSettingsFile) {
  Write("default.cfg", "[BLYANT]\r\nGEM\r\n[SIZE]\r\n6\r\n");
  StartParameters = {"1", "24"};
  Create();
  EXPECT_EQ(DialogCalls, 0);
  EXPECT_EQ(Form->SettingsLines.GetCount(), 0);
  EXPECT_EQ(Enabled(), AllBut({kSkjul, kLine}));
  EXPECT_EQ(Form->ToolKind, tkShortNS);
  EXPECT_TRUE(Form->SpeedButton1->GetDown());
  EXPECT_FALSE(Form->LineButton->GetDown());
  EXPECT_EQ(GridSize, 4);
  EXPECT_EQ(GridDrawn(), 4);
}

TEST_F(Start, AnyParameterAtAllSwitchesSkjulOffAndSkipsTheSettings) {
  Write("default.cfg", "[BLYANT]\r\nGEM\r\n[SIZE]\r\n6\r\n");
  StartParameters = {""};
  Create();
  EXPECT_EQ(DialogCalls, 0);
  EXPECT_EQ(Enabled(), AllBut({kSkjul}));
  EXPECT_EQ(GridDrawn(), 2);
}

TEST_F(Start, EverySwitch) {
  CreatePlain();
  struct Case {
    std::vector<std::string> Parameters;
    std::initializer_list<int> Off;
  } cases[] = {
      {{"2"}, {kSkjul, kPen}},
      {{"3"}, {kSkjul, kRect, kEllipse, kRoundRect, kBrush}},
      {{"4"}, {kSkjul, kTekster}},
      {{"5"}, {kSkjul, kMaler}},
      {{"5", "2", "4"}, {kSkjul, kMaler, kPen, kTekster}},
      {{" 1", "1 ", "01", "2x", "6", "0", "a", ""}, {kSkjul}},
  };
  for (const Case& c : cases) {
    EnableAll();
    Form->ToolKind = tkRectangle;
    Form->ApplyCommandLine(c.Parameters);
    EXPECT_EQ(Enabled(), AllBut(c.Off)) << c.Parameters[0];
    EXPECT_EQ(Form->ToolKind, tkRectangle) << "only switch 1 chooses a tool";
  }
  EnableAll();
  Form->RectangleButton->Click();
  ASSERT_EQ(Form->ToolKind, tkRectangle);
  Form->ApplyCommandLine({"1"});
  EXPECT_EQ(Enabled(), AllBut({kSkjul, kLine}));
  EXPECT_EQ(Form->ToolKind, tkShortNS);
  EXPECT_TRUE(Form->SpeedButton1->GetDown());
  EXPECT_FALSE(Form->RectangleButton->GetDown());
}

TEST_F(Start, GridSizeSwitchesSortBetween21And27) {
  CreatePlain();
  struct Case {
    const char* Parameter;
    int Size;
  } cases[] = {{"22", 2}, {"23", 3}, {"24", 4}, {"25", 5},  {"26", 6}, {"210", 190}, {"2147483647", 2147483627},
               {"21", 0}, {"27", 0}, {"2", 0},  {"3", 0},   {"270", 0}, {"28", 0},   {"12", 0}};
  for (const Case& c : cases) {
    testsupport::ScopedValue grid(GridSize, 0);
    Form->ApplyCommandLine({c.Parameter});
    EXPECT_EQ(GridSize, c.Size) << c.Parameter;
  }
  // A later size wins.
  Form->ApplyCommandLine({"26", "23"});
  EXPECT_EQ(GridSize, 3);

  for (const char* bad : {"21x", "21 ", "2147483648", "26.0", "25x"}) {
    testsupport::ScopedValue grid(GridSize, 2);
    EnableAll();
    try {
      Form->ApplyCommandLine({"3", bad, "2", "25"});
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + bad + "' is not a valid integer value");
    }
    EXPECT_EQ(Enabled(), AllBut({kSkjul, kRect, kEllipse, kRoundRect, kBrush}))
        << bad << ": what came before stays, what comes after is skipped";
    EXPECT_EQ(GridSize, 2) << bad;
  }
}

TEST_F(Start, BadGridSizeParameterIsShownAndEndsTheStartUp) {
  Write("default.cfg", "");
  StartParameters = {"1", "21x", "2"};
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text, "'21x' is not a valid integer value.");
  EXPECT_EQ(Enabled(), AllBut({kSkjul, kLine}));
  EXPECT_EQ(Form->ToolKind, tkShortNS);
  EXPECT_EQ(BlackPixels(), 0);
}

TEST_F(Start, PainterLookUpReadsTheDefaultFileFromItsThirdLine) {
  CreatePlain();
  struct Case {
    const char* DefaultFile;
    const char* Painter;
  } cases[] = {
      {"a\r\nb\r\n[MALER]\r\ntegn.exe\r\n", "tegn.exe"},
      {"[MALER]\r\nfoerste.exe\r\n[MALER]\r\nanden.exe\r\nx\r\n[MALER]\r\ntredje.exe\r\n", "tredje.exe"},
      {"[MALER]\r\nfoerste.exe\r\n", "mspaint.exe"},  // the first two lines are not searched
      {"a\r\n[MALER]\r\nandet.exe\r\n", "mspaint.exe"},
      {"a\r\nb\r\n[MALER]", ""},
      {"a\r\nb\r\nMALER\r\nx.exe\r\n[maler]\r\ny.exe\r\n", "mspaint.exe"},
  };
  for (const Case& c : cases) {
    Write("default.cfg", c.DefaultFile);
    PainterPath = "mspaint.exe";
    Form->ApplyCommandLine({"24"});
    EXPECT_EQ(PainterPath, c.Painter) << testsupport::Escaped(c.DefaultFile);
  }
  // Only the painter is looked up; the other keys of the default file are not applied.
  EnableAll();
  Write("default.cfg", "a\r\nb\r\n[LINIE]\r\nGEM\r\n[SIZE]\r\n6\r\n[MALER]\r\ntegn.exe\r\n");
  PainterPath = "mspaint.exe";
  Form->ApplyCommandLine({"22"});
  EXPECT_EQ(PainterPath, "tegn.exe");
  EXPECT_EQ(GridSize, 2);
  EXPECT_EQ(Enabled(), AllBut({kSkjul}));

  // While the painter menu is off there is no look-up; it runs after each parameter's switch.
  PainterPath = "mspaint.exe";
  Form->STARTMALEREN1->SetEnabled(true);
  Form->ApplyCommandLine({"5", "1"});
  EXPECT_EQ(PainterPath, "mspaint.exe");
  Form->STARTMALEREN1->SetEnabled(true);
  Form->ApplyCommandLine({"1", "5"});
  EXPECT_EQ(PainterPath, "tegn.exe");
}

TEST_F(Start, PainterLookUpWithoutADefaultFileIsSilent) {
  StartParameters = {"2", "24"};
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  EXPECT_TRUE(boxes.Calls.empty());
  EXPECT_EQ(PainterPath, "mspaint.exe");
  EXPECT_EQ(Enabled(), AllBut({kSkjul, kPen}));
  EXPECT_EQ(GridDrawn(), 4) << "the start-up went on to the grid";
}

// ---- the files shipped beside the program

TEST_F(Start, ShippedSettingsFilesDoWhatTheySay) {
  CreatePlain();
  const std::string shipped = SKADRA_SHIPPED_SETTINGS;
  struct Case {
    const char* File;
    std::initializer_list<int> Off;
    int Size, Width, Height;
  } cases[] = {
      {"default.cfg", {}, 2, 780, 1200},
      {"cfg/alt.cfg", {}, 2, 780, 1200},
      {"cfg/begynder.cfg", {kSkjul, kLine, kPen, kRect, kEllipse, kRoundRect, kBrush, kTekster, kMaler}, 4, 780, 1200},
      {"cfg/lille.cfg", {}, 2, 400, 300},
      {"cfg/stort_net.cfg", {kRect, kEllipse, kRoundRect, kBrush}, 6, 780, 1200},
  };
  for (const Case& c : cases) {
    EnableAll();
    testsupport::ScopedValue grid(GridSize, 2);
    Bitmap()->SetSize(780, 1200);
    Form->SettingsLines.LoadFromFile(shipped + "/" + c.File);
    Form->ApplySettings();
    EXPECT_EQ(Enabled(), AllBut(c.Off)) << c.File;
    EXPECT_EQ(GridSize, c.Size) << c.File;
    EXPECT_EQ(Bitmap()->GetWidth(), c.Width) << c.File;
    EXPECT_EQ(Bitmap()->GetHeight(), c.Height) << c.File;
  }
  // The shipped default names the painter where a start with switches looks it up.
  std::filesystem::copy_file(shipped + "/default.cfg", Folder.File("default.cfg"),
                             std::filesystem::copy_options::overwrite_existing);
  PainterPath = "";
  EnableAll();
  Form->ApplyCommandLine({"22"});
  EXPECT_EQ(PainterPath, "mspaint.exe");
}
