// Fenlo's about box: a small tool window, always on top, with the product, its date and thanks
// to the picture library; "Luk" hides it.
#pragma once

#include "classlib/buttons.h"
#include "classlib/forms.h"
#include "classlib/labels.h"

namespace fenlo {

using namespace classlib;

class TForm2 : public TForm {
  CL_CLASS(TForm2)
  explicit TForm2(TComponent* AOwner);

  TLabel* Label1;
  TLabel* Label2;
  TLabel* Label3;
  TButton* Button1;

  void Button1Click(TObject* Sender);
};

extern TForm2* Form2;

}  // namespace fenlo
