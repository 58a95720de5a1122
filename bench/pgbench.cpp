// Times the image library's operations on a photograph:
//   pgbench [--wall] <operation> <photo.ppm> [runs]   prints "<operation> <least seconds>", in
//                                                    wall-clock time with --wall (bench_support.h)
//   pgbench --palette <ident-name> <out.ppm>          writes a fixed palette for other tools
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "bench/bench_support.h"
#include "imagelib/PGConvFilter.h"
#include "imagelib/PGFilters.h"
#include "imagelib/PGInit.h"
#include "imagelib/PGQuantize.h"
#include "imagelib/PGraphic.h"
#include "imagelib/view/PGDisplayCopy.h"

using namespace imagelib;

namespace {

// The conversion loop of a dithered copy: rows in order, each in its serpentine direction.
void DitherInto(TPixelGraphic* Source, TPixelGraphic* Target, int BitCountNum, TPaletteIdent Palette) {
  int w = Source->GetWidth(), h = Source->GetHeight();
  Target->NewImage(w, h, BitCountNum);
  Target->SetPaletteIdent(Palette);
  Target->BeginDither();
  for (int y = 0; y < h; ++y) {
    Target->NextDitherRow();
    Target->DitherRow(y, Source->ScanLine(y));
  }
  Target->EndDither();
}

// A quarter of the size in each direction, with one of the resampling qualities.
void Reduce(TPixelGraphic* Source, TPixelGraphic* Target, TStretchMode Mode) {
  Target->NewImage(Source->GetWidth() / 4, Source->GetHeight() / 4, 3);
  Target->SetStretchMode(Mode);
  Target->CopyFrom(Source);
}

// An optimised palette of 252 colours with the system colours, then the conversion.
void Optimize(TPixelGraphic* Source, TPixelGraphic* Target, bool Dither) {
  Target->NewImage(Source->GetWidth(), Source->GetHeight(), 2);
  CreateOptimizedPalette(Target, Source, 252, true);
  Target->SetDither(Dither);
  Target->CopyFrom(Source);
}

// The point filters as the viewer runs them: in place. The settings are a user's, as the dialogs
// would make them (red +12 %, blue -8 %; brightness 20 %, contrast 1.2, gamma 0.8).
void PointFilter(TPixelGraphic* Photo, TPGFilter* Filter) { Photo->ApplyFilter(Filter, Photo); }

void Gray(TPixelGraphic* Photo) {
  TGrayScaleFilter f;
  PointFilter(Photo, &f);
}

void RedAndBlue(TPixelGraphic* Photo) {
  TRGBFilter f;
  auto channel = [](int i, int percent) { return uint8_t(std::clamp(i + percent * 255 / 100, 0, 255)); };
  for (int i = 0; i < 256; ++i) {
    f.TableR[i] = channel(i, 12);
    f.TableB[i] = channel(i, -8);
  }
  PointFilter(Photo, &f);
}

void BCG(TPixelGraphic* Photo) {
  TBCGFilter f;
  f.Brightness = 20;
  f.Contrast = 1.2L;
  f.Gamma = 0.8L;
  PointFilter(Photo, &f);
}

// The sharpen and smooth dialogs' defaults, into a new picture as the viewer does.
void Sharpen(TPixelGraphic* Photo, TPixelGraphic* Target) {
  TConvFilter f;
  f.MakeSharpenKernel(dsGaussian, true, 0.75L, 50);
  Target->ApplyFilter(&f, Photo);
}

void Smooth(TPixelGraphic* Photo, TPixelGraphic* Target) {
  TConvFilter f;
  f.MakeSmoothKernel(dsGaussian, true, 1.30L, 100);
  Target->ApplyFilter(&f, Photo);
}

// The picture view's display-ready copy as its paint job makes it, for a screen of ScreenBits
// at Width x Height (resampled by Mode when that is not the photograph's size).
class TBenchJob : public TDisplayCopyJob {
 public:
  TOwned<TPixelGraphic> Result;

