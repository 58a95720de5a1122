#include "imagelib/PGDIBHeader.h"

#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGStreamInput.h"

namespace imagelib::dib {

namespace {

// "BMP: " followed by message 7 filled with the field's name.
[[noreturn]] void FieldInvalid(const char* Field) {
  throw EPGBMPFileFormatReader("BMP: " + PGLangStrS1(pgmInvalid, Field));
}

void ReadHeaderBytes(TStream* Stream, uint8_t* Buffer, int Count) {
  ReadExact<EPGBMPFileFormatReader>(Stream, Buffer, Count, "BMP: ");
}

// What NewImage would refuse for the picture the header describes, refused before anything is made.
void RefuseImpossiblePicture(const TDIBHeader& H) {
  if (H.Width < 0) throw EPGInvalidSize(PGLangStr(pgmNegativeWidth));
  const int64_t height = H.Height < 0 ? -H.Height : H.Height;
  if (!ImageSizeWithinLimit(H.Width, height, H.BitCount <= 8 ? H.BitCount : 24))
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "CreateDIBSection"));
}

bool CompressionAccepted(const TDIBHeader& H) {
  switch (H.Compression) {
    case kBiRGB: return true;
    case kBiRLE8: return H.BitCount == 8 && H.Height >= 0;
    case kBiRLE4: return H.BitCount == 4 && H.Height >= 0;
    case kBiBitFields: return H.BitCount == 16 || H.BitCount == 32;
    default: return false;
  }
}

void ReadMasks(TStream* Stream, TDIBHeader& H) {
  if (H.BitCount == 16) H.Masks[0] = 0x7C00, H.Masks[1] = 0x03E0, H.Masks[2] = 0x001F;
  if (H.BitCount == 32) H.Masks[0] = 0xFF0000, H.Masks[1] = 0xFF00, H.Masks[2] = 0xFF;
  if (H.Compression != kBiBitFields) return;
  uint8_t b[kMasksSize];
  ReadHeaderBytes(Stream, b, kMasksSize);
  for (int i = 0; i < 3; ++i) {
    H.Masks[i] = GetLE32(b + 4 * i);
    if (H.Masks[i] == 0) FieldInvalid("BitmapInfoHeader.biCompression");  // a channel without bits never aligns
  }
}

}  // namespace

TDIBHeader ReadCoreHeader(TStream* Stream) {
  uint8_t b[kCoreHeaderSize];
  ReadHeaderBytes(Stream, b, kCoreHeaderSize);
  if (GetLE16(b + 8) != 1) FieldInvalid("BitmapCoreHeader.bcPlanes");
  TDIBHeader h;
  h.Core = true;
  h.BitCount = GetLE16(b + 10);
  if (h.BitCount != 1 && h.BitCount != 4 && h.BitCount != 8 && h.BitCount != 24)
    FieldInvalid("BitmapCoreHeader.bcBitCount");
  h.Width = GetLE16(b + 4);
  h.Height = GetLE16(b + 6);
  RefuseImpossiblePicture(h);
  return h;
}

TDIBHeader ReadInfoHeader(TStream* Stream) {
  uint8_t b[kInfoHeaderSize];
  ReadHeaderBytes(Stream, b, kInfoHeaderSize);
  if (GetLE16(b + 12) != 1) FieldInvalid("BitmapInfoHeader.biPlanes");
  TDIBHeader h;
  h.BitCount = GetLE16(b + 14);
  switch (h.BitCount) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: FieldInvalid("BitmapInfoHeader.biBitCount");
  }
  h.Width = int32_t(GetLE32(b + 4));
  h.Height = int32_t(GetLE32(b + 8));
  h.Compression = GetLE32(b + 16);
  if (!CompressionAccepted(h)) FieldInvalid("BitmapInfoHeader.biCompression");
  // The height's magnitude must be a picture height.
  if (h.Height == INT32_MIN) FieldInvalid("BitmapInfoHeader.biHeight");
  h.SizeImage = GetLE32(b + 20);
  h.ClrUsed = GetLE32(b + 32);
  // A colour table larger than the bit count can address would outgrow the picture's own table.
  if (h.BitCount <= 8 && h.ClrUsed > (1u << h.BitCount)) FieldInvalid("BitmapInfoHeader.biClrUsed");
  ReadMasks(Stream, h);
  RefuseImpossiblePicture(h);
  return h;
}

}  // namespace imagelib::dib
