// TConvFilter: each pixel the weighted mean of the source pixels under an integer kernel, scaled
// and offset; with kernels made from a Gaussian, tent or box distribution, and sharpening and
// smoothing kernels made from those.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "imagelib/PGFilters.h"

namespace imagelib {

enum TDistributionShape : uint8_t { dsGaussian, dsTent, dsRect };

class TConvFilter : public TPGFilter {
  CL_CLASS(TConvFilter)
  TConvFilter();
  ~TConvFilter() override;
  // Only the inherited behaviour (the row forms set themselves up anew for each run).
  void BeginFilter(TPixelGraphic* ASource) override;
  // Kernel cells outside Source are left out, and the mean is taken over the cells that remain.
  TRGB FilterPixel(int X, int Y) override;
  bool HasRowForms() override { return true; }
  void FilterRow(int Y, uint8_t* BGR) override;

  int GetWidth() const { return Width; }
  int GetHeight() const { return Height; }
  // 1..99, else EPGConvFilter "TConvFilter.Width out of range" (Height likewise). A new size zeroes
  // every cell.
  void SetWidth(int Value);
  void SetHeight(int Value);
  // Cell (X, Y); EPGConvFilter "X, Y index out of range" outside the kernel.
  int32_t GetKernelValue(int X, int Y) const;
  void SetKernelValue(int X, int Y, int32_t Value);

  // A kernel of 2R + 1 cells each way with the centre 16 (dsRect: 1), round with UseDistance and a
  // product of two rows without; offsets -R, Bias 0, Factor 1. EPGConvFilter, with the filter
  // unchanged, for a StdDeviation that is not positive or a radius beyond 49.
  void MakeKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation);
  // MakeKernel negated, with the centre Round(100 / Percent x the kernel's sum).
  void MakeSharpenKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation, long double Percent);
  // MakeKernel with Round((100 / Percent - 1) x the kernel's sum) added to the centre.
  void MakeSmoothKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation, long double Percent);

  int32_t OffsetX = 0;  // source column of kernel column 0, relative to the output pixel
  int32_t OffsetY = 0;
  long double Bias = 0;  // in percent of 255
  long double Factor = 1.0L;

 protected:
  // The channel of a weighted sum S of weights W.
  int Channel(int64_t S, int64_t W) const;
  // Sums of pixel (X, Y) over the cells inside Source, the colours taken by Color(column, row).
  template <class ColorAt>
  TRGB SumPixel(int X, int Y, ColorAt&& Color) const;

  std::vector<int32_t> Kernel;  // Width x Height cells, row by row
  int32_t Width = 1;
  int32_t Height = 1;

 private:
  // Runs Make and restores the kernel and its settings when it fails.
  template <class MakeFn>
  void Remake(MakeFn&& Make);
  void MakeShapeKernel(TDistributionShape Shape, bool UseDistance, long double StdDeviation);
  int64_t KernelSum() const;
  // What the row form needs for a run, set up by its first row.
  struct RowState;
  std::unique_ptr<RowState> Rows;
  void PrepareRows();
  // Row Row of Source as blue, green, red.
  const uint8_t* SourceRow(int Row);
};

}  // namespace imagelib
