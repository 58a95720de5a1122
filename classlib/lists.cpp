#include "classlib/lists.h"

#include <algorithm>
#include <utility>

#include "classlib/exceptions.h"
#include "classlib/text.h"

namespace classlib {

void TList::Check(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format("List index out of bounds (%d)", Index));
}

int TList::Add(void* Item) {
  FItems.push_back(Item);
  return GetCount() - 1;
}

void TList::Insert(int Index, void* Item) {
  if (Index < 0 || Index > GetCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  FItems.insert(FItems.begin() + Index, Item);
}

void TList::Delete(int Index) {
  Check(Index);
  FItems.erase(FItems.begin() + Index);
}

int TList::Remove(void* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

int TList::IndexOf(void* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TList::Exchange(int Index1, int Index2) {
  Check(Index1);
  Check(Index2);
  std::swap(FItems[size_t(Index1)], FItems[size_t(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  Check(CurIndex);
  Check(NewIndex);
  void* item = FItems[size_t(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, item);
}

void* TList::GetItem(int Index) const {
  Check(Index);
  return FItems[size_t(Index)];
}

void TList::Sort(TListSortCompare Compare) {
  if (!Compare || FItems.size() < 2) return;
  std::sort(FItems.begin(), FItems.end(), [Compare](void* a, void* b) { return Compare(a, b) < 0; });
}

// ---- TCollection

TCollectionItem::TCollectionItem(TCollection* Collection) : FCollection(Collection) {
  if (FCollection) FCollection->FItems.push_back(this);
}

void TCollectionItem::BeforeDestruction() {
  if (FCollection) {
    auto& items = FCollection->FItems;
    items.erase(std::remove(items.begin(), items.end(), this), items.end());
    FCollection = nullptr;
  }
  TPersistent::BeforeDestruction();
}

int TCollectionItem::GetIndex() const {
  if (!FCollection) return -1;
  auto& items = FCollection->FItems;
  return int(std::find(items.begin(), items.end(), this) - items.begin());
}

TCollection::~TCollection() { Clear(); }

TCollectionItem* TCollection::Add() { return FItemFactory(this); }

void TCollection::Clear() {
  while (!FItems.empty()) Free(FItems.back());
}

void TCollection::Delete(int Index) { Free(GetItem(Index)); }

TCollectionItem* TCollection::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FItems[size_t(Index)];
}

void TCollection::Assign(TPersistent* Source) {
  auto* source = dynamic_cast<TCollection*>(Source);
  if (!source) return TPersistent::Assign(Source);
  if (source == this) return;
  Clear();
  for (TCollectionItem* item : source->FItems) Add()->Assign(item);
}

}  // namespace classlib
