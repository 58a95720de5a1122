// A forward reader for decoders that take their data a byte at a time (run-length lines, numbers
// in text): the stream is read a block at a time, and data that end too soon raise the format's
// own "Unexpected end of file". Readers whose data lie at offsets (TIFF's strips) move it with Seek.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "classlib/streams.h"
#include "imagelib/io/PGStreamInput.h"

namespace imagelib {

class TByteSource {
 public:
  // Raises the format's end-of-data error for Prefix ("PCX: "); RaiseEndOfFile<E> is one.
  using TRaise = void (*)(const std::string& Prefix);
  // Blocks of a kilobyte serve headers; pixel data come in larger blocks, since a block costs a
  // call of the stream (a system call for a file), and a kilobyte of run-length data decodes in
  // less time than that call takes.
  static constexpr int64_t kHeaderBlock = 1024;
  static constexpr int64_t kDataBlock = 64 << 10;

  TByteSource(TStream* Stream, std::string Prefix, TRaise RaiseEnd, int64_t BlockSize = kHeaderBlock);
  TByteSource(const TByteSource&) = delete;
  TByteSource& operator=(const TByteSource&) = delete;
  ~TByteSource();

  uint8_t Next() {
    if (FAt == FEnd) Refill();
    return *FAt++;
  }
  // The next byte, or -1 at the end of the data.
  int NextOrEnd() {
    if (FAt == FEnd && !TryRefill()) return -1;
    return *FAt++;
  }
  // All Count bytes, or the end-of-data error.
  void Read(uint8_t* Dest, int64_t Count);
  void Skip(int64_t Count);
  // The stream position of the next byte.
  int64_t Position();
  // Goes on at Position of the stream: in the block already read when it lies there, else the
  // block is dropped and the stream moves.
  void Seek(int64_t Position);
  // Refuses with the end-of-data error, before anything is allocated for them, unless Count more
  // bytes are to come. A stream that cannot tell its size is first copied that far (and no
  // further): the reading goes on in the copy, then in the stream. Once per decoding.
  void EnsureHolds(int64_t Count);
  [[noreturn]] void RaiseEnd() const;

 private:
  bool TryRefill();
  void Refill() {
    if (!TryRefill()) RaiseEnd();
  }

  TStream* FStream;
  TStream* FRest = nullptr;  // where the data go on after a copy
  std::unique_ptr<TKnownSizeStream> FCopy;
  std::string FPrefix;
  TRaise FRaise;
  std::vector<uint8_t> FBuffer;
  const uint8_t* FAt = nullptr;
  const uint8_t* FEnd = nullptr;
};

}  // namespace imagelib
