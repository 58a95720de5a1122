// JPEG files (.jpg, .jpeg, .jif) through libjpeg-turbo: 8-bit gray and 24-bit pictures in, the
// same out at the quality of the options; the library's errors become EPGJPGFileFormatReaderWriter
// and its warnings follow the picture's ReadWarningAction.
#pragma once

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

class TJPGFileFormatReader : public TFileFormatReader {
  CL_CLASS(TJPGFileFormatReader)
  TJPGFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

class TJPEGFileFormatReader : public TJPGFileFormatReader {
  CL_CLASS(TJPEGFileFormatReader)
  TJPEGFileFormatReader() { Extension = "jpeg"; }
};

class TJIFFileFormatReader : public TJPGFileFormatReader {
  CL_CLASS(TJIFFileFormatReader)
  TJIFFileFormatReader() { Extension = "jif"; }
};

class TJPGFileFormatWriter : public TFileFormatWriter {
  CL_CLASS(TJPGFileFormatWriter)
  TJPGFileFormatWriter();
  // A 24-bit or 256-gray picture; the save path converts anything else first.
  void Write(TStream* Stream, TPixelGraphic* Graphic) override;
};

class TJPEGFileFormatWriter : public TJPGFileFormatWriter {
  CL_CLASS(TJPEGFileFormatWriter)
  TJPEGFileFormatWriter() {
    Extension = "jpeg";
    Listed = false;
  }
};

class TJIFFileFormatWriter : public TJPGFileFormatWriter {
  CL_CLASS(TJIFFileFormatWriter)
  TJIFFileFormatWriter() {
    Extension = "jif";
    Listed = false;
  }
};

}  // namespace imagelib
