// Drives a running Fenlo from outside, as a user would: the program copied into a fresh folder
// and started as a process of its own, its menu commands chosen through its menu, file names
// typed into its dialogs, its windows and the screen read back. Every wait is for a condition.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/clipboard.h"
#include "classlib/winapi.h"
#include "imagelib/PGraphic.h"
#include "tests/program_driver.h"
#include "tests/test_support.h"
#include "viewer/Unit1.h"

#include <psapi.h>

namespace fenlotest {

using namespace programdriver;

class FenloProcess : public ProgramProcess {
 public:
  // Fenlo and, unless WithSeed is false, its seed file, in a folder of their own.
  explicit FenloProcess(bool WithSeed = true) {
    namespace fs = std::filesystem;
    UnmanagedUnderWine();
    fs::copy_file(FENLO_BUILD_DIR "/Fenlo.exe", Folder.File("Fenlo.exe"));
    if (WithSeed) fs::copy_file(FENLO_BUILD_DIR "/bc24.bmp", Folder.File("bc24.bmp"));
    if (!Start(Folder.File("Fenlo.exe"), Folder.Path())) throw std::runtime_error("Fenlo did not start");
    if (!WaitUntil([&] { return (Main = Find("TForm1")) && IsWindowVisible(Main); }))
      throw std::runtime_error("Fenlo's window did not appear");
  }
  ~FenloProcess() { Stop(); }  // before its folder goes

  // Chooses a command through the menu bar, with the keys a user without a mouse would press: the
  // menu key, Right to the menu (Top counts from 0), Down into it and on to the item (Item
  // counts the items from 0, separators left out), Enter. Item -1 is a menu bar command.
  void Menu(int Top, int Item = -1) {
    PostMessageA(Main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < Top; ++i) PostKey(Main, VK_RIGHT);
    if (Item >= 0) {
      PostKey(Main, VK_DOWN);
      for (int i = 0; i < Item; ++i) PostKey(Main, VK_DOWN);
    }
    PostKey(Main, VK_RETURN);
  }

  // Types Name into the file dialog with this caption and presses its OK button (Cancel for an
  // empty name).
  void AnswerFileDialog(const char* Caption, const std::string& Name) {
    HWND dialog = WaitFor("#32770", Caption);
    ASSERT_NE(dialog, nullptr) << "no dialog " << testsupport::Escaped(Caption);
    ASSERT_EQ(programdriver::AnswerFileDialog(dialog, Name), "");
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
  HWND View() const { return Child(Main, "TPGImage"); }
  std::string StatusText(int Panel) const { return StatusPanelText(Child(Main, "TStatusBar"), Panel); }
  // True when the program's window answers a message within Seconds.
  bool Answers(double Seconds = 10) const { return programdriver::Answers(Main, Seconds); }

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
    std::vector<COLORREF> pixels;
    for (uint32_t c : ShootClient(Window, Width, Height).Pixels) pixels.push_back(RGB(c >> 16, c >> 8, c));
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
    if (!GetProcessMemoryInfo(Process(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof(counters)))
      return 0;
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
  }

  testsupport::TempDir Folder;
  HWND Main = nullptr;

 private:
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
