// TBitmap: a picture held in one 24-bit bottom-up bitmap section, so that its pixels are exact
// whatever the screen's depth, with a memory-DC canvas that draws into those pixels.
#pragma once

#include <cstdint>

#include "classlib/canvas.h"
#include "classlib/graphic.h"
#include "classlib/winapi.h"

namespace classlib {

class TBitmap;

// The canvas of a bitmap: a memory DC with the bitmap's section selected, made on first use.
class TBitmapCanvas : public TCanvas {
  CL_CLASS(TBitmapCanvas)
  explicit TBitmapCanvas(TBitmap* ABitmap) : FBitmap(ABitmap) {}
  ~TBitmapCanvas() override { FreeContext(); }
  // Gives the section back and deletes the DC; the pen, brush and font stay as they are.
  void FreeContext();

 protected:
  void CreateHandle() override;

 private:
  TBitmap* FBitmap;
  HDC FDC = nullptr;
  HGDIOBJ FOldBitmap = nullptr;
};

class TBitmap : public TGraphic {
  CL_CLASS(TBitmap)
  TBitmap() = default;
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;
  ~TBitmap() override;

  // Larger than this many bytes of pixels is refused ("Out of system resources").
  static constexpr int64_t MaxBytes = 0x7FFFFFFF;

  bool GetEmpty() override { return FSection == nullptr; }
  int GetWidth() override { return FWidth; }
  int GetHeight() override { return FHeight; }
  void SetWidth(int Value) override { SetSize(Value, FHeight); }
  void SetHeight(int Value) override { SetSize(FWidth, Value); }
  // Keeps the old pixels at the top left and makes new area white; a new bitmap is white.
  // Negative sizes raise EInvalidGraphicOperation; 0 makes the bitmap empty.
  void SetSize(int AWidth, int AHeight);

  TCanvas* GetCanvas();
  // The section, after pending drawing is flushed; the canvas lets go of it first.
  HBITMAP GetHandle();
  // Row Row (0 = top) as blue, green, red bytes, after pending drawing is flushed.
  uint8_t* GetScanLine(int Row);
  int GetRowSize() const { return FRowSize; }

  // A BMP file of any header, bit count, bit fields or run lengths, checked against the bytes
  // present; EInvalidGraphic "Bitmap image is not valid" leaves the bitmap as it was.
  void LoadFromStream(TStream* Stream) override;
  // 24 bits, bottom-up.
  void SaveToStream(TStream* Stream) override;
  // CF_BITMAP: a bitmap of the screen's kind.
  void SaveToClipboardFormat(WORD& Format, HANDLE& Data, HPALETTE& Palette) override;
  void LoadFromClipboardFormat(WORD Format, HANDLE Data, HPALETTE Palette) override;

  // From another TBitmap a deep copy; from the clipboard its bitmap; from nil an empty bitmap.
  void Assign(TPersistent* Source) override;

 protected:
  friend class TBitmapCanvas;
  void Draw(TCanvas* Canvas, const TRect& Rect) override;

 private:
  void FillInfo(BITMAPINFO& Info) const;
  HBITMAP FSection = nullptr;
  uint8_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  int FRowSize = 0;
  TBitmapCanvas* FCanvas = nullptr;
};

}  // namespace classlib
