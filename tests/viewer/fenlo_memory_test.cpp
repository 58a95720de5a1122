// Fenlo's memory over a long session: a hundred pictures of every kind opened one after another
// through the open dialog, each shown fitted and let go when the next one comes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "tests/viewer/fenlo_driver.h"

using namespace fenlotest;

namespace {

TEST(FenloMemory, AHundredPicturesInARowLeaveThePrivateBytesWhereTheFirstLeftThem) {
  const char* samples[] = {"muster.bmp", "muster.dib", "muster.rle", "muster.jpg", "muster.png", "muster.pcx",
                           "muster.pbm", "muster.pgm", "muster.ppm", "muster.tga", "muster.tif"};
  FenloProcess p;
  const std::string folder = p.Folder.File("Billeder");
  for (const char* name : samples)
    std::filesystem::copy_file(std::string(FENLO_SAMPLE_DIR) + "/" + name, folder + "\\" + name);
  const COLORREF back = GetSysColor(COLOR_BTNFACE);
  size_t first = 0, last = 0;
  for (int i = 0; i < 100; ++i) {
    const char* name = samples[size_t(i) % std::size(samples)];
    ASSERT_TRUE(OpenThroughDialog(p, name)) << i << ": " << p.Caption();
    if (i == 0) Choose(p, kFit);
    // Shown, fitted: the view's far corner of the picture is painted.
    ASSERT_TRUE(WaitUntil([&] { return p.ScreenPixel(p.View(), 300, 300) != back; }, 15)) << i << ": " << name;
    ASSERT_TRUE(p.Answers());
    (i == 0 ? first : last) = p.PrivateBytes();
  }
  ASSERT_GT(first, 0u) << "the system tells the program's private bytes";
  std::printf("private bytes after the first picture %zu, after the hundredth %zu\n", first, last);
  EXPECT_LE(double(last), double(first) * 1.10);
  EXPECT_GE(double(last), double(first) * 0.90);
}

}  // namespace
