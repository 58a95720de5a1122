// The list of every picture canvas that holds a device context. A bitmap section can be selected
// into one device context at a time, so a canvas releases any other context of its section first,
// and library shut-down releases whatever is still open.
#pragma once

#include "classlib/lists.h"
#include "classlib/winapi.h"

namespace imagelib {

// Made at library start-up and freed at shut-down; main thread only. A canvas is in the list
// exactly while it holds a device context.
extern classlib::TList* PGCanvasList;

// Every listed canvas, last to first, whose picture's section is Bitmap releases its context.
void FreePGCanvasHandlesOfDIB(HBITMAP Bitmap);
// Releases the context of every listed canvas; the canvases stay alive.
void FreeAllPGCanvasHandles();

}  // namespace imagelib
