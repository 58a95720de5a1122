// The libraries' own test collections, from their Debian sources in the dependency cache
// (tools/deps unpacks them): libpng's PngSuite and test images, the broken ones included, and
// libjpeg-turbo's test images. Every file loads with the pixels ImageMagick reads from it through
// the same libraries (transparency composed on the picture's background), or is refused with the
// format's own exception; a valid file always loads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include <png.h>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/formats/codec_builders.h"
#include "tests/imagelib/formats/magick_support.h"
#include "tests/test_support.h"

using namespace imagelib;
using bmptest::ByteStream;
using codectest::Bytes;

namespace {

namespace fs = std::filesystem;

// The files of a folder of the newest unpacked source tree of Package, in name order.
std::vector<std::string> SuiteFiles(const std::string& Package, const std::string& Folder, const std::string& Ext) {
  std::vector<std::string> trees, files;
  fs::path src = fs::path(FENLO_DEPS_CACHE) / "src";
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(src, ec))
    if (entry.path().filename().string().rfind(Package + "_", 0) == 0) trees.push_back(entry.path().string());
  if (trees.empty()) return files;
  std::sort(trees.begin(), trees.end());
  for (const auto& entry : fs::directory_iterator(fs::path(trees.back()) / Folder, ec))
    if (entry.path().extension() == Ext) files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}

// What a PNG file's header says: colour type, depth, and whether it has a tRNS chunk.
struct PNGKind {
  int ColorType = -1, Depth = 0;
  bool Keyed = false;
  double Gamma = 0;  // gAMA, the encoding exponent
};

PNGKind KindOf(const Bytes& File) {
  PNGKind k;
  for (const codectest::Chunk& c : codectest::Chunks(File)) {
    if (c.Name == "IHDR" && c.Data.size() >= 10) k.Depth = c.Data[8], k.ColorType = c.Data[9];
    if (c.Name == "tRNS") k.Keyed = true;
    if (c.Name == "gAMA" && c.Data.size() == 4)
      k.Gamma = double(uint32_t(c.Data[0]) << 24 | uint32_t(c.Data[1]) << 16 | uint32_t(c.Data[2]) << 8 | c.Data[3]) / 1e5;
  }
  return k;
}

const TRGB kBackground = MakeRGB(0x40, 0x80, 0xC0);

// The colour a pixel should show: ImageMagick's samples (R, G, B, A), composed on the background
// where the file is transparent; a palette file keeps its colours.
TRGB Expected(const uint8_t* Rgba, const PNGKind& K) {
  int a = K.ColorType == PNG_COLOR_TYPE_PALETTE ? 255 : Rgba[3];
  int bg[3] = {RGBRed(kBackground), RGBGreen(kBackground), RGBBlue(kBackground)};
  if (!(K.ColorType & PNG_COLOR_MASK_COLOR)) {
    int gray = (bg[0] + bg[1] + bg[2]) / 3;
    if (K.Depth < 8) {  // the nearest level of the file's depth
      int top = (1 << K.Depth) - 1;
      gray = (gray * top + 127) / 255 * 255 / top;
    }
    bg[0] = bg[1] = bg[2] = gray;
  }
  // In linear light for a file with a gamma (the background taken in the file's own encoding),
  // through 8-bit tables for an 8-bit file, as the library composes.
  double g = K.Gamma > 0 ? K.Gamma : 1;
  bool tables = K.Depth == 8 && g != 1;
  auto linear = [&](int V) {
    double v = std::pow(V / 255.0, 1 / g);
    return tables ? std::lround(255 * v) / 255.0 : v;
  };
  auto mix = [&](int C) {
    if (a == 255 || a == 0) return a ? int(Rgba[C]) : bg[C];
    double v = (linear(Rgba[C]) * a + linear(bg[C]) * (255 - a)) / 255;
    if (tables) v = std::lround(255 * v) / 255.0;
    return int(std::lround(255 * std::pow(v, g)));
  };
  return MakeRGB(mix(0), mix(1), mix(2));
}

