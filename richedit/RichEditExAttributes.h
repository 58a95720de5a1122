// The character and paragraph attributes of the rich edit 2.0 control. Each character property is
// one field or one effect bit of CHARFORMAT2W, fetched or sent with a message of its own: a getter
// reads a fresh record of the selection (or of new text), a setter sends a fresh record carrying
// only its own mask bit. Without the 2.0 library every property falls back to the class library's
// attributes of the same kind or to a fixed value.
#pragma once

#include <string>

#include "classlib/richedit_base.h"

namespace richedit {

class TCustomRichEditExBase;

class TTextAttributesEx : public classlib::TPersistent {
  CL_CLASS(TTextAttributesEx)
  TTextAttributesEx(TCustomRichEditExBase* RichEdit, classlib::TAttributeType Kind);

  // clWindowText (and clDefault) set the automatic colour, which follows the system's text
  // colour and reads back as clWindowText; other colours go as their RGB value.
  classlib::TColor GetColor();
  void SetColor(classlib::TColor Value);
  std::string GetName();  // in the control's code page
  void SetName(const std::string& Value);  // cut to 31 UTF-16 units
  // The pitch travels without a mask bit, so setting it leaves the control's pitch as it is.
  classlib::TFontPitch GetPitch();
  void SetPitch(classlib::TFontPitch Value);
  int GetSize();  // whole points
  void SetSize(int Value);
  WORD GetWeight();
  void SetWeight(WORD Value);
  // clNone is the automatic background.
  classlib::TColor GetBackColor();
  void SetBackColor(classlib::TColor Value);
  WORD GetLCID();
  void SetLCID(WORD Value);
  int GetSubSuperScript();  // 0 none, 1 subscript, 2 superscript
  void SetSubSuperScript(int Value);
  // In points; sent as whole twips (halves to even), clamped to the record's field.
  double GetOffset();
  void SetOffset(double Value);
  double GetSpacing();
  void SetSpacing(double Value);
  double GetKerning();
  void SetKerning(double Value);
  BYTE GetUnderlineType();  // 0 while the text is not underlined
  void SetUnderlineType(BYTE Value);
  BYTE GetAnimation();
  void SetAnimation(BYTE Value);

  bool GetBold() { return GetEffect(CFE_BOLD); }
  void SetBold(bool Value) { SetEffect(CFE_BOLD, Value); }
  bool GetItalic() { return GetEffect(CFE_ITALIC); }
  void SetItalic(bool Value) { SetEffect(CFE_ITALIC, Value); }
  bool GetStrikeOut() { return GetEffect(CFE_STRIKEOUT); }
  void SetStrikeOut(bool Value) { SetEffect(CFE_STRIKEOUT, Value); }
  bool GetSmallCaps() { return GetEffect(CFE_SMALLCAPS); }
  void SetSmallCaps(bool Value) { SetEffect(CFE_SMALLCAPS, Value); }
  bool GetAllCaps() { return GetEffect(CFE_ALLCAPS); }
  void SetAllCaps(bool Value) { SetEffect(CFE_ALLCAPS, Value); }
  bool GetHidden() { return GetEffect(CFE_HIDDEN); }
  void SetHidden(bool Value) { SetEffect(CFE_HIDDEN, Value); }
  bool GetOutline() { return GetEffect(CFE_OUTLINE); }
  void SetOutline(bool Value) { SetEffect(CFE_OUTLINE, Value); }
  bool GetShadow() { return GetEffect(CFE_SHADOW); }
  void SetShadow(bool Value) { SetEffect(CFE_SHADOW, Value); }
  bool GetEmboss() { return GetEffect(CFE_EMBOSS); }
  void SetEmboss(bool Value) { SetEffect(CFE_EMBOSS, Value); }
  bool GetImprint() { return GetEffect(CFE_IMPRINT); }
  void SetImprint(bool Value) { SetEffect(CFE_IMPRINT, Value); }
  bool GetLink() { return GetEffect(CFE_LINK); }
  void SetLink(bool Value) { SetEffect(CFE_LINK, Value); }

  // A zeroed record of the right size.
  static void InitCharFormat(CHARFORMAT2W& Format);
  // The format of the selection or of new text; the zeroed record while there is no window.
  void GetCharFormat(CHARFORMAT2W& Format);
  // Sent only while there is a window. An empty selection with WordFormatting formats the word
  // at the caret.
  void SetCharFormat(const CHARFORMAT2W& Format);

  // From another TTextAttributesEx (every property, one message each), or from the class
  // library's TTextAttributes or a TFont.
  void Assign(classlib::TPersistent* Source) override;

 protected:
  // To another TTextAttributesEx (all but StrikeOut), or to a TTextAttributes or a TFont.
  void AssignTo(classlib::TPersistent* Dest) override;

 private:
  bool Old() const;
  // A property as FromRecord finds it in a fresh record of the control; without the 2.0 library
  // ForOldControl: a value, or a function of the class library's attributes, asked only then.
  template <class Field, class Fallback>
  auto Read(Field FromRecord, Fallback ForOldControl);
  // Sends a fresh record carrying only Mask, its fields set by Fill; false without the 2.0 library,
  // when nothing is sent.
  template <class Fill>
  bool Write(DWORD Mask, Fill FillIn);
  bool GetEffect(DWORD Effect);
  void SetEffect(DWORD Effect, bool Value);
  TCustomRichEditExBase* FRichEdit;
  classlib::TAttributeType FKind;
  classlib::TTextAttributes* FOldAttributes;
};

// The paragraph attributes of the 2.0 control: the class library's, made for the control.
class TParaAttributesEx : public classlib::TParaAttributes {
  CL_CLASS(TParaAttributesEx)
  explicit TParaAttributesEx(TCustomRichEditExBase* RichEdit);
  TCustomRichEditExBase* GetRichEdit() const { return FRichEdit; }

 private:
  TCustomRichEditExBase* FRichEdit;
};

}  // namespace richedit
