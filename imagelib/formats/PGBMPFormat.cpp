#include "imagelib/formats/PGBMPFormat.h"

#include "imagelib/PGDIBHeader.h"
#include "imagelib/formats/PGBytes.h"
#include "imagelib/formats/PGStreamInput.h"

namespace imagelib {

TBMPFileFormatReader* DefaultBMPFileFormatReader = nullptr;
TBMPFileFormatWriter* DefaultBMPFileFormatWriter = nullptr;

namespace {

using namespace dib;

constexpr int kFileHeaderSize = 14;
const char* const kPrefix = "BMP: ";

[[noreturn]] void Refuse(const std::string& Text) { throw EPGBMPFileFormatReader(kPrefix + Text); }

// Reads the file header and peeks at the size of the header behind it, leaving the stream at the
// start of that header; true for a core header. A file cut short of them is refused.
bool ReadFileHeader(TStream* Stream, uint8_t (&FileHeader)[kFileHeaderSize]) {
  ReadExact<EPGBMPFileFormatReader>(Stream, FileHeader, kFileHeaderSize, kPrefix);
  uint8_t size[4];
  ReadExact<EPGBMPFileFormatReader>(Stream, size, 4, kPrefix);
  Stream->Seek(-4, soCurrent);
  switch (GetLE32(size)) {
    case kCoreHeaderSize: return true;
    case kInfoHeaderSize: return false;
    default: Refuse(PGLangStrS1(pgmInvalidSizeOf, "BitmapInfoHeader/BitmapCoreHeader"));
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
  CheckReadIndex<EPGBMPFileFormatReader>(Index, kPrefix);
  int64_t start = Stream->GetPosition();
  uint8_t fileHeader[kFileHeaderSize];
  bool core = ReadFileHeader(Stream, fileHeader);
  // The pixel offset only matters when it leaves a gap behind the colour table (ReadDIB decides).
  uint32_t offBits = GetLE32(fileHeader + 10);
  Graphic->ReadDIB(Stream, core, offBits ? start + int64_t(offBits) : -1);
}

void TBMPFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  CheckInfoIndex<EPGBMPFileFormatReader>(Index, kPrefix);
  uint8_t fileHeader[kFileHeaderSize];
  const bool core = ReadFileHeader(Stream, fileHeader);
  Info1 = core ? "OS/2" : "Windows";
  // The picture's own header reader: whatever it refuses, loading refuses too.
  const TDIBHeader h = core ? ReadCoreHeader(Stream) : ReadInfoHeader(Stream);
  Width = int(h.Width);
  Height = int(h.Height);
  BitCount = h.BitCount;
  if (!core) {
    static const char* const kinds[] = {", RGB", ", RLE8", ", RLE4", ""};
    Info1 += kinds[h.Compression];  // the header reader lets only these four codes through
    if (h.Height < 0) Info1 += ", Top-Down";
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
  PutLE32(h + 2, offBits + uint32_t(Graphic->GetImageSize()));
  PutLE32(h + 10, offBits);
  Stream->WriteBuffer(h, sizeof h);
  Graphic->WriteDIB(Stream);
}

}  // namespace imagelib
