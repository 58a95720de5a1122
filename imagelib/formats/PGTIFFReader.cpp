#include <algorithm>
#include <cstring>

#include "classlib/msgbox.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGRowProgress.h"
#include "imagelib/formats/PGStreamInput.h"
#include "imagelib/formats/PGTIFFormat.h"

namespace imagelib {

namespace {

const char* const kPrefix = "TIFF: ";
constexpr uint32_t kNone = 1, kPackBits = 32773;
constexpr int kCacheSize = 4096;

enum : uint16_t {
  tagNewSubfileType = 254, tagImageWidth = 256, tagImageLength = 257, tagBitsPerSample = 258, tagCompression = 259,
  tagPhotometric = 262, tagStripOffsets = 273, tagSamplesPerPixel = 277, tagRowsPerStrip = 278,
  tagStripByteCounts = 279, tagPlanarConfiguration = 284, tagColorMap = 320
};
enum : uint32_t { piWhiteIsZero = 0, piBlackIsZero = 1, piRGB = 2, piPalette = 3, piSeparated = 5 };

[[noreturn]] void Refuse(const std::string& Text) { throw EPGTIFFileFormatReader(kPrefix + Text); }
[[noreturn]] void Invalid(const std::string& What) { Refuse(PGLangStrS1(pgmInvalid, What)); }
// Data that lie beyond the end of the stream fail as a short read of the stream would.
[[noreturn]] void PastTheEnd() { throw EReadError("Stream read error"); }

const std::string kStripCountText = "NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip";
// The reader's own texts are English whatever the language; only those of message 7 follow it.
const char* const kNotTIF = "Not a TIF file";

// One call's view of the file: where it starts, how much of it there is, its byte order and the
// entries of the directory that was loaded. Nothing of it outlives the call.
class TTIFFParser {
 public:
  explicit TTIFFParser(TStream* Stream) : FStream(Stream) {}

  // Reads the header and directory Index (0 = the first) into Info; ImageCount gets the number
  // of images of the file when they are counted, else 1.
  void ReadIFD(int Index, int& ImageCount, TTIFFImageInfo& Info);
  bool GetIntel() const { return FIntel; }
  int64_t GetFileStart() const { return FFileStart; }
  // Bytes of the file from its start to the end of the stream.
  int64_t GetAvailable() const { return FAvailable; }
  TStream* GetStream() const { return FStream; }

 private:
  uint16_t Get16(const uint8_t* P) const { return FIntel ? GetLE16(P) : GetBE16(P); }
  uint32_t Get32(const uint8_t* P) const { return FIntel ? GetLE32(P) : GetBE32(P); }
  // Count bytes at file offset Offset; beyond the end fails before anything is read.
  void ReadAt(int64_t Offset, void* Buffer, int64_t Count) {
    if (Offset < 0 || Count < 0 || Offset > FAvailable || Count > FAvailable - Offset) PastTheEnd();
    FStream->Seek(FFileStart + Offset, soBeginning);
    FStream->ReadBuffer(Buffer, Count);
  }
  uint32_t GetFieldValue(uint16_t Tag) const;
  void GetFieldArray(uint16_t Tag, std::vector<uint32_t>& Values);

