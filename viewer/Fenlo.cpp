// Fenlo's program block: the main window, the about box and the warning, in that order.
#include "classlib/application.h"
#include "imagelib/PGProgram.h"
#include "viewer/Unit1.h"
#include "viewer/Unit2.h"
#include "viewer/Unit3.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return imagelib::RunPGraphicProgram([] {
    classlib::Application->CreateForm(fenlo::Form1);
    classlib::Application->CreateForm(fenlo::Form2);
    classlib::Application->CreateForm(fenlo::Form3);
  });
}
