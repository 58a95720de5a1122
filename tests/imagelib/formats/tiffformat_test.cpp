#include <gtest/gtest.h>

#include "classlib/finally.h"
#include "classlib/testing.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGTIFFormat.h"
#include "tests/imagelib/formats/raster_builders.h"
#include "tests/imagelib/formats/tiff_builders.h"
#include "tests/test_support.h"

using namespace rastertest;
using namespace tifftest;

namespace {

constexpr int W = 13, H = 5;

// Options of one test, restored when it ends.
struct Options {
  ~Options() { SetDefaultPGOptions(); }
};

// The picture, or the class and text of a refusal (stream errors too).
struct Read {
  TOwned<TPixelGraphic> Picture{New<TPixelGraphic>()};
  std::string Refusal;
};
Read ReadTIFF(const Bytes& File, int Index = 0, TPGWarningAction Action = pgwaRaise, int64_t Skip = 0) {
  Read r;
  r.Picture->SetReadWarningAction(Action);
  ByteStream s(File);
  s.SetPosition(Skip);
  try {
    TTIFFileFormatReader().Read(&s, r.Picture.get(), Index);
  } catch (const classlib::Exception& e) {
    r.Refusal = e.ClassName() + ": " + e.Message();
  }
  return r;
}
std::string TIFFText(const std::string& Text) { return "EPGTIFFileFormatReader: TIFF: " + Text; }
const std::string kReadError = "EReadError: Stream read error";

// A picture's pixels: indices up to 8 bits, colours above.
std::vector<int32_t> Values(TPixelGraphic* P) {
  std::vector<int32_t> v;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) v.push_back(P->GetBitCount() <= 8 ? P->GetPixel(x, y) : int32_t(P->GetPixelColor(x, y)));
  return v;
}

// An image of W x H with the given samples, in strips of RowsPerStrip rows, rows made by Row(y).
Image Basic(uint32_t Photometric, std::vector<uint32_t> Bits, uint32_t Compression, int RowsPerStrip,
            const std::function<Bytes(int)>& Row, int Height = H) {
  Image im;
  im.Set(256, tLONG, {W}).Set(257, tSHORT, {uint32_t(Height)}).Set(258, tSHORT, Bits).Set(259, tSHORT, {Compression});
  im.Set(262, tSHORT, {Photometric}).Set(277, tSHORT, {uint32_t(Bits.size())}).Set(278, tLONG, {uint32_t(RowsPerStrip)});
  for (int y = 0; y < Height; y += RowsPerStrip) {
    Bytes strip;
    for (int r = y; r < std::min(Height, y + RowsPerStrip); ++r) strip = strip + (Compression == 32773 ? PackBits(Row(r)) : Row(r));
    im.Strips.push_back(strip);
  }
  return im;
}
Bytes One(const Image& Im, bool Motorola = false) { return File{Motorola, {Im}}.Build(); }

Bytes GrayRow(int Y) {
  Bytes r;
  for (int x = 0; x < W; ++x) r.push_back(uint8_t(x < 5 ? 7 : x * 19 + Y));  // a run, then distinct bytes
  return r;
}

}  // namespace

