#include "classlib/scrollbox.h"

#include <algorithm>

#include "classlib/finally.h"
#include "classlib/scrollrange.h"

namespace classlib {

// ---- TControlScrollBar

int TControlScrollBar::ClientExtent() const {
  TRect r = FControl->GetClientRect();
  return FKind == SB_HORZ ? r.Width() : r.Height();
}

bool TControlScrollBar::IsScrollBarVisible() const { return FVisible && FRange > ClientExtent(); }

void TControlScrollBar::SetVisible(bool Value) {
  if (Value == FVisible) return;
  FVisible = Value;
  FControl->UpdateScrollBars();
}

void TControlScrollBar::SetPosition(int Value) {
  int limit = MaxScrollPosition(FRange, ClientExtent());
  Value = std::clamp(Value, 0, limit);
  if (Value == FPosition) return;
  int delta = FPosition - Value;
  FPosition = Value;
  // The children move also while there is no window yet: their places always count from the
  // position.
  if (FKind == SB_HORZ)
    FControl->ScrollBy(delta, 0);
  else
    FControl->ScrollBy(0, delta);
  if (FControl->HandleAllocated()) SetScrollPos(FControl->GetHandle(), FKind, FPosition, TRUE);
}

void TControlScrollBar::ScrollMessage(WORD Code) {
  switch (Code) {
    case SB_LINEUP:
      SetPosition(FPosition - FIncrement);
      break;
    case SB_LINEDOWN:
      SetPosition(FPosition + FIncrement);
      break;
    case SB_PAGEUP:
      SetPosition(FPosition - ClientExtent());
      break;
    case SB_PAGEDOWN:
      SetPosition(FPosition + ClientExtent());
      break;
    case SB_TOP:
      SetPosition(0);
      break;
    case SB_BOTTOM:
      SetPosition(FRange);
      break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      if (Code == SB_THUMBPOSITION || FTracking) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(FControl->GetHandle(), FKind, &info);
        SetPosition(info.nTrackPos);
      }
      break;
    default:
      break;
  }
}

// ---- TScrollBox

TScrollBox::TScrollBox(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csSetCaption;
  FParentColor = true;
  FWidth = 185;
  FHeight = 41;
}

void TScrollBox::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
  BorderParams(Params, FBorderStyle == bsSingle);
  Params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void TScrollBox::SetBorderStyle(TBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  UpdateBorder();
}

void TScrollBox::SetCtl3D(bool Value) {
  if (Value == FCtl3D) return;
  TWinControl::SetCtl3D(Value);
  UpdateBorder();
}

void TScrollBox::UpdateBorder() {
  if (!FHandle) return;
  UpdateBorderStyle(FBorderStyle == bsSingle);
  UpdateScrollBars();
}

int TScrollBox::BorderSize() const {
  if (FBorderStyle != bsSingle) return 0;
  return FCtl3D ? 2 : 1;
}

void TScrollBox::SetAutoScroll(bool Value) {
  if (Value == FAutoScroll) return;
  FAutoScroll = Value;
  UpdateScrollBars();
}

TRect TScrollBox::ClientRectWithoutHandle() {
  int edge = BorderSize();
  return Rect(0, 0, std::max(FWidth - 2 * edge, 0), std::max(FHeight - 2 * edge, 0));
}

void TScrollBox::AlignControls(TRect& R) {
  TRect before = GetClientRect();
  TWinControl::AlignControls(R);
  UpdateScrollBars();
  TRect after = GetClientRect();
  if (!(after == before)) {  // a bar came or went: the aligned children get the new area
    TRect r = after;
    AdjustClientRect(r);
    TWinControl::AlignControls(r);
  }
}

void TScrollBox::ScrollBy(int DeltaX, int DeltaY) {
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    if (c->GetAlign() != alNone) continue;
    int left = int(std::clamp<int64_t>(int64_t(c->FLeft) + DeltaX, INT32_MIN, INT32_MAX));
    int top = int(std::clamp<int64_t>(int64_t(c->FTop) + DeltaY, INT32_MIN, INT32_MAX));
    if (auto* w = dynamic_cast<TWinControl*>(c); w && w->HandleAllocated()) {
      // Windows stand at most 16 bits away; one scrolled farther is off the client area anyway,
      // and keeps its true place in Left and Top, not the one the window reports.
      auto within16 = [](int v) { return std::clamp(v, -32768, 32767); };
      SetWindowPos(w->GetHandle(), nullptr, within16(left), within16(top), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    c->FLeft = left;
    c->FTop = top;
  }
  // The children too: a child that lets its parent show through must be drawn again over it.
  if (FHandle) RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TScrollBox::UpdateScrollBars() {
  if (FUpdatingBars) return;
  FUpdatingBars = true;
  ScopeExit done([this] { FUpdatingBars = false; });
  if (FAutoScroll) {
    // The extent is summed in 64 bits: a child far out must not wrap the range around.
    int64_t horz = 0, vert = 0;
    for (int i = 0; i < GetControlCount(); ++i) {
      TControl* c = GetControl(i);
      if (c->GetAlign() != alNone || !c->GetVisible()) continue;
      horz = std::max(horz, int64_t(FHorzScrollBar.FPosition) + c->GetLeft() + c->GetWidth());
      vert = std::max(vert, int64_t(FVertScrollBar.FPosition) + c->GetTop() + c->GetHeight());
    }
    FHorzScrollBar.FRange = int(std::min<int64_t>(horz, INT32_MAX));
    FVertScrollBar.FRange = int(std::min<int64_t>(vert, INT32_MAX));
  }
  if (!FHandle) return;

  // The client area without bars.
  RECT client{};
  ::GetClientRect(FHandle, &client);
  LONG style = GetWindowLongA(FHandle, GWL_STYLE);
  int cx = GetSystemMetrics(SM_CXVSCROLL), cy = GetSystemMetrics(SM_CYHSCROLL);
  int fullW = client.right + ((style & WS_VSCROLL) ? cx : 0);
  int fullH = client.bottom + ((style & WS_HSCROLL) ? cy : 0);
  TScrollBarLayout bars = LayScrollBars(FHorzScrollBar.FRange, FVertScrollBar.FRange, fullW, fullH, cx, cy,
                                        FHorzScrollBar.FVisible, FVertScrollBar.FVisible);
  bool showH = bars.Horz, showV = bars.Vert;
  int pageW = bars.ClientWidth, pageH = bars.ClientHeight;

  auto apply = [&](TControlScrollBar& bar, bool show, int page) {
    if (show) {
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
      info.nMin = 0;
      info.nMax = bar.FRange - 1;
      info.nPage = UINT(std::max(page, 0));
      info.nPos = bar.FPosition;
      SetScrollInfo(FHandle, bar.FKind, &info, TRUE);
    }
    ShowScrollBar(FHandle, bar.FKind, show);
  };
  apply(FHorzScrollBar, showH, pageW);
  apply(FVertScrollBar, showV, pageH);
  // A shrunk range or a grown client area can leave a position beyond the end.
  FHorzScrollBar.SetPosition(FHorzScrollBar.FPosition);
  FVertScrollBar.SetPosition(FVertScrollBar.FPosition);
}

void TScrollBox::WndProc(TMessage& Message) {
  if ((Message.Msg == WM_HSCROLL || Message.Msg == WM_VSCROLL) && !Message.LParam) {
    (Message.Msg == WM_HSCROLL ? FHorzScrollBar : FVertScrollBar).ScrollMessage(LOWORD(Message.WParam));
    Message.Result = 0;
    return;
  }
  TWinControl::WndProc(Message);
}

}  // namespace classlib
