// TPGImage's arrangement: the TPicBox's size and place from the stretch mode, zoom and centring,
// the view's own size under AutoSize, the conversions between picture and TPicBox pixels, and the
// palette notice to the form. The geometry itself is in PGArrangement.
#include <algorithm>

#include "classlib/finally.h"
#include "classlib/forms.h"
#include "imagelib/view/PGImage.h"

namespace imagelib {

TArrangeArea TPGImage::ArrangeArea() const {
  TArrangeArea a;
  a.PictureWidth = FPictureWidth;
  a.PictureHeight = FPictureHeight;
  // The outer size less the border on both sides; the scroll bars are the arrangement's business.
  a.AreaWidth = int(std::clamp<int64_t>(int64_t(FWidth) - 2 * BorderWidth(), INT32_MIN, INT32_MAX));
  a.AreaHeight = int(std::clamp<int64_t>(int64_t(FHeight) - 2 * BorderWidth(), INT32_MIN, INT32_MAX));
  a.HorzBarHeight = HorzScrollBarHeight();
  a.VertBarWidth = VertScrollBarWidth();
  return a;
}

void TPGImage::PixelGraphicChanged() {
  StopPaintThread();
  DrainPaintMessages();  // results made from the picture as it was
  FPictureWidth = FPixelGraphic ? FPixelGraphic->GetWidth() : 0;
  FPictureHeight = FPixelGraphic ? FPixelGraphic->GetHeight() : 0;
  TSize size = ComputeAutoSize(FPictureWidth, FPictureHeight, BorderWidth(), HorzScrollBarHeight(),
                               VertScrollBarWidth(), FAutoSizeLimits);
  if (OnNewAutoSize) OnNewAutoSize(this, size.cx, size.cy);
  FPaintPixelGraphicOutdated = true;
  if (!FAutoSize || (size.cx == FWidth && size.cy == FHeight))
    Arrange(false);
  else
    SetBounds(FLeft, FTop, size.cx, size.cy);  // arranges, forced
  if (OnPixelGraphicChange) OnPixelGraphicChange(this);
}

void TPGImage::Arrange(bool Force) {
  TArrangement a = ComputeArrangement(ArrangeArea(), FStretch, FZoomFactor, FCenter);
  if (a.Zoom != FEffectiveZoom) {
    FEffectiveZoom = a.Zoom;
    if (OnZoomFactorChange) OnZoomFactorChange(this);
  }
  TControlScrollBar* horz = GetHorzScrollBar();
  TControlScrollBar* vert = GetVertScrollBar();
  TPlacement now;
  now.Bounds = FPicBox->GetBoundsRect();
  now.HorzPosition = horz->GetPosition();
  now.VertPosition = vert->GetPosition();
  now.ClientWidth = GetClientWidth();
  now.ClientHeight = GetClientHeight();
  if (MustPlace(a, now, Force || FRearrangeAlways, FCenter)) {
    FPaintingSuppressed = true;
    ScopeExit resume([this] { FPaintingSuppressed = false; });
    horz->SetPosition(0);
    vert->SetPosition(0);
    FPicBox->SetBounds(a.X, a.Y, a.Width, a.Height);
    // The scroll bars have followed the TPicBox by now, so the client size is the final one.
    if (FCenter && a.HorzBar) horz->SetPosition(CenteredScrollPosition(a.Width, GetClientWidth()));
    if (FCenter && a.VertBar) vert->SetPosition(CenteredScrollPosition(a.Height, GetClientHeight()));
  }
  NotifyPalette();
  Invalidate();
}

int TPGImage::PictureToPicBoxX(int X) const { return ScaleCoordinate(X, FPicBox->GetWidth(), FPictureWidth); }
int TPGImage::PictureToPicBoxY(int Y) const { return ScaleCoordinate(Y, FPicBox->GetHeight(), FPictureHeight); }
int TPGImage::PicBoxToPictureX(int X) const { return ScaleCoordinate(X, FPictureWidth, FPicBox->GetWidth()); }
int TPGImage::PicBoxToPictureY(int Y) const { return ScaleCoordinate(Y, FPictureHeight, FPicBox->GetHeight()); }

void TPGImage::NotifyPalette() {
  TForm* form = GetParentForm(this);
  if (!form || !form->GetVisible() || !form->HandleAllocated() || !HandleAllocated() || !IsWindowVisible(FHandle))
    return;
  HWND window = form->GetHandle();
  if (GetForegroundWindow() == window)
    SendMessageA(window, WM_QUERYNEWPALETTE, 0, 0);
  else
    SendMessageA(window, WM_PALETTECHANGED, 0, 0);
}

}  // namespace imagelib
