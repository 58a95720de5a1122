// Floyd-Steinberg dithering into palette pictures: serpentine rows, error sums kept times 16, a
// per-pixel error limit chosen by palette kind, and the clamp table.
#include "imagelib/PGDither.h"

#include <array>
#include <bit>
#include <cstring>
#include <type_traits>
#include <typeinfo>
#include <utility>
#include <vector>

#include "imagelib/PGColorMatch.h"
#include "imagelib/PGFineGrid.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

namespace {
constexpr int ClampChannel(int V) { return V < 0 ? 0 : (V > 255 ? 255 : V); }

constexpr std::array<int32_t, 1021> MakeClampTable() {
  std::array<int32_t, 1021> t{};
  for (int v = -510; v <= 510; ++v) t[size_t(v + 510)] = ClampChannel(v);
  return t;
}
constexpr std::array<int32_t, 1021> kClampTable = MakeClampTable();

// Half away from zero: the sums hold 16 times the error. For a negative sum,
// -((-s + 8) div 16) equals floor((s + 7) / 16); written so, it needs no branch.
inline int RoundSum(int32_t s) { return (s + 8 + (s >> 31)) >> 4; }

// The largest sum a cell can hold: four neighbours pass on 7 + 3 + 5 + 1 sixteenths of at most 255.
// A caller that dithers a row twice without NextDitherRow in between adds more than that; the
// pixel path takes a sum as at most kMaxSum, so that no look-up goes beyond its table (for callers
// that keep to the protocol this changes nothing).
constexpr int kMaxSum = 16 * 255;
inline int32_t Bounded(int32_t S) { return S < -kMaxSum ? -kMaxSum : (S > kMaxSum ? kMaxSum : S); }

// The row loops' table of limited errors reaches further, so that they give the pixel path's
// answer for every sum made from cells below 2^12 in size: a pixel adds at most 7 * 255 to its
// neighbour's cell. Rows with larger sums (dithered again and again) take the pixel path.
constexpr int kRowCell = 1 << 12, kRowSum = kRowCell - 1 + 7 * 255;

// Whether every one of the Count sums at Sums is below kRowCell in size, sixteen at a time into
// four accumulators, so that the loop does not wait for each one.
bool RowSumsSmall(const int32_t* Sums, size_t Count) {
  typedef int32_t Four __attribute__((vector_size(16)));
  auto size = [Sums](size_t At) {  // less one when negative
    Four v;
    std::memcpy(&v, Sums + At, sizeof v);
    return v ^ (v >> 31);
  };
  Four a = {}, b = {}, c = {}, d = {};
  size_t i = 0;
  for (; i + 16 <= Count; i += 16) {
    a |= size(i);
    b |= size(i + 4);
    c |= size(i + 8);
    d |= size(i + 12);
  }
  Four any = (a | b) | (c | d);
  int32_t all = any[0] | any[1] | any[2] | any[3];
  for (; i < Count; ++i) all |= Sums[i] ^ (Sums[i] >> 31);
  return all < kRowCell;
}

// For a limited error plus a channel (-255..510), as the row loops take them: the clamp table's
// value in a byte, and that value's part of the cell of Grid for each channel, so that the chain
// from a sum to its cell is two look-ups and two additions. One table, so that the loops need one
// register for it.
template <class Grid>
struct ClampTables {
  uint8_t Value[766];
  int32_t Red[766], Green[766], Blue[766];
};
template <class Grid>
constexpr ClampTables<Grid> MakeClampTables() {
  ClampTables<Grid> t{};
  for (int v = -255; v <= 510; ++v) {
    t.Value[v + 255] = uint8_t(ClampChannel(v));
    t.Red[v + 255] = Grid::CellOf(ClampChannel(v), 0, 0);
    t.Green[v + 255] = Grid::CellOf(0, ClampChannel(v), 0);
    t.Blue[v + 255] = Grid::CellOf(0, 0, ClampChannel(v));
  }
  return t;
}
template <class Grid>
constexpr ClampTables<Grid> kClampTables = MakeClampTables<Grid>();
// The colour map's cells as a grid: red div 8, green div 4, blue div 8.
struct ColorMapCells {
  static constexpr int CellOf(int R, int G, int B) { return (R >> 3) << 11 | (G >> 2) << 5 | (B >> 3); }
};
}  // namespace

