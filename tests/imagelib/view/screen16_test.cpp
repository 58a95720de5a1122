// The picture view on a high-colour screen (an X server of 16 bits per pixel, started by the test
// set-up): a true-colour picture is painted as it is, a resampled one through its copy; what the
// screen shows is the picture's colours in 5, 6 and 5 bits.
#include <gtest/gtest.h>

#include <cstdlib>

#include "classlib/graphics.h"
#include "tests/form_suite.h"
#include "tests/imagelib/view/view_support.h"

using namespace imagelib;
using namespace testsupport;

namespace {
// The colour a 5-6-5 screen shows for C, give or take its rounding.
bool Shows(TRGB Shown, TRGB C) {
  return std::abs(RGBRed(Shown) - RGBRed(C)) <= 8 && std::abs(RGBGreen(Shown) - RGBGreen(C)) <= 4 &&
         std::abs(RGBBlue(Shown) - RGBBlue(C)) <= 8;
}
}  // namespace

using HighColourScreen = FormSuite;

TEST_F(HighColourScreen, PicturesShowAsTheyAreOrThroughTheirCopy) {
  ASSERT_EQ(ScreenBitCount(), 16) << "this program runs on a 16-bit screen";
  auto* image = New<TTestView>(Form);
  image->SetBorderStyle(bsNone);
  image->SetBounds(10, 10, 200, 150);
  image->SetParent(Form);
  HWND window = image->GetHandle();
  TPixelGraphic* picture = Gradient(200, 150);
  image->SetPixelGraphic(picture);
  EXPECT_FALSE(image->UpdatePaintPixelGraphic()) << "true colour needs no copy here";
  PaintNow(window);
  std::vector<TRGB> shown = Grab(window, 200, 150);
  for (int y = 0; y < 150; y += 3)
    for (int x = 0; x < 200; x += 3) ASSERT_PRED2(Shows, shown[size_t(y) * 200 + x], picture->GetPixel(x, y)) << x << "," << y;
  // Resampled: a true-colour copy of the picture area's size.
  image->SetStretch(sAlways);
  image->SetStretchMode(smPrecise);
  image->SetPixelGraphic(Gradient(70, 50));
  ASSERT_TRUE(PumpUntil([&] { return image->GetPaintPixelGraphic() != nullptr; }));
  TPixelGraphic* copy = image->GetPaintPixelGraphic();
  EXPECT_EQ(copy->GetBitCount(), 24);
  EXPECT_EQ(copy->GetWidth(), 200);
  PaintNow(window);
  shown = Grab(window, 200, 150);
  for (int y = 0; y < 150; y += 3)
    for (int x = 0; x < 200; x += 3) ASSERT_PRED2(Shows, shown[size_t(y) * 200 + x], copy->GetPixel(x, y)) << x << "," << y;
}
