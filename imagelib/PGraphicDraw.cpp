// The picture's canvas and its drawing to a device (Windows build).
#include "classlib/finally.h"
#include "imagelib/PGCanvas.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

namespace {
bool gForceCanvasBlit = false;
}

void TPixelGraphic::SetForceCanvasBlit(bool Value) { gForceCanvasBlit = Value; }

TPGCanvas* TPixelGraphic::GetCanvas() {
  if (!Canvas) {
    Canvas = new TPGCanvas(this);
    Canvas->OnChange = [this](TObject*) { Changed(this); };
  }
  GdiPending = true;
  return Canvas;
}

void TPixelGraphic::FreeCanvasHandle() {
  if (Canvas) Canvas->FreeHandle();
}

void TPixelGraphic::DestroyCanvas() {
  delete Canvas;
  Canvas = nullptr;
}

void TPixelGraphic::DrawToDC(HDC DC, const TRect& Rect, bool BackgroundPalette, DWORD RasterOp) {
  if (Width <= 0 || Height <= 0 || !Bits) return;
  SetStretchBltMode(DC, COLORONCOLOR);
  HPALETTE palette = GetPalette();
  HPALETTE oldPalette = nullptr;
  if (palette) {
    oldPalette = SelectPalette(DC, palette, BackgroundPalette);
    if (!NoPaletteRealize) RealizePalette(DC);
  }
  Finally(
      [&] {
        FlushGdi();
        if ((GetDeviceCaps(DC, RASTERCAPS) & RC_STRETCHDIB) && !gForceCanvasBlit) {
          StretchDIBits(DC, Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, 0, 0, Width, Height,
                        Bits, reinterpret_cast<BITMAPINFO*>(BitmapInfo.get()), DIB_RGB_COLORS, RasterOp);
        } else {
          HDC source = GetCanvas()->GetHandle();
          StretchBlt(DC, Rect.Left, Rect.Top, Rect.Right - Rect.Left, Rect.Bottom - Rect.Top, source, 0, 0, Width,
                     Height, RasterOp);
        }
      },
      [&] {
        if (palette) SelectPalette(DC, oldPalette, BackgroundPalette);
      });
}

void TPixelGraphic::Draw(TCanvas* ACanvas, const TRect& Rect) {
  DrawToDC(ACanvas->GetHandle(), Rect, true, ACanvas->GetCopyMode());
}

}  // namespace imagelib
