#include <gtest/gtest.h>

#include "classlib/exceptions.h"
#include "classlib/text.h"

using namespace classlib;

TEST(StrToInt, AcceptsTheIntegerGrammar) {
  struct Case {
    const char* Text;
    int Value;
  } cases[] = {{"4", 4}, {" 4", 4}, {"+4", 4}, {"-17", -17}, {"$1F", 31}, {"0x10", 16},
               {"2147483647", 2147483647}, {"-2147483648", INT32_MIN}, {"$FFFFFFFF", -1}};
  for (const Case& c : cases) EXPECT_EQ(StrToInt(c.Text), c.Value) << c.Text;
}

TEST(StrToInt, RejectsEverythingElseNamingTheText) {
  const char* bad[] = {"",     "4 ",  // nothing may follow the number
                       "- 4",  "2147483648", "-2147483649", "$", "12a", "abc", "$1G"};
  for (const char* text : bad) {
    try {
      StrToInt(text);
      ADD_FAILURE() << "accepted '" << text << "'";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), std::string("'") + text + "' is not a valid integer value");
    }
  }
  EXPECT_EQ(StrToIntDef("x", 7), 7);
}

TEST(Text, OneBasedRoutines) {
  EXPECT_EQ(Pos("%S1", "ab%S1c%S1"), 3);
  EXPECT_EQ(Pos("x", "abc"), 0);
  EXPECT_EQ(Pos("", "abc"), 0);
  EXPECT_EQ(Copy("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Copy("abc", 3, 10), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  std::string s = "abcdef";
  Delete(s, 2, 2);
  EXPECT_EQ(s, "adef");
  Delete(s, 10, 1);
  EXPECT_EQ(s, "adef");
  Insert("XY", s, 2);
  EXPECT_EQ(s, "aXYdef");
  Insert("!", s, 100);
  EXPECT_EQ(s, "aXYdef!");
  EXPECT_EQ(Trim("  a b \t"), "a b");
}

TEST(Text, CaseRoutines) {
  EXPECT_EQ(LowerCase("ABC Æ"), "abc Æ");  // ASCII only
  EXPECT_EQ(AnsiLowerCase("ABC ÆØÅ"), "abc æøå");
  EXPECT_EQ(AnsiUpperCase("blå"), "BLÅ");
  EXPECT_EQ(AnsiCompareText("Ærø", "æRØ"), 0);
  EXPECT_LT(CompareText("abc", "ABD"), 0);
}

TEST(Text, FileNameParts) {
  EXPECT_EQ(ExtractFileExt("C:\\pics\\photo.JPG"), ".JPG");
  EXPECT_EQ(ExtractFileExt("name."), ".");
  EXPECT_EQ(ExtractFileExt("C:\\dir.d\\noext"), "");
  EXPECT_EQ(ExtractFileExt("a.tar.gz"), ".gz");
  EXPECT_EQ(ExtractFileName("C:\\a\\b.bmp"), "b.bmp");
  EXPECT_EQ(ExtractFileName("C:b.bmp"), "b.bmp");
  EXPECT_EQ(ExtractFilePath("C:\\a\\b.bmp"), "C:\\a\\");
  EXPECT_EQ(ExtractFileDir("C:\\a\\b.bmp"), "C:\\a");
  EXPECT_EQ(ExtractFileDir("C:\\b.bmp"), "C:\\");
  EXPECT_EQ(ChangeFileExt("C:\\a\\b.bmp", ".png"), "C:\\a\\b.png");
  EXPECT_EQ(ChangeFileExt("C:\\a.d\\b", ".png"), "C:\\a.d\\b.png");
  EXPECT_EQ(IntToHex(0xBC4E, 8), "0000BC4E");
  EXPECT_EQ(Format("%d-%s-%x", -3, "x", 255), "-3-x-ff");
}

TEST(Text, FloatToStrGivesFifteenDigitsWithoutTrailingZeros) {
  const struct {
    long double Value;
    const char* Text;
  } cases[] = {{1.001L, "1.001"}, {0.751L, "0.751"}, {100.0L, "100"}, {-2.5L, "-2.5"},
               {1.0L / 3, "0.333333333333333"}, {1e-7L, "1E-7"}, {1.5e20L, "1.5E20"}, {0.0L, "0"}};
  for (const auto& c : cases) EXPECT_EQ(FloatToStr(c.Value), c.Text) << double(c.Value);
}
