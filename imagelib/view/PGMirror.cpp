#include "imagelib/view/PGMirror.h"

#include <cstring>

namespace imagelib {

namespace {

// Raw pixel X of a row of 1 or 4 bits per pixel, and its store.
int PackedPixel(const uint8_t* Row, int X, int BitCountNum) {
  if (BitCountNum == pgbc1Bit) return (Row[X >> 3] >> (7 - (X & 7))) & 1;
  return (X & 1) ? (Row[X >> 1] & 0x0F) : (Row[X >> 1] >> 4);
}

void SetPackedPixel(uint8_t* Row, int X, int BitCountNum, int Value) {
  if (BitCountNum == pgbc1Bit) {
    uint8_t mask = uint8_t(0x80 >> (X & 7));
    Row[X >> 3] = uint8_t(Value ? (Row[X >> 3] | mask) : (Row[X >> 3] & ~mask));
  } else {
    uint8_t& b = Row[X >> 1];
    b = uint8_t((X & 1) ? ((b & 0xF0) | Value) : ((b & 0x0F) | (Value << 4)));
  }
}

void MirrorRow(const uint8_t* From, uint8_t* To, int Width, int BitCountNum) {
  switch (BitCountNum) {
    case pgbc24Bits:
      for (int x = 0; x < Width; ++x) std::memcpy(To + 3 * int64_t(x), From + 3 * (int64_t(Width) - 1 - x), 3);
      break;
    case pgbc8Bits:
      for (int x = 0; x < Width; ++x) To[x] = From[Width - 1 - x];
      break;
    default:
      for (int x = 0; x < Width; ++x) SetPackedPixel(To, x, BitCountNum, PackedPixel(From, Width - 1 - x, BitCountNum));
  }
}

}  // namespace

TPixelGraphic* MirroredPixelGraphic(TPixelGraphic* Source, bool Horizontal, bool Vertical) {
  TOwned<TPixelGraphic> result(New<TPixelGraphic>());
  int w = Source->GetWidth(), h = Source->GetHeight();
  if (w <= 0 || h <= 0) return result.release();
  result->NewImage(w, h, Source->GetBitCountNum());
  result->SetPaletteCount(Source->GetPaletteCount());
  for (int i = 0; i < Source->GetPaletteCount(); ++i) result->SetPaletteEntry(i, Source->GetPaletteEntry(i));
  int rowBytes = Source->GetRowSize();
  for (int y = 0; y < h; ++y) {
    const uint8_t* from = Source->ScanLine(Vertical ? h - 1 - y : y);
    uint8_t* to = result->ScanLine(y);
    if (Horizontal)
      MirrorRow(from, to, w, Source->GetBitCountNum());
    else
      std::memcpy(to, from, size_t(rowBytes));
  }
  return result.release();
}

}  // namespace imagelib
