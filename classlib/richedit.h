// TRichEdit: the plain rich edit control (the platform's rich edit 2.0, ANSI class), with
// printing of its whole text on the program's printer.
#pragma once

#include <string>
#include <vector>

#include "classlib/richedit_base.h"

namespace classlib {

class TRichEdit : public TCustomRichEdit {
  CL_CLASS(TRichEdit)
  explicit TRichEdit(TComponent* AOwner) : TCustomRichEdit(AOwner) {}

  // One document named Title, as many pages as the text needs on the printer's page.
  void Print(const std::string& Title);

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  // The text as plain word-wrapped lines in the control's font, for a control that lays out
  // nothing for the printer.
  void PrintPlainText();
};

}  // namespace classlib
