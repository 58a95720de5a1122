#include "drawing/Launcher.h"

#include "classlib/application.h"
#include "classlib/forms.h"
#include "classlib/winapi.h"

namespace skadra {

void LaunchFile(const std::string& FileName, const std::string& Params, const std::string& DefaultDir, int ShowCmd) {
  // The texts go to the shell whole, however long the program's folder makes them.
  using namespace classlib;
  HWND owner = Application && Application->GetMainForm() && Application->GetMainForm()->HandleAllocated()
                   ? Application->GetMainForm()->GetHandle()
                   : nullptr;
  ShellExecuteA(owner, nullptr, FileName.c_str(), Params.c_str(), DefaultDir.c_str(), ShowCmd);
}

}  // namespace skadra
