// The settings files of the drawing window, as text: which lines are keys, what each key's value
// line asks for, and the painter named in the default settings. Free of windows, so that it is
// tested and fuzzed natively; the window applies what it reads (DrawWinStart.cpp).
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "classlib/stringlist.h"

namespace skadra {

using classlib::TStrings;

// The keys of a settings file, in the order each line is tested against them.
enum class TSettingKey { Skjul, Linie, Blyant, De4, Size, Hojde, Bredde, Maler, Tekster };

// What one key line asks of the window.
struct TSettingEffect {
  // The key's controls or menu command switched on or off; none: left as they are.
  std::optional<bool> Enable;
  // [SIZE]: the grid size (2, 4 or 6); [HOJDE], [BREDDE]: the picture's height or width (above 0);
  // none: left as it is.
  std::optional<int> Number;
};

// The line after Index, or an empty text past the last line.
std::string ValueLine(const TStrings& Lines, int Index);

// Calls Apply for every key line, first to last, with the line after it as its value. Every line
// is a candidate key, also one that is another key's value; an exception from Apply ends the walk.
void ForEachSetting(const TStrings& Lines, const std::function<void(TSettingKey, const std::string&)>& Apply);

// What Value asks for under Key. A number key's value that is no integer raises the class
// library's conversion error.
TSettingEffect ReadSetting(TSettingKey Key, const std::string& Value);

// The painter named in the default settings: the value of the last "[MALER]" from the third line on;
// none without one.
std::optional<std::string> PainterInDefaults(const TStrings& Lines);

}  // namespace skadra