  TStream* FStream;
  int64_t FFileStart = 0, FAvailable = 0;
  bool FIntel = true;
  std::vector<TTIFFIFDEntry> FEntries;
};

int ElementSize(uint16_t FieldType) {
  switch (FieldType) {
    case 1: return 1;
    case 3: return 2;
    case 4: return 4;
    default: Refuse("Unsupported field Type: " + std::to_string(FieldType));
  }
}

uint32_t TTIFFParser::GetFieldValue(uint16_t Tag) const {
  uint32_t value = 0;
  for (const TTIFFIFDEntry& e : FEntries) {
    if (e.Tag != Tag) continue;
    switch (ElementSize(e.FieldType)) {
      case 1: value = e.Value[0]; break;
      case 2: value = Get16(e.Value); break;
      default: value = Get32(e.Value);
    }
  }
  return value;
}

void TTIFFParser::GetFieldArray(uint16_t Tag, std::vector<uint32_t>& Values) {
  for (const TTIFFIFDEntry& e : FEntries) {
    if (e.Tag != Tag) continue;
    const int size = ElementSize(e.FieldType);
    Values.clear();  // a later entry replaces an earlier one, also by nothing
    if (e.Count == 0) continue;
    const int64_t bytes = int64_t(e.Count) * size;
    std::vector<uint8_t> raw;
    const uint8_t* at = e.Value;
    if (bytes > 4) {
      // The stream must hold the values before they get memory.
      const int64_t offset = Get32(e.Value);
      if (offset > FAvailable || bytes > FAvailable - offset) PastTheEnd();
      raw.resize(size_t(bytes));
      ReadAt(offset, raw.data(), bytes);
      at = raw.data();
    }
    Values.resize(e.Count);
    for (uint32_t i = 0; i < e.Count; ++i, at += size)
      Values[i] = size == 1 ? *at : size == 2 ? Get16(at) : Get32(at);
  }
}

void TTIFFParser::ReadIFD(int Index, int& ImageCount, TTIFFImageInfo& Info) {
  FFileStart = FStream->GetPosition();
  FAvailable = std::max<int64_t>(FStream->GetSize() - FFileStart, 0);
  uint8_t head[8];
  FStream->ReadBuffer(head, 2);
  if (!(head[0] == head[1] && (head[0] == 'I' || head[0] == 'M'))) Refuse(kNotTIF);
  FIntel = head[0] == 'I';
  FStream->ReadBuffer(head + 2, 2);
  if (Get16(head + 2) != 42) Refuse(kNotTIF);
  FStream->ReadBuffer(head + 4, 4);
  const uint32_t first = Get32(head + 4);

  // The chain is walked only when the images are counted; one that leaves the stream or runs on
  // past the limit (which also ends a chain that loops) counts as a single image.
  int64_t chosen = first;
  int count = 1;
  if (Index < 0) Invalid("Index");
  if (PGTIFFCountImages) {
    count = 0;
    bool broken = false;
    for (int64_t o = first; o != 0;) {
      if (count == Index) chosen = o;
      uint8_t b[4];
      if (o + 2 > FAvailable) {
        broken = true;
        break;
      }
      ReadAt(o, b, 2);
      const int64_t next = o + 2 + 12 * int64_t(Get16(b));
      if (next + 4 > FAvailable) {
        broken = true;
        break;
      }
      ReadAt(next, b, 4);
      o = Get32(b);
      if (++count > PGTIFFMaxImages) {
        broken = true;
        break;
      }
    }
    if (broken) count = 1, chosen = first;
  }
  if (count - 1 < Index) Invalid("Index");
  ImageCount = count;

  uint8_t b[12];
  ReadAt(chosen, b, 2);
  const int n = Get16(b);
  std::vector<uint8_t> raw(size_t(12) * n);
  ReadAt(chosen + 2, raw.data(), int64_t(raw.size()));
  FEntries.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    const uint8_t* e = raw.data() + 12 * i;
    TTIFFIFDEntry& entry = FEntries[size_t(i)];
    entry.Tag = Get16(e);
    entry.FieldType = Get16(e + 2);
    entry.Count = Get32(e + 4);
    std::memcpy(entry.Value, e + 8, 4);
  }

