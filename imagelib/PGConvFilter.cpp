// The convolution filter and its kernels. The row form splits each row into the pixels whose kernel
// lies wholly inside the source, whose sums need no checks and whose channels come from a table of
// every possible sum, and the border pixels, which take the per-pixel way.
#include "imagelib/PGConvFilter.h"

#include <algorithm>
#include <cmath>

#include "classlib/numerics.h"

namespace imagelib {

namespace {
constexpr int kMaxKernelSize = 99;
// Beyond this radius no kernel fits (2R + 1 > 99); counting stops there.
constexpr int kRadiusLimit = 50;
// Largest table of channels per sum; a larger range computes each channel as it comes.
constexpr int64_t kMaxTable = int64_t(1) << 20;
// Bytes of a row summed at a time, so that the sums stay in the first-level cache.
constexpr int kChunk = 768;
constexpr long double kPi = 3.141592653589793238462643383279502884L;

// Round(V) as a kernel cell; Fill names what made a value no cell can hold.
int32_t RoundCell(long double V, const char* Fill) {
  if (!(V >= -2147483648.0L && V < 2147483648.0L)) throw EPGConvFilter(PGLangStrS1(pgmOutOfRange, Fill));
  return int32_t(nearbyintl(V));
}

// The strength of sharpening and smoothing divides 100.
void CheckPercent(long double Percent) {
  if (!(Percent > 0 && std::isfinite(Percent))) throw EPGConvFilter(PGLangStrS1(pgmOutOfRange, "Percent"));
}

int32_t CheckedCell(int64_t V, const char* Fill) {
  if (V < INT32_MIN || V > INT32_MAX) throw EPGConvFilter(PGLangStrS1(pgmOutOfRange, Fill));
  return int32_t(V);
}
}  // namespace

struct TConvFilter::RowState {
  struct Tap {
    int Row;       // kernel row
    int Offset;    // bytes from the output pixel's column to the tap's source column
    int32_t Weight;
  };
  bool Interior = false;  // the interior is summed in 32 bits
  bool Narrow = false;    // every weight fits in 16 bits
  int X0 = 0, X1 = -1;    // output columns whose kernel lies inside the source
  int Y0 = 0, Y1 = -1;    // output rows likewise
  std::vector<Tap> Taps;  // the cells that are not 0
  int64_t Sum = 0;        // of all cells: the weights of every interior pixel
  std::vector<uint8_t> Table;  // channel per sum from TableMin on, or empty
  int32_t TableMin = 0;
  std::vector<int32_t> Sums;
  std::vector<const uint8_t*> RowPointers;  // per kernel row, at the first interior column
  // A palette source's rows as colours, one slot per kernel row.
  TRGB Colors[256];
  std::vector<std::vector<uint8_t>> Cache;
  std::vector<int> CacheRow;
};

TConvFilter::TConvFilter() : Kernel(1, 1) {}

TConvFilter::~TConvFilter() = default;

void TConvFilter::BeginFilter(TPixelGraphic* ASource) {
  TPGFilter::BeginFilter(ASource);
  Rows.reset();
}

// ---- the kernel

void TConvFilter::SetWidth(int Value) {
  if (Value < 1 || Value > kMaxKernelSize) throw EPGConvFilter(PGLangStrS1(pgmOutOfRange, "TConvFilter.Width"));
  if (Value == Width) return;
  Width = Value;
  Kernel.assign(size_t(Width) * size_t(Height), 0);
}

void TConvFilter::SetHeight(int Value) {
  if (Value < 1 || Value > kMaxKernelSize) throw EPGConvFilter(PGLangStrS1(pgmOutOfRange, "TConvFilter.Height"));
  if (Value == Height) return;
  Height = Value;
  Kernel.assign(size_t(Width) * size_t(Height), 0);
}

int32_t TConvFilter::GetKernelValue(int X, int Y) const {
  if (X < 0 || X >= Width || Y < 0 || Y >= Height) throw EPGConvFilter(PGLangStr(pgmXYOutOfRange));
  return Kernel[size_t(X) + size_t(Y) * size_t(Width)];
}

void TConvFilter::SetKernelValue(int X, int Y, int32_t Value) {
  if (X < 0 || X >= Width || Y < 0 || Y >= Height) throw EPGConvFilter(PGLangStr(pgmXYOutOfRange));
  Kernel[size_t(X) + size_t(Y) * size_t(Width)] = Value;
}

int64_t TConvFilter::KernelSum() const {
  int64_t s = 0;
  for (int32_t w : Kernel) s += w;
  return s;
}

template <class MakeFn>
void TConvFilter::Remake(MakeFn&& Make) {
  std::vector<int32_t> kernel = Kernel;
  int32_t width = Width, height = Height, offsetX = OffsetX, offsetY = OffsetY;
  long double bias = Bias, factor = Factor;
  try {
    Make();
  } catch (...) {
    Kernel = std::move(kernel);
    Width = width;
    Height = height;
    OffsetX = offsetX;
    OffsetY = offsetY;
    Bias = bias;
    Factor = factor;
    throw;
  }
}

void TConvFilter::MakeKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation) {
  Remake([&] { MakeShapeKernel(Shape, UseDistance, StdDeviation); });
}

