// Character and paragraph attributes set and read back through real rich edit windows: the 2.0
// control for the selection and for new text, and the class library's plain rich edit when the
// 2.0 library is missing.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "richedit/RichEditExAttributes.h"
#include "tests/richedit/richedit_support.h"

using namespace classlib;
using namespace richedit;
using testsupport::FormatOf;
using testsupport::Select;
using testsupport::TTestRichEdit;

namespace {

class Attributes : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = New<TForm>(Application);
    Form->SetBounds(0, 0, 500, 300);
    Form->Show();
  }
  void TearDown() override {
    Sel.reset();
    Def.reset();
    Free(Form);
  }
  // "Hello brave world": Hello 0..5, brave 6..11, world 12..17.
  void Make(bool Old = false, bool Parented = true) {
    Edit = New<TTestRichEdit>(Form, Old);
    Edit->SetBounds(10, 10, 460, 200);
    Sel.reset(new TTextAttributesEx(Edit, atSelected));
    Def.reset(new TTextAttributesEx(Edit, atDefaultText));
    if (!Parented) return;
    Edit->SetParent(Form);
    Window = Edit->GetHandle();
    SetWindowTextA(Window, "Hello brave world");
  }
  CHARFORMAT2W DefaultFormat() {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    SendMessageA(Window, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return format;
  }
  TForm* Form = nullptr;
  TTestRichEdit* Edit = nullptr;
  HWND Window = nullptr;
  TOwned<TTextAttributesEx> Sel, Def;
};

}  // namespace

TEST_F(Attributes, EffectsOfTheSelectionAreSetAndReadBack) {
  Make();
  struct Effect {
    const char* Name;
    bool (TTextAttributesEx::*Get)();
    void (TTextAttributesEx::*Set)(bool);
    DWORD Bit;
  } effects[] = {
      {"Bold", &TTextAttributesEx::GetBold, &TTextAttributesEx::SetBold, CFE_BOLD},
      {"Italic", &TTextAttributesEx::GetItalic, &TTextAttributesEx::SetItalic, CFE_ITALIC},
      {"StrikeOut", &TTextAttributesEx::GetStrikeOut, &TTextAttributesEx::SetStrikeOut, CFE_STRIKEOUT},
      {"SmallCaps", &TTextAttributesEx::GetSmallCaps, &TTextAttributesEx::SetSmallCaps, CFE_SMALLCAPS},
      {"AllCaps", &TTextAttributesEx::GetAllCaps, &TTextAttributesEx::SetAllCaps, CFE_ALLCAPS},
      {"Hidden", &TTextAttributesEx::GetHidden, &TTextAttributesEx::SetHidden, CFE_HIDDEN},
      {"Outline", &TTextAttributesEx::GetOutline, &TTextAttributesEx::SetOutline, CFE_OUTLINE},
      {"Shadow", &TTextAttributesEx::GetShadow, &TTextAttributesEx::SetShadow, CFE_SHADOW},
      {"Emboss", &TTextAttributesEx::GetEmboss, &TTextAttributesEx::SetEmboss, CFE_EMBOSS},
      {"Imprint", &TTextAttributesEx::GetImprint, &TTextAttributesEx::SetImprint, CFE_IMPRINT},
      {"Link", &TTextAttributesEx::GetLink, &TTextAttributesEx::SetLink, CFE_LINK},
  };
  TTextAttributesEx* sel = Sel.get();
  for (const Effect& e : effects) {
    Select(Window, 6, 11);
    (sel->*e.Set)(true);
    EXPECT_TRUE((sel->*e.Get)()) << e.Name;
    EXPECT_TRUE(FormatOf(Window, 6, 11).dwEffects & e.Bit) << e.Name;
    EXPECT_FALSE(FormatOf(Window, 0, 5).dwEffects & e.Bit) << e.Name << " stays on the selection";
    Select(Window, 6, 11);
    (sel->*e.Set)(false);
    EXPECT_FALSE((sel->*e.Get)()) << e.Name;
    EXPECT_FALSE(FormatOf(Window, 6, 11).dwEffects & e.Bit) << e.Name;
  }
}

