// The program under the monkey: started as a process of its own, its windows found and named,
// and its answers awaited after each action.
#include <chrono>
#include <sstream>
#include <thread>

#include "tests/monkey/monkey.h"

namespace monkey {

std::string ClassOf(HWND Window) {
  char name[256] = {};
  GetClassNameA(Window, name, sizeof(name));
  return name;
}

std::string TextOf(HWND Window) {
  // Asked of the window: for another program's window GetWindowText answers only the text the
  // window was made with.
  char text[512] = {};
  DWORD_PTR result = 0;
  SendMessageTimeoutA(Window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                      &result);
  return text;
}

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

TSession::~TSession() { Stop(); }

bool TSession::Running() const {
  return FInfo.hProcess && WaitForSingleObject(FInfo.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD TSession::ExitCode() const {
  DWORD code = 0;
  GetExitCodeProcess(FInfo.hProcess, &code);
  return code;
}

void TSession::Stop() {
  if (!FInfo.hProcess) return;
  if (Running()) {
    TerminateProcess(FInfo.hProcess, 1);
    WaitForSingleObject(FInfo.hProcess, 10000);
  }
  CloseHandle(FInfo.hThread);
  CloseHandle(FInfo.hProcess);
  FInfo = {};
}

bool TSession::Start(std::string& Problem) {
  Stop();
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  std::string command = "\"" + Folder + "\\" + Program.ExeName + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder.c_str(), &startup,
                      &FInfo)) {
    Problem = "the program did not start";
    return false;
  }
  // Its first window: the main one, or a dialog that its start-up shows.
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(FAnswerMs * 3);
  while (TopWindows().empty()) {
    if (!Running()) {
      Problem = "ended while starting, exit code " + std::to_string(ExitCode());
      return false;
    }
    if (std::chrono::steady_clock::now() > end) {
      Problem = "no window appeared";
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Problem = Settle();
  return Problem.empty();
}

DWORD TSession::Thread() const { return FInfo.dwThreadId; }

namespace {
struct TTopSearch {
  DWORD Process;
  std::vector<HWND> Found;
};
BOOL CALLBACK CollectTop(HWND Window, LPARAM Param) {
  auto* s = reinterpret_cast<TTopSearch*>(Param);
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  if (process == s->Process && IsWindowVisible(Window)) s->Found.push_back(Window);
  return TRUE;
}
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
    if (ClassOf(w) == cls && k-- == 0) return w;
  return nullptr;
}
std::string NameIn(const std::vector<HWND>& Windows, HWND Window) {
  const std::string cls = ClassOf(Window);
  int k = 0;
  for (HWND w : Windows) {
    if (w == Window) break;
    if (ClassOf(w) == cls) ++k;
  }
  return cls + ":" + std::to_string(k);
}
}  // namespace

std::vector<HWND> TSession::TopWindows() const {
  TTopSearch search{FInfo.dwProcessId, {}};
  if (FInfo.hProcess) EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&search));
  return search.Found;
}

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
      DWORD_PTR result = 0;
      if (SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, FAnswerMs, &result)) continue;
      if (!Running()) return "ended";
      if (IsWindow(w) && GetLastError() == ERROR_TIMEOUT)
        return "no answer in " + std::to_string(FAnswerMs / 1000) + " s from " + ClassOf(w) + " \"" + TextOf(w) +
               "\"";
    }
    if (round >= 1 && now == before) return "";
    before = now;
  }
  return "";  // windows that keep coming and going, yet answer: not a hang
}

}  // namespace monkey