void TConvFilter::MakeShapeKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation) {
  const long double sigma = StdDeviation;
  bool known = Shape == dsGaussian || Shape == dsTent || Shape == dsRect;
  // Without a positive spread the shapes divide by zero or are nowhere positive.
  if (known && !(sigma > 0 && std::isfinite(sigma))) throw EPGConvFilter(PGLangStrS1(pgmOutOfRange, "StdDeviation"));
  long double a = Shape == dsTent ? sqrtl(6.0L) * sigma : sqrtl(3.0L) * sigma;
  auto f = [&](long double x) -> long double {
    switch (Shape) {
      case dsGaussian: return expl(-(x * x) / (2 * (sigma * sigma))) / (sigma * sqrtl(2 * kPi));
      case dsTent: return fabsl(x) <= a ? 1 / a - fabsl(x) / (a * a) : 0;
      default: return fabsl(x) <= a ? 1 / (2 * a) : 0;
    }
  };
  // A kernel of radius R, cell (x, y) from its distances (dx, dy) to the centre.
  auto fill = [&](int R, auto Cell) {
    SetWidth(2 * R + 1);
    SetHeight(2 * R + 1);
    for (int y = 0; y <= 2 * R; ++y)
      for (int x = 0; x <= 2 * R; ++x) SetKernelValue(x, y, Cell(x - R, y - R));
  };
  int r = 0;
  if (Shape == dsGaussian || Shape == dsTent) {
    long double f0 = f(0);
    long double s = UseDistance ? 16 / f0 : 16 / (f0 * f0);
    int x = 0;
    for (; x <= kRadiusLimit; ++x)
      if (RoundCell(UseDistance ? f(x) * s : f(x) * s * f0, "StdDeviation") <= 0) break;
    r = x - 1;
    fill(r, [&](long double dx, long double dy) {
      return RoundCell(UseDistance ? f(sqrtl(dx * dx + dy * dy)) * s : f(dx) * s * f(dy), "StdDeviation");
    });
  } else if (Shape == dsRect) {
    int x = 0;
    while (x <= kRadiusLimit && f(x) != 0) ++x;
    r = x - 1;
    fill(r, [&](long double dx, long double dy) {
      return (UseDistance ? f(sqrtl(dx * dx + dy * dy)) > 0 : f(dx) * f(dy) > 0) ? 1 : 0;
    });
  }
  OffsetX = -r;
  OffsetY = -r;
  Bias = 0;
  Factor = 1.0L;
}

void TConvFilter::MakeSharpenKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation,
                                    long double Percent) {
  CheckPercent(Percent);
  Remake([&] {
    MakeShapeKernel(Shape, UseDistance, StdDeviation);
    int64_t sum = KernelSum();
    for (int32_t& w : Kernel) w = CheckedCell(-int64_t(w), "TConvFilter.Kernel");
    SetKernelValue(-OffsetX, -OffsetY, RoundCell(100 / Percent * sum, "Percent"));
  });
}

