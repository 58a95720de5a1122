// The native build has no device contexts: pictures there never get a canvas and never draw.
#include "imagelib/PGCanvasList.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

classlib::TList* PGCanvasList = nullptr;

void FreePGCanvasHandlesOfDIB(HBITMAP) {}
void FreeAllPGCanvasHandles() {}

TPGCanvas* TPixelGraphic::GetCanvas() { return nullptr; }
void TPixelGraphic::FreeCanvasHandle() {}
void TPixelGraphic::DestroyCanvas() {}
void TPixelGraphic::DrawToDC(HDC, const TRect&, bool, DWORD) {}
void TPixelGraphic::Draw(TCanvas*, const TRect&) {}
void TPixelGraphic::SetForceCanvasBlit(bool) {}
void TPixelGraphic::PasteFromClipboard() {}

}  // namespace imagelib
