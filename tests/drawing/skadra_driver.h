// Skadra used from outside, the way a person uses it: the program and what ships beside it are
// copied into a folder of their own, the program runs as a process of its own, its settings
// dialog, menus, buttons and file dialogs are answered with the real pointer and keys, and what
// it shows is read back from the screen. Every wait is for a condition, never a fixed time.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "classlib/winapi.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

namespace skadratest {

// True once Holds() did, false when Seconds passed first.
inline bool Eventually(const std::function<bool()>& Holds, double Seconds = 30) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(Seconds);
  for (;;) {
    if (Holds()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
}

// Another process's window text must be asked of the window (GetWindowText only gives the text
// it was made with).
inline std::string TextOf(HWND Window) {
  char buffer[1024] = {};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(Window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 5000,
                      &ignored);
  return buffer;
}

inline std::string WindowClass(HWND Window) {
  char name[128] = {};
  GetClassNameA(Window, name, sizeof name);
  return name;
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

class SkadraProcess {
 public:
  static constexpr const char* kSettingsTitle = " Vælg Indstillinger for start af TRIVANE v. 1.0";

  // Starts the program from a folder that holds what the build puts beside it, plus stand-ins
  // for the word processor and the paint program, and answers the settings dialog: Settings
  // names a file of its "cfg" folder, an empty name cancels the dialog. Help, when given, is
  // the help file's text instead of the shipped one.
  SkadraProcess(const std::string& BuildFolder, const std::string& StandIn, const std::string& Settings,
                const std::string* Help = nullptr) {
    namespace fs = std::filesystem;
    for (const char* file : {"Skadra.exe", "Help.rtf", "default.cfg"})
      fs::copy_file(BuildFolder + "/" + file, Folder.File(file));
    if (Help) std::ofstream(Folder.File("Help.rtf"), std::ios::binary | std::ios::trunc) << *Help;
    fs::copy(BuildFolder + "/cfg", Folder.File("cfg"));
    for (const char* name : {"RICHEDIT.EXE", "mspaint.exe"}) fs::copy_file(StandIn, Folder.File(name));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = "\"" + Folder.File("Skadra.exe") + "\"";
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.Path().c_str(), &startup,
                        &FProcess))
      throw std::runtime_error("Skadra did not start");
    // A program that fails to start (or crashes on the way) must not outlive the test.
    try {
      AwaitStart(Settings);
    } catch (...) {
      Stop();
      throw;
    }
  }
  ~SkadraProcess() { Stop(); }
  SkadraProcess(const SkadraProcess&) = delete;
  SkadraProcess& operator=(const SkadraProcess&) = delete;

  bool Running() const { return WaitForSingleObject(FProcess.hProcess, 0) == WAIT_TIMEOUT; }
  bool Ends() const { return WaitForSingleObject(FProcess.hProcess, 20000) == WAIT_OBJECT_0; }
  // Answers WM_NULL within 5 seconds.
  bool Answers() const {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &ignored) != 0;
  }

  // A visible top-level window of the program of this class (and caption, when one is given).
  HWND Find(const std::string& Class, const char* Caption = nullptr) const {
    TQuery query{FProcess.dwProcessId, Class, Caption, nullptr};
    EnumWindows(TopLevelMatch, reinterpret_cast<LPARAM>(&query));
    return query.Found;
  }
  HWND Await(const std::string& Class, const char* Caption = nullptr) const {
    HWND found = nullptr;
    Eventually([&] { return (found = Find(Class, Caption)) != nullptr; });
    return found;
  }
  // The first descendant of Parent of this class.
  static HWND Child(HWND Parent, const std::string& Class) {
    TQuery query{0, Class, nullptr, nullptr};
    EnumChildWindows(Parent, ChildMatch, reinterpret_cast<LPARAM>(&query));
    return query.Found;
  }

