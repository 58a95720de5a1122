// Building the fine grids. Both candidate rules take the first candidate of the colour's coarse
// cell and replace it by each later one that is strictly nearer, so a colour gets the first of its
// nearest candidates. Candidate K beats J in a fine cell when, at every colour of the cell, K is
// strictly nearer, or as near and weighed first. The difference of two squared distances is linear
// in the colour, so its least value over the cell lies at a corner. A cell has one answer W exactly
// when W beats every other candidate; a candidate that some other one beats never wins there, and
// leaving it out changes no answer. Repeating the first candidate at the end of a list changes none
// either.
#include "imagelib/PGFineGrid.h"

#include <algorithm>
#include <array>
#include <map>

#include "imagelib/PGColorMatch.h"

namespace imagelib::colormatch {

namespace {

struct Candidates {
  const uint8_t* List;  // in the order the rule weighs them
  int Count;
};

// Writing a cell's answer into a grid of words: the lists of the cells where more than two
// candidates win are numbered, and most such cells share their list with a neighbour.
template <class Grid>
struct Cells;
template <int Shift>
struct Cells<FineGrid<Shift>> {
  FineGrid<Shift>& Into;
  std::map<std::array<int, 8>, int> Known = {};
  void Pair(int Cell, int First, int Second) { Into.Cell[Cell] = uint16_t(First | (Second + 1) << 8); }
  // A cell with the padded candidate list List.
  void List(int Cell, const int (&List)[8]) {
    std::array<int, 8> key;
    std::copy(List, List + 8, key.begin());
    auto it = Known.find(key);
    if (it != Known.end()) {
      Into.Cell[Cell] = uint16_t(kFineList + it->second);
      return;
    }
    int n = int(Known.size());
    if (n == kFineLists) {  // more lists than words for them
      Into.Cell[Cell] = kFineRule;
      return;
    }
    Known.emplace(key, n);
    for (int i = 0; i < 8; ++i) Into.Lists[n][i] = uint8_t(List[i]);
    Into.Cell[Cell] = uint16_t(kFineList + n);
  }
};

// Into a grid of bytes; a cell of more than two candidates is left to the rule.
template <int Shift>
struct Cells<NibbleGrid<Shift>> {
  NibbleGrid<Shift>& Into;
  void Pair(int Cell, int First, int Second) { Into.Cell[Cell] = uint8_t(First | Second << 4); }
  void List(int Cell, const int (&)[8]) { Into.Cell[Cell] = kNibbleRule; }
};

// The fine cell whose first colour is (R0, G0, B0).
template <class Grid, class CandidatesOf>
void BuildCell(Cells<Grid>& Into, const TRGB* Entries, CandidatesOf Of, int R0, int G0, int B0) {
  constexpr int span = 256 / Grid::Side - 1;  // steps of a channel within a cell
  int cell = Grid::CellOf(R0, G0, B0);
  Candidates c = Of(R0, G0, B0);  // the same coarse cell for every colour of the fine cell
  TRGB first = MakeRGB(R0, G0, B0);
  int at[8];  // squared distances from the cell's first colour
  for (int i = 0; i < c.Count; ++i) at[i] = Distance(first, Entries[c.List[i]]);
  // Whether candidate K beats J: the least of distance(colour, J) - distance(colour, K) over the
  // cell, where each step of a channel adds 2 (K - J) of that channel.
  auto beats = [&](int K, int J) {
    TRGB k = Entries[c.List[K]], j = Entries[c.List[J]];
    int lead = at[J] - at[K];
    int steps[3] = {RGBRed(k) - RGBRed(j), RGBGreen(k) - RGBGreen(j), RGBBlue(k) - RGBBlue(j)};
    for (int s : steps)
      if (s < 0) lead += 2 * span * s;
    return K < J ? lead >= 0 : lead > 0;
  };
  // Only the answer of the cell's first colour can be the answer of all of them.
  int w = 0;
  for (int i = 1; i < c.Count; ++i) w = at[i] < at[w] ? i : w;
  bool everywhere = true;
  for (int j = 0; j < c.Count && everywhere; ++j) everywhere = c.List[j] == c.List[w] || beats(w, j);
  if (everywhere) {
    Into.Pair(cell, c.List[w], c.List[w]);
    return;
  }
  int left[8], count = 0;
  for (int j = 0; j < c.Count; ++j) {
    bool beaten = false;
    for (int k = 0; k < c.Count && !beaten; ++k) beaten = k != j && beats(k, j);
    if (!beaten) left[count++] = c.List[j];
  }
  if (count == 2) {
    // Callers go ahead with the low byte's candidate, and guess wrong for each colour the other one
    // takes: the one that takes more of the cell goes there. The word gives a colour as near to both
    // to the lower index; where the rule weighs the higher one first and such a colour lies in the
    // cell, the cell takes a list instead.
    TRGB a = Entries[left[0]], b = Entries[left[1]];
    int later = 0, ties = 0;
    for (int r = R0; r <= R0 + span; ++r)
      for (int g = G0; g <= G0 + span; ++g)
        for (int bl = B0; bl <= B0 + span; ++bl) {
          TRGB colour = MakeRGB(r, g, bl);
          int lead = Distance(colour, a) - Distance(colour, b);
          later += lead > 0;
          ties += lead == 0;
        }
    if (ties == 0 || left[0] < left[1]) {
      if (2 * later > (span + 1) * (span + 1) * (span + 1)) std::swap(left[0], left[1]);
      Into.Pair(cell, left[0], left[1]);
      return;
    }
  }
  for (int i = count; i < 8; ++i) left[i] = left[0];
  Into.List(cell, left);
}

template <class Grid, class CandidatesOf>
void Build(Grid& Into, const TRGB* Entries, CandidatesOf Of) {
  constexpr int size = 256 / Grid::Side;
  Cells<Grid> cells{Into};
  for (int r = 0; r < 256; r += size)
    for (int g = 0; g < 256; g += size)
      for (int b = 0; b < 256; b += size) BuildCell(cells, Entries, Of, r, g, b);
}

// Built in place in static storage, once, whichever thread comes first.
struct Special252Built : Special252Grid {
  Special252Built() {
    Build(static_cast<Special252Grid&>(*this), kTables.Special252.data(), [](int R, int G, int B) {
      int cell = ((R + 16) >> 5) * 81 + ((G + 16) >> 5) * 9 + ((B + 16) >> 5);
      return Candidates{PGSpecial252Candidates + PGSpecial252Starts[cell],
                        PGSpecial252Starts[cell + 1] - PGSpecial252Starts[cell]};
    });
  }
};

struct Sys16Built : Sys16Grid {
  Sys16Built() {
    Build(static_cast<Sys16Grid&>(*this), kSys16.data(), [](int R, int G, int B) {
      const uint8_t* c = kSys16Candidates[R / 64][(G / 64) * 4 + B / 64];
      return Candidates{c, c[1] == c[0] ? 1 : 3};  // the third is looked at only after a second
    });
  }
};

}  // namespace

const Special252Grid& Special252FineGrid() {
  static const Special252Built grid;
  return grid;
}

const Sys16Grid& Sys16FineGrid() {
  static const Sys16Built grid;
  return grid;
}

}  // namespace imagelib::colormatch
