// Colour resolution and screen facts used by drawing code.
#pragma once

#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

// System colours resolved through GetSysColor; plain colours unchanged.
COLORREF ColorToRGB(TColor Color);
// Bits per pixel times planes of the screen, unless a test overrides it.
int ScreenBitCount();
// LOGPIXELSY of the screen, read once, unless a test overrides it.
int ScreenPixelsPerInch();

namespace testing {
void SetScreenBitCountOverride(int BitCount);  // 0 removes the override
void SetPixelsPerInchOverride(int PixelsPerInch);
}  // namespace testing

}  // namespace classlib
