// Damaged JPEG and PNG files: every truncation, also through a stream that cannot tell its size,
// and thousands of seeded byte changes load, or fail with the library's own exception and leave
// an empty picture; descriptions never raise. With FENLO_FUZZ_CORPUS naming a folder, the samples
// are written there as fuzzing seeds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/formats/codec_builders.h"
#include "tests/imagelib/formats/magick_support.h"
#include "tests/imagelib/test_streams.h"

using namespace imagelib;
using bmptest::ByteStream;
using codectest::Bytes;

namespace {

struct Sample {
  std::string Name;
  Bytes File;
};

std::vector<Sample> Samples() {
  static png_color_16 background{0, 0x1234, 0x5678, 0x9ABC, 0};
  codectest::PNGSpec palette(13, 7, 8, PNG_COLOR_TYPE_PALETTE), twoBit(11, 9, 2, PNG_COLOR_TYPE_GRAY, true),
      rgba16(9, 5, 16, PNG_COLOR_TYPE_RGB_ALPHA), rgb(17, 6, 8, PNG_COLOR_TYPE_RGB);
  palette.Palette = {{1, 2, 3}, {200, 100, 0}, {9, 9, 9}}, palette.PaletteAlpha = {0, 77};
  palette.Sample = [](int X, int Y, int) { return (X + Y) % 3; };
  twoBit.Sample = [](int X, int Y, int) { return (X * Y) % 4; };
  rgba16.Background = &background;
  rgba16.Sample = [](int X, int Y, int C) { return (X * 7001 + Y * 313 + C * 9999) & 0xFFFF; };
  rgb.Gamma = 0.45455;
  return {
      {"baseline.jpg", codectest::MakeJPEG({24, 17, JCS_RGB})},
      {"gray.jpg", codectest::MakeJPEG({19, 9, JCS_GRAYSCALE})},
      {"progressive.jpg", codectest::MakeJPEG({21, 18, JCS_RGB, 75, true})},
      {"palette-trns.png", codectest::MakePNG(palette)},
      {"gray2-interlaced.png", codectest::MakePNG(twoBit)},
      {"rgba16-bkgd.png", codectest::MakePNG(rgba16)},
      {"rgb-gamma.png", codectest::MakePNG(rgb)},
  };
}

// Describes and loads through the reader the data's signature picks, warnings ignored or raised;
// returns what went wrong, or "".
std::string LoadOutcome(const Bytes& Data, bool Sized, TPGWarningAction Action) {
  ByteStream sized(Data);
  streamtest::UnsizedStream unsized(Data);
  TStream* stream = Sized ? static_cast<TStream*>(&sized) : &unsized;
  TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
  picture->SetReadWarningAction(Action);
  try {
    std::string description, info1, info2, colors;
    int width, height, bitCount, images;
    GetFileFormatInfoFromStream(stream, "", 0, description, info1, info2, width, height, colors, bitCount, images);
    TFileFormatReader* reader = FindFileFormatReader(stream, "");
    if (!reader) return "";
    reader->Read(stream, picture.get(), 0);
  } catch (const EPixelGraphic&) {
    if (!picture->GetEmpty() || picture->GetWidth() != 0) return "a refused file left a picture behind";
  } catch (const std::exception& e) {
    return std::string("unexpected exception: ") + e.what();
  }
  return "";
}

}  // namespace

TEST(CodecCorruption, TheSamplesLoadAndEveryTruncationIsHandled) {
  const char* folder = std::getenv("FENLO_FUZZ_CORPUS");
  for (const Sample& s : Samples()) {
    if (folder && *folder) magicktest::WriteAll(std::string(folder) + "/" + s.Name, s.File);
    ByteStream stream(s.File);
    TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
    picture->SetReadWarningAction(pgwaRaise);
    FindFileFormatReader(&stream, "")->Read(&stream, picture.get(), 0);
    EXPECT_GT(picture->GetWidth(), 0) << s.Name;
    for (size_t n = 0; n < s.File.size(); ++n)
      for (bool sized : {true, false}) {
        Bytes cut(s.File.begin(), s.File.begin() + long(n));
        ASSERT_EQ(LoadOutcome(cut, sized, pgwaIgnore), "") << s.Name << " cut to " << n << (sized ? "" : ", unsized");
        ASSERT_EQ(LoadOutcome(cut, sized, pgwaRaise), "") << s.Name << " cut to " << n << (sized ? "" : ", unsized");
      }
  }
}

TEST(CodecCorruption, SeededByteChanges) {
  std::mt19937 random(20240917);
  const uint8_t interesting[] = {0x00, 0x01, 0x02, 0x03, 0x08, 0x10, 0x7F, 0x80, 0xC0, 0xD8, 0xDA, 0xFE, 0xFF};
  std::vector<Sample> samples = Samples();
  for (int round = 0; round < 4000; ++round) {
    const Sample& s = samples[size_t(round) % samples.size()];
    Bytes file = s.File;
    int changes = 1 + int(random() % 4);
    std::string what;
    for (int c = 0; c < changes; ++c) {
      // Markers and header chunks are where a change matters most: half land in the first 100 bytes.
      size_t at = random() % 2 ? random() % std::min<size_t>(100, file.size()) : random() % file.size();
      uint8_t value = random() % 2 ? interesting[random() % sizeof interesting] : uint8_t(random());
      file[at] = value;
      what += " [" + std::to_string(at) + "]=" + std::to_string(value);
    }
    ASSERT_EQ(LoadOutcome(file, true, round % 2 ? pgwaIgnore : pgwaRaise), "") << s.Name << " round " << round << ":" << what;
  }
}
