// Streams for the reader tests and the fuzz target: over bytes held in memory, and over the same
// bytes through a stream that cannot tell its size, as a pipe or a socket cannot.
#pragma once

#include <cstdint>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/streams.h"

namespace streamtest {

using Bytes = std::vector<uint8_t>;

// A memory stream holding a copy of B, positioned at its start; it grows when written.
class ByteStream : public classlib::TMemoryStream {
 public:
  explicit ByteStream(const Bytes& B) {
    if (!B.empty()) WriteBuffer(B.data(), int64_t(B.size()));
    SetPosition(0);
  }
  Bytes Contents() const {
    const auto* p = static_cast<const uint8_t*>(GetMemory());
    return Bytes(p, p + FSize);
  }
};

// Over bytes it borrows and never writes.
class BorrowedStream : public classlib::TCustomMemoryStream {
 public:
  BorrowedStream(const uint8_t* Data, size_t Size) { SetPointer(const_cast<uint8_t*>(Data), int64_t(Size)); }
  explicit BorrowedStream(const Bytes& B) : BorrowedStream(B.data(), B.size()) {}
};

// The same, but a seek to the end fails, so the stream cannot tell its size; every other seek works.
class UnsizedStream : public BorrowedStream {
 public:
  using BorrowedStream::BorrowedStream;
  int64_t Seek(int64_t Offset, classlib::TSeekOrigin Origin) override {
    if (Origin == classlib::soEnd) throw classlib::EStreamError("the stream cannot seek to its end");
    return BorrowedStream::Seek(Offset, Origin);
  }
};

}  // namespace streamtest
