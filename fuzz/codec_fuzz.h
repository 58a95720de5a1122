// One codec's reader on the fuzzer's bytes, whatever their signature: its description, then its
// decoding, with warnings ignored or raised as the input's length says (both paths of the
// library get explored). Failing with the library's own exception is fine when it leaves an empty
// picture; anything else is a finding: a sanitizer report, another exception, a hang, a refused
// file that leaves a picture behind, or a loaded picture that the codec's writer cannot store and
// read back (for a lossless codec, as the same picture).
#pragma once

#include <typeinfo>

#include "fuzz/fuzz_support.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/test_streams.h"

namespace fuzzsupport {

template <class Reader, class Writer>
int FuzzCodec(const uint8_t* Data, size_t Size, bool Lossless) {
  Start();
  streamtest::BorrowedStream stream(Data, Size);
  Reader reader;
  TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
  picture->SetReadWarningAction(Size % 2 ? pgwaIgnore : pgwaRaise);
  picture->SetFastJPGDecoding(Size % 4 >= 2);
  // A huge picture from a few bytes is within the size cap, and is read only in part: its first
  // rows take the same paths as all of them would, the rest only costs the fuzzer time.
  picture->OnProgress = [&](TObject*, int Step, int, bool& Abort) {
    Abort = int64_t(Step) * picture->GetWidth() > (16 << 20);
  };
  try {
    std::string info1, info2, colors;
    int width, height, bitCount, images;
    try {
      reader.GetInfo(&stream, 0, info1, info2, width, height, colors, bitCount, images);
    } catch (const EPixelGraphic&) {
    }
    stream.SetPosition(0);
    reader.Read(&stream, picture.get(), 0);
  } catch (const EPixelGraphic&) {
    if (!picture->GetEmpty() || picture->GetWidth() != 0) Finding("a refused file left a picture behind");
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "finding: %s: %s\n", typeid(e).name(), e.what());
    std::abort();
  }
  if (picture->GetWidth() == 0 || picture->GetHeight() == 0 || picture->GetImageSize() > (4 << 20)) return 0;
  TMemoryStream file;
  Writer().Write(&file, picture.get());
  file.SetPosition(0);
  TOwned<TPixelGraphic> again(New<TPixelGraphic>());
  again->SetReadWarningAction(pgwaRaise);
  reader.Read(&file, again.get(), 0);
  if (Lossless ? !SamePicture(again.get(), picture.get())
               : again->GetWidth() != picture->GetWidth() || again->GetHeight() != picture->GetHeight() ||
                     again->GetBitCount() != picture->GetBitCount())
    Finding("the written file reads back as another picture");
  return 0;
}

}  // namespace fuzzsupport