 protected:
  bool JobTerminated() const override { return false; }
  void Deliver(TPixelGraphic* Copy) override { Result.reset(Copy); }
  void ReportProgress(int, int) override {}
};

void DisplayCopy(TPixelGraphic* Source, int ScreenBits, int Width, int Height, TStretchMode Mode) {
  TBenchJob job;
  job.Source = job.Intermediate = Source;
  TDisplayCopyFormat format = DisplayCopyFormat(ScreenBits, 24, pOptimized252Sys16, pOptimized252Sys16);
  job.Optimise = format.Palette == pOptimized252Sys16;
  job.Copy = New<TPixelGraphic>();
  MakeDisplayCopyImage(job.Copy, format, Width, Height, Source);
  job.Copy->SetStretchMode(Mode);
  job.CreatePaintPixelGraphic();
}

using Operation = void (*)(TPixelGraphic* Photo, TPixelGraphic* Target);

const std::map<std::string, Operation>& Operations() {
  static const std::map<std::string, Operation> ops = {
      {"dither-special252", [](TPixelGraphic* s, TPixelGraphic* t) { DitherInto(s, t, 2, pSpecial252); }},
      {"dither-sys16", [](TPixelGraphic* s, TPixelGraphic* t) { DitherInto(s, t, 1, pSys16); }},
      {"dither-special216", [](TPixelGraphic* s, TPixelGraphic* t) { DitherInto(s, t, 2, pSpecial216); }},
      {"reduce-fast", [](TPixelGraphic* s, TPixelGraphic* t) { Reduce(s, t, smFast); }},
      {"reduce-medium", [](TPixelGraphic* s, TPixelGraphic* t) { Reduce(s, t, smMedium); }},
      {"reduce-precise", [](TPixelGraphic* s, TPixelGraphic* t) { Reduce(s, t, smPrecise); }},
      {"optimized252-dither", [](TPixelGraphic* s, TPixelGraphic* t) { Optimize(s, t, true); }},
      {"optimized252-plain", [](TPixelGraphic* s, TPixelGraphic* t) { Optimize(s, t, false); }},
      {"filter-gray", [](TPixelGraphic* s, TPixelGraphic*) { Gray(s); }},
      {"filter-rgb", [](TPixelGraphic* s, TPixelGraphic*) { RedAndBlue(s); }},
      {"filter-bcg", [](TPixelGraphic* s, TPixelGraphic*) { BCG(s); }},
      {"filter-sharpen", Sharpen},
      {"filter-smooth", Smooth},
      // An 8-bit screen: optimised palette and dithered copy at the photograph's size.
      {"display-copy-8bit",
       [](TPixelGraphic* s, TPixelGraphic*) { DisplayCopy(s, 8, s->GetWidth(), s->GetHeight(), smFast); }},
      // A true-colour screen, the photograph fitted into half its size with smPrecise.
      {"display-copy-fit",
       [](TPixelGraphic* s, TPixelGraphic*) { DisplayCopy(s, 32, s->GetWidth() / 2, s->GetHeight() / 2, smPrecise); }},
  };
  return ops;
}

const std::map<std::string, TPaletteIdent>& Palettes() {
  static const std::map<std::string, TPaletteIdent> p = {{"special252", pSpecial252}, {"sys16", pSys16}};
  return p;
}

int Usage() {
  std::fprintf(stderr, "usage: pgbench [--wall] <operation> <photo.ppm> [runs] | pgbench --palette <name> <out.ppm>\n");
  std::fprintf(stderr, "operations:");
  for (const auto& op : Operations()) std::fprintf(stderr, " %s", op.first.c_str());
  std::fprintf(stderr, "\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  InitPGraphicUnit();
  if (argc == 4 && std::strcmp(argv[1], "--palette") == 0) {
    auto it = Palettes().find(argv[2]);
    if (it == Palettes().end()) return Usage();
    bench::WritePalettePPM(it->second, argv[3]);
    return 0;
  }
  if (argc > 1 && std::strcmp(argv[1], "--wall") == 0) {
    bench::UseWallClock();
    --argc;
    ++argv;
  }
  if (argc < 3) return Usage();
  auto op = Operations().find(argv[1]);
  if (op == Operations().end()) return Usage();
  int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  if (runs < 1) runs = 1;
  TOwned<TPixelGraphic> photo(bench::LoadPPM(argv[2]));
  TOwned<TPixelGraphic> target(New<TPixelGraphic>());
  double seconds = bench::LeastSeconds([&] { op->second(photo.get(), target.get()); }, runs);
  std::printf("%s %.6f\n", argv[1], seconds);
  FinalizePGraphicUnit();
  return 0;
}
