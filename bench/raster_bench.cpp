// Loading and saving photographs as portable pixmaps (binary and plain), Targa files (plain and
// run-length coded), Paintbrush files (24 and 8 bits) and TIFF files (uncompressed and PackBits): our readers and writers against
// ImageMagick on the same files. Times are processor time (user and system), which a machine busy
// with other work disturbs less than wall time: the least of several runs after a warm-up.
// ImageMagick runs single-threaded as a program. Its start and its plain read of a photograph
// vary by more than it takes to write one, so each of its runs does the operation kPeerCopies
// times: a load is "read the file that many times, write nothing" less the start and end of the
// program (a one-pixel picture), a save is "read the file, write it that many times" less "read
// the file, write nothing", each divided by the number of copies.
//
//   raster_bench <folder> <runs> <name>...   with <name>.ppm, <name>-plain.ppm, <name>.tga,
//                                            <name>-rle.tga, <name>-24.pcx, <name>-8.pcx, <name>.tif
//                                            and <name>-packbits.tif in the folder (tools/bench
//                                            makes them)
#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "classlib/startup.h"
#include "imagelib/PGInit.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGPCXFormat.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "imagelib/formats/PGTIFFormat.h"

using namespace imagelib;

namespace {

const std::string kMagick = "/usr/bin/convert -limit thread 1";
int gRuns = 7;
constexpr int kPeerCopies = 4;

double ProcessorSeconds() {
  double total = 0;
  for (int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {  // children: the waited-for ImageMagick runs
    rusage u{};
    getrusage(who, &u);
    total += double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
  }
  return total;
}

// The least processor seconds of one call of F, after a warm-up.
double Time(const std::function<void()>& F) {
  F();
  std::vector<double> spent;
  for (int i = 0; i < gRuns; ++i) {
    const double start = ProcessorSeconds();
    F();
    spent.push_back(ProcessorSeconds() - start);
  }
  return *std::min_element(spent.begin(), spent.end());
}

double Magick(const std::string& Args) {
  const std::string command = kMagick + " " + Args + " >/dev/null 2>&1";
  return Time([&] {
    if (std::system(command.c_str()) != 0) {
      std::fprintf(stderr, "failed: %s\n", command.c_str());
      std::exit(1);
    }
  });
}

double PeerLoad(const std::string& File, double Start) {
  std::string files;
  for (int i = 0; i < kPeerCopies; ++i) files += "'" + File + "' ";
  return (Magick(files + "null:") - Start) / kPeerCopies;
}

// Settings, then the output file ("-compress none", "PPM:out.ppm").
double PeerSave(const std::string& File, const std::string& Settings, const std::string& Out) {
  std::string writes;
  for (int i = 0; i < kPeerCopies; ++i) writes += "-write '" + Out + "' ";
  return (Magick("'" + File + "' " + Settings + " " + writes + "null:") - Magick("'" + File + "' null:")) / kPeerCopies;
}

TOwned<TPixelGraphic> Load(TFileFormatReader&& Reader, const std::string& File) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  TFileStream stream(File, fmOpenRead);
  Reader.Read(&stream, p.get(), 0);
  return p;
}

void Save(TFileFormatWriter&& Writer, TPixelGraphic* P, const std::string& File) {
  TFileStream stream(File, fmCreate);
  Writer.Write(&stream, P);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: raster_bench <folder> <runs> <name>...\n");
    return 2;
  }
  classlib::Startup();
  InitPGraphicUnit();
  const std::string folder = argv[1], out = folder + "/out/result";
  gRuns = std::max(1, std::atoi(argv[2]));
  const double start = Magick("-size 1x1 xc:black null:");
  // One line per photograph and operation: "<name> <operation> <ours s> <peer s>".
  for (int n = 3; n < argc; ++n) {
    const std::string base = folder + "/" + argv[n];
    auto line = [&](const char* Op, double Ours, double Peer) { std::printf("%s %s %.6f %.6f\n", argv[n], Op, Ours, Peer); };
    struct Kind {
      const char* Op;
      std::string File;
      std::function<TFileFormatReader*()> Reader;
    } loads[] = {{"load-ppm", base + ".ppm", [] { return New<TPPMFileFormatReader>(); }},
                 {"load-ppm-plain", base + "-plain.ppm", [] { return New<TPPMFileFormatReader>(); }},
                 {"load-tga", base + ".tga", [] { return New<TTGAFileFormatReader>(); }},
                 {"load-tga-rle", base + "-rle.tga", [] { return New<TTGAFileFormatReader>(); }},
                 {"load-pcx24", base + "-24.pcx", [] { return New<TPCXFileFormatReader>(); }},
                 {"load-pcx8", base + "-8.pcx", [] { return New<TPCXFileFormatReader>(); }},
                 {"load-tif", base + ".tif", [] { return New<TTIFFileFormatReader>(); }},
                 {"load-tif-packbits", base + "-packbits.tif", [] { return New<TTIFFileFormatReader>(); }}};
    for (const Kind& k : loads) {
      TOwned<TFileFormatReader> reader(k.Reader());
      line(k.Op, Time([&] { Load(std::move(*reader), k.File); }), PeerLoad(k.File, start));
    }

    auto photo = Load(TPPMFileFormatReader(), base + ".ppm");
    for (bool binary : {true, false}) {
      PGPxMBinary = binary;
      const double ours = Time([&] { Save(TPPMFileFormatWriter(), photo.get(), out + ".ppm"); });
      const double peer = PeerSave(base + ".ppm", binary ? "" : "-compress none", "PPM:" + out + ".ppm");
      line(binary ? "save-ppm" : "save-ppm-plain", ours, peer);
    }
    PGPxMBinary = false;
    auto targa = Load(TTGAFileFormatReader(), base + ".tga");
    line("save-tga", Time([&] { Save(TTGAFileFormatWriter(), targa.get(), out + ".tga"); }),
         PeerSave(base + ".tga", "-compress None", "TGA:" + out + ".tga"));
    for (bool packBits : {false, true}) {
      PGTIFFCompression = packBits ? 32773 : 1;
      const double ours = Time([&] { Save(TTIFFileFormatWriter(), photo.get(), out + ".tif"); });
      PGTIFFCompression = 1;
      const double peer = PeerSave(base + ".ppm", packBits ? "-compress RLE" : "-compress None", "TIFF:" + out + ".tif");
      line(packBits ? "save-tif-packbits" : "save-tif", ours, peer);
    }
  }
  FinalizePGraphicUnit();
  return 0;
}
