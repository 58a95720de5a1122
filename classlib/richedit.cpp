#include "classlib/richedit.h"

#include <algorithm>

#include "classlib/finally.h"
#include "classlib/printer.h"
#include "classlib/screen.h"

namespace classlib {

namespace {
// The text's paragraphs, whatever line breaks the control hands out.
std::vector<std::string> Paragraphs(const std::string& Text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < Text.size(); ++i) {
    char c = Text[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < Text.size() && Text[i + 1] == '\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  if (lines.size() > 1 && lines.back().empty()) lines.pop_back();
  return lines;
}
}  // namespace

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
          // A control that lays out nothing for the printer prints its text plainly instead.
          if (next <= 0 && range.chrg.cpMin == 0) {
            PrintPlainText();
            break;
          }
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

void TRichEdit::PrintPlainText() {
  TPrinter* printer = Printer();
  HDC dc = printer->GetHandle();
  const int width = printer->GetPageWidth(), height = printer->GetPageHeight();
  LOGFONTA font = GetFont()->GetLogFont();
  // The screen font's size on the printer's pixels.
  font.lfHeight = MulDiv(font.lfHeight, GetDeviceCaps(dc, LOGPIXELSY), Screen ? Screen->GetPixelsPerInch() : 96);
  HFONT handle = CreateFontIndirectA(&font);
  HGDIOBJ old = SelectObject(dc, handle);
  SetBkMode(dc, TRANSPARENT);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  int top = 0;
  for (const std::string& line : Paragraphs(GetText())) {
    RECT r{0, 0, width, 0};
    const UINT flags = DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS;
    int lineHeight = line.empty() ? metrics.tmHeight : DrawTextA(dc, line.c_str(), int(line.size()), &r, flags | DT_CALCRECT);
    if (top > 0 && top + lineHeight > height) {
      printer->NewPage();
      SelectObject(dc, handle);
      top = 0;
    }
    r = RECT{0, top, width, top + std::max(lineHeight, 1)};
    if (!line.empty()) DrawTextA(dc, line.c_str(), int(line.size()), &r, flags);
    top += lineHeight;
  }
  SelectObject(dc, old);
  DeleteObject(handle);
}

}  // namespace classlib