// Every kind of picture, in both byte orders, uncompressed and PackBits-coded, in strips of two rows.
TEST(TIFFReading, EveryKindInBothByteOrders) {
  auto sample = [](int X, int Y, int Levels) { return (X < 5 ? 3 : X * 7 + Y * 3) % Levels; };
  auto packed = [&](int Bits) {  // rows of Bits-bit samples, the last byte padded with zeros
    return [=](int Y) {
      Bytes r(size_t((W * Bits + 7) / 8), 0);
      for (int x = 0; x < W; ++x) r[size_t(x * Bits / 8)] |= uint8_t(sample(x, Y, 1 << Bits) << (8 - Bits - x * Bits % 8));
      return r;
    };
  };
  auto bytes = [&](int N, auto F) {
    return [=](int Y) {
      Bytes r;
      for (int x = 0; x < W; ++x)
        for (int k = 0; k < N; ++k) r.push_back(uint8_t(F(x, Y, k)));
      return r;
    };
  };
  auto rgb = [&](int X, int Y, int K) { return K == 3 ? 99 : K == 0 ? RGBRed(Pattern(X, Y)) : K == 1 ? RGBGreen(Pattern(X, Y)) : RGBBlue(Pattern(X, Y)); };
  auto cmyk = [&](int X, int Y, int K) { return (X * 40 + Y * 10 + K * 60) % 256; };
  auto fromCMYK = [&](int X, int Y) {
    auto c = [&](int K) { return std::max(255 - cmyk(X, Y, K) - cmyk(X, Y, 3), 0); };
    return int32_t(MakeRGB(c(0), c(1), c(2)));
  };
  struct Case {
    const char* Name;
    uint32_t Photometric;
    std::vector<uint32_t> Bits;
    std::function<Bytes(int)> Row;
    TPaletteIdent Ident;
    std::function<int32_t(int, int)> Expected;
  } cases[] = {
      {"1 bit BlackIsZero", 1, {1}, packed(1), pBlackWhite, [&](int X, int Y) { return sample(X, Y, 2); }},
      {"1 bit WhiteIsZero", 0, {1}, packed(1), pBlackWhite, [&](int X, int Y) { return 1 - sample(X, Y, 2); }},
      {"1 bit palette", 3, {1}, packed(1), pBlackWhite, [&](int X, int Y) { return sample(X, Y, 2); }},
      {"4 bits BlackIsZero", 1, {4}, packed(4), pGray16, [&](int X, int Y) { return sample(X, Y, 16); }},
      {"4 bits WhiteIsZero", 0, {4}, packed(4), pGray16, [&](int X, int Y) { return 15 - sample(X, Y, 16); }},
      {"8 bits BlackIsZero", 1, {8}, packed(8), pGray256, [&](int X, int Y) { return sample(X, Y, 256); }},
      {"8 bits WhiteIsZero", 0, {8}, packed(8), pGray256, [&](int X, int Y) { return 255 - sample(X, Y, 256); }},
      {"RGB", 2, {8, 8, 8}, bytes(3, rgb), pTrueColor, [&](int X, int Y) { return int32_t(Pattern(X, Y)); }},
      {"RGB and a fourth sample", 2, {8, 8, 8, 8}, bytes(4, rgb), pTrueColor, [&](int X, int Y) { return int32_t(Pattern(X, Y)); }},
      {"CMYK", 5, {8, 8, 8, 8}, bytes(4, cmyk), pTrueColor, fromCMYK},
  };
  for (const Case& c : cases)
    for (bool motorola : {false, true})
      for (uint32_t compression : {1u, 32773u}) {
        SCOPED_TRACE(std::string(c.Name) + (motorola ? ", MM" : ", II") + (compression == 1 ? "" : ", PackBits"));
        Read r = ReadTIFF(One(Basic(c.Photometric, c.Bits, compression, 2, c.Row), motorola));
        ASSERT_EQ(r.Refusal, "");
        r.Picture->UpdatePaletteIdent();
        EXPECT_EQ(r.Picture->GetPaletteIdent(), c.Ident);
        std::vector<int32_t> expected;
        for (int y = 0; y < H; ++y)
          for (int x = 0; x < W; ++x) expected.push_back(c.Expected(x, y));
        EXPECT_EQ(Values(r.Picture.get()), expected);
      }
}

