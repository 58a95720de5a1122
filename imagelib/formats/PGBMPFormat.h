// Windows and OS/2 bitmap files (.bmp, .dib, .rle): a 14-byte file header in front of a packed
// device-independent bitmap, which the picture itself reads and writes.
#pragma once

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

class TBMPFileFormatReader : public TFileFormatReader {
  CL_CLASS(TBMPFileFormatReader)
  TBMPFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

class TDIBFileFormatReader : public TBMPFileFormatReader {
  CL_CLASS(TDIBFileFormatReader)
  TDIBFileFormatReader() { Extension = "dib"; }
};

// An ordinary bitmap file whose pixel data are usually run-length compressed.
class TRLEFileFormatReader : public TBMPFileFormatReader {
  CL_CLASS(TRLEFileFormatReader)
  TRLEFileFormatReader() { Extension = "rle"; }
};

class TBMPFileFormatWriter : public TFileFormatWriter {
  CL_CLASS(TBMPFileFormatWriter)
  TBMPFileFormatWriter();
  void Write(TStream* Stream, TPixelGraphic* Graphic) override;
};

class TDIBFileFormatWriter : public TBMPFileFormatWriter {
  CL_CLASS(TDIBFileFormatWriter)
  TDIBFileFormatWriter() {
    Extension = "dib";
    Listed = false;
  }
};

// Instances outside the lists, made by the library start-up: the writer stores a picture as a
// bitmap whatever the lists hold.
extern TBMPFileFormatReader* DefaultBMPFileFormatReader;
extern TBMPFileFormatWriter* DefaultBMPFileFormatWriter;

}  // namespace imagelib
