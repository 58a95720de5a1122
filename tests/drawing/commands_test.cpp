// The drawing window's commands as a user reaches them through the menus: new pictures with good
// and bad sizes, saving and opening (a failed open never leads to overwriting the file), printing,
// the clipboard (a cut whitens nothing when its copy failed), the hide-tools dialog, the help, the
// splash and the outside programs' command lines.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "classlib/application.h"
#include "classlib/clipboard.h"
#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/printer.h"
#include "classlib/testing.h"
#include "drawing/DrawWin.h"
#include "drawing/NewPicDlg.h"
#include "drawing/Unit2.h"
#include "drawing/Unit3.h"
#include "drawing/Unit4.h"
#include "drawing/Unit5.h"
#include "tests/test_support.h"

using namespace classlib;
using namespace skadra;

namespace {

std::string ReadFile(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class Commands : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    skadra::testing::SetExeDir(Folder.Path());
    StartParameters.clear();
    PainterPath = "mspaint.exe";
    std::ofstream(Folder.File("default.cfg"), std::ios::binary) << "";
    std::filesystem::copy_file(SKADRA_SHIPPED_SETTINGS "\\Help.rtf", Folder.File("Help.rtf"));
    classlib::testing::SetCommonDialogHook([this](TCommonDialog& Dialog, void* Record) {
      Dialogs.push_back(&Dialog);
      if (dynamic_cast<TPrinterSetupDialog*>(&Dialog)) return PrinterAnswer;
      if (dynamic_cast<TOpenDialog*>(&Dialog) && !Answers.empty()) {
        auto* r = static_cast<OPENFILENAMEA*>(Record);
        std::string answer = Answers.front();
        Answers.erase(Answers.begin());
        if (answer.empty()) return false;
        lstrcpynA(r->lpstrFile, answer.c_str(), int(r->nMaxFile));
        return true;
      }
      return false;
    });
    Application->OnException = [this](TObject*, std::exception_ptr e) { Errors.push_back(ExceptionText(e)); };
    Application->CreateForm(Form1);
    Application->CreateForm(NewPictureForm);
    Application->CreateForm(Form2);
    Application->CreateForm(Form4);
    Application->CreateForm(Form5);
    Dialogs.clear();
  }
  void TearDown() override {
    classlib::testing::SetModalFormHook(nullptr);
    classlib::testing::SetCommonDialogHook(nullptr);
    classlib::testing::SetPrinterDCFactory(nullptr, nullptr);
    Application->OnException = nullptr;
    for (TForm** form : {reinterpret_cast<TForm**>(&Form5), reinterpret_cast<TForm**>(&Form4),
                         reinterpret_cast<TForm**>(&Form2), reinterpret_cast<TForm**>(&NewPictureForm),
                         reinterpret_cast<TForm**>(&Form1)})
      FreeAndNil(*form);
    skadra::testing::SetExeDir("");
  }

