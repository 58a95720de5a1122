// Drives a running Fenlo from outside, as a user would: the program copied into a fresh folder
// and started as a process of its own, its menu commands chosen through its menu, file names
// typed into its dialogs, its windows and the screen read back. Every wait is for a condition.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "classlib/clipboard.h"
#include "classlib/winapi.h"
#include "imagelib/PGraphic.h"
#include "tests/test_support.h"
#include "viewer/Unit1.h"

#include <psapi.h>

namespace fenlotest {

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

inline std::string ClassOf(HWND Window) {
  char name[256] = {};
  GetClassNameA(Window, name, sizeof(name));
  return name;
}

class FenloProcess {
 public:
  // Fenlo and, unless WithSeed is false, its seed file, in a folder of their own.
  explicit FenloProcess(bool WithSeed = true) {
    namespace fs = std::filesystem;
    UnmanagedUnderWine();
    fs::copy_file(FENLO_BUILD_DIR "/Fenlo.exe", Folder.File("Fenlo.exe"));
    if (WithSeed) fs::copy_file(FENLO_BUILD_DIR "/bc24.bmp", Folder.File("bc24.bmp"));
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    std::string command = "\"" + Folder.File("Fenlo.exe") + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.Path().c_str(),
                        &startup, &FInfo))
      throw std::runtime_error("Fenlo did not start");
    if (!WaitUntil([&] { return (Main = Find("TForm1")) && IsWindowVisible(Main); }))
      throw std::runtime_error("Fenlo's window did not appear");
  }
  ~FenloProcess() {
    if (Running()) {
      TerminateProcess(FInfo.hProcess, 1);
      WaitForSingleObject(FInfo.hProcess, 10000);
    }
    CloseHandle(FInfo.hThread);
    CloseHandle(FInfo.hProcess);
  }
  FenloProcess(const FenloProcess&) = delete;
  FenloProcess& operator=(const FenloProcess&) = delete;

  bool Running() const { return WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT; }
  bool Ended(double Seconds = 20) {
    return WaitForSingleObject(FInfo.hProcess, DWORD(Seconds * 1000)) == WAIT_OBJECT_0;
  }

  // A top-level window of the program by class, and by caption when one is given.
  HWND Find(const std::string& Class, const char* Caption = nullptr, bool VisibleOnly = true) const {
    TSearch search{FInfo.dwProcessId, &Class, Caption, VisibleOnly, nullptr};
    EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }
  HWND WaitFor(const std::string& Class, const char* Caption = nullptr) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = Find(Class, Caption)) != nullptr; });
    return found;
  }

  // Chooses a command through the menu bar, with the keys a user without a mouse would press: the
  // menu key, Right to the menu (Top counts from 0), Down into it and on to the item (Item
  // counts the items from 0, separators left out), Enter. Item -1 is a menu bar command.
  void Menu(int Top, int Item = -1) {
    PostMessageA(Main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < Top; ++i) Key(VK_RIGHT);
    if (Item >= 0) {
      Key(VK_DOWN);
      for (int i = 0; i < Item; ++i) Key(VK_DOWN);
    }
    Key(VK_RETURN);
  }
  void Key(WORD Key) {
    PostMessageA(Main, WM_KEYDOWN, Key, 1);
    PostMessageA(Main, WM_KEYUP, Key, LPARAM(0xC0000001));
  }

  // Types Name into the file dialog with this caption and presses its OK button (or Cancel).
  void AnswerFileDialog(const char* Caption, const std::string& Name, bool Ok = true) {
    HWND dialog = WaitFor("#32770", Caption);
    ASSERT_NE(dialog, nullptr) << "no dialog " << testsupport::Escaped(Caption);
    if (Ok) {
      HWND edit = FileNameEdit(dialog);
      ASSERT_NE(edit, nullptr);
      SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
      for (char c : Name) PostMessageA(edit, WM_CHAR, WPARAM(BYTE(c)), 1);
      ASSERT_TRUE(WaitUntil([&] { return WindowText(edit) == Name; })) << WindowText(edit);
    }
    PostMessageA(GetDlgItem(dialog, Ok ? IDOK : IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }));
  }

  // The file name's edit of a file dialog (the combo box's, where the dialog has no plain edit).
  static HWND FileNameEdit(HWND Dialog) {
    constexpr int kEdit = 0x480, kCombo = 0x47C;
    HWND edit = GetDlgItem(Dialog, kEdit);
    if (!edit) edit = FindWindowExA(GetDlgItem(Dialog, kCombo), nullptr, "Edit", nullptr);
    return edit;
  }

  // A message box of the program: its text, and it is closed.
  std::string TakeMessageBox() {
    HWND box = WaitFor("#32770");
    if (!box) return "";
    std::string text;
    for (HWND c = FindWindowExA(box, nullptr, "Static", nullptr); c; c = FindWindowExA(box, c, "Static", nullptr))
      text += WindowText(c);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
  }

  std::string Caption() const { return WindowText(Main); }
  HWND Child(HWND Parent, const std::string& Class) const {
    TSearch search{0, &Class, nullptr, false, nullptr};
    EnumChildWindows(Parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.Found;
  }
  HWND View() const { return Child(Main, "TPGImage"); }

  // A status panel's text, read in the program's own memory (the control keeps it there).
  std::string StatusText(int Panel) const {
    HWND bar = Child(Main, "TStatusBar");
    const SIZE_T size = 4096;
    void* remote = VirtualAllocEx(FInfo.hProcess, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    LRESULT length = SendMessageA(bar, SB_GETTEXTA, WPARAM(Panel), reinterpret_cast<LPARAM>(remote));
    std::string text(size, '\0');
    SIZE_T read = 0;
    ReadProcessMemory(FInfo.hProcess, remote, text.data(), size, &read);
    VirtualFreeEx(FInfo.hProcess, remote, 0, MEM_RELEASE);
    text.resize(std::min<size_t>(LOWORD(length), read));
    return text;
  }

  // A pixel as the screen shows it, at a point of Window's client area. The window is put on top
  // first: other programs' windows share the screen.
  COLORREF ScreenPixel(HWND Window, int X, int Y) const {
    SetWindowPos(GetAncestor(Window, GA_ROOT), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    POINT p{X, Y};
    ClientToScreen(Window, &p);
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
  }
  // The screen's pixels of Window's client area, row by row (the window put on top first).
  std::vector<COLORREF> Capture(HWND Window, int Width, int Height) const {
    SetWindowPos(GetAncestor(Window, GA_ROOT), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    POINT p{0, 0};
    ClientToScreen(Window, &p);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), Width, -Height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, Width, Height, screen, p.x, p.y, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(size_t(Width) * size_t(Height));
    const auto* quad = static_cast<const RGBQUAD*>(bits);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = RGB(quad[i].rgbRed, quad[i].rgbGreen, quad[i].rgbBlue);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
  }
  // Waits until the screen shows Color there (the program paints when it gets to it).
  bool ShowsPixel(HWND Window, int X, int Y, COLORREF Color) const {
    return WaitUntil([&] { return ScreenPixel(Window, X, Y) == Color; }, 15);
  }

  // The program's private bytes. Wine leaves PrivateUsage at 0 and counts the process's private
  // memory in PagefileUsage, which Windows also fills with the same commit charge.
  size_t PrivateBytes() const {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    if (!GetProcessMemoryInfo(FInfo.hProcess, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
      return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  }
  // True when the program's window answers a message within Seconds.
  bool Answers(double Seconds = 10) const {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(Main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, DWORD(Seconds * 1000), &result) != 0;
  }

  testsupport::TempDir Folder;
  HWND Main = nullptr;

 private:
  struct TSearch {
    DWORD Process;
    const std::string* Class;
    const char* Caption;
    bool Visible;
    HWND Found;
  };
  // Enumeration callbacks in the platform's calling convention (a lambda's is not, on i686).
  static BOOL CALLBACK FindTopLevel(HWND Window, LPARAM Param) {
    auto* s = reinterpret_cast<TSearch*>(Param);
    DWORD process = 0;
    GetWindowThreadProcessId(Window, &process);
    if (process != s->Process || ClassOf(Window) != *s->Class) return TRUE;
    if (s->Visible && !IsWindowVisible(Window)) return TRUE;
    if (s->Caption && WindowText(Window) != s->Caption) return TRUE;
    s->Found = Window;
    return FALSE;
  }
  static BOOL CALLBACK FindChild(HWND Window, LPARAM Param) {
    auto* s = reinterpret_cast<TSearch*>(Param);
    if (ClassOf(Window) != *s->Class) return TRUE;
    s->Found = Window;
    return FALSE;
  }
  // Under Wine on a screen without a window manager every hidden top-level window of a managed
  // program waits two seconds for a manager that never answers; Fenlo's windows, left to Wine
  // itself, close at once. Windows never reads this key.
  static void UnmanagedUnderWine() {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\Fenlo.exe\\X11 Driver", 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    RegSetValueExA(key, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(key);
  }
  PROCESS_INFORMATION FInfo{};
};

// The menu commands: the menu's place in the bar and the item's in the menu.
struct TCommand {
  int Top, Item;
};
constexpr TCommand kOpen{0, 0}, kSaveAs{0, 1}, kExit{0, 2}, kFull{1, 0}, kFit{1, 1}, kCopy{2, 0}, kPaste{2, 1},
    kGray{3, -1}, kSharpen{4, 0}, kSmooth{4, 1}, kBCG{4, 2}, kRGB{4, 3}, kAbout{5, -1};

inline void Choose(FenloProcess& P, TCommand Command) { P.Menu(Command.Top, Command.Item); }

const std::string kOpenTitle = " Åben Billedfil : ";
const std::string kSaveTitle = " Gem Som :";

inline std::string AfterVersion(const std::string& Rest) {
  return std::string(fenlo::kVersion) + fenlo::kPictureFileLabel + Rest;
}

// Opens Name from the program's picture folder through the menu and the dialog; true when the
// caption then names it.
inline bool OpenThroughDialog(FenloProcess& P, const std::string& Name) {
  Choose(P, kOpen);
  P.AnswerFileDialog(kOpenTitle.c_str(), Name);
  return WaitUntil([&] { return P.Caption() == AfterVersion(Name); });
}

// Runs a filter command and answers its dialog with OK, after moving the dialog's first slider to
// its end when SliderToTheEnd; true when the dialog came and went.
inline bool RunFilter(FenloProcess& P, TCommand Command, const char* Caption, bool SliderToTheEnd) {
  Choose(P, Command);
  HWND dialog = P.WaitFor("TFilterDialogForm", Caption);
  if (!dialog) return false;
  HWND first = FindWindowExA(dialog, nullptr, "TTrackBar", nullptr);
  if (!first) first = FindWindowExA(dialog, nullptr, "TCheckBox", nullptr);
  if (!first) return false;
  if (SliderToTheEnd) PostMessageA(first, WM_KEYDOWN, VK_END, 0);
  PostMessageA(first, WM_KEYDOWN, VK_RETURN, 0);
  return WaitUntil([&] { return !IsWindowVisible(dialog); });
}

// The picture shown, as Copy hands it to another program; empty when none came.
inline classlib::TOwned<imagelib::TPixelGraphic> CopyShown(FenloProcess& P) {
  classlib::Clipboard()->Clear();
  Choose(P, kCopy);
  classlib::TOwned<imagelib::TPixelGraphic> shown(classlib::New<imagelib::TPixelGraphic>());
  if (WaitUntil([] { return IsClipboardFormatAvailable(CF_DIB) != 0; }, 15)) shown->PasteFromClipboard();
  return shown;
}

// A picture file as the library reads it once its writer has finished with it.
inline bool LoadWhenWritten(imagelib::TPixelGraphic* Picture, const std::string& File) {
  return WaitUntil([&] {
    if (!std::filesystem::exists(File) || std::filesystem::file_size(File) == 0) return false;
    try {
      Picture->LoadFromFile(File);
      return true;
    } catch (...) {
      return false;  // still being written
    }
  });
}

}  // namespace fenlotest
