// The rich edit 2.0 control: creation on the 2.0 window class, its properties, the translation
// of ANSI text messages to and from UTF-16, the lock, and the stored rich text.
#include "richedit/RichEditEx.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/exceptions.h"
#include "classlib/filer.h"
#include "classlib/finally.h"
#include "classlib/streams.h"
#include "richedit/CodePages.h"

namespace richedit {

using namespace classlib;

namespace {
bool PlatformIsNT() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

std::string& LibraryName() {
  static auto* name = new std::string("RICHED20.DLL");
  return *name;
}

constexpr DWORD kEventMask = ENM_CHANGE | ENM_REQUESTRESIZE | ENM_SELCHANGE | ENM_PROTECTED | ENM_LINK;
constexpr DWORD kRichEditStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | ES_SAVESEL;
static_assert(kEventMask == 0x042C0001 && kRichEditStyle == 0x46008000);

WNDPROC WideClassProc(const wchar_t* ClassName) {
  WNDCLASSW info{};
  return GetClassInfoW(nullptr, ClassName, &info) ? info.lpfnWndProc : nullptr;
}

// Copies the ANSI text into a caller's buffer of Capacity bytes, with a terminator when there is
// room; answers the bytes of text copied.
LRESULT CopyOut(const std::string& Text, char* Buffer, size_t Capacity) {
  size_t n = std::min(Text.size(), Capacity);
  Text.copy(Buffer, n);
  if (n < Capacity) Buffer[n] = '\0';
  return LRESULT(n);
}
}  // namespace

bool IsNT = PlatformIsNT();
UINT CFRtf = RegisterClipboardFormatA("Rich Text Format");
UINT CFRtfNoObjs = RegisterClipboardFormatA("Rich Text Format Without Objects");
UINT CFRetextObj = RegisterClipboardFormatA("RichEdit Text and Objects");

void TCustomRichEditEx::SetLibraryName(const std::string& Name) { LibraryName() = Name; }

// ---- creation

TCustomRichEditEx::TCustomRichEditEx(TComponent* AOwner)
    : TCustomRichEditExBase(AOwner),
      FSelAttributesEx(new TTextAttributesEx(this, atSelected)),
      FDefAttributesEx(new TTextAttributesEx(this, atDefaultText)),
      FParagraphEx(new TParaAttributesEx(this)),
      FLines(new TRichEditStringsEx(this)),
      FWideLines(new TWideRichEditStringsEx(this)),
      FCustomURLs(new TURLCollection(this)) {
  SetLanguage(GetSystemDefaultLCID());
  for (const char* scheme : {"e-mail", "http", "file", "mailto", "ftp", "https", "gopher", "nntp", "prospero",
                             "telnet", "news", "wais"})
    FCustomURLs->AddURL(scheme, clWindowText, true, crDefault);
}

TCustomRichEditEx::~TCustomRichEditEx() {
  DropVerbMenu();
  if (FVerbObject) FVerbObject->Release();
  if (FRichEditOle) FRichEditOle->Release();
  if (FOleCallback) FOleCallback->Release();
  delete FCustomURLs;
  delete FWideLines;
  delete FLines;
  delete FParagraphEx;
  delete FDefAttributesEx;
  delete FSelAttributesEx;
}

void TCustomRichEditEx::CreateParams(TCreateParams& Params) {
  UINT errorMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
  HMODULE library = LoadLibraryA(LibraryName().c_str());
  SetErrorMode(errorMode);
  if (reinterpret_cast<uintptr_t>(library) < 32) library = nullptr;
  if (FLibHandle) FreeLibrary(FLibHandle);  // a creation that never got its window
  FLibHandle = library;
  FOldControl = !library;
  if (FOldControl) {
    TCustomRichEditExBase::CreateParams(Params);
    // The class library's rich edit under a name of its own: the 2.0 superclass keeps the plain one.
    Params.WinClassName += ".Old";
    FWideWndProc = WideClassProc(L"RICHEDIT");
    FAnsiWndProc = nullptr;
    return;
  }
  // Both procedures: CallWndProc needs the wide one, and the ANSI one is the default handling.
  FWideWndProc = WideClassProc(L"RICHEDIT20W");
  WNDCLASSA info{};
  FAnsiWndProc = GetClassInfoA(nullptr, "RICHEDIT20W", &info) ? info.lpfnWndProc : nullptr;
  TCustomRichEditExBase::CreateParams(Params);
  Params.Style |= kRichEditStyle;
  Params.SuperClassOf = "RICHEDIT20W";
}

void TCustomRichEditEx::CreateWindowHandle(const TCreateParams& Params) {
  if (!IsNT || FOldControl) {
    TCreateParams params = Params;
    params.Caption.clear();
    TCustomRichEditExBase::CreateWindowHandle(params);
    return;
  }
  WideString className = AnsiToWideByCodePage(Params.WinClassName, CP_ACP).substr(0, 64);
  CreateBoundWindow([&] {
    return CreateWindowExW(Params.ExStyle, className.c_str(), nullptr, Params.Style, Params.X, Params.Y,
                           Params.Width, Params.Height, Params.WndParent, nullptr, GetModuleHandleA(nullptr),
                           Params.Param);
  });
}

void TCustomRichEditEx::CreateWndDone() {
  TCustomRichEditExBase::CreateWndDone();
  Perform(EM_SETEVENTMASK, 0, kEventMask);
  Perform(EM_AUTOURLDETECT, FAutoURLDetect == adDefault, 0);
  LRESULT options = Perform(EM_GETOPTIONS, 0, 0);
  options = FShowSelectionBar ? (options | ECO_SELECTIONBAR) : (options & ~LRESULT(ECO_SELECTIONBAR));
  Perform(EM_SETOPTIONS, ECOOP_SET, options);
  Perform(EM_SETLANGOPTIONS, 0, FLangOptions);
  // A new window would otherwise have the system's limit again.
  if (FUndoLimitSet) Perform(EM_SETUNDOLIMIT, WPARAM(FUndoLimit), 0);
  if (!FIncludeOLE) return;
  IRichEditOle* ole = nullptr;
  if (!RichEditGetOleInterface(FHandle, ole) || !ole) throw Exception("Unable to get interface");
  FRichEditOle = ole;
  if (!RichEditSetOleCallback(FHandle, FOleCallback)) throw Exception("Unable to set callback");
}

void TCustomRichEditEx::DoSetMaxLength(int Value) { Perform(EM_EXLIMITTEXT, 0, Value ? Value : 0x7FFFFFFF); }

// ---- properties

void TCustomRichEditEx::SetLines(TStrings* Value) { FLines->Assign(Value); }

void TCustomRichEditEx::SetAutoURLDetect(TAutoURLDetect Value) {
  FAutoURLDetect = Value;
  if (HandleAllocated()) Perform(EM_AUTOURLDETECT, Value == adDefault, 0);
}

void TCustomRichEditEx::SetCustomURLs(TURLCollection* Value) {
  if (Value == FCustomURLs) return;
  FCustomURLs->Clear();
  if (!Value) return;
  for (int i = 0; i < Value->GetCount(); ++i) {
    TURLType* item = Value->GetItem(i);
    FCustomURLs->AddURL(item->GetName(), item->GetColor(), item->GetUnderline(), item->GetCursor());
  }
}

void TCustomRichEditEx::SetLangOptions(TLangOptions Value) {
  FLangOptions = Value;
  if (HandleAllocated()) Perform(EM_SETLANGOPTIONS, 0, Value);
}

void TCustomRichEditEx::SetLanguage(TLanguage Value) {
  FLanguage = Value;
  FCodePage = CodePageOfLocale(Value);
}

void TCustomRichEditEx::SetShowSelectionBar(bool Value) {
  if (Value == FShowSelectionBar) return;
  FShowSelectionBar = Value;
  if (!HandleAllocated()) return;
  LRESULT options = Perform(EM_GETOPTIONS, 0, 0);
  RecreateWnd();
  options = Value ? (options | ECO_SELECTIONBAR) : (options & ~LRESULT(ECO_SELECTIONBAR));
  Perform(EM_SETOPTIONS, ECOOP_SET, options);
}

void TCustomRichEditEx::SetUndoLimit(int Value) {
  FUndoLimit = Value;
  FUndoLimitSet = true;
  if (HandleAllocated()) Perform(EM_SETUNDOLIMIT, WPARAM(Value), 0);
}

void TCustomRichEditEx::SetIncludeOLE(bool Value) {
  if (Value == FIncludeOLE) return;
  if (Value && !FOleCallback) {
    FOleCallback = new TRichEditOleCallback(this);
    FOleCallback->AddRef();
  }
  FIncludeOLE = Value;
  RecreateWnd();
}

// ---- talking to the window

LRESULT TCustomRichEditEx::CallWndProc(UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (!FHandle) return 0;
  // The old control is ANSI: its wide procedure is the system's translation onto it.
  if (IsNT || FOldControl) return CallWindowProcW(FWideWndProc, FHandle, Msg, WParam, LParam);
  return CallWindowProcA(FAnsiWndProc, FHandle, Msg, WParam, LParam);
}

WideString TCustomRichEditEx::GetWideText() {
  GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
  LRESULT n = CallWndProc(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (n <= 0) return WideString();
  WideString text(size_t(n) + 1, L'\0');
  GETTEXTEX get{DWORD(2 * n + 2), GT_DEFAULT, 1200, nullptr, nullptr};
  LRESULT got = CallWndProc(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(size_t(std::clamp<LRESULT>(got, 0, n)));
  return text;
}

std::string TCustomRichEditEx::GetText() {
  if (!FHandle || FOldControl) return TCustomRichEditExBase::GetText();
  GETTEXTLENGTHEX length{GTL_USECRLF | GTL_PRECISE | GTL_NUMCHARS, 1200};
  LRESULT n = CallWndProc(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  if (n <= 0) return std::string();
  WideString text(size_t(n) + 1, L'\0');
  GETTEXTEX get{DWORD(2 * n + 2), GT_USECRLF, 1200, nullptr, nullptr};
  LRESULT got = CallWndProc(EM_GETTEXTEX, reinterpret_cast<WPARAM>(&get), reinterpret_cast<LPARAM>(text.data()));
  text.resize(size_t(std::clamp<LRESULT>(got, 0, n)));
  return WideToAnsiByCodePage(text, FCodePage);
}

int TCustomRichEditEx::TextLength() { return int(Perform(WM_GETTEXTLENGTH, 0, 0)); }

WideString TCustomRichEditEx::WideTextRange(int Start, int End) {
  if (End <= Start) return WideString();
  if (FOldControl) {
    // The old control answers this one in ANSI only; its whole text comes in UTF-16.
    WideString text = GetWideText();
    if (size_t(Start) >= text.size()) return WideString();
    return text.substr(size_t(Start), size_t(End - Start));
  }
  WideString text(size_t(End - Start) + 1, L'\0');
  TEXTRANGEW range{{Start, End}, text.data()};
  LRESULT got = CallWndProc(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&range));
  text.resize(size_t(std::clamp<LRESULT>(got, 0, End - Start)));
  return text;
}

// Each answers as the control would for an ANSI caller, in the control's code page. Buffers the
// caller hands in are never written beyond what the message says they hold.
bool TCustomRichEditEx::TranslateText(TMessage& Message) {
  switch (Message.Msg) {
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(Message.LParam);
      WideString wide = AnsiToWideByCodePage(text ? text : "", FCodePage);
      Message.Result = CallWndProc(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
      return true;
    }
    case EM_GETSELTEXT: {
      // The caller's buffer holds the selection and a terminator.
      CHARRANGE selection{};
      CallWndProc(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
      int length = selection.cpMax - selection.cpMin;
      auto* buffer = reinterpret_cast<char*>(Message.LParam);
      if (length <= 0 || !buffer) {
        Message.Result = 0;
        return true;
      }
      WideString wide(size_t(length) + 1, L'\0');
      LRESULT got = CallWndProc(EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(wide.data()));
      wide.resize(size_t(std::clamp<LRESULT>(got, 0, length)));
      Message.Result = CopyOut(WideToAnsiByCodePage(wide, FCodePage), buffer, size_t(length) + 1);
      return true;
    }
    case EM_GETTEXTRANGE: {
      // The caller's buffer holds the range and a terminator; a range to -1 runs to the end.
      auto* range = reinterpret_cast<TEXTRANGEA*>(Message.LParam);
      if (!range || !range->lpstrText) {
        Message.Result = 0;
        return true;
      }
      GETTEXTLENGTHEX lengthOf{GTL_DEFAULT, 1200};
      LONG length = LONG(CallWndProc(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthOf), 0));
      LONG first = std::clamp<LONG>(range->chrg.cpMin, 0, length);
      LONG last = range->chrg.cpMax < 0 ? length : std::clamp<LONG>(range->chrg.cpMax, first, length);
      Message.Result =
          CopyOut(WideToAnsiByCodePage(WideTextRange(first, last), FCodePage), range->lpstrText, size_t(last - first) + 1);
      return true;
    }
    case EM_GETLINE: {
      // The first word of the caller's buffer says how many bytes it holds.
      auto* buffer = reinterpret_cast<char*>(Message.LParam);
      if (!buffer) {
        Message.Result = 0;
        return true;
      }
      WORD capacity = 0;
      std::memcpy(&capacity, buffer, sizeof capacity);
      if (capacity == 0) {
        Message.Result = 0;
        return true;
      }
      WideString wide(std::max<size_t>(capacity, 2), L'\0');
      wide[0] = wchar_t(capacity);
      LRESULT got = CallWndProc(EM_GETLINE, Message.WParam, reinterpret_cast<LPARAM>(wide.data()));
      wide.resize(size_t(std::clamp<LRESULT>(got, 0, capacity)));
      Message.Result = CopyOut(WideToAnsiByCodePage(wide, FCodePage), buffer, capacity);
      return true;
    }
    case WM_SETTEXT: {
      const char* text = reinterpret_cast<const char*>(Message.LParam);
      if (GetComponentState() & csDesigning) text = nullptr;
      // An empty text goes too: it is how the control is emptied.
      WideString wide = AnsiToWideByCodePage(text ? text : "", FCodePage);
      Message.Result = CallWndProc(WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
      return true;
    }
    case WM_GETTEXTLENGTH: {
      GETTEXTLENGTHEX length{GTL_DEFAULT, 1200};
      Message.Result = CallWndProc(EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
      return true;
    }
    default:
      return false;
  }
}

void TCustomRichEditEx::WndProc(TMessage& Message) {
  // The old control is the class library's plain ANSI one and needs no translation.
  if (!FOldControl && !FWideMode && TranslateText(Message)) return;
  switch (Message.Msg) {
    case WM_SETFONT:
    case CM_FONTCHANGED:
      FDefAttributesEx->Assign(GetFont());
      Message.Result = 0;
      return;
    case WM_PAINT:
      if (FLockCount > 0) {
        // Validated, so that the system does not ask again and again while the lock lasts.
        ValidateRect(FHandle, nullptr);
        Message.Result = 0;
        return;
      }
      break;
    case CN_COMMAND:
      MarkAfterEdit(Message.WParam);
      break;
    case CN_NOTIFY:
      if (reinterpret_cast<NMHDR*>(Message.LParam)->code == EN_LINK) {
        LinkNotification(*reinterpret_cast<ENLINK*>(Message.LParam));
        Message.Result = 0;
        return;
      }
      break;
    case WM_DESTROY:
      CloseObjects();
      if (FRichEditOle) FRichEditOle->Release();
      FRichEditOle = nullptr;
      break;
    case WM_NCDESTROY: {
      HMODULE library = FLibHandle;
      FLibHandle = nullptr;
      TCustomRichEditExBase::WndProc(Message);
      if (library) FreeLibrary(library);
      return;
    }
    default:
      break;
  }
  TCustomRichEditExBase::WndProc(Message);
}

// ---- the lock

void TCustomRichEditEx::BeginLock() {
  // Only the outermost lock keeps the state: inner ones would keep what the outer holder changed.
  if (FLockCount++ > 0) return;
  Perform(WM_SETREDRAW, FALSE, 0);
  FLockSelStart = GetSelStart();
  FLockSelLength = GetSelLength();
  FLockFirstLine = int(Perform(EM_GETFIRSTVISIBLELINE, 0, 0));
}

void TCustomRichEditEx::EndLock() {
  if (FLockCount == 0 || --FLockCount > 0) return;
  CHARRANGE selection{FLockSelStart, FLockSelStart + FLockSelLength};
  Perform(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  // Towards the saved line until it is reached or a scroll no longer moves (the end of the text).
  int first = int(Perform(EM_GETFIRSTVISIBLELINE, 0, 0));
  int steps = int(Perform(EM_GETLINECOUNT, 0, 0)) + 1;
  while (first != FLockFirstLine && steps-- > 0) {
    Perform(EM_SCROLL, first < FLockFirstLine ? SB_LINEDOWN : SB_LINEUP, 0);
    int now = int(Perform(EM_GETFIRSTVISIBLELINE, 0, 0));
    if (now == first) break;
    first = now;
  }
  Perform(WM_SETREDRAW, TRUE, 0);
  Repaint();
}

void TCustomRichEditEx::Clear() {
  CloseObjects();
  // The class library empties it with an ANSI message, also while the wide lines talk UTF-16.
  TWideMode ansi(this, false);
  TCustomRichEditExBase::Clear();
}

// ---- stored rich text

void TCustomRichEditEx::DefineProperties(TFiler* Filer) {
  TCustomRichEditExBase::DefineProperties(Filer);
  Filer->DefineProperty(
      "RTF", [this](TReader* Reader) { ReadRTF(Reader); }, [this](TWriter* Writer) { WriteRTF(Writer); },
      Perform(WM_GETTEXTLENGTH, 0, 0) > 0);
}

void TCustomRichEditEx::WriteRTF(TWriter* Writer) {
  TMemoryStream stream;
  FLines->SaveToStream(&stream);
  // All of it, less the terminator the control ends rich text with: text in UTF-16 has zeros inside.
  const char* bytes = static_cast<const char*>(stream.GetMemory());
  size_t size = size_t(stream.GetSize());
  bool rich = FOutputFormat == ofRTF || FOutputFormat == ofRTFNoObjs;
  if (rich && size > 0 && bytes[size - 1] == '\0') --size;
  Writer->WriteString(std::string(bytes, size));
}

void TCustomRichEditEx::ReadRTF(TReader* Reader) {
  std::string text = Reader->ReadString();
  TNotifyEvent selectionChange = OnSelectionChange, change = OnChange;
  OnSelectionChange = nullptr;
  OnChange = nullptr;
  ScopeExit restore([&] {
    OnSelectionChange = selectionChange;
    OnChange = change;
  });
  Clear();
  FDefAttributesEx->Assign(GetFont());
  TMemoryStream stream;
  stream.WriteBuffer(text.data(), int64_t(text.size()));
  stream.SetPosition(0);
  FLines->LoadFromStream(&stream);
}

// ---- stream formats

WPARAM TCustomRichEditEx::InputStreamFormat() const {
  WPARAM format = FInputFormat == ifText ? SF_TEXT : FInputFormat == ifUnicode ? (SF_TEXT | SF_UNICODE) : SF_RTF;
  if (FSelectedInOut) format |= SFF_SELECTION;
  if (FPlainRTF) format |= SFF_PLAINRTF;
  return format;
}

WPARAM TCustomRichEditEx::OutputStreamFormat() const {
  static constexpr WPARAM kFormats[] = {SF_TEXT, SF_RTF, SF_RTFNOOBJS, SF_TEXTIZED, SF_TEXT | SF_UNICODE};
  WPARAM format = kFormats[FOutputFormat];
  if (FSelectedInOut) format |= SFF_SELECTION;
  if (FPlainRTF) format |= SFF_PLAINRTF;
  return format;
}

}  // namespace richedit
