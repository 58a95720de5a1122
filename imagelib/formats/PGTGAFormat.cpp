#include "imagelib/formats/PGTGAFormat.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/formats/PGByteSource.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGRowProgress.h"
#include "imagelib/formats/PGStreamInput.h"

namespace imagelib {

namespace {

constexpr int kHeaderSize = 18;
// Image types: the three kinds of pixels, each also run-length coded (the bit kRunLength).
enum : uint8_t { kColorMapped = 1, kTrueColor = 2, kBlackAndWhite = 3 };
constexpr uint8_t kRunLength = 8;
constexpr uint8_t kRightToLeft = 16;  // descriptor bits
constexpr uint8_t kTopToBottom = 32;
constexpr int kMaxPacket = 128;
const char* const kPrefix = "TGA: ";

[[noreturn]] void Refuse(const std::string& Text) { throw EPGTGAFileFormatReader(kPrefix + Text); }

struct TTGAHeader {
  int IDLength = 0, ColorMapType = 0, ImageType = 0, FirstEntry = 0, MapLength = 0, EntrySize = 0;
  int Width = 0, Height = 0, Depth = 0, Descriptor = 0;
  int MapCount = 0;  // the stored entries that become the palette

  bool RunLength() const { return ImageType & kRunLength; }
  int BytesPerPixel() const { return Depth / 8; }
  // Entries take whole bytes (15 bits take two).
  int64_t MapBytes() const { return int64_t(MapLength) * ((EntrySize + 7) / 8); }
};

// The header, checked; what loading refuses of it, the description refuses too.
TTGAHeader ReadHeader(TByteSource& Source) {
  uint8_t b[kHeaderSize];
  Source.Read(b, kHeaderSize);
  TTGAHeader h;
  h.IDLength = b[0];
  h.ColorMapType = b[1];
  h.ImageType = b[2];
  h.FirstEntry = GetLE16(b + 3);
  h.MapLength = GetLE16(b + 5);
  h.EntrySize = b[7];
  h.Width = GetLE16(b + 12);
  h.Height = GetLE16(b + 14);
  h.Depth = b[16];
  h.Descriptor = b[17];
  switch (h.ImageType) {
    case kColorMapped: case kTrueColor: case kBlackAndWhite: break;
    case kRunLength | kColorMapped: case kRunLength | kTrueColor: case kRunLength | kBlackAndWhite: break;
    default: Refuse(PGLangStrS1(pgmInvalidValueFor, "ImageType"));  // no image, or a coding that is not read
  }
  switch (h.Depth) {
    case 8: case 16: case 24: case 32: break;
    default: Refuse(PGLangStr(pgmNotSupportedSubformat));
  }
  if (h.Depth == 8 && h.ColorMapType == 1) {
    if (h.FirstEntry > h.MapLength) Refuse(PGLangStr(pgmNotSupportedSubformat));
    h.MapCount = h.MapLength - h.FirstEntry;
    if (h.MapCount > 0 && h.EntrySize != 16 && h.EntrySize != 24 && h.EntrySize != 32)
      Refuse(PGLangStr(pgmNotSupportedSubformat));
  }
  if (!ImageSizeWithinLimit(h.Width, h.Height, h.Depth == 8 ? 8 : 24))
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "CreateDIBSection"));
  return h;
}

// A pixel or map entry of 16, 24 or 32 bits as blue, green, red.
inline void ToBGR(const uint8_t* In, int Bytes, uint8_t* Out) {
  if (Bytes == 2) {
    const uint16_t w = GetLE16(In);  // 5-5-5; the top bit is not used
    Out[0] = uint8_t((w & 31) * 8);
    Out[1] = uint8_t(((w >> 5) & 31) * 8);
    Out[2] = uint8_t(((w >> 10) & 31) * 8);
  } else {
    Out[0] = In[0], Out[1] = In[1], Out[2] = In[2];  // the fourth byte (alpha) is dropped
  }
}

