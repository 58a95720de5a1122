#include "imagelib/view/PGProgressClock.h"

#include "imagelib/view/PGPaintGeometry.h"

namespace imagelib {

using namespace classlib;

void PaintProgressClock(TCanvas* Canvas, int X, int Y, int Stage, int Percent, TColor LineColor, TColor BkColor) {
  Canvas->GetPen()->SetStyle(psSolid);
  Canvas->GetPen()->SetColor(LineColor);
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(BkColor);
  Canvas->Ellipse(X, Y, X + PGProgressClockSize, Y + PGProgressClockSize);
  const TClockHands hands = ProgressClockHands(Stage, Percent);
  const int cx = X + PGProgressClockCentre, cy = Y + PGProgressClockCentre;
  for (TPoint hand : {hands.Hour, hands.Minute}) {
    Canvas->MoveTo(cx, cy);
    Canvas->LineTo(cx + hand.X, cy + hand.Y);
  }
}

}  // namespace imagelib
