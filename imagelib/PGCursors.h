// The mouse cursors of the picture view, made at library start-up and destroyed at shut-down.
#pragma once

#include "classlib/winapi.h"

namespace imagelib {

extern HCURSOR PGCursorHandOpen;     // hot spot (16, 12)
extern HCURSOR PGCursorHandClosed;   // hot spot (16, 12)
extern HCURSOR PGCursorCrossDashed;  // hot spot (15, 15)
extern HCURSOR PGCursorMove;         // hot spot (16, 15)

// Creation is not checked: a cursor that cannot be made stays 0.
void CreatePGCursors();
void DestroyPGCursors();

}  // namespace imagelib
