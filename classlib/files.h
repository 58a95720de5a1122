// File and folder routines and the program's own name and parameters.
#pragma once

#include <string>
#include <vector>

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
// The folder of the program file, without a trailing separator.
std::string ExeDir();

// The program's parameters: its command line split as SplitCommandLine does; ParamStr(0) is the
// program file.
int ParamCount();
std::string ParamStr(int Index);
// Splits at blanks and tabs; double quotes group and are removed, with no escapes; an empty ""
// counts as a part. The first part is the program as the command line names it.
std::vector<std::string> SplitCommandLine(const std::string& CommandLine);

namespace testing {
// Makes ExeDir() answer Folder; an empty text gives the program's own folder back.
void SetExeDir(const std::string& Folder);
}  // namespace testing

}  // namespace classlib