// Constant: the table is whole before any code of the program runs, and no thread can change it.
constinit const int32_t* const PGClampTable = kClampTable.data() + 510;

void TPixelGraphic::BeginDither() {
  EndDither();
  DitherWidth = Width > 0 ? Width : 0;
  size_t cells = (size_t(DitherWidth) + 2) * 3;
  DitherRowCurrent.reset(new int32_t[cells]());
  DitherRowNext.reset(new int32_t[cells]());
  DitherNextStale = true;  // the next row is written whole by the first row as after NextDitherRow
  DitherLimitTable.reset(new int32_t[511]);

  IsGray = true;
  for (TRGB c : PaletteEntries)
    if (RGBRed(c) != RGBGreen(c) || RGBGreen(c) != RGBBlue(c)) {
      IsGray = false;
      break;
    }

  int limit = DitherOptions.DitherErrorLimit;
  bool soft = DitherOptions.DitherErrorLimitSoft;
  if (DitherOptions.DitherErrorLimitAuto) {
    soft = true;
    switch (PaletteIdent) {
      case pBlackWhite: limit = 255; break;
      case pSysGray4:
      case pSys16:
      case pGray4: limit = 128; break;
      case pGray236: limit = 3; break;
      case pGray256: limit = 2; break;
      case pSpecial125:
      case pSpecial252: limit = 104; break;
      case pSpecial216: limit = 86; break;
      default: limit = 32;
    }
  }
  int32_t* t = DitherLimitTable.get() + 255;
  for (int e = 0; e <= 255; ++e) t[e] = e;
  if (limit < 255)
    for (int e = limit; e <= 255; ++e) t[e] = limit;
  if (soft)  // a knee from L div 2 to 3L div 2 that meets the identity below and the cap above
    for (int e = limit / 2; e <= (3 * limit) / 2 && e < 255; ++e) t[e] = e / 2 + limit / 4;
  for (int e = 1; e <= 255; ++e) t[-e] = -t[e];
  // The limited error of every possible sum, so that a row needs one look-up per channel.
  DitherSumLimit.reset(new int16_t[2 * kRowSum + 1]);
  for (int sum = -kRowSum; sum <= kRowSum; ++sum) DitherSumLimit[size_t(sum + kRowSum)] = int16_t(t[RoundSum(Bounded(sum))]);
}

void TPixelGraphic::NextDitherRow() {
  if (!DitherRowCurrent) return;
  ClearDitherRowNext();  // a row that nothing was written into becomes the current one
  std::swap(DitherRowCurrent, DitherRowNext);
  // The new next row is cleared when something first adds to it: DitherRow writes it whole.
  DitherNextStale = true;
}

void TPixelGraphic::ClearDitherRowNext() {
  if (!DitherNextStale) return;
  std::memset(DitherRowNext.get(), 0, (size_t(DitherWidth) + 2) * 3 * sizeof(int32_t));
  DitherNextStale = false;
}

