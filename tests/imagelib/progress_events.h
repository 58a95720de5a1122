// The picture's three progress events and OnChange as a log, for the tests of long operations.
#pragma once

#include <string>
#include <vector>

#include "imagelib/PGraphic.h"

namespace testsupport {

// "start", "Step/Max", "end" and "changed" in the order they come; a handler aborts at step AbortAt.
struct Events {
  explicit Events(imagelib::TPixelGraphic* P) {
    P->OnProgressStart = [this](classlib::TObject*) { Log.push_back("start"); };
    P->OnProgress = [this](classlib::TObject*, int Step, int Max, bool& Abort) {
      Log.push_back(std::to_string(Step) + "/" + std::to_string(Max));
      Abort = AbortAt == Step;
    };
    P->OnProgressEnd = [this](classlib::TObject*) { Log.push_back("end"); };
    P->OnChange = [this](classlib::TObject*) { Log.push_back("changed"); };
  }
  std::vector<std::string> Log;
  int AbortAt = -1;
};

}  // namespace testsupport
