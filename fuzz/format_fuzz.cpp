// Loads data through the readers of one format (FUZZ_READERS, their extensions), as a viewer loads a
// file of that extension; inputs that another reader's signature claims are left to its own target.
// Failing with the library's own exception is fine; anything else is a finding: a sanitizer report,
// another exception, a hang, a stream without a size that gives another outcome, GetInfo accepting
// a header that loading refuses, or a loaded picture that the writers for its bit count do not
// write and read back with the same pixels.
#include <string>

#include "fuzz/fuzz_support.h"
#include "tests/imagelib/formats/load_check.h"
#include "tests/imagelib/formats/write_check.h"

#ifndef FUZZ_READERS
#error "FUZZ_READERS names the extensions of the readers under test, as \"pbm pgm ppm\""
#endif

using namespace imagelib;

namespace {

const std::string kReaders = " " FUZZ_READERS " ";
const std::string kExt = kReaders.substr(1, kReaders.find(' ', 1) - 1);  // the first: for a reader without signature

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
  fuzzsupport::Start();
  streamtest::BorrowedStream peek(Data, Size);
  TFileFormatReader* reader = FindFileFormatReader(&peek, kExt);
  if (!reader || kReaders.find(" " + reader->GetExtension() + " ") == std::string::npos) return -1;  // not ours
  loadcheck::Outcome loaded;
  std::string finding = loadcheck::Check(Data, Size, kExt, &loaded);
  if (!finding.empty()) fuzzsupport::Finding(finding.c_str());
  if (loaded.Picture) {
    try {
      finding = writecheck::RoundTrip(loaded.Picture.get());
    } catch (const EPixelGraphic& e) {
      finding = "written and read back: " + loadcheck::Describe(e);
    }
    if (!finding.empty()) fuzzsupport::Finding(finding.c_str());
  }
  return 0;
}
