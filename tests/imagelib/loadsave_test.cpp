#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "classlib/files.h"
#include "imagelib/PGOptions.h"
#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGBMPFormat.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/bmp_builder.h"
#include "tests/imagelib/formats/format_lists.h"
#include "tests/test_support.h"

using namespace imagelib;
using formattest::ScopedFormatLists;

namespace {

// A reader found by extension only that makes a 2 x 1 picture with the bytes and gamma it is given.
class TFakeReader : public TFileFormatReader {
 public:
  TFakeReader(const char* Ext, long double GammaOfFile, int BitCountNum = 3) : FGamma(GammaOfFile), FBits(BitCountNum) {
    Extension = Ext;
    Description = "Fake";
  }
  void Read(TStream*, TPixelGraphic* Graphic, int) override {
    Graphic->NewImage(2, 1, FBits);
    if (FBits == 3) {
      std::memset(Graphic->GetBits(), 128, 6);
    } else {
      Graphic->SetPaletteCount(2);
      Graphic->SetPaletteEntry(0, MakeRGB(128, 0, 255));
      Graphic->SetPaletteEntry(1, MakeRGB(64, 64, 64));
      Graphic->SetPixel(1, 0, 1);
    }
    Graphic->SetGamma(FGamma);
  }

 private:
  long double FGamma;
  int FBits;
};

// A writer that keeps a copy of what it was given, and writes one byte.
class TRecordingWriter : public TFileFormatWriter {
 public:
  TRecordingWriter(const char* Ext, const char* Desc, TPGColorResolutions Can, bool Fail = false) : FFail(Fail) {
    Extension = Ext;
    Description = Desc;
    CanWriteResolutions = Can;
  }
  void Write(TStream* Stream, TPixelGraphic* Graphic) override {
    Stream->WriteBuffer("x", 1);
    if (FFail) throw EStreamError("disk full");
    Written.reset(New<TPixelGraphic>());
    Written->Assign(Graphic);
    Sender = Graphic;
  }
  TOwned<TPixelGraphic> Written;
  TPixelGraphic* Sender = nullptr;

 private:
  bool FFail;
};

TOwned<TPixelGraphic> Photo(int W = 5, int H = 3) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, MakeRGB(x * 50, y * 80, 200 - x * 30));
  return p;
}

bool SamePictures(TPixelGraphic* A, TPixelGraphic* B) {
  if (A->GetWidth() != B->GetWidth() || A->GetHeight() != B->GetHeight() || A->GetBitCount() != B->GetBitCount() ||
      A->GetPaletteCount() != B->GetPaletteCount())
    return false;
  for (int i = 0; i < A->GetPaletteCount(); ++i)
    if (A->GetPaletteEntry(i) != B->GetPaletteEntry(i)) return false;
  for (int y = 0; y < A->GetHeight(); ++y)
    for (int x = 0; x < A->GetWidth(); ++x)
      if (A->GetPixel(x, y) != B->GetPixel(x, y)) return false;
  return true;
}
}  // namespace

TEST(Loading, ABitmapFileRoundTripsAndFiresOneChange) {
  ScopedFormatLists lists;
  testsupport::TempDir dir;
  auto original = Photo();
  original->SaveToFile(dir.File("photo.BMP"));
  TOwned<TPixelGraphic> loaded(New<TPixelGraphic>());
  int changes = 0;
  loaded->OnChange = [&](TObject*) { ++changes; };
  loaded->LoadFromFile(dir.File("photo.BMP"));
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(SamePictures(loaded.get(), original.get()));
  EXPECT_EQ(loaded->GetPaletteIdent(), pTrueColor);
}

TEST(Loading, DataNoReaderTakesFailsAndLeavesAnEmptyPicture) {
  ScopedFormatLists lists;
  TMemoryStream stream;
  stream.WriteBuffer("nothing we know", 15);
  stream.SetPosition(0);
  auto p = Photo();
  int changes = 0;
  p->OnChange = [&](TObject*) { ++changes; };
  try {
    p->LoadFromStream(&stream);
    FAIL();
  } catch (const EPGUnknownFileFormat& e) {
    EXPECT_EQ(e.Message(), "Unknown file format");
  }
  EXPECT_EQ(changes, 1);
  EXPECT_TRUE(p->GetEmpty());
  EXPECT_EQ(p->GetBitCount(), 24);
}

