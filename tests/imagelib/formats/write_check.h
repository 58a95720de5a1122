// What a loaded picture promises its writers: the formats that store its bit count write it, and
// read it back with the same pixels (and Targa and TIFF files with the same palette). Shared by the
// corruption sweeps and the fuzz targets.
#pragma once

#include <functional>
#include <string>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "imagelib/formats/PGTIFFormat.h"
#include "tests/imagelib/test_streams.h"

namespace writecheck {

using namespace imagelib;
using streamtest::Bytes;

// Binary: binary portable bitmaps, PackBits-coded TIFF strips.
inline Bytes Written(TFileFormatWriter&& Writer, TPixelGraphic* P, bool Binary = false) {
  const bool saved = PGPxMBinary;
  const int32_t compression = PGTIFFCompression;
  PGPxMBinary = Binary;
  PGTIFFCompression = Binary ? 32773 : 1;
  streamtest::ByteStream s({});
  try {
    Writer.Write(&s, P);
  } catch (...) {
    PGPxMBinary = saved;
    PGTIFFCompression = compression;
    throw;
  }
  PGPxMBinary = saved;
  PGTIFFCompression = compression;
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
  std::vector<Way> all(std::begin(ways), std::end(ways));
  for (int bits : {1, 4, 8, 24})
    for (bool packBits : {false, true}) all.push_back({bits, [] { return New<TTIFFileFormatWriter>(); }, packBits});
  for (const Way& way : all) {
    if (way.BitCount != P->GetBitCount()) continue;
    TOwned<TFileFormatWriter> writer(way.Make());
    streamtest::ByteStream s(Written(std::move(*writer), P, way.Binary));
    TOwned<TPixelGraphic> back(New<TPixelGraphic>());
    // The writers' own readers: Targa has no signature to be found by.
    const std::string ext = writer->GetExtension();
    if (ext == "tga")
      TTGAFileFormatReader().Read(&s, back.get(), 0);
    else if (ext == "tif")
      TTIFFileFormatReader().Read(&s, back.get(), 0);
    else
      TPPMFileFormatReader().Read(&s, back.get(), 0);
    const std::string what = " through " + writer->GetExtension() + (way.Binary ? " (binary)" : "");
    if (back->GetWidth() != P->GetWidth() || back->GetHeight() != P->GetHeight()) return "another size" + what;
    for (int y = 0; y < P->GetHeight(); ++y)
      for (int x = 0; x < P->GetWidth(); ++x)
        if (back->GetPixel(x, y) != P->GetPixel(x, y)) return "other pixels" + what;
    const bool palette = (ext == "tga" && P->GetBitCount() == 8) || (ext == "tif" && (P->GetBitCount() == 4 || P->GetBitCount() == 8));
    for (int i = 0; palette && i < P->GetPaletteCount() && i < 256; ++i)
      if (back->GetPaletteEntry(i) != P->GetPaletteEntry(i)) return "another palette" + what;
  }
  return "";
}

}  // namespace writecheck
