// TWinControl: window creation and its class registry, the one window procedure of the class
// library, reflection of child notifications, painting, mouse routing and alignment.
#include <algorithm>
#include <map>

#include "classlib/application.h"
#include "classlib/controls.h"
#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/forms.h"
#include "classlib/graphics.h"
#include "classlib/hints.h"
#include "classlib/menus.h"
#include "classlib/screen.h"
#include "classlib/text.h"

namespace classlib {

namespace {
const char kObjectProp[] = "classlib.obj";
// The control whose window is being created; bound to the window at its first message.
thread_local TWinControl* gCreating = nullptr;
thread_local int gWndProcDepth = 0;

std::map<std::string, WNDPROC>& DefaultProcs() {
  static auto* procs = new std::map<std::string, WNDPROC>;
  return *procs;
}

// Registers Params.WinClassName once and gives the procedure its messages fall back to.
WNDPROC RegisterWindowClass(const TCreateParams& Params) {
  auto& procs = DefaultProcs();
  auto found = procs.find(Params.WinClassName);
  if (found != procs.end()) return found->second;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  WNDPROC defProc = DefWindowProcA;
  if (!Params.SuperClassOf.empty()) {
    if (!GetClassInfoA(nullptr, Params.SuperClassOf.c_str(), &wc))
      throw EOutOfResources(Format("Window class %s is not available", Params.SuperClassOf.c_str()));
    defProc = wc.lpfnWndProc;
    wc.style &= ~UINT(CS_GLOBALCLASS);
  } else {
    wc.style = Params.ClassStyle;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  }
  wc.lpfnWndProc = StdWndProc;
  wc.hInstance = instance;
  wc.lpszClassName = Params.WinClassName.c_str();
  if (!RegisterClassA(&wc)) throw EOutOfResources("Out of system resources");
  procs[Params.WinClassName] = defProc;
  return defProc;
}

bool IsMouseMessage(UINT Msg) {
  return Msg == WM_MOUSEMOVE || (Msg >= WM_LBUTTONDOWN && Msg <= WM_MBUTTONDBLCLK);
}
}  // namespace

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam) {
  auto* control = static_cast<TWinControl*>(GetPropA(Window, kObjectProp));
  if (!control && gCreating) {
    control = gCreating;
    gCreating = nullptr;
    control->FHandle = Window;
    SetPropA(Window, kObjectProp, control);
  }
  if (!control) {
    char name[256] = {};
    GetClassNameA(Window, name, sizeof name);
    auto found = DefaultProcs().find(name);
    WNDPROC proc = found != DefaultProcs().end() ? found->second : DefWindowProcA;
    return CallWindowProcA(proc, Window, Msg, WParam, LParam);
  }
  TMessage message{Msg, WParam, LParam, 0};
  ++gWndProcDepth;
  try {
    control->WndProc(message);
  } catch (...) {
    if (Application) Application->HandleException(control);
  }
  if (Msg == WM_NCDESTROY) {
    RemovePropA(Window, kObjectProp);
    control->FHandle = nullptr;
  }
  if (--gWndProcDepth == 0) TControlCanvas::ReleaseHeldDCs();
  return message.Result;
}

void DispatchCallback(TObject* Sender, const std::function<void()>& Body) {
  ++gWndProcDepth;
  try {
    Body();
  } catch (...) {
    if (Application) Application->HandleException(Sender);
  }
  if (--gWndProcDepth == 0) TControlCanvas::ReleaseHeldDCs();
}

// ---- TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  if (FWindowFont) DeleteObject(FWindowFont);
  if (FColorBrush) DeleteObject(FColorBrush);
}

void TWinControl::BeforeDestruction() {
  DestroyHandle();
  for (TControl* c : FControls) c->FParent = nullptr;
  FControls.clear();
  FTabList.clear();
  FCaptureControl = nullptr;
  TControl::BeforeDestruction();
}

TWinControl* TWinControl::FindControl(HWND Window) {
  if (!Window) return nullptr;
  DWORD process = 0;
  GetWindowThreadProcessId(Window, &process);
  if (process != GetCurrentProcessId()) return nullptr;
  return static_cast<TWinControl*>(GetPropA(Window, kObjectProp));
}

HWND TWinControl::GetHandle() {
  if (!FHandle) CreateWnd();
  return FHandle;
}

void TWinControl::DestroyHandle() {
  if (FHandle) DestroyWnd();
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  DestroyHandle();
  HandleNeeded();
}

