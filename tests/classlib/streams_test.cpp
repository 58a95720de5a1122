#include <gtest/gtest.h>

#include <cstring>

#include "classlib/exceptions.h"
#include "classlib/files.h"
#include "classlib/streams.h"
#include "tests/test_support.h"

using namespace classlib;

namespace {
// Exposes the memory stream over borrowed memory, as the clipboard code uses it.
class TBorrowedStream : public TCustomMemoryStream {
 public:
  using TCustomMemoryStream::SetPointer;
};
}  // namespace

TEST(TMemoryStream, GrowsOnWriteAndZeroFillsGaps) {
  TMemoryStream s;
  s.WriteBuffer("abc", 3);
  s.SetPosition(10);
  s.WriteBuffer("z", 1);
  EXPECT_EQ(s.GetSize(), 11);
  const char* m = static_cast<const char*>(s.GetMemory());
  EXPECT_EQ(std::memcmp(m, "abc\0\0\0\0\0\0\0z", 11), 0);
  for (int i = 0; i < 10000; ++i) s.WriteBuffer(&i, sizeof i);
  EXPECT_EQ(s.GetPosition(), 11 + 10000 * int64_t(sizeof(int)));
}

TEST(TMemoryStream, ReadAtTheEndReturnsZeroAndReadBufferRaises) {
  TMemoryStream s;
  s.WriteBuffer("abcd", 4);
  s.SetPosition(2);
  char buffer[8] = {};
  EXPECT_EQ(s.Read(buffer, 8), 2);  // a plain read comes up short without raising
  EXPECT_EQ(std::string(buffer, 2), "cd");
  EXPECT_EQ(s.Read(buffer, 8), 0);
  s.SetPosition(1);
  EXPECT_THROW(s.ReadBuffer(buffer, 4), EReadError);
}

TEST(TMemoryStream, SeekRules) {
  TMemoryStream s;
  s.WriteBuffer("abcd", 4);
  EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
  EXPECT_THROW(s.Seek(-5, soEnd), EStreamError);
  EXPECT_EQ(s.Seek(-1, soEnd), 3);
  EXPECT_EQ(s.Seek(100, soBeginning), 100);  // beyond the end is allowed
  char c;
  EXPECT_EQ(s.Read(&c, 1), 0);
  s.SetPosition(1);
  EXPECT_EQ(s.GetSize(), 4);
  EXPECT_EQ(s.GetPosition(), 1) << "GetSize restores the position";
}

TEST(TCustomMemoryStream, BorrowedMemoryIsNeverGrown) {
  char block[4] = {'w', 'x', 'y', 'z'};
  TBorrowedStream s;
  s.SetPointer(block, sizeof block);
  s.SetPosition(2);
  EXPECT_EQ(s.Write("123", 3), 2);
  EXPECT_EQ(std::string(block, 4), "wx12");
  s.SetPosition(3);
  EXPECT_THROW(s.WriteBuffer("ab", 2), EWriteError);
  EXPECT_EQ(s.GetSize(), 4);
  s.SetPointer(nullptr, 0);
  EXPECT_EQ(s.GetSize(), 0);
}

TEST(TStream, CopyFromCopiesAllOrTheCount) {
  TMemoryStream source, dest;
  std::string text(100000, 'q');
  text[5] = 'A';
  source.WriteBuffer(text.data(), int64_t(text.size()));
  EXPECT_EQ(dest.CopyFrom(&source, 0), int64_t(text.size()));
  EXPECT_EQ(std::memcmp(dest.GetMemory(), text.data(), text.size()), 0);
  source.SetPosition(3);
  TMemoryStream part;
  EXPECT_EQ(part.CopyFrom(&source, 4), 4);
  EXPECT_EQ(std::string(static_cast<char*>(part.GetMemory()), 4), "qqAq");
  source.SetPosition(int64_t(text.size()) - 2);
  EXPECT_THROW(part.CopyFrom(&source, 4), EReadError);
}

TEST(TFileStream, WritesReadsAndNamesMissingFiles) {
  testsupport::TempDir dir;
  std::string name = dir.File("data.bin");
  {
    TFileStream f(name, fmCreate);
    f.WriteBuffer("hello", 5);
    f.SetSize(3);
    EXPECT_EQ(f.GetSize(), 3);
  }
  {
    TFileStream f(name, fmOpenRead);
    TFileStream second(name, fmOpenRead);  // readers share the file
    char buffer[8] = {};
    EXPECT_EQ(f.Read(buffer, 8), 3);
    EXPECT_EQ(std::string(buffer, 3), "hel");
    EXPECT_EQ(second.GetSize(), 3);
    EXPECT_THROW(f.Seek(-4, soCurrent), EStreamError);
    EXPECT_EQ(f.Seek(-1, soCurrent), 2);
    EXPECT_EQ(f.Seek(10, soBeginning), 10);
    EXPECT_EQ(f.Read(buffer, 1), 0);
  }
  std::string missing = dir.File("missing.bmp");
  try {
    TFileStream f(missing, fmOpenRead);
    FAIL() << "opened a missing file";
  } catch (const EFOpenError& e) {
    EXPECT_EQ(e.Message(), "Cannot open file " + missing);
  }
  EXPECT_THROW(TFileStream(dir.File("no/such/folder/x"), fmCreate), EFCreateError);
  EXPECT_TRUE(FileExists(name));
  EXPECT_TRUE(DeleteFile(name));
  EXPECT_FALSE(FileExists(name));
}
