#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "classlib/files.h"
#include "tests/imagelib/bmp_builder.h"
#include "tests/imagelib/formats/format_lists.h"
#include "tests/test_support.h"

using namespace imagelib;
using bmptest::Bytes;
using bmptest::ByteStream;
using formattest::ScopedFormatLists;

namespace {

// A reader that knows its files by Signature (none: by extension only).
class TTestReader : public TFileFormatReader {
  CL_CLASS(TTestReader)
  TTestReader(const std::string& Ext, const std::string& Signature) : FSignature(Signature) {
    Extension = Ext;
    Description = "Test " + Ext;
    HasSignature = !Signature.empty();
  }
  bool CheckSignature(const TFileFormatHeader& Header) override {
    if (ThrowOnCheck) throw EPixelGraphic("check failed");
    LastHeader = Header;
    return std::equal(FSignature.begin(), FSignature.end(), Header.begin());
  }
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override {
    TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
    uint8_t skip[5];
    Stream->Read(skip, sizeof skip);  // moves the stream, which the caller must undo
    Info1 = "first";
    Width = 7;
    if (FailInfo) throw EPixelGraphic("info failed");
    Height = 9;
  }
  bool ThrowOnCheck = false;
  bool FailInfo = false;
  TFileFormatHeader LastHeader{};

 private:
  std::string FSignature;
};

class TTestWriter : public TFileFormatWriter {
  CL_CLASS(TTestWriter)
  TTestWriter(const std::string& Ext, const std::string& Desc, TPGColorResolutions CanWrite) {
    Extension = Ext;
    Description = Desc;
    CanWriteResolutions = CanWrite;
  }
};

const char* const kRegistrationOrder[] = {"bmp", "dib", "rle", "jpg", "jpeg", "jif", "png",
                                          "pcx", "pbm", "pgm", "ppm", "tga", "tif", "tiff"};

std::vector<std::string> ReaderExtensions() {
  std::vector<std::string> out;
  for (int i = 0; i < FileFormatReaders->GetCount(); ++i) out.push_back(FileFormatReaders->GetItem(i)->GetExtension());
  return out;
}

}  // namespace

// ---- the lists

TEST(FileFormatLists, CompareByLowerCaseExtension) {
  TTestReader a("jif", ""), b("jpeg", ""), c("JIF", "");
  EXPECT_EQ(CompareFileFormatExt(&a, &b), -1);
  EXPECT_EQ(CompareFileFormatExt(&b, &a), 1);
  EXPECT_EQ(CompareFileFormatExt(&a, &c), 0);
}

TEST(FileFormatLists, FirstUseSortsTheRegistrationOrder) {
  ScopedFormatLists lists({}, {});
  for (const char* ext : kRegistrationOrder) FileFormatReaders->Add(New<TTestReader>(ext, ""));
  for (const char* ext : kRegistrationOrder)
    if (std::string(ext) != "rle" && std::string(ext) != "pcx") FileFormatWriters->Add(New<TTestWriter>(ext, ext, 1));
  ASSERT_EQ(ReaderExtensions().front(), "bmp");
  SortFileFormatReaders();
  EXPECT_EQ(ReaderExtensions(), (std::vector<std::string>{"bmp", "dib", "jif", "jpeg", "jpg", "pbm", "pcx", "pgm",
                                                          "png", "ppm", "rle", "tga", "tif", "tiff"}));
  SortFileFormatWriters();
  std::vector<std::string> writers;
  for (int i = 0; i < FileFormatWriters->GetCount(); ++i) writers.push_back(FileFormatWriters->GetItem(i)->GetExtension());
  EXPECT_EQ(writers, (std::vector<std::string>{"bmp", "dib", "jif", "jpeg", "jpg", "pbm", "pgm", "png", "ppm", "tga",
                                               "tif", "tiff"}));
}

