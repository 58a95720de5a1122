#include "classlib/richedit_base.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "classlib/graphics.h"

namespace classlib {

namespace {
// Loaded once for the process: the library unregisters its window classes when it goes, which
// would leave the class library's superclass of them without a procedure.
void LoadRichEdit1() {
  static HMODULE library = LoadLibraryA("RICHED32.DLL");
  (void)library;
}

template <class Record>
void InitRecord(Record& Format) {
  Format = Record{};
  Format.cbSize = sizeof(Record);
}
}  // namespace

// ---- TTextAttributes

void TTextAttributes::GetAttributes(CHARFORMATA& Format) {
  InitRecord(Format);
  if (FRichEdit->HandleAllocated())
    SendMessageA(FRichEdit->GetHandle(), EM_GETCHARFORMAT, FType == atSelected ? SCF_SELECTION : SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&Format));
}

void TTextAttributes::SetAttributes(CHARFORMATA& Format) {
  if (FRichEdit->HandleAllocated())
    SendMessageA(FRichEdit->GetHandle(), EM_SETCHARFORMAT, FType == atSelected ? SCF_SELECTION : SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&Format));
}

TColor TTextAttributes::GetColor() {
  CHARFORMATA format;
  GetAttributes(format);
  return (format.dwEffects & CFE_AUTOCOLOR) ? clWindowText : TColor(format.crTextColor);
}

void TTextAttributes::SetColor(TColor Value) {
  CHARFORMATA format;
  InitRecord(format);
  format.dwMask = CFM_COLOR;
  if (Value == clWindowText)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(Value);
  SetAttributes(format);
}

std::string TTextAttributes::GetName() {
  CHARFORMATA format;
  GetAttributes(format);
  return std::string(format.szFaceName, strnlen(format.szFaceName, LF_FACESIZE));
}

void TTextAttributes::SetName(const std::string& Value) {
  CHARFORMATA format;
  InitRecord(format);
  format.dwMask = CFM_FACE;
  Value.copy(format.szFaceName, LF_FACESIZE - 1);
  SetAttributes(format);
}

TFontPitch PitchOfFamily(BYTE PitchAndFamily) {
  switch (PitchAndFamily & 3) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
  }
}

BYTE FamilyOfPitch(TFontPitch Pitch) {
  return Pitch == fpVariable ? VARIABLE_PITCH : Pitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
}

TFontPitch TTextAttributes::GetPitch() {
  CHARFORMATA format;
  GetAttributes(format);
  return PitchOfFamily(format.bPitchAndFamily);
}

void TTextAttributes::SetPitch(TFontPitch Value) {
  CHARFORMATA format;
  InitRecord(format);
  format.bPitchAndFamily = FamilyOfPitch(Value);
  SetAttributes(format);
}

int TTextAttributes::GetSize() {
  CHARFORMATA format;
  GetAttributes(format);
  return format.yHeight / 20;
}

void TTextAttributes::SetSize(int Value) {
  CHARFORMATA format;
  InitRecord(format);
  format.dwMask = CFM_SIZE;
  format.yHeight = LONG(std::clamp<int64_t>(int64_t(Value) * 20, INT32_MIN, INT32_MAX));
  SetAttributes(format);
}

TFontStyles TTextAttributes::GetStyle() {
  CHARFORMATA format;
  GetAttributes(format);
  TFontStyles style = 0;
  if (format.dwEffects & CFE_BOLD) style |= fsBold;
  if (format.dwEffects & CFE_ITALIC) style |= fsItalic;
  if (format.dwEffects & CFE_UNDERLINE) style |= fsUnderline;
  if (format.dwEffects & CFE_STRIKEOUT) style |= fsStrikeOut;
  return style;
}

void TTextAttributes::SetStyle(TFontStyles Value) {
  CHARFORMATA format;
  InitRecord(format);
  format.dwMask = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT;
  if (Value & fsBold) format.dwEffects |= CFE_BOLD;
  if (Value & fsItalic) format.dwEffects |= CFE_ITALIC;
  if (Value & fsUnderline) format.dwEffects |= CFE_UNDERLINE;
  if (Value & fsStrikeOut) format.dwEffects |= CFE_STRIKEOUT;
  SetAttributes(format);
}

