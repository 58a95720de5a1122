// The pictures the monkey offers: one of every format the readers take, each also cut short and
// with its body overwritten by noise, and files that are no picture at all. Always the same
// bytes, so that a recorded failure meets the same files again.
#include <filesystem>
#include <fstream>
#include <random>

#include "classlib/object.h"
#include "imagelib/PGraphic.h"
#include "tests/imagelib/bmp_builder.h"
#include "tests/imagelib/formats/raster_builders.h"
#include "tests/monkey/monkey.h"

namespace monkey {

namespace {

using streamtest::Bytes;

Bytes ReadAll(const std::string& File) {
  std::ifstream in(File, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}
void WriteAll(const std::string& File, const Bytes& Data) {
  std::ofstream out(File, std::ios::binary);
  out.write(reinterpret_cast<const char*>(Data.data()), std::streamsize(Data.size()));
}

// An 8-bit run-length bitmap: each row a run of its colour, then a literal run of four.
Bytes RLE8File(int Width, int Height) {
  bmptest::DIB dib = bmptest::DIB::Info(Width, Height, 8, BI_RLE8);
  for (int i = 0; i < 256; ++i) dib.Color(uint8_t(i), uint8_t(255 - i), uint8_t(i * 7));
  Bytes codes;
  for (int y = 0; y < Height; ++y) {
    codes.insert(codes.end(), {uint8_t(Width - 4), uint8_t(y * 5), 0, 4, 1, 2, 3, 4, 0, 0});
  }
  codes.insert(codes.end(), {0, 1});
  dib.Data(codes);
  return dib.File();
}

}  // namespace

void WriteSamples(const std::string& Folder) {
  namespace fs = std::filesystem;
  fs::create_directories(Folder);
  classlib::TOwned<imagelib::TPixelGraphic> picture(classlib::New<imagelib::TPixelGraphic>());
  picture->NewImage(160, 120, 3);
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 160; ++x) picture->SetPixelColor(x, y, RGB(x * 3 / 2, y * 2, (x ^ y) & 255));
  std::vector<std::string> good;
  for (const char* ext : {"bmp", "jpg", "png", "pbm", "pgm", "ppm", "tga", "tif"}) {
    const std::string name = std::string("billede.") + ext;
    picture->SaveToFile(Folder + "\\" + name);
    good.push_back(name);
  }
  fs::copy_file(Folder + "\\billede.bmp", Folder + "\\billede.dib", fs::copy_options::overwrite_existing);
  good.push_back("billede.dib");
  WriteAll(Folder + "\\billede.rle", RLE8File(64, 48));
  good.push_back("billede.rle");
  WriteAll(Folder + "\\billede.pcx", rastertest::PCXFile(8, 1));
  WriteAll(Folder + "\\farver.pcx", rastertest::PCXFile(8, 3));
  good.insert(good.end(), {"billede.pcx", "farver.pcx"});
  // A larger picture, so that the filters have work to do.
  picture->NewImage(800, 600, 3);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) picture->SetPixelColor(x, y, RGB(x & 255, (y * 3) & 255, (x + y) & 255));
  picture->SaveToFile(Folder + "\\stort.jpg");

  std::mt19937 noise(2002);
  for (const std::string& name : good) {
    const Bytes whole = ReadAll(Folder + "\\" + name);
    WriteAll(Folder + "\\kort_" + name, Bytes(whole.begin(), whole.begin() + long(whole.size() * 2 / 5)));
    Bytes mangled = whole;
    for (size_t i = std::min<size_t>(mangled.size(), 24); i < mangled.size(); ++i) mangled[i] = uint8_t(noise());
    WriteAll(Folder + "\\stoej_" + name, mangled);
  }
  Bytes random(3000);
  for (uint8_t& b : random) b = uint8_t(noise());
  WriteAll(Folder + "\\tilfaeldig.png", random);
  WriteAll(Folder + "\\tilfaeldig.tif", random);
  WriteAll(Folder + "\\tom.bmp", {});
}

}  // namespace monkey
