#include "imagelib/PGCanvas.h"

#include <vector>

#include "imagelib/PGraphic.h"

namespace imagelib {

classlib::TList* PGCanvasList = nullptr;

TPGCanvas::TPGCanvas(TPixelGraphic* AGraphic) : Graphic(AGraphic) {}

TPGCanvas::~TPGCanvas() { FreeHandle(); }

void TPGCanvas::CreateHandle() {
  // Without a list (before start-up or after shut-down) a context could never be released again.
  if (!Graphic || !PGCanvasList) return;
  FreePGCanvasHandlesOfDIB(Graphic->GetDIBSection());
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return;  // the class library then refuses to draw
  OldBitmap = Graphic->GetDIBSection() ? static_cast<HBITMAP>(SelectObject(dc, Graphic->GetDIBSection())) : nullptr;
  HPALETTE palette = Graphic->GetPalette();
  if (palette) {
    OldPalette = SelectPalette(dc, palette, FALSE);
    RealizePalette(dc);
  } else {
    OldPalette = nullptr;
  }
  if (Graphic->GetBitCount() != 24) {
    int size = Graphic->GetPaletteSize(), count = Graphic->GetPaletteCount();
    std::vector<RGBQUAD> table(size_t(size), RGBQUAD{0, 0, 0, 0});
    if (count > 0)
      for (int i = 0; i < size; ++i) {
        TRGB c = Graphic->GetPaletteEntry(i < count ? i : 0);
        table[size_t(i)] = RGBQUAD{uint8_t(RGBBlue(c)), uint8_t(RGBGreen(c)), uint8_t(RGBRed(c)), 0};
      }
    SetDIBColorTable(dc, 0, UINT(size), table.data());
  }
  DC = dc;
  SetHandle(dc);
  PGCanvasList->Add(this);
}

void TPGCanvas::FreeHandle() {
  if (!DC) return;
  if (OldBitmap) SelectObject(DC, OldBitmap);
  if (OldPalette) SelectPalette(DC, OldPalette, TRUE);
  SetHandle(nullptr);
  DeleteDC(DC);
  DC = nullptr;
  OldBitmap = nullptr;
  OldPalette = nullptr;
  if (PGCanvasList) PGCanvasList->Remove(this);
}

void FreePGCanvasHandlesOfDIB(HBITMAP Bitmap) {
  if (!PGCanvasList) return;
  for (int i = PGCanvasList->GetCount() - 1; i >= 0; --i) {
    if (i >= PGCanvasList->GetCount()) continue;
    auto* canvas = static_cast<TPGCanvas*>(PGCanvasList->GetItem(i));
    if (canvas->GetGraphic() && canvas->GetGraphic()->GetDIBSection() == Bitmap) canvas->FreeHandle();
  }
}

void FreeAllPGCanvasHandles() {
  if (!PGCanvasList) return;
  while (PGCanvasList->GetCount() > 0) static_cast<TPGCanvas*>(PGCanvasList->First())->FreeHandle();
}

}  // namespace imagelib
