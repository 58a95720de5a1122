#include "classlib/text.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/winapi.h"

namespace classlib {

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

namespace {
char DecimalSeparator() {
#ifdef _WIN32
  static const char separator = [] {
    char buffer[8] = {};
    return GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer) > 1 ? buffer[0] : '.';
  }();
  return separator;
#else
  return '.';
#endif
}
}  // namespace

std::string FloatToStr(long double Value) {
  char buffer[64];
  snprintf(buffer, sizeof buffer, "%.15Lg", Value);
  std::string s = buffer;
  if (size_t e = s.find('e'); e != std::string::npos) {
    std::string mantissa = s.substr(0, e);
    int exponent = std::stoi(s.substr(e + 1));
    s = mantissa + "E" + std::to_string(exponent);
  }
  if (size_t dot = s.find('.'); dot != std::string::npos) s[dot] = DecimalSeparator();
  return s;
}

std::string IntToHex(uint64_t Value, int Digits) {
  static const char hex[] = "0123456789ABCDEF";
  std::string s;
  do {
    s.insert(s.begin(), hex[Value & 15]);
    Value >>= 4;
  } while (Value);
  while (int(s.size()) < Digits) s.insert(s.begin(), '0');
  return s;
}

std::string Format(const char* Fmt, ...) {
  va_list args;
  va_start(args, Fmt);
  va_list copy;
  va_copy(copy, args);
  int n = std::vsnprintf(nullptr, 0, Fmt, copy);
  va_end(copy);
  std::string out;
  if (n > 0) {
    std::vector<char> buffer(size_t(n) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), Fmt, args);
    out.assign(buffer.data(), size_t(n));
  }
  va_end(args);
  return out;
}

namespace {

bool ParseInt(const std::string& S, int& Result) {
  size_t i = 0;
  while (i < S.size() && (S[i] == ' ' || S[i] == '\t')) ++i;
  bool negative = false;
  if (i < S.size() && (S[i] == '+' || S[i] == '-')) negative = S[i++] == '-';
  bool hex = false;
  if (i < S.size() && S[i] == '$') {
    hex = true;
    ++i;
  } else if (i + 1 < S.size() && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
    hex = true;
    i += 2;
  }
  if (i == S.size()) return false;
  int64_t value = 0;
  for (; i < S.size(); ++i) {
    int digit;
    unsigned char c = static_cast<unsigned char>(S[i]);
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (hex && std::isxdigit(c))
      digit = std::tolower(c) - 'a' + 10;
    else
      return false;
    value = value * (hex ? 16 : 10) + digit;
    if (value > (hex ? int64_t(0xFFFFFFFF) : int64_t(2147483648LL))) return false;
  }
  if (hex) {
    // Hexadecimal spells the bit pattern, so $FFFFFFFF is -1.
    int32_t bits = int32_t(uint32_t(value));
    Result = negative ? int(-int64_t(bits)) : bits;
    return true;
  }
  if (negative) value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return false;
  Result = int(value);
  return true;
}

#ifndef _WIN32
unsigned char AnsiLower(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x8A || c == 0x8C || c == 0x8E) return c + 16;
  if (c == 0x9F) return 0xFF;
  return c;
}

unsigned char AnsiUpper(unsigned char c) {
  if (c >= 'a' && c <= 'z') return c - 32;
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
  if (c == 0x9A || c == 0x9C || c == 0x9E) return c - 16;
  if (c == 0xFF) return 0x9F;
  return c;
}
#endif

bool IsPathDelimiter(char c) { return c == '\\' || c == '/' || c == ':'; }

}  // namespace

int StrToInt(const std::string& S) {
  int result;
  if (!ParseInt(S, result)) throw EConvertError("'" + S + "' is not a valid integer value");
  return result;
}

int StrToIntDef(const std::string& S, int Default) {
  int result;
  return ParseInt(S, result) ? result : Default;
}

int Pos(const std::string& Sub, const std::string& S) {
  if (Sub.empty()) return 0;
  size_t at = S.find(Sub);
  return at == std::string::npos ? 0 : int(at) + 1;
}

std::string Copy(const std::string& S, int Index, int Count) {
  if (Index < 1) Index = 1;
  if (Count <= 0 || size_t(Index) > S.size()) return std::string();
  return S.substr(size_t(Index - 1), size_t(Count));
}