  TBitmap* Picture() { return Form1->Image1->GetPicture()->GetBitmap(); }
  TCanvas* Canvas() { return Form1->Image1->GetCanvas(); }
  // 0xRRGGBB of a picture pixel.
  uint32_t Pixel(int X, int Y) {
    const uint8_t* p = Picture()->GetScanLine(Y) + 3 * X;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
  }
  // A red block at (100, 100)-(140, 120), where no grid dot is white.
  void DrawMark() {
    Canvas()->GetBrush()->SetColor(clRed);
    Canvas()->FillRect(Rect(100, 100, 140, 120));
    Canvas()->GetBrush()->SetColor(clWhite);
  }
  bool HasMark() {
    return Picture()->GetWidth() >= 140 && Picture()->GetHeight() >= 120 && Pixel(100, 100) == 0xFF0000 &&
           Pixel(139, 119) == 0xFF0000;
  }
  // A menu command as the window gets it from the menu: errors go to the application's handler.
  void Choose(TMenuItem* Item) { SendMessageA(Form1->GetHandle(), WM_COMMAND, MAKEWPARAM(Item->GetCommand(), 0), 0); }
  // Runs "Ny" with the dialog filled in as given; the hook also notes what the dialog showed.
  void NewPicture(const std::string& Width, const std::string& Height, TRadioButton* TNewPictureForm::*Size,
                  int Result = mrOk) {
    classlib::testing::SetModalFormHook([&](TForm& Form) {
      auto& dialog = static_cast<TNewPictureForm&>(Form);
      Shown.Width = dialog.WidthEdit->GetText();
      Shown.Height = dialog.HeightEdit->GetText();
      Shown.Focused = dialog.GetActiveControl() == dialog.WidthEdit;
      Shown.Checked = nullptr;
      for (TRadioButton* r : {dialog.RadioButton1, dialog.RadioButton2, dialog.RadioButton3, dialog.RadioButton4,
                              dialog.RadioButton5})
        if (r->GetChecked()) Shown.Checked = r;
      dialog.WidthEdit->SetText(Width);
      dialog.HeightEdit->SetText(Height);
      (dialog.*Size)->SetChecked(true);
      // The buttons as a user presses them.
      (Result == mrOk ? dialog.OKBtn : dialog.CancelBtn)->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
    });
    Choose(Form1->New1);
  }
  // Waits until the recorder started as Program has written its log; empty after 20 s.
  std::string RecordedStart(const std::string& Program) {
    std::string log = Program + ".log";
    for (int i = 0; i < 400 && !FileExists(log); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    return ReadFile(log);
  }

  testsupport::TempDir Folder;
  std::vector<std::string> Answers;  // the file dialogs' answers in turn; empty text: cancelled
  bool PrinterAnswer = true;
  std::vector<TCommonDialog*> Dialogs;
  std::vector<std::string> Errors;
  struct {
    std::string Width, Height;
    bool Focused = false;
    TRadioButton* Checked = nullptr;
  } Shown;
};

}  // namespace

// ---- the menus

TEST_F(Commands, MenuBarAsTheUserSeesIt) {
  std::vector<std::string> top;
  for (int i = 0; i < Form1->MainMenu1->GetItems()->GetCount(); ++i)
    top.push_back(Form1->MainMenu1->GetItems()->GetItem(i)->GetCaption());
  EXPECT_EQ(top, (std::vector<std::string>{"&Filer", "&Editer", "StregFarve", "Gentegn Net", "Tegneværktøj", "SKJUL",
                                           "START TEKSTBEHANDLER", "START MALEREN", "Hjælp"}));
  struct {
    TMenuItem* Item;
    const char* Text;
  } items[] = {
      {Form1->New1, "&Ny"},           {Form1->Open1, "&Hente billede"},    {Form1->Save1, "&Gemme billede"},
      {Form1->Saveas1, "Gem &Som"},   {Form1->Print1, "&Print"},           {Form1->N1, "-"},
      {Form1->Exit1, "&Afslut"},      {Form1->Cut1, "&Klip\tCtrl+X"},      {Form1->Copy1, "K&opier\tCtrl+C"},
      {Form1->Paste1, "&Sæt Ind\tCtrl+V"}, {Form1->Hjlp2, "Hjælp"},        {Form1->N2, "-"},
      {Form1->About1, "About"},       {Form1->Startdemedbilledet1, "Start den med dette billede"},
      {Form1->StartdenTOM1, "Start den TOM"},
  };
  for (auto& i : items) EXPECT_EQ(i.Item->MenuText(), i.Text) << testsupport::Escaped(i.Text);
  EXPECT_EQ(Form1->Exit1->GetParent(), Form1->Filer1);
  EXPECT_EQ(Form1->About1->GetParent(), Form1->Hjlp1);
  EXPECT_EQ(Form1->OpenDialog1->GetFilter(), "Bitmap files (*.bmp)|*.bmp|All files|*.*");
  EXPECT_EQ(Form1->SaveDialog1->GetDefaultExt(), "bmp");
}

