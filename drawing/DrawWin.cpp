#include "drawing/DrawWin.h"

#include <cstddef>

#include "classlib/text.h"
#include "drawing/Glyphs.h"
#include "drawing/Lattice.h"

namespace skadra {

// Declared with their start values, so that a start-up that ends early never leaves a grid size
// of 0 to divide by.
int GridSize = 2;
int SnapX = 0, SnapY = 0;

TForm1* Form1 = nullptr;

namespace {
constexpr int kBarHeight = 41;
constexpr int kButtonSize = 25;
constexpr int kButtonTop = 8;

// A style button of the pen or brush bar: the field that holds it, its name, its left edge, its
// glyph and the style it chooses. Each bar is built from its table and answers from it; the
// first button is down at start.
template <class TStyle>
struct TStyleButton {
  TSpeedButton* TForm1::*Button;
  const char* Name;
  int Left;
  TGlyph Glyph;
  TStyle Style;
};

const TStyleButton<TPenStyle> kPenStyles[] = {
    {&TForm1::SolidPen, "SolidPen", 8, TGlyph::PenSolid, psSolid},
    {&TForm1::DashPen, "DashPen", 40, TGlyph::PenDash, psDash},
    {&TForm1::DotPen, "DotPen", 72, TGlyph::PenDot, psDot},
    {&TForm1::DashDotPen, "DashDotPen", 104, TGlyph::PenDashDot, psDashDot},
    {&TForm1::DashDotDotPen, "DashDotDotPen", 136, TGlyph::PenDashDotDot, psDashDotDot},
    {&TForm1::ClearPen, "ClearPen", 168, TGlyph::PenClear, psClear},
};
constexpr int kPenStyleGroup = 4;

const TStyleButton<TBrushStyle> kBrushStyles[] = {
    {&TForm1::SolidBrush, "SolidBrush", 8, TGlyph::BrushSolid, bsSolid},
    {&TForm1::ClearBrush, "ClearBrush", 40, TGlyph::BrushClear, bsClear},
    {&TForm1::HorizontalBrush, "HorizontalBrush", 72, TGlyph::BrushHorizontal, bsHorizontal},
    {&TForm1::VerticalBrush, "VerticalBrush", 104, TGlyph::BrushVertical, bsVertical},
    {&TForm1::FDiagonalBrush, "FDiagonalBrush", 136, TGlyph::BrushFDiagonal, bsFDiagonal},
    {&TForm1::BDiagonalBrush, "BDiagonalBrush", 168, TGlyph::BrushBDiagonal, bsBDiagonal},
    {&TForm1::CrossBrush, "CrossBrush", 200, TGlyph::BrushCross, bsCross},
    {&TForm1::DiagCrossBrush, "DiagCrossBrush", 232, TGlyph::BrushDiagCross, bsDiagCross},
};
constexpr int kBrushStyleGroup = 1;  // of the brush bar: groups are counted per parent

// The row of Table whose button is Sender; nullptr for none.
template <class TStyle, size_t N>
const TStyleButton<TStyle>* RowOf(const TForm1* Form, const TStyleButton<TStyle> (&Table)[N], TObject* Sender) {
  for (const auto& row : Table)
    if (Sender == Form->*row.Button) return &row;
  return nullptr;
}
}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form1");
  SetCaption("  Trivane v. 1.1      12/ Oktober 02");
  SetBounds(0, 0, 874, 603);
  SetPosition(poScreenCenter);
  SetShowHint(true);

  BuildMenu();
  BuildToolPanel();
  BuildPenBar();
  BuildBrushBar();

  ScrollBox1 = New<TScrollBox>(this);
  ScrollBox1->SetName("ScrollBox1");
  ScrollBox1->SetAlign(alClient);
  ScrollBox1->SetParent(this);

  Image1 = New<TImage>(this);
  Image1->SetName("Image1");
  Image1->SetBounds(0, 8, 780, 1200);
  Image1->SetParent(ScrollBox1);

  StatusBar1 = New<TStatusBar>(this);
  StatusBar1->SetName("StatusBar1");
  StatusBar1->GetPanels()->Add()->SetWidth(150);
  StatusBar1->GetPanels()->Add()->SetWidth(50);
  StatusBar1->SetParent(this);

