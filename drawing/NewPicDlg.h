// The new-picture dialog: the picture's width and height and the grid size, asked for modally.
#pragma once

#include "classlib/buttons.h"
#include "classlib/edits.h"
#include "classlib/forms.h"
#include "classlib/labels.h"
#include "classlib/panels.h"

namespace skadra {

class TNewPictureForm : public classlib::TForm {
  CL_CLASS(TNewPictureForm)
  explicit TNewPictureForm(classlib::TComponent* AOwner);

  classlib::TBevel* Bevel1;
  classlib::TLabel* Label1;
  classlib::TEdit* WidthEdit;
  classlib::TLabel* Label2;
  classlib::TEdit* HeightEdit;
  classlib::TLabel* Label3;
  // From top to bottom the grid sizes 2, 3, 4, 5 and 6.
  classlib::TRadioButton* RadioButton1;
  classlib::TRadioButton* RadioButton4;
  classlib::TRadioButton* RadioButton2;
  classlib::TRadioButton* RadioButton5;
  classlib::TRadioButton* RadioButton3;
  classlib::TButton* OKBtn;
  classlib::TButton* CancelBtn;
};

extern TNewPictureForm* NewPictureForm;

}  // namespace skadra
