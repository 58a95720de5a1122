#include <gtest/gtest.h>

#include <cstring>

#include "classlib/exceptions.h"
#include "imagelib/PGOptions.h"
#include "imagelib/PGraphic.h"
#include "tests/imagelib/bmp_builder.h"
#include "tests/test_support.h"

using namespace imagelib;
using bmptest::Bytes;
using bmptest::ByteStream;
using bmptest::DIB;

namespace {

// Unsized: through a stream that cannot tell its size.
TOwned<TPixelGraphic> Read(const Bytes& Block, bool Core = false, bool Unsized = false) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  ByteStream sized(Block);
  streamtest::UnsizedStream unsized(Block);
  p->ReadDIB(Unsized ? static_cast<TStream*>(&unsized) : &sized, Core);
  return p;
}

TOwned<TPixelGraphic> Read(const DIB& D, bool Core = false) { return Read(D.Block(), Core); }

// The exception text ReadDIB raises for the block, or "" when it reads.
std::string RefusalOf(const Bytes& Block, bool Core = false, bool Unsized = false) {
  try {
    Read(Block, Core, Unsized);
  } catch (const EPixelGraphic& e) {
    return e.Message();
  }
  return "";
}

std::vector<int32_t> RowOf(TPixelGraphic* P, int Y) {
  std::vector<int32_t> row;
  for (int x = 0; x < P->GetWidth(); ++x) row.push_back(P->GetPixel(x, Y));
  return row;
}

}  // namespace

// ---- reading: header kinds, bit counts, colour tables

TEST(ReadDIB, OneRedPixelAndItsWrittenBlock) {
  auto p = Read(DIB::Info(1, 1, 24).SizeImage(4).Data({0x00, 0x00, 0xFF, 0x00}));
  EXPECT_EQ(p->GetWidth(), 1);
  EXPECT_EQ(p->GetBitCount(), 24);
  EXPECT_EQ(p->GetPaletteIdent(), pTrueColor);
  EXPECT_EQ(p->GetPixel(0, 0), MakeRGB(255, 0, 0));

  ByteStream out({});
  p->WriteDIB(&out);
  Bytes expected = DIB::Info(1, 1, 24).SizeImage(4).Data({0x00, 0x00, 0xFF, 0x00}).Block();
  EXPECT_EQ(out.Contents(), expected) << "44 bytes: header with colours used 0, then B, G, R and padding";
}

TEST(ReadDIB, CoreHeaderKindsAndThreeByteColourTables) {
  // 8 bits: 256 three-byte entries, then one row of pixels.
  auto p = Read(DIB::Core(3, 1, 8).Gray(256).Row({7, 255, 0}), true);
  EXPECT_EQ(p->GetBitCount(), 8);
  EXPECT_EQ(p->GetPaletteCount(), 256);
  EXPECT_EQ(p->GetPaletteEntry(200), MakeRGB(200, 200, 200));
  EXPECT_EQ(RowOf(p.get(), 0), (std::vector<int32_t>{7, 255, 0}));

  auto mono = Read(DIB::Core(9, 2, 1).Color(10, 20, 30).Color(40, 50, 60).Row({0x80, 0x80}).Row({0x7F, 0x00}), true);
  EXPECT_EQ(mono->GetPaletteCount(), 2);
  EXPECT_EQ(mono->GetPaletteEntry(1), MakeRGB(40, 50, 60));
  EXPECT_EQ(RowOf(mono.get(), 1), (std::vector<int32_t>{1, 0, 0, 0, 0, 0, 0, 0, 1})) << "bottom row stored first";
  EXPECT_EQ(RowOf(mono.get(), 0), (std::vector<int32_t>{0, 1, 1, 1, 1, 1, 1, 1, 0}));

  auto rgb = Read(DIB::Core(1, 1, 24).Row({1, 2, 3}), true);
  EXPECT_EQ(rgb->GetPaletteIdent(), pTrueColor);
  EXPECT_EQ(rgb->GetPaletteCount(), 0);
  EXPECT_EQ(rgb->GetPixel(0, 0), MakeRGB(3, 2, 1));
}

