// Fenlo's program block: the libraries start, the three windows are made in order, the message
// loop runs, and the libraries stop after the windows are gone.
#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/msgbox.h"
#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "viewer/Unit1.h"
#include "viewer/Unit2.h"
#include "viewer/Unit3.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace classlib;
  Startup();
  int exitCode = 0;
  try {
    imagelib::InitPGraphicUnit();
    Application->Initialize();
    Application->CreateForm(fenlo::Form1);
    Application->CreateForm(fenlo::Form2);
    Application->CreateForm(fenlo::Form3);
    Application->Run();
  } catch (...) {
    ShowMessageBox(TMessageBoxKind::Exception, nullptr, ExceptionText(std::current_exception()),
                   GetApplicationTitle(), MB_OK | MB_ICONSTOP);
    exitCode = 1;
  }
  if (imagelib::PGraphicUnitStarted()) imagelib::FinalizePGraphicUnit();
  Shutdown();
  return exitCode;
}
