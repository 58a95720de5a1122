// One input loaded as a viewer would load it, and the promises every reader keeps for it: a
// stream that cannot tell its size gives the same picture or the same refusal as one that can,
// and for the formats in kHeaderParsers, whose Read and GetInfo share one header parser, GetInfo
// refuses with the same text whatever Read refuses for a fault of the headers. Shared by the
// corruption sweeps and the fuzz target.
#pragma once

#include <exception>
#include <string>
#include <vector>

#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGFileFormats.h"
#include "tests/imagelib/test_streams.h"

namespace loadcheck {

using namespace imagelib;

// Per format (by reader extension): the refusals of Read that concern the pixel data, which
// GetInfo, reading the headers only, cannot see. Every other refusal of Read is a header fault.
struct HeaderParser {
  const char* Extensions[3];
  const char* PixelDataRefusals[2];
};
inline const HeaderParser kHeaderParsers[] = {
    {{"bmp", "dib", "rle"}, {"EPGBMPFileFormatReader: BMP: Unexpected end of file", nullptr}},
    // The palette at the end of the file, and the combinations of bits and planes that are
    // described but not read.
    {{"pcx"}, {"EPGPCXFileFormatReader: PCX: Unexpected end of file", "EPGPCXFileFormatReader: PCX: Unknown subformat"}},
    {{"pbm", "pgm", "ppm"}, {"EPGPxMFileFormatReader: PBM, PGM, PPM: Unexpected end of file", nullptr}},
    {{"tga"}, {"EPGTGAFileFormatReader: TGA: Unexpected end of file", nullptr}},
};

inline const HeaderParser* HeaderParserOf(const TFileFormatReader* Reader) {
  for (const HeaderParser& p : kHeaderParsers)
    for (const char* ext : p.Extensions)
      if (ext && Reader->GetExtension() == ext) return &p;
  return nullptr;
}

// Damaged headers make pictures by the gigabyte. Under the sanitizers, making one costs more than
// all the rest, so those beyond this many bytes of pixels are loaded once only, and their pixels
// are neither digested nor kept.
constexpr int64_t kPixelsCompared = 16 << 20;

struct Outcome {
  std::string Refusal;  // class and text of the failure; "" when the input loaded
  int Width = 0, Height = 0, BitCount = 0;
  std::vector<TRGB> Palette;
  uint64_t PixelDigest = 0;
  TOwned<TPixelGraphic> Picture;  // kept only when asked for, and only up to kPixelsCompared
};

inline std::string Describe(const EPixelGraphic& E) { return E.ClassName() + ": " + E.Message(); }

// The reader the data's signature (or Ext) picks, else the packed-bitmap reader the clipboard
// uses. Reader warnings are ignored, as on the file dialog's preview thread.
inline Outcome Load(classlib::TStream* Stream, const std::string& Ext, bool KeepPicture) {
  Outcome o;
  TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
  picture->SetReadWarningAction(pgwaIgnore);
  try {
    if (TFileFormatReader* reader = FindFileFormatReader(Stream, Ext))
      reader->Read(Stream, picture.get(), 0);
    else
      picture->ReadDIB(Stream, false);
  } catch (const EPixelGraphic& e) {
    o.Refusal = Describe(e);
    return o;
  }
  o.Width = picture->GetWidth(), o.Height = picture->GetHeight(), o.BitCount = picture->GetBitCount();
  for (int i = 0; picture->GetBitCount() <= 8 && i < picture->GetPaletteCount(); ++i)
    o.Palette.push_back(picture->GetPaletteEntry(i));
  // A digest, so that pictures are compared without a second copy; four bytes a step (the image
  // size is a multiple of 4).
  uint64_t h = 14695981039346656037ull;
  const auto* words = reinterpret_cast<const uint32_t*>(picture->GetBits());
  const int64_t count = picture->GetImageSize() <= kPixelsCompared ? picture->GetImageSize() / 4 : 0;
  for (int64_t i = 0; words && i < count; ++i) h = (h ^ words[i]) * 1099511628211ull;
  o.PixelDigest = h;
  if (KeepPicture && picture->GetImageSize() <= kPixelsCompared) o.Picture = std::move(picture);
  return o;
}

inline std::string Differences(const Outcome& A, const Outcome& B) {
  if (A.Refusal != B.Refusal) return "\"" + A.Refusal + "\" against \"" + B.Refusal + "\"";
  if (A.Width != B.Width || A.Height != B.Height || A.BitCount != B.BitCount) return "another size or bit count";
  if (A.Palette != B.Palette) return "another palette";
  if (A.PixelDigest != B.PixelDigest) return "other pixels";
  return "";
}

// "" when the input keeps every promise, else what went wrong. Loaded gets the outcome of the sized
// stream, with its picture.
inline std::string Check(const uint8_t* Data, size_t Size, const std::string& Ext, Outcome* Loaded = nullptr) {
  try {
    streamtest::BorrowedStream sized(Data, Size);
    Outcome known = Load(&sized, Ext, Loaded != nullptr);
    if (int64_t(known.Width) * known.Height * known.BitCount <= 8 * kPixelsCompared) {
      streamtest::UnsizedStream unsized(Data, Size);
      std::string diff = Differences(known, Load(&unsized, Ext, false));
      if (!diff.empty()) return "a stream without a size gives " + diff;
    }

    streamtest::BorrowedStream again(Data, Size);
    TFileFormatReader* reader = FindFileFormatReader(&again, Ext);
    if (const HeaderParser* parser = reader ? HeaderParserOf(reader) : nullptr) {
      std::string info1, info2, colors, infoRefusal;
      int width, height, bitCount, images;
      try {
        reader->GetInfo(&again, 0, info1, info2, width, height, colors, bitCount, images);
      } catch (const EPixelGraphic& e) {
        infoRefusal = Describe(e);
      }
      bool pixelData = false;
      for (const char* r : parser->PixelDataRefusals) pixelData = pixelData || (r && known.Refusal == r);
      if (!infoRefusal.empty() && infoRefusal != known.Refusal)
        return "GetInfo refuses \"" + infoRefusal + "\" where Read gives \"" + known.Refusal + "\"";
      if (infoRefusal.empty() && !known.Refusal.empty() && !pixelData)
        return "GetInfo accepts the header fault \"" + known.Refusal + "\"";
    }
    if (Loaded) *Loaded = std::move(known);
  } catch (const std::exception& e) {
    return std::string("unexpected exception: ") + e.what();
  }
  return "";
}

}  // namespace loadcheck
