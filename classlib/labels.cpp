#include "classlib/labels.h"

namespace classlib {

TLabel::TLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle |= csOpaque | csReplicatable;
  FParentColor = true;
  FWidth = 65;
  FHeight = 17;
}

void TLabel::SetAlignment(TAlignment Value) {
  if (Value == FAlignment) return;
  FAlignment = Value;
  Invalidate();
}

void TLabel::SetAutoSize(bool Value) {
  if (Value == FAutoSize) return;
  FAutoSize = Value;
  AdjustBounds();
}

void TLabel::SetTransparent(bool Value) {
  if (Value == GetTransparent()) return;
  if (Value)
    FControlStyle &= ~TControlStyle(csOpaque);
  else
    FControlStyle |= csOpaque;
  Invalidate();
}

void TLabel::SetShowAccelChar(bool Value) {
  if (Value == FShowAccelChar) return;
  FShowAccelChar = Value;
  AdjustBounds();
  Invalidate();
}

void TLabel::FontChanged() {
  AdjustBounds();
  TGraphicControl::FontChanged();
}

UINT TLabel::TextFlags() const {
  UINT flags = DT_EXPANDTABS;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  if (FAlignment == taRightJustify) flags |= DT_RIGHT;
  if (FAlignment == taCenter) flags |= DT_CENTER;
  return flags;
}

void TLabel::AdjustBounds() {
  if (!FAutoSize) return;
  // An empty caption still has the height of a line.
  std::string text = FText.empty() ? std::string(" ") : FText;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FFont.GetHandle());
  RECT r{0, 0, 0, 0};
  DrawTextA(dc, text.data(), int(text.size()), &r, TextFlags() | DT_CALCRECT);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
}

void TLabel::Paint() {
  TCanvas* canvas = GetCanvas();
  TRect r = GetClientRect();
  if (!GetTransparent()) {
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(GetColor());
    canvas->FillRect(r);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->GetFont()->Assign(GetFont());
  canvas->DrawText(FText, r, TextFlags());
}

}  // namespace classlib
