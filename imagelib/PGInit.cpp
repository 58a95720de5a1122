// The library's start-up and shut-down: the process-wide state made once before the first window
// and freed once after the last.
#include "imagelib/PGInit.h"

#include <cstring>

#include "imagelib/PGCanvasList.h"
#include "imagelib/PGCursors.h"
#include "imagelib/PGMessages.h"
#include "imagelib/PGOptions.h"
#include "imagelib/formats/PGBMPFormat.h"
#include "imagelib/formats/PGFileFormats.h"
#include "imagelib/formats/PGJPGFormat.h"
#include "imagelib/formats/PGPCXFormat.h"
#include "imagelib/formats/PGPNGFormat.h"
#include "imagelib/formats/PGPxMFormat.h"
#include "imagelib/formats/PGRecordSizes.h"
#include "imagelib/formats/PGTGAFormat.h"
#include "imagelib/formats/PGTIFFormat.h"

namespace imagelib {

classlib::TFont* PGDialogFont = nullptr;
LOGFONTA PGDialogLogFont{};

namespace {
bool gStarted = false;
TPGStartupChecks gChecks;

void FillDialogLogFont() {
  std::memset(&PGDialogLogFont, 0, sizeof PGDialogLogFont);
  PGDialogLogFont.lfHeight = 8;
  PGDialogLogFont.lfWeight = 400;
  PGDialogLogFont.lfCharSet = DEFAULT_CHARSET;
  std::strncpy(PGDialogLogFont.lfFaceName, "MS Sans Serif", LF_FACESIZE - 1);
}

// One instance of each format class, in the fixed order of the lists. The formats that exist so
// far hold their places; the others join in theirs (readers: BMP, DIB, RLE, JPG, JPEG, JIF, PNG,
// PCX, PBM, PGM, PPM, TGA, TIF, TIFF; writers: BMP, DIB, JPG, JPEG, JIF, PNG, PBM, PGM, PPM, TGA,
// TIF, TIFF).
void FillFormatLists() {
  FileFormatReaders = new TListOf<TFileFormatReader>;
  FileFormatReaders->Add(New<TBMPFileFormatReader>());
  FileFormatReaders->Add(New<TDIBFileFormatReader>());
  FileFormatReaders->Add(New<TRLEFileFormatReader>());
  FileFormatReaders->Add(New<TJPGFileFormatReader>());
  FileFormatReaders->Add(New<TJPEGFileFormatReader>());
  FileFormatReaders->Add(New<TJIFFileFormatReader>());
  FileFormatReaders->Add(New<TPNGFileFormatReader>());
  FileFormatReaders->Add(New<TPCXFileFormatReader>());
  FileFormatReaders->Add(New<TPBMFileFormatReader>());
  FileFormatReaders->Add(New<TPGMFileFormatReader>());
  FileFormatReaders->Add(New<TPPMFileFormatReader>());
  FileFormatReaders->Add(New<TTGAFileFormatReader>());
  FileFormatReaders->Add(New<TTIFFileFormatReader>());
  FileFormatReaders->Add(New<TTIFFFileFormatReader>());
  FileFormatWriters = new TListOf<TFileFormatWriter>;
  FileFormatWriters->Add(New<TBMPFileFormatWriter>());
  FileFormatWriters->Add(New<TDIBFileFormatWriter>());
  FileFormatWriters->Add(New<TJPGFileFormatWriter>());
  FileFormatWriters->Add(New<TJPEGFileFormatWriter>());
  FileFormatWriters->Add(New<TJIFFileFormatWriter>());
  FileFormatWriters->Add(New<TPNGFileFormatWriter>());
  FileFormatWriters->Add(New<TPBMFileFormatWriter>());
  FileFormatWriters->Add(New<TPGMFileFormatWriter>());
  FileFormatWriters->Add(New<TPPMFileFormatWriter>());
  FileFormatWriters->Add(New<TTGAFileFormatWriter>());
  FileFormatWriters->Add(New<TTIFFileFormatWriter>());
  FileFormatWriters->Add(New<TTIFFFileFormatWriter>());
}

template <class T>
void FreeList(TListOf<T>*& List) {
  if (!List) return;
  for (int i = 0; i < List->GetCount(); ++i) Free(List->GetItem(i));
  delete List;
  List = nullptr;
}

// The shut-down steps, each safe for what was never made (a start-up that failed halfway).
void Finalize() {
  DestroyPGCursors();
  FreeAllPGCanvasHandles();
  delete PGCanvasList;
  PGCanvasList = nullptr;
  FreeAndNil(DefaultBMPFileFormatReader);
  FreeAndNil(DefaultBMPFileFormatWriter);
  FreeList(FileFormatReaders);
  FreeList(FileFormatWriters);
}
}  // namespace

void testing::SetPGStartupChecks(const TPGStartupChecks& Checks) { gChecks = Checks; }

void InitPGraphicUnit() {
  if (gStarted) return;  // once per run: a second start would make everything twice
  try {
    if (gChecks.LangStrEntries)
      CheckLangStrEntries(gChecks.LangStrEntries, gChecks.LangStrCount);
    else
      CheckLangStrEntries();
    PGLanguage = 0;
    PGDialogFont = nullptr;
    FillDialogLogFont();
    CreatePGCursors();
    SetDefaultPGOptions();
    PGCanvasList = new classlib::TList;
    DefaultBMPFileFormatReader = New<TBMPFileFormatReader>();
    DefaultBMPFileFormatWriter = New<TBMPFileFormatWriter>();
    FillFormatLists();
    if (gChecks.RecordSizes)
      CheckRecordSizes(gChecks.RecordSizes, gChecks.RecordSizeCount);
    else
      CheckRecordSizes();
  } catch (...) {
    Finalize();  // the program does not start; it keeps nothing of the attempt
    throw;
  }
  gStarted = true;
}

void FinalizePGraphicUnit() {
  if (!gStarted) return;
  Finalize();
  gStarted = false;
}

bool PGraphicUnitStarted() { return gStarted; }

}  // namespace imagelib
