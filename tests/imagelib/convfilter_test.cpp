#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "imagelib/PGConvFilter.h"
#include "tests/imagelib/filter_reference.h"

using namespace imagelib;
using namespace filtertest;

namespace {

std::vector<int32_t> Cells(const TConvFilter& F) {
  std::vector<int32_t> c;
  for (int y = 0; y < F.GetHeight(); ++y)
    for (int x = 0; x < F.GetWidth(); ++x) c.push_back(F.GetKernelValue(x, y));
  return c;
}

std::string MessageOf(const std::function<void()>& Call) {
  try {
    Call();
  } catch (const EPGConvFilter& e) {
    return e.Message();
  }
  return "no EPGConvFilter";
}

// A pixel of the filter as defined: the cells over the source, their weighted mean scaled and offset.
TRGB ReferencePixel(TConvFilter& F, TPixelGraphic* S, int X, int Y) {
  int64_t w = 0, sum[3] = {0, 0, 0};
  for (int i = 0; i < F.GetHeight(); ++i)
    for (int j = 0; j < F.GetWidth(); ++j) {
      int64_t sx = int64_t(X) + F.OffsetX + j, sy = int64_t(Y) + F.OffsetY + i;
      if (sx < 0 || sy < 0 || sx >= S->GetWidth() || sy >= S->GetHeight()) continue;
      int64_t cell = F.GetKernelValue(j, i);
      TRGB c = ColorOf(S, int(sx), int(sy));
      w += cell;
      sum[0] += cell * RGBRed(c);
      sum[1] += cell * RGBGreen(c);
      sum[2] += cell * RGBBlue(c);
    }
  int v[3];
  for (int k = 0; k < 3; ++k) {
    long double mean = w != 0 ? (long double)sum[k] / (long double)w : (long double)sum[k];
    long double r = nearbyintl(std::fmax(-1.0L, std::fmin(256.0L, F.Factor * mean + F.Bias * 255 * 0.01L)));
    v[k] = r < 0 ? 0 : (r > 255 ? 255 : int(r));
  }
  return MakeRGB(v[0], v[1], v[2]);
}

// A random kernel: small weights, weights summing to 0, weights too large for a table of every sum,
// weights whose sums need 64 bits, or tiny weights; now and then a factor and a bias.
void RandomKernel(TConvFilter& F, std::mt19937& Random, int Kind) {
  F.SetWidth(1 + int(Random() % 7));
  F.SetHeight(1 + int(Random() % (Kind == 0 ? 12 : 5)));
  F.OffsetX = -int(Random() % unsigned(F.GetWidth() + 3)) + 1;
  F.OffsetY = -int(Random() % unsigned(F.GetHeight() + 3)) + 1;
  int64_t sum = 0;
  for (int y = 0; y < F.GetHeight(); ++y)
    for (int x = 0; x < F.GetWidth(); ++x) {
      int32_t w;
      switch (Kind) {
        case 2: w = int32_t(Random() % 20001) - 10000; break;
        case 3: w = int32_t(Random() % 2000001) * 1000 - 1000000000; break;
        case 4: w = int32_t(Random() % 3); break;
        default: w = int32_t(Random() % 24) - 6;
      }
      F.SetKernelValue(x, y, w);
      sum += w;
    }
  if (Kind == 1) F.SetKernelValue(0, 0, int32_t(F.GetKernelValue(0, 0) - sum));
  bool scaled = Random() % 3 == 0;
  F.Factor = scaled ? (Random() % 300) / 100.0L - 0.5L : 1.0L;
  F.Bias = scaled ? int(Random() % 101) - 50 : 0;
}

}  // namespace

