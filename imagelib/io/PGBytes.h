// Integers in byte buffers, in both byte orders: Intel (little-endian, LE) as BMP, PCX and Targa
// store them, Motorola (big-endian, BE) as PNG and half of the TIFF files do.
#pragma once

#include <cstdint>

namespace imagelib {

inline uint16_t GetLE16(const uint8_t* P) { return uint16_t(P[0] | (P[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* P) {
  return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
}
inline uint16_t GetBE16(const uint8_t* P) { return uint16_t((P[0] << 8) | P[1]); }
inline uint32_t GetBE32(const uint8_t* P) {
  return (uint32_t(P[0]) << 24) | (uint32_t(P[1]) << 16) | (uint32_t(P[2]) << 8) | uint32_t(P[3]);
}

inline void PutLE16(uint8_t* P, uint32_t V) {
  P[0] = uint8_t(V);
  P[1] = uint8_t(V >> 8);
}
inline void PutLE32(uint8_t* P, uint32_t V) {
  PutLE16(P, V);
  PutLE16(P + 2, V >> 16);
}
inline void PutBE16(uint8_t* P, uint32_t V) {
  P[0] = uint8_t(V >> 8);
  P[1] = uint8_t(V);
}
inline void PutBE32(uint8_t* P, uint32_t V) {
  PutBE16(P, V >> 16);
  PutBE16(P + 2, V);
}

}  // namespace imagelib
