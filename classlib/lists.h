// TList: an ordered list of untyped references, as the programs keep their canvases, readers and
// writers; TListOf<T> is the typed view of one.
#pragma once

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
  void SetItem(int Index, void* Item);
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

}  // namespace classlib
