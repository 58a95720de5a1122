// A tiny builder of packed bitmaps and bitmap files, field by field, for the reader tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/imagelib/test_streams.h"

namespace bmptest {

using streamtest::ByteStream;
using streamtest::Bytes;

inline void Put16(Bytes& B, uint32_t V) {
  B.push_back(uint8_t(V));
  B.push_back(uint8_t(V >> 8));
}
inline void Put32(Bytes& B, uint32_t V) {
  Put16(B, V);
  Put16(B, V >> 16);
}

class DIB {
 public:
  // A 40-byte info header (or another size, which readers must refuse).
  static DIB Info(int32_t Width, int32_t Height, uint16_t BitCount, uint32_t Compression = 0) {
    DIB d;
    d.FWidth = Width, d.FHeight = Height, d.FBitCount = BitCount, d.FCompression = Compression;
    return d;
  }
  // A 12-byte core header.
  static DIB Core(uint16_t Width, uint16_t Height, uint16_t BitCount) {
    DIB d = Info(Width, Height, BitCount);
    d.FCore = true;
    d.FHeaderSize = 12;
    return d;
  }

  DIB& HeaderSize(uint32_t V) { return FHeaderSize = V, *this; }
  DIB& Planes(uint16_t V) { return FPlanes = V, *this; }
  DIB& SizeImage(uint32_t V) { return FSizeImage = int64_t(V), *this; }
  DIB& ClrUsed(uint32_t V) { return FClrUsed = V, *this; }
  DIB& Masks(uint32_t R, uint32_t G, uint32_t B) {
    FMasks.clear();
    Put32(FMasks, R), Put32(FMasks, G), Put32(FMasks, B);
    return *this;
  }
  // One colour-table entry: 3 bytes behind a core header, 4 behind an info header.
  DIB& Color(uint8_t R, uint8_t G, uint8_t B) {
    FTable.insert(FTable.end(), {B, G, R});
    if (!FCore) FTable.push_back(0);
    return *this;
  }
  DIB& Gray(int Count) {  // Count grey entries 0, 1, 2, ...
    for (int i = 0; i < Count; ++i) Color(uint8_t(i), uint8_t(i), uint8_t(i));
    return *this;
  }
  DIB& Table(const Bytes& Raw) { return FTable.insert(FTable.end(), Raw.begin(), Raw.end()), *this; }
  // Pixel data as stored (rows or run-length codes).
  DIB& Data(const Bytes& Raw) { return FData.insert(FData.end(), Raw.begin(), Raw.end()), *this; }
  // One stored row, padded to 4 bytes.
  DIB& Row(std::initializer_list<uint8_t> Raw) {
    FData.insert(FData.end(), Raw.begin(), Raw.end());
    while ((FData.size() - FRowStart) % 4) FData.push_back(0);
    FRowStart = FData.size();
    return *this;
  }

  // The header alone, as the reader meets it.
  Bytes Header() const {
    Bytes b;
    Put32(b, FHeaderSize);
    if (FCore) {
      Put16(b, uint32_t(FWidth)), Put16(b, uint32_t(FHeight)), Put16(b, FPlanes), Put16(b, FBitCount);
      return b;
    }
    Put32(b, uint32_t(FWidth)), Put32(b, uint32_t(FHeight)), Put16(b, FPlanes), Put16(b, FBitCount);
    Put32(b, FCompression);
    Put32(b, FSizeImage >= 0 ? uint32_t(FSizeImage) : (FCompression == 1 || FCompression == 2) ? uint32_t(FData.size()) : 0);
    Put32(b, 0), Put32(b, 0);  // resolutions
    Put32(b, FClrUsed);
    Put32(b, 0);  // important colours
    return b;
  }
  // The packed bitmap: header, masks, colour table, pixel data.
  Bytes Block() const {
    Bytes b = Header();
    b.insert(b.end(), FMasks.begin(), FMasks.end());
    b.insert(b.end(), FTable.begin(), FTable.end());
    b.insert(b.end(), FData.begin(), FData.end());
    return b;
  }
  // The bitmap file: "BM", the file length, the offset of the pixel data (plus Gap bytes that
  // are put between the table and the pixels).
  Bytes File(uint32_t Gap = 0) const {
    Bytes block = Block();
    uint32_t offBits = uint32_t(14 + Header().size() + FMasks.size() + FTable.size() + Gap);
    Bytes b = {'B', 'M'};
    Put32(b, uint32_t(14 + block.size() + Gap));
    Put32(b, 0);
    Put32(b, offBits);
    size_t pixelsAt = block.size() - FData.size();
    b.insert(b.end(), block.begin(), block.begin() + long(pixelsAt));
    b.insert(b.end(), Gap, 0xEE);
    b.insert(b.end(), block.begin() + long(pixelsAt), block.end());
    return b;
  }

 private:
  bool FCore = false;
  uint32_t FHeaderSize = 40;
  int32_t FWidth = 0, FHeight = 0;
  uint16_t FPlanes = 1, FBitCount = 0;
  uint32_t FCompression = 0;
  int64_t FSizeImage = -1;  // -1: the run-length data's length, 0 otherwise
  uint32_t FClrUsed = 0;
  Bytes FMasks, FTable, FData;
  size_t FRowStart = 0;
};

}  // namespace bmptest
