// The library's process-wide options. Library start-up sets them; nothing changes them afterwards,
// so worker threads read them freely.
#pragma once

#include <cstdint>

namespace imagelib {

extern bool PGDIB16BitScaling;
extern uint8_t PGJPGReadDCTMethod;
extern uint8_t PGJPGWriteDCTMethod;
extern uint8_t PGJPGQuality;
extern bool PGJPGProgressive;
extern long double PGDisplayGamma;
extern bool PGGammaCorrection;
extern bool PGPNGUseFileBackground;
extern bool PGPNGWriteGamma;
extern bool PGPxMBinary;
extern int32_t PGTIFFMaxImages;
extern bool PGTIFFCountImages;
extern int32_t PGTIFFCompression;
extern bool PGTIFFCMYK;
extern bool PGTIFFWhiteIsZero;
extern bool PGTIFFMotorola;
extern uint8_t PGTIFFResolutionUnit;
struct TPGRational {
  int32_t Numerator, Denominator;
};
extern TPGRational PGTIFFXResolution;
extern TPGRational PGTIFFYResolution;

// Puts every option to its start-up value.
void SetDefaultPGOptions();

}  // namespace imagelib
