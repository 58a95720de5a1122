// TPixelGraphic, the picture of the image library: one device-independent bitmap section of 1, 4,
// 8 or 24 bits per pixel with a palette, change notification and progress events; and the small
// numeric routines the library shares.
//
// Threads: a picture belongs to one thread at a time. Even reading writes to it (pending drawing
// is flushed, colour matches are remembered), so a picture lent to a worker is flushed first
// (GetBits) and its owner touches it again only after the worker has ended.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphic.h"
#include "classlib/winapi.h"
#include "imagelib/PGExceptions.h"
#include "imagelib/PGLimits.h"
#include "imagelib/PGMessages.h"

namespace imagelib {

using namespace classlib;

class TPGCanvas;
class TPGFilter;
enum TPGColorResolution : uint8_t;  // the file formats' colour resolutions

// A colour: red in the low byte, then green, then blue (0..$FFFFFF).
using TRGB = int32_t;

inline int RGBRed(TRGB C) { return C & 0xFF; }
inline int RGBGreen(TRGB C) { return (C >> 8) & 0xFF; }
inline int RGBBlue(TRGB C) { return (C >> 16) & 0xFF; }
inline TRGB MakeRGB(int R, int G, int B) { return TRGB(R | (G << 8) | (B << 16)); }

enum TPaletteIdent : uint8_t {
  pNone, pTrueColor, pUnknown, pBlackWhite, pSysGray4, pSys16, pGray4, pGray16, pGray236, pGray256,
  pSpecial125, pSpecial216, pSpecial252, pOptimized252Sys16, pSource
};
// A picture's bit-count code (BitCountNum), which indexes the tables kept per bit count: 1, 4, 8
// or 24 bits per pixel.
enum TPGBitCountNum : uint8_t { pgbc1Bit, pgbc4Bits, pgbc8Bits, pgbc24Bits };
enum TStretchMode : uint8_t { smFast, smMedium, smPrecise };
enum TPGWarningAction : uint8_t { pgwaIgnore, pgwaOKBox, pgwaOKCancelBox, pgwaRaise };

// The options of dithering into a palette picture (PGDither.cpp), handed on whole: from picture to
// picture, and from the picture view to its display-ready copy.
struct TDitherOptions {
  bool Dither = true;                // conversions into a palette dither
  uint8_t DitherErrorLimit = 32;     // the most error a pixel takes on
  bool DitherErrorLimitAuto = true;  // the limit chosen by the palette's kind instead
  bool DitherErrorLimitSoft = true;  // the limit as a knee rather than a cap
  bool operator==(const TDitherOptions&) const = default;
};

// (Sender, Step, Max, Abort): Step/Max of the work is done; setting Abort stops an operation that
// honours it.
using TPGProgressEvent = std::function<void(TObject* Sender, int Step, int Max, bool& Abort)>;

class TPixelGraphic : public TGraphic {
  CL_CLASS(TPixelGraphic)
  TPixelGraphic();
  TPixelGraphic(const TPixelGraphic&) = delete;
  TPixelGraphic& operator=(const TPixelGraphic&) = delete;
  ~TPixelGraphic() override;

  // ---- construction and copying (PGraphic.cpp)
  // A TPixelGraphic or nil; anything else goes to the class library.
  void Assign(TPersistent* Source) override;
  void AssignPalette(TPixelGraphic* Source);

  // ---- geometry (PGraphic.cpp)
  // The one place where pixel memory is made. Width is tested before height; a picture whose
  // pixel memory would exceed PGMaxImageSize is refused like a failed bitmap section.
  void NewImage(int AWidth, int AHeight, int ABitCountNum);
  // Raises what NewImage raises for a size it refuses: for readers, before a codec library
  // allocates anything for the picture.
  static void RequireImageSize(int AWidth, int AHeight, int ABitCountNum);
  int GetWidth() override { return Width; }
  int GetHeight() override { return Height; }
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  void SetBitCountNum(int Value);
  int GetBitCount() const;
  int GetBitCountNum() const { return BitCountNum; }
  bool IsTrueColor() const { return BitCountNum == pgbc24Bits; }
  // The code of 1, 4, 8 or 24 bits (TPGBitCountNum); EPGInvalidBitCountNum for any other count.
  static int BitCountToNum(int BitCount);
  int GetPaletteSize() const;
  int GetRowSize() const { return RowSize; }
  int GetImageSize() const { return ImageSize; }
  int GetPaletteCount() const { return PaletteCount; }
  TPaletteIdent GetPaletteIdent() const { return PaletteIdent; }
  bool GetEmpty() override { return Bits == nullptr; }
  int64_t GetStreamSize() const;