class CodecSuites : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(fs::exists(magicktest::kMagick)) << "ImageMagick comes with tools/deps"; }

  // Loads as the viewer's reader choice does, warnings ignored; "" or the refusal's text.
  std::string Load(const Bytes& File, TPixelGraphic* P) {
    P->SetReadWarningAction(pgwaIgnore);
    P->SetBackGroundColor(kBackground);
    ByteStream stream(File);
    try {
      TFileFormatReader* reader = FindFileFormatReader(&stream, "");
      if (!reader) return "no reader";
      reader->Read(&stream, P, 0);
    } catch (const EPGPNGFileFormatReaderWriter& e) {
      return e.Message();
    } catch (const EPGJPGFileFormatReaderWriter& e) {
      return e.Message();
    }
    return "";
  }

  // Compares every pixel; Tolerance per channel (16-bit samples: ImageMagick rounds, the reader
  // keeps the high byte).
  void Compare(const std::string& Name, TPixelGraphic* P, const Bytes& Samples, int Channels, const PNGKind& K,
               int Tolerance) {
    ASSERT_EQ(Samples.size(), size_t(P->GetWidth()) * P->GetHeight() * Channels) << Name;
    int wrong = 0;
    for (int y = 0; y < P->GetHeight(); ++y)
      for (int x = 0; x < P->GetWidth(); ++x) {
        const uint8_t* s = &Samples[(size_t(y) * P->GetWidth() + x) * Channels];
        TRGB want = Channels == 4 ? Expected(s, K) : MakeRGB(s[0], s[1], s[2]), got = P->GetPixelColor(x, y);
        // A partly transparent pixel: the library composes at the samples' own precision, the
        // expectation from 8-bit values.
        bool partial = Channels == 4 && K.ColorType != PNG_COLOR_TYPE_PALETTE && s[3] > 0 && s[3] < 255;
        int tolerance = Tolerance + (partial ? 2 : 0);
        if (std::abs(RGBRed(got) - RGBRed(want)) > tolerance || std::abs(RGBGreen(got) - RGBGreen(want)) > tolerance ||
            std::abs(RGBBlue(got) - RGBBlue(want)) > tolerance) {
          if (++wrong <= 2)
            ADD_FAILURE() << Name << ": pixel " << x << "," << y << " is " << std::hex << got << ", expected " << want;
        }
      }
    EXPECT_EQ(wrong, 0) << Name;
  }

  testsupport::TempDir Dir;
};

}  // namespace

TEST_F(CodecSuites, PngSuiteAndTestImagesLoadAsImageMagickReadsThem) {
  codectest::OptionSwitch<bool> background(PGPNGUseFileBackground, false);
  std::vector<std::string> files = SuiteFiles("libpng1.6", "contrib/pngsuite", ".png");
  for (const char* folder : {"contrib/pngsuite/interlaced", "contrib/testpngs"})
    for (const std::string& f : SuiteFiles("libpng1.6", folder, ".png")) files.push_back(f);
  ASSERT_GT(files.size(), 150u) << "libpng's sources belong in " << FENLO_DEPS_CACHE << "/src (tools/deps)";
  for (const std::string& file : files) {
    std::string name = fs::path(file).filename().string();
    Bytes data = magicktest::ReadAll(file);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    std::string refusal = Load(data, p.get());
    ASSERT_EQ(refusal, "") << name << " is a valid file";
    PNGKind kind = KindOf(data);
    Bytes rgba = magicktest::MagickSamples(file, "rgba", Dir.File("pixels.rgba"));
    ASSERT_FALSE(rgba.empty()) << name;
    Compare(name, p.get(), rgba, 4, kind, kind.Depth == 16 ? 1 : 0);
  }
}

TEST_F(CodecSuites, BrokenPngFilesAreRefusedOrLoadAsImageMagickReadsThem) {
  std::vector<std::string> files = SuiteFiles("libpng1.6", "contrib/testpngs/crashers", ".png");
  ASSERT_GT(files.size(), 20u);
  int refused = 0;
  for (const std::string& file : files) {
    std::string name = fs::path(file).filename().string();
    Bytes data = magicktest::ReadAll(file);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    std::string refusal = Load(data, p.get());
    if (!refusal.empty()) {
      EXPECT_EQ(refusal.substr(0, 5), "PNG: ") << name;
      EXPECT_TRUE(p->GetEmpty()) << name;
      ++refused;
      continue;
    }
    Bytes rgba = magicktest::MagickSamples(file, "rgba", Dir.File("pixels.rgba"));
    if (!rgba.empty()) Compare(name, p.get(), rgba, 4, KindOf(data), 1);
  }
  EXPECT_GT(refused, 0);
}

TEST_F(CodecSuites, JpegTestImagesLoadAsTheLibraryDecodesThem) {
  std::vector<std::string> files = SuiteFiles("libjpeg-turbo", "testimages", ".jpg");
  ASSERT_GE(files.size(), 4u) << "libjpeg-turbo's sources belong in " << FENLO_DEPS_CACHE << "/src (tools/deps)";
  for (const std::string& file : files) {
    std::string name = fs::path(file).filename().string();
    Bytes data = magicktest::ReadAll(file);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    std::string refusal = Load(data, p.get());
    if (name == "testorig12.jpg") {  // 12-bit samples: not for an 8-bit library
      EXPECT_EQ(refusal.substr(0, 5), "JPG: ") << name;
      continue;
    }
    ASSERT_EQ(refusal, "") << name;
    Compare(name, p.get(), magicktest::MagickSamples(file, "rgb", Dir.File("pixels.rgb")), 3, PNGKind(), 0);
  }
}