void TPixelGraphic::DitherPixel(int X, int Y, int R, int G, int B) {
  if (X < 0 || Y < 0 || X >= Width || Y >= Height) {
    // Outside the picture the rows have no cells: behave like SetPixel.
    if (RaiseOnOutOfRange) throw EPGXYIndexOutOfRange(PGLangStr(pgmXYOutOfRange));
    return;
  }
  if (!DitherRowCurrent || !DitherLimitTable || Width != DitherWidth) {
    // No BeginDither, or rows made for another width: plain colour matching.
    SetPixelColor(X, Y, MakeRGB(R, G, B));
    return;
  }
  ClearDitherRowNext();
  const int32_t* limit = DitherLimitTable.get() + 255;
  int ahead = (Y & 1) == 0 ? 1 : -1;  // even rows run left to right
  int32_t* here = DitherRowCurrent.get() + size_t(X + 1) * 3;
  int32_t* aheadCell = DitherRowCurrent.get() + size_t(X + 1 + ahead) * 3;
  int32_t* below = DitherRowNext.get() + size_t(X + 1) * 3;
  int32_t* belowBehind = DitherRowNext.get() + size_t(X + 1 - ahead) * 3;
  int32_t* belowAhead = DitherRowNext.get() + size_t(X + 1 + ahead) * 3;

  // Same as GetPaletteEntry for the indices matching gives, without its checks.
  auto entryOf = [this](int32_t index) {
    return uint32_t(index) < uint32_t(PaletteCount) ? PaletteEntries[size_t(index)] : GetPaletteEntry(index);
  };
  auto spread = [&](int channel, int error) {
    aheadCell[channel] += 7 * error;
    belowBehind[channel] += 3 * error;
    below[channel] += 5 * error;
    belowAhead[channel] += error;
  };

  if (!IsGray) {
    int cR = PGClampTable[limit[RoundSum(Bounded(here[0]))] + R];
    int cG = PGClampTable[limit[RoundSum(Bounded(here[1]))] + G];
    int cB = PGClampTable[limit[RoundSum(Bounded(here[2]))] + B];
    int32_t index = ColorToIndex(MakeRGB(cR, cG, cB));
    SetPixel(X, Y, index);
    TRGB entry = entryOf(index);
    spread(0, cR - RGBRed(entry));
    spread(1, cG - RGBGreen(entry));
    spread(2, cB - RGBBlue(entry));
  } else {
    int v = PGClampTable[Luminance3(MakeRGB(R, G, B), RGBWeighting) / 3 + limit[RoundSum(Bounded(here[1]))]];
    int32_t index = ColorToIndex(MakeRGB(v, v, v));
    SetPixel(X, Y, index);
    spread(1, v - RGBGreen(entryOf(index)));
  }
}

void TPixelGraphic::DitherRow(int Y, const uint8_t* BGR) {
  if (!DitherRowCurrent || !DitherSumLimit || !Bits || Y < 0 || Y >= Height || IsTrueColor() ||
      Width != DitherWidth || !DitherNextStale || !RowSumsSmall(DitherRowCurrent.get(), (size_t(Width) + 2) * 3)) {
    // Odd cases take the pixel path, which handles each of them; among them a row that something
    // has already been added to the next row for (this row again, or pixels of it on their own).
    for (int i = 0; i < Width; ++i) {
      int x = (Y & 1) ? Width - 1 - i : i;
      DitherPixel(x, Y, BGR[3 * x + 2], BGR[3 * x + 1], BGR[3 * x]);
    }
    return;
  }
  FlushGdi();
  // A class that matches colours its own way keeps its virtual ColorToIndex.
  bool direct = typeid(*this) == typeid(TPixelGraphic);
  // The fixed kinds that conversions use most are matched through their fine grids (neither is a
  // grey palette), an arbitrary palette through the colour map where ColorToIndex would use it.
  bool map = PaletteIdent == pUnknown && ColorCache && PaletteCount > 0 && PaletteCount <= 256;
  if (direct && !IsGray && PaletteIdent == pSpecial252)
    DitherRowWith<pSpecial252, false>(Y, BGR, direct);
  else if (direct && !IsGray && PaletteIdent == pSys16)
    DitherRowWith<pSys16, false>(Y, BGR, direct);
  else if (direct && map)
    IsGray ? DitherRowWith<pUnknown, true>(Y, BGR, direct) : DitherRowWith<pUnknown, false>(Y, BGR, direct);
  else
    IsGray ? DitherRowWith<pNone, true>(Y, BGR, direct) : DitherRowWith<pNone, false>(Y, BGR, direct);
}

