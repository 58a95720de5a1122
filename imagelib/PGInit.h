// Start-up and shut-down of the image library. Programs call them from their program block: the
// start-up before any window exists, the shut-down after the message loop and its threads are gone.
#pragma once

#include "classlib/winapi.h"

namespace classlib {
class TFont;
}

namespace imagelib {

// The filter dialogs' font when set; the start-up leaves it unset.
extern classlib::TFont* PGDialogFont;
// The file dialogs' information panel font: "MS Sans Serif", height 8, weight 400.
extern LOGFONTA PGDialogLogFont;

void InitPGraphicUnit();
void FinalizePGraphicUnit();
bool PGraphicUnitStarted();

}  // namespace imagelib