TEST(TIFFReading, PalettesStripsAndPlaces) {
  // A palette of 20 entries (ColorMap 60), the last red at 65535.
  Image mapped = Basic(3, {8}, 1, H, GrayRow);
  std::vector<uint32_t> map(60);
  for (int i = 0; i < 20; ++i) map[size_t(i)] = uint32_t(i * 3000), map[size_t(20 + i)] = uint32_t(i * 256 + 255), map[size_t(40 + i)] = 512;
  map[19] = 65535;
  mapped.Set(320, tSHORT, map);
  Read r = ReadTIFF(One(mapped));
  ASSERT_EQ(r.Refusal, "");
  ASSERT_EQ(r.Picture->GetPaletteCount(), 20);
  for (int i = 0; i < 20; ++i) EXPECT_EQ(r.Picture->GetPaletteEntry(i), MakeRGB(i == 19 ? 255 : i * 3000 / 256, i, 2)) << i;
  // More entries than 4 bits address: the palette keeps 16.
  Image big = Basic(3, {4}, 1, H, [](int) { return Bytes(7, 0x12); });
  big.Set(320, tSHORT, std::vector<uint32_t>(3 * 300, 0x4000));
  r = ReadTIFF(One(big));
  ASSERT_EQ(r.Refusal, "");
  EXPECT_EQ(r.Picture->GetPaletteCount(), 16);
  EXPECT_EQ(r.Picture->GetPaletteEntry(15), MakeRGB(64, 64, 64));

  // Two strips of three and two rows, their offsets as two SHORTs in the entry; RowsPerStrip absent
  // with one strip; a file that starts inside a larger stream; a later tag over an earlier one.
  Bytes rows;
  for (int y = 0; y < H; ++y) rows = rows + GrayRow(y);
  Image shortOffsets = Basic(1, {8}, 1, 3, GrayRow);
  shortOffsets.AutoStrips = false;
  shortOffsets.Strips.clear();
  shortOffsets.Set(273, tSHORT, {200, 200 + 3 * W});
  Bytes withShorts = One(shortOffsets);
  withShorts.resize(200, 0xEE);
  withShorts = withShorts + rows;
  Image whole = Basic(1, {8}, 1, H, GrayRow);
  whole.Drop(278);
  Image repeated = Basic(1, {8}, 1, H, GrayRow);
  repeated.Set(256, tLONG, {2 * W});
  repeated.Fields.push_back({256, tSHORT, {W}});
  std::vector<int32_t> expected(rows.begin(), rows.end());
  struct Case {
    const char* Name;
    Bytes File;
    int64_t Skip;
  } cases[] = {{"tSHORT offsets in the entry", withShorts, 0},
               {"RowsPerStrip absent", One(whole), 0},
               {"inside a larger stream", Bytes{1, 2, 3, 4, 5} + One(Basic(1, {8}, 32773, 2, GrayRow), true), 5},
               {"the last of a repeated tag", One(repeated), 0}};
  for (const Case& c : cases) {
    Read got = ReadTIFF(c.File, 0, pgwaRaise, c.Skip);
    ASSERT_EQ(got.Refusal, "") << c.Name;
    EXPECT_EQ(Values(got.Picture.get()), expected) << c.Name;
  }
}

