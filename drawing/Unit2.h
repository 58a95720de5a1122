// The help window: "Help.rtf" from the program's folder, read-only, in the rich edit component.
#pragma once

#include "classlib/forms.h"
#include "classlib/menus.h"
#include "richedit/RichEditEx.h"

namespace skadra {

class TForm2 : public classlib::TForm {
  CL_CLASS(TForm2)
  explicit TForm2(classlib::TComponent* AOwner);

  richedit::TRichEditEx* RichEditEx1;
  classlib::TMainMenu* MainMenu1;
  classlib::TMenuItem* Filer1;
  classlib::TMenuItem* Print1;
  classlib::TMenuItem* Luk1;

  // Loads the help text (an error is reported and the window is made all the same).
  void FormCreate(classlib::TObject* Sender);
  void Luk1Click(classlib::TObject* Sender);
};

extern TForm2* Form2;

}  // namespace skadra
