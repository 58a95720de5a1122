// The JPEG reader and writer: pixels as the library decodes them, the warning actions on a cut
// file, the descriptions, the quality written, and failures of streams and of the library check.
#include <gtest/gtest.h>

#include <cstdlib>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGCodecBridge.h"
#include "imagelib/formats/PGJPGFormat.h"
#include "tests/imagelib/formats/codec_builders.h"
#include "tests/test_support.h"

using namespace imagelib;
using bmptest::ByteStream;
using codectest::Bytes;
using codectest::JPEGSpec;

namespace {

TOwned<TPixelGraphic> Load(const Bytes& File, TPGWarningAction Action = pgwaRaise, bool Fast = false) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->SetReadWarningAction(Action);
  p->SetFastJPGDecoding(Fast);
  ByteStream stream(File);
  TJPGFileFormatReader().Read(&stream, p.get(), 0);
  return p;
}

template <class F>
std::string FailureOf(F&& Call) {
  return codectest::FailureOf<EPGJPGFileFormatReaderWriter>(Call);
}

// Every pixel as the library's own decoding gives it.
void ExpectDecodedAs(TPixelGraphic* P, const codectest::Decoded& D, const std::string& What) {
  ASSERT_EQ(P->GetWidth(), D.Width) << What;
  ASSERT_EQ(P->GetHeight(), D.Height) << What;
  ASSERT_EQ(P->GetBitCount(), D.Components == 1 ? 8 : 24) << What;
  if (D.Components == 1) {
    EXPECT_EQ(P->GetPaletteIdent(), pGray256) << What;
  }
  int wrong = 0;
  for (int y = 0; y < D.Height; ++y)
    for (int x = 0; x < D.Width; ++x) {
      const uint8_t* s = &D.Samples[(size_t(y) * D.Width + x) * D.Components];
      TRGB expected = D.Components == 1 ? MakeRGB(s[0], s[0], s[0]) : MakeRGB(s[0], s[1], s[2]);
      if (P->GetPixelColor(x, y) != expected && ++wrong <= 3) ADD_FAILURE() << What << ": pixel " << x << "," << y;
    }
}

Bytes Saved(TPixelGraphic* P, const std::string& Ext = "jpg") {
  ByteStream out({});
  P->SaveToStreamExt(&out, Ext);
  return out.Contents();
}

bool HasMarker(const Bytes& File, uint8_t Marker) {
  for (size_t i = 0; i + 1 < File.size(); ++i)
    if (File[i] == 0xFF && File[i + 1] == Marker) return true;
  return false;
}

}  // namespace

TEST(JPGReader, DecodesAsTheLibraryDoesWithEachMethod) {
  struct Case {
    const char* Name;
    JPEGSpec Spec;
  } cases[] = {{"gray", {47, 33, JCS_GRAYSCALE}}, {"colour", {47, 33, JCS_RGB}}, {"progressive", {47, 33, JCS_RGB, 90, true}}};
  for (const Case& c : cases) {
    Bytes file = codectest::MakeJPEG(c.Spec);
    codectest::Decoded accurate = codectest::DecodeJPEG(file, JDCT_ISLOW), fast = codectest::DecodeJPEG(file, JDCT_IFAST);
    if (c.Spec.Space == JCS_RGB) {
      ASSERT_NE(accurate.Samples, fast.Samples) << "the methods must differ to be told apart";
    }
    ExpectDecodedAs(Load(file).get(), accurate, std::string(c.Name) + ", accurate");
    ExpectDecodedAs(Load(file, pgwaRaise, true).get(), fast, std::string(c.Name) + ", FastJPGDecoding");
  }
}

TEST(JPGReader, RefusesWhatItCannotShowAndKeepsNothing) {
  Bytes cmyk = codectest::MakeJPEG({16, 16, JCS_CMYK});
  struct Case {
    const char* Name;
    Bytes File;
    std::string Expected;  // exact where the text is ours, else the prefix
  } cases[] = {
      {"CMYK", cmyk, "JPG: Not supported subformat"},
      {"no data", {}, "JPG: "},
      {"only the start marker", {0xFF, 0xD8}, "JPG: "},
      {"a bitmap behind the start marker", {0xFF, 0xD8, 'B', 'M', 0, 0, 0, 0}, "JPG: "},
  };
  for (const Case& c : cases) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->SetReadWarningAction(pgwaIgnore);
    ByteStream stream(c.File);
    std::string text = FailureOf([&] { TJPGFileFormatReader().Read(&stream, p.get(), 0); });
    if (c.Expected.size() > 5)
      EXPECT_EQ(text, c.Expected) << c.Name;
    else
      EXPECT_EQ(text.substr(0, 5), c.Expected) << c.Name << ": " << text;
    EXPECT_TRUE(p->GetEmpty()) << c.Name;
  }
  ByteStream stream(cmyk);
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  EXPECT_EQ(FailureOf([&] { TJPGFileFormatReader().Read(&stream, p.get(), 1); }), "JPG: Index invalid");
}