TEST(TIFFReading, RefusalsInTheirOrder) {
  const Image good = Basic(1, {8}, 1, 2, GrayRow);
  auto with = [&](std::function<void(Image&)> Change) {
    Image im = good;
    Change(im);
    return One(im);
  };
  Bytes badOrder = One(good), version = One(good, true);
  badOrder[1] = 'M', version[3] = 43;
  // StripOffsets claiming a billion values.
  Bytes countBeyond = One(good);
  const uint32_t ifd = Get(countBeyond, 4, 4, false);
  for (uint32_t e = ifd + 2; e < ifd + 2 + 12 * Get(countBeyond, ifd, 2, false); e += 12)
    if (Get(countBeyond, e, 2, false) == 273) countBeyond[e + 7] = 0x40;
  // PackBits data that end with the file, half-way.
  Image cut = Basic(1, {8}, 32773, H, GrayRow);
  const Bytes packed = cut.Strips[0];
  cut.AutoStrips = false;
  cut.Strips.clear();
  cut.Set(273, tLONG, {0});
  cut.Set(273, tLONG, {uint32_t(One(cut).size())});
  const Bytes cutFile = One(cut) + Bytes(packed.begin(), packed.begin() + long(packed.size() / 2));
  const uint32_t huge = 0x40000000;
  struct Case {
    const char* Name;
    Bytes File;
    std::string Read, Info;  // Info "=" for the same as Read, "" for none
  } cases[] = {
      {"byte order", badOrder, TIFFText("Not a TIF file"), "="},
      {"version", version, TIFFText("Not a TIF file"), "="},
      {"header cut", Bytes{'I', 'I', 42, 0, 8}, kReadError, "="},
      {"separate planes", with([](Image& i) { i.Set(284, tSHORT, {2}).Drop(277); }), TIFFText("PlanarConfiguration invalid"), "="},
      {"no SamplesPerPixel", with([](Image& i) { i.Drop(277); }), TIFFText("Invalid SamplesPerPixel"), "="},
      {"two samples", with([](Image& i) { i.Set(277, tSHORT, {2}); }), TIFFText("Invalid SamplesPerPixel"), "="},
      {"BitsPerSample count", with([](Image& i) { i.Set(258, tSHORT, {8, 8}); }), TIFFText("Invalid count of SamplesPerPixel"), "="},
      {"16-bit grey", with([](Image& i) { i.Set(258, tSHORT, {16}); }), TIFFText("Invalid SamplesPerPixel"), "="},
      {"YCbCr", with([](Image& i) { i.Set(262, tSHORT, {6}).Set(277, tSHORT, {3}).Set(258, tSHORT, {8, 8, 8}); }), TIFFText("Invalid SamplesPerPixel"), "="},
      {"field type", with([](Image& i) { i.Set(257, tASCII, {5}); }), TIFFText("Unsupported field Type: 2"), "="},
      {"no RowsPerStrip, three strips", with([](Image& i) { i.Drop(278); }), TIFFText("Invalid RowsPerStrip"), "="},
      {"no rows, no RowsPerStrip", with([](Image& i) { i.Drop(278).Set(257, tLONG, {0}); i.Strips.resize(1); }), TIFFText("Invalid RowsPerStrip"), "="},
      {"width beyond 31 bits", with([](Image& i) { i.Set(256, tLONG, {0x80000000}); }), TIFFText("ImageWidth invalid"), "="},
      {"array beyond the end", countBeyond, kReadError, "="},
      {"CCITT 1D", with([](Image& i) { i.Set(259, tSHORT, {2}); }), TIFFText("Unsupported compression CCITT 1D"), ""},
      {"Group 3", with([](Image& i) { i.Set(259, tSHORT, {3}); }), TIFFText("Unsupported compression Group 3 Fax"), ""},
      {"Group 4", with([](Image& i) { i.Set(259, tSHORT, {4}); }), TIFFText("Unsupported compression Group 4 Fax"), ""},
      {"LZW", with([](Image& i) { i.Set(259, tSHORT, {5}); }), TIFFText("Unsupported compression LZW"), ""},
      {"JPEG", with([](Image& i) { i.Set(259, tSHORT, {6}); }), TIFFText("Unsupported compression JPEG"), ""},
      {"no Compression", with([](Image& i) { i.Drop(259); }), TIFFText("Unsupported compression 0"), ""},
      {"Deflate", with([](Image& i) { i.Set(259, tSHORT, {8}); }), TIFFText("Unsupported compression 8"), ""},
      {"strips and rows disagree", with([](Image& i) { i.Set(278, tLONG, {1}); }), TIFFText("NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip"), ""},
      {"no strips", with([](Image& i) { i.Strips.clear(); }), TIFFText("NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip"), ""},
      {"palette without ColorMap", with([](Image& i) { i.Set(262, tSHORT, {3}); }), TIFFText("ColorMap invalid"), ""},
      {"strip beyond the end", with([&](Image& i) { i.Set(256, tLONG, {huge}); }), kReadError, ""},
      {"PackBits data cut", cutFile, kReadError, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ReadTIFF(c.File).Refusal, c.Read) << c.Name;
    std::string info;
    try {
      ByteStream s(c.File);
      std::string a, b, d;
      int w, h, bits, n;
      TTIFFileFormatReader().GetInfo(&s, 0, a, b, w, h, d, bits, n);
    } catch (const classlib::Exception& e) {
      info = e.ClassName() + ": " + e.Message();
    }
    EXPECT_EQ(info, c.Info == "=" ? c.Read : c.Info) << c.Name;
  }
  // Packets that would run past the row, counted from row 0; rows of 13 bytes in strips of two.
  Image lit = Basic(1, {8}, 32773, 5, [](int) { return Bytes(W, 1); });
  lit.Strips[0] = Bytes{0xF4, 1} + Bytes{13} + Bytes(14, 2);  // row 0 fine; row 1 a literal of 14
  Image rep = lit;
  rep.Strips[0] = Bytes{0xF4, 1, 0xF3, 1};  // row 1 a repeat of 14
  for (const Image& im : {lit, rep})
    EXPECT_EQ(ReadTIFF(One(im)).Refusal, "EPGTIFFileFormatReader: TIFF (PackBits): Invalid count of bytes in row 1");
}

