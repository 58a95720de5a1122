#include "imagelib/PGInit.h"

#include <cstring>

#include "imagelib/PGCanvasList.h"
#include "imagelib/PGCursors.h"
#include "imagelib/PGDither.h"
#include "imagelib/PGMessages.h"
#include "imagelib/PGOptions.h"
#include "imagelib/PGRecordSizes.h"

namespace imagelib {

classlib::TFont* PGDialogFont = nullptr;
LOGFONTA PGDialogLogFont{};

namespace {
bool gStarted = false;

void FillDialogLogFont() {
  std::memset(&PGDialogLogFont, 0, sizeof PGDialogLogFont);
  PGDialogLogFont.lfHeight = 8;
  PGDialogLogFont.lfWeight = 400;
  PGDialogLogFont.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(PGDialogLogFont.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
}
}  // namespace

void InitPGraphicUnit() {
  CheckLangStrEntries();
  PGLanguage = 0;
  PGDialogFont = nullptr;
  FillDialogLogFont();
  CreatePGCursors();
  InitClampTable();
  SetDefaultPGOptions();
  if (!PGCanvasList) PGCanvasList = new classlib::TList;
  CheckRecordSizes();
  gStarted = true;
}

void FinalizePGraphicUnit() {
  DestroyPGCursors();
  FreeAllPGCanvasHandles();
  delete PGCanvasList;
  PGCanvasList = nullptr;
  gStarted = false;
}

bool PGraphicUnitStarted() { return gStarted; }

}  // namespace imagelib
