// The PNG reader and writer: the picture each colour type and depth becomes, transparency on a
// background, the descriptions, the warning actions, what each resolution is written as, and
// failures of streams and of the library check.
#include <gtest/gtest.h>

#include <cstdlib>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGCodecBridge.h"
#include "imagelib/formats/PGPNGFormat.h"
#include "tests/imagelib/formats/codec_builders.h"
#include "tests/test_support.h"

using namespace imagelib;
using bmptest::ByteStream;
using codectest::Bytes;
using codectest::PNGSpec;

namespace {

void LoadInto(const Bytes& File, TPixelGraphic* Picture) {
  ByteStream stream(File);
  TPNGFileFormatReader().Read(&stream, Picture, 0);
}

TOwned<TPixelGraphic> Load(const Bytes& File) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->SetReadWarningAction(pgwaRaise);
  LoadInto(File, p.get());
  return p;
}

template <class F>
std::string FailureOf(F&& Call) {
  return codectest::FailureOf<EPGPNGFileFormatReaderWriter>(Call);
}

std::vector<png_color> Colors(int Count) {
  std::vector<png_color> p;
  for (int i = 0; i < Count; ++i) p.push_back({png_byte(i * 37), png_byte(255 - i), png_byte(i * 11 + 3)});
  return p;
}

}  // namespace

TEST(PNGReader, GivesEachKindItsPictureInterlacedOrNot) {
  // Samples within the depth: low depths a pattern of levels, 16 bits a high byte that matters
  // and a low byte that must not.
  auto level = [](int Depth) {
    return [Depth](int X, int Y, int C) {
      int g = codectest::Gradient(X, Y, C);
      return Depth == 16 ? (g << 8) | ((X * 13) & 0xFF) : Depth == 8 ? g : (X + Y * 3 + C) % (1 << Depth);
    };
  };
  struct Case {
    int ColorType, Depth, BitCount;
    TPaletteIdent Ident;  // for gray files
    int PaletteCount;     // for palette files
  } cases[] = {
      {PNG_COLOR_TYPE_GRAY, 1, 1, pBlackWhite, 0},  {PNG_COLOR_TYPE_GRAY, 2, 4, pGray4, 0},
      {PNG_COLOR_TYPE_GRAY, 4, 4, pGray16, 0},      {PNG_COLOR_TYPE_GRAY, 8, 8, pGray256, 0},
      {PNG_COLOR_TYPE_GRAY, 16, 8, pGray256, 0},    {PNG_COLOR_TYPE_PALETTE, 1, 1, pNone, 2},
      {PNG_COLOR_TYPE_PALETTE, 2, 4, pNone, 3},     {PNG_COLOR_TYPE_PALETTE, 4, 4, pNone, 16},
      {PNG_COLOR_TYPE_PALETTE, 8, 8, pNone, 200},   {PNG_COLOR_TYPE_RGB, 8, 24, pNone, 0},
      {PNG_COLOR_TYPE_RGB, 16, 24, pNone, 0},
  };
  for (const Case& c : cases) {
    for (bool interlaced : {false, true}) {
      std::string what = "type " + std::to_string(c.ColorType) + " depth " + std::to_string(c.Depth) +
                         (interlaced ? " interlaced" : "");
      PNGSpec fixture{23, 13, c.Depth, c.ColorType, interlaced};
      fixture.Sample = level(c.Depth);
      if (c.PaletteCount) {
        fixture.Palette = Colors(c.PaletteCount);
        fixture.Sample = [&](int X, int Y, int) { return (X + Y * 3) % c.PaletteCount; };
      }
      TOwned<TPixelGraphic> p(New<TPixelGraphic>());
      std::vector<int> steps;
      p->OnProgress = [&](TObject*, int Step, int Max, bool&) {
        EXPECT_EQ(Max, 13 * (interlaced ? 7 : 1));
        steps.push_back(Step);
      };
      LoadInto(codectest::MakePNG(fixture), p.get());
      ASSERT_EQ(p->GetBitCount(), c.BitCount) << what;
      ASSERT_EQ(steps.size(), size_t(13 * (interlaced ? 7 : 1))) << what;
      EXPECT_EQ(steps.back(), int(steps.size()) - 1) << what;
      if (c.Ident != pNone) {
        EXPECT_EQ(p->GetPaletteIdent(), c.Ident) << what;
      }
      if (c.PaletteCount) {
        EXPECT_EQ(p->GetPaletteCount(), c.PaletteCount) << what;
      }
      int wrong = 0;
      for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 23; ++x) {
          TRGB expected;
          if (c.PaletteCount) {
            png_color e = fixture.Palette[size_t(fixture.Sample(x, y, 0))];
            expected = MakeRGB(e.red, e.green, e.blue);
            if (p->GetPixel(x, y) != fixture.Sample(x, y, 0)) ++wrong;  // 2-bit samples are widened
          } else if (c.ColorType == PNG_COLOR_TYPE_GRAY) {
            int v = fixture.Sample(x, y, 0), g = c.Depth == 16 ? v >> 8 : v * 255 / ((1 << c.Depth) - 1);
            expected = MakeRGB(g, g, g);
          } else {
            auto s = [&](int C) { return fixture.Sample(x, y, C) >> (c.Depth - 8); };
            expected = MakeRGB(s(0), s(1), s(2));
          }
          if (p->GetPixelColor(x, y) != expected) ++wrong;
        }
      EXPECT_EQ(wrong, 0) << what;
    }
  }
}