TEST(FileFormatLists, ThreadsThatFindReadersTogetherSeeOneSortedList) {
  ScopedFormatLists lists({}, {});
  for (const char* ext : kRegistrationOrder) FileFormatReaders->Add(New<TTestReader>(ext, std::string("S") + ext));
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t)
    threads.emplace_back([&wrong, t] {
      std::string ext = kRegistrationOrder[t];
      for (int i = 0; i < 200; ++i) {
        std::string data = "S" + ext;
        ByteStream s(Bytes(data.begin(), data.end()));
        TFileFormatReader* r = FindFileFormatReader(&s, "");
        if (!r || r->GetExtension() != ext) ++wrong;
      }
    });
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(ReaderExtensions()[2], "jif");
}

// ---- choosing a reader

TEST(FindFileFormatReader, TheSignatureWinsOverTheExtension) {
  ScopedFormatLists lists({New<TTestReader>("tga", ""), New<TBMPFileFormatReader>(), New<TDIBFileFormatReader>(),
                           New<TRLEFileFormatReader>()},
                          {});
  ByteStream bitmap(Bytes{'B', 'M', 0, 0});
  TFileFormatReader* r = FindFileFormatReader(&bitmap, "tga");
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->GetExtension(), "bmp") << "the first bitmap instance in sorted order";

  ByteStream targa(Bytes{0, 0, 2, 0, 0});
  for (const char* ext : {"tga", ".tga", "TGA", ".TGA"}) {
    r = FindFileFormatReader(&targa, ext);
    ASSERT_NE(r, nullptr) << ext;
    EXPECT_EQ(r->GetExtension(), "tga");
  }
  EXPECT_EQ(FindFileFormatReader(&targa, "dat"), nullptr);
  EXPECT_EQ(FindFileFormatReader(&targa, ""), nullptr);
  EXPECT_EQ(FindFileFormatReader(&targa, "bmp"), nullptr) << "readers with a signature are never chosen by extension";
}

TEST(FindFileFormatReader, LeavesThePositionAndZeroFillsAShortHeader) {
  auto* reader = New<TTestReader>("xy", "XY");
  ScopedFormatLists lists({reader}, {});
  ByteStream s(Bytes{'a', 'b', 'X', 'Y', 'z'});
  s.SetPosition(2);
  EXPECT_EQ(FindFileFormatReader(&s, ""), reader);
  EXPECT_EQ(s.GetPosition(), 2);
  EXPECT_EQ(reader->LastHeader[2], 'z');
  for (size_t i = 3; i < reader->LastHeader.size(); ++i) EXPECT_EQ(reader->LastHeader[i], 0) << i;

  s.SetPosition(5);  // at the end: nothing to read
  EXPECT_EQ(FindFileFormatReader(&s, ""), nullptr);
  EXPECT_EQ(s.GetPosition(), 5);
}

TEST(FindFileFormatReader, SwallowsEveryFailure) {
  auto* thrower = New<TTestReader>("aaa", "A");
  thrower->ThrowOnCheck = true;
  ScopedFormatLists lists({thrower, New<TTestReader>("bbb", "B")}, {});
  ByteStream s(Bytes{'B'});
  EXPECT_EQ(FindFileFormatReader(&s, ""), nullptr) << "a failing signature check ends the search";

  struct Broken : TStream {
    int64_t Read(void*, int64_t) override { throw EReadError("broken"); }
    int64_t Write(const void*, int64_t) override { return 0; }
    int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
  } broken;
  thrower->ThrowOnCheck = false;
  EXPECT_EQ(FindFileFormatReader(&broken, "bbb"), nullptr);

  TListOf<TFileFormatReader>* saved = FileFormatReaders;
  FileFormatReaders = nullptr;
  EXPECT_EQ(FindFileFormatReader(&s, ""), nullptr) << "no list: no reader";
  FileFormatReaders = saved;
}

// ---- choosing a writer

