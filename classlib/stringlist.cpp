#include "classlib/stringlist.h"

#include <algorithm>

#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/streams.h"
#include "classlib/text.h"

namespace classlib {

namespace {
[[noreturn]] void IndexError(int Index) {
  throw EStringListError(Format("List index out of bounds (%d)", Index));
}
}  // namespace

// ---- TStrings

void TStrings::Put(int Index, const std::string& S) {
  TObject* object = GetObject(Index);
  Delete(Index);
  Insert(Index, S);
  PutObject(Index, object);
}

TObject* TStrings::GetObject(int) const { return nullptr; }
void TStrings::PutObject(int, TObject*) {}

int TStrings::Add(const std::string& S) {
  int index = GetCount();
  Insert(index, S);
  return index;
}

int TStrings::AddObject(const std::string& S, TObject* Object) {
  int index = Add(S);
  PutObject(index, Object);
  return index;
}

std::string TStrings::GetTextStr() const {
  std::string text;
  for (int i = 0; i < GetCount(); ++i) {
    text += Get(i);
    text += "\r\n";
  }
  return text;
}

template <class Body>
void TStrings::Updating(Body&& Run) {
  BeginUpdate();
  Finally(Run, [this] { EndUpdate(); });
}

void TStrings::SetTextStr(const std::string& Text) {
  Updating([&] {
    Clear();
    size_t i = 0, n = Text.size();
    while (i < n) {
      size_t start = i;
      while (i < n && Text[i] != '\r' && Text[i] != '\n') ++i;
      Add(Text.substr(start, i - start));
      if (i < n && Text[i] == '\r') {
        ++i;
        if (i < n && Text[i] == '\n') ++i;
      } else if (i < n) {
        ++i;  // a LF on its own
      }
    }
  });
}

void TStrings::AddStrings(TStrings* Strings) {
  Updating([&] {
    for (int i = 0; i < Strings->GetCount(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
  });
}

void TStrings::LoadFromStream(TStream* Stream) {
  int64_t size = Stream->GetSize() - Stream->GetPosition();
  std::string text(size_t(std::max<int64_t>(size, 0)), '\0');
  if (size > 0) text.resize(size_t(Stream->Read(text.data(), size)));
  SetTextStr(text);
}

void TStrings::SaveToStream(TStream* Stream) const {
  std::string text = GetTextStr();
  Stream->WriteBuffer(text.data(), int64_t(text.size()));
}

void TStrings::LoadFromFile(const std::string& FileName) {
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(&file);
}

void TStrings::SaveToFile(const std::string& FileName) const {
  TFileStream file(FileName, fmCreate);
  SaveToStream(&file);
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* strings = dynamic_cast<TStrings*>(Source)) {
    Updating([&] {
      Clear();
      AddStrings(strings);
    });
    return;
  }
  TPersistent::Assign(Source);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount > 0 && --FUpdateCount == 0) SetUpdateState(false);
}

int TStrings::IndexOf(const std::string& S) const {
  for (int i = 0; i < GetCount(); ++i)
    if (AnsiCompareText(Get(i), S) == 0) return i;
  return -1;
}

void TStrings::Exchange(int Index1, int Index2) {
  std::string s1 = Get(Index1), s2 = Get(Index2);
  TObject* o1 = GetObject(Index1);
  TObject* o2 = GetObject(Index2);
  Put(Index1, s2);
  PutObject(Index1, o2);
  Put(Index2, s1);
  PutObject(Index2, o1);
}

void TStrings::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  std::string s = Get(CurIndex);
  TObject* o = GetObject(CurIndex);
  Delete(CurIndex);
  Insert(NewIndex, s);
  PutObject(NewIndex, o);
}

bool TStrings::Equals(TStrings* Strings) const {
  if (GetCount() != Strings->GetCount()) return false;
  for (int i = 0; i < GetCount(); ++i)
    if (Get(i) != Strings->Get(i)) return false;
  return true;
}

// ---- TStringList

void TStringList::Check(int Index) const {
  if (Index < 0 || Index >= GetCount()) IndexError(Index);
}

void TStringList::Changing() {
  if (GetUpdateCount() == 0 && OnChanging) OnChanging(this);
}

void TStringList::Changed() {
  if (GetUpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

std::string TStringList::Get(int Index) const {
  Check(Index);
  return FItems[size_t(Index)].S;
}

void TStringList::Put(int Index, const std::string& S) {
  Check(Index);
  Changing();
  FItems[size_t(Index)].S = S;
  Changed();
}

TObject* TStringList::GetObject(int Index) const {
  Check(Index);
  return FItems[size_t(Index)].Object;
}

void TStringList::PutObject(int Index, TObject* Object) {
  Check(Index);
  Changing();
  FItems[size_t(Index)].Object = Object;
  Changed();
}

int TStringList::Add(const std::string& S) {
  if (!FSorted) return TStrings::Add(S);
  auto at = std::upper_bound(FItems.begin(), FItems.end(), S,
                             [](const std::string& s, const Item& item) { return AnsiCompareText(s, item.S) < 0; });
  int index = int(at - FItems.begin());
  Changing();
  FItems.insert(at, Item{S, nullptr});
  Changed();
  return index;
}

void TStringList::Insert(int Index, const std::string& S) {
  if (Index < 0 || Index > GetCount()) IndexError(Index);
  Changing();
  FItems.insert(FItems.begin() + Index, Item{S, nullptr});
  Changed();
}

void TStringList::Delete(int Index) {
  Check(Index);
  Changing();
  FItems.erase(FItems.begin() + Index);
  Changed();
}

void TStringList::Clear() {
  if (FItems.empty()) return;
  Changing();
  FItems.clear();
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  Check(Index1);
  Check(Index2);
  Changing();
  std::swap(FItems[size_t(Index1)], FItems[size_t(Index2)]);
  Changed();
}

void TStringList::Sort() {
  Changing();
  std::stable_sort(FItems.begin(), FItems.end(),
                   [](const Item& a, const Item& b) { return AnsiCompareText(a.S, b.S) < 0; });
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

}  // namespace classlib
