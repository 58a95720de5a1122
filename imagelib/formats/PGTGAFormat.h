// Truevision Targa files (.tga): read at 8, 16, 24 and 32 bits, uncompressed or run-length
// coded, in any of the four pixel orders; written uncompressed at 8 bits with a colour map or at
// 24 bits. The format has no signature: the reader is chosen by the extension alone.
#pragma once

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

class TTGAFileFormatReader : public TFileFormatReader {
  CL_CLASS(TTGAFileFormatReader)
  TTGAFileFormatReader();
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

class TTGAFileFormatWriter : public TFileFormatWriter {
  CL_CLASS(TTGAFileFormatWriter)
  TTGAFileFormatWriter();
  // Pictures of 8 or 24 bits (what the save path brings them to); others are refused.
  void Write(TStream* Stream, TPixelGraphic* Graphic) override;
};

}  // namespace imagelib
