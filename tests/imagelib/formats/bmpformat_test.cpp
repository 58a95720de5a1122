#include <gtest/gtest.h>

#include <cstring>

#include "imagelib/formats/PGBMPFormat.h"
#include "tests/imagelib/bmp_builder.h"

using namespace imagelib;
using bmptest::Bytes;
using bmptest::ByteStream;
using bmptest::DIB;

namespace {

uint32_t Get32(const Bytes& B, size_t At) {
  return uint32_t(B[At]) | (uint32_t(B[At + 1]) << 8) | (uint32_t(B[At + 2]) << 16) | (uint32_t(B[At + 3]) << 24);
}

struct Info {
  std::string Info1 = "x", Info2 = "x", Colors = "x";
  int Width = -1, Height = -1, BitCount = -1, ImageCount = -1;
};

Info InfoOf(const Bytes& File, int Index = 0) {
  TBMPFileFormatReader reader;
  ByteStream s(File);
  Info i;
  reader.GetInfo(&s, Index, i.Info1, i.Info2, i.Width, i.Height, i.Colors, i.BitCount, i.ImageCount);
  return i;
}

std::string InfoRefusal(const Bytes& File, int Index = 0) {
  try {
    InfoOf(File, Index);
  } catch (const EPixelGraphic& e) {
    return e.Message();
  }
  return "";
}

TOwned<TPixelGraphic> ReadFile(const Bytes& File, int Index = 0) {
  TRLEFileFormatReader reader;  // the three readers behave alike
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  ByteStream s(File);
  reader.Read(&s, p.get(), Index);
  return p;
}

std::string ReadRefusal(const Bytes& File, int Index = 0) {
  try {
    ReadFile(File, Index);
  } catch (const EPixelGraphic& e) {
    return e.Message();
  }
  return "";
}

Bytes Written(TPixelGraphic* P) {
  TDIBFileFormatWriter writer;
  ByteStream s({});
  writer.Write(&s, P);
  return s.Contents();
}

}  // namespace

TEST(BMPFormat, ClassesAndSignature) {
  TBMPFileFormatReader bmp;
  TDIBFileFormatReader dib;
  TRLEFileFormatReader rle;
  for (TFileFormatReader* r : std::initializer_list<TFileFormatReader*>{&bmp, &dib, &rle}) {
    EXPECT_EQ(r->GetDescription(), "Bitmap");
    EXPECT_TRUE(r->GetHasSignature());
    EXPECT_TRUE(r->GetListed());
  }
  EXPECT_EQ(bmp.GetExtension(), "bmp");
  EXPECT_EQ(dib.GetExtension(), "dib");
  EXPECT_EQ(rle.GetExtension(), "rle");
  TBMPFileFormatWriter wbmp;
  TDIBFileFormatWriter wdib;
  EXPECT_EQ(wbmp.GetExtension(), "bmp");
  EXPECT_TRUE(wbmp.GetListed());
  EXPECT_EQ(wdib.GetExtension(), "dib");
  EXPECT_FALSE(wdib.GetListed());
  EXPECT_EQ(wdib.GetDescription(), "Bitmap");
  EXPECT_EQ(wdib.GetCanWriteResolutions(), PGAllColorResolutions);
  EXPECT_FALSE(wdib.GetMultiImage());
  EXPECT_EQ(wdib.ClassName(), "TDIBFileFormatWriter");

  TFileFormatHeader h{};
  h[0] = 'B', h[1] = 'M';
  EXPECT_TRUE(rle.CheckSignature(h));
  h[1] = 'A';
  EXPECT_FALSE(bmp.CheckSignature(h));
  h[0] = 'b', h[1] = 'm';
  EXPECT_FALSE(bmp.CheckSignature(h));
}

TEST(BMPFormat, ReadsBothHeaderKindsBehindTheFileHeader) {
  auto os2 = ReadFile(DIB::Core(2, 1, 4).Gray(16).Row({0x3C}).File());
  EXPECT_EQ(os2->GetBitCount(), 4);
  EXPECT_EQ(os2->GetPixel(1, 0), 12);
  auto win = ReadFile(DIB::Info(2, 2, 8, 1).Gray(256).Data({0x02, 0x04, 0x00, 0x00, 0x01, 0x05, 0x00, 0x01}).File());
  EXPECT_EQ(win->GetPixel(1, 1), 4);
  EXPECT_EQ(win->GetPixel(0, 0), 5);
  EXPECT_EQ(win->GetPaletteEntry(5), MakeRGB(5, 5, 5));
}

