#include "classlib/screen.h"

#include <algorithm>

#include "classlib/graphics.h"
#include "classlib/winapi.h"

namespace classlib {

TScreen* Screen = nullptr;

int TScreen::GetWidth() const { return GetSystemMetrics(SM_CXSCREEN); }
int TScreen::GetHeight() const { return GetSystemMetrics(SM_CYSCREEN); }
int TScreen::GetPixelsPerInch() const { return ScreenPixelsPerInch(); }

void TScreen::InsertForm(TForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TForm* Form) {
  FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end());
  if (FActiveForm == Form) FActiveForm = nullptr;
}

}  // namespace classlib
