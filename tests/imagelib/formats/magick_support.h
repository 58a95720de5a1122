// The reference tools of the interoperability tests, ImageMagick and pngcheck, and the file
// helpers they share (native build only).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/imagelib/bmp_builder.h"

namespace magicktest {

using bmptest::Bytes;

// The real programs, not whatever a PATH puts first.
const std::string kMagick = "/usr/bin/convert";
const std::string kPngcheck = "/usr/bin/pngcheck";

inline Bytes ReadAll(const std::string& Name) {
  std::ifstream in(Name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& Name, const Bytes& B) {
  std::ofstream out(Name, std::ios::binary);
  out.write(reinterpret_cast<const char*>(B.data()), std::streamsize(B.size()));
}

// Runs a program with its arguments, quietly; true when it succeeds.
inline bool Run(const std::string& Program, const std::string& Args) {
  std::string command = Program + " " + Args + " >/dev/null 2>&1";
  return std::system(command.c_str()) == 0;
}

// What a program writes to its standard output.
inline std::string Output(const std::string& Program, const std::string& Args) {
  std::string text;
  if (FILE* pipe = popen((Program + " " + Args + " 2>/dev/null").c_str(), "r")) {
    char buffer[256];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe)) text.append(buffer, n);
    pclose(pipe);
  }
  return text;
}

// What ImageMagick reads from a file as 8-bit samples (Map "rgb" or "rgba"), top row first, as
// stored: it would otherwise convert a file it takes for linear (a gamma of 1) to sRGB. Empty
// when it cannot read the file.
inline Bytes MagickSamples(const std::string& File, const std::string& Map, const std::string& Scratch) {
  if (!Run(kMagick, "'" + File + "' -set colorspace sRGB -depth 8 '" + Map + ":" + Scratch + "'")) return Bytes();
  return ReadAll(Scratch);
}

}  // namespace magicktest
