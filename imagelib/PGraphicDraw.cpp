// The picture's canvas and its drawing to a device (Windows build).
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "classlib/finally.h"
#include "imagelib/PGCanvas.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

namespace {
bool gForceCanvasBlit = false;

// The part of a stretch that is drawn: destination and source, on one axis.
struct TStretchSpan {
  int Dst, DstLen, Src, SrcLen;
};

int Clamp32(int64_t V) { return int(std::clamp<int64_t>(V, INT32_MIN, INT32_MAX)); }

// D0..D1 on the destination (D1 < D0 when mirrored) shows Count source pixels, of which only Lo..Hi
// is visible: the source pixels that reach it, and exactly their destination. False when none do.
bool VisibleSpan(int64_t D0, int64_t D1, int Count, int64_t Lo, int64_t Hi, TStretchSpan& Span) {
  int64_t d = D1 - D0;
  int64_t lo = std::max(std::min(D0, D1), Lo), hi = std::min(std::max(D0, D1), Hi);
  if (d == 0 || lo >= hi) return false;
  long double a = (lo - D0) * static_cast<long double>(Count) / d;
  long double b = (hi - D0) * static_cast<long double>(Count) / d;
  if (a > b) std::swap(a, b);
  int64_t s0 = std::max<int64_t>(0, int64_t(floorl(a))), s1 = std::min<int64_t>(Count, int64_t(ceill(b)));
  if (s0 >= s1) return false;
  int64_t e0 = D0 + int64_t(floorl(s0 * static_cast<long double>(d) / Count));
  int64_t e1 = D0 + int64_t(floorl(s1 * static_cast<long double>(d) / Count));
  Span = TStretchSpan{Clamp32(e0), Clamp32(e1 - e0), int(s0), int(s1 - s0)};
  return true;
}
}  // namespace

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
  // The device multiplies each destination extent by the source extent in 32 bits; past that only
  // the source pixels that reach the visible part are drawn (a picture zoomed far).
  int64_t dw = int64_t(Rect.Right) - Rect.Left, dh = int64_t(Rect.Bottom) - Rect.Top;
  TStretchSpan x{Rect.Left, Clamp32(dw), 0, Width}, y{Rect.Top, Clamp32(dh), 0, Height};
  if (std::llabs(dw) > INT32_MAX / Width || std::llabs(dh) > INT32_MAX / Height) {
    RECT clip{};
    if (GetClipBox(DC, &clip) == NULLREGION) return;
    if (!VisibleSpan(Rect.Left, Rect.Right, Width, clip.left, clip.right, x) ||
        !VisibleSpan(Rect.Top, Rect.Bottom, Height, clip.top, clip.bottom, y))
      return;
  }
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
          // The rows of the section run bottom up.
          StretchDIBits(DC, x.Dst, y.Dst, x.DstLen, y.DstLen, x.Src, Height - y.Src - y.SrcLen, x.SrcLen, y.SrcLen,
                        Bits, reinterpret_cast<BITMAPINFO*>(BitmapInfo.get()), DIB_RGB_COLORS, RasterOp);
        } else {
          HDC source = GetCanvas()->GetHandle();
          StretchBlt(DC, x.Dst, y.Dst, x.DstLen, y.DstLen, source, x.Src, y.Src, x.SrcLen, y.SrcLen, RasterOp);
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
