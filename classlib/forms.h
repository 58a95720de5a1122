// TForm: a top-level window holding controls, with its caption, border style, position, menu,
// hints and the creation, close and destruction events.
#pragma once

#include <functional>

#include "classlib/controls.h"
#include "classlib/msgbox.h"  // the modal results

namespace classlib {

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
using TBorderStyle = TFormBorderStyle;  // bsNone or bsSingle for controls
enum TPosition { poDesigned, poScreenCenter };
enum TCloseAction { caNone, caHide, caMinimize };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;

class TForm : public TWinControl {
  CL_CLASS(TForm)
  // Descendants build their controls in their constructor; OnCreate fires after it.
  explicit TForm(TComponent* AOwner);
  ~TForm() override;
  // OnCreate; an exception from it goes to the application's handler.
  void AfterConstruction() override;
  // OnDestroy while the window and the controls still exist.
  void BeforeDestruction() override;

  void SetVisible(bool Value) override;
  // Close box and Close: OnClose (which may answer caNone or caMinimize); then the main form
  // ends the program, another form hides.
  void Close();

  // Disables the program's other windows, shows the form and runs messages until ModalResult is
  // set (a button's, Close's mrCancel); enables the others again before the form hides.
  // "Cannot make a visible window modal" for a visible form.
  int ShowModal();
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Positions, sizes and fonts of the form and every control on it by M / D; neighbours stay
  // adjacent (each edge is scaled, not each size).
  void ScaleBy(int M, int D);
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  // Tab, Enter and Esc for the controls of the form that holds the message's window; true when
  // the key was taken.
  static bool DialogKey(const MSG& Message);

  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TPosition GetPosition() const { return FPosition; }
  void SetPosition(TPosition Value) { FPosition = Value; }
  TMainMenu* GetMenu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  HWND GetHintWindow() const { return FHintWindow; }

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TCloseEvent OnClose;

 protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWndDone() override;
  void DestroyWnd() override;
  TRect ClientRectWithoutHandle() override;
  void WndProc(TMessage& Message) override;
  bool CommandFromMenu(WPARAM WParam) override;
  void Notification(TComponent* Component, TOperation Operation) override;

 private:
  void WindowStyles(DWORD& Style, DWORD& ExStyle) const;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TPosition FPosition = poDesigned;
  TMainMenu* FMenu = nullptr;
  HWND FHintWindow = nullptr;
  int FModalResult = 0;
  bool FInModal = false;
  bool FConstructed = false;
  bool FShownOnce = false;
};

}  // namespace classlib
