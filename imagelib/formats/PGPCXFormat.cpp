#include "imagelib/formats/PGPCXFormat.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGByteSource.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGRowProgress.h"
#include "imagelib/formats/PGStreamInput.h"

namespace imagelib {

namespace {

constexpr int kHeaderSize = 128;
constexpr int kPaletteBytes = 769;  // the marker, then 256 entries of red, green, blue
constexpr uint8_t kPaletteMarker = 12;
constexpr uint8_t kRunCode = 0xC0;  // a byte at or above it counts the repeats of the next byte
constexpr int kMaxRun = 63;
const char* const kPrefix = "PCX: ";

[[noreturn]] void Refuse(const std::string& Text) { throw EPGPCXFileFormatReader(kPrefix + Text); }
[[noreturn]] void UnknownSubformat() { Refuse(PGLangStr(pgmUnknownSubformat)); }

struct TPCXHeader {
  int Version = 0, BitsPerPixel = 0, Planes = 0;
  int64_t Width = 0, Height = 0, BytesPerLine = 0;
  uint8_t Colormap[48] = {};
  int BitCountNum = -1;  // -1 for a combination of bits and planes that is not read

  int64_t LineSize() const { return Planes * BytesPerLine; }
};

int BitCountNumOf(int Bits, int Planes) {
  if (Bits == 1 && Planes == 1) return pgbc1Bit;
  if (Bits == 1 && Planes == 4) return pgbc4Bits;
  if (Bits == 8 && Planes == 1) return pgbc8Bits;
  if (Bits == 8 && Planes == 3) return pgbc24Bits;
  return -1;
}

// The header, checked. For the combinations a picture is made for, a size the picture could not
// have, or lines too short for the width, are refused here, for loading and description alike.
TPCXHeader ReadHeader(TStream* Stream) {
  uint8_t b[kHeaderSize];
  ReadExact<EPGPCXFileFormatReader>(Stream, b, kHeaderSize, kPrefix);
  if (GetLE16(b + 68) != 1 || b[64] != 0) UnknownSubformat();  // PaletteInfo, Reserved
  TPCXHeader h;
  h.Version = b[1];
  h.BitsPerPixel = b[3];
  h.Planes = b[65];
  h.Width = int64_t(int16_t(GetLE16(b + 8))) - int16_t(GetLE16(b + 4)) + 1;
  h.Height = int64_t(int16_t(GetLE16(b + 10))) - int16_t(GetLE16(b + 6)) + 1;
  h.BytesPerLine = GetLE16(b + 66);
  std::memcpy(h.Colormap, b + 16, sizeof h.Colormap);
  h.BitCountNum = BitCountNumOf(h.BitsPerPixel, h.Planes);
  if (h.BitCountNum < 0) return h;
  if (h.Width < 0) throw EPGInvalidSize(PGLangStr(pgmNegativeWidth));
  if (h.Height < 0) throw EPGInvalidSize(PGLangStr(pgmNegativeHeight));
  const int64_t planeBytes = h.BitsPerPixel == 1 ? (h.Width + 7) / 8 : h.Width;
  if (h.BytesPerLine < planeBytes) UnknownSubformat();
  static const int kBitCounts[] = {1, 4, 8, 24};
  if (!ImageSizeWithinLimit(h.Width, h.Height, kBitCounts[h.BitCountNum]))
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "CreateDIBSection"));
  return h;
}

// The fewest coded bytes a line of Size bytes takes: runs of at most 63 in two bytes each.
int64_t MinCodedLine(int64_t Size) { return 2 * (Size / kMaxRun) + std::min<int64_t>(Size % kMaxRun, 2); }

// The 256 colours behind the marker byte at the end of the stream; the position is the same
// afterwards. Refused without the marker, or when the end lies inside the header.
void ReadEndPalette(TStream* Stream, uint8_t (&Palette)[kPaletteBytes]) {
  const int64_t here = Stream->GetPosition(), at = Stream->GetSize() - kPaletteBytes;
  if (at < here) UnknownSubformat();
  Stream->Seek(at, soBeginning);
  const int64_t got = ReadFully(Stream, Palette, kPaletteBytes);
  Stream->Seek(here, soBeginning);
  if (got < kPaletteBytes || Palette[0] != kPaletteMarker) UnknownSubformat();
}

// One line: a run that reaches past its end is cut there, the next line begins with a fresh code.
void DecodeLine(TByteSource& Source, uint8_t* Line, int64_t Size) {
  int64_t i = 0;
  while (i < Size) {
    uint8_t b = Source.Next();
    if (b < kRunCode) {
      Line[i++] = b;
      continue;
    }
    const int64_t count = b - kRunCode;
    b = Source.Next();
    std::memset(Line + i, b, size_t(std::min(count, Size - i)));
    i += count;
  }
}

