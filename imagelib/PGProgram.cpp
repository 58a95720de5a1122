#include "imagelib/PGProgram.h"

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/msgbox.h"
#include "classlib/startup.h"
#include "imagelib/PGInit.h"

namespace imagelib {

int RunPGraphicProgram(const std::function<void()>& CreateForms) {
  using namespace classlib;
  Startup();
  int exitCode = 0;
  try {
    InitPGraphicUnit();
    Application->Initialize();
    CreateForms();
    Application->Run();
  } catch (...) {
    ShowMessageBox(TMessageBoxKind::Exception, nullptr, ExceptionText(std::current_exception()),
                   GetApplicationTitle(), MB_OK | MB_ICONSTOP);
    exitCode = 1;
  }
  if (PGraphicUnitStarted()) FinalizePGraphicUnit();
  Shutdown();
  return exitCode;
}

}  // namespace imagelib
