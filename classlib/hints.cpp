#include "classlib/hints.h"

#include <vector>

namespace classlib::detail {

namespace {
TOOLINFOA ToolInfo(HWND Form, HWND Control) {
  TOOLINFOA info{};
  // The version-1 layout, which every comctl32 accepts.
  info.cbSize = TTTOOLINFOA_V1_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = Form;
  info.uId = reinterpret_cast<UINT_PTR>(Control);
  return info;
}
}  // namespace

HWND CreateHintWindow(HWND Form) {
  return CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, Form, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void SyncHintTool(HWND HintWindow, HWND Form, HWND Control, const std::string& Hint, bool Active) {
  if (!HintWindow || !Control) return;
  TOOLINFOA info = ToolInfo(Form, Control);
  bool exists = SendMessageA(HintWindow, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
  info = ToolInfo(Form, Control);
  std::string text = Hint;
  info.lpszText = text.data();
  if (!Active) {
    if (exists) SendMessageA(HintWindow, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  } else if (exists) {
    SendMessageA(HintWindow, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  } else {
    SendMessageA(HintWindow, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }
}

std::string HintToolText(HWND HintWindow, HWND Form, HWND Control) {
  if (!HintWindow) return "";
  TOOLINFOA info = ToolInfo(Form, Control);
  if (!SendMessageA(HintWindow, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info))) return "";
  std::vector<char> buffer(1024, '\0');
  info = ToolInfo(Form, Control);
  info.lpszText = buffer.data();
  SendMessageA(HintWindow, TTM_GETTEXTA, 0, reinterpret_cast<LPARAM>(&info));
  return std::string(buffer.data());
}

}  // namespace classlib::detail
