#include "imagelib/formats/PGPxMFormat.h"

#include <charconv>
#include <cstring>
#include <vector>

#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGByteSource.h"
#include "imagelib/formats/PGRowProgress.h"
#include "imagelib/formats/PGStreamInput.h"

namespace imagelib {

namespace {

const char* const kPrefix = "PBM, PGM, PPM: ";
constexpr int64_t kOutputBlock = TByteSource::kDataBlock;

[[noreturn]] void Refuse(const std::string& Text) { throw EPGPxMFileFormatReader(kPrefix + Text); }

// ---- reading

inline bool IsDigit(int C) { return C >= '0' && C <= '9'; }

// The next character, a comment read as the line feed that ends it; -1 at the end of the data.
inline int NextChar(TByteSource& Source) {
  int c = Source.NextOrEnd();
  if (c != '#') return c;
  do c = Source.NextOrEnd();
  while (c != '\n' && c != -1);
  return c;
}

// The next digit, skipping everything else; the end of the data before it is an error.
inline int NextDigit(TByteSource& Source) {
  int c;
  while (!IsDigit(c = NextChar(Source)))
    if (c < 0) Source.RaiseEnd();
  return c;
}

// A decimal number, wrapping at 32 bits. The character that ends it is consumed; so is a comment
// that ends it, up to its line feed. The end of the data ends a number too.
inline uint32_t NextNumber(TByteSource& Source) {
  uint32_t v = uint32_t(NextDigit(Source) - '0');
  for (int c; IsDigit(c = NextChar(Source));) v = v * 10 + uint32_t(c - '0');
  return v;
}

struct TPxMHeader {
  int Kind = 0;  // 1 to 6: the digit after "P"
  int64_t Width = 0, Height = 0;
  uint32_t MaxValue = 1;

