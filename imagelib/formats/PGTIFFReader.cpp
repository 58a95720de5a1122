#include <algorithm>
#include <cstring>

#include "classlib/msgbox.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGRowProgress.h"
#include "imagelib/formats/PGTIFFTags.h"
#include "imagelib/formats/PGTIFFormat.h"
#include "imagelib/io/PGByteSource.h"
#include "imagelib/io/PGBytes.h"
#include "imagelib/io/PGStreamInput.h"

namespace imagelib {

namespace {

using namespace tiff;

const char* const kPrefix = "TIFF: ";
const std::string kStripCountText = "NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip";
// The reader's own texts are English whatever the language; only "<field> invalid" follows it.
const char* const kNotTIF = "Not a TIF file";

[[noreturn]] void Refuse(const std::string& Text) { throw EPGTIFFileFormatReader(kPrefix + Text); }
[[noreturn]] void Invalid(const std::string& What) { Refuse(PGLangStrS1(pgmInvalid, What)); }
// Data that lie beyond the end of the stream fail as a short read of the stream would.
[[noreturn]] void PastTheEnd() { throw EReadError("Stream read error"); }
[[noreturn]] void RaiseReadError(const std::string&) { PastTheEnd(); }  // the strips' end of data

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
  // The stages of ReadIFD, in file order.
  uint32_t ReadHeader();  // the byte order and version; returns the first directory's offset
  int CountImages(uint32_t First, int Index, int64_t& Chosen);
  void ReadEntries(int64_t At);
  void ReadFields(TTIFFImageInfo& Info);

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
    case ftByte: return 1;
    case ftShort: return 2;
    case ftLong: return 4;
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
  const uint32_t first = ReadHeader();
  if (Index < 0) Invalid("Index");
  int64_t chosen = first;
  const int count = PGTIFFCountImages ? CountImages(first, Index, chosen) : 1;
  if (count - 1 < Index) Invalid("Index");
  ImageCount = count;
  ReadEntries(chosen);
  ReadFields(Info);
}

uint32_t TTIFFParser::ReadHeader() {
  uint8_t head[8];
  FStream->ReadBuffer(head, 2);
  if (!(head[0] == head[1] && (head[0] == 'I' || head[0] == 'M'))) Refuse(kNotTIF);
  FIntel = head[0] == 'I';
  FStream->ReadBuffer(head + 2, 2);
  if (Get16(head + 2) != 42) Refuse(kNotTIF);
  FStream->ReadBuffer(head + 4, 4);
  return Get32(head + 4);
}

// The directories of the chain from First, with directory Index's offset in Chosen. A chain that
// leaves the stream or runs on past the limit (which also ends a chain that loops) counts as a
// single image, the first.
int TTIFFParser::CountImages(uint32_t First, int Index, int64_t& Chosen) {
  auto broken = [&] {
    Chosen = First;
    return 1;
  };
  int count = 0;
  uint8_t b[4];
  for (int64_t o = First; o != 0;) {
    if (count == Index) Chosen = o;
    if (o + 2 > FAvailable) return broken();
    ReadAt(o, b, 2);
    const int64_t next = o + 2 + 12 * int64_t(Get16(b));
    if (next + 4 > FAvailable) return broken();
    ReadAt(next, b, 4);
    o = Get32(b);
    if (++count > PGTIFFMaxImages) return broken();
  }
  return count;
}

void TTIFFParser::ReadEntries(int64_t At) {
  uint8_t b[2];
  ReadAt(At, b, 2);
  const int n = Get16(b);
  std::vector<uint8_t> raw(size_t(12) * n);
  ReadAt(At + 2, raw.data(), int64_t(raw.size()));
  FEntries.resize(size_t(n));
  for (int i = 0; i < n; ++i) {
    const uint8_t* e = raw.data() + 12 * i;
    TTIFFIFDEntry& entry = FEntries[size_t(i)];
    entry.Tag = Get16(e);
    entry.FieldType = Get16(e + 2);
    entry.Count = Get32(e + 4);
    std::memcpy(entry.Value, e + 8, 4);
  }
}

// Whether the samples make a picture that is read: 1, 4 or 8 bits of grey or palette, 8-bit RGB
// (a fourth sample dropped) or 8-bit CMYK.
bool SamplesAccepted(const TTIFFImageInfo& Info) {
  const uint32_t spp = Info.SamplesPerPixel, pi = Info.PhotometricInterpretation;
  const std::vector<uint32_t>& bps = Info.BitsPerSample;
  const bool all8 = std::all_of(bps.begin(), bps.end(), [](uint32_t v) { return v == 8; });
  switch (spp) {
    case 1:
      return (pi == piWhiteIsZero || pi == piBlackIsZero || pi == piPalette) &&
             (bps[0] == 1 || bps[0] == 4 || bps[0] == 8);
    case 3: return pi == piRGB && all8;
    default: return (pi == piRGB || pi == piSeparated) && all8;
  }
}

void TTIFFParser::ReadFields(TTIFFImageInfo& Info) {
  Info.PlanarConfiguration = GetFieldValue(tagPlanarConfiguration);
  if (Info.PlanarConfiguration > 1) Invalid("PlanarConfiguration");  // separate planes
  Info.NewSubfileType = GetFieldValue(tagNewSubfileType);
  Info.ImageWidth = GetFieldValue(tagImageWidth);
  Info.ImageLength = GetFieldValue(tagImageLength);
  Info.Compression = GetFieldValue(tagCompression);
  Info.PhotometricInterpretation = GetFieldValue(tagPhotometric);
  Info.SamplesPerPixel = GetFieldValue(tagSamplesPerPixel);
  const uint32_t spp = Info.SamplesPerPixel;
  if (spp != 1 && spp != 3 && spp != 4) Refuse("Invalid SamplesPerPixel");
  GetFieldArray(tagBitsPerSample, Info.BitsPerSample);
  if (Info.BitsPerSample.size() != spp) Refuse("Invalid count of SamplesPerPixel");
  if (!SamplesAccepted(Info)) Refuse("Invalid SamplesPerPixel");
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

// ---- reading the picture

int64_t PixelBits(const TTIFFImageInfo& Info) { return int64_t(Info.BitsPerSample[0]) * Info.SamplesPerPixel; }
int64_t RowBytes(const TTIFFImageInfo& Info) { return (PixelBits(Info) * Info.ImageWidth + 7) / 8; }

void RefuseCompression(uint32_t Compression) {
  const TCompressionText* c = FindCompression(Compression);
  if (!c) Refuse("Unsupported compression " + std::to_string(Compression));
  if (c->Refusal) Refuse(c->Refusal);
}

// The smallest number of file bytes a row of RowBytes bytes takes.
int64_t LeastRowBytes(uint32_t Compression, int64_t RowBytes) {
  return Compression == cpNone ? RowBytes : 2 * ((RowBytes + 127) / 128);  // repeat packets of 128
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

// The rows a strip holds, once the strips are found to hold the picture: their count must fit the
// rows (only a single strip can be read whatever the row count says: as the whole picture), and
// the stream must hold each strip's rows at their smallest when coded, each one from its offset and
// all of them together, since strips do not share their bytes. Before the picture gets memory.
int64_t CheckStrips(const TTIFFParser& Parser, const TTIFFImageInfo& Info, TPGWarningAction Action) {
  const int64_t length = Info.ImageLength;
  int64_t rowsPerStrip = Info.RowsPerStrip;
  const size_t strips = Info.StripOffsets.size();
  if ((length + rowsPerStrip - 1) / rowsPerStrip != int64_t(strips)) {
    if (strips != 1) Refuse(kStripCountText);
    ShowStripWarning(Action);
    rowsPerStrip = std::max<int64_t>(length, 1);
  }
  const int64_t least = LeastRowBytes(Info.Compression, RowBytes(Info)), available = Parser.GetAvailable();
  int64_t total = 0;
  for (size_t s = 0; s < strips && least > 0; ++s) {
    const int64_t rows = std::min<int64_t>(rowsPerStrip, length - int64_t(s) * rowsPerStrip);
    if (rows <= 0) break;
    const int64_t offset = Info.StripOffsets[s];
    if (offset > available || rows > (available - offset) / least) PastTheEnd();
    total += rows * least;
    if (total > available) PastTheEnd();
  }
  return rowsPerStrip;
}

// A bilevel picture is black and white whatever its interpretation; grey or the file's palette for
// 4 and 8 bits.
void MakePalette(TPixelGraphic* Graphic, const TTIFFImageInfo& Info) {
  const uint32_t bits = Info.BitsPerSample[0], pi = Info.PhotometricInterpretation;
  if (Info.SamplesPerPixel != 1) return;
  if (bits == 1) {
    Graphic->SetPaletteIdent(pBlackWhite);
  } else if (pi == piWhiteIsZero || pi == piBlackIsZero) {
    Graphic->SetPaletteIdent(bits == 4 ? pGray16 : pGray256);
  } else if (pi == piPalette) {
    // Reds, greens and blues of P entries each; the picture keeps no more than its bits address.
    const std::vector<uint32_t>& map = Info.ColorMap;
    const int64_t p = int64_t(map.size()) / 3;
    if (p == 0) Invalid("ColorMap");
    const int count = int(std::min<int64_t>(p, int64_t(1) << bits));
    Graphic->SetPaletteCount(count);
    auto component = [&](int64_t At) { return int(std::min<uint32_t>(map[size_t(At)] / 256, 255)); };
    for (int i = 0; i < count; ++i)
      Graphic->SetPaletteEntry(i, MakeRGB(component(i), component(p + i), component(2 * p + i)));
  } else {
    Refuse(bits == 4 ? "Unsupported 4 Bits/Pixel" : "Unsupported 8 Bits/Pixel");
  }
}

// The strips' rows in order through one cursor, which moves only where a strip begins.
class TStripReader {
 public:
  TStripReader(const TTIFFParser& Parser, const TTIFFImageInfo& Info, int64_t RowsPerStrip)
      : FSource(Parser.GetStream(), std::string(), RaiseReadError, TByteSource::kDataBlock),
        FInfo(Info),
        FFileStart(Parser.GetFileStart()),
        FRowsPerStrip(RowsPerStrip),
        FRowBytes(RowBytes(Info)) {}

  void ReadRow(int Y, uint8_t* Dest) {
    if (Y % FRowsPerStrip == 0) FSource.Seek(FFileStart + FInfo.StripOffsets[size_t(Y / FRowsPerStrip)]);
    if (FInfo.Compression == cpNone)
      FSource.Read(Dest, FRowBytes);
    else
      UnpackRow(Y, Dest);
  }

 private:
  // Each row is coded by itself: no packet crosses its end.
  void UnpackRow(int Y, uint8_t* Dest) {
    for (int64_t i = 0; i < FRowBytes;) {
      const int c = int8_t(FSource.Next());
      if (c == -128) continue;
      const int64_t n = c >= 0 ? c + 1 : 1 - c;
      if (i + n > FRowBytes)
        throw EPGTIFFileFormatReader("TIFF (PackBits): Invalid count of bytes in row " + std::to_string(Y));
      if (c >= 0)
        FSource.Read(Dest + i, n);
      else
        std::memset(Dest + i, FSource.Next(), size_t(n));
      i += n;
    }
  }

  TByteSource FSource;
  const TTIFFImageInfo& FInfo;
  int64_t FFileStart, FRowsPerStrip, FRowBytes;
};

// A row as the picture stores it, from the file row In (the picture's Row itself for what it
// stores byte for byte): grey and palette rows inverted for WhiteIsZero, so that index 0 is
// black, with the bits past the last pixel clear; RGB as blue, green, red; CMYK made RGB.
void StoreRow(const TTIFFImageInfo& Info, const uint8_t* In, uint8_t* Row) {
  const int64_t width = Info.ImageWidth, pixelBits = PixelBits(Info), rowBytes = RowBytes(Info);
  if (pixelBits < 24) {
    if (Info.PhotometricInterpretation != piWhiteIsZero) return;
    for (int64_t i = 0; i < rowBytes; ++i) Row[i] = uint8_t(~Row[i]);
    Row[rowBytes - 1] &= uint8_t(0xFF00 >> (((pixelBits * width - 1) & 7) + 1));
  } else if (pixelBits == 24) {
    for (int64_t x = 0; x < width; ++x) std::swap(Row[3 * x], Row[3 * x + 2]);
  } else if (Info.PhotometricInterpretation == piSeparated) {
    for (int64_t x = 0; x < width; ++x, In += 4, Row += 3) {
      const int k = In[3];
      Row[0] = uint8_t(std::max(255 - In[2] - k, 0));
      Row[1] = uint8_t(std::max(255 - In[1] - k, 0));
      Row[2] = uint8_t(std::max(255 - In[0] - k, 0));
    }
  } else {
    for (int64_t x = 0; x < width; ++x, In += 4, Row += 3) Row[0] = In[2], Row[1] = In[1], Row[2] = In[0];
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
  RefuseCompression(info.Compression);
  const int64_t rowsPerStrip = CheckStrips(parser, info, Graphic->GetReadWarningAction());

  const uint32_t spp = info.SamplesPerPixel, bits = info.BitsPerSample[0];
  Graphic->NewImage(int(info.ImageWidth), int(info.ImageLength),
                    spp == 1 ? TPixelGraphic::BitCountToNum(int(bits)) : pgbc24Bits);
  MakePalette(Graphic, info);
  const int64_t rowBytes = RowBytes(info);
  if (info.ImageLength == 0 || rowBytes == 0) return;  // no pixels to read, however many rows

  // File rows that the picture stores byte for byte (bilevel, 4 and 8 bits, RGB) are read
  // straight into it and put right there.
  const bool inPlace = PixelBits(info) <= 24;
  std::vector<uint8_t> buffer(static_cast<size_t>(rowBytes));
  TStripReader strips(parser, info, rowsPerStrip);
  ForEachRowWithProgress(Graphic, this, int(info.ImageLength), true, [&](int y) {
    uint8_t* row = Graphic->ScanLine(y);
    uint8_t* in = inPlace && row ? row : buffer.data();
    strips.ReadRow(y, in);
    if (row) StoreRow(info, in, row);
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
  if (const TCompressionText* c = FindCompression(info.Compression)) {
    Info1 += c->Info;
    if (c->Refusal) Info2 = "(Unsupported compression)";
  }
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
