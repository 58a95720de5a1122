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

}  // namespace classlib
