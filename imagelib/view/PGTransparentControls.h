// Controls that stand on a picture and let it show through their background: a label, a radio
// button, a check box, a group box, a panel and a bevel. Each is the class library's control of
// that kind; the windowed four are made with WS_EX_TRANSPARENT and, while Transparent is on, never
// erase their background and answer the static-colour request with a hollow brush. Every repaint
// of one of them repaints the part of its parent under it first, so that the picture is there
// before the control draws.
#pragma once

#include "classlib/buttons.h"
#include "classlib/labels.h"
#include "classlib/panels.h"

namespace imagelib {

using namespace classlib;

// A TPGLabel, TPGCheckBox, TPGRadioButton, TPGGroupBox or TPGPanel whose Transparent is on, or any
// TPGBevel (descendants included).
bool IsTransparentPGControl(TControl* Control);

namespace detail {
// Repaints the part of Control's parent under it: a transparent parent repaints as a whole (it
// repaints what lies under itself in turn), any other parent gets Control's rectangle invalidated,
// erased unless the parent is opaque. InvalidatingParent is set while the parent is asked, so that
// the parent's call back into its transparent children ends there.
void InvalidateParentUnder(TControl* Control, bool& InvalidatingParent);
}  // namespace detail

// The windowed controls' shared overrides on the class library's control Base.
template <class Base>
class TPGTransparentWindow : public Base {
 public:
  explicit TPGTransparentWindow(TComponent* AOwner) : Base(AOwner) {}
  // The parent under the control, the control, then its transparent children.
  void Invalidate() override;
  // The old place is repainted before the control moves.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  bool GetTransparent() const { return FTransparent; }
  // On a window that exists, also switches csOpaque and WS_EX_TRANSPARENT and repaints.
  void SetTransparent(bool Value);

 protected:
  // WS_EX_TRANSPARENT whatever Transparent holds.
  void CreateParams(TCreateParams& Params) override;
  // WM_ERASEBKGND (nothing while transparent, else the colour) and CN_CTLCOLORSTATIC.
  void WndProc(TMessage& Message) override;
  bool FTransparent = true;
  bool FInvalidatingParent = false;

 private:
  TBrush FBrush;
};

class TPGLabel : public TLabel {
  CL_CLASS(TPGLabel)
  explicit TPGLabel(TComponent* AOwner);
  void Invalidate() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 private:
  bool FInvalidatingParent = false;
};

class TPGBevel : public TBevel {
  CL_CLASS(TPGBevel)
  explicit TPGBevel(TComponent* AOwner) : TBevel(AOwner) {}
  void Invalidate() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 private:
  bool FInvalidatingParent = false;
};

class TPGRadioButton : public TPGTransparentWindow<TRadioButton> {
  CL_CLASS(TPGRadioButton)
  using TPGTransparentWindow::TPGTransparentWindow;
};

class TPGCheckBox : public TPGTransparentWindow<TCheckBox> {
  CL_CLASS(TPGCheckBox)
  using TPGTransparentWindow::TPGTransparentWindow;
};

class TPGGroupBox : public TPGTransparentWindow<TGroupBox> {
  CL_CLASS(TPGGroupBox)
  using TPGTransparentWindow::TPGTransparentWindow;

 protected:
  void Paint() override;
};

class TPGPanel : public TPGTransparentWindow<TPanel> {
  CL_CLASS(TPGPanel)
  using TPGTransparentWindow::TPGTransparentWindow;

 protected:
  // Transparent: the caption alone, then the bevels and border of the panel's own painting, with
  // the inside clipped away.
  void Paint() override;
};

// The group box frame: the caption from x = 8 with the frame line broken under it, the client
// area filled with Color unless transparent, the frame from half the text height down.
void DrawPGGroupBoxFrame(TCanvas* Canvas, TFont* Font, bool Transparent, TColor Color, bool Ctl3D, int Width,
                         int Height, const std::string& Caption);

}  // namespace imagelib
