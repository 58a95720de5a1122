#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imagelib/PGExceptions.h"
#include "imagelib/PGMessages.h"
#include "tests/test_support.h"

using namespace imagelib;
using testsupport::Escaped;

namespace {
// Sets the language slot for one test.
class LanguageScope {
 public:
  explicit LanguageScope(uint8_t Slot) : FOld(PGLanguage) { PGLanguage = Slot; }
  ~LanguageScope() { PGLanguage = FOld; }

 private:
  uint8_t FOld;
};

std::string Text(uint8_t Id) {
  std::string s = "unchanged";
  GetPGLangStr(Id, s);
  return s;
}

int Count(const std::string& S, const std::string& Sub) {
  int n = 0;
  for (size_t at = S.find(Sub); at != std::string::npos; at = S.find(Sub, at + 1)) ++n;
  return n;
}
}  // namespace

TEST(PGLangStr, TableIsInOrderAndCompleteInEveryLanguage) {
  EXPECT_NO_THROW(CheckLangStrEntries());
  for (int id = 1; id <= 83; ++id)
    for (int slot = 0; slot < 5; ++slot)
      EXPECT_GT(std::strlen(PGLangStrEntries[id].Texts[slot]), 0u) << "id " << id << " slot " << slot;
}

TEST(PGLangStr, TranslationsKeepThePlaceholders) {
  for (int id = 0; id < PGLangStrCount; ++id)
    for (int slot = 1; slot < 5; ++slot) {
      if (id == 19 && slot == 3) continue;  // the Dutch text does not show the extension
      for (const char* p : {"%S1", "%S2", "%S3"})
        EXPECT_EQ(Count(PGLangStrEntries[id].Texts[slot], p), Count(PGLangStrEntries[id].Texts[0], p))
            << "id " << id << " slot " << slot << " " << p;
    }
}

TEST(PGLangStr, EmptyIdsAndTheSixthSlot) {
  EXPECT_EQ(Text(0), "");
  EXPECT_EQ(Text(84), "");
  LanguageScope sixth(5);
  EXPECT_EQ(Text(25), "Image files");
  EXPECT_EQ(Text(24), "");
  EXPECT_EQ(Text(1), "");
}

TEST(PGLangStr, ALanguageAboveTheSlotsLeavesTheTextAlone) {
  LanguageScope beyond(6);
  EXPECT_EQ(Text(1), "unchanged");
}

TEST(PGLangStr, AnIdOutsideTheTableGivesAnEmptyText) {
  EXPECT_EQ(Text(85), "");
  EXPECT_EQ(Text(255), "");
}

TEST(PGLangStr, BindingEnglishTexts) {
  EXPECT_EQ(Text(1), "X, Y index out of range");
  EXPECT_EQ(Text(18), "The graphic cannot be saved with to a %S1 file with the current color resolution (%S2)");
  EXPECT_EQ(Text(19), "Unknown file extension \"%S1\"");
  EXPECT_EQ(Text(23), "Cannot apply this filter to a source that is identical to the target");
  EXPECT_EQ(Text(82), "\xB1");
  EXPECT_EQ(Text(83), "\xB0");
  std::string s17 = Text(17);
  size_t breakAt = s17.find("\r\r");
  ASSERT_NE(breakAt, std::string::npos);
  EXPECT_EQ(s17.substr(0, breakAt), "The graphic cannot be saved to a %S1 file with the current color resolution (%S2).");
  EXPECT_EQ(s17.substr(breakAt + 2), "The graphic will be saved with a different color resolution (%S3).");
  EXPECT_EQ(s17.find('\n'), std::string::npos);
}

