// Loading and saving photographs as JPEG (quality 80) and PNG: our readers and writers against
// libjpeg-turbo's own djpeg and cjpeg (the same library with the same settings) and ImageMagick
// (single-threaded). Each time is processor time, ours and the programs' alike (the machine is
// shared: waiting for a processor would count far more than the work), the median of several runs
// after a warm-up. A peer's time is its program's time less the program's start and end on a
// one-pixel picture; ImageMagick's save is "read the file, write it as PNG" less "read the file,
// write nothing".
//
//   codec_bench <folder> <runs> <name>...   with <name>.ppm, <name>.jpg, <name>.png, tiny.ppm and
//                                           tiny.jpg in the folder (tools/bench makes them)
// Prints per photograph "<name> <operation> <ours s> <peer s>", and for the PNG files
// "<name> png-bytes <ours> <ImageMagick's>".
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>

#include "bench/bench_support.h"
#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "imagelib/formats/PGJPGFormat.h"
#include "imagelib/formats/PGPNGFormat.h"

using namespace imagelib;

namespace {

double SecondsOf(const timeval& T) { return double(T.tv_sec) + double(T.tv_usec) / 1e6; }

// Processor seconds (user and system) used so far by this process, or by the children it has
// waited for.
double CPUSeconds(int Who) {
  rusage usage{};
  getrusage(Who, &usage);
  return SecondsOf(usage.ru_utime) + SecondsOf(usage.ru_stime);
}

double MedianCPUSeconds(const std::function<void()>& Body, int Runs, int Who = RUSAGE_SELF) {
  Body();
  std::vector<double> times;
  for (int i = 0; i < Runs; ++i) {
    double start = CPUSeconds(Who);
    Body();
    times.push_back(CPUSeconds(Who) - start);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A shell command's processor time with its shell's (output discarded); exits when it fails.
double MedianCommandCPUSeconds(const std::string& Command, int Runs) {
  std::string quiet = Command + " >/dev/null 2>&1";
  return MedianCPUSeconds(
      [&] {
        if (std::system(quiet.c_str()) != 0) {
          std::fprintf(stderr, "failed: %s\n", Command.c_str());
          std::exit(1);
        }
      },
      Runs, RUSAGE_CHILDREN);
}

const std::string kMagick = "/usr/bin/convert -limit thread 1";

template <class Reader>
void Load(const std::string& File) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->SetReadWarningAction(pgwaRaise);
  TFileStream stream(File, fmOpenRead);
  Reader().Read(&stream, p.get(), 0);
}

template <class Writer>
int64_t Save(TPixelGraphic* P, const std::string& File) {
  TFileStream stream(File, fmCreate);
  Writer().Write(&stream, P);
  return stream.GetSize();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: codec_bench <folder> <runs> <name>...\n");
    return 2;
  }
  classlib::Startup();
  InitPGraphicUnit();
  const std::string folder = argv[1];
  const int runs = std::atoi(argv[2]) > 0 ? std::atoi(argv[2]) : 1;
  const std::string out = folder + "/out";
  auto command = [&](const std::string& C) { return MedianCommandCPUSeconds(C, runs); };
  const double djpegStart = command("djpeg -outfile /dev/null '" + folder + "/tiny.jpg'");
  const double cjpegStart = command("cjpeg -outfile /dev/null '" + folder + "/tiny.ppm'");
  const double magickStart = command(kMagick + " -size 1x1 xc:black null:");
  for (int n = 3; n < argc; ++n) {
    const std::string base = folder + "/" + argv[n];
    const std::string jpg = base + ".jpg", png = base + ".png";
    TOwned<TPixelGraphic> photo(bench::LoadPPM(base + ".ppm"));

    double ours = MedianCPUSeconds([&] { Load<TJPGFileFormatReader>(jpg); }, runs);
    double peer = command("djpeg -dct int -outfile /dev/null '" + jpg + "'") - djpegStart;
    std::printf("%s load-jpg/djpeg %.6f %.6f\n", argv[n], ours, peer);

    // Our writer's options: quality 80, the floating-point method, baseline.
    ours = MedianCPUSeconds([&] { Save<TJPGFileFormatWriter>(photo.get(), out + ".jpg"); }, runs);
    peer = command("cjpeg -quality 80 -dct float -outfile '" + out + "-cjpeg.jpg' '" + base + ".ppm'") - cjpegStart;
    std::printf("%s save-jpg/cjpeg %.6f %.6f\n", argv[n], ours, peer);

    ours = MedianCPUSeconds([&] { Load<TPNGFileFormatReader>(png); }, runs);
    double magickRead = command(kMagick + " '" + png + "' null:");
    std::printf("%s load-png %.6f %.6f\n", argv[n], ours, magickRead - magickStart);

    int64_t size = 0;
    ours = MedianCPUSeconds([&] { size = Save<TPNGFileFormatWriter>(photo.get(), out + ".png"); }, runs);
    const std::string magickOut = out + "-magick.png";
    peer = command(kMagick + " '" + png + "' '" + magickOut + "'") - magickRead;
    std::printf("%s save-png %.6f %.6f\n", argv[n], ours, peer);
    TFileStream magickFile(magickOut, fmOpenRead);
    std::printf("%s png-bytes %lld %lld\n", argv[n], (long long)size, (long long)magickFile.GetSize());
  }
  FinalizePGraphicUnit();
  return 0;
}
