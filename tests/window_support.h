// Helpers of the window tests: mouse messages sent straight to a window (in its client
// coordinates, negative ones included), keys typed through the message loop, and reading the
// status bar and other windows back.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/controls.h"
#include "classlib/winapi.h"

namespace testsupport {

inline LPARAM PointParam(int X, int Y) { return MAKELPARAM(WORD(short(X)), WORD(short(Y))); }

inline void MouseDown(HWND Window, int X, int Y, UINT Msg = WM_LBUTTONDOWN, WPARAM Keys = MK_LBUTTON) {
  SendMessageA(Window, Msg, Keys, PointParam(X, Y));
}
inline void MouseMove(HWND Window, int X, int Y, WPARAM Keys = MK_LBUTTON) {
  SendMessageA(Window, WM_MOUSEMOVE, Keys, PointParam(X, Y));
}
inline void MouseUp(HWND Window, int X, int Y, UINT Msg = WM_LBUTTONUP) { SendMessageA(Window, Msg, 0, PointParam(X, Y)); }
inline void Click(HWND Window, int X = 5, int Y = 5) {
  MouseDown(Window, X, Y);
  MouseUp(Window, X, Y);
}

// Types a key into Window through the application's message loop, with Shift and Ctrl held as
// Modifiers says (ssShift, ssCtrl); the modifiers are let go afterwards. The window is named
// rather than taken from the focus, which another program's window coming up may take.
inline void PressKey(HWND Window, WORD Key, unsigned Modifiers = 0) {
  BYTE keys[256];
  GetKeyboardState(keys);
  auto hold = [&](bool Down) {
    keys[VK_SHIFT] = keys[VK_LSHIFT] = Down && (Modifiers & classlib::ssShift) ? 0x80 : 0;
    keys[VK_CONTROL] = keys[VK_LCONTROL] = Down && (Modifiers & classlib::ssCtrl) ? 0x80 : 0;
    SetKeyboardState(keys);
  };
  hold(true);
  LPARAM scan = LPARAM(MapVirtualKeyA(Key, MAPVK_VK_TO_VSC)) << 16;
  PostMessageA(Window, WM_KEYDOWN, Key, scan | 1);
  PostMessageA(Window, WM_KEYUP, Key, scan | 0xC0000001);
  classlib::Application->ProcessMessages();
  hold(false);
}

inline std::string StatusPanelText(HWND StatusBar, int Panel) {
  LRESULT length = SendMessageA(StatusBar, SB_GETTEXTLENGTHA, WPARAM(Panel), 0);
  std::string text(size_t(LOWORD(length)) + 1, '\0');
  SendMessageA(StatusBar, SB_GETTEXTA, WPARAM(Panel), reinterpret_cast<LPARAM>(text.data()));
  text.resize(LOWORD(length));
  return text;
}

inline std::vector<int> StatusParts(HWND StatusBar) {
  int count = int(SendMessageA(StatusBar, SB_GETPARTS, 0, 0));
  std::vector<int> edges(size_t(count > 0 ? count : 0));
  if (count > 0) SendMessageA(StatusBar, SB_GETPARTS, WPARAM(count), reinterpret_cast<LPARAM>(edges.data()));
  return edges;
}

inline RECT WindowRectIn(HWND Window, HWND Parent) {
  RECT r{};
  GetWindowRect(Window, &r);
  MapWindowPoints(nullptr, Parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The pointer is one for all the test programs that run at once: each holds this lock while it
// puts the pointer somewhere and uses it there.
class PointerLock {
 public:
  PointerLock() : FMutex(CreateMutexA(nullptr, FALSE, "fenlo-skadra-tests-pointer")) {
    if (FMutex) WaitForSingleObject(FMutex, 10000);  // taken over also from a program that died holding it
  }
  ~PointerLock() {
    if (!FMutex) return;
    ReleaseMutex(FMutex);
    CloseHandle(FMutex);
  }
  PointerLock(const PointerLock&) = delete;
  PointerLock& operator=(const PointerLock&) = delete;

 private:
  HANDLE FMutex;
};

// The system's record of where the pointer has been, newest first. Wine reports a move twice:
// at once, and again when the X server's event reaches the program under the pointer, which
// may be after later moves; so a pointer found at one point by two looks may have been
// elsewhere between them, and only the record shows it.
class PointerTrail {
 public:
  PointerTrail() : FStart(Read()) {}

  // The positions recorded since this trail began, newest first; false when the start can no
  // longer be found (the record is short) and so nothing is known.
  bool Since(std::vector<POINT>& Moves) const {
    std::vector<MOUSEMOVEPOINT> now = Read();
    Moves.clear();
    if (FStart.empty()) return false;
    for (size_t at = 0; at < now.size(); ++at) {
      size_t overlap = std::min(now.size() - at, FStart.size());
      if (std::equal(FStart.begin(), FStart.begin() + overlap, now.begin() + at, Same)) return true;
      Moves.push_back(POINT{now[at].x, now[at].y});
    }
    return false;
  }
  // Since it began the pointer was nowhere but At, where it began.
  bool StayedAt(POINT At) const {
    std::vector<POINT> moves;
    return !FStart.empty() && FStart[0].x == At.x && FStart[0].y == At.y && Since(moves) &&
           std::all_of(moves.begin(), moves.end(), [&](POINT P) { return P.x == At.x && P.y == At.y; });
  }

 private:
  static bool Same(const MOUSEMOVEPOINT& A, const MOUSEMOVEPOINT& B) {
    return A.x == B.x && A.y == B.y && A.time == B.time;
  }
  // Up to 64 entries (the system keeps no more); unused slots, with time 0, left out.
  static std::vector<MOUSEMOVEPOINT> Read() {
    for (int attempt = 0; attempt < 10; ++attempt) {
      POINT before{}, after{};
      GetCursorPos(&before);
      MOUSEMOVEPOINT from{}, points[64]{};
      from.x = before.x;
      from.y = before.y;  // time 0: its newest entry, which is the newest of all while it is there
      int count = GetMouseMovePointsEx(sizeof from, &from, points, 64, GMMP_USE_DISPLAY_POINTS);
      GetCursorPos(&after);
      if (count <= 0 || after.x != before.x || after.y != before.y) continue;
      std::vector<MOUSEMOVEPOINT> trail;
      for (int i = 0; i < count && points[i].time; ++i) trail.push_back(points[i]);
      return trail;
    }
    return {};
  }
  std::vector<MOUSEMOVEPOINT> FStart;
};

// Puts the real pointer at (X, Y) of Window's client area and runs Then. Should the pointer
// have been anywhere else meanwhile, Then runs again until it stayed put throughout.
template <class F>
auto WithPointerAt(HWND Window, int X, int Y, F Then) {
  PointerLock lock;
  POINT p{X, Y};
  ClientToScreen(Window, &p);
  auto there = [&] {
    POINT now{};
    GetCursorPos(&now);
    return now.x == p.x && now.y == p.y;
  };
  for (int attempt = 0;; ++attempt) {
    SetCursorPos(p.x, p.y);
    for (int wait = 0; wait < 100 && !(there() && (Sleep(2), there())); ++wait) SetCursorPos(p.x, p.y);
    PointerTrail trail;
    auto result = Then();
    if (trail.StayedAt(p) || attempt == 50) return result;
  }
}

// Asks Window for its cursor with the pointer at (X, Y) of its client area (WM_SETCURSOR, as
// the system does on a move); the answer of the window procedure.
inline LRESULT SetCursorAt(HWND Window, int X, int Y) {
  return WithPointerAt(Window, X, Y, [&] {
    return SendMessageA(Window, WM_SETCURSOR, WPARAM(Window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  });
}

// Keeps the real pointer away from the windows under test, so that Wine's own mouse moves
// cannot reach them.
inline void ParkPointer() {
  PointerLock lock;
  SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
}

}  // namespace testsupport
