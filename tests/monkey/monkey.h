// The random-input run of Fenlo and Skadra: a program started in a scratch folder of sample
// pictures, then driven by random user actions (menus, clicks, drags, keys, dialog answers,
// clipboard contents), each followed by a check that the process lives and answers.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "classlib/winapi.h"
#include "tests/program_driver.h"

namespace monkey {

using namespace programdriver;

// One user action in the form the failure files hold, one line each:
//   <kind> <window> <child> [numbers...] [=text]   # note
// A window is "Class:k", the k-th visible top-level window of that class of the program (front
// to back); a child is "Class:k" among the window's visible descendants, or "." for the window.
struct TAction {
  std::string Kind;
  std::string Window = ".";
  std::string Child = ".";
  std::vector<int> Numbers;
  std::string Text;
  bool HasText = false;
  std::string Note;
};

std::string Format(const TAction& Action);
// False for a line that holds no action (blank or a comment).
bool Parse(const std::string& Line, TAction& Action);

// A command of a window's menu, chosen with the keys: the menu's place in the bar and the
// item's in the menu (separators not counted; -1 for a command on the bar itself).
struct TMenuCommand {
  std::string WindowClass;
  int Top, Item;
  std::string Caption;  // for the failure file
  bool Ends = false;     // the program may end after it
  int Weight = 1;        // how often it is chosen, against the others' weights
};

// What the monkey knows of one program.
struct TProgram {
  std::string Name;
  std::string ExeName;
  std::string MainClass;
  // Fills the scratch folder: the program, its own files, the pictures to offer.
  std::function<void(const std::string& Folder)> Prepare;
  std::vector<TMenuCommand> Menus;
  // The classes of the windows that show the picture: where most of the mouse goes.
  std::vector<std::string> Canvases;
  // The files a file dialog with this caption is offered, relative to the scratch folder.
  std::function<std::vector<std::string>(const std::string& Folder, const std::string& Caption, std::mt19937& Random)>
      Offer;
};

const TProgram& Fenlo();
const TProgram& Skadra();

// The sample pictures of every format the readers take and damaged ones, written into Folder.
void WriteSamples(const std::string& Folder);

// The running program and what the checks found.
class TSession : public ProgramProcess {
 public:
  TSession(const TProgram& Program, const std::string& Folder, DWORD AnswerMs);

  // Starts the program (ending one that runs) and waits for a window of it.
  bool Start(std::string& Problem);

  HWND ResolveWindow(const std::string& Name) const;
  HWND ResolveChild(HWND Window, const std::string& Name) const;
  std::string NameOfWindow(HWND Window) const;
  static std::string NameOfChild(HWND Window, HWND Child);
  static std::vector<HWND> VisibleChildren(HWND Window);

  // Waits until every window of the program has answered WM_NULL and the set of windows holds
  // still. Empty when all is well; else what went wrong ("ended", a hang).
  std::string Settle();

  const TProgram& Program;
  const std::string Folder;

 private:
  DWORD FAnswerMs;
};

// Chooses the next action from what is on the screen.
TAction Choose(TSession& Session, std::mt19937& Random);
// Carries the action out; false when its window was not found (the action is skipped).
bool Execute(TSession& Session, const TAction& Action);
// True when the program may end cleanly after this action (an exit command, a closed window, a
// button of another window than the main one).
bool MayEnd(const TSession& Session, const TAction& Action);

}  // namespace monkey