TEST_F(Commands, ShortCutsReachTheirCommands) {
  DrawMark();
  EXPECT_TRUE(Form1->MainMenu1->IsShortCut(ShortCut('X', scCtrl)));
  EXPECT_FALSE(HasMark()) << "Ctrl+X cut the picture";
  Form1->Paste1->SetEnabled(false);
  EXPECT_FALSE(Form1->MainMenu1->IsShortCut(ShortCut('V', scCtrl))) << "a disabled item takes no key";
  EXPECT_FALSE(HasMark());
  Form1->Paste1->SetEnabled(true);
  EXPECT_TRUE(Form1->MainMenu1->IsShortCut(ShortCut('V', scCtrl)));
  EXPECT_TRUE(HasMark()) << "Ctrl+V pasted the cut picture back";
  EXPECT_FALSE(Form1->MainMenu1->IsShortCut(ShortCut('V', scShift)));
}

// ---- new picture

TEST_F(Commands, NewPictureWithGoodAndBadSizes) {
  struct {
    const char* Width;
    const char* Height;
    TRadioButton* TNewPictureForm::*Size;
    int Result;
    int ExpectWidth, ExpectHeight, ExpectGrid;
    const char* Error;  // nullptr: none
  } cases[] = {
      {"400", "300", &TNewPictureForm::RadioButton4, mrOk, 400, 300, 3, nullptr},
      {"900", "1300", &TNewPictureForm::RadioButton3, mrOk, 900, 1300, 6, nullptr},
      {" 120", "+90", &TNewPictureForm::RadioButton5, mrOk, 120, 90, 5, nullptr},
      {"400", "300", &TNewPictureForm::RadioButton2, mrCancel, 780, 1200, 2, nullptr},
      {"4OO", "300", &TNewPictureForm::RadioButton2, mrOk, 780, 1200, 2, "'4OO' is not a valid integer value."},
      {"400", "", &TNewPictureForm::RadioButton2, mrOk, 780, 1200, 2, "'' is not a valid integer value."},
      {"-1", "300", &TNewPictureForm::RadioButton2, mrOk, 780, 1200, 2, "Invalid image size."},
      {"100000", "100000", &TNewPictureForm::RadioButton2, mrOk, 780, 1200, 2, "Out of system resources."},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(std::string(c.Width) + " x " + c.Height);
    Form1->Image1->GetPicture()->GetBitmap()->SetSize(0, 0);
    Picture()->SetSize(780, 1200);
    testsupport::ScopedValue grid(GridSize, 2);
    Form1->PictureFileName = "Z:\\tmp\\old.bmp";
    Errors.clear();
    DrawMark();
    NewPicture(c.Width, c.Height, c.Size, c.Result);
    EXPECT_EQ(Picture()->GetWidth(), c.ExpectWidth);
    EXPECT_EQ(Picture()->GetHeight(), c.ExpectHeight);
    EXPECT_EQ(GridSize, c.ExpectGrid);
    bool replaced = c.Result == mrOk && !c.Error;
    EXPECT_EQ(HasMark(), !replaced);
    EXPECT_EQ(Form1->PictureFileName.empty(), replaced) << "a new picture has no file, so Save asks for one";
    if (replaced) EXPECT_EQ(Pixel(40, 19), 0u) << "the grid is drawn on the new picture";
    ASSERT_EQ(Errors.size(), c.Error ? 1u : 0u);
    if (c.Error) EXPECT_EQ(Errors[0], c.Error);
  }
}

TEST_F(Commands, NewPictureDialogShowsThePictureAndItsGrid) {
  struct {
    int Grid;
    TRadioButton* TNewPictureForm::*Expected;
  } cases[] = {
      {5, &TNewPictureForm::RadioButton5}, {3, &TNewPictureForm::RadioButton4}, {6, &TNewPictureForm::RadioButton3},
      {4, &TNewPictureForm::RadioButton2}, {2, &TNewPictureForm::RadioButton1},
      // A grid size the dialog has no button for keeps the last choice.
      {190, &TNewPictureForm::RadioButton1},
  };
  for (auto& c : cases) {
    testsupport::ScopedValue grid(GridSize, c.Grid);
    NewPicture("x", "y", &TNewPictureForm::RadioButton1, mrCancel);
    EXPECT_EQ(Shown.Checked, NewPictureForm->*c.Expected) << c.Grid;
  }
  Picture()->SetSize(333, 222);
  NewPicture("x", "y", &TNewPictureForm::RadioButton1, mrCancel);
  EXPECT_EQ(Shown.Width, "333");
  EXPECT_EQ(Shown.Height, "222");
  EXPECT_TRUE(Shown.Focused);
  EXPECT_FALSE(NewPictureForm->GetVisible());
  EXPECT_EQ(NewPictureForm->GetCaption(), "Størrelse.....");
  EXPECT_EQ(NewPictureForm->GetClientWidth(), 172);
  EXPECT_EQ(NewPictureForm->GetClientHeight(), 327);
}

