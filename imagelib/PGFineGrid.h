// Exact fine grids for the two fixed palettes that are matched by candidate lists (pSpecial252 and
// pSys16), so that the conversion loops match a colour with one look-up and one comparison: for
// each cell of 4 x 4 x 4 colours, the one or two candidates that the rule gives the colours of the
// cell. Built from the candidate tables on first use, once per process.
#pragma once

#include <cstdint>

#include "imagelib/PGColorMatch.h"

namespace imagelib::colormatch {

// A cell's word: the two candidates that share the cell between them, the one the rule weighs
// first (it wins a tie) in the low byte, the other plus one in the high byte; where one candidate
// takes the whole cell, both are that one. At kFineMany and above, more than two candidates win in
// the cell and the rule itself decides.
inline constexpr uint16_t kFineMany = 0xFF00;

struct FineGrid {
  uint16_t Cell[64 * 64 * 64];
};

// The cell of a colour (red, green and blue divided by 4). Cells lie in blocks of 4 x 4 x 4, one
// block to two 64-byte lines, so that the colours a dithered area wanders over share few
// lines. The channels' parts are separate bits: the cell is the sum of FineCell(R, 0, 0),
// FineCell(0, G, 0) and FineCell(0, 0, B).
constexpr int FineCell(int R, int G, int B) {
  return (R >> 4) << 14 | (G >> 4) << 10 | (B >> 4) << 6 | ((R >> 2) & 3) << 4 | ((G >> 2) & 3) << 2 | ((B >> 2) & 3);
}

const FineGrid& Special252FineGrid();
const FineGrid& Sys16FineGrid();

// The index of colour C (channels R, G, B) in the grid's palette Entries: the cell's word, and the
// candidate rule Rule itself where more than two candidates win. Callers go ahead with the first
// candidate, so a colour that the second one takes costs them a mispredicted branch. Where cells
// are mostly shared, WeighAlways weighs the second candidate for every colour (the two are the same
// where one takes the whole cell) rather than after a test for a shared cell that would often guess
// wrong.
template <bool WeighAlways, class RuleOf>
__attribute__((always_inline)) inline uint32_t FineMatch(const FineGrid& Grid, const TRGB* Entries, int Cell, TRGB C,
                                                         RuleOf Rule) {
  uint32_t word = Grid.Cell[Cell];
  if (__builtin_expect(word >= kFineMany, 0)) return uint32_t(Rule(C));
  uint32_t first = word & 0xFF, second = (word >> 8) - 1;
  bool shared = WeighAlways || __builtin_expect(first != second, 0);
  if (shared && __builtin_expect(Distance(C, Entries[second]) < Distance(C, Entries[first]), 0)) {
    asm volatile("");  // keeps the branch: a select would make the callers' sums wait for the comparison
    return second;
  }
  return first;
}

}  // namespace imagelib::colormatch
