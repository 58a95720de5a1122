#include "classlib/application.h"

#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/forms.h"
#include "classlib/msgbox.h"
#include "classlib/numerics.h"
#include "classlib/screen.h"

namespace classlib {

TApplication* Application = nullptr;

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
  if (TForm::DialogKey(Msg)) return true;
  TranslateMessage(&Msg);
  DispatchMessageA(&Msg);
  return true;
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
