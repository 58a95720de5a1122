#include "classlib/richedit_base.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "classlib/finally.h"
#include "classlib/graphics.h"
#include "classlib/streams.h"

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

// ---- TConversion

int TConversion::ConvertReadStream(TStream* Stream, char* Buffer, int BufSize) {
  return int(Stream->Read(Buffer, BufSize));
}

int TConversion::ConvertWriteStream(TStream* Stream, const char* Buffer, int BufSize) {
  return int(Stream->Write(Buffer, BufSize));
}

// ---- TCustomRichEdit

TConversionClass TCustomRichEdit::DefaultConverter = &NewConversion<TConversion>;

namespace {
// The kept content's streams; nothing may unwind through the control.
DWORD CALLBACK KeepOut(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
  try {
    *Done = LONG(reinterpret_cast<TStream*>(Cookie)->Write(Buffer, Count));
    return 0;
  } catch (...) {
    *Done = 0;
    return 2;
  }
}

DWORD CALLBACK KeepIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
  try {
    *Done = LONG(reinterpret_cast<TStream*>(Cookie)->Read(Buffer, Count));
    return 0;
  } catch (...) {
    *Done = 0;
    return 1;
  }
}
}  // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TCustomMemo(AOwner),
      FSelAttributes(new TTextAttributes(this, atSelected)),
      FDefAttributes(new TTextAttributes(this, atDefaultText)),
      FParagraph(new TParaAttributes(this)) {}

TCustomRichEdit::~TCustomRichEdit() {
  delete FKeptContent;
  delete FParagraph;
  delete FDefAttributes;
  delete FSelAttributes;
}

void TCustomRichEdit::BeforeDestruction() {
  FGoing = true;
  TCustomMemo::BeforeDestruction();
}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  LoadRichEdit1();
  TCustomMemo::CreateParams(Params);
  Params.SuperClassOf = "RICHEDIT";
  if (!FHideScrollBars) Params.Style |= ES_DISABLENOSCROLL;
}

void TCustomRichEdit::SetHideScrollBars(bool Value) {
  if (Value == FHideScrollBars) return;
  FHideScrollBars = Value;
  RecreateWnd();
}

void TCustomRichEdit::CreateWndDone() {
  TCustomMemo::CreateWndDone();
  Perform(EM_SETBKGNDCOLOR, 0, LPARAM(ColorToRGB(GetColor())));
  Perform(EM_SETEVENTMASK, 0, ENM_CHANGE | ENM_SELCHANGE | ENM_REQUESTRESIZE | ENM_PROTECTED);
  // Lines wrap at the window's edge, or not at all, whatever scroll bars the window has.
  Perform(EM_SETTARGETDEVICE, 0, FWordWrap ? 0 : 1);
  if (!FKeptContent) return;
  TMemoryStream* kept = FKeptContent;
  FKeptContent = nullptr;
  ScopeExit drop([kept] { delete kept; });
  kept->SetPosition(0);
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(kept), 0, KeepIn};
  Perform(EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
}

void TCustomRichEdit::DestroyWnd() {
  if (!FGoing && HandleAllocated()) {
    delete FKeptContent;
    FKeptContent = new TMemoryStream;
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(FKeptContent), 0, KeepOut};
    Perform(EM_STREAMOUT, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError) {
      delete FKeptContent;
      FKeptContent = nullptr;
    }
  }
  TCustomMemo::DestroyWnd();
}

void TCustomRichEdit::DoSetMaxLength(int Value) { Perform(EM_EXLIMITTEXT, 0, Value); }

void TCustomRichEdit::WndProc(TMessage& Message) {
  if (Message.Msg == CN_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(Message.LParam);
    switch (header->code) {
      case EN_SELCHANGE:
        SelectionChange();
        Message.Result = 0;
        return;
      case EN_REQUESTRESIZE: {
        const RECT& r = reinterpret_cast<REQRESIZE*>(header)->rc;
        RequestSize(Rect(r.left, r.top, r.right, r.bottom));
        Message.Result = 0;
        return;
      }
      case EN_PROTECTED: {
        const CHARRANGE& range = reinterpret_cast<ENPROTECTED*>(header)->chrg;
        Message.Result = ProtectChange(range.cpMin, range.cpMax) ? 0 : 1;
        return;
      }
      case EN_SAVECLIPBOARD: {
        auto* save = reinterpret_cast<ENSAVECLIPBOARD*>(header);
        Message.Result = SaveClipboard(int(save->cObjectCount), int(save->cch)) ? 0 : 1;
        return;
      }
      default:
        break;
    }
  }
  TCustomMemo::WndProc(Message);
}

void TCustomRichEdit::SelectionChange() {
  if (OnSelectionChange) OnSelectionChange(this);
}

void TCustomRichEdit::RequestSize(const TRect& Rect) {
  if (OnResizeRequest) OnResizeRequest(this, Rect);
}

bool TCustomRichEdit::ProtectChange(int StartPos, int EndPos) {
  bool allow = false;
  if (OnProtectChange) OnProtectChange(this, StartPos, EndPos, allow);
  return allow;
}

bool TCustomRichEdit::SaveClipboard(int NumObjects, int NumChars) {
  bool save = true;
  if (OnSaveClipboard) OnSaveClipboard(this, NumObjects, NumChars, save);
  return save;
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
