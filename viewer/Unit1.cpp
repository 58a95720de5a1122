#include "viewer/Unit1.h"

#include "classlib/application.h"
#include "classlib/clipboard.h"
#include "classlib/files.h"
#include "classlib/finally.h"
#include "classlib/text.h"
#include "viewer/Unit2.h"
#include "viewer/Unit3.h"

namespace fenlo {

const char* const kStartVersion = " Lumbrix v. 2.1  oktober 2002";
const char* const kVersion = " Lumbrix v. 2.0 august 2002";
const char* const kPictureFileLabel = "      Billedfil : ";
const char* const kNewPicture = " Nyt Billede.";
const char* const kOpenFilter =
    "Billedfiler|*.bmp; *.dib; *.jif; *.jpeg; *.jpg; *.pbm; *.pcx; *.pgm; *.png; *.ppm; *.rle; *.tga; *.tif; "
    "*.tiff|BMP - Bitmap|*.bmp|DIB - Bitmap|*.dib|JIF - JPEG (JFIF compliant)|*.jif|JPEG - JPEG (JFIF "
    "compliant)|*.jpeg|JPG - JPEG (JFIF compliant)|*.jpg|PBM - Portable Bitmap|*.pbm|PCX - Paintbrush|*.pcx|PGM "
    "- Portable Graymap|*.pgm|PNG - Portable Network Graphics|*.png|PPM - Portable Pixelmap|*.ppm|RLE - "
    "Bitmap|*.rle|TGA - Truevision Targa|*.tga|TIF - Tagged Image File Format|*.tif|TIFF - Tagged Image File "
    "Format|*.tiff|Alle filer|*.*";
const char* const kSaveFilter =
    "BMP - Bitmap|*.bmp|JPG - JPEG (JFIF compliant)|*.jpg|PBM - Portable Bitmap|*.pbm|PGM - Portable "
    "Graymap|*.pgm|PNG - Portable Network Graphics|*.png|PPM - Portable Pixelmap|*.ppm|TGA - Truevision "
    "Targa|*.tga|TIF - Tagged Image File Format|*.tif|";

TForm1* Form1 = nullptr;

std::string PictureFolder() { return ExeDir() + "\\Billeder"; }

std::string SeedFile() { return ExeDir() + "\\bc24.bmp"; }

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner) {
  SetName("Form1");
  SetCaption(std::string(kStartVersion) + kPictureFileLabel);
  SetBounds(0, 0, 794, 580);
  SetPosition(poScreenCenter);

  BuildMenu();

  StatusBar1 = New<TStatusBar>(this);
  StatusBar1->SetName("StatusBar1");
  StatusBar1->GetPanels()->Add()->SetWidth(50);
  StatusBar1->GetPanels()->Add()->SetWidth(50);
  StatusBar1->SetParent(this);

  PGImage1 = New<TPGImage>(this);
  PGImage1->SetName("PGImage1");
  PGImage1->SetAlign(alClient);
  PGImage1->SetActionMode(amNone);
  PGImage1->SetAllow24BitStretch(true);
  PGImage1->SetAutoSize(true);
  PGImage1->SetZoomFactor(1.0L);
  PGImage1->SetPicBoxColor(clBtnFace);
  PGImage1->SetPicBoxParentColor(true);
  PGImage1->SetParent(this);

  PGOpenDialog1 = New<TPGOpenDialog>(this);
  PGOpenDialog1->SetName("PGOpenDialog1");
  PGOpenDialog1->SetUseDefaultFilter(false);
  PGOpenDialog1->SetFilter(kOpenFilter);
  PGSaveDialog1 = New<TPGSaveDialog>(this);
  PGSaveDialog1->SetName("PGSaveDialog1");
  PGSaveDialog1->SetFilter(kSaveFilter);
  CreateFilterDialogs();

  OnCreate = Handler(&TForm1::FormCreate);
}

TNotifyEvent TForm1::Handler(void (TForm1::*Method)(TObject*)) {
  return [this, Method](TObject* Sender) { (this->*Method)(Sender); };
}

TMenuItem* TForm1::MakeMenuItem(TMenuItem* Parent, const std::string& Caption, void (TForm1::*Click)(TObject*)) {
  TMenuItem* item = New<TMenuItem>(this);
  item->SetCaption(Caption);
  if (Click) item->OnClick = Handler(Click);
  Parent->Add(item);
  return item;
}

void TForm1::BuildMenu() {
  MainMenu1 = New<TMainMenu>(this);
  MainMenu1->SetName("MainMenu1");
  TMenuItem* bar = MainMenu1->GetItems();
  Filer1 = MakeMenuItem(bar, "Filer", nullptr);
  ben1 = MakeMenuItem(Filer1, "Åben", &TForm1::ben1Click);
  MakeMenuItem(Filer1, "-", nullptr);
  GemSom1 = MakeMenuItem(Filer1, "Gem Som", &TForm1::GemSom1Click);
  MakeMenuItem(Filer1, "-", nullptr);
  EXIT1 = MakeMenuItem(Filer1, "EXIT", &TForm1::EXIT1Click);
  Billedstrrelse1 = MakeMenuItem(bar, "Billedstørrelse", nullptr);
  FULD1 = MakeMenuItem(Billedstrrelse1, "FULD", &TForm1::FULD1Click);
  TILPAS1 = MakeMenuItem(Billedstrrelse1, "TILPAS", &TForm1::TILPAS1Click);
  Editer1 = MakeMenuItem(bar, "Editer", &TForm1::Kopier1Click);
  Kopier2 = MakeMenuItem(Editer1, "Kopier", &TForm1::Kopier2Click);
  StInd1 = MakeMenuItem(Editer1, "Sæt Ind", &TForm1::StInd1Click);
  BuildFilterMenus(bar);
  About1 = MakeMenuItem(bar, "About", &TForm1::About);
  SetMenu(MainMenu1);
}

