// Common dialogs: TCommonDialog runs a dialog function modally for its owner window (through
// the test hook when one is set); TColorDialog chooses a colour.
#pragma once

#include <functional>

#include "classlib/component.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TCommonDialog : public TComponent {
  CL_CLASS(TCommonDialog)
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  virtual bool Execute() = 0;

 protected:
  // The active form's window, else the main form's, else none.
  HWND OwnerWindow() const;
  // Calls Function(Record) (or the test hook), keeping the focus where it was.
  template <class Record>
  bool TaskModalDialog(BOOL(WINAPI* Function)(Record*), Record& Rec) {
    return RunModal([&] { return Function(&Rec) != FALSE; }, &Rec);
  }

 private:
  bool RunModal(const std::function<bool()>& Call, void* Record);
};

class TColorDialog : public TCommonDialog {
  CL_CLASS(TColorDialog)
  explicit TColorDialog(TComponent* AOwner);
  // Opens with Color chosen; OK takes the choice into Color.
  bool Execute() override;
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  COLORREF* GetCustomColors() { return FCustomColors; }

 private:
  TColor FColor = clBlack;
  COLORREF FCustomColors[16];
};

namespace testing {
// Replaces the dialog function of every common dialog: the hook gets the dialog and its record
// (CHOOSECOLORA* for a colour dialog), fills in the answer and returns the dialog's result.
using CommonDialogHook = std::function<bool(TCommonDialog& Dialog, void* Record)>;
void SetCommonDialogHook(CommonDialogHook Hook);
}  // namespace testing

}  // namespace classlib