  // ---- options (inline: the setters only store)
  bool GetTransparent() override { return Transparent; }
  void SetTransparent(bool Value) override { Transparent = Value; }
  const TDitherOptions& GetDitherOptions() const { return DitherOptions; }
  void SetDitherOptions(const TDitherOptions& Value) { DitherOptions = Value; }
  bool GetDither() const { return DitherOptions.Dither; }
  void SetDither(bool Value) { DitherOptions.Dither = Value; }
  uint8_t GetDitherErrorLimit() const { return DitherOptions.DitherErrorLimit; }
  void SetDitherErrorLimit(uint8_t Value) { DitherOptions.DitherErrorLimit = Value; }
  bool GetDitherErrorLimitAuto() const { return DitherOptions.DitherErrorLimitAuto; }
  void SetDitherErrorLimitAuto(bool Value) { DitherOptions.DitherErrorLimitAuto = Value; }
  bool GetDitherErrorLimitSoft() const { return DitherOptions.DitherErrorLimitSoft; }
  void SetDitherErrorLimitSoft(bool Value) { DitherOptions.DitherErrorLimitSoft = Value; }
  bool GetFastJPGDecoding() const { return FastJPGDecoding; }
  void SetFastJPGDecoding(bool Value) { FastJPGDecoding = Value; }
  TStretchMode GetStretchMode() const { return StretchMode; }
  void SetStretchMode(TStretchMode Value) { StretchMode = Value; }
  TPGWarningAction GetReadWarningAction() const { return ReadWarningAction; }
  void SetReadWarningAction(TPGWarningAction Value) { ReadWarningAction = Value; }
  TPGWarningAction GetSaveColorResWarningAction() const { return SaveColorResWarningAction; }
  void SetSaveColorResWarningAction(TPGWarningAction Value) { SaveColorResWarningAction = Value; }
  long double GetGamma() const { return Gamma; }
  void SetGamma(long double Value) { Gamma = Value; }
  bool GetRaiseOnOutOfRange() const { return RaiseOnOutOfRange; }
  void SetRaiseOnOutOfRange(bool Value) { RaiseOnOutOfRange = Value; }
  bool GetNoPaletteRealize() const { return NoPaletteRealize; }
  void SetNoPaletteRealize(bool Value) { NoPaletteRealize = Value; }
  bool GetColorCache() const { return ColorCache; }
  bool GetRGBWeighting() const { return RGBWeighting; }
  bool GetIsGray() const { return IsGray; }

  // ---- loading, saving and the clipboard (PGLoadSave.cpp; PasteFromClipboard in PGClipboard.cpp)
  // Every load: an empty true-colour picture, then the reader chosen by the data's signature (or by
  // Ext, lower case without the dot, for formats without one), gamma correction and the palette's
  // kind; OnChange fires once. EPGUnknownFileFormat when no reader takes the data.
  void LoadFromStreamIndex(TStream* Stream, const std::string& Ext, int Index);
  void LoadFromStreamExt(TStream* Stream, const std::string& Ext);
  void LoadFromStream(TStream* Stream) override;
  void LoadFromFileIndex(const std::string& FileName, int Index);
  void LoadFromFile(const std::string& FileName) override;
  // Every save by extension: the writer for Ext, and a converted copy when the writer cannot store
  // the picture's colour resolution (after the warning SaveColorResWarningAction asks for).
  void SaveWithWriter(bool ToFile, const std::string& FileName, const std::string& Ext, TStream* Stream);
  // Removes the file again when the save fails and the file did not exist before.
  void SaveToFile(const std::string& FileName) override;
  virtual void SaveToStreamExt(TStream* Stream, const std::string& Ext);
  // As a bitmap file, whatever its colour resolution.
  void SaveToStream(TStream* Stream) override;
  // Component streams: a 32-bit length, then the picture as a bitmap file.
  void WriteData(TStream* Stream) override;
  void ReadData(TStream* Stream) override;
  // A packed bitmap in a movable global block (CF_DIB); the caller owns the block.
  void SaveToClipboardFormat(WORD& Format, HANDLE& Data, HPALETTE& Palette) override;
  // CF_DIB only, else EPGUnknownClipboardFormat.
  void LoadFromClipboardFormat(WORD Format, HANDLE Data, HPALETTE Palette) override;
  // Loads the clipboard's packed bitmap when it holds one (Windows build).
  void PasteFromClipboard();

