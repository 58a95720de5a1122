// Packed device-independent bitmaps: a core (12-byte) or info (40-byte) header, the colour
// description and the pixel rows in one block. Reading accepts 1, 4, 8, 16, 24 and 32 bits, the
// run-length compressions and bit fields; writing always stores an uncompressed block.
//
// Every count and offset of the block is hostile input: sizes are computed in 64 bits, run-length
// codes never read or write outside their buffers, and pixel data a stream cannot hold is refused
// before the picture is allocated. A stream that cannot tell its size is copied as far as its data
// go, so that the same checks hold for it.
#include <algorithm>
#include <bit>
#include <cstring>
#include <vector>

#include "classlib/finally.h"
#include "classlib/streams.h"
#include "imagelib/PGDIBHeader.h"
#include "imagelib/PGOptions.h"
#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGStreamInput.h"

namespace imagelib {

namespace {

using namespace dib;

constexpr int64_t kSmallBlock = 100;  // blocks up to this size are read without progress calls

int PaletteSizeOf(int BitCount) { return BitCount <= 8 ? 1 << BitCount : 0; }

// Bytes of one stored row, padded to 4 bytes.
int64_t StoredRowSize(int BitCount, int64_t Width) { return ((BitCount * Width + 31) / 32) * 4; }

// ---- bit fields

// One channel of a 16- or 32-bit pixel: (P and Mask) shifted so that the mask's top bit lands on
// bit 7, plus Offset (the 16-bit scaling).
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;
  uint32_t Offset = 0;
};

// Mask is never 0: the header reader refuses such a channel.
TChannel PrepareChannel(uint32_t Mask, int BitCount) {
  TChannel c;
  c.Mask = Mask;
  uint32_t v = Mask;
  while (!(v & 1)) {
    v >>= 1;
    --c.Shift;
  }
  int width = std::bit_width(v);
  if (width > 8) {
    // Wider masks keep their 8 most significant bits; aligning the lowest bit would saturate them.
    v >>= width - 8;
    c.Shift -= width - 8;
  } else {
    while (!(v & 0x80)) {
      v <<= 1;
      ++c.Shift;
    }
    if (PGDIB16BitScaling && BitCount == 16) c.Offset = v & (~v + 1);  // the value of the lowest set bit
  }
  return c;
}

inline uint32_t ChannelValue(const TChannel& C, uint32_t P, bool Scaling) {
  uint32_t m = P & C.Mask;
  uint32_t v = (C.Shift >= 0 ? m << C.Shift : m >> -C.Shift) + C.Offset;
  if (Scaling && m == 0) v = 0;
  return v > 255 ? 255 : v;
}

// ---- pixel data

using TProgress = std::function<bool(int Step, int Max)>;  // false: a handler asked to abort

// Count bytes into Dest: small blocks in one read, others in ten reads with a progress call after
// each. False when aborted.
bool ChunkedRead(TStream* Stream, uint8_t* Dest, int64_t Count, const TProgress& Progress) {
  if (Count <= 0) return true;
  if (Count <= kSmallBlock) {
    Stream->Read(Dest, Count);
    return true;
  }
  int64_t chunk = Count / 10;
  for (int k = 1; k <= 10; ++k) {
    int64_t n = k < 10 ? chunk : Count - 9 * chunk;
    Stream->Read(Dest, n);
    Dest += n;
    if (!Progress(k, 10)) return false;
  }
  return true;
}

// Stored 16- or 32-bit rows into the 24-bit picture, each row straight to where it belongs.
bool ReadBitFieldRows(TPixelGraphic& Picture, TStream* Stream, int BitCount, const TChannel (&Ch)[3], bool TopDown,
                      const TProgress& Progress) {
  const int width = Picture.GetWidth(), height = Picture.GetHeight();
  const int64_t stored = StoredRowSize(BitCount, width);
  const bool scaling = PGDIB16BitScaling;
  std::vector<uint8_t> row(size_t(std::max<int64_t>(stored, 1)));
  for (int r = 0; r < height; ++r) {
    int64_t got = std::max<int64_t>(Stream->Read(row.data(), stored), 0);
    if (got < stored) std::memset(row.data() + got, 0, size_t(stored - got));  // missing data reads black
    uint8_t* dst = Picture.ScanLine(TopDown ? r : height - 1 - r);
    const uint8_t* src = row.data();
    for (int x = 0; x < width; ++x, dst += 3) {
      uint32_t p = BitCount == 16 ? GetLE16(src + 2 * x) : GetLE32(src + 4 * int64_t(x));
      dst[0] = uint8_t(ChannelValue(Ch[2], p, scaling));
      dst[1] = uint8_t(ChannelValue(Ch[1], p, scaling));
      dst[2] = uint8_t(ChannelValue(Ch[0], p, scaling));
    }
    if (!Progress(r, height)) return false;
  }
  return true;
}

// Where run-length codes write. The decoder keeps 0 <= X <= Width and writes only while
// 0 <= Y < Height (Y counts from the top row); pixels at X >= Width are dropped.
struct TRLETarget {
  uint8_t* Bits;
  int64_t RowSize;
  int64_t Width, Height;
  bool FourBit;

