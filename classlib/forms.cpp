#include "classlib/forms.h"

#include <vector>

#include "classlib/application.h"
#include "classlib/buttons.h"
#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/hints.h"
#include "classlib/menus.h"
#include "classlib/msgbox.h"
#include "classlib/screen.h"

namespace classlib {

namespace {
// Only top-level windows hear of a new display mode; the controls learn it from their form.
void ForwardToWindows(TWinControl* Parent, const TMessage& Message) {
  for (int i = 0; i < Parent->GetControlCount(); ++i) {
    auto* child = dynamic_cast<TWinControl*>(Parent->GetControl(i));
    if (!child || !child->HandleAllocated()) continue;
    SendMessageA(child->GetHandle(), Message.Msg, Message.WParam, Message.LParam);
    ForwardToWindows(child, Message);
  }
}

// Realizes the palette of Control, when it has one, in a device context of its window; true when
// it has one. Repaints the control when the system palette changed for it.
bool RealizePaletteOf(TControl* Control, bool Foreground) {
  if (!Control->GetVisible()) return false;
  HPALETTE palette = Control->GetPalette();
  if (!palette) return false;
  auto* windowed = dynamic_cast<TWinControl*>(Control);
  TWinControl* owner = windowed ? windowed : Control->GetParent();
  if (!owner || !owner->HandleAllocated()) return true;
  HWND window = owner->GetHandle();
  HDC dc = GetDC(window);
  HPALETTE old = SelectPalette(dc, palette, !Foreground);
  if (RealizePalette(dc) != 0) Control->Invalidate();
  SelectPalette(dc, old, TRUE);
  RealizePalette(dc);
  ReleaseDC(window, dc);
  return true;
}

// The controls from the topmost down, children before their parent; in the foreground only the
// first control with a palette realizes it.
bool RealizePalettes(TWinControl* Parent, bool Foreground) {
  bool any = false;
  for (int i = Parent->GetControlCount() - 1; i >= 0; --i) {
    TControl* c = Parent->GetControl(i);
    auto* windowed = dynamic_cast<TWinControl*>(c);
    bool has = windowed ? RealizePalettes(windowed, Foreground) : RealizePaletteOf(c, Foreground);
    any = any || has;
    if (Foreground && any) return true;
  }
  if (dynamic_cast<TForm*>(Parent)) return any;
  return RealizePaletteOf(Parent, Foreground) || any;
}

std::function<void(TForm&)>& ModalFormHook() {
  static auto* hook = new std::function<void(TForm&)>;
  return *hook;
}

TWinControl* FindButton(TWinControl* Parent, bool Cancel) {
  for (int i = 0; i < Parent->GetControlCount(); ++i) {
    TControl* c = Parent->GetControl(i);
    if (auto* button = dynamic_cast<TButton*>(c))
      if (button->GetVisible() && button->GetEnabled() && (Cancel ? button->GetCancel() : button->GetDefault()))
        return button;
    if (auto* windowed = dynamic_cast<TWinControl*>(c))
      if (TWinControl* found = FindButton(windowed, Cancel)) return found;
  }
  return nullptr;
}

BOOL CALLBACK DisableWindow(HWND Window, LPARAM List) {
  if (IsWindowVisible(Window) && IsWindowEnabled(Window)) {
    reinterpret_cast<std::vector<HWND>*>(List)->push_back(Window);
    EnableWindow(Window, FALSE);
  }
  return TRUE;
}

void ScaleControl(TControl* Control, int M, int D) {
  int left = MulDiv(Control->GetLeft(), M, D);
  int top = MulDiv(Control->GetTop(), M, D);
  int right = MulDiv(Control->GetLeft() + Control->GetWidth(), M, D);
  int bottom = MulDiv(Control->GetTop() + Control->GetHeight(), M, D);
  Control->SetBounds(left, top, right - left, bottom - top);
  if (!Control->GetParentFont()) Control->GetFont()->SetHeight(MulDiv(Control->GetFont()->GetHeight(), M, D));
  if (auto* windowed = dynamic_cast<TWinControl*>(Control))
    for (int i = 0; i < windowed->GetControlCount(); ++i) ScaleControl(windowed->GetControl(i), M, D);
}
}  // namespace

void testing::SetModalFormHook(std::function<void(TForm&)> Hook) { ModalFormHook() = std::move(Hook); }

TWinControl* TForm::FindDialogButton(bool Cancel) { return FindButton(this, Cancel); }

void TForm::SetActiveControl(TWinControl* Value) {
  FActiveControl = Value;
  if (Value && FHandle && IsWindowVisible(FHandle) && Value->CanFocus()) Value->SetFocus();
}

void TForm::SetFormStyle(TFormStyle Value) {
  FFormStyle = Value;
  if (FHandle)
    SetWindowPos(FHandle, Value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TRect TForm::FrameSize() const {
  DWORD style, exStyle;
  WindowStyles(style, exStyle);
  RECT frame{0, 0, 0, 0};
  AdjustWindowRectEx(&frame, style, FMenu != nullptr, exStyle);
  return Rect(frame.left, frame.top, frame.right, frame.bottom);
}

void TForm::SetClientWidth(int Value) { SetWidth(Value + FrameSize().Width()); }
void TForm::SetClientHeight(int Value) { SetHeight(Value + FrameSize().Height()); }

int TForm::ShowModal() {
  if (GetVisible() || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  std::vector<HWND> disabled;
  EnumThreadWindows(GetCurrentThreadId(), DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  FModal = true;
  FModalResult = mrNone;
  // Not a scope guard: hiding runs OnHide, which may fail.
  Finally(
      [&] {
        if (FPosition == poScreenCenter && Screen)
          SetBounds((Screen->GetWidth() - FWidth) / 2, (Screen->GetHeight() - FHeight) / 2, FWidth, FHeight);
        Show();  // focuses ActiveControl
        if (ModalFormHook()) ModalFormHook()(*this);
        while (FModalResult == mrNone) {
          if (Application->GetTerminated()) {
            PostQuitMessage(0);  // the program's own loop still has to see it
            FModalResult = mrCancel;
            break;
          }
          Application->HandleMessage();
        }
      },
      [&] {
        // Enabled again before the form hides, so that the activation goes back to the owner.
        for (HWND w : disabled)
          if (IsWindow(w)) EnableWindow(w, TRUE);
        FModal = false;
        Hide();
      });
  return FModalResult;
}

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FColor = clBtnFace;
  FParentFont = false;
  FControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csDoubleClicks | csSetCaption;
  FWidth = 320;
  FHeight = 240;
  if (Screen) Screen->InsertForm(this);
}

TForm::~TForm() {
  if (Screen) Screen->RemoveForm(this);
}

void TForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  FConstructed = true;
  try {
    if (OnCreate) OnCreate(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  if (FVisible) {
    FVisible = false;
    SetVisible(true);
  }
}

void TForm::BeforeDestruction() {
  try {
    if (OnDestroy) OnDestroy(this);
  } catch (...) {
    if (Application) Application->HandleException(this);
  }
  if (Screen) Screen->RemoveForm(this);
  TWinControl::BeforeDestruction();
}

void TForm::WindowStyles(DWORD& Style, DWORD& ExStyle) const {
  Style = WS_CLIPCHILDREN;
  ExStyle = 0;
  switch (FBorderStyle) {
    case bsNone:
      Style |= WS_POPUP;
      break;
    case bsSingle:
      Style |= WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
      break;
    case bsSizeable:
      Style |= WS_OVERLAPPEDWINDOW;
      break;
    case bsDialog:
      Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsToolWindow:
      Style |= WS_CAPTION | WS_SYSMENU;
      ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (!(FBorderIcons & biSystemMenu)) Style &= ~DWORD(WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX);
}

void TForm::SetBorderIcons(TBorderIcons Value) {
  if (Value == FBorderIcons) return;
  FBorderIcons = Value;
  if (!FHandle) return;
  DWORD style, exStyle;
  WindowStyles(style, exStyle);
  SetWindowStyleBits(~LONG(WS_VISIBLE | WS_DISABLED), LONG(style));  // shown and enabled stay as they are
  SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  WindowStyles(Params.Style, Params.ExStyle);
  if (!FEnabled) Params.Style |= WS_DISABLED;
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  Params.ClassStyle = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
  Params.WndParent = nullptr;
  if (Application && Application->GetMainForm() && Application->GetMainForm() != this)
    Params.WndParent = Application->GetMainForm()->GetHandle();
  if (FMenu) Params.Menu = FMenu->GetHandle();
}

void TForm::CreateWndDone() {
  if (FMenu) FMenu->SetWindow(FHandle);
  FHintWindow = detail::CreateHintWindow(FHandle);
}

void TForm::DestroyWnd() {
  // The menu belongs to TMainMenu, not to the window that shows it.
  if (FMenu) {
    ::SetMenu(FHandle, nullptr);
    FMenu->SetWindow(nullptr);
  }
  FHintWindow = nullptr;  // owned by the window, destroyed with it
  TWinControl::DestroyWnd();
}

TRect TForm::ClientRectWithoutHandle() {
  TRect frame = FrameSize();
  return Rect(0, 0, FWidth - frame.Width(), FHeight - frame.Height());
}

void TForm::SetVisible(bool Value) {
  if (!FConstructed) {
    FVisible = Value;
    return;
  }
  if (Value == FVisible && (!Value || (FHandle && IsWindowVisible(FHandle)))) return;
  FVisible = Value;
  if (Value) {
    HandleNeeded();
    if (!FShownOnce && FPosition == poScreenCenter && Screen)
      SetBounds((Screen->GetWidth() - FWidth) / 2, (Screen->GetHeight() - FHeight) / 2, FWidth, FHeight);
    FShownOnce = true;
    ShowWindow(FHandle, SW_SHOW);
    UpdateWindow(FHandle);
    if (FActiveControl && FActiveControl->CanFocus()) FActiveControl->SetFocus();
  } else if (FHandle) {
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TForm::Close() {
  TCloseAction action = caHide;
  if (OnClose) OnClose(this, action);
  if (action == caNone) return;
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (action == caMinimize) {
    if (FHandle) ShowWindow(FHandle, SW_MINIMIZE);
    return;
  }
  if (Application && Application->GetMainForm() == this)
    Application->Terminate();
  else
    Hide();
}

void TForm::ScaleBy(int M, int D) {
  int clientWidth = MulDiv(GetClientWidth(), M, D);
  int clientHeight = MulDiv(GetClientHeight(), M, D);
  GetFont()->SetHeight(MulDiv(GetFont()->GetHeight(), M, D));
  for (int i = 0; i < GetControlCount(); ++i) ScaleControl(GetControl(i), M, D);
  SetClientWidth(clientWidth);
  SetClientHeight(clientHeight);
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
  if (Value == FBorderStyle) return;
  FBorderStyle = Value;
  if (FHandle) {
    DWORD style, exStyle;
    WindowStyles(style, exStyle);
    SetWindowStyleBits(~LONG(WS_VISIBLE | WS_DISABLED), LONG(style));
    SetWindowLongA(FHandle, GWL_EXSTYLE, LONG(exStyle));
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
}

void TForm::SetMenu(TMainMenu* Value) {
  if (Value == FMenu) return;
  if (FMenu) {
    FMenu->RemoveFreeNotification(this);
    FMenu->SetWindow(nullptr);
  }
  FMenu = Value;
  if (FMenu) FMenu->FreeNotification(this);
  if (FHandle) {
    ::SetMenu(FHandle, FMenu ? FMenu->GetHandle() : nullptr);
    if (FMenu) FMenu->SetWindow(FHandle);
  }
}

void TForm::Notification(TComponent* Component, TOperation Operation) {
  TWinControl::Notification(Component, Operation);
  if (Operation == opRemove && Component == FActiveControl) FActiveControl = nullptr;
  if (Operation == opRemove && Component == FMenu) {
    if (FHandle) ::SetMenu(FHandle, nullptr);
    FMenu = nullptr;
  }
}

bool TForm::CommandFromMenu(WPARAM WParam) {
  if (HIWORD(WParam) > 1 || !FMenu) return false;  // 0 = menu, 1 = accelerator
  return FMenu->DispatchCommand(LOWORD(WParam));
}

void TForm::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      Close();
      Message.Result = 0;
      return;
    case WM_ACTIVATE:
      if (Screen) {
        if (LOWORD(Message.WParam) != WA_INACTIVE)
          Screen->SetActiveForm(this);
        else if (Screen->GetActiveForm() == this)
          Screen->SetActiveForm(nullptr);
      }
      break;
    case WM_INITMENUPOPUP:
      if (FMenu && !HIWORD(Message.LParam)) FMenu->DispatchPopup(reinterpret_cast<HMENU>(Message.WParam));
      break;
    case WM_DISPLAYCHANGE:
      ForwardToWindows(this, Message);
      break;
    case WM_QUERYNEWPALETTE:
      Message.Result = RealizePalettes(this, true) ? 1 : 0;
      return;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(Message.WParam) != FHandle) RealizePalettes(this, false);
      break;
    default:
      break;
  }
  TWinControl::WndProc(Message);
}

}  // namespace classlib
