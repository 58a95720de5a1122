// Fenlo's main window: one picture in the library's picture view, opened and saved through the
// library's file dialogs, shown at full size or fitted, copied to and pasted from the clipboard.
// Its pictures live in the folder "Billeder" beside the program.
#pragma once

#include <string>

#include "classlib/forms.h"
#include "classlib/menus.h"
#include "classlib/statusbar.h"
#include "imagelib/PGraphic.h"
#include "imagelib/view/PGFileDialogs.h"
#include "imagelib/view/PGFilterDialogs.h"
#include "imagelib/view/PGImage.h"

namespace fenlo {

using namespace classlib;
using namespace imagelib;

// The caption's two version texts and what follows them.
extern const char* const kStartVersion;
extern const char* const kVersion;
extern const char* const kPictureFileLabel;
extern const char* const kNewPicture;
// The open dialog's filter (the save dialog lists what can be written).
extern const char* const kOpenFilter;
extern const char* const kSaveFilter;

// "Billeder" in the program's folder (ExeDir).
std::string PictureFolder();
// The 1 x 1 picture a paste starts from.
std::string SeedFile();

class TForm1 : public TForm {
  CL_CLASS(TForm1)
  explicit TForm1(TComponent* AOwner);

  // ---- components
  TPGImage* PGImage1;
  TPGOpenDialog* PGOpenDialog1;
  TPGSaveDialog* PGSaveDialog1;
  TStatusBar* StatusBar1;
  TMainMenu* MainMenu1;
  TMenuItem* Filer1;
  TMenuItem* ben1;
  TMenuItem* GemSom1;
  TMenuItem* EXIT1;
  TMenuItem* Billedstrrelse1;
  TMenuItem* FULD1;
  TMenuItem* TILPAS1;
  TMenuItem* Editer1;
  TMenuItem* Kopier2;
  TMenuItem* StInd1;
  TMenuItem* Gratoner1;
  TMenuItem* Juster1;
  TMenuItem* GrSkarpere1;
  TMenuItem* GrBldere1;
  TMenuItem* LysKontrastGamma1;
  TMenuItem* RGB1;
  TMenuItem* About1;
  TGrayScaleFilterDialog* GrayScaleFilterDialog1;
  TBCGFilterDialog* BCGFilterDialog1;
  TRGBFilterDialog* RGBFilterDialog1;
  TSharpenFilterDialog* SharpenFilterDialog1;
  TSmoothFilterDialog* SmoothFilterDialog1;

  // ---- fields
  // The picture being pasted; it exists only while a paste runs.
  TPixelGraphic* PixelGraphicToPaste = nullptr;
  // The tick count (milliseconds) of the last progress text.
  int LastProgressTick = 0;

  // ---- handlers
  // The picture folder, made when missing, for both dialogs and as the current directory.
  void FormCreate(TObject* Sender);
  void ben1Click(TObject* Sender);
  void GemSom1Click(TObject* Sender);
  void EXIT1Click(TObject* Sender);
  void FULD1Click(TObject* Sender);
  void TILPAS1Click(TObject* Sender);
  // The "Editer" menu's own click.
  void Kopier1Click(TObject* Sender);
  void Kopier2Click(TObject* Sender);
  void StInd1Click(TObject* Sender);
  void About(TObject* Sender);
  // The filters on the picture shown: grayscale, brightness/contrast/gamma and RGB change it in
  // place; sharpen and smooth make a new picture that replaces it. Nothing without a picture.
  void Gratoner1Click(TObject* Sender);
  void GrSkarpere1Click(TObject* Sender);
  void GrBldere1Click(TObject* Sender);
  void LysKontrastGamma1Click(TObject* Sender);
  void RGB1Click(TObject* Sender);
  // The progress text of sharpen and smooth in status panel 0.
  void PGImage1PixelGraphicProgressStart(TObject* Sender);
  void PGImage1PixelGraphicProgress(TObject* Sender, int Step, int Max, bool& Abort);
  void PGImage1PixelGraphicProgressEnd(TObject* Sender);
  // The paste's last steps: the pasted picture copied into the view's at the selection, then the
  // selection ended and the pasted picture freed.
  void AttachSelection1Click(TObject* Sender);
  void CancelSelectionAndFreePixelGraphicToPaste();

  void BeforeDestruction() override;

 private:
  TNotifyEvent Handler(void (TForm1::*Method)(TObject*));
  TMenuItem* MakeMenuItem(TMenuItem* Parent, const std::string& Caption, void (TForm1::*Click)(TObject*));
  void BuildMenu();
  void BuildFilterMenus(TMenuItem* Bar);
  void CreateFilterDialogs();
  // The picture shown when one counts as open, else nil.
  TPixelGraphic* OpenPicture();
  void RunPointFilter(TPreviewFilterDialog* Dialog);
  void RunConvFilter(TConvFilterDialog* Dialog);
  void RepaintNow();
  // Caption and status after Open: the dialog's file, shown or not.
  void ShowOpenedFile();
};

extern TForm1* Form1;

}  // namespace fenlo
