// TBitmap as a BMP file and on the clipboard. A file is checked whole before any of it is used:
// every header field against its limits and every offset against the bytes present; GDI then
// converts the checked pixels (any bit count, bit fields, run lengths) into the 24-bit section.
#include <cstring>
#include <vector>

#include "classlib/bitmap.h"
#include "classlib/clipboard.h"
#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/streams.h"

namespace classlib {

namespace {
constexpr int64_t kFileHeaderSize = 14;
constexpr uint32_t kCoreHeaderSize = 12;

uint32_t Le32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

[[noreturn]] void Invalid() { throw EInvalidGraphic("Bitmap image is not valid"); }

// The header of a checked file, in the info-header form that GDI takes, and where its parts lie.
struct TCheckedBmp {
  int Width = 0;
  int Height = 0;            // negative for top-down rows
  int64_t TableEnd = 0;      // the header and colour table, as GDI reads them, end here
  int64_t PixelOffset = 0;
  bool RunLengths = false;
};

TCheckedBmp CheckBmp(const std::vector<uint8_t>& File) {
  const int64_t size = int64_t(File.size());
  if (size < kFileHeaderSize + 4 || File[0] != 'B' || File[1] != 'M') Invalid();
  const uint8_t* h = File.data() + kFileHeaderSize;
  uint32_t headerSize = Le32(h);
  int64_t width, height;
  uint32_t planes, bits, compression = BI_RGB, colorsUsed = 0, imageSize = 0;
  int64_t entrySize = 4;
  switch (headerSize) {
    case kCoreHeaderSize:
      if (size < kFileHeaderSize + headerSize) Invalid();
      width = Le16(h + 4);
      height = Le16(h + 6);
      planes = Le16(h + 8);
      bits = Le16(h + 10);
      entrySize = 3;
      break;
    case 40: case 52: case 56: case 108: case 124:
      if (size < kFileHeaderSize + headerSize) Invalid();
      width = int32_t(Le32(h + 4));
      height = int32_t(Le32(h + 8));
      planes = Le16(h + 12);
      bits = Le16(h + 14);
      compression = Le32(h + 16);
      imageSize = Le32(h + 20);
      colorsUsed = Le32(h + 32);
      break;
    default:
      Invalid();
  }
  if (planes != 1 || width <= 0 || height == 0 || height == INT32_MIN) Invalid();
  switch (bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: Invalid();
  }
  bool rle = compression == BI_RLE8 || compression == BI_RLE4;
  if ((compression == BI_RLE8 && bits != 8) || (compression == BI_RLE4 && bits != 4) ||
      (compression == BI_BITFIELDS && bits != 16 && bits != 32) ||
      (compression != BI_RGB && compression != BI_BITFIELDS && !rle) || (rle && height < 0))
    Invalid();
  if (bits <= 8 && colorsUsed > (1u << bits)) Invalid();
  if (bits > 8 && colorsUsed > 256) Invalid();
  int64_t rows = height < 0 ? -height : height;
  int64_t rowSize = (width * bits + 31) / 32 * 4;
  if (rowSize * rows > TBitmap::MaxBytes || (width * 3 + 3) / 4 * 4 * rows > TBitmap::MaxBytes) Invalid();

  // The colour table (and the three masks of a short header) follow the header directly.
  int64_t tableEnd = kFileHeaderSize + headerSize;
  if (compression == BI_BITFIELDS && headerSize == 40) tableEnd += 12;
  // GDI reads a colour table of biClrUsed entries whatever the bit count.
  tableEnd += entrySize * (colorsUsed ? colorsUsed : bits <= 8 ? (1u << bits) : 0);
  int64_t pixels = Le32(File.data() + 10);
  if (tableEnd > size || pixels < kFileHeaderSize + headerSize || pixels > size) Invalid();
  int64_t present = size - pixels;
  if (rle ? (imageSize > present || present == 0) : rowSize * rows > present) Invalid();
  return TCheckedBmp{int(width), int(height), tableEnd, pixels, rle};
}
}  // namespace

void TBitmap::LoadFromStream(TStream* Stream) {
  int64_t available = Stream->GetSize() - Stream->GetPosition();
  if (available < 0 || available > MaxBytes) Invalid();
  std::vector<uint8_t> file(static_cast<size_t>(available));
  Stream->ReadBuffer(file.data(), available);
  TCheckedBmp bmp = CheckBmp(file);

  // Into a bitmap of its own first, so that a file that GDI refuses leaves this one as it was.
  TOwned<TBitmap> loaded(New<TBitmap>());
  loaded->SetSize(bmp.Width, bmp.Height < 0 ? -bmp.Height : bmp.Height);
  // GDI reads the header and the colour table from one block; run lengths it reads as far as the
  // header's image size says, so that size is what the file holds.
  std::vector<uint8_t> info(file.begin() + kFileHeaderSize, file.begin() + bmp.TableEnd);
  if (bmp.RunLengths) {
    uint32_t present = uint32_t(file.size() - size_t(bmp.PixelOffset));
    for (int i = 0; i < 4; ++i) info[20 + i] = uint8_t(present >> (8 * i));
  }
  HDC dc = CreateCompatibleDC(nullptr);
  int done = SetDIBits(dc, loaded->GetHandle(), 0, UINT(loaded->GetHeight()), file.data() + bmp.PixelOffset,
                       reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS);
  DeleteDC(dc);
  if (done == 0) Invalid();
  Assign(loaded.get());
}

void TBitmap::SaveToStream(TStream* Stream) {
  GdiFlush();
  uint8_t header[kFileHeaderSize + 40] = {};
  int64_t imageBytes = int64_t(FRowSize) * FHeight;
  auto put32 = [&](int At, uint32_t V) {
    for (int i = 0; i < 4; ++i) header[At + i] = uint8_t(V >> (8 * i));
  };
  header[0] = 'B';
  header[1] = 'M';
  put32(2, uint32_t(sizeof header + imageBytes));
  put32(10, sizeof header);
  put32(14, 40);
  put32(18, uint32_t(FWidth));
  put32(22, uint32_t(FHeight));  // bottom-up, as the section holds the rows
  header[26] = 1;
  header[28] = 24;
  put32(34, uint32_t(imageBytes));
  put32(38, 3780);  // 96 dots per inch
  put32(42, 3780);
  Stream->WriteBuffer(header, sizeof header);
  if (imageBytes > 0) Stream->WriteBuffer(FBits, imageBytes);
}

void TBitmap::SaveToClipboardFormat(WORD& Format, HANDLE& Data, HPALETTE& Palette) {
  // A bitmap of the screen's kind, which every program can take.
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen, FWidth, FHeight);
  ReleaseDC(nullptr, screen);
  if (!copy) throw EOutOfResources("Out of system resources");
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, copy);
  BITMAPINFO info;
  FillInfo(info);
  GdiFlush();
  SetDIBitsToDevice(dc, 0, 0, DWORD(FWidth), DWORD(FHeight), 0, 0, 0, UINT(FHeight), FBits, &info, DIB_RGB_COLORS);
  SelectObject(dc, old);
  DeleteDC(dc);
  Format = CF_BITMAP;
  Data = copy;
  Palette = nullptr;
}

