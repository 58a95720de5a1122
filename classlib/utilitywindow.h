// The application's hidden utility window: a message-only window of the main thread that owns the
// clipboard while the programs write to it.
#pragma once

#include "classlib/winapi.h"

namespace classlib {

// Made on first use on the calling (main) thread; destroyed by DestroyUtilityWindow.
HWND UtilityWindow();
void DestroyUtilityWindow();

}  // namespace classlib
