// TCheckBox and TRadioButton: the system's check box and radio button, whose state the class
// library keeps and hands to the window. TSpeedButton: a flat tool button with a glyph that never takes the focus. Buttons with the same
// GroupIndex on the same parent form a group in which at most one is down.
#pragma once

#include "classlib/controls.h"

namespace classlib {

class TBitmap;

class TSpeedButton : public TCustomControl {
  CL_CLASS(TSpeedButton)
  explicit TSpeedButton(TComponent* AOwner);
  ~TSpeedButton() override;
  void BeforeDestruction() override;

  int GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool GetDown() const { return FDown; }
  // Down from code releases the group's other buttons and fires no OnClick. A down button of a
  // group without AllowAllUp does not go up this way; a button of group 0 is never down.
  void SetDown(bool Value);
  // The whole group shares the setting.
  bool GetAllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  // Drawn centred; the colour of its bottom-left pixel is transparent.
  TBitmap* GetGlyph() { return FGlyph; }
  void SetGlyph(TBitmap* Value);
  void Click() override;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  bool EraseBackground(HDC) override { return true; }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

 private:
  template <class F>
  void ForEachInGroup(F f);
  void DrawGlyph(HDC DC, int X, int Y);
  int FGroupIndex = 0;
  bool FDown = false;
  bool FAllowAllUp = false;
  bool FPressed = false;      // the left button went down here and is held
  bool FPressedInside = false;
  TBitmap* FGlyph;
};

class TButtonControl : public TWinControl {
  CL_CLASS(TButtonControl)
  bool GetChecked() const { return FChecked; }
  // A change fires OnClick, whether it comes from the user or from code.
  virtual void SetChecked(bool Value);

 protected:
  TButtonControl(TComponent* AOwner, DWORD ButtonStyle);
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  void WndProc(TMessage& Message) override;
  // The user clicked the button (BN_CLICKED).
  virtual void Clicked() = 0;
  void SetButtonStyle(DWORD Style);
  bool FChecked = false;

 private:
  DWORD FButtonStyle;
};

class TCheckBox : public TButtonControl {
  CL_CLASS(TCheckBox)
  explicit TCheckBox(TComponent* AOwner);

 protected:
  void Clicked() override { SetChecked(!FChecked); }
};

// A push button. A click first gives its ModalResult to its form (which ends a modal loop), then
// fires OnClick. Enter clicks the form's Default button, Esc its Cancel button.
class TButton : public TButtonControl {
  CL_CLASS(TButton)
  explicit TButton(TComponent* AOwner);
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);
  bool GetCancel() const { return FCancel; }
  void SetCancel(bool Value) { FCancel = Value; }
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  void Click() override;

 protected:
  void Clicked() override { Click(); }

 private:
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

// Checking one radio button unchecks the others of the same parent (without their OnClick).
class TRadioButton : public TButtonControl {
  CL_CLASS(TRadioButton)
  explicit TRadioButton(TComponent* AOwner);
  void SetChecked(bool Value) override;

 protected:
  void Clicked() override { SetChecked(true); }
};

}  // namespace classlib