// The reader's texts are its own English ones in any language; those built from message 7 follow it.
TEST(TIFFReading, OwnTextsStayEnglishInAnotherLanguage) {
  Bytes badOrder = One(Basic(1, {8}, 1, 2, GrayRow));
  badOrder[1] = 'M';
  const uint8_t language = PGLanguage;
  classlib::ScopeExit restore([&] { PGLanguage = language; });
  PGLanguage = 1;  // German
  EXPECT_EQ(ReadTIFF(badOrder).Refusal, TIFFText("Not a TIF file"));
  EXPECT_EQ(ReadTIFF(One(Basic(1, {8}, 1, 2, GrayRow)), 1).Refusal, TIFFText("Index ungültig"));
}

TEST(TIFFReading, ImageChains) {
  Options restore;
  std::vector<Image> three;
  for (int i = 0; i < 3; ++i) three.push_back(Basic(1, {8}, 1, 1, GrayRow, 2 + i));
  const Bytes chain = File{false, three}.Build();
  File loop{true, three, 1};
  const Bytes looped = loop.Build();
  Bytes broken = chain;
  broken.resize(broken.size() - 20);  // the last directory cut: the chain leaves the stream
  struct Case {
    const char* Name;
    bool Count;
    Bytes File;
    int Images;
  } cases[] = {{"counted", true, chain, 3},      {"not counted", false, chain, 1},
               {"looped", true, looped, 1},      {"cut", true, broken, 1}};
  for (const Case& c : cases) {
    PGTIFFCountImages = c.Count;
    Info info = Describe(TTIFFileFormatReader(), c.File);
    EXPECT_EQ(info.Refusal, "") << c.Name;
    EXPECT_EQ(info.ImageCount, c.Images) << c.Name;
    for (int index = 0; index < c.Images; ++index)
      EXPECT_EQ(ReadTIFF(c.File, index).Picture->GetHeight(), 2 + index) << c.Name << " " << index;
    for (int index : {-1, c.Images}) {
      EXPECT_EQ(ReadTIFF(c.File, index).Refusal, TIFFText("Index invalid")) << c.Name << " " << index;
      EXPECT_EQ(Describe(TTIFFileFormatReader(), c.File, index).Refusal, TIFFText("Index invalid")) << c.Name;
    }
  }
  PGTIFFCountImages = true;
  PGTIFFMaxImages = 2;  // too many images: the chain counts as one
  EXPECT_EQ(Describe(TTIFFileFormatReader(), chain).ImageCount, 1);
  EXPECT_EQ(Describe(TTIFFileFormatReader(), chain, 1).Refusal, TIFFText("Index invalid"));
}

TEST(TIFFReading, OneStripForFewerRowsThanThePicture) {
  Image im = Basic(1, {8}, 1, H, GrayRow);
  im.Set(278, tLONG, {2});
  const Bytes file = One(im);
  const std::string text = "TIFF: NumStripOffsets<>(ImageLength+RowsPerStrip-1) div RowsPerStrip";
  struct Case {
    TPGWarningAction Action;
    int Answer;
    UINT Flags;  // 0: no box
    bool Loads;
  } cases[] = {{pgwaIgnore, IDOK, 0, true},
               {pgwaOKBox, IDOK, MB_OK | MB_ICONWARNING, true},
               {pgwaOKCancelBox, IDOK, MB_OKCANCEL | MB_ICONWARNING, true},
               {pgwaOKCancelBox, IDCANCEL, MB_OKCANCEL | MB_ICONWARNING, false},
               {pgwaRaise, IDOK, 0, false}};
  for (const Case& c : cases) {
    testsupport::MessageBoxRecorder boxes(c.Answer);
    Read r = ReadTIFF(file, 0, c.Action);
    EXPECT_EQ(r.Refusal, c.Loads ? "" : "EPGTIFFileFormatReader: " + text) << c.Action;
    if (c.Loads) {
      EXPECT_EQ(Values(r.Picture.get())[size_t(4 * W + 6)], GrayRow(4)[6]) << c.Action;
    }
    ASSERT_EQ(boxes.Calls.size(), c.Flags ? 1u : 0u) << c.Action;
    if (c.Flags) {
      EXPECT_EQ(boxes.Calls[0].Text, text);
      EXPECT_EQ(boxes.Calls[0].Caption, "TIFF-Warning");
      EXPECT_EQ(boxes.Calls[0].Flags, c.Flags);
    }
  }
  // The "as many as there are" value of RowsPerStrip is no warning.
  im.Set(278, tLONG, {0xFFFFFFFF});
  EXPECT_EQ(ReadTIFF(One(im)).Refusal, "");
}