TEST_F(Attributes, ColoursOfTheSelectionAreRgbValuesOrAutomatic) {
  Make();
  Select(Window, 6, 11);
  Sel->SetColor(clRed);
  EXPECT_EQ(Sel->GetColor(), clRed);
  CHARFORMAT2W f = FormatOf(Window, 6, 11);
  EXPECT_EQ(f.crTextColor, RGB(255, 0, 0));
  EXPECT_FALSE(f.dwEffects & CFE_AUTOCOLOR);
  Select(Window, 6, 11);
  Sel->SetColor(clBtnFace);
  EXPECT_EQ(Sel->GetColor(), TColor(GetSysColor(COLOR_BTNFACE))) << "a system colour goes as its RGB value";
  for (TColor automatic : {clWindowText, clDefault}) {
    Select(Window, 6, 11);
    Sel->SetColor(automatic);
    EXPECT_EQ(Sel->GetColor(), clWindowText);
    EXPECT_TRUE(FormatOf(Window, 6, 11).dwEffects & CFE_AUTOCOLOR) << "follows the system's text colour";
  }

  Select(Window, 6, 11);
  Sel->SetBackColor(RGB(1, 2, 3));
  EXPECT_EQ(Sel->GetBackColor(), TColor(RGB(1, 2, 3)));
  EXPECT_EQ(FormatOf(Window, 0, 5).dwEffects & CFE_AUTOBACKCOLOR, DWORD(CFE_AUTOBACKCOLOR));
  Select(Window, 0, 5);
  EXPECT_EQ(Sel->GetBackColor(), clNone) << "the automatic background is no colour";
  Select(Window, 6, 11);
  Sel->SetBackColor(clNone);
  EXPECT_TRUE(FormatOf(Window, 6, 11).dwEffects & CFE_AUTOBACKCOLOR);
}

TEST_F(Attributes, FieldsOfTheSelectionAreSetAndReadBack) {
  Make();
  Select(Window, 6, 11);
  Sel->SetSize(9);
  EXPECT_EQ(FormatOf(Window, 6, 11).yHeight, 180);
  CHARFORMAT2W raw{};
  raw.cbSize = sizeof raw;
  raw.dwMask = CFM_SIZE | CFM_FACE;
  raw.yHeight = 250;
  raw.bPitchAndFamily = FIXED_PITCH | FF_MODERN;
  wcscpy(raw.szFaceName, L"Courier New");
  SendMessageA(Window, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&raw));
  EXPECT_EQ(Sel->GetSize(), 12) << "250 twips are 12 whole points";
  EXPECT_EQ(Sel->GetName(), "Courier New");
  EXPECT_EQ(Sel->GetPitch(), fpFixed);
  Sel->SetPitch(fpVariable);
  EXPECT_EQ(Sel->GetPitch(), fpFixed) << "the pitch goes without a mask bit";

  Sel->SetName("Arial");
  EXPECT_EQ(std::wstring(FormatOf(Window, 6, 11).szFaceName), L"Arial");
  Select(Window, 6, 11);
  Sel->SetName(std::string(40, 'x'));
  EXPECT_EQ(Sel->GetName(), std::string(31, 'x')) << "cut to fit the record";

  // Each setter on the selection "brave", then its getter and the record the control reports.
  auto set = [&](auto Set) {
    Select(Window, 6, 11);
    Set(Sel.get());
    CHARFORMAT2W f = FormatOf(Window, 6, 11);
    Select(Window, 6, 11);
    return f;
  };
  const DWORD scripts = CFE_SUBSCRIPT | CFE_SUPERSCRIPT;
  EXPECT_EQ(set([](auto a) { a->SetWeight(700); }).wWeight, 700);
  EXPECT_EQ(Sel->GetWeight(), 700);
  EXPECT_EQ(set([](auto a) { a->SetLCID(1049); }).lcid, 1049u);
  EXPECT_EQ(Sel->GetLCID(), 1049);
  EXPECT_EQ(set([](auto a) { a->SetSubSuperScript(1); }).dwEffects & scripts, DWORD(CFE_SUBSCRIPT));
  EXPECT_EQ(Sel->GetSubSuperScript(), 1);
  EXPECT_EQ(set([](auto a) { a->SetSubSuperScript(2); }).dwEffects & scripts, DWORD(CFE_SUPERSCRIPT));
  EXPECT_EQ(Sel->GetSubSuperScript(), 2);
  EXPECT_EQ(set([](auto a) { a->SetSubSuperScript(0); }).dwEffects & scripts, 0u);
  EXPECT_EQ(Sel->GetSubSuperScript(), 0);
  EXPECT_EQ(set([](auto a) { a->SetOffset(2.5); }).yOffset, 50);
  EXPECT_DOUBLE_EQ(Sel->GetOffset(), 2.5);
  EXPECT_EQ(set([](auto a) { a->SetOffset(0.125); }).yOffset, 2) << "2.5 twips: halves go to even";
  EXPECT_EQ(set([](auto a) { a->SetOffset(0.375); }).yOffset, 8) << "7.5 twips";
  EXPECT_EQ(set([](auto a) { a->SetSpacing(1.5); }).sSpacing, 30);
  EXPECT_DOUBLE_EQ(Sel->GetSpacing(), 1.5);
  EXPECT_EQ(set([](auto a) { a->SetSpacing(5000); }).sSpacing, 32767) << "clamped to the field";
  EXPECT_EQ(set([](auto a) { a->SetKerning(12); }).wKerning, 240);
  EXPECT_DOUBLE_EQ(Sel->GetKerning(), 12);
  EXPECT_TRUE(set([](auto a) { a->SetUnderlineType(1); }).dwEffects & CFE_UNDERLINE);
  EXPECT_EQ(Sel->GetUnderlineType(), 1);
  EXPECT_FALSE(set([](auto a) { a->SetUnderlineType(0); }).dwEffects & CFE_UNDERLINE);
  EXPECT_EQ(Sel->GetUnderlineType(), 0);
  EXPECT_EQ(set([](auto a) { a->SetAnimation(3); }).bAnimation, 3);
  EXPECT_EQ(Sel->GetAnimation(), 3);
}