TEST(BMPFormat, RefusesOtherHeadersAndIndexes) {
  const std::string size = "BMP: Invalid size of BitmapInfoHeader/BitmapCoreHeader";
  for (uint32_t headerSize : {108u, 124u, 64u, 16u, 0u}) {
    Bytes file = DIB::Info(1, 1, 24).HeaderSize(headerSize).Row({1, 2, 3}).File();
    EXPECT_EQ(ReadRefusal(file), size) << headerSize;
    EXPECT_EQ(InfoRefusal(file), size) << headerSize;
  }
  for (size_t cut : {2u, 15u}) {  // inside the file header, inside the header size behind it
    Bytes file = DIB::Info(1, 1, 24).Row({1, 2, 3}).File();
    file.resize(cut);
    EXPECT_EQ(ReadRefusal(file), "BMP: Unexpected end of file") << cut;
    EXPECT_EQ(InfoRefusal(file), "BMP: Unexpected end of file") << cut;
  }

  Bytes good = DIB::Info(1, 1, 24).Row({1, 2, 3}).File();
  EXPECT_EQ(ReadRefusal(good, 1), "BMP: Index invalid");
  EXPECT_EQ(InfoRefusal(good, 1), "BMP: Invalid value for Index");
  EXPECT_EQ(ReadRefusal(good), "");
}

TEST(BMPFormat, HonoursAPixelOffsetThatLeavesAGap) {
  Bytes file = DIB::Info(2, 1, 8).Gray(256).Row({7, 9}).File(6);
  auto p = ReadFile(file);
  EXPECT_EQ(p->GetPixel(0, 0), 7);
  EXPECT_EQ(p->GetPixel(1, 0), 9);

  // The same file further into a stream: the offset counts from the file's start.
  Bytes inStream(10, 0xAB);
  inStream.insert(inStream.end(), file.begin(), file.end());
  TBMPFileFormatReader reader;
  TOwned<TPixelGraphic> q(New<TPixelGraphic>());
  ByteStream s(inStream);
  s.SetPosition(10);
  reader.Read(&s, q.get(), 0);
  EXPECT_EQ(q->GetPixel(1, 0), 9);
}

TEST(BMPFormat, InfoDescribesTheHeaders) {
  Info top = InfoOf(DIB::Info(640, -480, 24).File());
  EXPECT_EQ(top.Info1, "Windows, RGB, Top-Down");
  EXPECT_EQ(top.Info2, "");
  EXPECT_EQ(top.Width, 640);
  EXPECT_EQ(top.Height, -480);
  EXPECT_EQ(top.Colors, "16.7M");
  EXPECT_EQ(top.BitCount, 24);
  EXPECT_EQ(top.ImageCount, 1);

  Info os2 = InfoOf(DIB::Core(30, 20, 8).File());
  EXPECT_EQ(os2.Info1, "OS/2");
  EXPECT_EQ(os2.Colors, "256");
  EXPECT_EQ(os2.Height, 20);

  struct Case {
    DIB D;
    std::string Info1, Colors;
  } cases[] = {{DIB::Info(1, 1, 16, 3).Masks(0xF800, 0x07E0, 0x1F), "Windows", "64K"},
               {DIB::Info(1, 1, 4, 2), "Windows, RLE4", "16"},
               {DIB::Info(1, 1, 8, 1), "Windows, RLE8", "256"},
               {DIB::Info(1, 1, 1), "Windows, RGB", "2"},
               {DIB::Info(1, 1, 32), "Windows, RGB", "16.7M"},
               {DIB::Core(1, 1, 1), "OS/2", "2"}};
  for (const Case& c : cases) {
    Info i = InfoOf(c.D.File());
    EXPECT_EQ(i.Info1, c.Info1);
    EXPECT_EQ(i.Colors, c.Colors) << c.Info1;
  }
}

