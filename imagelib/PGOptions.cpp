#include "imagelib/PGOptions.h"

namespace imagelib {

// The start-up values, also before start-up so that a picture made early is still sane.
bool PGDIB16BitScaling = true;
uint8_t PGJPGReadDCTMethod = 0;
uint8_t PGJPGWriteDCTMethod = 2;
uint8_t PGJPGQuality = 80;
bool PGJPGProgressive = false;
long double PGDisplayGamma = 1.8L;
bool PGGammaCorrection = true;
bool PGPNGUseFileBackground = true;
bool PGPNGWriteGamma = true;
bool PGPxMBinary = false;
int32_t PGTIFFMaxImages = 1000;
bool PGTIFFCountImages = false;
int32_t PGTIFFCompression = 1;
bool PGTIFFCMYK = false;
bool PGTIFFWhiteIsZero = false;
bool PGTIFFMotorola = false;
uint8_t PGTIFFResolutionUnit = 1;
TPGRational PGTIFFXResolution = {300, 1};
TPGRational PGTIFFYResolution = {300, 1};

void SetDefaultPGOptions() {
  PGDIB16BitScaling = true;
  PGJPGReadDCTMethod = 0;
  PGJPGWriteDCTMethod = 2;
  PGJPGQuality = 80;
  PGJPGProgressive = false;
  PGDisplayGamma = 1.8L;
  PGGammaCorrection = true;
  PGPNGUseFileBackground = true;
  PGPNGWriteGamma = true;
  PGPxMBinary = false;
  PGTIFFMaxImages = 1000;
  PGTIFFCountImages = false;
  PGTIFFCompression = 1;
  PGTIFFCMYK = false;
  PGTIFFWhiteIsZero = false;
  PGTIFFMotorola = false;
  PGTIFFResolutionUnit = 1;
  PGTIFFXResolution = {300, 1};
  PGTIFFYResolution = {300, 1};
}

}  // namespace imagelib
