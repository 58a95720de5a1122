// The fixed palette tables and the colour matching of the fixed palette kinds, inline so that the
// per-pixel conversion loops can use them without a call.
#pragma once

#include <array>
#include <cstdint>

#include "imagelib/PGSpecial252Grid.h"
#include "imagelib/PGraphic.h"

namespace imagelib::colormatch {

constexpr TRGB C(int R, int G, int B) { return TRGB(R | (G << 8) | (B << 16)); }

// The 16 system colours in index order.
constexpr std::array<TRGB, 16> kSys16 = {C(0, 0, 0),       C(128, 0, 0),   C(0, 128, 0),   C(128, 128, 0),
                                         C(0, 0, 128),     C(128, 0, 128), C(0, 128, 128), C(192, 192, 192),
                                         C(128, 128, 128), C(255, 0, 0),   C(0, 255, 0),   C(255, 255, 0),
                                         C(0, 0, 255),     C(255, 0, 255), C(0, 255, 255), C(255, 255, 255)};

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

constexpr FixedTables MakeTables() {
  FixedTables t{};
  t.BlackWhite = {C(0, 0, 0), C(255, 255, 255)};
  t.SysGray4 = {C(0, 0, 0), C(128, 128, 128), C(192, 192, 192), C(255, 255, 255)};
  for (int i = 0; i < 4; ++i) t.Gray4[size_t(i)] = C(i * 255 / 3, i * 255 / 3, i * 255 / 3);
  for (int i = 0; i < 16; ++i) {
    t.Sys16[size_t(i)] = kSys16[size_t(i)];
    t.Gray16[size_t(i)] = C(i * 255 / 15, i * 255 / 15, i * 255 / 15);
  }
  // Round(i * 255 / 235): the quotient never ends in exactly one half, so this rounds the same way.
  for (int i = 0; i < 236; ++i) {
    int g = (2 * i * 255 + 235) / 470;
    t.Gray236[size_t(i)] = C(g, g, g);
  }
  for (int i = 0; i < 256; ++i) t.Gray256[size_t(i)] = C(i, i, i);
  for (int r = 0; r < 5; ++r)
    for (int g = 0; g < 5; ++g)
      for (int b = 0; b < 5; ++b)
        t.Special125[size_t(r * 25 + g * 5 + b)] = C((r * 255 + 3) / 4, (g * 255 + 3) / 4, (b * 255 + 3) / 4);
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b)
        t.Special216[size_t(r * 36 + g * 6 + b)] = C((r * 255 + 4) / 5, (g * 255 + 4) / 5, (b * 255 + 4) / 5);
  // pSpecial252: the system colours, the 5-level cube without them, then the stored tail.
  size_t n = 0;
  for (TRGB c : kSys16) t.Special252[n++] = c;
  for (TRGB c : t.Special125) {
    bool system = false;
    for (TRGB s : kSys16) system = system || s == c;
    if (!system) t.Special252[n++] = c;
  }
  for (uint32_t rrggbb : kSpecial252Tail)
    t.Special252[n++] = C(int(rrggbb >> 16), int((rrggbb >> 8) & 0xFF), int(rrggbb & 0xFF));
  // The index whose triple grey is nearest to each triple luminance, the lower one on a tie. The
  // greys step by about 3.26 in triple units, so the nearest lies next to l3 * 235 / 765.
  for (int l3 = 0; l3 < 766; ++l3) {
    int guess = l3 * 235 / 765, best = -1, bestDistance = 1 << 30;
    for (int i = guess - 1; i <= guess + 2; ++i) {
      if (i < 0 || i > 235) continue;
      int d = 3 * (t.Gray236[size_t(i)] & 0xFF) - l3;
      d = d < 0 ? -d : d;
      if (d < bestDistance) {
        bestDistance = d;
        best = i;
      }
    }
    t.GrayTable236[size_t(l3)] = uint8_t(best);
  }
  return t;
}

inline constexpr FixedTables kTables = MakeTables();

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

