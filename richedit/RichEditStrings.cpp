#include "richedit/RichEditStrings.h"

#include <algorithm>
#include <climits>
#include <memory>

#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/streams.h"
#include "classlib/text.h"
#include "richedit/CodePages.h"
#include "richedit/RichEditEx.h"
#include "richedit/RichTextGuard.h"

namespace richedit {

using namespace classlib;

namespace {
// The converters by file extension. Both are the plain one: the extension never picks a format.
struct TConversionFormat {
  TConversionClass ConversionClass;
  const char* Extension;
  const TConversionFormat* Next;
};
const TConversionFormat kTextConversion{&NewConversion<TConversion>, "txt", nullptr};
const TConversionFormat kRTFConversion{&NewConversion<TConversion>, "rtf", &kTextConversion};
const TConversionFormat* const kConversionFormats = &kRTFConversion;

// What a stream callback needs.
struct TStreamCookie {
  TConversion* Converter;
  TStream* Stream;
  TCustomRichEditEx* RichEdit;
  TRichTextGuard* Guard;  // while rich text streams in
  int Unit = 0;           // plain text: its code unit in bytes (1 or 2); 0 for rich text
  char Held[2] = {};      // the end of the last chunk, kept for the next one
  int HeldCount = 0;
};

int ClampedInt(int64_t Value) { return int(std::min<int64_t>(Value, INT_MAX)); }

// How many bytes at the end of a chunk of plain text must wait for the next: the platform's
// control takes a CR at the end of one chunk and an LF at the start of the next for two paragraph
// marks, and reads every UTF-16 unit after an odd-sized chunk wrongly.
int TailToHold(const char* Buffer, int Count, int Unit) {
  if (Unit == 2) {
    if (Count % 2) return 1;
    return Count >= 2 && Buffer[Count - 2] == '\r' && Buffer[Count - 1] == '\0' ? 2 : 0;
  }
  return Unit == 1 && Count >= 1 && Buffer[Count - 1] == '\r' ? 1 : 0;
}

// Called by the control for each chunk; nothing may unwind through it.
DWORD CALLBACK StreamIn(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
  *Done = 0;
  try {
    auto* cookie = reinterpret_cast<TStreamCookie*>(Cookie);
    if (cookie->RichEdit->OnLoadProgress)
      cookie->RichEdit->OnLoadProgress(cookie->RichEdit, ClampedInt(cookie->Stream->GetPosition()),
                                       ClampedInt(cookie->Stream->GetSize()));
    if (cookie->Guard && cookie->Guard->Refused()) return 1;
    char* buffer = reinterpret_cast<char*>(Buffer);
    int n = cookie->HeldCount;
    std::copy(cookie->Held, cookie->Held + n, buffer);
    cookie->HeldCount = 0;
    for (;;) {
      int read = Count > n ? cookie->Converter->ConvertReadStream(cookie->Stream, buffer + n, Count - n) : 0;
      n += std::max(read, 0);
      int hold = read > 0 ? TailToHold(buffer, n, cookie->Unit) : 0;
      if (hold < n || read <= 0) {
        std::copy(buffer + n - hold, buffer + n, cookie->Held);
        cookie->HeldCount = hold;
        n -= hold;
        break;
      }
    }
    *Done = n;
    if (!cookie->Guard || n == 0) return 0;
    // What the control cannot take never reaches it; the stream ends with an error instead.
    *Done = LONG(cookie->Guard->Accept(buffer, size_t(n)));
    return cookie->Guard->Refused() && *Done == 0 ? 1 : 0;
  } catch (...) {
    return 1;
  }
}

DWORD CALLBACK StreamOut(DWORD_PTR Cookie, LPBYTE Buffer, LONG Count, LONG* Done) {
  *Done = 0;
  try {
    auto* cookie = reinterpret_cast<TStreamCookie*>(Cookie);
    *Done = cookie->Converter->ConvertWriteStream(cookie->Stream, reinterpret_cast<const char*>(Buffer), Count);
    if (cookie->RichEdit->OnSaveProgress)
      cookie->RichEdit->OnSaveProgress(cookie->RichEdit, ClampedInt(cookie->Stream->GetPosition()),
                                       ClampedInt(cookie->Stream->GetSize()));
    return 0;
  } catch (...) {
    return 2;
  }
}

// Rows of the control, less an empty last one.
int RowCount(TCustomRichEditEx* RichEdit) {
  RichEdit->HandleNeeded();
  int n = int(RichEdit->Perform(EM_GETLINECOUNT, 0, 0));
  if (n <= 0) return 0;
  LRESULT start = RichEdit->Perform(EM_LINEINDEX, WPARAM(n - 1), 0);
  return RichEdit->Perform(EM_LINELENGTH, WPARAM(start), 0) == 0 ? n - 1 : n;
}

// The control keeps a paragraph mark as one CR, whatever ended the line.
WideString WithParagraphMarks(const WideString& S) {
  WideString text;
  text.reserve(S.size());
  for (size_t i = 0; i < S.size(); ++i) {
    if (S[i] == L'\r' && i + 1 < S.size() && S[i + 1] == L'\n') continue;
    text += S[i] == L'\n' ? L'\r' : S[i];
  }
  return text;
}

template <class Body>
void WithoutSelectionEvents(TCustomRichEditEx* RichEdit, Body&& Run) {
  TNotifyEvent selectionChange = RichEdit->OnSelectionChange;
  RichEdit->OnSelectionChange = nullptr;
  ScopeExit restore([&] { RichEdit->OnSelectionChange = selectionChange; });
  Run();
}

template <class Body>
void WithoutChangeNotification(TCustomRichEditEx* RichEdit, Body&& Run) {
  LRESULT mask = RichEdit->Perform(EM_GETEVENTMASK, 0, 0);
  RichEdit->Perform(EM_SETEVENTMASK, 0, mask & ~LRESULT(ENM_CHANGE));
  ScopeExit restore([&] { RichEdit->Perform(EM_SETEVENTMASK, 0, RichEdit->Perform(EM_GETEVENTMASK, 0, 0) | ENM_CHANGE); });
  Run();
}
}  // namespace

// ---- TRichEditStringsEx

TRichEditStringsEx::~TRichEditStringsEx() { delete FConverter; }

std::string TRichEditStringsEx::Get(int Index) const {
  return WideToAnsiByCodePage(FRichEdit->GetWideLines()->Get(Index), FRichEdit->GetCodePage());
}

int TRichEditStringsEx::GetCount() const { return RowCount(FRichEdit); }

void TRichEditStringsEx::Put(int Index, const std::string& S) {
  FRichEdit->GetWideLines()->Put(Index, AnsiToWideByCodePage(S, FRichEdit->GetCodePage()));
}

void TRichEditStringsEx::SetTextStr(const std::string& Value) {
  FRichEdit->HandleNeeded();
  WithoutChangeNotification(FRichEdit, [&] { TStrings::SetTextStr(Value); });
}

void TRichEditStringsEx::SetUpdateState(bool Updating) {
  FRichEdit->Perform(WM_SETREDRAW, !Updating, 0);
  if (Updating) return;
  FRichEdit->Refresh();
  FRichEdit->Perform(CM_TEXTCHANGED, 0, 0);
}

void TRichEditStringsEx::AddStrings(TStrings* Strings) {
  WithoutSelectionEvents(FRichEdit, [&] { TStrings::AddStrings(Strings); });
}

void TRichEditStringsEx::Clear() { FRichEdit->Clear(); }

void TRichEditStringsEx::Delete(int Index) { FRichEdit->GetWideLines()->Delete(Index); }

void TRichEditStringsEx::Insert(int Index, const std::string& S) {
  FRichEdit->GetWideLines()->Insert(Index, AnsiToWideByCodePage(S, FRichEdit->GetCodePage()));
}

template <class Body>
void TRichEditStringsEx::WithFileConverter(const std::string& FileName, Body&& Run) const {
  std::string extension = AnsiLowerCase(ExtractFileExt(FileName));
  if (!extension.empty()) extension.erase(0, 1);
  const TConversionFormat* format = kConversionFormats;
  for (const TConversionFormat* f = kConversionFormats; f; f = f->Next)
    if (extension == f->Extension) {
      format = f;
      break;
    }
  delete FConverter;
  FConverter = nullptr;
  FConverter = format->ConversionClass();
  try {
    Run();
  } catch (...) {
    delete FConverter;
    FConverter = nullptr;
    throw;
  }
}

void TRichEditStringsEx::LoadFromFile(const std::string& FileName) {
  WithFileConverter(FileName, [&] { TStrings::LoadFromFile(FileName); });
}

void TRichEditStringsEx::SaveToFile(const std::string& FileName) const {
  WithFileConverter(FileName, [&] { TStrings::SaveToFile(FileName); });
}

void TRichEditStringsEx::LoadFromStream(TStream* Stream) {
  FRichEdit->HandleNeeded();
  std::unique_ptr<TConversion> own(FConverter ? nullptr : TCustomRichEdit::DefaultConverter());
  TRichTextGuard guard;
  bool rich = FRichEdit->GetInputFormat() == ifRTF;
  TStreamCookie cookie{FConverter ? FConverter : own.get(), Stream, FRichEdit, rich ? &guard : nullptr};
  cookie.Unit = rich ? 0 : FRichEdit->GetInputFormat() == ifUnicode ? 2 : 1;
  Finally(
      [&] {
        int64_t position = Stream->GetPosition();
        EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamIn};
        WPARAM format = FRichEdit->InputStreamFormat();
        FRichEdit->Perform(EM_STREAMIN, format, reinterpret_cast<LPARAM>(&stream));
        if (rich && stream.dwError) {
          cookie.Guard = nullptr;
          cookie.Unit = 1;
          cookie.HeldCount = 0;
          Stream->SetPosition(position);
          FRichEdit->Perform(EM_STREAMIN, SF_TEXT | (format & (SFF_SELECTION | SFF_PLAINRTF)),
                             reinterpret_cast<LPARAM>(&stream));
        }
        // A text load that stopped short is a failure too, not a shorter text.
        if (stream.dwError) throw EOutOfResources("Failed to Load Stream");
      },
      [&] {
        own.reset();
        FRichEdit->MarkAfterLoad();
      });
}

