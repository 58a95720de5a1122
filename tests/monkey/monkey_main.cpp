// The monkey's driver:
//   monkey fenlo|skadra <count> <seed> [--out <folder>] [--answer <seconds>] [--trace on]
//   monkey replay <file> [--out <folder>] [--answer <seconds>] [--trace on]
// Runs the program in a scratch folder and sends it Count random actions (or the actions of a
// recorded file), restarting it after a command that ends it. A process that dies, ends on its
// own or does not answer fails the run: the seed and the last 50 actions go to a file in the
// out folder, in the form that "replay" takes. Exit status 0 when all went well.
#include <chrono>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "classlib/startup.h"
#include "classlib/testing.h"
#include "imagelib/PGInit.h"
#include "tests/monkey/monkey.h"

namespace monkey {
extern std::vector<std::string> gMessages;
}

namespace {

using namespace monkey;
namespace fs = std::filesystem;

constexpr size_t kKept = 50;

std::string MakeScratch(const std::string& Name) {
  fs::path base = fs::temp_directory_path() /
                  ("monkey-" + Name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount()));
  fs::remove_all(base);
  fs::create_directories(base);
  return base.string();
}

struct TRun {
  const TProgram* Program = nullptr;
  std::string Out = ".";
  DWORD AnswerMs = 20000;
  std::string Label;  // "seed N" or the replayed file
  std::deque<std::string> Last;
  int Done = 0, Starts = 0, Skipped = 0;

  bool Trace = false;

  void Remember(const std::string& Line) {
    if (Trace) std::cout << Line << std::endl;
    Last.push_back(Line);
    if (Last.size() > kKept) Last.pop_front();
  }

  int Fail(const std::string& Problem, const std::string& FileStem) {
    fs::create_directories(Out);
    const std::string file = (fs::path(Out) / (FileStem + ".txt")).string();
    std::ofstream out(file);
    out << "# program " << Program->Name << "\n";
    out << "# " << Label << ": failed after action " << Done << ": " << Problem << "\n";
    if (Last.empty() || Last.front().rfind("start", 0) != 0) out << "start . .\n";
    for (const std::string& line : Last) out << line << "\n";
    std::cout << "FAILED (" << Label << ", action " << Done << "): " << Problem << "\n"
              << "the last actions: " << file << std::endl;
    return 1;
  }

  // After an action: the program lives and answers, or it ended where it may, and then starts
  // again.
  std::string Check(TSession& S, bool MayEndHere) {
    std::string problem = S.Settle();
    if (problem != "ended") return problem;
    const DWORD code = S.ExitCode();
    if (code != 0) {
      char text[64];
      snprintf(text, sizeof(text), "the process died, exit code 0x%08lX", static_cast<unsigned long>(code));
      return text;
    }
    if (!MayEndHere) return "the program ended by itself";
    Remember("start . .");
    ++Starts;
    S.Start(problem);
    return problem;
  }
};

const TProgram* ProgramNamed(const std::string& Name) {
  if (Name == "fenlo") return &Fenlo();
  if (Name == "skadra") return &Skadra();
  return nullptr;
}

void Summary(const TRun& R, double Seconds) {
  std::cout << R.Program->Name << ": " << R.Done << " actions, " << R.Starts << " starts, " << R.Skipped
            << " skipped (window gone), " << int(Seconds) << " s\n";
  for (const std::string& m : gMessages) {
    std::string plain;
    for (char c : m) plain += (c >= 32 && c < 127) ? c : '?';
    std::cout << "  dialog seen: " << plain.substr(0, 160) << "\n";
  }
}

int Usage() {
  std::cerr << "usage: monkey fenlo|skadra <count> <seed> [--out <folder>] [--answer <seconds>] [--trace on]\n"
               "       monkey replay <file> [--out <folder>] [--answer <seconds>] [--trace on]\n";
  return 2;
}

}  // namespace