void TWinControl::DestroyWnd() {
  HWND window = FHandle;
  DestroyWindow(window);
  FHandle = nullptr;  // WM_NCDESTROY has cleared it already; a foreign failure must not leave it
  if (FWindowFont) {
    DeleteObject(FWindowFont);
    FWindowFont = nullptr;
  }
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle & csAcceptsControls) Params.Style |= WS_CLIPCHILDREN;
  if (FVisible) Params.Style |= WS_VISIBLE;
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  if (FParent) Params.WndParent = FParent->GetHandle();
  Params.WinClassName = ClassName();
}

void TWinControl::CreateWnd() {
  // Making the parent's window makes this one too.
  if (FParent) FParent->HandleNeeded();
  if (FHandle) return;
  TCreateParams params;
  CreateParams(params);
  if ((params.Style & WS_CHILD) && !params.WndParent)
    throw EInvalidOperation(Format("Control '%s' has no parent window", GetName().c_str()));
  FDefWndProc = RegisterWindowClass(params);
  FCreatingWnd = true;
  ScopeExit done([this] { FCreatingWnd = false; });
  CreateWindowHandle(params);
  if (!FHandle) throw EOutOfResources("Error creating window");
  if (!OwnWindowClass()) ApplyFont();
  CreateWndDone();
  if (!FHint.empty()) HintChanged();
  for (TControl* c : std::vector<TControl*>(FControls))
    if (c->IsWindowed()) static_cast<TWinControl*>(c)->HandleNeeded();
  Realign();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  CreateBoundWindow([&] {
    return CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                           Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, Params.Menu,
                           GetModuleHandleA(nullptr), Params.Param);
  });
}

void TWinControl::CreateBoundWindow(const std::function<HWND()>& Create) {
  gCreating = this;
  ScopeExit reset([] { gCreating = nullptr; });
  HWND window = Create();
  if (window && !FHandle) {  // a class whose first message never reached StdWndProc
    FHandle = window;
    SetPropA(window, kObjectProp, this);
  }
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    Message.Result = 0;
    return;
  }
  Message.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : DefWindowProcA, FHandle, Message.Msg,
                                   Message.WParam, Message.LParam);
}

void TWinControl::ApplyFont() {
  if (!FHandle) return;
  const LOGFONTA record = FFont.GetLogFont();
  HFONT font = CreateFontIndirectA(&record);
  SendMessageA(FHandle, WM_SETFONT, WPARAM(font), !FCreatingWnd);
  if (FWindowFont) DeleteObject(FWindowFont);
  FWindowFont = font;
}

void TWinControl::FontChanged() {
  if (FHandle && !OwnWindowClass()) ApplyFont();
  for (TControl* c : FControls)
    if (c->FParentFont) c->TakeParentFont();
  Invalidate();
}

void TWinControl::ParentColorChanged() {
  Invalidate();
  for (TControl* c : FControls)
    if (c->FParentColor) c->ParentColorChanged();
}

void TWinControl::HintChanged() {
  if (!FHandle) return;
  TForm* form = GetParentForm(this);
  if (!form || form == this || !form->GetHintWindow()) return;
  bool active = !FHint.empty() && GetShowHint() && (!Application || Application->GetShowHint());
  detail::SyncHintTool(form->GetHintWindow(), form->GetHandle(), FHandle, FHint, active);
}

HBRUSH TWinControl::GetColorBrush() {
  TColor color = GetColor();
  if (!FColorBrush || FColorBrushColor != color) {
    if (FColorBrush) DeleteObject(FColorBrush);
    FColorBrush = CreateSolidBrush(ColorToRGB(color));
    FColorBrushColor = color;
  }
  return FColorBrush;
}

// ---- children

void TWinControl::InsertControl(TControl* Control) {
  FControls.push_back(Control);
  Control->FParent = this;
  if (Control->IsWindowed()) {
    auto* windowed = static_cast<TWinControl*>(Control);
    FTabList.push_back(windowed);
    windowed->ParentCtl3DChanged();
    if (FHandle) windowed->HandleNeeded();
  }
  if (Control->FVisible) Control->Invalidate();
  Realign();
}

void TWinControl::RemoveControl(TControl* Control) {
  if (FCaptureControl == Control) FCaptureControl = nullptr;
  Control->Invalidate();
  if (Control->IsWindowed()) static_cast<TWinControl*>(Control)->DestroyHandle();
  FControls.erase(std::remove(FControls.begin(), FControls.end(), Control), FControls.end());
  FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), Control), FTabList.end());
  Control->FParent = nullptr;
  if (!IsDestroying()) Realign();
}