TEST_F(Commands, ChangeOfPictureKeepsStylesButNotColoursOrMode) {
  std::string file = Folder.File("kept.bmp");
  Picture()->SaveToFile(file);
  for (bool open : {false, true}) {
    TCanvas* c = Canvas();
    c->GetPen()->SetStyle(psDash);
    c->GetPen()->SetWidth(3);
    c->GetPen()->SetColor(clRed);
    c->GetPen()->SetMode(pmNotXor);
    c->GetBrush()->SetStyle(bsCross);
    c->GetBrush()->SetColor(clBlue);
    if (open) {
      Answers = {file};
      Choose(Form1->Open1);
    } else {
      NewPicture("50", "40", &TNewPictureForm::RadioButton1);
    }
    c = Canvas();
    EXPECT_EQ(c->GetPen()->GetStyle(), psDash);
    EXPECT_EQ(c->GetPen()->GetWidth(), 3);
    EXPECT_EQ(c->GetBrush()->GetStyle(), bsCross);
    EXPECT_EQ(c->GetPen()->GetColor(), clBlack);
    EXPECT_EQ(c->GetPen()->GetMode(), pmCopy);
    EXPECT_EQ(c->GetBrush()->GetColor(), clWhite);
    EXPECT_TRUE(Errors.empty());
  }
}

// ---- files

TEST_F(Commands, SaveAsThenReopenGivesThePictureBack) {
  NewPicture("47", "33", &TNewPictureForm::RadioButton1);
  Canvas()->GetBrush()->SetColor(TColor(0x00336699));
  Canvas()->FillRect(Rect(5, 5, 20, 12));
  // A vertical long line drawn with the mouse, from the lattice point (39, 20) down.
  HWND image = Form1->Image1->GetHandle();
  SendMessageA(image, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(40, 21));
  SendMessageA(image, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(40, 31));
  SendMessageA(image, WM_LBUTTONUP, 0, MAKELPARAM(40, 31));
  ASSERT_EQ(Pixel(39, 26), 0u);
  std::string file = Folder.File("billeder\\tegning.bmp");
  Answers = {file};
  Choose(Form1->Save1);  // no name yet: Save As asks
  ASSERT_EQ(Dialogs.size(), 1u);
  EXPECT_EQ(Dialogs[0], Form1->SaveDialog1);
  EXPECT_EQ(Form1->PictureFileName, file);
  EXPECT_EQ(Form1->SaveDialog1->GetInitialDir(), Folder.Path() + "\\billeder");
  std::string saved = ReadFile(file);
  ASSERT_EQ(saved.size(), 54u + 33u * 144u) << "24-bit rows padded to 4 bytes";

  // Saved again under its name without a dialog, then drawn over and read back.
  Canvas()->FillRect(Rect(25, 20, 35, 30));
  Choose(Form1->Save1);
  EXPECT_EQ(Dialogs.size(), 1u);
  uint32_t expected = Pixel(30, 25);
  NewPicture("10", "10", &TNewPictureForm::RadioButton1);
  Answers = {file};
  Choose(Form1->Open1);
  EXPECT_TRUE(Errors.empty());
  EXPECT_EQ(Picture()->GetWidth(), 47);
  EXPECT_EQ(Picture()->GetHeight(), 33);
  EXPECT_EQ(Pixel(6, 6), 0x996633u);
  EXPECT_EQ(Pixel(30, 25), expected);
  EXPECT_EQ(Pixel(39, 26), 0u) << "the line drawn with the mouse";
  EXPECT_EQ(Form1->PictureFileName, file);
  EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu) << "no grid is drawn on a loaded picture";
}

