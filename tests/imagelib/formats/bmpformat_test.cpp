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
  } catch (const EPGBMPFileFormatReader& e) {
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
  EXPECT_EQ(ReadRefusal(Bytes{'B', 'M'}), size) << "a file cut inside its file header";
  // Two bytes of a header size are 40; the header behind them reads as zeros.
  EXPECT_EQ(ReadRefusal(Bytes{'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 40, 0}),
            "BMP: BitmapInfoHeader.biPlanes invalid");

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
  } cases[] = {{DIB::Info(1, 1, 16, 3), "Windows", "64K"},     {DIB::Info(1, 1, 4, 2), "Windows, RLE4", "16"},
               {DIB::Info(1, 1, 8, 1), "Windows, RLE8", "256"}, {DIB::Info(1, 1, 1), "Windows, RGB", "2"},
               {DIB::Info(1, 1, 32), "Windows, RGB", "16.7M"},  {DIB::Core(1, 1, 1), "OS/2", "2"}};
  for (const Case& c : cases) {
    Info i = InfoOf(c.D.File());
    EXPECT_EQ(i.Info1, c.Info1);
    EXPECT_EQ(i.Colors, c.Colors) << c.Info1;
  }

  EXPECT_EQ(InfoRefusal(DIB::Info(1, -1, 8, 1).File()), "BMP: BitmapInfoHeader.biCompression invalid");
  EXPECT_EQ(InfoRefusal(DIB::Info(1, 1, 8).Planes(3).File()), "BMP: BitmapInfoHeader.biPlanes invalid");
  EXPECT_EQ(InfoRefusal(DIB::Info(1, 1, 7).File()), "BMP: BitmapInfoHeader.biBitCount invalid");
  EXPECT_EQ(InfoRefusal(DIB::Core(1, 1, 1).Planes(0).File()), "BMP: BitmapCoreHeader.bcPlanes invalid");
  EXPECT_EQ(InfoRefusal(DIB::Core(1, 1, 32).File()), "BMP: BitmapCoreHeader.bcBitCount invalid");
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
