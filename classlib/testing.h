// Test seams of the class library. None is reachable through a command line: tests set them in code.
#pragma once

#include <cstdint>
#include <functional>

#include "classlib/msgbox.h"
#include "classlib/winapi.h"
#ifdef _WIN32
#include "classlib/dialogs.h"  // SetCommonDialogHook
#endif

namespace classlib::testing {

// Answers every message box (MessageDlg, ShowMessage, Application->MessageBox, exception boxes)
// with the hook's result instead of showing it. An empty function removes the hook.
using MessageBoxHook = std::function<int(const MessageBoxCall&)>;
void SetMessageBoxHook(MessageBoxHook Hook);

// Replaces the clock behind TickCount(); an empty function restores GetTickCount.
void SetTickSource(std::function<DWORD()> Source);

// Threads that are constructed and not yet destroyed.
int LiveThreadCount();

#ifndef _WIN32
// Native stand-in only: the n-th next CreateDIBSection fails (1 = the next one); 0 switches it off.
void ForceCreateDIBSectionFailure(int n);
// Handles of the stand-in that are alive (bitmaps, palettes, global blocks, cursors).
int NativeLiveHandleCount();
// The hot spot and the two planes of a stand-in cursor.
bool NativeCursorInfo(HCURSOR Cursor, int& HotX, int& HotY, const uint8_t*& AndPlane, const uint8_t*& XorPlane);
#endif

}  // namespace classlib::testing
