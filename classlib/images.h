// TPaintBox: a windowless area that its OnPaint handler draws on.
// TImage: shows a picture at its top-left corner, in its own size (no stretching, centring or
// sizing to the picture). It is a window of its own ("TImage"), so that
// it captures the mouse on itself and outside tools can find it; its canvas is the bitmap's.
#pragma once

#include "classlib/controls.h"
#include "classlib/picture.h"

namespace classlib {

class TPaintBox : public TGraphicControl {
  CL_CLASS(TPaintBox)
  explicit TPaintBox(TComponent* AOwner);
  TNotifyEvent OnPaint;

 protected:
  // Fills nothing: the canvas gets the font and a brush of the effective colour, then OnPaint.
  void Paint() override;
};

class TImage : public TWinControl {
  CL_CLASS(TImage)
  explicit TImage(TComponent* AOwner);
  ~TImage() override;

  TPicture* GetPicture() { return &FPicture; }
  void SetPicture(TPicture* Value) { FPicture.Assign(Value); }
  // The bitmap's canvas. An empty picture first gets a white bitmap of the control's size; a
  // picture of another kind cannot be drawn on.
  TCanvas* GetCanvas();

 protected:
  void PaintWindow(HDC DC) override;
  // The picture covers what it paints; the rest is filled in PaintWindow, so no flicker.
  bool EraseBackground(HDC) override { return true; }

 private:
  TPicture FPicture;
};

}  // namespace classlib
