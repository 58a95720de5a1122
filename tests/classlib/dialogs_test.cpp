// The file dialogs through the common-dialog hook (the record they hand to the dialog function
// and what they take back), one real open dialog under Wine, and the command-line splitter.
#include <gtest/gtest.h>

#include <cstring>

#include "classlib/application.h"
#include "classlib/dialogs.h"
#include "classlib/files.h"
#include "classlib/testing.h"

using namespace classlib;

namespace {

// What a file dialog handed to the dialog function.
struct TSeenRecord {
  int Calls = 0;
  TCommonDialog* Dialog = nullptr;
  DWORD Size = 0;
  HWND Owner = reinterpret_cast<HWND>(-1);
  std::string Filter;  // up to and including the double NUL
  bool NoFilter = false;
  DWORD FilterIndex = 0;
  std::string File;
  DWORD MaxFile = 0;
  std::string InitialDir;
  bool NoInitialDir = false;
  std::string Title;
  bool NoTitle = false;
  DWORD Flags = 0;
  bool Hook = false;
};

class FileDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    classlib::testing::SetCommonDialogHook([this](TCommonDialog& Dialog, void* Record) {
      auto* r = static_cast<OPENFILENAMEA*>(Record);
      ++Seen.Calls;
      Seen.Dialog = &Dialog;
      Seen.Size = r->lStructSize;
      Seen.Owner = r->hwndOwner;
      Seen.NoFilter = r->lpstrFilter == nullptr;
      if (r->lpstrFilter) {
        const char* p = r->lpstrFilter;
        while (p[0] || p[1]) ++p;
        Seen.Filter.assign(r->lpstrFilter, size_t(p - r->lpstrFilter) + 2);
      }
      Seen.FilterIndex = r->nFilterIndex;
      Seen.File = r->lpstrFile;
      Seen.MaxFile = r->nMaxFile;
      Seen.NoInitialDir = r->lpstrInitialDir == nullptr;
      if (r->lpstrInitialDir) Seen.InitialDir = r->lpstrInitialDir;
      Seen.NoTitle = r->lpstrTitle == nullptr;
      if (r->lpstrTitle) Seen.Title = r->lpstrTitle;
      Seen.Flags = r->Flags;
      Seen.Hook = r->lpfnHook != nullptr;
      if (!Answer.empty()) {
        std::strncpy(r->lpstrFile, Answer.c_str(), r->nMaxFile - 1);
        r->nFilterIndex = AnswerIndex;
      }
      return !Answer.empty();
    });
  }
  void TearDown() override { classlib::testing::SetCommonDialogHook(nullptr); }

  TSeenRecord Seen;
  std::string Answer;  // empty: the dialog is cancelled
  DWORD AnswerIndex = 1;
};

}  // namespace

TEST_F(FileDialogs, RecordCarriesTheFilterFolderTitleAndFileName) {
  TOwned<TOpenDialog> dialog(New<TOpenDialog>(nullptr));
  dialog->SetFilter("Indstillinger|*.cfg");
  dialog->SetInitialDir("C:\\Skadra\\cfg");
  dialog->SetTitle(" Vælg Indstillinger for start af TRIVANE v. 1.0");
  dialog->SetFileName("gammel.cfg");
  EXPECT_FALSE(dialog->Execute());
  ASSERT_EQ(Seen.Calls, 1);
  EXPECT_EQ(Seen.Dialog, dialog.get());
  EXPECT_EQ(Seen.Size, DWORD(OPENFILENAME_SIZE_VERSION_400A));
  EXPECT_EQ(Seen.Owner, nullptr) << "no form is active, none is the main form";
  EXPECT_EQ(Seen.Filter, std::string("Indstillinger\0*.cfg\0\0", 21));
  EXPECT_EQ(Seen.FilterIndex, 1u);
  EXPECT_EQ(Seen.File, "gammel.cfg");
  EXPECT_GE(Seen.MaxFile, 4096u);
  EXPECT_EQ(Seen.InitialDir, "C:\\Skadra\\cfg");
  EXPECT_EQ(Seen.Title, " Vælg Indstillinger for start af TRIVANE v. 1.0");
  EXPECT_TRUE(Seen.Flags & OFN_EXPLORER);
  EXPECT_TRUE((Seen.Flags & OFN_ENABLEHOOK) && Seen.Hook);

  // Two pairs, the second index; nothing given means no filter, folder or title at all.
  dialog->SetFilter("Bitmap files (*.bmp)|*.bmp|All files|*.*");
  dialog->SetFilterIndex(2);
  dialog->Execute();
  EXPECT_EQ(Seen.Filter, std::string("Bitmap files (*.bmp)\0*.bmp\0All files\0*.*\0\0", 42));
  EXPECT_EQ(Seen.FilterIndex, 2u);
  TOwned<TSaveDialog> save(New<TSaveDialog>(nullptr));
  save->Execute();
  EXPECT_EQ(Seen.Dialog, save.get());
  EXPECT_TRUE(Seen.NoFilter && Seen.NoInitialDir && Seen.NoTitle);
  EXPECT_EQ(Seen.File, "");
}

