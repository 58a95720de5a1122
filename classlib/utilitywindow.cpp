#include "classlib/utilitywindow.h"

namespace classlib {

namespace {
HWND gWindow = nullptr;
const char kClassName[] = "TPUtilWindow";

LRESULT CALLBACK UtilityProc(HWND Window, UINT Message, WPARAM WParam, LPARAM LParam) {
  return DefWindowProcA(Window, Message, WParam, LParam);
}
}  // namespace

HWND UtilityWindow() {
  if (gWindow) return gWindow;
  WNDCLASSA wc{};
  wc.lpfnWndProc = UtilityProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kClassName;
  RegisterClassA(&wc);  // a second registration fails harmlessly
  gWindow = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  return gWindow;
}

void DestroyUtilityWindow() {
  if (gWindow) DestroyWindow(gWindow);
  gWindow = nullptr;
}

}  // namespace classlib