BYTE TTextAttributes::GetCharset() {
  CHARFORMATA format;
  GetAttributes(format);
  return format.bCharSet;
}

void TTextAttributes::SetCharset(BYTE Value) {
  CHARFORMATA format;
  InitRecord(format);
  format.dwMask = CFM_CHARSET;
  format.bCharSet = Value;
  SetAttributes(format);
}

namespace {
template <class From, class To>
void CopyFontLike(From* Source, To* Dest) {
  Dest->SetColor(Source->GetColor());
  Dest->SetName(Source->GetName());
  Dest->SetCharset(Source->GetCharset());
  Dest->SetStyle(Source->GetStyle());
  Dest->SetSize(Source->GetSize());
  Dest->SetPitch(Source->GetPitch());
}
}  // namespace

void TTextAttributes::Assign(TPersistent* Source) {
  if (auto* font = dynamic_cast<TFont*>(Source)) return CopyFontLike(font, this);
  if (auto* attributes = dynamic_cast<TTextAttributes*>(Source)) {
    if (attributes != this) CopyFontLike(attributes, this);
    return;
  }
  TPersistent::Assign(Source);
}

void TTextAttributes::AssignTo(TPersistent* Dest) {
  if (auto* font = dynamic_cast<TFont*>(Dest)) return CopyFontLike(this, font);
  if (auto* attributes = dynamic_cast<TTextAttributes*>(Dest)) return attributes->Assign(this);
  TPersistent::AssignTo(Dest);
}

// ---- TParaAttributes

void TParaAttributes::GetAttributes(PARAFORMAT& Format) {
  InitRecord(Format);
  if (FRichEdit->HandleAllocated())
    SendMessageA(FRichEdit->GetHandle(), EM_GETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&Format));
}

void TParaAttributes::SetAttributes(PARAFORMAT& Format) {
  if (FRichEdit->HandleAllocated())
    SendMessageA(FRichEdit->GetHandle(), EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&Format));
}

TAlignment TParaAttributes::GetAlignment() {
  PARAFORMAT format;
  GetAttributes(format);
  switch (format.wAlignment) {
    case PFA_RIGHT: return taRightJustify;
    case PFA_CENTER: return taCenter;
    default: return taLeftJustify;
  }
}

void TParaAttributes::SetAlignment(TAlignment Value) {
  PARAFORMAT format;
  InitRecord(format);
  format.dwMask = PFM_ALIGNMENT;
  format.wAlignment = Value == taRightJustify ? PFA_RIGHT : Value == taCenter ? PFA_CENTER : PFA_LEFT;
  SetAttributes(format);
}

int TParaAttributes::GetIndent(LONG PARAFORMAT::*Field) {
  PARAFORMAT format;
  GetAttributes(format);
  return format.*Field / 20;
}

void TParaAttributes::SetIndent(DWORD Mask, LONG PARAFORMAT::*Field, int Value) {
  PARAFORMAT format;
  InitRecord(format);
  format.dwMask = Mask;
  format.*Field = LONG(std::clamp<int64_t>(int64_t(Value) * 20, INT32_MIN, INT32_MAX));
  SetAttributes(format);
}

// ---- TCustomRichEdit

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner),
      FSelAttributes(new TTextAttributes(this, atSelected)),
      FDefAttributes(new TTextAttributes(this, atDefaultText)),
      FParagraph(new TParaAttributes(this)) {}

TCustomRichEdit::~TCustomRichEdit() {
  delete FParagraph;
  delete FDefAttributes;
  delete FSelAttributes;
}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  LoadRichEdit1();
  TCustomMemo::CreateParams(Params);
  Params.SuperClassOf = "RICHEDIT";
}

int TCustomRichEdit::GetSelStart() {
  CHARRANGE range{};
  SendMessageA(GetHandle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMin;
}

int TCustomRichEdit::GetSelLength() {
  CHARRANGE range{};
  SendMessageA(GetHandle(), EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  return range.cpMax - range.cpMin;
}

}  // namespace classlib
