// Paintbrush files (.pcx), read only: run-length coded lines of 1 bit (one or four planes), 8 bits
// with a palette at the end of the file, or 24 bits in three planes.
#pragma once

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

class TPCXFileFormatReader : public TFileFormatReader {
  CL_CLASS(TPCXFileFormatReader)
  TPCXFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

}  // namespace imagelib
