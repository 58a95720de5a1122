// The message table of the image library: every text it shows or raises, in five languages and a
// sixth, nearly empty slot, with lookups that fill the placeholders %S1, %S2 and %S3.
#pragma once

#include <cstdint>
#include <string>

namespace imagelib {

constexpr int PGLangSlots = 6;      // English, German, French, Dutch, Spanish, sixth slot
constexpr int PGLangStrCount = 85;  // ids 0..84

struct TPGLangStrEntry {
  uint8_t Id;
  const char* Texts[PGLangSlots];
};

// The message ids, named after their English texts (ids 0 and 84 hold no text). The names are the
// table's indices: a test checks each against its record.
enum TPGMsg : uint8_t {
  pgmXYOutOfRange = 1,
  pgmNoPalette = 2,
  pgmInvalidPaletteIndex = 3,
  pgmUnknownClipboardFormat = 4,
  pgmInvalidTemporaryFile = 5,
  pgmUnknownFileFormat = 6,
  pgmInvalid = 7,  // "%S1 invalid"
  // The colour resolutions' names, in the order of TPGColorResolution.
  pgmBlackAndWhite = 8,
  pgm2Colors = 9,
  pgm16Grays = 10,
  pgm16SysColors = 11,
  pgm16Colors = 12,
  pgm256Grays = 13,
  pgm256Colors = 14,
  pgmTrueColor = 15,
  pgmIsEmpty = 16,               // "%S1 is empty"
  pgmSaveWithOtherResolution = 17,  // %S1 format, %S2 current and %S3 new resolution
  pgmCannotSaveResolution = 18,     // %S1 format, %S2 current resolution
  pgmUnknownExtension = 19,
  pgmInvalidValueFor = 20,  // "Invalid value for %S1"
  pgmNegativeHeight = 21,
  pgmNegativeWidth = 22,
  pgmFilterSourceIsTarget = 23,
  pgmBit = 24,
  pgmImageFiles = 25,
  pgmAllFiles = 26,
  pgmInvalidSizeOf = 27,  // "Invalid size of %S1"
  pgmWarning = 28,
  pgmAborted = 29,
  pgmNotSupportedSubformat = 30,
  pgmFailed = 31,  // "%S1 failed"
  pgmUnexpectedEnd = 32,
  pgmUnknownSubformat = 33,
  pgmNotAFile = 34,  // "Not a %S1 file"
  pgmWidthOrHeightZero = 35,
  pgmInvalidColorResolution = 36,
  pgmUnsupportedFieldType = 37,
  pgmInvalidRowByteCount = 38,
  pgmUnsupportedCompression = 39,
  pgmSaturationZeroHueDefined = 40,
  pgmOutOfRange = 41,  // "%S1 out of range"
  pgmOK = 42,
  pgmCancel = 43,
  // The filter dialogs' captions and labels.
  pgmRGBFilter = 44, pgmRed = 45, pgmGreen = 46, pgmBlue = 47,
  pgmCMYFilter = 48, pgmCyan = 49, pgmMagenta = 50, pgmYellow = 51,
  pgmYCbCrFilter = 52, pgmLuma = 53, pgmChromaBlue = 54, pgmChromaRed = 55,
  pgmHLSFilter = 56, pgmHue = 57, pgmLightness = 58, pgmSaturation = 59,
  pgmHSVFilter = 60, pgmValue = 61,
  pgmNegativeFilter = 62,
  pgmGamma = 63, pgmApplyOnRGB = 64, pgmApplyOnY = 65,
  pgmBrightness = 66, pgmContrast = 67, pgmApplyOn = 68, pgmBCGFilter = 69,
  pgmGrayscaleFilter = 70, pgmRGBWeighting = 71, pgmStdDeviation = 72, pgmStrength = 73,
  pgmSharpen = 74, pgmDetail = 75, pgmSmooth = 76, pgmRadius = 77, pgmBlur = 78, pgmContour = 79,
  pgmWhite = 80, pgmBlack = 81,
  pgmPlusMinus = 82,  // the sign before a slider's middle value
  pgmDegree = 83
};

// Record i carries Id i; the lookups index the table by the id directly.
extern const TPGLangStrEntry PGLangStrEntries[PGLangStrCount];

// The selected slot: 0 English .. 4 Spanish, 5 the sixth slot. Set to 0 at library start-up.
extern uint8_t PGLanguage;

// S := the text of Id in the slot PGLanguage; unchanged when PGLanguage is above 5; empty for an
// id outside the table.
void GetPGLangStr(uint8_t Id, std::string& S);
// As GetPGLangStr, then the first "%S1" is replaced by S1 (once; the argument is not searched again).
void GetPGLangStrS1(uint8_t Id, const std::string& S1, std::string& S);
// Then the first "%S2" of that result by S2.
void GetPGLangStrS2(uint8_t Id, const std::string& S1, const std::string& S2, std::string& S);
// Then the first "%S3" of that result by S3.
void GetPGLangStrS3(uint8_t Id, const std::string& S1, const std::string& S2, const std::string& S3,
                    std::string& S);

// Raises EPixelGraphic "PGLangStrEntries order wrong <i> and <Id> are not identical" at the first
// record whose Id is not its index. The second form checks another table (a test seam).
void CheckLangStrEntries();
void CheckLangStrEntries(const TPGLangStrEntry* Table, int Count);

// Short forms for the library's own texts: the text of Id with the placeholders filled.
std::string PGLangStr(TPGMsg Id);
std::string PGLangStrS1(TPGMsg Id, const std::string& S1);

}  // namespace imagelib
