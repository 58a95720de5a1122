// Loading and saving photographs as JPEG (quality 80) and PNG: our readers and writers against
// libjpeg-turbo's own djpeg and cjpeg (the same library with the same settings) and ImageMagick
// (single-threaded). Each time is processor time, ours and the programs' alike (the machine is
// shared: waiting for a processor would count far more than the work), the least of several
// rounds after a warm-up, ours and the peer's taken in turns. A peer's time is its program's time
// less the program's start and end on a one-pixel picture; ImageMagick's save is "read the file,
// write it as PNG" less "read the file, write nothing".
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

double Least(const std::vector<double>& V) { return *std::min_element(V.begin(), V.end()); }

// Runs a shell command (output discarded); exits when it fails.
void Run(const std::string& Command) {
  if (std::system((Command + " >/dev/null 2>&1").c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", Command.c_str());
    std::exit(1);
  }
}

struct Timing {
  double Ours, Peer;
};

// Our operation against a program's, in turns, so that both see the same load on the machine:
// each round times our call, the peer's command and its base (the part of the command that is
// not the operation); the peer's time is the least of the command less the least of its base.
Timing Compare(const std::function<void()>& Ours, const std::string& Peer, const std::string& Base, int Runs) {
  std::vector<double> ours, peer, base;
  auto time = [](int Who, const std::function<void()>& F, std::vector<double>* Into) {
    double start = CPUSeconds(Who);
    F();
    if (Into) Into->push_back(CPUSeconds(Who) - start);
  };
  for (int i = -1; i < Runs; ++i) {  // round -1 warms up
    time(RUSAGE_SELF, Ours, i < 0 ? nullptr : &ours);
    time(RUSAGE_CHILDREN, [&] { Run(Peer); }, i < 0 ? nullptr : &peer);
    time(RUSAGE_CHILDREN, [&] { Run(Base); }, i < 0 ? nullptr : &base);
  }
  return {Least(ours), Least(peer) - Least(base)};
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
  const std::string tinyJpg = folder + "/tiny.jpg", tinyPpm = folder + "/tiny.ppm";
  for (int n = 3; n < argc; ++n) {
    const std::string base = folder + "/" + argv[n];
    const std::string jpg = base + ".jpg", png = base + ".png", ppm = base + ".ppm";
    TOwned<TPixelGraphic> photo(bench::LoadPPM(ppm));
    auto print = [&](const char* Op, Timing T) { std::printf("%s %s %.6f %.6f\n", argv[n], Op, T.Ours, T.Peer); };

    print("load-jpg/djpeg", Compare([&] { Load<TJPGFileFormatReader>(jpg); },
                                    "djpeg -dct int -outfile /dev/null '" + jpg + "'",
                                    "djpeg -outfile /dev/null '" + tinyJpg + "'", runs));
    // Our writer's options: quality 80, the floating-point method, baseline.
    print("save-jpg/cjpeg", Compare([&] { Save<TJPGFileFormatWriter>(photo.get(), out + ".jpg"); },
                                    "cjpeg -quality 80 -dct float -outfile '" + out + "-cjpeg.jpg' '" + ppm + "'",
                                    "cjpeg -outfile /dev/null '" + tinyPpm + "'", runs));
    print("load-png", Compare([&] { Load<TPNGFileFormatReader>(png); }, kMagick + " '" + png + "' null:",
                              kMagick + " -size 1x1 xc:black null:", runs));
    int64_t size = 0;
    const std::string magickOut = out + "-magick.png";
    print("save-png", Compare([&] { size = Save<TPNGFileFormatWriter>(photo.get(), out + ".png"); },
                              kMagick + " '" + png + "' '" + magickOut + "'", kMagick + " '" + png + "' null:", runs));
    TFileStream magickFile(magickOut, fmOpenRead);
    std::printf("%s png-bytes %lld %lld\n", argv[n], (long long)size, (long long)magickFile.GetSize());
  }
  FinalizePGraphicUnit();
  return 0;
}
