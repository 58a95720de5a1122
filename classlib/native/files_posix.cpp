// POSIX versions of the file routines for the native build.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/text.h"

namespace classlib {

bool FileExists(const std::string& FileName) {
  struct stat st;
  return stat(FileName.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const std::string& Name) {
  struct stat st;
  return stat(Name.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool DeleteFile(const std::string& FileName) { return unlink(FileName.c_str()) == 0; }

bool CreateDir(const std::string& Name) { return mkdir(Name.c_str(), 0777) == 0; }

void MkDir(const std::string& Name) {
  if (mkdir(Name.c_str(), 0777) != 0) throw EInOutError(Format("I/O error %d", errno), errno);
}

void ChDir(const std::string& Name) {
  if (chdir(Name.c_str()) != 0) throw EInOutError(Format("I/O error %d", errno), errno);
}

bool SetCurrentDir(const std::string& Name) { return chdir(Name.c_str()) == 0; }

std::string GetCurrentDir() {
  std::vector<char> buffer(PATH_MAX);
  return getcwd(buffer.data(), buffer.size()) ? std::string(buffer.data()) : std::string();
}

std::string GetExeName() {
  std::vector<char> buffer(PATH_MAX);
  ssize_t n = readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  return n > 0 ? std::string(buffer.data(), size_t(n)) : std::string();
}

int ParamCount() { return 0; }
std::string ParamStr(int Index) { return Index == 0 ? GetExeName() : std::string(); }

}  // namespace classlib
