// TScrollBox: a window whose unaligned children can be larger than its client area; its scroll
// bars follow the children's extent and move them.
#pragma once

#include "classlib/controls.h"
#include "classlib/forms.h"

namespace classlib {

class TScrollBox;

class TControlScrollBar : public TPersistent {
  CL_CLASS(TControlScrollBar)
  TControlScrollBar(TScrollBox* AControl, int AKind) : FControl(AControl), FKind(AKind) {}

  // The extent of the children (unscrolled right or bottom edge), kept by the scroll box.
  int GetRange() const { return FRange; }
  int GetPosition() const { return FPosition; }
  // Clamped to 0..max(0, Range - client extent); moves the children by the difference.
  void SetPosition(int Value);
  int GetIncrement() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  bool GetVisible() const { return FVisible; }
  void SetVisible(bool Value);
  bool GetTracking() const { return FTracking; }
  void SetTracking(bool Value) { FTracking = Value; }
  // Shown: Visible and Range larger than the client extent.
  bool IsScrollBarVisible() const;

 private:
  friend class TScrollBox;
  int ClientExtent() const;
  void ScrollMessage(WORD Code);
  TScrollBox* FControl;
  int FKind;  // SB_HORZ or SB_VERT
  int FRange = 0;
  int FPosition = 0;
  int FIncrement = 8;
  bool FVisible = true;
  bool FTracking = false;
};

class TScrollBox : public TWinControl {
  CL_CLASS(TScrollBox)
  explicit TScrollBox(TComponent* AOwner);

  TControlScrollBar* GetHorzScrollBar() { return &FHorzScrollBar; }
  TControlScrollBar* GetVertScrollBar() { return &FVertScrollBar; }
  TBorderStyle GetBorderStyle() const { return FBorderStyle; }
  // bsSingle: a sunken edge of 2 pixels with Ctl3D, else a line of 1.
  void SetBorderStyle(TBorderStyle Value);
  void SetCtl3D(bool Value) override;
  // On: the ranges follow the extent of the unaligned children at once. Off: they stay as they are.
  bool GetAutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value);
  // Moves the unaligned children by (DeltaX, DeltaY) without SetBounds.
  void ScrollBy(int DeltaX, int DeltaY);

 protected:
  friend class TControlScrollBar;
  void CreateParams(TCreateParams& Params) override;
  void AlignControls(TRect& Rect) override;
  TRect ClientRectWithoutHandle() override;
  void WndProc(TMessage& Message) override;
  // Range from the children, bars decided together, positions clamped.
  void UpdateScrollBars();

 private:
  TControlScrollBar FHorzScrollBar{this, SB_HORZ};
  TControlScrollBar FVertScrollBar{this, SB_VERT};
  void UpdateBorder();
  int BorderSize() const;
  TBorderStyle FBorderStyle = bsSingle;
  bool FAutoScroll = true;
  bool FUpdatingBars = false;
};

}  // namespace classlib