  // ---- pixel access (PGraphic.cpp; the raw accessors inline below; each first flushes pending drawing)
  uint8_t* GetBits();
  // Row Y (0 = top) of the bottom-up pixel memory; none for an empty picture (no range check).
  uint8_t* ScanLine(int Y);
  // Raw value: a palette index, or a TRGB for 24 bits. Outside the picture (or without pixel
  // memory): EPGXYIndexOutOfRange with RaiseOnOutOfRange, else BackGroundColor.
  int32_t GetPixel(int X, int Y);
  // Raw value; outside: EPGXYIndexOutOfRange with RaiseOnOutOfRange, else nothing.
  void SetPixel(int X, int Y, int32_t Value);
  TRGB GetPixelColor(int X, int Y);
  void SetPixelColor(int X, int Y, TRGB Color);
  // The index itself for true colour; EPGInvalidPaletteIndex outside the palette.
  TRGB GetPaletteEntry(int Index) const;
  TRGB GetBackGroundColor() const;
  void SetBackGroundColor(TRGB Color);
  int32_t GetBackGroundValue() const { return BackGroundColor; }
  void Clear();

  // ---- change notification (PGraphic.cpp)
  void BeginUpdate() { ++UpdateCount; }
  void EndUpdate();
  int GetUpdateCount() const { return UpdateCount; }
  // OnChange(this) when the update count is 0.
  void Changed(TObject* Sender = nullptr) override;
  TNotifyEvent GetOnChange() const { return OnChange; }
  void SetOnChange(TNotifyEvent Value) { OnChange = std::move(Value); }
  TNotifyEvent GetOnProgressStart() const { return OnProgressStart; }
  void SetOnProgressStart(TNotifyEvent Value) { OnProgressStart = std::move(Value); }
  TPGProgressEvent GetOnProgress() const { return OnProgress; }
  void SetOnProgress(TPGProgressEvent Value) { OnProgress = std::move(Value); }
  TNotifyEvent GetOnProgressEnd() const { return OnProgressEnd; }
  void SetOnProgressEnd(TNotifyEvent Value) { OnProgressEnd = std::move(Value); }

  TPGProgressEvent OnProgress;
  TNotifyEvent OnProgressStart;
  TNotifyEvent OnProgressEnd;

  // ---- drawing (PGraphicDraw.cpp; natively PGraphicNative.cpp, where pictures never draw)
  // Made on first use; every call marks drawing as possibly pending.
  TPGCanvas* GetCanvas();
  void FreeCanvasHandle();
  void DrawToDC(HDC DC, const TRect& Rect, bool BackgroundPalette, DWORD RasterOp);
  // Draws through the canvas even on a device that can stretch bits (a test seam).
  static void SetForceCanvasBlit(bool Value);

  // ---- the logical palette (PGraphic.cpp)
  // Rebuilt when stale; 0 for true colour or an empty palette.
  HPALETTE GetPalette() override;

  // ---- palettes and colour matching (PGPalettes.cpp)
  virtual void InvalidateColorCache();
  virtual void SetColorCache(bool Value);
  virtual void SetPaletteCount(int Count);
  virtual void SetPaletteIdent(TPaletteIdent Ident);
  virtual void SetPaletteEntry(int Index, TRGB Color);
  virtual void SetRGBWeighting(bool Value);
  virtual int32_t ColorToIndex(TRGB Color);
  void UpdatePaletteIdent();

