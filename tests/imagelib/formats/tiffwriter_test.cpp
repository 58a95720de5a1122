#include <gtest/gtest.h>

#include <random>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGTIFFormat.h"
#include "tests/imagelib/formats/raster_builders.h"
#include "tests/imagelib/formats/tiff_builders.h"

using namespace rastertest;
using namespace tifftest;

namespace {

struct Options {
  ~Options() { SetDefaultPGOptions(); }
};

// A picture of the kind: Num the bit-count code, Ident its palette.
TOwned<TPixelGraphic> Picture(int W, int H, int Num, TPaletteIdent Ident = pUnknown) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, Num);
  if (Ident != pUnknown) {
    p->SetPaletteIdent(Ident);
  } else if (Num < 3) {
    p->SetPaletteCount(Num == 1 ? 16 : Num == 2 ? 200 : 2);
    for (int i = 0; i < p->GetPaletteCount(); ++i) p->SetPaletteEntry(i, Pattern(i, i * 3));
  }
  const int levels = Num == 0 ? 2 : Num == 1 ? 16 : 256;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, Num == 3 ? Pattern(x, y) : (x < 4 ? 1 : x * 5 + y * 3) % levels);
  return p;
}

Bytes Write(TPixelGraphic* P) {
  ByteStream s({});
  TTIFFileFormatWriter().Write(&s, P);
  return s.Contents();
}

std::vector<int32_t> Indices(TPixelGraphic* P) {
  std::vector<int32_t> v;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) v.push_back(P->GetPixel(x, y));
  return v;
}

}  // namespace

TEST(TIFFPackBits, RowCoding) {
  struct Case {
    const char* Name;
    Bytes Row, Coded;
  } cases[] = {
      {"a run of two inside literals", {1, 2, 2, 3}, {3, 1, 2, 2, 3}},
      {"ten equal bytes", Bytes(10, 9), {247, 9}},
      {"runs of two after a literal, cascading", {1, 5, 5, 6, 6}, {4, 1, 5, 5, 6, 6}},
      {"runs of two before a literal, cascading", {5, 5, 6, 6, 1}, {4, 5, 5, 6, 6, 1}},
      {"a run of two alone", {4, 4}, {255, 4}},
      {"a run of 130: 128 and 2", Bytes(130, 7), {129, 7, 255, 7}},
      {"a run of 129: 128 and a repeat of one", Bytes(129, 7), {129, 7, 0, 7}},
      {"a literal, a run, a literal", {1, 2, 3, 3, 3, 4}, {1, 1, 2, 254, 3, 0, 4}},
  };
  for (const Case& c : cases) {
    Bytes out(2 * c.Row.size());
    out.resize(size_t(PackBitsEncodeRow(c.Row.data(), int64_t(c.Row.size()), out.data())));
    EXPECT_EQ(out, c.Coded) << c.Name;
  }
  // 300 distinct bytes: literal packets of 128, 128 and 44.
  Bytes distinct;
  for (int i = 0; i < 300; ++i) distinct.push_back(uint8_t(i * 7 % 251 + (i >= 251)));
  Bytes out(600);
  ASSERT_EQ(PackBitsEncodeRow(distinct.data(), 300, out.data()), 303);
  EXPECT_EQ(Bytes({out[0], out[129], out[258]}), Bytes({127, 127, 43}));
}

// The one-pass coder against the coding's definition: each byte's run length, runs of two next
// to single bytes made single (forward, then backward), then packets by those lengths.
TEST(TIFFPackBits, RandomRowsCodeAsDefined) {
  auto defined = [](const Bytes& R) {
    const size_t n = R.size();
    std::vector<size_t> run(n);
    for (size_t i = 0; i < n;) {
      size_t j = i;
      while (j < n && R[j] == R[i]) ++j;
      for (size_t k = i; k < j; ++k) run[k] = j - i;
      i = j;
    }
    for (size_t i = 1; i < n; ++i)
      if (run[i] == 2 && run[i - 1] == 1) run[i] = 1;
    for (size_t i = n - 1; i-- > 0;)
      if (run[i] == 2 && run[i + 1] == 1) run[i] = 1;
    Bytes out;
    for (size_t p = 0; p < n;) {
      size_t k = 1;
      if (run[p] == 1) {
        while (k < 128 && p + k < n && run[p + k] <= 1) ++k;
        out.push_back(uint8_t(k - 1));
        out.insert(out.end(), R.begin() + long(p), R.begin() + long(p + k));
      } else {
        while (k < 128 && p + k < n && R[p + k] == R[p]) ++k;
        out.push_back(uint8_t(1 - int(k))), out.push_back(R[p]);
      }
      p += k;
    }
    return out;
  };
  std::mt19937 random(1133);
  for (int round = 0; round < 3000; ++round) {
    Bytes row(1 + random() % 400);
    const unsigned values = 1 + random() % 4, stay = random() % 4;  // few values: many runs of two
    for (size_t i = 0; i < row.size(); ++i) row[i] = i > 0 && random() % 4 < stay ? row[i - 1] : uint8_t(random() % values);
    Bytes out(2 * row.size());
    out.resize(size_t(PackBitsEncodeRow(row.data(), int64_t(row.size()), out.data())));
    ASSERT_EQ(out, defined(row)) << "round " << round;
  }
}

