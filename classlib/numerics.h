// Integer and "extended" (80-bit long double) arithmetic with the semantics the programs rely on:
// rounding halves to even, range-checked float-to-integer conversion, the x87 precision word.
#pragma once

#include <cmath>
#include <cstdint>

#include "classlib/exceptions.h"

namespace classlib {

// Halves to even in the default rounding mode; NaN or a value outside int64 raises EInvalidOp.
inline int64_t Round(long double x) {
  long double r = nearbyintl(x);
  if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L)) throw EInvalidOp();
  return int64_t(r);
}

// Toward zero, range-checked like Round.
inline int64_t Trunc(long double x) {
  long double r = truncl(x);
  if (!(r >= -9223372036854775808.0L && r < 9223372036854775808.0L)) throw EInvalidOp();
  return int64_t(r);
}

inline long double Frac(long double x) { return x - truncl(x); }
inline long double Int(long double x) { return truncl(x); }

// The x87 control word. Worker threads of Windows x64 start with 53-bit precision (0x027F); the
// programs want the full 64-bit mantissa (0x037F) on every thread so that long double results agree.
constexpr uint16_t X87FullPrecision = 0x037F;

inline uint16_t GetX87ControlWord() {
#if defined(__i386__) || defined(__x86_64__)
  uint16_t cw = 0;
  __asm__ __volatile__("fnstcw %0" : "=m"(cw));
  return cw;
#else
  return X87FullPrecision;
#endif
}

inline void SetX87ControlWord(uint16_t cw) {
#if defined(__i386__) || defined(__x86_64__)
  __asm__ __volatile__("fldcw %0" : : "m"(cw));
#else
  (void)cw;
#endif
}

}  // namespace classlib
