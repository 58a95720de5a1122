// Stretching and copying between pictures of any bit counts: StretchCopy with its three resampling
// qualities, CopyRect and CopyFrom.
#include <cstring>
#include <deque>
#include <vector>

#include "classlib/finally.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

namespace {

enum class Kind { Nearest, OneToOne, Linear, Box };

// How one target column (or row) samples the source.
struct Record {
  int64_t First = 0, Last = 0;
  int64_t WeightFirst = 1, WeightLast = 1;
  uint8_t Span = 0;  // 0: one source pixel, 1: two, 2: more (those between weigh the target size)
  bool Valid = false;
};

Kind KindFor(TStretchMode Mode, int64_t Source, int64_t Target) {
  if (Source == Target) return Kind::OneToOne;
  bool shrinking = Target < Source;
  switch (Mode) {
    case smFast: return Kind::Nearest;
    case smMedium: return shrinking ? Kind::Linear : Kind::Box;
    default: return shrinking ? Kind::Box : Kind::Linear;
  }
}

int64_t Divisor(Kind K, int64_t Source, int64_t Target) {
  switch (K) {
    case Kind::Linear: return 2 * Target;
    case Kind::Box: return Source;
    default: return 1;
  }
}

// The record of target position A (0 = the first of the target rectangle). Sizes in 64 bits: the
// products of position and size pass 32 bits at large zooms.
Record MakeRecord(Kind K, int64_t A, int64_t SrcPos, int64_t SrcSize, int64_t DstSize, int64_t Extent) {
  Record r;
  switch (K) {
    case Kind::Nearest:
      r.First = r.Last = SrcPos + (A * SrcSize) / DstSize;
      break;
    case Kind::OneToOne:
      r.First = r.Last = SrcPos + A;
      break;
    case Kind::Linear: {
      int64_t u = (2 * A + 1) * SrcSize;
      r.First = SrcPos + (u - DstSize) / (2 * DstSize);
      r.Last = SrcPos + (u + DstSize) / (2 * DstSize);
      r.Span = 1;
      bool enlarging = DstSize > SrcSize;
      bool outside = r.First < 0 || r.First >= Extent || r.Last < 0 || r.Last >= Extent;
      if (enlarging && outside && ((r.First < 0 && r.Last >= 0) || (r.First < Extent && r.Last >= Extent))) {
        auto clamp = [Extent](int64_t v) { return v < 0 ? 0 : (v > Extent - 1 ? Extent - 1 : v); };
        r.First = clamp(r.First);
        r.Last = clamp(r.Last);
      }
      int64_t cF = (2 * (r.First - SrcPos) + 1) * DstSize, cL = (2 * (r.Last - SrcPos) + 1) * DstSize;
      r.WeightFirst = 2 * DstSize - (u - cF);
      r.WeightLast = 2 * DstSize - (cL - u);
      if (u == cF || r.First == r.Last) {
        r.Span = 0;
        r.WeightFirst = 2 * DstSize;
      }
      break;
    }
    case Kind::Box: {
      r.First = SrcPos + (A * SrcSize) / DstSize;
      int64_t end = (A + 1) * SrcSize;
      r.Last = SrcPos + end / DstSize - (end % DstSize == 0 ? 1 : 0);
      r.WeightFirst = (r.First - SrcPos + 1) * DstSize - A * SrcSize;
      r.WeightLast = end - (r.Last - SrcPos) * DstSize;
      if (r.First == r.Last) {
        r.WeightFirst = SrcSize;
        r.Span = 0;
      } else {
        r.Span = r.Last == r.First + 1 ? 1 : 2;
      }
      break;
    }
  }
  r.Valid = r.First >= 0 && r.First < Extent && r.Last >= 0 && r.Last < Extent;
  return r;
}

// The source pixels a record weighs, with their weights.
struct Tap {
  int32_t Index;
  int64_t Weight;
};

void AppendTaps(const Record& R, int64_t Between, std::vector<Tap>& Taps) {
  Taps.push_back(Tap{int32_t(R.First), R.WeightFirst});
  if (R.Span == 0) return;
  for (int64_t i = R.First + 1; i < R.Last; ++i) Taps.push_back(Tap{int32_t(i), Between});
  Taps.push_back(Tap{int32_t(R.Last), R.WeightLast});
}

}  // namespace

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

bool TPixelGraphic::PrepareDithering() {
  // Palette targets dither when Dither is on; anything else drops a dithering state left over.
  bool dithering = Dither && !IsTrueColor();
  if (dithering)
    BeginDither();
  else
    EndDither();
  return dithering;
}

void TPixelGraphic::CopyFrom(TPixelGraphic* Source) {
  StretchCopy(0, 0, Width, Height, 0, 0, Source->Width, Source->Height, Source);
}

