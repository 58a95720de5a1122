// TApplication: the program's forms in creation order, the message loop, Terminate, and the
// handler that every window procedure hands its exceptions to.
#pragma once

#include <exception>
#include <functional>
#include <string>

#include "classlib/component.h"
#include "classlib/winapi.h"

namespace classlib {

class TForm;

using TExceptionEvent = std::function<void(TObject* Sender, std::exception_ptr Error)>;

class TApplication : public TComponent {
  CL_CLASS(TApplication)
  explicit TApplication(TComponent* AOwner);
  void BeforeDestruction() override;

  // Common controls and OLE; idempotent.
  void Initialize();
  // Makes a form owned by the application; the first one becomes the main form. Ref is set
  // before the form's OnCreate runs. An exception from OnCreate is shown by HandleException and
  // the form exists all the same.
  template <class T>
  void CreateForm(T*& Ref) {
    T* form = new T(this);
    Ref = form;
    FinishCreateForm(form);
  }
  // Shows the main form unless it is visible, runs the loop until Terminate, then frees the forms
  // last to first.
  void Run();
  void Terminate();
  bool GetTerminated() const { return FTerminated; }
  // One message: waits for it, translates and dispatches it.
  void HandleMessage();
  // Every message waiting, without waiting for more.
  void ProcessMessages();

  // Never throws: OnException when set, else a message box with the error's text.
  void HandleException(TObject* Sender) noexcept;
  void HandleException(TObject* Sender, std::exception_ptr Error) noexcept;
  int MessageBox(const std::string& Text, const std::string& Caption, UINT Flags);

  TForm* GetMainForm() const { return FMainForm; }
  std::string GetExeName() const;
  std::string GetTitle() const;
  void SetTitle(const std::string& Value);
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value) { FShowHint = Value; }

  TExceptionEvent OnException;

 protected:
  // A main form freed before Run ends is forgotten.
  void Notification(TComponent* Component, TOperation Operation) override;

 private:
  void FinishCreateForm(TForm* Form);
  bool ProcessMessage(MSG& Msg);
  // Menu short-cuts, then Tab between the form's controls and Enter and Esc for its buttons,
  // unless the focused control wants the key; true when the key was used.
  bool IsKeyMessage(const MSG& Msg);
  TForm* FMainForm = nullptr;
  bool FTerminated = false;
  bool FInitialized = false;
  bool FShowHint = true;
};

// Made by classlib::Startup() on Windows, freed by classlib::Shutdown().
extern TApplication* Application;

namespace detail {
void CreateApplicationObjects();
void FreeApplicationObjects();
}  // namespace detail

}  // namespace classlib
