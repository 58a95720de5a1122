// Filter tests: random pictures and the filter run written out pixel by pixel as it is defined, to
// hold the library's whole-row ways against.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "imagelib/PGraphic.h"
#include "tests/imagelib/progress_events.h"

namespace filtertest {

using namespace imagelib;

inline TOwned<TPixelGraphic> Picture(int W, int H, int BitCountNum, TPaletteIdent Palette = pTrueColor) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, BitCountNum);
  if (Palette != pTrueColor) p->SetPaletteIdent(Palette);
  return p;
}

// Random colours; a palette picture gets a random palette of fewer entries than its bit count
// holds (when Short) and pixels that also use the indices beyond it.
inline TOwned<TPixelGraphic> RandomPicture(int W, int H, int BitCountNum, std::mt19937& Random, bool Short = false) {
  auto p = Picture(W, H, BitCountNum);
  int size = p->GetPaletteSize();
  if (BitCountNum != 3) {
    p->SetPaletteIdent(pUnknown);
    p->SetPaletteCount(Short ? size / 2 + 1 : size);
    for (int i = 0; i < p->GetPaletteCount(); ++i) p->SetPaletteEntry(i, TRGB(Random() & 0xFFFFFF));
  }
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      p->SetPixel(x, y, BitCountNum == 3 ? TRGB(Random() & 0xFFFFFF) : int(Random() % unsigned(size)));
  return p;
}

// The colour a conversion reads for a pixel, indices beyond the palette included.
inline TRGB ColorOf(TPixelGraphic* P, int X, int Y) {
  int32_t v = P->GetPixel(X, Y);
  return P->GetBitCountNum() == 3 ? v : P->ConversionColor(v);
}

inline std::vector<TRGB> Colors(TPixelGraphic* P) {
  std::vector<TRGB> c;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) c.push_back(ColorOf(P, x, y));
  return c;
}

inline std::vector<int32_t> Pixels(TPixelGraphic* P) {
  std::vector<int32_t> v;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) v.push_back(P->GetPixel(x, y));
  return v;
}

// The pixel run into Target as defined: rows in order, odd rows from the right, each pixel dithered
// or matched on its own. Pixel(x, y) is the filtered colour.
inline void ReferenceRun(TPixelGraphic* Target, const std::function<TRGB(int, int)>& Pixel) {
  bool dithering = Target->GetDither() && Target->GetBitCountNum() != 3;
  if (dithering) Target->BeginDither();
  int w = Target->GetWidth();
  for (int y = 0; y < Target->GetHeight(); ++y) {
    if (dithering) Target->NextDitherRow();
    for (int i = 0; i < w; ++i) {
      int x = (y & 1) ? w - 1 - i : i;
      TRGB c = Pixel(x, y);
      if (dithering)
        Target->DitherPixel(x, y, RGBRed(c), RGBGreen(c), RGBBlue(c));
      else
        Target->SetPixelColor(x, y, c);
    }
  }
  Target->EndDither();
}

using testsupport::Events;

// The palette kinds a target of each bit count gets in the equality tests.
inline TPaletteIdent TargetPalette(int BitCountNum) {
  switch (BitCountNum) {
    case 0: return pBlackWhite;
    case 1: return pSys16;
    case 2: return pSpecial252;
    default: return pTrueColor;
  }
}

}  // namespace filtertest
