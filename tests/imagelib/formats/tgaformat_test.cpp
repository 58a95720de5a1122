#include <gtest/gtest.h>

#include "imagelib/formats/PGTGAFormat.h"
#include "tests/imagelib/formats/raster_builders.h"

using namespace rastertest;

namespace {

std::string TGAText(const std::string& Text) { return "EPGTGAFileFormatReader: TGA: " + Text; }

TRGB MapEntry(int I) { return MakeRGB(I * 10, 200 - I * 5, I); }

Bytes BGR(TRGB C) { return {uint8_t(RGBBlue(C)), uint8_t(RGBGreen(C)), uint8_t(RGBRed(C))}; }

TGA Header(int Type, int Depth, int W, int H) {
  TGA t;
  t.ImageType = uint8_t(Type), t.Depth = uint8_t(Depth), t.Width = uint16_t(W), t.Height = uint16_t(H);
  return t;
}

}  // namespace

// File pixel i holds value i div 3, so runs of three cross the rows, and literal packets do too.
TEST(TGAReading, EveryOriginCodingAndDepth) {
  constexpr int W = 5, H = 3;
  for (int depth : {8, 24})
    for (int descriptor : {0x00, 0x10, 0x20, 0x30})
      for (bool rle : {false, true}) {
        TGA t = Header((depth == 8 ? 1 : 2) | (rle ? 8 : 0), depth, W, H);
        t.IDLength = 3, t.Descriptor = uint8_t(descriptor | 0x0F);  // attribute bits are ignored
        Bytes map;
        if (depth == 8) {
          t.MapType = 1, t.MapLength = 20, t.EntrySize = 24;
          for (int i = 0; i < 20; ++i) map = map + BGR(MapEntry(i));
        }
        auto color = [&](int V) { return depth == 8 ? MapEntry(V % 20) : Pattern(V, 1); };
        Bytes pixels;
        std::vector<TRGB> expected(W * H);
        for (int i = 0; i < W * H; ++i) {
          const int c = i % W, r = i / W;
          const int x = descriptor & 0x10 ? W - 1 - c : c, y = descriptor & 0x20 ? r : H - 1 - r;
          expected[size_t(y * W + x)] = color(i / 3);
          pixels = pixels + (depth == 8 ? Bytes{uint8_t(i / 3 % 20)} : BGR(color(i / 3)));
        }
        Loaded l = Load(TTGAFileFormatReader(), t.Header() + Text("id!") + map + (rle ? TGACode(pixels, depth / 8) : pixels));
        SCOPED_TRACE(std::to_string(depth) + " bits, descriptor " + std::to_string(descriptor) + (rle ? ", RLE" : ""));
        ASSERT_EQ(l.Refusal, "");
        EXPECT_EQ(l.Picture->GetBitCount(), depth);
        EXPECT_EQ(Colors(l.Picture.get()), expected);
      }
}

TEST(TGAReading, PixelAndMapEncodings) {
  TGA map16 = Header(1, 8, 2, 1), typeTwoMapped = Header(2, 24, 1, 1), skip15 = Header(2, 24, 1, 1);
  map16.MapType = 1, map16.FirstEntry = 2, map16.MapLength = 4, map16.EntrySize = 16;
  typeTwoMapped.MapType = 1, typeTwoMapped.MapLength = 2, typeTwoMapped.EntrySize = 24;
  skip15.MapLength = 3, skip15.EntrySize = 15;  // entries of two bytes each
  struct Case {
    const char* Name;
    Bytes File;
    int BitCount;
    std::vector<TRGB> Pixels;
  } cases[] = {
      {"16 bits 5-5-5, top bit unused", Header(2, 16, 3, 1).Header() + Bytes{0x00, 0x7C, 0xE0, 0x83, 0x1F, 0x00}, 24,
       {MakeRGB(248, 0, 0), MakeRGB(0, 248, 0), MakeRGB(0, 0, 248)}},
      {"32 bits, alpha dropped", Header(2, 32, 1, 1).Header() + Bytes{10, 20, 30, 99}, 24, {MakeRGB(30, 20, 10)}},
      {"black and white", Header(3, 8, 2, 1).Header() + Bytes{7, 200}, 8, {MakeRGB(7, 7, 7), MakeRGB(200, 200, 200)}},
      // Stored entry 2 becomes palette index 0.
      {"16-bit map from its first entry index", map16.Header() + Bytes{0, 0, 0, 0, 0x00, 0x7C, 0x1F, 0x00} + Bytes{1, 0},
       8, {MakeRGB(0, 0, 248), MakeRGB(248, 0, 0)}},
      {"true colour skips its map", typeTwoMapped.Header() + Bytes{1, 2, 3, 4, 5, 6} + Bytes{9, 8, 7}, 24, {MakeRGB(7, 8, 9)}},
      {"15-bit map skipped", skip15.Header() + Bytes(6, 0xEE) + Bytes{9, 8, 7}, 24, {MakeRGB(7, 8, 9)}},
  };
  for (const Case& c : cases) {
    Loaded l = Load(TTGAFileFormatReader(), c.File);
    ASSERT_EQ(l.Refusal, "") << c.Name;
    EXPECT_EQ(l.Picture->GetBitCount(), c.BitCount) << c.Name;
    EXPECT_EQ(Colors(l.Picture.get()), c.Pixels) << c.Name;
  }
  EXPECT_EQ(Load(TTGAFileFormatReader(), Header(3, 8, 2, 1).Header() + Bytes{7, 200}).Picture->GetPaletteIdent(), pGray256);
  EXPECT_EQ(Load(TTGAFileFormatReader(), map16.Header() + Bytes(8, 0) + Bytes{1, 0}).Picture->GetPaletteCount(), 2);
}

