// Floyd-Steinberg dithering into palette pictures: serpentine rows, error sums kept times 16, a
// per-pixel error limit chosen by palette kind, and the clamp table.
#include "imagelib/PGDither.h"

#include <array>
#include <cstring>
#include <typeinfo>
#include <utility>

#include "imagelib/PGColorMatch.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

namespace {
constexpr std::array<int32_t, 1021> MakeClampTable() {
  std::array<int32_t, 1021> t{};
  for (int v = -510; v <= 510; ++v) t[size_t(v + 510)] = v < 0 ? 0 : (v > 255 ? 255 : v);
  return t;
}
std::array<int32_t, 1021> gClampTable = MakeClampTable();

// Half away from zero: the sums hold 16 times the error. For a negative sum,
// -((-s + 8) div 16) equals floor((s + 7) / 16); written so, it needs no branch.
inline int RoundSum(int32_t s) { return (s + 8 + (s >> 31)) >> 4; }

// The largest sum a cell can hold: four neighbours pass on 7 + 3 + 5 + 1 sixteenths of at most 255.
constexpr int kMaxSum = 16 * 255;
}  // namespace

int32_t* const PGClampTable = gClampTable.data() + 510;

void InitClampTable() {
  for (int v = -510; v <= 510; ++v) PGClampTable[v] = v < 0 ? 0 : (v > 255 ? 255 : v);
}

void TPixelGraphic::BeginDither() {
  EndDither();
  size_t cells = (size_t(Width > 0 ? Width : 0) + 2) * 3;
  DitherRowCurrent.reset(new int32_t[cells]());
  DitherRowNext.reset(new int32_t[cells]());
  DitherLimitTable.reset(new int32_t[511]);

  IsGray = true;
  for (TRGB c : PaletteEntries)
    if (RGBRed(c) != RGBGreen(c) || RGBGreen(c) != RGBBlue(c)) {
      IsGray = false;
      break;
    }

  int limit = DitherErrorLimit;
  bool soft = DitherErrorLimitSoft;
  if (DitherErrorLimitAuto) {
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
  DitherSumLimit.reset(new int16_t[2 * kMaxSum + 1]);
  for (int sum = -kMaxSum; sum <= kMaxSum; ++sum) DitherSumLimit[size_t(sum + kMaxSum)] = int16_t(t[RoundSum(sum)]);
}

void TPixelGraphic::NextDitherRow() {
  if (!DitherRowCurrent) return;
  std::swap(DitherRowCurrent, DitherRowNext);
  std::memset(DitherRowNext.get(), 0, (size_t(Width > 0 ? Width : 0) + 2) * 3 * sizeof(int32_t));
}

void TPixelGraphic::DitherPixel(int X, int Y, int R, int G, int B) {
  if (X < 0 || Y < 0 || X >= Width || Y >= Height) {
    // Outside the picture the rows have no cells: behave like SetPixel.
    if (RaiseOnOutOfRange) throw EPGXYIndexOutOfRange(PGLangStr(1));
    return;
  }
  if (!DitherRowCurrent || !DitherLimitTable) {
    SetPixelColor(X, Y, MakeRGB(R, G, B));  // no BeginDither: plain colour matching
    return;
  }
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
    int cR = PGClampTable[limit[RoundSum(here[0])] + R];
    int cG = PGClampTable[limit[RoundSum(here[1])] + G];
    int cB = PGClampTable[limit[RoundSum(here[2])] + B];
    int32_t index = ColorToIndex(MakeRGB(cR, cG, cB));
    SetPixel(X, Y, index);
    TRGB entry = entryOf(index);
    spread(0, cR - RGBRed(entry));
    spread(1, cG - RGBGreen(entry));
    spread(2, cB - RGBBlue(entry));
  } else {
    int v = PGClampTable[Luminance3(MakeRGB(R, G, B), RGBWeighting) / 3 + limit[RoundSum(here[1])]];
    int32_t index = ColorToIndex(MakeRGB(v, v, v));
    SetPixel(X, Y, index);
    spread(1, v - RGBGreen(entryOf(index)));
  }
}

