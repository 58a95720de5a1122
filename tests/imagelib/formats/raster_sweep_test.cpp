// Damaged Paintbrush, portable bitmap and Targa files: every truncation and thousands of seeded
// byte changes of valid files load, or fail with the library's own exception; nothing else (the
// sanitizers catch the rest). Each also goes through a stream that cannot tell its size and
// through GetInfo (loadcheck::Check), and whatever loads must write again in the formats that
// store it and read back with the same pixels.
// With FENLO_FUZZ_CORPUS naming a folder, the valid files are also written there as fuzzing seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "tests/imagelib/formats/load_check.h"
#include "tests/imagelib/formats/raster_builders.h"
#include "tests/imagelib/formats/write_check.h"

using namespace rastertest;

namespace {

struct Sample {
  std::string Name, Ext;
  Bytes File;
};

using writecheck::Written;

TOwned<TPixelGraphic> Picture(int Num) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(11, 7, Num);
  if (Num == 0) p->SetPaletteIdent(pBlackWhite);
  if (Num == 2) p->SetPaletteIdent(pGray256);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 11; ++x) p->SetPixel(x, y, Num == 3 ? Pattern(x / 2, y) : (x / 3 + y * 7) % (Num ? 256 : 2));
  return p;
}

std::vector<Sample> Samples(const std::string& Ext) {
  std::vector<Sample> s;
  if (Ext == "pcx") {
    for (auto [bits, planes, version] : {std::tuple{1, 1, 5}, {1, 4, 5}, {1, 4, 3}, {8, 1, 5}, {8, 3, 5}})
      s.push_back({"pcx-" + std::to_string(bits) + "x" + std::to_string(planes) + "-v" + std::to_string(version), "pcx",
                   PCXFile(bits, planes, version)});
  } else if (Ext == "pnm") {
    for (bool binary : {false, true}) {
      const std::string form = binary ? "-binary" : "-text";
      s.push_back({"pbm" + form, "pbm", Written(TPBMFileFormatWriter(), Picture(0).get(), binary)});
      s.push_back({"pgm" + form, "pgm", Written(TPGMFileFormatWriter(), Picture(2).get(), binary)});
      s.push_back({"ppm" + form, "ppm", Written(TPPMFileFormatWriter(), Picture(3).get(), binary)});
    }
    s.push_back({"pgm-comments", "pgm", Text("P2\n# made by hand\n3 2 # size\n1000\n0 500 1000\n999 1 2")});
  } else {
    s.push_back({"tga-8", "tga", Written(TTGAFileFormatWriter(), Picture(2).get())});
    s.push_back({"tga-24", "tga", Written(TTGAFileFormatWriter(), Picture(3).get())});
    Bytes p16, p8;
    for (int i = 0; i < 77; ++i) Put16(p16, uint32_t(i / 4 * 0x0421)), p8.push_back(uint8_t(i / 5 % 9));
    TGA rle16, mapped, gray;
    rle16.ImageType = 10, rle16.Depth = 16, rle16.Width = 11, rle16.Height = 7, rle16.Descriptor = 0x30, rle16.IDLength = 2;
    mapped.ImageType = 9, mapped.Depth = 8, mapped.Width = 11, mapped.Height = 7, mapped.MapType = 1;
    mapped.FirstEntry = 3, mapped.MapLength = 12, mapped.EntrySize = 16;
    gray.ImageType = 11, gray.Depth = 8, gray.Width = 7, gray.Height = 11, gray.Descriptor = 0x20;
    Bytes map;
    for (int i = 0; i < 12; ++i) Put16(map, uint32_t(i * 0x0C63));
    s.push_back({"tga-16-rle-top-right", "tga", rle16.Header() + Text("id") + TGACode(p16, 2)});
    s.push_back({"tga-8-rle-mapped", "tga", mapped.Header() + map + TGACode(p8, 1)});
    s.push_back({"tga-8-rle-gray-top", "tga", gray.Header() + TGACode(p8, 1)});
  }
  return s;
}

std::string Outcome(const Bytes& Data, const std::string& Ext) {
  loadcheck::Outcome loaded;
  std::string finding = loadcheck::Check(Data.data(), Data.size(), Ext, &loaded);
  if (!finding.empty() || !loaded.Picture) return finding;
  try {
    return writecheck::RoundTrip(loaded.Picture.get());
  } catch (const EPixelGraphic& e) {
    return "written and read back: " + loadcheck::Describe(e);
  }
}

class Corruption : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(Corruption, TheSamplesThemselvesLoad) {
  const char* folder = std::getenv("FENLO_FUZZ_CORPUS");
  for (const Sample& s : Samples(GetParam())) {
    loadcheck::Outcome loaded;
    EXPECT_EQ(loadcheck::Check(s.File.data(), s.File.size(), s.Ext, &loaded), "") << s.Name;
    EXPECT_EQ(loaded.Refusal, "") << s.Name;
    EXPECT_EQ(Outcome(s.File, s.Ext), "") << s.Name;
    if (folder && *folder) {
      std::ofstream file(std::string(folder) + "/" + s.Name + "." + s.Ext, std::ios::binary);
      file.write(reinterpret_cast<const char*>(s.File.data()), std::streamsize(s.File.size()));
      EXPECT_TRUE(file.good()) << s.Name;
    }
  }
}

TEST_P(Corruption, EveryTruncation) {
  for (const Sample& s : Samples(GetParam()))
    for (size_t n = 0; n < s.File.size(); ++n)
      ASSERT_EQ(Outcome(Bytes(s.File.begin(), s.File.begin() + long(n)), s.Ext), "") << s.Name << " cut to " << n;
}

TEST_P(Corruption, SeededByteChanges) {
  std::mt19937 random(20240618);
  const uint8_t interesting[] = {0x00, 0x01, 0x02, 0x08, 0x0A, 0x0C, 0x20, 0x30, '#', '9', 0x7F, 0x80, 0xC0, 0xFE, 0xFF};
  const std::vector<Sample> samples = Samples(GetParam());
  for (int round = 0; round < 2000; ++round) {
    const Sample& s = samples[size_t(round) % samples.size()];
    Bytes file = s.File;
    std::string what;
    for (int c = 1 + int(random() % 4); c > 0; --c) {
      // Headers are where a change matters most: half of the changes land in the first 130 bytes.
      const size_t at = random() % 2 ? random() % std::min<size_t>(130, file.size()) : random() % file.size();
      file[at] = random() % 2 ? interesting[random() % sizeof interesting] : uint8_t(random());
      what += " [" + std::to_string(at) + "]=" + std::to_string(file[at]);
    }
    ASSERT_EQ(Outcome(file, s.Ext), "") << s.Name << " round " << round << ":" << what;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, Corruption, ::testing::Values("pcx", "pnm", "tga"));