TEST(TGAReading, RefusalsOfLoadingAndDescription) {
  TGA map15 = Header(1, 8, 1, 1), firstBeyond = Header(1, 8, 1, 1);
  map15.MapType = 1, map15.MapLength = 2, map15.EntrySize = 15;
  firstBeyond.MapType = 1, firstBeyond.FirstEntry = 5, firstBeyond.MapLength = 4, firstBeyond.EntrySize = 24;
  const Bytes raw = Header(2, 24, 2, 2).Header() + Bytes(12, 1), rle = Header(10, 24, 2, 2).Header() + Bytes{0x83, 1, 2, 3};
  struct Case {
    const char* Name;
    Bytes File;
    std::string Read, Info;  // Info "=" for the same as Read
  } cases[] = {
      {"15 bits a pixel", Header(2, 15, 1, 1).Header() + Bytes{0, 0}, TGAText("Not supported subformat"), "="},
      {"15-bit map entries", map15.Header() + Bytes(5, 0), TGAText("Not supported subformat"), "="},
      {"first entry beyond the map", firstBeyond.Header() + Bytes(13, 0), TGAText("Not supported subformat"), "="},
      {"no image data (type 0)", Header(0, 24, 1, 1).Header() + Bytes(3, 0), TGAText("Invalid value for ImageType"), "="},
      {"Huffman coded (type 32)", Header(32, 8, 1, 1).Header() + Bytes(3, 0), TGAText("Invalid value for ImageType"), "="},
      {"header cut", Bytes(raw.begin(), raw.begin() + 17), TGAText("Unexpected end of file"), "="},
      {"pixels cut", Bytes(raw.begin(), raw.end() - 1), TGAText("Unexpected end of file"), ""},
      {"packets cut", Bytes(rle.begin(), rle.end() - 1), TGAText("Unexpected end of file"), ""},
      {"packets end early", Header(10, 24, 2, 2).Header() + Bytes{0x80, 1, 2, 3}, TGAText("Unexpected end of file"), ""},
      {"beyond the size limit", Header(2, 24, 0xFFFF, 0xFFFF).Header(), "EPixelGraphic: CreateDIBSection failed", "="},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(TTGAFileFormatReader(), c.File).Refusal, c.Read) << c.Name;
    EXPECT_EQ(Describe(TTGAFileFormatReader(), c.File).Refusal, c.Info == "=" ? c.Read : c.Info) << c.Name;
  }
  EXPECT_EQ(Load(TTGAFileFormatReader(), raw, 1).Refusal, TGAText("Index invalid"));
  EXPECT_EQ(Describe(TTGAFileFormatReader(), raw, 1).Refusal, TGAText("Invalid value for Index"));
}

TEST(TGAInfo, KindAndColourTexts) {
  struct Case {
    int Type, Depth;
    const char *Info1, *Info2, *Colors;
  } cases[] = {
      {1, 8, "Uncompressed", "Color-mapped", "256"},          {10, 16, "Run-length encoded", "True-color", "65536"},
      {2, 24, "Uncompressed", "True-color", "16.7M"},         {11, 8, "Run-length encoded", "\"Black-and-white\"", "256"},
      {3, 8, "Uncompressed", "\"Black-and-white\"", "256"},   {9, 32, "Run-length encoded", "Color-mapped", "16.7M ?"},
  };
  for (const Case& c : cases) {
    Info i = Describe(TTGAFileFormatReader(), Header(c.Type, c.Depth, 640, 480).Header());
    EXPECT_EQ(i.Refusal, "") << c.Type;
    EXPECT_EQ(i.Info1 + "|" + i.Info2 + "|" + i.Colors, std::string(c.Info1) + "|" + c.Info2 + "|" + c.Colors);
    EXPECT_EQ(i.BitCount, c.Depth);
    EXPECT_EQ(i.Width, 640);
    EXPECT_EQ(i.Height, 480);
  }
}

TEST(TGAWriting, LayoutAndRefusals) {
  // 8 bits with 16 entries: a 48-byte map and rows of width bytes, the bottom row first.
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(3, 2, 2);
  p->SetPaletteCount(16);
  Bytes expected = Bytes{0, 1, 1, 0, 0, 16, 0, 24, 0, 0, 0, 0, 3, 0, 2, 0, 8, 0};
  for (int i = 0; i < 16; ++i) p->SetPaletteEntry(i, MapEntry(i)), expected = expected + BGR(MapEntry(i));
  for (int i = 0; i < 6; ++i) p->SetPixel(i % 3, i / 3, i + 5);
  expected = expected + Bytes{8, 9, 10, 5, 6, 7};
  ByteStream out({});
  TTGAFileFormatWriter().Write(&out, p.get());
  EXPECT_EQ(out.Contents(), expected);

  TOwned<TPixelGraphic> four(New<TPixelGraphic>()), wide(New<TPixelGraphic>());
  four->NewImage(3, 2, 1);
  wide->NewImage(0x10000, 1, 2);
  using Refusal = std::pair<TPixelGraphic*, const char*>;
  for (auto [picture, text] : {Refusal{four.get(), "TGA: Invalid color resolution"}, Refusal{wide.get(), "TGA: Width invalid"}}) {
    ByteStream s({});
    try {
      TTGAFileFormatWriter().Write(&s, picture);
      ADD_FAILURE() << text << ": written";
    } catch (const EPixelGraphic& e) {
      EXPECT_EQ(e.Message(), text);
    }
    EXPECT_EQ(s.GetSize(), 0) << text;
  }
}
