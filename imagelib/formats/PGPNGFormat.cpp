// The glue to libpng: one read or write structure and one info structure per call, stream I/O
// through our own callbacks, rows straight between the library and the picture's memory.
#include "imagelib/formats/PGPNGFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <png.h>

#include "classlib/finally.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGCodecBridge.h"

namespace imagelib {

namespace {

const char* const kPrefix = "PNG: ";
const char* const kFormatWord = "PNG";

[[noreturn]] void Refuse(const std::string& Text) { throw EPGPNGFileFormatReaderWriter(kPrefix + Text); }

void RequireLibraryVersion() {
  if (!PNGLibraryVersionOK()) throw EPGPNGFileFormatReaderWriter("PNG: Invalid library version");
}

// ---- what the callbacks of one call reach: error pointer and I/O pointer alike

struct TPNGContext {
  TCodecJump Jump;
  bool Warned = false;  // a call shows its first warning only
  TCodecInput* Input = nullptr;
  TCodecOutput* Output = nullptr;
};

TPNGContext& ContextOf(png_structp Png) { return *static_cast<TPNGContext*>(png_get_error_ptr(Png)); }

void PNGErrorFn(png_structp Png, png_const_charp Text) { ContextOf(Png).Jump.Fail(kPrefix, Text); }

void PNGWarning(png_structp Png, png_const_charp Text, TPGWarningAction Action) {
  TPNGContext& context = ContextOf(Png);
  if (context.Warned) return;
  context.Warned = true;
  context.Jump.Warn(Action, kFormatWord, kPrefix, Text);
}
void PNGWarningIgnore(png_structp Png, png_const_charp Text) { PNGWarning(Png, Text, pgwaIgnore); }
void PNGWarningOKBox(png_structp Png, png_const_charp Text) { PNGWarning(Png, Text, pgwaOKBox); }
void PNGWarningOKCancelBox(png_structp Png, png_const_charp Text) { PNGWarning(Png, Text, pgwaOKCancelBox); }
void PNGWarningRaise(png_structp Png, png_const_charp Text) { PNGWarning(Png, Text, pgwaRaise); }

png_error_ptr WarningHandler(TPGWarningAction Action) {
  switch (Action) {
    case pgwaIgnore: return PNGWarningIgnore;
    case pgwaOKBox: return PNGWarningOKBox;
    case pgwaOKCancelBox: return PNGWarningOKCancelBox;
    default: return PNGWarningRaise;
  }
}

// The standard routines' behaviour over the stream: a short read or write is the library's error.
void ReadData(png_structp Png, png_bytep Data, size_t Length) {
  TPNGContext& context = ContextOf(Png);
  size_t got = 0;
  if (!context.Jump.Try([&] { got = context.Input->Read(Data, Length); })) context.Jump.Leave();
  if (got != Length) png_error(Png, "Read Error");
}

void WriteData(png_structp Png, png_bytep Data, size_t Length) {
  TPNGContext& context = ContextOf(Png);
  bool written = false;
  if (!context.Jump.Try([&] { written = context.Output->Write(Data, Length); })) context.Jump.Leave();
  if (!written) png_error(Png, "Write Error");
}

void FlushData(png_structp) {}  // the buffer goes to the stream when the file is complete

// Limits that follow the picture size cap: no row of the widest pixels (16-bit RGBA) beyond it,
// no more rows than a picture of 4-byte rows can have; chunks as the library's defaults.
constexpr png_uint_32 kMaxWidth = png_uint_32(PGMaxImageSize / 8);
constexpr png_uint_32 kMaxHeight = png_uint_32(PGMaxImageSize / 4);
constexpr png_uint_32 kChunkCacheMax = 1000;
constexpr png_alloc_size_t kChunkMallocMax = 8000000;

// ---- one read structure per call

class TPNGReadStructs {
 public:
  TPNGReadStructs(TStream* Stream, png_error_ptr Warning) : Input(Stream) {
    Context.Input = &Input;
    Call([&] { Png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &Context, PNGErrorFn, Warning); });
    if (!Png) Refuse(PGLangStrS1(pgmFailed, "png_create_read_struct"));
    Call([&] { Info = png_create_info_struct(Png); });
    if (!Info) Refuse(PGLangStrS1(pgmFailed, "png_create_info_struct"));
    png_set_read_fn(Png, &Context, ReadData);
    png_set_user_limits(Png, kMaxWidth, kMaxHeight);
    png_set_chunk_cache_max(Png, kChunkCacheMax);
    png_set_chunk_malloc_max(Png, kChunkMallocMax);
    // Skipped unread: the colour-management chunks, as the library this glue was first written
    // for did (they would imply a gamma, and warnings about profiles, such files never showed),
    // and the text and other metadata no picture keeps, for which the library would first
    // allocate (and clear) whatever length a damaged chunk claims.
    static const png_byte ignored[] = "sRGB\0iCCP\0tEXt\0zTXt\0iTXt\0pCAL\0sCAL\0sPLT\0eXIf";
    png_set_keep_unknown_chunks(Png, PNG_HANDLE_CHUNK_NEVER, ignored, 9);
    // A pixel beyond the palette shows as the colour table's entry; not worth a warning.
    png_set_check_for_invalid_index(Png, 0);
  }
  TPNGReadStructs(const TPNGReadStructs&) = delete;
  TPNGReadStructs& operator=(const TPNGReadStructs&) = delete;
  ~TPNGReadStructs() { png_destroy_read_struct(&Png, &Info, nullptr); }

