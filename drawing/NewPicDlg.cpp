#include "drawing/NewPicDlg.h"

#include "classlib/msgbox.h"

namespace skadra {

using namespace classlib;

TNewPictureForm* NewPictureForm = nullptr;

namespace {
template <class T>
T* Place(TForm* Form, const char* Name, int Left, int Top, int Width, int Height) {
  T* control = New<T>(Form);
  control->SetName(Name);
  control->SetBounds(Left, Top, Width, Height);
  control->SetParent(Form);
  return control;
}
}  // namespace

TNewPictureForm::TNewPictureForm(TComponent* AOwner) : TForm(AOwner) {
  SetName("NewPictureForm");
  SetCaption("Størrelse.....");
  SetBorderStyle(bsDialog);
  SetPosition(poScreenCenter);
  SetClientWidth(172);
  SetClientHeight(327);

  Bevel1 = Place<TBevel>(this, "Bevel1", 8, 8, 156, 272);
  Bevel1->SetShape(bsFrame);
  Label1 = Place<TLabel>(this, "Label1", 20, 18, 60, 13);
  Label1->SetCaption("Bredde");
  WidthEdit = Place<TEdit>(this, "WidthEdit", 20, 34, 121, 21);
  WidthEdit->SetTabStop(true);
  Label2 = Place<TLabel>(this, "Label2", 20, 62, 60, 13);
  Label2->SetCaption("Højde");
  HeightEdit = Place<TEdit>(this, "HeightEdit", 20, 78, 121, 21);
  HeightEdit->SetTabStop(true);
  Label3 = Place<TLabel>(this, "Label3", 20, 112, 100, 13);
  Label3->SetCaption("Netstørrelse :");
  RadioButton1 = Place<TRadioButton>(this, "RadioButton1", 20, 132, 121, 17);
  RadioButton1->SetCaption("Størrelse 2");
  RadioButton4 = Place<TRadioButton>(this, "RadioButton4", 20, 160, 121, 17);
  RadioButton4->SetCaption("Størrelse 3");
  RadioButton2 = Place<TRadioButton>(this, "RadioButton2", 20, 188, 121, 17);
  RadioButton2->SetCaption("Størrelse 4");
  RadioButton5 = Place<TRadioButton>(this, "RadioButton5", 20, 216, 121, 17);
  RadioButton5->SetCaption("Størrelse 5");
  RadioButton3 = Place<TRadioButton>(this, "RadioButton3", 20, 244, 121, 17);
  RadioButton3->SetCaption("Størrelse 6");
  RadioButton1->SetChecked(true);

  OKBtn = Place<TButton>(this, "OKBtn", 8, 292, 75, 25);
  OKBtn->SetCaption("OK");
  OKBtn->SetDefault(true);
  OKBtn->SetModalResult(mrOk);
  CancelBtn = Place<TButton>(this, "CancelBtn", 89, 292, 75, 25);
  CancelBtn->SetCaption("Cancel");
  CancelBtn->SetCancel(true);
  CancelBtn->SetModalResult(mrCancel);
}

}  // namespace skadra
