#include "classlib/startup.h"

#include "classlib/numerics.h"
#ifdef _WIN32
#include "classlib/application.h"
#include "classlib/clipboard.h"
#include "classlib/printer.h"
#include "classlib/utilitywindow.h"
#endif

namespace classlib {

namespace {
DWORD gMainThreadId = 0;
}

void Startup() {
  gMainThreadId = GetCurrentThreadId();
  SetX87ControlWord(X87FullPrecision);
#ifdef _WIN32
  detail::CreateApplicationObjects();
#endif
}

void Shutdown() {
#ifdef _WIN32
  FreeClipboard();
  FreePrinter();
  detail::FreeApplicationObjects();
  DestroyUtilityWindow();
#endif
}

bool IsMainThread() { return gMainThreadId == 0 || GetCurrentThreadId() == gMainThreadId; }

}  // namespace classlib
