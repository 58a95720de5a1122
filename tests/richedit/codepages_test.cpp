// Locales to code pages and character sets, and text in several code pages to UTF-16 and back.
#include <gtest/gtest.h>

#include "richedit/CodePages.h"

using namespace richedit;

TEST(CodePages, LocalesGiveTheirCodePageAndCharacterSet) {
  struct Case {
    LCID Locale;
    UINT CodePage;
    BYTE Charset;
  } cases[] = {
      {1033, 1252, ANSI_CHARSET},     {1030, 1252, ANSI_CHARSET},     {1049, 1251, RUSSIAN_CHARSET},
      {1032, 1253, GREEK_CHARSET},    {1041, 932, SHIFTJIS_CHARSET},  {1045, 1250, EASTEUROPE_CHARSET},
      {1081, 0, DEFAULT_CHARSET},  // Hindi has no ANSI code page: "0", which no character set has
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodePageOfLocale(c.Locale), c.CodePage) << c.Locale;
    EXPECT_EQ(CharsetOfLocale(c.Locale), c.Charset) << c.Locale;
  }
  EXPECT_EQ(CodePageOfLocale(0x12345), GetACP()) << "an unknown locale has the system's code page";
  EXPECT_EQ(CharsetOfLocale(0x12345), ANSI_CHARSET);
}

TEST(CodePages, TextGoesToUtf16AndBackInItsCodePage) {
  struct Case {
    UINT CodePage;
    const char* Ansi;
    const wchar_t* Wide;
  } cases[] = {
      {1252, "Bl\xE5" "b\xE6rgr\xF8" "d \x80", L"Blåbærgrød €"},
      {1251, "\xCF\xF0\xE8\xE2\xE5\xF2", L"Привет"},
      {1253, "\xC1\xE8\xDE\xED\xE1", L"Αθήνα"},
      {932, "\x93\xFA\x96\x7B abc", L"日本 abc"},
      {65001, "\xE2\x82\xAC \xF0\x9F\x98\x80", L"€ \U0001F600"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnsiToWideByCodePage(c.Ansi, c.CodePage), c.Wide) << c.CodePage;
    EXPECT_EQ(WideToAnsiByCodePage(c.Wide, c.CodePage), c.Ansi) << c.CodePage;
  }
}

TEST(CodePages, EmptyUnknownAndUnmappableTextConvertSafely) {
  EXPECT_EQ(AnsiToWideByCodePage("", 1252), L"");
  EXPECT_EQ(WideToAnsiByCodePage(L"", 1252), "");
  EXPECT_EQ(AnsiToWideByCodePage("abc", 12345), L"") << "a code page the system cannot convert with";
  EXPECT_EQ(WideToAnsiByCodePage(L"abc", 12345), "");
  EXPECT_EQ(WideToAnsiByCodePage(L"a\u0416b", 1252), "a?b") << "a character the code page lacks";
  EXPECT_EQ(WideToAnsiByCodePage(L"\u65E5\u672C", 932).size(), 4u) << "two bytes per character";
  // A lead byte with nothing after it is not valid Shift-JIS: one replacement character, not a
  // read past the text.
  WideString cut = AnsiToWideByCodePage("a\x93", 932);
  ASSERT_EQ(cut.size(), 2u);
  EXPECT_EQ(cut[0], L'a');
  EXPECT_NE(cut[1], L'\0');
  EXPECT_EQ(AnsiToWideByCodePage(std::string("ab\0cd", 5), 1252), L"ab") << "the text ends at a zero";
}