void TPixelGraphic::DitherRow(int Y, const uint8_t* BGR) {
  if (!DitherRowCurrent || !DitherSumLimit || !Bits || Y < 0 || Y >= Height || BitCountNum == 3) {
    // Odd cases take the pixel path, which handles each of them.
    for (int i = 0; i < Width; ++i) {
      int x = (Y & 1) ? Width - 1 - i : i;
      DitherPixel(x, Y, BGR[3 * x + 2], BGR[3 * x + 1], BGR[3 * x]);
    }
    return;
  }
  FlushGdi();
  // A class that matches colours its own way keeps its virtual ColorToIndex.
  bool direct = typeid(*this) == typeid(TPixelGraphic);
  // The two kinds that conversions use most are matched inline.
  TPaletteIdent kind = direct && (PaletteIdent == pSpecial252 || PaletteIdent == pSys16) ? PaletteIdent : pUnknown;
  switch (BitCountNum * 16 + kind) {
    case 0 * 16 + pUnknown: DitherRowBits<0, pUnknown>(Y, BGR, direct); break;
    case 1 * 16 + pUnknown: DitherRowBits<1, pUnknown>(Y, BGR, direct); break;
    case 1 * 16 + pSys16: DitherRowBits<1, pSys16>(Y, BGR, direct); break;
    case 1 * 16 + pSpecial252: DitherRowBits<1, pSpecial252>(Y, BGR, direct); break;
    case 2 * 16 + pSys16: DitherRowBits<2, pSys16>(Y, BGR, direct); break;
    case 2 * 16 + pSpecial252: DitherRowBits<2, pSpecial252>(Y, BGR, direct); break;
    case 0 * 16 + pSys16: DitherRowBits<0, pSys16>(Y, BGR, direct); break;
    case 0 * 16 + pSpecial252: DitherRowBits<0, pSpecial252>(Y, BGR, direct); break;
    default: DitherRowBits<2, pUnknown>(Y, BGR, direct); break;
  }
}

