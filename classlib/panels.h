// TPanel: a container with raised or lowered bevels, a border and a centred caption. TGroupBox: a
// container framed by a line with its caption in it. TBevel: a windowless sunken or raised box,
// frame or line.
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

class TGroupBox : public TCustomControl {
  CL_CLASS(TGroupBox)
  explicit TGroupBox(TComponent* AOwner);

 protected:
  void CreateParams(TCreateParams& Params) override;
  // Filled with the colour, the frame from half the text height down, the caption from x = 8.
  void Paint() override;
  bool EraseBackground(HDC) override { return true; }
};

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
  CL_CLASS(TBevel)
  explicit TBevel(TComponent* AOwner);
  TBevelShape GetShape() const { return FShape; }
  void SetShape(TBevelShape Value);
  TBevelStyle GetStyle() const { return FStyle; }
  void SetStyle(TBevelStyle Value);

 protected:
  // Lowered: shadow above and left, highlight below and right; raised the other way round.
  void Paint() override;

 private:
  TBevelShape FShape = bsBox;
  TBevelStyle FStyle = bsLowered;
};

}  // namespace classlib
