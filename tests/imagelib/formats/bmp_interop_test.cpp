// Bitmap files against ImageMagick: files it writes load with the pixels it reads from them, and
// files we write (or build) are read by it as we read them.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "classlib/files.h"
#include "imagelib/formats/PGBMPFormat.h"
#include "tests/imagelib/bmp_builder.h"
#include "tests/imagelib/formats/magick_support.h"
#include "tests/test_support.h"

using namespace imagelib;
using bmptest::Bytes;
using bmptest::DIB;

namespace {

using magicktest::kMagick;
using magicktest::ReadAll;
using magicktest::WriteAll;
constexpr int W = 37, H = 21;  // odd sizes exercise the row padding

// A colour per pixel with many distinct values (top row first).
uint8_t SourceChannel(int X, int Y, int C) {
  switch (C) {
    case 0: return uint8_t(X * 7);
    case 1: return uint8_t(Y * 12);
    default: return uint8_t((X * Y * 5) ^ 0x5A);
  }
}

class MagickInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(kMagick)) << "ImageMagick comes with the build's packages (tools/deps)";
    std::string ppm = "P6\n" + std::to_string(W) + " " + std::to_string(H) + "\n255\n";
    Bytes b(ppm.begin(), ppm.end());
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        for (int c = 0; c < 3; ++c) b.push_back(SourceChannel(x, y, c));
    WriteAll(Dir.File("src.ppm"), b);
  }

  // Runs ImageMagick with Args; the test fails when it does not succeed.
  void Magick(const std::string& Args) {
    std::string command = kMagick + " " + Args + " 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }

  // What ImageMagick reads from a file: 8-bit R, G, B per pixel, top row first.
  Bytes MagickPixels(const std::string& File) {
    Bytes rgb = magicktest::MagickSamples(File, "rgb", Dir.File("pixels.rgb"));
    EXPECT_FALSE(rgb.empty()) << "ImageMagick cannot read " << File;
    return rgb;
  }

  TOwned<TPixelGraphic> Load(const std::string& File) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    TFileStream stream(File, fmOpenRead);
    TBMPFileFormatReader().Read(&stream, p.get(), 0);
    return p;
  }

  // Every pixel's colour equals ImageMagick's, within Tolerance per channel.
  void ExpectSamePixels(TPixelGraphic* P, const Bytes& Rgb, int Tolerance, const std::string& What) {
    ASSERT_EQ(Rgb.size(), size_t(P->GetWidth()) * P->GetHeight() * 3) << What;
    int wrong = 0;
    for (int y = 0; y < P->GetHeight(); ++y)
      for (int x = 0; x < P->GetWidth(); ++x) {
        TRGB c = P->GetPixelColor(x, y);
        const uint8_t* m = &Rgb[(size_t(y) * P->GetWidth() + x) * 3];
        if (std::abs(RGBRed(c) - m[0]) > Tolerance || std::abs(RGBGreen(c) - m[1]) > Tolerance ||
            std::abs(RGBBlue(c) - m[2]) > Tolerance) {
          if (++wrong <= 3)
            ADD_FAILURE() << What << ": pixel " << x << "," << y << " is " << RGBRed(c) << " " << RGBGreen(c) << " "
                          << RGBBlue(c) << ", ImageMagick reads " << int(m[0]) << " " << int(m[1]) << " " << int(m[2]);
        }
      }
    EXPECT_EQ(wrong, 0) << What;
  }

  testsupport::TempDir Dir;
};

struct Kind {
  uint32_t HeaderSize;
  int BitCount;
  uint32_t Compression;
};

Kind KindOf(const Bytes& File) {
  if (File.size() < 34) return {0, 0, 0};  // no bitmap: the comparisons after it report that
  auto u32 = [&](size_t at) { return uint32_t(File[at] | (File[at + 1] << 8) | (File[at + 2] << 16) | (File[at + 3] << 24)); };
  uint32_t size = u32(14);
  if (size == 12) return {12, File[24] | (File[25] << 8), 0};
  return {size, File[28] | (File[29] << 8), u32(30)};
}

}  // namespace

