// Loading and saving photographs as bitmap files: our reader and writer against ImageMagick on the
// same files, in processor time, each the least of several runs after a warm-up. ImageMagick runs
// single-threaded and is timed inside one run of the program (peer_timing.h): a load is reading the
// file again and again, a save writing the picture again and again.
//
//   bmp_bench <folder> <name>...   with <name>-24.bmp, <name>-8.bmp and <name>-rle8.bmp in the
//                                  folder (tools/bench makes them)
#include <cstdio>
#include <string>

#include "bench/bench_support.h"
#include "bench/peer_timing.h"
#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "imagelib/formats/PGBMPFormat.h"

using namespace imagelib;

namespace {

constexpr int kRuns = 7;

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
    for (int f = 0; f < 3; ++f) {
      double ours = bench::LeastSeconds([&] { Load(files[f]); }, kRuns);
      double peer = bench::PeerSeconds("-size 1x1 xc:black", "'" + files[f] + "' +delete", "null:", kRuns);
      std::printf("%s load-%s %.6f %.6f\n", argv[n], kinds[f], ours, peer);
    }
    for (int f = 0; f < 2; ++f) {
      auto picture = Load(files[f]);
      double ours = bench::LeastSeconds([&] { Save(picture.get(), out + ".bmp"); }, kRuns);
      double peer = bench::PeerSeconds("'" + files[f] + "' -compress None", "-write 'BMP3:" + out + ".bmp'", "null:", kRuns);
      std::printf("%s save-%s %.6f %.6f\n", argv[n], kinds[f], ours, peer);
    }
  }
  FinalizePGraphicUnit();
  return 0;
}