void Delete(std::string& S, int Index, int Count) {
  if (Index < 1 || size_t(Index) > S.size() || Count <= 0) return;
  S.erase(size_t(Index - 1), size_t(Count));
}

void Insert(const std::string& Sub, std::string& S, int Index) {
  if (Index < 1) Index = 1;
  if (size_t(Index) > S.size() + 1) Index = int(S.size()) + 1;
  S.insert(size_t(Index - 1), Sub);
}

std::string TrimLeft(const std::string& S) {
  size_t i = 0;
  while (i < S.size() && static_cast<unsigned char>(S[i]) <= ' ') ++i;
  return S.substr(i);
}

std::string TrimRight(const std::string& S) {
  size_t n = S.size();
  while (n > 0 && static_cast<unsigned char>(S[n - 1]) <= ' ') --n;
  return S.substr(0, n);
}

std::string Trim(const std::string& S) { return TrimLeft(TrimRight(S)); }

std::string LowerCase(const std::string& S) {
  std::string r = S;
  for (char& c : r)
    if (c >= 'A' && c <= 'Z') c = char(c + 32);
  return r;
}

std::string UpperCase(const std::string& S) {
  std::string r = S;
  for (char& c : r)
    if (c >= 'a' && c <= 'z') c = char(c - 32);
  return r;
}

std::string AnsiLowerCase(const std::string& S) {
  std::string r = S;
#ifdef _WIN32
  if (!r.empty()) CharLowerBuffA(r.data(), DWORD(r.size()));
#else
  for (char& c : r) c = char(AnsiLower(static_cast<unsigned char>(c)));
#endif
  return r;
}

std::string AnsiUpperCase(const std::string& S) {
  std::string r = S;
#ifdef _WIN32
  if (!r.empty()) CharUpperBuffA(r.data(), DWORD(r.size()));
#else
  for (char& c : r) c = char(AnsiUpper(static_cast<unsigned char>(c)));
#endif
  return r;
}

int AnsiCompareText(const std::string& S1, const std::string& S2) {
#ifdef _WIN32
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, S1.data(), int(S1.size()), S2.data(),
                        int(S2.size())) - CSTR_EQUAL;
#else
  std::string a = AnsiLowerCase(S1), b = AnsiLowerCase(S2);
  return a < b ? -1 : (a > b ? 1 : 0);
#endif
}

int CompareText(const std::string& S1, const std::string& S2) {
  std::string a = LowerCase(S1), b = LowerCase(S2);
  return a < b ? -1 : (a > b ? 1 : 0);
}

std::string ExtractFileExt(const std::string& FileName) {
  for (size_t i = FileName.size(); i > 0; --i) {
    char c = FileName[i - 1];
    if (c == '.') return FileName.substr(i - 1);
    if (IsPathDelimiter(c)) break;
  }
  return std::string();
}

std::string ExtractFileName(const std::string& FileName) {
  for (size_t i = FileName.size(); i > 0; --i)
    if (IsPathDelimiter(FileName[i - 1])) return FileName.substr(i);
  return FileName;
}

std::string ExtractFilePath(const std::string& FileName) {
  for (size_t i = FileName.size(); i > 0; --i)
    if (IsPathDelimiter(FileName[i - 1])) return FileName.substr(0, i);
  return std::string();
}

std::string ExtractFileDir(const std::string& FileName) {
  std::string path = ExtractFilePath(FileName);
  // Keep the delimiter of a root ("C:\", "/") so that the result still names that folder.
  if (path.size() > 1 && (path.back() == '\\' || path.back() == '/') && path[path.size() - 2] != ':')
    path.pop_back();
  return path;
}

std::string ChangeFileExt(const std::string& FileName, const std::string& Extension) {
  std::string ext = ExtractFileExt(FileName);
  return FileName.substr(0, FileName.size() - ext.size()) + Extension;
}

std::string IncludeTrailingPathDelimiter(const std::string& Path) {
  if (!Path.empty() && (Path.back() == '\\' || Path.back() == '/')) return Path;
#ifdef _WIN32
  return Path + "\\";
#else
  return Path + "/";
#endif
}

}  // namespace classlib
