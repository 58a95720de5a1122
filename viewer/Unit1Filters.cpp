// Fenlo's filter commands: the menus "Gråtoner" and "Juster", their dialogs, and the progress
// text that sharpen and smooth show in the status bar.
#include <memory>

#include "classlib/text.h"
#include "classlib/ticks.h"
#include "viewer/Unit1.h"

namespace fenlo {

void TForm1::BuildFilterMenus(TMenuItem* Bar) {
  Gratoner1 = MakeMenuItem(Bar, "Gråtoner", &TForm1::Gratoner1Click);
  Juster1 = MakeMenuItem(Bar, "Juster", nullptr);
  GrSkarpere1 = MakeMenuItem(Juster1, "Gør Skarpere", &TForm1::GrSkarpere1Click);
  GrBldere1 = MakeMenuItem(Juster1, "Gør Blødere", &TForm1::GrBldere1Click);
  LysKontrastGamma1 = MakeMenuItem(Juster1, "Lys Kontrast Gamma", &TForm1::LysKontrastGamma1Click);
  RGB1 = MakeMenuItem(Juster1, "RGB", &TForm1::RGB1Click);
}

void TForm1::CreateFilterDialogs() {
  GrayScaleFilterDialog1 = New<TGrayScaleFilterDialog>(this);
  GrayScaleFilterDialog1->SetProgressClockVisible(true);
  BCGFilterDialog1 = New<TBCGFilterDialog>(this);
  BCGFilterDialog1->SetContrast(1.0L);
  BCGFilterDialog1->SetGamma(1.0L);
  RGBFilterDialog1 = New<TRGBFilterDialog>(this);
  SharpenFilterDialog1 = New<TSharpenFilterDialog>(this);
  SharpenFilterDialog1->SetStdDeviation(0.75L);
  SmoothFilterDialog1 = New<TSmoothFilterDialog>(this);
  SmoothFilterDialog1->SetStdDeviation(1.3L);
}

TPixelGraphic* TForm1::OpenPicture() {
  if (PGOpenDialog1->GetFileName().empty()) return nullptr;
  // A picture counts as open after a failed load too; the view is empty then.
  return PGImage1->GetPixelGraphic();
}

void TForm1::RepaintNow() {
  // The view is a child window: its part of the dialog's trace goes too.
  RedrawWindow(GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void TForm1::RunPointFilter(TPreviewFilterDialog* Dialog) {
  TPixelGraphic* picture = OpenPicture();
  if (!picture || !Dialog->Execute(picture)) return;
  RepaintNow();
  picture = PGImage1->GetPixelGraphic();  // the repaint may have started the view's paint thread
  picture->ApplyFilter(Dialog->Filter, picture);
}

void TForm1::RunConvFilter(TConvFilterDialog* Dialog) {
  if (!OpenPicture() || !Dialog->Execute()) return;
  RepaintNow();
  std::unique_ptr<TPixelGraphic, FreeDeleter> result(New<TPixelGraphic>());
  result->SetOnProgressStart([this](TObject* Sender) { PGImage1PixelGraphicProgressStart(Sender); });
  result->SetOnProgress(
      [this](TObject* Sender, int Step, int Max, bool& Abort) { PGImage1PixelGraphicProgress(Sender, Step, Max, Abort); });
  result->SetOnProgressEnd([this](TObject* Sender) { PGImage1PixelGraphicProgressEnd(Sender); });
  try {
    result->ApplyFilter(Dialog->GetFilter(), PGImage1->GetPixelGraphic());
  } catch (...) {
    // The picture shown stays; so must not a percentage of a run that ended.
    PGImage1PixelGraphicProgressEnd(this);
    throw;
  }
  PGImage1->SetPixelGraphic(result.release());
}

void TForm1::Gratoner1Click(TObject*) { RunPointFilter(GrayScaleFilterDialog1); }
void TForm1::LysKontrastGamma1Click(TObject*) { RunPointFilter(BCGFilterDialog1); }
void TForm1::RGB1Click(TObject*) { RunPointFilter(RGBFilterDialog1); }
void TForm1::GrSkarpere1Click(TObject*) { RunConvFilter(SharpenFilterDialog1); }
void TForm1::GrBldere1Click(TObject*) { RunConvFilter(SmoothFilterDialog1); }

void TForm1::PGImage1PixelGraphicProgressStart(TObject*) { LastProgressTick = 0; }

void TForm1::PGImage1PixelGraphicProgress(TObject*, int Step, int Max, bool&) {
  if (Max <= 0) return;
  const DWORD now = TickCount();
  // Unsigned, so that the difference holds when the tick count wraps.
  if (now - DWORD(LastProgressTick) <= 50) return;
  StatusBar1->GetPanels()->GetItem(0)->SetText(IntToStr(int64_t(Step) * 100 / Max) + "%");
  StatusBar1->Repaint();
  LastProgressTick = int(now);
}

void TForm1::PGImage1PixelGraphicProgressEnd(TObject*) { StatusBar1->GetPanels()->GetItem(0)->SetText(""); }

}  // namespace fenlo
