// The picture model: construction, copying, pixel memory, clearing, change notification, the
// logical palette and the numeric routines.
#include "imagelib/PGraphic.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "classlib/finally.h"
#include "classlib/numerics.h"
#include "imagelib/PGOptions.h"

namespace imagelib {

namespace {
std::atomic<int> gLivePictures{0};
}

int LivePixelGraphicCount() { return gLivePictures; }

TPixelGraphic::TPixelGraphic() : Gamma(PGDisplayGamma) { ++gLivePictures; }

TPixelGraphic::~TPixelGraphic() {
  --gLivePictures;
  FlushGdi();
  EndDither();
  TPixelGraphic::InvalidateColorCache();
  DestroyCanvas();
  if (PaletteHandle) DeleteObject(PaletteHandle);
  if (DIBSection) DeleteObject(DIBSection);
}

// ---- copying

void TPixelGraphic::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TPixelGraphic*>(Source);
  if (Source && !source) {
    TGraphic::Assign(Source);
    return;
  }
  if (source == this) return;  // a copy onto itself would first clear the pixels it copies
  BeginUpdate();
  Finally(
      [&] {
        if (!source) {
          NewImage(0, 0, pgbc24Bits);
          return;
        }
        FlushGdi();
        source->FlushGdi();
        NewImage(source->Width, source->Height, source->BitCountNum);
        if (Bits && source->Bits) std::memcpy(Bits, source->Bits, size_t(ImageSize));
        SetPaletteIdent(source->PaletteIdent);
        SetPaletteCount(source->PaletteCount);
        BackGroundColor = source->BackGroundColor;
        DitherOptions = source->DitherOptions;
        SetColorCache(source->ColorCache);
        Gamma = source->Gamma;
        SetRGBWeighting(source->RGBWeighting);
        StretchMode = source->StretchMode;
        ReadWarningAction = source->ReadWarningAction;
        Transparent = source->Transparent;
        RaiseOnOutOfRange = source->RaiseOnOutOfRange;
        SaveColorResWarningAction = source->SaveColorResWarningAction;
        for (int i = 0; i < source->PaletteCount; ++i) SetPaletteEntry(i, source->PaletteEntries[size_t(i)]);
        UpdatePaletteIdent();
      },
      [&] { EndUpdate(); });
}

void TPixelGraphic::AssignPalette(TPixelGraphic* Source) {
  SetPaletteCount(Source->PaletteCount);
  for (int i = 0; i < Source->PaletteCount; ++i) SetPaletteEntry(i, Source->PaletteEntries[size_t(i)]);
  UpdatePaletteIdent();
}

// ---- geometry

namespace {
constexpr int kBitsPerPixel[4] = {1, 4, 8, 24};
constexpr int kPaletteSize[4] = {2, 16, 256, 0};

// What NewImage refuses before it touches the picture. The code indexes the per-bit-count tables,
// so an unknown one is refused up front.
void RequireSizeAndCode(int AWidth, int AHeight, int ABitCountNum) {
  RequireNonNegativeSize(AWidth, AHeight);
  if (ABitCountNum < pgbc1Bit || ABitCountNum > pgbc24Bits)
    throw EPGInvalidBitCountNum(PGLangStrS1(pgmInvalidValueFor, "BitCountNum"));
}
}  // namespace

int TPixelGraphic::GetBitCount() const { return kBitsPerPixel[BitCountNum]; }
int TPixelGraphic::GetPaletteSize() const { return kPaletteSize[BitCountNum]; }

int TPixelGraphic::BitCountToNum(int BitCount) {
  switch (BitCount) {
    case 1: return pgbc1Bit;
    case 4: return pgbc4Bits;
    case 8: return pgbc8Bits;
    case 24: return pgbc24Bits;
    default: throw EPGInvalidBitCountNum(PGLangStrS1(pgmInvalidValueFor, "BitCountNum"));
  }
}

// Counts the colour table the packed bitmap really carries (see GetDIBColorCount).
int64_t TPixelGraphic::GetStreamSize() const { return 4 * int64_t(GetDIBColorCount()) + ImageSize + 58; }

void TPixelGraphic::SetWidth(int Value) {
  if (Value != Width) NewImage(Value, Height, BitCountNum);
}

