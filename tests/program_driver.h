// What the tests that drive a whole program from outside share: the program runs as a process of
// its own, its windows are found by class, their texts and answers are asked across the process
// boundary, and every wait is for a condition, never a fixed time.
#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "classlib/winapi.h"

namespace programdriver {

// Polls Condition until it holds or Seconds pass; true when it held. Messages that other programs
// send to this process's windows are answered meanwhile: the clipboard's owner is told when
// another program empties it, and that program waits for the answer.
inline bool WaitUntil(const std::function<bool()>& Condition, double Seconds = 30) {
  auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
  while (!Condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MSG message;
    PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_SENDMESSAGE);
  }
  return true;
}

// Asked of the window itself: for another program's window GetWindowText answers only the text
// the window was made with.
inline std::string WindowText(HWND Window) {
  char text[1024] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(Window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      &result);
  return text;
}

inline std::string WindowClass(HWND Window) {
  char name[256] = {};
  GetClassNameA(Window, name, sizeof(name));
  return name;
}

// True when Window answers WM_NULL within Seconds. With SMTO_NORMAL it waits the whole time also
// for a window the system already takes for hung; GetLastError then tells a time-out from a
// window that went.
inline bool Answers(HWND Window, double Seconds, UINT Flags = SMTO_ABORTIFHUNG) {
  DWORD_PTR result = 0;
  return SendMessageTimeoutA(Window, WM_NULL, 0, 0, Flags, DWORD(std::lround(Seconds * 1000)), &result) != 0;
}

// A key pressed and released, posted to Window as its thread gets it from the keyboard.
inline void PostKey(HWND Window, WORD Key) {
  PostMessageA(Window, WM_KEYDOWN, Key, 1);
  PostMessageA(Window, WM_KEYUP, Key, LPARAM(0xC0000001));
}

namespace detail {
struct TChildSearch {
  const std::string* Class;
  HWND Found;
};
// Enumeration callbacks in the platform's calling convention (a lambda's is not, on i686).
inline BOOL CALLBACK MatchChild(HWND Window, LPARAM Param) {
  auto* s = reinterpret_cast<TChildSearch*>(Param);
  if (WindowClass(Window) != *s->Class) return TRUE;
  s->Found = Window;
  return FALSE;
}
struct TTopSearch {
  DWORD Process;
  std::vector<HWND> Found;
};
inline BOOL CALLBACK CollectTop(HWND Window, LPARAM Param) {
  auto* s = reinterpret_cast<TTopSearch*>(Param);
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  if (process == s->Process && IsWindowVisible(Window)) s->Found.push_back(Window);
  return TRUE;
}
}  // namespace detail

