#include "richedit/CodePages.h"

#include <cstdint>

namespace richedit {

UINT CodePageOfLocale(LCID Locale) {
  // Zeroed: a failed call leaves the buffer as it was, and that must not read as a number.
  char buffer[6] = {};
  if (GetLocaleInfoA(Locale, LOCALE_IDEFAULTANSICODEPAGE, buffer, sizeof buffer) <= 0) return GetACP();
  buffer[sizeof buffer - 1] = '\0';
  if (buffer[0] == '\0') return GetACP();
  UINT codePage = 0;
  for (const char* p = buffer; *p; ++p) {
    if (*p < '0' || *p > '9') return GetACP();
    codePage = codePage * 10 + UINT(*p - '0');
  }
  return codePage;
}

BYTE CharsetOfLocale(LCID Locale) {
  CHARSETINFO info{};
  UINT codePage = CodePageOfLocale(Locale);
  if (!TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<uintptr_t>(codePage)), &info, TCI_SRCCODEPAGE))
    return DEFAULT_CHARSET;
  return BYTE(info.ciCharset & 0xFF);
}

// Both conversions count with the terminator first and then convert into that many units less
// one. A failed count (a code page the system cannot convert with) gives an empty result instead
// of a length of -1.
WideString AnsiToWideByCodePage(const std::string& S, UINT CodePage) {
  if (S.empty()) return WideString();
  int n = MultiByteToWideChar(CodePage, 0, S.c_str(), -1, nullptr, 0);
  if (n <= 1) return WideString();
  WideString result(size_t(n), L'\0');
  n = MultiByteToWideChar(CodePage, 0, S.c_str(), -1, result.data(), n);
  result.resize(size_t(n > 1 ? n - 1 : 0));
  return result;
}

std::string WideToAnsiByCodePage(const WideString& W, UINT CodePage) {
  if (W.empty()) return std::string();
  int n = WideCharToMultiByte(CodePage, 0, W.c_str(), -1, nullptr, 0, nullptr, nullptr);
  if (n <= 1) return std::string();
  std::string result(size_t(n), '\0');
  n = WideCharToMultiByte(CodePage, 0, W.c_str(), -1, result.data(), n, nullptr, nullptr);
  result.resize(size_t(n > 1 ? n - 1 : 0));
  return result;
}

}  // namespace richedit