TEST(Loading, AFormatWithoutSignatureIsFoundByExtensionOnly) {
  ScopedFormatLists lists({New<TBMPFileFormatReader>(), new TFakeReader("tga", PGDisplayGamma)}, {});
  testsupport::TempDir dir;
  TFileStream(dir.File("picture.tga"), fmCreate).WriteBuffer("\0\0\2", 3);
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  TFileStream stream(dir.File("picture.tga"), fmOpenRead);
  EXPECT_THROW(p->LoadFromStream(&stream), EPGUnknownFileFormat);
  p->LoadFromFile(dir.File("picture.tga"));
  EXPECT_EQ(p->GetWidth(), 2);
}

TEST(Loading, GammaCorrectionToTheDisplayGamma) {
  struct Case {
    long double FileGamma;
    int Expected;
  } cases[] = {{1.0L, 174},  // 255 * (128/255)^(1/1.8), rounded
               {1.85L, 128},  // within 5 percent: left alone
               {0.0L, 128},   // damaged gammas are not applied
               {-2.0L, 128},
               {std::numeric_limits<long double>::infinity(), 128}};
  for (const Case& c : cases) {
    ScopedFormatLists lists({new TFakeReader("gam", c.FileGamma)}, {});
    TMemoryStream stream;
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->LoadFromStreamExt(&stream, "gam");
    EXPECT_EQ(p->GetBits()[0], c.Expected) << double(c.FileGamma);
    EXPECT_EQ(p->GetBits()[5], c.Expected);
    if (c.Expected != 128) {
      EXPECT_EQ(p->GetGamma(), PGDisplayGamma);
    } else if (std::isfinite(double(c.FileGamma))) {
      EXPECT_EQ(p->GetGamma(), c.FileGamma) << "the reader's gamma stays";
    }
  }
}

TEST(Loading, GammaCorrectsThePaletteNotThePixels) {
  ScopedFormatLists lists({new TFakeReader("gam", 1.0L, 2)}, {});
  TMemoryStream stream;
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->LoadFromStreamExt(&stream, "gam");
  EXPECT_EQ(p->GetPaletteEntry(0), MakeRGB(174, 0, 255));
  EXPECT_EQ(p->GetPixel(1, 0), 1);
  PGGammaCorrection = false;
  p->LoadFromStreamExt(&stream, "gam");
  PGGammaCorrection = true;
  EXPECT_EQ(p->GetPaletteEntry(0), MakeRGB(128, 0, 255));
}

TEST(Saving, TheColourResolutionFallbackAndItsWarning) {
  auto* writer = new TRecordingWriter("pbm", "Portable Bitmap", ColorResolutionBit(pgcrBlackWhite));
  ScopedFormatLists lists({}, {writer});
  auto photo = Photo();
  const std::string text17 =
      "The graphic cannot be saved to a Portable Bitmap file with the current color resolution (16.7 million "
      "colors).\r\rThe graphic will be saved with a different color resolution (black and white).";
  {
    testsupport::MessageBoxRecorder boxes(IDOK);
    photo->SetSaveColorResWarningAction(pgwaOKBox);
    TMemoryStream out;
    photo->SaveToStreamExt(&out, "pbm");
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Text, text17);
    EXPECT_EQ(boxes.Calls[0].Flags & 0x0F, UINT(MB_OK));
    ASSERT_TRUE(writer->Written);
    EXPECT_EQ(writer->Written->GetBitCount(), 1);
    EXPECT_EQ(writer->Written->GetPaletteIdent(), pBlackWhite);
    EXPECT_EQ(photo->GetBitCount(), 24) << "the picture itself is not converted";
  }
  for (int answer : {IDOK, IDCANCEL}) {
    writer->Written.reset();
    testsupport::MessageBoxRecorder boxes(answer);
    photo->SetSaveColorResWarningAction(pgwaOKCancelBox);
    TMemoryStream out;
    if (answer == IDOK) {
      photo->SaveToStreamExt(&out, "pbm");
      EXPECT_TRUE(writer->Written);
    } else {
      try {
        photo->SaveToStreamExt(&out, "pbm");
        FAIL();
      } catch (const EPGCannotWriteColorRes& e) {
        EXPECT_EQ(e.Message(),
                  "The graphic cannot be saved with to a Portable Bitmap file with the current color resolution "
                  "(16.7 million colors)");
      }
      EXPECT_FALSE(writer->Written);
      EXPECT_EQ(out.GetSize(), 0) << "nothing is written";
    }
    ASSERT_EQ(boxes.Calls.size(), 1u);
    EXPECT_EQ(boxes.Calls[0].Flags & 0x0F, UINT(MB_OKCANCEL));
  }
  photo->SetSaveColorResWarningAction(pgwaRaise);
  writer->Written.reset();
  {
    TMemoryStream refused;
    EXPECT_THROW(photo->SaveToStreamExt(&refused, "pbm"), EPGCannotWriteColorRes) << "no box is shown either";
    EXPECT_FALSE(writer->Written);
  }
  photo->SetSaveColorResWarningAction(pgwaIgnore);
  TMemoryStream out;
  photo->SaveToStreamExt(&out, "PBM");
  EXPECT_TRUE(writer->Written) << "no box, no question";
}

