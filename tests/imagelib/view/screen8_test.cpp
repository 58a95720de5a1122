// The picture view on a real palette screen (an X server of 8 bits per pixel, started by the test
// set-up): the screen's own bit count, the copy with an optimised palette made for it, and that
// palette realised into the system palette when the form comes to the foreground.
#include <gtest/gtest.h>

#include "classlib/graphics.h"
#include "tests/form_suite.h"
#include "tests/imagelib/view/view_support.h"

using namespace imagelib;
using namespace testsupport;

using PaletteScreen = FormSuite;

TEST_F(PaletteScreen, TheCopysOptimisedPaletteIsRealised) {
  ASSERT_EQ(ScreenBitCount(), 8) << "this program runs on an 8-bit screen";
  HDC screen = GetDC(nullptr);
  EXPECT_TRUE(GetDeviceCaps(screen, RASTERCAPS) & RC_PALETTE);
  auto* image = New<TTestView>(Form);
  image->SetBounds(10, 10, 204, 154);
  image->SetParent(Form);
  image->SetPixelGraphic(Gradient(200, 150));
  ASSERT_TRUE(PumpUntil([&] { return image->GetPaintPixelGraphic() != nullptr; }));
  TPixelGraphic* copy = image->GetPaintPixelGraphic();
  ASSERT_EQ(copy->GetBitCount(), 8);
  ASSERT_GT(copy->GetPaletteCount(), 200);
  EXPECT_EQ(image->GetPalette(), copy->GetPalette());
  // The form asks its controls for their palettes and realises the first in the foreground.
  SendMessageA(Form->GetHandle(), WM_QUERYNEWPALETTE, 0, 0);
  PALETTEENTRY system[256];
  ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, system), 256u);
  int found = 0;
  for (int i = 0; i < copy->GetPaletteCount(); ++i) {
    TRGB c = copy->GetPaletteEntry(i);
    for (const PALETTEENTRY& e : system)
      if (e.peRed == RGBRed(c) && e.peGreen == RGBGreen(c) && e.peBlue == RGBBlue(c)) {
        ++found;
        break;
      }
  }
  EXPECT_EQ(found, copy->GetPaletteCount()) << "every colour of the copy is on the screen";
  ReleaseDC(nullptr, screen);
}
