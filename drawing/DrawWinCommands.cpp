// The drawing window's commands: new, open, save and print the picture, the clipboard, and the
// other windows and outside programs. Errors are not caught here: the command ends and the
// application's handler shows the message.
#include "classlib/application.h"
#include "classlib/clipboard.h"
#include "classlib/msgbox.h"
#include "classlib/numerics.h"
#include "classlib/printer.h"
#include "classlib/text.h"
#include "drawing/DrawWin.h"
#include "drawing/Launcher.h"
#include "drawing/NewPicDlg.h"
#include "drawing/Unit2.h"
#include "drawing/Unit4.h"
#include "drawing/Unit5.h"

namespace skadra {

namespace {
// The file that the paint program gets the picture in.
const char kPainterFile[] = "C:\\tmp.bmp";
}  // namespace

void TForm1::SaveCanvasStyles() {
  TCanvas* canvas = PictureCanvas();
  SavedBrushStyle = canvas->GetBrush()->GetStyle();
  SavedPenStyle = canvas->GetPen()->GetStyle();
  SavedPenWidth = canvas->GetPen()->GetWidth();
}

void TForm1::RestoreCanvasStyles() {
  TCanvas* canvas = PictureCanvas();
  canvas->GetBrush()->SetStyle(SavedBrushStyle);
  canvas->GetPen()->SetStyle(SavedPenStyle);
  canvas->GetPen()->SetWidth(SavedPenWidth);
}

void TForm1::New1Click(TObject*) {
  TNewPictureForm* dialog = NewPictureForm;
  TRadioButton* sizes[] = {dialog->RadioButton1, dialog->RadioButton4, dialog->RadioButton2, dialog->RadioButton5,
                           dialog->RadioButton3};
  if (GridSize >= 2 && GridSize <= 6) sizes[GridSize - 2]->SetChecked(true);
  dialog->SetActiveControl(dialog->WidthEdit);
  TPicture* picture = Image1->GetPicture();
  dialog->WidthEdit->SetText(IntToStr(picture->GetWidth()));
  dialog->HeightEdit->SetText(IntToStr(picture->GetHeight()));
  if (dialog->ShowModal() != mrOk) return;

  // A size that is no number, or one the bitmap refuses, ends the command here.
  TOwned<TBitmap> bitmap(New<TBitmap>());
  int width = StrToInt(dialog->WidthEdit->GetText());
  int height = StrToInt(dialog->HeightEdit->GetText());
  bitmap->SetSize(width, height);
  SaveCanvasStyles();
  picture->SetGraphic(bitmap.get());
  RestoreCanvasStyles();
  PictureFileName.clear();
  for (int i = 0; i < 5; ++i)
    if (sizes[i]->GetChecked()) GridSize = i + 2;
  DrawIsoGrid(GridSize);
}

void TForm1::Open1Click(TObject*) {
  if (!OpenDialog1->Execute()) return;
  std::string file = OpenDialog1->GetFileName();
  SaveCanvasStyles();
  Image1->GetPicture()->LoadFromFile(file);
  RestoreCanvasStyles();
  // Named only once it is read: a file that could not be read is never saved over.
  PictureFileName = file;
}

void TForm1::Save1Click(TObject* Sender) {
  if (!PictureFileName.empty())
    Image1->GetPicture()->SaveToFile(PictureFileName);
  else
    Saveas1Click(Sender);
}

void TForm1::Saveas1Click(TObject* Sender) {
  if (!SaveDialog1->Execute()) return;
  SaveDialog1->SetInitialDir(ExeDir() + "\\billeder");
  PictureFileName = SaveDialog1->GetFileName();
  Save1Click(Sender);
}

void TForm1::Print1Click(TObject*) {
  if (!PrinterSetupDialog1->Execute()) return;
  TPrinter* printer = Printer();
  printer->BeginDoc();
  try {
    // The image control's size, whatever the picture's.
    TRect area = Rect(200, 200, int(Round(Image1->GetWidth() * 2.8L)), int(Round(Image1->GetHeight() * 2.7L)));
    printer->GetCanvas()->StretchDraw(area, Image1->GetPicture()->GetGraphic());
  } catch (...) {
    printer->Abort();
    throw;
  }
  printer->EndDoc();
}

void TForm1::Exit1Click(TObject*) { Application->Terminate(); }

void TForm1::Copy1Click(TObject*) { Clipboard()->Assign(Image1->GetPicture()); }

void TForm1::Cut1Click(TObject* Sender) {
  // A copy that fails ends the command before anything is whitened.
  Copy1Click(Sender);
  TCanvas* canvas = PictureCanvas();
  TRect all = Rect(0, 0, Image1->GetWidth(), Image1->GetHeight());
  canvas->SetCopyMode(WHITENESS);
  canvas->CopyRect(all, canvas, all);
  canvas->SetCopyMode(SRCCOPY);
}

void TForm1::Paste1Click(TObject*) {
  if (!Clipboard()->HasFormat(CF_BITMAP)) return;
  TOwned<TBitmap> pasted(New<TBitmap>());
  pasted->Assign(Clipboard());
  PictureCanvas()->Draw(0, 0, pasted.get());
}

void TForm1::SKJUL1Click(TObject*) {
  Form4->Show();
  if (!LineButton->GetEnabled()) {
    Form4->CheckBox1->SetChecked(true);
    ToolKind = tkShortNS;
    SpeedButton1->SetDown(true);
  }
  if (!PenButton->GetEnabled()) {
    Form4->CheckBox2->SetChecked(true);
    ToolKind = tkShortNS;
    SpeedButton1->SetDown(true);
  }
  if (!RectangleButton->GetEnabled()) Form4->CheckBox3->SetChecked(true);
}

void TForm1::STARTTEKSTBEHANDLER1Click(TObject*) {
  LaunchFile(ExeDir() + "\\RICHEDIT.EXE", ExeDir() + "\\Dokumenter", "", SW_SHOWNORMAL);
}

void TForm1::Startdemedbilledet1Click(TObject*) {
  Image1->GetPicture()->SaveToFile(kPainterFile);
  LaunchFile(PainterPath, kPainterFile, "", SW_SHOWNORMAL);
}

void TForm1::StartdenTOM1Click(TObject*) { LaunchFile(PainterPath, "", "", SW_SHOWNORMAL); }

void TForm1::Hjlp2Click(TObject*) {
  Form2->Show();
  Form2->RichEditEx1->GetLines()->LoadFromFile(ExeDir() + "\\Help.rtf");
}

void TForm1::About1Click(TObject*) { Form5->Show(); }

}  // namespace skadra