TEST_F(Commands, FailedOpenKeepsThePictureAndItsFile) {
  std::string good = Folder.File("god.bmp");
  Picture()->SaveToFile(good);
  Answers = {good};
  Choose(Form1->Open1);
  ASSERT_EQ(Form1->PictureFileName, good);
  DrawMark();
  struct {
    const char* Name;
    std::string Bytes;
    const char* Error;
  } bad[] = {
      {"foto.jpg", "\xFF\xD8\xFF\xE0 not ours", "Unknown picture file extension (.jpg)."},
      {"kaput.bmp", "BM this is no bitmap at all, only text", "Bitmap image is not valid."},
      {"kort.bmp", ReadFile(good).substr(0, 1000), "Bitmap image is not valid."},
  };
  for (auto& b : bad) {
    std::ofstream(Folder.File(b.Name), std::ios::binary) << b.Bytes;
    Errors.clear();
    Answers = {Folder.File(b.Name)};
    Choose(Form1->Open1);
    ASSERT_EQ(Errors.size(), 1u) << b.Name;
    EXPECT_EQ(Errors[0], b.Error);
    EXPECT_EQ(Form1->PictureFileName, good) << b.Name;
    EXPECT_TRUE(HasMark()) << b.Name;
    // Saving now goes to the picture's own file; the one that failed is left as it was.
    Choose(Form1->Save1);
    EXPECT_EQ(ReadFile(Folder.File(b.Name)), b.Bytes) << b.Name;
  }
  Answers = {good};
  Choose(Form1->Open1);
  EXPECT_TRUE(HasMark()) << "the picture was saved to its own file";
  Answers = {""};
  Choose(Form1->Open1);
  EXPECT_EQ(Form1->PictureFileName, good) << "a cancelled dialog changes nothing";
}

TEST_F(Commands, FailedSaveSaysSoAndKeepsThePicture) {
  DrawMark();
  Form1->PictureFileName = Folder.File("ingen\\mappe\\her.bmp");
  Choose(Form1->Save1);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0].rfind("Cannot create file ", 0), 0u) << Errors[0];
  EXPECT_TRUE(HasMark());
}

// ---- printing

TEST_F(Commands, PrintStretchesThePictureIntoItsRectangle) {
  std::vector<uint8_t> records;
  classlib::testing::SetPrinterDCFactory([] { return CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr); },
                                         [&](HDC DC) {
                                           HENHMETAFILE meta = CloseEnhMetaFile(DC);
                                           records.resize(GetEnhMetaFileBits(meta, 0, nullptr));
                                           GetEnhMetaFileBits(meta, UINT(records.size()), records.data());
                                           DeleteEnhMetaFile(meta);
                                         });
  PrinterAnswer = false;
  Choose(Form1->Print1);
  EXPECT_TRUE(records.empty()) << "a cancelled printer dialog prints nothing";
  PrinterAnswer = true;
  // Whatever the picture's size, the rectangle follows the 780 x 1200 image control.
  for (int width : {780, 400}) {
    records.clear();
    Picture()->SetSize(width, 300);
    Choose(Form1->Print1);
    ASSERT_TRUE(Errors.empty());
    ASSERT_EQ(Dialogs.back(), Form1->PrinterSetupDialog1);
    const EMRSTRETCHDIBITS* stretch = nullptr;
    for (size_t at = 0; at + 8 <= records.size();) {
      auto* r = reinterpret_cast<const EMR*>(records.data() + at);
      if (r->iType == EMR_STRETCHDIBITS) stretch = reinterpret_cast<const EMRSTRETCHDIBITS*>(r);
      if (r->nSize == 0) break;
      at += r->nSize;
    }
    ASSERT_NE(stretch, nullptr);
    EXPECT_EQ(stretch->xDest, 200);
    EXPECT_EQ(stretch->yDest, 200);
    EXPECT_EQ(stretch->cxDest, 2184 - 200);
    EXPECT_EQ(stretch->cyDest, 3240 - 200);
    EXPECT_EQ(stretch->cxSrc, width);
    EXPECT_EQ(stretch->cySrc, 300);
  }
  EXPECT_FALSE(Printer()->GetPrinting());
}

