// TCustomRichEdit: the rich edit control of the class library (the 1.0 window class "RICHEDIT"
// of RICHED32.DLL), with its character attributes of the selection and of new text
// (TTextAttributes, over CHARFORMATA) and its paragraph attributes (TParaAttributes, over
// PARAFORMAT). Before the window exists the attributes read as a zeroed record and setting them
// does nothing.
#pragma once

#include <string>

#include "classlib/canvas.h"
#include "classlib/edits.h"
#include "classlib/panels.h"  // TAlignment

namespace classlib {

class TCustomRichEdit;

enum TAttributeType { atSelected, atDefaultText };

// The pitch bits of a character format's pitch-and-family byte, both ways.
TFontPitch PitchOfFamily(BYTE PitchAndFamily);
BYTE FamilyOfPitch(TFontPitch Pitch);

class TTextAttributes : public TPersistent {
  CL_CLASS(TTextAttributes)
  TTextAttributes(TCustomRichEdit* RichEdit, TAttributeType Type) : FRichEdit(RichEdit), FType(Type) {}

  // clWindowText is the automatic colour, which follows the system's text colour.
  TColor GetColor();
  void SetColor(TColor Value);
  std::string GetName();
  void SetName(const std::string& Value);  // cut to 31 characters
  // The pitch travels without a mask of its own, so setting it leaves the control's pitch.
  TFontPitch GetPitch();
  void SetPitch(TFontPitch Value);
  int GetSize();  // points
  void SetSize(int Value);
  TFontStyles GetStyle();
  void SetStyle(TFontStyles Value);
  BYTE GetCharset();
  void SetCharset(BYTE Value);

  // From a TFont or another TTextAttributes.
  void Assign(TPersistent* Source) override;

 protected:
  // To a TFont or another TTextAttributes.
  void AssignTo(TPersistent* Dest) override;

 private:
  void GetAttributes(CHARFORMATA& Format);
  void SetAttributes(CHARFORMATA& Format);
  TCustomRichEdit* FRichEdit;
  TAttributeType FType;
};

// The formatting of the paragraphs the selection touches; indents in points.
class TParaAttributes : public TPersistent {
  CL_CLASS(TParaAttributes)
  explicit TParaAttributes(TCustomRichEdit* RichEdit) : FRichEdit(RichEdit) {}

  TAlignment GetAlignment();
  void SetAlignment(TAlignment Value);
  // The first line's start; the other lines', from the first line's; the right margin.
  int GetFirstIndent() { return GetIndent(&PARAFORMAT::dxStartIndent); }
  void SetFirstIndent(int Value) { SetIndent(PFM_STARTINDENT, &PARAFORMAT::dxStartIndent, Value); }
  int GetLeftIndent() { return GetIndent(&PARAFORMAT::dxOffset); }
  void SetLeftIndent(int Value) { SetIndent(PFM_OFFSET, &PARAFORMAT::dxOffset, Value); }
  int GetRightIndent() { return GetIndent(&PARAFORMAT::dxRightIndent); }
  void SetRightIndent(int Value) { SetIndent(PFM_RIGHTINDENT, &PARAFORMAT::dxRightIndent, Value); }

 private:
  int GetIndent(LONG PARAFORMAT::*Field);
  void SetIndent(DWORD Mask, LONG PARAFORMAT::*Field, int Value);
  void GetAttributes(PARAFORMAT& Format);
  void SetAttributes(PARAFORMAT& Format);
  TCustomRichEdit* FRichEdit;
};

class TCustomRichEdit : public TCustomMemo {
  CL_CLASS(TCustomRichEdit)
  explicit TCustomRichEdit(TComponent* AOwner);
  ~TCustomRichEdit() override;

  TTextAttributes* GetSelAttributes() { return FSelAttributes; }
  TTextAttributes* GetDefAttributes() { return FDefAttributes; }
  TParaAttributes* GetParagraph() { return FParagraph; }

  // The selection in characters; reading it makes the window.
  int GetSelStart();
  int GetSelLength();

 protected:
  void CreateParams(TCreateParams& Params) override;

 private:
  TTextAttributes* FSelAttributes;
  TTextAttributes* FDefAttributes;
  TParaAttributes* FParagraph;
};

}  // namespace classlib
