// Hints: one tooltip control per form; each windowed control with a hint and an effective
// ShowHint is a tool of it, identified by its window.
#pragma once

#include <string>

#include "classlib/winapi.h"

namespace classlib::detail {

HWND CreateHintWindow(HWND Form);
// Adds, updates or (Active false) removes the tool of Control.
void SyncHintTool(HWND HintWindow, HWND Form, HWND Control, const std::string& Hint, bool Active);
// The tool's text, empty when Control is no tool.
std::string HintToolText(HWND HintWindow, HWND Form, HWND Control);

}  // namespace classlib::detail
