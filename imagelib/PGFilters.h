// The filter contract that TPixelGraphic::ApplyFilter drives, and the point filters: grayscale,
// red/green/blue tables and brightness/contrast/gamma, with the YCbCr conversions they use.
#pragma once

#include <cstdint>
#include <vector>

#include "imagelib/PGraphic.h"

namespace imagelib {

class TPGFilterClass : public TObject {
  CL_CLASS(TPGFilterClass)
};

// A filter computes each pixel of a new picture from Source, which it refers to between
// BeginFilter and EndFilter without owning it.
class TPGFilter : public TPGFilterClass {
  CL_CLASS(TPGFilter)
  virtual void BeginFilter(TPixelGraphic* ASource);
  // Black.
  virtual TRGB FilterPixel(int X, int Y) { return 0; }
  virtual void EndFilter();
  // True promises that FilterPixel(X, Y) is FilterColor of the source pixel's colour, so the filter
  // may run in place and on palettes.
  virtual bool IsColorFilter() { return false; }
  virtual TRGB FilterColor(TRGB Color) { return Color; }

  // The row forms ApplyFilter uses in place of a call per pixel when HasRowForms says so. Each gives
  // exactly what FilterPixel and FilterColor give, so a descendant that changes those changes these
  // too (or answers False).
  virtual bool HasRowForms() { return false; }
  // Replaces each of Count colours (blue, green, red) by its FilterColor.
  virtual void FilterColors(uint8_t* BGR, int Count);
  // FilterPixel of every pixel of row Y, as blue, green, red; Source's width of them. BGR may be
  // row Y of Source itself when a colour filter runs in place.
  virtual void FilterRow(int Y, uint8_t* BGR);

  TPixelGraphic* Source = nullptr;

 protected:
  // The colour conversions read for pixel (X, Y) of Source: also for a palette index beyond the
  // palette, which reads as the bitmap's colour table shows it. EPGFilter without a Source.
  TRGB SourceColor(int X, int Y);
  // Row Y of Source as FilterColors leaves it; a palette source's colours are filtered once per run.
  void FilterSourceRow(int Y, uint8_t* BGR);

 private:
  std::vector<TRGB> FilteredColors;  // per palette index of Source, made by the first row of a run
};

// v, v, v with v = Luminance3 div 3 of the source colour.
class TGrayScaleFilter : public TPGFilter {
  CL_CLASS(TGrayScaleFilter)
  TRGB FilterPixel(int X, int Y) override { return FilterColor(SourceColor(X, Y)); }
  bool IsColorFilter() override { return true; }
  TRGB FilterColor(TRGB Color) override;
  bool HasRowForms() override { return true; }
  void FilterColors(uint8_t* BGR, int Count) override;
  void FilterRow(int Y, uint8_t* BGR) override { FilterSourceRow(Y, BGR); }

  bool GetRGBWeighting() const { return RGBWeighting; }
  void SetRGBWeighting(bool Value) { RGBWeighting = Value; }

 protected:
  bool RGBWeighting = true;
};

// The holder of three channel tables, the identity after construction.
class TXXXFilter : public TPGFilter {
  CL_CLASS(TXXXFilter)
  TXXXFilter();
  bool IsColorFilter() override { return true; }

  uint8_t TableR[256], TableG[256], TableB[256];
};

// Each channel through its table.
class TRGBFilter : public TXXXFilter {
  CL_CLASS(TRGBFilter)
  TRGB FilterPixel(int X, int Y) override { return FilterColor(SourceColor(X, Y)); }
  TRGB FilterColor(TRGB Color) override;
  bool HasRowForms() override { return true; }
  void FilterColors(uint8_t* BGR, int Count) override;
  void FilterRow(int Y, uint8_t* BGR) override { FilterSourceRow(Y, BGR); }
};

// Brightness, contrast and gamma through one table that every BeginFilter rebuilds, applied to each
// channel or, with UseY, to the Y of YCbCr.
class TBCGFilter : public TPGFilter {
  CL_CLASS(TBCGFilter)
  TBCGFilter();
  void BeginFilter(TPixelGraphic* ASource) override;
  TRGB FilterPixel(int X, int Y) override { return FilterRGB(SourceColor(X, Y)); }
  bool IsColorFilter() override { return true; }
  TRGB FilterColor(TRGB Color) override { return FilterRGB(Color); }
  bool HasRowForms() override { return true; }
  void FilterColors(uint8_t* BGR, int Count) override;
  void FilterRow(int Y, uint8_t* BGR) override { FilterSourceRow(Y, BGR); }
  TRGB FilterRGB(TRGB C);

  uint8_t Table[256];
  bool UseY = false;
  int32_t Brightness = 1;  // in percent of 255; the dialog always sets it
  long double Contrast = 1.0L;
  long double Gamma = 1.0L;
};

// Values in 0..1, with three-decimal coefficients.
void RGBToYCbCr(long double R, long double G, long double B, long double& Y, long double& Cb, long double& Cr);
void YCbCrToRGB(long double Y, long double Cb, long double Cr, long double& R, long double& G, long double& B);

// Round(V) clamped to 0..255; V is first limited to -1..256 (NaN to -1) so that no value is too
// large to round.
int PGRoundChannel(long double V);

}  // namespace imagelib
