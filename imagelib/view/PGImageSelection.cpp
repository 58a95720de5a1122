// TPGImage's selection and mouse: the selection's writers, its marching-ants frame with the
// phase timer, moving the picture and making, moving and resizing the selection by mouse drags
// on the TPicBox (with auto-scroll while a drag is outside the client area), and the cursors.
// The arithmetic is in PGSelectionGeometry.
#include <algorithm>

#include "classlib/finally.h"
#include "classlib/graphics.h"
#include "classlib/screen.h"
#include "imagelib/PGCursors.h"
#include "imagelib/view/PGImage.h"

namespace imagelib {

// ---- the selection's values

TSelectionScale TPGImage::SelectionScale() const {
  return TSelectionScale{FPicBox->GetWidth(), FPicBox->GetHeight(), FPictureWidth, FPictureHeight};
}

TRect TPGImage::SelectionRectInPicBox() const { return imagelib::SelectionRectInPicBox(FSelectionBounds, SelectionScale()); }

void TPGImage::SetSelection(bool Value) {
  if (Value == FSelection) return;
  FSelection = Value;
  if (Value && !FSelectionTimer) {
    FSelectionTimer = New<TTimer>(nullptr);
    FSelectionTimer->SetInterval(50);
    FSelectionTimer->OnTimer = [this](TObject*) { SelectionTimer(); };
  } else if (!Value) {
    FreeAndNil(FSelectionTimer);
  }
  FPicBox->Invalidate();
  if (OnSelectionChange) OnSelectionChange(this);
}

void TPGImage::SetSelectionBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  TSelectionBounds b{ALeft, ATop, AWidth, AHeight};
  if (b == FSelectionBounds) return;
  // Room for the handles only where they are drawn.
  const int e = FActionMode == amMoveResizeCreateSelection ? 8 : 1;
  auto invalidateFrame = [&] {
    if (!FSelection || !HandleAllocated()) return;
    TRect s = SelectionRectInPicBox();
    TRect f = Rect(s.Left + FPicBox->GetLeft(), s.Top + FPicBox->GetTop(), s.Right + FPicBox->GetLeft(),
                   s.Bottom + FPicBox->GetTop());
    for (const TRect& strip : SelectionFrameStrips(f, e)) {
      RECT r{strip.Left, strip.Top, strip.Right, strip.Bottom};
      InvalidateRect(FHandle, &r, FALSE);
    }
  };
  invalidateFrame();
  FSelectionBounds = b;
  invalidateFrame();
  if (OnSelectionChange) OnSelectionChange(this);
  if (FSelection) Update();
}

void TPGImage::SetSelectionLeft(int Value) {
  SetSelectionBounds(Value, FSelectionBounds.Top, FSelectionBounds.Width, FSelectionBounds.Height);
}
void TPGImage::SetSelectionTop(int Value) {
  SetSelectionBounds(FSelectionBounds.Left, Value, FSelectionBounds.Width, FSelectionBounds.Height);
}
void TPGImage::SetSelectionWidth(int Value) {
  SetSelectionBounds(FSelectionBounds.Left, FSelectionBounds.Top, Value, FSelectionBounds.Height);
}
void TPGImage::SetSelectionHeight(int Value) {
  SetSelectionBounds(FSelectionBounds.Left, FSelectionBounds.Top, FSelectionBounds.Width, Value);
}

// The next frame drawn makes the brushes again.
void TPGImage::SetSelectionColor1(TColor Value) {
  if (Value == FSelectionColor1) return;
  FSelectionColor1 = Value;
  FreeSelectionBrushes();
}

void TPGImage::SetSelectionColor2(TColor Value) {
  if (Value == FSelectionColor2) return;
  FSelectionColor2 = Value;
  FreeSelectionBrushes();
}

// ---- the frame

void TPGImage::FreeSelectionBrushes() {
  for (int p = 0; p < 8; ++p) {
    FreeAndNil(FPhaseBrushes[p]);
    FreeAndNil(FPhaseBitmaps[p]);
  }
}

void TPGImage::MakeSelectionBrushes() {
  const COLORREF first = ColorToRGB(FSelectionColor1), second = ColorToRGB(FSelectionColor2);
  for (int p = 0; p < 8; ++p) {
    if (FPhaseBrushes[p] || FPhaseBitmaps[p]) continue;
    auto* bitmap = New<TBitmap>();
    bitmap->SetSize(8, 8);
    for (int y = 0; y < 8; ++y) {
      uint8_t* row = bitmap->GetScanLine(y);
      for (int x = 0; x < 8; ++x) {
        COLORREF c = SelectionPatternFirstColor(x, y, p) ? first : second;
        row[3 * x] = GetBValue(c);
        row[3 * x + 1] = GetGValue(c);
        row[3 * x + 2] = GetRValue(c);
      }
    }
    FPhaseBitmaps[p] = bitmap;
    FPhaseBrushes[p] = New<TBrush>();
    FPhaseBrushes[p]->SetBitmap(bitmap);
  }
}

void TPGImage::PicBoxPaint() { DrawSelection(); }