TControl* TWinControl::ControlAtPos(TPoint P, bool AllowDisabled) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (c->IsWindowed() || !c->FVisible || (!c->FEnabled && !AllowDisabled)) continue;
    if (P.X >= c->FLeft && P.Y >= c->FTop && P.X < c->FLeft + c->FWidth && P.Y < c->FTop + c->FHeight) return c;
  }
  return nullptr;
}

// ---- geometry

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  FLeft = ALeft;
  FTop = ATop;
  FWidth = AWidth;
  FHeight = AHeight;
  if (FHandle)
    SetWindowPos(FHandle, nullptr, ALeft, ATop, std::max(AWidth, 0), std::max(AHeight, 0),
                 SWP_NOZORDER | SWP_NOACTIVATE);
  RequestAlign();
}

void TWinControl::UpdateBounds() {
  RECT r{};
  GetWindowRect(FHandle, &r);
  if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, ::GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
  FLeft = r.left;
  FTop = r.top;
  FWidth = r.right - r.left;
  FHeight = r.bottom - r.top;
}

TRect TWinControl::GetClientRect() {
  if (FHandle) {
    RECT r{};
    ::GetClientRect(FHandle, &r);
    return Rect(r.left, r.top, r.right, r.bottom);
  }
  return ClientRectWithoutHandle();
}

TRect TWinControl::ClientRectWithoutHandle() { return Rect(0, 0, FWidth, FHeight); }

TPoint TWinControl::GetClientOrigin() {
  if (FHandle) {
    POINT p{0, 0};
    ::ClientToScreen(FHandle, &p);
    return Point(p.x, p.y);
  }
  return TControl::GetClientOrigin();
}

void TWinControl::SetVisible(bool Value) {
  if (Value == FVisible) return;
  VisibleChanging();
  FVisible = Value;
  if (FHandle) ShowWindow(FHandle, Value ? SW_SHOWNOACTIVATE : SW_HIDE);
  RequestAlign();
}

void TWinControl::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  if (FHandle) EnableWindow(FHandle, Value);
  Invalidate();
}

std::string TWinControl::GetText() {
  if (!FHandle) return FText;
  int n = GetWindowTextLengthA(FHandle);
  std::string s(size_t(n) + 1, '\0');
  n = GetWindowTextA(FHandle, s.data(), n + 1);
  s.resize(size_t(std::max(n, 0)));
  return s;
}

void TWinControl::SetText(const std::string& Value) {
  if (FHandle) {
    if (GetText() == Value) return;
    FText = Value;
    SetWindowTextA(FHandle, Value.c_str());
  } else {
    if (Value == FText) return;
    FText = Value;
  }
  TextChanged();
  if (OwnWindowClass()) Invalidate();
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !(FControlStyle & csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

bool TWinControl::Focused() { return FHandle && GetFocus() == FHandle; }

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->GetParent())
    if (!c->GetVisible() || !c->GetEnabled()) return false;
  return true;
}

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  ::SetFocus(GetHandle());
}

void TWinControl::SetTabStop(bool Value) {
  FTabStop = Value;
  SetWindowStyleBit(WS_TABSTOP, Value);
}

void TWinControl::SetWindowStyleBits(LONG Mask, LONG Bits, int Index) {
  if (!FHandle) return;
  const LONG style = GetWindowLongA(FHandle, Index);
  SetWindowLongA(FHandle, Index, (style & ~Mask) | (Bits & Mask));
}

void TWinControl::SetCtl3D(bool Value) {
  if (Value == FCtl3D) return;
  FCtl3D = Value;
  if (!FUpdatingCtl3D) FParentCtl3D = false;
  Invalidate();
  for (TWinControl* c : FTabList) c->ParentCtl3DChanged();
}

void TWinControl::BorderParams(TCreateParams& Params, bool Bordered) const {
  if (!Bordered) return;
  if (FCtl3D)
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  else
    Params.Style |= WS_BORDER;
}

