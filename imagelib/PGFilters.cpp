// ApplyFilter, the filter contract and the point filters.
#include "imagelib/PGFilters.h"

#include <cmath>
#include <cstring>

#include "classlib/finally.h"
#include "classlib/numerics.h"

namespace imagelib {

// ---- ApplyFilter

void TPixelGraphic::ApplyFilter(TPGFilter* Filter, TPixelGraphic* Source) {
  if (!Filter) throw EPGFilter(PGLangStrS1(pgmInvalidValueFor, "Filter"));
  if (!Source) throw EPGFilter(PGLangStrS1(pgmInvalidValueFor, "Source"));
  bool colorFilter = Filter->IsColorFilter();
  if (Source == this && !colorFilter) throw EPGFilter(PGLangStr(pgmFilterSourceIsTarget));
  if (Source != this) NewImage(Source->Width, Source->Height, BitCountNum);
  if (Width == 0 || Height == 0) return;

  if (colorFilter && !IsTrueColor() && BitCountNum >= Source->BitCountNum) {
    // The colour of a pixel is its palette entry's, so filtering the palette filters every pixel.
    if (Source != this) Assign(Source);
    if (PaletteCount > 0) {
      Filter->BeginFilter(Source);
      Finally(
          [&] {
            for (int i = 0; i < PaletteCount; ++i) SetPaletteEntry(i, Filter->FilterColor(GetPaletteEntry(i)));
          },
          [&] { Filter->EndFilter(); });
    }
    Changed();
    return;
  }

  bool dithering = PrepareDithering();
  ScopeExit endDither([&] { EndDither(); });
  Filter->BeginFilter(Source);
  Finally(
      [&] {
        if (OnProgressStart) OnProgressStart(this);
        // Whole rows at a time where the filter has row forms; the target's pixels are then
        // written in the same order, so colour matching and dithering see what they would see pixel
        // by pixel.
        bool rows = Filter->HasRowForms() && Bits && Source->Bits && Source->Width == Width &&
                    Source->Height == Height;
        // A true-colour target's rows take the filtered colours directly.
        std::vector<uint8_t> colors(rows && !IsTrueColor() ? size_t(Width) * 3 : 0);
        bool abort = false;
        for (int y = 0; y < Height && !abort; ++y) {
          if (dithering) NextDitherRow();
          if (rows && IsTrueColor()) {
            Filter->FilterRow(y, ScanLine(y));
          } else if (rows) {
            Filter->FilterRow(y, colors.data());
            if (dithering) {
              DitherRow(y, colors.data());
            } else {
              for (int i = 0; i < Width; ++i) {
                int x = (y & 1) ? Width - 1 - i : i;
                const uint8_t* px = colors.data() + size_t(x) * 3;
                SetPixelColor(x, y, MakeRGB(px[2], px[1], px[0]));
              }
            }
          } else {
            for (int i = 0; i < Width; ++i) {
              int x = (y & 1) ? Width - 1 - i : i;
              TRGB c = Filter->FilterPixel(x, y);
              if (dithering)
                DitherPixel(x, y, RGBRed(c), RGBGreen(c), RGBBlue(c));
              else
                SetPixelColor(x, y, c);
            }
          }
          if (OnProgress) OnProgress(this, y, Height - 1, abort);
        }
        if (OnProgressEnd) OnProgressEnd(this);
      },
      [&] { Filter->EndFilter(); });
  endDither.Dismiss();
  EndDither();
  Changed();
}

// ---- TPGFilter

void TPGFilter::BeginFilter(TPixelGraphic* ASource) {
  Source = ASource;
  FilteredColors.clear();
}

void TPGFilter::EndFilter() {
  Source = nullptr;
  FilteredColors.clear();
}

void TPGFilter::FilterColors(uint8_t* BGR, int Count) {
  for (int i = 0; i < Count; ++i, BGR += 3) {
    TRGB c = FilterColor(MakeRGB(BGR[2], BGR[1], BGR[0]));
    BGR[0] = uint8_t(RGBBlue(c));
    BGR[1] = uint8_t(RGBGreen(c));
    BGR[2] = uint8_t(RGBRed(c));
  }
}

void TPGFilter::FilterRow(int Y, uint8_t* BGR) {
  int width = Source ? Source->GetWidth() : 0;
  for (int x = 0; x < width; ++x, BGR += 3) {
    TRGB c = FilterPixel(x, Y);
    BGR[0] = uint8_t(RGBBlue(c));
    BGR[1] = uint8_t(RGBGreen(c));
    BGR[2] = uint8_t(RGBRed(c));
  }
}

TRGB TPGFilter::SourceColor(int X, int Y) {
  if (!Source) throw EPGFilter(PGLangStrS1(pgmInvalidValueFor, "Source"));
  int32_t value = Source->GetPixel(X, Y);
  return Source->IsTrueColor() ? value : Source->ConversionColor(value);
}

void TPGFilter::FilterSourceRow(int Y, uint8_t* BGR) {
  if (!Source) throw EPGFilter(PGLangStrS1(pgmInvalidValueFor, "Source"));
  int width = Source->GetWidth();
  if (Source->IsTrueColor()) {
    const uint8_t* row = Source->ScanLine(Y);
    if (row != BGR) std::memcpy(BGR, row, size_t(width) * 3);  // in place it is the row itself
    FilterColors(BGR, width);
    return;
  }
  if (FilteredColors.empty()) {
    TRGB colors[256];
    Source->ConversionColors(colors);
    uint8_t bgr[256 * 3];
    for (int i = 0; i < 256; ++i) {
      bgr[3 * i] = uint8_t(RGBBlue(colors[i]));
      bgr[3 * i + 1] = uint8_t(RGBGreen(colors[i]));
      bgr[3 * i + 2] = uint8_t(RGBRed(colors[i]));
    }
    FilterColors(bgr, 256);
    FilteredColors.resize(256);
    for (int i = 0; i < 256; ++i) FilteredColors[size_t(i)] = MakeRGB(bgr[3 * i + 2], bgr[3 * i + 1], bgr[3 * i]);
  }
  Source->ReadRowColors(Y, 0, width, FilteredColors.data(), BGR);
}

// ---- TGrayScaleFilter

TRGB TGrayScaleFilter::FilterColor(TRGB Color) {
  int v = Luminance3(Color, RGBWeighting) / 3;
  return MakeRGB(v, v, v);
}

void TGrayScaleFilter::FilterColors(uint8_t* BGR, int Count) {
  // Luminance3 div 3 with the two divisions as one: (s div 1000) div 3 = s div 3000 for s >= 0.
  if (RGBWeighting) {
    for (int i = 0; i < Count; ++i, BGR += 3) {
      uint8_t v = uint8_t(unsigned(BGR[2] * 897 + BGR[1] * 1761 + BGR[0] * 342) / 3000u);
      BGR[0] = BGR[1] = BGR[2] = v;
    }
  } else {
    for (int i = 0; i < Count; ++i, BGR += 3) {
      uint8_t v = uint8_t(unsigned(BGR[2] + BGR[1] + BGR[0]) / 3u);
      BGR[0] = BGR[1] = BGR[2] = v;
    }
  }
}

// ---- TXXXFilter, TRGBFilter

TXXXFilter::TXXXFilter() {
  for (int i = 0; i < 256; ++i) TableR[i] = TableG[i] = TableB[i] = uint8_t(i);
}

TRGB TRGBFilter::FilterColor(TRGB Color) {
  return MakeRGB(TableR[RGBRed(Color)], TableG[RGBGreen(Color)], TableB[RGBBlue(Color)]);
}

void TRGBFilter::FilterColors(uint8_t* BGR, int Count) {
  for (int i = 0; i < Count; ++i, BGR += 3) {
    BGR[0] = TableB[BGR[0]];
    BGR[1] = TableG[BGR[1]];
    BGR[2] = TableR[BGR[2]];
  }
}

// ---- TBCGFilter

TBCGFilter::TBCGFilter() {
  for (int i = 0; i < 256; ++i) Table[i] = uint8_t(i);
}

void TBCGFilter::BeginFilter(TPixelGraphic* ASource) {
  TPGFilter::BeginFilter(ASource);
  for (int i = 0; i < 256; ++i) {
    long double x = i / 255.0L;
    long double p = PGPower(x, Gamma);
    long double f = (p * 255 - 127.5L) * Contrast + 127.5L + (int64_t(Brightness) * 255) * 0.01L;
    Table[i] = uint8_t(PGRoundChannel(f));
  }
}

TRGB TBCGFilter::FilterRGB(TRGB C) {
  if (!UseY) return MakeRGB(Table[RGBRed(C)], Table[RGBGreen(C)], Table[RGBBlue(C)]);
  long double y, cb, cr;
  RGBToYCbCr(RGBRed(C) / 255.0L, RGBGreen(C) / 255.0L, RGBBlue(C) / 255.0L, y, cb, cr);
  long double scaled = y * 255;
  int k = PGFloor(scaled);
  // Y lies in 0..1 up to rounding; the table is never read outside its 256 entries.
  if (k < 0) k = 0;
  if (k >= 255) {
    y = Table[255] / 255.0L;
  } else {
    long double t = scaled - k;
    y = ((1 - t) * Table[k] + t * Table[k + 1]) / 255;
  }
  long double r, g, b;
  YCbCrToRGB(y, cb, cr, r, g, b);
  return MakeRGB(PGRoundChannel(r * 255), PGRoundChannel(g * 255), PGRoundChannel(b * 255));
}

void TBCGFilter::FilterColors(uint8_t* BGR, int Count) {
  if (!UseY) {
    for (int i = 0; i < Count; ++i, BGR += 3) {
      BGR[0] = Table[BGR[0]];
      BGR[1] = Table[BGR[1]];
      BGR[2] = Table[BGR[2]];
    }
    return;
  }
  // Neighbouring pixels often share a colour: the last one is remembered.
  TRGB last = -1, lastResult = 0;
  for (int i = 0; i < Count; ++i, BGR += 3) {
    TRGB c = MakeRGB(BGR[2], BGR[1], BGR[0]);
    if (c != last) {
      last = c;
      lastResult = FilterRGB(c);
    }
    BGR[0] = uint8_t(RGBBlue(lastResult));
    BGR[1] = uint8_t(RGBGreen(lastResult));
    BGR[2] = uint8_t(RGBRed(lastResult));
  }
}

// ---- colour spaces and rounding

void RGBToYCbCr(long double R, long double G, long double B, long double& Y, long double& Cb, long double& Cr) {
  Y = 0.299L * R + 0.587L * G + 0.114L * B;
  Cb = -0.169L * R - 0.331L * G + 0.5L * B;
  Cr = 0.5L * R - 0.419L * G - 0.081L * B;
}

void YCbCrToRGB(long double Y, long double Cb, long double Cr, long double& R, long double& G, long double& B) {
  R = Y + 1.403L * Cr;
  G = Y - 0.344L * Cb - 0.714L * Cr;
  B = Y + 1.773L * Cb;
}

int PGRoundChannel(long double V) {
  if (!(V > -1)) V = -1;
  if (V > 256) V = 256;
  int v = int(nearbyintl(V));
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

}  // namespace imagelib