TEST(PNGReader, ComposesTransparencyOnTheFileOrPictureBackground) {
  const TRGB mine = MakeRGB(0x40, 0x80, 0xC0);
  // Alpha 0 on the left, 255 in the middle, 128 on the right (columns 0, 1, 2).
  auto alpha = [](int X) { return X == 0 ? 0 : X == 1 ? 255 : 128; };
  png_color_16 rgbBackground16{0, 0x12FF, 0xAB00, 0xFF80, 0}, grayBackground{0, 0, 0, 0, 9}, rgbKey{0, 200, 100, 50, 0},
      grayKey{0, 0, 0, 0, 2};
  struct Case {
    const char* Name;
    PNGSpec Spec;
    bool FileBackground;
    TRGB Background;      // the colour composed into transparent pixels
    bool PictureKeepsIt;  // and the picture's background afterwards
  } cases[] = {
      {"RGBA on the picture's colour", {3, 2, 8, PNG_COLOR_TYPE_RGB_ALPHA}, true, mine, true},
      {"16-bit RGBA on bKGD", {3, 2, 16, PNG_COLOR_TYPE_RGB_ALPHA}, true, MakeRGB(0x12, 0xAB, 0xFF), true},
      {"gray and alpha, bKGD not used", {3, 2, 8, PNG_COLOR_TYPE_GRAY_ALPHA}, false, MakeRGB(0x80, 0x80, 0x80), false},
      {"RGB with a colour key", {3, 2, 8, PNG_COLOR_TYPE_RGB}, true, mine, true},
      {"4-bit gray with a key, on bKGD", {3, 2, 4, PNG_COLOR_TYPE_GRAY}, true, MakeRGB(9 * 17, 9 * 17, 9 * 17), true},
  };
  cases[1].Spec.Background = &rgbBackground16;
  cases[2].Spec.Background = &grayBackground;
  cases[3].Spec.Transparent = &rgbKey;
  cases[4].Spec.Transparent = &grayKey, cases[4].Spec.Background = &grayBackground;
  for (Case& c : cases) {
    codectest::OptionSwitch<bool> option(PGPNGUseFileBackground, c.FileBackground);
    int channels = c.Spec.ColorType == PNG_COLOR_TYPE_RGB_ALPHA ? 4 : c.Spec.ColorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2 : 0;
    int top = (1 << c.Spec.Depth) - 1;
    // Foreground 1/3 of the range in every colour channel; keyed files: the key in column 0.
    c.Spec.Sample = [&](int X, int, int C) {
      if (channels) return C == channels - 1 ? alpha(X) * top / 255 : top / 3;
      const png_color_16& k = *c.Spec.Transparent;
      return X == 0 ? (c.Spec.ColorType == PNG_COLOR_TYPE_GRAY ? k.gray : C == 0 ? k.red : C == 1 ? k.green : k.blue)
                    : top / 3;
    };
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->SetReadWarningAction(pgwaRaise);
    p->SetBackGroundColor(mine);
    LoadInto(codectest::MakePNG(c.Spec), p.get());
    if (c.PictureKeepsIt) {
      EXPECT_EQ(p->GetBackGroundColor(), c.Background) << c.Name;
    }
    EXPECT_EQ(p->GetPixelColor(0, 1), c.Background) << c.Name;
    int fg = (top / 3) * 255 / top;
    EXPECT_EQ(p->GetPixelColor(1, 0), MakeRGB(fg, fg, fg)) << c.Name;
    if (channels) {  // half way between foreground and background
      TRGB half = p->GetPixelColor(2, 0), b = c.Background;
      EXPECT_NEAR(RGBRed(half), (fg + RGBRed(b)) / 2, 2) << c.Name;
      EXPECT_NEAR(RGBBlue(half), (fg + RGBBlue(b)) / 2, 2) << c.Name;
    }
  }

  // A palette file with transparent entries keeps its palette as it is.
  PNGSpec palette{4, 1, 8, PNG_COLOR_TYPE_PALETTE};
  palette.Palette = Colors(4), palette.PaletteAlpha = {0, 128};
  palette.Sample = [](int X, int, int) { return X; };
  auto p = Load(codectest::MakePNG(palette));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p->GetPaletteEntry(i), MakeRGB(palette.Palette[size_t(i)].red, palette.Palette[size_t(i)].green,
                                             palette.Palette[size_t(i)].blue));
    EXPECT_EQ(p->GetPixel(i, 0), i);
  }
}