void TConvFilter::MakeSmoothKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation,
                                   long double Percent) {
  CheckPercent(Percent);
  Remake([&] {
    MakeShapeKernel(Shape, UseDistance, StdDeviation);
    int64_t sum = KernelSum();
    int64_t add = RoundCell((100 / Percent - 1) * sum, "Percent");
    SetKernelValue(-OffsetX, -OffsetY, CheckedCell(GetKernelValue(-OffsetX, -OffsetY) + add, "Percent"));
  });
}

// ---- filtering

int TConvFilter::Channel(int64_t S, int64_t W) const {
  long double mean = W != 0 ? static_cast<long double>(S) / static_cast<long double>(W) : static_cast<long double>(S);
  return PGRoundChannel(Factor * mean + Bias * 255 * 0.01L);
}

template <class ColorAt>
TRGB TConvFilter::SumPixel(int X, int Y, ColorAt&& Color) const {
  // The kernel rows and columns over the source; 64 bits, as offsets may be anything.
  int64_t top = int64_t(Y) + OffsetY, left = int64_t(X) + OffsetX;
  int64_t i0 = std::max<int64_t>(0, -top), i1 = std::min<int64_t>(Height - 1, Source->GetHeight() - 1 - top);
  int64_t j0 = std::max<int64_t>(0, -left), j1 = std::min<int64_t>(Width - 1, Source->GetWidth() - 1 - left);
  int64_t w = 0, sr = 0, sg = 0, sb = 0;
  for (int64_t i = i0; i <= i1; ++i)
    for (int64_t j = j0; j <= j1; ++j) {
      int64_t cell = Kernel[size_t(j + i * Width)];
      TRGB c = Color(int(left + j), int(top + i));
      w += cell;
      sr += cell * RGBRed(c);
      sg += cell * RGBGreen(c);
      sb += cell * RGBBlue(c);
    }
  return MakeRGB(Channel(sr, w), Channel(sg, w), Channel(sb, w));
}

TRGB TConvFilter::FilterPixel(int X, int Y) {
  if (!Source) throw EPGFilter(PGLangStrS1(pgmInvalidValueFor, "Source"));
  Source->GetBits();  // flushes pending drawing
  return SumPixel(X, Y, [this](int x, int y) { return SourceColor(x, y); });
}

void TConvFilter::PrepareRows() {
  Rows = std::make_unique<RowState>();
  RowState& r = *Rows;
  int64_t sw = Source->GetWidth(), sh = Source->GetHeight();
  // Offsets may be anything: the bounds are found in 64 bits and kept within the picture.
  auto clamp = [](int64_t V, int64_t Low, int64_t High) { return int(std::min(std::max(V, Low), High)); };
  r.X0 = clamp(-int64_t(OffsetX), 0, sw);
  r.X1 = clamp(sw - int64_t(OffsetX) - Width, -1, sw - 1);
  r.Y0 = clamp(-int64_t(OffsetY), 0, sh);
  r.Y1 = clamp(sh - int64_t(OffsetY) - Height, -1, sh - 1);
  int64_t positive = 0, negative = 0;
  for (int32_t w : Kernel) (w > 0 ? positive : negative) += w;
  r.Sum = positive + negative;
  // Any sum of the interior lies in 255 x negative .. 255 x positive.
  int64_t low = 255 * negative, high = 255 * positive;
  r.Interior = r.X0 <= r.X1 && r.Y0 <= r.Y1 && low >= INT32_MIN && high <= INT32_MAX;
  r.Narrow = true;
  if (r.Interior) {
    // With an interior every tap lies within a row of the picture, so its offset is small.
    for (int i = 0; i < Height; ++i)
      for (int j = 0; j < Width; ++j) {
        int32_t w = Kernel[size_t(j + i * Width)];
        if (w == 0) continue;
        r.Taps.push_back(RowState::Tap{i, 3 * (OffsetX + j), w});
        r.Narrow = r.Narrow && w >= INT16_MIN && w <= INT16_MAX;
      }
    int64_t range = high - low + 1;
    int64_t values = 3 * (int64_t(r.X1) - r.X0 + 1) * (int64_t(r.Y1) - r.Y0 + 1);
    if (range <= kMaxTable && range <= values) {
      r.TableMin = int32_t(low);
      r.Table.resize(size_t(range));
      for (int64_t s = low; s <= high; ++s) r.Table[size_t(s - low)] = uint8_t(Channel(s, r.Sum));
    }
    r.Sums.resize(kChunk);
    r.RowPointers.resize(size_t(Height));
  }
  if (!Source->IsTrueColor()) {
    Source->ConversionColors(r.Colors);
    r.Cache.assign(size_t(Height), std::vector<uint8_t>(size_t(sw) * 3));
    r.CacheRow.assign(size_t(Height), -1);
  }
}

