#include "imagelib/formats/PGBMPFormat.h"

#include <algorithm>
#include <iterator>

namespace imagelib {

TBMPFileFormatReader* DefaultBMPFileFormatReader = nullptr;
TBMPFileFormatWriter* DefaultBMPFileFormatWriter = nullptr;

namespace {

constexpr int kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr uint32_t kInfoHeaderSize = 40;

uint16_t Get16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
uint32_t Get32(const uint8_t* P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
void Put32(uint8_t* P, uint32_t V) {
  for (int i = 0; i < 4; ++i) P[i] = uint8_t(V >> (8 * i));
}

[[noreturn]] void Refuse(const std::string& Text) { throw EPGBMPFileFormatReader("BMP: " + Text); }

// Reads the file header and peeks at the size of the header behind it, leaving the stream at the
// start of that header. A short file reads as zeros (and then fails on the size).
bool ReadFileHeader(TStream* Stream, uint8_t (&FileHeader)[kFileHeaderSize]) {
  std::fill(std::begin(FileHeader), std::end(FileHeader), 0);
  Stream->Read(FileHeader, kFileHeaderSize);
  uint8_t size[4] = {};
  int64_t got = Stream->Read(size, 4);
  if (got > 0) Stream->Seek(-got, soCurrent);
  switch (Get32(size)) {
    case kCoreHeaderSize: return true;
    case kInfoHeaderSize: return false;
    default: Refuse(PGLangStrS1(27, "BitmapInfoHeader/BitmapCoreHeader"));
  }
}

}  // namespace

TBMPFileFormatReader::TBMPFileFormatReader() {
  Extension = "bmp";
  Description = "Bitmap";
  HasSignature = true;
}

bool TBMPFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  return Header[0] == 'B' && Header[1] == 'M';
}

void TBMPFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  if (Index != 0) Refuse(PGLangStrS1(7, "Index"));
  int64_t start = Stream->GetPosition();
  uint8_t fileHeader[kFileHeaderSize];
  bool core = ReadFileHeader(Stream, fileHeader);
  // The pixel offset only matters when it leaves a gap behind the colour table (ReadDIB decides).
  uint32_t offBits = Get32(fileHeader + 10);
  Graphic->ReadDIB(Stream, core, offBits ? start + int64_t(offBits) : -1);
}

void TBMPFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  if (Index != 0) Refuse(PGLangStrS1(20, "Index"));
  uint8_t fileHeader[kFileHeaderSize];
  if (ReadFileHeader(Stream, fileHeader)) {
    Info1 = "OS/2";
    uint8_t b[kCoreHeaderSize] = {};
    Stream->Read(b, sizeof b);
    if (Get16(b + 8) != 1) Refuse(PGLangStrS1(7, "BitmapCoreHeader.bcPlanes"));
    int bitCount = Get16(b + 10);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
      Refuse(PGLangStrS1(7, "BitmapCoreHeader.bcBitCount"));
    Width = Get16(b + 4);
    Height = Get16(b + 6);
    BitCount = bitCount;
  } else {
    Info1 = "Windows";
    uint8_t b[kInfoHeaderSize] = {};
    Stream->Read(b, sizeof b);
    if (Get16(b + 12) != 1) Refuse(PGLangStrS1(7, "BitmapInfoHeader.biPlanes"));
    int bitCount = Get16(b + 14);
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
      Refuse(PGLangStrS1(7, "BitmapInfoHeader.biBitCount"));
    int32_t height = int32_t(Get32(b + 8));
    uint32_t compression = Get32(b + 16);
    bool accepted = compression == 0 || (compression == 3 && (bitCount == 16 || bitCount == 32)) ||
                    (compression == 2 && bitCount == 4 && height >= 0) ||
                    (compression == 1 && bitCount == 8 && height >= 0);
    if (!accepted) Refuse(PGLangStrS1(7, "BitmapInfoHeader.biCompression"));
    Width = int32_t(Get32(b + 4));
    Height = height;
    BitCount = bitCount;
    static const char* const kinds[] = {", RGB", ", RLE8", ", RLE4", ""};
    Info1 += kinds[compression];
    if (height < 0) Info1 += ", Top-Down";
  }
  switch (BitCount) {
    case 1: Colors = "2"; break;
    case 4: Colors = "16"; break;
    case 8: Colors = "256"; break;
    case 16: Colors = "64K"; break;
    default: Colors = "16.7M";
  }
}

TBMPFileFormatWriter::TBMPFileFormatWriter() {
  Extension = "bmp";
  Description = "Bitmap";
  CanWriteResolutions = PGAllColorResolutions;
}

void TBMPFileFormatWriter::Write(TStream* Stream, TPixelGraphic* Graphic) {
  // The offset and length count the colour table WriteDIB really stores.
  uint32_t offBits = kFileHeaderSize + kInfoHeaderSize + 4 * uint32_t(Graphic->GetDIBColorCount());
  uint8_t h[kFileHeaderSize] = {'B', 'M'};
  Put32(h + 2, offBits + uint32_t(Graphic->GetImageSize()));
  Put32(h + 10, offBits);
  Stream->WriteBuffer(h, sizeof h);
  Graphic->WriteDIB(Stream);
}

}  // namespace imagelib