TEST(PNGReader, TakesTheFileGammaButNotColourManagement) {
  struct Case {
    double FileGamma;
    bool SRGB;
    long double Gamma;
  } cases[] = {{0.45455, false, 2.2L}, {0, true, 1.8L}, {0, false, 1.8L}};
  for (const Case& c : cases) {
    PNGSpec fixture{4, 4, 8, PNG_COLOR_TYPE_GRAY};
    fixture.Gamma = c.FileGamma, fixture.SRGB = c.SRGB;
    EXPECT_NEAR(double(Load(codectest::MakePNG(fixture))->GetGamma()), double(c.Gamma), 1e-4) << c.FileGamma;
  }
}

TEST(PNGInfo, DescribesTheHeaderAndItsChunks) {
  png_color_16 key{0, 0, 0, 0, 1};
  struct Case {
    PNGSpec Spec;
    const char *Info1, *Info2, *Colors;
    int BitCount;
  } cases[] = {
      {{9, 7, 8, PNG_COLOR_TYPE_PALETTE}, "palette", "(plte, trns)", "256", 8},
      {{9, 7, 8, PNG_COLOR_TYPE_GRAY}, "GrayScale", "(offs)", "256", 8},
      {{9, 7, 8, PNG_COLOR_TYPE_RGB_ALPHA, true}, "RGB, alpha, interlaced", "(gama)", "16.7M?", 32},
      {{9, 7, 16, PNG_COLOR_TYPE_GRAY}, "GrayScale", "(trns)", "64K?", 16},
      {{9, 7, 2, PNG_COLOR_TYPE_GRAY}, "GrayScale", "", "4", 2},
      {{9, 7, 8, PNG_COLOR_TYPE_RGB}, "RGB", "", "16.7M", 24},
  };
  cases[0].Spec.Palette = Colors(3), cases[0].Spec.PaletteAlpha = {9};
  cases[0].Spec.Sample = [](int X, int, int) { return X % 3; };
  cases[1].Spec.Offsets = true;
  cases[2].Spec.Gamma = 0.5;
  cases[3].Spec.Transparent = &key;
  cases[4].Spec.SRGB = true;  // ignored: no gamma, no chunk
  for (const Case& c : cases) {
    std::string info1, info2, colors;
    int width, height, bitCount, images;
    ByteStream stream(codectest::MakePNG(c.Spec));
    TPNGFileFormatReader().GetInfo(&stream, 0, info1, info2, width, height, colors, bitCount, images);
    EXPECT_EQ(info1, c.Info1);
    EXPECT_EQ(info2, c.Info2) << c.Info1;
    EXPECT_EQ(colors, c.Colors) << c.Info1;
    EXPECT_EQ(bitCount, c.BitCount) << c.Info1;
    EXPECT_EQ(width, 9);
    EXPECT_EQ(height, 7);
    EXPECT_EQ(images, 1);
    EXPECT_EQ(FailureOf([&] {
      TPNGFileFormatReader().GetInfo(&stream, 1, info1, info2, width, height, colors, bitCount, images);
    }), "PNG: Invalid value for Index");
  }
}

