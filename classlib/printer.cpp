#include "classlib/printer.h"

#include "classlib/exceptions.h"

namespace classlib {

namespace {
TPrinter* gPrinter = nullptr;

struct TDCFactory {
  std::function<HDC()> Create;
  std::function<void(HDC)> Finish;
};
TDCFactory& Factory() {
  static auto* factory = new TDCFactory;
  return *factory;
}

std::string DevNamesText(const DEVNAMES* Names, WORD Offset) {
  return reinterpret_cast<const char*>(Names) + Offset;
}
}  // namespace

void testing::SetPrinterDCFactory(std::function<HDC()> Create, std::function<void(HDC)> Finish) {
  Factory() = TDCFactory{std::move(Create), std::move(Finish)};
}

TPrinter* Printer() {
  if (!gPrinter) gPrinter = new TPrinter;
  return gPrinter;
}

void FreePrinter() {
  TPrinter* printer = gPrinter;
  gPrinter = nullptr;
  Free(printer);
}

TPrinter::~TPrinter() {
  if (FDC) Abort();
  if (FDevNames) GlobalFree(FDevNames);
  if (FDevMode) GlobalFree(FDevMode);
}

void TPrinter::GetDeviceHandles(HGLOBAL& DevNames, HGLOBAL& DevMode) const {
  DevNames = FDevNames;
  DevMode = FDevMode;
}

void TPrinter::SetDeviceHandles(HGLOBAL DevNames, HGLOBAL DevMode) {
  if (FDevNames && FDevNames != DevNames) GlobalFree(FDevNames);
  if (FDevMode && FDevMode != DevMode) GlobalFree(FDevMode);
  FDevNames = DevNames;
  FDevMode = DevMode;
}

HDC TPrinter::CreatePrinterDC() {
  if (!FDevNames) {
    PRINTDLGA record{};
    record.lStructSize = sizeof record;
    record.Flags = PD_RETURNDEFAULT;
    if (!PrintDlgA(&record)) return nullptr;
    SetDeviceHandles(record.hDevNames, record.hDevMode);
  }
  auto* names = static_cast<const DEVNAMES*>(GlobalLock(FDevNames));
  if (!names) return nullptr;
  std::string driver = DevNamesText(names, names->wDriverOffset);
  std::string device = DevNamesText(names, names->wDeviceOffset);
  std::string output = DevNamesText(names, names->wOutputOffset);
  GlobalUnlock(FDevNames);
  auto* mode = FDevMode ? static_cast<const DEVMODEA*>(GlobalLock(FDevMode)) : nullptr;
  HDC dc = CreateDCA(driver.c_str(), device.c_str(), output.empty() ? nullptr : output.c_str(), mode);
  if (mode) GlobalUnlock(FDevMode);
  return dc;
}

void TPrinter::BeginDoc() {
  if (FDC) throw EPrinter("Printing in progress");
  FFromFactory = bool(Factory().Create);
  HDC dc = FFromFactory ? Factory().Create() : CreatePrinterDC();
  if (!dc) throw EPrinter("There is no default printer currently selected");
  if (!FFromFactory) {
    DOCINFOA doc{};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = FTitle.empty() ? "Document" : FTitle.c_str();
    if (StartDocA(dc, &doc) <= 0 || StartPage(dc) <= 0) {
      AbortDoc(dc);
      DeleteDC(dc);
      throw EPrinter("Printing failed");
    }
  }
  FDC = dc;
  FCanvas.SetHandle(dc);
}

void TPrinter::NewPage() {
  if (!FDC) throw EPrinter("Printer is not currently printing");
  if (FFromFactory) return;
  if (EndPage(FDC) <= 0 || StartPage(FDC) <= 0) throw EPrinter("Printing failed");
}

void TPrinter::EndDoc() {
  if (!FDC) throw EPrinter("Printer is not currently printing");
  HDC dc = FDC;
  FCanvas.SetHandle(nullptr);
  FDC = nullptr;
  if (FFromFactory) {
    if (Factory().Finish) Factory().Finish(dc);
    return;
  }
  bool ok = EndPage(dc) > 0;
  ok = ::EndDoc(dc) > 0 && ok;
  DeleteDC(dc);
  if (!ok) throw EPrinter("Printing failed");
}

void TPrinter::Abort() {
  if (!FDC) return;
  HDC dc = FDC;
  FCanvas.SetHandle(nullptr);
  FDC = nullptr;
  if (FFromFactory) {
    if (Factory().Finish) Factory().Finish(dc);
    return;
  }
  AbortDoc(dc);
  DeleteDC(dc);
}

int TPrinter::GetPageWidth() const { return FDC ? GetDeviceCaps(FDC, HORZRES) : 0; }
int TPrinter::GetPageHeight() const { return FDC ? GetDeviceCaps(FDC, VERTRES) : 0; }

}  // namespace classlib
