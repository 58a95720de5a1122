// TForm: a top-level window holding controls, with its caption, border style, position, menu,
// hints and the creation, close and destruction events.
#pragma once

#include <functional>

#include "classlib/controls.h"

namespace classlib {

class TMainMenu;

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow };
using TBorderStyle = TFormBorderStyle;  // bsNone or bsSingle for controls
enum TPosition { poDesigned, poScreenCenter };
enum TCloseAction { caNone, caHide, caMinimize };
enum TFormStyle { fsNormal, fsStayOnTop };
// The buttons of the caption bar; without biSystemMenu there are none (and no close box).
enum TBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
using TBorderIcons = unsigned;

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

  // Shows the form and runs messages until ModalResult is set (a button's, the close box's
  // mrCancel); the program's other windows are disabled meanwhile. Returns ModalResult.
  // EInvalidOperation "Cannot make a visible window modal".
  int ShowModal();
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }
  // Focused when the form is shown; on a hidden form only kept until then.
  TWinControl* GetActiveControl() const { return FActiveControl; }
  void SetActiveControl(TWinControl* Value);
  // The button that Enter or Esc clicks, or nil.
  TWinControl* FindDialogButton(bool Cancel);

  // Positions, sizes and fonts of the form and every control on it by M / D; neighbours stay
  // adjacent (each edge is scaled, not each size).
  void ScaleBy(int M, int D);

  TBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle GetFormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  // The outer size that gives this client size with the form's frame and menu.
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);

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
  TRect FrameSize() const;
  TFormBorderStyle FBorderStyle = bsSizeable;
  TFormStyle FFormStyle = fsNormal;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  int FModalResult = 0;
  bool FModal = false;
  TWinControl* FActiveControl = nullptr;
  TPosition FPosition = poDesigned;
  TMainMenu* FMenu = nullptr;
  HWND FHintWindow = nullptr;
  bool FConstructed = false;
  bool FShownOnce = false;
};

namespace testing {
// Called inside ShowModal once the form is shown; it may fill in controls and set ModalResult.
// An empty function removes the hook.
void SetModalFormHook(std::function<void(TForm& Form)> Hook);
}  // namespace testing

}  // namespace classlib