  ColorDialog1 = New<TColorDialog>(this);
  ColorDialog1->SetName("ColorDialog1");
  OpenDialog1 = New<TOpenDialog>(this);
  OpenDialog1->SetName("OpenDialog1");
  SaveDialog1 = New<TSaveDialog>(this);
  SaveDialog1->SetName("SaveDialog1");
  for (TOpenDialog* dialog : {OpenDialog1, static_cast<TOpenDialog*>(SaveDialog1)}) {
    dialog->SetDefaultExt("bmp");
    dialog->SetFilter("Bitmap files (*.bmp)|*.bmp|All files|*.*");
  }
  PrinterSetupDialog1 = New<TPrinterSetupDialog>(this);
  PrinterSetupDialog1->SetName("PrinterSetupDialog1");
  OpenDialog2 = New<TOpenDialog>(this);
  OpenDialog2->SetName("OpenDialog2");
  OpenDialog2->SetFilter("Indstillinger|*.cfg");
  OpenDialog2->SetTitle(" Vælg Indstillinger for start af TRIVANE v. 1.0");

  // The window and the picture answer the mouse alike; each reports in its own coordinates.
  OnMouseDown = Image1->OnMouseDown = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    FormMouseDown(s, b, sh, x, y);
  };
  OnMouseMove = Image1->OnMouseMove = [this](TObject* s, TShiftState sh, int x, int y) { FormMouseMove(s, sh, x, y); };
  OnMouseUp = Image1->OnMouseUp = [this](TObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    FormMouseUp(s, b, sh, x, y);
  };
  OnCreate = Handler(&TForm1::FormCreate);
}

TNotifyEvent TForm1::Handler(void (TForm1::*Method)(TObject*)) {
  return [this, Method](TObject* Sender) { (this->*Method)(Sender); };
}

TMenuItem* TForm1::MakeMenuItem(const std::string& Caption, void (TForm1::*Click)(TObject*)) {
  TMenuItem* item = New<TMenuItem>(this);
  item->SetCaption(Caption);
  if (Click) item->OnClick = Handler(Click);
  return item;
}

void TForm1::BuildMenu() {
  MainMenu1 = New<TMainMenu>(this);
  MainMenu1->SetName("MainMenu1");
  Filer1 = MakeMenuItem("&Filer", nullptr);
  New1 = MakeMenuItem("&Ny", &TForm1::New1Click);
  Open1 = MakeMenuItem("&Hente billede", &TForm1::Open1Click);
  Save1 = MakeMenuItem("&Gemme billede", &TForm1::Save1Click);
  Saveas1 = MakeMenuItem("Gem &Som", &TForm1::Saveas1Click);
  Print1 = MakeMenuItem("&Print", &TForm1::Print1Click);
  N1 = MakeMenuItem("-", nullptr);
  Exit1 = MakeMenuItem("&Afslut", &TForm1::Exit1Click);
  for (TMenuItem* item : {New1, Open1, Save1, Saveas1, Print1, N1, Exit1}) Filer1->Add(item);
  Editer1 = MakeMenuItem("&Editer", nullptr);
  Cut1 = MakeMenuItem("&Klip", &TForm1::Cut1Click);
  Cut1->SetShortCut(ShortCut('X', scCtrl));
  Copy1 = MakeMenuItem("K&opier", &TForm1::Copy1Click);
  Copy1->SetShortCut(ShortCut('C', scCtrl));
  Paste1 = MakeMenuItem("&Sæt Ind", &TForm1::Paste1Click);
  Paste1->SetShortCut(ShortCut('V', scCtrl));
  for (TMenuItem* item : {Cut1, Copy1, Paste1}) Editer1->Add(item);
  StregFarve1 = MakeMenuItem("StregFarve", &TForm1::StregFarve);
  GentegnNet1 = MakeMenuItem("Gentegn Net", &TForm1::GentegnNet1Click);
  Tegnevrktj1 = MakeMenuItem("Tegneværktøj", nullptr);
  Til1 = MakeMenuItem("Til", &TForm1::Til1Click);
  Fra1 = MakeMenuItem("Fra", &TForm1::Fra1Click);
  Tegnevrktj1->Add(Til1);
  Tegnevrktj1->Add(Fra1);
  SKJUL1 = MakeMenuItem("SKJUL", &TForm1::SKJUL1Click);
  STARTTEKSTBEHANDLER1 = MakeMenuItem("START TEKSTBEHANDLER", &TForm1::STARTTEKSTBEHANDLER1Click);
  STARTMALEREN1 = MakeMenuItem("START MALEREN", nullptr);
  Startdemedbilledet1 = MakeMenuItem("Start den med dette billede", &TForm1::Startdemedbilledet1Click);
  StartdenTOM1 = MakeMenuItem("Start den TOM", &TForm1::StartdenTOM1Click);
  STARTMALEREN1->Add(Startdemedbilledet1);
  STARTMALEREN1->Add(StartdenTOM1);
  Hjlp1 = MakeMenuItem("Hjælp", nullptr);
  Hjlp2 = MakeMenuItem("Hjælp", &TForm1::Hjlp2Click);
  N2 = MakeMenuItem("-", nullptr);
  About1 = MakeMenuItem("About", &TForm1::About1Click);
  Hjlp1->Add(Hjlp2);
  Hjlp1->Add(N2);
  Hjlp1->Add(About1);
  for (TMenuItem* item : {Filer1, Editer1, StregFarve1, GentegnNet1, Tegnevrktj1, SKJUL1, STARTTEKSTBEHANDLER1,
                          STARTMALEREN1, Hjlp1})
    MainMenu1->GetItems()->Add(item);
  SetMenu(MainMenu1);
}

