// The optimised palette: median cut over a 5-6-5 histogram for 24-bit sources, an octree over the
// used colours for palette sources. Sums are 64-bit: a large picture passes 2^31 in one box.
#include "imagelib/PGQuantize.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "imagelib/PGPalettes.h"

namespace imagelib {

namespace {

// ---- median cut

class MedianCut {
 public:
  // Counts the source row by row, until a progress handler aborts after a row. The counts go into
  // 32-bit counters, which no picture can fill, and are limited to 65535 at the end: the counts
  // that saturating 16-bit counters would hold, without a test per pixel. Each cell has four
  // counters side by side, for pixels in turn: a run of one colour would otherwise make each
  // count wait for the one before it.
  void Count(TPixelGraphic* Target, TPixelGraphic* Source) {
    int w = Source->GetWidth(), h = Source->GetHeight();
    std::vector<uint32_t> counts(4 * 65536, 0);
    auto cell = [](const uint8_t* P) { return size_t((P[2] & 0xF8) << 8 | (P[1] & 0xFC) << 3 | P[0] >> 3) * 4; };
    for (int y = 0; y < h; ++y) {
      const uint8_t* p = Source->ScanLine(y);
      const uint8_t* end = p + 3 * size_t(w);
      for (; end - p >= 12; p += 12) {
        ++counts[cell(p)];
        ++counts[cell(p + 3) + 1];
        ++counts[cell(p + 6) + 2];
        ++counts[cell(p + 9) + 3];
      }
      for (; p < end; p += 3) ++counts[cell(p)];
      bool abort = false;
      if (Target->OnProgress) Target->OnProgress(Target, y, h - 1, abort);
      if (abort) break;
    }
    for (size_t c = 0; c < 65536; ++c) {
      uint32_t n = counts[4 * c] + counts[4 * c + 1] + counts[4 * c + 2] + counts[4 * c + 3];
      FHistogram[c] = uint16_t(n < 65535 ? n : 65535);
    }
  }

  std::vector<TRGB> Palette(int N) {
    std::vector<Box> boxes;
    boxes.push_back(Box{0, 31, 0, 63, 0, 31, 0, 0});
    Shrink(boxes[0]);
    while (int(boxes.size()) < N) {
      int pick = -1;
      bool byVolume = N >= 2 * int(boxes.size());
      for (int i = 0; i < int(boxes.size()); ++i) {
        const Box& b = boxes[size_t(i)];
        if (b.Size <= 0) continue;
        if (pick < 0 || (byVolume ? b.Volume > boxes[size_t(pick)].Volume : b.Size > boxes[size_t(pick)].Size)) pick = i;
      }
      if (pick < 0) break;
      Box& old = boxes[size_t(pick)];
      Box added = old;
      int dr = (old.RHigh - old.RLow) * 16, dg = (old.GHigh - old.GLow) * 12, db = (old.BHigh - old.BLow) * 16;
      if (db > dg && db > dr) {
        int m = (old.BLow + old.BHigh) / 2;
        old.BHigh = m;
        added.BLow = m + 1;
      } else if (dr > dg) {
        int m = (old.RLow + old.RHigh) / 2;
        old.RHigh = m;
        added.RLow = m + 1;
      } else {
        int m = (old.GLow + old.GHigh) / 2;
        old.GHigh = m;
        added.GLow = m + 1;
      }
      Shrink(old);
      Shrink(added);
      boxes.push_back(added);  // after the shrink: push_back may move the box 'old' refers to
    }
    std::vector<TRGB> palette;
    for (const Box& b : boxes) palette.push_back(Mean(b));
    return palette;
  }

 private:
  struct Box {
    int RLow, RHigh, GLow, GHigh, BLow, BHigh;
    int64_t Size, Volume;
  };

  int64_t Cell(int R, int G, int B) const { return FHistogram[size_t((R << 11) | (G << 5) | B)]; }

  bool EmptyB(const Box& b, int B) const {
    for (int r = b.RLow; r <= b.RHigh; ++r)
      for (int g = b.GLow; g <= b.GHigh; ++g)
        if (Cell(r, g, B)) return false;
    return true;
  }
  bool EmptyG(const Box& b, int G) const {
    for (int r = b.RLow; r <= b.RHigh; ++r)
      for (int x = b.BLow; x <= b.BHigh; ++x)
        if (Cell(r, G, x)) return false;
    return true;
  }
  bool EmptyR(const Box& b, int R) const {
    for (int g = b.GLow; g <= b.GHigh; ++g)
      for (int x = b.BLow; x <= b.BHigh; ++x)
        if (Cell(R, g, x)) return false;
    return true;
  }

