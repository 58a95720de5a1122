// TStrings, the abstract list of text lines with attached objects, and TStringList, its
// plain implementation.
#pragma once

#include <string>
#include <vector>

#include "classlib/object.h"
#include "classlib/types.h"

namespace classlib {

class TStream;

class TStrings : public TPersistent {
  CL_CLASS(TStrings)
  virtual std::string Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual void Put(int Index, const std::string& S);
  virtual TObject* GetObject(int Index) const;
  virtual void PutObject(int Index, TObject* Object);
  virtual void Insert(int Index, const std::string& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  // Every line followed by CR LF.
  virtual std::string GetTextStr() const;
  // Splits at CR LF, LF and a lone CR; a final break adds no empty line.
  virtual void SetTextStr(const std::string& Text);
  virtual void AddStrings(TStrings* Strings);
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream) const;
  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName) const;

  virtual int Add(const std::string& S);
  int AddObject(const std::string& S, TObject* Object);
  void Assign(TPersistent* Source) override;
  void BeginUpdate();
  void EndUpdate();
  virtual int IndexOf(const std::string& S) const;  // case ignored
  virtual void Exchange(int Index1, int Index2);
  virtual void Move(int CurIndex, int NewIndex);
  bool Equals(TStrings* Strings) const;

  std::string operator[](int Index) const { return Get(Index); }
  std::string GetText() const { return GetTextStr(); }
  void SetText(const std::string& Text) { SetTextStr(Text); }

 protected:
  // Called at the 0->1 (true) and 1->0 (false) transitions of the update count.
  virtual void SetUpdateState(bool) {}
  int GetUpdateCount() const { return FUpdateCount; }

 private:
  // Run between BeginUpdate and EndUpdate, EndUpdate also when Run throws.
  template <class Body>
  void Updating(Body&& Run);
  int FUpdateCount = 0;
};

class TStringList : public TStrings {
  CL_CLASS(TStringList)
  std::string Get(int Index) const override;
  int GetCount() const override { return int(FItems.size()); }
  void Put(int Index, const std::string& S) override;
  TObject* GetObject(int Index) const override;
  void PutObject(int Index, TObject* Object) override;
  int Add(const std::string& S) override;
  void Insert(int Index, const std::string& S) override;
  void Delete(int Index) override;
  void Clear() override;
  void Exchange(int Index1, int Index2) override;
  void Sort();
  bool GetSorted() const { return FSorted; }
  void SetSorted(bool Value);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  void Changing();
  void Changed();
  void Check(int Index) const;
  struct Item {
    std::string S;
    TObject* Object;
  };
  std::vector<Item> FItems;
  bool FSorted = false;
};

}  // namespace classlib
