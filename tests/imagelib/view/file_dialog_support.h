// Helpers of the file-dialog tests: the dialogs with their hook's state in reach, a script of
// steps that runs inside the real dialog's own message loop, and finding and driving the
// dialog's controls (the file list, the type box, the name box).
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "classlib/winapi.h"
#include "imagelib/view/PGFileDialogs.h"

namespace testsupport {

using namespace imagelib;

template <class Dialog>
class TExposed : public Dialog {
 public:
  using Dialog::Dialog;
  using Dialog::GetDialogWindow;
  using Dialog::GetHookWindow;
  using Dialog::GetInfoValid;
  using Dialog::GetInfoWindow;
  using Dialog::GetPreviewGraphic;
  using Dialog::GetPreviewThread;
  using Dialog::GetPreviewWindow;
  using Dialog::GetTimer;
  using Dialog::InfoLines;
};
using TTestOpenDialog = TExposed<TPGOpenDialog>;
using TTestSaveDialog = TExposed<TPGSaveDialog>;

// Steps tried in turn at every tick of a thread timer, which fires inside the dialog's loop; a
// step is done when it returns true. The last step should close the dialog. Should a step not
// finish in time, the test fails and the dialog is cancelled.
class DialogScript {
 public:
  using Step = std::function<bool()>;
  explicit DialogScript(std::function<HWND()> DialogWindow) : FDialogWindow(std::move(DialogWindow)) {}
  DialogScript& Then(std::string Name, Step Do) {
    FSteps.push_back({std::move(Name), std::move(Do)});
    return *this;
  }
  // Runs Execute (which shows the dialog) with the script ticking; true when every step was done.
  bool Run(const std::function<void()>& Execute, DWORD StepTimeoutMs = 30000) {
    FCurrent = this;
    FTimeout = StepTimeoutMs;
    FStepStart = GetTickCount();
    UINT_PTR timer = SetTimer(nullptr, 0, 15, &DialogScript::Tick);
    Execute();
    KillTimer(nullptr, timer);
    FCurrent = nullptr;
    EXPECT_EQ(FIndex, FSteps.size()) << "the dialog closed before the script ended";
    return FIndex == FSteps.size() && !FTimedOut;
  }

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    DialogScript* s = FCurrent;
    if (!s || s->FBusy || s->FIndex >= s->FSteps.size()) return;
    s->FBusy = true;
    if (s->FSteps[s->FIndex].Do()) {
      ++s->FIndex;
      s->FStepStart = GetTickCount();
    } else if (GetTickCount() - s->FStepStart > s->FTimeout && !s->FTimedOut) {
      s->FTimedOut = true;
      ADD_FAILURE() << "step \"" << s->FSteps[s->FIndex].Name << "\" did not happen in time";
      s->FIndex = s->FSteps.size();
      HWND dialog = s->FDialogWindow();
      if (dialog)
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      else
        PostQuitMessage(0);  // the dialog never came: end its loop rather than hang
    }
    s->FBusy = false;
  }
  struct Entry {
    std::string Name;
    Step Do;
  };
  std::function<HWND()> FDialogWindow;
  std::vector<Entry> FSteps;
  size_t FIndex = 0;
  bool FBusy = false, FTimedOut = false;
  DWORD FTimeout = 30000, FStepStart = 0;
  static inline DialogScript* FCurrent = nullptr;
};

struct DescendantSearch {
  const char* ClassName;
  HWND Found;
};

inline BOOL CALLBACK MatchDescendant(HWND Window, LPARAM Param) {
  auto* s = reinterpret_cast<DescendantSearch*>(Param);
  char name[64] = {};
  GetClassNameA(Window, name, sizeof name);
  if (lstrcmpiA(name, s->ClassName) != 0) return TRUE;
  s->Found = Window;
  return FALSE;
}

// The first descendant of Parent of the window class, or none.
inline HWND FindDescendant(HWND Parent, const char* ClassName) {
  DescendantSearch search{ClassName, nullptr};
  EnumChildWindows(Parent, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The index of the list item whose text is Name (or Name without its extension, as the shell may
// show it), or -1.
inline int FindListItem(HWND List, const std::string& Name) {
  const std::string stem = Name.substr(0, Name.rfind('.'));
  const int count = int(SendMessageA(List, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    char text[MAX_PATH] = {};
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    SendMessageA(List, LVM_GETITEMTEXTA, WPARAM(i), reinterpret_cast<LPARAM>(&item));
    if (Name == text || stem == text) return i;
  }
  return -1;
}

// Selects the file or folder Name in the dialog's file list as a click would (the list tells the
// dialog, which notifies its hook); false while the list does not show it yet.
inline bool SelectInList(HWND Dialog, const std::string& Name) {
  HWND list = FindDescendant(Dialog, "SysListView32");
  if (!list) return false;
  const int index = FindListItem(list, Name);
  if (index < 0) return false;
  LVITEMA none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&none));
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&item));
  return true;
}

// Chooses entry Index (from 1) of the dialog's file-type box with what a pick from its list tells
// the dialog.
inline void ChooseFileType(HWND Dialog, int Index) {
  HWND box = GetDlgItem(Dialog, cmb1);
  SendMessageA(box, CB_SETCURSEL, WPARAM(Index - 1), 0);
  for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK})
    SendMessageA(Dialog, WM_COMMAND, MAKEWPARAM(cmb1, code), reinterpret_cast<LPARAM>(box));
}

inline std::string FileNameText(HWND Dialog) {
  char text[1024] = {};
  GetDlgItemTextA(Dialog, edt1, text, sizeof text);
  return text;
}

}  // namespace testsupport