TEST(ReadDIB, InfoHeaderIndexedPicturesAndColoursUsed) {
  auto p4 = Read(DIB::Info(3, 1, 4).ClrUsed(3).Color(1, 1, 1).Color(2, 2, 2).Color(3, 3, 3).Row({0x21, 0xF0}));
  EXPECT_EQ(p4->GetBitCount(), 4);
  EXPECT_EQ(p4->GetPaletteCount(), 3) << "colours used sizes the palette";
  EXPECT_EQ(RowOf(p4.get(), 0), (std::vector<int32_t>{2, 1, 15})) << "an index beyond the palette is kept";

  auto full = Read(DIB::Info(1, 1, 1).Color(0, 0, 0).Color(255, 255, 255).Row({0x80}));
  EXPECT_EQ(full->GetPaletteCount(), 2) << "colours used 0: the full table of the bit count";
  EXPECT_EQ(full->GetPixelColor(0, 0), MakeRGB(255, 255, 255));
  EXPECT_EQ(Read(DIB::Info(1, 1, 8).ClrUsed(256).Gray(256).Row({0}))->GetPaletteCount(), 256) << "the largest table";

  // 24 bits with colours used: the entries are skipped.
  auto skip = Read(DIB::Info(1, 1, 24).ClrUsed(2).Table(Bytes(8, 0xAA)).Row({9, 8, 7}));
  EXPECT_EQ(skip->GetPixel(0, 0), MakeRGB(7, 8, 9));
}

TEST(ReadDIB, SixteenBitChannelsWithAndWithoutScaling) {
  for (bool on : {true, false}) {
    testsupport::ScopedValue scaling(PGDIB16BitScaling, on);
    auto p = Read(DIB::Info(4, 1, 16).Row({0xFF, 0x7F, 0x00, 0x00, 0x01, 0x00, 0x1E, 0x00}));
    EXPECT_EQ(p->GetPixel(0, 0), on ? MakeRGB(255, 255, 255) : MakeRGB(248, 248, 248)) << on;
    EXPECT_EQ(p->GetPixel(1, 0), 0) << "black either way";
    EXPECT_EQ(RGBBlue(p->GetPixel(2, 0)), on ? 16 : 8) << "blue level 1";
    EXPECT_EQ(RGBBlue(p->GetPixel(3, 0)), on ? 248 : 240) << "blue level 30";
  }
}

TEST(ReadDIB, BitFieldMasks) {
  testsupport::ScopedValue scaling(PGDIB16BitScaling, true);
  auto p565 = Read(DIB::Info(2, 1, 16, 3).Masks(0xF800, 0x07E0, 0x001F).Row({0xFF, 0xFF, 0x00, 0xF8}));
  EXPECT_EQ(p565->GetPixel(0, 0), MakeRGB(255, 255, 255));
  EXPECT_EQ(p565->GetPixel(1, 0), MakeRGB(255, 0, 0));

  // 32 bits without compression: bytes blue, green, red and an ignored fourth.
  auto p32 = Read(DIB::Info(1, 1, 32).Row({10, 20, 30, 99}));
  EXPECT_EQ(p32->GetPixel(0, 0), MakeRGB(30, 20, 10));

  // Masks wider than 8 bits keep their top 8 bits (10-10-10).
  auto wide = Read(DIB::Info(3, 1, 32, 3)
                       .Masks(0x3FF00000, 0x000FFC00, 0x000003FF)
                       .Data({0x00, 0x00, 0xF0, 0x3F, 0x00, 0x00, 0x00, 0x20, 0xFF, 0x00, 0x00, 0x00}));
  EXPECT_EQ(wide->GetPixel(0, 0), MakeRGB(255, 0, 0));
  EXPECT_EQ(wide->GetPixel(1, 0), MakeRGB(128, 0, 0));
  EXPECT_EQ(wide->GetPixel(2, 0), MakeRGB(0, 0, 63));
}

TEST(ReadDIB, TopDownRowsForEveryUncompressedKind) {
  auto p8 = Read(DIB::Info(2, -3, 8).Gray(256).Data({1, 2, 0xA, 0xB, 3, 4, 0xC, 0xD, 5, 6, 0xE, 0xF}));
  EXPECT_EQ(p8->GetHeight(), 3);
  EXPECT_EQ(p8->GetBits()[2], 0xA) << "padding stays in its row";
  EXPECT_EQ(RowOf(p8.get(), 0), (std::vector<int32_t>{1, 2})) << "first stored row at the top";
  EXPECT_EQ(RowOf(p8.get(), 2), (std::vector<int32_t>{5, 6}));

  auto p16 = Read(DIB::Info(1, -2, 16).Row({0x1F, 0x00}).Row({0x00, 0x7C}));
  EXPECT_EQ(p16->GetPixel(0, 0), MakeRGB(0, 0, 255));
  EXPECT_EQ(p16->GetPixel(0, 1), MakeRGB(255, 0, 0));

  // 1 bit, 3 pixels wide: the pixel bits move, each row's spare bits and padding stay.
  auto p1 = Read(DIB::Info(3, -2, 1).Gray(2).Data({0xA1, 1, 2, 3, 0x1F, 4, 5, 6}));
  EXPECT_EQ(RowOf(p1.get(), 0), (std::vector<int32_t>{1, 0, 1}));
  EXPECT_EQ(RowOf(p1.get(), 1), (std::vector<int32_t>{0, 0, 0}));
  const uint8_t* bottom = p1->GetBits();
  EXPECT_EQ(bottom[0], 0x01) << "stored row 1's pixels over stored row 0's spare bits";
  EXPECT_EQ(bottom[1], 1);
}

