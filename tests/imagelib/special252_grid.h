// Builds the pSpecial252 candidate grid from the palette: a cell lists, in ascending order, every
// entry that is the strictly unique nearest entry of at least one colour of the cell.
#pragma once

#include <cstdint>
#include <vector>

#include "imagelib/PGPalettes.h"

namespace special252 {

struct Grid {
  std::vector<uint16_t> Starts;  // 730: cell c lists Indices[Starts[c] .. Starts[c + 1])
  std::vector<uint8_t> Indices;
};

inline Grid BuildGrid() {
  using namespace imagelib;
  TFixedPalette palette = FixedPalette(pSpecial252);
  struct E {
    int r, g, b;
  };
  std::vector<E> entries;
  for (int i = 0; i < palette.Count; ++i)
    entries.push_back({RGBRed(palette.Entries[i]), RGBGreen(palette.Entries[i]), RGBBlue(palette.Entries[i])});
  auto lo = [](int k) { return k * 32 - 16 < 0 ? 0 : k * 32 - 16; };
  auto hi = [](int k) { return k * 32 + 15 > 255 ? 255 : k * 32 + 15; };
  auto axis = [](int v, int a, int b, bool farthest) {
    if (farthest) {
      int d1 = v - a, d2 = b - v;
      d1 = d1 < 0 ? -d1 : d1;
      d2 = d2 < 0 ? -d2 : d2;
      int d = d1 > d2 ? d1 : d2;
      return d * d;
    }
    int d = v < a ? a - v : (v > b ? v - b : 0);
    return d * d;
  };
  Grid grid;
  for (int cr = 0; cr < 9; ++cr)
    for (int cg = 0; cg < 9; ++cg)
      for (int cb = 0; cb < 9; ++cb) {
        grid.Starts.push_back(uint16_t(grid.Indices.size()));
        int r0 = lo(cr), r1 = hi(cr), g0 = lo(cg), g1 = hi(cg), b0 = lo(cb), b1 = hi(cb);
        // Only entries whose nearest point of the cell is within the best farthest distance can win.
        int bound = 1 << 30;
        for (const E& e : entries) {
          int farthest = axis(e.r, r0, r1, true) + axis(e.g, g0, g1, true) + axis(e.b, b0, b1, true);
          if (farthest < bound) bound = farthest;
        }
        std::vector<int> candidates;
        for (int i = 0; i < int(entries.size()); ++i) {
          const E& e = entries[size_t(i)];
          if (axis(e.r, r0, r1, false) + axis(e.g, g0, g1, false) + axis(e.b, b0, b1, false) <= bound)
            candidates.push_back(i);
        }
        std::vector<bool> listed(entries.size(), false);
        for (int r = r0; r <= r1; ++r)
          for (int g = g0; g <= g1; ++g)
            for (int b = b0; b <= b1; ++b) {
              int best = -1, bestD = 1 << 30, secondD = 1 << 30;
              for (int i : candidates) {
                const E& e = entries[size_t(i)];
                int d = (r - e.r) * (r - e.r) + (g - e.g) * (g - e.g) + (b - e.b) * (b - e.b);
                if (d < bestD) {
                  secondD = bestD;
                  bestD = d;
                  best = i;
                } else if (d < secondD) {
                  secondD = d;
                }
              }
              if (bestD < secondD) listed[size_t(best)] = true;
            }
        for (int i = 0; i < int(entries.size()); ++i)
          if (listed[size_t(i)]) grid.Indices.push_back(uint8_t(i));
      }
  grid.Starts.push_back(uint16_t(grid.Indices.size()));
  return grid;
}

}  // namespace special252
