#include "imagelib/view/PGTransparentControls.h"

#include "classlib/finally.h"
#include "classlib/graphics.h"

namespace imagelib {

bool IsTransparentPGControl(TControl* Control) {
  if (auto* c = dynamic_cast<TPGLabel*>(Control)) return c->GetTransparent();
  if (auto* c = dynamic_cast<TPGCheckBox*>(Control)) return c->GetTransparent();
  if (auto* c = dynamic_cast<TPGRadioButton*>(Control)) return c->GetTransparent();
  if (auto* c = dynamic_cast<TPGGroupBox*>(Control)) return c->GetTransparent();
  if (auto* c = dynamic_cast<TPGPanel*>(Control)) return c->GetTransparent();
  return dynamic_cast<TPGBevel*>(Control) != nullptr;
}

void detail::InvalidateParentUnder(TControl* Control, bool& InvalidatingParent) {
  TWinControl* parent = Control->GetParent();
  if (InvalidatingParent || !parent) return;
  if (IsTransparentPGControl(parent)) {
    InvalidatingParent = true;
    ScopeExit reset([&] { InvalidatingParent = false; });
    parent->Invalidate();
    return;
  }
  // A parent without a window has nothing on screen to repaint (and a null window would mean the
  // whole desktop).
  if (!parent->HandleAllocated()) return;
  TRect b = Control->GetBoundsRect();
  RECT r{b.Left, b.Top, b.Right, b.Bottom};
  InvalidateRect(parent->GetHandle(), &r, !(parent->GetControlStyle() & csOpaque));
}

// ---- the windowed four

template <class Base>
void TPGTransparentWindow<Base>::Invalidate() {
  detail::InvalidateParentUnder(this, FInvalidatingParent);
  Base::Invalidate();
  for (int i = 0; i < this->GetControlCount(); ++i) {
    TControl* child = this->GetControl(i);
    if (IsTransparentPGControl(child)) child->Invalidate();
  }
}

template <class Base>
void TPGTransparentWindow<Base>::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Invalidate();
  Base::SetBounds(ALeft, ATop, AWidth, AHeight);
}

template <class Base>
void TPGTransparentWindow<Base>::SetTransparent(bool Value) {
  if (Value == FTransparent) return;
  FTransparent = Value;
  if (!this->HandleAllocated()) return;
  const TControlStyle style = this->GetControlStyle();
  this->SetControlStyle(Value ? style & ~TControlStyle(csOpaque) : style | csOpaque);
  // WS_EX_CONTROLPARENT goes either way.
  this->SetWindowStyleBits(WS_EX_CONTROLPARENT | WS_EX_TRANSPARENT, Value ? WS_EX_TRANSPARENT : 0, GWL_EXSTYLE);
  Invalidate();
}

template <class Base>
void TPGTransparentWindow<Base>::CreateParams(TCreateParams& Params) {
  Base::CreateParams(Params);
  Params.ExStyle |= WS_EX_TRANSPARENT;
}

template <class Base>
void TPGTransparentWindow<Base>::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND:
      // Opaque, the control erases with its colour as any windowed control does, although its
      // class leaves the background to its painting or to the system's button.
      if (!FTransparent) this->TWinControl::EraseBackground(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case CN_CTLCOLORSTATIC: {
      if (!this->HandleAllocated()) {
        this->DefaultHandler(Message);
        return;
      }
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      FBrush.SetColor(this->GetColor());
      FBrush.SetStyle(FTransparent ? bsClear : bsSolid);
      SetTextColor(dc, ColorToRGB(this->GetFont()->GetColor()));
      SetBkColor(dc, ColorToRGB(FBrush.GetColor()));
      SetBkMode(dc, FTransparent ? TRANSPARENT : OPAQUE);
      Message.Result = reinterpret_cast<LRESULT>(FBrush.GetHandle());
      return;
    }
    default:
      break;
  }
  Base::WndProc(Message);
}

template class TPGTransparentWindow<TRadioButton>;
template class TPGTransparentWindow<TCheckBox>;
template class TPGTransparentWindow<TGroupBox>;
template class TPGTransparentWindow<TPanel>;

// ---- the windowless two

TPGLabel::TPGLabel(TComponent* AOwner) : TLabel(AOwner) { SetTransparent(true); }

void TPGLabel::Invalidate() {
  detail::InvalidateParentUnder(this, FInvalidatingParent);
  TLabel::Invalidate();
}

void TPGLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Invalidate();
  TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TPGBevel::Invalidate() {
  detail::InvalidateParentUnder(this, FInvalidatingParent);
  TBevel::Invalidate();
}

void TPGBevel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  Invalidate();
  TBevel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

// ---- painting

void DrawPGGroupBoxFrame(TCanvas* Canvas, TFont* Font, bool Transparent, TColor Color, bool Ctl3D, int Width,
                         int Height, const std::string& Caption) {
  Canvas->GetFont()->Assign(Font);
  int h = Canvas->TextHeight("0");
  TBrush* brush = Canvas->GetBrush();
  if (!Caption.empty()) {
    TRect r = Rect(8, 0, 0, h);
    Canvas->DrawText(Caption, r, DT_CALCRECT | DT_SINGLELINE);
    // A solid brush draws the text opaque on Color, a clear one leaves the background.
    if (!Transparent) brush->SetColor(Color);
    brush->SetStyle(Transparent ? bsClear : bsSolid);
    Canvas->DrawText(Caption, r, DT_SINGLELINE);
    // The frame line stops short of the caption.
    ExcludeClipRect(Canvas->GetHandle(), r.Left - 1, r.Top, r.Right + 1, r.Bottom);
  }
  if (!Transparent) {
    brush->SetColor(Color);
    brush->SetStyle(bsSolid);
    Canvas->FillRect(Rect(0, 0, Width, Height));
  }
  TRect f = Rect(0, h / 2 - 1, Width, Height);
  brush->SetStyle(bsSolid);
  if (Ctl3D) {
    f.Left += 1;
    f.Top += 1;
    brush->SetColor(clBtnHighlight);
    Canvas->FrameRect(f);
    f = Rect(f.Left - 1, f.Top - 1, f.Right - 1, f.Bottom - 1);
    brush->SetColor(clBtnShadow);
    Canvas->FrameRect(f);
  } else {
    brush->SetColor(clWindowFrame);
    Canvas->FrameRect(f);
  }
}

void TPGGroupBox::Paint() {
  DrawPGGroupBoxFrame(GetCanvas(), GetFont(), FTransparent, GetColor(), GetCtl3D(), GetWidth(), GetHeight(),
                      GetText());
}

void TPGPanel::Paint() {
  TCanvas* canvas = GetCanvas();
  if (FTransparent) {
    TRect r = GetClientRect();
    canvas->GetBrush()->SetStyle(bsClear);
    canvas->GetFont()->Assign(GetFont());
    int h = canvas->TextHeight("W");
    r.Top = (r.Top + r.Bottom - h) / 2;
    r.Bottom = r.Top + h;
    TAlignment a = GetAlignment();
    UINT align = a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER;
    canvas->DrawText(GetText(), r, DT_EXPANDTABS | DT_VCENTER | align);
    // Only the bevels and the border outside the inside stay for the panel's own painting.
    r = GetClientRect();
    int inset = (GetBevelInner() != bvNone ? GetBevelWidth() : 0) + (GetBevelOuter() != bvNone ? GetBevelWidth() : 0) +
                GetBorderWidth();
    ExcludeClipRect(canvas->GetHandle(), r.Left + inset, r.Top + inset, r.Right - inset, r.Bottom - inset);
  }
  TPanel::Paint();
}

}  // namespace imagelib