void StoreLine(const TPCXHeader& H, const uint8_t* Line, uint8_t* Row, int64_t RowSize) {
  const int64_t width = H.Width, bpl = H.BytesPerLine;
  switch (H.BitCountNum) {
    case pgbc1Bit: {
      const int64_t n = std::min(H.LineSize(), RowSize);
      std::memcpy(Row, Line, size_t(n));
      // Only the pixels inside the width are kept of the last byte (none of a padding byte).
      if (width / 8 < n) Row[width / 8] = uint8_t(Line[width / 8] & uint8_t(0xFF << (8 - width % 8)));
      break;
    }
    case pgbc4Bits:  // four 1-bit planes make the four bits of a pixel
      for (int64_t x = 0; x < width; ++x) {
        const int64_t j = x >> 3;
        const int s = 7 - int(x & 7);
        const int v = ((Line[j] >> s) & 1) | (((Line[bpl + j] >> s) & 1) << 1) | (((Line[2 * bpl + j] >> s) & 1) << 2) |
                      (((Line[3 * bpl + j] >> s) & 1) << 3);
        uint8_t& b = Row[x >> 1];
        b = (x & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | (v << 4));
      }
      break;
    case pgbc8Bits: std::memcpy(Row, Line, size_t(width)); break;
    default:  // planes red, green, blue into blue, green, red pixels
      for (int64_t x = 0; x < width; ++x, Row += 3) {
        Row[0] = Line[2 * bpl + x];
        Row[1] = Line[bpl + x];
        Row[2] = Line[x];
      }
  }
}

}  // namespace

TPCXFileFormatReader::TPCXFileFormatReader() {
  Extension = "pcx";
  Description = "Paintbrush";
  HasSignature = true;
}

bool TPCXFileFormatReader::CheckSignature(const TFileFormatHeader& Header) { return Header[0] == 0x0A; }

void TPCXFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  CheckReadIndex<EPGPCXFileFormatReader>(Index, kPrefix);
  Graphic->SetGamma(PGDisplayGamma);
  Graphic->SetHeight(0);  // a file refused below leaves an empty picture
  const TPCXHeader h = ReadHeader(Stream);
  if (h.BitCountNum < 0) UnknownSubformat();

  TStream* in = Stream;
  std::unique_ptr<TKnownSizeStream> known;
  uint8_t palette[kPaletteBytes];
  if (h.BitCountNum == pgbc8Bits) {
    // The palette is found from the end, which a stream that cannot tell its size has to be read to.
    known = std::make_unique<TKnownSizeStream>(Stream, PGMaxImageSize);
    in = known->Get();
    ReadEndPalette(in, palette);
  }
  const int64_t lineSize = h.LineSize();
  TByteSource source(in, kPrefix, RaiseEndOfFile<EPGPCXFileFormatReader>, TByteSource::kDataBlock);
  source.EnsureHolds(h.Height * MinCodedLine(lineSize));

  Graphic->NewImage(int(h.Width), int(h.Height), h.BitCountNum);
  switch (h.BitCountNum) {
    case pgbc1Bit:  // black and white, whatever the header's colours say
      Graphic->SetPaletteCount(2);
      Graphic->SetPaletteEntry(0, MakeRGB(0, 0, 0));
      Graphic->SetPaletteEntry(1, MakeRGB(255, 255, 255));
      break;
    case pgbc4Bits:
      if (h.Version == 3) {
        Graphic->SetPaletteIdent(pSys16);
        break;
      }
      Graphic->SetPaletteCount(16);
      for (int i = 0; i < 16; ++i)
        Graphic->SetPaletteEntry(i, MakeRGB(h.Colormap[3 * i], h.Colormap[3 * i + 1], h.Colormap[3 * i + 2]));
      break;
    case pgbc8Bits:
      Graphic->SetPaletteCount(256);
      for (int i = 0; i < 256; ++i)
        Graphic->SetPaletteEntry(i, MakeRGB(palette[1 + 3 * i], palette[2 + 3 * i], palette[3 + 3 * i]));
      break;
    default: break;
  }

  std::vector<uint8_t> line(size_t(std::max<int64_t>(lineSize, 1)));
  // Rows left when a handler asks to stop stay as the new picture made them.
  ForEachRowWithProgress(Graphic, this, Graphic->GetHeight(), true, [&](int y) {
    DecodeLine(source, line.data(), lineSize);
    if (uint8_t* row = Graphic->ScanLine(y)) StoreLine(h, line.data(), row, Graphic->GetRowSize());
  });
}

void TPCXFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  CheckInfoIndex<EPGPCXFileFormatReader>(Index, kPrefix);
  // Combinations that loading refuses are described all the same.
  const TPCXHeader h = ReadHeader(Stream);
  BitCount = h.BitsPerPixel * h.Planes;
  Width = int(h.Width);
  Height = int(h.Height);
  switch (h.Version) {
    case 0: Info1 = "Version 2.5 (0)"; break;
    case 2: Info1 = "Version 2.8 (2) with Palette"; break;
    case 3: Info1 = "Version 2.8 (3) without Palette"; break;
    case 5: Info1 = "Version 3.0 (5)"; break;
    default: break;
  }
  if (BitCount == 24)
    Colors = "16.7M";
  else if (BitCount < 64)
    Colors = std::to_string(uint64_t(1) << BitCount);
  else
    UnknownSubformat();  // 2 to such a power has no number to show
}

}  // namespace imagelib
