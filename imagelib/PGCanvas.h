// TPGCanvas, the drawing surface of a picture: a memory device context with the picture's bitmap
// section and palette selected, so that the class library's drawing lands in the picture's pixels.
#pragma once

#include "classlib/canvas.h"
#include "imagelib/PGCanvasList.h"

namespace imagelib {

class TPixelGraphic;

class TPGCanvas : public classlib::TCanvas {
  CL_CLASS(TPGCanvas)
  explicit TPGCanvas(TPixelGraphic* AGraphic);
  ~TPGCanvas() override;

  // Restores the old bitmap and palette, deletes the context and leaves the list.
  void FreeHandle();
  TPixelGraphic* GetGraphic() const { return Graphic; }
  HDC GetDC() const { return DC; }

 protected:
  void CreateHandle() override;

 private:
  HDC DC = nullptr;
  TPixelGraphic* Graphic;
  HBITMAP OldBitmap = nullptr;
  HPALETTE OldPalette = nullptr;
};

}  // namespace imagelib