void TPixelGraphic::StretchCopy(int DstX, int DstY, int DstW, int DstH, int SrcX, int SrcY, int SrcW, int SrcH,
                                TPixelGraphic* Source) {
  FlushGdi();
  if (SrcW == DstW && SrcH == DstH) {
    CopyRect(DstX, DstY, DstW, DstH, SrcX, SrcY, Source);
    return;
  }
  // An empty rectangle has nothing to sample (and the kernels divide by both sizes).
  if (Width < 1 || Height < 1 || !Bits || Source->Width < 1 || Source->Height < 1 || !Source->Bits || SrcW < 1 ||
      SrcH < 1 || DstW < 1 || DstH < 1)
    return;
  Source->FlushGdi();
  int x0 = IntMax(DstX, 0), x1 = int(std::min<int64_t>(int64_t(DstX) + DstW - 1, Width - 1));
  int y0 = IntMax(DstY, 0), y1 = int(std::min<int64_t>(int64_t(DstY) + DstH - 1, Height - 1));
  bool dithering = PrepareDithering();
  ScopeExit endDither([&] { EndDither(); });

  Kind horizontal = KindFor(StretchMode, SrcW, DstW), vertical = KindFor(StretchMode, SrcH, DstH);
  int64_t hDiv = Divisor(horizontal, SrcW, DstW), vDiv = Divisor(vertical, SrcH, DstH);
  int columns = x1 >= x0 ? x1 - x0 + 1 : 0;
  // Per target column: its taps (source column, weight) in one flat list.
  std::vector<int32_t> tapStart(size_t(columns) + 1, 0);
  std::vector<Tap> taps;
  std::vector<bool> columnValid(size_t(columns), false);
  int sourceFirst = Source->Width, sourceLast = -1;
  for (int c = 0; c < columns; ++c) {
    Record r = MakeRecord(horizontal, x0 + c - int64_t(DstX), SrcX, SrcW, DstW, Source->Width);
    tapStart[size_t(c)] = int32_t(taps.size());
    if (r.Valid) {
      columnValid[size_t(c)] = true;
      AppendTaps(r, DstW, taps);
      sourceFirst = IntMin(sourceFirst, int(r.First));
      sourceLast = IntMax(sourceLast, int(r.Last));
    }
  }
  tapStart[size_t(columns)] = int32_t(taps.size());
  bool allColumns = columns == Width;
  for (int c = 0; c < columns && allColumns; ++c) allColumns = columnValid[size_t(c)];

  // The horizontal pass of a source row depends on that row only, so it is kept for the next
  // target row that weighs the same source row.
  struct Partial {
    int SourceRow;
    std::vector<int32_t> RGB;  // three per target column
  };
  std::deque<Partial> partials;
  TRGB sourceColors[256];
  Source->ConversionColors(sourceColors);
  std::vector<uint8_t> sourceRow(size_t(IntMax(sourceLast - sourceFirst + 1, 0)) * 3);
  auto partialOf = [&](int row) -> const std::vector<int32_t>& {
    for (const Partial& p : partials)
      if (p.SourceRow == row) return p.RGB;
    Partial p{row, std::vector<int32_t>(size_t(columns) * 3, 0)};
    if (sourceLast >= sourceFirst) Source->ReadRowColors(row, sourceFirst, sourceLast - sourceFirst + 1, sourceColors, sourceRow.data());
    for (int c = 0; c < columns; ++c) {
      if (!columnValid[size_t(c)]) continue;
      int64_t sr = 0, sg = 0, sb = 0;
      for (int32_t t = tapStart[size_t(c)]; t < tapStart[size_t(c) + 1]; ++t) {
        const uint8_t* px = sourceRow.data() + size_t(taps[size_t(t)].Index - sourceFirst) * 3;
        int64_t w = taps[size_t(t)].Weight;
        sb += px[0] * w;
        sg += px[1] * w;
        sr += px[2] * w;
      }
      p.RGB[size_t(c) * 3] = int32_t(sr / hDiv);
      p.RGB[size_t(c) * 3 + 1] = int32_t(sg / hDiv);
      p.RGB[size_t(c) * 3 + 2] = int32_t(sb / hDiv);
    }
    partials.push_back(std::move(p));
    return partials.back().RGB;
  };

  bool picking = IsTrueColor() && Source->IsTrueColor() &&
                 (horizontal == Kind::Nearest || horizontal == Kind::OneToOne) &&
                 (vertical == Kind::Nearest || vertical == Kind::OneToOne);
  if (OnProgressStart) OnProgressStart(this);
  std::vector<int64_t> totals(size_t(columns) * 3);
  std::vector<uint8_t> targetRow(size_t(Width) * 3);
  std::vector<Tap> rowTaps;
  bool abort = false;
  for (int y = y0; y <= y1 && !abort; ++y) {
    if (dithering) NextDitherRow();
    Record rowRecord = MakeRecord(vertical, y - int64_t(DstY), SrcY, SrcH, DstH, Source->Height);
    if (!rowRecord.Valid) continue;
    if (picking) {
      // One source pixel per target pixel with weight one: the sums are the pixel itself.
      const uint8_t* from = Source->ScanLine(int(rowRecord.First));
      uint8_t* to = ScanLine(y);
      for (int c = 0; c < columns; ++c)
        if (columnValid[size_t(c)]) std::memcpy(to + (x0 + c) * 3, from + taps[size_t(tapStart[size_t(c)])].Index * 3, 3);
      if (OnProgress) OnProgress(this, y - y0, y1 - y0, abort);
      continue;
    }
    rowTaps.clear();
    AppendTaps(rowRecord, DstH, rowTaps);
    while (!partials.empty() && partials.front().SourceRow < rowTaps.front().Index) partials.pop_front();
    std::fill(totals.begin(), totals.end(), 0);
    for (const Tap& t : rowTaps) {
      const std::vector<int32_t>& partial = partialOf(t.Index);
      for (size_t k = 0; k < totals.size(); ++k) totals[k] += partial[k] * t.Weight;
    }
    auto channel = [&](int c, int k) { return int(totals[size_t(c) * 3 + size_t(k)] / vDiv); };
    if (dithering && allColumns) {
      for (int c = 0; c < columns; ++c) {
        targetRow[size_t(c) * 3] = uint8_t(channel(c, 2));
        targetRow[size_t(c) * 3 + 1] = uint8_t(channel(c, 1));
        targetRow[size_t(c) * 3 + 2] = uint8_t(channel(c, 0));
      }
      DitherRow(y, targetRow.data());
    } else {
      for (int i = 0; i < columns; ++i) {
        int c = (y & 1) ? columns - 1 - i : i;  // odd rows from the right
        if (columnValid[size_t(c)]) WriteConverted(x0 + c, y, channel(c, 0), channel(c, 1), channel(c, 2), dithering);
      }
    }
    if (OnProgress) OnProgress(this, y - y0, y1 - y0, abort);
  }
  if (OnProgressEnd) OnProgressEnd(this);
  endDither.Dismiss();
  EndDither();
  Changed();
}