  bool Binary() const { return Kind >= 4; }
  int Channels() const { return Kind % 3 == 0 ? 3 : 1; }
  TPGBitCountNum BitCountNum() const {
    return Kind % 3 == 1 ? pgbc1Bit : Kind % 3 == 2 ? pgbc8Bits : pgbc24Bits;
  }
  int BitCount() const { return Kind % 3 == 1 ? 1 : Kind % 3 == 2 ? 8 : 24; }
};

// The magic and the numbers after it, checked; the raster begins right after the character that
// ended the last number.
TPxMHeader ReadHeader(TByteSource& Source) {
  if (Source.Next() != 'P') Refuse(PGLangStrS1(pgmNotAFile, "PBM, PGM, PPM"));
  TPxMHeader h;
  h.Kind = Source.Next() - '0';
  if (h.Kind < 1 || h.Kind > 6) Refuse(PGLangStr(pgmUnknownSubformat));
  h.Width = int32_t(NextNumber(Source));
  h.Height = int32_t(NextNumber(Source));
  if (h.Kind % 3 != 1) h.MaxValue = NextNumber(Source);
  // Numbers of 2^31 and above wrap to negative sizes; a maximum of 0 would scale by nothing.
  if (h.Width <= 0 || h.Height <= 0 || h.MaxValue == 0 || (h.Binary() && h.MaxValue > 255))
    Refuse(PGLangStr(pgmNotSupportedSubformat));
  if (!ImageSizeWithinLimit(h.Width, h.Height, h.BitCount()))
    throw EPixelGraphic(PGLangStrS1(pgmFailed, "CreateDIBSection"));
  return h;
}

// The fewest bytes the raster takes: binary rasters exactly, text ones one character a plain
// pixel and a digit and a separator a number (the last one may end with the data).
int64_t RasterBytesAtLeast(const TPxMHeader& H) {
  const int64_t samples = H.Width * H.Height * H.Channels();
  switch (H.Kind) {
    case 1: return samples;
    case 4: return (H.Width + 7) / 8 * H.Height;
    case 5:
    case 6: return samples;
    default: return 2 * samples - 1;
  }
}

// Value * 255 div the maximum, of which the low byte is kept (values above the maximum wrap).
inline uint8_t Scaled(uint32_t Value, uint32_t MaxValue) { return uint8_t(uint64_t(Value) * 255 / MaxValue); }

void ReadRow(TByteSource& Source, const TPxMHeader& H, const uint8_t (&Scale)[256], uint8_t* Row) {
  const int64_t width = H.Width;
  switch (H.Kind) {
    case 1: {  // one character a pixel, '0' white (index 1), any other digit black
      uint8_t acc = 0;
      for (int64_t x = 0; x < width; ++x) {
        acc = uint8_t(acc << 1 | (NextDigit(Source) == '0'));
        if ((x & 7) == 7) Row[x >> 3] = acc, acc = 0;
      }
      if (width & 7) Row[width >> 3] = uint8_t(acc << (8 - (width & 7)));
      break;
    }
    case 2:
      for (int64_t x = 0; x < width; ++x) Row[x] = Scaled(NextNumber(Source), H.MaxValue);
      break;
    case 3:
      for (int64_t x = 0; x < width; ++x, Row += 3) {
        Row[2] = Scaled(NextNumber(Source), H.MaxValue);
        Row[1] = Scaled(NextNumber(Source), H.MaxValue);
        Row[0] = Scaled(NextNumber(Source), H.MaxValue);
      }
      break;
    case 4: {  // 1 is black in the file, index 0 in the picture; the spare bits are inverted too
      const int64_t n = (width + 7) / 8;
      Source.Read(Row, n);
      for (int64_t i = 0; i < n; ++i) Row[i] = uint8_t(~Row[i]);
      break;
    }
    case 5:
      Source.Read(Row, width);
      for (int64_t x = 0; x < width; ++x) Row[x] = Scale[Row[x]];
      break;
    default:
      Source.Read(Row, 3 * width);
      for (int64_t x = 0; x < width; ++x, Row += 3) {
        const uint8_t r = Row[0];
        Row[0] = Scale[Row[2]];
        Row[1] = Scale[Row[1]];
        Row[2] = Scale[r];
      }
  }
}

// ---- writing

// The output buffer of the writer (a block costs a write of the stream); numbers go in as decimal
// text.
class TOutput {
 public:
  explicit TOutput(TStream* Stream) : FStream(Stream), FBuffer(size_t(kOutputBlock)) {}
  void Put(char C) {
    if (FUsed == FBuffer.size()) Flush();
    FBuffer[FUsed++] = C;
  }
  void Put(const char* S, size_t N) {
    if (FBuffer.size() - FUsed < N) Flush();
    if (N > FBuffer.size()) {
      FStream->WriteBuffer(S, int64_t(N));
      return;
    }
    std::memcpy(FBuffer.data() + FUsed, S, N);
    FUsed += N;
  }
  // Room for N bytes in the buffer (N at most its size), which the caller fills.
  char* Reserve(size_t N) {
    if (FBuffer.size() - FUsed < N) Flush();
    char* at = FBuffer.data() + FUsed;
    FUsed += N;
    return at;
  }
  size_t Capacity() const { return FBuffer.size(); }
  void Number(uint32_t V) {
    char text[10];
    Put(text, size_t(std::to_chars(text, text + sizeof text, V).ptr - text));
  }
  void Flush() {
    if (FUsed) FStream->WriteBuffer(FBuffer.data(), int64_t(FUsed));
    FUsed = 0;
  }

