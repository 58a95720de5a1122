// Heap use of reading blocks whose headers claim far more data than they hold, through a stream
// that can tell its size and through one that cannot: either costs only what the block holds. The
// heap is counted by replacing the global allocation functions, which is why these tests are a
// program of their own. (Pixel memory is a bitmap section, not counted here; the tests check the
// pictures' sizes instead.)
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGPCXFormat.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "tests/imagelib/bmp_builder.h"
#include "tests/imagelib/formats/raster_builders.h"

namespace {

std::atomic<bool> gCounting{false};
std::atomic<int64_t> gLive{0}, gPeak{0};
constexpr size_t kHeader = 16;  // the block's size, kept in front of it; keeps 16-byte alignment

void* Allocate(size_t N) {
  void* block = N <= SIZE_MAX - kHeader ? std::malloc(N + kHeader) : nullptr;
  if (!block) throw std::bad_alloc();
  *static_cast<size_t*>(block) = N;
  if (gCounting) {
    const int64_t live = gLive += int64_t(N);
    int64_t peak = gPeak;
    while (live > peak && !gPeak.compare_exchange_weak(peak, live)) {
    }
  }
  return static_cast<char*>(block) + kHeader;
}

void Release(void* P) noexcept {
  if (!P) return;
  char* block = static_cast<char*>(P) - kHeader;
  if (gCounting) gLive -= int64_t(*reinterpret_cast<size_t*>(block));
  std::free(block);
}

// The most the heap grew by while Body ran.
template <class F>
int64_t PeakHeapGrowth(F&& Body) {
  gLive = 0;
  gPeak = 0;
  gCounting = true;
  Body();
  gCounting = false;
  return gPeak;
}

}  // namespace

