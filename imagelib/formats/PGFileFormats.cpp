#include "imagelib/formats/PGFileFormats.h"

#include <cstring>
#include <mutex>

#include "classlib/files.h"
#include "classlib/finally.h"
#include "classlib/msgbox.h"
#include "classlib/text.h"

namespace imagelib {

TListOf<TFileFormatReader>* FileFormatReaders = nullptr;
TListOf<TFileFormatWriter>* FileFormatWriters = nullptr;

// ---- colour resolutions

std::string ColorResolutionName(TPGColorResolution R) { return PGLangStr(TPGMsg(pgmBlackAndWhite + int(R))); }

TPGColorResolution GetColorResolution(const TPixelGraphic* Graphic) {
  TPaletteIdent ident = Graphic->GetPaletteIdent();
  switch (Graphic->GetBitCount()) {
    case 1: return ident == pBlackWhite ? pgcrBlackWhite : pgcr2Colors;
    case 4: return ident == pGray16 ? pgcr16Gray : ident == pSys16 ? pgcr16SysColors : pgcr16Colors;
    case 8: return ident == pGray256 ? pgcr256Gray : pgcr256Colors;
    default: return pgcrTrueColor;
  }
}

const TPGColorResolution PGColorResolutionFallback[8][8] = {
    {pgcrBlackWhite, pgcr2Colors, pgcr16Gray, pgcr16SysColors, pgcr16Colors, pgcr256Gray, pgcr256Colors, pgcrTrueColor},
    {pgcr2Colors, pgcr16Colors, pgcr256Colors, pgcrTrueColor, pgcr16SysColors, pgcrBlackWhite, pgcr16Gray, pgcr256Gray},
    {pgcr16Gray, pgcr16Colors, pgcr256Gray, pgcr256Colors, pgcrTrueColor, pgcr16SysColors, pgcrBlackWhite, pgcr2Colors},
    {pgcr16SysColors, pgcr16Colors, pgcr256Colors, pgcrTrueColor, pgcr16Gray, pgcr256Gray, pgcrBlackWhite, pgcr2Colors},
    {pgcr16Colors, pgcr256Colors, pgcrTrueColor, pgcr16SysColors, pgcr16Gray, pgcr256Gray, pgcrBlackWhite, pgcr2Colors},
    {pgcr256Gray, pgcr256Colors, pgcrTrueColor, pgcr16Gray, pgcr16Colors, pgcr16SysColors, pgcrBlackWhite, pgcr2Colors},
    {pgcr256Colors, pgcrTrueColor, pgcr16Colors, pgcr16SysColors, pgcr256Gray, pgcr16Gray, pgcrBlackWhite, pgcr2Colors},
    {pgcrTrueColor, pgcr256Colors, pgcr16Colors, pgcr16SysColors, pgcr256Gray, pgcr16Gray, pgcrBlackWhite, pgcr2Colors}};

std::optional<TPGColorResolution> FallbackColorResolution(TPGColorResolution Current, TPGColorResolutions CanWrite) {
  for (TPGColorResolution r : PGColorResolutionFallback[Current])
    if (HasColorResolution(CanWrite, r)) return r;
  return std::nullopt;
}

// ---- base classes: the defaults do nothing

bool TFileFormatReader::CheckSignature(const TFileFormatHeader&) { return false; }
void TFileFormatReader::Read(TStream*, TPixelGraphic*, int) {}

void TFileFormatReader::GetInfo(TStream*, int, std::string& Info1, std::string& Info2, int& Width, int& Height,
                                std::string& Colors, int& BitCount, int& ImageCount) {
  Info1.clear();
  Info2.clear();
  Colors.clear();
  Width = Height = BitCount = 0;
  ImageCount = 1;
}

void TFileFormatWriter::Write(TStream*, TPixelGraphic*) {}
void TFileFormatWriter::BeginWrite(TStream*) {}
void TFileFormatWriter::WriteImage(TStream*, TPixelGraphic*) {}
void TFileFormatWriter::EndWrite(TStream*) {}

// ---- the lists

int CompareFileFormatExt(const TFileFormatReaderWriter* A, const TFileFormatReaderWriter* B) {
  int c = LowerCase(A->GetExtension()).compare(LowerCase(B->GetExtension()));
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

namespace {

// Worker threads find readers too; the one change a list ever sees, its first sort, must not run
// while another thread walks it. Every walk starts with a sort under this lock, and once a list
// is in order the sort only reads it.
std::mutex& SortLock() {
  static auto* lock = new std::mutex;  // outlives late users at shut-down
  return *lock;
}

template <class T>
int CompareItems(void* A, void* B) {
  return CompareFileFormatExt(static_cast<T*>(A), static_cast<T*>(B));
}

template <class T>
void SortList(TListOf<T>* List) {
  std::lock_guard<std::mutex> guard(SortLock());
  if (!List || List->GetCount() < 2) return;
  for (int i = 0; i + 1 < List->GetCount(); ++i)
    if (CompareFileFormatExt(List->GetItem(i), List->GetItem(i + 1)) > 0) {
      List->Sort(CompareItems<T>);
      return;
    }
}

std::string WithoutDot(const std::string& Ext) { return !Ext.empty() && Ext[0] == '.' ? Ext.substr(1) : Ext; }

}  // namespace

void SortFileFormatReaders() { SortList(FileFormatReaders); }
void SortFileFormatWriters() { SortList(FileFormatWriters); }

std::string GetLowerFileExt(const std::string& FileName) {
  return WithoutDot(LowerCase(ExtractFileExt(FileName)));
}

TFileFormatReader* FindFileFormatReader(TStream* Stream, const std::string& Ext) {
  try {
    std::string ext = LowerCase(WithoutDot(Ext));
    TFileFormatHeader header{};  // a short stream leaves zeros, not stale bytes
    int64_t position = Stream->GetPosition();
    Finally([&] { Stream->Read(header.data(), int64_t(header.size())); },
            [&] { Stream->Seek(position, soBeginning); });
    SortFileFormatReaders();
    if (!FileFormatReaders) return nullptr;
    for (int i = 0; i < FileFormatReaders->GetCount(); ++i) {
      TFileFormatReader* reader = FileFormatReaders->GetItem(i);
      if (reader->GetHasSignature() && reader->CheckSignature(header)) return reader;
    }
    if (ext.empty()) return nullptr;
    for (int i = 0; i < FileFormatReaders->GetCount(); ++i) {
      TFileFormatReader* reader = FileFormatReaders->GetItem(i);
      if (!reader->GetHasSignature() && LowerCase(reader->GetExtension()) == ext) return reader;
    }
  } catch (const std::exception&) {
  }
  return nullptr;
}

TFileFormatWriter* FindFileFormatWriter(const std::string& Ext) {
  std::string ext = LowerCase(WithoutDot(Ext));
  SortFileFormatWriters();
  if (!FileFormatWriters || FileFormatWriters->GetCount() == 0)
    throw EPGFileFormatWritersEmpty(PGLangStrS1(pgmIsEmpty, "FileFormatWriters"));
  for (int i = 0; i < FileFormatWriters->GetCount(); ++i) {
    TFileFormatWriter* writer = FileFormatWriters->GetItem(i);
    if (LowerCase(writer->GetExtension()) == ext) return writer;
  }
  throw EPGUnknownExtension(PGLangStrS1(pgmUnknownExtension, ext));
}

// ---- descriptions

bool GetFileFormatInfoFromStream(TStream* Stream, const std::string& Ext, int Index, std::string& Description,
                                 std::string& Info1, std::string& Info2, int& Width, int& Height, std::string& Colors,
                                 int& BitCount, int& ImageCount, std::string* Failure) {
  Description.clear();
  Info1.clear();
  Info2.clear();
  Colors.clear();
  Width = Height = BitCount = ImageCount = 0;
  if (Failure) Failure->clear();
  try {
    TFileFormatReader* reader = FindFileFormatReader(Stream, Ext);
    if (!reader) return false;
    Description = reader->GetDescription();
    int64_t position = Stream->GetPosition();
    Finally([&] { reader->GetInfo(Stream, Index, Info1, Info2, Width, Height, Colors, BitCount, ImageCount); },
            [&] { Stream->Seek(position, soBeginning); });
    return true;
  } catch (const std::exception& Error) {
    if (Failure) *Failure = Error.what();
    return false;
  }
}

bool GetFileFormatInfo(const std::string& FileName, int Index, std::string& Description, std::string& Info1,
                       std::string& Info2, int& Width, int& Height, std::string& Colors, int& BitCount,
                       int& ImageCount, std::string* Failure) {
  if (Failure) Failure->clear();
  try {
    if (ExtractFileName(FileName).empty() || !FileExists(FileName)) return false;
    TFileStream stream(FileName, fmOpenRead | fmShareDenyNone);
    return GetFileFormatInfoFromStream(&stream, GetLowerFileExt(FileName), Index, Description, Info1, Info2, Width,
                                       Height, Colors, BitCount, ImageCount, Failure);
  } catch (const std::exception& Error) {
    if (Failure) *Failure = Error.what();
    return false;
  }
}

// ---- warnings

std::optional<std::string> PGWarningOutcome(TPGWarningAction Action, const std::string& FormatWord,
                                            const std::string& Prefix, const std::string& Text) {
  switch (Action) {
    case pgwaIgnore: return std::nullopt;
    case pgwaOKBox:
      ApplicationMessageBox(Text, FormatWord + " " + PGLangStr(pgmWarning), MB_ICONWARNING | MB_OK);
      return std::nullopt;
    case pgwaOKCancelBox:
      if (ApplicationMessageBox(Text, FormatWord + " " + PGLangStr(pgmWarning), MB_ICONWARNING | MB_OKCANCEL) == IDOK)
        return std::nullopt;
      return Prefix + PGLangStr(pgmAborted);
    default: return Prefix + Text;
  }
}

TPGColorResolution ChooseColorResolution(const TFileFormatWriter* Writer, TPGColorResolution Current) {
  std::optional<TPGColorResolution> target = FallbackColorResolution(Current, Writer->GetCanWriteResolutions());
  if (!target) throw EPGCanWriteResolutionsEmpty(PGLangStrS1(pgmIsEmpty, Writer->ClassName() + ".CanWriteResolutions"));
  return *target;
}

void ConfirmColorResolutionChange(TPGWarningAction Action, const TFileFormatWriter* Writer,
                                  TPGColorResolution Current, TPGColorResolution Target) {
  bool refused;
  switch (Action) {
    case pgwaIgnore: refused = false; break;
    case pgwaOKBox:
    case pgwaOKCancelBox: {
      std::string text;
      GetPGLangStrS3(pgmSaveWithOtherResolution, Writer->GetDescription(), ColorResolutionName(Current),
                     ColorResolutionName(Target), text);
      TMsgDlgButtons buttons = Action == pgwaOKBox ? TMsgDlgButtons(mbOK) : TMsgDlgButtons(mbOK | mbCancel);
      int answer = MessageDlg(text, mtWarning, buttons, 0);
      refused = Action == pgwaOKCancelBox && answer != mrOk;
      break;
    }
    default: refused = true;
  }
  if (refused) {
    std::string text;
    GetPGLangStrS2(pgmCannotSaveResolution, Writer->GetDescription(), ColorResolutionName(Current), text);
    throw EPGCannotWriteColorRes(text);
  }
}

}  // namespace imagelib
