// TUpDown: the up-down arrows (a superclass of msctls_updown32) that step the number shown by
// their associated control.
#pragma once

#include "classlib/controls.h"

namespace classlib {

class TUpDown : public TWinControl {
  CL_CLASS(TUpDown)
  explicit TUpDown(TComponent* AOwner);

  // The buddy that shows Position; cleared when it is freed.
  TWinControl* GetAssociate() const { return FAssociate; }
  void SetAssociate(TWinControl* Value);
  int GetMin() const { return FMin; }
  void SetMin(int Value);
  int GetMax() const { return FMax; }
  void SetMax(int Value);
  // With a window, the number in the buddy's text (what the arrows step from).
  int GetPosition();
  void SetPosition(int Value);
  int GetIncrement() const { return FIncrement; }
  void SetIncrement(int Value);
  bool GetArrowKeys() const { return FArrowKeys; }
  void SetArrowKeys(bool Value);
  bool GetWrap() const { return FWrap; }
  void SetWrap(bool Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  void Notification(TComponent* Component, TOperation Operation) override;

 private:
  void ApplyRange();
  void ApplyBuddy();
  TWinControl* FAssociate = nullptr;
  int FMin = 0;
  int FMax = 100;
  int FPosition = 0;
  int FIncrement = 1;
  bool FArrowKeys = true;
  bool FWrap = false;
};

}  // namespace classlib
