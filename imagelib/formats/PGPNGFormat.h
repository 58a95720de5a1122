// PNG files through libpng: every colour type and bit depth in (as 1-, 4-, 8- or 24-bit pictures,
// transparency composed on a background), every picture out; the library's errors become
// EPGPNGFileFormatReaderWriter and its warnings follow the picture's ReadWarningAction.
#pragma once

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

class TPNGFileFormatReader : public TFileFormatReader {
  CL_CLASS(TPNGFileFormatReader)
  TPNGFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

class TPNGFileFormatWriter : public TFileFormatWriter {
  CL_CLASS(TPNGFileFormatWriter)
  TPNGFileFormatWriter();
  // A non-interlaced file: 8-bit RGB, 8-bit gray for a 256-gray picture, else a palette.
  void Write(TStream* Stream, TPixelGraphic* Graphic) override;
};

}  // namespace imagelib
