#include "drawing/Settings.h"

#include "classlib/text.h"

namespace skadra {

namespace {
struct TSettingKeyText {
  TSettingKey Key;
  const char* Text;
};
// Whole lines, compared exactly: case, blanks and all.
constexpr TSettingKeyText kKeys[] = {
    {TSettingKey::Skjul, "[SKJUL]"},   {TSettingKey::Linie, "[LINIE]"}, {TSettingKey::Blyant, "[BLYANT]"},
    {TSettingKey::De4, "[De 4]"},      {TSettingKey::Size, "[SIZE]"},   {TSettingKey::Hojde, "[HOJDE]"},
    {TSettingKey::Bredde, "[BREDDE]"}, {TSettingKey::Maler, "[MALER]"}, {TSettingKey::Tekster, "[TEKSTER]"},
};
}  // namespace

std::string ValueLine(const TStrings& Lines, int Index) {
  return Index + 1 < Lines.GetCount() ? Lines[Index + 1] : std::string();
}

void ForEachSetting(const TStrings& Lines, const std::function<void(TSettingKey, const std::string&)>& Apply) {
  for (int i = 0; i < Lines.GetCount(); ++i) {
    std::string line = Lines[i];
    for (const TSettingKeyText& key : kKeys)
      if (line == key.Text) Apply(key.Key, ValueLine(Lines, i));
  }
}

TSettingEffect ReadSetting(TSettingKey Key, const std::string& Value) {
  TSettingEffect effect;
  switch (Key) {
    case TSettingKey::Skjul:
    case TSettingKey::Linie:
    case TSettingKey::Blyant:
    case TSettingKey::De4:
      // "VIS" switches on, "GEM" off; any other value leaves the controls as they are.
      if (Value == "VIS") effect.Enable = true;
      if (Value == "GEM") effect.Enable = false;
      break;
    case TSettingKey::Size: {
      int size = classlib::StrToInt(Value);
      if (size == 2 || size == 4 || size == 6) effect.Number = size;
      break;
    }
    case TSettingKey::Hojde:
    case TSettingKey::Bredde: {
      // Too large a picture is the bitmap's to refuse ("Out of system resources").
      int length = classlib::StrToInt(Value);
      if (length > 0) effect.Number = length;
      break;
    }
    case TSettingKey::Maler:
    case TSettingKey::Tekster:
      effect.Enable = Value != "NEJ";
      break;
  }
  return effect;
}

std::optional<std::string> PainterInDefaults(const TStrings& Lines) {
  std::optional<std::string> painter;
  for (int i = 2; i < Lines.GetCount(); ++i)
    if (Lines[i] == "[MALER]") painter = ValueLine(Lines, i);
  return painter;
}

}  // namespace skadra
