// TPGOpenDialog and TPGSaveDialog: the file dialogs for pictures. Each Execute shows the system's
// Explorer-style open or save dialog with two panels right of its standard controls, added by a
// hook: a preview of the selected file, made on a preview thread 150 ms after the selection last
// changed (with a progress clock meanwhile), and up to five lines about the file from its reader
// (or why it cannot be shown). The filter lists the registered readers or writers; the save
// dialog keeps the name's extension in step with the chosen type.
//
// Ownership: the dialog owns its timer, its preview thread and the preview picture. A preview
// that arrives at the hook window belongs to the dialog from then on. Between two Execute calls
// the dialog holds no windows and no preview; its last thread is finished or cancelled.
#pragma once

#include <string>
#include <vector>

#include "classlib/dialogs.h"
#include "classlib/timer.h"
#include "imagelib/PGraphic.h"
#include "imagelib/formats/PGFileFormats.h"
#include "imagelib/view/PGDisplayCopy.h"
#include "imagelib/view/PGPreviewThread.h"
#include "imagelib/view/PGViewMessages.h"

namespace imagelib {

UINT_PTR CALLBACK PGOpenDialogHookProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);

class TPGOpenDialog : public TOpenDialog {
  CL_CLASS(TPGOpenDialog)
  explicit TPGOpenDialog(TComponent* AOwner);
  ~TPGOpenDialog() override;
  // Filter := DefaultFilter, once the object is whole (so a save dialog lists its writers).
  void AfterConstruction() override;
  // Frees the timer and the preview, and stops the preview thread.
  void BeforeDestruction() override;

  bool Execute() override;
  // Without ofShareAware the user is told that it is needed, and it is added.
  void SetOptions(TOpenOptions Value) override;

  // The lower-case extension (no dot) of filter entry Index (from 1, as FilterIndex), or empty.
  virtual std::string FilterExtension(int Index);
  // The number of format entries in the default filter.
  virtual int FilterCount();
  // "Image files|*.bmp; *.dib; ...|BMP - Bitmap|*.bmp|...|All files|*.*" from the listed readers.
  virtual std::string DefaultFilter();
  // The readers (FileFormatReaders), in the list's order.
  virtual std::vector<TFileFormatReaderWriter*> FileFormatList();