void TWinControl::UpdateBorderStyle(bool Bordered) {
  if (!FHandle) return;
  TCreateParams params;
  BorderParams(params, Bordered);
  SetWindowStyleBits(WS_EX_CLIENTEDGE, LONG(params.ExStyle), GWL_EXSTYLE);
  SetWindowStyleBits(WS_BORDER, LONG(params.Style));
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TWinControl::SetParentCtl3D(bool Value) {
  if (Value == FParentCtl3D) return;
  FParentCtl3D = Value;
  ParentCtl3DChanged();
}

void TWinControl::ParentCtl3DChanged() {
  if (!FParentCtl3D || !FParent) return;
  FUpdatingCtl3D = true;
  ScopeExit done([this] { FUpdatingCtl3D = false; });
  SetCtl3D(FParent->GetCtl3D());
}

// ---- alignment

void TWinControl::Realign() {
  if (FAligning || IsDestroying()) return;
  TRect r = GetClientRect();
  AdjustClientRect(r);
  FAligning = true;
  ScopeExit done([this] { FAligning = false; });
  AlignControls(r);
}

void TWinControl::AlignControls(TRect& R) {
  // Siblings of the same alignment keep their insertion order, whatever their positions.
  auto each = [&](TAlign align, auto place) {
    for (TControl* c : std::vector<TControl*>(FControls))
      if (c->FAlign == align && c->FVisible) place(c);
  };
  each(alTop, [&](TControl* c) {
    c->SetBounds(R.Left, R.Top, std::max(R.Width(), 0), c->FHeight);
    R.Top += c->FHeight;
  });
  each(alBottom, [&](TControl* c) {
    c->SetBounds(R.Left, R.Bottom - c->FHeight, std::max(R.Width(), 0), c->FHeight);
    R.Bottom -= c->FHeight;
  });
  each(alLeft, [&](TControl* c) {
    c->SetBounds(R.Left, R.Top, c->FWidth, std::max(R.Height(), 0));
    R.Left += c->FWidth;
  });
  each(alRight, [&](TControl* c) {
    c->SetBounds(R.Right - c->FWidth, R.Top, c->FWidth, std::max(R.Height(), 0));
    R.Right -= c->FWidth;
  });
  each(alClient, [&](TControl* c) {
    c->SetBounds(R.Left, R.Top, std::max(R.Width(), 0), std::max(R.Height(), 0));
  });
}

// ---- painting

void TWinControl::PaintHandler(HDC GivenDC) {
  PAINTSTRUCT ps{};
  HDC dc = GivenDC ? GivenDC : BeginPaint(FHandle, &ps);
  ScopeExit end([&] {
    if (!GivenDC) EndPaint(FHandle, &ps);
  });
  bool graphicChildren = std::any_of(FControls.begin(), FControls.end(),
                                     [](TControl* c) { return !c->IsWindowed() && c->FVisible; });
  if (!graphicChildren) {
    PaintWindow(dc);
    return;
  }
  int saved = SaveDC(dc);
  int clip = SIMPLEREGION;
  for (TControl* c : FControls)
    if (!c->IsWindowed() && c->FVisible && (c->FControlStyle & csOpaque))
      clip = ExcludeClipRect(dc, c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight);
  if (clip != NULLREGION) PaintWindow(dc);
  RestoreDC(dc, saved);
  PaintControls(dc);
}

void TWinControl::PaintWindow(HDC) {}

void TWinControl::PaintControls(HDC DC) {
  for (TControl* c : std::vector<TControl*>(FControls)) {
    if (c->IsWindowed() || !c->FVisible) continue;
    RECT r{c->FLeft, c->FTop, c->FLeft + c->FWidth, c->FTop + c->FHeight};
    if (!RectVisible(DC, &r)) continue;
    auto* g = static_cast<TGraphicControl*>(c);
    int saved = SaveDC(DC);
    ScopeExit restore([&] { RestoreDC(DC, saved); });
    POINT org{};
    GetWindowOrgEx(DC, &org);
    SetWindowOrgEx(DC, org.x - c->FLeft, org.y - c->FTop, nullptr);
    IntersectClipRect(DC, 0, 0, c->FWidth, c->FHeight);
    auto* canvas = static_cast<TControlCanvas*>(g->GetCanvas());
    canvas->FreeHandle();
    canvas->SetHandle(DC);
    ScopeExit unset([&] { canvas->SetHandle(nullptr); });
    g->Paint();
  }
}

bool TWinControl::EraseBackground(HDC DC) {
  RECT r{};
  ::GetClientRect(FHandle, &r);
  FillRect(DC, &r, GetColorBrush());
  return true;
}

// ---- messages

void TWinControl::ReflectTo(HWND Child, UINT Msg, TMessage& Message) {
  TWinControl* control = FindControl(Child);
  if (control && control != this)
    Message.Result = control->Perform(CN_BASE + Msg, Message.WParam, Message.LParam);
  else
    DefaultHandler(Message);
}

void TWinControl::RouteMouse(TMessage& Message) {
  int x = GET_X_LPARAM(Message.LParam), y = GET_Y_LPARAM(Message.LParam);
  TControl* target = nullptr;
  // While this window holds the capture the messages belong to the capturing child, or to the
  // window itself.
  if (GetCapture() == FHandle)
    target = FCaptureControl;
  else
    target = ControlAtPos(Point(x, y));
  if (target) {
    Message.Result = 0;
    target->MouseInput(Message.Msg, Message.WParam, x - target->FLeft, y - target->FTop);
    return;
  }
  DefaultHandler(Message);
  MouseInput(Message.Msg, Message.WParam, x, y);
}

bool TWinControl::SetCursorFor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) != FHandle || LOWORD(Message.LParam) != HTCLIENT) return false;
  TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
  if (cursor == crDefault) {
    POINT p{};
    GetCursorPos(&p);
    TControl* child = ControlAtPos(ScreenToClient(Point(p.x, p.y)));
    cursor = child && child->FCursor != crDefault ? child->FCursor : FCursor;
  }
  if (cursor == crDefault || !Screen) return false;
  ::SetCursor(Screen->GetCursors(cursor));
  Message.Result = 1;
  return true;
}

