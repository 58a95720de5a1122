// TList: an ordered list of untyped references, as the programs keep their canvases, readers and
// writers; TListOf<T> is the typed view of one. TCollection: a list that owns its items, all made
// by the collection itself.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/object.h"

namespace classlib {

using TListSortCompare = int (*)(void* Item1, void* Item2);

class TList : public TObject {
  CL_CLASS(TList)
  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);  // the index it had, or -1
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  void Clear() { FItems.clear(); }
  void Sort(TListSortCompare Compare);

  int GetCount() const { return int(FItems.size()); }
  void* GetItem(int Index) const;
  void* operator[](int Index) const { return GetItem(Index); }
  void* First() const { return GetItem(0); }
  void* Last() const { return GetItem(GetCount() - 1); }

 private:
  void Check(int Index) const;
  std::vector<void*> FItems;
};

template <class T>
class TListOf : public TList {
 public:
  int Add(T* Item) { return TList::Add(Item); }
  T* GetItem(int Index) const { return static_cast<T*>(TList::GetItem(Index)); }
  T* operator[](int Index) const { return GetItem(Index); }
};

class TCollection;

// An item of a collection; it joins the collection when it is made and leaves it when it is freed.
class TCollectionItem : public TPersistent {
  CL_CLASS(TCollectionItem)
  explicit TCollectionItem(TCollection* Collection);
  void BeforeDestruction() override;
  TCollection* GetCollection() const { return FCollection; }
  int GetIndex() const;
  // The item's name in lists; the class name unless a descendant has a better one.
  virtual std::string GetDisplayName() const { return ClassName(); }

 private:
  friend class TCollection;
  TCollection* FCollection;
};

class TCollection : public TPersistent {
  CL_CLASS(TCollection)
  using TItemFactory = std::function<TCollectionItem*(TCollection* Collection)>;
  // ItemFactory makes one item of the collection's item class for Add.
  explicit TCollection(TItemFactory ItemFactory) : FItemFactory(std::move(ItemFactory)) {}
  TCollection(const TCollection&) = delete;
  TCollection& operator=(const TCollection&) = delete;
  ~TCollection() override;

  TCollectionItem* Add();
  void Clear();
  void Delete(int Index);
  int GetCount() const { return int(FItems.size()); }
  TCollectionItem* GetItem(int Index) const;
  // The object the collection belongs to, or null.
  virtual TPersistent* GetOwner() const { return nullptr; }
  // From another collection: the items made anew, each assigned from its counterpart.
  void Assign(TPersistent* Source) override;

 private:
  friend class TCollectionItem;
  TItemFactory FItemFactory;
  std::vector<TCollectionItem*> FItems;
};

}  // namespace classlib