// Where a run-length packet stands between rows: packets may run on into the next row.
struct TPacket {
  int Left = 0;
  bool Repeat = false;
  uint8_t Pixel[4] = {};
};

void DecodeRow(TByteSource& Source, TPacket& P, uint8_t* Out, int64_t Pixels, int Bytes) {
  for (int64_t x = 0; x < Pixels;) {
    if (P.Left == 0) {
      const uint8_t h = Source.Next();
      P.Left = (h & (kMaxPacket - 1)) + 1;
      P.Repeat = h & kMaxPacket;
      if (P.Repeat) Source.Read(P.Pixel, Bytes);
    }
    const int64_t n = std::min<int64_t>(P.Left, Pixels - x);
    if (P.Repeat)
      for (int64_t i = 0; i < n; ++i) std::memcpy(Out + (x + i) * Bytes, P.Pixel, size_t(Bytes));
    else
      Source.Read(Out + x * Bytes, n * Bytes);
    x += n;
    P.Left -= int(n);
  }
}

// One row of file pixels into the picture's row, mirrored for right-to-left files.
void StoreRow(const uint8_t* In, uint8_t* Row, int64_t Width, int Bytes, bool Mirrored) {
  if (Bytes == 1) {
    if (Mirrored)
      std::reverse_copy(In, In + Width, Row);
    else
      std::memcpy(Row, In, size_t(Width));
    return;
  }
  uint8_t* out = Mirrored ? Row + 3 * (Width - 1) : Row;
  const int64_t step = Mirrored ? -3 : 3;
  for (int64_t x = 0; x < Width; ++x, In += Bytes, out += step) ToBGR(In, Bytes, out);
}

}  // namespace

TTGAFileFormatReader::TTGAFileFormatReader() {
  Extension = "tga";
  Description = "Truevision Targa";
}

void TTGAFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  CheckReadIndex<EPGTGAFileFormatReader>(Index, kPrefix);
  TByteSource source(Stream, kPrefix, RaiseEndOfFile<EPGTGAFileFormatReader>, TByteSource::kDataBlock);
  const TTGAHeader h = ReadHeader(source);
  source.Skip(h.IDLength);
  // The map entries from the first entry index on become the palette; the map is skipped whole
  // when it is not read.
  std::vector<TRGB> palette;
  if (h.MapCount > 0) {
    const int entryBytes = h.EntrySize / 8;
    source.Skip(int64_t(h.FirstEntry) * entryBytes);
    uint8_t e[4], bgr[3];
    for (int i = 0; i < h.MapCount; ++i) {
      source.Read(e, entryBytes);
      ToBGR(e, entryBytes, bgr);
      palette.push_back(MakeRGB(bgr[2], bgr[1], bgr[0]));
    }
  } else {
    source.Skip(h.MapBytes());
  }

  const int bytes = h.BytesPerPixel();
  const int64_t width = h.Width, pixels = width * h.Height;
  source.EnsureHolds(h.RunLength() ? (pixels + kMaxPacket - 1) / kMaxPacket * (1 + bytes) : pixels * bytes);
  Graphic->NewImage(h.Width, h.Height, h.Depth == 8 ? pgbc8Bits : pgbc24Bits);
  if (h.Depth == 8 && palette.empty()) {
    Graphic->SetPaletteIdent(pGray256);
  } else if (h.Depth == 8) {
    const int count = std::min<int>(256, int(palette.size()));
    Graphic->SetPaletteCount(count);
    for (int i = 0; i < count; ++i) Graphic->SetPaletteEntry(i, palette[size_t(i)]);
  }
  if (h.Height <= 0) return;

  const bool topDown = h.Descriptor & kTopToBottom, mirrored = h.Descriptor & kRightToLeft;
  // Rows the picture stores as the file does are read straight into it.
  const bool direct = !h.RunLength() && (bytes == 1 || bytes == 3) && !mirrored;
  std::vector<uint8_t> buffer(size_t(std::max<int64_t>(width * bytes, 1)));
  TPacket packet;
  // Rows left when a handler asks to stop stay as they are, and that is no error.
  ForEachRowWithProgress(Graphic, this, h.Height, true, [&](int r) {
    uint8_t* row = Graphic->ScanLine(topDown ? r : h.Height - 1 - r);
    if (direct) {
      if (row) source.Read(row, width * bytes);
      return;
    }
    if (h.RunLength())
      DecodeRow(source, packet, buffer.data(), width, bytes);
    else
      source.Read(buffer.data(), width * bytes);
    if (row) StoreRow(buffer.data(), row, width, bytes, mirrored);
  });
}

void TTGAFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  CheckInfoIndex<EPGTGAFileFormatReader>(Index, kPrefix);
  TByteSource source(Stream, kPrefix, RaiseEndOfFile<EPGTGAFileFormatReader>);
  const TTGAHeader h = ReadHeader(source);
  Info1 = h.RunLength() ? "Run-length encoded" : "Uncompressed";
  switch (h.ImageType & ~kRunLength) {
    case kColorMapped: Info2 = "Color-mapped"; break;
    case kTrueColor: Info2 = "True-color"; break;
    default: Info2 = "\"Black-and-white\"";
  }
  Width = h.Width;
  Height = h.Height;
  BitCount = h.Depth;
  Colors = BitCount <= 23 ? std::to_string(1 << BitCount) : BitCount == 24 ? "16.7M" : "16.7M ?";
}

TTGAFileFormatWriter::TTGAFileFormatWriter() {
  Extension = "tga";
  Description = "Truevision Targa";
  CanWriteResolutions = ColorResolutionBit(pgcr256Colors) | ColorResolutionBit(pgcrTrueColor);
}

void TTGAFileFormatWriter::Write(TStream* Stream, TPixelGraphic* Graphic) {
  // Nothing is written of a picture the file cannot describe.
  const int bits = Graphic->GetBitCount(), width = Graphic->GetWidth(), height = Graphic->GetHeight();
  if (bits != 8 && bits != 24) throw EPixelGraphic(kPrefix + PGLangStr(pgmInvalidColorResolution));
  if (width > 0xFFFF) throw EPixelGraphic(kPrefix + PGLangStrS1(pgmInvalid, "Width"));
  if (height > 0xFFFF) throw EPixelGraphic(kPrefix + PGLangStrS1(pgmInvalid, "Height"));

  const int colors = bits == 8 ? std::min(Graphic->GetPaletteCount(), 0xFFFF) : 0;
  std::vector<uint8_t> head(size_t(kHeaderSize + 3 * colors), 0);
  uint8_t* h = head.data();
  h[2] = bits == 24 ? kTrueColor : kColorMapped;
  if (bits == 8) {
    h[1] = 1;
    PutLE16(h + 5, uint32_t(colors));
    h[7] = 24;
  }
  PutLE16(h + 12, uint32_t(width));
  PutLE16(h + 14, uint32_t(height));
  h[16] = uint8_t(bits);
  for (int i = 0; i < colors; ++i) {
    const TRGB c = Graphic->GetPaletteEntry(i);
    uint8_t* e = h + kHeaderSize + 3 * i;
    e[0] = uint8_t(RGBBlue(c)), e[1] = uint8_t(RGBGreen(c)), e[2] = uint8_t(RGBRed(c));
  }
  Stream->WriteBuffer(head.data(), int64_t(head.size()));
  if (height <= 0) return;

  const int64_t rowBytes = int64_t(width) * (bits / 8);
  // The bottom row first, as the descriptor of 0 says.
  ForEachRowWithProgress(Graphic, Graphic, height, false, [&](int r) {
    if (rowBytes > 0) Stream->WriteBuffer(Graphic->ScanLine(height - 1 - r), rowBytes);
  });
}

}  // namespace imagelib