TEST(PGLangStr, BindingTranslations) {
  struct Row {
    uint8_t Id, Slot;
    const char* Text;
  } rows[] = {
      {21, 1, "Nagative Höhe"},
      {21, 2, "Hauteur négative"},
      {21, 3, "Negatieve hoogte"},
      {21, 4, "Altura negativa"},
      {19, 1, "Unbekannte Dateinamenerweiterung \"%S1\""},
      {19, 2, "Extension de fichier inconnue \"%S1\"."},
      {19, 3, "Onbekende bestand extensie"},
      {19, 4, "Extensión de fichero desconocida \"%S1\""},
      {39, 1, "Unsupported Compression"},
      {39, 2, "Compression inconnue"},
      {39, 3, "Unsupported Compression"},
      {39, 4, "Compresión no soportada"},
      {43, 1, "Abbruch"},
      {43, 2, "Annuler"},
      {43, 3, "Annuleren"},
      {43, 4, "Cancelar"},
      {46, 2, "V"},
      {51, 2, "J"},
      {57, 2, "T"},
      {64, 2, "RVB"},
      {64, 1, "RGB"},
      {18, 2, "L'image ne peut être enregistrée dans un fichier %S1 avec l'actuelle profondeur de couleur (%S2)."},
      {18, 4, "El gráfico no puede ser grabado en el fichero %S1 con la resolución de color actual (%S2)"},
      {17, 4,
       "El gráfico no puede ser grabado en el fichero %S1 con la resolución de color actual (%S2)\r\r"
       "El gráfico sera grabado con una resolución de color diferente (%S3)."},
      {82, 4, "±"},
      {83, 3, "°"},
  };
  for (const Row& r : rows) {
    LanguageScope language(r.Slot);
    EXPECT_EQ(Text(r.Id), r.Text) << "id " << int(r.Id) << " slot " << int(r.Slot) << ": " << Escaped(Text(r.Id));
  }
  EXPECT_EQ(std::string("Höhe"), "H\xF6he") << "texts are Windows-1252 bytes";
}

// The names are the ids of their texts: in the table's order, one for each id that has a text.
TEST(TPGMsg, EachNameIsTheIdOfItsEnglishText) {
  const struct {
    TPGMsg Id;
    const char* English;
  } names[] = {
      {pgmXYOutOfRange, "X, Y index out of range"}, {pgmNoPalette, "No palette"},
      {pgmInvalidPaletteIndex, "Invalid palette index"}, {pgmUnknownClipboardFormat, "Unknown clipboard format"},
      {pgmInvalidTemporaryFile, "Invalid temporary file"}, {pgmUnknownFileFormat, "Unknown file format"},
      {pgmInvalid, "%S1 invalid"}, {pgmBlackAndWhite, "black and white"}, {pgm2Colors, "2 colors"},
      {pgm16Grays, "16 shades of gray"}, {pgm16SysColors, "16 system colors"}, {pgm16Colors, "16 colors"},
      {pgm256Grays, "256 shades of gray"}, {pgm256Colors, "256 colors"}, {pgmTrueColor, "16.7 million colors"},
      {pgmIsEmpty, "%S1 is empty"},
      {pgmSaveWithOtherResolution,
       "The graphic cannot be saved to a %S1 file with the current color resolution (%S2).\r\r"
       "The graphic will be saved with a different color resolution (%S3)."},
      {pgmCannotSaveResolution,
       "The graphic cannot be saved with to a %S1 file with the current color resolution (%S2)"},
      {pgmUnknownExtension, "Unknown file extension \"%S1\""}, {pgmInvalidValueFor, "Invalid value for %S1"},
      {pgmNegativeHeight, "Negative height"}, {pgmNegativeWidth, "Negative width"},
      {pgmFilterSourceIsTarget, "Cannot apply this filter to a source that is identical to the target"},
      {pgmBit, "bit"}, {pgmImageFiles, "Image files"}, {pgmAllFiles, "All files"},
      {pgmInvalidSizeOf, "Invalid size of %S1"}, {pgmWarning, "Warning"},
      {pgmAborted, "Operation aborted on user request"}, {pgmNotSupportedSubformat, "Not supported subformat"},
      {pgmFailed, "%S1 failed"}, {pgmUnexpectedEnd, "Unexpected end of file"},
      {pgmUnknownSubformat, "Unknown subformat"}, {pgmNotAFile, "Not a %S1 file"},
      {pgmWidthOrHeightZero, "Width = 0 or Height = 0"}, {pgmInvalidColorResolution, "Invalid color resolution"},
      {pgmUnsupportedFieldType, "Unsupported field type %S1"},
      {pgmInvalidRowByteCount, "Invalid count of bytes in row %S1"},
      {pgmUnsupportedCompression, "Unsupported Compression"},
      {pgmSaturationZeroHueDefined, "Saturation=0 and Hue defined"}, {pgmOutOfRange, "%S1 out of range"},
      {pgmOK, "OK"}, {pgmCancel, "Cancel"}, {pgmRGBFilter, "RGB Filter"}, {pgmRed, "R"}, {pgmGreen, "G"},
      {pgmBlue, "B"}, {pgmCMYFilter, "CMY Filter"}, {pgmCyan, "C"}, {pgmMagenta, "M"}, {pgmYellow, "Y"},
      {pgmYCbCrFilter, "YCbCr Filter"}, {pgmLuma, "Y"}, {pgmChromaBlue, "Cb"}, {pgmChromaRed, "Cr"},
      {pgmHLSFilter, "HLS Filter"}, {pgmHue, "H"}, {pgmLightness, "L"}, {pgmSaturation, "S"},
      {pgmHSVFilter, "HSV Filter"}, {pgmValue, "V"}, {pgmNegativeFilter, "Negative Filter"}, {pgmGamma, "Gamma"},
      {pgmApplyOnRGB, "RGB"}, {pgmApplyOnY, "Y"}, {pgmBrightness, "Brightness"}, {pgmContrast, "Contrast"},
      {pgmApplyOn, "Apply on"}, {pgmBCGFilter, "Brightness, Contrast, Gamma Filter"},
      {pgmGrayscaleFilter, "Grayscale Filter"}, {pgmRGBWeighting, "RGB weighting"},
      {pgmStdDeviation, "Std. deviation"}, {pgmStrength, "Strength"}, {pgmSharpen, "Sharpen"}, {pgmDetail, "Detail"},
      {pgmSmooth, "Smooth"}, {pgmRadius, "Radius"}, {pgmBlur, "Blur"}, {pgmContour, "Contour"}, {pgmWhite, "White"},
      {pgmBlack, "Black"}, {pgmPlusMinus, "±"}, {pgmDegree, "°"},
  };
  int id = 1;
  for (const auto& n : names) {
    EXPECT_EQ(n.Id, id++) << n.English;
    EXPECT_STREQ(PGLangStrEntries[n.Id].Texts[0], n.English) << "id " << int(n.Id);
  }
  EXPECT_EQ(id, PGLangStrCount - 1);  // ids 1..83: all but the two empty ones
}

