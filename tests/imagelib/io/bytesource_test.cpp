#include <gtest/gtest.h>

#include "imagelib/PGExceptions.h"
#include "imagelib/io/PGByteSource.h"
#include "tests/imagelib/test_streams.h"

using namespace imagelib;
using streamtest::Bytes;

namespace {

Bytes Counting(int N) {
  Bytes b;
  for (int i = 0; i < N; ++i) b.push_back(uint8_t(i));
  return b;
}

}  // namespace

TEST(ByteSource, ReadsAcrossBlocksAndRaisesTheFormatsEndOfData) {
  const Bytes data = Counting(40);
  for (bool unsized : {false, true}) {
    streamtest::BorrowedStream sized(data);
    streamtest::UnsizedStream noSize(data);
    TStream* stream = unsized ? static_cast<TStream*>(&noSize) : &sized;
    stream->SetPosition(3);
    TByteSource source(stream, "TGA: ", RaiseEndOfFile<EPGTGAFileFormatReader>, 4);  // blocks of 4 bytes
    EXPECT_EQ(source.Next(), 3);
    uint8_t b[12];
    source.Read(b, 2);  // within the block
    EXPECT_EQ(b[1], 5);
    source.Read(b, 12);  // beyond it: straight from the stream
    EXPECT_EQ(b[0], 6);
    EXPECT_EQ(b[11], 17);
    source.Seek(15);  // the block read before the long read lies behind the stream now
    EXPECT_EQ(source.Next(), 15);
    source.Seek(17);  // within the block just read, both ways
    EXPECT_EQ(source.Next(), 17);
    source.Seek(16);
    EXPECT_EQ(source.Next(), 16);
    source.Seek(18);
    source.Skip(5);
    EXPECT_EQ(source.Position(), 23);
    source.Seek(38);
    EXPECT_EQ(source.NextOrEnd(), 38);
    EXPECT_EQ(source.Next(), 39);
    EXPECT_EQ(source.NextOrEnd(), -1);
    try {
      source.Next();
      ADD_FAILURE() << "read past the end";
    } catch (const EPGTGAFileFormatReader& e) {
      EXPECT_EQ(e.Message(), "TGA: Unexpected end of file");
    }
  }
}

// A stream that cannot tell its size is copied as far as asked, and the reading goes on beyond.
TEST(ByteSource, EnsureHoldsCopiesNoFurtherThanAsked) {
  const Bytes data = Counting(100);
  streamtest::UnsizedStream stream(data);
  TByteSource source(&stream, "PCX: ", RaiseEndOfFile<EPGPCXFileFormatReader>, 8);
  EXPECT_EQ(source.Next(), 0);
  source.EnsureHolds(30);
  EXPECT_EQ(stream.GetPosition(), 31) << "the copy holds the 23 bytes beyond the first block";
  source.Seek(20);  // within the copy
  EXPECT_EQ(source.Next(), 20);
  uint8_t b[60];
  source.Read(b, 60);  // the copy up to 30, then the stream
  EXPECT_EQ(b[59], 80);
  EXPECT_EQ(source.Position(), 81);
  source.Seek(90);
  EXPECT_EQ(source.Next(), 90);

  const Bytes ten = Counting(10);
  streamtest::UnsizedStream shortStream(ten);
  TByteSource short_(&shortStream, "PCX: ", RaiseEndOfFile<EPGPCXFileFormatReader>);
  EXPECT_THROW(short_.EnsureHolds(11), EPGPCXFileFormatReader);
  streamtest::BorrowedStream sized(data);
  TByteSource known(&sized, "PCX: ", RaiseEndOfFile<EPGPCXFileFormatReader>);
  EXPECT_NO_THROW(known.EnsureHolds(100));
  EXPECT_THROW(known.EnsureHolds(101), EPGPCXFileFormatReader);
}