TEST(Saving, ProgressOfTheConversionReachesThePicturesHandlers) {
  auto* writer = new TRecordingWriter("pbm", "Portable Bitmap", ColorResolutionBit(pgcrBlackWhite));
  ScopedFormatLists lists({}, {writer});
  auto photo = Photo();
  photo->SetSaveColorResWarningAction(pgwaIgnore);
  std::vector<TObject*> senders;
  photo->OnProgress = [&](TObject* Sender, int, int, bool&) { senders.push_back(Sender); };
  TMemoryStream out;
  photo->SaveToStreamExt(&out, "pbm");
  ASSERT_FALSE(senders.empty());
  EXPECT_NE(senders[0], photo.get()) << "the converted copy reports";
  EXPECT_EQ(senders[0], writer->Sender);
}

TEST(Saving, AGreyPictureToAWriterWithoutGreyTakesTheOptimisedPalette) {
  auto* writer = new TRecordingWriter("x", "Colours", ColorResolutionBit(pgcr256Colors) | ColorResolutionBit(pgcrTrueColor));
  ScopedFormatLists lists({}, {writer});
  TOwned<TPixelGraphic> grey(New<TPixelGraphic>());
  grey->NewImage(4, 4, 2);
  grey->SetPaletteIdent(pGray256);
  grey->SetSaveColorResWarningAction(pgwaIgnore);
  TMemoryStream out;
  grey->SaveToStreamExt(&out, ".x");
  ASSERT_TRUE(writer->Written);
  EXPECT_EQ(writer->Written->GetBitCount(), 8);
  EXPECT_NE(writer->Written->GetPaletteIdent(), pGray256);
  EXPECT_EQ(writer->Written->GetPaletteEntry(writer->Written->GetPaletteCount() - 1), MakeRGB(255, 255, 255))
      << "the system colours close the palette";
}

TEST(Saving, ExtensionsAreFoundWithADotAndInAnyCase) {
  ScopedFormatLists lists;
  auto photo = Photo();
  TMemoryStream out;
  photo->SaveToStreamExt(&out, ".BMP");
  EXPECT_EQ(std::string(static_cast<char*>(out.GetMemory()), 2), "BM");
}

TEST(Saving, AnUnknownExtensionRaisesAndLeavesNoFile) {
  ScopedFormatLists lists;
  testsupport::TempDir dir;
  try {
    Photo()->SaveToFile(dir.File("x.abc"));
    FAIL();
  } catch (const EPGUnknownExtension& e) {
    EXPECT_EQ(e.Message(), "Unknown file extension \"abc\"");
  }
  EXPECT_FALSE(classlib::FileExists(dir.File("x.abc")));
}

TEST(Saving, AFailedSaveRemovesOnlyAFileItMade) {
  ScopedFormatLists lists({}, {new TRecordingWriter("bad", "Bad", PGAllColorResolutions, true)});
  testsupport::TempDir dir;
  EXPECT_THROW(Photo()->SaveToFile(dir.File("new.bad")), EStreamError);
  EXPECT_FALSE(classlib::FileExists(dir.File("new.bad")));
  TFileStream(dir.File("old.bad"), fmCreate).WriteBuffer("old contents", 12);
  EXPECT_THROW(Photo()->SaveToFile(dir.File("old.bad")), EStreamError);
  EXPECT_TRUE(classlib::FileExists(dir.File("old.bad"))) << "a file that was there before stays";
}

TEST(Saving, SaveToStreamWritesABitmapWhateverTheLists) {
  ScopedFormatLists lists({}, {});
  auto photo = Photo();
  TMemoryStream out;
  photo->SaveToStream(&out);
  EXPECT_EQ(std::string(static_cast<char*>(out.GetMemory()), 2), "BM");
  EXPECT_THROW(photo->SaveToStreamExt(&out, "bmp"), EPGFileFormatWritersEmpty);
}

