// The clamp table of dithering, shared read-only by every thread.
#pragma once

#include <cstdint>

namespace imagelib {

// Indexed -510..510; entry v is v clamped to 0..255. Made by the compiler: it needs no start-up.
extern const int32_t* const PGClampTable;

}  // namespace imagelib
