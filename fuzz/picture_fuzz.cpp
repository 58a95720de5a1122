// Loads a picture from memory through the reader its first bytes choose, as a viewer would load a
// file it is handed; data that no reader claims is read as a packed bitmap, as the clipboard hands
// one over. Failing with the library's own exception is fine; anything else is a finding:
// a sanitizer report, another exception, a hang, or a loaded picture that does not survive being
// written as a packed bitmap and read back.
#include <typeinfo>

#include "fuzz/fuzz_support.h"
#include "imagelib/formats/PGFileFormats.h"

using namespace imagelib;
using fuzzsupport::Finding;
using fuzzsupport::TInputStream;

namespace {

void CheckRoundTrip(TPixelGraphic* Picture) {
  if (Picture->GetImageSize() > (64 << 20)) return;  // two more copies of a huge picture prove little
  TMemoryStream block;
  Picture->WriteDIB(&block);
  block.SetPosition(0);
  TOwned<TPixelGraphic> again(New<TPixelGraphic>());
  again->ReadDIB(&block, false);
  if (!fuzzsupport::SamePicture(again.get(), Picture)) Finding("the written block reads back as another picture");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzzsupport::Start();
  TInputStream stream(Data, Size);
  TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
  try {
    std::string description, info1, info2, colors;
    int width, height, bitCount, images;
    GetFileFormatInfoFromStream(&stream, "", 0, description, info1, info2, width, height, colors, bitCount, images);
    TFileFormatReader* reader = FindFileFormatReader(&stream, "");
    if (reader)
      reader->Read(&stream, picture.get(), 0);
    else
      picture->ReadDIB(&stream, false);
  } catch (const EPixelGraphic&) {
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "finding: %s: %s\n", typeid(e).name(), e.what());
    std::abort();
  }
  CheckRoundTrip(picture.get());
  return 0;
}