// The first descendant of Parent of this class.
inline HWND Child(HWND Parent, const std::string& Class) {
  detail::TChildSearch search{&Class, nullptr};
  EnumChildWindows(Parent, detail::MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

// The file name's edit of a file dialog (the combo box's, where the dialog has no plain edit).
inline HWND FileNameEdit(HWND Dialog) {
  constexpr int kEdit = 0x480, kCombo = 0x47C;
  HWND edit = GetDlgItem(Dialog, kEdit);
  if (!edit) edit = FindWindowExA(GetDlgItem(Dialog, kCombo), nullptr, "Edit", nullptr);
  return edit;
}

// Types Name into a file dialog's name field and presses OK; an empty name presses Cancel.
// Empty once the dialog has gone; else what went wrong.
inline std::string AnswerFileDialog(HWND Dialog, const std::string& Name) {
  if (!Name.empty()) {
    HWND field = FileNameEdit(Dialog);
    if (!field) return "the dialog has no file name field";
    SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
    for (char c : Name) PostMessageA(field, WM_CHAR, WPARAM(BYTE(c)), 1);
    if (!WaitUntil([&] { return WindowText(field) == Name; })) return "the name field holds " + WindowText(field);
  }
  PostMessageA(GetDlgItem(Dialog, Name.empty() ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
  if (!WaitUntil([&] { return !IsWindow(Dialog); })) return "the dialog stayed";
  return "";
}

// The screen's pixels of a rectangle of Window's client area, row by row as 0xRRGGBB.
struct TScreenShot {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
  uint32_t At(int X, int Y) const { return Pixels[size_t(Y) * size_t(Width) + size_t(X)]; }
  bool operator==(const TScreenShot& Other) const = default;
};

inline TScreenShot ShootClient(HWND Window, int Width, int Height) {
  TScreenShot shot{Width, Height, std::vector<uint32_t>(size_t(Width) * size_t(Height))};
  POINT origin{0, 0};
  ClientToScreen(Window, &origin);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, section);
  BitBlt(memory, 0, 0, Width, Height, screen, origin.x, origin.y, SRCCOPY);
  GdiFlush();
  const auto* row = static_cast<const uint32_t*>(bits);
  for (size_t i = 0; i < shot.Pixels.size(); ++i) shot.Pixels[i] = row[i] & 0xFFFFFF;  // BGRA in memory
  SelectObject(memory, old);
  DeleteObject(section);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return shot;
}

// A program started as a process of its own; ended, should it still run, with this object.
class ProgramProcess {
 public:
  ProgramProcess() = default;
  ~ProgramProcess() { Stop(); }
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // Starts Exe in Folder (its current folder), ending one that this object started before.
  bool Start(const std::string& Exe, const std::string& Folder) {
    Stop();
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string command = "\"" + Exe + "\"";
    return CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &startup,
                          &FInfo) != 0;
  }
  bool Running() const { return FInfo.hProcess && WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT; }
  bool Ended(double Seconds = 20) const {
    return WaitForSingleObject(FInfo.hProcess, DWORD(Seconds * 1000)) == WAIT_OBJECT_0;
  }
  DWORD ExitCode() const {
    DWORD code = 0;
    GetExitCodeProcess(FInfo.hProcess, &code);
    return code;
  }
  void Stop() {
    if (!FInfo.hProcess) return;
    if (Running()) {
      TerminateProcess(FInfo.hProcess, 1);
      WaitForSingleObject(FInfo.hProcess, 10000);
    }
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
    FInfo = {};
  }
  HANDLE Process() const { return FInfo.hProcess; }
  DWORD ThreadId() const { return FInfo.dwThreadId; }
  // The state of the program's window thread: focus, capture, menu mode; all empty when unknown.
  GUITHREADINFO GuiState() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(ThreadId(), &info)) {
      info = {};
      info.cbSize = sizeof info;
    }
    return info;
  }

  // The program's visible top-level windows, front to back.
  std::vector<HWND> TopWindows() const {
    detail::TTopSearch search{FInfo.dwProcessId, {}};
    if (FInfo.hProcess) EnumWindows(detail::CollectTop, reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }
  // A visible top-level window of the program of this class (and caption, when one is given).
  HWND Find(const std::string& Class, const char* Caption = nullptr) const {
    for (HWND window : TopWindows())
      if (WindowClass(window) == Class && (!Caption || WindowText(window) == Caption)) return window;
    return nullptr;
  }
  HWND WaitFor(const std::string& Class, const char* Caption = nullptr) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(Class, Caption)) != nullptr; });
    return found;
  }

  // A status bar's panel text: the control keeps it in the program's memory, where it is read.
  std::string StatusPanelText(HWND StatusBar, int Panel) const {
    constexpr SIZE_T kSize = 4096;
    void* there = VirtualAllocEx(FInfo.hProcess, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
    DWORD_PTR length = 0;
    SendMessageTimeoutA(StatusBar, SB_GETTEXTA, WPARAM(Panel), reinterpret_cast<LPARAM>(there), SMTO_ABORTIFHUNG,
                        5000, &length);
    std::string text(kSize, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(FInfo.hProcess, there, text.data(), kSize, &read);
    VirtualFreeEx(FInfo.hProcess, there, 0, MEM_RELEASE);
    text.resize(std::min<size_t>(LOWORD(length), read));
    return text;
  }

 private:
  PROCESS_INFORMATION FInfo{};
};

}  // namespace programdriver
