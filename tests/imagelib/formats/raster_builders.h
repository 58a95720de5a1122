// Byte builders for Paintbrush, Targa and portable bitmap files, field by field, and the helpers
// their tests share: pictures made from a colour function, and pictures read back as colours.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/bmp_builder.h"

namespace rastertest {

using namespace imagelib;
using bmptest::Put16;
using streamtest::ByteStream;
using streamtest::Bytes;

inline Bytes Text(const std::string& S) { return Bytes(S.begin(), S.end()); }
inline Bytes operator+(Bytes A, const Bytes& B) {
  A.insert(A.end(), B.begin(), B.end());
  return A;
}

// Every pixel's colour, top row first.
inline std::vector<TRGB> Colors(TPixelGraphic* P) {
  std::vector<TRGB> c;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) c.push_back(P->GetPixelColor(x, y));
  return c;
}
inline std::vector<TRGB> Colors(int W, int H, const std::function<TRGB(int, int)>& F) {
  std::vector<TRGB> c;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) c.push_back(F(x, y));
  return c;
}

// What a reader makes of a file: the picture, or the class and text of its refusal.
struct Loaded {
  TOwned<TPixelGraphic> Picture{New<TPixelGraphic>()};
  std::string Refusal;
};
inline Loaded Load(TFileFormatReader&& Reader, const Bytes& File, int Index = 0) {
  Loaded l;
  ByteStream s(File);
  try {
    Reader.Read(&s, l.Picture.get(), Index);
  } catch (const EPixelGraphic& e) {
    l.Refusal = e.ClassName() + ": " + e.Message();
  }
  return l;
}

struct Info {
  std::string Info1, Info2, Colors, Refusal;
  int Width = -1, Height = -1, BitCount = -1, ImageCount = -1;
};
inline Info Describe(TFileFormatReader&& Reader, const Bytes& File, int Index = 0) {
  Info i;
  ByteStream s(File);
  try {
    Reader.GetInfo(&s, Index, i.Info1, i.Info2, i.Width, i.Height, i.Colors, i.BitCount, i.ImageCount);
  } catch (const EPixelGraphic& e) {
    i.Refusal = e.ClassName() + ": " + e.Message();
  }
  return i;
}

// A colour per pixel with many distinct values.
inline TRGB Pattern(int X, int Y) { return MakeRGB(X * 7 & 255, Y * 12 & 255, (X * Y * 5 ^ 0x5A) & 255); }

// ---- Paintbrush

// The 128-byte header; the colour map holds entry i = (16 i, 255 - 16 i, 8 i).
inline Bytes PCXHeader(int Bits, int Planes, int Width, int Height, int BytesPerLine, int Version = 5) {
  Bytes b(128, 0);
  b[0] = 0x0A, b[1] = uint8_t(Version), b[2] = 1, b[3] = uint8_t(Bits);
  b[4] = 3, b[6] = 2;  // Xmin 3, Ymin 2
  b[8] = uint8_t(Width + 2), b[9] = uint8_t((Width + 2) >> 8), b[10] = uint8_t(Height + 1), b[11] = uint8_t((Height + 1) >> 8);
  for (int i = 0; i < 16; ++i) b[16 + 3 * i] = uint8_t(16 * i), b[17 + 3 * i] = uint8_t(255 - 16 * i), b[18 + 3 * i] = uint8_t(8 * i);
  b[65] = uint8_t(Planes), b[66] = uint8_t(BytesPerLine), b[67] = uint8_t(BytesPerLine >> 8), b[68] = 1;
  return b;
}

// A line coded as the format allows: runs of equal bytes as count and value, other bytes alone
// (those at or above $C0 as runs of one).
inline Bytes PCXCode(const Bytes& Line) {
  Bytes out;
  for (size_t i = 0; i < Line.size();) {
    size_t n = 1;
    while (i + n < Line.size() && n < 63 && Line[i + n] == Line[i]) ++n;
    if (n > 1 || Line[i] >= 0xC0) out.push_back(uint8_t(0xC0 + n));
    out.push_back(Line[i]);
    i += n;
  }
  return out;
}

