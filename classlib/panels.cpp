#include "classlib/panels.h"

namespace classlib {

void Frame3D(TCanvas* Canvas, TRect& R, TColor TopColor, TColor BottomColor, int Width) {
  TPen* pen = Canvas->GetPen();
  pen->SetWidth(1);
  pen->SetStyle(psSolid);
  pen->SetMode(pmCopy);
  for (int i = 0; i < Width && R.Right > R.Left && R.Bottom > R.Top; ++i) {
    int right = R.Right - 1, bottom = R.Bottom - 1;
    pen->SetColor(TopColor);
    Canvas->MoveTo(R.Left, bottom);
    Canvas->LineTo(R.Left, R.Top);
    Canvas->LineTo(right, R.Top);
    pen->SetColor(BottomColor);
    Canvas->MoveTo(right, R.Top);
    Canvas->LineTo(right, bottom);
    Canvas->LineTo(R.Left - 1, bottom);
    R = Rect(R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1);
  }
}

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks |
                  csReplicatable;
  FWidth = 185;
  FHeight = 41;
}

void TPanel::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TPanel::SetAlignment(TAlignment Value) {
  FAlignment = Value;
  Invalidate();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
  FBevelOuter = Value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelInner(TBevelCut Value) {
  FBevelInner = Value;
  Realign();
  Invalidate();
}

void TPanel::SetBevelWidth(int Value) {
  FBevelWidth = Value < 1 ? 1 : Value;
  Realign();
  Invalidate();
}

void TPanel::SetBorderWidth(int Value) {
  FBorderWidth = Value < 0 ? 0 : Value;
  Realign();
  Invalidate();
}

void TPanel::AdjustClientRect(TRect& R) {
  int inset = FBorderWidth + (FBevelOuter != bvNone ? FBevelWidth : 0) + (FBevelInner != bvNone ? FBevelWidth : 0);
  R = Rect(R.Left + inset, R.Top + inset, R.Right - inset, R.Bottom - inset);
}

void TPanel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor top = cut == bvLowered ? clBtnShadow : clBtnHighlight;
    TColor bottom = cut == bvLowered ? clBtnHighlight : clBtnShadow;
    Frame3D(canvas, r, top, bottom, FBevelWidth);
  };
  bevel(FBevelOuter);
  Frame3D(canvas, r, GetColor(), GetColor(), FBorderWidth);
  bevel(FBevelInner);
  canvas->GetBrush()->SetColor(GetColor());
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(r);
  std::string caption = GetText();
  if (caption.empty()) return;
  canvas->GetFont()->Assign(GetFont());
  canvas->GetBrush()->SetStyle(bsClear);
  UINT align = FAlignment == taLeftJustify ? DT_LEFT : FAlignment == taRightJustify ? DT_RIGHT : DT_CENTER;
  canvas->DrawText(caption, r, DT_SINGLELINE | DT_VCENTER | align);
}

// ---- TGroupBox

TGroupBox::TGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks | csReplicatable;
  FWidth = 185;
  FHeight = 105;
}

void TGroupBox::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TGroupBox::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  int h = canvas->TextHeight("0");
  TBrush* brush = canvas->GetBrush();
  brush->SetStyle(bsSolid);
  brush->SetColor(GetColor());
  canvas->FillRect(GetClientRect());
  TRect frame = Rect(0, h / 2 - 1, FWidth, FHeight);
  if (FCtl3D) {
    brush->SetColor(clBtnHighlight);
    canvas->FrameRect(Rect(frame.Left + 1, frame.Top + 1, frame.Right, frame.Bottom));
    brush->SetColor(clBtnShadow);
    canvas->FrameRect(Rect(frame.Left, frame.Top, frame.Right - 1, frame.Bottom - 1));
  } else {
    brush->SetColor(clWindowFrame);
    canvas->FrameRect(frame);
  }
  std::string caption = GetText();
  if (caption.empty()) return;
  // The caption's own background breaks the line under it.
  brush->SetColor(GetColor());
  TRect text = Rect(8, 0, 8, h);
  canvas->DrawText(caption, text, DT_SINGLELINE | DT_CALCRECT);
  canvas->DrawText(caption, text, DT_SINGLELINE);
}

// ---- TBevel

TBevel::TBevel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csReplicatable;
  FWidth = 50;
  FHeight = 50;
}

void TBevel::SetShape(TBevelShape Value) {
  if (Value == FShape) return;
  FShape = Value;
  Invalidate();
}

void TBevel::SetStyle(TBevelStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Invalidate();
}

void TBevel::Paint() {
  TCanvas* canvas = GetCanvas();
  TColor dark = FStyle == bsLowered ? clBtnShadow : clBtnHighlight;
  TColor light = FStyle == bsLowered ? clBtnHighlight : clBtnShadow;
  TPen* pen = canvas->GetPen();
  pen->SetWidth(1);
  pen->SetStyle(psSolid);
  pen->SetMode(pmCopy);
  auto line = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
    pen->SetColor(Color);
    canvas->MoveTo(X1, Y1);
    canvas->LineTo(X2, Y2);
  };
  int w = FWidth, h = FHeight;
  switch (FShape) {
    case bsBox: {
      TRect r = Rect(0, 0, w, h);
      Frame3D(canvas, r, dark, light, 1);
      break;
    }
    case bsFrame: {
      // Two nested boxes of opposite cut: a groove (or a ridge).
      TRect outer = Rect(0, 0, w - 1, h - 1), inner = Rect(1, 1, w, h);
      Frame3D(canvas, inner, light, light, 1);
      Frame3D(canvas, outer, dark, dark, 1);
      break;
    }
    case bsTopLine:
      line(dark, 0, 0, w, 0);
      line(light, 0, 1, w, 1);
      break;
    case bsBottomLine:
      line(dark, 0, h - 2, w, h - 2);
      line(light, 0, h - 1, w, h - 1);
      break;
    case bsLeftLine:
      line(dark, 0, 0, 0, h);
      line(light, 1, 0, 1, h);
      break;
    case bsRightLine:
      line(dark, w - 2, 0, w - 2, h);
      line(light, w - 1, 0, w - 1, h);
      break;
  }
}

}  // namespace classlib