void TBitmap::LoadFromClipboardFormat(WORD Format, HANDLE Data, HPALETTE) {
  BITMAP source{};
  if (Format != CF_BITMAP || !Data || !::GetObjectA(Data, sizeof source, &source) || source.bmWidth <= 0 ||
      source.bmHeight <= 0)
    Invalid();
  TOwned<TBitmap> pasted(New<TBitmap>());
  pasted->SetSize(source.bmWidth, source.bmHeight);
  BITMAPINFO info;
  pasted->FillInfo(info);
  pasted->GetHandle();  // the canvas lets go of the section
  HDC dc = CreateCompatibleDC(nullptr);
  int rows = GetDIBits(dc, static_cast<HBITMAP>(Data), 0, UINT(source.bmHeight), pasted->FBits, &info, DIB_RGB_COLORS);
  DeleteDC(dc);
  if (rows == 0) Invalid();
  Assign(pasted.get());
}

void TClipboard::AssignTo(TPersistent* Dest) {
  auto* bitmap = dynamic_cast<TBitmap*>(Dest);
  if (!bitmap) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Open();
  ScopeExit close([this] { Close(); });
  bitmap->LoadFromClipboardFormat(CF_BITMAP, GetClipboardData(CF_BITMAP), nullptr);
}

}  // namespace classlib
