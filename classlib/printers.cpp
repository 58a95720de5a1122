#include "classlib/printers.h"

#include <cstring>

#include "classlib/exceptions.h"

namespace classlib {

namespace {
TPrinter* gPrinter = nullptr;

std::function<HDC()>& DCFactory() {
  static auto* factory = new std::function<HDC()>;
  return *factory;
}

// A copy of a global block, for the print dialog, which frees what it is handed when it changes.
HGLOBAL CopyBlock(HGLOBAL Block) {
  if (!Block) return nullptr;
  SIZE_T size = GlobalSize(Block);
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!copy) return nullptr;
  void* from = GlobalLock(Block);
  void* to = GlobalLock(copy);
  if (from && to) std::memcpy(to, from, size);
  if (to) GlobalUnlock(copy);
  if (from) GlobalUnlock(Block);
  return copy;
}
}  // namespace

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
  if (FDC) {
    AbortDoc(FDC);
    ReleaseDC();
  }
  if (FDevNames) GlobalFree(FDevNames);
  if (FDevMode) GlobalFree(FDevMode);
}

void TPrinter::SetPrinter(HGLOBAL DevNames, HGLOBAL DevMode) {
  if (FDevNames && FDevNames != DevNames) GlobalFree(FDevNames);
  if (FDevMode && FDevMode != DevMode) GlobalFree(FDevMode);
  FDevNames = DevNames;
  FDevMode = DevMode;
}

HDC TPrinter::CreatePrinterDC() {
  if (DCFactory()) return DCFactory()();
  std::string driver, device, port;
  if (FDevNames) {
    if (auto* names = static_cast<const DEVNAMES*>(GlobalLock(FDevNames))) {
      const char* base = reinterpret_cast<const char*>(names);
      driver = base + names->wDriverOffset;
      device = base + names->wDeviceOffset;
      port = base + names->wOutputOffset;
      GlobalUnlock(FDevNames);
    }
  }
  if (device.empty()) {
    char name[512];
    DWORD size = sizeof(name);
    if (!GetDefaultPrinterA(name, &size)) throw EPrinter("There is no default printer currently selected");
    device = name;
  }
  auto* mode = FDevMode ? static_cast<DEVMODEA*>(GlobalLock(FDevMode)) : nullptr;
  HDC dc = CreateDCA(driver.empty() ? nullptr : driver.c_str(), device.c_str(), port.empty() ? nullptr : port.c_str(),
                     mode);
  if (mode) GlobalUnlock(FDevMode);
  return dc;
}

void TPrinter::ReleaseDC() {
  DeleteDC(FDC);
  FDC = nullptr;
}

void TPrinter::BeginDoc() {
  if (FDC) throw EPrinter("Printing in progress");
  FDC = CreatePrinterDC();
  if (!FDC) throw EPrinter("Printer selected is not valid");
  DOCINFOA info{};
  info.cbSize = sizeof(info);
  info.lpszDocName = FTitle.c_str();
  if (StartDocA(FDC, &info) <= 0 || StartPage(FDC) <= 0) {
    ReleaseDC();
    throw EPrinter("Printer is not currently printing");
  }
}

HDC TPrinter::GetHandle() const {
  if (!FDC) throw EPrinter("Printer is not currently printing");
  return FDC;
}

void TPrinter::NewPage() {
  HDC dc = GetHandle();
  EndPage(dc);
  StartPage(dc);
}

void TPrinter::EndDoc() {
  HDC dc = GetHandle();
  EndPage(dc);
  ::EndDoc(dc);
  ReleaseDC();
}

void TPrinter::Abort() {
  HDC dc = GetHandle();
  AbortDoc(dc);
  ReleaseDC();
}

int TPrinter::GetPageWidth() const { return GetDeviceCaps(GetHandle(), HORZRES); }

int TPrinter::GetPageHeight() const { return GetDeviceCaps(GetHandle(), VERTRES); }

bool TPrintDialog::Execute() {
  PRINTDLGA record{};
  record.lStructSize = sizeof(record);
  record.hwndOwner = OwnerWindow();
  record.hDevNames = CopyBlock(Printer()->GetDevNames());
  record.hDevMode = CopyBlock(Printer()->GetDevMode());
  record.Flags = PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE;
  bool ok = TaskModalDialog(PrintDlgA, record);
  if (ok) {
    Printer()->SetPrinter(record.hDevNames, record.hDevMode);
  } else {
    if (record.hDevNames) GlobalFree(record.hDevNames);
    if (record.hDevMode) GlobalFree(record.hDevMode);
  }
  return ok;
}

void testing::SetPrinterDCFactory(std::function<HDC()> Factory) { DCFactory() = std::move(Factory); }

}  // namespace classlib
