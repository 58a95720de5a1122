#include "classlib/bitmap.h"

#include <algorithm>
#include <cstring>

#include "classlib/exceptions.h"
#include "classlib/text.h"

namespace classlib {

// ---- TBitmapCanvas

void TBitmapCanvas::CreateHandle() {
  FDC = CreateCompatibleDC(nullptr);
  if (!FDC) throw EOutOfResources("Out of system resources");
  if (FBitmap->FSection) FOldBitmap = SelectObject(FDC, FBitmap->FSection);
  SetHandle(FDC);
}

void TBitmapCanvas::FreeContext() {
  if (!FDC) return;
  SetHandle(nullptr);
  if (FOldBitmap) SelectObject(FDC, FOldBitmap);
  DeleteDC(FDC);
  FDC = nullptr;
  FOldBitmap = nullptr;
}

// ---- TBitmap

TBitmap::~TBitmap() {
  delete FCanvas;
  if (FSection) DeleteObject(FSection);
}

void TBitmap::FillInfo(BITMAPINFO& Info) const {
  std::memset(&Info, 0, sizeof Info);
  Info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Info.bmiHeader.biWidth = FWidth;
  Info.bmiHeader.biHeight = FHeight;  // bottom-up
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 24;
  Info.bmiHeader.biCompression = BI_RGB;
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  if (AWidth < 0 || AHeight < 0) throw EInvalidGraphicOperation("Invalid image size");
  if (AWidth == FWidth && AHeight == FHeight) return;
  int64_t rowSize = (int64_t(AWidth) * 24 + 31) / 32 * 4;
  if (rowSize * AHeight > MaxBytes) throw EOutOfResources("Out of system resources");
  HBITMAP section = nullptr;
  void* bits = nullptr;
  if (AWidth > 0 && AHeight > 0) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = AWidth;
    info.bmiHeader.biHeight = AHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    section = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) throw EOutOfResources("Out of system resources");
    std::memset(bits, 0xFF, size_t(rowSize * AHeight));
    if (FSection) {
      GdiFlush();
      auto* to = static_cast<uint8_t*>(bits);
      int rows = std::min(AHeight, FHeight);
      size_t bytes = size_t(std::min(AWidth, FWidth)) * 3;
      for (int y = 0; y < rows; ++y)
        std::memcpy(to + size_t(AHeight - 1 - y) * size_t(rowSize), FBits + size_t(FHeight - 1 - y) * size_t(FRowSize),
                    bytes);
    }
  }
  if (FCanvas) FCanvas->FreeContext();
  if (FSection) DeleteObject(FSection);
  FSection = section;
  FBits = static_cast<uint8_t*>(bits);
  FWidth = AWidth;
  FHeight = AHeight;
  FRowSize = int(rowSize);
  Changed(this);
}

TCanvas* TBitmap::GetCanvas() {
  if (!FCanvas) {
    FCanvas = new TBitmapCanvas(this);
    FCanvas->OnChange = [this](TObject*) { Changed(this); };
  }
  return FCanvas;
}

HBITMAP TBitmap::GetHandle() {
  GdiFlush();
  if (FCanvas) FCanvas->FreeContext();
  return FSection;
}

uint8_t* TBitmap::GetScanLine(int Row) {
  if (!FSection || Row < 0 || Row >= FHeight)
    throw EInvalidGraphicOperation(Format("Scan line index out of range (%d)", Row));
  GdiFlush();
  return FBits + size_t(FHeight - 1 - Row) * size_t(FRowSize);
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    SetSize(0, 0);
    return;
  }
  if (auto* other = dynamic_cast<TBitmap*>(Source)) {
    if (other == this) return;
    SetSize(0, 0);
    SetSize(other->FWidth, other->FHeight);
    if (FSection) {
      GdiFlush();
      std::memcpy(FBits, other->FBits, size_t(FRowSize) * size_t(FHeight));
    }
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TBitmap::Draw(TCanvas* Canvas, const TRect& R) {
  if (!FSection) return;
  GdiFlush();
  BITMAPINFO info;
  FillInfo(info);
  StretchDIBits(Canvas->GetHandle(), R.Left, R.Top, R.Width(), R.Height(), 0, 0, FWidth, FHeight, FBits, &info,
                DIB_RGB_COLORS, Canvas->GetCopyMode());
}

}  // namespace classlib