void TForm1::BeforeDestruction() {
  FreeAndNil(PixelGraphicToPaste);
  TForm::BeforeDestruction();
}

void TForm1::FormCreate(TObject*) {
  std::string folder = PictureFolder();
  if (!DirectoryExists(folder)) MkDir(folder);
  PGSaveDialog1->SetInitialDir(folder);
  PGOpenDialog1->SetInitialDir(folder);
  ChDir(folder);
  PGOpenDialog1->SetFileName("");
}

void TForm1::ShowOpenedFile() {
  const std::string& name = PGOpenDialog1->GetFileName();
  SetCaption(std::string(kVersion) + kPictureFileLabel + ExtractFileName(name));
  StatusBar1->GetPanels()->GetItem(1)->SetText(name);
}

void TForm1::ben1Click(TObject*) {
  PGOpenDialog1->SetInitialDir(PictureFolder());
  PGOpenDialog1->SetTitle(" Åben Billedfil : ");
  const std::string previous = PGOpenDialog1->GetFileName();
  if (PGOpenDialog1->Execute()) {
    try {
      PGImage1->SetFileName(PGOpenDialog1->GetFileName());
    } catch (...) {
      // The view keeps the picture it showed; so do the caption, the status and the dialog,
      // so that a later Save As or Cancel never names the file that could not be read.
      PGOpenDialog1->SetFileName(previous);
      throw;
    }
  }
  ShowOpenedFile();
}

void TForm1::GemSom1Click(TObject*) {
  if (!PGImage1->GetPixelGraphic()) return;
  PGSaveDialog1->SetTitle(" Gem Som :");
  PGSaveDialog1->SetInitialDir(PictureFolder());
  PGSaveDialog1->SetFileName(PGImage1->GetFileName());
  if (PGSaveDialog1->Execute()) PGImage1->SaveToFile(PGSaveDialog1->GetFileName());
}

void TForm1::EXIT1Click(TObject*) { Application->Terminate(); }

void TForm1::FULD1Click(TObject*) { PGImage1->SetStretch(sNeverKAR); }

void TForm1::TILPAS1Click(TObject*) { PGImage1->SetStretch(sEnlargeShrinkLongerEdgeKAR); }

void TForm1::Kopier1Click(TObject*) {}

void TForm1::Kopier2Click(TObject*) {
  TPixelGraphic* picture = PGImage1->GetPixelGraphic();
  if (picture) Clipboard()->Assign(picture);
}

void TForm1::StInd1Click(TObject*) {
  const std::string seed = SeedFile();
  if (!FileExists(seed)) Form3->Show();
  if (!Clipboard()->HasFormat(CF_DIB)) return;
  Finally(
      [&] {
        PGImage1->SetFileName(seed);
        FreeAndNil(PixelGraphicToPaste);
        PixelGraphicToPaste = New<TPixelGraphic>();
        PixelGraphicToPaste->PasteFromClipboard();
        const int width = PixelGraphicToPaste->GetWidth();
        const int height = PixelGraphicToPaste->GetHeight();
        PGImage1->SetKeepOldPaintPixelGraphic(false);
        PGImage1->GetPixelGraphic()->NewImage(width, height, pgbc24Bits);
        PGImage1->SetKeepOldPaintPixelGraphic(true);
        PGImage1->SetSelectionBounds(0, 0, width, height);
        AttachSelection1Click(this);
        PGImage1->SetActionMode(amNone);
        SetCaption(std::string(kVersion) + kPictureFileLabel + kNewPicture);
      },
      // A clipboard picture that cannot be read ends the paste; its picture goes all the same.
      [&] { FreeAndNil(PixelGraphicToPaste); });
}

void TForm1::AttachSelection1Click(TObject*) {
  TPixelGraphic* paste = PixelGraphicToPaste;
  PGImage1->GetPixelGraphic()->CopyRect(PGImage1->GetSelectionLeft(), PGImage1->GetSelectionTop(),
                                        paste->GetWidth(), paste->GetHeight(), 0, 0, paste);
  CancelSelectionAndFreePixelGraphicToPaste();
}

void TForm1::CancelSelectionAndFreePixelGraphicToPaste() {
  PGImage1->SetSelection(false);
  PGImage1->SetActionMode(amMoveResizeCreateSelection);
  PGImage1->SetSelectionColor2(clRed);
  FreeAndNil(PixelGraphicToPaste);
}

void TForm1::About(TObject*) { Form2->Show(); }

}  // namespace fenlo
