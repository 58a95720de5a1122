#include "classlib/images.h"

#include "classlib/bitmap.h"
#include "classlib/exceptions.h"
#include "classlib/graphics.h"

namespace classlib {

TPaintBox::TPaintBox(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csReplicatable;
  FParentColor = true;
  FWidth = 105;
  FHeight = 105;
}

void TPaintBox::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->GetFont()->Assign(GetFont());
  canvas->GetBrush()->SetColor(GetColor());
  if (OnPaint) OnPaint(this);
}

TImage::TImage(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks | csReplicatable | csOpaque;
  FWidth = 105;
  FHeight = 105;
  // Each drawing operation invalidates; WM_PAINT coalesces them into one repaint.
  FPicture.OnChange = [this](TObject*) { Invalidate(); };
}

TImage::~TImage() = default;

TCanvas* TImage::GetCanvas() {
  TGraphic* graphic = FPicture.GetGraphic();
  if (!graphic) {
    TBitmap* bitmap = FPicture.GetBitmap();
    bitmap->SetSize(FWidth, FHeight);
    return bitmap->GetCanvas();
  }
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (!bitmap) throw EInvalidOperation("Can only modify an image if it contains a bitmap");
  return bitmap->GetCanvas();
}

void TImage::PaintWindow(HDC DC) {
  RECT client{};
  ::GetClientRect(FHandle, &client);
  int saved = SaveDC(DC);
  TGraphic* graphic = FPicture.GetGraphic();
  if (graphic && !graphic->GetEmpty()) {
    TCanvas canvas;
    canvas.SetHandle(DC);
    canvas.Draw(0, 0, graphic);
    canvas.SetHandle(nullptr);
    ExcludeClipRect(DC, 0, 0, graphic->GetWidth(), graphic->GetHeight());
  }
  HBRUSH brush = CreateSolidBrush(ColorToRGB(FParent ? FParent->GetColor() : GetColor()));
  FillRect(DC, &client, brush);
  DeleteObject(brush);
  RestoreDC(DC, saved);
}

}  // namespace classlib
