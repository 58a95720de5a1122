// String routines over CP1252 byte strings. Positions are 1-based where the programs count from 1.
#pragma once

#include <cstdint>
#include <string>

namespace classlib {

std::string IntToStr(int64_t Value);
// 15 significant digits, no trailing zeros, the user's decimal separator; exponents as "1.5E-7".
std::string FloatToStr(long double Value);
std::string IntToHex(uint64_t Value, int Digits);
// printf-style formatting (%d %u %x %s %% and the rest of the C library's set).
std::string Format(const char* Fmt, ...) __attribute__((format(printf, 1, 2)));

// Optional leading blanks and sign, decimal or $hex, nothing after, within int32; otherwise
// EConvertError "'<text>' is not a valid integer value".
int StrToInt(const std::string& S);
int StrToIntDef(const std::string& S, int Default);

// 1-based position of Sub in S, 0 when absent.
int Pos(const std::string& Sub, const std::string& S);
// Count characters from 1-based Index, clamped to the string.
std::string Copy(const std::string& S, int Index, int Count);
void Delete(std::string& S, int Index, int Count);
void Insert(const std::string& Sub, std::string& S, int Index);
std::string Trim(const std::string& S);
std::string TrimLeft(const std::string& S);
std::string TrimRight(const std::string& S);

// ASCII only.
std::string LowerCase(const std::string& S);
std::string UpperCase(const std::string& S);
// Code-page aware (CP1252 letters too).
std::string AnsiLowerCase(const std::string& S);
std::string AnsiUpperCase(const std::string& S);
int AnsiCompareText(const std::string& S1, const std::string& S2);
int CompareText(const std::string& S1, const std::string& S2);  // ASCII, case ignored

// File-name parts. The extension keeps its dot (".jpg"); "name." gives ".".
std::string ExtractFileExt(const std::string& FileName);
std::string ExtractFileName(const std::string& FileName);
std::string ExtractFilePath(const std::string& FileName);  // with the trailing separator
std::string ExtractFileDir(const std::string& FileName);   // without it
std::string ChangeFileExt(const std::string& FileName, const std::string& Extension);
std::string IncludeTrailingPathDelimiter(const std::string& Path);

}  // namespace classlib
