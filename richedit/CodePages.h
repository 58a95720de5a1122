// Locales, their ANSI code pages and font character sets, and ANSI <-> UTF-16 conversion by a
// given code page. Every conversion between the rich edit control's ANSI callers and its UTF-16
// window goes through these, with the code page of the control's language.
#pragma once

#include <string>

#include "classlib/winapi.h"

namespace richedit {

using WideString = std::wstring;  // UTF-16 code units

// The default ANSI code page of a locale; the system's (GetACP) when the locale has none.
UINT CodePageOfLocale(LCID Locale);
// The font character set of the locale's code page; DEFAULT_CHARSET when the system knows none.
BYTE CharsetOfLocale(LCID Locale);
// Both convert up to the first zero. Empty for empty text and for a code page the system cannot
// convert with; bytes that are not valid in the code page become the system's replacement character.
WideString AnsiToWideByCodePage(const std::string& S, UINT CodePage);
// Characters the code page lacks become the system's default character ('?').
std::string WideToAnsiByCodePage(const WideString& W, UINT CodePage);

}  // namespace richedit
