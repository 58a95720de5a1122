#include "classlib/controls.h"

#include <algorithm>

#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/menus.h"
#include "classlib/text.h"

namespace classlib {

TShiftState KeysToShiftState(WPARAM Keys) {
  TShiftState s = 0;
  if (Keys & MK_SHIFT) s |= ssShift;
  if (Keys & MK_CONTROL) s |= ssCtrl;
  if (Keys & MK_LBUTTON) s |= ssLeft;
  if (Keys & MK_RBUTTON) s |= ssRight;
  if (Keys & MK_MBUTTON) s |= ssMiddle;
  if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

TForm* GetParentForm(TControl* Control) {
  while (Control && Control->GetParent()) Control = Control->GetParent();
  return dynamic_cast<TForm*>(Control);
}

// ---- TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  FFont.OnChange = [this](TObject*) {
    if (!FUpdatingFont) FParentFont = false;
    FontChanged();
  };
}

void TControl::BeforeDestruction() {
  if (FParent) SetParent(nullptr);
  TComponent::BeforeDestruction();
}

void TControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  Invalidate();
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  Invalidate();
  RequestAlign();
}

TRect TControl::GetClientRect() { return Rect(0, 0, FWidth, FHeight); }

TPoint TControl::GetClientOrigin() {
  if (!FParent) throw EInvalidOperation(Format("Control '%s' has no parent window", GetName().c_str()));
  TPoint p = FParent->GetClientOrigin();
  return Point(p.X + FLeft, p.Y + FTop);
}

TPoint TControl::ClientToScreen(TPoint P) {
  TPoint o = GetClientOrigin();
  return Point(P.X + o.X, P.Y + o.Y);
}

TPoint TControl::ScreenToClient(TPoint P) {
  TPoint o = GetClientOrigin();
  return Point(P.X - o.X, P.Y - o.Y);
}

void TControl::SetParent(TWinControl* AParent) {
  if (AParent == FParent) return;
  if (AParent == this) throw EInvalidOperation("A control cannot have itself as its parent");
  if (FParent) FParent->RemoveControl(this);
  if (AParent) {
    AParent->InsertControl(this);
    if (FParentFont) TakeParentFont();
    ParentColorChanged();
  }
}

void TControl::SetAlign(TAlign Value) {
  if (Value == FAlign) return;
  FAlign = Value;
  RequestAlign();
}

void TControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  VisibleChanging();
  FVisible = Value;
  Invalidate();  // shown or hidden, the area is painted again
  RequestAlign();
}

void TControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  Invalidate();
}

TColor TControl::GetColor() const {
  if (FParentColor && FParent) return FParent->GetColor();
  return FColor;
}

void TControl::SetColor(TColor Value) {
  if (Value == FColor && !FParentColor) return;
  FColor = Value;
  FParentColor = false;
  ParentColorChanged();
}

void TControl::SetParentColor(bool Value) {
  if (Value == FParentColor) return;
  FParentColor = Value;
  ParentColorChanged();
}

void TControl::SetParentFont(bool Value) {
  if (Value == FParentFont) return;
  FParentFont = Value;
  if (Value && FParent) TakeParentFont();
}

void TControl::TakeParentFont() {
  FUpdatingFont = true;
  ScopeExit done([this] { FUpdatingFont = false; });
  FFont.Assign(FParent->GetFont());
}

std::string TControl::GetText() { return FText; }

void TControl::SetText(const std::string& Value) {
  if (Value == FText) return;
  FText = Value;
  TextChanged();
  Invalidate();
}

void TControl::SetHint(const std::string& Value) {
  if (Value == FHint) return;
  FHint = Value;
  HintChanged();
}

bool TControl::GetShowHint() const {
  if (FParentShowHint && FParent) return FParent->GetShowHint();
  return FShowHint;
}

void TControl::SetShowHint(bool Value) {
  FShowHint = Value;
  FParentShowHint = false;
  HintChanged();
}

void TControl::SetParentShowHint(bool Value) {
  if (Value == FParentShowHint) return;
  FParentShowHint = Value;
  HintChanged();
}

