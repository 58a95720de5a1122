// Reader and writer lists for one test: fresh lists in place of the library's own, which come
// back when the test ends.
#pragma once

#include <initializer_list>

#include "imagelib/formats/PGBMPFormat.h"
#include "imagelib/formats/PGFileFormats.h"

namespace formattest {

using namespace imagelib;

class ScopedFormatLists {
 public:
  ScopedFormatLists(std::initializer_list<TFileFormatReader*> Readers,
                    std::initializer_list<TFileFormatWriter*> Writers)
      : FOldReaders(FileFormatReaders), FOldWriters(FileFormatWriters) {
    FileFormatReaders = new TListOf<TFileFormatReader>;
    FileFormatWriters = new TListOf<TFileFormatWriter>;
    for (TFileFormatReader* r : Readers) FileFormatReaders->Add(r);
    for (TFileFormatWriter* w : Writers) FileFormatWriters->Add(w);
  }
  // The bitmap classes, in registration order.
  ScopedFormatLists()
      : ScopedFormatLists({New<TBMPFileFormatReader>(), New<TDIBFileFormatReader>(), New<TRLEFileFormatReader>()},
                          {New<TBMPFileFormatWriter>(), New<TDIBFileFormatWriter>()}) {}
  ScopedFormatLists(const ScopedFormatLists&) = delete;
  ScopedFormatLists& operator=(const ScopedFormatLists&) = delete;
  ~ScopedFormatLists() {
    for (int i = 0; i < FileFormatReaders->GetCount(); ++i) Free(FileFormatReaders->GetItem(i));
    for (int i = 0; i < FileFormatWriters->GetCount(); ++i) Free(FileFormatWriters->GetItem(i));
    delete FileFormatReaders;
    delete FileFormatWriters;
    FileFormatReaders = FOldReaders;
    FileFormatWriters = FOldWriters;
  }

 private:
  TListOf<TFileFormatReader>* FOldReaders;
  TListOf<TFileFormatWriter>* FOldWriters;
};

}  // namespace formattest
