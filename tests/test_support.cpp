#include "tests/test_support.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

#include "classlib/testing.h"

namespace testsupport {

namespace {
std::atomic<int> gTempCounter{0};

int DefaultHook(const classlib::MessageBoxCall& Call) {
  ADD_FAILURE() << "unexpected message box: [" << Escaped(Call.Caption) << "] " << Escaped(Call.Text);
  return IDCANCEL;
}
}  // namespace

TempDir::TempDir() {
  namespace fs = std::filesystem;
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "_" + info->name() : "test";
  // The process id keeps apart the same test run at once from several checkouts on one machine.
#ifdef _WIN32
  const int process = _getpid();
#else
  const int process = int(getpid());
#endif
  fs::path base = fs::temp_directory_path() /
                  ("fenlo-skadra-tests-" + name + "-" + std::to_string(process) + "-" + std::to_string(++gTempCounter));
  fs::remove_all(base);
  fs::create_directories(base);
  FPath = base.string();
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(FPath, ec);
}

std::string TempDir::File(const std::string& Name) const { return (std::filesystem::path(FPath) / Name).string(); }

MessageBoxRecorder::MessageBoxRecorder(int Answer_) : Answer(Answer_) {
  classlib::testing::SetMessageBoxHook([this](const classlib::MessageBoxCall& Call) {
    Calls.push_back(Call);
    return Answer;
  });
}

MessageBoxRecorder::~MessageBoxRecorder() { classlib::testing::SetMessageBoxHook(DefaultHook); }

std::string Escaped(const std::string& S) {
  std::string out;
  for (unsigned char c : S) {
    if (c >= 32 && c < 127 && c != '\\') {
      out += char(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
    }
  }
  return out;
}

void InstallDefaultMessageBoxHook() { classlib::testing::SetMessageBoxHook(DefaultHook); }

}  // namespace testsupport
