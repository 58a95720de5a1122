#include <gtest/gtest.h>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "tests/imagelib/formats/raster_builders.h"

using namespace rastertest;

namespace {

std::string PxM(const std::string& Text) { return "EPGPxMFileFormatReader: PBM, PGM, PPM: " + Text; }
TRGB Gray(int V) { return MakeRGB(V, V, V); }
constexpr TRGB kBlack = 0, kWhite = 0xFFFFFF;

struct BinaryForm {
  explicit BinaryForm(bool On) : Saved(PGPxMBinary) { PGPxMBinary = On; }
  ~BinaryForm() { PGPxMBinary = Saved; }
  bool Saved;
};

Bytes Written(TFileFormatWriter&& Writer, TPixelGraphic* P, bool Binary) {
  BinaryForm form(Binary);
  ByteStream s({});
  Writer.Write(&s, P);
  return s.Contents();
}

}  // namespace

TEST(PxMReading, KindsSamplesAndComments) {
  struct Case {
    const char* Name;
    Bytes File;
    int W, H, BitCount;
    std::vector<TRGB> Pixels;
  } cases[] = {
      {"plain bits", Text("P1\n3 2\n0 1 0\n1 0 1\n"), 3, 2, 1, {kWhite, kBlack, kWhite, kBlack, kWhite, kBlack}},
      // Plain bits need no separators, and the last one may end the file.
      {"plain bits run together", Text("P1 # c\n3 2\n010\n1 01"), 3, 2, 1, {kWhite, kBlack, kWhite, kBlack, kWhite, kBlack}},
      // 15 -> 255, 7 -> 119; a value above the maximum keeps the low byte of its scaling (16 -> 272).
      {"grey, maximum 15", Text("P2\n2 2\n15\n15 7\n0 16"), 2, 2, 8, {Gray(255), Gray(119), Gray(0), Gray(16)}},
      {"grey, maximum 1000", Text("P2 2 1 1000 1000 500"), 2, 1, 8, {Gray(255), Gray(127)}},
      {"colour", Text("P3\n2 1\n255\n1 2 3 # a comment\n250 251 252\n"), 2, 1, 24, {MakeRGB(1, 2, 3), MakeRGB(250, 251, 252)}},
      {"raw bits", Text("P4\n10 2\n") + Bytes{0x80, 0x40, 0xFF, 0xC0}, 10, 2, 1,
       {kBlack, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kWhite, kBlack,
        kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack, kBlack}},
      // A comment line after the magic; a single line feed, then the raster.
      {"raw grey", Text("P5\n# made by hand\n2 2\n255\n") + Bytes{1, 2, 10, 255}, 2, 2, 8, {Gray(1), Gray(2), Gray(10), Gray(255)}},
      // A comment right after the maximum ends it; the raster starts after its line feed.
      {"raw grey, comment ending the maximum", Text("P5 2 1 100# c\n") + Bytes{100, 200}, 2, 1, 8, {Gray(255), Gray(254)}},
      {"raw colour", Text("P6\n1 1\n255\n") + Bytes{10, 20, 30}, 1, 1, 24, {MakeRGB(10, 20, 30)}},
  };
  for (const Case& c : cases) {
    // Every registration reads every kind.
    for (TPxMFileFormatReader* reader : std::initializer_list<TPxMFileFormatReader*>{
             New<TPBMFileFormatReader>(), New<TPGMFileFormatReader>(), New<TPPMFileFormatReader>()}) {
      TOwned<TPxMFileFormatReader> owned(reader);
      Loaded l = Load(std::move(*reader), c.File);
      ASSERT_EQ(l.Refusal, "") << c.Name;
      EXPECT_EQ(l.Picture->GetWidth(), c.W) << c.Name;
      EXPECT_EQ(l.Picture->GetHeight(), c.H) << c.Name;
      EXPECT_EQ(l.Picture->GetBitCount(), c.BitCount) << c.Name;
      EXPECT_EQ(Colors(l.Picture.get()), c.Pixels) << c.Name;
      if (c.BitCount < 24) {
        EXPECT_EQ(l.Picture->GetPaletteIdent(), c.BitCount == 1 ? pBlackWhite : pGray256) << c.Name;
      }
    }
  }
}

TEST(PxMReading, RefusalsOfLoadingAndDescription) {
  struct Case {
    const char* Name;
    Bytes File;
    std::string Read, Info;  // Info "=" for the same as Read
  } cases[] = {
      {"no P", Text("Q6 1 1 255 "), PxM("Not a PBM, PGM, PPM file"), "="},
      {"P7", Text("P7 1 1 255 "), PxM("Unknown subformat"), "="},
      {"width 0", Text("P5 0 1 255 "), PxM("Not supported subformat"), "="},
      {"width 2^32 - 1 (negative)", Text("P5 4294967295 1 255 "), PxM("Not supported subformat"), "="},
      {"raw maximum 256", Text("P5 1 1 256 ") + Bytes{0, 0}, PxM("Not supported subformat"), "="},
      {"maximum 0", Text("P2 1 1 0 0"), PxM("Not supported subformat"), "="},
      {"no maximum", Text("P6 1 1"), PxM("Unexpected end of file"), "="},
      {"raster cut", Text("P6 2 1 255 ") + Bytes{1, 2, 3, 4, 5}, PxM("Unexpected end of file"), ""},
      {"text raster cut", Text("P2 2 2 255 1 2 3 "), PxM("Unexpected end of file"), ""},
      {"beyond the size limit", Text("P6 50000 50000 255 "), "EPixelGraphic: CreateDIBSection failed", "="},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Load(TPPMFileFormatReader(), c.File).Refusal, c.Read) << c.Name;
    EXPECT_EQ(Describe(TPPMFileFormatReader(), c.File).Refusal, c.Info == "=" ? c.Read : c.Info) << c.Name;
  }
  EXPECT_EQ(Load(TPGMFileFormatReader(), Text("P5 1 1 255 x"), 1).Refusal, "EPGPxMFileFormatReader: PxM: Index invalid");
  EXPECT_EQ(Describe(TPGMFileFormatReader(), Text("P5 1 1 255 x"), 1).Refusal, PxM("Invalid value for Index"));
}

