// Skadra's program block: the libraries start, the windows are made in order, the message loop
// runs, and the libraries stop after the windows are gone.
#include "classlib/application.h"
#include "classlib/files.h"
#include "drawing/DrawWin.h"
#include "drawing/NewPicDlg.h"
#include "drawing/Unit2.h"
#include "drawing/Unit3.h"
#include "drawing/Unit4.h"
#include "drawing/Unit5.h"
#include "imagelib/PGProgram.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  using namespace classlib;
  return imagelib::RunPGraphicProgram([] {
    // The one place that reads the command line: the window's start-up takes the parameters.
    for (int i = 1; i <= ParamCount(); ++i) skadra::StartParameters.push_back(ParamStr(i));
    // In this order: the drawing window's start-up (settings or switches) comes first, then the
    // dialogs, the help window (which reads its text), the splash on top, and the rest hidden.
    Application->CreateForm(skadra::Form1);
    Application->CreateForm(skadra::NewPictureForm);
    Application->CreateForm(skadra::Form2);
    Application->CreateForm(skadra::Form3);
    Application->CreateForm(skadra::Form4);
    Application->CreateForm(skadra::Form5);
  });
}
