// Fenlo's warning that the seed picture of Paste is missing: what to make, which can be printed;
// "Luk" ends the program.
#pragma once

#include <string>

#include "classlib/buttons.h"
#include "classlib/forms.h"
#include "classlib/dialogs.h"
#include "classlib/richedit.h"

namespace fenlo {

using namespace classlib;

// The warning's text, a line at a time (the first is empty).
extern const char* const kWarningLines[5];

class TForm3 : public TForm {
  CL_CLASS(TForm3)
  explicit TForm3(TComponent* AOwner);

  TRichEdit* RichEdit1;
  TButton* Button1;
  TButton* Button2;
  TPrintDialog* PrintDialog1;

  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
};

extern TForm3* Form3;

}  // namespace fenlo