// DitherRow's matchers, one per kind of matching. Index gives the index of a colour, its channels
// R, G, B clamped from VR, VG, VB (offsets into the tables of Clamp); Entry gives that index's
// palette entry as red, green, blue bytes, Sevens its channels times seven. A fixed kind and the
// colour map give what ColorToIndex gives without its memo (Asks false), which is set at the row's
// end to what matching pixel by pixel leaves behind.
namespace {
const uint8_t* BytesOf(const std::vector<TRGB>& Entries) {
  static_assert(std::endian::native == std::endian::little, "entries are read as red, green, blue bytes");
  return reinterpret_cast<const uint8_t*>(Entries.data());
}

struct PaletteBytes {
  const uint8_t* Entries;  // the palette's entries as red, green, blue and a spare byte
  const int16_t* SevenTable;
  const uint8_t* Entry(uint32_t Index) const { return Entries + 4 * size_t(Index); }
  const int16_t* Sevens(uint32_t Index) const { return SevenTable + 4 * size_t(Index); }
};
}  // namespace

// pSpecial252 and pSys16, through their fine grids.
template <TPaletteIdent Kind>
struct TPixelGraphic::TDitherMatch : PaletteBytes {
  using Grid = std::conditional_t<Kind == pSys16, colormatch::Sys16Grid, colormatch::Special252Grid>;
  static constexpr bool Asks = false;
  const ClampTables<Grid>& Clamp = kClampTables<Grid>;
  const Grid* Cells;

  TDitherMatch(TPixelGraphic& Picture, bool)
      : PaletteBytes{BytesOf(Picture.PaletteEntries), Picture.DitherSevens.get()} {
    if constexpr (Kind == pSys16)
      Cells = &colormatch::Sys16FineGrid();
    else
      Cells = &colormatch::Special252FineGrid();
  }
  __attribute__((always_inline)) uint32_t Index(int R, int G, int B, intptr_t VR, intptr_t VG, intptr_t VB) {
    uint32_t cell = uint32_t(Clamp.Red[VR] + Clamp.Green[VG] + Clamp.Blue[VB]);
    // A fifth of a photograph's colours lie in a shared pSpecial252 cell: a test for one would
    // guess wrong too often.
    if constexpr (Kind == pSpecial252)
      return colormatch::FineMatch<true>(*Cells, Entries, cell, R, G, B, colormatch::Special252Index);
    else
      return colormatch::FineMatch<false>(*Cells, Entries, cell, R, G, B, colormatch::Sys16Index);
  }
};

// An arbitrary palette, through the colour map.
template <>
struct TPixelGraphic::TDitherMatch<pUnknown> : PaletteBytes {
  static constexpr bool Asks = false;
  const ClampTables<ColorMapCells>& Clamp = kClampTables<ColorMapCells>;
  TPixelGraphic* Picture;
  const uint8_t *Map, *Filled;

  TDitherMatch(TPixelGraphic& APicture, bool)
      : PaletteBytes{BytesOf(APicture.PaletteEntries), APicture.DitherSevens.get()}, Picture(&APicture) {
    Picture->EnsureColorMap();
    Map = Picture->ColorMap.get();
    Filled = Picture->ColorMapFilled.get();
  }
  __attribute__((always_inline)) uint32_t Index(int R, int G, int B, intptr_t VR, intptr_t VG, intptr_t VB) {
    uint32_t cell = uint32_t(Clamp.Red[VR] + Clamp.Green[VG] + Clamp.Blue[VB]);
    if (__builtin_expect((Filled[cell >> 3] >> (cell & 7)) & 1, 1)) return Map[cell];
    return uint32_t(Picture->MatchUnknownColor(MakeRGB(R, G, B)));  // fills the cell
  }
};

// Everything else: MatchColor, or ColorToIndex unless Direct; the entry of the index it gives is
// kept with its sevenfold channels for the pixel's sums.
template <>
struct TPixelGraphic::TDitherMatch<pNone> {
  static constexpr bool Asks = true;
  const ClampTables<colormatch::Special252Grid>& Clamp = kClampTables<colormatch::Special252Grid>;
  TPixelGraphic* Picture;
  bool Direct;
  const TRGB* Entries;
  uint32_t Count;
  TRGB Asked = 0;
  int16_t AskedSevens[4] = {};

