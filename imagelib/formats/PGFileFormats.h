// The file-format framework: the reader and writer base classes, the two global lists that hold
// one instance of each, the choice of a reader by signature (then extension) and of a writer by
// extension, file descriptions for the dialogs, the colour resolutions writers state, and what a
// warning of a codec library or a forced colour-resolution change does.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "classlib/lists.h"
#include "classlib/streams.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

// ---- colour resolutions

enum TPGColorResolution : uint8_t {
  pgcrBlackWhite, pgcr2Colors, pgcr16Gray, pgcr16SysColors, pgcr16Colors, pgcr256Gray, pgcr256Colors, pgcrTrueColor
};
// A set of resolutions: bit i stands for resolution i.
using TPGColorResolutions = uint8_t;
constexpr TPGColorResolutions PGAllColorResolutions = 0xFF;
constexpr TPGColorResolutions ColorResolutionBit(TPGColorResolution R) { return TPGColorResolutions(1u << R); }
constexpr bool HasColorResolution(TPGColorResolutions Set, TPGColorResolution R) { return Set & ColorResolutionBit(R); }

// The resolution's name in messages ("16 shades of gray").
std::string ColorResolutionName(TPGColorResolution R);
// The picture's resolution by its bit count and PaletteIdent (the caller brings the identifier up
// to date first).
TPGColorResolution GetColorResolution(const TPixelGraphic* Graphic);
// Row Current of the fallback order: the resolutions to try, the row's own first.
extern const TPGColorResolution PGColorResolutionFallback[8][8];
// The first resolution of Current's fallback row in CanWrite; none for an empty set.
std::optional<TPGColorResolution> FallbackColorResolution(TPGColorResolution Current, TPGColorResolutions CanWrite);

// ---- readers and writers

class TFileFormatReaderWriter : public TObject {
  CL_CLASS(TFileFormatReaderWriter)
  bool GetListed() const { return Listed; }
  const std::string& GetExtension() const { return Extension; }  // lower case, no dot
  const std::string& GetDescription() const { return Description; }

 protected:
  bool Listed = true;
  std::string Extension;
  std::string Description;
};

// The first bytes of the data, as the signature checks see them (zeros past a short stream's end).
using TFileFormatHeader = std::array<uint8_t, 17>;

class TFileFormatReader : public TFileFormatReaderWriter {
  CL_CLASS(TFileFormatReader)
  bool GetHasSignature() const { return HasSignature; }
  virtual bool CheckSignature(const TFileFormatHeader& Header);
  // Decodes picture Index of the data at the stream position into Graphic.
  virtual void Read(TStream* Stream, TPixelGraphic* Graphic, int Index);
  // Describes picture Index without decoding its pixels; the base clears everything (ImageCount 1).
  virtual void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
                       std::string& Colors, int& BitCount, int& ImageCount);

 protected:
  // A file of a single-picture format holds picture 0 only: Read refuses another Index with
  // message 7, GetInfo with message 20, each filled with "Index", after the format's Prefix.
  template <class E>
  static void CheckReadIndex(int Index, const std::string& Prefix) {
    if (Index != 0) throw E(Prefix + PGLangStrS1(pgmInvalid, "Index"));
  }
  template <class E>
  static void CheckInfoIndex(int Index, const std::string& Prefix) {
    if (Index != 0) throw E(Prefix + PGLangStrS1(pgmInvalidValueFor, "Index"));
  }

  bool HasSignature = false;
};

class TFileFormatWriter : public TFileFormatReaderWriter {
  CL_CLASS(TFileFormatWriter)
  bool GetMultiImage() const { return MultiImage; }
  TPGColorResolutions GetCanWriteResolutions() const { return CanWriteResolutions; }
  // One picture as a complete file at the stream position.
  virtual void Write(TStream* Stream, TPixelGraphic* Graphic);
  // The steps of a file of several pictures.
  virtual void BeginWrite(TStream* Stream);
  virtual void WriteImage(TStream* Stream, TPixelGraphic* Graphic);
  virtual void EndWrite(TStream* Stream);

 protected:
  bool MultiImage = false;
  TPGColorResolutions CanWriteResolutions = 0;
};

// One instance of each reader and writer class, owned by the lists; made by the library start-up.
// A list that does not exist counts as empty.
extern TListOf<TFileFormatReader>* FileFormatReaders;
extern TListOf<TFileFormatWriter>* FileFormatWriters;

// -1, 0 or 1 by the byte order of the lower-case extensions.
int CompareFileFormatExt(const TFileFormatReaderWriter* A, const TFileFormatReaderWriter* B);
// Put the list in extension order when it is not; safe against a worker thread doing the same.
void SortFileFormatReaders();
void SortFileFormatWriters();

// "Holiday.Photo.JPG" -> "jpg"; empty without an extension.
std::string GetLowerFileExt(const std::string& FileName);

// The reader for the data at the stream position (its signature first; the extension, with or
// without a dot, only for readers without one), or none. The position is unchanged; never raises.
TFileFormatReader* FindFileFormatReader(TStream* Stream, const std::string& Ext);
// The writer for an extension (a leading dot is removed; case is ignored). Raises
// EPGFileFormatWritersEmpty for an empty list and EPGUnknownExtension for an unknown extension.
TFileFormatWriter* FindFileFormatWriter(const std::string& Ext);

// True when a reader was found and described the picture; never raises. Failure, when given,
// receives the text of what refused the data (empty when nothing did, or no reader knew it).
bool GetFileFormatInfoFromStream(TStream* Stream, const std::string& Ext, int Index, std::string& Description,
                                 std::string& Info1, std::string& Info2, int& Width, int& Height, std::string& Colors,
                                 int& BitCount, int& ImageCount, std::string* Failure = nullptr);
// The same for a file; a missing file leaves the outputs untouched (Failure empty).
bool GetFileFormatInfo(const std::string& FileName, int Index, std::string& Description, std::string& Info1,
                       std::string& Info2, int& Width, int& Height, std::string& Colors, int& BitCount,
                       int& ImageCount, std::string* Failure = nullptr);

// ---- warnings

// What a warning of a codec library does under Action: none to go on, else the text of the
// exception the format raises (Prefix is the format's "JPG: "; FormatWord its "JPG" for the
// box caption). The boxes go through the application's message box.
std::optional<std::string> PGWarningOutcome(TPGWarningAction Action, const std::string& FormatWord,
                                            const std::string& Prefix, const std::string& Text);

template <class E>
void PGWarning(TPGWarningAction Action, const std::string& FormatWord, const std::string& Prefix,
               const std::string& Text) {
  if (std::optional<std::string> message = PGWarningOutcome(Action, FormatWord, Prefix, Text)) throw E(*message);
}

// The resolution a save through Writer uses for a picture of resolution Current; raises
// EPGCanWriteResolutionsEmpty when the writer states none.
TPGColorResolution ChooseColorResolution(const TFileFormatWriter* Writer, TPGColorResolution Current);
// Asks (or not) under Action whether the picture may be saved at Target instead of Current; raises
// EPGCannotWriteColorRes when the change is refused.
void ConfirmColorResolutionChange(TPGWarningAction Action, const TFileFormatWriter* Writer,
                                  TPGColorResolution Current, TPGColorResolution Target);

}  // namespace imagelib
