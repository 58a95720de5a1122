#include "richedit/RichEditExAttributes.h"

#include <cstdint>
#include <functional>
#include <limits>
#include <type_traits>
#include <utility>

#include "classlib/graphics.h"
#include "classlib/numerics.h"
#include "richedit/CodePages.h"
#include "richedit/RichEditExBase.h"

namespace richedit {

using namespace classlib;

static_assert(sizeof(CHARFORMAT2W) == 116, "the rich edit 2.0 character format record");

namespace {
constexpr WORD kOldControlLCID = 0x0800;  // LOCALE_SYSTEM_DEFAULT
constexpr int kTwipsPerPoint = 20;

// Points to whole twips, halves to even, clamped into the field T of the record.
template <class T>
T PointsToTwips(double Points) {
  long double twips = static_cast<long double>(Points) * kTwipsPerPoint;
  if (twips > std::numeric_limits<T>::max()) twips = std::numeric_limits<T>::max();
  if (twips < std::numeric_limits<T>::min()) twips = std::numeric_limits<T>::min();
  return T(Round(twips));  // NaN raises EInvalidOp
}

double TwipsToPoints(long Twips) { return Twips * (1.0 / kTwipsPerPoint); }

TFontStyles WithStyle(TFontStyles Style, TFontStyles Flag, bool On) { return On ? (Style | Flag) : (Style & ~Flag); }

// The class library's style flag for an effect bit; 0 for the effects it has none for.
TFontStyles StyleOfEffect(DWORD Effect) {
  switch (Effect) {
    case CFE_BOLD: return fsBold;
    case CFE_ITALIC: return fsItalic;
    case CFE_STRIKEOUT: return fsStrikeOut;
    default: return 0;
  }
}

// The properties kept in more than one field of the record, each way.
TColor TextColor(const CHARFORMAT2W& F) { return (F.dwEffects & CFE_AUTOCOLOR) ? clWindowText : TColor(F.crTextColor); }
void PutTextColor(CHARFORMAT2W& F, TColor Value) {
  // clDefault is no RGB value: handed over as one it would colour the text with nonsense.
  if (Value == clWindowText || Value == clDefault)
    F.dwEffects = CFE_AUTOCOLOR;
  else
    F.crTextColor = ColorToRGB(Value);
}
TColor BackColor(const CHARFORMAT2W& F) { return (F.dwEffects & CFE_AUTOBACKCOLOR) ? clNone : TColor(F.crBackColor); }
void PutBackColor(CHARFORMAT2W& F, TColor Value) {
  if (Value == clNone)
    F.dwEffects = CFE_AUTOBACKCOLOR;
  else
    F.crBackColor = ColorToRGB(Value);
}
WideString FaceName(const CHARFORMAT2W& F) { return WideString(F.szFaceName, wcsnlen(F.szFaceName, LF_FACESIZE)); }
void PutFaceName(CHARFORMAT2W& F, const WideString& Name) { Name.copy(F.szFaceName, LF_FACESIZE - 1); }
int SubSuperScript(const CHARFORMAT2W& F) {
  if (F.dwEffects & CFE_SUBSCRIPT) return 1;
  if (F.dwEffects & CFE_SUPERSCRIPT) return 2;
  return 0;
}
BYTE UnderlineType(const CHARFORMAT2W& F) { return (F.dwEffects & CFE_UNDERLINE) ? F.bUnderlineType : 0; }
BYTE OldUnderlineType(TTextAttributes* A) { return (A->GetStyle() & fsUnderline) ? 1 : 0; }
WORD OldWeight(TTextAttributes* A) { return (A->GetStyle() & fsBold) ? FW_BOLD : FW_NORMAL; }
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

template <class Field, class Fallback>
auto TTextAttributesEx::Read(Field FromRecord, Fallback ForOldControl) {
  using T = std::decay_t<std::invoke_result_t<Field, const CHARFORMAT2W&>>;
  if (Old()) {
    if constexpr (std::is_invocable_v<Fallback, TTextAttributes*>)
      return T(std::invoke(ForOldControl, FOldAttributes));
    else
      return T(ForOldControl);
  }
  CHARFORMAT2W format;
  GetCharFormat(format);
  return T(std::invoke(FromRecord, std::as_const(format)));
}

template <class Fill>
bool TTextAttributesEx::Write(DWORD Mask, Fill FillIn) {
  if (Old()) return false;
  CHARFORMAT2W format;
  InitCharFormat(format);
  format.dwMask = Mask;
  FillIn(format);
  SetCharFormat(format);
  return true;
}

// ---- effect bits: the mask bit is the effect bit

bool TTextAttributesEx::GetEffect(DWORD Effect) {
  return Read([=](const CHARFORMAT2W& f) { return (f.dwEffects & Effect) != 0; },
              [=](TTextAttributes* a) { return (a->GetStyle() & StyleOfEffect(Effect)) != 0; });
}

void TTextAttributesEx::SetEffect(DWORD Effect, bool Value) {
  if (Write(Effect, [=](CHARFORMAT2W& f) { f.dwEffects = Value ? Effect : 0; })) return;
  if (TFontStyles flag = StyleOfEffect(Effect))
    FOldAttributes->SetStyle(WithStyle(FOldAttributes->GetStyle(), flag, Value));
}

// ---- fields: without the 2.0 library a setter hands its value to the class library's attributes
// or drops it

TColor TTextAttributesEx::GetColor() { return Read(TextColor, &TTextAttributes::GetColor); }
void TTextAttributesEx::SetColor(TColor Value) {
  if (!Write(CFM_COLOR, [=](CHARFORMAT2W& f) { PutTextColor(f, Value); })) FOldAttributes->SetColor(Value);
}

std::string TTextAttributesEx::GetName() {
  return Read([this](const CHARFORMAT2W& f) { return WideToAnsiByCodePage(FaceName(f), FRichEdit->GetCodePage()); },
              &TTextAttributes::GetName);
}
void TTextAttributesEx::SetName(const std::string& Value) {
  if (!Write(CFM_FACE, [&](CHARFORMAT2W& f) { PutFaceName(f, AnsiToWideByCodePage(Value, FRichEdit->GetCodePage())); }))
    FOldAttributes->SetName(Value);
}

TFontPitch TTextAttributesEx::GetPitch() {
  return Read([](const CHARFORMAT2W& f) { return PitchOfFamily(f.bPitchAndFamily); }, &TTextAttributes::GetPitch);
}
void TTextAttributesEx::SetPitch(TFontPitch Value) {
  if (!Write(0, [=](CHARFORMAT2W& f) { f.bPitchAndFamily = FamilyOfPitch(Value); })) FOldAttributes->SetPitch(Value);
}

int TTextAttributesEx::GetSize() {
  return Read([](const CHARFORMAT2W& f) { return int(f.yHeight / kTwipsPerPoint); }, &TTextAttributes::GetSize);
}
void TTextAttributesEx::SetSize(int Value) {
  if (!Write(CFM_SIZE, [=](CHARFORMAT2W& f) { f.yHeight = PointsToTwips<LONG>(Value); }))
    FOldAttributes->SetSize(Value);
}

WORD TTextAttributesEx::GetWeight() { return Read(&CHARFORMAT2W::wWeight, OldWeight); }
void TTextAttributesEx::SetWeight(WORD Value) {
  Write(CFM_WEIGHT, [=](CHARFORMAT2W& f) { f.wWeight = Value; });
}

// The automatic background reads as clNone; as a colour (black) it would be handed on by Assign
// and paint black behind the text.
TColor TTextAttributesEx::GetBackColor() { return Read(BackColor, clNone); }
void TTextAttributesEx::SetBackColor(TColor Value) {
  Write(CFM_BACKCOLOR, [=](CHARFORMAT2W& f) { PutBackColor(f, Value); });
}

WORD TTextAttributesEx::GetLCID() {
  return Read([](const CHARFORMAT2W& f) { return WORD(f.lcid); }, kOldControlLCID);
}
void TTextAttributesEx::SetLCID(WORD Value) {
  Write(CFM_LCID, [=](CHARFORMAT2W& f) { f.lcid = Value; });
}

int TTextAttributesEx::GetSubSuperScript() { return Read(SubSuperScript, 0); }
void TTextAttributesEx::SetSubSuperScript(int Value) {
  // CFM_SUBSCRIPT holds both bits.
  Write(CFM_SUBSCRIPT, [=](CHARFORMAT2W& f) { f.dwEffects = DWORD(Value & 3) << 16; });
}

double TTextAttributesEx::GetOffset() {
  return Read([](const CHARFORMAT2W& f) { return TwipsToPoints(f.yOffset); }, 0.0);
}
void TTextAttributesEx::SetOffset(double Value) {
  Write(CFM_OFFSET, [=](CHARFORMAT2W& f) { f.yOffset = PointsToTwips<LONG>(Value); });
}

double TTextAttributesEx::GetSpacing() {
  return Read([](const CHARFORMAT2W& f) { return TwipsToPoints(f.sSpacing); }, 0.0);
}
void TTextAttributesEx::SetSpacing(double Value) {
  Write(CFM_SPACING, [=](CHARFORMAT2W& f) { f.sSpacing = PointsToTwips<SHORT>(Value); });
}

double TTextAttributesEx::GetKerning() {
  return Read([](const CHARFORMAT2W& f) { return TwipsToPoints(f.wKerning); }, 0.0);
}
void TTextAttributesEx::SetKerning(double Value) {
  Write(CFM_KERNING, [=](CHARFORMAT2W& f) { f.wKerning = PointsToTwips<WORD>(Value); });
}

BYTE TTextAttributesEx::GetUnderlineType() { return Read(UnderlineType, OldUnderlineType); }
void TTextAttributesEx::SetUnderlineType(BYTE Value) {
  if (!Write(CFM_UNDERLINETYPE, [=](CHARFORMAT2W& f) { f.bUnderlineType = Value; }))
    FOldAttributes->SetStyle(WithStyle(FOldAttributes->GetStyle(), fsUnderline, Value != 0));
}

BYTE TTextAttributesEx::GetAnimation() { return Read(&CHARFORMAT2W::bAnimation, BYTE(0)); }
void TTextAttributesEx::SetAnimation(BYTE Value) {
  Write(CFM_ANIMATION, [=](CHARFORMAT2W& f) { f.bAnimation = Value; });
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
