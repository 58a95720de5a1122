#include "classlib/startup.h"

#include "classlib/numerics.h"

namespace classlib {

namespace {
DWORD gMainThreadId = 0;
}

void Startup() {
  gMainThreadId = GetCurrentThreadId();
  SetX87ControlWord(X87FullPrecision);
}

void Shutdown() {}

bool IsMainThread() { return gMainThreadId == 0 || GetCurrentThreadId() == gMainThreadId; }

}  // namespace classlib
