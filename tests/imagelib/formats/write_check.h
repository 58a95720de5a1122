// What a loaded picture promises its writers: the formats that store its bit count write it, and
// read it back with the same pixels (and a Targa file with the same palette). Shared by the
// corruption sweeps and the fuzz targets.
#pragma once

#include <functional>
#include <string>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "tests/imagelib/test_streams.h"

namespace writecheck {

using namespace imagelib;
using streamtest::Bytes;

inline Bytes Written(TFileFormatWriter&& Writer, TPixelGraphic* P, bool Binary = false) {
  const bool saved = PGPxMBinary;
  PGPxMBinary = Binary;
  streamtest::ByteStream s({});
  try {
    Writer.Write(&s, P);
  } catch (...) {
    PGPxMBinary = saved;
    throw;
  }
  PGPxMBinary = saved;
  return s.Contents();
}

// "" when every writer for the picture's bit count wrote it back alike, else what differed.
// Pictures beyond a quarter of a million pixels are not tried (damaged headers make many).
inline std::string RoundTrip(TPixelGraphic* P) {
  if (int64_t(P->GetWidth()) * P->GetHeight() > (1 << 18) || P->GetWidth() == 0 || P->GetHeight() == 0) return "";
  struct Way {
    int BitCount;
    std::function<TFileFormatWriter*()> Make;
    bool Binary;
  } ways[] = {{1, [] { return New<TPBMFileFormatWriter>(); }, false}, {1, [] { return New<TPBMFileFormatWriter>(); }, true},
              {8, [] { return New<TPGMFileFormatWriter>(); }, true},  {8, [] { return New<TTGAFileFormatWriter>(); }, false},
              {24, [] { return New<TPPMFileFormatWriter>(); }, false}, {24, [] { return New<TPPMFileFormatWriter>(); }, true},
              {24, [] { return New<TTGAFileFormatWriter>(); }, false}};
  for (const Way& way : ways) {
    if (way.BitCount != P->GetBitCount()) continue;
    TOwned<TFileFormatWriter> writer(way.Make());
    streamtest::ByteStream s(Written(std::move(*writer), P, way.Binary));
    TOwned<TPixelGraphic> back(New<TPixelGraphic>());
    // The writers' own readers: Targa has no signature to be found by.
    if (writer->GetExtension() == "tga")
      TTGAFileFormatReader().Read(&s, back.get(), 0);
    else
      TPPMFileFormatReader().Read(&s, back.get(), 0);
    const std::string what = " through " + writer->GetExtension() + (way.Binary ? " (binary)" : "");
    if (back->GetWidth() != P->GetWidth() || back->GetHeight() != P->GetHeight()) return "another size" + what;
    for (int y = 0; y < P->GetHeight(); ++y)
      for (int x = 0; x < P->GetWidth(); ++x)
        if (back->GetPixel(x, y) != P->GetPixel(x, y)) return "other pixels" + what;
    const bool palette = writer->GetExtension() == "tga" && P->GetBitCount() == 8;
    for (int i = 0; palette && i < P->GetPaletteCount() && i < 256; ++i)
      if (back->GetPaletteEntry(i) != P->GetPaletteEntry(i)) return "another palette" + what;
  }
  return "";
}

}  // namespace writecheck