constexpr int kPCXWidth = 13, kPCXHeight = 5;
inline int PCXIndexAt(int X, int Y, int Levels) { return (X * 3 + Y * 5) % Levels; }
inline TRGB PCXEndPaletteEntry(int I) { return MakeRGB(I, 255 - I, I * 3 & 255); }

// A 13 x 5 file of the kind, each line coded by itself: pixel (x, y) has PCXIndexAt, or Pattern at
// 24 bits. 8-bit files end in their palette of PCXEndPaletteEntry.
inline Bytes PCXFile(int Bits, int Planes, int Version = 5) {
  const int w = kPCXWidth, bpl = Bits == 1 ? ((w + 7) / 8 + 1) & ~1 : w + 1;  // even, as writers round it
  Bytes file = PCXHeader(Bits, Planes, w, kPCXHeight, bpl, Version);
  for (int y = 0; y < kPCXHeight; ++y) {
    Bytes line(size_t(bpl * Planes), 0);
    for (int x = 0; x < w; ++x)
      for (int k = 0; k < Planes; ++k) {
        if (Bits == 8)
          line[size_t(k * bpl + x)] = uint8_t(Planes == 1 ? PCXIndexAt(x, y, 256) : Pattern(x, y) >> (8 * k));
        else if (PCXIndexAt(x, y, 1 << Planes) >> k & 1)
          line[size_t(k * bpl + x / 8)] |= uint8_t(0x80 >> (x % 8));
      }
    file = file + PCXCode(line);
  }
  if (Bits == 8 && Planes == 1) {
    file.push_back(12);
    for (int i = 0; i < 256; ++i) {
      const TRGB c = PCXEndPaletteEntry(i);
      file = file + Bytes{uint8_t(RGBRed(c)), uint8_t(RGBGreen(c)), uint8_t(RGBBlue(c))};
    }
  }
  return file;
}

// ---- Targa

struct TGA {
  uint8_t IDLength = 0, MapType = 0, ImageType = 2, EntrySize = 0, Depth = 24, Descriptor = 0;
  uint16_t FirstEntry = 0, MapLength = 0, Width = 0, Height = 0;
  Bytes Header() const {
    Bytes b{IDLength, MapType, ImageType};
    Put16(b, FirstEntry), Put16(b, MapLength), b.push_back(EntrySize);
    Put16(b, 0), Put16(b, 0), Put16(b, Width), Put16(b, Height);
    b.push_back(Depth), b.push_back(Descriptor);
    return b;
  }
};

// Pixels of Bytes bytes each as run-length packets of up to 128 that run across rows: repeats for
// equal neighbours, literal packets for the rest.
inline Bytes TGACode(const Bytes& Pixels, int Bytes_) {
  Bytes out;
  const size_t n = Pixels.size() / size_t(Bytes_);
  auto same = [&](size_t a, size_t b) {
    return std::equal(Pixels.begin() + long(a * Bytes_), Pixels.begin() + long((a + 1) * Bytes_), Pixels.begin() + long(b * Bytes_));
  };
  for (size_t i = 0; i < n;) {
    size_t k = 1;
    if (i + 1 < n && same(i, i + 1)) {
      while (i + k < n && k < 128 && same(i, i + k)) ++k;
      out.push_back(uint8_t(0x80 | (k - 1)));
      out.insert(out.end(), Pixels.begin() + long(i * Bytes_), Pixels.begin() + long((i + 1) * Bytes_));
    } else {
      while (i + k < n && k < 128 && !(i + k + 1 < n && same(i + k, i + k + 1))) ++k;
      out.push_back(uint8_t(k - 1));
      out.insert(out.end(), Pixels.begin() + long(i * Bytes_), Pixels.begin() + long((i + k) * Bytes_));
    }
    i += k;
  }
  return out;
}

}  // namespace rastertest
