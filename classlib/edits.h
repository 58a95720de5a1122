// TEdit: a single-line edit control (a superclass of EDIT) with its change event; TCustomMemo:
// the same control with several lines.
#pragma once

#include "classlib/controls.h"

namespace classlib {

class TCustomEdit : public TWinControl {
  CL_CLASS(TCustomEdit)
  explicit TCustomEdit(TComponent* AOwner);

  // The most characters the user may enter; 0 is the control's own maximum.
  int GetMaxLength() const { return FMaxLength; }
  void SetMaxLength(int Value);
  bool GetReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);
  // Empties the text.
  virtual void Clear();

  // Fires for the user's and the program's changes once the window exists; not while the
  // window is being made with the stored text.
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  void WndProc(TMessage& Message) override;
  virtual void Change();
  // Hands the limit to the window (after every creation and on every change).
  virtual void DoSetMaxLength(int Value);

  int FMaxLength = 0;
  bool FReadOnly = false;
};

class TEdit : public TCustomEdit {
  CL_CLASS(TEdit)
  explicit TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}
};

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };

class TCustomMemo : public TCustomEdit {
  CL_CLASS(TCustomMemo)
  explicit TCustomMemo(TComponent* AOwner);

  // Both are styles of the window: a change makes a new window.
  TScrollStyle GetScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle Value);
  // Off: lines run on beyond the right edge and the text scrolls sideways.
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value);

 protected:
  void CreateParams(TCreateParams& Params) override;

  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
};

}  // namespace classlib
