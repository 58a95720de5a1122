// The clamp table of dithering, shared read-only by every thread.
#pragma once

#include <cstdint>

namespace imagelib {

// Indexed -510..510; entry v is v clamped to 0..255.
extern int32_t* const PGClampTable;

// Fills the clamp table; it is already filled when the program starts, so this is harmless.
void InitClampTable();

}  // namespace imagelib
