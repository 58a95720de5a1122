// The point filters against Pillow: Image.point() with the same lookup tables gives the colours of
// the red/green/blue and brightness/contrast/gamma filters on a photograph (ImageMagick's rose).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "classlib/files.h"
#include "imagelib/PGFilters.h"
#include "tests/test_support.h"

using namespace imagelib;

namespace {

const std::string kPython = "/usr/bin/python3", kMagick = "/usr/bin/convert";

std::string ReadAll(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A binary PPM with maxval 255 as a 24-bit picture.
TOwned<TPixelGraphic> LoadPPM(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  std::string magic;
  int w = 0, h = 0, maxval = 0;
  in >> magic >> w >> h >> maxval;
  in.get();
  EXPECT_TRUE(magic == "P6" && maxval == 255 && w > 0 && h > 0) << Name;
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(w, h, 3);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int r = in.get(), g = in.get(), b = in.get();
      p->SetPixel(x, y, MakeRGB(r, g, b));
    }
  EXPECT_TRUE(in) << Name << " is shorter than its size";
  return p;
}

// The picture's pixels as Pillow's tobytes() gives them: R, G, B, top row first.
std::string RGBBytes(TPixelGraphic* P) {
  std::string s;
  for (int y = 0; y < P->GetHeight(); ++y)
    for (int x = 0; x < P->GetWidth(); ++x) {
      TRGB c = P->GetPixel(x, y);
      s += char(RGBRed(c));
      s += char(RGBGreen(c));
      s += char(RGBBlue(c));
    }
  return s;
}

}  // namespace

TEST(FiltersInterop, PillowPointGivesTheSameColours) {
  if (!FileExists(kPython) || std::system((kPython + " -c 'import PIL' 2>/dev/null").c_str()) != 0)
    GTEST_SKIP() << "Pillow for " << kPython << " is missing (Debian's python3-pil; tools/deps installs it)";
  ASSERT_TRUE(FileExists(kMagick)) << "ImageMagick comes with the build's packages (tools/deps)";
  testsupport::TempDir dir;
  std::string photo = dir.File("rose.ppm");
  ASSERT_EQ(std::system((kMagick + " rose: '" + photo + "'").c_str()), 0);
  auto original = LoadPPM(photo);

  // Red/green/blue with random tables, given to Pillow as they are.
  std::mt19937 random(31);
  TRGBFilter rgb;
  for (uint8_t* table : {rgb.TableR, rgb.TableG, rgb.TableB})
    for (int i = 0; i < 256; ++i) table[i] = uint8_t(random());
  std::ofstream lut(dir.File("lut.txt"));
  for (const uint8_t* table : {rgb.TableR, rgb.TableG, rgb.TableB})
    for (int i = 0; i < 256; ++i) lut << int(table[i]) << "\n";
  lut.close();
  // Brightness/contrast/gamma: Pillow's table made from the formula itself, away from halves.
  TBCGFilter bcg;
  bcg.Brightness = 7;
  bcg.Contrast = 1.3L;
  bcg.Gamma = 0.8L;
  std::string script =
      "from PIL import Image\n"
      "import sys\n"
      "src, lut, out_rgb, out_bcg = sys.argv[1:5]\n"
      "im = Image.open(src).convert('RGB')\n"
      "open(out_rgb, 'wb').write(im.point([int(v) for v in open(lut).read().split()]).tobytes())\n"
      "def entry(i):\n"
      "    p = (i / 255) ** 0.8 if i else 0.0\n"
      "    f = min(256.0, max(-1.0, (p * 255 - 127.5) * 1.3 + 127.5 + (7 * 255) * 0.01))\n"
      "    return min(255, max(0, round(f)))\n"
      "open(out_bcg, 'wb').write(im.point([entry(i) for i in range(256)] * 3).tobytes())\n";
  std::ofstream(dir.File("point.py")) << script;
  std::string command = kPython + " '" + dir.File("point.py") + "' '" + photo + "' '" + dir.File("lut.txt") + "' '" +
                        dir.File("rgb.raw") + "' '" + dir.File("bcg.raw") + "'";
  ASSERT_EQ(std::system(command.c_str()), 0) << command;

  struct Case {
    const char* Name;
    TPGFilter* Filter;
  } cases[] = {{"rgb", &rgb}, {"bcg", &bcg}};
  for (const Case& c : cases) {
    TOwned<TPixelGraphic> filtered(New<TPixelGraphic>());
    filtered->ApplyFilter(c.Filter, original.get());
    std::string pillow = ReadAll(dir.File(std::string(c.Name) + ".raw"));
    ASSERT_EQ(pillow.size(), size_t(original->GetWidth()) * original->GetHeight() * 3) << c.Name;
    EXPECT_TRUE(pillow == RGBBytes(filtered.get())) << c.Name << ": Pillow's colours differ";
    EXPECT_FALSE(pillow == RGBBytes(original.get())) << c.Name << " changes the photograph";
  }
}
