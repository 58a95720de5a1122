#include <gtest/gtest.h>

#include "imagelib/PGPalettes.h"
#include "imagelib/formats/PGPCXFormat.h"
#include "tests/imagelib/formats/raster_builders.h"

using namespace rastertest;

namespace {

constexpr int W = kPCXWidth, H = kPCXHeight;

Bytes File(int Bits, int Planes, int Version = 5) { return PCXFile(Bits, Planes, Version); }

std::string PCX(const std::string& Text) { return "EPGPCXFileFormatReader: PCX: " + Text; }

}  // namespace

TEST(PCXReading, EachKindGivesItsPicture) {
  struct Case {
    int Bits, Planes, Version, BitCount;
    std::function<TRGB(int)> Entry;  // none for 24 bits
  } cases[] = {
      // The header's colours of a 1-bit file are not used.
      {1, 1, 5, 1, [](int I) { return I ? MakeRGB(255, 255, 255) : 0; }},
      {1, 4, 5, 4, [](int I) { return MakeRGB(16 * I, 255 - 16 * I, 8 * I); }},
      {1, 4, 3, 4, [](int I) { return FixedPalette(pSys16).Entries[I]; }},
      {8, 1, 5, 8, PCXEndPaletteEntry},
      {8, 3, 5, 24, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.Bits) + " bits, " + std::to_string(c.Planes) + " planes, version " +
                 std::to_string(c.Version));
    Loaded l = Load(TPCXFileFormatReader(), File(c.Bits, c.Planes, c.Version));
    ASSERT_EQ(l.Refusal, "");
    ASSERT_EQ(l.Picture->GetBitCount(), c.BitCount);
    if (c.Version == 3) {
      EXPECT_EQ(l.Picture->GetPaletteIdent(), pSys16);
    }
    const int levels = 1 << c.Bits * c.Planes;
    EXPECT_EQ(Colors(l.Picture.get()),
              Colors(W, H, [&](int x, int y) { return c.Entry ? c.Entry(PCXIndexAt(x, y, levels)) : Pattern(x, y); }));
  }
}

TEST(PCXReading, RunsEndWithTheirLine) {
  // 8 x 2 at 8 bits: a run of five 7s, then a run of 9 that would reach into the second line and
  // is cut; the second line starts with a fresh code ($C0: a run that stores nothing, Encoding 0
  // changes nothing).
  Bytes file = PCXHeader(8, 1, 8, 2, 8);
  file[2] = 0;
  file = file + Bytes{0xC5, 7, 0xC9, 9, 0xC0, 1, 0xC8, 2};
  file.push_back(12);
  for (int i = 0; i < 256; ++i) file.insert(file.end(), {uint8_t(i), uint8_t(i), uint8_t(i)});
  Loaded l = Load(TPCXFileFormatReader(), file);
  ASSERT_EQ(l.Refusal, "");
  EXPECT_EQ(Colors(l.Picture.get()), Colors(8, 2, [](int x, int y) { return y ? 0x020202 : x < 5 ? 0x070707 : 0x090909; }));

  // 10 x 1 at 1 bit with 2 bytes a line: the second byte keeps only its two pixels.
  Loaded one = Load(TPCXFileFormatReader(), PCXHeader(1, 1, 10, 1, 2) + Bytes{0xC2, 0xFF});
  ASSERT_EQ(one.Refusal, "");
  EXPECT_EQ(one.Picture->ScanLine(0)[0], 0xFF);
  EXPECT_EQ(one.Picture->ScanLine(0)[1], 0xC0);
}

