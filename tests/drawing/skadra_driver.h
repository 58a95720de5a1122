// Skadra used from outside, the way a person uses it: the program and what ships beside it are
// copied into a folder of their own, the program runs as a process of its own, its settings
// dialog, menus, buttons and file dialogs are answered with the real pointer and keys, and what
// it shows is read back from the screen. Every wait is for a condition, never a fixed time.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/winapi.h"
#include "tests/program_driver.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

namespace skadratest {

using namespace programdriver;

class SkadraProcess : public ProgramProcess {
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
    if (!Start(Folder.File("Skadra.exe"), Folder.Path())) throw std::runtime_error("Skadra did not start");
    HWND dialog = WaitFor("#32770", kSettingsTitle);
    if (!dialog) throw std::runtime_error("no settings dialog at start");
    EXPECT_EQ(AnswerFileDialog(dialog, Settings), "");
    if (!WaitUntil([&] { return (Main = Find("TForm1")) != nullptr; }))
      throw std::runtime_error("the drawing window did not appear");
    // The splash lies over the middle of the drawing until its timer closes it.
    if (!WaitUntil([&] { return Find("TForm3") == nullptr; })) throw std::runtime_error("the splash stayed");
    Image = Child(Main, "TImage");
    Box = Child(Main, "TScrollBox");
    // Kept above whatever else is on the screen, so that the screen shows this window.
    SetWindowPos(Main, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    // The keys go to the active window, as they would after a click on it.
    if (!WaitUntil([&] { return SetForegroundWindow(Main), GetForegroundWindow() == Main; }))
      throw std::runtime_error("the drawing window cannot be made active");
  }
  ~SkadraProcess() { Stop(); }  // before its folder goes

  // Answers WM_NULL within 5 seconds.
  bool Answers() const { return programdriver::Answers(Main, 5); }

  // The program's window thread is in a menu's loop.
  bool InMenu() const { return GuiState().flags & GUI_INMENUMODE; }
  // A menu command with the keys: the menu key, Right to menu Top (from 0), Down into it and on
  // to Item (from 0, separators not counted), Enter. Item -1 is a command of the bar itself.
  // Each key waits for the menu to be where it leads, as a person looks before the next key.
  // False when the command is greyed: its menu then stays open and is closed with Escape.
  bool Choose(int Top, int Item = -1) const {
    PostMessageA(Main, WM_SYSCOMMAND, SC_KEYMENU, 0);
    if (!WaitUntil([&] { return InMenu(); }, 10)) return false;
    for (int i = 0; i < Top; ++i) PostKey(Main, VK_RIGHT);
    bool open = true;
    if (Item >= 0) {
      PostKey(Main, VK_DOWN);
      open = WaitUntil([&] { return Find("#32768") != nullptr; }, 2);
      for (int i = 0; open && i < Item; ++i) PostKey(Main, VK_DOWN);
    }
    if (open) {
      PostKey(Main, VK_RETURN);
      if (WaitUntil([&] { return !InMenu(); }, 2)) return true;
    }
    for (int i = 0; i < 3 && InMenu(); ++i) {
      PostKey(Main, VK_ESCAPE);
      WaitUntil([&] { return !InMenu(); }, 1);
    }
    return false;
  }

  // The program's one open common dialog: Name typed and OK pressed, or Cancel for an empty name.
  void AnswerDialog(const std::string& Name) const {
    HWND dialog = WaitFor("#32770");
    ASSERT_NE(dialog, nullptr) << "no dialog came";
    EXPECT_EQ(AnswerFileDialog(dialog, Name), "");
  }

  // A tool-panel button by its place in the panel (its left edge).
  HWND ToolButton(int Left) const {
    HWND panel = GetParent(Child(Main, "TSpeedButton"));
    return ChildWindowFromPointEx(panel, POINT{Left + 4, 12}, CWP_SKIPINVISIBLE);
  }

  // The real pointer at a point of Window's client area, once the program under it has had the
  // X server's report of the move. Wine puts the pointer there at once and again when that
  // report arrives; reports of earlier moves, which would put it back, all come before it.
  // The X server reports only a real move, so when none comes the pointer goes to the pixel
  // beside and back, and both reports are awaited.
  static void PointerTo(HWND Window, POINT At) {
    ClientToScreen(Window, &At);
    auto at = [](POINT P, POINT Q) { return P.x == Q.x && P.y == Q.y; };
    if (at(FReached, At) && testsupport::PointerTrail().StayedAt(At)) return;  // nothing came since
    const POINT beside{At.x + 1, At.y};
    for (int attempt = 0; attempt < 20; ++attempt) {
      if (attempt > 0) SetCursorPos(beside.x, beside.y);
      SetCursorPos(At.x, At.y);
      testsupport::PointerTrail trail;
      std::vector<POINT> moves;
      auto reported = [&] {
        if (!trail.Since(moves) || moves.empty() || !at(moves.front(), At)) return false;
        if (attempt == 0) return true;
        auto first = std::find_if(moves.begin(), moves.end(), [&](POINT P) { return at(P, beside); });
        return first != moves.end() && std::any_of(moves.begin(), first, [&](POINT P) { return at(P, At); });
      };
      if (WaitUntil(reported, 2)) {
        FReached = At;
        return;
      }
    }
    FReached = POINT{-1, -1};
  }
  void PointerTo(POINT At) const { PointerTo(Image, At); }

  // The program's window thread holds the mouse capture (a press on a control takes it).
  bool Captured() const { return GuiState().hwndCapture != nullptr; }
  // The left button pressed or let go where the pointer is; done once the program has taken it,
  // which a control shows by taking or giving up the capture, as a command posted next would
  // otherwise reach the program before it.
  void Button(bool Down) const {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = Down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof input);
    WaitUntil([&] { return Captured() == Down; }, 10);
  }
  // A click on a window at its middle.
  void ClickOn(HWND Window) const {
    testsupport::PointerLock lock;
    RECT r{};
    GetClientRect(Window, &r);
    PointerTo(Window, POINT{r.right / 2, r.bottom / 2});
    Button(true);
    Button(false);
  }

  std::string StatusText(int Panel) const { return StatusPanelText(Child(Main, "TStatusBar"), Panel); }

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
  static inline POINT FReached{-1, -1};  // where PointerTo last saw the report of its move
};

}  // namespace skadratest