  TDitherMatch(TPixelGraphic& APicture, bool ADirect)
      : Picture(&APicture), Direct(ADirect), Entries(APicture.PaletteEntries.data()),
        Count(uint32_t(APicture.PaletteCount)) {}
  __attribute__((always_inline)) uint32_t Index(int R, int G, int B, intptr_t, intptr_t, intptr_t) {
    TRGB c = MakeRGB(R, G, B);
    int32_t index = Direct ? Picture->MatchColor(c) : Picture->ColorToIndex(c);
    // Same as GetPaletteEntry for the indices matching gives, without its checks.
    Asked = uint32_t(index) < Count ? Entries[size_t(index)] : Picture->GetPaletteEntry(index);
    AskedSevens[0] = int16_t(7 * RGBRed(Asked));
    AskedSevens[1] = int16_t(7 * RGBGreen(Asked));
    AskedSevens[2] = int16_t(7 * RGBBlue(Asked));
    return uint32_t(index);
  }
  const uint8_t* Entry(uint32_t) const { return reinterpret_cast<const uint8_t*>(&Asked); }
  const int16_t* Sevens(uint32_t) const { return AskedSevens; }
};

template <TPaletteIdent Kind, bool Gray>
void TPixelGraphic::DitherRowWith(int Y, const uint8_t* BGR, bool Direct) {
  if constexpr (Kind != pNone) {
    if (!DitherSevens) {
      const uint8_t* entries = BytesOf(PaletteEntries);
      DitherSevens.reset(new int16_t[size_t(PaletteCount) * 4]);
      for (size_t i = 0; i < size_t(PaletteCount); ++i)
        for (size_t k = 0; k < 3; ++k) DitherSevens[4 * i + k] = int16_t(7 * entries[4 * i + k]);
    }
  }
  TDitherMatch<Kind> match(*this, Direct);
  const bool rightwards = (Y & 1) == 0;  // even rows run left to right
  switch (BitCountNum) {
    case pgbc1Bit:
      rightwards ? DitherRowBits<pgbc1Bit, 1, Gray>(Y, BGR, match) : DitherRowBits<pgbc1Bit, -1, Gray>(Y, BGR, match);
      break;
    case pgbc4Bits:
      rightwards ? DitherRowBits<pgbc4Bits, 1, Gray>(Y, BGR, match) : DitherRowBits<pgbc4Bits, -1, Gray>(Y, BGR, match);
      break;
    default:
      rightwards ? DitherRowBits<pgbc8Bits, 1, Gray>(Y, BGR, match) : DitherRowBits<pgbc8Bits, -1, Gray>(Y, BGR, match);
  }
}

