// The splash window: a picture of the program on top of everything for three seconds.
#pragma once

#include "classlib/forms.h"
#include "classlib/images.h"
#include "classlib/timer.h"

namespace skadra {

class TForm3 : public classlib::TForm {
  CL_CLASS(TForm3)
  explicit TForm3(classlib::TComponent* AOwner);

  classlib::TImage* Image1;
  classlib::TTimer* Timer1;

  // Closes the splash, gives the drawing window the focus and stops.
  void Timer1Timer(classlib::TObject* Sender);
};

extern TForm3* Form3;

}  // namespace skadra
