#include <algorithm>
#include <cstring>

#include "classlib/finally.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGTIFFTags.h"
#include "imagelib/formats/PGTIFFormat.h"
#include "imagelib/io/PGBytes.h"

namespace imagelib {

namespace {

using namespace tiff;

constexpr int kMaxPacket = 128;

[[noreturn]] void InternalError() { throw EPGTIFFileFormatWriter("TIFF: Internal Error"); }

// What must hold before the first byte is written: a picture with rows and columns, a known
// compression. Nothing reaches the stream otherwise.
void CheckWritable(TPixelGraphic* Graphic) {
  if (Graphic->GetWidth() <= 0 || Graphic->GetHeight() <= 0)
    throw EPGTIFFileFormatWriter("TIFF: " + PGLangStr(pgmWidthOrHeightZero));
  if (PGTIFFCompression != cpNone && PGTIFFCompression != cpPackBits) InternalError();
}

// Values in the chosen byte order, appended to a block of the file.
class TTIFFBlock {
 public:
  explicit TTIFFBlock(bool Motorola) : FMotorola(Motorola) {}
  std::vector<uint8_t> Bytes;

  void Put16(uint32_t V) {
    uint8_t b[2];
    FMotorola ? PutBE16(b, V) : PutLE16(b, V);
    Bytes.insert(Bytes.end(), b, b + 2);
  }
  void Put32(uint32_t V) {
    uint8_t b[4];
    FMotorola ? PutBE32(b, V) : PutLE32(b, V);
    Bytes.insert(Bytes.end(), b, b + 4);
  }
  // A SHORT entry's value stands in the first two bytes of the field.
  void Entry(uint16_t Tag, uint16_t Type, uint32_t Count, uint32_t Value) {
    Put16(Tag);
    Put16(Type);
    Put32(Count);
    if (Type == ftShort && Count == 1) {
      Put16(Value);
      Put16(0);
    } else {
      Put32(Value);
    }
  }

