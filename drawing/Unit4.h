// The hide-tools dialog: switches the long line, the pen and the four figure tools off and on.
#pragma once

#include "classlib/buttons.h"
#include "classlib/forms.h"
#include "classlib/panels.h"

namespace skadra {

class TForm4 : public classlib::TForm {
  CL_CLASS(TForm4)
  explicit TForm4(classlib::TComponent* AOwner);

  classlib::TCheckBox* CheckBox1;
  classlib::TCheckBox* CheckBox2;
  classlib::TCheckBox* CheckBox3;
  classlib::TBevel* Bevel1;
  // Pictures only: the long line, the pen, and inside the frame the four tools of CheckBox3.
  classlib::TSpeedButton* SpeedButton1;
  classlib::TSpeedButton* SpeedButton2;
  classlib::TSpeedButton* SpeedButton3;
  classlib::TSpeedButton* SpeedButton4;
  classlib::TSpeedButton* SpeedButton5;
  classlib::TSpeedButton* SpeedButton6;
  classlib::TButton* Button1;

  // Applies the three check boxes to the drawing window's buttons, then closes.
  void Button1Click(classlib::TObject* Sender);
};

extern TForm4* Form4;

}  // namespace skadra
