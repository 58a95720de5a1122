// TScreen: the screen's size and resolution, the program's forms and the active one.
#pragma once

#include <vector>

#include "classlib/component.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TForm;

class TScreen : public TComponent {
  CL_CLASS(TScreen)
  explicit TScreen(TComponent* AOwner) : TComponent(AOwner) {}

  int GetWidth() const;   // SM_CXSCREEN
  int GetHeight() const;  // SM_CYSCREEN
  int GetPixelsPerInch() const;
  int GetFormCount() const { return int(FForms.size()); }
  TForm* GetForm(int Index) const { return FForms.at(size_t(Index)); }
  TForm* GetActiveForm() const { return FActiveForm; }

  // The handle of a cursor number (the system's shared cursors; unknown numbers give the arrow).
  HCURSOR GetCursors(TCursor Index) const;
  // The cursor of the whole program while it is not crDefault. Setting another value shows it at
  // once; setting crDefault lets the window under the pointer choose again.
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);

  // Kept up to date by the forms themselves.
  void InsertForm(TForm* Form);
  void RemoveForm(TForm* Form);
  void SetActiveForm(TForm* Form) { FActiveForm = Form; }

 private:
  std::vector<TForm*> FForms;
  TForm* FActiveForm = nullptr;
  TCursor FCursor = crDefault;
};

// Made by classlib::Startup() on Windows, freed by classlib::Shutdown().
extern TScreen* Screen;

}  // namespace classlib