// One header reader serves loading a file, describing it and reading a packed bitmap: each header
// fault is refused by all three, with the same text.
TEST(BMPFormat, HeaderFaultsAreRefusedAlikeByReadGetInfoAndThePackedBitmap) {
  const std::string compression = "BMP: BitmapInfoHeader.biCompression invalid", eof = "BMP: Unexpected end of file";
  struct Case {
    DIB D;
    std::string Text;
    size_t CutTo = SIZE_MAX;  // header bytes the stream still holds
  } cases[] = {
      {DIB::Core(1, 1, 8).Planes(2), "BMP: BitmapCoreHeader.bcPlanes invalid"},
      {DIB::Core(1, 1, 16), "BMP: BitmapCoreHeader.bcBitCount invalid"},  // no 16 bits in a core header
      {DIB::Core(1, 1, 2), "BMP: BitmapCoreHeader.bcBitCount invalid"},
      {DIB::Info(1, 1, 8).Planes(0), "BMP: BitmapInfoHeader.biPlanes invalid"},
      {DIB::Info(1, 1, 2), "BMP: BitmapInfoHeader.biBitCount invalid"},
      {DIB::Info(1, 1, 64), "BMP: BitmapInfoHeader.biBitCount invalid"},
      {DIB::Info(1, -1, 8, 1), compression},  // run-length data are bottom-up only
      {DIB::Info(1, -1, 4, 2), compression},
      {DIB::Info(1, 1, 4, 1), compression},  // RLE8 needs 8 bits
      {DIB::Info(1, 1, 8, 2), compression},  // RLE4 needs 4 bits
      {DIB::Info(1, 1, 24, 3), compression},  // bit fields need 16 or 32 bits
      {DIB::Info(1, 1, 24, 4), compression},  // JPEG data
      {DIB::Info(1, 1, 32, 6), compression},
      {DIB::Info(1, 1, 16, 3).Masks(0xF800, 0x07E0, 0), compression},  // a channel without bits
      {DIB::Info(1, INT32_MIN, 24), "BMP: BitmapInfoHeader.biHeight invalid"},
      {DIB::Info(1, 1, 8).ClrUsed(300), "BMP: BitmapInfoHeader.biClrUsed invalid"},
      {DIB::Info(1, 1, 1).ClrUsed(3), "BMP: BitmapInfoHeader.biClrUsed invalid"},
      {DIB::Info(1, 1, 8).ClrUsed(0xFFFFFFFF), "BMP: BitmapInfoHeader.biClrUsed invalid"},
      {DIB::Info(-1, 1, 24), "Negative width"},
      {DIB::Info(60000, 60000, 24), "CreateDIBSection failed"},
      {DIB::Core(65535, 65535, 24), "CreateDIBSection failed"},
      // Headers cut short are refused, never read as zeros.
      {DIB::Info(1, 1, 8), eof, 0},
      {DIB::Info(1, 1, 8), eof, 2},
      {DIB::Info(1, 1, 8), eof, 39},
      {DIB::Core(1, 1, 8), eof, 11},
      {DIB::Info(1, 1, 16, 3).Masks(0xF800, 0x07E0, 0x1F), eof, 46},  // the masks belong to the header
  };
  for (const Case& c : cases) {
    Bytes file = c.D.File(), block = c.D.Block();
    if (c.CutTo != SIZE_MAX) file.resize(14 + c.CutTo), block.resize(c.CutTo);
    const bool core = block.size() >= 4 && block[0] == 12;
    std::string blockRefusal;
    try {
      TOwned<TPixelGraphic> p(New<TPixelGraphic>());
      ByteStream s(block);
      p->ReadDIB(&s, core);
    } catch (const EPixelGraphic& e) {
      blockRefusal = e.Message();
    }
    EXPECT_EQ(ReadRefusal(file), c.Text) << testing::PrintToString(block);
    EXPECT_EQ(InfoRefusal(file), c.Text) << testing::PrintToString(block);
    EXPECT_EQ(blockRefusal, c.Text) << testing::PrintToString(block);
  }
}

TEST(BMPFormat, WritesTheFileHeaderInFrontOfThePackedBitmap) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(10, 10, 0);
  p->SetPaletteIdent(pBlackWhite);
  p->SetPixel(3, 4, 1);
  Bytes file = Written(p.get());
  ASSERT_EQ(file.size(), 102u);
  EXPECT_EQ(file[0], 'B');
  EXPECT_EQ(file[1], 'M');
  EXPECT_EQ(Get32(file, 2), 102u) << "bfSize: the file's length";
  EXPECT_EQ(Get32(file, 6), 0u) << "both reserved words";
  EXPECT_EQ(Get32(file, 10), 62u) << "bfOffBits";
  EXPECT_EQ(Get32(file, 14), 40u);

  auto q = ReadFile(file);
  EXPECT_EQ(q->GetPixel(3, 4), 1);
  EXPECT_EQ(q->GetPixel(4, 4), 0);
  q->UpdatePaletteIdent();
  EXPECT_EQ(q->GetPaletteIdent(), pBlackWhite);

  // An indexed picture without a palette: the offset counts the full table that is written.
  TOwned<TPixelGraphic> bare(New<TPixelGraphic>());
  bare->NewImage(1, 1, 1);
  Bytes b = Written(bare.get());
  EXPECT_EQ(Get32(b, 10), 54u + 64);
  EXPECT_EQ(Get32(b, 2), b.size());
}

TEST(BMPFormat, AStreamFailureOnWritingPropagates) {
  struct Full : TCustomMemoryStream {
    explicit Full(void* P, int64_t N) { SetPointer(P, N); }
  };
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(2, 2, 3);
  uint8_t buffer[10];
  Full s(buffer, sizeof buffer);
  TBMPFileFormatWriter writer;
  EXPECT_THROW(writer.Write(&s, p.get()), EWriteError);
}