  uint8_t* Row(int64_t Y) const { return Bits + RowSize * (Height - 1 - Y); }
  static void PutNibble(uint8_t* Row, int64_t X, uint8_t V) {
    uint8_t& b = Row[X >> 1];
    b = (X & 1) ? uint8_t((b & 0xF0) | (V & 0x0F)) : uint8_t((b & 0x0F) | (V << 4));
  }
};

// Decodes run-length data from the bottom row up. Codes that do not fit in the data end the
// decoding, as does the row counter leaving the picture (nothing further could be written).
void DecodeRLE(const uint8_t* B, int64_t N, const TRLETarget& T, const TProgress& Progress) {
  const int64_t step = N / 10;  // progress granularity; data under 10 bytes reports none
  int64_t mark = step;          // the next multiple of step that p may land on
  int64_t p = 0, x = 0, y = T.Height - 1;
  uint8_t* row = T.Row(y);
  while (p < N - 1 && y >= 0) {
    const int n = B[p];
    if (n > 0) {  // encoded run
      const uint8_t v = B[p + 1];
      const int64_t end = std::min(x + n, T.Width);
      if (!T.FourBit) {
        if (end - x == 1)  // photographs are mostly single-pixel runs: no call for those
          row[x] = v;
        else if (end > x)
          std::memset(row + x, v, size_t(end - x));
      } else {
        for (int64_t i = x; i < end; ++i) TRLETarget::PutNibble(row, i, ((i - x) & 1) ? v & 0x0F : v >> 4);
      }
      x += n;
      p += 2;
    } else {
      const int e = B[p + 1];
      if (e == 0) {  // end of line
        x = 0;
        --y;
        p += 2;
      } else if (e == 1) {  // end of bitmap
        break;
      } else if (e == 2) {  // delta
        if (p >= N - 3) break;
        x += B[p + 2];
        y -= B[p + 3];
        p += 4;
      } else {  // absolute run of e pixels
        const int64_t bytes = T.FourBit ? (e + 1) / 2 : e;
        if (p + 2 + bytes > N) break;
        const int64_t end = std::min<int64_t>(x + e, T.Width);
        const uint8_t* src = B + p + 2;
        if (!T.FourBit) {
          if (end > x) std::memcpy(row + x, src, size_t(end - x));
        } else {
          for (int64_t i = x; i < end; ++i) {
            const uint8_t b = src[(i - x) >> 1];
            TRLETarget::PutNibble(row, i, ((i - x) & 1) ? b & 0x0F : b >> 4);
          }
        }
        x += e;
        p += 2 + bytes;
        if (p & 1) ++p;  // runs are padded to 16 bits
      }
      if (y >= 0) row = T.Row(y);
    }
    x = std::min(x, T.Width);  // further pixels of the row are dropped anyway
    if (step > 0 && p >= mark) {  // progress when p lands on a multiple of step
      const bool onMark = p % step == 0;
      mark = (p / step + 1) * step;
      if (onMark && !Progress(int(p / step), 10)) break;
    }
  }
}

// Turns the rows upside down. Only pixel bits move: each row's padding and the spare bits of a
// last partial byte stay where they are, as a pixel-by-pixel swap would leave them.
void FlipRows(TPixelGraphic& Picture) {
  const int height = Picture.GetHeight(), width = Picture.GetWidth();
  int64_t full;
  uint8_t partialMask = 0;
  switch (Picture.GetBitCount()) {
    case 1:
      full = width / 8;
      partialMask = uint8_t(0xFF00 >> (width % 8));
      break;
    case 4:
      full = width / 2;
      partialMask = (width & 1) ? 0xF0 : 0;
      break;
    case 8: full = width; break;
    default: full = int64_t(width) * 3;
  }
  for (int j = 0; j < height / 2; ++j) {
    uint8_t* a = Picture.ScanLine(j);
    uint8_t* b = Picture.ScanLine(height - 1 - j);
    std::swap_ranges(a, a + full, b);
    if (partialMask) {
      uint8_t pa = a[full], pb = b[full];
      a[full] = uint8_t((pa & ~partialMask) | (pb & partialMask));
      b[full] = uint8_t((pb & ~partialMask) | (pa & partialMask));
    }
  }
}

int ColorTableCount(const TDIBHeader& H) {
  return H.BitCount > 8 ? 0 : H.ClrUsed ? int(H.ClrUsed) : PaletteSizeOf(H.BitCount);
}

// The colour table (or the skipped entries of 16 to 32 bits) behind the header and its masks.
int64_t ColorTableBytes(const TDIBHeader& H) {
  return H.BitCount <= 8 ? int64_t(ColorTableCount(H)) * (H.Core ? 3 : 4) : 4 * int64_t(H.ClrUsed);
}

bool IsRunLength(const TDIBHeader& H) { return H.Compression == kBiRLE8 || H.Compression == kBiRLE4; }

// Bytes of pixel data the header promises: the stored rows, or the run-length data (no more than
// a picture may hold).
int64_t PixelDataBytes(const TDIBHeader& H) {
  if (IsRunLength(H)) return std::min<int64_t>(H.SizeImage, PGMaxImageSize);
  return StoredRowSize(H.BitCount, H.Width) * (H.Height < 0 ? -H.Height : H.Height);
}

// Uncompressed rows that the stream cannot hold are refused before the picture is made (the last
// row may lack its padding).
void RefuseMissingRows(const TDIBHeader& H, int64_t Size, int64_t Start) {
  const int64_t height = H.Height < 0 ? -H.Height : H.Height;
  if (H.Width <= 0 || height <= 0) return;
  int64_t needed = StoredRowSize(H.BitCount, H.Width) * (height - 1) + (H.BitCount * H.Width + 7) / 8;
  if (needed > Size - Start) RaiseEndOfFile<EPGBMPFileFormatReader>("BMP: ");
}

// A table cut short by the end of the stream reads black where it is missing.
void ReadColorTable(TPixelGraphic& Picture, TStream* Stream, const TDIBHeader& H) {
  const int count = ColorTableCount(H), entrySize = H.Core ? 3 : 4;
  Picture.SetPaletteCount(count);
  std::vector<uint8_t> table(size_t(count) * entrySize, 0);
  ReadFully(Stream, table.data(), int64_t(table.size()));
  for (int i = 0; i < count; ++i) {
    const uint8_t* e = table.data() + int64_t(i) * entrySize;
    Picture.SetPaletteEntry(i, MakeRGB(e[2], e[1], e[0]));
  }
}

}  // namespace

