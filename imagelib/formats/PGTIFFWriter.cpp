#include <algorithm>
#include <cstring>

#include "classlib/finally.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGTIFFormat.h"

namespace imagelib {

namespace {

constexpr int32_t kNone = 1, kPackBits = 32773;
constexpr int kMaxPacket = 128;
enum : uint16_t { ftShort = 3, ftLong = 4, ftRational = 5 };

[[noreturn]] void InternalError() { throw EPGTIFFileFormatWriter("TIFF: Internal Error"); }

// What must hold before the first byte is written: a picture with rows and columns, a known
// compression. Nothing reaches the stream otherwise.
void CheckWritable(TPixelGraphic* Graphic) {
  if (Graphic->GetWidth() <= 0 || Graphic->GetHeight() <= 0)
    throw EPGTIFFileFormatWriter("TIFF: " + PGLangStr(pgmWidthOrHeightZero));
  if (PGTIFFCompression != kNone && PGTIFFCompression != kPackBits) InternalError();
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
  void Set32(size_t At, uint32_t V) { FMotorola ? PutBE32(&Bytes[At], V) : PutLE32(&Bytes[At], V); }
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
  const int width = Graphic->GetWidth(), height = Graphic->GetHeight(), bits = Graphic->GetBitCount();
  const TPaletteIdent ident = Graphic->GetPaletteIdent();
  const bool packBits = PGTIFFCompression == kPackBits, cmyk = bits == 24 && PGTIFFCMYK;
  const bool whiteIsZero = PGTIFFWhiteIsZero;
  const bool gray = bits == 1 || (bits == 4 && ident == pGray16) || (bits == 8 && ident == pGray256);
  const bool palette = !gray && bits <= 8;
  const uint32_t photometric = gray ? (whiteIsZero ? 0 : 1) : palette ? 3 : cmyk ? 5 : 2;
  const uint32_t samples = bits <= 8 ? 1 : cmyk ? 4 : 3;

  const int64_t rowBytes = bits == 24 ? int64_t(width) * samples : (int64_t(width) * bits + 7) / 8;
  const int64_t budget = packBits ? 2 * rowBytes : rowBytes;
  const int64_t rowsPerStrip = std::clamp<int64_t>(32767 / budget, 1, height);
  const int64_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;

  // The link from the pending field of the header or the previous directory.
  const int64_t ifd = Stream->GetPosition() - FileStartPos;
  TTIFFBlock block(PGTIFFMotorola);
  block.Put32(Offset32(ifd));
  Stream->Seek(NextIFDOffsetPos, soBeginning);
  Stream->WriteBuffer(block.Bytes.data(), 4);
  Stream->Seek(FileStartPos + ifd, soBeginning);

  // The directory and the tables after it, built whole, then written at once; the value fields
  // that point into the tables are set once their places are known.
  const int entries = palette ? 14 : 13;
  const int64_t tables = ifd + 2 + 12 * entries + 4;
  const int colorMapCount = palette ? 3 << bits : 0;
  const int64_t colorMapAt = tables, bitsAt = colorMapAt + 2 * colorMapCount;
  const int64_t xResAt = bitsAt + (bits == 24 ? 2 * samples : 0), yResAt = xResAt + 8;
  const int64_t offsetsAt = yResAt + 8, countsAt = offsetsAt + (strips > 1 ? 4 * strips : 0);
  const int64_t stripsAt = countsAt + (strips > 1 ? 4 * strips : 0);
  uint16_t unit = 0;
  switch (PGTIFFResolutionUnit) {
    case 0: unit = 1; break;
    case 1: unit = 2; break;
    case 2: unit = 3; break;
    default: break;
  }
  block.Bytes.clear();
  block.Put16(uint32_t(entries));
  block.Entry(254, ftLong, 1, 0);
  block.Entry(256, ftLong, 1, uint32_t(width));
  block.Entry(257, ftLong, 1, uint32_t(height));
  block.Entry(258, ftShort, samples, bits == 24 ? Offset32(bitsAt) : uint32_t(bits));
  block.Entry(259, ftShort, 1, uint32_t(PGTIFFCompression));
  block.Entry(262, ftShort, 1, photometric);
  const size_t offsetsField = block.Bytes.size() + 8;
  block.Entry(273, ftLong, uint32_t(strips), strips > 1 ? Offset32(offsetsAt) : 0);
  block.Entry(277, ftShort, 1, samples);
  block.Entry(278, ftLong, 1, uint32_t(rowsPerStrip));
  const size_t countsField = block.Bytes.size() + 8;
  block.Entry(279, ftLong, uint32_t(strips), strips > 1 ? Offset32(countsAt) : 0);
  block.Entry(282, ftRational, 1, Offset32(xResAt));
  block.Entry(283, ftRational, 1, Offset32(yResAt));
  block.Entry(296, ftShort, 1, unit);
  if (palette) block.Entry(320, ftShort, uint32_t(colorMapCount), Offset32(colorMapAt));
  block.Put32(0);  // the next directory: none, until another image is linked here
  const int64_t nextField = ifd + int64_t(block.Bytes.size()) - 4;

  if (palette) {
    const int size = 1 << bits, count = std::min(Graphic->GetPaletteCount(), size);
    for (int shift : {0, 8, 16})  // reds, greens, blues
      for (int i = 0; i < size; ++i) block.Put16(i < count ? ((Graphic->GetPaletteEntry(i) >> shift) & 255) * 256 : 0);
  }
  for (uint32_t s = 0; bits == 24 && s < samples; ++s) block.Put16(8);
  block.Put32(uint32_t(PGTIFFXResolution.Numerator)), block.Put32(uint32_t(PGTIFFXResolution.Denominator));
  block.Put32(uint32_t(PGTIFFYResolution.Numerator)), block.Put32(uint32_t(PGTIFFYResolution.Denominator));
  for (int64_t i = 0; strips > 1 && i < 2 * strips; ++i) block.Put32(0);  // the strip tables, filled in below
  if (ifd + int64_t(block.Bytes.size()) != stripsAt) InternalError();
  Stream->WriteBuffer(block.Bytes.data(), int64_t(block.Bytes.size()));
  NextIFDOffsetPos = FileStartPos + nextField;

  // The strips, each from an even offset. They follow one another, so the bytes go out about a
  // megabyte at a time.
  constexpr size_t kWriteBlock = 1 << 20;
  std::vector<uint32_t> offsets(static_cast<size_t>(strips)), counts(static_cast<size_t>(strips));
  std::vector<uint8_t> row(static_cast<size_t>(rowBytes)), pending;
  pending.reserve(kWriteBlock + size_t(2 * rowBytes) + 1);
  const bool invertBits = whiteIsZero && ((bits == 1 && ident == pBlackWhite) || (bits != 1 && gray));
  const int usedBits = int((int64_t(width) * bits - 1) % 8) + 1;
  const uint8_t lastMask = bits < 24 ? uint8_t(0xFF00 >> usedBits) : 0xFF;
  int64_t at = stripsAt;
  if (Graphic->OnProgressStart) Graphic->OnProgressStart(this);
  Finally(
      [&] {
        for (int y = 0; y < height; ++y) {
          const int64_t s = y / rowsPerStrip;
          if (y % rowsPerStrip == 0) {
            if (at % 2) pending.push_back(0), ++at;
            offsets[size_t(s)] = Offset32(at);
          }
          const size_t used = pending.size();
          // Uncompressed rows are made where they are written from.
          pending.resize(used + size_t(packBits ? 2 * rowBytes : rowBytes));
          uint8_t* o = packBits ? row.data() : pending.data() + used;
          const uint8_t* line = Graphic->ScanLine(y);
          if (bits < 24) {
            std::memcpy(o, line, size_t(rowBytes));
            if (invertBits)
              for (int64_t i = 0; i < rowBytes; ++i) o[i] = uint8_t(~o[i]);
            o[rowBytes - 1] &= lastMask;
          } else if (!cmyk) {
            for (int64_t x = 0; x < width; ++x, o += 3, line += 3) o[0] = line[2], o[1] = line[1], o[2] = line[0];
          } else {
            for (int64_t x = 0; x < width; ++x, o += 4, line += 3) {
              const int c = 255 - line[2], m = 255 - line[1], ye = 255 - line[0];
              const int k = std::min({c, m, ye});
              o[0] = uint8_t(c - k), o[1] = uint8_t(m - k), o[2] = uint8_t(ye - k), o[3] = uint8_t(k);
            }
          }
          if (packBits) pending.resize(used + size_t(PackBitsEncodeRow(row.data(), rowBytes, pending.data() + used)));
          at += int64_t(pending.size() - used);
          if ((y + 1) % rowsPerStrip == 0 || y == height - 1) counts[size_t(s)] = Offset32(at - offsets[size_t(s)]);
          if (pending.size() >= kWriteBlock || y == height - 1) {
            Stream->WriteBuffer(pending.data(), int64_t(pending.size()));
            pending.clear();
          }
          bool abort = false;  // writing goes on whatever a handler says
          if (Graphic->OnProgress) Graphic->OnProgress(this, y, height - 1, abort);
        }
      },
      [&] {
        if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(this);
      });

  // The strip tables: in the entries for a single strip, else in the areas kept for them.
  block.Bytes.clear();
  if (strips == 1) {
    block.Put32(offsets[0]);
    Stream->Seek(FileStartPos + ifd + int64_t(offsetsField), soBeginning);
    Stream->WriteBuffer(block.Bytes.data(), 4);
    block.Bytes.clear();
    block.Put32(counts[0]);
    Stream->Seek(FileStartPos + ifd + int64_t(countsField), soBeginning);
    Stream->WriteBuffer(block.Bytes.data(), 4);
  } else {
    for (uint32_t o : offsets) block.Put32(o);
    for (uint32_t c : counts) block.Put32(c);
    Stream->Seek(FileStartPos + offsetsAt, soBeginning);
    Stream->WriteBuffer(block.Bytes.data(), int64_t(block.Bytes.size()));
  }
  Stream->Seek(FileStartPos + at, soBeginning);
}

}  // namespace imagelib
