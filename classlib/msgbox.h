// Message boxes. Every box of the programs goes through one funnel, ShowMessageBox, which a test
// can answer through its hook (testing.h) without showing anything.
#pragma once

#include <string>

#include "classlib/winapi.h"

namespace classlib {

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : unsigned {
  mbYes = 1, mbNo = 2, mbOK = 4, mbCancel = 8, mbAbort = 16, mbRetry = 32, mbIgnore = 64, mbHelp = 128
};
using TMsgDlgButtons = unsigned;

// Modal results; the values equal the IDOK.. answers of a message box.
constexpr int mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5, mrYes = 6,
              mrNo = 7;

enum class TMessageBoxKind { MessageDlg, ShowMessage, ApplicationMessageBox, Exception };

struct MessageBoxCall {
  TMessageBoxKind Kind;
  std::string Text;
  std::string Caption;
  UINT Flags;
  HWND Owner;
};

// The funnel: the hook when one is set, else MessageBoxA (natively: print and abort, since a
// native test that reaches a box without a hook is broken). Main thread only.
int ShowMessageBox(TMessageBoxKind Kind, HWND Owner, const std::string& Text, const std::string& Caption,
                   UINT Flags);

// Caption "Warning", "Error", "Information" or "Confirmation" with the type's icon; returns mrOk...
int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
// An OK box with the application title as caption.
void ShowMessage(const std::string& Msg);
// What Application->MessageBox does: an empty caption means the application title.
int ApplicationMessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

// The application title: the caption of message boxes; defaults to the program's base name.
std::string GetApplicationTitle();
void SetApplicationTitle(const std::string& Title);

}  // namespace classlib