void TPixelGraphic::ReadDIB(TStream* Stream, bool CoreHeader) { ReadDIB(Stream, CoreHeader, -1); }

void TPixelGraphic::ReadDIB(TStream* Stream, bool CoreHeader, int64_t PixelOffset) {
  FlushGdi();
  if (OnProgressStart) OnProgressStart(this);
  bool aborted = false;
  TProgress progress = [this, &aborted](int Step, int Max) {
    if (OnProgress) OnProgress(this, Step, Max, aborted);
    return !aborted;
  };
  Finally(
      [&] {
        const TDIBHeader h = CoreHeader ? ReadCoreHeader(Stream) : ReadInfoHeader(Stream);
        const bool indexed = h.BitCount <= 8;
        const bool bitFields = h.BitCount == 16 || h.BitCount == 32;
        const bool rle = IsRunLength(h);
        // Every size below is checked against the data, so a stream that cannot tell its size is
        // copied first, no further than the block can reach.
        const int64_t here = Stream->GetPosition(), tableEnd = here + ColorTableBytes(h);
        TKnownSizeStream known(Stream, std::max(tableEnd, PixelOffset) + PixelDataBytes(h) - here);
        TStream* in = known.Get();
        const int64_t size = in->GetSize();
        const bool useOffset = PixelOffset > tableEnd && PixelOffset <= size;
        const int64_t start = useOffset ? PixelOffset : tableEnd;
        if (!rle) RefuseMissingRows(h, size, start);

        NewImage(int(h.Width), int(h.Height < 0 ? -h.Height : h.Height),
                 indexed ? BitCountToNum(h.BitCount) : pgbc24Bits);
        TChannel channels[3];
        if (indexed) {
          ReadColorTable(*this, in, h);
        } else {
          if (h.Core) SetPaletteCount(0);
          PaletteIdent = pTrueColor;
          if (bitFields)
            for (int i = 0; i < 3; ++i) channels[i] = PrepareChannel(h.Masks[i], h.BitCount);
        }
        in->Seek(start, soBeginning);
        // A picture without pixels (a width or height of 0) has no rows to walk, however many the
        // header counts.
        if (!Bits) return;

        if (rle) {
          // Only what the stream holds is allocated; codes beyond it would only be zeros.
          const int64_t available = std::max<int64_t>(size - start, 0);
          std::vector<uint8_t> data(size_t(std::min(PixelDataBytes(h), available)), 0);
          if (!ChunkedRead(in, data.data(), int64_t(data.size()), progress)) return;
          DecodeRLE(data.data(), int64_t(data.size()), TRLETarget{Bits, RowSize, Width, Height, h.Compression == kBiRLE4},
                    progress);
        } else if (bitFields) {
          ReadBitFieldRows(*this, in, h.BitCount, channels, h.Height < 0, progress);
        } else {
          ChunkedRead(in, Bits, ImageSize, progress);
          if (h.Height < 0) FlipRows(*this);
        }
      },
      [this] {
        if (OnProgressEnd) OnProgressEnd(this);
      });
}