void TPixelGraphic::SetHeight(int Value) {
  if (Value != Height) NewImage(Width, Value, BitCountNum);
}

void TPixelGraphic::SetBitCountNum(int Value) {
  if (Value != BitCountNum) NewImage(Width, Height, Value);
}

RGBQUAD* TPixelGraphic::ColorTable() const {
  return BitmapInfo ? reinterpret_cast<RGBQUAD*>(BitmapInfo.get() + sizeof(BITMAPINFOHEADER)) : nullptr;
}

void TPixelGraphic::FillColorTable() {
  RGBQUAD* table = ColorTable();
  for (int i = 0; i < GetPaletteSize(); ++i) {
    // Slots beyond the palette are black, so that what they show never depends on the colours a
    // picture held before.
    TRGB c = i < PaletteCount ? PaletteEntries[size_t(i)] : 0;
    table[i] = RGBQUAD{uint8_t(RGBBlue(c)), uint8_t(RGBGreen(c)), uint8_t(RGBRed(c)), 0};
  }
}

void TPixelGraphic::RequireImageSize(int AWidth, int AHeight, int ABitCountNum) {
  RequireSizeAndCode(AWidth, AHeight, ABitCountNum);
  RequireImageSizeWithinLimit(AWidth, AHeight, kBitsPerPixel[ABitCountNum]);
}

void TPixelGraphic::NewImage(int AWidth, int AHeight, int ABitCountNum) {
  RequireSizeAndCode(AWidth, AHeight, ABitCountNum);
  if (AWidth == Width && AHeight == Height && ABitCountNum == BitCountNum) {
    Clear();
    return;
  }
  Width = AWidth;
  Height = AHeight;
  BitCountNum = uint8_t(ABitCountNum);
  FlushGdi();
  FreeCanvasHandle();
  if (DIBSection) DeleteObject(DIBSection);
  DIBSection = nullptr;
  Bits = nullptr;
  BitmapInfo.reset();

  // Sizes come from files too: anything the 32-bit fields cannot describe is refused, and the
  // picture keeps the size without pixel memory.
  RowSize = 0;
  ImageSize = 0;
  RequireImageSizeWithinLimit(AWidth, AHeight, GetBitCount());
  int64_t rowSize = ((int64_t(GetBitCount()) * AWidth + 31) / 32) * 4;
  int64_t imageSize = rowSize * AHeight;
  RowSize = int32_t(rowSize);
  ImageSize = int32_t(imageSize);
  if (ImageSize == 0) {
    Changed();
    return;
  }

  int paletteSize = GetPaletteSize();
  if (paletteSize < PaletteCount) SetPaletteCount(paletteSize);
  if (IsTrueColor()) PaletteIdent = pTrueColor;

  BitmapInfo.reset(new uint8_t[sizeof(BITMAPINFOHEADER) + 4 * size_t(paletteSize)]());
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(BitmapInfo.get());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = AWidth;
  header->biHeight = AHeight;
  header->biPlanes = 1;
  header->biBitCount = WORD(GetBitCount());
  header->biCompression = BI_RGB;
  header->biSizeImage = DWORD(ImageSize);
  header->biClrUsed = DWORD(paletteSize);
  FillColorTable();

  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(BitmapInfo.get()), DIB_RGB_COLORS,
                                     &bits, nullptr, 0);
  if (!section || !bits) {
    if (section) DeleteObject(section);
    BitmapInfo.reset();
    RowSize = 0;
    ImageSize = 0;
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "CreateDIBSection"));
  }
  DIBSection = section;
  Bits = static_cast<uint8_t*>(bits);
  Changed();
}

// ---- pixels

TRGB TPixelGraphic::GetPixelColor(int X, int Y) {
  int32_t value = GetPixel(X, Y);
  return IsTrueColor() ? value : GetPaletteEntry(value);
}

void TPixelGraphic::SetPixelColor(int X, int Y, TRGB Color) {
  SetPixel(X, Y, IsTrueColor() ? Color : ColorToIndex(Color));
}

