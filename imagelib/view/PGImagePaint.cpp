// TPGImage's painting as it stands: the margins around the picture's rectangle in the view's
// colour, then the picture stretched into that rectangle, or the empty frame without a picture.
// Tiling, flips, the display-ready copy and the progress clocks are not drawn yet.
#include "classlib/finally.h"
#include "imagelib/view/PGImage.h"

namespace imagelib {

void TPGImage::Paint() {
  if (FPaintingSuppressed) return;  // the TPicBox is on its way to a new place
  TRect client = GetClientRect();
  TRect r = FPicBox->GetBoundsRect();
  TPixelGraphic* shown = UpdatePaintPixelGraphic() ? FPaintPixelGraphic : FPixelGraphic;
  if (OnPainting) OnPainting(this);
  Finally(
      [&] {
        TBrush* brush = FCanvas->GetBrush();
        brush->SetStyle(bsSolid);
        brush->SetColor(GetColor());
        if (r.Top > 0) FCanvas->FillRect(Rect(0, 0, client.Right, r.Top));
        if (r.Bottom < client.Bottom) FCanvas->FillRect(Rect(0, r.Bottom, client.Right, client.Bottom));
        if (r.Left > 0) FCanvas->FillRect(Rect(0, 0, r.Left, client.Bottom));
        if (r.Right < client.Right) FCanvas->FillRect(Rect(r.Right, 0, client.Right, client.Bottom));
        if (shown) {
          FCanvas->StretchDraw(r, shown);
          return;
        }
        TPen* pen = FCanvas->GetPen();
        pen->SetStyle(psSolid);
        pen->SetColor(FPicBoxFrameColor);
        brush->SetColor(FPicBox->GetColor());
        FCanvas->Rectangle(r);
      },
      [&] {
        if (OnPaint) OnPaint(this);
      });
}

}  // namespace imagelib
