// The settings files as text: key lines and their value lines, what each value asks for, where a
// bad number stops the walk, and the painter the default settings name.
#include <gtest/gtest.h>

#include "classlib/exceptions.h"
#include "drawing/Settings.h"

using namespace skadra;

namespace {

const char* const kNames[] = {"Skjul", "Linie", "Blyant", "De4", "Size", "Hojde", "Bredde", "Maler", "Tekster"};

// Walks Text as the window's start-up does and spells what every key line asks: the key, then
// "on"/"off" and the number it sets, if any; a conversion error ends the walk with its message.
std::string Walk(const std::string& Text) {
  classlib::TStringList lines;
  lines.SetTextStr(Text);
  std::string said;
  try {
    ForEachSetting(lines, [&](TSettingKey Key, const std::string& Value) {
      said += kNames[int(Key)];
      TSettingEffect effect = ReadSetting(Key, Value);
      if (effect.Enable) said += *effect.Enable ? " on" : " off";
      if (effect.Number) said += " " + std::to_string(*effect.Number);
      said += "; ";
    });
  } catch (const classlib::EConvertError& e) {
    said += ": " + e.Message();
  }
  return said;
}

}  // namespace

TEST(Settings, KeyLinesAskForWhatTheirValueLinesSay) {
  struct Case {
    const char* Text;
    const char* Said;
  } cases[] = {
      {"[SIZE]\r\n4\r\n[LINIE]\r\nGEM\r\n", "Size 4; Linie off; "},
      {"Mine\r\n[SKJUL]\r\nVIS\r\n[BLYANT]\r\nvis\r\n[De 4]\r\nGEM", "Skjul on; Blyant; De4 off; "},
      // Only 2, 4 and 6 are grid sizes; only lengths above 0 resize the picture.
      {"[SIZE]\r\n3\r\n[SIZE]\r\n6\r\n[SIZE]\r\n-4", "Size; Size 6; Size; "},
      {"[HOJDE]\r\n0\r\n[BREDDE]\r\n-5\r\n[HOJDE]\r\n300\r\n[BREDDE]\r\n2000000000",
       "Hojde; Bredde; Hojde 300; Bredde 2000000000; "},
      // A number that is none stops the walk where it stands.
      {"[LINIE]\r\nGEM\r\n[SIZE]\r\n4 \r\n[BLYANT]\r\nGEM", "Linie off; Size: '4 ' is not a valid integer value"},
      {"[HOJDE]\r\n99999999999", "Hojde: '99999999999' is not a valid integer value"},
      {"[SIZE]\r\n4\r\n[BREDDE]", "Size 4; Bredde: '' is not a valid integer value"},
      // Exact whole lines only; every line is a candidate, also another key's value; a key on the
      // last line gets an empty value.
      {"[skjul]\r\nGEM\r\n [SKJUL]\r\nGEM\r\n[SKJUL] \r\nGEM", ""},
      {"[LINIE]\r\n[LINIE]\r\nGEM", "Linie; Linie off; "},
      {"[MALER]\r\n[SIZE]\r\n4", "Maler on; Size 4; "},
      {"[MALER]\r\nNEJ\r\n[TEKSTER]\r\nnej\r\n[TEKSTER]", "Maler off; Tekster on; Tekster on; "},
      // LF and a lone CR break lines too.
      {"[De 4]\nVIS\r[SIZE]\n2", "De4 on; Size 2; "},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Walk(c.Text), c.Said) << c.Text;
}

TEST(Settings, TheDefaultsNameThePainterFromTheirThirdLineOn) {
  struct Case {
    const char* Text;
    std::optional<std::string> Painter;
  } cases[] = {
      {"[MALER]\r\na.exe\r\n", std::nullopt},
      {"x\r\n[MALER]\r\na.exe\r\n", std::nullopt},
      {"x\r\ny\r\n[MALER]\r\na.exe\r\n[MALER]\r\nb.exe", "b.exe"},
      {"x\r\ny\r\n[MALER]", ""},
      {"x\r\ny\r\nMALER\r\na.exe", std::nullopt},
  };
  for (const Case& c : cases) {
    classlib::TStringList lines;
    lines.SetTextStr(c.Text);
    EXPECT_EQ(PainterInDefaults(lines), c.Painter) << c.Text;
  }
}