  Info.PlanarConfiguration = GetFieldValue(tagPlanarConfiguration);
  if (Info.PlanarConfiguration > 1) Invalid("PlanarConfiguration");  // separate planes
  Info.NewSubfileType = GetFieldValue(tagNewSubfileType);
  Info.ImageWidth = GetFieldValue(tagImageWidth);
  Info.ImageLength = GetFieldValue(tagImageLength);
  Info.Compression = GetFieldValue(tagCompression);
  Info.PhotometricInterpretation = GetFieldValue(tagPhotometric);
  Info.SamplesPerPixel = GetFieldValue(tagSamplesPerPixel);
  const uint32_t spp = Info.SamplesPerPixel, pi = Info.PhotometricInterpretation;
  if (spp != 1 && spp != 3 && spp != 4) Refuse("Invalid SamplesPerPixel");
  GetFieldArray(tagBitsPerSample, Info.BitsPerSample);
  const std::vector<uint32_t>& bps = Info.BitsPerSample;
  if (bps.size() != spp) Refuse("Invalid count of SamplesPerPixel");
  const bool all8 = std::all_of(bps.begin(), bps.end(), [](uint32_t v) { return v == 8; });
  const bool accepted = spp == 1   ? (pi == piWhiteIsZero || pi == piBlackIsZero || pi == piPalette) &&
                                       (bps[0] == 1 || bps[0] == 4 || bps[0] == 8)
                        : spp == 3 ? pi == piRGB && all8
                                   : (pi == piRGB || pi == piSeparated) && all8;
  if (!accepted) Refuse("Invalid SamplesPerPixel");
  GetFieldArray(tagStripOffsets, Info.StripOffsets);
  Info.RowsPerStrip = GetFieldValue(tagRowsPerStrip);
  if (Info.RowsPerStrip == 0) {
    if (Info.StripOffsets.size() != 1) Refuse("Invalid RowsPerStrip");
    Info.RowsPerStrip = Info.ImageLength;
    if (Info.RowsPerStrip == 0) Refuse("Invalid RowsPerStrip");  // strips of no rows
  }
  GetFieldArray(tagStripByteCounts, Info.StripByteCounts);
  GetFieldArray(tagColorMap, Info.ColorMap);
  // Sizes the picture's integers cannot hold.
  if (Info.ImageWidth > 0x7FFFFFFF) Invalid("ImageWidth");
  if (Info.ImageLength > 0x7FFFFFFF) Invalid("ImageLength");
}

// PackBits data come through a window of the stream, refilled wherever a byte falls outside it.
class TPackBitsCache {
 public:
  explicit TPackBitsCache(const TTIFFParser& Parser) : FParser(Parser) {}

  uint8_t Byte(int64_t P) {
    if (P < FStart || P >= FStart + FLength) Refill(P);
    return FData[P - FStart];
  }
  // Count bytes from P on into Dest.
  void Copy(int64_t P, uint8_t* Dest, int64_t Count) {
    while (Count > 0) {
      if (P < FStart || P >= FStart + FLength) Refill(P);
      const int64_t n = std::min(Count, FStart + FLength - P);
      std::memcpy(Dest, FData + (P - FStart), size_t(n));
      Dest += n, P += n, Count -= n;
    }
  }

 private:
  void Refill(int64_t P) {
    const int64_t want = std::min<int64_t>(kCacheSize, FParser.GetAvailable() - P);
    FLength = 0;
    if (want <= 0) PastTheEnd();  // no stale bytes: they could repeat forever
    FParser.GetStream()->Seek(FParser.GetFileStart() + P, soBeginning);
    FLength = ReadFully(FParser.GetStream(), FData, want);
    FStart = P;
    if (FLength <= 0) PastTheEnd();
  }

  const TTIFFParser& FParser;
  uint8_t FData[kCacheSize];
  int64_t FStart = 0, FLength = 0;
};

// The smallest number of file bytes a row of RowBytes bytes takes.
int64_t LeastRowBytes(uint32_t Compression, int64_t RowBytes) {
  return Compression == kNone ? RowBytes : 2 * ((RowBytes + 127) / 128);  // repeat packets of 128
}

void ShowStripWarning(TPGWarningAction Action) {
  const std::string text = kPrefix + kStripCountText;
  switch (Action) {
    case pgwaIgnore: return;
    case pgwaOKBox: ApplicationMessageBox(text, "TIFF-Warning", MB_OK | MB_ICONWARNING); return;
    case pgwaOKCancelBox:
      if (ApplicationMessageBox(text, "TIFF-Warning", MB_OKCANCEL | MB_ICONWARNING) == IDOK) return;
      throw EPGTIFFileFormatReader(text);
    default: throw EPGTIFFileFormatReader(text);
  }
}

}  // namespace

TTIFFileFormatReader::TTIFFileFormatReader() {
  Extension = "tif";
  Description = "Tagged Image File Format";
  HasSignature = true;
}

TTIFFFileFormatReader::TTIFFFileFormatReader() { Extension = "tiff"; }

bool TTIFFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  return (Header[0] == 'I' && Header[1] == 'I' && Header[2] == 42 && Header[3] == 0) ||
         (Header[0] == 'M' && Header[1] == 'M' && Header[2] == 0 && Header[3] == 42);
}

void TTIFFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  // Offsets point anywhere in the file: a stream that cannot tell its size is read into memory
  // (as far as it goes) so that every offset can be checked against the data.
  TKnownSizeStream known(Stream, PGMaxImageSize);
  TTIFFParser parser(known.Get());
  TTIFFImageInfo info;
  int images = 0;
  parser.ReadIFD(Index, images, info);

  switch (info.Compression) {
    case kNone: case kPackBits: break;
    case 2: Refuse("Unsupported compression CCITT 1D");
    case 3: Refuse("Unsupported compression Group 3 Fax");
    case 4: Refuse("Unsupported compression Group 4 Fax");
    case 5: Refuse("Unsupported compression LZW");
    case 6: Refuse("Unsupported compression JPEG");
    default: Refuse("Unsupported compression " + std::to_string(info.Compression));
  }

  const int64_t length = info.ImageLength, width = info.ImageWidth;
  int64_t rowsPerStrip = info.RowsPerStrip;
  const size_t strips = info.StripOffsets.size();
  if ((length + rowsPerStrip - 1) / rowsPerStrip != int64_t(strips)) {
    // Only a single strip can be read whatever the row count says: as the whole picture.
    if (strips != 1) Refuse(kStripCountText);
    ShowStripWarning(Graphic->GetReadWarningAction());
    rowsPerStrip = std::max<int64_t>(length, 1);
  }

  const uint32_t spp = info.SamplesPerPixel, bits = info.BitsPerSample[0], pi = info.PhotometricInterpretation;
  const int64_t pixelBits = int64_t(bits) * spp, rowBytes = (pixelBits * width + 7) / 8;
  // The strips must hold their rows (at their smallest when coded) before the picture gets memory:
  // each one from its offset, and all of them together, since strips do not share their bytes.
  const int64_t least = LeastRowBytes(info.Compression, rowBytes), available = parser.GetAvailable();
  int64_t total = 0;
  for (size_t s = 0; s < strips && least > 0; ++s) {
    const int64_t rows = std::min<int64_t>(rowsPerStrip, length - int64_t(s) * rowsPerStrip);
    if (rows <= 0) break;
    const int64_t offset = info.StripOffsets[s];
    if (offset > available || rows > (available - offset) / least) PastTheEnd();
    total += rows * least;
    if (total > available) PastTheEnd();
  }

  Graphic->NewImage(int(width), int(length), spp == 1 ? TPixelGraphic::BitCountToNum(int(bits)) : pgbc24Bits);
  if (bits == 1 && spp == 1) {
    Graphic->SetPaletteIdent(pBlackWhite);
  } else if (spp == 1) {
    const char* unsupported = bits == 4 ? "Unsupported 4 Bits/Pixel" : "Unsupported 8 Bits/Pixel";
    if (pi == piWhiteIsZero || pi == piBlackIsZero) {
      Graphic->SetPaletteIdent(bits == 4 ? pGray16 : pGray256);
    } else if (pi == piPalette) {
      // Reds, greens and blues of P entries each; the picture keeps no more than its bits address.
      const int64_t p = int64_t(info.ColorMap.size()) / 3;
      if (p == 0) Invalid("ColorMap");
      const int count = int(std::min<int64_t>(p, int64_t(1) << bits));
      Graphic->SetPaletteCount(count);
      auto component = [&](int64_t At) { return int(std::min<uint32_t>(info.ColorMap[size_t(At)] / 256, 255)); };
      for (int i = 0; i < count; ++i)
        Graphic->SetPaletteEntry(i, MakeRGB(component(i), component(p + i), component(2 * p + i)));
    } else {
      Refuse(unsupported);
    }
  }
  if (length == 0 || rowBytes == 0) return;  // no pixels to read, however many rows

  std::vector<uint8_t> buffer(size_t(std::max<int64_t>(rowBytes, 1)));
  TStream* stream = parser.GetStream();
  const int64_t fileStart = parser.GetFileStart();
  TPackBitsCache cache(parser);
  int64_t p = 0;  // the read position in the file
  // The rows of a strip follow one another; the stream moves only where a strip begins.
  auto readRow = [&](int y, uint8_t* Dest) {
    if (y % rowsPerStrip == 0) {
      p = info.StripOffsets[size_t(y / rowsPerStrip)];
      if (info.Compression == kNone) stream->Seek(fileStart + p, soBeginning);
    }
    if (info.Compression == kNone) {
      stream->ReadBuffer(Dest, rowBytes);
      p += rowBytes;
      return;
    }
    // Each row is coded by itself: no packet crosses its end.
    for (int64_t i = 0; i < rowBytes;) {
      const int c = int8_t(cache.Byte(p++));
      if (c == -128) continue;
      const int64_t n = c >= 0 ? c + 1 : 1 - c;
      if (i + n > rowBytes)
        throw EPGTIFFileFormatReader("TIFF (PackBits): Invalid count of bytes in row " + std::to_string(y));
      if (c >= 0) {
        cache.Copy(p, Dest + i, n);
        p += n;
      } else {
        std::memset(Dest + i, cache.Byte(p++), size_t(n));
      }
      i += n;
    }
  };

  // File rows that the picture stores byte for byte (bilevel, 4 and 8 bits, RGB) are read
  // straight into it and put right there.
  const bool inPlace = pixelBits <= 24;
  const bool invert = pi == piWhiteIsZero && spp == 1;  // so that index 0 is black
  const uint8_t lastMask = uint8_t(0xFF00 >> (((pixelBits * width - 1) & 7) + 1));
  ForEachRowWithProgress(Graphic, this, int(length), true, [&](int y) {
    uint8_t* row = Graphic->ScanLine(y);
    uint8_t* in = inPlace && row ? row : buffer.data();
    readRow(y, in);
    if (!row || rowBytes == 0) return;
    if (pixelBits < 24) {
      if (invert) {
        for (int64_t i = 0; i < rowBytes; ++i) row[i] = uint8_t(~row[i]);
        row[rowBytes - 1] &= lastMask;  // the bits past the last pixel stay clear
      }
    } else if (pixelBits == 24) {
      for (int64_t x = 0; x < width; ++x) std::swap(row[3 * x], row[3 * x + 2]);
    } else if (pi == piSeparated) {
      for (int64_t x = 0; x < width; ++x, in += 4, row += 3) {
        const int k = in[3];
        row[0] = uint8_t(std::max(255 - in[2] - k, 0));
        row[1] = uint8_t(std::max(255 - in[1] - k, 0));
        row[2] = uint8_t(std::max(255 - in[0] - k, 0));
      }
    } else {
      for (int64_t x = 0; x < width; ++x, in += 4, row += 3) row[0] = in[2], row[1] = in[1], row[2] = in[0];
    }
  });
}

void TTIFFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  TKnownSizeStream known(Stream, PGMaxImageSize);
  TTIFFParser parser(known.Get());
  TTIFFImageInfo info;
  parser.ReadIFD(Index, ImageCount, info);
  Info1 = parser.GetIntel() ? "I, " : "M, ";
  switch (info.Compression) {
    case 1: Info1 += "Uncompr."; break;
    case 2: Info1 += "CCITT 1D"; break;
    case 3: Info1 += "Group 3 F."; break;
    case 4: Info1 += "Group 4 F."; break;
    case 5: Info1 += "LZW"; break;
    case 6: Info1 += "JPEG"; break;
    case kPackBits: Info1 += "PackBits"; break;
    default: break;
  }
  if (info.Compression >= 2 && info.Compression <= 6) Info2 = "(Unsupported compression)";
  switch (info.PhotometricInterpretation) {
    case piWhiteIsZero: Info1 += ", WhiteIsZero"; break;
    case piBlackIsZero: Info1 += ", BlackIsZero"; break;
    case piRGB: Info1 += ", RGB"; break;
    case piPalette: Info1 += ", RGB Palette"; break;
    case piSeparated: Info1 += ", CMYK"; break;
    default: Refuse("Unsupported photometric interpretation " + std::to_string(info.PhotometricInterpretation));
  }
  Width = int(info.ImageWidth);
  Height = int(info.ImageLength);
  BitCount = 0;
  for (uint32_t b : info.BitsPerSample) BitCount += int(b);  // at most 32: the accepted kinds
  Colors = BitCount > 23 ? "16.7 M" : std::to_string(1 << BitCount);
}

}  // namespace imagelib