TEST(ConvFilter, KernelSizesAndCells) {
  TConvFilter f;
  EXPECT_EQ(Cells(f), (std::vector<int32_t>{1}));
  struct Case {
    int Size;
    bool Accepted;
  } cases[] = {{0, false}, {1, true}, {99, true}, {100, false}, {-5, false}};
  for (const Case& c : cases) {
    f.SetWidth(3);
    f.SetHeight(2);
    f.SetKernelValue(2, 1, 9);
    EXPECT_EQ(MessageOf([&] { f.SetWidth(c.Size); }), c.Accepted ? "no EPGConvFilter" : "TConvFilter.Width out of range")
        << c.Size;
    EXPECT_EQ(MessageOf([&] { f.SetHeight(c.Size); }), c.Accepted ? "no EPGConvFilter" : "TConvFilter.Height out of range")
        << c.Size;
    if (!c.Accepted) {
      EXPECT_EQ(Cells(f), (std::vector<int32_t>{0, 0, 0, 0, 0, 9})) << "unchanged";
    }
  }
  f.SetWidth(3);
  f.SetHeight(2);
  f.SetKernelValue(1, 1, 5);
  f.SetWidth(3);  // the same size keeps the cells; a new one zeroes them
  EXPECT_EQ(f.GetKernelValue(1, 1), 5);
  f.SetHeight(3);
  EXPECT_EQ(Cells(f), std::vector<int32_t>(9, 0));
  const std::pair<int, int> outside[] = {{-1, 0}, {3, 0}, {0, -1}, {0, 3}};
  for (auto [x, y] : outside) {
    EXPECT_EQ(MessageOf([&] { f.GetKernelValue(x, y); }), "X, Y index out of range") << x << "," << y;
    EXPECT_EQ(MessageOf([&] { f.SetKernelValue(x, y, 1); }), "X, Y index out of range") << x << "," << y;
  }
}

TEST(ConvFilter, ShapeKernels) {
  std::vector<int32_t> gauss075 = {3, 7, 3, 7, 16, 7, 3, 7, 3};
  std::vector<int32_t> ones(25, 1), disc(25, 1);
  for (int corner : {0, 4, 20, 24}) disc[size_t(corner)] = 0;
  struct Case {
    TDistributionShape Shape;
    bool UseDistance;
    long double Sigma;
    std::vector<int32_t> Expected;
  } cases[] = {
      {dsGaussian, true, 0.75L, gauss075}, {dsGaussian, false, 0.75L, gauss075}, {dsRect, true, 0.5L, {1}},
      {dsRect, false, 1.3L, ones},         {dsRect, true, 1.3L, disc},
  };
  for (const Case& c : cases) {
    TConvFilter f;
    f.Factor = 3;
    f.Bias = 7;
    f.MakeKernel(c.Shape, c.UseDistance, c.Sigma);
    EXPECT_EQ(Cells(f), c.Expected) << int(c.Shape) << " " << c.UseDistance << " " << double(c.Sigma);
    int r = f.GetWidth() / 2;
    EXPECT_EQ(f.OffsetX, -r);
    EXPECT_EQ(f.OffsetY, -r);
    EXPECT_EQ(f.Factor, 1.0L);
    EXPECT_EQ(f.Bias, 0);
  }
  for (bool useDistance : {true, false}) {
    TConvFilter f;
    f.MakeKernel(dsGaussian, useDistance, 1.3L);
    ASSERT_EQ(f.GetWidth(), 7);
    EXPECT_EQ(f.GetHeight(), 7);
    EXPECT_EQ(f.GetKernelValue(3, 3), 16);
    EXPECT_EQ(f.GetKernelValue(2, 3), 12);
    EXPECT_EQ(f.GetKernelValue(3, 4), 12);
  }
}

TEST(ConvFilter, SharpenAndSmoothKernels) {
  TConvFilter f;
  f.MakeSharpenKernel(dsGaussian, false, 0.75L, 50);
  EXPECT_EQ(Cells(f), (std::vector<int32_t>{-3, -7, -3, -7, 112, -7, -3, -7, -3}));
  TConvFilter plain;
  plain.MakeKernel(dsTent, true, 1.1L);
  f.MakeSmoothKernel(dsTent, true, 1.1L, 100);
  EXPECT_EQ(Cells(f), Cells(plain));
  // The box disc of 1.3 sums to 21; at 40 % both centres are exact halves, which go to even.
  f.MakeSharpenKernel(dsRect, true, 1.3L, 40);
  EXPECT_EQ(f.GetKernelValue(2, 2), 52);  // Round(52.5)
  EXPECT_EQ(f.GetKernelValue(2, 1), -1);
  f.MakeSmoothKernel(dsRect, true, 1.3L, 40);
  EXPECT_EQ(f.GetKernelValue(2, 2), 33);  // 1 + Round(31.5)
}