TEST_F(Attributes, DefaultAttributesAreTheFormatOfNewText) {
  Make();
  Def->SetName("Arial");
  Def->SetSize(14);
  Def->SetColor(clBlue);
  Def->SetBold(true);
  Def->SetItalic(true);
  CHARFORMAT2W f = DefaultFormat();
  EXPECT_EQ(std::wstring(f.szFaceName), L"Arial");
  EXPECT_EQ(f.yHeight, 280);
  EXPECT_EQ(f.crTextColor, RGB(0, 0, 255));
  EXPECT_EQ(f.dwEffects & (CFE_BOLD | CFE_ITALIC), DWORD(CFE_BOLD | CFE_ITALIC));
  EXPECT_EQ(Def->GetName(), "Arial");
  EXPECT_EQ(Def->GetSize(), 14);
  EXPECT_EQ(Def->GetColor(), clBlue);
  Def->SetBold(false);
  EXPECT_FALSE(Def->GetBold());
  EXPECT_TRUE(Def->GetItalic());
}

TEST_F(Attributes, AnEmptySelectionFormatsTheCaretsWordOnlyWithWordFormatting) {
  Make();
  Select(Window, 8, 8);
  Sel->SetBold(true);
  EXPECT_TRUE(FormatOf(Window, 6, 11).dwEffects & CFE_BOLD) << "the word at the caret";
  EXPECT_FALSE(FormatOf(Window, 0, 5).dwEffects & CFE_BOLD);
  EXPECT_FALSE(FormatOf(Window, 12, 17).dwEffects & CFE_BOLD);
  // Moving the selection after formatting the caret's word once made Wine's control fault.
  Select(Window, 1, 3);
  Select(Window, 15, 15);
  EXPECT_EQ(Edit->GetSelStart(), 15);

  Edit->WordFormatting = false;
  Select(Window, 14, 14);
  Sel->SetItalic(true);
  EXPECT_TRUE(Sel->GetItalic()) << "the format of what is typed next";
  EXPECT_FALSE(FormatOf(Window, 12, 17).dwEffects & CFE_ITALIC) << "the word keeps its format";
}

TEST_F(Attributes, AssignCopiesBetweenAttributesAndFonts) {
  Make();
  Select(Window, 6, 11);
  Sel->SetColor(clRed);
  Sel->SetName("Courier New");
  Sel->SetSize(14);
  Sel->SetBold(true);
  Sel->SetItalic(true);
  Sel->SetStrikeOut(true);
  Sel->SetUnderlineType(1);
  Sel->SetLCID(1049);
  Sel->SetSmallCaps(true);

  Def->Assign(Sel.get());
  CHARFORMAT2W f = DefaultFormat();
  EXPECT_EQ(std::wstring(f.szFaceName), L"Courier New");
  EXPECT_EQ(f.yHeight, 280);
  EXPECT_EQ(f.crTextColor, RGB(255, 0, 0));
  DWORD all = CFE_BOLD | CFE_ITALIC | CFE_STRIKEOUT | CFE_UNDERLINE | CFE_SMALLCAPS;
  EXPECT_EQ(f.dwEffects & all, all);
  EXPECT_EQ(f.lcid, 1049u);
  EXPECT_TRUE(f.dwEffects & CFE_AUTOBACKCOLOR) << "the automatic background stays automatic";

  TFont font;
  font.Assign(Sel.get());
  EXPECT_EQ(font.GetName(), "Courier New");
  EXPECT_EQ(font.GetSize(), 14);
  EXPECT_EQ(font.GetColor(), clRed);
  EXPECT_EQ(font.GetStyle(), TFontStyles(fsBold | fsItalic | fsUnderline)) << "no strike-out";
  EXPECT_EQ(font.GetCharset(), RUSSIAN_CHARSET) << "the character set of the language";

  TFont other;
  other.SetName("Arial");
  other.SetSize(10);
  other.SetColor(clGreen);
  other.SetStyle(fsUnderline | fsStrikeOut);
  Select(Window, 0, 5);
  Sel->Assign(&other);
  f = FormatOf(Window, 0, 5);
  EXPECT_EQ(std::wstring(f.szFaceName), L"Arial");
  EXPECT_EQ(f.yHeight, 200);
  EXPECT_EQ(f.crTextColor, RGB(0, 128, 0));
  DWORD styles = CFE_BOLD | CFE_ITALIC | CFE_STRIKEOUT | CFE_UNDERLINE;
  EXPECT_EQ(f.dwEffects & styles, DWORD(CFE_STRIKEOUT | CFE_UNDERLINE));

  TParaAttributesEx paragraph(Edit);
  try {
    Sel->Assign(&paragraph);
    ADD_FAILURE() << "paragraph attributes are no character attributes";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "Cannot assign a TParaAttributesEx to a TTextAttributesEx");
  }
}