int TPixelGraphic::GetDIBColorCount() const {
  if (IsTrueColor()) return PaletteCount;
  int size = GetPaletteSize();
  return PaletteCount == 0 || PaletteCount > size ? size : PaletteCount;
}

void TPixelGraphic::WriteDIB(TStream* Stream) {
  FlushGdi();
  const int colors = GetDIBColorCount();
  std::vector<uint8_t> head(size_t(kInfoHeaderSize) + 4 * size_t(colors), 0);
  uint8_t* h = head.data();
  PutLE32(h, kInfoHeaderSize);
  PutLE32(h + 4, uint32_t(Width));
  PutLE32(h + 8, uint32_t(Height));
  PutLE16(h + 12, 1);
  PutLE16(h + 14, uint32_t(GetBitCount()));
  PutLE32(h + 20, uint32_t(ImageSize));
  PutLE32(h + 32, uint32_t(colors));
  const RGBQUAD* table = ColorTable();
  for (int i = 0; i < colors; ++i) {
    uint8_t* e = h + kInfoHeaderSize + 4 * i;
    if (i < PaletteCount) {
      TRGB c = PaletteEntries[size_t(i)];
      e[0] = uint8_t(RGBBlue(c)), e[1] = uint8_t(RGBGreen(c)), e[2] = uint8_t(RGBRed(c));
    } else if (table) {  // no palette: the section's own table, black as NewImage made it
      e[0] = table[i].rgbBlue, e[1] = table[i].rgbGreen, e[2] = table[i].rgbRed;
    }
  }
  Stream->WriteBuffer(head.data(), int64_t(head.size()));
  if (Bits && ImageSize > 0) Stream->WriteBuffer(Bits, ImageSize);
}

}  // namespace imagelib