TEST_F(MagickInterop, FilesItWritesLoadWithItsPixels) {
  struct Case {
    const char* Name;
    const char* Args;
    Kind Expected;
  } cases[] = {
      {"BMP3 24 bits", "-compress None BMP3:", {40, 24, 0}},
      {"BMP3 32 bits", "-alpha set -define bmp3:alpha=true BMP3:", {40, 32, 0}},
      {"BMP3 8 bits", "-colors 200 -type Palette -compress None BMP3:", {40, 8, 0}},
      {"BMP3 8 bits RLE8", "-colors 200 -type Palette -compress RLE BMP3:", {40, 8, 1}},
      {"BMP3 4 bits", "-colors 12 -type Palette -compress None BMP3:", {40, 4, 0}},
      {"BMP3 1 bit", "-colors 2 -type Palette BMP3:", {40, 1, 0}},
      {"BMP2 24 bits", "BMP2:", {12, 24, 0}},
      {"BMP2 8 bits", "-colors 200 -type Palette BMP2:", {12, 8, 0}},
      {"BMP2 4 bits", "-colors 12 -type Palette BMP2:", {12, 4, 0}},
      {"BMP2 1 bit", "-monochrome BMP2:", {12, 1, 0}},
  };
  for (const Case& c : cases) {
    std::string file = Dir.File("magick.bmp");
    Magick("'" + Dir.File("src.ppm") + "' " + c.Args + "'" + file + "'");
    Kind k = KindOf(ReadAll(file));
    ASSERT_EQ(k.HeaderSize, c.Expected.HeaderSize) << c.Name;
    ASSERT_EQ(k.BitCount, c.Expected.BitCount) << c.Name;
    ASSERT_EQ(k.Compression, c.Expected.Compression) << c.Name;
    if (const char* seeds = std::getenv("FENLO_FUZZ_CORPUS"))  // real-world seeds for the fuzzer
      WriteAll(std::string(seeds) + "/magick-" + std::to_string(&c - cases) + ".bmp", ReadAll(file));
    auto p = Load(file);
    ASSERT_EQ(p->GetWidth(), W);
    ASSERT_EQ(p->GetHeight(), H);
    ExpectSamePixels(p.get(), MagickPixels(file), 0, c.Name);
  }
}

TEST_F(MagickInterop, FilesWeWriteReadBackIdentically) {
  for (int num = 0; num < 4; ++num) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->NewImage(W, H, num);
    if (num == 0) p->SetPaletteIdent(pBlackWhite);
    if (num == 1) p->SetPaletteIdent(pSys16);
    if (num == 2) {
      p->SetPaletteCount(256);
      for (int i = 0; i < 256; ++i) p->SetPaletteEntry(i, MakeRGB(i, 255 - i, (i * 37) & 255));
    }
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        p->SetPixel(x, y, num == 3 ? MakeRGB(SourceChannel(x, y, 0), SourceChannel(x, y, 1), SourceChannel(x, y, 2))
                                   : (x * 5 + y * 3) % p->GetPaletteSize());
    std::string file = Dir.File("ours.bmp");
    {
      TFileStream stream(file, fmCreate);
      TBMPFileFormatWriter().Write(&stream, p.get());
    }
    ExpectSamePixels(p.get(), MagickPixels(file), 0, "bit count num " + std::to_string(num));
  }

  // An 8-bit picture without a palette: its table of black is written, and read, in full.
  TOwned<TPixelGraphic> bare(New<TPixelGraphic>());
  bare->NewImage(W, H, 2);
  bare->SetPixel(3, 3, 200);
  std::string file = Dir.File("bare.bmp");
  {
    TFileStream stream(file, fmCreate);
    TBMPFileFormatWriter().Write(&stream, bare.get());
  }
  Bytes rgb = MagickPixels(file);
  ASSERT_EQ(rgb.size(), size_t(W * H * 3));
  for (uint8_t v : rgb) ASSERT_EQ(v, 0);
}

