// The one include of the Win32 API for the whole project. The native (Linux) build of the
// platform-neutral core gets a small in-memory stand-in instead.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef _WIN32_IE
#define _WIN32_IE 0x0800
#endif
#include <windows.h>
#include <windowsx.h>
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <ole2.h>
#include <richedit.h>
#include <richole.h>

// These A/W macros collide with member names of the class library; code calls the A forms.
#undef DeleteFile
#undef MessageBox
#undef TextOut
#undef DrawText
#undef GetObject
#undef LoadImage
#undef CreateFont
#undef GetClassName
#undef PostMessage
#undef SendMessage
#undef CreateDirectory
#undef SetCurrentDirectory
#undef GetCurrentDirectory
#undef CopyFile
#undef FindText
#undef GetCommandLine
#else
#include "classlib/native/winapi_native.h"
#endif
