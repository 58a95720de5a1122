#include "imagelib/io/PGByteSource.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace imagelib {

TByteSource::TByteSource(TStream* Stream, std::string Prefix, TRaise RaiseEnd, int64_t BlockSize)
    : FStream(Stream), FPrefix(std::move(Prefix)), FRaise(RaiseEnd), FBuffer(size_t(std::max<int64_t>(BlockSize, 1))) {
  FAt = FEnd = FBuffer.data();
}

TByteSource::~TByteSource() = default;

void TByteSource::RaiseEnd() const {
  FRaise(FPrefix);
  std::abort();  // FRaise never returns
}

bool TByteSource::TryRefill() {
  int64_t n = FStream->Read(FBuffer.data(), int64_t(FBuffer.size()));
  if (n <= 0 && FRest) {
    FStream = FRest;
    FRest = nullptr;
    n = FStream->Read(FBuffer.data(), int64_t(FBuffer.size()));
  }
  if (n <= 0) return false;
  FAt = FBuffer.data();
  FEnd = FAt + n;
  return true;
}

void TByteSource::Read(uint8_t* Dest, int64_t Count) {
  if (Count <= 0) return;
  const int64_t buffered = std::min<int64_t>(Count, FEnd - FAt);
  if (buffered > 0) std::memcpy(Dest, FAt, size_t(buffered));
  FAt += buffered;
  Dest += buffered;
  Count -= buffered;
  // Large reads go straight from the stream; small ones through the buffer.
  if (Count >= int64_t(FBuffer.size())) {
    FAt = FEnd = FBuffer.data();  // the block is behind the stream now
    int64_t n = ReadFully(FStream, Dest, Count);
    if (n < Count && FRest) {
      FStream = FRest;
      FRest = nullptr;
      n += ReadFully(FStream, Dest + n, Count - n);
    }
    if (n < Count) RaiseEnd();
    return;
  }
  while (Count > 0) {
    if (FAt == FEnd) Refill();
    const int64_t n = std::min<int64_t>(Count, FEnd - FAt);
    std::memcpy(Dest, FAt, size_t(n));
    FAt += n;
    Dest += n;
    Count -= n;
  }
}

void TByteSource::Skip(int64_t Count) {
  while (Count > 0) {
    if (FAt == FEnd) Refill();
    const int64_t n = std::min<int64_t>(Count, FEnd - FAt);
    FAt += n;
    Count -= n;
  }
}

int64_t TByteSource::Position() { return FStream->GetPosition() - (FEnd - FAt); }

void TByteSource::Seek(int64_t Position) {
  // Data that follow one another (TIFF's strips) are found in the block already read.
  const int64_t end = FStream->GetPosition(), start = end - (FEnd - FBuffer.data());
  if (Position >= start && Position < end) {
    FAt = FBuffer.data() + (Position - start);
    return;
  }
  FAt = FEnd = FBuffer.data();
  if (FRest && Position >= FStream->GetSize()) {  // beyond the copy: the stream itself goes on there
    FStream = FRest;
    FRest = nullptr;
  }
  FStream->Seek(Position, classlib::soBeginning);
}

void TByteSource::EnsureHolds(int64_t Count) {
  const int64_t needed = Count - (FEnd - FAt);
  if (needed <= 0) return;
  int64_t left = StreamBytesLeft(FStream);
  if (left == PGUnknownSize) {
    FCopy = std::make_unique<TKnownSizeStream>(FStream, needed);
    FRest = FStream;
    FStream = FCopy->Get();
    left = StreamBytesLeft(FStream);
  }
  if (left < needed) RaiseEnd();
}

}  // namespace imagelib
