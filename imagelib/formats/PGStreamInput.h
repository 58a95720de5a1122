// What every reader needs of its stream beyond the plain read: fixed-size records that arrive
// whole or fail with the format's own "Unexpected end of file", the bytes that are left, and a
// stream that knows its size where the given one cannot tell (a seek to its end fails).
#pragma once

#include <cstdint>
#include <string>

#include "classlib/streams.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

constexpr int64_t PGUnknownSize = -1;

// Bytes from the stream's position to its end, or PGUnknownSize when the stream cannot tell.
int64_t StreamBytesLeft(TStream* Stream);

// Reads until Count bytes have come or the stream gives no more (a plain read may come up short
// before the end); returns how many came.
int64_t ReadFully(TStream* Stream, void* Buffer, int64_t Count);

// Prefix is the format's message prefix ("BMP: "), E its exception class.
template <class E>
[[noreturn]] void RaiseEndOfFile(const std::string& Prefix) {
  throw E(Prefix + PGLangStr(pgmUnexpectedEnd));
}

// A header or record of fixed size: all Count bytes, never a short one read as zeros.
template <class E>
void ReadExact(TStream* Stream, void* Buffer, int64_t Count, const std::string& Prefix) {
  if (ReadFully(Stream, Buffer, Count) < Count) RaiseEndOfFile<E>(Prefix);
}

// The stream to read from when sizes must be checked against the data: the stream itself when it
// can tell its size, else a copy in memory of what it still holds, at most Limit bytes (and never
// more than PGMaxImageSize), read as the bytes arrive. The copy answers with the positions of the
// original stream, so offsets from a file header stay valid; the original stands after what was
// copied. A short stream therefore costs only what it holds, whatever its headers claim.
class TKnownSizeStream {
 public:
  TKnownSizeStream(TStream* Stream, int64_t Limit);
  TKnownSizeStream(const TKnownSizeStream&) = delete;
  TKnownSizeStream& operator=(const TKnownSizeStream&) = delete;
  TStream* Get() const { return FCopy ? FCopy.get() : FStream; }

 private:
  TStream* FStream;
  TOwned<TStream> FCopy;
};

}  // namespace imagelib
