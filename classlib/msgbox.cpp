#include "classlib/msgbox.h"

#include <cstdio>
#include <cstdlib>

#include "classlib/files.h"
#include "classlib/testing.h"
#include "classlib/text.h"

namespace classlib {

namespace {
testing::MessageBoxHook& Hook() {
  static auto* hook = new testing::MessageBoxHook;
  return *hook;
}
std::string* gTitle = nullptr;
}  // namespace

void testing::SetMessageBoxHook(MessageBoxHook Hook_) { Hook() = std::move(Hook_); }

int ShowMessageBox(TMessageBoxKind Kind, HWND Owner, const std::string& Text, const std::string& Caption,
                   UINT Flags) {
  if (Hook()) return Hook()(MessageBoxCall{Kind, Text, Caption, Flags, Owner});
#ifdef _WIN32
  return MessageBoxA(Owner, Text.c_str(), Caption.c_str(), Flags);
#else
  std::fprintf(stderr, "message box without a test hook: [%s] %s\n", Caption.c_str(), Text.c_str());
  std::abort();
#endif
}

namespace {
HWND ActiveOwner() {
#ifdef _WIN32
  return GetActiveWindow();
#else
  return nullptr;
#endif
}
}  // namespace

int MessageDlg(const std::string& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int) {
  static const char* const captions[] = {"Warning", "Error", "Information", "Confirmation", ""};
  static const UINT icons[] = {MB_ICONWARNING, MB_ICONERROR, MB_ICONINFORMATION, MB_ICONQUESTION, 0};
  UINT flags = MB_OK;
  if ((Buttons & mbYes) && (Buttons & mbNo))
    flags = (Buttons & mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  else if ((Buttons & mbOK) && (Buttons & mbCancel))
    flags = MB_OKCANCEL;
  else if ((Buttons & mbRetry) && (Buttons & mbCancel))
    flags = MB_RETRYCANCEL;
  else if (Buttons & mbAbort)
    flags = MB_ABORTRETRYIGNORE;
  std::string caption = DlgType == mtCustom ? GetApplicationTitle() : captions[DlgType];
  return ShowMessageBox(TMessageBoxKind::MessageDlg, ActiveOwner(), Msg, caption, flags | icons[DlgType]);
}

void ShowMessage(const std::string& Msg) {
  ShowMessageBox(TMessageBoxKind::ShowMessage, ActiveOwner(), Msg, GetApplicationTitle(), MB_OK);
}

int ApplicationMessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  return ShowMessageBox(TMessageBoxKind::ApplicationMessageBox, ActiveOwner(), Text,
                        Caption.empty() ? GetApplicationTitle() : Caption, Flags);
}

std::string GetApplicationTitle() {
  if (gTitle) return *gTitle;
  return ChangeFileExt(ExtractFileName(GetExeName()), "");
}

void SetApplicationTitle(const std::string& Title) {
  if (!gTitle) gTitle = new std::string;
  *gTitle = Title;
}

}  // namespace classlib