 private:
  TStream* FStream;
  std::vector<char> FBuffer;
  size_t FUsed = 0;
};

// The decimal texts of 0 to 255, each after a blank.
struct TByteTexts {
  char Text[256][4];
  uint8_t Length[256];
  TByteTexts() {
    for (int v = 0; v < 256; ++v) {
      Text[v][0] = ' ';
      Length[v] = uint8_t(std::to_chars(Text[v] + 1, Text[v] + 4, v).ptr - Text[v]);
    }
  }
};

void WriteRow(TOutput& Out, TPixelGraphic* Graphic, int Kind, bool Binary, int Y, std::vector<char>& Bytes) {
  static const TByteTexts kTexts;
  const int width = Graphic->GetWidth();
  const uint8_t* row = Graphic->ScanLine(Y);
  // Values are separated by single blanks; a text row ends with a line feed.
  bool first = true;
  auto text = [&](uint8_t V) {
    const int skip = first ? 1 : 0;
    first = false;
    Out.Put(kTexts.Text[V] + skip, size_t(kTexts.Length[V] - skip));
  };
  if (Kind == 1 && Binary) {
    Bytes.assign(size_t((width + 7) / 8), 0);
    if (Graphic->GetBitCount() == 1) {
      for (size_t i = 0; i < Bytes.size(); ++i) Bytes[i] = char(~row[i]);
    } else {  // black and white by its palette alone: the bits are made from the pixels
      for (int x = 0; x < width; ++x)
        if (Graphic->GetPixel(x, Y) == 0) Bytes[size_t(x >> 3)] = char(Bytes[size_t(x >> 3)] | (0x80 >> (x & 7)));
    }
    Out.Put(Bytes.data(), Bytes.size());
  } else if (Kind == 3 && Binary) {  // red, green, blue from the row's blue, green, red
    const size_t n = size_t(width) * 3;
    const bool direct = n <= Out.Capacity();
    if (!direct) Bytes.resize(n);
    char* out = direct ? Out.Reserve(n) : Bytes.data();
    for (const uint8_t* end = row + n; row < end; row += 3, out += 3)
      out[0] = char(row[2]), out[1] = char(row[1]), out[2] = char(row[0]);
    if (!direct) Out.Put(Bytes.data(), n);
  } else if (Kind == 3) {
    for (int x = 0; x < width; ++x, row += 3) text(row[2]), text(row[1]), text(row[0]);
  } else if (Kind == 2 && Graphic->GetBitCount() == 8) {  // the raw values are the row's bytes
    if (Binary)
      Out.Put(reinterpret_cast<const char*>(row), size_t(width));
    else
      for (int x = 0; x < width; ++x) text(row[x]);
  } else {
    for (int x = 0; x < width; ++x) {
      const int32_t v = Graphic->GetPixel(x, Y);
      if (Kind == 1)
        text(v == 0 ? 1 : 0);
      else if (Binary)
        Out.Put(char(v));
      else
        text(uint8_t(v));
    }
  }
  if (!Binary) Out.Put('\n');
}

}  // namespace

void TPxMFileFormatReader::Read(TStream* Stream, TPixelGraphic* Graphic, int Index) {
  CheckReadIndex<EPGPxMFileFormatReader>(Index, "PxM: ");  // the one text of the reader with this prefix
  Graphic->SetGamma(PGDisplayGamma);
  Graphic->SetWidth(0);  // a file refused below leaves an empty picture
  Graphic->SetHeight(0);
  TByteSource source(Stream, kPrefix, RaiseEndOfFile<EPGPxMFileFormatReader>, TByteSource::kDataBlock);
  const TPxMHeader h = ReadHeader(source);
  source.EnsureHolds(RasterBytesAtLeast(h));

  Graphic->NewImage(int(h.Width), int(h.Height), h.BitCountNum());
  if (h.Kind % 3 == 1) Graphic->SetPaletteIdent(pBlackWhite);
  if (h.Kind % 3 == 2) Graphic->SetPaletteIdent(pGray256);
  uint8_t scale[256];
  for (int v = 0; v < 256; ++v) scale[v] = Scaled(uint32_t(v), h.MaxValue);

  // Rows left when a handler asks to stop stay as they are, and that is no error.
  ForEachRowWithProgress(Graphic, this, Graphic->GetHeight(), true,
                         [&](int y) { ReadRow(source, h, scale, Graphic->ScanLine(y)); });
}

void TPxMFileFormatReader::GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width,
                                   int& Height, std::string& Colors, int& BitCount, int& ImageCount) {
  TFileFormatReader::GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount);
  CheckInfoIndex<EPGPxMFileFormatReader>(Index, kPrefix);
  TByteSource source(Stream, kPrefix, RaiseEndOfFile<EPGPxMFileFormatReader>);
  const TPxMHeader h = ReadHeader(source);
  Info1 = h.Binary() ? "Binary" : "ASCII";
  BitCount = h.BitCount();
  Width = int(h.Width);
  Height = int(h.Height);
  Colors = BitCount == 24 ? "16.7M" : std::to_string(1 << BitCount);
}

