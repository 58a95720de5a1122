// The fixed palettes behind the palette identifiers.
#pragma once

#include <cstdint>

#include "imagelib/PGraphic.h"

namespace imagelib {

struct TFixedPalette {
  const TRGB* Entries;
  int Count;
};

// The entries of pBlackWhite .. pSpecial252; an empty palette for every other identifier.
TFixedPalette FixedPalette(TPaletteIdent Ident);

// The 16 system colours in index order.
extern const TRGB PGSys16Palette[16];

}  // namespace imagelib
