// The portable bitmap family (.pbm, .pgm, .ppm): P1 to P6, in text (ASCII) or binary form. One
// reader reads all six kinds under each of its three extensions; the writer takes the kind from
// its extension and the form from PGPxMBinary.
#pragma once

#include "imagelib/formats/PGFileFormats.h"

namespace imagelib {

class TPxMFileFormatReader : public TFileFormatReader {
  CL_CLASS(TPxMFileFormatReader)
  TPxMFileFormatReader() { HasSignature = true; }
  void Read(TStream* Stream, TPixelGraphic* Graphic, int Index) override;
  void GetInfo(TStream* Stream, int Index, std::string& Info1, std::string& Info2, int& Width, int& Height,
               std::string& Colors, int& BitCount, int& ImageCount) override;
};

class TPBMFileFormatReader : public TPxMFileFormatReader {
  CL_CLASS(TPBMFileFormatReader)
  TPBMFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
};

class TPGMFileFormatReader : public TPxMFileFormatReader {
  CL_CLASS(TPGMFileFormatReader)
  TPGMFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
};

class TPPMFileFormatReader : public TPxMFileFormatReader {
  CL_CLASS(TPPMFileFormatReader)
  TPPMFileFormatReader();
  bool CheckSignature(const TFileFormatHeader& Header) override;
};

class TPXMFileFormatWriter : public TFileFormatWriter {
  CL_CLASS(TPXMFileFormatWriter)
  void Write(TStream* Stream, TPixelGraphic* Graphic) override;
};

class TPBMFileFormatWriter : public TPXMFileFormatWriter {
  CL_CLASS(TPBMFileFormatWriter)
  TPBMFileFormatWriter();
};

class TPGMFileFormatWriter : public TPXMFileFormatWriter {
  CL_CLASS(TPGMFileFormatWriter)
  TPGMFileFormatWriter();
};

class TPPMFileFormatWriter : public TPXMFileFormatWriter {
  CL_CLASS(TPPMFileFormatWriter)
  TPPMFileFormatWriter();
};

}  // namespace imagelib