TEST_F(MagickInterop, FilesWeBuildReadAsItReadsThem) {
  struct Case {
    const char* Name;
    Bytes File;
    int Tolerance;  // 16-bit channels: the scaling to 8 bits differs by at most one step
  };
  std::vector<Case> cases;

  DIB top24 = DIB::Info(W, -H, 24), top8 = DIB::Info(W, -H, 8).Gray(256), rgb555 = DIB::Info(W, H, 16),
      rgb565 = DIB::Info(W, H, 16, 3).Masks(0xF800, 0x07E0, 0x001F), rgb32 = DIB::Info(W, H, 32),
      bf32 = DIB::Info(W, H, 32, 3).Masks(0xFF000000, 0x00FF0000, 0x0000FF00);
  for (int r = 0; r < H; ++r) {
    int topY = r, bottomY = H - 1 - r;
    Bytes t24, t8, b555, b565, b32, f32;
    for (int x = 0; x < W; ++x) {
      uint8_t R = SourceChannel(x, topY, 0), G = SourceChannel(x, topY, 1), B = SourceChannel(x, topY, 2);
      t24.insert(t24.end(), {B, G, R});
      t8.push_back(uint8_t(R ^ B));
      uint8_t r2 = SourceChannel(x, bottomY, 0), g2 = SourceChannel(x, bottomY, 1), b2 = SourceChannel(x, bottomY, 2);
      bmptest::Put16(b555, uint32_t(((r2 >> 3) << 10) | ((g2 >> 3) << 5) | (b2 >> 3)));
      bmptest::Put16(b565, uint32_t(((r2 >> 3) << 11) | ((g2 >> 2) << 5) | (b2 >> 3)));
      b32.insert(b32.end(), {b2, g2, r2, 0x77});
      f32.insert(f32.end(), {0, b2, g2, r2});
    }
    auto row = [](DIB& D, const Bytes& B) {
      D.Data(B);
      D.Data(Bytes((4 - B.size() % 4) % 4, 0));
    };
    row(top24, t24), row(top8, t8), row(rgb555, b555), row(rgb565, b565), row(rgb32, b32), row(bf32, f32);
  }
  cases.push_back({"top-down 24 bits", top24.File(), 0});
  cases.push_back({"top-down 8 bits", top8.File(), 0});
  cases.push_back({"16 bits 5-5-5", rgb555.File(), 8});
  cases.push_back({"16 bits 5-6-5", rgb565.File(), 8});
  cases.push_back({"32 bits", rgb32.File(), 0});
  cases.push_back({"32 bits in bit fields", bf32.File(), 0});

  // RLE4, which ImageMagick does not write: per row an absolute run of four, then encoded runs.
  DIB rle4 = DIB::Info(W, H, 4, 2);
  for (int i = 0; i < 16; ++i) rle4.Color(uint8_t(i * 16), uint8_t(255 - i * 9), uint8_t(i * 5));
  Bytes codes;
  auto index = [](int X, int Y) { return uint8_t((X / 3 + Y) % 16); };
  for (int y = H - 1; y >= 0; --y) {
    codes.insert(codes.end(), {0x00, 0x04, uint8_t(index(0, y) << 4 | index(1, y)), uint8_t(index(2, y) << 4 | index(3, y))});
    for (int x = 4; x < W;) {
      int n = 1;
      while (x + n < W && index(x + n, y) == index(x, y)) ++n;
      codes.insert(codes.end(), {uint8_t(n), uint8_t(index(x, y) * 17)});
      x += n;
    }
    codes.insert(codes.end(), {0x00, 0x00});
  }
  codes.insert(codes.end(), {0x00, 0x01});
  rle4.Data(codes);
  cases.push_back({"RLE4", rle4.File(), 0});

  for (const Case& c : cases) {
    std::string file = Dir.File("built.bmp");
    WriteAll(file, c.File);
    auto p = Load(file);
    ExpectSamePixels(p.get(), MagickPixels(file), c.Tolerance, c.Name);
  }
}