bool TWinControl::PopupFor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) != FHandle) return false;
  TPoint p = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
  if (p.X == -1 && p.Y == -1)  // from the keyboard: at the middle of the control
    p = ClientToScreen(Point(FWidth / 2, FHeight / 2));
  TControl* child = ControlAtPos(ScreenToClient(p));
  TPopupMenu* menu = child ? child->GetPopupMenu() : nullptr;
  if (!menu) menu = GetPopupMenu();
  if (!menu) return false;
  menu->Popup(p.X, p.Y);
  Message.Result = 0;
  return true;
}

// The notifications a child sends its parent go back to the child, reflected (CN_ numbers).
bool TWinControl::ReflectNotification(TMessage& Message) {
  UINT msg = Message.Msg;
  switch (msg) {
    case WM_COMMAND:
      if (Message.LParam)
        ReflectTo(reinterpret_cast<HWND>(Message.LParam), msg, Message);
      else if (!CommandFromMenu(Message.WParam))
        DefaultHandler(Message);
      return true;
    case WM_NOTIFY:
      ReflectTo(reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom, msg, Message);
      return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (Message.LParam)
        ReflectTo(reinterpret_cast<HWND>(Message.LParam), msg, Message);
      else
        DefaultHandler(Message);
      return true;
    case WM_DRAWITEM:
      ReflectTo(reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam)->hwndItem, msg, Message);
      return true;
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      ReflectTo(reinterpret_cast<HWND>(Message.LParam), msg, Message);
      return true;
    default:
      return false;
  }
}

void TWinControl::WndProc(TMessage& Message) {
  UINT msg = Message.Msg;
  if (IsMouseMessage(msg)) {
    RouteMouse(Message);
    return;
  }
  if (ReflectNotification(Message)) return;
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (KeyEvent(Message))
        DefaultHandler(Message);
      else
        Message.Result = 0;
      return;
    case WM_SETFOCUS:
      DefaultHandler(Message);
      ApplyIme();
      DoEnter();
      return;
    case WM_KILLFOCUS:
      DefaultHandler(Message);
      ResetIme();
      DoExit();
      return;
    case WM_PAINT:
      if (OwnWindowClass())
        PaintHandler(reinterpret_cast<HDC>(Message.WParam));
      else
        DefaultHandler(Message);
      return;
    case WM_ERASEBKGND:
      if (OwnWindowClass())
        Message.Result = EraseBackground(reinterpret_cast<HDC>(Message.WParam)) ? 1 : 0;
      else
        DefaultHandler(Message);
      return;
    case WM_WINDOWPOSCHANGED:
      UpdateBounds();
      DefaultHandler(Message);
      return;
    case WM_SIZE:
      DefaultHandler(Message);
      Realign();
      return;
    case WM_CAPTURECHANGED:
      FCaptureControl = nullptr;
      DefaultHandler(Message);
      return;
    case WM_SETCURSOR:
      if (!SetCursorFor(Message)) DefaultHandler(Message);
      return;
    case WM_CONTEXTMENU:
      if (!PopupFor(Message)) DefaultHandler(Message);
      return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORBTN:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      SetTextColor(dc, ColorToRGB(FFont.GetColor()));
      SetBkColor(dc, ColorToRGB(GetColor()));
      Message.Result = reinterpret_cast<LRESULT>(GetColorBrush());
      return;
    }
    default:
      // Reflected notifications nobody handled are not real messages for the window.
      if (msg >= CN_BASE && msg < CN_BASE + 0x400) {
        Message.Result = 0;
        return;
      }
      DefaultHandler(Message);
  }
}

}  // namespace classlib