  // The program's window thread is in a menu's loop.
  bool InMenu() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(FProcess.dwThreadId, &info) && (info.flags & GUI_INMENUMODE);
  }
  // A menu command with the keys: the menu key, Right to menu Top (from 0), Down into it and on
  // to Item (from 0, separators not counted), Enter. Item -1 is a command of the bar itself.
  // Each key waits for the menu to be where it leads, as a person looks before the next key.
  // False when the command is greyed: its menu then stays open and is closed with Escape.
  bool Choose(int Top, int Item = -1) const {
    PostMessageA(Main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    if (!Eventually([&] { return InMenu(); }, 10)) return false;
    for (int i = 0; i < Top; ++i) Press(VK_RIGHT);
    bool open = true;
    if (Item >= 0) {
      Press(VK_DOWN);
      open = Eventually([&] { return Find("#32768") != nullptr; }, 2);
      for (int i = 0; open && i < Item; ++i) Press(VK_DOWN);
    }
    if (open) {
      Press(VK_RETURN);
      if (Eventually([&] { return !InMenu(); }, 2)) return true;
    }
    for (int i = 0; i < 3 && InMenu(); ++i) {
      Press(VK_ESCAPE);
      Eventually([&] { return !InMenu(); }, 1);
    }
    return false;
  }
  void Press(WORD Key) const {
    PostMessageA(Main, WM_KEYDOWN, Key, 1);
    PostMessageA(Main, WM_KEYUP, Key, LPARAM(0xC0000001));
  }

  // Types Name into a file dialog's name field and presses OK; an empty name presses Cancel.
  static void AnswerFileDialog(HWND Dialog, const std::string& Name) {
    if (!Name.empty()) {
      HWND field = GetDlgItem(Dialog, 0x480);  // the plain edit; older dialogs have a combo box's
      if (!field) field = FindWindowExA(GetDlgItem(Dialog, 0x47C), nullptr, "Edit", nullptr);
      ASSERT_NE(field, nullptr);
      SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      for (char c : Name) PostMessageA(field, WM_CHAR, WPARAM(BYTE(c)), 1);
      ASSERT_TRUE(Eventually([&] { return TextOf(field) == Name; })) << TextOf(field);
    }
    PostMessageA(GetDlgItem(Dialog, Name.empty() ? IDCANCEL : IDOK), BM_CLICK, 0, 0);
    ASSERT_TRUE(Eventually([&] { return !IsWindow(Dialog); }));
  }
  // The program's one open common dialog, answered as above.
  void AnswerDialog(const std::string& Name) const {
    HWND dialog = Await("#32770");
    ASSERT_NE(dialog, nullptr) << "no dialog came";
    AnswerFileDialog(dialog, Name);
  }

  // A tool-panel button by its place in the panel (its left edge).
  HWND ToolButton(int Left) const {
    HWND panel = GetParent(Child(Main, "TSpeedButton"));
    return ChildWindowFromPointEx(panel, POINT{Left + 4, 12}, CWP_SKIPINVISIBLE);
  }

  // The real pointer at a point of Window's client area, once the system reports it there twice
  // in a row: the X server's answer to an earlier move may still bring an older position.
  static void PointerTo(HWND Window, POINT At) {
    ClientToScreen(Window, &At);
    auto there = [&] {
      POINT now{};
      return GetCursorPos(&now) && now.x == At.x && now.y == At.y;
    };
    for (int i = 0; i < 200 && !(there() && (Sleep(5), there())); ++i) SetCursorPos(At.x, At.y);
  }
  void PointerTo(POINT At) const { PointerTo(Image, At); }
  static void Button(bool Down) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
  }
  // A click on a window at its middle.
  static void ClickOn(HWND Window) {
    testsupport::PointerLock lock;
    RECT r{};
    GetClientRect(Window, &r);
    PointerTo(Window, POINT{r.right / 2, r.bottom / 2});
    Button(true);
    Button(false);
  }

  // A status panel's text: the control keeps it in the program's memory, where it is read.
  std::string Status(int Panel) const {
    HWND bar = Child(Main, "TStatusBar");
    constexpr SIZE_T kSize = 1024;
    void* there = VirtualAllocEx(FProcess.hProcess, nullptr, kSize, MEM_COMMIT, PAGE_READWRITE);
    DWORD_PTR length = 0;
    SendMessageTimeoutA(bar, SB_GETTEXTA, WPARAM(Panel), reinterpret_cast<LPARAM>(there), SMTO_ABORTIFHUNG, 5000,
                        &length);
    std::string text(kSize, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(FProcess.hProcess, there, text.data(), kSize, &read);
    VirtualFreeEx(FProcess.hProcess, there, 0, MEM_RELEASE);
    text.resize(std::min<size_t>(LOWORD(length), read));
    return text;
  }

  // What the scroll box shows of the picture, up to the picture's own size.
  TScreenShot Shown(int PictureWidth, int PictureHeight) const {
    RECT box{};
    GetClientRect(Box, &box);
    POINT at{0, 0};
    MapWindowPoints(Image, Box, &at, 1);
    return ShootClient(Image, std::min<int>(PictureWidth, box.right - at.x),
                       std::min<int>(PictureHeight, box.bottom - at.y));
  }

  testsupport::TempDir Folder;
  HWND Main = nullptr, Image = nullptr, Box = nullptr;

 private:
  struct TQuery {
    DWORD Process;
    std::string Class;
    const char* Caption;
    HWND Found;
  };
  // Callbacks in the platform's calling convention (a lambda's differs on i686).
  static BOOL CALLBACK TopLevelMatch(HWND Window, LPARAM Param) {
    auto* q = reinterpret_cast<TQuery*>(Param);
    DWORD process = 0;
    GetWindowThreadProcessId(Window, &process);
    if (process == q->Process && IsWindowVisible(Window) && WindowClass(Window) == q->Class &&
        (!q->Caption || TextOf(Window) == q->Caption)) {
      q->Found = Window;
      return FALSE;
    }
    return TRUE;
  }
  static BOOL CALLBACK ChildMatch(HWND Window, LPARAM Param) {
    auto* q = reinterpret_cast<TQuery*>(Param);
    if (WindowClass(Window) != q->Class) return TRUE;
    q->Found = Window;
    return FALSE;
  }
  // Answers the settings dialog and waits for the drawing window, active and clear of the splash.
  void AwaitStart(const std::string& Settings) {
    HWND dialog = Await("#32770", kSettingsTitle);
    if (!dialog) throw std::runtime_error("no settings dialog at start");
    AnswerFileDialog(dialog, Settings);
    if (!Eventually([&] { return (Main = Find("TForm1")) != nullptr; }))
      throw std::runtime_error("the drawing window did not appear");
    // The splash lies over the middle of the drawing until its timer closes it.
    if (!Eventually([&] { return Find("TForm3") == nullptr; }))
      throw std::runtime_error("the splash stayed");
    Image = Child(Main, "TImage");
    Box = Child(Main, "TScrollBox");
    // Kept above whatever else is on the screen, so that the screen shows this window.
    SetWindowPos(Main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The keys go to the active window, as they would after a click on it.
    if (!Eventually([&] { return SetForegroundWindow(Main), GetForegroundWindow() == Main; }))
      throw std::runtime_error("the drawing window cannot be made active");
  }
  void Stop() {
    if (Running()) {
      TerminateProcess(FProcess.hProcess, 1);
      WaitForSingleObject(FProcess.hProcess, 10000);
    }
    CloseHandle(FProcess.hThread);
    CloseHandle(FProcess.hProcess);
    FProcess = {};
  }
  PROCESS_INFORMATION FProcess{};
};

}  // namespace skadratest
