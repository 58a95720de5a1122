// JPEG and PNG files for the reader tests, made (and JPEG data decoded) with the same libraries the
// readers use, so that a test compares our glue with the library's own result.
#pragma once

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "classlib/winapi.h"  // before jpeglib.h: both define boolean, alike on Windows
#include <jpeglib.h>
#include <png.h>

#include "classlib/exceptions.h"
#include "imagelib/PGraphic.h"
#include "tests/imagelib/bmp_builder.h"

namespace codectest {

using bmptest::Bytes;
// Sample C of pixel (X, Y), top row first.
using Samples = std::function<int(int X, int Y, int C)>;

// A gradient with many distinct values.
inline int Gradient(int X, int Y, int C) { return (C == 0 ? X * 5 : C == 1 ? Y * 7 : (X * Y) ^ 0x5A) & 0xFF; }

struct JPEGSpec {
  int Width = 47, Height = 33;
  J_COLOR_SPACE Space = JCS_RGB;  // JCS_GRAYSCALE, JCS_RGB or JCS_CMYK
  int Quality = 90;
  bool Progressive = false;
  Samples Sample = Gradient;
  J_DCT_METHOD Method = JDCT_ISLOW;
};

inline Bytes MakeJPEG(const JPEGSpec& S) {
  jpeg_compress_struct info{};
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);  // a failing fixture ends the test program
  jpeg_create_compress(&info);
  unsigned char* memory = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &memory, &size);
  info.image_width = JDIMENSION(S.Width);
  info.image_height = JDIMENSION(S.Height);
  info.input_components = S.Space == JCS_GRAYSCALE ? 1 : S.Space == JCS_CMYK ? 4 : 3;
  info.in_color_space = S.Space;
  jpeg_set_defaults(&info);
  if (S.Progressive) jpeg_simple_progression(&info);
  jpeg_set_quality(&info, S.Quality, TRUE);
  info.dct_method = S.Method;
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row(size_t(S.Width * info.input_components));
  while (info.next_scanline < info.image_height) {
    for (int x = 0; x < S.Width; ++x)
      for (int c = 0; c < info.input_components; ++c)
        row[size_t(x * info.input_components + c)] = JSAMPLE(S.Sample(x, int(info.next_scanline), c));
    JSAMPROW p = row.data();
    jpeg_write_scanlines(&info, &p, 1);
  }
  jpeg_finish_compress(&info);
  Bytes out(memory, memory + size);
  jpeg_destroy_compress(&info);
  std::free(memory);
  return out;
}

// The library's own decoding: gray or R, G, B samples, top row first.
struct Decoded {
  int Width = 0, Height = 0, Components = 0;
  Bytes Samples;
};

inline Decoded DecodeJPEG(const Bytes& File, J_DCT_METHOD Method) {
  jpeg_decompress_struct info{};
  jpeg_error_mgr error;
  info.err = jpeg_std_error(&error);
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, File.data(), static_cast<unsigned long>(File.size()));
  jpeg_read_header(&info, TRUE);
  info.dct_method = Method;
  jpeg_start_decompress(&info);
  Decoded d{int(info.output_width), int(info.output_height), info.output_components, {}};
  d.Samples.resize(size_t(d.Width) * d.Height * d.Components);
  while (info.output_scanline < info.output_height) {
    JSAMPROW p = d.Samples.data() + size_t(info.output_scanline) * d.Width * d.Components;
    jpeg_read_scanlines(&info, &p, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return d;
}

struct PNGSpec {
  PNGSpec(int W, int H, int Depth_, int ColorType_, bool Interlaced_ = false)
      : Width(W), Height(H), Depth(Depth_), ColorType(ColorType_), Interlaced(Interlaced_) {}
  int Width, Height, Depth, ColorType;
  bool Interlaced;
  std::vector<png_color> Palette;
  std::vector<png_byte> PaletteAlpha;  // tRNS of a palette file
  const png_color_16* Transparent = nullptr;  // tRNS of a gray or RGB file
  const png_color_16* Background = nullptr;   // bKGD
  double Gamma = 0;                           // gAMA, when above 0
  bool Offsets = false;                       // an oFFs chunk
  bool SRGB = false;                          // an sRGB chunk
  Samples Sample = Gradient;                  // within the depth; palette files give indices
};

inline void AppendPNG(png_structp Png, png_bytep Data, size_t Length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(Png));
  out->insert(out->end(), Data, Data + Length);
}

