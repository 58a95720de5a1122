// The exception family of the image library. Every failure of the library raises one of these;
// none adds fields, the classes only tell one kind of failure from another.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/exceptions.h"

namespace imagelib {

class EPixelGraphic : public classlib::Exception {
  CL_CLASS(EPixelGraphic)
  using classlib::Exception::Exception;
};

#define PG_EXCEPTION(Name)              \
  class Name : public EPixelGraphic {   \
    CL_CLASS(Name)                      \
    using EPixelGraphic::EPixelGraphic; \
  };

PG_EXCEPTION(EPGXYIndexOutOfRange)
PG_EXCEPTION(EPGNoPalette)
PG_EXCEPTION(EPGInvalidPaletteIndex)
PG_EXCEPTION(EPGEmpty)
PG_EXCEPTION(EPGCanWriteResolutionsEmpty)
PG_EXCEPTION(EPGCannotWriteColorRes)
PG_EXCEPTION(EPGFileFormatWritersEmpty)
PG_EXCEPTION(EPGUnknownExtension)
PG_EXCEPTION(EPGUnknownFileFormat)
PG_EXCEPTION(EPGUnknownClipboardFormat)
PG_EXCEPTION(EPGBMPFileFormatReader)
PG_EXCEPTION(EPGJPGFileFormatReaderWriter)
PG_EXCEPTION(EPGPNGFileFormatReaderWriter)
PG_EXCEPTION(EPGPCXFileFormatReader)
PG_EXCEPTION(EPGPxMFileFormatReader)
PG_EXCEPTION(EPGPxMFileFormatWriter)
PG_EXCEPTION(EPGTGAFileFormatReader)
PG_EXCEPTION(EPGTIFFileFormatReader)
PG_EXCEPTION(EPGTIFFileFormatWriter)
PG_EXCEPTION(EPGInvalidBitCountNum)
PG_EXCEPTION(EPGInvalidSize)
PG_EXCEPTION(EPGFilter)
PG_EXCEPTION(EPGConvFilter)

#undef PG_EXCEPTION

}  // namespace imagelib