TEST(Persistence, WriteDataAndReadDataRoundTrip) {
  ScopedFormatLists lists;
  TOwned<TPixelGraphic> original(New<TPixelGraphic>());
  original->NewImage(7, 3, 1);
  original->SetPaletteIdent(pSys16);
  for (int x = 0; x < 7; ++x) original->SetPixel(x, 1, x + 3);
  TMemoryStream stream;
  stream.WriteBuffer("head", 4);
  original->WriteData(&stream);
  int64_t end = stream.GetPosition();
  stream.WriteBuffer("tail", 4);
  int32_t length = 0;
  std::memcpy(&length, static_cast<char*>(stream.GetMemory()) + 4, 4);
  EXPECT_EQ(length, end - 8);
  stream.SetPosition(4);
  TOwned<TPixelGraphic> copy(New<TPixelGraphic>());
  copy->ReadData(&stream);
  EXPECT_EQ(stream.GetPosition(), end);
  EXPECT_TRUE(SamePictures(copy.get(), original.get()));
  EXPECT_EQ(copy->GetPaletteIdent(), pSys16);
}

TEST(ClipboardBlock, RoundTripsAndIgnoresTheBytesBehindTheBitmap) {
  TOwned<TPixelGraphic> original(New<TPixelGraphic>());
  original->NewImage(9, 4, 2);
  original->SetPaletteIdent(pSpecial216);
  for (int x = 0; x < 9; ++x) original->SetPixel(x, 2, x * 20);
  WORD format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = reinterpret_cast<HPALETTE>(1);
  original->SaveToClipboardFormat(format, data, palette);
  EXPECT_EQ(format, CF_DIB);
  EXPECT_EQ(palette, nullptr);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(int64_t(GlobalSize(data)), original->GetStreamSize());
  TOwned<TPixelGraphic> copy(New<TPixelGraphic>());
  copy->LoadFromClipboardFormat(CF_DIB, data, nullptr);
  EXPECT_TRUE(SamePictures(copy.get(), original.get()));
  EXPECT_EQ(copy->GetPaletteIdent(), pSpecial216);
  try {
    copy->LoadFromClipboardFormat(CF_BITMAP, data, nullptr);
    FAIL();
  } catch (const EPGUnknownClipboardFormat& e) {
    EXPECT_EQ(e.Message(), "Unknown clipboard format");
  }
  EXPECT_THROW(copy->LoadFromClipboardFormat(CF_DIB, nullptr, nullptr), EPGUnknownClipboardFormat);
  GlobalFree(data);
}

// A file whose colour table is shorter than the indices its pixels use: what those pixels show must
// not depend on the palette the picture held before, however the picture gets them.
TEST(Loading, IndicesBeyondAShortPaletteShowTheSameWhateverThePictureHeldBefore) {
  ScopedFormatLists lists;
  bmptest::DIB dib = bmptest::DIB::Info(16, 8, 8).ClrUsed(101);
  for (int i = 0; i < 101; ++i) dib.Color(uint8_t(i * 2), uint8_t(255 - i), uint8_t(i * 7));
  bmptest::Bytes rows;
  for (int i = 0; i < 16 * 8; ++i) rows.push_back(uint8_t(i * 2));  // 0..254: a good half beyond the table
  const bmptest::Bytes file = dib.Data(rows).File();

  auto shown = [](TPixelGraphic* P) {  // the colour every index shows (conversions and the screen)
    TRGB colors[256];
    P->ConversionColors(colors);
    return std::vector<TRGB>(colors, colors + 256);
  };
  TOwned<TPixelGraphic> fresh(New<TPixelGraphic>());
  bmptest::ByteStream stream(file);
  fresh->LoadFromStream(&stream);
  const std::vector<TRGB> freshColors = shown(fresh.get());
  EXPECT_EQ(freshColors[150], 0) << "beyond the palette: black";

  WORD format = 0;
  HANDLE block = nullptr;
  HPALETTE palette = nullptr;
  fresh->SaveToClipboardFormat(format, block, palette);
  for (TPaletteIdent before : {pGray256, pSpecial252}) {
    auto used = [before] {
      TOwned<TPixelGraphic> p(New<TPixelGraphic>());
      p->NewImage(4, 4, 2);
      p->SetPaletteIdent(before);
      return p;
    };
    TOwned<TPixelGraphic> loaded = used(), assigned = used(), pasted = used();
    bmptest::ByteStream again(file);
    loaded->LoadFromStream(&again);
    assigned->Assign(fresh.get());
    pasted->LoadFromClipboardFormat(CF_DIB, block, nullptr);
    for (TPixelGraphic* p : {loaded.get(), assigned.get(), pasted.get()}) {
      EXPECT_TRUE(SamePictures(p, fresh.get())) << int(before);
      EXPECT_EQ(shown(p), freshColors) << int(before);
    }
  }
  GlobalFree(block);
}
