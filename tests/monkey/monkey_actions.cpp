// The monkey's actions: chosen at random among what a user could do with the windows on the
// screen, and carried out with the messages that the user's mouse and keys would send.
#include <algorithm>
#include <chrono>
#include <thread>

#include "tests/monkey/monkey.h"

namespace monkey {

std::vector<std::string> gMessages;

namespace {

constexpr int kFileNameEdit = 0x480, kFileNameCombo = 0x47C, kPrinterCombo = 0x473;

template <class T>
const T& Pick(const std::vector<T>& Items, std::mt19937& Random) {
  return Items[std::uniform_int_distribution<size_t>(0, Items.size() - 1)(Random)];
}
int Between(int Low, int High, std::mt19937& Random) { return std::uniform_int_distribution<int>(Low, High)(Random); }
bool Chance(double P, std::mt19937& Random) { return std::uniform_real_distribution<double>(0, 1)(Random) < P; }

bool IsButton(const std::string& Class) {
  return Class == "Button" || Class == "TButton" || Class == "TCheckBox" || Class == "TRadioButton";
}
bool IsEdit(const std::string& Class) {
  return Class == "Edit" || Class == "TEdit" || Class.find("RichEdit") != std::string::npos;
}

// The keys a user presses in the program's own windows, and the few that are safe in a file
// dialog's list (others there delete or rename files).
const std::vector<int> kFormKeys = {VK_LEFT,  VK_RIGHT, VK_UP,     VK_DOWN, VK_PRIOR, VK_NEXT, VK_HOME, VK_END,
                                    VK_RETURN, VK_ESCAPE, VK_TAB,  VK_SPACE, VK_DELETE, VK_BACK, VK_F1,
                                    'A',      'G',      'S',       'X',     '0',      '5',     '9',     VK_ADD,
                                    VK_SUBTRACT};
const std::vector<int> kListKeys = {VK_UP, VK_DOWN, VK_HOME, VK_END};
const std::vector<std::string> kTexts = {"0",    "1",    "-1",          "7",           "42",  "255",
                                         "780",  "1200", "5000",        "99999",       "3,5", "0.5",
                                         "abc",  "1e9",  "2147483647",  "-2147483648", ""};

HWND FileNameEdit(HWND Dialog) {
  HWND edit = GetDlgItem(Dialog, kFileNameEdit);
  if (!edit) edit = FindWindowExA(GetDlgItem(Dialog, kFileNameCombo), nullptr, "Edit", nullptr);
  return edit;
}

std::vector<HWND> Enabled(const std::vector<HWND>& Windows) {
  std::vector<HWND> out;
  for (HWND w : Windows)
    if (IsWindowEnabled(w)) out.push_back(w);
  return out;
}

TAction Make(const char* Kind, const TSession& S, HWND Window, HWND Child = nullptr) {
  TAction a;
  a.Kind = Kind;
  a.Window = S.NameOfWindow(Window);
  a.Child = Child ? TSession::NameOfChild(Window, Child) : ".";
  return a;
}

TAction KeyAction(const TSession& S, HWND Window, HWND Child, int Key) {
  TAction a = Make("key", S, Window, Child);
  a.Numbers = {Key};
  return a;
}

// A mouse action somewhere in Child's client area.
TAction MouseAction(const TSession& S, HWND Window, HWND Child, std::mt19937& Random) {
  const std::string cls = WindowClass(Child);
  if (IsButton(cls)) return Make("button", S, Window, Child);
  RECT r{};
  GetClientRect(Child, &r);
  const int w = std::max<int>(1, r.right), h = std::max<int>(1, r.bottom);
  auto x = [&] { return Between(0, w - 1, Random); };
  auto y = [&] { return Between(0, h - 1, Random); };
  const int kind = Between(0, 99, Random);
  TAction a = Make(kind < 35 ? "click" : kind < 75 ? "drag" : kind < 88 ? "dclick" : "rclick", S, Window, Child);
  a.Numbers = {x(), y()};
  if (a.Kind == "drag") a.Numbers.insert(a.Numbers.end(), {x(), y()});
  return a;
}

TAction ClipAction(std::mt19937& Random) {
  TAction a;
  a.Kind = "clip";
  // What another program leaves: nothing, text, a picture of 24, 8 or 1 bits, or a damaged one.
  a.Numbers = {Between(0, 5, Random), Between(1, 400, Random), Between(1, 300, Random)};
  a.Note = "another program's clipboard";
  return a;
}

TAction DialogAction(TSession& S, HWND Dialog, std::mt19937& Random) {
  const std::string caption = WindowText(Dialog);
  HWND cancel = GetDlgItem(Dialog, IDCANCEL), ok = GetDlgItem(Dialog, IDOK);
  const bool print = GetDlgItem(Dialog, kPrinterCombo) || caption.find("rint") != std::string::npos ||
                     caption.find("Udskriv") != std::string::npos;
  if (print) {
    // Never a real print: a long job on a printer that may not be there.
    TAction a = cancel ? Make("button", S, Dialog, cancel) : KeyAction(S, Dialog, Dialog, VK_ESCAPE);
    a.Note = "print dialog: " + caption;
    return a;
  }
  if (HWND edit = FileNameEdit(Dialog)) {
    (void)edit;
    const int r = Between(0, 99, Random);
    if (r < 45) {
      TAction a = Make("file", S, Dialog);
      a.HasText = true;
      std::vector<std::string> offer = S.Program.Offer(S.Folder, caption, Random);
      a.Text = offer.empty() ? "" : Pick(offer, Random);
      a.Note = caption;
      return a;
    }
    if (r < 70) {
      // Through the list, which shows each file picked in the preview.
      HWND list = nullptr;
      for (HWND c : TSession::VisibleChildren(Dialog))
        if (WindowClass(c) == "SysListView32") list = c;
      if (list) {
        if (Chance(0.5, Random)) return KeyAction(S, Dialog, list, Pick(kListKeys, Random));
        TAction a = Make(Chance(0.8, Random) ? "click" : "dclick", S, Dialog, list);
        RECT rc{};
        GetClientRect(list, &rc);
        a.Numbers = {Between(0, std::max<int>(0, rc.right - 1), Random), Between(0, std::max<int>(0, rc.bottom - 1), Random)};
        return a;
      }
    }
    if (r < 88 && cancel) return Make("button", S, Dialog, cancel);
    if (r < 94) return KeyAction(S, Dialog, Dialog, VK_ESCAPE);
    if (ok) return Make("button", S, Dialog, ok);
    return KeyAction(S, Dialog, Dialog, VK_RETURN);
  }
  // A message box, the colour dialog, or another of the system's dialogs.
  std::vector<HWND> children = Enabled(TSession::VisibleChildren(Dialog)), buttons;
  std::string text;
  for (HWND c : children) {
    if (WindowClass(c) == "Button" && (GetWindowLongA(c, GWL_STYLE) & 0xF) <= BS_DEFPUSHBUTTON) buttons.push_back(c);
    if (WindowClass(c) == "Static") text += WindowText(c);
  }
  std::string seen = caption + ": " + text;
  if (std::find(gMessages.begin(), gMessages.end(), seen) == gMessages.end()) gMessages.push_back(seen);
  const int r = Between(0, 99, Random);
  if (r < 70 && !buttons.empty()) return Make("button", S, Dialog, Pick(buttons, Random));
  if (r < 85 || children.empty()) return KeyAction(S, Dialog, Dialog, Chance(0.5, Random) ? VK_ESCAPE : VK_RETURN);
  return MouseAction(S, Dialog, Pick(children, Random), Random);
}

TAction FormAction(TSession& S, HWND Form, std::mt19937& Random) {
  const std::string cls = WindowClass(Form);
  std::vector<TMenuCommand> menus;
  for (const TMenuCommand& m : S.Program.Menus)
    if (m.WindowClass == cls)
      for (int k = 0; k < m.Weight; ++k) menus.push_back(m);
  if (!menus.empty() && Chance(0.3, Random)) {
    const TMenuCommand& m = Pick(menus, Random);
    TAction a = Make("menu", S, Form);
    a.Numbers = {m.Top, m.Item};
    a.Note = m.Caption;
    return a;
  }
  std::vector<HWND> children = Enabled(TSession::VisibleChildren(Form));
  children.push_back(Form);
  std::vector<HWND> canvases;
  for (HWND c : children)
    if (std::find(S.Program.Canvases.begin(), S.Program.Canvases.end(), WindowClass(c)) != S.Program.Canvases.end())
      canvases.push_back(c);
  const int r = Between(0, 99, Random);
  if (r < 25 && !canvases.empty()) return MouseAction(S, Form, Pick(canvases, Random), Random);
  if (r < 55) return MouseAction(S, Form, Pick(children, Random), Random);
  if (r < 78) {
    GUITHREADINFO gui{};
    HWND target = Pick(children, Random);
    if (Chance(0.5, Random) && (gui = S.GuiState()).hwndFocus &&
        GetAncestor(gui.hwndFocus, GA_ROOT) == Form && IsWindowVisible(gui.hwndFocus))
      target = gui.hwndFocus;
    return KeyAction(S, Form, target, Pick(kFormKeys, Random));
  }
  if (r < 88) {
    std::vector<HWND> edits;
    for (HWND c : children)
      if (IsEdit(WindowClass(c))) edits.push_back(c);
    if (!edits.empty()) {
      TAction a = Make("type", S, Form, Pick(edits, Random));
      a.HasText = true;
      a.Text = Pick(kTexts, Random);
      return a;
    }
  }
  if (r < 95) {
    std::vector<HWND> scrolled;
    for (HWND c : children)
      if (GetWindowLongA(c, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) scrolled.push_back(c);
    if (!scrolled.empty()) {
      HWND c = Pick(scrolled, Random);
      TAction a = Make("scroll", S, Form, c);
      const bool vertical = (GetWindowLongA(c, GWL_STYLE) & WS_VSCROLL) != 0;
      a.Numbers = {vertical ? 1 : 0, Pick(std::vector<int>{SB_LINEUP, SB_LINEDOWN, SB_PAGEUP, SB_PAGEDOWN, SB_TOP,
                                                           SB_BOTTOM},
                                          Random)};
      return a;
    }
  }
  // Closing the main window ends the program: rarely, so that a run gets somewhere.
  if (cls != S.Program.MainClass || Chance(0.05, Random)) return Make("close", S, Form);
  return MouseAction(S, Form, Pick(children, Random), Random);
}

void PostKey(HWND Window, int Key) {
  PostMessageA(Window, WM_KEYDOWN, WPARAM(Key), 1);
  PostMessageA(Window, WM_KEYUP, WPARAM(Key), LPARAM(0xC0000001));
}

LPARAM At(int X, int Y) { return MAKELPARAM(X, Y); }

// A packed picture as another program would leave it on the clipboard.
HGLOBAL MakeDIB(int Kind, int Width, int Height) {
  const int bits = Kind == 2 ? 24 : Kind == 3 ? 8 : 1;
  const int colors = bits == 24 ? 0 : 1 << bits;
  const size_t stride = size_t((Width * bits + 31) / 32 * 4);
  size_t size = sizeof(BITMAPINFOHEADER) + size_t(colors) * 4 + stride * size_t(Height);
  if (Kind == 5) size = sizeof(BITMAPINFOHEADER) + 16;  // a header promising more than follows
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* p = static_cast<uint8_t*>(GlobalLock(memory));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(p);
  *header = {sizeof(BITMAPINFOHEADER), Width, Height, 1, WORD(Kind == 5 ? 24 : bits), BI_RGB, 0, 0, 0, 0, 0};
  if (Kind == 5) header->biHeight = Height * 1000;
  uint8_t* rest = p + sizeof(BITMAPINFOHEADER);
  for (size_t i = 0; i < size - sizeof(BITMAPINFOHEADER); ++i) rest[i] = uint8_t(i * 37 + Width * 11 + Height);
  GlobalUnlock(memory);
  return memory;
}

void PutOnClipboard(const std::vector<int>& N) {
  for (int i = 0; i < 50 && !OpenClipboard(nullptr); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EmptyClipboard();
  if (N[0] == 1) {
    const char text[] = "Lumbrix og Trivane";
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    memcpy(GlobalLock(memory), text, sizeof(text));
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
  } else if (N[0] >= 2) {
    SetClipboardData(CF_DIB, MakeDIB(N[0], N[1], N[2]));
  }
  CloseClipboard();
}

}  // namespace

TAction Choose(TSession& S, std::mt19937& Random) {
  const GUITHREADINFO gui = S.GuiState();
  std::vector<HWND> tops = Enabled(S.TopWindows());
  if ((gui.flags & GUI_INMENUMODE) && !tops.empty()) {
    // A menu left open (its item was disabled): the user presses Esc.
    HWND owner = gui.hwndMenuOwner && IsWindowVisible(gui.hwndMenuOwner) ? gui.hwndMenuOwner : tops.front();
    TAction a = KeyAction(S, GetAncestor(owner, GA_ROOT), GetAncestor(owner, GA_ROOT), VK_ESCAPE);
    a.Note = "menu still open";
    return a;
  }
  if (tops.empty()) {
    TAction wait;
    wait.Kind = "wait";
    return wait;
  }
  if (Chance(0.04, Random)) return ClipAction(Random);
  HWND target = Chance(0.75, Random) ? tops.front() : Pick(tops, Random);
  const std::string cls = WindowClass(target);
  if (cls == "#32768") return KeyAction(S, target, target, VK_ESCAPE);
  if (cls == "#32770") return DialogAction(S, target, Random);
  return FormAction(S, target, Random);
}

bool Execute(TSession& S, const TAction& A) {
  if (A.Kind == "wait" || A.Kind == "start") return true;
  if (A.Kind == "clip") {
    if (A.Numbers.size() < 3) return false;
    PutOnClipboard(A.Numbers);
    return true;
  }
  HWND window = S.ResolveWindow(A.Window);
  HWND child = window ? S.ResolveChild(window, A.Child) : nullptr;
  if (!child) return false;
  const std::vector<int>& n = A.Numbers;
  auto need = [&](size_t Count) { return n.size() >= Count; };
  if (A.Kind == "menu" && need(2)) {
    PostMessageA(window, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < n[0]; ++i) PostKey(window, VK_RIGHT);
    if (n[1] >= 0)
      for (int i = 0; i <= n[1]; ++i) PostKey(window, VK_DOWN);
    PostKey(window, VK_RETURN);
  } else if (A.Kind == "key" && need(1)) {
    PostKey(child, n[0]);
  } else if (A.Kind == "button") {
    PostMessageA(child, BM_CLICK, 0, 0);
  } else if (A.Kind == "close") {
    PostMessageA(window, WM_CLOSE, 0, 0);
  } else if (A.Kind == "type") {
    PostMessageA(child, EM_SETSEL, 0, -1);
    if (A.Text.empty()) PostMessageA(child, WM_CHAR, VK_BACK, 1);
    for (char c : A.Text) PostMessageA(child, WM_CHAR, WPARAM(BYTE(c)), 1);
  } else if (A.Kind == "scroll" && need(2)) {
    PostMessageA(child, n[0] ? WM_VSCROLL : WM_HSCROLL, WPARAM(n[1]), 0);
  } else if (A.Kind == "file") {
    HWND edit = FileNameEdit(window);
    if (!edit) return false;
    const std::string path = A.Text.empty() ? "" : S.Folder + "\\" + A.Text;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()), SMTO_NORMAL, 10000, &result);
    PostMessageA(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
  } else if ((A.Kind == "click" || A.Kind == "dclick" || A.Kind == "rclick") && need(2)) {
    const LPARAM at = At(n[0], n[1]);
    PostMessageA(child, WM_MOUSEMOVE, 0, at);
    if (A.Kind == "rclick") {
      PostMessageA(child, WM_RBUTTONDOWN, MK_RBUTTON, at);
      PostMessageA(child, WM_RBUTTONUP, 0, at);
    } else {
      PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
      PostMessageA(child, WM_LBUTTONUP, 0, at);
      if (A.Kind == "dclick") {
        PostMessageA(child, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(child, WM_LBUTTONUP, 0, at);
      }
    }
  } else if (A.Kind == "drag" && need(4)) {
    PostMessageA(child, WM_MOUSEMOVE, 0, At(n[0], n[1]));
    PostMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, At(n[0], n[1]));
    for (int step = 1; step <= 4; ++step)
      PostMessageA(child, WM_MOUSEMOVE, MK_LBUTTON,
                   At(n[0] + (n[2] - n[0]) * step / 4, n[1] + (n[3] - n[1]) * step / 4));
    PostMessageA(child, WM_LBUTTONUP, 0, At(n[2], n[3]));
  } else {
    return false;
  }
  return true;
}

bool MayEnd(const TSession& S, const TAction& A) {
  if (A.Kind == "close") return true;
  if (A.Kind == "menu") {
    HWND window = S.ResolveWindow(A.Window);
    for (const TMenuCommand& m : S.Program.Menus)
      if (m.Ends && window && m.WindowClass == WindowClass(window) && A.Numbers.size() >= 2 && m.Top == A.Numbers[0] &&
          m.Item == A.Numbers[1])
        return true;
    return false;
  }
  // A button or key in another window than the main one (a warning's "Luk" ends Fenlo).
  const bool main = A.Window.rfind(S.Program.MainClass + ":", 0) == 0;
  return !main && (A.Kind == "button" || A.Kind == "key" || A.Kind == "click");
}

}  // namespace monkey
