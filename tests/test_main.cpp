// The start of every test program: pins the environment the programs expect, starts the class
// library and the image library, and runs the tests.
#include <gtest/gtest.h>

#include <cstdio>

#include "classlib/startup.h"
#include "classlib/winapi.h"
#include "imagelib/PGInit.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace testsupport {
void InstallDefaultMessageBoxHook();
}

namespace {
class LibraryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { imagelib::InitPGraphicUnit(); }
  void TearDown() override { imagelib::FinalizePGraphicUnit(); }
};
}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // CTest reads the test list from stdout; text mode would end its lines with CR LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
  if (GetACP() != 1252) {
    std::fprintf(stderr, "FATAL: the ANSI code page is %u; the tests need 1252 (pin the locale)\n", GetACP());
    return 3;
  }
#endif
  classlib::Startup();
  testsupport::InstallDefaultMessageBoxHook();
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new LibraryEnvironment);
  return RUN_ALL_TESTS();
}