TEST_F(FileDialogs, OnlyOkTakesTheFileAndFilterBack) {
  TOwned<TOpenDialog> dialog(New<TOpenDialog>(nullptr));
  dialog->SetFilter("A|*.a|B|*.b");
  dialog->SetFileName("før.a");
  EXPECT_FALSE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), "før.a");
  EXPECT_EQ(dialog->GetFilterIndex(), 1);

  Answer = "C:\\Mine billeder\\ny.b";
  AnswerIndex = 2;
  EXPECT_TRUE(dialog->Execute());
  EXPECT_EQ(dialog->GetFileName(), "C:\\Mine billeder\\ny.b");
  EXPECT_EQ(dialog->GetFilterIndex(), 2);

  // A name longer than the usual buffer is handed over whole.
  std::string longName = "C:\\" + std::string(5000, 'x') + ".a";
  dialog->SetFileName(longName);
  Answer.clear();
  dialog->Execute();
  EXPECT_EQ(Seen.File, longName);
  EXPECT_GT(Seen.MaxFile, longName.size());
}

// Wine's real dialog accepts the record: it shows with the title, takes a typed name and OK.
namespace {
HWND gProbeDialog;
int gProbeTicks;
// Runs inside the dialog's own message loop.
void CALLBACK ProbeTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (++gProbeTicks > 100) PostQuitMessage(0);  // never found: give up rather than hang
  HWND dlg = FindWindowA(nullptr, "Prøvedialog 4711");
  if (!dlg || gProbeDialog) return;
  gProbeDialog = dlg;
  // The file-name box of an explorer dialog of this record size, then OK.
  SetDlgItemTextA(dlg, edt1, "C:\\settings_probe.cfg");
  PostMessageA(dlg, WM_COMMAND, IDOK, 0);
}
}  // namespace

TEST(FileDialog, RealOpenDialogTakesATypedName) {
  TOwned<TOpenDialog> dialog(New<TOpenDialog>(nullptr));
  dialog->SetTitle("Prøvedialog 4711");
  dialog->SetFilter("Indstillinger|*.cfg");
  dialog->SetInitialDir("C:\\");
  gProbeDialog = nullptr;
  gProbeTicks = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 100, ProbeTimer);
  bool ok = dialog->Execute();
  KillTimer(nullptr, timer);
  ASSERT_NE(gProbeDialog, nullptr) << "the dialog never showed";
  EXPECT_TRUE(ok);
  EXPECT_EQ(dialog->GetFileName(), "C:\\settings_probe.cfg");
}

TEST(CommandLine, SplitsAtBlanksWithQuotesGroupingAndNoEscapes) {
  using V = std::vector<std::string>;
  EXPECT_EQ(SplitCommandLine("Skadra.exe 1 24"), (V{"Skadra.exe", "1", "24"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\Skadra.exe\"  \t\"2 4\" \"\"  x\"y z\"w  "),
            (V{"C:\\Program Files\\Skadra.exe", "2 4", "", "xy zw"}));
  EXPECT_EQ(SplitCommandLine("a\\\"b c\\\""), (V{"a\\b c\\"})) << "a backslash escapes nothing";
  EXPECT_EQ(SplitCommandLine("p \"open"), (V{"p", "open"}));
  EXPECT_EQ(SplitCommandLine("   "), V{});
  EXPECT_EQ(ParamStr(0), GetExeName());
  EXPECT_EQ(ParamStr(ParamCount() + 1), "");
}