TEST_F(Attributes, BeforeTheWindowExistsReadsAnswerTheZeroRecord) {
  Make(false, false);
  Sel->SetBold(true);
  Def->SetSize(20);
  EXPECT_FALSE(Edit->HandleAllocated()) << "setting makes no window";
  EXPECT_EQ(Sel->GetColor(), clBlack);
  EXPECT_EQ(Sel->GetSize(), 0);
  EXPECT_EQ(Sel->GetName(), "");
  EXPECT_FALSE(Sel->GetBold());
  EXPECT_EQ(Def->GetSize(), 0);
}

TEST_F(Attributes, WithoutThe20LibraryTheClassLibrarysAttributesServe) {
  Make(true);
  TTextAttributes* plain = Edit->GetSelAttributes();
  Select(Window, 6, 11);
  Sel->SetBold(true);
  Sel->SetUnderlineType(1);
  Sel->SetColor(clRed);
  Sel->SetSize(12);
  Sel->SetLink(true);
  EXPECT_EQ(plain->GetStyle(), TFontStyles(fsBold | fsUnderline));
  EXPECT_EQ(plain->GetColor(), clRed);
  EXPECT_EQ(plain->GetSize(), 12);
  EXPECT_EQ(Sel->GetWeight(), 700);
  EXPECT_EQ(Sel->GetUnderlineType(), 1);
  EXPECT_FALSE(Sel->GetLink());
  EXPECT_EQ(Sel->GetLCID(), 2048);
  EXPECT_EQ(Sel->GetBackColor(), clNone);
  CHARFORMATA f{};
  f.cbSize = sizeof f;
  SendMessageA(Window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&f));
  EXPECT_EQ(f.dwEffects & (CFE_BOLD | CFE_UNDERLINE | CFE_LINK), DWORD(CFE_BOLD | CFE_UNDERLINE));
  Select(Window, 0, 5);
  EXPECT_EQ(Sel->GetWeight(), 400);
  EXPECT_FALSE(Sel->GetBold());
}

TEST_F(Attributes, ParagraphAlignmentAndIndentsAreSetAndReadBack) {
  Make();
  SetWindowTextA(Window, "one\rtwo");
  TParaAttributesEx paragraph(Edit);
  Select(Window, 0, 2);
  paragraph.SetAlignment(taCenter);
  paragraph.SetFirstIndent(10);
  paragraph.SetLeftIndent(5);
  paragraph.SetRightIndent(20);
  PARAFORMAT2 p{};
  p.cbSize = sizeof p;
  SendMessageA(Window, EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&p));
  EXPECT_EQ(p.wAlignment, PFA_CENTER);
  EXPECT_EQ(p.dxStartIndent, 200);
  EXPECT_EQ(p.dxOffset, 100);
  EXPECT_EQ(p.dxRightIndent, 400);
  EXPECT_EQ(paragraph.GetAlignment(), taCenter);
  EXPECT_EQ(paragraph.GetFirstIndent(), 10);
  EXPECT_EQ(paragraph.GetLeftIndent(), 5);
  EXPECT_EQ(paragraph.GetRightIndent(), 20);
  paragraph.SetAlignment(taRightJustify);
  EXPECT_EQ(paragraph.GetAlignment(), taRightJustify);

  Select(Window, 5, 5);
  EXPECT_EQ(paragraph.GetAlignment(), taLeftJustify) << "the second paragraph keeps its format";
  EXPECT_EQ(paragraph.GetFirstIndent(), 0);
}