void TRichEditStringsEx::SaveToStream(TStream* Stream) const {
  FRichEdit->HandleNeeded();
  std::unique_ptr<TConversion> own(FConverter ? nullptr : TCustomRichEdit::DefaultConverter());
  TStreamCookie cookie{FConverter ? FConverter : own.get(), Stream, FRichEdit, nullptr};
  EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(&cookie), 0, StreamOut};
  FRichEdit->Perform(EM_STREAMOUT, FRichEdit->OutputStreamFormat(), reinterpret_cast<LPARAM>(&stream));
  if (stream.dwError) throw EOutOfResources("Failed to Save Stream");
}

// ---- TWideRichEditStringsEx

WideString TWideRichEditStringsEx::Get(int Index) const {
  constexpr size_t kCapacity = 8192;
  FRichEdit->HandleNeeded();
  TWideMode wide(FRichEdit, true);
  WideString line(kCapacity, L'\0');
  line[0] = wchar_t(kCapacity);
  LRESULT n = FRichEdit->CallWndProc(EM_GETLINE, WPARAM(Index), reinterpret_cast<LPARAM>(line.data()));
  line.resize(size_t(std::clamp<LRESULT>(n, 0, kCapacity)));
  // The paragraph mark: CR, or CR LF from the old control.
  if (!line.empty() && line.back() == L'\n') line.pop_back();
  if (!line.empty() && line.back() == L'\r') line.pop_back();
  return line;
}