// ---- reading: run-length data

TEST(ReadDIB, RunLength8) {
  auto p = Read(DIB::Info(4, 2, 8, 1).Gray(256).Data({0x03, 0x05, 0x00, 0x00, 0x00, 0x01, 0, 0, 0, 0}));
  EXPECT_EQ(RowOf(p.get(), 1), (std::vector<int32_t>{5, 5, 5, 0}));
  EXPECT_EQ(RowOf(p.get(), 0), (std::vector<int32_t>{0, 0, 0, 0}));

  // An absolute run of 3 is padded to 16 bits before the next code.
  auto a = Read(DIB::Info(5, 1, 8, 1).Gray(256).Data({0x00, 0x03, 7, 8, 9, 0xEE, 0x02, 0x04, 0x00, 0x01}));
  EXPECT_EQ(RowOf(a.get(), 0), (std::vector<int32_t>{7, 8, 9, 4, 4}));

  // A delta moves right and up; end of line starts the next row up.
  auto d = Read(DIB::Info(3, 3, 8, 1).Gray(256).Data({0x00, 0x02, 0x01, 0x01, 0x01, 0x06, 0x00, 0x00, 0x01, 0x03,
                                                      0x00, 0x01}));
  EXPECT_EQ(RowOf(d.get(), 2), (std::vector<int32_t>{0, 0, 0}));
  EXPECT_EQ(RowOf(d.get(), 1), (std::vector<int32_t>{0, 6, 0}));
  EXPECT_EQ(RowOf(d.get(), 0), (std::vector<int32_t>{3, 0, 0}));
}