inline Bytes MakePNG(const PNGSpec& S) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, &info);
    ADD_FAILURE() << "libpng refused the fixture";
    return Bytes();
  }
  png_set_write_fn(png, &out, AppendPNG, nullptr);
  png_set_IHDR(png, info, png_uint_32(S.Width), png_uint_32(S.Height), S.Depth, S.ColorType,
               S.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!S.Palette.empty()) png_set_PLTE(png, info, S.Palette.data(), int(S.Palette.size()));
  if (!S.PaletteAlpha.empty() || S.Transparent)
    png_set_tRNS(png, info, S.PaletteAlpha.empty() ? nullptr : S.PaletteAlpha.data(), int(S.PaletteAlpha.size()),
                 S.Transparent);
  if (S.Background) png_set_bKGD(png, info, S.Background);
  if (S.Gamma > 0) png_set_gAMA(png, info, S.Gamma);
  if (S.Offsets) png_set_oFFs(png, info, 3, 4, PNG_OFFSET_PIXEL);
  if (S.SRGB) png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
  png_write_info(png, info);
  int channels = png_get_channels(png, info);
  size_t rowBytes = (size_t(S.Width) * channels * S.Depth + 7) / 8;
  std::vector<Bytes> rows(size_t(S.Height), Bytes(rowBytes, 0));
  std::vector<png_bytep> pointers;
  for (int y = 0; y < S.Height; ++y) {
    Bytes& row = rows[size_t(y)];
    for (int x = 0; x < S.Width; ++x)
      for (int c = 0; c < channels; ++c) {
        int v = S.Sample(x, y, c), i = x * channels + c;
        if (S.Depth == 16) {
          row[size_t(2 * i)] = png_byte(v >> 8), row[size_t(2 * i + 1)] = png_byte(v);
        } else if (S.Depth == 8) {
          row[size_t(i)] = png_byte(v);
        } else {
          int perByte = 8 / S.Depth;
          row[size_t(i / perByte)] |= png_byte(v << (8 - S.Depth * (i % perByte + 1)));
        }
      }
    pointers.push_back(row.data());
  }
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// The chunks of a PNG file in order: name and data.
struct Chunk {
  std::string Name;
  Bytes Data;
};
inline std::vector<Chunk> Chunks(const Bytes& File) {
  std::vector<Chunk> chunks;
  for (size_t at = 8; at + 12 <= File.size();) {
    size_t length = size_t(File[at]) << 24 | size_t(File[at + 1]) << 16 | size_t(File[at + 2]) << 8 | File[at + 3];
    if (at + 12 + length > File.size()) break;
    chunks.push_back({std::string(File.begin() + long(at) + 4, File.begin() + long(at) + 8),
                      Bytes(File.begin() + long(at) + 8, File.begin() + long(at + 8 + length))});
    at += 12 + length;
  }
  return chunks;
}
// The file with the last byte of the named chunk's CRC changed.
inline Bytes WithBadCRC(Bytes File, const std::string& Name) {
  for (size_t at = 8; at + 12 <= File.size();) {
    size_t length = size_t(File[at]) << 24 | size_t(File[at + 1]) << 16 | size_t(File[at + 2]) << 8 | File[at + 3];
    if (std::string(File.begin() + long(at) + 4, File.begin() + long(at) + 8) == Name) {
      File[at + 11 + length] ^= 0x55;
      break;
    }
    at += 12 + length;
  }
  return File;
}

// A stream over bytes whose reads or writes fail with the stream's own exception once Limit
// bytes have passed.
class FailingStream : public bmptest::ByteStream {
 public:
  FailingStream(const Bytes& B, int64_t Limit) : ByteStream(B), FLimit(Limit) {}
  int64_t Read(void* Buffer, int64_t Count) override {
    if (FPosition + Count > FLimit) throw classlib::EReadError("Stream read error");
    return ByteStream::Read(Buffer, Count);
  }
  int64_t Write(const void* Buffer, int64_t Count) override {
    if (FPosition + Count > FLimit) throw classlib::EWriteError("Stream write error");
    return ByteStream::Write(Buffer, Count);
  }

 private:
  int64_t FLimit;
};

// A 24-bit picture of the samples.
inline imagelib::TPixelGraphic* TrueColorPicture(int W, int H, const Samples& S = Gradient) {
  auto* p = imagelib::New<imagelib::TPixelGraphic>();
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, imagelib::MakeRGB(S(x, y, 0), S(x, y, 1), S(x, y, 2)));
  return p;
}

// A 47x33 picture of each kind: bit count code, and a fixed palette or (pUnknown) Entries colours
// of its own; pixels in a pattern over the palette.
inline imagelib::TPixelGraphic* PalettePicture(int BitCountNum, imagelib::TPaletteIdent Ident, int Entries) {
  using namespace imagelib;
  auto* p = New<TPixelGraphic>();
  p->NewImage(47, 33, BitCountNum);
  if (Ident != pUnknown) {
    p->SetPaletteIdent(Ident);
  } else {
    p->SetPaletteCount(Entries);
    for (int i = 0; i < Entries; ++i) p->SetPaletteEntry(i, MakeRGB(i, 255 - i, i * 3 & 0xFF));
  }
  for (int y = 0; y < 33; ++y)
    for (int x = 0; x < 47; ++x) p->SetPixel(x, y, (x * 3 + y * 5) % p->GetPaletteCount());
  return p;
}

// The text of the exception of class E that Call raises, or "" when it raises nothing.
template <class E, class F>
std::string FailureOf(F&& Call) {
  try {
    Call();
  } catch (const E& e) {
    return e.Message();
  }
  return "";
}

// Sets an option for the span of a test.
template <class T>
class OptionSwitch {
 public:
  OptionSwitch(T& Option, T Value) : FOption(Option), FOld(Option) { Option = Value; }
  ~OptionSwitch() { FOption = FOld; }

 private:
  T& FOption;
  T FOld;
};

}  // namespace codectest
