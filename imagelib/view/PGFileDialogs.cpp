// The two file dialogs as components: defaults, the filter strings from the registered formats,
// and what Execute does around the system's dialog. The hook and its panels are in
// PGFileDialogHook.cpp.
#include "imagelib/view/PGFileDialogs.h"

#include "classlib/finally.h"
#include "classlib/msgbox.h"
#include "classlib/text.h"
#include "imagelib/PGMessages.h"

namespace imagelib {

// ---- TPGOpenDialog

TPGOpenDialog::TPGOpenDialog(TComponent* AOwner) : TOpenDialog(AOwner) {
  TOpenDialog::SetOptions(ofHideReadOnly | ofShareAware);
  FTimer = New<TTimer>(this);  // owned: freed with the dialog also should the thread below fail
  FTimer->SetEnabled(false);
  FTimer->SetInterval(150);
  FTimer->OnTimer = [this](TObject* Sender) { PreviewTimer(Sender); };
  // There is always a thread to stop.
  FPreviewThread = New<TCreateOpenSaveDialogPaintPGThread>(false, true);
}

TPGOpenDialog::~TPGOpenDialog() = default;

void TPGOpenDialog::AfterConstruction() {
  TOpenDialog::AfterConstruction();
  SetFilter(DefaultFilter());
}

void TPGOpenDialog::BeforeDestruction() {
  FreeAndNil(FTimer);
  FreeAndNil(FPreviewGraphic);
  if (FPreviewThread) {
    FPreviewThread->Cancel();
    FPreviewThread->WaitFor();
    FreeAndNil(FPreviewThread);
  }
  TOpenDialog::BeforeDestruction();
}

bool TPGOpenDialog::Execute() {
  FInfoValid = false;
  if (FUseDefaultFilter) SetFilter(DefaultFilter());
  return TOpenDialog::Execute();
}

void TPGOpenDialog::SetOptions(TOpenOptions Value) {
  if (!(Value & ofShareAware)) {
    ShowMessage("TPGOpenDialog.Options and TPGSaveDialog.Options must include ofShareAware!");
    Value |= ofShareAware;
  }
  TOpenDialog::SetOptions(Value);
}

bool TPGOpenDialog::TaskModalDialog(BOOL(WINAPI* Function)(OPENFILENAMEA*), OPENFILENAMEA& Record) {
  FOpenFileNameRecord = &Record;
  Record.lpfnHook = PGOpenDialogHookProc;
  Record.Flags |= OFN_EXPLORER | OFN_ENABLEHOOK;
  Record.lCustData = reinterpret_cast<LPARAM>(this);
  FPreviewWindow = FInfoWindow = FDialogWindow = FHookWindow = nullptr;
  FInfoFailure.clear();
  FPendingPath.clear();
  bool result = false;
  // The record lives only as long as this call.
  Finally([&] { result = TOpenDialog::TaskModalDialog(Function, Record); }, [&] { FOpenFileNameRecord = nullptr; });
  return result;
}

std::vector<TFileFormatReaderWriter*> TPGOpenDialog::FileFormatList() {
  std::vector<TFileFormatReaderWriter*> formats;
  if (FileFormatReaders)
    for (int i = 0; i < FileFormatReaders->GetCount(); ++i) formats.push_back(FileFormatReaders->GetItem(i));
  return formats;
}

std::vector<TFileFormatReaderWriter*> TPGOpenDialog::ListedFormats() {
  std::vector<TFileFormatReaderWriter*> listed;
  for (TFileFormatReaderWriter* format : FileFormatList())
    if (format->GetListed()) listed.push_back(format);
  return listed;
}

std::string TPGOpenDialog::FormatEntries(bool WithImageFiles) {
  std::vector<TFileFormatReaderWriter*> formats = ListedFormats();
  std::string filter;
  if (formats.empty()) return filter;
  if (WithImageFiles) {
    filter = PGLangStr(pgmImageFiles) + "|";
    for (size_t i = 0; i < formats.size(); ++i)
      filter += (i ? "; *." : "*.") + LowerCase(formats[i]->GetExtension());
    filter += "|";
  }
  for (TFileFormatReaderWriter* format : formats)
    filter += UpperCase(format->GetExtension()) + " - " + format->GetDescription() + "|*." +
              LowerCase(format->GetExtension()) + "|";
  return filter;
}

std::string TPGOpenDialog::ListedExtension(int Index, int First) {
  if (!FUseDefaultFilter) return std::string();
  std::vector<TFileFormatReaderWriter*> formats = ListedFormats();
  const int k = Index - First;
  if (k < 0 || k >= int(formats.size())) return std::string();
  return LowerCase(formats[size_t(k)]->GetExtension());
}

std::string TPGOpenDialog::DefaultFilter() {
  SortFileFormatReaders();
  return FormatEntries(true) + PGLangStr(pgmAllFiles) + "|*.*";
}

std::string TPGOpenDialog::FilterExtension(int Index) { return ListedExtension(Index, 2); }

int TPGOpenDialog::FilterCount() { return FUseDefaultFilter ? int(ListedFormats().size()) : 0; }

// ---- TPGSaveDialog

TPGSaveDialog::TPGSaveDialog(TComponent* AOwner) : TPGOpenDialog(AOwner) { IsSaveDialog = true; }

bool TPGSaveDialog::Execute() {
  if (GetUseDefaultFilter()) {
    SetFilter(DefaultFilter());
    const std::string ext = GetLowerFileExt(GetFileName());
    if (!ext.empty())
      for (int k = 1; k <= FilterCount(); ++k)
        if (FilterExtension(k) == ext) {
          SetFilterIndex(k);
          break;
        }
  }
  const bool result = TPGOpenDialog::Execute();
  // After Cancel the index is still the one chosen before (only OK takes the dialog's back).
  if (GetUseDefaultFilter() && ExtractFileExt(GetFileName()).empty())
    SetFileName(GetFileName() + "." + FilterExtension(GetFilterIndex()));
  return result;
}

bool TPGSaveDialog::TaskModalDialog(BOOL(WINAPI*)(OPENFILENAMEA*), OPENFILENAMEA& Record) {
  return TPGOpenDialog::TaskModalDialog(GetSaveFileNameA, Record);
}

std::vector<TFileFormatReaderWriter*> TPGSaveDialog::FileFormatList() {
  std::vector<TFileFormatReaderWriter*> formats;
  if (FileFormatWriters)
    for (int i = 0; i < FileFormatWriters->GetCount(); ++i) formats.push_back(FileFormatWriters->GetItem(i));
  return formats;
}

std::string TPGSaveDialog::DefaultFilter() {
  SortFileFormatWriters();
  return FormatEntries(false);
}

std::string TPGSaveDialog::FilterExtension(int Index) { return ListedExtension(Index, 1); }

// ---- helpers

std::string FirstSelectedPath(const std::string& Path) {
  const size_t at = Path.find("\" \"");
  if (at == std::string::npos) return Path;
  std::string first = Path.substr(0, at);
  const size_t quote = first.find('"');
  if (quote != std::string::npos) first.erase(quote, 1);
  return first;
}

std::string PreviewInfoSizeLine(int Width, int Height, const std::string& Colors, int BitCount, int ImageCount) {
  std::string line = IntToStr(Width) + "x" + IntToStr(Height) + "x" + Colors + " " + IntToStr(BitCount) + " " +
                     PGLangStr(pgmBit);
  if (ImageCount > 1) line += ", " + IntToStr(ImageCount);
  return line;
}

}  // namespace imagelib
