// TPrinter: print jobs on the printer chosen in the printer dialog, else the system's default
// printer, with a canvas on the printer's page.
#pragma once

#include <functional>
#include <string>

#include "classlib/canvas.h"
#include "classlib/object.h"
#include "classlib/winapi.h"

namespace classlib {

class TPrinter : public TObject {
  CL_CLASS(TPrinter)
  TPrinter() = default;
  TPrinter(const TPrinter&) = delete;
  TPrinter& operator=(const TPrinter&) = delete;
  ~TPrinter() override;

  // Starts a job with one page. EPrinter "Printing in progress" while a job runs, "There is no
  // default printer currently selected" when there is no printer to print on.
  void BeginDoc();
  // Ends the page and starts the next one (with the factory's context: nothing).
  void NewPage();
  // Ends the page and the job. EPrinter "Printer is not currently printing" without a job.
  void EndDoc();
  // Ends the job unfinished.
  void Abort();
  bool GetPrinting() const { return FDC != nullptr; }
  // The page's canvas while printing.
  TCanvas* GetCanvas() { return &FCanvas; }
  HDC GetHandle() const { return FDC; }
  int GetPageWidth() const;   // printer pixels, while printing
  int GetPageHeight() const;
  const std::string& GetTitle() const { return FTitle; }
  void SetTitle(const std::string& Value) { FTitle = Value; }

  // The printer dialog's DEVNAMES and DEVMODE blocks; the printer owns what it is given.
  void GetDeviceHandles(HGLOBAL& DevNames, HGLOBAL& DevMode) const;
  void SetDeviceHandles(HGLOBAL DevNames, HGLOBAL DevMode);

 private:
  HDC CreatePrinterDC();
  HDC FDC = nullptr;
  bool FFromFactory = false;
  TCanvas FCanvas;
  std::string FTitle;
  HGLOBAL FDevNames = nullptr;
  HGLOBAL FDevMode = nullptr;
};

// The program's printer, made on first use.
TPrinter* Printer();
void FreePrinter();

namespace testing {
// Jobs draw on Create's device context instead of a printer's, without the job calls; Finish gets
// it at the end of the job (or on Abort). Empty functions give the printer back.
void SetPrinterDCFactory(std::function<HDC()> Create, std::function<void(HDC)> Finish);
}  // namespace testing

}  // namespace classlib