int Main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  TRun run;
  for (size_t i = 0; i + 1 < args.size();) {
    if (args[i] == "--out") {
      run.Out = args[i + 1];
    } else if (args[i] == "--trace") {
      run.Trace = args[i + 1] == "on";
    } else if (args[i] == "--answer") {
      run.AnswerMs = DWORD(std::stoi(args[i + 1]) * 1000);
    } else {
      ++i;
      continue;
    }
    args.erase(args.begin() + long(i), args.begin() + long(i) + 2);
  }
  if (args.size() < 2) return Usage();

  std::vector<TAction> script;
  int count = 0;
  unsigned seed = 0;
  std::string stem;
  if (args[0] == "replay") {
    std::ifstream in(args[1]);
    if (!in) return Usage();
    std::string line;
    while (std::getline(in, line)) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      if (line.rfind("# program ", 0) == 0) run.Program = ProgramNamed(line.substr(10));
      TAction a;
      if (Parse(line, a)) script.push_back(a);
    }
    if (!run.Program) return Usage();
    run.Label = "replay of " + fs::path(args[1]).filename().string();
    stem = "monkey-replay-" + fs::path(args[1]).stem().string();
    count = int(script.size());
  } else {
    run.Program = ProgramNamed(args[0]);
    if (!run.Program || args.size() < 3) return Usage();
    count = std::stoi(args[1]);
    seed = unsigned(std::stoul(args[2]));
    run.Label = "seed " + std::to_string(seed);
    stem = "monkey-" + run.Program->Name + "-" + std::to_string(seed);
  }

  const auto began = std::chrono::steady_clock::now();
  const std::string folder = MakeScratch(run.Program->Name);
  run.Program->Prepare(folder);
  int status = 0;
  {
    TSession session(*run.Program, folder, run.AnswerMs);
    std::mt19937 random(seed);
    bool mayEndBefore = false;
    std::string problem;
    run.Remember("start . .");
    ++run.Starts;
    if (!session.Start(problem)) status = run.Fail(problem, stem);
    for (int i = 0; status == 0 && i < count; ++i) {
      TAction action;
      if (script.empty()) {
        action = Choose(session, random);
      } else {
        action = script[size_t(i)];
        if (action.Kind == "start") {
          run.Remember("start . .");
          ++run.Starts;
          if (!session.Start(problem)) status = run.Fail(problem, stem);
          continue;
        }
        // A recorded dialog may take longer to come up than it did.
        bool waited = false;
        for (int wait = 0; wait < 100 && action.Window != "." && !session.ResolveWindow(action.Window); ++wait) {
          Sleep(50);
          waited = true;
        }
        if (waited) session.Settle();
      }
      run.Remember(Format(action));
      // The end may come while the next action is checked: the windows go before the process.
      const bool mayEnd = MayEnd(session, action) || mayEndBefore;
      mayEndBefore = MayEnd(session, action);
      if (!Execute(session, action)) {
        ++run.Skipped;
        if (run.Trace || !script.empty()) std::cout << "  skipped, its window is not there: " << Format(action) << "\n";
      }
      ++run.Done;
      problem = run.Check(session, mayEnd);
      if (!problem.empty()) status = run.Fail(problem, stem);
      if (run.Done % 100 == 0) std::cout << "  " << run.Done << " actions" << std::endl;
    }
  }
  Summary(run, std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count());
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return status;
}

int main(int argc, char** argv) {
  try {
    // The samples are written with the image library's writers.
    classlib::Startup();
    imagelib::InitPGraphicUnit();
    // The writers ask before they reduce the colours (PBM, PGM): yes.
    classlib::testing::SetMessageBoxHook([](const classlib::MessageBoxCall&) { return IDOK; });
    return Main(argc, argv);
  } catch (const std::exception& e) {
    std::cout << "monkey: " << e.what() << std::endl;
    return 2;
  }
}