  // ---- stretching and copying (PGStretch.cpp)
  // The target is this picture; it keeps its size, bit count and palette.
  // Resamples the source rectangle onto the target rectangle by the target's StretchMode; the parts
  // of either rectangle outside their pictures are skipped.
  void StretchCopy(int DstX, int DstY, int DstW, int DstH, int SrcX, int SrcY, int SrcW, int SrcH,
                   TPixelGraphic* Source);
  // Copies the source rectangle of the same size at (SrcX, SrcY) to (DstX, DstY).
  void CopyRect(int DstX, int DstY, int DstW, int DstH, int SrcX, int SrcY, TPixelGraphic* Source);
  // The whole source onto the whole target.
  void CopyFrom(TPixelGraphic* Source);

  // ---- conversions between pictures (PGConversion.cpp)
  // The colour that conversions read for each pixel index: the palette entry, and for an index at
  // or beyond the palette's end the colour the bitmap's colour table shows for it.
  void ConversionColors(TRGB (&Colors)[256]) const;
  TRGB ConversionColor(int Index) const;
  // Count pixels of row Y from FirstX as blue, green, red, palette indices through Colors (the
  // picture's ConversionColors, made once per conversion).
  void ReadRowColors(int Y, int FirstX, int Count, const TRGB* Colors, uint8_t* BGR);

  // ---- filtering (PGFilters.cpp)
  // Fills this picture with Source filtered: Source's size at this picture's bit count, or in place
  // when Source is this picture (colour filters only, else EPGFilter). A colour filter on a palette
  // target of at least Source's bit count filters the palette only.
  void ApplyFilter(TPGFilter* Filter, TPixelGraphic* Source);

  // ---- dithering (PGDither.cpp)
  // Prepares dithering into this picture: error rows, limit table, IsGray.
  void BeginDither();
  // Writes pixel (X, Y) from (R, G, B) plus the diffused error and spreads the new error. Even rows
  // run left to right, odd rows right to left; the caller visits the columns in that order.
  void DitherPixel(int X, int Y, int R, int G, int B);
  // Before each row: the next error row becomes the current one.
  void NextDitherRow();
  // DitherPixel for every pixel of row Y in the row's direction, the colours taken from a row of
  // Width pixels of blue, green, red: the same result, without a call per pixel.
  void DitherRow(int Y, const uint8_t* BGR);
  void EndDither();
  // The error limit applied to an error e of -255..255 (after BeginDither).
  int32_t GetDitherLimit(int E) const { return DitherLimitTable ? DitherLimitTable[size_t(E + 255)] : E; }

  // ---- packed device-independent bitmaps (PGDIB.cpp)
  // Reads a block at the stream position into the picture: a 12-byte core header when CoreHeader,
  // else a 40-byte info header, then the colour table and the pixels. Header faults raise
  // EPGBMPFileFormatReader "BMP: ...", as do uncompressed rows the stream cannot hold ("Unexpected
  // end of file"); run-length data missing at the end of the stream leave black rows.
  void ReadDIB(TStream* Stream, bool CoreHeader);
  // The same, for a file header that says where the pixels start: PixelOffset (a stream position)
  // is used only when it leaves a gap after the colour table and lies within the stream.
  void ReadDIB(TStream* Stream, bool CoreHeader, int64_t PixelOffset);
  // Writes the picture as a block with a 40-byte info header; stream failures propagate.
  void WriteDIB(TStream* Stream);
  // Colour-table entries of the block WriteDIB writes: the palette, or the full table of the bit
  // count when a 1-, 4- or 8-bit picture has no palette (or more entries than its table holds).
  int GetDIBColorCount() const;

  // ---- state for tests and the library's own modules (inline)
  HBITMAP GetDIBSection() const { return DIBSection; }
  const BITMAPINFO* GetBitmapInfo() const { return reinterpret_cast<const BITMAPINFO*>(BitmapInfo.get()); }
  HPALETTE GetPaletteHandle() const { return PaletteHandle; }
  bool GetPaletteStale() const { return PaletteStale; }
  bool GetGdiPending() const { return GdiPending; }
  TPGCanvas* GetCanvasIfAny() const { return Canvas; }

 protected:
  // ---- drawing (PGraphicDraw.cpp; natively PGraphicNative.cpp)
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // The platform flush of queued drawing, when the canvas has been handed out.
  void FlushGdi() {
    if (GdiPending) {
      GdiFlush();
      GdiPending = false;
    }
  }

