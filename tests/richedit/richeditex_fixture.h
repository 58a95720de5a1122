// A form with a TRichEditEx on it, shown, with word wrap off so that rows are paragraphs; a
// sample of rich text; loading and saving the control's lines through memory.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "classlib/streams.h"
#include "richedit/RichEditEx.h"
#include "tests/richedit/richedit_support.h"

namespace testsupport {

// Rich text with a bold word, a green italic one and one in another font and size.
inline const char kSampleRTF[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}{\\f1 Courier New;}}{\\colortbl;\\red0\\green128\\blue0;}"
    "\\f0\\fs20 one {\\b two}\\par {\\i\\cf1 three} {\\f1\\fs28 four}\\par}";
inline const wchar_t kSampleText[] = L"one two\rthree four";

// The formatting of the sample as the window reports it.
inline void ExpectSampleFormatting(HWND Window) {
  EXPECT_FALSE(FormatOf(Window, 0, 3).dwEffects & CFE_BOLD);
  EXPECT_TRUE(FormatOf(Window, 4, 7).dwEffects & CFE_BOLD);
  CHARFORMAT2W three = FormatOf(Window, 8, 13);
  EXPECT_TRUE(three.dwEffects & CFE_ITALIC);
  EXPECT_EQ(three.crTextColor, RGB(0, 128, 0));
  CHARFORMAT2W four = FormatOf(Window, 14, 18);
  EXPECT_EQ(four.yHeight, 280);
  EXPECT_EQ(std::wstring(four.szFaceName), L"Courier New");
}

inline void LoadBytes(richedit::TRichEditEx* Edit, const std::string& Bytes) {
  classlib::TMemoryStream stream;
  stream.WriteBuffer(Bytes.data(), int64_t(Bytes.size()));
  stream.SetPosition(0);
  Edit->GetLines()->LoadFromStream(&stream);
}

inline std::string SaveBytes(richedit::TRichEditEx* Edit) {
  classlib::TMemoryStream stream;
  Edit->GetLines()->SaveToStream(&stream);
  return std::string(static_cast<const char*>(stream.GetMemory()), size_t(stream.GetSize()));
}

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