TPanel* TForm1::MakeBar(bool Visible) {
  TPanel* bar = New<TPanel>(this);
  bar->SetAlign(alTop);
  bar->SetHeight(kBarHeight);
  bar->SetVisible(Visible);
  bar->SetParent(this);
  return bar;
}

TSpeedButton* TForm1::MakeButton(TPanel* Bar, int Left, int GroupIndex, TGlyph Glyph,
                                 void (TForm1::*Click)(TObject*)) {
  TSpeedButton* button = New<TSpeedButton>(this);
  button->SetBounds(Left, kButtonTop, kButtonSize, kButtonSize);
  button->SetGroupIndex(GroupIndex);
  PaintGlyph(button->GetGlyph(), Glyph);
  button->OnClick = Handler(Click);
  button->SetParent(Bar);
  return button;
}

void TForm1::BuildToolPanel() {
  Panel1 = MakeBar(true);
  Panel1->SetName("Panel1");
  LineButton = MakeButton(Panel1, 8, 1, TGlyph::LongLine, &TForm1::LineButtonClick);
  LineButton->SetName("LineButton");
  LineButton->SetHint("Lang fri linie MED SNAP");
  LineButton->SetDown(true);
  SpeedButton1 = MakeButton(Panel1, 40, 1, TGlyph::ShortNS, &TForm1::SpeedButton1Click);
  SpeedButton1->SetName("SpeedButton1");
  SpeedButton1->SetHint("Kort N-S snap foroven");
  SpeedButton2 = MakeButton(Panel1, 72, 1, TGlyph::ShortNESW, &TForm1::SpeedButton2Click);
  SpeedButton2->SetName("SpeedButton2");
  SpeedButton2->SetHint("Kort NØ-SV snap foroven");
  SpeedButton3 = MakeButton(Panel1, 104, 1, TGlyph::ShortNWSE, &TForm1::SpeedButton3Click);
  SpeedButton3->SetName("SpeedButton3");
  SpeedButton3->SetHint("Kort NV-SØ snap foroven");
  PenButton = MakeButton(Panel1, 136, 2, TGlyph::Pen, &TForm1::PenButtonClick);
  PenButton->SetName("PenButton");
  PenButton->SetAllowAllUp(true);
  RectangleButton = MakeButton(Panel1, 256, 1, TGlyph::Rectangle, &TForm1::RectangleButtonClick);
  RectangleButton->SetName("RectangleButton");
  EllipseButton = MakeButton(Panel1, 288, 1, TGlyph::Ellipse, &TForm1::EllipseButtonClick);
  EllipseButton->SetName("EllipseButton");
  RoundRectButton = MakeButton(Panel1, 320, 1, TGlyph::RoundRect, &TForm1::RoundRectButtonClick);
  RoundRectButton->SetName("RoundRectButton");
  BrushButton = MakeButton(Panel1, 352, 3, TGlyph::Brush, &TForm1::BrushButtonClick);
  BrushButton->SetName("BrushButton");
  BrushButton->SetAllowAllUp(true);
}