  // ---- geometry (PGraphic.cpp)
  RGBQUAD* ColorTable() const;

  // ---- loading (PGLoadSave.cpp)
  // Gamma correction of freshly loaded pixels (or palette) to the display gamma.
  void ApplyGammaCorrection();
  // Bit count and palette of a save's converted copy for resolution Target.
  void PrepareForResolution(TPGColorResolution Target, TPixelGraphic* Source);

  // ---- palettes and colour matching (PGPalettes.cpp)
  int32_t NearestPaletteIndex(TRGB Color) const;
  // ColorToIndex without the virtual call (inline in PGColorMatch.h), and its out-of-line part.
  inline int32_t MatchColor(TRGB Color);
  int32_t MatchUnknownColor(TRGB Color);
  // Allocates and seeds the colour map when it is invalid.
  void EnsureColorMap();

  // ---- conversions between pictures (PGConversion.cpp)
  // Begins dithering for a conversion into this picture when it dithers; tells whether it does.
  bool PrepareDithering();
  // One converted pixel: bytes for 24 bits, else dithered or matched.
  void WriteConverted(int X, int Y, int R, int G, int B, bool Dithering);
  // Count converted pixels of row Y from X0, from blue, green, red at BGR, in the row's direction;
  // without Valid every column is written (into true colour as one block, and a dithered whole row
  // through DitherRow), with it only the columns it marks.
  void WriteConvertedRow(int Y, int X0, int Count, const uint8_t* BGR, bool Dithering, const std::vector<bool>* Valid);

  // ---- dithering (PGDither.cpp)
  // Clears a stale next dither row.
  void ClearDitherRowNext();
  // DitherRow's colour matching of Kind: pSpecial252 and pSys16 through their fine grids,
  // pUnknown through the colour map, pNone through MatchColor (ColorToIndex unless Direct).
  template <TPaletteIdent Kind>
  struct TDitherMatch;
  // DitherRow with the matching of Kind; Gray dithers the luminance.
  template <TPaletteIdent Kind, bool Gray>
  void DitherRowWith(int Y, const uint8_t* BGR, bool Direct);
  // The row into pixels of bit count N, left to right when Ahead is 1, right to left when -1.
  template <int N, int Ahead, bool Gray, class Match>
  void DitherRowBits(int Y, const uint8_t* BGR, Match M);

  // ---- fields
  int32_t BackGroundColor = 0;
  uint8_t BitCountNum = pgbc24Bits;
  uint8_t* Bits = nullptr;
  std::unique_ptr<uint8_t[]> BitmapInfo;  // header and colour table of the section
  TPGCanvas* Canvas = nullptr;
  TDitherOptions DitherOptions;
  std::unique_ptr<int32_t[]> DitherLimitTable;
  std::unique_ptr<int32_t[]> DitherRowCurrent, DitherRowNext;
  int DitherWidth = 0;           // the width the rows were made for
  bool DitherNextStale = false;  // DitherRowNext holds an old row: it counts as cleared
  std::unique_ptr<int16_t[]> DitherSumLimit;  // the limited error per possible sum, for DitherRow
  std::unique_ptr<int16_t[]> DitherSevens;    // 7 times each palette entry's channels, for DitherRow
  bool ColorCache = true;
  bool FastJPGDecoding = false;
  int32_t Height = 0;
  bool NoPaletteRealize = false;
  bool IsGray = false;
  long double Gamma;
  int32_t ImageSize = 0;
  int32_t PaletteCount = 0;
  int32_t RowSize = 0;
  HPALETTE PaletteHandle = nullptr;
  uint8_t PaletteEntryFlags = 0;
  std::unique_ptr<uint8_t[]> ColorMap;
  bool ColorMapInvalid = true;
  TRGB LastColor = 0;
  bool LastColorInvalid = true;
  std::unique_ptr<uint8_t[]> ColorMapFilled;
  int32_t LastIndex = 0;
  bool PaletteStale = false;
  std::vector<TRGB> PaletteEntries;
  TPaletteIdent PaletteIdent = pTrueColor;
  bool RGBWeighting = true;
  TStretchMode StretchMode = smPrecise;
  bool Transparent = false;
  int32_t UpdateCount = 0;
  TPGWarningAction ReadWarningAction = pgwaOKCancelBox;
  bool RaiseOnOutOfRange = false;
  TPGWarningAction SaveColorResWarningAction = pgwaOKCancelBox;
  bool GdiPending = false;
  int32_t Width = 0;
  HBITMAP DIBSection = nullptr;