// Run by print_pdf.sh, which starts the PDF printer and reads the page it prints.
TEST_F(Commands, PrintsOnTheSystemPrinter) {
  if (!getenv("SKADRA_PRINT_PDF")) GTEST_SKIP() << "print_pdf.sh runs this against a PDF printer";
  // All black, so that the page shows where the picture went.
  Canvas()->GetBrush()->SetColor(clBlack);
  Canvas()->FillRect(Rect(0, 0, 780, 1200));
  Choose(Form1->Print1);
  ASSERT_TRUE(Errors.empty()) << Errors[0];
  EXPECT_FALSE(Printer()->GetPrinting());
}

// ---- clipboard

TEST_F(Commands, CopyCutAndPasteThroughTheClipboard) {
  DrawMark();
  Choose(Form1->Copy1);
  ASSERT_TRUE(Clipboard()->HasFormat(CF_BITMAP));
  TOwned<TBitmap> copied(New<TBitmap>());
  copied->Assign(Clipboard());
  EXPECT_EQ(copied->GetWidth(), 780);
  EXPECT_EQ(copied->GetHeight(), 1200);
  const uint8_t* p = copied->GetScanLine(110) + 3 * 120;
  EXPECT_EQ(p[2] << 16 | p[1] << 8 | p[0], 0xFF0000) << "the copy holds the picture";

  // Cut whitens the image control's area only, also on a larger picture.
  Picture()->SetSize(900, 1300);
  Canvas()->GetBrush()->SetColor(clRed);
  Canvas()->FillRect(Rect(0, 0, 900, 1300));
  Choose(Form1->Cut1);
  EXPECT_EQ(Pixel(0, 0), 0xFFFFFFu);
  EXPECT_EQ(Pixel(779, 1199), 0xFFFFFFu);
  EXPECT_EQ(Pixel(780, 10), 0xFF0000u);
  EXPECT_EQ(Pixel(10, 1200), 0xFF0000u);
  EXPECT_EQ(Canvas()->GetCopyMode(), DWORD(SRCCOPY));

  // Paste puts what was cut at the top left, in its own size; the picture keeps its size.
  Picture()->SetSize(0, 0);
  Picture()->SetSize(300, 200);
  Choose(Form1->Paste1);
  EXPECT_EQ(Picture()->GetWidth(), 300);
  EXPECT_EQ(Pixel(0, 0), 0xFF0000u);
  EXPECT_EQ(Pixel(299, 199), 0xFF0000u);
  DrawMark();
  Clipboard()->Clear();
  Choose(Form1->Paste1);
  EXPECT_TRUE(HasMark()) << "no bitmap on the clipboard: nothing happens";
  EXPECT_TRUE(Errors.empty());
}

TEST_F(Commands, ClipboardWorksWithAnotherProgram) {
  // Runs the peer and waits for it; its exit code.
  auto peer = [](const std::string& Verb, const std::string& File) {
    std::string line = "\"" SKADRA_CLIPBOARD_PEER "\" " + Verb + " \"" + File + "\"";
    STARTUPINFOA start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start, &process))
      return -1;
    // The peer's clipboard calls are answered by this thread's windows while it waits.
    while (MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, 30000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1)
      Application->ProcessMessages();
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return int(code);
  };
  DrawMark();
  Choose(Form1->Copy1);
  std::string taken = Folder.File("taken.bmp");
  ASSERT_EQ(peer("get", taken), 0);
  auto* other = static_cast<HBITMAP>(LoadImageA(nullptr, taken.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  ASSERT_NE(other, nullptr);
  BITMAP seen{};
  GetObjectA(other, sizeof seen, &seen);
  EXPECT_EQ(seen.bmWidth, 780);
  EXPECT_EQ(seen.bmHeight, 1200);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, other);
  EXPECT_EQ(::GetPixel(dc, 120, 110), RGB(255, 0, 0)) << "the other program sees the picture";
  EXPECT_EQ(::GetPixel(dc, 300, 300), RGB(255, 255, 255));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(other);

  // A picture from the other program, 60 x 50 and blue, pasted at the top left.
  TOwned<TBitmap> blue(New<TBitmap>());
  blue->SetSize(60, 50);
  blue->GetCanvas()->GetBrush()->SetColor(clBlue);
  blue->GetCanvas()->FillRect(Rect(0, 0, 60, 50));
  std::string given = Folder.File("given.bmp");
  blue->SaveToFile(given);
  ASSERT_EQ(peer("put", given), 0);
  Choose(Form1->Paste1);
  EXPECT_EQ(Pixel(0, 0), 0x0000FFu);
  EXPECT_EQ(Pixel(59, 49), 0x0000FFu);
  EXPECT_EQ(Pixel(60, 10), 0xFFFFFFu);
  EXPECT_TRUE(HasMark());
  EXPECT_EQ(Picture()->GetWidth(), 780);
  EXPECT_TRUE(Errors.empty());
}

