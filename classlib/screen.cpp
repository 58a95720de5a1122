#include "classlib/screen.h"

#include <algorithm>

#include "classlib/graphics.h"
#include "classlib/winapi.h"

namespace classlib {

TScreen* Screen = nullptr;

int TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::GetPixelsPerInch() const { return ScreenPixelsPerInch(); }

HCURSOR TScreen::GetCursors(TCursor Index) const {
  LPCSTR id = IDC_ARROW;
  switch (Index) {
    case crCross: id = IDC_CROSS; break;
    case crIBeam: id = IDC_IBEAM; break;
    case crSizeNESW: id = IDC_SIZENESW; break;
    case crSizeNS: id = IDC_SIZENS; break;
    case crSizeNWSE: id = IDC_SIZENWSE; break;
    case crSizeWE: id = IDC_SIZEWE; break;
    case crHourGlass: id = IDC_WAIT; break;
    case crHandPoint: id = IDC_HAND; break;
    case crSizeAll: id = IDC_SIZEALL; break;
    default: break;
  }
  return LoadCursorA(nullptr, id);
}

void TScreen::SetCursor(TCursor Value) {
  FCursor = Value;
  if (Value != crDefault) {
    ::SetCursor(GetCursors(Value));
    return;
  }
  POINT p{};
  GetCursorPos(&p);
  HWND window = WindowFromPoint(p);
  if (!window || GetWindowThreadProcessId(window, nullptr) != GetCurrentThreadId()) return;
  LRESULT hit = SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(WORD(short(p.x)), WORD(short(p.y))));
  SendMessageA(window, WM_SETCURSOR, WPARAM(window), MAKELPARAM(WORD(hit), WM_MOUSEMOVE));
}

void TScreen::InsertForm(TForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) FActiveForm = nullptr;
}

}  // namespace classlib
