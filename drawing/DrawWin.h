// The drawing window of Skadra: one picture in a scroll box with an isometric dot grid, seven
// tools with rubber bands and snapping, pen and brush bars and the coordinates in the status bar.
// At start it applies a settings file or, when the program has parameters, its switches.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "classlib/bitmap.h"
#include "classlib/buttons.h"
#include "classlib/dialogs.h"
#include "classlib/edits.h"
#include "classlib/files.h"
#include "classlib/forms.h"
#include "classlib/images.h"
#include "classlib/menus.h"
#include "classlib/panels.h"
#include "classlib/scrollbox.h"
#include "classlib/statusbar.h"
#include "classlib/stringlist.h"
#include "classlib/updown.h"
#include "drawing/Settings.h"
#include "drawing/ToolKind.h"

namespace skadra {

using namespace classlib;

enum class TGlyph;

// The grid size G; set by the settings, the command line and the new-picture dialog.
extern int GridSize;
// The result of the last TForm1::Snap.
extern int SnapX, SnapY;
// The program the painter commands start.
extern std::string PainterPath;
// The program's parameters, which the window's start-up applies. The program block fills them in
// from its command line before the window is made; none by default.
extern std::vector<std::string> StartParameters;

// The folder of the program file and its test seam.
using classlib::ExeDir;
namespace testing {
using classlib::testing::SetExeDir;
}  // namespace testing

class TForm1 : public TForm {
  CL_CLASS(TForm1)
  explicit TForm1(TComponent* AOwner);

  // ---- components
  TMainMenu* MainMenu1;
  TMenuItem* Filer1;
  TMenuItem* New1;
  TMenuItem* Open1;
  TMenuItem* Save1;
  TMenuItem* Saveas1;
  TMenuItem* Print1;
  TMenuItem* N1;  // separator
  TMenuItem* Exit1;
  TMenuItem* Editer1;
  TMenuItem* Cut1;
  TMenuItem* Copy1;
  TMenuItem* Paste1;
  TMenuItem* StregFarve1;
  TMenuItem* GentegnNet1;
  TMenuItem* Tegnevrktj1;
  TMenuItem* Til1;
  TMenuItem* Fra1;
  TMenuItem* SKJUL1;
  TMenuItem* STARTTEKSTBEHANDLER1;
  TMenuItem* STARTMALEREN1;
  TMenuItem* Startdemedbilledet1;
  TMenuItem* StartdenTOM1;
  TMenuItem* Hjlp1;
  TMenuItem* Hjlp2;
  TMenuItem* N2;  // separator
  TMenuItem* About1;
  TPanel* Panel1;
  TSpeedButton* LineButton;
  TSpeedButton* SpeedButton1;
  TSpeedButton* SpeedButton2;
  TSpeedButton* SpeedButton3;
  TSpeedButton* PenButton;
  TSpeedButton* RectangleButton;
  TSpeedButton* EllipseButton;
  TSpeedButton* RoundRectButton;
  TSpeedButton* BrushButton;
  TPanel* PenBar;
  TSpeedButton* SolidPen;
  TSpeedButton* DashPen;
  TSpeedButton* DotPen;
  TSpeedButton* DashDotPen;
  TSpeedButton* DashDotDotPen;
  TSpeedButton* ClearPen;
  TEdit* PenSize;
  TUpDown* PenWidth;
  TSpeedButton* PenColor;
  TPanel* BrushBar;
  TSpeedButton* SolidBrush;
  TSpeedButton* ClearBrush;
  TSpeedButton* HorizontalBrush;
  TSpeedButton* VerticalBrush;
  TSpeedButton* FDiagonalBrush;
  TSpeedButton* BDiagonalBrush;
  TSpeedButton* CrossBrush;
  TSpeedButton* DiagCrossBrush;
  TSpeedButton* BrushColor;
  TScrollBox* ScrollBox1;
  TImage* Image1;
  TStatusBar* StatusBar1;
  TColorDialog* ColorDialog1;
  TOpenDialog* OpenDialog1;
  TSaveDialog* SaveDialog1;
  TOpenDialog* OpenDialog2;  // the settings file
  TPrinterSetupDialog* PrinterSetupDialog1;