TEST(PGLangStr, PlaceholdersAreFilledOnceInOrder) {
  std::string s;
  GetPGLangStrS1(7, "BitmapInfoHeader.biWidth", s);
  EXPECT_EQ(s, "BitmapInfoHeader.biWidth invalid");
  GetPGLangStrS1(7, "%S1 again", s);
  EXPECT_EQ(s, "%S1 again invalid") << "an argument is not searched again";
  GetPGLangStrS3(17, "PGM", "16 colors", "256 shades of gray", s);
  EXPECT_EQ(s,
            "The graphic cannot be saved to a PGM file with the current color resolution (16 colors).\r\r"
            "The graphic will be saved with a different color resolution (256 shades of gray).");
  // Each step searches the result of the one before.
  GetPGLangStrS2(7, "%S2", "X", s);
  EXPECT_EQ(s, "X invalid");
  GetPGLangStrS1(6, "dropped", s);
  EXPECT_EQ(s, "Unknown file format");
  LanguageScope dutch(3);
  GetPGLangStrS1(19, "xyz", s);
  EXPECT_EQ(s, "Onbekende bestand extensie");
}

TEST(CheckLangStrEntries, NamesTheFirstMisplacedRecord) {
  std::vector<TPGLangStrEntry> table(PGLangStrEntries, PGLangStrEntries + PGLangStrCount);
  std::swap(table[1], table[2]);
  try {
    CheckLangStrEntries(table.data(), int(table.size()));
    FAIL() << "a swapped table passed";
  } catch (const EPixelGraphic& e) {
    EXPECT_EQ(e.Message(), "PGLangStrEntries order wrong 1 and 2 are not identical");
  }
}

TEST(EPixelGraphic, EveryLibraryFailureIsOneOfTheFamily) {
  auto raise = [](auto e) {
    try {
      throw e;
    } catch (const EPixelGraphic& caught) {
      return std::string(caught.ClassName());
    }
  };
  EXPECT_EQ(raise(EPGXYIndexOutOfRange("x")), "EPGXYIndexOutOfRange");
  EXPECT_EQ(raise(EPGBMPFileFormatReader("x")), "EPGBMPFileFormatReader");
  EXPECT_EQ(raise(EPGConvFilter("x")), "EPGConvFilter");
  EXPECT_EQ(raise(EPGTIFFileFormatWriter("x")), "EPGTIFFileFormatWriter");
  classlib::Exception* base = nullptr;
  EPGEmpty empty("e");
  base = &empty;
  EXPECT_EQ(base->Message(), "e");
}
