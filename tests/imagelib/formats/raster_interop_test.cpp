// Paintbrush, portable bitmap and Targa files against netpbm and ImageMagick: files they write load
// with the pixels they read from them, and files we write are read by them as we read them. Where a
// tool's reading disagrees with the format's rules, the expected pixels are made here and the case
// says why.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "classlib/files.h"
#include "imagelib/formats/PGPCXFormat.h"
#include "tests/imagelib/formats/magick_support.h"
#include "tests/imagelib/formats/raster_builders.h"
#include "tests/imagelib/formats/write_check.h"
#include "tests/test_support.h"

using namespace rastertest;

namespace {

constexpr int W = 37, H = 21;  // odd sizes exercise the row padding
using magicktest::kMagick;
using magicktest::ReadAll;
using magicktest::WriteAll;

// What a tool read: a colour per pixel, top row first; empty when it failed.
using Pixels = std::vector<TRGB>;

// Pixel (x, y) of a tool's reading that stored its rows top-down and left to right whatever the
// descriptor says, placed where the descriptor puts it.
Pixels ByDescriptor(const Pixels& Stored, int Descriptor) {
  Pixels p(Stored.size());
  for (int r = 0; r < H; ++r)
    for (int c = 0; c < W; ++c)
      p[size_t((Descriptor & 0x20 ? r : H - 1 - r) * W + (Descriptor & 0x10 ? W - 1 - c : c))] = Stored[size_t(r * W + c)];
  return p;
}

class RasterInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(kMagick) && FileExists("/usr/bin/pcxtoppm")) << "ImageMagick and netpbm come with tools/deps";
    Bytes src = Text("P6\n37 21\n255\n");
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) src = src + Bytes{uint8_t(x * 7), uint8_t(y * 12), uint8_t((x * y * 5) ^ 0x5A)};
    WriteAll(Dir.File("src.ppm"), src);
  }
  std::string File(const std::string& Name) { return "'" + Dir.File(Name) + "'"; }

  void Run(const std::string& Command) { ASSERT_EQ(std::system((Command + " 2>/dev/null").c_str()), 0) << Command; }

  // A binary PPM of maxval 255 as netpbm writes it ("P6\n<w> <h>\n255\n" and the samples).
  static Pixels FromPPM(const Bytes& B) {
    std::istringstream head(std::string(B.begin(), B.begin() + long(std::min<size_t>(B.size(), 20))));
    std::string magic;
    int w = 0, h = 0, max = 0;
    head >> magic >> w >> h >> max;
    const size_t start = size_t(head.tellg()) + 1;
    Pixels p;
    for (size_t i = start; magic == "P6" && max == 255 && i + 2 < B.size() && p.size() < size_t(w * h); i += 3)
      p.push_back(MakeRGB(B[i], B[i + 1], B[i + 2]));
    return p;
  }
  Pixels NetpbmReads(const std::string& Tool, const std::string& Name) {
    Run(Tool + " " + File(Name) + " | ppmtoppm >" + File("read.ppm"));
    return FromPPM(ReadAll(Dir.File("read.ppm")));
  }
  Pixels MagickReads(const std::string& Name) {
    Run(kMagick + " " + File(Name) + " -depth 8 " + File("read.rgb"));
    Bytes b = ReadAll(Dir.File("read.rgb"));
    Pixels p;
    for (size_t i = 0; i + 2 < b.size(); i += 3) p.push_back(MakeRGB(b[i], b[i + 1], b[i + 2]));
    return p;
  }
  Loaded Ours(const std::string& Name, const std::string& Ext) {
    Loaded l;
    try {
      l.Picture->LoadFromFile(Dir.File(Name));  // the reader by signature, else by extension
    } catch (const EPixelGraphic& e) {
      l.Refusal = e.ClassName() + ": " + e.Message();
    }
    if (const char* seeds = std::getenv("FENLO_FUZZ_CORPUS"))  // real-world seeds for the fuzzers
      WriteAll(std::string(seeds) + "/tool-" + std::to_string(++Seeds) + "." + Ext, ReadAll(Dir.File(Name)));
    return l;
  }

  testsupport::TempDir Dir;
  int Seeds = 0;
};

}  // namespace

