#include "classlib/graphics.h"

namespace classlib {

namespace {
int gBitCountOverride = 0;
int gPixelsPerInchOverride = 0;
int gPixelsPerInch = 0;
}  // namespace

void testing::SetScreenBitCountOverride(int BitCount) { gBitCountOverride = BitCount; }
void testing::SetPixelsPerInchOverride(int PixelsPerInch) { gPixelsPerInchOverride = PixelsPerInch; }

COLORREF ColorToRGB(TColor Color) {
  if (Color < 0) return GetSysColor(int(Color & 0xFF));
  return COLORREF(Color);
}

int ScreenBitCount() {
  if (gBitCountOverride) return gBitCountOverride;
  HDC dc = GetDC(nullptr);
  int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
  ReleaseDC(nullptr, dc);
  return bits;
}

int ScreenPixelsPerInch() {
  if (gPixelsPerInchOverride) return gPixelsPerInchOverride;
  if (!gPixelsPerInch) {
    HDC dc = GetDC(nullptr);
    gPixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
  }
  return gPixelsPerInch;
}

}  // namespace classlib
