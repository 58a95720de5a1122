// What TIFF's reader and writer say alike: the tags, field types, compression and photometric
// codes they use, and what the reader shows and refuses for each compression it knows.
#pragma once

#include <cstdint>

namespace imagelib::tiff {

enum TTag : uint16_t {
  tagNewSubfileType = 254,
  tagImageWidth = 256,
  tagImageLength = 257,
  tagBitsPerSample = 258,
  tagCompression = 259,
  tagPhotometric = 262,
  tagStripOffsets = 273,
  tagSamplesPerPixel = 277,
  tagRowsPerStrip = 278,
  tagStripByteCounts = 279,
  tagXResolution = 282,
  tagYResolution = 283,
  tagPlanarConfiguration = 284,
  tagResolutionUnit = 296,
  tagColorMap = 320
};

// RATIONAL is two LONGs, numerator and denominator.
enum TFieldType : uint16_t { ftByte = 1, ftShort = 3, ftLong = 4, ftRational = 5 };

enum TCompression : uint32_t {
  cpNone = 1, cpCCITT1D = 2, cpGroup3Fax = 3, cpGroup4Fax = 4, cpLZW = 5, cpJPEG = 6, cpPackBits = 32773
};

enum TPhotometric : uint32_t { piWhiteIsZero = 0, piBlackIsZero = 1, piRGB = 2, piPalette = 3, piSeparated = 5 };

enum TResolutionUnit : uint16_t { ruNone = 1, ruInch = 2, ruCentimeter = 3 };

// A compression the reader knows: its name in a file's description, and the refusal of loading,
// none for the two it reads. Any other code is refused as "Unsupported compression <code>".
struct TCompressionText {
  uint32_t Code;
  const char* Info;
  const char* Refusal;
};
inline constexpr TCompressionText kCompressionTexts[] = {
    {cpNone, "Uncompr.", nullptr},
    {cpCCITT1D, "CCITT 1D", "Unsupported compression CCITT 1D"},
    {cpGroup3Fax, "Group 3 F.", "Unsupported compression Group 3 Fax"},
    {cpGroup4Fax, "Group 4 F.", "Unsupported compression Group 4 Fax"},
    {cpLZW, "LZW", "Unsupported compression LZW"},
    {cpJPEG, "JPEG", "Unsupported compression JPEG"},
    {cpPackBits, "PackBits", nullptr},
};

// The row of Code, or null.
constexpr const TCompressionText* FindCompression(uint32_t Code) {
  for (const TCompressionText& c : kCompressionTexts)
    if (c.Code == Code) return &c;
  return nullptr;
}

}  // namespace imagelib::tiff