  template <class F>
  void Call(F&& LibraryCall) {
    Context.Jump.Call<EPGPNGFileFormatReaderWriter>(LibraryCall);
  }

  png_structp Png = nullptr;
  png_infop Info = nullptr;

 private:
  TPNGContext Context;
  TCodecInput Input;
};

struct THeader {
  png_uint_32 Width = 0, Height = 0;
  int BitDepth = 0, ColorType = 0, Interlace = 0, Channels = 0;
};

THeader ReadHeader(TPNGReadStructs& S) {
  THeader h;
  S.Call([&] {
    png_read_info(S.Png, S.Info);
    png_get_IHDR(S.Png, S.Info, &h.Width, &h.Height, &h.BitDepth, &h.ColorType, &h.Interlace, nullptr, nullptr);
  });
  h.Channels = png_get_channels(S.Png, S.Info);
  return h;
}

// The bit-count code of the picture for the file, by channels and then by bit depth.
TPGBitCountNum BitCountCode(const THeader& H) {
  if (H.Channels >= 3) return pgbc24Bits;
  switch (H.BitDepth) {
    case 1: return pgbc1Bit;
    case 2:
    case 4: return pgbc4Bits;
    default: return pgbc8Bits;
  }
}

void TakePalette(TPNGReadStructs& S, const THeader& H, TPixelGraphic* Graphic) {
  if (H.ColorType == PNG_COLOR_TYPE_PALETTE) {
    png_colorp palette = nullptr;
    int count = 0;
    S.Call([&] { png_get_PLTE(S.Png, S.Info, &palette, &count); });
    Graphic->SetPaletteCount(count);
    for (int i = 0; i < count; ++i) Graphic->SetPaletteEntry(i, MakeRGB(palette[i].red, palette[i].green, palette[i].blue));
  } else if (H.Channels < 3) {
    switch (H.BitDepth) {
      case 1: Graphic->SetPaletteIdent(pBlackWhite); break;
      case 2: Graphic->SetPaletteIdent(pGray4); break;
      case 4: Graphic->SetPaletteIdent(pGray16); break;
      default: Graphic->SetPaletteIdent(pGray256);
    }
  }
}

// An 8-bit value as a sample of a low-depth gray file.
png_uint_16 GrayAtDepth(int Gray, int Depth) {
  int top = (1 << Depth) - 1;
  return png_uint_16((Gray * top + 127) / 255);
}

// Composes transparency on a background; returns the picture's background colour afterwards. The
// library takes the background in the scale of the samples when it composes: 8 bits for 8- and
// 16-bit files alike (it widens the value itself for the latter), the file's depth for low-depth
// gray.
TRGB SetBackground(TPNGReadStructs& S, const THeader& H, TPixelGraphic* Graphic) {
  png_color_16p fileBackground = nullptr;
  bool fromFile = PGPNGUseFileBackground && png_get_bKGD(S.Png, S.Info, &fileBackground) && fileBackground;
  png_color_16 c{};
  TRGB color;
  bool lowGray = H.ColorType == PNG_COLOR_TYPE_GRAY && H.BitDepth < 8;
  if (fromFile) {
    c = *fileBackground;
    if (H.BitDepth == 16) {
      c.red >>= 8, c.green >>= 8, c.blue >>= 8, c.gray >>= 8;
    }
    if (lowGray) {
      int level = c.gray * 255 / ((1 << H.BitDepth) - 1);
      color = MakeRGB(level, level, level);
    } else if ((H.ColorType & PNG_COLOR_MASK_COLOR) == 0) {
      color = MakeRGB(c.gray, c.gray, c.gray);
    } else {
      color = MakeRGB(c.red, c.green, c.blue);
    }
  } else {
    color = Graphic->GetBackGroundColor();
    int r = RGBRed(color), g = RGBGreen(color), b = RGBBlue(color), gray = (r + g + b) / 3;
    c.red = png_uint_16(r), c.green = png_uint_16(g), c.blue = png_uint_16(b);
    c.gray = lowGray ? GrayAtDepth(gray, H.BitDepth) : png_uint_16(gray);
  }
  S.Call([&] {
    png_set_background(S.Png, &c, fromFile ? PNG_BACKGROUND_GAMMA_FILE : PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
  });
  return color;
}

// Rows of 2-bit samples, as the library stored them in the 4-bit picture, become one pixel per
// nibble; right to left, so that no packed value is overwritten before it is read.
void WidenTwoBitRows(TPixelGraphic* Graphic) {
  int width = Graphic->GetWidth();
  for (int y = 0; y < Graphic->GetHeight(); ++y) {
    uint8_t* row = Graphic->ScanLine(y);
    for (int x = width - 1; x >= 0; --x) {
      uint8_t v = uint8_t((row[x >> 2] >> (6 - 2 * (x & 3))) & 3);
      uint8_t& b = row[x >> 1];
      b = (x & 1) ? uint8_t((b & 0xF0) | v) : uint8_t((b & 0x0F) | (v << 4));
    }
  }
}

// Reads every pass of every row into the picture; false after an abort.
bool ReadRows(TPNGReadStructs& S, int Passes, TPixelGraphic* Graphic, TObject* Sender) {
  int height = Graphic->GetHeight();
  if (height <= 0 || Graphic->GetWidth() <= 0) return true;
  // Seven passes of a tall picture count beyond an int: the steps are clamped, never wrapped.
  auto clamped = [](int64_t V) { return int(V < INT32_MAX ? V : INT32_MAX); };
  int max = clamped(int64_t(height) * Passes);
  for (int pass = 0; pass < Passes; ++pass)
    for (int y = 0; y < height; ++y) {
      png_bytep row = Graphic->ScanLine(y);
      S.Call([&] { png_read_rows(S.Png, &row, nullptr, 1); });
      bool abort = false;
      if (Graphic->OnProgress) Graphic->OnProgress(Sender, clamped(int64_t(pass) * height + y), max, abort);
      if (abort) return false;
    }
  return true;
}

}  // namespace

// ---- reader

TPNGFileFormatReader::TPNGFileFormatReader() {
  Extension = "png";
  Description = "Portable Network Graphics";
  HasSignature = true;
}

bool TPNGFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
  for (int i = 0; i < 8; ++i)
    if (Header[size_t(i)] != signature[i]) return false;
  return true;
}

void TPNGFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  CheckReadIndex<EPGPNGFileFormatReaderWriter>(Index, kPrefix);
  RequireLibraryVersion();
  Graphic->SetGamma(PGDisplayGamma);
  TPNGReadStructs s(Stream, WarningHandler(Graphic->GetReadWarningAction()));
  THeader h = ReadHeader(s);
  const TPGBitCountNum code = BitCountCode(h);
  // Before the library allocates its rows.
  TPixelGraphic::RequireImageSize(int(h.Width), int(h.Height), code);
  DecodeOrLeaveEmpty(Graphic, [&] {
    // Taken before any transformation, so transparency never changes it.
    TakePalette(s, h, Graphic);
    bool transparent = png_get_valid(s.Png, s.Info, PNG_INFO_tRNS) || (h.ColorType & PNG_COLOR_MASK_ALPHA);
    // The background is a colour; after NewImage the picture keeps it as its new kind does.
    TRGB background = transparent ? SetBackground(s, h, Graphic) : Graphic->GetBackGroundColor();
    double fileGamma = 0;
    if (png_get_valid(s.Png, s.Info, PNG_INFO_gAMA) && png_get_gAMA(s.Png, s.Info, &fileGamma) && fileGamma > 0)
      Graphic->SetGamma(1.0L / fileGamma);  // the file stores the encoding exponent
    if (h.BitDepth == 16) png_set_strip_16(s.Png);
    if ((h.ColorType & PNG_COLOR_MASK_COLOR) && h.ColorType != PNG_COLOR_TYPE_PALETTE) png_set_bgr(s.Png);
    int passes = 1;
    s.Call([&] {
      passes = png_set_interlace_handling(s.Png);
      png_read_update_info(s.Png, s.Info);
    });
    Graphic->NewImage(int(h.Width), int(h.Height), code);
    Graphic->SetBackGroundColor(background);
    // The library writes each row straight into the picture's: it must be what the picture holds.
    int depth = png_get_bit_depth(s.Png, s.Info);
    static const int expectedDepth[4] = {1, 4, 8, 8};
    bool twoBit = code == pgbc4Bits && depth == 2;
    if (png_get_rowbytes(s.Png, s.Info) > size_t(Graphic->GetRowSize()) ||
        png_get_channels(s.Png, s.Info) != (code == pgbc24Bits ? 3 : 1) || (depth != expectedDepth[code] && !twoBit))
      Refuse(PGLangStrS1(pgmInvalid, "png_get_rowbytes"));
    if (Graphic->OnProgressStart) Graphic->OnProgressStart(this);
    bool complete = false;
    Finally(
        [&] {
          complete = ReadRows(s, passes, Graphic, this);
          // Also after an abort: the rows read so far show their pixels.
          if (twoBit) WidenTwoBitRows(Graphic);
        },
        [&] {
          if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(this);
        });
    // After an abort the trailing chunks are not read and nothing is raised.
    if (complete) s.Call([&] { png_read_end(s.Png, s.Info); });
  });
}

void TPNGFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  CheckInfoIndex<EPGPNGFileFormatReaderWriter>(Index, kPrefix);
  TPNGReadStructs s(Stream, PNGWarningRaise);
  THeader h = ReadHeader(s);
  Info1 = "GrayScale";
  if (h.ColorType & PNG_COLOR_MASK_PALETTE)
    Info1 = "palette";
  else if (h.ColorType & PNG_COLOR_MASK_COLOR)
    Info1 = "RGB";
  if (h.ColorType & PNG_COLOR_MASK_ALPHA) Info1 += ", alpha";
  if (h.Interlace == PNG_INTERLACE_ADAM7) Info1 += ", interlaced";
  static const struct {
    png_uint_32 Flag;
    const char* Name;
  } chunks[] = {{PNG_INFO_gAMA, "gama"}, {PNG_INFO_sBIT, "sbit"}, {PNG_INFO_cHRM, "chrm"}, {PNG_INFO_PLTE, "plte"},
                {PNG_INFO_tRNS, "trns"}, {PNG_INFO_bKGD, "bkgd"}, {PNG_INFO_hIST, "hist"}, {PNG_INFO_pHYs, "phys"},
                {PNG_INFO_oFFs, "offs"}, {PNG_INFO_tIME, "time"}};
  for (const auto& chunk : chunks)
    if (png_get_valid(s.Png, s.Info, chunk.Flag)) Info2 += (Info2.empty() ? "(" : ", ") + std::string(chunk.Name);
  if (!Info2.empty()) Info2 += ")";
  Width = int(h.Width);
  Height = int(h.Height);
  int pixelDepth = h.Channels * h.BitDepth;
  switch (pixelDepth) {
    case 1: Colors = "2"; break;
    case 2: Colors = "4"; break;
    case 4: Colors = "16"; break;
    case 8: Colors = "256"; break;
    case 16: Colors = "64K?"; break;
    case 24: Colors = "16.7M"; break;
    case 32: Colors = "16.7M?"; break;
    default: Colors = "?";
  }
  BitCount = pixelDepth;
}

// ---- writer

TPNGFileFormatWriter::TPNGFileFormatWriter() {
  Extension = "png";
  Description = "Portable Network Graphics";
  CanWriteResolutions = PGAllColorResolutions;
}

