// A rich edit control for the tests of the attributes and the OLE callback: a real window of the
// 2.0 library (or, as the old control, the class library's plain rich edit) that answers what the
// 2.0 control's attributes and callback ask of it.
#pragma once

#include <string>

#include "classlib/winapi.h"
#include "richedit/RichEditExBase.h"

namespace testsupport {

class TTestRichEdit : public richedit::TCustomRichEditExBase {
 public:
  TTestRichEdit(classlib::TComponent* AOwner, bool Old) : TCustomRichEditExBase(AOwner), FOld(Old) {}
  bool IsOldControl() const override { return FOld; }
  bool GetWordFormatting() const override { return WordFormatting; }
  UINT GetCodePage() const override { return CodePage; }
  void ReleaseVerbObject() override { ++VerbObjectReleases; }

  bool WordFormatting = true;
  UINT CodePage = 1252;
  int VerbObjectReleases = 0;

 protected:
  void CreateParams(classlib::TCreateParams& Params) override {
    TCustomRichEditExBase::CreateParams(Params);
    if (FOld) {
      Params.WinClassName = "TTestRichEdit10";
      return;
    }
    static HMODULE library = LoadLibraryA("RICHED20.DLL");
    (void)library;
    Params.SuperClassOf = "RICHEDIT20W";
    Params.WinClassName = "TTestRichEdit20";
  }

 private:
  bool FOld;
};

// The character format of a range as the control reports it.
inline CHARFORMAT2W FormatOf(HWND Window, int Start, int End) {
  CHARRANGE range{Start, End};
  SendMessageA(Window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  CHARFORMAT2W format{};
  format.cbSize = sizeof format;
  SendMessageA(Window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
  return format;
}

inline void Select(HWND Window, int Start, int End) {
  CHARRANGE range{Start, End};
  SendMessageA(Window, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
}

}  // namespace testsupport
