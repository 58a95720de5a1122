// Palettes and colour matching: the fixed palettes, setting a palette, recognising its kind, and
// ColorToIndex with each kind's own rule or the cached nearest-colour map.
#include "imagelib/PGPalettes.h"

#include <cstring>

#include "imagelib/PGColorMatch.h"

namespace imagelib {

using namespace colormatch;

const TRGB PGSys16Palette[16] = {kSys16[0],  kSys16[1],  kSys16[2],  kSys16[3], kSys16[4],  kSys16[5],
                                 kSys16[6],  kSys16[7],  kSys16[8],  kSys16[9], kSys16[10], kSys16[11],
                                 kSys16[12], kSys16[13], kSys16[14], kSys16[15]};

namespace {
bool SameEntries(const std::vector<TRGB>& Entries, const TRGB* Fixed, size_t Count) {
  return Entries.size() == Count && std::memcmp(Entries.data(), Fixed, Count * sizeof(TRGB)) == 0;
}
}  // namespace

TFixedPalette FixedPalette(TPaletteIdent Ident) {
  const FixedTables& t = kTables;
  switch (Ident) {
    case pBlackWhite: return {t.BlackWhite.data(), 2};
    case pSysGray4: return {t.SysGray4.data(), 4};
    case pSys16: return {t.Sys16.data(), 16};
    case pGray4: return {t.Gray4.data(), 4};
    case pGray16: return {t.Gray16.data(), 16};
    case pGray236: return {t.Gray236.data(), 236};
    case pGray256: return {t.Gray256.data(), 256};
    case pSpecial125: return {t.Special125.data(), 125};
    case pSpecial216: return {t.Special216.data(), 216};
    case pSpecial252: return {t.Special252.data(), 252};
    default: return {nullptr, 0};
  }
}

// ---- setting the palette

void TPixelGraphic::InvalidateColorCache() {
  ColorMapInvalid = true;
  ColorMap.reset();
  ColorMapFilled.reset();
  DitherSevens.reset();  // made from the palette too
}

void TPixelGraphic::SetColorCache(bool Value) {
  if (Value == ColorCache) return;
  ColorCache = Value;
  LastColorInvalid = true;
  Changed();
}

void TPixelGraphic::SetRGBWeighting(bool Value) {
  if (Value == RGBWeighting) return;
  RGBWeighting = Value;
  LastColorInvalid = true;
}

void TPixelGraphic::SetPaletteCount(int Count) {
  if (Count < 0) throw EPGInvalidPaletteIndex(PGLangStr(pgmInvalidPaletteIndex));
  if (Count != PaletteCount) {
    FlushGdi();
    FreeCanvasHandle();
    if (RGBQUAD* table = ColorTable()) {
      // Slots dropped from the palette turn black, as do new entries: what an index beyond the
      // palette shows must not depend on the colours the picture held before.
      for (int i = IntMin(Count, PaletteCount); i < GetPaletteSize(); ++i) table[i] = RGBQUAD{0, 0, 0, 0};
      // The header must never promise more colours than its table holds.
      reinterpret_cast<BITMAPINFOHEADER*>(BitmapInfo.get())->biClrUsed = DWORD(IntMin(Count, GetPaletteSize()));
    }
    PaletteEntries.resize(size_t(Count), 0);
    PaletteCount = Count;
    PaletteIdent = Count == 0 ? pNone : pUnknown;
    LastColorInvalid = true;
  }
  PaletteStale = true;
  InvalidateColorCache();
}

void TPixelGraphic::SetPaletteEntry(int Index, TRGB Color) {
  if (PaletteIdent == pNone || PaletteIdent == pTrueColor) throw EPGNoPalette(PGLangStr(pgmNoPalette));
  if (Index < 0 || Index >= PaletteCount) throw EPGInvalidPaletteIndex(PGLangStr(pgmInvalidPaletteIndex));
  FlushGdi();
  FreeCanvasHandle();
  if (BitmapInfo && Index < GetPaletteSize())
    ColorTable()[Index] = RGBQUAD{uint8_t(RGBBlue(Color)), uint8_t(RGBGreen(Color)), uint8_t(RGBRed(Color)), 0};
  PaletteEntries[size_t(Index)] = Color;
  PaletteIdent = pUnknown;
  LastColorInvalid = true;
  PaletteStale = true;
  InvalidateColorCache();
}

void TPixelGraphic::SetPaletteIdent(TPaletteIdent Ident) {
  if (Ident == PaletteIdent) return;
  switch (Ident) {
    case pNone:
    case pTrueColor:
      SetPaletteCount(0);
      PaletteIdent = Ident;
      break;
    case pUnknown: PaletteIdent = pUnknown; break;
    case pOptimized252Sys16:
    case pSource: break;  // requests only: they name how a palette is made elsewhere
    default: {
      TFixedPalette fixed = FixedPalette(Ident);
      SetPaletteCount(fixed.Count);
      for (int i = 0; i < fixed.Count; ++i) SetPaletteEntry(i, fixed.Entries[i]);
      PaletteIdent = Ident;
    }
  }
  LastColorInvalid = true;
  PaletteStale = true;
  InvalidateColorCache();
}

void TPixelGraphic::UpdatePaletteIdent() {
  IsGray = !IsTrueColor();
  if (IsGray)
    for (TRGB c : PaletteEntries)
      if (RGBRed(c) != RGBGreen(c) || RGBGreen(c) != RGBBlue(c)) {
        IsGray = false;
        break;
      }
  static const TPaletteIdent order[] = {pBlackWhite, pGray4,   pSysGray4,   pGray16,     pGray236,
                                        pGray256,    pSys16, pSpecial216, pSpecial125, pSpecial252};
  for (TPaletteIdent ident : order) {
    TFixedPalette fixed = FixedPalette(ident);
    if (SameEntries(PaletteEntries, fixed.Entries, size_t(fixed.Count))) {
      PaletteIdent = ident;
      return;
    }
  }
  if (PaletteCount == 0)
    PaletteIdent = IsTrueColor() ? pTrueColor : pNone;
  else
    PaletteIdent = pUnknown;
}

// ---- colour matching

int32_t TPixelGraphic::NearestPaletteIndex(TRGB Color) const {
  if (PaletteCount == 0) throw EPGNoPalette(PGLangStr(pgmNoPalette));
  int best = 0, bestDistance = Distance(Color, PaletteEntries[0]);
  for (int i = 1; i < PaletteCount && bestDistance > 0; ++i) {
    int d = Distance(Color, PaletteEntries[size_t(i)]);
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

namespace {

constexpr int CellOf(int R5, int G6, int B5) { return (R5 << 11) | (G6 << 5) | B5; }

// Seeds the cells on the surface of the cube of half-width D around each entry, entries in index
// order, rounds of growing D; a cell keeps the first index written into it.
void SeedColorMap(uint8_t* Map, uint8_t* Filled, const std::vector<TRGB>& Entries) {
  auto visit = [&](int r, int g, int b, int index) {
    if (r < 0 || r > 31 || g < 0 || g > 63 || b < 0 || b > 31) return;
    int cell = CellOf(r, g, b);
    uint8_t bit = uint8_t(1 << (cell & 7));
    if (Filled[cell >> 3] & bit) return;
    Map[cell] = uint8_t(index);
    Filled[cell >> 3] |= bit;
  };
  for (int d = 0; d <= 4; ++d)
    for (size_t i = 0; i < Entries.size(); ++i) {
      int r = RGBRed(Entries[i]) / 8, g = RGBGreen(Entries[i]) / 4, b = RGBBlue(Entries[i]) / 8;
      int index = int(i);
      if (d == 0) {
        visit(r, g, b, index);
        continue;
      }
      for (int u = -d; u <= d; ++u)
        for (int v = -d; v <= d; ++v) {
          visit(r - d, g + u, b + v, index);
          visit(r + d, g + u, b + v, index);
          visit(r + u, g - d, b + v, index);
          visit(r + u, g + d, b + v, index);
          visit(r + u, g + v, b - d, index);
          visit(r + u, g + v, b + d, index);
        }
    }
}

}  // namespace

int32_t TPixelGraphic::ColorToIndex(TRGB Color) { return MatchColor(Color); }

void TPixelGraphic::EnsureColorMap() {
  if (!ColorMapInvalid) return;
  ColorMap.reset(new uint8_t[65536]());
  ColorMapFilled.reset(new uint8_t[8192]());
  SeedColorMap(ColorMap.get(), ColorMapFilled.get(), PaletteEntries);
  ColorMapInvalid = false;
}

// pNone, and palettes of no fixed kind: the nearest entry, through the colour map when the cache is on.
int32_t TPixelGraphic::MatchUnknownColor(TRGB Color) {
  LastColorInvalid = false;
  LastColor = Color;
  int32_t result;
  try {
    if (PaletteIdent == pNone) throw EPGNoPalette(PGLangStr(pgmNoPalette));
    if (!ColorCache || PaletteCount > 256) {
      result = NearestPaletteIndex(Color);
    } else {
      EnsureColorMap();
      int cell = CellOf(RGBRed(Color) / 8, RGBGreen(Color) / 4, RGBBlue(Color) / 8);
      uint8_t bit = uint8_t(1 << (cell & 7));
      if (ColorMapFilled[size_t(cell >> 3)] & bit) {
        result = ColorMap[size_t(cell)];
      } else {
        result = NearestPaletteIndex(Color);
        ColorMap[size_t(cell)] = uint8_t(result);
        ColorMapFilled[size_t(cell >> 3)] |= bit;
      }
    }
  } catch (...) {
    LastColorInvalid = true;  // a failure is not remembered as a result
    throw;
  }
  LastIndex = result;
  return result;
}

}  // namespace imagelib