TEST(JPGReader, ACutFileFollowsTheWarningAction) {
  Bytes file = codectest::MakeJPEG({47, 33, JCS_RGB});
  file.resize(file.size() / 2);
  struct Case {
    TPGWarningAction Action;
    int Answer;
    std::string Expected;  // "" when the picture loads
    UINT BoxFlags;         // 0: no box
  } cases[] = {
      {pgwaIgnore, IDOK, "", 0},
      {pgwaOKBox, IDOK, "", MB_ICONWARNING | MB_OK},
      {pgwaOKCancelBox, IDOK, "", MB_ICONWARNING | MB_OKCANCEL},
      {pgwaOKCancelBox, IDCANCEL, "JPG: Operation aborted on user request", MB_ICONWARNING | MB_OKCANCEL},
      {pgwaRaise, IDOK, "JPG: Premature end of JPEG file", 0},
  };
  for (const Case& c : cases) {
    testsupport::MessageBoxRecorder boxes(c.Answer);
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->SetReadWarningAction(c.Action);
    ByteStream stream(file);
    EXPECT_EQ(FailureOf([&] { TJPGFileFormatReader().Read(&stream, p.get(), 0); }), c.Expected) << int(c.Action);
    EXPECT_EQ(p->GetWidth(), c.Expected.empty() ? 47 : 0) << int(c.Action);
    ASSERT_EQ(boxes.Calls.size(), c.BoxFlags ? 1u : 0u) << int(c.Action);
    if (c.BoxFlags) {
      EXPECT_EQ(boxes.Calls[0].Caption, "JPG Warning");
      EXPECT_EQ(boxes.Calls[0].Text, "Premature end of JPEG file");
      EXPECT_EQ(boxes.Calls[0].Flags, c.BoxFlags);
    }
  }
}

TEST(JPGReader, ReportsEachLineAndAnAbortKeepsTheLinesRead) {
  Bytes file = codectest::MakeJPEG({47, 33, JCS_RGB});
  codectest::Decoded full = codectest::DecodeJPEG(file, JDCT_ISLOW);
  TJPGFileFormatReader reader;
  for (bool abortFirst : {false, true}) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    std::vector<int> steps;
    int starts = 0, ends = 0;
    p->OnProgressStart = [&](TObject* Sender) { starts += Sender == &reader; };
    p->OnProgressEnd = [&](TObject* Sender) { ends += Sender == &reader; };
    p->OnProgress = [&](TObject* Sender, int Step, int Max, bool& Abort) {
      EXPECT_EQ(Sender, &reader);
      EXPECT_EQ(Max, 33);
      steps.push_back(Step);
      Abort = abortFirst;
    };
    ByteStream stream(file);
    reader.Read(&stream, p.get(), 0);
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 1);
    ASSERT_EQ(steps.size(), abortFirst ? 1u : 33u);
    EXPECT_EQ(steps.back(), abortFirst ? 1 : 33);
    ASSERT_EQ(p->GetHeight(), 33);
    EXPECT_EQ(p->GetPixelColor(5, 0), MakeRGB(full.Samples[15], full.Samples[16], full.Samples[17]));
    if (abortFirst) {
      EXPECT_EQ(p->GetPixelColor(5, 32), 0) << "a line never decoded stays as made";
    }
  }
}

TEST(JPGInfo, DescribesTheMarkersWithoutDecoding) {
  struct Case {
    const char* Name;
    JPEGSpec Spec;
    const char *Info1, *Colors;
    int BitCount;
  } cases[] = {
      {"colour", {40, 30, JCS_RGB}, "JFIF, YCbCr", "16.7M", 24},
      {"gray", {40, 30, JCS_GRAYSCALE}, "JFIF, GrayScale", "256", 8},
      {"progressive", {40, 30, JCS_RGB, 90, true}, "JFIF, YCbCr, Progressive", "16.7M", 24},
      {"CMYK with an Adobe marker", {40, 30, JCS_CMYK}, "Adope, CMYK", "4294.9M", 32},
  };
  for (const Case& c : cases) {
    std::string info1, info2 = "x", colors;
    int width, height, bitCount, images;
    ByteStream stream(codectest::MakeJPEG(c.Spec));
    TJPGFileFormatReader().GetInfo(&stream, 0, info1, info2, width, height, colors, bitCount, images);
    EXPECT_EQ(info1, c.Info1) << c.Name;
    EXPECT_EQ(info2, "") << c.Name;
    EXPECT_EQ(colors, c.Colors) << c.Name;
    EXPECT_EQ(bitCount, c.BitCount) << c.Name;
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
    EXPECT_EQ(images, 1);
    stream.SetPosition(0);
    EXPECT_EQ(FailureOf([&] {
      TJPGFileFormatReader().GetInfo(&stream, 1, info1, info2, width, height, colors, bitCount, images);
    }), "JPG: Invalid value for Index");
  }
}

