// Tagged Image File Format (.tif, .tiff): baseline files of either byte order, one image of those
// a file holds, strips uncompressed or PackBits-coded, samples contiguous; bilevel, 4- and 8-bit
// grey or palette, RGB (a fourth sample dropped) and CMYK are read. Written as one directory with
// its tables and strips per picture, uncompressed or PackBits-coded, in either byte order.
#pragma once

#include <cstdint>
#include <vector>

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

// One directory entry: tag, field type, count, and the value field as it stands in the file (the
// value itself when it fits in four bytes, left-justified, else the offset of the values).
struct TTIFFIFDEntry {
  uint16_t Tag = 0;
  uint16_t FieldType = 0;
  uint32_t Count = 0;
  uint8_t Value[4] = {};
};

// The values of the chosen directory that reading uses; zero (and empty) for an absent tag.
struct TTIFFImageInfo {
  uint32_t NewSubfileType = 0, ImageWidth = 0, ImageLength = 0, Compression = 0, PhotometricInterpretation = 0;
  uint32_t SamplesPerPixel = 0, RowsPerStrip = 0, PlanarConfiguration = 0;
  std::vector<uint32_t> BitsPerSample, StripOffsets, StripByteCounts, ColorMap;
};

class TTIFFileFormatReader : public TFileFormatReader {
  CL_CLASS(TTIFFileFormatReader)
  TTIFFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  // Describes any image of the file; ImageCount is the file's count with PGTIFFCountImages, else 1.
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

class TTIFFFileFormatReader : public TTIFFileFormatReader {
  CL_CLASS(TTIFFFileFormatReader)
  TTIFFFileFormatReader();
};

class TTIFFileFormatWriter : public TFileFormatWriter {
  CL_CLASS(TTIFFileFormatWriter)
  TTIFFileFormatWriter();
  void Write(TStream* Stream, TPixelGraphic* Graphic) override;
  void BeginWrite(TStream* Stream) override;
  // One directory with its tables and strips at the stream position, linked into the chain.
  void WriteImage(TStream* Stream, TPixelGraphic* Graphic) override;
  void EndWrite(TStream* Stream) override;

 private:
  // Stream positions: where the file begins (every offset in it counts from there) and where the
  // pending next-directory field stands. Saving runs on one thread only.
  int64_t FileStartPos = 0;
  int64_t NextIFDOffsetPos = 0;
};

class TTIFFFileFormatWriter : public TTIFFileFormatWriter {
  CL_CLASS(TTIFFFileFormatWriter)
  TTIFFFileFormatWriter();
};

// One row of Count bytes PackBits-coded into Out (at most 2 x Count bytes): runs of two next to
// literal bytes go with the literals, packets hold up to 128 bytes. Returns the coded length.
int64_t PackBitsEncodeRow(const uint8_t* Row, int64_t Count, uint8_t* Out);

}  // namespace imagelib
