#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/testing.h"
#include "imagelib/PGCursors.h"
#include "imagelib/PGExceptions.h"
#include "imagelib/PGRecordSizes.h"

using namespace imagelib;

namespace {
// The two planes of a cursor as text: '.' transparent, '#' black, 'o' white, '~' inverted.
std::vector<std::string> Planes(HCURSOR Cursor, int& HotX, int& HotY) {
  std::vector<std::string> rows(32, std::string(32, '?'));
#ifdef _WIN32
  ICONINFO info{};
  if (!GetIconInfo(Cursor, &info)) return {};
  HotX = int(info.xHotspot);
  HotY = int(info.yHotspot);
  uint8_t bits[4 * 64] = {};  // the AND plane above the XOR plane, one bit per pixel
  GetBitmapBits(info.hbmMask, sizeof bits, bits);
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  const uint8_t* andPlane = bits;
  const uint8_t* xorPlane = bits + 128;
#else
  const uint8_t *andPlane = nullptr, *xorPlane = nullptr;
  if (!classlib::testing::NativeCursorInfo(Cursor, HotX, HotY, andPlane, xorPlane)) return {};
#endif
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) {
      bool a = andPlane[y * 4 + x / 8] & (0x80 >> (x % 8)), b = xorPlane[y * 4 + x / 8] & (0x80 >> (x % 8));
      rows[size_t(y)][size_t(x)] = a ? (b ? '~' : '.') : (b ? 'o' : '#');
    }
  return rows;
}

size_t WrongSize() { return 3; }
}  // namespace

TEST(PGCursors, TheCrossHairIsDashedAsDrawn) {
  int hx = -1, hy = -1;
  std::vector<std::string> rows = Planes(PGCursorCrossDashed, hx, hy);
  ASSERT_EQ(rows.size(), 32u);
  EXPECT_EQ(hx, 15);
  EXPECT_EQ(hy, 15);
  EXPECT_EQ(rows[15], "###ooo###ooo##...##ooo###ooo###.");
  for (int y = 0; y < 32; ++y) {
    char expected = rows[15][size_t(y)];
    EXPECT_EQ(rows[size_t(y)][15], expected) << "column 15 mirrors row 15 at " << y;
    for (int x = 0; x < 32; ++x) {
      if (x == 15 || y == 15) continue;
      ASSERT_EQ(rows[size_t(y)][size_t(x)], '.') << x << "," << y;
    }
  }
}

TEST(PGCursors, EveryCursorExistsWithItsHotSpot) {
  struct Case {
    HCURSOR Cursor;
    int X, Y;
  } cases[] = {{PGCursorHandOpen, 16, 12}, {PGCursorHandClosed, 16, 12}, {PGCursorMove, 16, 15}};
  for (const Case& c : cases) {
    int hx = -1, hy = -1;
    std::vector<std::string> rows = Planes(c.Cursor, hx, hy);
    ASSERT_EQ(rows.size(), 32u);
    EXPECT_EQ(hx, c.X);
    EXPECT_EQ(hy, c.Y);
    std::string all;
    for (const std::string& r : rows) all += r;
    EXPECT_NE(all.find('#'), std::string::npos) << "a black outline";
    EXPECT_NE(all.find('o'), std::string::npos) << "a white body";
  }
  int hx, hy;
  EXPECT_EQ(Planes(PGCursorMove, hx, hy)[15][16], '#') << "the shafts cross at the hot spot";
}

TEST(CheckRecordSizes, TheLinkedLibrariesMatchAndAWrongSizeIsNamed) {
  EXPECT_NO_THROW(CheckRecordSizes());
  const TPGRecordSize table[] = {{"png_color", 3, [] { return size_t(3); }}, {"png_text", 16, WrongSize}};
  try {
    CheckRecordSizes(table, 2);
    FAIL();
  } catch (const EPixelGraphic& e) {
    EXPECT_EQ(e.Message(), "png_text: the size in the compiled library (3) differs from the declared size (16)");
  }
}
