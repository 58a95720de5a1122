// What the attribute objects and the OLE callback of the rich edit 2.0 control ask of that control.
// TCustomRichEditEx derives from this and answers; keeping it abstract lets the attributes and the
// callback stand, and be tested, on any rich edit window.
#pragma once

#include "classlib/richedit_base.h"

namespace richedit {

class TCustomRichEditExBase : public classlib::TCustomRichEdit {
  CL_CLASS(TCustomRichEditExBase)
  using classlib::TCustomRichEdit::TCustomRichEdit;

  // True when the 2.0 library is missing: the window is the class library's plain rich edit and
  // the attributes fall back to the class library's.
  virtual bool IsOldControl() const = 0;
  // Whether character formatting of an empty selection formats the word at the caret.
  virtual bool GetWordFormatting() const = 0;
  // The ANSI code page of the control's language, for every ANSI <-> UTF-16 conversion.
  virtual UINT GetCodePage() const = 0;
  // Drops the embedded object whose verbs the control's popup menu shows, so that the next popup
  // builds the verb list anew.
  virtual void ReleaseVerbObject() = 0;
};

}  // namespace richedit