TRGB TPixelGraphic::GetPaletteEntry(int Index) const {
  if (PaletteIdent == pTrueColor) return Index;
  if (Index < 0 || Index >= PaletteCount) throw EPGInvalidPaletteIndex(PGLangStr(pgmInvalidPaletteIndex));
  return PaletteEntries[size_t(Index)];
}

TRGB TPixelGraphic::GetBackGroundColor() const {
  return IsTrueColor() ? BackGroundColor : GetPaletteEntry(BackGroundColor);
}

void TPixelGraphic::SetBackGroundColor(TRGB Color) {
  BackGroundColor = IsTrueColor() ? Color : ColorToIndex(Color);
}

void TPixelGraphic::Clear() {
  FlushGdi();
  if (!Bits || Width <= 0 || Height <= 0) return;
  if (BackGroundColor == 0) {
    std::memset(Bits, 0, size_t(ImageSize));
  } else if (BitCountNum == pgbc8Bits) {
    for (int y = 0; y < Height; ++y) std::memset(Bits + int64_t(RowSize) * y, uint8_t(BackGroundColor), size_t(Width));
  } else {
    // The result of SetPixel for every pixel: the top row pixel by pixel, then its pixel bytes
    // copied into the other rows. Padding and the spare bits of a last partial byte stay as they are.
    for (int x = 0; x < Width; ++x) SetPixel(x, 0, BackGroundColor);
    const uint8_t* top = ScanLine(0);
    int64_t fullBytes, partialMask;  // mask of the pixel bits in the last partial byte
    if (BitCountNum == pgbc1Bit) {
      fullBytes = Width / 8;
      partialMask = (Width % 8) ? (0xFF00 >> (Width % 8)) & 0xFF : 0;
    } else if (BitCountNum == pgbc4Bits) {
      fullBytes = Width / 2;
      partialMask = (Width % 2) ? 0xF0 : 0;
    } else {
      fullBytes = int64_t(Width) * 3;
      partialMask = 0;
    }
    for (int y = 1; y < Height; ++y) {
      uint8_t* row = ScanLine(y);
      std::memcpy(row, top, size_t(fullBytes));
      if (partialMask)
        row[fullBytes] = uint8_t((row[fullBytes] & ~partialMask) | (top[fullBytes] & partialMask));
    }
  }
  Changed();
}

// ---- change notification

void TPixelGraphic::EndUpdate() {
  --UpdateCount;
  Changed();
}

void TPixelGraphic::Changed(TObject*) {
  if (UpdateCount == 0 && OnChange) OnChange(this);
}

// ---- logical palette

HPALETTE TPixelGraphic::GetPalette() {
  if (!PaletteStale) return PaletteHandle;
  if (PaletteHandle) {
    // The canvas may still have the old palette selected; a selected palette cannot be deleted.
    FreeCanvasHandle();
    DeleteObject(PaletteHandle);
    PaletteHandle = nullptr;
  }
  if (PaletteIdent != pTrueColor && PaletteCount > 0) {
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * size_t(PaletteCount));
    auto* logPalette = reinterpret_cast<LOGPALETTE*>(block.data());
    logPalette->palVersion = 0x300;
    logPalette->palNumEntries = WORD(PaletteCount);
    for (int i = 0; i < PaletteCount; ++i) {
      TRGB c = PaletteEntries[size_t(i)];
      logPalette->palPalEntry[i] =
          PALETTEENTRY{uint8_t(RGBRed(c)), uint8_t(RGBGreen(c)), uint8_t(RGBBlue(c)), uint8_t(PaletteEntryFlags ? 1 : 0)};
    }
    PaletteHandle = CreatePalette(logPalette);
  }
  PaletteStale = false;
  return PaletteHandle;
}

// ---- numeric routines

int PGFloor(long double X) {
  int64_t t = Trunc(X);
  if (Frac(X) < 0) --t;
  if (t < INT32_MIN || t > INT32_MAX) throw EInvalidOp();
  return int(t);
}

long double PGPower(long double Base, long double Exponent) {
  if (Exponent == 0) return 1;
  if (Base == 0) return 0;
  if (Base == 1) return 1;
  if (Base < 0) throw EPixelGraphic("Invalid Argument");
  return expl(Exponent * logl(Base));
}

}  // namespace imagelib
