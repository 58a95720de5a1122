// TLabel: a windowless caption that its parent paints; filled with its colour or transparent, and
// sized to its text while AutoSize is on.
#pragma once

#include "classlib/controls.h"
#include "classlib/panels.h"

namespace classlib {

class TLabel : public TGraphicControl {
  CL_CLASS(TLabel)
  explicit TLabel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  bool GetAutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  // Transparent: only the text is drawn, whatever the parent painted stays around it.
  bool GetTransparent() const { return !(FControlStyle & csOpaque); }
  void SetTransparent(bool Value);
  // On: '&' marks the next letter (underlined) and "&&" draws one '&'.
  bool GetShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool Value);

 protected:
  void Paint() override;
  void TextChanged() override { AdjustBounds(); }
  void FontChanged() override;

 private:
  UINT TextFlags() const;
  void AdjustBounds();
  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = true;
  bool FShowAccelChar = true;
};

}  // namespace classlib
