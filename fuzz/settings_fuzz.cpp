// Reads data as a settings file of the drawing program, as its start-up does: the lines, every
// key line with its value, what each value asks for, and the painter the default settings name.
// A conversion error ends the walk and is fine; anything else is a finding: a sanitizer report,
// another exception, a hang, a grid size other than 2, 4 or 6, a picture length of 0 or less, an
// effect of another kind of key, or a painter that no key line from the third line on names.
#include <cstdint>
#include <string>

#include "classlib/exceptions.h"
#include "drawing/Settings.h"
#include "fuzz/fuzz_support.h"

using namespace skadra;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  classlib::TStringList lines;
  lines.SetTextStr(std::string(reinterpret_cast<const char*>(Data), Size));
  int keys = 0;
  try {
    ForEachSetting(lines, [&](TSettingKey Key, const std::string& Value) {
      ++keys;
      TSettingEffect effect = ReadSetting(Key, Value);
      if (effect.Number) {
        int n = *effect.Number;
        if (Key == TSettingKey::Size ? n != 2 && n != 4 && n != 6 : n <= 0)
          fuzzsupport::Finding("a number out of its key's bounds");
      }
      bool number_key = Key == TSettingKey::Size || Key == TSettingKey::Hojde || Key == TSettingKey::Bredde;
      if (number_key ? bool(effect.Enable) : bool(effect.Number)) fuzzsupport::Finding("an effect of another kind of key");
    });
  } catch (const classlib::EConvertError&) {
  }
  if (keys > lines.GetCount()) fuzzsupport::Finding("more key lines than lines");
  if (std::optional<std::string> painter = PainterInDefaults(lines)) {
    bool named = false;
    for (int i = 2; i < lines.GetCount() && !named; ++i) named = lines[i] == "[MALER]" && ValueLine(lines, i) == *painter;
    if (!named) fuzzsupport::Finding("a painter that no \"[MALER]\" from the third line on names");
  }
  return 0;
}
