#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/testing.h"
#include "imagelib/PGCanvasList.h"
#include "imagelib/PGCursors.h"
#include "imagelib/PGDither.h"
#include "imagelib/PGExceptions.h"
#include "imagelib/PGInit.h"
#include "imagelib/PGMessages.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGBMPFormat.h"
#include "imagelib/formats/PGRecordSizes.h"

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

namespace {
// Counts how often instances of it are freed.
int gFreedReaders = 0;
class TCountedReader : public TFileFormatReader {
 public:
  TCountedReader() { Extension = "zzz"; }
  ~TCountedReader() override { ++gFreedReaders; }
};

std::vector<std::string> Extensions(TList* List) {
  std::vector<std::string> names;
  for (int i = 0; i < List->GetCount(); ++i)
    names.push_back(static_cast<TFileFormatReaderWriter*>(List->GetItem(i))->GetExtension());
  return names;
}

// Restarts the library for a test, and leaves it started with the real checks afterwards.
struct Restart {
  Restart() { FinalizePGraphicUnit(); }
  ~Restart() {
    imagelib::testing::SetPGStartupChecks({});
    InitPGraphicUnit();
  }
};
}  // namespace

TEST(InitPGraphicUnit, FillsTheListsInTheirOrderAndTheOptions) {
  Restart restart;
  InitPGraphicUnit();
  ASSERT_TRUE(PGraphicUnitStarted());
  EXPECT_EQ(Extensions(FileFormatReaders),
            (std::vector<std::string>{"bmp", "dib", "rle", "jpg", "jpeg", "jif", "png", "pcx", "pbm", "pgm", "ppm", "tga", "tif", "tiff"}));
  EXPECT_EQ(Extensions(FileFormatWriters),
            (std::vector<std::string>{"bmp", "dib", "jpg", "jpeg", "jif", "png", "pbm", "pgm", "ppm", "tga", "tif", "tiff"}));
  EXPECT_EQ(FileFormatReaders->GetItem(0)->ClassName(), "TBMPFileFormatReader");
  EXPECT_EQ(FileFormatReaders->GetItem(5)->ClassName(), "TJIFFileFormatReader");
  EXPECT_EQ(FileFormatWriters->GetItem(1)->ClassName(), "TDIBFileFormatWriter");
  EXPECT_EQ(FileFormatWriters->GetItem(5)->ClassName(), "TPNGFileFormatWriter");
  ASSERT_NE(PGCanvasList, nullptr);
  EXPECT_EQ(PGCanvasList->GetCount(), 0);
  EXPECT_NE(DefaultBMPFileFormatReader, nullptr);
  EXPECT_NE(DefaultBMPFileFormatWriter, nullptr);
  EXPECT_EQ(PGLanguage, 0);
  EXPECT_EQ(PGDialogFont, nullptr);
  EXPECT_EQ(PGDialogLogFont.lfHeight, 8);
  EXPECT_EQ(PGDialogLogFont.lfWeight, 400);
  EXPECT_EQ(PGDialogLogFont.lfCharSet, 1);
  EXPECT_STREQ(PGDialogLogFont.lfFaceName, "MS Sans Serif");
  EXPECT_EQ(PGDisplayGamma, 1.8L) << "exactly the extended value nearest to 1.8";
  EXPECT_EQ(PGJPGQuality, 80);
  EXPECT_EQ(PGJPGWriteDCTMethod, 2);
  EXPECT_TRUE(PGDIB16BitScaling);
  EXPECT_EQ(PGTIFFMaxImages, 1000);
  EXPECT_EQ(PGTIFFXResolution.Numerator, 300);
  EXPECT_EQ(PGClampTable[300], 255);
}

TEST(InitPGraphicUnit, ASecondStartChangesNothing) {
  auto* readers = FileFormatReaders;
  HCURSOR move = PGCursorMove;
  InitPGraphicUnit();
  EXPECT_EQ(FileFormatReaders, readers);
  EXPECT_EQ(PGCursorMove, move);
}

TEST(InitPGraphicUnit, EachFailedCheckStopsTheStartAndLeavesNothing) {
  Restart restart;
  std::vector<TPGLangStrEntry> table(PGLangStrEntries, PGLangStrEntries + PGLangStrCount);
  std::swap(table[1], table[2]);
  TPGStartupChecks order;
  order.LangStrEntries = table.data();
  order.LangStrCount = int(table.size());
  const TPGRecordSize sizes[] = {{"jpeg_error_mgr", 132, [] { return size_t(168); }}};
  TPGStartupChecks records;
  records.RecordSizes = sizes;
  records.RecordSizeCount = 1;
  struct Case {
    TPGStartupChecks Checks;
    const char* Message;
  } cases[] = {{order, "PGLangStrEntries order wrong 1 and 2 are not identical"},
               {records, "jpeg_error_mgr: the size in the compiled library (168) differs from the declared size (132)"}};
  for (const Case& c : cases) {
    imagelib::testing::SetPGStartupChecks(c.Checks);
    try {
      InitPGraphicUnit();
      FAIL();
    } catch (const EPixelGraphic& e) {
      EXPECT_EQ(e.Message(), c.Message);
    }
    EXPECT_FALSE(PGraphicUnitStarted());
    EXPECT_EQ(FileFormatReaders, nullptr);
    EXPECT_EQ(PGCanvasList, nullptr);
    EXPECT_EQ(PGCursorHandOpen, nullptr);
    EXPECT_EQ(DefaultBMPFileFormatWriter, nullptr);
  }
}

TEST(FinalizePGraphicUnit, FreesEverythingOnce) {
  Restart restart;
  InitPGraphicUnit();
  gFreedReaders = 0;
  FileFormatReaders->Add(new TCountedReader);
  FinalizePGraphicUnit();
  EXPECT_EQ(gFreedReaders, 1);
  EXPECT_EQ(FileFormatReaders, nullptr);
  EXPECT_EQ(FileFormatWriters, nullptr);
  EXPECT_EQ(PGCanvasList, nullptr);
  EXPECT_EQ(PGCursorCrossDashed, nullptr);
  FinalizePGraphicUnit();  // a second shut-down has nothing left to free
  EXPECT_EQ(gFreedReaders, 1);
}
