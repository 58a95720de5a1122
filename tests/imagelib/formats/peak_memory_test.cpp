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
#include "tests/imagelib/bmp_builder.h"

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
