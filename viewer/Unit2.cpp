#include "viewer/Unit2.h"

namespace fenlo {

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form2");
  SetCaption(" ");
  SetBorderStyle(bsToolWindow);
  SetBorderIcons(0);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientWidth(281);
  SetClientHeight(196);

  Label1 = New<TLabel>(this);
  Label1->SetName("Label1");
  Label1->GetFont()->SetName("Comic Sans MS");
  Label1->GetFont()->SetColor(clNavy);
  Label1->GetFont()->SetHeight(-27);
  Label1->SetCaption("Lumbrix v. 2.1");
  Label1->SetLeft(56);
  Label1->SetTop(24);
  Label1->SetParent(this);

  Label2 = New<TLabel>(this);
  Label2->SetName("Label2");
  Label2->GetFont()->SetHeight(-16);
  Label2->SetCaption("Okt.2002");
  Label2->SetLeft(104);
  Label2->SetTop(72);
  Label2->SetParent(this);

  Label3 = New<TLabel>(this);
  Label3->SetName("Label3");
  Label3->SetCaption("Tak til \"RarodOrozediv\"");
  Label3->SetLeft(80);
  Label3->SetTop(112);
  Label3->SetParent(this);

  Button1 = New<TButton>(this);
  Button1->SetName("Button1");
  Button1->SetCaption("Luk");
  Button1->SetBounds(103, 152, 75, 25);
  Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
  Button1->SetParent(this);
}

void TForm2::Button1Click(TObject*) { Hide(); }

}  // namespace fenlo
