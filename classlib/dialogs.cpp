#include "classlib/dialogs.h"

#include "classlib/application.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
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

}  // namespace classlib
