#include "classlib/buttons.h"

#include "classlib/bitmap.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/msgbox.h"

namespace classlib {

namespace {
// The checkered face of a button that stays down.
HBRUSH DownFaceBrush() {
  static HBRUSH brush = [] {
    static const WORD rows[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    HBITMAP pattern = CreateBitmap(8, 8, 1, 1, rows);
    HBRUSH b = CreatePatternBrush(pattern);
    DeleteObject(pattern);
    return b;
  }();
  return brush;
}
}  // namespace

TSpeedButton::TSpeedButton(TComponent* AOwner) : TCustomControl(AOwner), FGlyph(New<TBitmap>()) {
  // Click comes from MouseUp, where the group logic runs first.
  FControlStyle = csCaptureMouse | csDoubleClicks;
  FWidth = 23;
  FHeight = 22;
  FGlyph->OnChange = [this](TObject*) { Invalidate(); };
}

TSpeedButton::~TSpeedButton() = default;

void TSpeedButton::BeforeDestruction() {
  TCustomControl::BeforeDestruction();  // the window goes first; it paints with the glyph
  TBitmap* glyph = FGlyph;
  FGlyph = nullptr;
  Free(glyph);
}

void TSpeedButton::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.Style &= ~DWORD(WS_TABSTOP);
}

template <class F>
void TSpeedButton::ForEachInGroup(F f) {
  if (!FParent || FGroupIndex == 0) return;
  for (int i = 0; i < FParent->GetControlCount(); ++i) {
    auto* other = dynamic_cast<TSpeedButton*>(FParent->GetControl(i));
    if (other && other != this && other->FGroupIndex == FGroupIndex) f(other);
  }
}

void TSpeedButton::SetGroupIndex(int Value) {
  if (Value == FGroupIndex) return;
  FGroupIndex = Value;
  if (FGroupIndex == 0) FDown = false;
  Invalidate();
}

void TSpeedButton::SetDown(bool Value) {
  if (FGroupIndex == 0) Value = false;
  if (Value == FDown) return;
  if (FDown && !FAllowAllUp) return;
  FDown = Value;
  if (FDown)
    ForEachInGroup([](TSpeedButton* other) {
      if (other->FDown) {
        other->FDown = false;
        other->Invalidate();
      }
    });
  Invalidate();
}

void TSpeedButton::SetAllowAllUp(bool Value) {
  FAllowAllUp = Value;
  ForEachInGroup([Value](TSpeedButton* other) { other->FAllowAllUp = Value; });
}

void TSpeedButton::SetGlyph(TBitmap* Value) {
  FGlyph->Assign(Value);
  Invalidate();
}

void TSpeedButton::Click() { TCustomControl::Click(); }

void TSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (Button != mbLeft || !FEnabled) return;
  FPressed = true;
  FPressedInside = true;
  Repaint();
}

void TSpeedButton::MouseMove(TShiftState Shift, int X, int Y) {
  TCustomControl::MouseMove(Shift, X, Y);
  if (!FPressed) return;
  bool inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
  if (inside != FPressedInside) {
    FPressedInside = inside;
    Repaint();
  }
}

void TSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (Button != mbLeft || !FPressed) return;
  FPressed = false;
  bool inside = X >= 0 && Y >= 0 && X < FWidth && Y < FHeight;
  if (inside && FGroupIndex != 0) SetDown(!FDown);
  Invalidate();
  if (inside) Click();
}

void TSpeedButton::DrawGlyph(HDC DC, int X, int Y) {
  int w = FGlyph->GetWidth(), h = FGlyph->GetHeight();
  const uint8_t* corner = FGlyph->GetScanLine(h - 1);
  COLORREF transparent = RGB(corner[2], corner[1], corner[0]);
  if (FEnabled) {
    HDC source = FGlyph->GetCanvas()->GetHandle();
    TransparentBlt(DC, X, Y, w, h, source, 0, 0, w, h, transparent);
    return;
  }
  // Greyed: the glyph's shape embossed in the face colours.
  COLORREF light = ColorToRGB(clBtnHighlight), dark = ColorToRGB(clBtnShadow);
  for (int pass = 0; pass < 2; ++pass)
    for (int y = 0; y < h; ++y) {
      const uint8_t* row = FGlyph->GetScanLine(y);
      for (int x = 0; x < w; ++x) {
        if (RGB(row[3 * x + 2], row[3 * x + 1], row[3 * x]) == transparent) continue;
        if (pass == 0)
          SetPixelV(DC, X + x + 1, Y + y + 1, light);
        else
          SetPixelV(DC, X + x, Y + y, dark);
      }
    }
}

void TSpeedButton::Paint() {
  HDC dc = GetCanvas()->GetHandle();
  RECT r{0, 0, FWidth, FHeight};
  bool sunk = FDown || (FPressed && FPressedInside);
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (sunk ? DFCS_PUSHED : 0));
  if (FDown && !(FPressed && FPressedInside)) {
    RECT face{2, 2, FWidth - 2, FHeight - 2};
    SetTextColor(dc, ColorToRGB(clBtnFace));
    SetBkColor(dc, ColorToRGB(clBtnHighlight));
    FillRect(dc, &face, DownFaceBrush());
  }
  if (FGlyph->GetEmpty()) return;
  int offset = sunk ? 1 : 0;
  DrawGlyph(dc, (FWidth - FGlyph->GetWidth()) / 2 + offset, (FHeight - FGlyph->GetHeight()) / 2 + offset);
}

// ---- TButtonControl, TCheckBox, TRadioButton

TButtonControl::TButtonControl(TComponent* AOwner, DWORD ButtonStyle)
    : TWinControl(AOwner), FButtonStyle(ButtonStyle) {
  FControlStyle = csSetCaption | csDoubleClicks;
  FTabStop = true;
}

void TButtonControl::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.SuperClassOf = "BUTTON";
  Params.Style |= FButtonStyle;
}

void TButtonControl::SetButtonStyle(DWORD Style) {
  FButtonStyle = Style;
  if (FHandle) SendMessageA(FHandle, BM_SETSTYLE, Style, TRUE);
}

void TButtonControl::CreateWndDone() { SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0); }

void TButtonControl::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  if (FHandle) SendMessageA(FHandle, BM_SETCHECK, Value ? BST_CHECKED : BST_UNCHECKED, 0);
  Click();
}

void TButtonControl::WndProc(TMessage& Message) {
  if (Message.Msg == CN_COMMAND && HIWORD(Message.WParam) == BN_CLICKED) {
    Clicked();
    Message.Result = 0;
    return;
  }
  TWinControl::WndProc(Message);
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner, BS_PUSHBUTTON) {
  FWidth = 75;
  FHeight = 25;
}

void TButton::SetDefault(bool Value) {
  FDefault = Value;
  SetButtonStyle(Value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
}

void TButton::Click() {
  if (FModalResult != mrNone)
    if (TForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TControl::Click();
}

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner, BS_CHECKBOX) {
  FWidth = 97;
  FHeight = 17;
}

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner, BS_RADIOBUTTON) {
  FWidth = 100;
  FHeight = 17;
}

void TRadioButton::SetChecked(bool Value) {
  if (Value == FChecked) return;
  if (Value && FParent)
    for (int i = 0; i < FParent->GetControlCount(); ++i) {
      auto* other = dynamic_cast<TRadioButton*>(FParent->GetControl(i));
      if (!other || other == this || !other->FChecked) continue;
      other->FChecked = false;
      if (other->FHandle) SendMessageA(other->FHandle, BM_SETCHECK, BST_UNCHECKED, 0);
    }
  TButtonControl::SetChecked(Value);
}

}  // namespace classlib