TEST(FindFileFormatWriter, ByLowerCaseExtensionWithOrWithoutDot) {
  {
    auto* jif = New<TTestWriter>("jif", "JPEG", 0);
    ScopedFormatLists lists({}, {New<TBMPFileFormatWriter>(), jif});
    EXPECT_EQ(FindFileFormatWriter(".JIF"), jif);
    EXPECT_EQ(FindFileFormatWriter(".BMP")->ClassName(), "TBMPFileFormatWriter");
    try {
      FindFileFormatWriter(".XyZ");
      ADD_FAILURE() << "no writer for xyz";
    } catch (const EPGUnknownExtension& e) {
      EXPECT_EQ(e.Message(), "Unknown file extension \"xyz\"");
    }
  }
  ScopedFormatLists empty({}, {});
  try {
    FindFileFormatWriter("bmp");
    ADD_FAILURE() << "an empty list";
  } catch (const EPGFileFormatWritersEmpty& e) {
    EXPECT_EQ(e.Message(), "FileFormatWriters is empty");
  }
}

// ---- descriptions

TEST(FileFormatInfo, FromAStream) {
  auto* reader = New<TTestReader>("xy", "XY");
  ScopedFormatLists lists({reader}, {});
  std::string description = "old", info1 = "old", info2 = "old", colors = "old";
  int width = -1, height = -1, bitCount = -1, images = -1;
  ByteStream s(Bytes{'X', 'Y', 1, 2, 3, 4, 5, 6});
  s.SetPosition(0);
  EXPECT_TRUE(GetFileFormatInfoFromStream(&s, "", 0, description, info1, info2, width, height, colors, bitCount, images));
  EXPECT_EQ(description, "Test xy");
  EXPECT_EQ(info1, "first");
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 9);
  EXPECT_EQ(images, 1);
  EXPECT_EQ(s.GetPosition(), 0) << "GetInfo's reads are undone";

  reader->FailInfo = true;
  EXPECT_FALSE(GetFileFormatInfoFromStream(&s, "", 0, description, info1, info2, width, height, colors, bitCount, images));
  EXPECT_EQ(description, "Test xy") << "what was filled before the failure stays";
  EXPECT_EQ(width, 7);
  EXPECT_EQ(height, 0);
  EXPECT_EQ(s.GetPosition(), 0);

  ByteStream unknown(Bytes{'Q'});
  EXPECT_FALSE(
      GetFileFormatInfoFromStream(&unknown, "", 0, description, info1, info2, width, height, colors, bitCount, images));
  EXPECT_EQ(description, "");
  EXPECT_EQ(info1, "");
  EXPECT_EQ(width, 0);
  EXPECT_EQ(images, 0);
}

TEST(FileFormatInfo, FromAFile) {
  ScopedFormatLists lists;
  testsupport::TempDir dir;
  std::string description = "old", info1, info2, colors;
  int width = -1, height = -1, bitCount = -1, images = -1;
  EXPECT_FALSE(GetFileFormatInfo(dir.File("missing.bmp"), 0, description, info1, info2, width, height, colors, bitCount,
                                 images));
  EXPECT_EQ(description, "old") << "a missing file leaves the outputs alone";
  EXPECT_EQ(width, -1);
  EXPECT_FALSE(GetFileFormatInfo("", 0, description, info1, info2, width, height, colors, bitCount, images));

  ByteStream(Bytes{1, 2, 3}).SaveToFile(dir.File("junk.bmp"));
  EXPECT_FALSE(GetFileFormatInfo(dir.File("junk.bmp"), 0, description, info1, info2, width, height, colors, bitCount,
                                 images));
  EXPECT_EQ(description, "") << "an unknown file clears them";
  EXPECT_EQ(width, 0);

  ByteStream(bmptest::DIB::Info(5, 3, 8).Gray(256).File()).SaveToFile(dir.File("p.DIB"));
  EXPECT_TRUE(GetFileFormatInfo(dir.File("p.DIB"), 0, description, info1, info2, width, height, colors, bitCount,
                                images));
  EXPECT_EQ(description, "Bitmap");
  EXPECT_EQ(info1, "Windows, RGB");
  EXPECT_EQ(width, 5);
  EXPECT_EQ(colors, "256");
}

TEST(GetLowerFileExt, FromTheLastDotOfTheNamePart) {
  EXPECT_EQ(GetLowerFileExt("C:\\Pictures\\Holiday.Photo.JPG"), "jpg");
  EXPECT_EQ(GetLowerFileExt("C:\\Old.Pictures\\Holiday"), "");
  EXPECT_EQ(GetLowerFileExt("name."), "");
  EXPECT_EQ(GetLowerFileExt("a.TiFF"), "tiff");
}