void TForm1::BuildPenBar() {
  PenBar = MakeBar(false);
  PenBar->SetName("PenBar");
  for (const auto& row : kPenStyles) {
    this->*row.Button = MakeButton(PenBar, row.Left, kPenStyleGroup, row.Glyph, &TForm1::SetPenStyle);
    (this->*row.Button)->SetName(row.Name);
  }
  SolidPen->SetDown(true);

  PenSize = New<TEdit>(this);
  PenSize->SetName("PenSize");
  PenSize->SetBounds(208, 10, 49, 21);
  PenSize->SetText("1");
  PenSize->OnChange = Handler(&TForm1::PenSizeChange);
  PenSize->SetParent(PenBar);
  PenWidth = New<TUpDown>(this);
  PenWidth->SetName("PenWidth");
  PenWidth->SetMin(0);
  PenWidth->SetPosition(1);
  PenWidth->SetArrowKeys(false);
  PenWidth->SetWrap(false);
  PenWidth->SetAssociate(PenSize);
  PenWidth->SetParent(PenBar);

  PenColor = MakeButton(PenBar, 272, 0, TGlyph::Colors, &TForm1::PenColorClick);
  PenColor->SetName("PenColor");
}

void TForm1::BuildBrushBar() {
  BrushBar = MakeBar(false);
  BrushBar->SetName("BrushBar");
  for (const auto& row : kBrushStyles) {
    this->*row.Button = MakeButton(BrushBar, row.Left, kBrushStyleGroup, row.Glyph, &TForm1::SetBrushStyle);
    (this->*row.Button)->SetName(row.Name);
  }
  SolidBrush->SetDown(true);

  BrushColor = MakeButton(BrushBar, 272, 0, TGlyph::Colors, &TForm1::BrushColorClick);
  BrushColor->SetName("BrushColor");
}

// ---- drawing

TPoint TForm1::Snap(int X, int Y) {
  TPoint p = ToolSnaps(ToolKind) ? SnapToLattice(X, Y, GridSize) : TPoint{X, Y};
  SnapX = p.X;
  SnapY = p.Y;
  return p;
}

void TForm1::DrawIsoGrid(int G) {
  TCanvas* canvas = PictureCanvas();
  // A dot is a 2 x 2 ellipse in the canvas's pen and brush as they stand.
  for (TPoint dot : GridDots(G)) canvas->Ellipse(dot.X - 1, dot.Y + 1, dot.X + 1, dot.Y - 1);
}

void TForm1::DrawToolFigure(TPoint A, TPoint B, TPenMode Mode) {
  TCanvas* canvas = PictureCanvas();
  canvas->GetPen()->SetMode(Mode);
  switch (ToolKind) {
    case tkLongLine:
      canvas->MoveTo(A.X, A.Y);
      canvas->LineTo(B.X, B.Y);
      break;
    case tkRectangle:
      canvas->Rectangle(A.X, A.Y, B.X, B.Y);
      break;
    case tkEllipse:
      canvas->Ellipse(A.X, A.Y, B.X, B.Y);
      break;
    case tkRoundRect:
      // Signed corner sizes, as computed; 64 bits because the points may lie far apart.
      canvas->RoundRect(A.X, A.Y, B.X, B.Y, int((int64_t(A.X) - B.X) / 2), int((int64_t(A.Y) - B.Y) / 2));
      break;
    default:
      break;  // the short lines have no band
  }
}

void TForm1::FormMouseDown(TObject*, TMouseButton, TShiftState, int X, int Y) {
  // A long line waits while its last band is neither vertical nor isometric.
  if (ToolKind == tkLongLine && CurrentPoint.X != StartPoint.X && !IsIsometric(StartPoint, CurrentPoint)) return;
  IsDrawing = true;
  StartPoint = CurrentPoint = Snap(X, Y);
  StatusBar1->GetPanels()->GetItem(0)->SetText(Format("Start: (%d, %d)", StartPoint.X, StartPoint.Y));
}