TEST(ConvFilter, KernelsThatCannotBeMadeLeaveTheFilterAlone) {
  const long double nan = std::numeric_limits<long double>::quiet_NaN();
  const long double inf = std::numeric_limits<long double>::infinity();
  struct Case {
    std::function<void(TConvFilter&)> Make;
    const char* Message;
  } cases[] = {
      {[](TConvFilter& f) { f.MakeKernel(dsGaussian, true, 0); }, "StdDeviation out of range"},
      {[](TConvFilter& f) { f.MakeKernel(dsTent, false, -1); }, "StdDeviation out of range"},
      {[&](TConvFilter& f) { f.MakeKernel(dsRect, true, nan); }, "StdDeviation out of range"},
      {[&](TConvFilter& f) { f.MakeKernel(dsGaussian, false, inf); }, "StdDeviation out of range"},
      {[](TConvFilter& f) { f.MakeKernel(dsGaussian, true, 100); }, "TConvFilter.Width out of range"},  // radius > 49
      {[](TConvFilter& f) { f.MakeKernel(dsRect, false, 40); }, "TConvFilter.Width out of range"},
      {[](TConvFilter& f) { f.MakeSharpenKernel(dsGaussian, true, 1, 0); }, "Percent out of range"},
      {[&](TConvFilter& f) { f.MakeSmoothKernel(dsGaussian, true, 1, nan); }, "Percent out of range"},
      {[](TConvFilter& f) { f.MakeSharpenKernel(dsGaussian, true, 1, 1e-30L); }, "Percent out of range"},
      {[](TConvFilter& f) { f.MakeSmoothKernel(dsTent, true, 1, -20); }, "Percent out of range"},
  };
  for (const Case& c : cases) {
    TConvFilter f;
    f.SetWidth(2);
    f.SetKernelValue(1, 0, -4);
    f.OffsetX = 5;
    f.Factor = 2;
    EXPECT_EQ(MessageOf([&] { c.Make(f); }), c.Message);
    EXPECT_EQ(Cells(f), (std::vector<int32_t>{0, -4})) << c.Message;
    EXPECT_EQ(f.OffsetX, 5);
    EXPECT_EQ(f.Factor, 2);
  }
  // An unknown shape keeps the cells but still resets the settings.
  TConvFilter f;
  f.SetWidth(2);
  f.OffsetX = 5;
  f.Factor = 2;
  f.MakeKernel(TDistributionShape(7), true, 1);
  EXPECT_EQ(Cells(f), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(f.OffsetX, 0);
  EXPECT_EQ(f.Factor, 1);
}

TEST(ConvFilter, BordersUseTheCellsOverThePicture) {
  auto picture = Picture(3, 3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) picture->SetPixel(x, y, MakeRGB(10 * (x + 3 * y), 0, 0));
  TConvFilter f;
  f.MakeKernel(dsRect, false, 0.6L);  // 3 x 3 ones
  f.BeginFilter(picture.get());
  EXPECT_EQ(RGBRed(f.FilterPixel(0, 0)), (0 + 10 + 30 + 40) / 4) << "the corner: four cells";
  EXPECT_EQ(RGBRed(f.FilterPixel(1, 1)), 40);
  f.EndFilter();
  // Weights summing to 0 give the raw sum; at the right edge only the first cell is over the row.
  auto row = Picture(2, 1, 3);
  row->SetPixel(0, 0, MakeRGB(200, 0, 90));
  row->SetPixel(1, 0, MakeRGB(50, 0, 100));
  f.SetWidth(2);
  f.SetHeight(1);
  f.OffsetX = f.OffsetY = 0;
  f.SetKernelValue(0, 0, 1);
  f.SetKernelValue(1, 0, -1);
  auto out = Picture(1, 1, 3);
  out->ApplyFilter(&f, row.get());
  EXPECT_EQ(out->GetPixel(0, 0), MakeRGB(150, 0, 0));
  EXPECT_EQ(out->GetPixel(1, 0), MakeRGB(50, 0, 100));
  // Factor and bias, rounded halves to even.
  f.SetKernelValue(1, 0, 0);
  row->SetPixel(0, 0, MakeRGB(201, 203, 90));
  struct Scaled {
    long double Factor, Bias;
    TRGB Expected;
  } scaled[] = {{0.5L, 0, MakeRGB(100, 102, 45)}, {1, 20, MakeRGB(252, 254, 141)}, {1, -100, 0}};
  for (const Scaled& c : scaled) {
    f.Factor = c.Factor;
    f.Bias = c.Bias;
    out->ApplyFilter(&f, row.get());
    EXPECT_EQ(out->GetPixel(0, 0), c.Expected) << double(c.Factor) << " " << double(c.Bias);
  }
  // Offsets at their limits leave no cell over the picture: the bias alone.
  const std::pair<int32_t, int32_t> distant[] = {{INT32_MIN, 0}, {INT32_MAX, INT32_MIN}, {0, INT32_MAX}};
  for (auto [x, y] : distant) {
    f.OffsetX = x;
    f.OffsetY = y;
    f.Factor = 1;
    f.Bias = 20;
    out->ApplyFilter(&f, row.get());
    EXPECT_EQ(Pixels(out.get()), std::vector<int32_t>(2, MakeRGB(51, 51, 51))) << x << "," << y;
  }
  // One pixel: only the centre is over it.
  f.MakeKernel(dsGaussian, true, 1.3L);
  auto one = Picture(1, 1, 3);
  one->SetPixel(0, 0, MakeRGB(1, 2, 3));
  out->ApplyFilter(&f, one.get());
  EXPECT_EQ(out->GetPixel(0, 0), MakeRGB(1, 2, 3));
}

TEST(ConvFilter, RowFormsGiveThePixelByPixelResult) {
  std::mt19937 random(21);
  for (int round = 0; round < 160; ++round) {
    int from = round % 4, kind = (round / 4) % 4;
    int to = round % 9 == 0 ? int(random() % 3) : 3;
    // Now and then a picture large enough for a table of every sum.
    bool large = round % 8 == 7;
    if (large) kind = 4;
    auto source = RandomPicture(large ? 150 : 1 + int(random() % 23), large ? 40 : 1 + int(random() % 11), from, random,
                                random() & 1);
    TConvFilter f;
    RandomKernel(f, random, kind);
    if (round % 16 == 5) f.MakeSharpenKernel(dsGaussian, true, 0.4L + (random() % 90) / 100.0L, 10 + random() % 91);
    if (round % 16 == 6) f.MakeSmoothKernel(dsTent, random() & 1, 0.4L + (random() % 90) / 100.0L, 10 + random() % 91);
    auto target = Picture(2, 2, to, TargetPalette(to));
    auto expected = Picture(source->GetWidth(), source->GetHeight(), to, TargetPalette(to));
    target->ApplyFilter(&f, source.get());
    ReferenceRun(expected.get(), [&](int x, int y) { return ReferencePixel(f, source.get(), x, y); });
    std::string what = "round " + std::to_string(round);
    ASSERT_EQ(Pixels(target.get()), Pixels(expected.get())) << what;
    f.BeginFilter(source.get());
    for (int y = 0; y < source->GetHeight(); ++y)
      for (int x = 0; x < source->GetWidth(); ++x)
        ASSERT_EQ(f.FilterPixel(x, y), ReferencePixel(f, source.get(), x, y)) << what << " at " << x << "," << y;
    f.EndFilter();
  }
}
