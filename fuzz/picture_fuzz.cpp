// Loads a picture from memory through the reader its first bytes choose, as a viewer would load a
// file it is handed; data that no reader claims is read as a packed bitmap, as the clipboard hands
// one over. Failing with the library's own exception is fine; anything else is a finding:
// a sanitizer report, another exception, a hang, a stream without a size that gives another
// outcome, GetInfo accepting a header that loading refuses, or a loaded picture that does not
// survive being written as a packed bitmap and read back.
#include <cstring>

#include "fuzz/fuzz_support.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/formats/load_check.h"

using namespace imagelib;
using fuzzsupport::Finding;

namespace {

void CheckRoundTrip(TPixelGraphic* Picture) {
  TMemoryStream block;
  Picture->WriteDIB(&block);
  block.SetPosition(0);
  TOwned<TPixelGraphic> again(New<TPixelGraphic>());
  again->ReadDIB(&block, false);
  if (again->GetWidth() != Picture->GetWidth() || again->GetHeight() != Picture->GetHeight() ||
      again->GetBitCount() != Picture->GetBitCount())
    Finding("the written block reads back with another size");
  if (Picture->GetImageSize() > 0 &&
      std::memcmp(again->GetBits(), Picture->GetBits(), size_t(Picture->GetImageSize())) != 0)
    Finding("the written block reads back with other pixels");
  if (Picture->GetBitCount() <= 8)
    for (int i = 0; i < Picture->GetPaletteCount() && i < Picture->GetPaletteSize(); ++i)
      if (again->GetPaletteEntry(i) != Picture->GetPaletteEntry(i)) Finding("the palette changed");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzzsupport::Start();
  loadcheck::Outcome loaded;
  std::string finding = loadcheck::Check(Data, Size, "", &loaded);
  if (!finding.empty()) Finding(finding.c_str());
  if (loaded.Picture) CheckRoundTrip(loaded.Picture.get());  // kept up to loadcheck::kPixelsCompared
  return 0;
}
