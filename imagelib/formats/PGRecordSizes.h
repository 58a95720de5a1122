// The start-up check that the JPEG and PNG libraries linked into the program lay out the records
// the image library shares with them as the image library declares them.
#pragma once

#include <cstddef>
#include <string>

namespace imagelib {

struct TPGRecordSize {
  const char* Name;
  size_t Declared;          // as the image library's own code declares the record
  size_t (*Compiled)(void);  // as the code compiled with the library reports it
};

// Compares each record in order; at the first difference raises EPixelGraphic naming the record.
// Then lets the JPEG library check its own version and record sizes, and the PNG library its
// version, raising EPixelGraphic on a refusal.
void CheckRecordSizes();
// The comparison on a table of one's own (a test seam).
void CheckRecordSizes(const TPGRecordSize* Table, int Count);

}  // namespace imagelib