TEST(TIFFWriting, DirectoryAndTables) {
  Options restore;
  {  // 100 x 100 at 24 bits: one strip of 100 rows, its offset and size in the entries
    const Bytes f = Write(Picture(100, 100, 3).get());
    Directory d = ReadDirectory(f, Get(f, 4, 4, false));
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 8), Bytes({'I', 'I', 42, 0, 8, 0, 0, 0}));
    EXPECT_EQ(d.EntryCount, 13u);
    EXPECT_EQ(d.Order, std::vector<uint16_t>({254, 256, 257, 258, 259, 262, 273, 277, 278, 279, 282, 283, 296}));
    EXPECT_EQ(d.Next, 0u);
    EXPECT_EQ(d.Entries[278].Value, 100u);
    EXPECT_EQ(d.Entries[273].Count, 1u);
    EXPECT_EQ(d.Entries[279].Value, 30000u);
    EXPECT_EQ(d.Entries[273].Value + 30000, f.size());
    EXPECT_EQ(d.Entries[262].Value, 2u);
    const uint32_t bits = d.Entries[258].Value, xres = d.Entries[282].Value;
    EXPECT_EQ(bits, 8u + 2 + 13 * 12 + 4);  // the tables follow the directory
    EXPECT_EQ(Bytes(f.begin() + bits, f.begin() + bits + 6), Bytes({8, 0, 8, 0, 8, 0}));
    EXPECT_EQ(xres, bits + 6);
    EXPECT_EQ(Get(f, xres, 4, false) * 10 + Get(f, xres + 4, 4, false), 3001u);
    EXPECT_EQ(d.Entries[296].Value, 2u);
  }
  {  // 2000 wide with PackBits: strips of two rows, tables after the resolutions
    PGTIFFCompression = 32773;
    PGTIFFMotorola = true;
    PGTIFFResolutionUnit = 2;
    const Bytes f = Write(Picture(2000, 7, 3).get());
    Directory d = ReadDirectory(f, Get(f, 4, 4, true));
    EXPECT_EQ(Bytes(f.begin(), f.begin() + 4), Bytes({'M', 'M', 0, 42}));
    EXPECT_EQ(d.Entries[278].Value, 2u);
    EXPECT_EQ(d.Entries[259].Value, 32773u);
    EXPECT_EQ(d.Entries[296].Value, 3u);
    ASSERT_EQ(d.Entries[273].Count, 4u);
    const uint32_t offsets = d.Entries[273].Value, counts = d.Entries[279].Value;
    EXPECT_EQ(offsets, d.Entries[283].Value + 8);
    EXPECT_EQ(counts, offsets + 16);
    for (int s = 0; s < 4; ++s) {  // each strip from an even offset; the padding counts for none
      const uint32_t at = Get(f, offsets + 4 * s, 4, true), size = Get(f, counts + 4 * s, 4, true);
      EXPECT_EQ(at % 2, 0u) << s;
      const uint32_t end = s < 3 ? Get(f, offsets + 4 * s + 4, 4, true) : uint32_t(f.size());
      EXPECT_EQ(end - at - size, s < 3 ? size % 2 : 0) << s;
    }
  }
  {  // a 16-entry palette: ColorMap of 48, components times 256
    SetDefaultPGOptions();
    TOwned<TPixelGraphic> p = Picture(3, 2, 1);
    p->SetPaletteEntry(15, MakeRGB(255, 1, 0));
    const Bytes f = Write(p.get());
    Directory d = ReadDirectory(f, 8);
    EXPECT_EQ(d.EntryCount, 14u);
    EXPECT_EQ(d.Entries[262].Value, 3u);
    ASSERT_EQ(d.Entries[320].Count, 48u);
    const uint32_t map = d.Entries[320].Value;
    EXPECT_EQ(map, 8u + 2 + 14 * 12 + 4);
    EXPECT_EQ(Get(f, map + 30, 2, false), 65280u);
    EXPECT_EQ(Get(f, map + 62, 2, false), 256u);
    EXPECT_EQ(Get(f, map + 94, 2, false), 0u);
  }
  {  // WhiteIsZero: 256 greys inverted under interpretation 0
    PGTIFFWhiteIsZero = true;
    TOwned<TPixelGraphic> p = Picture(3, 1, 2, pGray256);
    const Bytes f = Write(p.get());
    Directory d = ReadDirectory(f, 8);
    EXPECT_EQ(d.Entries[262].Value, 0u);
    EXPECT_EQ(Bytes(f.begin() + d.Entries[273].Value, f.end()),
              Bytes({uint8_t(255 - p->GetPixel(0, 0)), uint8_t(255 - p->GetPixel(1, 0)), uint8_t(255 - p->GetPixel(2, 0))}));
  }
}

