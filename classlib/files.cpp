#include "classlib/files.h"

#include <vector>

#include "classlib/exceptions.h"
#include "classlib/text.h"
#include "classlib/winapi.h"

namespace classlib {

#ifdef _WIN32

bool FileExists(const std::string& FileName) {
  DWORD a = GetFileAttributesA(FileName.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& Name) {
  DWORD a = GetFileAttributesA(Name.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DeleteFile(const std::string& FileName) { return DeleteFileA(FileName.c_str()) != 0; }

bool CreateDir(const std::string& Name) { return CreateDirectoryA(Name.c_str(), nullptr) != 0; }

void MkDir(const std::string& Name) {
  if (!CreateDirectoryA(Name.c_str(), nullptr)) {
    int code = int(GetLastError());
    throw EInOutError(Format("I/O error %d", code), code);
  }
}

void ChDir(const std::string& Name) {
  if (!SetCurrentDirectoryA(Name.c_str())) {
    int code = int(GetLastError());
    throw EInOutError(Format("I/O error %d", code), code);
  }
}

bool SetCurrentDir(const std::string& Name) { return SetCurrentDirectoryA(Name.c_str()) != 0; }

std::string GetCurrentDir() {
  DWORD n = GetCurrentDirectoryA(0, nullptr);
  std::string s(n, '\0');
  n = GetCurrentDirectoryA(n, s.data());
  s.resize(n);
  return s;
}

std::string GetExeName() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, buffer.data(), DWORD(buffer.size()));
    if (n < buffer.size()) return std::string(buffer.data(), n);
    buffer.resize(buffer.size() * 2);
  }
}

namespace {
std::string& ExeDirOverride() {
  static auto* folder = new std::string;
  return *folder;
}
}  // namespace

std::string ExeDir() {
  if (!ExeDirOverride().empty()) return ExeDirOverride();
  return ExtractFileDir(GetExeName());
}

void testing::SetExeDir(const std::string& Folder) { ExeDirOverride() = Folder; }

int ParamCount() {
  size_t n = SplitCommandLine(GetCommandLineA()).size();
  return n > 0 ? int(n) - 1 : 0;
}

std::string ParamStr(int Index) {
  if (Index == 0) return GetExeName();
  std::vector<std::string> params = SplitCommandLine(GetCommandLineA());
  return Index > 0 && size_t(Index) < params.size() ? params[size_t(Index)] : std::string();
}

#endif  // _WIN32

}  // namespace classlib
