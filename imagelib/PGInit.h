// Start-up and shut-down of the image library. Programs call them from their program block: the
// start-up before any window exists, the shut-down after the message loop and its threads are gone.
#pragma once

#include "classlib/winapi.h"

namespace classlib {
class TFont;
}

namespace imagelib {

struct TPGLangStrEntry;
struct TPGRecordSize;

// The filter dialogs' font when set; the start-up leaves it unset.
extern classlib::TFont* PGDialogFont;
// The file dialogs' information panel font: "MS Sans Serif", height 8, weight 400.
extern LOGFONTA PGDialogLogFont;

// The start-up, in its order: the message table's order, the language and the dialog fonts, the
// cursors, the clamp table, the options, the canvas list and the default bitmap reader and writer,
// the reader and writer lists, the record sizes of the JPEG and PNG libraries. A failed step raises
// and leaves nothing made; a second call while started does nothing.
void InitPGraphicUnit();
// The shut-down: cursors, canvas contexts and list, default bitmap objects, readers, writers.
void FinalizePGraphicUnit();
bool PGraphicUnitStarted();

// What the start-up checks instead of the real tables (test seams; null means the real one).
struct TPGStartupChecks {
  const TPGLangStrEntry* LangStrEntries = nullptr;
  int LangStrCount = 0;
  const TPGRecordSize* RecordSizes = nullptr;
  int RecordSizeCount = 0;
};
namespace testing {
void SetPGStartupChecks(const TPGStartupChecks& Checks);
}

}  // namespace imagelib
