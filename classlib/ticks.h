// TickCount(): GetTickCount, unless a test has put its own clock in place (testing.h).
#pragma once

#include <functional>

#include "classlib/winapi.h"

namespace classlib {

DWORD TickCount();

}  // namespace classlib
