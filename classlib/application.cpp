#include "classlib/application.h"

#include "classlib/buttons.h"
#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/forms.h"
#include "classlib/menus.h"
#include "classlib/msgbox.h"
#include "classlib/numerics.h"
#include "classlib/screen.h"

namespace classlib {

TApplication* Application = nullptr;

namespace {
// The control of the focused window, or of the nearest window around it that has one.
TWinControl* FocusedControl(HWND Window) {
  for (; Window; Window = ::GetParent(Window))
    if (TWinControl* control = TWinControl::FindControl(Window)) return control;
  return nullptr;
}
}  // namespace

void detail::CreateApplicationObjects() {
  if (!Application) Application = new TApplication(nullptr);
  if (!Screen) Screen = new TScreen(nullptr);
}

void detail::FreeApplicationObjects() {
  TApplication* application = Application;
  Application = nullptr;
  Free(application);
  TScreen* screen = Screen;
  Screen = nullptr;
  Free(screen);
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

void TApplication::BeforeDestruction() {
  TComponent::BeforeDestruction();
  if (FInitialized) OleUninitialize();
}

void TApplication::Notification(TComponent* Component, TOperation Operation) {
  TComponent::Notification(Component, Operation);
  if (Operation == opRemove && Component == FMainForm) FMainForm = nullptr;
}

void TApplication::Initialize() {
  if (FInitialized) return;
  FInitialized = true;
  SetX87ControlWord(X87FullPrecision);
  INITCOMMONCONTROLSEX icc{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
  OleInitialize(nullptr);
}

void TApplication::FinishCreateForm(TForm* Form) {
  try {
    Form->AfterConstruction();
  } catch (...) {
    HandleException(Form);
  }
  if (!FMainForm) FMainForm = Form;
}

void TApplication::Run() {
  if (!FMainForm) return;
  if (!FMainForm->GetVisible()) FMainForm->Show();
  while (!FTerminated) HandleMessage();
  FMainForm = nullptr;
  while (GetComponentCount() > 0) Free(GetComponent(GetComponentCount() - 1));
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::ProcessMessage(MSG& Msg) {
  if (!PeekMessageA(&Msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (Msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  if (!IsKeyMessage(Msg)) {
    TranslateMessage(&Msg);
    DispatchMessageA(&Msg);
  }
  return true;
}

bool TApplication::IsKeyMessage(const MSG& Msg) {
  if (Msg.message != WM_KEYDOWN && Msg.message != WM_SYSKEYDOWN) return false;
  HWND root = GetAncestor(Msg.hwnd, GA_ROOT);
  auto* form = dynamic_cast<TForm*>(TWinControl::FindControl(root));
  if (!form || !form->GetEnabled()) return false;
  bool handled = false;
  // Short-cuts first, so that they also work while an edit has the focus.
  try {
    TShortCut shift = TShortCut((GetKeyState(VK_CONTROL) < 0 ? scCtrl : 0) | (GetKeyState(VK_SHIFT) < 0 ? scShift : 0) |
                                (GetKeyState(VK_MENU) < 0 ? scAlt : 0));
    WORD key = WORD(Msg.wParam & 0xFF);
    if (form->GetMenu() && key != VK_CONTROL && key != VK_SHIFT && key != VK_MENU)
      handled = form->GetMenu()->IsShortCut(ShortCut(key, shift));
    // Asked without the message: given one, edit controls act as in a dialog box, where they keep
    // Enter out of the text and send dialog messages to the parent.
    if (!handled && Msg.wParam == VK_TAB && Msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) >= 0 &&
        !(SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, 0) & DLGC_WANTTAB)) {
      form->SelectNext(FocusedControl(Msg.hwnd), GetKeyState(VK_SHIFT) >= 0, true);
      handled = true;
    }
    if (!handled && (Msg.wParam == VK_RETURN || Msg.wParam == VK_ESCAPE) && Msg.message == WM_KEYDOWN) {
      LRESULT code = SendMessageA(Msg.hwnd, WM_GETDLGCODE, Msg.wParam, 0);
      if (!(code & DLGC_WANTALLKEYS)) {
        auto* focused = dynamic_cast<TButton*>(TWinControl::FindControl(Msg.hwnd));
        TWinControl* button = Msg.wParam == VK_RETURN && focused ? focused
                                                                   : form->FindDialogButton(Msg.wParam == VK_ESCAPE);
        if (auto* b = dynamic_cast<TButton*>(button)) {
          b->Click();
          handled = true;
        }
      }
    }
  } catch (...) {
    HandleException(form);
    handled = true;
  }
  return handled;
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) WaitMessage();
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::HandleException(TObject* Sender) noexcept { HandleException(Sender, std::current_exception()); }

void TApplication::HandleException(TObject* Sender, std::exception_ptr Error) noexcept {
  try {
    if (OnException) {
      OnException(Sender, Error);
      return;
    }
    ShowMessageBox(TMessageBoxKind::Exception, GetActiveWindow(), ExceptionText(Error), GetTitle(),
                   MB_OK | MB_ICONSTOP);
  } catch (...) {
    // The handler of last resort has nowhere to pass its own failure.
  }
}

int TApplication::MessageBox(const std::string& Text, const std::string& Caption, UINT Flags) {
  return ApplicationMessageBox(Text, Caption, Flags);
}

std::string TApplication::GetExeName() const { return classlib::GetExeName(); }
std::string TApplication::GetTitle() const { return GetApplicationTitle(); }
void TApplication::SetTitle(const std::string& Value) { SetApplicationTitle(Value); }

}  // namespace classlib
