// TPanel: a container with raised or lowered bevels, a border and a centred caption.
#pragma once

#include "classlib/controls.h"

namespace classlib {

enum TBevelCut { bvNone, bvLowered, bvRaised };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Draws a frame of Width pixels inside Rect (top and left in TopColor, bottom and right in
// BottomColor) and shrinks Rect by it.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

class TPanel : public TCustomControl {
  CL_CLASS(TPanel)
  explicit TPanel(TComponent* AOwner);

  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBevelCut GetBevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut Value);
  TBevelCut GetBevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut Value);
  int GetBevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  int GetBorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int Value);

 protected:
  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  // Aligned children stay inside the border and the bevels.
  void AdjustClientRect(TRect& Rect) override;
  // Paint covers the whole client area.
  bool EraseBackground(HDC) override { return true; }

 private:
  TAlignment FAlignment = taCenter;
  TBevelCut FBevelOuter = bvRaised;
  TBevelCut FBevelInner = bvNone;
  int FBevelWidth = 1;
  int FBorderWidth = 0;
};

}  // namespace classlib
