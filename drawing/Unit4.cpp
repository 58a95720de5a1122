#include "drawing/Unit4.h"

#include "drawing/DrawWin.h"
#include "drawing/Glyphs.h"

namespace skadra {

using namespace classlib;

TForm4* Form4 = nullptr;

namespace {
TSpeedButton* Picture(TForm* Form, const char* Name, int Left, int Top, TGlyph Glyph) {
  TSpeedButton* button = New<TSpeedButton>(Form);
  button->SetName(Name);
  button->SetBounds(Left, Top, 25, 25);
  PaintGlyph(button->GetGlyph(), Glyph);
  button->SetParent(Form);
  return button;
}

TCheckBox* Check(TForm* Form, const char* Name, int Top, const char* Caption) {
  TCheckBox* box = New<TCheckBox>(Form);
  box->SetName(Name);
  box->SetBounds(16, Top, 140, 17);
  box->SetCaption(Caption);
  box->SetParent(Form);
  return box;
}
}  // namespace

TForm4::TForm4(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form4");
  SetCaption("  Skjul Værktøj");
  SetBounds(0, 0, 233, 421);
  SetFormStyle(fsStayOnTop);

  CheckBox1 = Check(this, "CheckBox1", 24, "Skjul Lang Linie");
  SpeedButton1 = Picture(this, "SpeedButton1", 168, 20, TGlyph::LongLine);
  CheckBox2 = Check(this, "CheckBox2", 68, "Skjul Blyanten");
  SpeedButton2 = Picture(this, "SpeedButton2", 168, 64, TGlyph::Pen);
  Bevel1 = New<TBevel>(this);
  Bevel1->SetName("Bevel1");
  Bevel1->SetBounds(8, 120, 209, 170);
  Bevel1->SetShape(bsFrame);
  Bevel1->SetParent(this);
  CheckBox3 = Check(this, "CheckBox3", 112, "Skjul disse :");
  SpeedButton3 = Picture(this, "SpeedButton3", 56, 160, TGlyph::Rectangle);
  SpeedButton4 = Picture(this, "SpeedButton4", 136, 160, TGlyph::Ellipse);
  SpeedButton5 = Picture(this, "SpeedButton5", 56, 224, TGlyph::RoundRect);
  SpeedButton6 = Picture(this, "SpeedButton6", 136, 224, TGlyph::Brush);

  Button1 = New<TButton>(this);
  Button1->SetName("Button1");
  Button1->SetBounds(75, 320, 75, 25);
  Button1->SetCaption("OK");
  Button1->OnClick = [this](TObject* s) { Button1Click(s); };
  Button1->SetParent(this);
}

void TForm4::Button1Click(TObject*) {
  if (CheckBox1->GetChecked()) {
    Form1->LineButton->SetEnabled(false);
    Form1->ToolKind = tkShortNS;
    Form1->SpeedButton1->SetDown(true);
  } else {
    Form1->LineButton->SetEnabled(true);
  }
  Form1->PenButton->SetEnabled(!CheckBox2->GetChecked());
  bool figures = !CheckBox3->GetChecked();
  Form1->RectangleButton->SetEnabled(figures);
  Form1->EllipseButton->SetEnabled(figures);
  Form1->RoundRectButton->SetEnabled(figures);
  Form1->BrushButton->SetEnabled(figures);
  Close();
}

}  // namespace skadra