const uint8_t* TConvFilter::SourceRow(int Row) {
  if (Source->IsTrueColor()) return Source->ScanLine(Row);
  RowState& r = *Rows;
  // The rows one output row reads are consecutive and at most Height of them, so slots never clash.
  size_t slot = size_t(Row) % size_t(Height);
  if (r.CacheRow[slot] != Row) {
    Source->ReadRowColors(Row, 0, Source->GetWidth(), r.Colors, r.Cache[slot].data());
    r.CacheRow[slot] = Row;
  }
  return r.Cache[slot].data();
}

void TConvFilter::FilterRow(int Y, uint8_t* BGR) {
  if (!Source) throw EPGFilter(PGLangStrS1(pgmInvalidValueFor, "Source"));
  if (!Rows) PrepareRows();
  RowState& r = *Rows;
  int width = Source->GetWidth();
  auto colorAt = [this](int x, int y) {
    const uint8_t* p = SourceRow(y) + size_t(x) * 3;
    return MakeRGB(p[2], p[1], p[0]);
  };
  auto put = [](uint8_t* p, TRGB c) {
    p[0] = uint8_t(RGBBlue(c));
    p[1] = uint8_t(RGBGreen(c));
    p[2] = uint8_t(RGBRed(c));
  };
  bool interior = r.Interior && Y >= r.Y0 && Y <= r.Y1;
  int first = interior ? r.X0 : width, last = interior ? r.X1 : width - 1;
  for (int x = 0; x < first; ++x) put(BGR + size_t(x) * 3, SumPixel(x, Y, colorAt));
  for (int x = last + 1; x < width; ++x) put(BGR + size_t(x) * 3, SumPixel(x, Y, colorAt));
  if (!interior) return;

  const uint8_t** rows = r.RowPointers.data();
  for (int i = 0; i < Height; ++i) rows[i] = SourceRow(Y + OffsetY + i) + size_t(r.X0) * 3;
  int32_t* sums = r.Sums.data();
  const uint8_t* table = r.Table.empty() ? nullptr : r.Table.data() - r.TableMin;
  int bytes = (r.X1 - r.X0 + 1) * 3;
  uint8_t* out = BGR + size_t(r.X0) * 3;
  // Weights of 16 bits let the vectoriser multiply 16-bit lanes into 32-bit sums.
  auto addTaps = [&](auto narrow, int start, int n) {
    using Weight = decltype(narrow);
    for (const RowState::Tap& t : r.Taps) {
      const uint8_t* src = rows[t.Row] + t.Offset + start;
      const Weight w = Weight(t.Weight);
      for (int p = 0; p < n; ++p) sums[p] += int32_t(w) * int32_t(int16_t(src[p]));
    }
  };
  for (int start = 0; start < bytes; start += kChunk) {
    int n = std::min(kChunk, bytes - start);
    std::fill(sums, sums + n, 0);
    if (r.Narrow)
      addTaps(int16_t(), start, n);
    else
      addTaps(int32_t(), start, n);
    if (table)
      for (int p = 0; p < n; ++p) out[start + p] = table[sums[p]];
    else
      for (int p = 0; p < n; ++p) out[start + p] = uint8_t(Channel(sums[p], r.Sum));
  }
}

}  // namespace imagelib
