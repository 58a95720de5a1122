// Files we write as JPEG and PNG, as other programs see them: pngcheck finds nothing wrong,
// ImageMagick reads our pixels (JPEG: as the library decodes them) and the quality asked for.
#include <gtest/gtest.h>

#include "classlib/files.h"
#include "imagelib/PGOptions.h"
#include "tests/imagelib/formats/codec_builders.h"
#include "tests/imagelib/formats/magick_support.h"
#include "tests/test_support.h"

using namespace imagelib;
using codectest::Bytes;

namespace {

class CodecInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(FileExists(magicktest::kMagick)) << "ImageMagick comes with tools/deps";
    ASSERT_TRUE(FileExists(magicktest::kPngcheck)) << "pngcheck comes with tools/deps";
  }
  // ImageMagick's own description of a file through identify's format escape.
  std::string Identify(const std::string& File, const std::string& Format) {
    return magicktest::Output("/usr/bin/identify", "-format '" + Format + "' '" + File + "'");
  }
  testsupport::TempDir Dir;
};

}  // namespace

TEST_F(CodecInterop, PngFilesWeWritePassPngcheckAndReadWithOurPixels) {
  struct Case {
    int BitCountNum;
    TPaletteIdent Ident;
    int Entries;
  } cases[] = {{0, pBlackWhite, 2}, {1, pGray16, 16}, {1, pUnknown, 11}, {2, pGray256, 256}, {2, pUnknown, 252}, {3, pTrueColor, 0}};
  for (const Case& c : cases) {
    TOwned<TPixelGraphic> p(c.BitCountNum == 3 ? codectest::TrueColorPicture(47, 33)
                                               : codectest::PalettePicture(c.BitCountNum, c.Ident, c.Entries));
    std::string file = Dir.File("ours.png");
    p->SaveToFile(file);
    EXPECT_TRUE(magicktest::Run(magicktest::kPngcheck, "-q '" + file + "'")) << c.BitCountNum << " " << int(c.Ident);
    Bytes rgb = magicktest::MagickSamples(file, "rgb", Dir.File("pixels.rgb"));
    ASSERT_EQ(rgb.size(), size_t(47 * 33 * 3));
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < 47; ++x) {
        const uint8_t* s = &rgb[(size_t(y) * 47 + x) * 3];
        ASSERT_EQ(p->GetPixelColor(x, y), MakeRGB(s[0], s[1], s[2])) << c.BitCountNum << " " << int(c.Ident);
      }
  }
}

TEST_F(CodecInterop, JpegFilesWeWriteReadAsTheLibraryDecodesThemAtTheQualityAsked) {
  TOwned<TPixelGraphic> colour(codectest::TrueColorPicture(47, 33));
  TOwned<TPixelGraphic> gray(codectest::PalettePicture(2, pGray256, 256));
  for (bool progressive : {false, true})
    for (uint8_t quality : {uint8_t(80), uint8_t(35)}) {
      codectest::OptionSwitch<bool> option(PGJPGProgressive, progressive);
      codectest::OptionSwitch<uint8_t> q(PGJPGQuality, quality);
      for (TPixelGraphic* p : {colour.get(), gray.get()}) {
        std::string file = Dir.File("ours.jpg");
        p->SaveToFile(file);
        EXPECT_EQ(Identify(file, "%Q %[interlace]"), std::to_string(quality) + (progressive ? " JPEG" : " None"));
        codectest::Decoded ours = codectest::DecodeJPEG(magicktest::ReadAll(file), JDCT_ISLOW);
        Bytes rgb = magicktest::MagickSamples(file, "rgb", Dir.File("pixels.rgb"));
        ASSERT_EQ(rgb.size(), size_t(47 * 33 * 3));
        for (size_t i = 0; i < size_t(47 * 33); ++i)
          for (int c = 0; c < 3; ++c)
            ASSERT_EQ(rgb[i * 3 + c], ours.Samples[i * ours.Components + (ours.Components == 3 ? c : 0)]) << i;
      }
    }
}