  // ---- fields
  TBrushStyle SavedBrushStyle = bsSolid;
  TPenStyle SavedPenStyle = psSolid;
  int SavedPenWidth = 1;
  bool IsDrawing = false;
  TPoint StartPoint;
  TPoint CurrentPoint;
  TToolKind ToolKind = tkLongLine;
  std::string PictureFileName;
  // The lines of the settings file read at start, as they stand in the file.
  TStringList SettingsLines;

  // ---- start
  // The picture folder, a new picture, then the settings file or the parameters, then the grid.
  void FormCreate(TObject* Sender);
  // Applies SettingsLines, then draws the grid.
  void ApplySettings();
  // Applies the switches of Parameters (the program's parameters, first to last).
  void ApplyCommandLine(const std::vector<std::string>& Parameters);

  // ---- drawing
  // (X, Y) snapped for the current tool; also left in SnapX, SnapY.
  TPoint Snap(int X, int Y);
  void DrawIsoGrid(int G);
  void DrawToolFigure(TPoint A, TPoint B, TPenMode Mode);
  void FormMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void FormMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
  void FormMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

  // ---- tools
  void LineButtonClick(TObject* Sender);
  void RectangleButtonClick(TObject* Sender);
  void EllipseButtonClick(TObject* Sender);
  void RoundRectButtonClick(TObject* Sender);
  void SpeedButton1Click(TObject* Sender);
  void SpeedButton2Click(TObject* Sender);
  void SpeedButton3Click(TObject* Sender);

  // ---- pen and brush
  void PenButtonClick(TObject* Sender);
  void BrushButtonClick(TObject* Sender);
  void SetPenStyle(TObject* Sender);
  void PenSizeChange(TObject* Sender);
  void PenColorClick(TObject* Sender);
  void StregFarve(TObject* Sender);
  void SetBrushStyle(TObject* Sender);
  void BrushColorClick(TObject* Sender);

  // ---- picture files, printing and the clipboard
  void New1Click(TObject* Sender);
  void Open1Click(TObject* Sender);
  void Save1Click(TObject* Sender);
  void Saveas1Click(TObject* Sender);
  void Print1Click(TObject* Sender);
  void Exit1Click(TObject* Sender);
  void Cut1Click(TObject* Sender);
  void Copy1Click(TObject* Sender);
  void Paste1Click(TObject* Sender);
  // Brush style, pen style and pen width, kept across a change of picture.
  void SaveCanvasStyles();
  void RestoreCanvasStyles();

  // ---- the other windows and the outside programs
  void SKJUL1Click(TObject* Sender);
  void STARTTEKSTBEHANDLER1Click(TObject* Sender);
  void Startdemedbilledet1Click(TObject* Sender);
  void StartdenTOM1Click(TObject* Sender);
  void Hjlp2Click(TObject* Sender);
  void About1Click(TObject* Sender);

  // ---- tool panel menu
  void Til1Click(TObject* Sender);
  void Fra1Click(TObject* Sender);
  void GentegnNet1Click(TObject* Sender);

 private:
  TCanvas* PictureCanvas() { return Image1->GetCanvas(); }
  TNotifyEvent Handler(void (TForm1::*Method)(TObject*));
  TMenuItem* MakeMenuItem(const std::string& Caption, void (TForm1::*Click)(TObject*));
  TPanel* MakeBar(bool Visible);
  TSpeedButton* MakeButton(TPanel* Bar, int Left, int GroupIndex, TGlyph Glyph, void (TForm1::*Click)(TObject*));
  void BuildMenu();
  void BuildToolPanel();
  void BuildPenBar();
  void BuildBrushBar();
  void ApplySetting(TSettingKey Key, const std::string& Value);
  void LookUpPainter();
};

extern TForm1* Form1;

}  // namespace skadra
