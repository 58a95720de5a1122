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
  // False: the selection stays shown while the control has not the focus. A style of the
  // window: a change makes a new window.
  bool GetHideSelection() const { return FHideSelection; }
  void SetHideSelection(bool Value);
  // A sunken edge with Ctl3D, else a line.
  void SetCtl3D(bool Value) override;
  // Empties the text.
  virtual void Clear();

  // Fires for the user's and the program's changes once the window exists; not while the
  // window is being made with the stored text.
  TNotifyEvent OnChange;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  // Keeps the text for the next window.
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  virtual void Change();
  // Hands the limit to the window (after every creation and on every change).
  virtual void DoSetMaxLength(int Value);

  int FMaxLength = 0;
  bool FReadOnly = false;
  bool FHideSelection = true;
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
  // Tab puts a tab into the text instead of going to the next control.
  bool GetWantTabs() const { return FWantTabs; }
  void SetWantTabs(bool Value) { FWantTabs = Value; }
  // Enter starts a new line; off, Enter is the form's (its default button's) and Ctrl+Enter
  // starts the line.
  bool GetWantReturns() const { return FWantReturns; }
  void SetWantReturns(bool Value) { FWantReturns = Value; }

 protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;

  TScrollStyle FScrollBars = ssNone;
  bool FWordWrap = true;
  bool FWantTabs = false;
  bool FWantReturns = true;
};

}  // namespace classlib
