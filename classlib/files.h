// File and folder routines and the program's own name and parameters.
#pragma once

#include <string>

namespace classlib {

bool FileExists(const std::string& FileName);
bool DirectoryExists(const std::string& Name);
bool DeleteFile(const std::string& FileName);
bool CreateDir(const std::string& Name);
void MkDir(const std::string& Name);  // EInOutError on failure
void ChDir(const std::string& Name);  // EInOutError on failure
bool SetCurrentDir(const std::string& Name);
std::string GetCurrentDir();
std::string GetExeName();  // the full path of the running program

// The command line split at blanks; double quotes group and are removed; "" counts.
int ParamCount();
std::string ParamStr(int Index);

}  // namespace classlib