TEST(PxMInfo, FormAndColours) {
  struct Case {
    const char* File;
    const char* Info1;
    int BitCount;
    const char* Colors;
  } cases[] = {{"P1 7 3 ", "ASCII", 1, "2"}, {"P5 7 3 255 ", "Binary", 8, "256"}, {"P3 7 3 9 ", "ASCII", 24, "16.7M"}};
  for (const Case& c : cases) {
    Info i = Describe(TPBMFileFormatReader(), Text(c.File));
    EXPECT_EQ(i.Refusal, "") << c.File;
    EXPECT_EQ(i.Info1, c.Info1) << c.File;
    EXPECT_EQ(i.Colors, c.Colors) << c.File;
    EXPECT_EQ(i.BitCount, c.BitCount) << c.File;
    EXPECT_EQ(i.Width * 10 + i.Height, 73) << c.File;
  }
}

TEST(PxMWriting, HeadersAndRows) {
  TOwned<TPixelGraphic> bw(New<TPixelGraphic>()), gray(New<TPixelGraphic>()), rgb(New<TPixelGraphic>());
  bw->NewImage(3, 2, 0);
  bw->SetPaletteIdent(pBlackWhite);
  gray->NewImage(3, 2, 2);
  gray->SetPaletteIdent(pGray256);
  rgb->NewImage(2, 1, 3);
  for (int i = 0; i < 6; ++i) bw->SetPixel(i % 3, i / 3, i % 2), gray->SetPixel(i % 3, i / 3, i * 50);
  rgb->SetPixel(0, 0, MakeRGB(1, 20, 255)), rgb->SetPixel(1, 0, MakeRGB(0, 9, 100));
  EXPECT_EQ(Written(TPBMFileFormatWriter(), bw.get(), false), Text("P1\n3 2\n1 0 1\n0 1 0\n"));
  // The spare bits of each row are stored inverted, as set.
  EXPECT_EQ(Written(TPBMFileFormatWriter(), bw.get(), true), (Text("P4\n3 2\n") + Bytes{0xBF, 0x5F}));
  EXPECT_EQ(Written(TPGMFileFormatWriter(), gray.get(), false), Text("P2\n3 2\n255\n0 50 100\n150 200 250\n"));
  EXPECT_EQ(Written(TPGMFileFormatWriter(), gray.get(), true), (Text("P5\n3 2\n255\n") + Bytes{0, 50, 100, 150, 200, 250}));
  EXPECT_EQ(Written(TPPMFileFormatWriter(), rgb.get(), false), Text("P3\n2 1\n255\n1 20 255 0 9 100\n"));
  EXPECT_EQ(Written(TPPMFileFormatWriter(), rgb.get(), true), (Text("P6\n2 1\n255\n") + Bytes{1, 20, 255, 0, 9, 100}));

  // A picture black and white by its palette alone gives the same bits in both forms.
  TOwned<TPixelGraphic> wide(New<TPixelGraphic>());
  wide->NewImage(3, 2, 2);
  wide->SetPaletteIdent(pBlackWhite);
  for (int i = 0; i < 6; ++i) wide->SetPixel(i % 3, i / 3, i % 2);
  EXPECT_EQ(Load(TPBMFileFormatReader(), Written(TPBMFileFormatWriter(), wide.get(), true)).Picture->GetPixel(1, 1), 0);
  EXPECT_EQ(Colors(Load(TPBMFileFormatReader(), Written(TPBMFileFormatWriter(), wide.get(), true)).Picture.get()),
            Colors(Load(TPBMFileFormatReader(), Written(TPBMFileFormatWriter(), wide.get(), false)).Picture.get()));
}

TEST(PxMWriting, RefusesBeforeAnythingIsWritten) {
  class TPNMWriter : public TPXMFileFormatWriter {
   public:
    TPNMWriter() { Extension = "pnm"; }
  };
  TOwned<TPixelGraphic> empty(New<TPixelGraphic>()), rgb(New<TPixelGraphic>()), bw(New<TPixelGraphic>());
  rgb->NewImage(2, 2, 3);
  bw->NewImage(2, 2, 0);
  struct Case {
    TFileFormatWriter* Writer;
    TPixelGraphic* Picture;
    std::string Refusal;
  } cases[] = {
      {New<TPNMWriter>(), rgb.get(), "PBM, PGM, PPM: Unknown file extension \"pnm\""},
      {New<TPPMFileFormatWriter>(), empty.get(), "PBM, PGM, PPM: Width = 0 or Height = 0"},
      {New<TPBMFileFormatWriter>(), rgb.get(), "PBM: Invalid color resolution"},
      {New<TPGMFileFormatWriter>(), bw.get(), "PGM: Invalid color resolution"},
      {New<TPPMFileFormatWriter>(), bw.get(), "PPM: Invalid color resolution"},
  };
  for (const Case& c : cases) {
    TOwned<TFileFormatWriter> writer(c.Writer);
    ByteStream s({});
    try {
      writer->Write(&s, c.Picture);
      ADD_FAILURE() << c.Refusal << ": written";
    } catch (const EPGPxMFileFormatWriter& e) {
      EXPECT_EQ(e.Message(), c.Refusal);
    }
    EXPECT_EQ(s.GetSize(), 0) << c.Refusal;
  }
}
