// The program under the monkey: started as a process of its own, its windows found and named,
// and its answers awaited after each action.
#include <chrono>
#include <sstream>
#include <thread>

#include "tests/monkey/monkey.h"

namespace monkey {

std::string Format(const TAction& Action) {
  std::ostringstream line;
  line << Action.Kind << ' ' << Action.Window << ' ' << Action.Child;
  for (int n : Action.Numbers) line << ' ' << n;
  if (Action.HasText) line << " =" << Action.Text;
  if (!Action.Note.empty()) {
    // Kept to plain ASCII, so that the file reads the same in any code page.
    std::string note;
    for (char c : Action.Note) note += (c >= 32 && c < 127) ? c : '?';
    line << "   # " << note;
  }
  return line.str();
}

bool Parse(const std::string& Line, TAction& Action) {
  std::string body = Line.substr(0, Line.find(" # "));  // not " #": a window may be "#32770:0"
  if (body.empty() || body[0] == '#') return false;
  std::istringstream words(body);
  Action = TAction{};
  if (!(words >> Action.Kind >> Action.Window >> Action.Child)) return false;
  std::string word;
  while (words >> word) {
    if (word[0] == '=') {
      Action.HasText = true;
      Action.Text = word.substr(1);
    } else {
      Action.Numbers.push_back(std::stoi(word));
    }
  }
  return true;
}

TSession::TSession(const TProgram& Program, const std::string& Folder, DWORD AnswerMs)
    : Program(Program), Folder(Folder), FAnswerMs(AnswerMs) {}

bool TSession::Start(std::string& Problem) {
  if (!ProgramProcess::Start(Folder + "\\" + Program.ExeName, Folder)) {
    Problem = "the program did not start";
    return false;
  }
  // Its first window: the main one, or a dialog that its start-up shows.
  bool shown = false;
  if (!WaitUntil([&] { return (shown = !TopWindows().empty()) || !Running(); }, FAnswerMs * 3 / 1000.0)) {
    Problem = "no window appeared";
    return false;
  }
  if (!shown) {
    Problem = "ended while starting, exit code " + std::to_string(ExitCode());
    return false;
  }
  Problem = Settle();
  return Problem.empty();
}

namespace {
BOOL CALLBACK CollectChild(HWND Window, LPARAM Param) {
  auto* found = reinterpret_cast<std::vector<HWND>*>(Param);
  if (IsWindowVisible(Window)) found->push_back(Window);
  return TRUE;
}

// The k-th window of the class in the list, or nil.
HWND Nth(const std::vector<HWND>& Windows, const std::string& Name) {
  const size_t colon = Name.rfind(':');
  if (colon == std::string::npos) return nullptr;
  const std::string cls = Name.substr(0, colon);
  int k = std::stoi(Name.substr(colon + 1));
  for (HWND w : Windows)
    if (WindowClass(w) == cls && k-- == 0) return w;
  return nullptr;
}
std::string NameIn(const std::vector<HWND>& Windows, HWND Window) {
  const std::string cls = WindowClass(Window);
  int k = 0;
  for (HWND w : Windows) {
    if (w == Window) break;
    if (WindowClass(w) == cls) ++k;
  }
  return cls + ":" + std::to_string(k);
}
}  // namespace

std::vector<HWND> TSession::VisibleChildren(HWND Window) {
  std::vector<HWND> found;
  EnumChildWindows(Window, CollectChild, reinterpret_cast<LPARAM>(&found));
  // A child of a hidden parent is hidden too, though its own style says visible.
  std::vector<HWND> shown;
  for (HWND w : found)
    if (IsWindowVisible(w)) shown.push_back(w);
  return shown;
}

HWND TSession::ResolveWindow(const std::string& Name) const { return Nth(TopWindows(), Name); }

HWND TSession::ResolveChild(HWND Window, const std::string& Name) const {
  if (Name == ".") return Window;
  return Nth(VisibleChildren(Window), Name);
}

std::string TSession::NameOfWindow(HWND Window) const { return NameIn(TopWindows(), Window); }

std::string TSession::NameOfChild(HWND Window, HWND Child) {
  return Child == Window ? "." : NameIn(VisibleChildren(Window), Child);
}

std::string TSession::Settle() {
  std::vector<HWND> before;
  const auto windowless = std::chrono::steady_clock::now() + std::chrono::milliseconds(FAnswerMs);
  for (int round = 0; round < 200; ++round) {
    std::this_thread::sleep_for(std::chrono::milliseconds(round < 2 ? 15 : 30));
    if (!Running()) return "ended";
    std::vector<HWND> now = TopWindows();
    if (now.empty()) {
      // On its way out, or lost: a program that runs on without a window has no user left.
      if (std::chrono::steady_clock::now() > windowless) return "the program runs on without a window";
      --round;
      continue;
    }
    for (HWND w : now) {
      if (Answers(w, FAnswerMs / 1000.0, SMTO_NORMAL)) continue;
      if (!Running()) return "ended";
      if (IsWindow(w) && GetLastError() == ERROR_TIMEOUT)
        return "no answer in " + std::to_string(FAnswerMs / 1000) + " s from " + WindowClass(w) + " \"" +
               WindowText(w) + "\"";
    }
    if (round >= 1 && now == before) return "";
    before = now;
  }
  return "";  // windows that keep coming and going, yet answer: not a hang
}

}  // namespace monkey