  // Moves each bound inward to the nearest plane that holds a count, in the order B, G, R.
  void Shrink(Box& b) const {
    while (b.BLow < b.BHigh && EmptyB(b, b.BLow)) ++b.BLow;
    while (b.BHigh > b.BLow && EmptyB(b, b.BHigh)) --b.BHigh;
    while (b.GLow < b.GHigh && EmptyG(b, b.GLow)) ++b.GLow;
    while (b.GHigh > b.GLow && EmptyG(b, b.GHigh)) --b.GHigh;
    while (b.RLow < b.RHigh && EmptyR(b, b.RLow)) ++b.RLow;
    while (b.RHigh > b.RLow && EmptyR(b, b.RHigh)) --b.RHigh;
    int64_t db = (b.BHigh - b.BLow) * 16, dg = (b.GHigh - b.GLow) * 12, dr = (b.RHigh - b.RLow) * 16;
    b.Size = db * db + dg * dg + dr * dr;
    b.Volume = int64_t(b.RHigh - b.RLow + 1) * (b.GHigh - b.GLow + 1) * (b.BHigh - b.BLow + 1);
  }

  // The count-weighted mean of the box's cell centres, rounded.
  TRGB Mean(const Box& b) const {
    int64_t w = 0, sr = 0, sg = 0, sb = 0;
    for (int r = b.RLow; r <= b.RHigh; ++r)
      for (int g = b.GLow; g <= b.GHigh; ++g)
        for (int x = b.BLow; x <= b.BHigh; ++x) {
          int64_t c = Cell(r, g, x);
          w += c;
          sr += c * (8 * r + 4);
          sg += c * (4 * g + 2);
          sb += c * (8 * x + 4);
        }
    if (w == 0) return 0;  // never: every box holds counted pixels
    return MakeRGB(int((sr + w / 2) / w), int((sg + w / 2) / w), int((sb + w / 2) / w));
  }

  std::vector<uint16_t> FHistogram = std::vector<uint16_t>(65536, 0);
};

// ---- octree

class Octree {
 public:
  explicit Octree(int N) : FN(N) { FRoot = NewNode(0); }
  Octree(const Octree&) = delete;
  Octree& operator=(const Octree&) = delete;
  ~Octree() { FreeTree(FRoot); }

  void Add(TRGB Color, int64_t Weight) {
    Insert(FRoot, Color, Weight);
    if (FLeaves > FN) Reduce();
  }

  std::vector<TRGB> Palette() const {
    std::vector<TRGB> palette;
    Collect(FRoot, palette);
    return palette;
  }

 private:
  struct Node {
    int Level;
    bool Leaf = false;
    int64_t N = 0, SumR = 0, SumG = 0, SumB = 0;
    int Children = 0;
    Node* Child[8] = {};
    Node* Prev = nullptr;  // links of the reducible list of its level
    Node* Next = nullptr;
    bool Listed = false;
  };

  Node* NewNode(int Level) {
    Node* node = new Node;
    node->Level = Level;
    if (Level >= FDepth) {
      node->Leaf = true;
      ++FLeaves;
    }
    return node;
  }

  void List(Node* node) {
    node->Next = FReducible[node->Level];
    node->Prev = nullptr;
    if (node->Next) node->Next->Prev = node;
    FReducible[node->Level] = node;
    node->Listed = true;
  }

  void Unlist(Node* node) {
    if (!node->Listed) return;
    if (node->Prev)
      node->Prev->Next = node->Next;
    else
      FReducible[node->Level] = node->Next;
    if (node->Next) node->Next->Prev = node->Prev;
    node->Prev = node->Next = nullptr;
    node->Listed = false;
  }

  void Insert(Node* node, TRGB Color, int64_t Weight) {
    for (;;) {
      node->N += Weight;
      node->SumR += Weight * RGBRed(Color);
      node->SumG += Weight * RGBGreen(Color);
      node->SumB += Weight * RGBBlue(Color);
      if (node->Leaf || node->Level >= FDepth) return;
      int bit = 7 - node->Level;
      int index = 4 * ((RGBRed(Color) >> bit) & 1) + 2 * ((RGBGreen(Color) >> bit) & 1) + ((RGBBlue(Color) >> bit) & 1);
      if (!node->Child[index]) {
        node->Child[index] = NewNode(node->Level + 1);
        ++node->Children;
      }
      // Listed as soon as a second child exists, found or just made: such a node always has two
      // leaves below it, so one reduction always brings the leaf count down.
      if (node->Children > 1 && !node->Listed) List(node);
      node = node->Child[index];
    }
  }