namespace {

class TPNGWriteStructs {
 public:
  TPNGWriteStructs(TStream* Stream, png_error_ptr Warning) : Output(Stream) {
    Context.Output = &Output;
    Call([&] { Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &Context, PNGErrorFn, Warning); });
    if (!Png) Refuse(PGLangStrS1(pgmFailed, "png_create_write_struct"));
    Call([&] { Info = png_create_info_struct(Png); });
    if (!Info) Refuse(PGLangStrS1(pgmFailed, "png_create_info_struct"));
    png_set_write_fn(Png, &Context, WriteData, FlushData);
  }
  TPNGWriteStructs(const TPNGWriteStructs&) = delete;
  TPNGWriteStructs& operator=(const TPNGWriteStructs&) = delete;
  ~TPNGWriteStructs() { png_destroy_write_struct(&Png, &Info); }

  template <class F>
  void Call(F&& LibraryCall) {
    Context.Jump.Call<EPGPNGFileFormatReaderWriter>(LibraryCall);
  }
  // The rest of the buffered file to the stream.
  void Flush() {
    Call([&] {
      if (!Output.Flush()) png_error(Png, "Write Error");
    });
  }

  png_structp Png = nullptr;
  png_infop Info = nullptr;

 private:
  TPNGContext Context;
  TCodecOutput Output;
};

// The palette chunk: the picture's palette, extended up to the highest index a pixel uses with
// the colours the screen shows for such pixels, so that the file never points past its palette.
std::vector<png_color> PaletteChunk(TPixelGraphic* Graphic) {
  int count = Graphic->GetPaletteCount();
  int width = Graphic->GetWidth(), bits = Graphic->GetBitCount();
  for (int y = 0; y < Graphic->GetHeight() && count < Graphic->GetPaletteSize(); ++y) {
    const uint8_t* row = Graphic->ScanLine(y);
    for (int x = 0; x < width; ++x) {
      int v = bits == 8 ? row[x] : bits == 4 ? (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F : (row[x >> 3] >> (7 - (x & 7))) & 1;
      if (v >= count) count = v + 1;
    }
  }
  if (count == 0) count = 1;
  TRGB colors[256];
  Graphic->ConversionColors(colors);
  std::vector<png_color> palette(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    palette[size_t(i)] = png_color{png_byte(RGBRed(colors[i])), png_byte(RGBGreen(colors[i])), png_byte(RGBBlue(colors[i]))};
  return palette;
}

}  // namespace

void TPNGFileFormatWriter::Write(TStream* Stream, TPixelGraphic* Graphic) {
  RequireLibraryVersion();
  TPNGWriteStructs s(Stream, WarningHandler(Graphic->GetReadWarningAction()));
  int width = Graphic->GetWidth(), height = Graphic->GetHeight(), bits = Graphic->GetBitCount();
  // A picture whose pixel memory could not be made has rows to write but none to read.
  if (width > 0 && height > 0 && !Graphic->GetBits()) Refuse(PGLangStrS1(pgmFailed, "CreateDIBSection"));
  bool rgb = bits == 24;
  int colorType = rgb ? PNG_COLOR_TYPE_RGB
                      : Graphic->GetPaletteIdent() == pGray256 ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE;
  std::vector<png_color> palette;
  if (colorType == PNG_COLOR_TYPE_PALETTE) palette = PaletteChunk(Graphic);
  long double gamma = Graphic->GetGamma();
  s.Call([&] {
    png_set_IHDR(s.Png, s.Info, png_uint_32(width), png_uint_32(height), rgb ? 8 : bits, colorType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) png_set_PLTE(s.Png, s.Info, palette.data(), int(palette.size()));
    // A gamma that is no positive number (a damaged picture) has no chunk to go in.
    if (PGPNGWriteGamma && std::isfinite(double(gamma)) && gamma > 0) png_set_gAMA(s.Png, s.Info, double(1 / gamma));
    png_write_info(s.Png, s.Info);
    png_set_bgr(s.Png);  // only RGB rows are affected
  });
  if (Graphic->OnProgressStart) Graphic->OnProgressStart(this);
  Finally(
      [&] {
        // Every row is written: an abort is not honoured.
        for (int y = 0; y < height; ++y) {
          png_bytep row = Graphic->ScanLine(y);
          s.Call([&] { png_write_rows(s.Png, &row, 1); });
          bool abort = false;
          if (Graphic->OnProgress) Graphic->OnProgress(this, y, height - 1, abort);
        }
      },
      [&] {
        if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(this);
      });
  s.Call([&] { png_write_end(s.Png, s.Info); });
  s.Flush();
}

}  // namespace imagelib
