#include "imagelib/io/PGStreamInput.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "imagelib/PGLimits.h"

namespace imagelib {

namespace {

using namespace classlib;

constexpr int64_t kFirstChunk = 64 << 10;

// What an unsized stream still held, under the positions it had there; nothing lies before Base.
class TStreamCopy : public TStream {
  CL_CLASS(TStreamCopy)
  TStreamCopy(int64_t Base, std::vector<uint8_t>&& Data) : FBase(Base), FData(std::move(Data)) {}

  int64_t Read(void* Buffer, int64_t Count) override {
    const int64_t at = FPosition - FBase, size = int64_t(FData.size());
    if (Count <= 0 || at < 0 || at >= size) return 0;
    const int64_t n = std::min(Count, size - at);
    std::memcpy(Buffer, FData.data() + at, size_t(n));
    FPosition += n;
    return n;
  }
  int64_t Write(const void*, int64_t) override { return 0; }  // readers only read
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override {
    FPosition = SeekTarget(Offset, Origin, FPosition, FBase + int64_t(FData.size()));
    return FPosition;
  }

 private:
  int64_t FBase;
  int64_t FPosition = FBase;
  std::vector<uint8_t> FData;
};

}  // namespace

int64_t StreamBytesLeft(TStream* Stream) {
  try {
    const int64_t size = Stream->GetSize();
    return std::max<int64_t>(size - Stream->GetPosition(), 0);
  } catch (const Exception&) {
    return PGUnknownSize;
  }
}

int64_t ReadFully(TStream* Stream, void* Buffer, int64_t Count) {
  auto* at = static_cast<uint8_t*>(Buffer);
  int64_t got = 0;
  while (got < Count) {
    const int64_t n = Stream->Read(at + got, Count - got);
    if (n <= 0) break;
    got += n;
  }
  return got;
}

TKnownSizeStream::TKnownSizeStream(TStream* Stream, int64_t Limit) : FStream(Stream) {
  if (StreamBytesLeft(Stream) != PGUnknownSize) return;
  const int64_t base = Stream->GetPosition();
  const int64_t limit = std::clamp<int64_t>(Limit, 0, PGMaxImageSize);
  std::vector<uint8_t> data;
  int64_t got = 0;
  while (got < limit) {
    // The buffer doubles only when the bytes have filled it: a claim costs nothing until data back it.
    if (got == int64_t(data.size())) data.resize(size_t(std::min(limit, std::max(kFirstChunk, 2 * got))));
    const int64_t n = Stream->Read(data.data() + got, int64_t(data.size()) - got);
    if (n <= 0) break;
    got += n;
  }
  data.resize(size_t(got));
  FCopy.reset(New<TStreamCopy>(base, std::move(data)));
}

}  // namespace imagelib
