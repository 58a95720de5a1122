#include "viewer/Unit3.h"

#include "classlib/application.h"

namespace fenlo {

const char* const kWarningLines[5] = {
    "",
    "   Programmet mangler en fil.",
    "   Du skal lave et lille billede på 1 pixel i 24 bit BMP-format.",
    "   Gem den under navnet   bc24.bmp   i samme folder som",
    "   programmet.",
};

TForm3* Form3 = nullptr;

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form3");
  SetCaption("   ADVARSEL");
  SetBounds(0, 0, 390, 261);
  SetPosition(poScreenCenter);

  RichEdit1 = New<TRichEdit>(this);
  RichEdit1->SetName("RichEdit1");
  RichEdit1->SetBounds(8, 8, 366, 169);
  std::string text;
  for (const char* line : kWarningLines) text += std::string(line) + "\r\n";
  RichEdit1->SetText(text);
  RichEdit1->SetParent(this);

  Button2 = New<TButton>(this);
  Button2->SetName("Button2");
  Button2->SetCaption("Print");
  Button2->SetBounds(8, 192, 75, 25);
  Button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
  Button2->SetParent(this);

  Button1 = New<TButton>(this);
  Button1->SetName("Button1");
  Button1->SetCaption("Luk");
  Button1->SetBounds(299, 192, 75, 25);
  Button1->OnClick = [this](TObject* Sender) { Button1Click(Sender); };
  Button1->SetParent(this);

  PrintDialog1 = New<TPrintDialog>(this);
  PrintDialog1->SetName("PrintDialog1");
}

void TForm3::Button1Click(TObject*) { Application->Terminate(); }

void TForm3::Button2Click(TObject*) {
  if (PrintDialog1->Execute()) RichEdit1->Print("");
}

}  // namespace fenlo