// ---- colour resolutions

TEST(ColorResolution, OfAPictureByBitCountAndPalette) {
  struct Case {
    int BitCountNum;
    TPaletteIdent Ident;
    TPGColorResolution Expected;
  } cases[] = {{0, pBlackWhite, pgcrBlackWhite}, {0, pUnknown, pgcr2Colors},   {1, pGray16, pgcr16Gray},
               {1, pSys16, pgcr16SysColors},     {1, pGray4, pgcr16Colors},    {2, pGray256, pgcr256Gray},
               {2, pSpecial252, pgcr256Colors},  {3, pTrueColor, pgcrTrueColor}};
  for (const Case& c : cases) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->NewImage(2, 2, c.BitCountNum);
    if (c.Ident == pUnknown) {
      p->SetPaletteCount(2);
      p->SetPaletteEntry(1, MakeRGB(9, 9, 9));
    } else {
      p->SetPaletteIdent(c.Ident);
    }
    EXPECT_EQ(GetColorResolution(p.get()), c.Expected) << c.BitCountNum << " " << int(c.Ident);
  }
  EXPECT_EQ(ColorResolutionName(pgcrBlackWhite), "black and white");
  EXPECT_EQ(ColorResolutionName(pgcr16SysColors), "16 system colors");
  EXPECT_EQ(ColorResolutionName(pgcrTrueColor), "16.7 million colors");
}

TEST(ColorResolution, FallbackTakesTheFirstResolutionTheWriterStores) {
  for (int r = 0; r < 8; ++r) {
    EXPECT_EQ(PGColorResolutionFallback[r][0], r) << "a row starts with its own resolution";
    uint8_t seen = 0;
    for (TPGColorResolution c : PGColorResolutionFallback[r]) seen |= ColorResolutionBit(c);
    EXPECT_EQ(seen, 0xFF) << "row " << r << " names every resolution once";
  }
  const TPGColorResolutions jpeg = ColorResolutionBit(pgcr256Gray) | ColorResolutionBit(pgcrTrueColor);
  const TPGColorResolutions targa = ColorResolutionBit(pgcr256Colors) | ColorResolutionBit(pgcrTrueColor);
  EXPECT_EQ(FallbackColorResolution(pgcr16Gray, jpeg), pgcr256Gray);
  EXPECT_EQ(FallbackColorResolution(pgcr2Colors, targa), pgcr256Colors);
  EXPECT_EQ(FallbackColorResolution(pgcrBlackWhite, targa), pgcr256Colors);
  EXPECT_EQ(FallbackColorResolution(pgcrTrueColor, ColorResolutionBit(pgcrBlackWhite)), pgcrBlackWhite);
  EXPECT_EQ(FallbackColorResolution(pgcr256Gray, 0), std::nullopt);

  TTestWriter none("xx", "Nothing", 0);
  try {
    ChooseColorResolution(&none, pgcrTrueColor);
    ADD_FAILURE() << "an empty set";
  } catch (const EPGCanWriteResolutionsEmpty& e) {
    EXPECT_EQ(e.Message(), "TTestWriter.CanWriteResolutions is empty");
  }
  TTestWriter pgm("pgm", "Portable Graymap", ColorResolutionBit(pgcr256Gray));
  EXPECT_EQ(ChooseColorResolution(&pgm, pgcr16Colors), pgcr256Gray);
}

// ---- warnings