  void Reduce() {
    for (int level = FDepth - 1; level >= 0; --level) {
      Node* best = nullptr;
      int64_t bestWeight = 0;
      for (Node* n = FReducible[level]; n; n = n->Next) {
        int64_t weight = 2 * n->SumR + 3 * n->SumG + n->SumB;
        if (!best || weight < bestWeight) {
          best = n;
          bestWeight = weight;
        }
      }
      if (!best) continue;
      Unlist(best);
      for (Node*& child : best->Child) {
        FreeTree(child);
        child = nullptr;
      }
      best->Children = 0;
      best->Leaf = true;
      ++FLeaves;
      if (best->Level < FDepth - 1) FDepth = best->Level + 1;
      return;
    }
  }

  void FreeTree(Node* node) {
    if (!node) return;
    for (Node* child : node->Child) FreeTree(child);
    Unlist(node);
    if (node->Leaf) --FLeaves;
    delete node;
  }

  static void Collect(const Node* node, std::vector<TRGB>& palette) {
    if (!node) return;
    if (node->Leaf) {
      if (node->N > 0)
        palette.push_back(MakeRGB(int(node->SumR / node->N), int(node->SumG / node->N), int(node->SumB / node->N)));
      return;
    }
    for (const Node* child : node->Child) Collect(child, palette);
  }

  int FN;
  int FDepth = 8;
  int FLeaves = 0;
  Node* FRoot;
  Node* FReducible[8] = {};
};

// How often each palette index occurs in the source, row by row with progress.
std::vector<int64_t> CountIndices(TPixelGraphic* Target, TPixelGraphic* Source) {
  std::vector<int64_t> counts(256, 0);
  int w = Source->GetWidth(), h = Source->GetHeight(), bits = Source->GetBitCountNum();
  for (int y = 0; y < h; ++y) {
    const uint8_t* row = Source->ScanLine(y);
    for (int x = 0; x < w; ++x) {
      int index = bits == pgbc1Bit    ? (row[x >> 3] >> (7 - (x & 7))) & 1
                  : bits == pgbc4Bits ? ((x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4))
                                      : row[x];
      ++counts[size_t(index)];
    }
    bool abort = false;
    if (Target->OnProgress) Target->OnProgress(Target, y, h - 1, abort);
    if (abort) break;
  }
  return counts;
}

void SetEntries(TPixelGraphic* Target, const std::vector<TRGB>& Palette) {
  Target->SetPaletteCount(int(Palette.size()));
  for (size_t i = 0; i < Palette.size(); ++i) Target->SetPaletteEntry(int(i), Palette[i]);
}

}  // namespace

void CreateOptimizedPalette(TPixelGraphic* Target, TPixelGraphic* Source, int MaxColors, bool AddSys16) {
  Target->GetBits();  // flushes pending drawing
  MaxColors = std::clamp(MaxColors, 0, 256);  // the box block holds 256
  int n = MaxColors - (AddSys16 ? 16 : 0);
  if (Source->GetWidth() < 1 || Source->GetHeight() < 1 || Source->GetEmpty() || n < 1) {
    Target->SetPaletteIdent(pSys16);
    Target->SetPaletteCount(IntMin(MaxColors, 16));
  } else {
    Target->SetPaletteCount(0);
    if (Source->IsTrueColor()) {
      MedianCut cut;
      cut.Count(Target, Source);
      SetEntries(Target, cut.Palette(n));
    } else {
      std::vector<int64_t> counts = CountIndices(Target, Source);
      TRGB colors[256];
      Source->ConversionColors(colors);
      Octree tree(n);
      for (int i = 0; i < 256; ++i)
        if (counts[size_t(i)] > 0) tree.Add(colors[i], counts[size_t(i)]);
      SetEntries(Target, tree.Palette());
    }
  }
  if (AddSys16)
    for (int i = 0; i < 16 && Target->GetPaletteCount() < MaxColors; ++i) {
      int count = Target->GetPaletteCount();
      Target->SetPaletteCount(count + 1);
      Target->SetPaletteEntry(count, PGSys16Palette[i]);
    }
}

}  // namespace imagelib