 private:
  bool FMotorola;
};

// A relative offset of the file; a file past 4 GiB cannot say where its parts are.
uint32_t Offset32(int64_t Offset) {
  if (Offset < 0 || Offset > int64_t(UINT32_MAX)) InternalError();
  return uint32_t(Offset);
}

}  // namespace

namespace {

// Literal packets of up to 128 bytes for Row[From, To).
uint8_t* EmitLiterals(const uint8_t* Row, int64_t From, int64_t To, uint8_t* Out) {
  while (From < To) {
    const int64_t k = std::min<int64_t>(kMaxPacket, To - From);
    *Out++ = uint8_t(k - 1);
    std::memcpy(Out, Row + From, size_t(k));
    Out += k, From += k;
  }
  return Out;
}

// Repeat packets of up to 128 for a run of Count bytes V (a last one of a single byte has the
// control byte 0, which reads as a literal of that byte).
uint8_t* EmitRepeats(uint8_t V, int64_t Count, uint8_t* Out) {
  while (Count > 0) {
    const int64_t k = std::min<int64_t>(kMaxPacket, Count);
    *Out++ = uint8_t(1 - k);
    *Out++ = V;
    Count -= k;
  }
  return Out;
}

}  // namespace

// The coding goes by the runs of equal bytes: runs of one are literal; a chain of runs of two
// joins the literals when a run of one stands right before or after it, and is repeated
// otherwise; longer runs are repeated. One pass, with the literal bytes pending until a
// repeat or the row's end.
int64_t PackBitsEncodeRow(const uint8_t* Row, int64_t Count, uint8_t* Out) {
  uint8_t* out = Out;
  int64_t literal = -1;  // start of the pending literal bytes, if any
  auto runEnd = [&](int64_t I) {
    int64_t j = I + 1;
    while (j < Count && Row[j] == Row[I]) ++j;
    return j;
  };
  for (int64_t i = 0; i < Count;) {
    // Bytes that differ from the next one are single: eight at a time while no neighbours agree.
    int64_t k = i;
    for (uint64_t a, b; k + 9 <= Count; k += 8) {
      std::memcpy(&a, Row + k, 8);
      std::memcpy(&b, Row + k + 1, 8);
      const uint64_t x = a ^ b;  // a zero byte where neighbours agree
      if ((x - 0x0101010101010101ull) & ~x & 0x8080808080808080ull) break;
    }
    while (k + 1 < Count && Row[k + 1] != Row[k]) ++k;
    if (k > i) {
      if (literal < 0) literal = i;
      i = k;
      continue;
    }
    const int64_t j = runEnd(i);
    if (j - i == 1) {
      if (literal < 0) literal = i;
      i = j;
      continue;
    }
    if (j - i > 2) {
      if (literal >= 0) out = EmitLiterals(Row, literal, i, out), literal = -1;
      out = EmitRepeats(Row[i], j - i, out);
      i = j;
      continue;
    }
    // A chain of runs of two from i to e.
    int64_t e = j;
    while (e < Count && e + 1 < Count && Row[e + 1] == Row[e] && (e + 2 == Count || Row[e + 2] != Row[e])) e += 2;
    const bool singleAfter = e < Count && (e + 1 == Count || Row[e + 1] != Row[e]);
    if (literal >= 0 || singleAfter) {
      if (literal < 0) literal = i;
    } else {
      for (int64_t k = i; k < e; k += 2) out = EmitRepeats(Row[k], 2, out);
    }
    i = e;
  }
  if (literal >= 0) out = EmitLiterals(Row, literal, Count, out);
  return out - Out;
}

namespace {

// One directory's picture and where its parts go, offsets from the file's start: laid out once,
// before anything is written.
struct TTIFFLayout {
  int Width = 0, Height = 0, Bits = 0;
  TPaletteIdent Ident = pNone;
  bool PackBits = false, CMYK = false, Palette = false;
  bool InvertBits = false;  // WhiteIsZero rows of grey or black and white
  uint32_t Photometric = 0, Samples = 0;
  int64_t RowBytes = 0, RowsPerStrip = 0, Strips = 0;
  int Entries = 0, ColorMapCount = 0;
  // The directory, then its tables in this order, then the strips.
  int64_t IFD = 0, ColorMapAt = 0, BitsAt = 0, XResAt = 0, YResAt = 0, OffsetsAt = 0, CountsAt = 0, StripsAt = 0;
};

TTIFFLayout LayOut(TPixelGraphic* Graphic, int64_t IFD) {
  TTIFFLayout l;
  l.Width = Graphic->GetWidth(), l.Height = Graphic->GetHeight(), l.Bits = Graphic->GetBitCount();
  l.Ident = Graphic->GetPaletteIdent();
  l.PackBits = PGTIFFCompression == cpPackBits, l.CMYK = l.Bits == 24 && PGTIFFCMYK;
  const bool gray = l.Bits == 1 || (l.Bits == 4 && l.Ident == pGray16) || (l.Bits == 8 && l.Ident == pGray256);
  l.Palette = !gray && l.Bits <= 8;
  l.InvertBits = PGTIFFWhiteIsZero && ((l.Bits == 1 && l.Ident == pBlackWhite) || (l.Bits != 1 && gray));
  if (gray)
    l.Photometric = PGTIFFWhiteIsZero ? piWhiteIsZero : piBlackIsZero;
  else
    l.Photometric = l.Palette ? piPalette : l.CMYK ? piSeparated : piRGB;
  l.Samples = l.Bits <= 8 ? 1 : l.CMYK ? 4 : 3;

  l.RowBytes = l.Bits == 24 ? int64_t(l.Width) * l.Samples : (int64_t(l.Width) * l.Bits + 7) / 8;
  const int64_t budget = l.PackBits ? 2 * l.RowBytes : l.RowBytes;
  l.RowsPerStrip = std::clamp<int64_t>(32767 / budget, 1, l.Height);
  l.Strips = (l.Height + l.RowsPerStrip - 1) / l.RowsPerStrip;

  l.Entries = l.Palette ? 14 : 13;
  l.ColorMapCount = l.Palette ? 3 << l.Bits : 0;
  l.IFD = IFD;
  l.ColorMapAt = IFD + 2 + 12 * l.Entries + 4;
  l.BitsAt = l.ColorMapAt + 2 * l.ColorMapCount;
  l.XResAt = l.BitsAt + (l.Bits == 24 ? 2 * l.Samples : 0);
  l.YResAt = l.XResAt + 8;
  l.OffsetsAt = l.YResAt + 8;
  l.CountsAt = l.OffsetsAt + (l.Strips > 1 ? 4 * l.Strips : 0);
  l.StripsAt = l.CountsAt + (l.Strips > 1 ? 4 * l.Strips : 0);
  return l;
}

uint16_t ResolutionUnit() {
  switch (PGTIFFResolutionUnit) {
    case 0: return ruNone;
    case 1: return ruInch;
    case 2: return ruCentimeter;
    default: return 0;
  }
}

// Offsets from the file's start of the value fields that are set once the strips are written, and
// of the directory's next field.
struct TDirectoryFields {
  int64_t StripOffsets = 0, StripByteCounts = 0, NextIFD = 0;
};

// The directory and the tables after it, built whole and written at once at the stream position.
// The strip tables of several strips are kept as zeros, to be filled in.
TDirectoryFields WriteDirectory(TStream* Stream, TPixelGraphic* Graphic, const TTIFFLayout& L) {
  TTIFFBlock block(PGTIFFMotorola);
  TDirectoryFields fields;
  const bool several = L.Strips > 1;
  block.Put16(uint32_t(L.Entries));
  block.Entry(tagNewSubfileType, ftLong, 1, 0);
  block.Entry(tagImageWidth, ftLong, 1, uint32_t(L.Width));
  block.Entry(tagImageLength, ftLong, 1, uint32_t(L.Height));
  block.Entry(tagBitsPerSample, ftShort, L.Samples, L.Bits == 24 ? Offset32(L.BitsAt) : uint32_t(L.Bits));
  block.Entry(tagCompression, ftShort, 1, uint32_t(PGTIFFCompression));
  block.Entry(tagPhotometric, ftShort, 1, L.Photometric);
  fields.StripOffsets = L.IFD + int64_t(block.Bytes.size()) + 8;
  block.Entry(tagStripOffsets, ftLong, uint32_t(L.Strips), several ? Offset32(L.OffsetsAt) : 0);
  block.Entry(tagSamplesPerPixel, ftShort, 1, L.Samples);
  block.Entry(tagRowsPerStrip, ftLong, 1, uint32_t(L.RowsPerStrip));
  fields.StripByteCounts = L.IFD + int64_t(block.Bytes.size()) + 8;
  block.Entry(tagStripByteCounts, ftLong, uint32_t(L.Strips), several ? Offset32(L.CountsAt) : 0);
  block.Entry(tagXResolution, ftRational, 1, Offset32(L.XResAt));
  block.Entry(tagYResolution, ftRational, 1, Offset32(L.YResAt));
  block.Entry(tagResolutionUnit, ftShort, 1, ResolutionUnit());
  if (L.Palette) block.Entry(tagColorMap, ftShort, uint32_t(L.ColorMapCount), Offset32(L.ColorMapAt));
  fields.NextIFD = L.IFD + int64_t(block.Bytes.size());
  block.Put32(0);  // the next directory: none, until another image is linked here

  if (L.Palette) {
    const int size = 1 << L.Bits, count = std::min(Graphic->GetPaletteCount(), size);
    for (int shift : {0, 8, 16})  // reds, greens, blues
      for (int i = 0; i < size; ++i) block.Put16(i < count ? ((Graphic->GetPaletteEntry(i) >> shift) & 255) * 256 : 0);
  }
  for (uint32_t s = 0; L.Bits == 24 && s < L.Samples; ++s) block.Put16(8);
  block.Put32(uint32_t(PGTIFFXResolution.Numerator)), block.Put32(uint32_t(PGTIFFXResolution.Denominator));
  block.Put32(uint32_t(PGTIFFYResolution.Numerator)), block.Put32(uint32_t(PGTIFFYResolution.Denominator));
  for (int64_t i = 0; several && i < 2 * L.Strips; ++i) block.Put32(0);
  if (L.IFD + int64_t(block.Bytes.size()) != L.StripsAt) InternalError();
  Stream->WriteBuffer(block.Bytes.data(), int64_t(block.Bytes.size()));
  return fields;
}

// Row Y of the picture as the file stores it, into Out (RowBytes bytes).
void MakeRow(const TTIFFLayout& L, const uint8_t* Line, uint8_t* Out) {
  if (L.Bits < 24) {
    std::memcpy(Out, Line, size_t(L.RowBytes));
    if (L.InvertBits)
      for (int64_t i = 0; i < L.RowBytes; ++i) Out[i] = uint8_t(~Out[i]);
    Out[L.RowBytes - 1] &= uint8_t(0xFF00 >> (int((int64_t(L.Width) * L.Bits - 1) % 8) + 1));
  } else if (!L.CMYK) {
    for (int64_t x = 0; x < L.Width; ++x, Out += 3, Line += 3) Out[0] = Line[2], Out[1] = Line[1], Out[2] = Line[0];
  } else {
    for (int64_t x = 0; x < L.Width; ++x, Out += 4, Line += 3) {
      const int c = 255 - Line[2], m = 255 - Line[1], ye = 255 - Line[0];
      const int k = std::min({c, m, ye});
      Out[0] = uint8_t(c - k), Out[1] = uint8_t(m - k), Out[2] = uint8_t(ye - k), Out[3] = uint8_t(k);
    }
  }
}

// The strips at the stream position, each from an even offset, with their offsets and byte counts;
// returns the offset of their end. They follow one another, so the bytes go out about a megabyte
// at a time.
int64_t WriteStrips(TStream* Stream, TPixelGraphic* Graphic, TObject* Sender, const TTIFFLayout& L,
                    std::vector<uint32_t>& Offsets, std::vector<uint32_t>& Counts) {
  constexpr size_t kWriteBlock = 1 << 20;
  Offsets.assign(size_t(L.Strips), 0);
  Counts.assign(size_t(L.Strips), 0);
  std::vector<uint8_t> row(size_t(L.RowBytes)), pending;
  pending.reserve(kWriteBlock + size_t(2 * L.RowBytes) + 1);
  int64_t at = L.StripsAt;
  if (Graphic->OnProgressStart) Graphic->OnProgressStart(Sender);
  Finally(
      [&] {
        for (int y = 0; y < L.Height; ++y) {
          const size_t s = size_t(y / L.RowsPerStrip);
          if (y % L.RowsPerStrip == 0) {
            if (at % 2) pending.push_back(0), ++at;
            Offsets[s] = Offset32(at);
          }
          const size_t used = pending.size();
          // Uncompressed rows are made where they are written from.
          pending.resize(used + size_t(L.PackBits ? 2 * L.RowBytes : L.RowBytes));
          MakeRow(L, Graphic->ScanLine(y), L.PackBits ? row.data() : pending.data() + used);
          if (L.PackBits)
            pending.resize(used + size_t(PackBitsEncodeRow(row.data(), L.RowBytes, pending.data() + used)));
          at += int64_t(pending.size() - used);
          if ((y + 1) % L.RowsPerStrip == 0 || y == L.Height - 1) Counts[s] = Offset32(at - Offsets[s]);
          if (pending.size() >= kWriteBlock || y == L.Height - 1) {
            Stream->WriteBuffer(pending.data(), int64_t(pending.size()));
            pending.clear();
          }
          bool abort = false;  // writing goes on whatever a handler says
          if (Graphic->OnProgress) Graphic->OnProgress(Sender, y, L.Height - 1, abort);
        }
      },
      [&] {
        if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(Sender);
      });
  return at;
}

// The strip tables: in the entries for a single strip, else in the areas kept for them.
void PatchStripTables(TStream* Stream, int64_t FileStart, const TTIFFLayout& L, const TDirectoryFields& Fields,
                      const std::vector<uint32_t>& Offsets, const std::vector<uint32_t>& Counts) {
  TTIFFBlock block(PGTIFFMotorola);
  if (L.Strips == 1) {
    block.Put32(Offsets[0]);
    Stream->Seek(FileStart + Fields.StripOffsets, soBeginning);
    Stream->WriteBuffer(block.Bytes.data(), 4);
    block.Bytes.clear();
    block.Put32(Counts[0]);
    Stream->Seek(FileStart + Fields.StripByteCounts, soBeginning);
    Stream->WriteBuffer(block.Bytes.data(), 4);
    return;
  }
  for (uint32_t o : Offsets) block.Put32(o);
  for (uint32_t c : Counts) block.Put32(c);
  Stream->Seek(FileStart + L.OffsetsAt, soBeginning);
  Stream->WriteBuffer(block.Bytes.data(), int64_t(block.Bytes.size()));
}

}  // namespace

TTIFFileFormatWriter::TTIFFileFormatWriter() {
  Extension = "tif";
  Description = "Tagged Image File Format";
  MultiImage = true;
  CanWriteResolutions = TPGColorResolutions(PGAllColorResolutions & ~ColorResolutionBit(pgcr2Colors));
}

TTIFFFileFormatWriter::TTIFFFileFormatWriter() {
  Extension = "tiff";
  Listed = false;
}

void TTIFFileFormatWriter::Write(TStream* Stream, TPixelGraphic* Graphic) {
  CheckWritable(Graphic);
  BeginWrite(Stream);
  WriteImage(Stream, Graphic);
  EndWrite(Stream);
}

void TTIFFileFormatWriter::BeginWrite(TStream* Stream) {
  FileStartPos = Stream->GetPosition();
  TTIFFBlock head(PGTIFFMotorola);
  head.Bytes = {uint8_t(PGTIFFMotorola ? 'M' : 'I'), uint8_t(PGTIFFMotorola ? 'M' : 'I')};
  head.Put16(42);
  Stream->WriteBuffer(head.Bytes.data(), int64_t(head.Bytes.size()));
  NextIFDOffsetPos = Stream->GetPosition();
  head.Bytes.clear();
  head.Put32(0);
  Stream->WriteBuffer(head.Bytes.data(), 4);
}

void TTIFFileFormatWriter::EndWrite(TStream*) {}

void TTIFFileFormatWriter::WriteImage(TStream* Stream, TPixelGraphic* Graphic) {
  CheckWritable(Graphic);
  const TTIFFLayout layout = LayOut(Graphic, Stream->GetPosition() - FileStartPos);
  // The link from the pending field of the header or the previous directory.
  TTIFFBlock link(PGTIFFMotorola);
  link.Put32(Offset32(layout.IFD));
  Stream->Seek(NextIFDOffsetPos, soBeginning);
  Stream->WriteBuffer(link.Bytes.data(), 4);
  Stream->Seek(FileStartPos + layout.IFD, soBeginning);

  const TDirectoryFields fields = WriteDirectory(Stream, Graphic, layout);
  NextIFDOffsetPos = FileStartPos + fields.NextIFD;
  std::vector<uint32_t> offsets, counts;
  const int64_t end = WriteStrips(Stream, Graphic, this, layout, offsets, counts);
  PatchStripTables(Stream, FileStartPos, layout, fields, offsets, counts);
  Stream->Seek(FileStartPos + end, soBeginning);
}

}  // namespace imagelib
