#include "classlib/dialogs.h"

#include <algorithm>
#include <vector>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/printer.h"
#include "classlib/screen.h"

namespace classlib {

namespace {
testing::CommonDialogHook& Hook() {
  static auto* hook = new testing::CommonDialogHook;
  return *hook;
}
}  // namespace

void testing::SetCommonDialogHook(CommonDialogHook Hook_) { Hook() = std::move(Hook_); }

HWND TCommonDialog::OwnerWindow() const {
  if (Screen && Screen->GetActiveForm() && Screen->GetActiveForm()->HandleAllocated())
    return Screen->GetActiveForm()->GetHandle();
  if (Application && Application->GetMainForm() && Application->GetMainForm()->HandleAllocated())
    return Application->GetMainForm()->GetHandle();
  return nullptr;
}

bool TCommonDialog::RunModal(const std::function<bool()>& Call, void* Record) {
  HWND focus = GetFocus();
  bool result = Hook() ? Hook()(*this, Record) : Call();
  if (focus && IsWindow(focus)) SetFocus(focus);
  return result;
}

TColorDialog::TColorDialog(TComponent* AOwner) : TCommonDialog(AOwner) {
  for (COLORREF& c : FCustomColors) c = RGB(255, 255, 255);
}

bool TColorDialog::Execute() {
  CHOOSECOLORA record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = OwnerWindow();
  record.rgbResult = ColorToRGB(FColor);
  record.lpCustColors = FCustomColors;
  record.Flags = CC_RGBINIT;
  if (!TaskModalDialog(ChooseColorA, record)) return false;
  FColor = TColor(record.rgbResult);
  return true;
}

namespace {
// The '|'-separated filter as the dialog wants it: NUL-separated with a double NUL at the end.
std::string FilterList(const std::string& Filter) {
  std::string list = Filter;
  std::replace(list.begin(), list.end(), '|', '\0');
  list.append(2, '\0');
  return list;
}

// Keeps the dialog's explorer-style hook child; every message goes on to the dialog unchanged.
UINT_PTR CALLBACK DefaultFileDialogHook(HWND, UINT, WPARAM, LPARAM) { return 0; }
}  // namespace

bool TOpenDialog::DoExecute(BOOL(WINAPI* Function)(OPENFILENAMEA*)) {
  std::string filter = FilterList(FFilter);
  std::vector<char> file(std::max<size_t>(4096, FFileName.size() + 1), '\0');
  std::copy(FFileName.begin(), FFileName.end(), file.begin());
  OPENFILENAMEA record{};
  // The Windows 95 size: with it the dialog keeps the classic file-name edit a hook may address.
  record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  record.hwndOwner = OwnerWindow();
  record.lpstrFilter = FFilter.empty() ? nullptr : filter.c_str();
  record.nFilterIndex = DWORD(std::max(FFilterIndex, 0));
  record.lpstrFile = file.data();
  record.nMaxFile = DWORD(file.size());
  record.lpstrInitialDir = FInitialDir.empty() ? nullptr : FInitialDir.c_str();
  record.lpstrTitle = FTitle.empty() ? nullptr : FTitle.c_str();
  record.lpstrDefExt = FDefaultExt.empty() ? nullptr : FDefaultExt.c_str();
  record.Flags = FOptions | OFN_EXPLORER | OFN_ENABLEHOOK;
  record.lpfnHook = DefaultFileDialogHook;
  if (!TaskModalDialog(Function, record)) return false;
  file.back() = '\0';  // whatever the dialog left, the name ends inside the buffer
  FFileName = file.data();
  FFilterIndex = int(record.nFilterIndex);
  return true;
}

bool TOpenDialog::Execute() { return DoExecute(GetOpenFileNameA); }

bool TSaveDialog::Execute() { return DoExecute(GetSaveFileNameA); }

bool TPrintDialog::Execute() { return RunPrintDialog(PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE); }

bool TPrinterSetupDialog::Execute() { return RunPrintDialog(PD_PRINTSETUP); }

bool TCommonDialog::RunPrintDialog(DWORD Flags) {
  PRINTDLGA record{};
  record.lStructSize = sizeof record;
  record.hwndOwner = OwnerWindow();
  record.Flags = Flags;
  Printer()->GetDeviceHandles(record.hDevNames, record.hDevMode);
  bool ok = TaskModalDialog(PrintDlgA, record);
  // The dialog may have replaced the blocks it was given, whatever the answer.
  Printer()->SetDeviceHandles(record.hDevNames, record.hDevMode);
  return ok;
}

}  // namespace classlib
