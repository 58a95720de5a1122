#include "richedit/RichEditExAttributes.h"

#include <cstdint>
#include <limits>

#include "classlib/graphics.h"
#include "classlib/numerics.h"
#include "richedit/CodePages.h"
#include "richedit/RichEditExBase.h"

namespace richedit {

using namespace classlib;

static_assert(sizeof(CHARFORMAT2W) == 116, "the rich edit 2.0 character format record");

namespace {
constexpr WORD kOldControlLCID = 0x0800;  // LOCALE_SYSTEM_DEFAULT

// Points to whole twips, halves to even, clamped into the field T of the record.
template <class T>
T PointsToTwips(double Points) {
  long double twips = static_cast<long double>(Points) * 20.0L;
  if (twips > std::numeric_limits<T>::max()) twips = std::numeric_limits<T>::max();
  if (twips < std::numeric_limits<T>::min()) twips = std::numeric_limits<T>::min();
  return T(Round(twips));  // NaN raises EInvalidOp
}

TFontStyles WithStyle(TFontStyles Style, TFontStyles Flag, bool On) { return On ? (Style | Flag) : (Style & ~Flag); }
}  // namespace

TTextAttributesEx::TTextAttributesEx(TCustomRichEditExBase* RichEdit, TAttributeType Kind)
    : FRichEdit(RichEdit),
      FKind(Kind),
      FOldAttributes(Kind == atSelected ? RichEdit->GetSelAttributes() : RichEdit->GetDefAttributes()) {}

bool TTextAttributesEx::Old() const { return FRichEdit->IsOldControl(); }

void TTextAttributesEx::InitCharFormat(CHARFORMAT2W& Format) {
  Format = CHARFORMAT2W{};
  Format.cbSize = sizeof(CHARFORMAT2W);
}

void TTextAttributesEx::GetCharFormat(CHARFORMAT2W& Format) {
  InitCharFormat(Format);
  if (FRichEdit->HandleAllocated())
    SendMessageA(FRichEdit->GetHandle(), EM_GETCHARFORMAT, FKind == atSelected ? SCF_SELECTION : SCF_DEFAULT,
                 reinterpret_cast<LPARAM>(&Format));
}

void TTextAttributesEx::SetCharFormat(const CHARFORMAT2W& Format) {
  if (!FRichEdit->HandleAllocated()) return;
  HWND window = FRichEdit->GetHandle();
  CHARFORMAT2W format = Format;
  if (FKind == atDefaultText) {
    SendMessageA(window, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
    return;
  }
  bool word = FRichEdit->GetWordFormatting() && FRichEdit->GetSelLength() == 0;
  WPARAM flags = SCF_SELECTION | SCF_USEUIRULES | (word ? SCF_WORD : 0);
  SendMessageA(window, EM_SETCHARFORMAT, flags, reinterpret_cast<LPARAM>(&format));
  if (word) {
    // Wine's control does not lay the paragraph out again after formatting only the caret's
    // word and can then fault at the next selection change; an empty paragraph format makes it.
    PARAFORMAT2 paragraph{};
    paragraph.cbSize = sizeof paragraph;
    SendMessageA(window, EM_SETPARAFORMAT, 0, reinterpret_cast<LPARAM>(&paragraph));
  }
}

// ---- effect bits: the mask bit is the effect bit

bool TTextAttributesEx::GetEffect(DWORD Effect) {
  if (Old()) {
    TFontStyles style = FOldAttributes->GetStyle();
    switch (Effect) {
      case CFE_BOLD: return style & fsBold;
      case CFE_ITALIC: return style & fsItalic;
      case CFE_STRIKEOUT: return style & fsStrikeOut;
      default: return false;
    }
  }
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.dwEffects & Effect;
}

void TTextAttributesEx::SetEffect(DWORD Effect, bool Value) {
  if (Old()) {
    TFontStyles flag = 0;
    if (Effect == CFE_BOLD) flag = fsBold;
    if (Effect == CFE_ITALIC) flag = fsItalic;
    if (Effect == CFE_STRIKEOUT) flag = fsStrikeOut;
    if (flag) FOldAttributes->SetStyle(WithStyle(FOldAttributes->GetStyle(), flag, Value));
    return;
  }
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = Effect;
  format.dwEffects = Value ? Effect : 0;
  SetCharFormat(format);
}

// ---- fields

TColor TTextAttributesEx::GetColor() {
  if (Old()) return FOldAttributes->GetColor();
  CHARFORMAT2W format;
  GetCharFormat(format);
  return (format.dwEffects & CFE_AUTOCOLOR) ? clWindowText : TColor(format.crTextColor);
}

void TTextAttributesEx::SetColor(TColor Value) {
  if (Old()) return FOldAttributes->SetColor(Value);
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_COLOR;
  // clDefault is no RGB value: handed over as one it would colour the text with nonsense.
  if (Value == clWindowText || Value == clDefault)
    format.dwEffects = CFE_AUTOCOLOR;
  else
    format.crTextColor = ColorToRGB(Value);
  SetCharFormat(format);
}

std::string TTextAttributesEx::GetName() {
  if (Old()) return FOldAttributes->GetName();
  CHARFORMAT2W format;
  GetCharFormat(format);
  return WideToAnsiByCodePage(WideString(format.szFaceName, wcsnlen(format.szFaceName, LF_FACESIZE)),
                              FRichEdit->GetCodePage());
}

void TTextAttributesEx::SetName(const std::string& Value) {
  if (Old()) return FOldAttributes->SetName(Value);
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_FACE;
  AnsiToWideByCodePage(Value, FRichEdit->GetCodePage()).copy(format.szFaceName, LF_FACESIZE - 1);
  SetCharFormat(format);
}

TFontPitch TTextAttributesEx::GetPitch() {
  if (Old()) return FOldAttributes->GetPitch();
  CHARFORMAT2W format;
  GetCharFormat(format);
  return PitchOfFamily(format.bPitchAndFamily);
}

void TTextAttributesEx::SetPitch(TFontPitch Value) {
  if (Old()) return FOldAttributes->SetPitch(Value);
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.bPitchAndFamily = FamilyOfPitch(Value);
  SetCharFormat(format);
}

int TTextAttributesEx::GetSize() {
  if (Old()) return FOldAttributes->GetSize();
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.yHeight / 20;
}

void TTextAttributesEx::SetSize(int Value) {
  if (Old()) return FOldAttributes->SetSize(Value);
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_SIZE;
  format.yHeight = PointsToTwips<LONG>(Value);
  SetCharFormat(format);
}

WORD TTextAttributesEx::GetWeight() {
  if (Old()) return (FOldAttributes->GetStyle() & fsBold) ? FW_BOLD : FW_NORMAL;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.wWeight;
}

void TTextAttributesEx::SetWeight(WORD Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_WEIGHT;
  format.wWeight = Value;
  SetCharFormat(format);
}

// The automatic background reads as clNone; as a colour (black) it would be handed on by Assign
// and paint black behind the text.
TColor TTextAttributesEx::GetBackColor() {
  if (Old()) return clNone;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return (format.dwEffects & CFE_AUTOBACKCOLOR) ? clNone : TColor(format.crBackColor);
}

void TTextAttributesEx::SetBackColor(TColor Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_BACKCOLOR;
  if (Value == clNone)
    format.dwEffects = CFE_AUTOBACKCOLOR;
  else
    format.crBackColor = ColorToRGB(Value);
  SetCharFormat(format);
}

WORD TTextAttributesEx::GetLCID() {
  if (Old()) return kOldControlLCID;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return WORD(format.lcid);
}

void TTextAttributesEx::SetLCID(WORD Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_LCID;
  format.lcid = Value;
  SetCharFormat(format);
}

int TTextAttributesEx::GetSubSuperScript() {
  if (Old()) return 0;
  CHARFORMAT2W format;
  GetCharFormat(format);
  if (format.dwEffects & CFE_SUBSCRIPT) return 1;
  if (format.dwEffects & CFE_SUPERSCRIPT) return 2;
  return 0;
}

void TTextAttributesEx::SetSubSuperScript(int Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_SUBSCRIPT;  // both bits
  format.dwEffects = DWORD(Value & 3) << 16;
  SetCharFormat(format);
}

double TTextAttributesEx::GetOffset() {
  if (Old()) return 0;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.yOffset * 0.05;
}

void TTextAttributesEx::SetOffset(double Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_OFFSET;
  format.yOffset = PointsToTwips<LONG>(Value);
  SetCharFormat(format);
}

double TTextAttributesEx::GetSpacing() {
  if (Old()) return 0;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.sSpacing * 0.05;
}

void TTextAttributesEx::SetSpacing(double Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_SPACING;
  format.sSpacing = PointsToTwips<SHORT>(Value);
  SetCharFormat(format);
}

double TTextAttributesEx::GetKerning() {
  if (Old()) return 0;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.wKerning * 0.05;
}

void TTextAttributesEx::SetKerning(double Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_KERNING;
  format.wKerning = PointsToTwips<WORD>(Value);
  SetCharFormat(format);
}

BYTE TTextAttributesEx::GetUnderlineType() {
  if (Old()) return (FOldAttributes->GetStyle() & fsUnderline) ? 1 : 0;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return (format.dwEffects & CFE_UNDERLINE) ? format.bUnderlineType : 0;
}

void TTextAttributesEx::SetUnderlineType(BYTE Value) {
  if (Old()) return FOldAttributes->SetStyle(WithStyle(FOldAttributes->GetStyle(), fsUnderline, Value != 0));
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_UNDERLINETYPE;
  format.bUnderlineType = Value;
  SetCharFormat(format);
}

BYTE TTextAttributesEx::GetAnimation() {
  if (Old()) return 0;
  CHARFORMAT2W format;
  GetCharFormat(format);
  return format.bAnimation;
}

void TTextAttributesEx::SetAnimation(BYTE Value) {
  if (Old()) return;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = CFM_ANIMATION;
  format.bAnimation = Value;
  SetCharFormat(format);
}

// ---- assignment

namespace {
// Every property from one set of 2.0 attributes to another, one message each, in this order.
void CopyAttributes(TTextAttributesEx* From, TTextAttributesEx* To, bool StrikeOut) {
  To->SetColor(From->GetColor());
  To->SetName(From->GetName());
  To->SetSize(From->GetSize());
  To->SetPitch(From->GetPitch());
  To->SetWeight(From->GetWeight());
  To->SetBackColor(From->GetBackColor());
  To->SetLCID(From->GetLCID());
  To->SetSubSuperScript(From->GetSubSuperScript());
  To->SetOffset(From->GetOffset());
  To->SetSpacing(From->GetSpacing());
  To->SetKerning(From->GetKerning());
  To->SetUnderlineType(From->GetUnderlineType());
  To->SetBold(From->GetBold());
  To->SetItalic(From->GetItalic());
  if (StrikeOut) To->SetStrikeOut(From->GetStrikeOut());
  To->SetAnimation(From->GetAnimation());
  To->SetSmallCaps(From->GetSmallCaps());
  To->SetAllCaps(From->GetAllCaps());
  To->SetHidden(From->GetHidden());
  To->SetOutline(From->GetOutline());
  To->SetShadow(From->GetShadow());
  To->SetEmboss(From->GetEmboss());
  To->SetImprint(From->GetImprint());
  To->SetLink(From->GetLink());
}

template <class FontLike>
void AssignFromFontLike(TTextAttributesEx* To, FontLike* From) {
  To->SetColor(From->GetColor());
  To->SetName(From->GetName());
  To->SetSize(From->GetSize());
  To->SetPitch(From->GetPitch());
  TFontStyles style = From->GetStyle();
  To->SetBold(style & fsBold);
  To->SetItalic(style & fsItalic);
  To->SetStrikeOut(style & fsStrikeOut);
  To->SetUnderlineType((style & fsUnderline) ? 1 : 0);
}

// The strike-out is not handed on.
template <class FontLike>
void AssignToFontLike(TTextAttributesEx* From, FontLike* To) {
  To->SetColor(From->GetColor());
  To->SetName(From->GetName());
  TFontStyles style = From->GetBold() ? TFontStyles(fsBold) : 0;
  if (From->GetItalic()) style |= fsItalic;
  if (From->GetUnderlineType() != 0) style |= fsUnderline;
  To->SetStyle(style);
  To->SetCharset(CharsetOfLocale(From->GetLCID()));
  To->SetSize(From->GetSize());
  To->SetPitch(From->GetPitch());
}
}  // namespace

void TTextAttributesEx::Assign(TPersistent* Source) {
  if (auto* attributes = dynamic_cast<TTextAttributesEx*>(Source)) return CopyAttributes(attributes, this, true);
  if (auto* attributes = dynamic_cast<TTextAttributes*>(Source)) return AssignFromFontLike(this, attributes);
  if (auto* font = dynamic_cast<TFont*>(Source)) return AssignFromFontLike(this, font);
  TPersistent::Assign(Source);
}

void TTextAttributesEx::AssignTo(TPersistent* Dest) {
  if (auto* attributes = dynamic_cast<TTextAttributesEx*>(Dest)) return CopyAttributes(this, attributes, false);
  if (auto* attributes = dynamic_cast<TTextAttributes*>(Dest)) return AssignToFontLike(this, attributes);
  if (auto* font = dynamic_cast<TFont*>(Dest)) return AssignToFontLike(this, font);
  TPersistent::AssignTo(Dest);
}

// ---- TParaAttributesEx

TParaAttributesEx::TParaAttributesEx(TCustomRichEditExBase* RichEdit) : TParaAttributes(RichEdit), FRichEdit(RichEdit) {}

}  // namespace richedit
