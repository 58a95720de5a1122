// TEdit: a single-line edit control (a superclass of EDIT) with its change event; TCustomMemo:
// the same control with several lines.
#pragma once

#include "classlib/controls.h"

namespace classlib {

class TCustomEdit : public TWinControl {
  CL_CLASS(TCustomEdit)
  explicit TCustomEdit(TComponent* AOwner);

  // Fires for the user's and the program's changes once the window exists; not while the
  // window is being made with the stored text.
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  virtual void Change();
};

class TEdit : public TCustomEdit {
  CL_CLASS(TEdit)
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

class TCustomMemo : public TCustomEdit {
  CL_CLASS(TCustomMemo)
  explicit TCustomMemo(TComponent* AOwner);

 protected:
  void CreateParams(TCreateParams& Params) override;
};

}  // namespace classlib
