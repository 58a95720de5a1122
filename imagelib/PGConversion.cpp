// The steps that every conversion between pictures shares: the colours a picture's pixels show,
// read a row at a time, and converted colours written into a picture of any bit count, as bytes,
// dithered or matched.
#include <cstring>
#include <vector>

#include "imagelib/PGraphic.h"

namespace imagelib {

void TPixelGraphic::ConversionColors(TRGB (&Colors)[256]) const {
  for (int i = 0; i < 256; ++i) Colors[i] = ConversionColor(i);
}

TRGB TPixelGraphic::ConversionColor(int Index) const {
  // What the screen shows for each index: the palette, and beyond it the bitmap's colour table.
  if (Index >= 0 && Index < PaletteCount) return PaletteEntries[size_t(Index)];
  const RGBQUAD* table = ColorTable();
  if (table && Index >= 0 && Index < GetPaletteSize())
    return MakeRGB(table[Index].rgbRed, table[Index].rgbGreen, table[Index].rgbBlue);
  return 0;
}

void TPixelGraphic::ReadRowColors(int Y, int FirstX, int Count, const TRGB* Colors, uint8_t* BGR) {
  const uint8_t* row = ScanLine(Y);
  if (IsTrueColor()) {
    std::memcpy(BGR, row + int64_t(FirstX) * 3, size_t(Count) * 3);
    return;
  }
  for (int i = 0; i < Count; ++i) {
    int x = FirstX + i, index;
    switch (BitCountNum) {
      case pgbc1Bit: index = (row[x >> 3] >> (7 - (x & 7))) & 1; break;
      case pgbc4Bits: index = (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4); break;
      default: index = row[x];
    }
    TRGB c = Colors[index];
    BGR[3 * i] = uint8_t(RGBBlue(c));
    BGR[3 * i + 1] = uint8_t(RGBGreen(c));
    BGR[3 * i + 2] = uint8_t(RGBRed(c));
  }
}

void TPixelGraphic::WriteConverted(int X, int Y, int R, int G, int B, bool Dithering) {
  if (IsTrueColor()) {
    uint8_t* p = ScanLine(Y) + int64_t(X) * 3;
    p[0] = uint8_t(B);
    p[1] = uint8_t(G);
    p[2] = uint8_t(R);
  } else if (Dithering) {
    DitherPixel(X, Y, R, G, B);
  } else {
    SetPixelColor(X, Y, MakeRGB(R, G, B));
  }
}

void TPixelGraphic::WriteConvertedRow(int Y, int X0, int Count, const uint8_t* BGR, bool Dithering,
                                      const std::vector<bool>* Valid) {
  if (IsTrueColor() && !Valid) {
    std::memcpy(ScanLine(Y) + int64_t(X0) * 3, BGR, size_t(Count) * 3);
    return;
  }
  if (Dithering && !Valid && X0 == 0 && Count == Width) {
    DitherRow(Y, BGR);
    return;
  }
  for (int i = 0; i < Count; ++i) {
    int c = (Y & 1) ? Count - 1 - i : i;  // odd rows from the right
    const uint8_t* px = BGR + size_t(c) * 3;
    if (!Valid || (*Valid)[size_t(c)]) WriteConverted(X0 + c, Y, px[2], px[1], px[0], Dithering);
  }
}

bool TPixelGraphic::PrepareDithering() {
  // Palette targets dither when Dither is on; anything else drops a dithering state left over.
  bool dithering = DitherOptions.Dither && !IsTrueColor();
  if (dithering)
    BeginDither();
  else
    EndDither();
  return dithering;
}

}  // namespace imagelib
