// Stretching and copying between pictures of any bit counts: StretchCopy with its three resampling
// qualities, CopyRect and CopyFrom.
#include <algorithm>
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
        r.First = std::clamp<int64_t>(r.First, 0, Extent - 1);
        r.Last = std::clamp<int64_t>(r.Last, 0, Extent - 1);
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

// The horizontal sampling of the target columns, made once per copy: column c (of Count, from the
// first target column inside the picture) weighs Taps[Start[c]] .. Taps[Start[c + 1] - 1].
struct ColumnTaps {
  int Count = 0;
  std::vector<int32_t> Start;
  std::vector<Tap> Taps;
  std::vector<bool> Valid;
  int SourceFirst = 0, SourceLast = -1;  // the source columns any tap reads
  bool AllValid = false;                 // the columns are the whole target row, all of them valid
};

ColumnTaps PlanColumns(Kind K, int X0, int X1, int DstX, int DstW, int SrcX, int SrcW, int SourceWidth,
                       int TargetWidth) {
  ColumnTaps plan;
  plan.Count = X1 >= X0 ? X1 - X0 + 1 : 0;
  plan.Start.assign(size_t(plan.Count) + 1, 0);
  plan.Valid.assign(size_t(plan.Count), false);
  plan.SourceFirst = SourceWidth;
  for (int c = 0; c < plan.Count; ++c) {
    Record r = MakeRecord(K, X0 + c - int64_t(DstX), SrcX, SrcW, DstW, SourceWidth);
    plan.Start[size_t(c)] = int32_t(plan.Taps.size());
    if (!r.Valid) continue;
    plan.Valid[size_t(c)] = true;
    AppendTaps(r, DstW, plan.Taps);
    plan.SourceFirst = IntMin(plan.SourceFirst, int(r.First));
    plan.SourceLast = IntMax(plan.SourceLast, int(r.Last));
  }
  plan.Start[size_t(plan.Count)] = int32_t(plan.Taps.size());
  plan.AllValid = plan.Count == TargetWidth;
  for (int c = 0; c < plan.Count && plan.AllValid; ++c) plan.AllValid = plan.Valid[size_t(c)];
  return plan;
}

// The horizontal passes of the source rows: three sums per target column, divided by the
// horizontal divisor. A pass depends on its source row only, so it is kept for the following
// target rows that weigh the same source row; the target rows run downwards, and so do theirs.
class SourceRowPasses {
 public:
  SourceRowPasses(TPixelGraphic* Source, const ColumnTaps& Columns, int64_t Divisor)
      : Source(Source), Columns(Columns), Divisor(Divisor),
        Row(size_t(IntMax(Columns.SourceLast - Columns.SourceFirst + 1, 0)) * 3) {
    Source->ConversionColors(Colors);
  }

  // Forgets the passes of the source rows above SourceRow.
  void DropAbove(int SourceRow) {
    while (!Passes.empty() && Passes.front().SourceRow < SourceRow) Passes.pop_front();
  }

  const std::vector<int32_t>& Of(int SourceRow) {
    for (const Pass& p : Passes)
      if (p.SourceRow == SourceRow) return p.RGB;
    Pass p{SourceRow, std::vector<int32_t>(size_t(Columns.Count) * 3, 0)};
    int first = Columns.SourceFirst, last = Columns.SourceLast;
    if (last >= first) Source->ReadRowColors(SourceRow, first, last - first + 1, Colors, Row.data());
    for (int c = 0; c < Columns.Count; ++c) {
      if (!Columns.Valid[size_t(c)]) continue;
      int64_t sr = 0, sg = 0, sb = 0;
      for (int32_t t = Columns.Start[size_t(c)]; t < Columns.Start[size_t(c) + 1]; ++t) {
        const Tap& tap = Columns.Taps[size_t(t)];
        const uint8_t* px = Row.data() + size_t(tap.Index - first) * 3;
        sb += px[0] * tap.Weight;
        sg += px[1] * tap.Weight;
        sr += px[2] * tap.Weight;
      }
      p.RGB[size_t(c) * 3] = int32_t(sr / Divisor);
      p.RGB[size_t(c) * 3 + 1] = int32_t(sg / Divisor);
      p.RGB[size_t(c) * 3 + 2] = int32_t(sb / Divisor);
    }
    Passes.push_back(std::move(p));  // a deque keeps the rows handed out before in place
    return Passes.back().RGB;
  }

