// Damaged bitmap files: every truncation and thousands of seeded byte changes of a few valid files
// load, or fail with the library's own exception; nothing else (the sanitizers catch the rest).
// Each also goes through a stream that cannot tell its size, which must give the same outcome, and
// through GetInfo, which must refuse whatever loading refuses for a header fault.
// With FENLO_FUZZ_CORPUS naming a folder, the valid files are also written there as fuzzing seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

#include "tests/imagelib/bmp_builder.h"
#include "tests/imagelib/formats/format_lists.h"
#include "tests/imagelib/formats/load_check.h"

using namespace imagelib;
using bmptest::Bytes;
using bmptest::ByteStream;
using bmptest::DIB;
using formattest::ScopedFormatLists;

namespace {

struct Sample {
  std::string Name;
  Bytes File;
};

Bytes Pattern(size_t N, int Seed) {
  Bytes b(N);
  for (size_t i = 0; i < N; ++i) b[i] = uint8_t((i * 31 + size_t(Seed) * 17) ^ (i >> 3));
  return b;
}

std::vector<Sample> Samples() {
  std::vector<Sample> s;
  s.push_back({"rgb24-topdown", DIB::Info(7, -5, 24).Data(Pattern(24 * 5, 1)).File()});
  s.push_back({"pal8-rle8", DIB::Info(9, 6, 8, 1).ClrUsed(20).Gray(20)
                                .Data({0x03, 0x05, 0x00, 0x03, 1, 2, 3, 0x00, 0x02, 0x02, 0x00, 0x00, 0x09,
                                       0x07, 0x00, 0x02, 0x02, 0x01, 0x04, 0x11, 0x00, 0x01})
                                .File()});
  s.push_back({"pal4-rle4", DIB::Info(11, 4, 4, 2).Gray(16)
                                .Data({0x05, 0x12, 0x00, 0x05, 0x34, 0x56, 0x70, 0x00, 0x00, 0x00, 0x00, 0x02,
                                       0x03, 0x01, 0x0B, 0xAB, 0x00, 0x01})
                                .File()});
  s.push_back({"rgb16-565", DIB::Info(5, 3, 16, 3).Masks(0xF800, 0x07E0, 0x001F).Data(Pattern(12 * 3, 2)).File()});
  s.push_back({"rgb32", DIB::Info(3, 3, 32).Data(Pattern(36, 3)).File()});
  s.push_back({"pal1-os2", DIB::Core(13, 3, 1).Color(0, 0, 0).Color(250, 240, 230).Data(Pattern(12, 4)).File()});
  s.push_back({"pal8-gap", DIB::Info(3, 2, 8).ClrUsed(4).Gray(4).Data(Pattern(8, 5)).File(3)});
  return s;
}

// What went wrong loading Data, or "".
std::string LoadOutcome(const Bytes& Data) {
  loadcheck::Outcome loaded;
  std::string finding = loadcheck::Check(Data.data(), Data.size(), "bmp", &loaded);
  if (!finding.empty()) return finding;
  if (loaded.Picture && loaded.Picture->GetImageSize() <= (16 << 20)) {  // whatever loaded must write again
    ByteStream out({});
    loaded.Picture->WriteDIB(&out);
  }
  return "";
}

void WriteSeeds(const std::vector<Sample>& Samples) {
  const char* folder = std::getenv("FENLO_FUZZ_CORPUS");
  if (!folder || !*folder) return;
  for (const Sample& s : Samples) {
    std::ofstream file(std::string(folder) + "/" + s.Name + ".bmp", std::ios::binary);
    file.write(reinterpret_cast<const char*>(s.File.data()), std::streamsize(s.File.size()));
    // The packed bitmap alone, as the clipboard holds one.
    std::ofstream block(std::string(folder) + "/" + s.Name + ".block", std::ios::binary);
    block.write(reinterpret_cast<const char*>(s.File.data() + 14), std::streamsize(s.File.size() - 14));
    ASSERT_TRUE(file.good() && block.good()) << "seed " << s.Name;
  }
}

}  // namespace

TEST(BMPCorruption, TheSamplesThemselvesLoad) {
  ScopedFormatLists lists;
  std::vector<Sample> samples = Samples();
  WriteSeeds(samples);
  for (const Sample& s : samples) {
    ByteStream stream(s.File);
    TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
    EXPECT_NO_THROW(TBMPFileFormatReader().Read(&stream, picture.get(), 0)) << s.Name;
    EXPECT_GT(picture->GetWidth(), 0) << s.Name;
  }
}

TEST(BMPCorruption, EveryTruncation) {
  ScopedFormatLists lists;
  for (const Sample& s : Samples())
    for (size_t n = 0; n < s.File.size(); ++n) {
      std::string outcome = LoadOutcome(Bytes(s.File.begin(), s.File.begin() + long(n)));
      ASSERT_EQ(outcome, "") << s.Name << " cut to " << n << " bytes";
    }
}

TEST(BMPCorruption, SeededByteChanges) {
  ScopedFormatLists lists;
  std::mt19937 random(20240601);
  const uint8_t interesting[] = {0x00, 0x01, 0x02, 0x03, 0x0C, 0x28, 0x7F, 0x80, 0xFE, 0xFF};
  std::vector<Sample> samples = Samples();
  for (int round = 0; round < 3000; ++round) {
    const Sample& s = samples[size_t(round) % samples.size()];
    Bytes file = s.File;
    int changes = 1 + int(random() % 4);
    std::string what;
    for (int c = 0; c < changes; ++c) {
      // Headers are where a change matters most: half of the changes land in the first 70 bytes.
      size_t at = random() % 2 ? random() % std::min<size_t>(70, file.size()) : random() % file.size();
      uint8_t value = random() % 2 ? interesting[random() % sizeof interesting] : uint8_t(random());
      file[at] = value;
      what += " [" + std::to_string(at) + "]=" + std::to_string(value);
    }
    std::string outcome = LoadOutcome(file);
    ASSERT_EQ(outcome, "") << s.Name << " round " << round << ":" << what;
  }
}
