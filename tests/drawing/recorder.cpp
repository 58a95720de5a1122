// A stand-in for the outside programs: appends its command line and its current folder to the
// file named like the program with ".log" added, then ends.
#include <windows.h>

#include <cstdio>
#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char exe[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
  if (n == 0 || n >= sizeof exe) return 1;
  char folder[MAX_PATH * 4];
  if (!GetCurrentDirectoryA(sizeof folder, folder)) return 1;
  std::string log = std::string(exe) + ".log";
  // Written whole, then renamed into place, so a reader never sees half a record.
  std::string part = log + ".part";
  FILE* f = std::fopen(part.c_str(), "wb");
  if (!f) return 1;
  std::fprintf(f, "%s\n%s\n", GetCommandLineA(), folder);
  std::fclose(f);
  return MoveFileExA(part.c_str(), log.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