void TControl::SetPopupMenu(TPopupMenu* Value) {
  if (Value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = Value;
  if (FPopupMenu) FPopupMenu->FreeNotification(this);
}

void TControl::Notification(TComponent* Component, TOperation Operation) {
  TComponent::Notification(Component, Operation);
  if (Operation == opRemove && Component == FPopupMenu) FPopupMenu = nullptr;
}

void TControl::Invalidate() {}
void TControl::Update() {}

void TControl::Repaint() {
  Invalidate();
  Update();
}

void TControl::WndProc(TMessage& Message) { DefaultHandler(Message); }

LRESULT TControl::Perform(UINT Msg, WPARAM WParam, LPARAM LParam) {
  TMessage m{Msg, WParam, LParam, 0};
  WndProc(m);
  return m.Result;
}

void TControl::MouseInput(UINT Msg, WPARAM Keys, int X, int Y) {
  TShiftState shift = KeysToShiftState(Keys);
  switch (Msg) {
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
      if (Msg == WM_LBUTTONDBLCLK && (FControlStyle & csDoubleClicks)) {
        DblClick();
        shift |= ssDouble;
      }
      if (FControlStyle & csCaptureMouse) SetMouseCapture(true);
      if (FControlStyle & csClickEvents) FClicked = true;
      MouseDown(mbLeft, shift, X, Y);
      break;
    case WM_RBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
      if (Msg == WM_RBUTTONDBLCLK) shift |= ssDouble;
      MouseDown(mbRight, shift, X, Y);
      break;
    case WM_MBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
      if (Msg == WM_MBUTTONDBLCLK) shift |= ssDouble;
      MouseDown(mbMiddle, shift, X, Y);
      break;
    case WM_MOUSEMOVE:
      MouseMove(shift, X, Y);
      break;
    case WM_LBUTTONUP: {
      bool clicked = FClicked;
      FClicked = false;
      // The capture goes first, so that a click handler can start a modal loop.
      if (GetMouseCapture()) SetMouseCapture(false);
      TRect r = GetClientRect();
      if (clicked && X >= r.Left && Y >= r.Top && X < r.Right && Y < r.Bottom) Click();
      MouseUp(mbLeft, shift, X, Y);
      break;
    }
    case WM_RBUTTONUP:
      MouseUp(mbRight, shift, X, Y);
      break;
    case WM_MBUTTONUP:
      MouseUp(mbMiddle, shift, X, Y);
      break;
    default:
      break;
  }
}

bool TControl::GetMouseCapture() const {
  if (IsWindowed()) {
    auto* self = static_cast<const TWinControl*>(this);
    return self->FHandle && GetCapture() == self->FHandle;
  }
  return FParent && FParent->FCaptureControl == this;
}

void TControl::SetMouseCapture(bool Value) {
  if (IsWindowed()) {
    auto* self = static_cast<TWinControl*>(this);
    if (Value)
      SetCapture(self->GetHandle());
    else if (self->FHandle && GetCapture() == self->FHandle)
      ReleaseCapture();
    return;
  }
  if (!FParent || !FParent->HandleAllocated()) return;
  if (Value) {
    SetCapture(FParent->GetHandle());
    FParent->FCaptureControl = this;
  } else if (FParent->FCaptureControl == this) {
    FParent->FCaptureControl = nullptr;
    if (GetCapture() == FParent->FHandle) ReleaseCapture();
  }
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TControl::MouseMove(TShiftState Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TControl::ParentColorChanged() { Invalidate(); }

void TControl::FontChanged() { Invalidate(); }

void TControl::RequestAlign() {
  if (FParent) FParent->Realign();
}

// ---- TControlCanvas

namespace {
std::vector<TControlCanvas*>& HeldCanvases() {
  static auto* list = new std::vector<TControlCanvas*>;
  return *list;
}
}  // namespace

TControlCanvas::~TControlCanvas() { FreeHandle(); }

void TControlCanvas::CreateHandle() {
  HWND window;
  if (auto* w = dynamic_cast<TWinControl*>(FControl)) {
    window = w->GetHandle();
  } else {
    TWinControl* parent = FControl->GetParent();
    if (!parent) return;  // no device: the canvas refuses to draw
    window = parent->GetHandle();
  }
  HDC dc = GetDCEx(window, nullptr, DCX_CACHE | DCX_CLIPSIBLINGS);
  if (!dc) throw EOutOfResources("Out of system resources");
  if (!dynamic_cast<TWinControl*>(FControl)) {
    SetViewportOrgEx(dc, FControl->GetLeft(), FControl->GetTop(), nullptr);
    IntersectClipRect(dc, 0, 0, FControl->GetWidth(), FControl->GetHeight());
  }
  FDC = dc;
  FDCWindow = window;
  HeldCanvases().push_back(this);
  SetHandle(dc);
}

void TControlCanvas::FreeHandle() {
  if (!FDC) {
    SetHandle(nullptr);
    return;
  }
  SetHandle(nullptr);
  ReleaseDC(FDCWindow, FDC);
  FDC = nullptr;
  FDCWindow = nullptr;
  auto& held = HeldCanvases();
  held.erase(std::remove(held.begin(), held.end(), this), held.end());
}

int TControlCanvas::HeldDCCount() { return int(HeldCanvases().size()); }

void TControlCanvas::ReleaseHeldDCs() {
  auto& held = HeldCanvases();
  while (!held.empty()) held.back()->FreeHandle();
}

// ---- TGraphicControl

TGraphicControl::TGraphicControl(TComponent* AOwner) : TControl(AOwner), FCanvas(new TControlCanvas(this)) {
  FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
}

TGraphicControl::~TGraphicControl() { delete FCanvas; }

void TGraphicControl::Invalidate() {
  if (!FParent || !FParent->HandleAllocated()) return;
  RECT r{FLeft, FTop, FLeft + FWidth, FTop + FHeight};
  InvalidateRect(FParent->GetHandle(), &r, !(FControlStyle & csOpaque));
}

void TGraphicControl::Update() {
  if (FParent) FParent->Update();
}

// ---- TCustomControl

TCustomControl::TCustomControl(TComponent* AOwner) : TWinControl(AOwner), FCanvas(new TControlCanvas(this)) {}

TCustomControl::~TCustomControl() { delete FCanvas; }

void TCustomControl::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  FCanvas->SetHandle(DC);
  ScopeExit release([this] { FCanvas->SetHandle(nullptr); });
  Paint();
}

}  // namespace classlib
