// What the JPEG and PNG glue shares: the way out of a codec library call that failed, the warning
// actions as the libraries' callbacks apply them, buffered stream I/O for the callbacks, and the
// check of the libraries' versions.
//
// The libraries are C: their error callbacks must not return, and no C++ exception may unwind
// through their frames. A callback records what went wrong in a TCodecJump and jumps back to the
// setjmp of the call that reached it (TCodecJump::Call); the glue then throws, and the library
// objects are destroyed by their owners. Nothing with a destructor lives in the frames the jump
// leaves: the callbacks catch every exception of ours and keep it here instead.
#pragma once

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <vector>

#include "classlib/streams.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

class TCodecJump {
 public:
  // Runs one library call under a jump point; when a callback jumps back, throws the exception
  // it recorded (E with the recorded text, or the exception caught in a callback).
  template <class E, class F>
  void Call(F&& LibraryCall) {
    if (setjmp(Jump) != 0) Raise<E>();
    LibraryCall();
  }

  // For the callbacks: record the exception's text (Prefix and Text joined) and jump back.
  [[noreturn]] void Fail(const char* Prefix, const char* Text) noexcept;
  // Runs code of ours inside a callback; an exception is kept (false comes back) for the callback
  // to Leave with once the handler is over: a jump must never leave a catch block.
  template <class F>
  bool Try(F&& Code) noexcept {
    try {
      Code();
      return true;
    } catch (...) {
      Caught = std::current_exception();
      return false;
    }
  }
  [[noreturn]] void Leave() noexcept;

  // A library warning under Action (the format's prefix, "JPG: ", and box word, "JPG"): returns
  // when the operation goes on, else records the refusal and jumps back.
  void Warn(TPGWarningAction Action, const char* FormatWord, const char* Prefix, const char* Text) noexcept;

  template <class E>
  [[noreturn]] void Raise() {
    if (Caught) std::rethrow_exception(Caught);
    throw E(Text);
  }

 private:
  std::jmp_buf Jump;
  char Text[320] = {};
  std::exception_ptr Caught;
};

// Runs a reader's decoding; when it fails, the picture is left empty (a true-colour picture of
// no size, as a load begins) rather than half decoded, and the failure propagates.
template <class F>
void DecodeOrLeaveEmpty(TPixelGraphic* Graphic, F&& Decode) {
  try {
    Decode();
  } catch (...) {
    Graphic->NewImage(0, 0, pgbc24Bits);
    Graphic->SetPaletteIdent(pTrueColor);
    throw;
  }
}

// The stream side of a library's input: reads ahead in large blocks, so that the library's many
// small reads do not each reach the stream.
class TCodecInput {
 public:
  explicit TCodecInput(TStream* Stream) : FStream(Stream), FBuffer(kBlock) {}
  // Refills the buffer; returns the bytes now in it (0 at the end). Stream failures propagate.
  size_t Fill();
  // Copies up to Count bytes, refilling as needed; returns how many came.
  size_t Read(uint8_t* Data, size_t Count);
  const uint8_t* Next() const { return FBuffer.data() + FNext; }
  size_t Available() const { return FEnd - FNext; }

 private:
  static constexpr size_t kBlock = 65536;
  TStream* FStream;
  std::vector<uint8_t> FBuffer;
  size_t FNext = 0, FEnd = 0;
};

// The stream side of a library's output: collects the library's writes into large blocks.
class TCodecOutput {
 public:
  explicit TCodecOutput(TStream* Stream) : FStream(Stream), FBuffer(kBlock) {}
  // False when the stream took less than it was given. Stream exceptions propagate.
  bool Write(const uint8_t* Data, size_t Count);
  bool Flush();
  uint8_t* Buffer() { return FBuffer.data(); }
  size_t Capacity() const { return FBuffer.size(); }
  // Hands Count bytes of Buffer() to the stream (a library that fills the buffer itself).
  bool WriteBuffer(size_t Count);

 private:
  static constexpr size_t kBlock = 65536;
  TStream* FStream;
  std::vector<uint8_t> FBuffer;
  size_t FUsed = 0;
};

// The linked libraries' own version texts ("6b  27-Mar-1998", "1.6.39", "1.2.13"), and whether
// each belongs to the release line whose headers the glue was compiled with.
const char* JPGLibraryVersion();
const char* PNGLibraryVersion();
const char* ZlibLibraryVersion();
bool JPGLibraryVersionOK();
bool PNGLibraryVersionOK();  // libpng and zlib both

namespace testing {
// Version texts to report in place of the libraries' own; nullptr gives the library's back.
void SetCodecVersionTexts(const char* Jpeg, const char* Png, const char* Zlib);
}  // namespace testing

}  // namespace imagelib