TEST_F(RasterInterop, FilesItWritesLoadWithItsPixels) {
  Run("ppmtopgm " + File("src.ppm") + " >" + File("src.pgm"));
  Run("pgmtopbm " + File("src.pgm") + " >" + File("src.pbm"));
  Run("pnmquant 16 " + File("src.ppm") + " >" + File("q16.ppm"));
  struct Case {
    const char* Name;
    std::string Command;  // writes out.<ext> from the sources
    const char* Ext;
    int BitCount;
    std::string Reader;  // netpbm's reader, or "magick"
    int Descriptor;      // ImageMagick's Targa files: where the rows go (see below)
  } cases[] = {
      {"netpbm plain PBM", "pnmtopnm -plain src.pbm", "pbm", 1, "cat", -1},
      {"netpbm raw PBM", "cat src.pbm", "pbm", 1, "cat", -1},
      {"netpbm plain PGM", "pnmtopnm -plain src.pgm", "pgm", 8, "cat", -1},
      {"netpbm raw PGM", "cat src.pgm", "pgm", 8, "cat", -1},
      {"netpbm plain PPM", "pnmtopnm -plain src.ppm", "ppm", 24, "cat", -1},
      {"netpbm raw PPM", "cat src.ppm", "ppm", 24, "cat", -1},
      {"netpbm PCX 1 bit", "ppmtopcx src.pbm", "pcx", 1, "pcxtoppm", -1},
      {"netpbm PCX 16 colours in 4 planes", "ppmtopcx q16.ppm", "pcx", 4, "pcxtoppm", -1},
      {"netpbm PCX 8 bits", "ppmtopcx -8bit q16.ppm", "pcx", 8, "pcxtoppm", -1},
      {"netpbm PCX 24 bits", "ppmtopcx -24bit src.ppm", "pcx", 24, "pcxtoppm", -1},
      {"netpbm TGA true colour", "pamtotga -rgb -norle src.ppm", "tga", 24, "tgatoppm", -1},
      {"netpbm TGA true colour RLE", "pamtotga -rgb src.ppm", "tga", 24, "tgatoppm", -1},
      {"netpbm TGA colour-mapped", "pamtotga -cmap -norle q16.ppm", "tga", 8, "tgatoppm", -1},
      {"netpbm TGA colour-mapped RLE", "pamtotga -cmap q16.ppm", "tga", 8, "tgatoppm", -1},
      {"netpbm TGA grey RLE", "pamtotga -mono src.pgm", "tga", 8, "tgatoppm", -1},
      {"ImageMagick PCX 8 bits", "convert src.ppm -colors 200 -type Palette PCX:", "pcx", 8, "magick", -1},
      {"ImageMagick PCX 24 bits", "convert src.ppm PCX:", "pcx", 24, "magick", -1},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // ImageMagick 6.9 stores Targa rows top-down and left to right whatever origin it writes into
  // the descriptor, and reads them back in stored order too; the descriptor holds, so its reading
  // is placed as the descriptor says.
  // Each origin twice; each kind with and without run-length coding.
  const char* orients[] = {"BottomLeft", "BottomRight", "TopLeft", "TopRight"};
  const char* kinds[] = {"-type TrueColor", "-colors 100 -type Palette", "-colorspace Gray -type Grayscale"};
  for (int i = 0; i < 8; ++i) {
    const int o = i / 2;
    all.push_back({"ImageMagick TGA", "convert src.ppm -orient " + std::string(orients[o]) + " " + kinds[i % 3] +
                                          " -compress " + (i % 2 ? "RLE" : "None") + " TGA:",
                   "tga", i % 3 ? 8 : 24, "magick", (o & 1 ? 0x10 : 0) | (o & 2 ? 0x20 : 0)});
  }
  for (const Case& c : all) {
    SCOPED_TRACE(c.Name + std::string(" (") + c.Command + ")");
    const std::string out = "out." + std::string(c.Ext);
    std::string command = c.Command;
    if (command.rfind("convert ", 0) == 0) command = kMagick + command.substr(7) + File(out);
    Run("cd '" + Dir.Path() + "' && " + command + (c.Reader == "magick" ? "" : " >" + File(out)));
    Loaded ours = Ours(out, c.Ext);
    ASSERT_EQ(ours.Refusal, "");
    EXPECT_EQ(ours.Picture->GetBitCount(), c.BitCount);
    Pixels theirs = c.Reader == "magick" ? MagickReads(out) : NetpbmReads(c.Reader, out);
    if (c.Descriptor >= 0) {
      Bytes file = ReadAll(Dir.File(out));
      ASSERT_EQ(file.size() > 17 ? file[17] & 0x30 : -1, c.Descriptor);
      theirs = ByDescriptor(theirs, c.Descriptor);
    }
    ASSERT_EQ(theirs.size(), size_t(W * H));
    EXPECT_EQ(Colors(ours.Picture.get()), theirs);
  }
}

TEST_F(RasterInterop, FilesTheyWriteThatTheFormatsRulesRefuse) {
  Run("pnmquant 16 " + File("src.ppm") + " >" + File("q16.ppm"));
  struct Case {
    const char* Name;
    std::string Command;
    const char* Ext;
    std::string Refusal;
  } cases[] = {
      // 16-bit samples, 15-bit map entries, 8 bits in four planes (alpha), 1 bit in three planes.
      {"netpbm 16-bit PPM", "pnmdepth 65535 src.ppm", "ppm", "EPGPxMFileFormatReader: PBM, PGM, PPM: Not supported subformat"},
      {"netpbm TGA with 15-bit map entries", "pamtotga -cmap16 q16.ppm", "tga", "EPGTGAFileFormatReader: TGA: Not supported subformat"},
      {"ImageMagick PCX with alpha", kMagick + " src.ppm -alpha set PCX:-", "pcx", "EPGPCXFileFormatReader: PCX: Unknown subformat"},
      {"netpbm PCX of 8 colours", "pnmquant 8 src.ppm 2>/dev/null | ppmtopcx", "pcx", "EPGPCXFileFormatReader: PCX: Unknown subformat"},
  };
  for (const Case& c : cases) {
    const std::string out = "out." + std::string(c.Ext);
    Run("cd '" + Dir.Path() + "' && " + c.Command + " >" + File(out));
    EXPECT_EQ(Ours(out, c.Ext).Refusal, c.Refusal) << c.Name;
  }
}

TEST_F(RasterInterop, FilesWeWriteReadBackIdentically) {
  TOwned<TPixelGraphic> bw(New<TPixelGraphic>()), gray(New<TPixelGraphic>()), mapped(New<TPixelGraphic>()),
      rgb(New<TPixelGraphic>());
  bw->NewImage(W, H, 0), gray->NewImage(W, H, 2), mapped->NewImage(W, H, 2), rgb->NewImage(W, H, 3);
  bw->SetPaletteIdent(pBlackWhite), gray->SetPaletteIdent(pGray256), mapped->SetPaletteCount(40);
  for (int i = 0; i < 40; ++i) mapped->SetPaletteEntry(i, Pattern(i, 40 - i));
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      bw->SetPixel(x, y, (x * y + x) % 3 == 0), gray->SetPixel(x, y, x * 7 + y), mapped->SetPixel(x, y, (x + y) % 40),
          rgb->SetPixel(x, y, Pattern(x, y));
  struct Case {
    TPixelGraphic* Picture;
    std::function<TFileFormatWriter*()> Writer;
    bool Binary;
    const char* NetpbmReader;
  } cases[] = {
      {bw.get(), [] { return New<TPBMFileFormatWriter>(); }, false, "cat"},
      {bw.get(), [] { return New<TPBMFileFormatWriter>(); }, true, "cat"},
      {gray.get(), [] { return New<TPGMFileFormatWriter>(); }, false, "cat"},
      {gray.get(), [] { return New<TPGMFileFormatWriter>(); }, true, "cat"},
      {rgb.get(), [] { return New<TPPMFileFormatWriter>(); }, false, "cat"},
      {rgb.get(), [] { return New<TPPMFileFormatWriter>(); }, true, "cat"},
      {mapped.get(), [] { return New<TTGAFileFormatWriter>(); }, false, "tgatoppm"},
      {rgb.get(), [] { return New<TTGAFileFormatWriter>(); }, false, "tgatoppm"},
  };
  for (const Case& c : cases) {
    TOwned<TFileFormatWriter> writer(c.Writer());
    const std::string name = "ours." + writer->GetExtension();
    SCOPED_TRACE(name + (c.Binary ? " binary" : ""));
    WriteAll(Dir.File(name), writecheck::Written(std::move(*writer), c.Picture, c.Binary));
    const Pixels expected = Colors(c.Picture);
    EXPECT_EQ(NetpbmReads(c.NetpbmReader, name), expected);
    // ImageMagick 6.9 reads a Targa file's rows in stored order, though the descriptor of 0 puts
    // the bottom row first.
    EXPECT_EQ(MagickReads(name), writer->GetExtension() == "tga" ? ByDescriptor(expected, 0) : expected);
  }
}