void TPixelGraphic::CopyRect(int DstX, int DstY, int DstW, int DstH, int SrcX, int SrcY, TPixelGraphic* Source) {
  FlushGdi();
  // Without pixel memory a picture reads and writes nothing, as if it were empty.
  if (Width <= 0 || Height <= 0 || !Bits || Source->Width <= 0 || Source->Height <= 0 || !Source->Bits) return;
  Source->FlushGdi();
  int y0 = IntMax(DstY, 0), y1 = int(std::min<int64_t>(int64_t(DstY) + DstH - 1, Height - 1));
  // The columns inside both pictures.
  int64_t first = std::max<int64_t>({int64_t(DstX), 0, int64_t(DstX) - SrcX});
  int64_t last = std::min<int64_t>({int64_t(DstX) + DstW - 1, int64_t(Width) - 1, int64_t(Source->Width) - 1 + DstX - SrcX});
  if (first > last) {
    Changed();
    return;
  }
  int x0 = int(first), x1 = int(last), count = x1 - x0 + 1;
  bool dithering = PrepareDithering();
  ScopeExit endDither([&] { EndDither(); });
  if (OnProgressStart) OnProgressStart(this);
  bool blocks = IsTrueColor() && Source->IsTrueColor();
  bool allColumns = x0 == 0 && count == Width;
  std::vector<uint8_t> colors(size_t(count) * 3);
  TRGB sourceColors[256];
  Source->ConversionColors(sourceColors);
  bool abort = false;
  for (int y = y0; y <= y1 && !abort; ++y) {
    int64_t sy = int64_t(y) + SrcY - DstY;
    if (sy < 0 || sy >= Source->Height) continue;
    if (blocks) {
      std::memmove(ScanLine(y) + int64_t(x0) * 3, Source->ScanLine(int(sy)) + (int64_t(x0) + SrcX - DstX) * 3,
                   size_t(count) * 3);
      continue;
    }
    if (dithering) NextDitherRow();
    Source->ReadRowColors(int(sy), int(int64_t(x0) + SrcX - DstX), count, sourceColors, colors.data());
    if (dithering && allColumns) {
      DitherRow(y, colors.data());
    } else {
      for (int i = 0; i < count; ++i) {
        int c = (y & 1) ? count - 1 - i : i;
        const uint8_t* px = colors.data() + size_t(c) * 3;
        WriteConverted(x0 + c, y, px[2], px[1], px[0], dithering);
      }
    }
    if (OnProgress) OnProgress(this, y - y0, y1 - y0, abort);
  }
  if (OnProgressEnd) OnProgressEnd(this);
  endDither.Dismiss();
  EndDither();
  Changed();
}

}  // namespace imagelib
