#include "bench/bench_support.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <vector>

#include "imagelib/PGPalettes.h"

namespace bench {

using namespace imagelib;

namespace {
#ifdef _WIN32
bool gWallClock = true;
#else
bool gWallClock = false;
#endif
}  // namespace

void UseWallClock() { gWallClock = true; }

double Seconds() {
#ifndef _WIN32
  if (!gWallClock) {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
  }
#endif
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double LeastSeconds(const std::function<void()>& Body, int Runs) {
  Body();
  double least = 0;
  for (int i = 0; i < std::max(Runs, 1); ++i) {
    double start = Seconds();
    Body();
    double spent = Seconds() - start;
    least = i == 0 ? spent : std::min(least, spent);
  }
  return least;
}

namespace {
[[noreturn]] void Fail(const std::string& Text) {
  std::fprintf(stderr, "bench: %s\n", Text.c_str());
  std::exit(2);
}

int ReadNumber(FILE* f) {
  int c = std::fgetc(f);
  while (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#') {
    if (c == '#')
      while (c != '\n' && c != EOF) c = std::fgetc(f);
    c = std::fgetc(f);
  }
  int v = 0;
  if (c < '0' || c > '9') Fail("bad PPM header");
  while (c >= '0' && c <= '9') {
    v = v * 10 + (c - '0');
    c = std::fgetc(f);
  }
  return v;
}
}  // namespace

TPixelGraphic* LoadPPM(const std::string& FileName) {
  FILE* f = std::fopen(FileName.c_str(), "rb");
  if (!f) Fail("cannot open " + FileName);
  if (std::fgetc(f) != 'P' || std::fgetc(f) != '6') Fail(FileName + " is not a binary PPM");
  int w = ReadNumber(f), h = ReadNumber(f), maxval = ReadNumber(f);
  if (maxval != 255) Fail(FileName + ": only maxval 255");
  TPixelGraphic* p = New<TPixelGraphic>();
  p->NewImage(w, h, 3);
  std::vector<uint8_t> row(size_t(w) * 3);
  for (int y = 0; y < h; ++y) {
    if (std::fread(row.data(), 1, row.size(), f) != row.size()) Fail(FileName + " is cut short");
    uint8_t* out = p->ScanLine(y);
    for (int x = 0; x < w; ++x) {
      out[3 * x] = row[3 * size_t(x) + 2];
      out[3 * x + 1] = row[3 * size_t(x) + 1];
      out[3 * x + 2] = row[3 * size_t(x)];
    }
  }
  std::fclose(f);
  return p;
}

void WritePalettePPM(TPaletteIdent Ident, const std::string& FileName) {
  TFixedPalette palette = FixedPalette(Ident);
  FILE* f = std::fopen(FileName.c_str(), "wb");
  if (!f) Fail("cannot write " + FileName);
  std::fprintf(f, "P6\n%d 1\n255\n", palette.Count);
  for (int i = 0; i < palette.Count; ++i) {
    TRGB c = palette.Entries[i];
    uint8_t rgb[3] = {uint8_t(RGBRed(c)), uint8_t(RGBGreen(c)), uint8_t(RGBBlue(c))};
    std::fwrite(rgb, 1, 3, f);
  }
  std::fclose(f);
}

}  // namespace bench
