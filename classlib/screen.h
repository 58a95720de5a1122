// TScreen: the screen's size and resolution, the program's forms and the active one.
#pragma once

#include <vector>

#include "classlib/component.h"

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

  // Kept up to date by the forms themselves.
  void InsertForm(TForm* Form);
  void RemoveForm(TForm* Form);
  void SetActiveForm(TForm* Form) { FActiveForm = Form; }

 private:
  std::vector<TForm*> FForms;
  TForm* FActiveForm = nullptr;
};

// Made by classlib::Startup() on Windows, freed by classlib::Shutdown().
extern TScreen* Screen;

}  // namespace classlib