TEST(TIFFInfo, Texts) {
  struct Case {
    bool Motorola;
    uint32_t Compression, Photometric;
    std::vector<uint32_t> Bits;
    const char *Info1, *Info2, *Colors;
    int BitCount;
  } cases[] = {
      {false, 1, 0, {1}, "I, Uncompr., WhiteIsZero", "", "2", 1},
      {true, 32773, 1, {4}, "M, PackBits, BlackIsZero", "", "16", 4},
      {false, 2, 3, {8}, "I, CCITT 1D, RGB Palette", "(Unsupported compression)", "256", 8},
      {true, 3, 1, {1}, "M, Group 3 F., BlackIsZero", "(Unsupported compression)", "2", 1},
      {false, 4, 0, {1}, "I, Group 4 F., WhiteIsZero", "(Unsupported compression)", "2", 1},
      {false, 5, 2, {8, 8, 8}, "I, LZW, RGB", "(Unsupported compression)", "16.7 M", 24},
      {true, 6, 2, {8, 8, 8, 8}, "M, JPEG, RGB", "(Unsupported compression)", "16.7 M", 32},
      {false, 7, 2, {8, 8, 8}, "I, , RGB", "", "16.7 M", 24},
      {false, 1, 5, {8, 8, 8, 8}, "I, Uncompr., CMYK", "", "16.7 M", 32},
  };
  for (const Case& c : cases) {
    Image im = Basic(c.Photometric, c.Bits, c.Compression, H, [](int) { return Bytes(); });
    im.Set(256, tLONG, {640}).Set(257, tLONG, {480});
    Info i = Describe(TTIFFileFormatReader(), One(im, c.Motorola));
    EXPECT_EQ(i.Refusal, "") << c.Info1;
    EXPECT_EQ(i.Info1 + "|" + i.Info2 + "|" + i.Colors, std::string(c.Info1) + "|" + c.Info2 + "|" + c.Colors);
    EXPECT_EQ(i.BitCount, c.BitCount) << c.Info1;
    EXPECT_EQ(i.Width * 1000 + i.Height, 640480) << c.Info1;
    EXPECT_EQ(i.ImageCount, 1) << c.Info1;
  }
}

// Found by fuzzing: a picture of no columns and a hundred million rows; strips that all point at
// the same bytes, each small enough for the file, together far beyond it.
TEST(TIFFReading, FuzzFindings) {
  Image empty = Basic(1, {1}, 1, 1, [](int) { return Bytes(); }, 1);
  empty.Drop(256).Set(257, tLONG, {134217735}).Set(278, tLONG, {134217735});
  Read r;
  int steps = 0;
  r.Picture->SetOnProgress([&](TObject*, int, int, bool&) { ++steps; });
  ByteStream s(One(empty));
  TTIFFileFormatReader().Read(&s, r.Picture.get(), 0);
  EXPECT_EQ(r.Picture->GetHeight(), 134217735);
  EXPECT_EQ(steps, 0);  // nothing to read, row by row

  Image shared = Basic(1, {8}, 32773, 1, [](int) { return Bytes(); }, 1);
  shared.AutoStrips = false;
  shared.Strips.clear();
  shared.Set(256, tLONG, {128 * 200}).Set(257, tLONG, {1000});
  shared.Set(273, tLONG, std::vector<uint32_t>(1000, 0));
  Bytes file = One(shared);
  const uint32_t at = uint32_t(file.size());
  shared.Set(273, tLONG, std::vector<uint32_t>(1000, at));
  file = One(shared);
  for (int i = 0; i < 200; ++i) file = file + Bytes{0x81, 0x55};  // one row of 25600 bytes
  Read got = ReadTIFF(file);
  EXPECT_EQ(got.Refusal, kReadError);
  EXPECT_EQ(got.Picture->GetWidth(), 0);  // refused before the picture got memory
}
