#include "classlib/richedit.h"

#include "classlib/finally.h"
#include "classlib/printer.h"

namespace classlib {

void TRichEdit::CreateParams(TCreateParams& Params) {
  // Loaded once for the process, as the old control's library: its classes must outlive ours.
  static HMODULE library = LoadLibraryA("RICHED20.DLL");
  (void)library;
  TCustomRichEdit::CreateParams(Params);
  Params.SuperClassOf = "RichEdit20A";
}

void TRichEdit::Print(const std::string& Title) {
  HWND window = GetHandle();
  TPrinter* printer = Printer();
  printer->SetTitle(Title);
  printer->BeginDoc();
  Finally(
      [&] {
        HDC dc = printer->GetHandle();
        FORMATRANGE range{};
        range.hdc = range.hdcTarget = dc;
        // The page in twips.
        range.rcPage.right = MulDiv(printer->GetPageWidth(), 1440, GetDeviceCaps(dc, LOGPIXELSX));
        range.rcPage.bottom = MulDiv(printer->GetPageHeight(), 1440, GetDeviceCaps(dc, LOGPIXELSY));
        GETTEXTLENGTHEX count{GTL_PRECISE | GTL_NUMCHARS, 1200};
        LONG length = LONG(SendMessageA(window, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&count), 0));
        range.chrg.cpMin = 0;
        range.chrg.cpMax = -1;
        while (range.chrg.cpMin < length) {
          range.rc = range.rcPage;
          LONG next = LONG(SendMessageA(window, EM_FORMATRANGE, 1, reinterpret_cast<LPARAM>(&range)));
          // A page that takes nothing (too small for a line) would come back for ever.
          if (next <= range.chrg.cpMin) break;
          range.chrg.cpMin = next;
          if (next < length) printer->NewPage();
        }
      },
      [&] {
        SendMessageA(window, EM_FORMATRANGE, 0, 0);
        if (printer->GetPrinting()) printer->EndDoc();
      });
}

}  // namespace classlib
