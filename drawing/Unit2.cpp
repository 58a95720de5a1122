#include "drawing/Unit2.h"

#include "drawing/DrawWin.h"

namespace skadra {

using namespace classlib;
using namespace richedit;

TForm2* Form2 = nullptr;

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form2");
  SetCaption("  Trivane v. 1.1 12/ Oktober 02");
  SetBounds(0, 0, 508, 522);

  MainMenu1 = New<TMainMenu>(this);
  Filer1 = New<TMenuItem>(this);
  Filer1->SetCaption("Filer");
  Print1 = New<TMenuItem>(this);
  Print1->SetCaption("Print");
  Luk1 = New<TMenuItem>(this);
  Luk1->SetCaption("Luk");
  Luk1->OnClick = [this](TObject* s) { Luk1Click(s); };
  Filer1->Add(Print1);
  Filer1->Add(Luk1);
  MainMenu1->GetItems()->Add(Filer1);
  SetMenu(MainMenu1);

  RichEditEx1 = New<TRichEditEx>(this);
  RichEditEx1->SetName("RichEditEx1");
  RichEditEx1->SetBounds(0, 0, 497, 441);
  RichEditEx1->SetReadOnly(true);
  RichEditEx1->SetScrollBars(ssBoth);
  RichEditEx1->GetFont()->SetName("MS Sans Serif");
  RichEditEx1->GetFont()->SetHeight(-16);
  RichEditEx1->SetLanguage(1033);
  RichEditEx1->SetLangOptions(LangOption(loAutoFont));
  RichEditEx1->SetAutoURLDetect(adNone);
  RichEditEx1->SetURLColor(clBlue);
  RichEditEx1->SetURLCursor(crHandPoint);
  RichEditEx1->SetIncludeOLE(true);
  RichEditEx1->SetAllowInPlace(false);
  RichEditEx1->SetInputFormat(ifRTF);
  RichEditEx1->SetOutputFormat(ofRTF);
  RichEditEx1->SetPlainRTF(false);
  RichEditEx1->SetSelectedInOut(false);
  RichEditEx1->SetUndoLimit(0);
  RichEditEx1->SetShowSelectionBar(false);
  for (const char* scheme : {"e-mail", "http", "file", "mailto", "ftp", "https", "gopher", "nntp", "prospero", "telnet",
                             "news", "wais"})
    RichEditEx1->GetCustomURLs()->AddURL(scheme, clWindowText, true, crDefault);
  RichEditEx1->SetParent(this);

  OnCreate = [this](TObject* s) { FormCreate(s); };
}

void TForm2::FormCreate(TObject*) { RichEditEx1->GetLines()->LoadFromFile(ExeDir() + "\\Help.rtf"); }

void TForm2::Luk1Click(TObject*) { Hide(); }

}  // namespace skadra
