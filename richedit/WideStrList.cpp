#include "richedit/WideStrList.h"

#include <limits>

#include "classlib/exceptions.h"
#include "classlib/filer.h"
#include "classlib/finally.h"
#include "classlib/streams.h"
#include "classlib/stringlist.h"

namespace richedit {

using namespace classlib;

static_assert(sizeof(wchar_t) == 2, "the wide lists hold UTF-16 code units");

// ---- comparison

int CompareWideTextNT(const WideString& S1, const WideString& S2, LCID Locale) {
  return CompareStringW(Locale, NORM_IGNORECASE, S1.data(), int(S1.size()), S2.data(), int(S2.size())) - 2;
}

int CompareWideText9x(const WideString& S1, const WideString& S2, LCID Locale) {
  // Sized by the conversion itself: a double-byte code page needs more bytes than units.
  UINT codePage = CodePageOfLocale(Locale);
  std::string a1 = WideToAnsiByCodePage(S1, codePage), a2 = WideToAnsiByCodePage(S2, codePage);
  return CompareStringA(Locale, NORM_IGNORECASE, a1.data(), int(a1.size()), a2.data(), int(a2.size())) - 2;
}

namespace {
using TCompareWideText = int (*)(const WideString&, const WideString&, LCID);

// Chosen once, by the platform the program runs on.
TCompareWideText CompareWideText() {
  static const TCompareWideText chosen = [] {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    bool nt = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    return nt ? &CompareWideTextNT : &CompareWideText9x;
  }();
  return chosen;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// A character that is not a hexadecimal digit counts as 0.
unsigned HexValue(char C) {
  if (C >= '0' && C <= '9') return unsigned(C - '0');
  if (C >= 'A' && C <= 'F') return unsigned(C - 'A' + 10);
  if (C >= 'a' && C <= 'f') return unsigned(C - 'a' + 10);
  return 0;
}
}  // namespace

// ---- TWideStrings

TWideStrings::TWideStrings() : FLocale(GetUserDefaultLCID()) {}

template <class Body>
void TWideStrings::Updating(Body&& Run) {
  BeginUpdate();
  Finally(Run, [this] { EndUpdate(); });
}

void TWideStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TWideStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

WideString TWideStrings::GetTextStr() const {
  int count = GetCount();
  WideString text;
  for (int i = 0; i < count; ++i) {
    text += Get(i);
    text += L"\r\n";
  }
  return text;
}

void TWideStrings::SetTextStr(const WideString& Value) {
  Updating([&] {
    Clear();
    const wchar_t* p = Value.c_str();
    while (*p) {
      const wchar_t* start = p;
      while (*p && *p != L'\n' && *p != L'\r') ++p;
      Add(WideString(start, size_t(p - start)));
      if (*p == L'\r') ++p;
      if (*p == L'\n') ++p;
    }
  });
}

void TWideStrings::SetText(const wchar_t* Text) { SetTextStr(Text ? WideString(Text) : WideString()); }

std::unique_ptr<wchar_t[]> TWideStrings::GetText() const {
  WideString text = GetTextStr();
  std::unique_ptr<wchar_t[]> copy(new wchar_t[text.size() + 5]());
  text.copy(copy.get(), text.size());
  return copy;
}

void TWideStrings::Put(int Index, const WideString& S) {
  TObject* object = GetObject(Index);
  Delete(Index);
  InsertObject(Index, S, object);
}

int TWideStrings::Add(const WideString& S) {
  int index = GetCount();
  Insert(index, S);
  return index;
}

int TWideStrings::AddObject(const WideString& S, TObject* Object) {
  int index = Add(S);
  PutObject(index, Object);
  return index;
}

void TWideStrings::InsertObject(int Index, const WideString& S, TObject* Object) {
  Insert(Index, S);
  PutObject(Index, Object);
}

void TWideStrings::AddStrings(TWideStrings* Strings) {
  Updating([&] {
    // Counted first, so that a list added to itself is doubled once.
    int count = Strings->GetCount();
    for (int i = 0; i < count; ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  });
}

void TWideStrings::Exchange(int Index1, int Index2) {
  Updating([&] {
    WideString s1 = Get(Index1), s2 = Get(Index2);
    TObject* o1 = GetObject(Index1);
    TObject* o2 = GetObject(Index2);
    Put(Index1, s2);
    PutObject(Index1, o2);
    Put(Index2, s1);
    PutObject(Index2, o1);
  });
}

void TWideStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  Updating([&] {
    WideString s = Get(CurIndex);
    TObject* object = GetObject(CurIndex);
    Delete(CurIndex);
    InsertObject(NewIndex, s, object);
  });
}

int TWideStrings::IndexOf(const WideString& S) const {
  TCompareWideText compare = CompareWideText();
  int count = GetCount();
  for (int i = 0; i < count; ++i)
    if (compare(Get(i), S, FLocale) == 0) return i;
  return -1;
}

bool TWideStrings::Equals(const TWideStrings* Strings) const {
  int count = GetCount();
  if (Strings->GetCount() != count) return false;
  for (int i = 0; i < count; ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

void TWideStrings::Assign(TPersistent* Source) {
  if (auto* wide = dynamic_cast<TWideStrings*>(Source)) {
    if (wide == this) return;  // clearing first would lose the lines to be added
    Updating([&] {
      Clear();
      AddStrings(wide);
    });
    return;
  }
  if (auto* ansi = dynamic_cast<TStrings*>(Source)) {
    Updating([&] {
      Clear();
      int count = ansi->GetCount();
      for (int i = 0; i < count; ++i) AddObject(AnsiToWideByCodePage(ansi->Get(i), CP_ACP), ansi->GetObject(i));
    });
    return;
  }
  TPersistent::Assign(Source);
}

// ---- streams and files

void TWideStrings::LoadFromStream(TStream* Stream) {
  Updating([&] {
    unsigned char mark[2] = {};
    int64_t got = Stream->Read(mark, 2);
    bool bigEndian = false;
    if (got == 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
    } else if (got == 2 && mark[0] == 0xFE && mark[1] == 0xFF) {
      bigEndian = true;
    } else if (got > 0) {
      Stream->Seek(-got, soCurrent);  // no mark: those bytes are text
    }
    int64_t bytes = Stream->GetSize() - Stream->GetPosition();
    if (bytes < 0) bytes = 0;
    if (bytes / 2 > int64_t(std::numeric_limits<int>::max())) throw EOutOfMemory();
    WideString text(size_t(bytes / 2), L'\0');
    Stream->ReadBuffer(text.data(), int64_t(text.size()) * 2);
    if (bigEndian)
      for (wchar_t& unit : text) unit = wchar_t(((unit & 0xFF) << 8) | ((unit >> 8) & 0xFF));
    SetTextStr(text);
  });
}

void TWideStrings::SaveToStream(TStream* Stream) const {
  static const unsigned char mark[2] = {0xFF, 0xFE};
  Stream->WriteBuffer(mark, 2);
  WideString text = GetTextStr();
  Stream->WriteBuffer(text.data(), int64_t(text.size()) * 2);
}

void TWideStrings::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead);
  LoadFromStream(&file);
}

void TWideStrings::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

// ---- form data

void TWideStrings::DefineProperties(TFiler* Filer) {
  bool write;
  if (TPersistent* ancestor = Filer->GetAncestor()) {
    auto* wide = dynamic_cast<TWideStrings*>(ancestor);
    write = !wide || !Equals(wide);
  } else {
    write = GetCount() > 0;
  }
  Filer->DefineProperty(
      "WideStrings", [this](TReader* Reader) { ReadData(Reader); },
      [this](TWriter* Writer) { WriteData(Writer); }, write);
}

void TWideStrings::ReadData(TReader* Reader) {
  Updating([&] {
    Clear();
    std::string digits = Reader->ReadString();
    WideString text(digits.size() / 4, L'\0');
    for (size_t i = 0; i < text.size(); ++i) {
      unsigned unit = 0;
      for (size_t k = 0; k < 4; ++k) unit = unit << 4 | HexValue(digits[4 * i + k]);
      text[i] = wchar_t(unit);
    }
    SetTextStr(text);
  });
}

void TWideStrings::WriteData(TWriter* Writer) const {
  WideString text = GetTextStr();
  std::string digits(text.size() * 4, '0');
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned unit = unsigned(text[i]) & 0xFFFF;
    for (size_t k = 0; k < 4; ++k) digits[4 * i + k] = kHexDigits[(unit >> (12 - 4 * k)) & 0xF];
  }
  Writer->WriteString(digits);
}

}  // namespace richedit