__attribute__((always_inline)) inline int Sys16Index(TRGB Color) {
  const uint8_t* c = kSys16Candidates[RGBRed(Color) / 64][(RGBGreen(Color) / 64) * 4 + RGBBlue(Color) / 64];
  int result = c[0];
  if (c[1] != c[0]) {
    if (Distance(Color, kSys16[c[1]]) < Distance(Color, kSys16[result])) result = c[1];
    if (c[2] != c[1] && Distance(Color, kSys16[c[2]]) < Distance(Color, kSys16[result])) result = c[2];
  }
  return result;
}

// The match with the entry's channels, so that the caller needs no second look-up.
struct Match {
  int Index, R, G, B;
};

// The candidates of the grid with their entries' channels: index, red, green, blue in one word, so
// that weighing a candidate takes one look-up and the winner's channels come with it.
constexpr std::array<uint32_t, 1928> MakeSpecial252Candidates() {
  std::array<uint32_t, 1928> words{};
  for (size_t i = 0; i < 1928; ++i) {
    uint32_t index = PGSpecial252Candidates[i];
    TRGB e = kTables.Special252[index];
    words[i] = index | uint32_t(e & 0xFF) << 8 | uint32_t((e >> 8) & 0xFF) << 16 | uint32_t((e >> 16) & 0xFF) << 24;
  }
  return words;
}
inline constexpr std::array<uint32_t, 1928> kSpecial252Words = MakeSpecial252Candidates();

// The first candidate of the colour's grid cell, replaced by each later one that is strictly nearer.
__attribute__((always_inline)) inline Match Special252Match(TRGB Color) {
  int r = RGBRed(Color), g = RGBGreen(Color), b = RGBBlue(Color);
  int cell = ((r + 16) >> 5) * 81 + ((g + 16) >> 5) * 9 + ((b + 16) >> 5);
  const uint32_t* candidate = kSpecial252Words.data() + PGSpecial252Starts[cell];
  const uint32_t* end = kSpecial252Words.data() + PGSpecial252Starts[cell + 1];
  auto distance = [&](uint32_t w) {
    int dr = r - int((w >> 8) & 0xFF), dg = g - int((w >> 16) & 0xFF), db = b - int(w >> 24);
    return dr * dr + dg * dg + db * db;
  };
  uint32_t best = *candidate;
  int bestDistance = distance(best);
  for (++candidate; candidate < end; ++candidate) {
    uint32_t w = *candidate;
    int d = distance(w);
    bool nearer = d < bestDistance;  // selected without a branch: the outcome is unpredictable
    bestDistance = nearer ? d : bestDistance;
    best = nearer ? w : best;
  }
  return Match{int(best & 0xFF), int((best >> 8) & 0xFF), int((best >> 16) & 0xFF), int(best >> 24)};
}

inline int Special252Index(TRGB Color) { return Special252Match(Color).Index; }

}  // namespace imagelib::colormatch

namespace imagelib {

inline int32_t TPixelGraphic::MatchColor(TRGB Color) {
  using namespace colormatch;
  if (!LastColorInvalid && Color == LastColor) return LastIndex;
  int32_t result;
  switch (PaletteIdent) {
    case pTrueColor: result = Color; break;
    case pBlackWhite: result = (Luminance3(Color, RGBWeighting) + 1) / 384; break;
    case pSysGray4: {
      int l = Luminance3(Color, RGBWeighting);
      result = l <= 192 ? 0 : l <= 480 ? 1 : l <= 670 ? 2 : 3;
      break;
    }
    case pSys16: result = Sys16Index(Color); break;
    case pGray4: result = (Luminance3(Color, RGBWeighting) + 127) / 255; break;
    case pGray16: result = (Luminance3(Color, RGBWeighting) + 25) / 51; break;
    case pGray236: result = kTables.GrayTable236[size_t(Luminance3(Color, RGBWeighting))]; break;
    case pGray256: result = (Luminance3(Color, RGBWeighting) + 1) / 3; break;
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
    case pSpecial252: result = Special252Index(Color); break;
    default: return MatchUnknownColor(Color);  // pNone and arbitrary palettes
  }
  LastColorInvalid = false;
  LastColor = Color;
  LastIndex = result;
  return result;
}

}  // namespace imagelib