TEST(ReadDIB, RunLength4) {
  auto p = Read(DIB::Info(3, 1, 4, 2).Gray(16).Data({0x04, 0x12, 0x00, 0x01, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(RowOf(p.get(), 0), (std::vector<int32_t>{1, 2, 1})) << "the fourth pixel is beyond the width";

  auto a = Read(DIB::Info(6, 1, 4, 2).Gray(16).Data({0x00, 0x05, 0x12, 0x34, 0x50, 0x00, 0x00, 0x01}));
  EXPECT_EQ(RowOf(a.get(), 0), (std::vector<int32_t>{1, 2, 3, 4, 5, 0}));
}

TEST(ReadDIB, RunLengthDataThatBreaksTheFormatStaysInsideItsBuffers) {
  // Data of fewer than 10 bytes decodes (no progress) instead of dividing by zero.
  auto tiny = Read(DIB::Info(2, 1, 8, 1).Gray(256).Data({0x02, 0x07, 0x00, 0x01}));
  EXPECT_EQ(RowOf(tiny.get(), 0), (std::vector<int32_t>{7, 7}));

  // An absolute run longer than the data stops the decoding.
  auto cut = Read(DIB::Info(4, 1, 8, 1).Gray(256).Data({0x01, 0x03, 0x00, 0xFF, 0x09, 0x09}));
  EXPECT_EQ(RowOf(cut.get(), 0), (std::vector<int32_t>{3, 0, 0, 0}));
  auto cut4 = Read(DIB::Info(4, 1, 4, 2).Gray(16).Data({0x00, 0x09, 0x12, 0x34}));
  EXPECT_EQ(RowOf(cut4.get(), 0), (std::vector<int32_t>{0, 0, 0, 0}));

  // Image size 0: nothing is decoded.
  auto none = Read(DIB::Info(2, 1, 8, 1).SizeImage(0).Gray(256).Data({0x02, 0x07}));
  EXPECT_EQ(RowOf(none.get(), 0), (std::vector<int32_t>{0, 0}));

  // Deltas far beyond the picture, then runs: nothing lands outside, decoding ends below row 0.
  Bytes codes;
  for (int i = 0; i < 300; ++i) codes.insert(codes.end(), {0x00, 0x02, 0xFF, 0xFF});
  codes.insert(codes.end(), {0xFF, 0x05, 0x00, 0x00, 0xFF, 0x06});
  auto distant = Read(DIB::Info(2, 2, 8, 1).Gray(256).Data(codes));
  EXPECT_EQ(RowOf(distant.get(), 0), (std::vector<int32_t>{0, 0}));
  EXPECT_EQ(RowOf(distant.get(), 1), (std::vector<int32_t>{0, 0}));
  auto wide = Read(DIB::Info(2, 1, 8, 1).Gray(256).Data({0x00, 0x02, 0xFF, 0x00, 0xFF, 0x05, 0xFF, 0x05, 0x00, 0x01}));
  EXPECT_EQ(RowOf(wide.get(), 0), (std::vector<int32_t>{0, 0}));

  // An image size far beyond the stream reads what is there, sized or not.
  for (bool unsized : {false, true}) {
    auto big = Read(DIB::Info(2, 1, 8, 1).SizeImage(0xFFFFFFF0).Gray(256).Data({0x02, 0x09, 0x00, 0x01}).Block(),
                    false, unsized);
    EXPECT_EQ(RowOf(big.get(), 0), (std::vector<int32_t>{9, 9})) << unsized;
  }
}

// ---- reading: refusals

// Header faults are tabled with the bitmap reader's, which refuses the same ones.
TEST(ReadDIB, RefusesUncompressedPixelsTheStreamCannotHold) {
  const std::string eof = "BMP: Unexpected end of file";
  for (bool unsized : {false, true}) {  // a stream without a size is refused alike
    EXPECT_EQ(RefusalOf(DIB::Info(2, 2, 24).Row({1, 2, 3, 4, 5, 6}).Block(), false, unsized), eof);
    // A picture that fits the size limit but not the stream is refused before it is allocated.
    EXPECT_EQ(RefusalOf(DIB::Info(0x20000000, 1, 32).Block(), false, unsized), eof);
    EXPECT_EQ(RefusalOf(DIB::Info(20000, -20000, 24).Block(), false, unsized), eof);
    EXPECT_EQ(RefusalOf(DIB::Info(1, 1, 24).ClrUsed(0x40000000).Block(), false, unsized), eof) << "a skip past the end";
    // The last row may lack its padding.
    auto p = Read(DIB::Info(2, 2, 24).Row({1, 2, 3, 4, 5, 6}).Data({7, 8, 9, 10, 11, 12}).Block(), false, unsized);
    EXPECT_EQ(p->GetPixel(1, 0), MakeRGB(12, 11, 10)) << unsized;
  }
}

// ---- reading: progress, abort and the pixel offset

TEST(ReadDIB, ProgressOfChunkedReads) {
  struct Counter {
    std::vector<std::pair<int, int>> Steps;
    int Starts = 0, Ends = 0;
  };
  auto run = [](const Bytes& Block, Counter& C, int AbortAt) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->OnProgressStart = [&](TObject*) { ++C.Starts; };
    p->OnProgressEnd = [&](TObject*) { ++C.Ends; };
    p->OnProgress = [&](TObject* Sender, int Step, int Max, bool& Abort) {
      EXPECT_EQ(Sender, p.get());
      C.Steps.push_back({Step, Max});
      if (Step == AbortAt) Abort = true;
    };
    ByteStream s(Block);
    p->ReadDIB(&s, false);
    return p;
  };
  Counter rows, c100, c101, aborted;
  run(DIB::Info(25, 2, 32).Data(Bytes(200, 1)).Block(), rows, -1);
  EXPECT_EQ(rows.Steps, (std::vector<std::pair<int, int>>{{0, 2}, {1, 2}})) << "rows of bit fields report per row";
  run(DIB::Info(100, 1, 8).Gray(256).Data(Bytes(100, 1)).Block(), c100, -1);
  EXPECT_TRUE(c100.Steps.empty()) << "100 bytes of pixels: no progress";
  run(DIB::Info(101, 1, 8).Gray(256).Data(Bytes(104, 1)).Block(), c101, -1);
  ASSERT_EQ(c101.Steps.size(), 10u) << "an image of 104 bytes: ten chunks";
  for (int k = 0; k < 10; ++k) EXPECT_EQ(c101.Steps[size_t(k)], std::make_pair(k + 1, 10));
  EXPECT_EQ(c101.Starts, 1);
  EXPECT_EQ(c101.Ends, 1);

  // Abort after the third chunk: what was read stays, the rest is index 0.
  auto p = run(DIB::Info(200, 1, 8).Gray(256).Data(Bytes(200, 9)).Block(), aborted, 3);
  EXPECT_EQ(aborted.Steps.size(), 3u);
  EXPECT_EQ(aborted.Ends, 1);
  EXPECT_EQ(p->GetWidth(), 200);
  EXPECT_EQ(p->GetPaletteCount(), 256);
  EXPECT_EQ(p->GetPixel(59, 0), 9);
  EXPECT_EQ(p->GetPixel(60, 0), 0);
}

TEST(ReadDIB, ProgressEndsAlsoWhenReadingFails) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  int ends = 0;
  p->OnProgressEnd = [&](TObject*) { ++ends; };
  ByteStream s(DIB::Info(1, 1, 7).Block());
  EXPECT_THROW(p->ReadDIB(&s, false), EPGBMPFileFormatReader);
  EXPECT_EQ(ends, 1);
}

TEST(ReadDIB, PixelOffsetIsHonouredOnlyForAGap) {
  DIB d = DIB::Info(1, 1, 24).Row({1, 2, 3});
  Bytes block = d.Block();
  Bytes gap = block;
  gap.insert(gap.begin() + 40, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE});
  auto read = [](const Bytes& B, int64_t Offset) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    ByteStream s(B);
    p->ReadDIB(&s, false, Offset);
    return p->GetPixel(0, 0);
  };
  EXPECT_EQ(read(gap, 48), MakeRGB(3, 2, 1));
  EXPECT_EQ(read(block, 20), MakeRGB(3, 2, 1)) << "an offset inside the header is ignored";
  EXPECT_EQ(read(block, 4000), MakeRGB(3, 2, 1)) << "an offset beyond the stream is ignored";
}