TEST(PNGReader, ErrorsLeaveNothingAndWarningsFollowTheAction) {
  PNGSpec fixture{40, 30, 8, PNG_COLOR_TYPE_RGB};
  fixture.Gamma = 0.5;
  fixture.Offsets = true;
  Bytes good = codectest::MakePNG(fixture), cut(good.begin(), good.begin() + long(good.size() / 2));
  struct Refusal {
    const char* Name;
    Bytes File;
    std::string Expected;  // exact where the library's text is known, else the prefix
  } refusals[] = {
      {"cut in the image data", cut, "PNG: "},
      {"a damaged header", codectest::WithBadCRC(good, "IHDR"), "PNG: IHDR: CRC error"},
      {"damaged image data", codectest::WithBadCRC(good, "IDAT"), "PNG: IDAT: CRC error"},
  };
  for (const Refusal& r : refusals) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->SetReadWarningAction(pgwaIgnore);
    std::string text = FailureOf([&] { LoadInto(r.File, p.get()); });
    EXPECT_EQ(r.Expected.size() > 5 ? text : text.substr(0, 5), r.Expected) << r.Name << ": " << text;
    EXPECT_TRUE(p->GetEmpty()) << r.Name;
    EXPECT_EQ(p->GetWidth(), 0) << r.Name;
  }
  EXPECT_EQ(FailureOf([&] {
    ByteStream stream(good);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    TPNGFileFormatReader().Read(&stream, p.get(), 1);
  }), "PNG: Index invalid");

  // Two damaged ancillary chunks: a warning each, of which a read shows the first only.
  Bytes warned = codectest::WithBadCRC(codectest::WithBadCRC(good, "gAMA"), "oFFs");
  struct Case {
    TPGWarningAction Action;
    int Answer;
    std::string Expected;
    UINT BoxFlags;
  } cases[] = {
      {pgwaIgnore, IDOK, "", 0},
      {pgwaOKBox, IDOK, "", MB_ICONWARNING | MB_OK},
      {pgwaOKCancelBox, IDCANCEL, "PNG: Operation aborted on user request", MB_ICONWARNING | MB_OKCANCEL},
      {pgwaRaise, IDOK, "PNG: gAMA: CRC error", 0},
  };
  for (const Case& c : cases) {
    testsupport::MessageBoxRecorder boxes(c.Answer);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->SetReadWarningAction(c.Action);
    EXPECT_EQ(FailureOf([&] { LoadInto(warned, p.get()); }), c.Expected) << int(c.Action);
    EXPECT_EQ(p->GetWidth(), c.Expected.empty() ? 40 : 0);
    ASSERT_EQ(boxes.Calls.size(), c.BoxFlags ? 1u : 0u) << int(c.Action);
    if (c.BoxFlags) {
      EXPECT_EQ(boxes.Calls[0].Caption, "PNG Warning");
      EXPECT_EQ(boxes.Calls[0].Text, "gAMA: CRC error");
      EXPECT_EQ(boxes.Calls[0].Flags, c.BoxFlags);
    }
  }
}

TEST(PNGReader, AnAbortKeepsTheRowsReadWidened) {
  PNGSpec fixture{10, 6, 2, PNG_COLOR_TYPE_GRAY};
  fixture.Sample = [](int X, int Y, int) { return (X + Y) % 4; };
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->OnProgress = [](TObject*, int Step, int, bool& Abort) { Abort = Step == 1; };
  LoadInto(codectest::MakePNG(fixture), p.get());
  for (int x = 0; x < 10; ++x) {
    EXPECT_EQ(p->GetPixel(x, 0), x % 4);
    EXPECT_EQ(p->GetPixel(x, 1), (x + 1) % 4);
    EXPECT_EQ(p->GetPixel(x, 2), 0) << "not read";
  }
}

