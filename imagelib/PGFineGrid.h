// Exact fine grids for the two fixed palettes that are matched by candidate lists (pSpecial252 and
// pSys16), so that the conversion loops match a colour with one look-up and one comparison: for
// each cell of a cube of colours, the one or two candidates that the rule gives the colours of the
// cell. Built from the candidate tables on first use, once per process.
#pragma once

#include <cstdint>

#include "imagelib/PGColorMatch.h"

namespace imagelib::colormatch {

// A cell's word: the two candidates that share the cell between them, the one that takes more of
// the cell in the low byte, the other plus one in the high byte (of a colour as near to both, the
// lower index takes it, as the rule does where it weighs that one first); where one candidate
// takes the whole cell, both are that one. From kFineList, more than two candidates win in the cell:
// the word less kFineList numbers their list; from kFineRule, the rule itself decides.
inline constexpr uint16_t kFineList = 0xFD00;
inline constexpr uint16_t kFineRule = 0xFF00;
inline constexpr int kFineLists = kFineRule - kFineList;

// Cells of 2^Shift colours a side. Cells lie in blocks of 4 x 4 x 4, so that the colours a dithered
// area wanders over share few cache lines. The channels' parts of a cell's number add up:
// CellOf(R, G, B) = CellOf(R, 0, 0) + CellOf(0, G, 0) + CellOf(0, 0, B).
template <int Shift>
struct FineCells {
  static constexpr int Side = 256 >> Shift, Blocks = Side / 4, Count = Side * Side * Side;
  static constexpr int CellOf(int R, int G, int B) {
    auto part = [](int V, int BlockStride, int Stride) {
      return (V >> (Shift + 2)) * BlockStride * 64 + ((V >> Shift) & 3) * Stride;
    };
    return part(R, Blocks * Blocks, 16) + part(G, Blocks, 4) + part(B, 1, 1);
  }
};

template <int Shift>
struct FineGrid : FineCells<Shift> {
  uint16_t Cell[FineCells<Shift>::Count];
  // The candidates of the cells where more than two win, in the rule's order, padded with the first.
  uint8_t Lists[kFineLists][8];
};

// For a palette of at most 16 entries a cell takes a byte: the candidate that takes more of the
// cell in the low half, the other in the high half (the same where one takes the whole cell; a
// colour as near to both goes to the lower index). kNibbleRule sends the colour to the rule: a
// cell of more than two candidates holds it (a cell that black and white alone shared would read
// the same, and the rule would give its colours their answers too).
inline constexpr uint8_t kNibbleRule = 0xF0;
template <int Shift>
struct NibbleGrid : FineCells<Shift> {
  uint8_t Cell[FineCells<Shift>::Count];
};

// pSpecial252's cells are 4 colours a side (512 KB): where a photograph's colours go, about one
// colour in five lies in a cell that two candidates share, one in forty in a cell of more. pSys16's
// are 8 a side, a byte each (32 KB, which stays in the first-level cache): its few entries leave
// nearly every cell of that size to one of them.
using Special252Grid = FineGrid<2>;
using Sys16Grid = NibbleGrid<3>;

const Special252Grid& Special252FineGrid();
const Sys16Grid& Sys16FineGrid();

// The index of colour (R, G, B) in the grid's palette, whose entries Entries holds as red, green,
// blue and a spare byte, for the cell Cell of the colour: the cell's word, or its list, or the
// candidate rule Rule itself. Callers go ahead with the first candidate, so a colour that the
// second one takes costs them a mispredicted branch. Where cells are often shared, WeighAlways
// weighs the second candidate for every colour (the two are the same where one takes the whole
// cell) rather than after a test for a shared cell that would often guess wrong.
__attribute__((always_inline)) inline int FineDistance(const uint8_t* Entries, uint32_t I, int R, int G, int B) {
  const uint8_t* e = Entries + 4 * size_t(I);
  int dr = R - e[0], dg = G - e[1], db = B - e[2];
  return dr * dr + dg * dg + db * db;
}

template <bool WeighAlways>
__attribute__((always_inline)) inline uint32_t WeighPair(const uint8_t* Entries, uint32_t First, uint32_t Second, int R,
                                                         int G, int B) {
  bool shared = WeighAlways || __builtin_expect(First != Second, 0);
  if (shared && __builtin_expect(FineDistance(Entries, Second, R, G, B) <
                                     FineDistance(Entries, First, R, G, B) + int(Second < First),
                                 0)) {
    asm volatile("");  // keeps the branch: a select would make the callers' sums wait for the comparison
    return Second;
  }
  return First;
}

template <bool WeighAlways, int Shift, class RuleOf>
__attribute__((always_inline)) inline uint32_t FineMatch(const FineGrid<Shift>& G, const uint8_t* Entries, uint32_t Cell,
                                                         int R, int G_, int B, RuleOf Rule) {
  uint32_t word = G.Cell[Cell];
  if (__builtin_expect(word >= kFineList, 0)) {
    if (word >= kFineRule) return uint32_t(Rule(MakeRGB(R, G_, B)));
    // The rule's own weighing, over the candidates that can win here.
    const uint8_t* list = G.Lists[word - kFineList];
    uint32_t best = list[0];
    int nearest = FineDistance(Entries, best, R, G_, B);
#pragma GCC unroll 7
    for (int i = 1; i < 8; ++i) {
      int d = FineDistance(Entries, list[i], R, G_, B);
      best = d < nearest ? list[i] : best;
      nearest = d < nearest ? d : nearest;
    }
    return best;
  }
  return WeighPair<WeighAlways>(Entries, word & 0xFF, (word >> 8) - 1, R, G_, B);
}

template <bool WeighAlways, int Shift, class RuleOf>
__attribute__((always_inline)) inline uint32_t FineMatch(const NibbleGrid<Shift>& G, const uint8_t* Entries, uint32_t Cell,
                                                         int R, int G_, int B, RuleOf Rule) {
  uint32_t word = G.Cell[Cell];
  if (__builtin_expect(word == kNibbleRule, 0)) return uint32_t(Rule(MakeRGB(R, G_, B)));
  return WeighPair<WeighAlways>(Entries, word & 0xF, word >> 4, R, G_, B);
}

}  // namespace imagelib::colormatch
