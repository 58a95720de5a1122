// The about box: the product, its version and where to find its makers.
#pragma once

#include "classlib/buttons.h"
#include "classlib/forms.h"
#include "classlib/labels.h"

namespace skadra {

class TForm5 : public classlib::TForm {
  CL_CLASS(TForm5)
  explicit TForm5(classlib::TComponent* AOwner);

  classlib::TLabel* Label1;
  classlib::TLabel* Label2;
  classlib::TLabel* Label3;
  classlib::TLabel* Label4;
  classlib::TButton* Button1;

  void Button1Click(classlib::TObject* Sender);
};

extern TForm5* Form5;

}  // namespace skadra