TEST(PCXReading, RefusalsOfLoadingAndDescription) {
  auto with = [](Bytes B, size_t At, uint8_t V) { return B[At] = V, B; };
  auto cut = [](Bytes B, size_t N) { return B.resize(N), B; };
  const Bytes eight = File(8, 1);
  struct Case {
    const char* Name;
    Bytes File;
    std::string Read, Info;  // Info "=" for the same as Read
  } cases[] = {
      {"PaletteInfo 2", with(File(1, 1), 68, 2), PCX("Unknown subformat"), "="},
      {"Reserved 1", with(File(8, 3), 64, 1), PCX("Unknown subformat"), "="},
      {"8 bits, 2 planes (described)", with(File(8, 3), 65, 2), PCX("Unknown subformat"), ""},
      {"no palette marker", with(eight, eight.size() - 769, 11), PCX("Unknown subformat"), ""},
      {"end inside the header", PCXHeader(8, 1, 1, 1, 1) + Bytes{1}, PCX("Unknown subformat"), ""},
      {"lines shorter than the width", PCXHeader(8, 3, 13, 5, 12), PCX("Unknown subformat"), "="},
      {"4 planes narrower than the width", PCXHeader(1, 4, 17, 5, 2), PCX("Unknown subformat"), "="},
      {"header cut", cut(File(1, 4), 127), PCX("Unexpected end of file"), "="},
      // Cut where the lines run out, and where the data could not even hold them coded at best.
      {"data cut", cut(File(8, 3), 140), PCX("Unexpected end of file"), ""},
      {"data far too short", cut(File(8, 3), 133), PCX("Unexpected end of file"), ""},
      {"negative width", with(File(1, 1), 9, 0x80), "EPGInvalidSize: Negative width", "="},
      {"beyond the size limit", with(with(PCXHeader(8, 3, 1, 1, 0xFFFF), 9, 0x7F), 11, 0x7F),
       "EPixelGraphic: CreateDIBSection failed", "="},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(TPCXFileFormatReader(), c.File).Refusal, c.Read) << c.Name;
    EXPECT_EQ(Describe(TPCXFileFormatReader(), c.File).Refusal, c.Info == "=" ? c.Read : c.Info) << c.Name;
  }
  EXPECT_EQ(Load(TPCXFileFormatReader(), eight, 1).Refusal, PCX("Index invalid"));
  EXPECT_EQ(Describe(TPCXFileFormatReader(), eight, 1).Refusal, PCX("Invalid value for Index"));

  // A refused palette leaves the stream after the header.
  ByteStream s(with(eight, eight.size() - 769, 11));
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  EXPECT_THROW(TPCXFileFormatReader().Read(&s, p.get(), 0), EPGPCXFileFormatReader);
  EXPECT_EQ(s.GetPosition(), 128);
  EXPECT_TRUE(p->GetEmpty());
}

TEST(PCXInfo, VersionAndColourTexts) {
  struct Case {
    int Bits, Planes, Version;
    const char* Info1;
    int BitCount;
    const char* Colors;
  } cases[] = {
      {1, 1, 0, "Version 2.5 (0)", 1, "2"},          {1, 4, 2, "Version 2.8 (2) with Palette", 4, "16"},
      {1, 4, 3, "Version 2.8 (3) without Palette", 4, "16"}, {8, 1, 5, "Version 3.0 (5)", 8, "256"},
      {8, 3, 4, "", 24, "16.7M"},                    {2, 1, 5, "Version 3.0 (5)", 2, "4"},
      {8, 4, 5, "Version 3.0 (5)", 32, "4294967296"},
  };
  for (const Case& c : cases) {
    Info i = Describe(TPCXFileFormatReader(), PCXHeader(c.Bits, c.Planes, 300, 200, 300, c.Version));
    EXPECT_EQ(i.Refusal, "");
    EXPECT_EQ(i.Info1, c.Info1);
    EXPECT_EQ(i.Info2, "");
    EXPECT_EQ(i.Colors, c.Colors);
    EXPECT_EQ(i.BitCount, c.BitCount);
    EXPECT_EQ(i.Width, 300);
    EXPECT_EQ(i.Height, 200);
    EXPECT_EQ(i.ImageCount, 1);
  }
}
