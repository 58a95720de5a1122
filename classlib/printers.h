// TPrinter: the program's one printer. A document starts with BeginDoc on the printer chosen in a
// print dialog (else the system's default printer), runs over pages of the device's printable
// size and ends with EndDoc. TPrintDialog is the system's print dialog; OK chooses its printer.
#pragma once

#include <functional>
#include <string>

#include "classlib/dialogs.h"
#include "classlib/object.h"
#include "classlib/winapi.h"

namespace classlib {

class TPrinter : public TObject {
  CL_CLASS(TPrinter)
  ~TPrinter() override;

  // The document's name in the print queue.
  const std::string& GetTitle() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }
  // EPrinter when a document runs already, when there is no printer or when it refuses the job.
  void BeginDoc();
  void NewPage();
  void EndDoc();
  // Ends the document unfinished.
  void Abort();
  bool GetPrinting() const { return FDC != nullptr; }
  // The device context of the running document; EPrinter outside one.
  HDC GetHandle() const;
  // The printable area in device pixels.
  int GetPageWidth() const;
  int GetPageHeight() const;

  // The printer chosen: takes the DEVNAMES and DEVMODE blocks over (either may be 0).
  void SetPrinter(HGLOBAL DevNames, HGLOBAL DevMode);
  HGLOBAL GetDevNames() const { return FDevNames; }
  HGLOBAL GetDevMode() const { return FDevMode; }

 private:
  HDC CreatePrinterDC();
  void ReleaseDC();
  std::string FTitle;
  HDC FDC = nullptr;
  HGLOBAL FDevNames = nullptr;
  HGLOBAL FDevMode = nullptr;
};

// Made on first use; freed at shut-down.
TPrinter* Printer();
void FreePrinter();

class TPrintDialog : public TCommonDialog {
  CL_CLASS(TPrintDialog)
  explicit TPrintDialog(TComponent* AOwner) : TCommonDialog(AOwner) {}
  // False without a printer (no box) or on Cancel.
  bool Execute() override;
};

namespace testing {
// Makes BeginDoc print into the device context the factory answers (it is deleted by EndDoc);
// an empty function gives the printers back.
void SetPrinterDCFactory(std::function<HDC()> Factory);
}  // namespace testing

}  // namespace classlib