TEST(JPGWriter, WritesWhatTheLibraryWritesWithTheOptions) {
  auto gradient = [](int X, int Y, int C) { return C == 1 ? (X * 5 + Y * 3) & 0xFF : codectest::Gradient(X, Y, C); };
  TOwned<TPixelGraphic> colour(codectest::TrueColorPicture(47, 33, gradient));
  TOwned<TPixelGraphic> gray(New<TPixelGraphic>());
  gray->NewImage(47, 33, 2);
  gray->SetPaletteIdent(pGray256);
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x) gray->SetPixel(x, y, gradient(x, y, 1));
  codectest::OptionSwitch<uint8_t> quality(PGJPGQuality, 80);
  for (bool progressive : {false, true}) {
    codectest::OptionSwitch<bool> option(PGJPGProgressive, progressive);
    for (TPixelGraphic* p : {colour.get(), gray.get()}) {
      Bytes file = Saved(p);
      EXPECT_EQ(HasMarker(file, 0xC0), !progressive);
      EXPECT_EQ(HasMarker(file, 0xC2), progressive);
      // The library itself, given the same samples, quality 80 and the floating-point method.
      bool isGray = p == gray.get();
      JPEGSpec same{47, 33, isGray ? JCS_GRAYSCALE : JCS_RGB, 80, progressive,
                    [&](int X, int Y, int C) { return gradient(X, Y, isGray ? 1 : C); }, JDCT_FLOAT};
      EXPECT_EQ(codectest::DecodeJPEG(file, JDCT_ISLOW).Samples,
                codectest::DecodeJPEG(codectest::MakeJPEG(same), JDCT_ISLOW).Samples);
    }
  }
}

TEST(JPGWriter, ReportsEachLineAndRefusesOtherResolutions) {
  TOwned<TPixelGraphic> p(codectest::TrueColorPicture(20, 9));
  TJPGFileFormatWriter writer;
  std::vector<int> steps;
  p->OnProgress = [&](TObject* Sender, int Step, int Max, bool& Abort) {
    EXPECT_EQ(Sender, &writer);
    EXPECT_EQ(Max, 9);
    steps.push_back(Step);
    Abort = true;  // not honoured: every line is written
  };
  ByteStream out({});
  writer.Write(&out, p.get());
  EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
  EXPECT_EQ(codectest::DecodeJPEG(out.Contents(), JDCT_ISLOW).Height, 9);

  TOwned<TPixelGraphic> four(New<TPixelGraphic>());
  four->NewImage(8, 8, 1);
  four->SetPaletteIdent(pSys16);
  EXPECT_EQ(FailureOf([&] { writer.Write(&out, four.get()); }), "JPG: Invalid value for BitCount");
}

TEST(JPGCodec, StreamFailuresPropagateAndAForeignLibraryIsRefused) {
  Bytes file = codectest::MakeJPEG({47, 33, JCS_RGB});
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  codectest::FailingStream broken(file, 100);
  EXPECT_THROW(TJPGFileFormatReader().Read(&broken, p.get(), 0), classlib::EReadError);
  EXPECT_TRUE(p->GetEmpty());
  TOwned<TPixelGraphic> colour(codectest::TrueColorPicture(47, 33));
  codectest::FailingStream full({}, 100);
  EXPECT_THROW(TJPGFileFormatWriter().Write(&full, colour.get()), classlib::EWriteError);
  // A picture whose pixel memory was refused keeps its size but has no rows to write.
  TOwned<TPixelGraphic> refused(New<TPixelGraphic>());
  EXPECT_THROW(refused->NewImage(60000, 60000, 3), EPixelGraphic);
  ByteStream nowhere({});
  EXPECT_EQ(FailureOf([&] { TJPGFileFormatWriter().Write(&nowhere, refused.get()); }), "JPG: CreateDIBSection failed");

  imagelib::testing::SetCodecVersionTexts("8d  15-Jan-2012", nullptr, nullptr);
  ByteStream stream(file);
  EXPECT_EQ(FailureOf([&] { TJPGFileFormatReader().Read(&stream, p.get(), 0); }), "JPG: Invalid library version");
  EXPECT_EQ(FailureOf([&] { TJPGFileFormatWriter().Write(&stream, colour.get()); }), "JPG: Invalid library version");
  std::string info1, info2, colors;
  int width = 0, height, bitCount, images;
  TJPGFileFormatReader().GetInfo(&stream, 0, info1, info2, width, height, colors, bitCount, images);
  EXPECT_EQ(width, 47) << "describing a file does not check the library";
  imagelib::testing::SetCodecVersionTexts(nullptr, nullptr, nullptr);
  EXPECT_TRUE(JPGLibraryVersionOK());
}