TEST_F(Commands, CutWhitensNothingWhenTheCopyFailed) {
  DrawMark();
  // Another program's window holds the clipboard open, so the copy cannot be made.
  HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr), done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::thread holder([&] {
    HWND other = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    bool opened = OpenClipboard(other);
    SetEvent(held);
    WaitForSingleObject(done, 20000);
    if (opened) CloseClipboard();
    DestroyWindow(other);
  });
  WaitForSingleObject(held, 20000);
  Choose(Form1->Cut1);
  SetEvent(done);
  holder.join();
  CloseHandle(held);
  CloseHandle(done);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0], "Cannot open clipboard.");
  EXPECT_TRUE(HasMark());
}

// ---- the other windows

TEST_F(Commands, HideToolsDialogSwitchesButtonsAndKeepsItsChoices) {
  struct {
    bool Line, Pen, Figures;
  } choices[] = {{true, false, false}, {false, true, true}, {false, false, false}, {true, true, true}};
  for (auto& c : choices) {
    Choose(Form1->SKJUL1);
    EXPECT_TRUE(Form4->GetVisible());
    Form4->CheckBox1->SetChecked(c.Line);
    Form4->CheckBox2->SetChecked(c.Pen);
    Form4->CheckBox3->SetChecked(c.Figures);
    Form1->ToolKind = tkLongLine;
    Form4->Button1->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
    EXPECT_FALSE(Form4->GetVisible());
    EXPECT_EQ(Form1->LineButton->GetEnabled(), !c.Line);
    EXPECT_EQ(Form1->PenButton->GetEnabled(), !c.Pen);
    for (TSpeedButton* b : {Form1->RectangleButton, Form1->EllipseButton, Form1->RoundRectButton, Form1->BrushButton})
      EXPECT_EQ(b->GetEnabled(), !c.Figures);
    EXPECT_EQ(Form1->ToolKind, c.Line ? tkShortNS : tkLongLine);
    // Opened again, the dialog shows what is switched off.
    Form1->LineButton->SetDown(true);
    Form1->ToolKind = tkLongLine;
    Choose(Form1->SKJUL1);
    EXPECT_EQ(Form4->CheckBox1->GetChecked(), c.Line);
    EXPECT_EQ(Form4->CheckBox2->GetChecked(), c.Pen);
    EXPECT_EQ(Form4->CheckBox3->GetChecked(), c.Figures);
    EXPECT_EQ(Form1->ToolKind, c.Line || c.Pen ? tkShortNS : tkLongLine)
        << "a disabled pen also picks the short N-S line";
    EXPECT_EQ(Form1->SpeedButton1->GetDown(), c.Line || c.Pen);
    Form4->Close();
    // The next round starts from a clear dialog, as a user would untick it.
    for (TCheckBox* b : {Form4->CheckBox1, Form4->CheckBox2, Form4->CheckBox3}) b->SetChecked(false);
  }
  EXPECT_EQ(Form4->GetCaption(), "  Skjul Værktøj");
  EXPECT_TRUE(GetWindowLongA(Form4->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
}

TEST_F(Commands, HelpIsShownReadOnlyAndLoadedAgain) {
  Choose(Form1->Hjlp2);
  ASSERT_TRUE(Form2->GetVisible());
  EXPECT_TRUE(GetWindowLongA(Form2->RichEditEx1->GetHandle(), GWL_STYLE) & ES_READONLY);
  std::string text = Form2->RichEditEx1->GetText();
  EXPECT_NE(text.find("Værktøjerne"), std::string::npos) << testsupport::Escaped(text.substr(0, 200));
  EXPECT_NE(text.find("[SKJUL]"), std::string::npos);
  // The file is read again each time the window is asked for.
  std::ofstream(Folder.File("Help.rtf"), std::ios::binary) << "{\\rtf1\\ansi Ny hj\\'e6lp\\par}";
  Form2->Luk1->Click();
  EXPECT_FALSE(Form2->GetVisible());
  Choose(Form1->Hjlp2);
  EXPECT_EQ(Form2->RichEditEx1->GetText().rfind("Ny hjælp", 0), 0u);
  // Without the file the command says so; the window stays.
  DeleteFile(Folder.File("Help.rtf"));
  Choose(Form1->Hjlp2);
  ASSERT_EQ(Errors.size(), 1u);
  EXPECT_EQ(Errors[0].rfind("Cannot open file ", 0), 0u) << Errors[0];
  EXPECT_TRUE(Form2->GetVisible());
}

TEST_F(Commands, AboutAndSplashWindows) {
  Choose(Form1->About1);
  EXPECT_TRUE(Form5->GetVisible());
  EXPECT_EQ(Form5->GetClientWidth(), 461);
  EXPECT_EQ(Form5->GetColor(), clBtnShadow);
  Form5->Button1->Perform(CN_COMMAND, MAKEWPARAM(0, BN_CLICKED), 0);
  EXPECT_FALSE(Form5->GetVisible());

  Application->CreateForm(Form3);
  EXPECT_TRUE(Form3->GetVisible()) << "the splash shows from its creation";
  EXPECT_TRUE(GetWindowLongA(Form3->GetHandle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(Form3->GetClientHeight(), 400);
  EXPECT_EQ(Form3->Timer1->GetInterval(), 3000u);
  Form1->Show();
  Form3->Timer1->Tick();
  EXPECT_FALSE(Form3->GetVisible());
  EXPECT_FALSE(Form3->Timer1->GetEnabled());
  EXPECT_TRUE(Form1->Focused() || GetFocus() == Form1->GetHandle());
  FreeAndNil(Form3);
}

// ---- the outside programs

TEST_F(Commands, OutsideProgramsGetTheirCommandLines) {
  std::filesystem::copy_file(SKADRA_RECORDER, Folder.File("RICHEDIT.EXE"));
  std::string painter = Folder.File("maler.exe");
  std::filesystem::copy_file(SKADRA_RECORDER, painter);
  DeleteFile("C:\\tmp.bmp");

  Choose(Form1->STARTTEKSTBEHANDLER1);
  std::string started = RecordedStart(Folder.File("RICHEDIT.EXE"));
  EXPECT_EQ(started.substr(0, started.find('\n')), "\"" + Folder.File("RICHEDIT.EXE") + "\" " + Folder.Path() +
                                                       "\\Dokumenter");

  PainterPath = painter;
  DrawMark();
  Choose(Form1->Startdemedbilledet1);
  started = RecordedStart(painter);
  EXPECT_EQ(started.substr(0, started.find('\n')), "\"" + painter + "\" C:\\tmp.bmp");
  TOwned<TBitmap> handed(New<TBitmap>());
  handed->LoadFromFile("C:\\tmp.bmp");
  EXPECT_EQ(handed->GetWidth(), 780);
  const uint8_t* p = handed->GetScanLine(110) + 3 * 120;
  EXPECT_EQ(p[2] << 16 | p[1] << 8 | p[0], 0xFF0000) << "the paint program gets this picture";

  DeleteFile(painter + ".log");
  Choose(Form1->StartdenTOM1);
  started = RecordedStart(painter);
  EXPECT_EQ(started.substr(0, started.find('\n')), "\"" + painter + "\"");

  // A program that is not there: the shell starts nothing and nothing is said.
  PainterPath = Folder.File("ingen.exe");
  Choose(Form1->StartdenTOM1);
  EXPECT_TRUE(Errors.empty());
}