 private:
  void DestroyCanvas();   // PGraphicDraw.cpp: frees the canvas and its device context
  void FillColorTable();  // PGraphic.cpp
};

// Pictures constructed and not yet destroyed, on every thread (the tests' leak checks).
int LivePixelGraphicCount();

// ---- numeric routines (PGraphic.cpp)
inline int IntMax(int A, int B) { return A > B ? A : B; }
inline int IntMin(int A, int B) { return A < B ? A : B; }
// Left <= X < Right and Top <= Y < Bottom.
inline bool PointInRect(const TPoint& P, const TRect& R) {
  return P.X >= R.Left && P.X < R.Right && P.Y >= R.Top && P.Y < R.Bottom;
}
// 0..765: weighted (R*897 + G*1761 + B*342) div 1000, else R + G + B.
inline int Luminance3(TRGB Color, bool Weighted) {
  int r = RGBRed(Color), g = RGBGreen(Color), b = RGBBlue(Color);
  return Weighted ? (r * 897 + g * 1761 + b * 342) / 1000 : r + g + b;
}
// Truncation, minus 1 when the fraction is negative.
int PGFloor(long double X);
// Exponent 0 -> 1; base 0 -> 0; base 1 -> 1; base < 0 -> EPixelGraphic "Invalid Argument";
// else e^(Exponent * ln Base).
long double PGPower(long double Base, long double Exponent);

// ---- inline pixel access

inline uint8_t* TPixelGraphic::GetBits() {
  FlushGdi();
  return Bits;
}

inline uint8_t* TPixelGraphic::ScanLine(int Y) {
  FlushGdi();
  if (!Bits) return nullptr;
  return Bits + int64_t(RowSize) * (int64_t(Height) - Y - 1);
}

inline int32_t TPixelGraphic::GetPixel(int X, int Y) {
  FlushGdi();
  if (!Bits || X < 0 || Y < 0 || X >= Width || Y >= Height) {
    if (RaiseOnOutOfRange) throw EPGXYIndexOutOfRange(PGLangStr(pgmXYOutOfRange));
    return BackGroundColor;
  }
  const uint8_t* row = Bits + int64_t(RowSize) * (Height - Y - 1);
  switch (BitCountNum) {
    case pgbc1Bit: return (row[X >> 3] >> (7 - (X & 7))) & 1;
    case pgbc4Bits: return (X & 1) ? (row[X >> 1] & 0x0F) : (row[X >> 1] >> 4);
    case pgbc8Bits: return row[X];
    default: {
      const uint8_t* p = row + int64_t(X) * 3;
      return p[2] | (p[1] << 8) | (p[0] << 16);
    }
  }
}

inline void TPixelGraphic::SetPixel(int X, int Y, int32_t Value) {
  FlushGdi();
  if (!Bits || X < 0 || Y < 0 || X >= Width || Y >= Height) {
    if (RaiseOnOutOfRange) throw EPGXYIndexOutOfRange(PGLangStr(pgmXYOutOfRange));
    return;
  }
  uint8_t* row = Bits + int64_t(RowSize) * (Height - Y - 1);
  switch (BitCountNum) {
    case pgbc1Bit: {
      uint8_t mask = uint8_t(0x80 >> (X & 7));
      if (Value == 1)
        row[X >> 3] |= mask;
      else
        row[X >> 3] &= uint8_t(~mask);
      break;
    }
    case pgbc4Bits: {
      uint8_t& b = row[X >> 1];
      if (X & 1)
        b = uint8_t((b & 0xF0) | (Value & 0x0F));
      else
        b = uint8_t((b & 0x0F) | ((Value & 0x0F) << 4));
      break;
    }
    case pgbc8Bits: row[X] = uint8_t(Value); break;
    default: {
      uint8_t* p = row + int64_t(X) * 3;
      p[0] = uint8_t(Value >> 16);
      p[1] = uint8_t(Value >> 8);
      p[2] = uint8_t(Value);
    }
  }
}

}  // namespace imagelib