void TPGImage::DrawSelection() {
  if (!FSelection) return;
  TRect s = SelectionRectInPicBox();
  MakeSelectionBrushes();
  TCanvas* canvas = FPicBox->GetCanvas();
  TBrush* brush = canvas->GetBrush();
  brush->Assign(FPhaseBrushes[SelectionBrushIndex(FSelectionPhase, s.Left, s.Top)]);
  // The frame lies just outside the selected pixels.
  canvas->FrameRect(Rect(s.Left - 1, s.Top - 1, s.Right + 1, s.Bottom + 1));
  if (FActionMode == amMoveResizeCreateSelection)
    for (int h = 0; h < PGSelectionHandleCount; ++h) canvas->FrameRect(SelectionHandleRect(s, TSelectionHandle(h)));
  // The user's paint handler comes next, with a brush of its own (the pattern may be freed).
  brush->SetBitmap(nullptr);
}

void TPGImage::SelectionTimer() {
  FSelectionPhase = uint8_t(FSelectionPhase >= 7 ? 0 : FSelectionPhase + 1);
  if (!HandleAllocated() || !FPicBox->GetVisible()) return;
  // A device context of its own for this frame: the clipping below goes with it, and so do the
  // objects the frame selected into it.
  auto* canvas = static_cast<TControlCanvas*>(FPicBox->GetCanvas());
  canvas->FreeHandle();
  ScopeExit release([canvas] { canvas->FreeHandle(); });
  HDC dc = canvas->GetHandle();
  // Opaque controls over the picture keep their pixels.
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* c = GetControl(i);
    if (c == FPicBox || !c->GetVisible() || !(c->GetControlStyle() & csOpaque)) continue;
    int left = c->GetLeft() - FPicBox->GetLeft(), top = c->GetTop() - FPicBox->GetTop();
    if (ExcludeClipRect(dc, left, top, left + c->GetWidth(), top + c->GetHeight()) == NULLREGION) return;
  }
  DrawSelection();
}

// ---- the mouse

bool TPGImage::CanMovePicture() {
  return (FPicBox->GetWidth() > GetClientWidth() && GetHorzScrollBar()->IsScrollBarVisible()) ||
         (FPicBox->GetHeight() > GetClientHeight() && GetVertScrollBar()->IsScrollBarVisible());
}

void TPGImage::CaptureMouse() { FPicBox->SetMouseCapture(true); }

void TPGImage::PicBoxMouseDown(TMouseButton Button, TShiftState, int X, int Y) {
  if (Button != mbLeft) return;
  const TPoint p = Point(X, Y);
  const TPoint q = PicBoxToPicture(p);
  const TRect s = SelectionRectInPicBox();
  const TActionMode mode = FActionMode;
  const bool inside = FSelection && PointInRect(p, s);
  if ((mode == amMoveResizeCreateSelection || mode == amMoveSelection || mode == amMoveSelectionMoveImage) && inside) {
    FDragState = DragMoveSelection;
    FDragStart = p;
    FGrabOffset = Point(q.X - FSelectionBounds.Left, q.Y - FSelectionBounds.Top);
    CaptureMouse();
  } else if ((mode == amMoveImage || mode == amMoveSelectionMoveImage) && CanMovePicture()) {
    FDragState = DragMoveImage;
    if (Screen && Screen->GetCursor() == crDefault) {
      HCURSOR cursor = PGCursorHandClosed;
      if (PicBoxOnSetCursor) PicBoxOnSetCursor(this, cursor);
      ::SetCursor(cursor);
    }
    FDragStart = p;
    CaptureMouse();
  } else if (mode == amMoveResizeCreateSelection && FSelection && SelectionHandleAt(s, p) != shNone) {
    TSelectionHandle h = SelectionHandleAt(s, p);
    FDragState = uint8_t(int(DragResize) + int(h));
    FDragStart = p;
    FGrabOffset = HandleGrabOffset(h, q, FSelectionBounds);
    CaptureMouse();
  } else if (mode == amMoveResizeCreateSelection || mode == amCreateSelection) {
    FDragState = DragMakeSelection;
    SetSelection(true);
    FAnchor = q;
    SelectTo(X, Y);
    CaptureMouse();
  } else {
    return;
  }
  if (FDragState >= DragMoveSelection) {
    // A drag whose mouse-up never came (the capture was taken away) leaves no second timer.
    FreeAndNil(FAutoScrollTimer);
    FAutoScrollTimer = New<TTimer>(nullptr);
    FAutoScrollTimer->SetInterval(50);
    FAutoScrollTimer->OnTimer = [this](TObject*) { AutoScrollTimer(); };
  }
}

void TPGImage::SelectTo(int X, int Y) {
  TSelectionBounds b = RubberBandSelection(FAnchor, PicBoxToPicture(Point(X, Y)));
  SetSelectionBounds(b.Left, b.Top, b.Width, b.Height);
}