TEST(TIFFWriting, RefusalsWriteNothing) {
  Options restore;
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>()), fine = Picture(2, 2, 3);
  empty->NewImage(0, 5, 3);
  struct Case {
    TPixelGraphic* Picture;
    int32_t Compression;
    const char* Text;
  } cases[] = {{empty.get(), 1, "TIFF: Width = 0 or Height = 0"}, {fine.get(), 2, "TIFF: Internal Error"}};
  for (const Case& c : cases) {
    PGTIFFCompression = c.Compression;
    ByteStream s({});
    try {
      TTIFFileFormatWriter().Write(&s, c.Picture);
      ADD_FAILURE() << c.Text;
    } catch (const EPGTIFFileFormatWriter& e) {
      EXPECT_EQ(e.Message(), c.Text);
    }
    EXPECT_EQ(s.GetSize(), 0) << c.Text;
  }
}

// Every kind under every option reads back with its pixels; several images make one chain.
TEST(TIFFWriting, ReadsBackUnderEveryOption) {
  Options restore;
  struct Kind {
    int Num;
    TPaletteIdent Ident;
  } kinds[] = {{0, pBlackWhite}, {0, pUnknown}, {1, pGray16}, {1, pUnknown}, {2, pGray256}, {2, pUnknown}, {3, pUnknown}};
  for (const Kind& k : kinds)
    for (int options = 0; options < 16; ++options) {
      PGTIFFCompression = options & 1 ? 32773 : 1;
      PGTIFFMotorola = options & 2, PGTIFFWhiteIsZero = options & 4, PGTIFFCMYK = options & 8;
      // Not black and white, but written as if it were: interpretation 0 reads it inverted.
      const bool inverted = k.Num == 0 && k.Ident != pBlackWhite && PGTIFFWhiteIsZero;
      TOwned<TPixelGraphic> p = Picture(37, 9, k.Num, k.Ident);
      ByteStream s(Write(p.get()));
      TOwned<TPixelGraphic> back(New<TPixelGraphic>());
      TTIFFileFormatReader().Read(&s, back.get(), 0);
      SCOPED_TRACE(std::to_string(k.Num) + "/" + std::to_string(k.Ident) + " options " + std::to_string(options));
      ASSERT_EQ(back->GetBitCount(), p->GetBitCount());
      std::vector<int32_t> expected = Indices(p.get());
      for (int32_t& v : expected) v = inverted ? 1 - v : v;
      EXPECT_EQ(Indices(back.get()), expected);
      for (int i = 0; k.Num < 3 && k.Ident == pUnknown && k.Num > 0 && i < p->GetPaletteCount(); ++i)
        EXPECT_EQ(back->GetPaletteEntry(i), p->GetPaletteEntry(i));
    }

  SetDefaultPGOptions();
  PGTIFFCountImages = true;
  PGTIFFCompression = 32773;
  ByteStream s(Bytes{1, 2, 3});  // a file that starts at an odd place of its stream
  s.SetPosition(3);
  TTIFFileFormatWriter writer;
  writer.BeginWrite(&s);
  std::vector<TOwned<TPixelGraphic>> pictures;
  for (int i = 0; i < 3; ++i) {
    pictures.push_back(Picture(5 + i, 3, i + 1, i == 1 ? pGray256 : pUnknown));
    writer.WriteImage(&s, pictures.back().get());
  }
  writer.EndWrite(&s);
  for (int i = 0; i < 3; ++i) {
    s.SetPosition(3);
    TOwned<TPixelGraphic> back(New<TPixelGraphic>());
    TTIFFileFormatReader().Read(&s, back.get(), i);
    EXPECT_EQ(Indices(back.get()), Indices(pictures[size_t(i)].get())) << i;
  }
}

TEST(TIFFProgress, ReaderAndWriterReport) {
  TOwned<TPixelGraphic> p = Picture(4, 3, 3);
  std::vector<std::string> seen;
  int abortAt = -1;
  auto attach = [&](TPixelGraphic* G) {
    G->SetOnProgressStart([&](TObject* S) { seen.push_back("start " + S->ClassName()); });
    G->SetOnProgress([&](TObject* S, int Step, int Max, bool& Abort) {
      seen.push_back(S->ClassName() + " " + std::to_string(Step) + "/" + std::to_string(Max));
      Abort = Step == abortAt;
    });
    G->SetOnProgressEnd([&](TObject* S) { seen.push_back("end " + S->ClassName()); });
  };
  attach(p.get());
  abortAt = 0;  // the writer writes on
  ByteStream s(Write(p.get()));
  const std::string w = "TTIFFileFormatWriter";
  EXPECT_EQ(seen, std::vector<std::string>({"start " + w, w + " 0/2", w + " 1/2", w + " 2/2", "end " + w}));
  seen.clear();
  TOwned<TPixelGraphic> back(New<TPixelGraphic>());
  attach(back.get());
  TTIFFFileFormatReader().Read(&s, back.get(), 0);
  const std::string r = "TTIFFFileFormatReader";
  EXPECT_EQ(seen, std::vector<std::string>({"start " + r, r + " 0/3", "end " + r}));
  EXPECT_EQ(back->GetPixelColor(1, 0), p->GetPixelColor(1, 0));
  EXPECT_EQ(back->GetPixel(1, 1), 0);  // the rows after the stop stay as the new picture left them
}
