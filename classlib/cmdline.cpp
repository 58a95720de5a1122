// Splitting a command line into parameters; plain text work, so the native build has it too.
#include "classlib/files.h"

namespace classlib {

std::vector<std::string> SplitCommandLine(const std::string& CommandLine) {
  std::vector<std::string> params;
  const char* p = CommandLine.c_str();
  while (*p) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    std::string param;
    while (*p && *p != ' ' && *p != '\t') {
      if (*p == '"') {
        ++p;
        while (*p && *p != '"') param += *p++;
        if (*p) ++p;
      } else {
        param += *p++;
      }
    }
    params.push_back(param);
  }
  return params;
}

}  // namespace classlib