int TWideRichEditStringsEx::GetCount() const { return RowCount(FRichEdit); }

void TWideRichEditStringsEx::Put(int Index, const WideString& S) {
  if (Index < 0) return;
  FRichEdit->HandleNeeded();
  TWideMode wide(FRichEdit, true);
  LRESULT start = FRichEdit->CallWndProc(EM_LINEINDEX, WPARAM(Index), 0);
  if (start == -1) return;
  CHARRANGE range{LONG(start), LONG(start + FRichEdit->CallWndProc(EM_LINELENGTH, WPARAM(start), 0))};
  FRichEdit->CallWndProc(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  FRichEdit->CallWndProc(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(S.c_str()));
}

void TWideRichEditStringsEx::SetTextStr(const WideString& Value) {
  FRichEdit->HandleNeeded();
  TWideMode wide(FRichEdit, true);
  WithoutChangeNotification(FRichEdit, [&] { TWideStrings::SetTextStr(Value); });
}

void TWideRichEditStringsEx::SetUpdateState(bool Updating) {
  FRichEdit->Perform(WM_SETREDRAW, !Updating, 0);
  if (Updating) return;
  FRichEdit->Refresh();
  FRichEdit->CallWndProc(CM_TEXTCHANGED, 0, 0);
}

void TWideRichEditStringsEx::SetLocale(LCID Value) { FRichEdit->SetLanguage(Value); }

LCID TWideRichEditStringsEx::GetLocale() const { return FRichEdit->GetLanguage(); }

void TWideRichEditStringsEx::AddStrings(TWideStrings* Strings) {
  WithoutSelectionEvents(FRichEdit, [&] { TWideStrings::AddStrings(Strings); });
}

void TWideRichEditStringsEx::Clear() { FRichEdit->Clear(); }

void TWideRichEditStringsEx::Delete(int Index) {
  if (Index < 0) return;
  FRichEdit->HandleNeeded();
  TWideMode wide(FRichEdit, true);
  LRESULT start = FRichEdit->CallWndProc(EM_LINEINDEX, WPARAM(Index), 0);
  if (start == -1) return;
  LRESULT end = FRichEdit->CallWndProc(EM_LINEINDEX, WPARAM(Index + 1), 0);
  if (end == -1) end = start + FRichEdit->CallWndProc(EM_LINELENGTH, WPARAM(start), 0);
  CHARRANGE range{LONG(start), LONG(end)};
  FRichEdit->CallWndProc(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  FRichEdit->CallWndProc(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
}

void TWideRichEditStringsEx::Insert(int Index, const WideString& S) {
  if (Index < 0) return;
  FRichEdit->HandleNeeded();
  TWideMode wide(FRichEdit, true);
  WideString line = WithParagraphMarks(S);
  LRESULT position = FRichEdit->CallWndProc(EM_LINEINDEX, WPARAM(Index), 0);
  WideString text;
  if (position >= 0) {
    text = line + L'\r';
  } else {
    position = FRichEdit->CallWndProc(EM_LINEINDEX, WPARAM(Index - 1), 0);
    if (position < 0) return;
    LRESULT length = FRichEdit->CallWndProc(EM_LINELENGTH, WPARAM(position), 0);
    if (length == 0) return;
    position += length;
    text = L'\r' + line;
  }
  CHARRANGE range{LONG(position), LONG(position)};
  FRichEdit->CallWndProc(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
  FRichEdit->CallWndProc(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  FRichEdit->CallWndProc(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
  if (range.cpMin != LONG(position + LRESULT(text.size()))) throw EOutOfResources("RichEdit line insertion error");
}

void TWideRichEditStringsEx::LoadFromFile(const std::string& FileName) { FRichEdit->GetLines()->LoadFromFile(FileName); }

void TWideRichEditStringsEx::LoadFromStream(TStream* Stream) { FRichEdit->GetLines()->LoadFromStream(Stream); }

void TWideRichEditStringsEx::SaveToFile(const std::string& FileName) const {
  FRichEdit->GetLines()->SaveToFile(FileName);
}

void TWideRichEditStringsEx::SaveToStream(TStream* Stream) const { FRichEdit->GetLines()->SaveToStream(Stream); }

}  // namespace richedit