// The pixel path of DitherPixel for a whole row, with the store specialised by bit count. The
// cell of the next pixel is read before this pixel adds to it and its sum carried in registers, and
// everything the loop reads of the picture is held in locals (the byte stores into the pixel row
// would otherwise make the compiler read it all again per pixel). The rows end up exactly as
// DitherPixel leaves them.
template <int N, TPaletteIdent Kind>
void TPixelGraphic::DitherRowBits(int Y, const uint8_t* BGR, bool Direct) {
  // A fixed kind is a pure function of the colour, so the memo can be left out inside the row and
  // set at its end to what matching pixel by pixel leaves behind.
  const TRGB* entries = PaletteEntries.data();
  const uint32_t count = uint32_t(PaletteCount);
  auto entryOf = [&](int32_t index) {
    return uint32_t(index) < count ? entries[size_t(index)] : GetPaletteEntry(index);
  };
  // The index and its entry's channels.
  auto match = [&](TRGB c) -> colormatch::Match {
    if constexpr (Kind == pSpecial252) return colormatch::Special252Match(c);
    int32_t index;
    if constexpr (Kind == pSys16)
      index = colormatch::Sys16Index(c);
    else
      index = Direct ? MatchColor(c) : ColorToIndex(c);
    TRGB entry = entryOf(index);
    return colormatch::Match{index, RGBRed(entry), RGBGreen(entry), RGBBlue(entry)};
  };
  // Clamping to 0..255 as the clamp table does.
  auto clamp = [](int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); };
  const int16_t* __restrict limited = DitherSumLimit.get() + kMaxSum;
  int32_t* __restrict current = DitherRowCurrent.get();
  int32_t* __restrict next = DitherRowNext.get();
  uint8_t* __restrict row = Bits + int64_t(RowSize) * (Height - Y - 1);
  const int width = Width;
  const int ahead = (Y & 1) == 0 ? 1 : -1;
  const bool gray = IsGray, weighted = RGBWeighting;
  TRGB lastColor = 0;
  int32_t index = 0;
  int x = ahead > 0 ? 0 : width - 1;
  int32_t sumR = current[(x + 1) * 3], sumG = current[(x + 1) * 3 + 1], sumB = current[(x + 1) * 3 + 2];
  // The next row's cells behind, under and ahead of the pixel, held in registers while the pixel
  // window slides over them: each cell is read once when it enters and written once when it leaves.
  int32_t* cell = next + (x + 1 - ahead) * 3;
  int32_t behindR = cell[0], behindG = cell[1], behindB = cell[2];
  cell = next + (x + 1) * 3;
  int32_t underR = cell[0], underG = cell[1], underB = cell[2];
  for (int i = 0; i < width; ++i, x += ahead) {
    int32_t* aheadCell = current + (x + 1 + ahead) * 3;
    int32_t* belowAheadCell = next + (x + 1 + ahead) * 3;
    // What the next pixel finds in its cell before this one adds to it.
    int32_t nextR = aheadCell[0], nextG = aheadCell[1], nextB = aheadCell[2];
    int32_t aheadR = belowAheadCell[0], aheadG = belowAheadCell[1], aheadB = belowAheadCell[2];
    const uint8_t* source = BGR + 3 * x;
    int32_t eR = 0, eG, eB = 0;
    if (!gray) {
      int cR = clamp(limited[sumR] + source[2]);
      int cG = clamp(limited[sumG] + source[1]);
      int cB = clamp(limited[sumB] + source[0]);
      lastColor = MakeRGB(cR, cG, cB);
      colormatch::Match m = match(lastColor);
      index = m.Index;
      eR = cR - m.R;
      eG = cG - m.G;
      eB = cB - m.B;
    } else {
      int v = clamp(Luminance3(MakeRGB(source[2], source[1], source[0]), weighted) / 3 + limited[sumG]);
      lastColor = MakeRGB(v, v, v);
      colormatch::Match m = match(lastColor);
      index = m.Index;
      eG = v - m.G;
    }
    if constexpr (N == 0) {
      uint8_t mask = uint8_t(0x80 >> (x & 7));
      row[x >> 3] = index == 1 ? uint8_t(row[x >> 3] | mask) : uint8_t(row[x >> 3] & ~mask);
    } else if constexpr (N == 1) {
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | (index & 0x0F)) : uint8_t((b & 0x0F) | ((index & 0x0F) << 4));
    } else {
      row[x] = uint8_t(index);
    }
    sumR = nextR + 7 * eR;
    sumG = nextG + 7 * eG;
    sumB = nextB + 7 * eB;
    aheadCell[0] = sumR;
    aheadCell[1] = sumG;
    aheadCell[2] = sumB;
    // The cell behind is complete now; the window moves on by one.
    cell = next + (x + 1 - ahead) * 3;
    cell[0] = behindR + 3 * eR;
    cell[1] = behindG + 3 * eG;
    cell[2] = behindB + 3 * eB;
    behindR = underR + 5 * eR;
    behindG = underG + 5 * eG;
    behindB = underB + 5 * eB;
    underR = aheadR + eR;
    underG = aheadG + eG;
    underB = aheadB + eB;
  }
  // The two cells still in the window: under the last pixel and beyond the row's end.
  cell = next + (x + 1 - ahead) * 3;
  cell[0] = behindR;
  cell[1] = behindG;
  cell[2] = behindB;
  cell = next + (x + 1) * 3;
  cell[0] = underR;
  cell[1] = underG;
  cell[2] = underB;
  if constexpr (Kind != pUnknown) {
    if (width > 0) {
      LastColorInvalid = false;
      LastColor = lastColor;
      LastIndex = index;
    }
  }
}

void TPixelGraphic::EndDither() {
  DitherSumLimit.reset();
  DitherRowCurrent.reset();
  DitherRowNext.reset();
  DitherLimitTable.reset();
}

}  // namespace imagelib
