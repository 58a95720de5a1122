#include "drawing/Unit3.h"

#include "drawing/DrawWin.h"
#include "drawing/Lattice.h"

namespace skadra {

using namespace classlib;

TForm3* Form3 = nullptr;

namespace {
// An isometric box on the program's own dot grid, with the product's name under it.
void PaintSplash(TCanvas* C, int Width, int Height) {
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(Rect(0, 0, Width, Height));
  C->GetPen()->SetColor(clGray);
  for (TPoint dot : GridDots(2))
    if (dot.X < Width && dot.Y < Height) C->Ellipse(dot.X - 1, dot.Y + 1, dot.X + 1, dot.Y - 1);
  // The box: 4 columns wide and deep, 6 rows high, on the lattice of grid size 2.
  const int sx = 34, sy = 20, cx = 190, top = 30;
  TPoint a{cx, top}, b{cx + 4 * sx, top + 4 * sy}, c{cx, top + 8 * sy}, d{cx - 4 * sx, top + 4 * sy};
  TPoint down{0, 6 * sy};
  auto move = [](TPoint p, TPoint by) { return TPoint{p.X + by.X, p.Y + by.Y}; };
  C->GetPen()->SetColor(clBlack);
  C->GetPen()->SetWidth(2);
  C->GetBrush()->SetColor(TColor(0x00C0E0FF));
  C->Polygon({a, b, c, d});
  C->GetBrush()->SetColor(TColor(0x0080B0E0));
  C->Polygon({d, c, move(c, down), move(d, down)});
  C->GetBrush()->SetColor(TColor(0x004080C0));
  C->Polygon({c, b, move(b, down), move(c, down)});
  C->GetBrush()->SetStyle(bsClear);
  C->GetFont()->SetName("Arial");
  C->GetFont()->SetHeight(-36);
  C->GetFont()->SetStyle(fsBold);
  C->GetFont()->SetColor(clNavy);
  TRect r = Rect(0, 318, Width, 362);
  C->DrawText("Trivane", r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
  C->GetFont()->SetHeight(-16);
  C->GetFont()->SetStyle(0);
  r = Rect(0, 362, Width, 388);
  C->DrawText("version 1.1", r, DT_CENTER | DT_SINGLELINE | DT_VCENTER);
}
}  // namespace

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form3");
  SetBorderStyle(bsNone);
  SetFormStyle(fsStayOnTop);
  SetPosition(poScreenCenter);
  SetClientWidth(380);
  SetClientHeight(400);

  Image1 = New<TImage>(this);
  Image1->SetName("Image1");
  Image1->SetAlign(alClient);
  Image1->SetParent(this);
  TBitmap* picture = Image1->GetPicture()->GetBitmap();
  picture->SetSize(380, 400);
  PaintSplash(picture->GetCanvas(), 380, 400);

  Timer1 = New<TTimer>(this);
  Timer1->SetName("Timer1");
  Timer1->SetInterval(3000);
  Timer1->OnTimer = [this](TObject* s) { Timer1Timer(s); };
  SetVisible(true);
}

void TForm3::Timer1Timer(TObject*) {
  Close();
  if (Form1 && Form1->CanFocus()) Form1->SetFocus();
  Timer1->SetEnabled(false);
}

}  // namespace skadra
