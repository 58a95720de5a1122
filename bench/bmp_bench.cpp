// Loading and saving photographs as bitmap files: our reader and writer against ImageMagick on the
// same files. Each time is the median of several runs after a warm-up. ImageMagick runs single-
// threaded as a program, so its times are taken less a plain read-and-write of a one-pixel picture
// (the program's own start and end): a load is "read the bitmap, write nothing", a save is "read
// the bitmap, write it again" less "read the bitmap, write nothing".
//
//   bmp_bench <folder> <name>...   with <name>-24.bmp, <name>-8.bmp and <name>-rle8.bmp in the
//                                  folder (tools/bench makes them)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "imagelib/formats/PGBMPFormat.h"

using namespace imagelib;

namespace {

constexpr int kRuns = 7;
const std::string kMagick = "/usr/bin/convert -limit thread 1";

double Median(std::vector<double> V) {
  std::sort(V.begin(), V.end());
  return V[V.size() / 2];
}

// Milliseconds of one call of F: the median of kRuns after one warm-up.
double Time(const std::function<void()>& F) {
  F();
  std::vector<double> runs;
  for (int i = 0; i < kRuns; ++i) {
    auto start = std::chrono::steady_clock::now();
    F();
    runs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  return Median(runs);
}

double TimeCommand(const std::string& Args) {
  std::string command = kMagick + " " + Args + " >/dev/null 2>&1";
  return Time([&] {
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "failed: %s\n", command.c_str());
      std::exit(1);
    }
  });
}

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

struct Row {
  std::string Operation;
  double Ours = 0, Peer = 0;
};

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
  std::vector<Row> rows = {{"load 24-bit BMP"}, {"save 24-bit BMP"}, {"load 8-bit BMP"},
                           {"save 8-bit BMP"},  {"load RLE8 BMP"}};
  for (int n = 2; n < argc; ++n) {
    const std::string base = folder + "/" + argv[n];
    const std::string files[3] = {base + "-24.bmp", base + "-8.bmp", base + "-rle8.bmp"};
    const double plain = TimeCommand("-size 1x1 xc:black null:");
    double readOnly[3];
    for (int f = 0; f < 3; ++f) {
      readOnly[f] = TimeCommand("'" + files[f] + "' null:");
      Row& load = rows[size_t(f == 2 ? 4 : 2 * f)];
      load.Ours += Time([&] { Load(files[f]); });
      load.Peer += readOnly[f] - plain;
    }
    for (int f = 0; f < 2; ++f) {
      auto picture = Load(files[f]);
      Row& save = rows[size_t(2 * f + 1)];
      save.Ours += Time([&] { Save(picture.get(), out + ".bmp"); });
      save.Peer += TimeCommand("'" + files[f] + "' -compress None 'BMP3:" + out + ".bmp'") - readOnly[f];
    }
  }
  std::printf("%-18s %10s %10s %7s\n", "operation", "ours ms", "peer ms", "ratio");
  for (const Row& r : rows) std::printf("%-18s %10.2f %10.2f %7.2f\n", r.Operation.c_str(), r.Ours, r.Peer, r.Ours / r.Peer);
  std::printf("(%d photographs; ms are summed medians of %d runs; peer: ImageMagick less its plain read-and-write)\n",
              argc - 2, kRuns);
  FinalizePGraphicUnit();
  return 0;
}
