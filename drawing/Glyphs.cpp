#include "drawing/Glyphs.h"

#include <string>

namespace skadra {

using namespace classlib;

namespace {
constexpr int kSize = 18;
constexpr TColor kTransparent = clFuchsia;  // the bottom-left pixel stays this colour

void Dot(TCanvas* C, int X, int Y) {
  C->GetPen()->SetColor(clBlack);
  C->GetBrush()->SetColor(clBlack);
  C->Ellipse(X - 2, Y - 2, X + 2, Y + 2);
}

void Line(TCanvas* C, int X1, int Y1, int X2, int Y2, TColor Color = clBlack, int Width = 1) {
  C->GetPen()->SetColor(Color);
  C->GetPen()->SetWidth(Width);
  C->MoveTo(X1, Y1);
  C->LineTo(X2, Y2);
  C->GetPen()->SetWidth(1);
}

// Two lines in the pattern of a pen style, drawn pixel by pixel: GDI's own dashes are longer
// than a glyph.
void PenStyleLine(TCanvas* C, TPenStyle Style) {
  static const char* const patterns[] = {"1", "111100", "10", "1111001100", "11110011001100"};
  const char* pattern = patterns[Style];
  size_t length = std::char_traits<char>::length(pattern);
  for (int y = 6; y <= 12; y += 6)
    for (int x = 1; x < 17; ++x)
      if (pattern[size_t(x - 1) % length] == '1') C->SetPixel(x, y, clBlack);
}

void BrushSample(TCanvas* C, TBrushStyle Style) {
  C->GetPen()->SetColor(clBlack);
  C->GetBrush()->SetColor(Style == bsSolid ? clGray : clBlack);
  C->GetBrush()->SetStyle(Style);
  if (Style != bsSolid && Style != bsClear) {
    // Hatches are drawn over white so that they read the same on any button face.
    C->GetBrush()->SetStyle(bsSolid);
    C->GetBrush()->SetColor(clWhite);
    C->Rectangle(2, 2, 16, 16);
    C->GetBrush()->SetColor(clBlack);
    C->GetBrush()->SetStyle(Style);
  }
  C->Rectangle(2, 2, 16, 16);
}
}  // namespace

void PaintGlyph(TBitmap* Glyph, TGlyph Kind) {
  Glyph->SetSize(kSize, kSize);
  TCanvas* c = Glyph->GetCanvas();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(kTransparent);
  c->FillRect(Rect(0, 0, kSize, kSize));
  c->GetPen()->SetColor(clBlack);
  c->GetBrush()->SetStyle(bsClear);
  switch (Kind) {
    case TGlyph::LongLine:  // a snapped line at the lattice's slope, with its two dots
      Line(c, 2, 14, 16, 6);
      Dot(c, 3, 14);
      Dot(c, 15, 6);
      break;
    case TGlyph::ShortNS:
      Line(c, 9, 3, 9, 16);
      Dot(c, 9, 3);
      break;
    case TGlyph::ShortNESW:
      Line(c, 14, 4, 2, 11);
      Dot(c, 14, 4);
      break;
    case TGlyph::ShortNWSE:
      Line(c, 4, 4, 16, 11);
      Dot(c, 4, 4);
      break;
    case TGlyph::Pen: {  // a pencil, point down to the left
      c->GetPen()->SetColor(clBlack);
      c->GetBrush()->SetStyle(bsSolid);
      c->GetBrush()->SetColor(clYellow);
      c->Polygon({Point(5, 10), Point(13, 2), Point(16, 5), Point(8, 13)});
      c->GetBrush()->SetColor(clWhite);
      c->Polygon({Point(5, 10), Point(8, 13), Point(2, 16)});
      Line(c, 2, 16, 4, 14);
      break;
    }
    case TGlyph::Rectangle:
      c->Rectangle(2, 4, 16, 14);
      break;
    case TGlyph::Ellipse:
      c->Ellipse(1, 3, 17, 15);
      break;
    case TGlyph::RoundRect:
      c->RoundRect(2, 4, 16, 14, 7, 7);
      break;
    case TGlyph::Brush:  // a paint brush with its bristles down
      Line(c, 14, 1, 8, 9, clMaroon, 3);
      c->GetPen()->SetColor(clBlack);
      c->GetBrush()->SetStyle(bsSolid);
      c->GetBrush()->SetColor(clBlue);
      c->Polygon({Point(6, 8), Point(10, 11), Point(5, 17), Point(2, 14)});
      break;
    case TGlyph::Colors: {
      const TColor colors[4] = {clRed, clLime, clBlue, clYellow};
      c->GetPen()->SetColor(clBlack);
      c->GetBrush()->SetStyle(bsSolid);
      for (int i = 0; i < 4; ++i) {
        c->GetBrush()->SetColor(colors[i]);
        int x = 1 + (i % 2) * 8, y = 1 + (i / 2) * 8;
        c->Rectangle(x, y, x + 8, y + 8);
      }
      break;
    }
    case TGlyph::PenSolid:
      PenStyleLine(c, psSolid);
      break;
    case TGlyph::PenDash:
      PenStyleLine(c, psDash);
      break;
    case TGlyph::PenDot:
      PenStyleLine(c, psDot);
      break;
    case TGlyph::PenDashDot:
      PenStyleLine(c, psDashDot);
      break;
    case TGlyph::PenDashDotDot:
      PenStyleLine(c, psDashDotDot);
      break;
    case TGlyph::PenClear:  // no line: an empty frame, struck through
      c->GetPen()->SetColor(clGray);
      c->Rectangle(2, 2, 16, 16);
      Line(c, 3, 15, 16, 2, clRed);
      break;
    case TGlyph::BrushSolid:
      BrushSample(c, bsSolid);
      break;
    case TGlyph::BrushClear:
      BrushSample(c, bsClear);
      break;
    case TGlyph::BrushHorizontal:
      BrushSample(c, bsHorizontal);
      break;
    case TGlyph::BrushVertical:
      BrushSample(c, bsVertical);
      break;
    case TGlyph::BrushFDiagonal:
      BrushSample(c, bsFDiagonal);
      break;
    case TGlyph::BrushBDiagonal:
      BrushSample(c, bsBDiagonal);
      break;
    case TGlyph::BrushCross:
      BrushSample(c, bsCross);
      break;
    case TGlyph::BrushDiagCross:
      BrushSample(c, bsDiagCross);
      break;
  }
  // The transparent key must survive in the corner that the button reads it from.
  c->GetPen()->SetStyle(psSolid);
  c->SetPixel(0, kSize - 1, kTransparent);
}

}  // namespace skadra
