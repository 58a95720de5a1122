// Common dialogs: TCommonDialog runs a dialog function modally for its owner window (through
// the test hook when one is set); TColorDialog chooses a colour; TOpenDialog and TSaveDialog
// choose a file.
#pragma once

#include <functional>
#include <string>

#include "classlib/component.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TCommonDialog : public TComponent {
  CL_CLASS(TCommonDialog)
  explicit TCommonDialog(TComponent* AOwner) : TComponent(AOwner) {}
  virtual bool Execute() = 0;

 protected:
  // The active form's window, else the main form's, else none.
  HWND OwnerWindow() const;
  // Calls Function(Record) (or the test hook), keeping the focus where it was.
  template <class Record>
  bool TaskModalDialog(BOOL(WINAPI* Function)(Record*), Record& Rec) {
    return RunModal([&] { return Function(&Rec) != FALSE; }, &Rec);
  }
  // PrintDlgA with these flags over the printer's device blocks, which take the dialog's answer.
  bool RunPrintDialog(DWORD Flags);

 private:
  bool RunModal(const std::function<bool()>& Call, void* Record);
};

class TColorDialog : public TCommonDialog {
  CL_CLASS(TColorDialog)
  explicit TColorDialog(TComponent* AOwner);
  // Opens with Color chosen; OK takes the choice into Color.
  bool Execute() override;
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  COLORREF* GetCustomColors() { return FCustomColors; }

 private:
  TColor FColor = clBlack;
  COLORREF FCustomColors[16];
};

// The options of a file dialog: a set of the dialog record's flags.
using TOpenOptions = DWORD;
constexpr TOpenOptions ofHideReadOnly = OFN_HIDEREADONLY, ofShareAware = OFN_SHAREAWARE,
                       ofAllowMultiSelect = OFN_ALLOWMULTISELECT;

// The file dialog of Explorer style. Filter is "Description|pattern|Description|pattern...";
// FilterIndex counts from 1. Only OK takes the chosen file and filter back.
class TOpenDialog : public TCommonDialog {
  CL_CLASS(TOpenDialog)
  explicit TOpenDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  bool Execute() override;
  TOpenOptions GetOptions() const { return FOptions; }
  virtual void SetOptions(TOpenOptions Value) { FOptions = Value; }
  const std::string& GetFileName() const { return FFileName; }
  void SetFileName(const std::string& Value) { FFileName = Value; }
  const std::string& GetInitialDir() const { return FInitialDir; }
  void SetInitialDir(const std::string& Value) { FInitialDir = Value; }
  const std::string& GetFilter() const { return FFilter; }
  void SetFilter(const std::string& Value) { FFilter = Value; }
  int GetFilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int Value) { FFilterIndex = Value; }
  const std::string& GetTitle() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // Added to a typed name that has no extension ("bmp").
  const std::string& GetDefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const std::string& Value) { FDefaultExt = Value; }

 protected:
  // Fills the record (the flags are Options with the Explorer style and a hook that leaves every
  // message to the dialog) and runs TaskModalDialog with Function on it.
  bool DoExecute(BOOL(WINAPI* Function)(OPENFILENAMEA*));
  // Runs Function (GetOpenFileNameA or GetSaveFileNameA) on the record modally; a dialog with a
  // hook of its own puts it into the record here.
  virtual bool TaskModalDialog(BOOL(WINAPI* Function)(OPENFILENAMEA*), OPENFILENAMEA& Record) {
    return TCommonDialog::TaskModalDialog(Function, Record);
  }

 private:
  TOpenOptions FOptions = ofHideReadOnly;
  std::string FFileName;
  std::string FInitialDir;
  std::string FFilter;
  int FFilterIndex = 1;
  std::string FTitle;
  std::string FDefaultExt;
};

class TSaveDialog : public TOpenDialog {
  CL_CLASS(TSaveDialog)
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner) {}
  bool Execute() override;
};

// The system's printer dialog in its setup form; the choice goes to Printer(). With no printer at
// all the dialog does not open and Execute is false.
// The print dialog; OK chooses its printer for Printer(). False without a printer (no box of
// ours) or on Cancel.
class TPrintDialog : public TCommonDialog {
  CL_CLASS(TPrintDialog)
  explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  bool Execute() override;
};

class TPrinterSetupDialog : public TCommonDialog {
  CL_CLASS(TPrinterSetupDialog)
  explicit TPrinterSetupDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  bool Execute() override;
};

namespace testing {
// Replaces the dialog function of every common dialog: the hook gets the dialog and its record
// (CHOOSECOLORA* for a colour dialog, PRINTDLGA* for the printer dialog, OPENFILENAMEA* for a file dialog, whose lpstrFile holds
// nMaxFile bytes), fills in the answer and returns the dialog's result.
using CommonDialogHook = std::function<bool(TCommonDialog& Dialog, void* Record)>;
void SetCommonDialogHook(CommonDialogHook Hook);
}  // namespace testing

}  // namespace classlib