void TPGImage::PicBoxMouseMove(TShiftState, int X, int Y) {
  const TPoint q = Point(PicBoxToPictureX(X), PicBoxToPictureY(Y));
  TSelectionBounds b;
  switch (FDragState) {
    case DragNone:
      return;
    case DragMakeSelection:
      SelectTo(X, Y);
      return;
    case DragMoveImage: {
      TControlScrollBar* horz = GetHorzScrollBar();
      TControlScrollBar* vert = GetVertScrollBar();
      int oldH = horz->GetPosition(), oldV = vert->GetPosition();
      horz->SetPosition(int(std::clamp<int64_t>(int64_t(oldH) + FDragStart.X - X, INT32_MIN, INT32_MAX)));
      vert->SetPosition(int(std::clamp<int64_t>(int64_t(oldV) + FDragStart.Y - Y, INT32_MIN, INT32_MAX)));
      // The TPicBox has moved with the positions: the same spot on the screen is elsewhere in it.
      FDragStart = Point(X + horz->GetPosition() - oldH, Y + vert->GetPosition() - oldV);
      Update();
      return;
    }
    case DragMoveSelection:
      b = MoveSelection(FSelectionBounds, q, FGrabOffset, FPictureWidth, FPictureHeight);
      break;
    default:
      b = ResizeSelection(TSelectionHandle(FDragState - DragResize), FSelectionBounds, q, FGrabOffset);
  }
  SetSelectionBounds(b.Left, b.Top, b.Width, b.Height);
}

void TPGImage::PicBoxMouseUp(TMouseButton, TShiftState, int, int) {
  if (FDragState != DragNone) FPicBox->SetMouseCapture(false);
  if (FDragState >= DragMoveSelection) {
    SetSelection(true);
    if (OnSelectionMade) OnSelectionMade(this);
  }
  FreeAndNil(FAutoScrollTimer);
  FDragState = DragNone;
}

void TPGImage::AutoScrollTimer() {
  if (!HandleAllocated()) return;
  POINT pointer{};
  GetCursorPos(&pointer);
  const TPoint p = ScreenToClient(Point(pointer.x, pointer.y));
  TControlScrollBar* horz = GetHorzScrollBar();
  TControlScrollBar* vert = GetVertScrollBar();
  if (p.X < 0 && horz->GetPosition() > 0) horz->SetPosition(horz->GetPosition() - 5);
  if (p.Y < 0 && vert->GetPosition() > 0) vert->SetPosition(vert->GetPosition() - 5);
  if (p.X >= GetClientWidth() && horz->GetPosition() < horz->GetRange() - GetClientWidth())
    horz->SetPosition(horz->GetPosition() + 5);
  if (p.Y >= GetClientHeight() && vert->GetPosition() < vert->GetRange() - GetClientHeight())
    vert->SetPosition(vert->GetPosition() + 5);
}

// ---- the cursor

void TPGImage::WMSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) != FHandle || LOWORD(Message.LParam) != HTCLIENT ||
      (GetComponentState() & csDesigning) || !Screen) {
    TScrollBox::WndProc(Message);
    return;
  }
  HCURSOR cursor;
  if (Screen->GetCursor() != crDefault) {
    cursor = Screen->GetCursors(Screen->GetCursor());
  } else {
    POINT pointer{};
    GetCursorPos(&pointer);
    const TPoint screen = Point(pointer.x, pointer.y);
    TControl* c = ControlAtPos(ScreenToClient(screen));
    cursor = Screen->GetCursors(c ? c->GetCursor() : GetCursor());
    if (c == FPicBox) {
      // Each later test that hits overrides an earlier one.
      const TPoint p = FPicBox->ScreenToClient(screen);
      const TRect s = SelectionRectInPicBox();
      const TActionMode mode = FActionMode;
      if ((mode == amMoveImage || mode == amMoveSelectionMoveImage) && CanMovePicture())
        cursor = FDragState == DragMoveImage ? PGCursorHandClosed : PGCursorHandOpen;
      if (mode == amMoveResizeCreateSelection || mode == amCreateSelection) cursor = PGCursorCrossDashed;
      if ((mode == amMoveResizeCreateSelection || mode == amMoveSelection || mode == amMoveSelectionMoveImage) &&
          FSelection && PointInRect(p, s))
        cursor = PGCursorMove;
      if (mode == amMoveResizeCreateSelection && FSelection) {
        auto over = [&](TSelectionHandle h) { return PointInRect(p, SelectionHandleRect(s, h)); };
        if (over(shTop) || over(shBottom)) cursor = Screen->GetCursors(crSizeNS);
        if (over(shLeft) || over(shRight)) cursor = Screen->GetCursors(crSizeWE);
        if (over(shTopLeft) || over(shBottomRight)) cursor = Screen->GetCursors(crSizeNWSE);
        if (over(shTopRight) || over(shBottomLeft)) cursor = Screen->GetCursors(crSizeNESW);
      }
      if (PicBoxOnSetCursor) PicBoxOnSetCursor(this, cursor);
    } else if (!c) {
      if (OnSetCursor) OnSetCursor(this, cursor);
    }
  }
  ::SetCursor(cursor);
  Message.Result = 1;
}

}  // namespace imagelib