void TForm1::FormMouseMove(TObject*, TShiftState, int X, int Y) {
  TPoint shown{X, Y};
  if (IsDrawing) {
    shown = Snap(X, Y);
    DrawToolFigure(StartPoint, CurrentPoint, pmNotXor);  // takes the last band away
    CurrentPoint = shown;
    DrawToolFigure(StartPoint, CurrentPoint, pmNotXor);
  }
  StatusBar1->GetPanels()->GetItem(1)->SetText(Format("Nu: (%d, %d)", shown.X, shown.Y));
}

void TForm1::FormMouseUp(TObject*, TMouseButton, TShiftState, int X, int Y) {
  if (!IsDrawing) return;
  TCanvas* canvas = PictureCanvas();
  switch (ToolKind) {
    case tkShortNS:
    case tkShortNESW:
    case tkShortNWSE: {
      // Too near the edge: the figure stays in progress.
      if (ShortLineRefused(ToolKind, X, Y, GridSize, Image1->GetWidth(), Image1->GetHeight())) return;
      TPoint from = Snap(X, Y), end = ShortLineEnd(ToolKind, from, GridSize);
      canvas->MoveTo(from.X, from.Y);
      canvas->LineTo(end.X, end.Y);
      break;
    }
    case tkLongLine:
      if (CurrentPoint.X != StartPoint.X) {
        if (!IsIsometric(StartPoint, CurrentPoint)) return;
        TPoint end = Snap(X, Y);
        if (StartPoint.X != end.X) DrawToolFigure(StartPoint, end, pmCopy);
      }
      break;
    default:
      break;  // the last band is the figure
  }
  IsDrawing = false;
}

// ---- tools

void TForm1::LineButtonClick(TObject*) { ToolKind = tkLongLine; }
void TForm1::RectangleButtonClick(TObject*) { ToolKind = tkRectangle; }
void TForm1::EllipseButtonClick(TObject*) { ToolKind = tkEllipse; }
void TForm1::RoundRectButtonClick(TObject*) { ToolKind = tkRoundRect; }
void TForm1::SpeedButton1Click(TObject*) { ToolKind = tkShortNS; }
void TForm1::SpeedButton2Click(TObject*) { ToolKind = tkShortNESW; }
void TForm1::SpeedButton3Click(TObject*) { ToolKind = tkShortNWSE; }

// ---- pen and brush

void TForm1::PenButtonClick(TObject*) { PenBar->SetVisible(PenButton->GetDown()); }

void TForm1::BrushButtonClick(TObject*) { BrushBar->SetVisible(BrushButton->GetDown()); }

void TForm1::SetPenStyle(TObject* Sender) {
  TPen* pen = PictureCanvas()->GetPen();
  if (auto* row = RowOf(this, kPenStyles, Sender)) pen->SetStyle(row->Style);
}

void TForm1::PenSizeChange(TObject*) { PictureCanvas()->GetPen()->SetWidth(PenWidth->GetPosition()); }

void TForm1::PenColorClick(TObject*) {
  TPen* pen = PictureCanvas()->GetPen();
  ColorDialog1->SetColor(pen->GetColor());
  if (ColorDialog1->Execute()) pen->SetColor(ColorDialog1->GetColor());
}

void TForm1::StregFarve(TObject* Sender) { PenColorClick(Sender); }

void TForm1::SetBrushStyle(TObject* Sender) {
  TBrush* brush = PictureCanvas()->GetBrush();
  if (auto* row = RowOf(this, kBrushStyles, Sender)) brush->SetStyle(row->Style);
}

void TForm1::BrushColorClick(TObject*) {
  TBrush* brush = PictureCanvas()->GetBrush();
  ColorDialog1->SetColor(brush->GetColor());
  if (ColorDialog1->Execute()) brush->SetColor(ColorDialog1->GetColor());
}

// ---- tool panel menu

void TForm1::Til1Click(TObject*) { Panel1->Show(); }

void TForm1::Fra1Click(TObject*) {
  BrushBar->Hide();
  PenBar->Hide();
  Panel1->Hide();
  ToolKind = tkLongLine;
}

void TForm1::GentegnNet1Click(TObject*) { DrawIsoGrid(GridSize); }

}  // namespace skadra