// ---- writing

TEST(WriteDIB, RoundTripsEveryBitCountWithOddSizes) {
  for (int num = 0; num < 4; ++num) {
    TOwned<TPixelGraphic> p(New<TPixelGraphic>());
    p->NewImage(47, 33, num);
    if (num < 3) {
      p->SetPaletteCount(num == 0 ? 2 : num == 1 ? 11 : 200);
      for (int i = 0; i < p->GetPaletteCount(); ++i) p->SetPaletteEntry(i, MakeRGB(i, 255 - i, i * 7 % 256));
    }
    for (int y = 0; y < 33; ++y)
      for (int x = 0; x < 47; ++x) p->SetPixel(x, y, num == 3 ? MakeRGB(x * 5, y * 7, x ^ y) : (x * 3 + y) % p->GetPaletteCount());
    ByteStream s({});
    p->WriteDIB(&s);
    Bytes b = s.Contents();
    ASSERT_EQ(int64_t(b.size()), 40 + 4 * p->GetPaletteCount() + p->GetImageSize()) << num;
    EXPECT_EQ(b[0], 40);
    EXPECT_EQ(b[14], p->GetBitCount());
    EXPECT_EQ(b[20] | (b[21] << 8), p->GetImageSize());
    EXPECT_EQ(b[32] | (b[33] << 8), p->GetPaletteCount());

    auto q = Read(b);
    ASSERT_EQ(q->GetBitCount(), p->GetBitCount());
    ASSERT_EQ(q->GetPaletteCount(), p->GetPaletteCount());
    for (int i = 0; i < q->GetPaletteCount(); ++i) EXPECT_EQ(q->GetPaletteEntry(i), p->GetPaletteEntry(i));
    EXPECT_EQ(std::memcmp(q->GetBits(), p->GetBits(), size_t(p->GetImageSize())), 0) << num;
  }
}

TEST(WriteDIB, APicturePaletteLessWritesTheFullBlackTable) {
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(3, 2, 2);  // from 24 bits: no palette
  ASSERT_EQ(p->GetPaletteCount(), 0);
  p->SetPixel(1, 1, 77);
  ByteStream s({});
  p->WriteDIB(&s);
  Bytes b = s.Contents();
  ASSERT_EQ(b.size(), 40u + 1024 + 8);
  EXPECT_EQ(b[32] | (b[33] << 8), 256) << "colours used names the table that follows";
  EXPECT_EQ(p->GetStreamSize(), 58 + 1024 + 8);
  auto q = Read(b);
  EXPECT_EQ(q->GetPixel(1, 1), 77);
  EXPECT_EQ(q->GetPaletteEntry(77), 0);
}

TEST(WriteDIB, AStreamThatCannotTakeEverythingRaisesTheWriteError) {
  struct Small : TCustomMemoryStream {
    explicit Small(void* P, int64_t N) { SetPointer(P, N); }
  };
  TOwned<TPixelGraphic> p(New<TPixelGraphic>());
  p->NewImage(4, 4, 3);
  uint8_t buffer[60];
  Small s(buffer, sizeof buffer);
  EXPECT_THROW(p->WriteDIB(&s), EWriteError);
}
