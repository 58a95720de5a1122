// A form with a TRichEditEx on it, shown, with word wrap off so that rows are paragraphs.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "richedit/RichEditEx.h"

namespace testsupport {

class RichEditExWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    classlib::Application->Initialize();  // OLE
    Form = classlib::New<classlib::TForm>(classlib::Application);
    Form->SetBounds(0, 0, 600, 400);
    Form->Show();
    Edit = classlib::New<richedit::TRichEditEx>(Form);
    Edit->SetBounds(10, 10, 560, 300);
    Edit->SetWordWrap(false);
    Edit->SetParent(Form);
    Window = Edit->GetHandle();
  }
  void TearDown() override { classlib::Free(Form); }

  // The text as the control holds it: UTF-16, a paragraph mark as CR.
  std::wstring Text() { return Edit->GetWideText(); }
  // Straight to the control in UTF-16.
  void SetText(const std::wstring& Text) { Edit->CallWndProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Text.c_str())); }

  classlib::TForm* Form = nullptr;
  richedit::TRichEditEx* Edit = nullptr;
  HWND Window = nullptr;
};

}  // namespace testsupport