// DitherPixel for a whole row, specialised by bit count, direction and matching, with everything
// the loop reads of the picture held in locals (the byte stores into the pixel row would otherwise
// make the compiler read it all again per pixel). The rows end up exactly as DitherPixel leaves
// them. Each pixel waits for the error of the one before it, so what counts is the length of that
// chain: limit, clamp, a grid look-up, the entry, and the next pixel's sum. That sum is written as
// (cell + 7 c) - 7 entry, with the sevenfold entries from a table, so that only one subtraction
// follows the entry's look-up; everything else (the next row's sums, the pixel's store) runs beside.
template <int N, int Ahead, bool Gray, class Match>
void TPixelGraphic::DitherRowBits(int Y, const uint8_t* BGR, Match M) {
  constexpr int A = 3 * Ahead;  // from a cell to the one ahead
  const int16_t* __restrict limited = DitherSumLimit.get() + kRowSum;
  uint8_t* __restrict row = Bits + int64_t(RowSize) * (Height - Y - 1);
  const int width = Width;
  const bool weighted = RGBWeighting;
  intptr_t lastR = 0, lastG = 0, lastB = 0;
  uint32_t index = 0;
  int x = Ahead > 0 ? 0 : width - 1;
  // The pixel's cell in the current row and in the next.
  int32_t* __restrict here = DitherRowCurrent.get() + (x + 1) * 3;
  int32_t* __restrict below = DitherRowNext.get() + (x + 1) * 3;
  const uint8_t* source = BGR + 3 * x;
  intptr_t sumR = here[0], sumG = here[1], sumB = here[2];
  // The next row is stale: it is written whole instead of cleared and added to. Each cell is
  // ahead of a pixel before anything else adds to it, but for the first pixel's two cells.
  std::memset(Ahead > 0 ? below - 3 : below, 0, 6 * sizeof(int32_t));
  for (int i = 0; i < width; ++i, x += Ahead, here += A, below += A, source += A) {
    intptr_t eR = 0, eG, eB = 0;
    if constexpr (!Gray) {
      intptr_t vR = intptr_t(limited[sumR]) + intptr_t(source[2]) + 255;
      intptr_t vG = intptr_t(limited[sumG]) + intptr_t(source[1]) + 255;
      intptr_t vB = intptr_t(limited[sumB]) + intptr_t(source[0]) + 255;
      intptr_t cR = M.Clamp.Value[vR], cG = M.Clamp.Value[vG], cB = M.Clamp.Value[vB];
      lastR = cR;
      lastG = cG;
      lastB = cB;
      index = M.Index(int(cR), int(cG), int(cB), vR, vG, vB);
      const uint8_t* entry = M.Entry(index);
      const int16_t* seven = M.Sevens(index);
      // The next pixel's sums: its cell as this row left it (nothing has added to it yet) and 7/16.
      sumR = here[A] + 7 * cR - seven[0];
      sumG = here[A + 1] + 7 * cG - seven[1];
      sumB = here[A + 2] + 7 * cB - seven[2];
      here[A] = int32_t(sumR);
      here[A + 1] = int32_t(sumG);
      here[A + 2] = int32_t(sumB);
      eR = cR - entry[0];
      eG = cG - entry[1];
      eB = cB - entry[2];
    } else {
      intptr_t at = Luminance3(MakeRGB(source[2], source[1], source[0]), weighted) / 3 + limited[sumG] + 255;
      intptr_t v = M.Clamp.Value[at];
      index = M.Index(int(v), int(v), int(v), at, at, at);
      lastR = lastG = lastB = v;
      const uint8_t* entry = M.Entry(index);
      const int16_t* seven = M.Sevens(index);
      sumG = here[A + 1] + 7 * v - seven[1];
      here[A + 1] = int32_t(sumG);
      eG = v - entry[1];
    }
    if constexpr (!Gray) {
      below[-A] += int32_t(3 * eR);
      below[-A + 2] += int32_t(3 * eB);
      below[0] += int32_t(5 * eR);
      below[2] += int32_t(5 * eB);
    }
    below[-A + 1] += int32_t(3 * eG);
    below[1] += int32_t(5 * eG);
    below[A] = int32_t(eR);
    below[A + 1] = int32_t(eG);
    below[A + 2] = int32_t(eB);
    if constexpr (N == pgbc1Bit) {
      uint8_t mask = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = index == 1 ? uint8_t(row[x >> 3] | mask) : uint8_t(row[x >> 3] & ~mask);
    } else if constexpr (N == pgbc4Bits) {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | ((index & 0x0F) << 4));
    } else {
      row[x] = uint8_t(index);
    }
  }
  DitherNextStale = false;
  if (!Match::Asks && width > 0) {
    LastColorInvalid = false;
    LastColor = MakeRGB(int(lastR), int(lastG), int(lastB));
    LastIndex = int32_t(index);
  }
}

void TPixelGraphic::EndDither() {
  DitherNextStale = false;
  DitherSumLimit.reset();
  DitherSevens.reset();
  DitherRowCurrent.reset();
  DitherRowNext.reset();
  DitherLimitTable.reset();
}

}  // namespace imagelib