  TStretchMode GetStretchMode() const { return FStretchMode; }
  void SetStretchMode(TStretchMode Value) { FStretchMode = Value; }
  bool GetUseDefaultFilter() const { return FUseDefaultFilter; }
  void SetUseDefaultFilter(bool Value) { FUseDefaultFilter = Value; }
  TColor GetProgressClockBkColor() const { return FProgressClockBkColor; }
  void SetProgressClockBkColor(TColor Value) { FProgressClockBkColor = Value; }
  TColor GetProgressClockLineColor() const { return FProgressClockLineColor; }
  void SetProgressClockLineColor(TColor Value) { FProgressClockLineColor = Value; }
  bool GetProgressClockVisible() const { return FProgressClockVisible; }
  void SetProgressClockVisible(bool Value) { FProgressClockVisible = Value; }
  TPalette8BitSys24BitGraphic GetPalette8BitSys24BitGraphic() const { return FPalette8BitSys24BitGraphic; }
  void SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value) { FPalette8BitSys24BitGraphic = Value; }
  TPalette8BitSys8BitGraphic GetPalette8BitSys8BitGraphic() const { return FPalette8BitSys8BitGraphic; }
  void SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value) { FPalette8BitSys8BitGraphic = Value; }
  bool GetShowInfo() const { return FShowInfo; }
  void SetShowInfo(bool Value) { FShowInfo = Value; }

 protected:
  // Puts the dialog's hook and the dialog object into the record and runs the dialog.
  bool TaskModalDialog(BOOL(WINAPI* Function)(OPENFILENAMEA*), OPENFILENAMEA& Record) override;
  // The formats of FileFormatList that are listed.
  std::vector<TFileFormatReaderWriter*> ListedFormats();
  // Their filter entries ("BMP - Bitmap|*.bmp|..."), with the "Image files" entry of them all
  // first when WithImageFiles.
  std::string FormatEntries(bool WithImageFiles);
  // The extension of the listed format with number Index when the first is numbered First.
  std::string ListedExtension(int Index, int First);

  // What the hook and its panels work with; tests read them.
  HWND GetPreviewWindow() const { return FPreviewWindow; }
  HWND GetInfoWindow() const { return FInfoWindow; }
  HWND GetDialogWindow() const { return FDialogWindow; }
  HWND GetHookWindow() const { return FHookWindow; }
  TPixelGraphic* GetPreviewGraphic() const { return FPreviewGraphic; }
  TCreateOpenSaveDialogPaintPGThread* GetPreviewThread() const { return FPreviewThread; }
  TTimer* GetTimer() const { return FTimer; }
  bool GetInfoValid() const { return FInfoValid; }
  // The info panel's lines, as drawn.
  std::vector<std::string> InfoLines() const;

  bool IsSaveDialog = false;

 private:
  friend UINT_PTR CALLBACK PGOpenDialogHookProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam);

  void InitDialog(HWND Hook);
  // Makes the hook window large enough for the panels where the dialog has put them.
  void FitHookWindow();
  void NcDestroy();
  void PreviewTimer(TObject* Sender);
  void ClearPreview();
  void StartPreview();
  void StartPreviewThread();
  void PreviewArrived(TPixelGraphic* Graphic);
  void PreviewFailed();
  // Cancels the preview thread and frees what it had posted and the preview shown.
  void StopPreview();
  void DrawPreviewPanel(const DRAWITEMSTRUCT& Item);
  void DrawInfoPanel(const DRAWITEMSTRUCT& Item);
  void DrawPreviewProgressClock(int Stage, int Percent);
  void InvalidatePreviewPanel();
  void InvalidateInfoPanel();
  void ChangeFileNameExtension();

  HWND FPreviewWindow = nullptr;
  HWND FInfoWindow = nullptr;
  HWND FDialogWindow = nullptr;
  HWND FHookWindow = nullptr;
  TPixelGraphic* FPreviewGraphic = nullptr;
  TCreateOpenSaveDialogPaintPGThread* FPreviewThread = nullptr;
  TStretchMode FStretchMode = smPrecise;
  OPENFILENAMEA* FOpenFileNameRecord = nullptr;
  bool FUseDefaultFilter = true;
  TColor FProgressClockBkColor = clBtnFace;
  TColor FProgressClockLineColor = clBtnShadow;
  bool FProgressClockVisible = true;
  TPalette8BitSys24BitGraphic FPalette8BitSys24BitGraphic = pOptimized252Sys16;
  TPalette8BitSys8BitGraphic FPalette8BitSys8BitGraphic = pOptimized252Sys16;
  TTimer* FTimer = nullptr;
  bool FInfoValid = false;
  std::string FInfoDescription;
  std::string FInfoSubFormat;
  std::string FInfoExtra;
  int FInfoWidth = 0;
  int FInfoHeight = 0;
  std::string FInfoColors;
  int FInfoBitCount = 0;
  int FInfoImageCount = 0;
  // Why the selected file shows no preview: what its reader refused, in the header or later.
  std::string FInfoFailure;
  bool FShowInfo = true;
  // The file whose preview waits for the previous thread to end.
  std::string FPendingPath;
};

// The open dialog's twin for saving: GetSaveFileNameA, the listed writers, and the extension of
// the name following the chosen type.
class TPGSaveDialog : public TPGOpenDialog {
  CL_CLASS(TPGSaveDialog)
  explicit TPGSaveDialog(TComponent* AOwner);
  // Picks the filter entry of FileName's extension first; a name without extension gets the
  // chosen entry's afterwards, also after Cancel.
  bool Execute() override;
  std::string FilterExtension(int Index) override;
  // "BMP - Bitmap|*.bmp|JPG - ...|" from the listed writers.
  std::string DefaultFilter() override;
  // The writers (FileFormatWriters), in the list's order.
  std::vector<TFileFormatReaderWriter*> FileFormatList() override;

 protected:
  bool TaskModalDialog(BOOL(WINAPI* Function)(OPENFILENAMEA*), OPENFILENAMEA& Record) override;
};

// The path of the first file of a selection of several ("C:\dir\"a.bmp" "b.bmp"" gives
// "C:\dir\a.bmp"); any other path as it is.
std::string FirstSelectedPath(const std::string& Path);
// The fourth info line: "640x480x256 8 bit", with ", <count>" for more than one image.
std::string PreviewInfoSizeLine(int Width, int Height, const std::string& Colors, int BitCount, int ImageCount);

}  // namespace imagelib
