// The program block of a program on the image library: the class library and the image library
// start, CreateForms makes the windows in their order, the message loop runs, and the libraries
// stop after the windows are gone. An error before the loop is shown in a message box.
#pragma once

#include <functional>

namespace imagelib {

// Returns the program's exit code.
int RunPGraphicProgram(const std::function<void()>& CreateForms);

}  // namespace imagelib