TEST(PNGWriter, WritesEachResolutionAsItsKindAndReadsBack) {
  struct Case {
    int BitCountNum;
    TPaletteIdent Ident;  // pUnknown: a palette of its own
    int Depth, ColorType, PaletteEntries;
  } cases[] = {
      {0, pBlackWhite, 1, PNG_COLOR_TYPE_PALETTE, 2}, {0, pUnknown, 1, PNG_COLOR_TYPE_PALETTE, 2},
      {1, pGray16, 4, PNG_COLOR_TYPE_PALETTE, 16},    {1, pSys16, 4, PNG_COLOR_TYPE_PALETTE, 16},
      {2, pGray256, 8, PNG_COLOR_TYPE_GRAY, 0},       {2, pUnknown, 8, PNG_COLOR_TYPE_PALETTE, 252},
      {3, pTrueColor, 8, PNG_COLOR_TYPE_RGB, 0},
  };
  for (const Case& c : cases) {
    TOwned<TPixelGraphic> p(c.BitCountNum == 3 ? codectest::TrueColorPicture(47, 33)
                                               : codectest::PalettePicture(c.BitCountNum, c.Ident, c.PaletteEntries));
    p->SetGamma(1.8L);
    ByteStream out({});
    p->SaveToStreamExt(&out, "png");
    std::vector<codectest::Chunk> chunks = codectest::Chunks(out.Contents());
    ASSERT_GE(chunks.size(), 4u);
    EXPECT_EQ(chunks[0].Name, "IHDR");
    EXPECT_EQ(chunks[0].Data[8], c.Depth) << c.BitCountNum << " " << int(c.Ident);
    EXPECT_EQ(chunks[0].Data[9], c.ColorType) << c.BitCountNum << " " << int(c.Ident);
    EXPECT_EQ(chunks[0].Data[12], 0) << "not interlaced";
    size_t plte = 0;
    for (const codectest::Chunk& k : chunks) {
      if (k.Name == "PLTE") plte = k.Data.size() / 3;
      if (k.Name == "gAMA") {
        EXPECT_EQ(k.Data, (Bytes{0, 0, 0xD9, 0x04})) << "1/1.8 is 55556";
      }
    }
    EXPECT_EQ(plte, size_t(c.PaletteEntries));
    auto back = Load(out.Contents());
    ASSERT_EQ(back->GetBitCount(), p->GetBitCount());
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < 47; ++x) ASSERT_EQ(back->GetPixelColor(x, y), p->GetPixelColor(x, y)) << x << "," << y;
  }
}

TEST(PNGWriter, APaletteShortOfThePixelsIsExtendedAndGammaIsOptional) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(8, 2, 2);
  p->SetPaletteCount(3);
  for (int i = 0; i < 3; ++i) p->SetPaletteEntry(i, MakeRGB(50 * i + 10, 20, 30));
  p->SetPixel(7, 1, 6);  // beyond the palette: shows as the colour table's black
  codectest::OptionSwitch<bool> noGamma(PGPNGWriteGamma, false);
  TPNGFileFormatWriter writer;
  std::vector<int> steps;
  p->OnProgress = [&](TObject* Sender, int Step, int Max, bool&) {
    EXPECT_EQ(Sender, &writer);
    EXPECT_EQ(Max, 1);
    steps.push_back(Step);
  };
  ByteStream out({});
  writer.Write(&out, p.get());
  EXPECT_EQ(steps, (std::vector<int>{0, 1}));
  for (const codectest::Chunk& k : codectest::Chunks(out.Contents())) {
    EXPECT_NE(k.Name, "gAMA");
    if (k.Name == "PLTE") {
      EXPECT_EQ(k.Data.size(), 7u * 3);
    }
  }
  auto back = Load(out.Contents());
  EXPECT_EQ(back->GetPixelColor(7, 1), 0);
  EXPECT_EQ(back->GetPixelColor(0, 0), MakeRGB(10, 20, 30));
}

TEST(PNGCodec, StreamFailuresPropagateAndAForeignLibraryIsRefused) {
  Bytes file = codectest::MakePNG({47, 33, 8, PNG_COLOR_TYPE_RGB});
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  codectest::FailingStream broken(file, 100);
  EXPECT_THROW(TPNGFileFormatReader().Read(&broken, p.get(), 0), classlib::EReadError);
  TOwned<TPixelGraphic> colour(codectest::TrueColorPicture(47, 33));
  codectest::FailingStream full({}, 100);
  EXPECT_THROW(TPNGFileFormatWriter().Write(&full, colour.get()), classlib::EWriteError);
  // A picture whose pixel memory was refused keeps its size but has no rows to write.
  TOwned<TPixelGraphic> refused(New<TPixelGraphic>());
  EXPECT_THROW(refused->NewImage(60000, 60000, 3), EPixelGraphic);
  ByteStream nowhere({});
  EXPECT_EQ(FailureOf([&] { TPNGFileFormatWriter().Write(&nowhere, refused.get()); }), "PNG: CreateDIBSection failed");

  const char* versions[][2] = {{"1.2.50", nullptr}, {nullptr, "2.0.0"}};
  for (auto& v : versions) {
    imagelib::testing::SetCodecVersionTexts(nullptr, v[0], v[1]);
    ByteStream stream(file);
    EXPECT_EQ(FailureOf([&] { TPNGFileFormatReader().Read(&stream, p.get(), 0); }), "PNG: Invalid library version");
    EXPECT_EQ(FailureOf([&] { TPNGFileFormatWriter().Write(&stream, colour.get()); }), "PNG: Invalid library version");
  }
  imagelib::testing::SetCodecVersionTexts(nullptr, nullptr, nullptr);
  EXPECT_TRUE(PNGLibraryVersionOK());
}
