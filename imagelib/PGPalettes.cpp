// Palettes and colour matching: the fixed palettes, setting a palette, recognising its kind, and
// ColorToIndex with each kind's own rule or the cached nearest-colour map.
#include "imagelib/PGPalettes.h"

#include <array>
#include <cstring>

#include "classlib/numerics.h"

namespace imagelib {

namespace {

constexpr TRGB C(int R, int G, int B) { return TRGB(R | (G << 8) | (B << 16)); }

}  // namespace

const TRGB PGSys16Palette[16] = {C(0, 0, 0),       C(128, 0, 0),   C(0, 128, 0),   C(128, 128, 0),
                                 C(0, 0, 128),     C(128, 0, 128), C(0, 128, 128), C(192, 192, 192),
                                 C(128, 128, 128), C(255, 0, 0),   C(0, 255, 0),   C(255, 255, 0),
                                 C(0, 0, 255),     C(255, 0, 255), C(0, 255, 255), C(255, 255, 255)};

namespace {

// Entries 125..251 of pSpecial252 as RRGGBB: four greys, then rings of tints around the hue circle.
constexpr uint32_t kSpecial252Tail[127] = {
    0x202020, 0x606060, 0xA0A0A0, 0xE0E0E0, 0xFFE0FF, 0xE0E0FF, 0xE0FFFF, 0xE0FFE0, 0xFFFFE0, 0xFFE0E0, 0xFFC0E0,
    0xE0C0FF, 0xC0E0FF, 0xC0FFE0, 0xE0FFC0, 0xFFE0C0, 0xE0C0E0, 0xC0C0E0, 0xC0E0E0, 0xC0E0C0, 0xE0E0C0, 0xE0C0C0,
    0xFFA0C0, 0xFFA0E0, 0xFFA0FF, 0xE0A0FF, 0xC0A0FF, 0xA0A0FF, 0xA0C0FF, 0xA0E0FF, 0xA0FFFF, 0xA0FFE0, 0xA0FFC0,
    0xA0FFA0, 0xC0FFA0, 0xE0FFA0, 0xFFFFA0, 0xFFE0A0, 0xFFC0A0, 0xFFA0A0, 0xE0A0C0, 0xE0A0E0, 0xC0A0E0, 0xA0A0E0,
    0xA0C0E0, 0xA0E0E0, 0xA0E0C0, 0xA0E0A0, 0xC0E0A0, 0xE0E0A0, 0xE0C0A0, 0xE0A0A0, 0xFF80A0, 0xFF80E0, 0xE080FF,
    0xA080FF, 0x80A0FF, 0x80E0FF, 0x80FFE0, 0x80FFA0, 0xA0FF80, 0xE0FF80, 0xFFE080, 0xFFA080, 0xC0A0C0, 0xA0A0C0,
    0xA0C0C0, 0xA0C0A0, 0xC0C0A0, 0xC0A0A0, 0xE080A0, 0xE080C0, 0xE080E0, 0xC080E0, 0xA080E0, 0x8080E0, 0x80A0E0,
    0x80C0E0, 0x80E0E0, 0x80E0C0, 0x80E0A0, 0x80E080, 0xA0E080, 0xC0E080, 0xE0E080, 0xE0C080, 0xE0A080, 0xE08080,
    0xFF6080, 0xFF60A0, 0xFF60C0, 0xFF60E0, 0xFF60FF, 0xE060FF, 0xC060FF, 0xA060FF, 0x8060FF, 0x6060FF, 0x6080FF,
    0x60A0FF, 0x60C0FF, 0x60E0FF, 0x60FFFF, 0x60FFE0, 0x60FFC0, 0x60FFA0, 0x60FF80, 0x60FF60, 0x80FF60, 0xA0FF60,
    0xC0FF60, 0xE0FF60, 0xFFFF60, 0xFFE060, 0xFFC060, 0xFFA060, 0xFF8060, 0xFF6060, 0xC080A0, 0xA080C0, 0x80A0C0,
    0x80C0A0, 0xA0C080, 0xC0A080, 0xE06080, 0xE060A0, 0xE060C0};

struct FixedTables {
  std::array<TRGB, 2> BlackWhite;
  std::array<TRGB, 4> SysGray4, Gray4;
  std::array<TRGB, 16> Sys16, Gray16;
  std::array<TRGB, 236> Gray236;
  std::array<TRGB, 256> Gray256;
  std::array<TRGB, 125> Special125;
  std::array<TRGB, 216> Special216;
  std::array<TRGB, 252> Special252;
  std::array<uint8_t, 766> GrayTable236;  // pGray236 index per triple luminance
};

FixedTables MakeTables() {
  FixedTables t{};
  t.BlackWhite = {C(0, 0, 0), C(255, 255, 255)};
  t.SysGray4 = {C(0, 0, 0), C(128, 128, 128), C(192, 192, 192), C(255, 255, 255)};
  for (int i = 0; i < 4; ++i) t.Gray4[size_t(i)] = C(i * 255 / 3, i * 255 / 3, i * 255 / 3);
  for (int i = 0; i < 16; ++i) {
    t.Sys16[size_t(i)] = PGSys16Palette[i];
    t.Gray16[size_t(i)] = C(i * 255 / 15, i * 255 / 15, i * 255 / 15);
  }
  for (int i = 0; i < 236; ++i) {
    int g = int(Round(i * 255.0L / 235.0L));
    t.Gray236[size_t(i)] = C(g, g, g);
  }
  for (int i = 0; i < 256; ++i) t.Gray256[size_t(i)] = C(i, i, i);
  auto level125 = [](int v) { return (v * 255 + 3) / 4; };
  auto level216 = [](int v) { return (v * 255 + 4) / 5; };
  for (int r = 0; r < 5; ++r)
    for (int g = 0; g < 5; ++g)
      for (int b = 0; b < 5; ++b) t.Special125[size_t(r * 25 + g * 5 + b)] = C(level125(r), level125(g), level125(b));
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) t.Special216[size_t(r * 36 + g * 6 + b)] = C(level216(r), level216(g), level216(b));
  // pSpecial252: the system colours, the 5-level cube without them, then the stored tail.
  size_t n = 0;
  for (TRGB c : PGSys16Palette) t.Special252[n++] = c;
  for (TRGB c : t.Special125) {
    bool system = false;
    for (TRGB s : PGSys16Palette) system |= s == c;
    if (!system) t.Special252[n++] = c;
  }
  for (uint32_t rrggbb : kSpecial252Tail) t.Special252[n++] = C(int(rrggbb >> 16), int((rrggbb >> 8) & 0xFF), int(rrggbb & 0xFF));
  for (int l3 = 0; l3 < 766; ++l3) {
    int best = 0, bestDistance = 1 << 30;
    for (int i = 0; i < 236; ++i) {
      int d = 3 * RGBRed(t.Gray236[size_t(i)]) - l3;
      if (d < 0) d = -d;
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    t.GrayTable236[size_t(l3)] = uint8_t(best);
  }
  return t;
}

const FixedTables& Tables() {
  static const FixedTables tables = MakeTables();  // thread-safe first use; trivially destructible
  return tables;
}

// pSys16 candidates c0/c1/c2 per cell (R div 64, G div 64, B div 64), indexed [R][G * 4 + B].
constexpr uint8_t kSys16Candidates[4][16][3] = {
    {{0, 0, 0}, {4, 4, 4}, {4, 4, 4}, {12, 12, 12}, {2, 2, 2}, {6, 6, 6}, {6, 6, 6}, {6, 12, 12},
     {2, 2, 2}, {6, 6, 6}, {6, 6, 6}, {6, 14, 14}, {10, 10, 10}, {6, 10, 10}, {6, 14, 14}, {14, 14, 14}},
    {{1, 1, 1}, {5, 5, 5}, {5, 5, 5}, {5, 12, 12}, {3, 3, 3}, {8, 8, 8}, {8, 8, 8}, {8, 12, 12},
     {3, 3, 3}, {8, 8, 8}, {8, 8, 8}, {7, 8, 14}, {3, 10, 10}, {8, 10, 10}, {7, 8, 14}, {7, 14, 14}},
    {{1, 1, 1}, {5, 5, 5}, {5, 5, 5}, {5, 13, 13}, {3, 3, 3}, {8, 8, 8}, {8, 8, 8}, {7, 8, 13},
     {3, 3, 3}, {8, 8, 8}, {7, 8, 8}, {7, 7, 7}, {3, 11, 11}, {7, 8, 11}, {7, 7, 7}, {7, 7, 7}},
    {{9, 9, 9}, {5, 9, 9}, {5, 13, 13}, {13, 13, 13}, {3, 9, 9}, {8, 9, 9}, {7, 8, 13}, {7, 13, 13},
     {3, 11, 11}, {7, 8, 11}, {7, 7, 7}, {7, 7, 7}, {11, 11, 11}, {7, 11, 11}, {7, 7, 7}, {7, 15, 15}}};

inline int Distance(TRGB A, TRGB B) {
  int dr = RGBRed(A) - RGBRed(B), dg = RGBGreen(A) - RGBGreen(B), db = RGBBlue(A) - RGBBlue(B);
  return dr * dr + dg * dg + db * db;
}

int Sys16Index(TRGB Color) {
  const uint8_t* c = kSys16Candidates[RGBRed(Color) / 64][(RGBGreen(Color) / 64) * 4 + RGBBlue(Color) / 64];
  int result = c[0];
  if (c[1] != c[0]) {
    if (Distance(Color, PGSys16Palette[c[1]]) < Distance(Color, PGSys16Palette[result])) result = c[1];
    if (c[2] != c[1] && Distance(Color, PGSys16Palette[c[2]]) < Distance(Color, PGSys16Palette[result])) result = c[2];
  }
  return result;
}

bool SameEntries(const std::vector<TRGB>& Entries, const TRGB* Fixed, size_t Count) {
  return Entries.size() == Count && std::memcmp(Entries.data(), Fixed, Count * sizeof(TRGB)) == 0;
}

}  // namespace

TFixedPalette FixedPalette(TPaletteIdent Ident) {
  const FixedTables& t = Tables();
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
  if (Count < 0) throw EPGInvalidPaletteIndex(PGLangStr(3));
  if (Count != PaletteCount) {
    FlushGdi();
    FreeCanvasHandle();
    PaletteEntries.resize(size_t(Count), 0);
    PaletteCount = Count;
    PaletteIdent = Count == 0 ? pNone : pUnknown;
    LastColorInvalid = true;
    // The header must never promise more colours than its table holds.
    if (BitmapInfo)
      reinterpret_cast<BITMAPINFOHEADER*>(BitmapInfo.get())->biClrUsed = DWORD(IntMin(Count, GetPaletteSize()));
  }
  PaletteStale = true;
  InvalidateColorCache();
}

void TPixelGraphic::SetPaletteEntry(int Index, TRGB Color) {
  if (PaletteIdent == pNone || PaletteIdent == pTrueColor) throw EPGNoPalette(PGLangStr(2));
  if (Index < 0 || Index >= PaletteCount) throw EPGInvalidPaletteIndex(PGLangStr(3));
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
  IsGray = BitCountNum != 3;
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
    PaletteIdent = BitCountNum == 3 ? pTrueColor : pNone;
  else
    PaletteIdent = pUnknown;
}

// ---- colour matching

int32_t TPixelGraphic::NearestPaletteIndex(TRGB Color) const {
  if (PaletteCount == 0) throw EPGNoPalette(PGLangStr(2));
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

int32_t TPixelGraphic::ColorToIndex(TRGB Color) {
  if (!LastColorInvalid && Color == LastColor) return LastIndex;
  LastColorInvalid = false;
  LastColor = Color;
  int32_t result;
  try {
    int l3 = Luminance3(Color, RGBWeighting);
    switch (PaletteIdent) {
      case pNone: throw EPGNoPalette(PGLangStr(2));
      case pTrueColor: result = Color; break;
      case pBlackWhite: result = (l3 + 1) / 384; break;
      case pSysGray4: result = l3 <= 192 ? 0 : l3 <= 480 ? 1 : l3 <= 670 ? 2 : 3; break;
      case pSys16: result = Sys16Index(Color); break;
      case pGray4: result = (l3 + 127) / 255; break;
      case pGray16: result = (l3 + 25) / 51; break;
      case pGray236: result = Tables().GrayTable236[size_t(l3)]; break;
      case pGray256: result = (l3 + 1) / 3; break;
      case pSpecial125: {
        auto level = [](int v) { return ((v == 224 ? 225 : v) + 31) / 64; };
        result = level(RGBRed(Color)) * 25 + level(RGBGreen(Color)) * 5 + level(RGBBlue(Color));
        break;
      }
      case pSpecial216: {
        auto level = [](int v) { return (v + 24) / 51; };
        result = level(RGBRed(Color)) * 36 + level(RGBGreen(Color)) * 6 + level(RGBBlue(Color));
        break;
      }
      case pSpecial252: result = NearestPaletteIndex(Color); break;
      default: {  // pUnknown
        if (!ColorCache || PaletteCount > 256) {
          result = NearestPaletteIndex(Color);
          break;
        }
        if (ColorMapInvalid) {
          ColorMap.reset(new uint8_t[65536]());
          ColorMapFilled.reset(new uint8_t[8192]());
          SeedColorMap(ColorMap.get(), ColorMapFilled.get(), PaletteEntries);
          ColorMapInvalid = false;
        }
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
    }
  } catch (...) {
    LastColorInvalid = true;
    throw;
  }
  LastIndex = result;
  return result;
}

}  // namespace imagelib