// Every form of the plain allocation functions, so that no block crosses between ours and others.
void* operator new(size_t N) { return Allocate(N); }
void* operator new[](size_t N) { return Allocate(N); }
void* operator new(size_t N, const std::nothrow_t&) noexcept {
  try {
    return Allocate(N);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](size_t N, const std::nothrow_t& T) noexcept { return operator new(N, T); }
void operator delete(void* P) noexcept { Release(P); }
void operator delete[](void* P) noexcept { Release(P); }
void operator delete(void* P, size_t) noexcept { Release(P); }
void operator delete[](void* P, size_t) noexcept { Release(P); }
void operator delete(void* P, const std::nothrow_t&) noexcept { Release(P); }
void operator delete[](void* P, const std::nothrow_t&) noexcept { Release(P); }

using namespace imagelib;
using bmptest::Bytes;
using bmptest::ByteStream;
using bmptest::DIB;
using rastertest::Text;
using rastertest::operator+;

namespace {

constexpr int64_t kSmallCost = 1 << 20;

struct Result {
  TOwned<TPixelGraphic> Picture{New<TPixelGraphic>()};
  std::string Refusal;
  int64_t Peak = 0;
};

Result ReadBlock(const Bytes& Block, bool Unsized) {
  Result r;
  r.Peak = PeakHeapGrowth([&] {
    ByteStream sized(Block);
    streamtest::UnsizedStream unsized(Block);
    try {
      r.Picture->ReadDIB(Unsized ? static_cast<TStream*>(&unsized) : &sized, false);
    } catch (const EPixelGraphic& e) {
      r.Refusal = e.Message();
    }
  });
  return r;
}

}  // namespace

TEST(PeakMemory, TheHeapCountWorks) {
  EXPECT_GE(PeakHeapGrowth([] { std::vector<uint8_t> v(3 << 20); }), 3 << 20);
}

// 1,068 bytes claiming 256 MiB of run-length data: the data are read as far as they go.
TEST(PeakMemory, RunLengthDataClaimingFarMoreThanTheBlockHolds) {
  const Bytes block = DIB::Info(16, 16, 8, 1).SizeImage(256 << 20).Gray(256).Data({0x10, 0x07, 0x00, 0x01}).Block();
  ASSERT_EQ(block.size(), 1068u);
  for (bool unsized : {false, true}) {
    Result r = ReadBlock(block, unsized);
    EXPECT_EQ(r.Refusal, "") << unsized;
    EXPECT_LT(r.Peak, kSmallCost) << unsized;
    EXPECT_EQ(r.Picture->GetPixel(15, 15), 7) << "the bottom row's run; unsized " << unsized;
    EXPECT_EQ(r.Picture->GetPixel(0, 14), 0) << unsized;
  }
}

// A bare header of a 4000 x 4000 true-colour picture: refused before 48 MB of rows are made.
TEST(PeakMemory, ABareHeaderOfABigPicture) {
  const Bytes block = DIB::Info(4000, 4000, 24).Block();
  for (bool unsized : {false, true}) {
    Result r = ReadBlock(block, unsized);
    EXPECT_EQ(r.Refusal, "BMP: Unexpected end of file") << unsized;
    EXPECT_LT(r.Peak, kSmallCost) << unsized;
    EXPECT_TRUE(r.Picture->GetEmpty()) << unsized;
  }
}

// Bare headers of 4000 x 4000 pictures in the byte-source formats, plain and run-length coded:
// each refused before its picture is made, whatever the stream can tell of its size.
TEST(PeakMemory, BareHeadersOfBigPicturesInTheOtherFormats) {
  Bytes pcx(128, 0), tga(18, 0);
  pcx[0] = 0x0A, pcx[3] = 8, pcx[8] = 0x9F, pcx[9] = 0x0F, pcx[10] = 0x9F, pcx[11] = 0x0F;  // 4000 x 4000
  pcx[65] = 3, pcx[66] = 0xA0, pcx[67] = 0x0F, pcx[68] = 1;
  tga[2] = 2, tga[12] = tga[14] = 0xA0, tga[13] = tga[15] = 0x0F, tga[16] = 24;
  Bytes rle = tga;
  rle[2] = 10;
  struct Case {
    const char* Name;
    std::function<TFileFormatReader*()> Reader;
    Bytes File;
    const char* Refusal;
  } cases[] = {
      {"PCX", [] { return New<TPCXFileFormatReader>(); }, pcx + Bytes{0xC5, 1}, "PCX: Unexpected end of file"},
      {"binary PPM", [] { return New<TPPMFileFormatReader>(); }, Text("P6 4000 4000 255 abc"), "PBM, PGM, PPM: Unexpected end of file"},
      {"text PPM", [] { return New<TPPMFileFormatReader>(); }, Text("P3 4000 4000 255 1 2 3"), "PBM, PGM, PPM: Unexpected end of file"},
      {"Targa", [] { return New<TTGAFileFormatReader>(); }, tga + Bytes{1, 2, 3}, "TGA: Unexpected end of file"},
      {"run-length Targa", [] { return New<TTGAFileFormatReader>(); }, rle + Bytes{0xFF, 1, 2, 3}, "TGA: Unexpected end of file"},
  };
  for (const Case& c : cases)
    for (bool unsized : {false, true}) {
      TOwned<TFileFormatReader> reader(c.Reader());
      TOwned<TPixelGraphic> picture(New<TPixelGraphic>());
      std::string refusal;
      const int64_t peak = PeakHeapGrowth([&] {
        ByteStream sized(c.File);
        streamtest::UnsizedStream unsizedStream(c.File);
        try {
          reader->Read(unsized ? static_cast<TStream*>(&unsizedStream) : &sized, picture.get(), 0);
        } catch (const EPixelGraphic& e) {
          refusal = e.Message();
        }
      });
      EXPECT_EQ(refusal, c.Refusal) << c.Name << ", unsized " << unsized;
      EXPECT_LT(peak, kSmallCost) << c.Name << ", unsized " << unsized;
      EXPECT_TRUE(picture->GetEmpty()) << c.Name << ", unsized " << unsized;
    }
}
