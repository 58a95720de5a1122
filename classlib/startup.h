// Start-up and shut-down of the class library itself, and the notion of the main thread.
#pragma once

#include "classlib/winapi.h"

namespace classlib {

// Records the calling thread as the main thread and gives it full x87 precision.
void Startup();
void Shutdown();
bool IsMainThread();

}  // namespace classlib
