// TBitmap's BMP files: every header kind and bit count GDI knows is read, every field a file can
// lie in is checked before use, and a refused file leaves the bitmap as it was.
#include <gtest/gtest.h>

#include "classlib/bitmap.h"
#include "classlib/exceptions.h"
#include "tests/imagelib/bmp_builder.h"

using namespace classlib;
using bmptest::Bytes;
using bmptest::ByteStream;
using bmptest::DIB;

namespace {
uint32_t PixelOf(TBitmap& B, int X, int Y) {
  const uint8_t* p = B.GetScanLine(Y) + 3 * X;
  return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

void Load(TBitmap& B, const Bytes& File) {
  ByteStream stream(File);
  B.LoadFromStream(&stream);
}
}  // namespace

TEST(BitmapFile, ReadsEveryKind) {
  struct {
    const char* Name;
    Bytes File;
    int Width, Height;
    std::vector<std::tuple<int, int, uint32_t>> Pixels;  // x, y (0 = top), 0xRRGGBB
  } cases[] = {
      {"24 bits bottom-up", DIB::Info(2, 2, 24).Row({1, 2, 3, 4, 5, 6}).Row({7, 8, 9, 10, 11, 12}).File(), 2, 2,
       {{0, 0, 0x090807}, {1, 1, 0x060504}}},
      {"24 bits top-down", DIB::Info(2, -2, 24).Row({1, 2, 3, 4, 5, 6}).Row({7, 8, 9, 10, 11, 12}).File(), 2, 2,
       {{0, 0, 0x030201}, {1, 1, 0x0C0B0A}}},
      {"8 bits, two colours used", DIB::Info(3, 1, 8).ClrUsed(2).Color(255, 0, 0).Color(0, 0, 255).Row({1, 0, 1}).File(),
       3, 1, {{0, 0, 0x0000FF}, {1, 0, 0xFF0000}}},
      {"1 bit behind a core header", DIB::Core(9, 1, 1).Color(0, 0, 0).Color(255, 255, 255).Row({0x80, 0x80}).File(), 9,
       1, {{0, 0, 0xFFFFFF}, {1, 0, 0}, {8, 0, 0xFFFFFF}}},
      {"run lengths of 8 bits",
       DIB::Info(4, 2, 8, BI_RLE8).ClrUsed(3).Gray(3).Data({4, 2, 0, 0, 2, 1, 2, 0, 0, 1}).File(), 4, 2,
       {{0, 1, 0x020202}, {3, 1, 0x020202}, {0, 0, 0x010101}, {3, 0, 0}}},
      {"a gap before the pixels", DIB::Info(1, 1, 24).Row({9, 8, 7}).File(5), 1, 1, {{0, 0, 0x070809}}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TBitmap b;
    ASSERT_NO_THROW(Load(b, c.File));
    ASSERT_EQ(b.GetWidth(), c.Width);
    ASSERT_EQ(b.GetHeight(), c.Height);
    for (auto [x, y, rgb] : c.Pixels) EXPECT_EQ(PixelOf(b, x, y), rgb) << x << ", " << y;
  }
}

TEST(BitmapFile, RefusesWhatDoesNotAddUp) {
  Bytes good = DIB::Info(2, 2, 24).Row({1, 2, 3, 4, 5, 6}).Row({7, 8, 9, 10, 11, 12}).File();
  auto patched = [&](size_t At, std::initializer_list<uint8_t> Bytes_) {
    Bytes b = good;
    std::copy(Bytes_.begin(), Bytes_.end(), b.begin() + long(At));
    return b;
  };
  struct {
    const char* Why;
    Bytes File;
  } cases[] = {
      {"no BM signature", patched(0, {'M', 'B'})},
      {"a header of no known size", DIB::Info(2, 2, 24).HeaderSize(20).Row({1, 2, 3, 4, 5, 6}).Row({1, 2, 3}).File()},
      {"two planes", DIB::Info(1, 1, 24).Planes(2).Row({1, 2, 3}).File()},
      {"no width", DIB::Info(0, 1, 24).Row({1, 2, 3}).File()},
      {"no height", DIB::Info(1, 0, 24).Row({1, 2, 3}).File()},
      {"the lowest height, whose rows cannot be counted", DIB::Info(1, INT32_MIN, 24).Row({1, 2, 3}).File()},
      {"7 bits a pixel", DIB::Info(1, 1, 7).Row({1}).File()},
      {"run lengths of 8 bits on 24-bit pixels", DIB::Info(1, 1, 24, BI_RLE8).Data({1, 1, 0, 1}).File()},
      {"run lengths upside down", DIB::Info(1, -1, 8, BI_RLE8).ClrUsed(2).Gray(2).Data({1, 1, 0, 1}).File()},
      {"300 colours for 8 bits", DIB::Info(1, 1, 8).ClrUsed(300).Gray(256).Row({0}).File()},
      {"rows missing at the end", Bytes(good.begin(), good.end() - 4)},
      {"pixels beyond the file", patched(10, {0xFF, 0xFF, 0, 0})},
      {"a colour table past the end", DIB::Info(1, 1, 8).Gray(2).File()},
      {"a size beyond what a bitmap may hold", DIB::Info(100000, 100000, 24).Row({1, 2, 3}).File()},
      {"run lengths longer than the file", DIB::Info(2, 1, 8, BI_RLE8).ClrUsed(2).Gray(2).SizeImage(400).Data({2, 1, 0, 1}).File()},
      {"only a file header", Bytes(good.begin(), good.begin() + 16)},
  };
  for (auto& c : cases) {
    TBitmap b;
    b.SetSize(3, 2);
    b.GetScanLine(0)[0] = 0x42;
    try {
      Load(b, c.File);
      ADD_FAILURE() << c.Why << ": read";
    } catch (const EInvalidGraphic& e) {
      EXPECT_EQ(e.Message(), "Bitmap image is not valid") << c.Why;
    }
    EXPECT_EQ(b.GetWidth(), 3) << c.Why;
    EXPECT_EQ(b.GetScanLine(0)[0], 0x42) << c.Why << ": the bitmap is as it was";
  }
}

TEST(BitmapFile, SavedFileReadsBackExactly) {
  TBitmap b;
  b.SetSize(47, 33);  // rows of 141 bytes, padded to 144
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x) {
      uint8_t* p = b.GetScanLine(y) + 3 * x;
      p[0] = uint8_t(x * 5), p[1] = uint8_t(y * 7), p[2] = uint8_t(x ^ y);
    }
  TMemoryStream saved;
  b.SaveToStream(&saved);
  ASSERT_EQ(saved.GetSize(), 54 + 33 * 144);
  saved.SetPosition(0);
  TBitmap read;
  read.LoadFromStream(&saved);
  ASSERT_EQ(read.GetWidth(), 47);
  ASSERT_EQ(read.GetHeight(), 33);
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x) ASSERT_EQ(PixelOf(read, x, y), PixelOf(b, x, y)) << x << ", " << y;
}
