// Loading and saving photographs as bitmap files: our reader and writer against ImageMagick on the
// same files. Each time is the median of several runs after a warm-up. ImageMagick runs single-
// threaded as a program: a load is its "read the bitmap, write nothing" less the start and end of
// the program (a one-pixel picture); a save is "read the bitmap, write it again" less "read the
// bitmap, write nothing".
//
//   bmp_bench <folder> <name>...   with <name>-24.bmp, <name>-8.bmp and <name>-rle8.bmp in the
//                                  folder (tools/bench makes them)
#include <cstdio>
#include <functional>
#include <string>

#include "bench/bench_support.h"
#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "imagelib/formats/PGBMPFormat.h"

using namespace imagelib;

namespace {

constexpr int kRuns = 7;
const std::string kMagick = "/usr/bin/convert -limit thread 1";

// Milliseconds of one call of F, or of one ImageMagick run: medians of kRuns after a warm-up.
double Time(const std::function<void()>& F) { return 1000 * bench::MedianSeconds(F, kRuns); }
double TimeCommand(const std::string& Args) { return 1000 * bench::MedianCommandSeconds(kMagick + " " + Args, kRuns); }

TOwned<TPixelGraphic> Load(const std::string& File) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  TFileStream stream(File, fmOpenRead);
  TBMPFileFormatReader().Read(&stream, p.get(), 0);
  return p;
}

void Save(TPixelGraphic* P, const std::string& File) {
  TFileStream stream(File, fmCreate);
  TBMPFileFormatWriter().Write(&stream, P);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: bmp_bench <folder> <name>...\n");
    return 2;
  }
  classlib::Startup();
  InitPGraphicUnit();
  const std::string folder = argv[1];
  const std::string out = folder + "/out/result";
  // One line per photograph and operation: "<name> <operation> <ours s> <peer s>".
  for (int n = 2; n < argc; ++n) {
    const std::string base = folder + "/" + argv[n];
    const std::string files[3] = {base + "-24.bmp", base + "-8.bmp", base + "-rle8.bmp"};
    const char* kinds[3] = {"bmp24", "bmp8", "rle8"};
    const double plain = TimeCommand("-size 1x1 xc:black null:");
    double readOnly[3];
    for (int f = 0; f < 3; ++f) {
      readOnly[f] = TimeCommand("'" + files[f] + "' null:");
      double ours = Time([&] { Load(files[f]); });
      std::printf("%s load-%s %.6f %.6f\n", argv[n], kinds[f], ours / 1000, (readOnly[f] - plain) / 1000);
    }
    for (int f = 0; f < 2; ++f) {
      auto picture = Load(files[f]);
      double ours = Time([&] { Save(picture.get(), out + ".bmp"); });
      double peer = TimeCommand("'" + files[f] + "' -compress None 'BMP3:" + out + ".bmp'") - readOnly[f];
      std::printf("%s save-%s %.6f %.6f\n", argv[n], kinds[f], ours / 1000, peer / 1000);
    }
  }
  FinalizePGraphicUnit();
  return 0;
}