TEST(Warnings, TheFourActionsOfALibraryWarning) {
  {
    testsupport::MessageBoxRecorder boxes(IDOK);
    EXPECT_NO_THROW(PGWarning<EPGJPGFileFormatReaderWriter>(pgwaIgnore, "JPG", "JPG: ", "Corrupt data"));
    EXPECT_TRUE(boxes.Calls.empty());
    EXPECT_NO_THROW(PGWarning<EPGJPGFileFormatReaderWriter>(pgwaOKBox, "JPG", "JPG: ", "Corrupt data"));
    EXPECT_NO_THROW(PGWarning<EPGJPGFileFormatReaderWriter>(pgwaOKCancelBox, "JPG", "JPG: ", "Corrupt data"));
    ASSERT_EQ(boxes.Calls.size(), 2u);
    EXPECT_EQ(boxes.Calls[0].Kind, classlib::TMessageBoxKind::ApplicationMessageBox);
    EXPECT_EQ(boxes.Calls[0].Text, "Corrupt data");
    EXPECT_EQ(boxes.Calls[0].Caption, "JPG Warning");
    EXPECT_EQ(boxes.Calls[0].Flags, UINT(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(boxes.Calls[1].Flags, UINT(MB_ICONWARNING | MB_OKCANCEL));
  }
  testsupport::MessageBoxRecorder cancel(IDCANCEL);
  try {
    PGWarning<EPGPNGFileFormatReaderWriter>(pgwaOKCancelBox, "PNG", "PNG: ", "bad chunk");
    ADD_FAILURE() << "Cancel aborts";
  } catch (const EPGPNGFileFormatReaderWriter& e) {
    EXPECT_EQ(e.Message(), "PNG: Operation aborted on user request");
  }
  EXPECT_EQ(cancel.Calls.at(0).Caption, "PNG Warning");
  try {
    PGWarning<EPGPNGFileFormatReaderWriter>(pgwaRaise, "PNG", "PNG: ", "bad chunk");
    ADD_FAILURE() << "raise";
  } catch (const EPGPNGFileFormatReaderWriter& e) {
    EXPECT_EQ(e.Message(), "PNG: bad chunk");
  }
  EXPECT_EQ(cancel.Calls.size(), 1u) << "raising asks nothing";
}

TEST(Warnings, AForcedColourResolutionChange) {
  TTestWriter pbm("pbm", "Portable Bitmap", ColorResolutionBit(pgcrBlackWhite));
  const std::string question =
      "The graphic cannot be saved to a Portable Bitmap file with the current color resolution (16.7 million colors)."
      "\r\rThe graphic will be saved with a different color resolution (black and white).";
  const std::string refusal =
      "The graphic cannot be saved with to a Portable Bitmap file with the current color resolution (16.7 million colors)";
  {
    testsupport::MessageBoxRecorder boxes(mrOk);
    ConfirmColorResolutionChange(pgwaIgnore, &pbm, pgcrTrueColor, pgcrBlackWhite);
    ConfirmColorResolutionChange(pgwaOKBox, &pbm, pgcrTrueColor, pgcrBlackWhite);
    ConfirmColorResolutionChange(pgwaOKCancelBox, &pbm, pgcrTrueColor, pgcrBlackWhite);
    ASSERT_EQ(boxes.Calls.size(), 2u);
    EXPECT_EQ(boxes.Calls[0].Kind, classlib::TMessageBoxKind::MessageDlg);
    EXPECT_EQ(boxes.Calls[0].Text, question);
    EXPECT_EQ(boxes.Calls[0].Caption, "Warning");
    EXPECT_EQ(boxes.Calls[0].Flags, UINT(MB_ICONWARNING | MB_OK));
    EXPECT_EQ(boxes.Calls[1].Flags, UINT(MB_ICONWARNING | MB_OKCANCEL));
  }
  testsupport::MessageBoxRecorder boxes(mrCancel);
  for (TPGWarningAction action : {pgwaOKCancelBox, pgwaRaise}) {
    try {
      ConfirmColorResolutionChange(action, &pbm, pgcrTrueColor, pgcrBlackWhite);
      ADD_FAILURE() << "refused";
    } catch (const EPGCannotWriteColorRes& e) {
      EXPECT_EQ(e.Message(), refusal);
    }
  }
  EXPECT_EQ(boxes.Calls.size(), 1u);
  EXPECT_NO_THROW(ConfirmColorResolutionChange(pgwaOKBox, &pbm, pgcrTrueColor, pgcrBlackWhite))
      << "an OK-only box cannot refuse";
}