TPBMFileFormatReader::TPBMFileFormatReader() {
  Extension = "pbm";
  Description = "Portable Bitmap";
}
bool TPBMFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  return Header[0] == 'P' && (Header[1] == '1' || Header[1] == '4');
}

TPGMFileFormatReader::TPGMFileFormatReader() {
  Extension = "pgm";
  Description = "Portable Graymap";
}
bool TPGMFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  return Header[0] == 'P' && (Header[1] == '2' || Header[1] == '5');
}

TPPMFileFormatReader::TPPMFileFormatReader() {
  Extension = "ppm";
  Description = "Portable Pixelmap";
}
bool TPPMFileFormatReader::CheckSignature(const TFileFormatHeader& Header) {
  return Header[0] == 'P' && (Header[1] == '3' || Header[1] == '6');
}

void TPXMFileFormatWriter::Write(TStream* Stream, TPixelGraphic* Graphic) {
  int kind;
  const char* prefix;
  if (Extension == "pbm")
    kind = 1, prefix = "PBM: ";
  else if (Extension == "pgm")
    kind = 2, prefix = "PGM: ";
  else if (Extension == "ppm")
    kind = 3, prefix = "PPM: ";
  else
    throw EPGPxMFileFormatWriter(kPrefix + PGLangStrS1(pgmUnknownExtension, Extension));
  const int width = Graphic->GetWidth(), height = Graphic->GetHeight();
  if (width <= 0 || height <= 0) throw EPGPxMFileFormatWriter(kPrefix + PGLangStr(pgmWidthOrHeightZero));
  const bool binary = PGPxMBinary;

  TOutput out(Stream);
  out.Put('P');
  out.Put(char('0' + kind + (binary ? 3 : 0)));
  out.Put('\n');
  out.Number(uint32_t(width));
  out.Put(' ');
  out.Number(uint32_t(height));
  out.Put('\n');
  if (kind != 1) out.Put("255\n", 4);

  const int bits = Graphic->GetBitCount();
  const TPaletteIdent ident = Graphic->GetPaletteIdent();
  const bool fits = kind == 1   ? bits == 1 || ident == pBlackWhite
                    : kind == 2 ? bits == 8 || ident == pGray256
                                : bits == 24;
  if (!fits) throw EPGPxMFileFormatWriter(prefix + PGLangStr(pgmInvalidColorResolution));

  std::vector<char> bytes;
  ForEachRowWithProgress(Graphic, Graphic, height, false,
                         [&](int y) { WriteRow(out, Graphic, kind, binary, y, bytes); });
  out.Flush();
}

TPBMFileFormatWriter::TPBMFileFormatWriter() {
  Extension = "pbm";
  Description = "Portable Bitmap";
  CanWriteResolutions = ColorResolutionBit(pgcrBlackWhite);
}

TPGMFileFormatWriter::TPGMFileFormatWriter() {
  Extension = "pgm";
  Description = "Portable Graymap";
  CanWriteResolutions = ColorResolutionBit(pgcr256Gray);
}

TPPMFileFormatWriter::TPPMFileFormatWriter() {
  Extension = "ppm";
  Description = "Portable Pixelmap";
  CanWriteResolutions = ColorResolutionBit(pgcrTrueColor);
}

}  // namespace imagelib
