#include "drawing/Unit5.h"

namespace skadra {

using namespace classlib;

TForm5* Form5 = nullptr;

namespace {
TLabel* Text(TForm* Form, const char* Name, int Top, int Height, const char* Caption) {
  TLabel* label = New<TLabel>(Form);
  label->SetName(Name);
  label->SetAutoSize(false);
  label->SetAlignment(taCenter);
  label->SetBounds(0, Top, 461, Height);
  label->GetFont()->SetColor(clWhite);
  label->SetCaption(Caption);
  label->SetParent(Form);
  return label;
}
}  // namespace

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form5");
  SetBorderStyle(bsNone);
  SetPosition(poScreenCenter);
  SetColor(clBtnShadow);
  SetClientWidth(461);
  SetClientHeight(289);

  Label1 = Text(this, "Label1", 40, 48, "Trivane");
  Label1->GetFont()->SetName("Arial");
  Label1->GetFont()->SetHeight(-40);
  Label1->GetFont()->SetStyle(fsBold);
  Label2 = Text(this, "Label2", 100, 24, "version 1.1  -  12. oktober 2002");
  Label2->GetFont()->SetHeight(-16);
  Label3 = Text(this, "Label3", 150, 20, "www.trivane.example");
  Label4 = Text(this, "Label4", 175, 20, "post@trivane.example");

  Button1 = New<TButton>(this);
  Button1->SetName("Button1");
  Button1->SetBounds(193, 236, 75, 25);
  Button1->SetCaption("Luk");
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button1->SetParent(this);
}

void TForm5::Button1Click(TObject*) { Close(); }

}  // namespace skadra