 private:
  struct Pass {
    int SourceRow;
    std::vector<int32_t> RGB;
  };
  TPixelGraphic* Source;
  const ColumnTaps& Columns;
  int64_t Divisor;
  TRGB Colors[256];
  std::vector<uint8_t> Row;  // the source columns the taps read, as blue, green, red
  std::deque<Pass> Passes;
};

// The vertical pass of a target row: the horizontal passes of the source rows its taps weigh, as
// blue, green, red per column (every kind's weights add up to its divisor, so each fits a byte).
void SumRow(const std::vector<Tap>& RowTaps, int64_t Divisor, SourceRowPasses& Passes,
            std::vector<int64_t>& Totals, uint8_t* BGR) {
  Passes.DropAbove(RowTaps.front().Index);
  std::fill(Totals.begin(), Totals.end(), 0);
  for (const Tap& t : RowTaps) {
    const std::vector<int32_t>& pass = Passes.Of(t.Index);
    for (size_t k = 0; k < Totals.size(); ++k) Totals[k] += pass[k] * t.Weight;
  }
  const int64_t* totals = Totals.data();
  for (size_t c = 0, columns = Totals.size() / 3; c < columns; ++c) {
    BGR[3 * c] = uint8_t(totals[3 * c + 2] / Divisor);
    BGR[3 * c + 1] = uint8_t(totals[3 * c + 1] / Divisor);
    BGR[3 * c + 2] = uint8_t(totals[3 * c] / Divisor);
  }
}

// One source pixel per target pixel with weight one, between true-colour pictures: the sums are
// the pixel itself.
void PickRow(const uint8_t* From, uint8_t* To, int X0, const ColumnTaps& Columns) {
  for (int c = 0; c < Columns.Count; ++c)
    if (Columns.Valid[size_t(c)])
      std::memcpy(To + (X0 + c) * 3, From + Columns.Taps[size_t(Columns.Start[size_t(c)])].Index * 3, 3);
}

}  // namespace

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
  const ColumnTaps columns = PlanColumns(horizontal, x0, x1, DstX, DstW, SrcX, SrcW, Source->Width, Width);
  SourceRowPasses passes(Source, columns, Divisor(horizontal, SrcW, DstW));
  const int64_t vDiv = Divisor(vertical, SrcH, DstH);
  bool picking = IsTrueColor() && Source->IsTrueColor() &&
                 (horizontal == Kind::Nearest || horizontal == Kind::OneToOne) &&
                 (vertical == Kind::Nearest || vertical == Kind::OneToOne);
  if (OnProgressStart) OnProgressStart(this);
  std::vector<int64_t> totals(size_t(columns.Count) * 3);
  std::vector<uint8_t> targetRow(size_t(columns.Count) * 3);
  std::vector<Tap> rowTaps;
  bool abort = false;
  for (int y = y0; y <= y1 && !abort; ++y) {
    if (dithering) NextDitherRow();
    Record rowRecord = MakeRecord(vertical, y - int64_t(DstY), SrcY, SrcH, DstH, Source->Height);
    if (!rowRecord.Valid) continue;
    if (picking) {
      PickRow(Source->ScanLine(int(rowRecord.First)), ScanLine(y), x0, columns);
    } else {
      rowTaps.clear();
      AppendTaps(rowRecord, DstH, rowTaps);
      SumRow(rowTaps, vDiv, passes, totals, targetRow.data());
      WriteConvertedRow(y, x0, columns.Count, targetRow.data(), dithering, columns.AllValid ? nullptr : &columns.Valid);
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
    WriteConvertedRow(y, x0, count, colors.data(), dithering, nullptr);
    if (OnProgress) OnProgress(this, y - y0, y1 - y0, abort);
  }
  if (OnProgressEnd) OnProgressEnd(this);
  endDither.Dismiss();
  EndDither();
  Changed();
}

}  // namespace imagelib
