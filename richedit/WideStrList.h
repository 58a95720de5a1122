// TWideStrings: an abstract list of UTF-16 lines, each with an object slot, in the manner of the
// class library's TStrings. Descendants supply the storage (Get, GetCount, Insert, Delete, Clear
// and, if they keep objects, GetObject and PutObject); the list adds update nesting, a locale for
// case-blind searching, a UTF-16 text stream format with a byte-order mark, and the stored
// property "WideStrings" for form data.
//
// It derives from TPersistent rather than TStrings: TStrings' ANSI operations would stay abstract
// here for ever, and C++ cannot overload Get on the kind of string it answers.
#pragma once

#include <memory>
#include <string>

#include "classlib/object.h"
#include "classlib/winapi.h"
#include "richedit/CodePages.h"

namespace classlib {
class TReader;
class TStream;
class TWriter;
}  // namespace classlib

namespace richedit {

// Case-blind comparison in a locale: below, at or above 0. The first is the one for NT systems
// (CompareStringW); the second compares the texts converted to the locale's code page
// (CompareStringA). IndexOf uses the one the platform picked at start-up.
int CompareWideTextNT(const WideString& S1, const WideString& S2, LCID Locale);
int CompareWideText9x(const WideString& S1, const WideString& S2, LCID Locale);

class TWideStrings : public classlib::TPersistent {
  CL_CLASS(TWideStrings)
  TWideStrings();

  virtual WideString Get(int Index) const = 0;
  virtual int GetCapacity() const { return GetCount(); }
  virtual int GetCount() const = 0;
  virtual classlib::TObject* GetObject(int Index) const { return nullptr; }
  // Every line followed by CR LF.
  virtual WideString GetTextStr() const;
  // Keeps the line's object.
  virtual void Put(int Index, const WideString& S);
  virtual void PutObject(int Index, classlib::TObject* Object) {}
  virtual void SetCapacity(int NewCapacity) {}
  // CR LF, a lone CR and a lone LF each end a line; a final break adds no empty line; a zero
  // unit ends the text.
  virtual void SetTextStr(const WideString& Value);
  virtual void SetLocale(LCID Value) { FLocale = Value; }
  virtual LCID GetLocale() const { return FLocale; }
  virtual int Add(const WideString& S);
  virtual int AddObject(const WideString& S, classlib::TObject* Object);
  virtual void AddStrings(TWideStrings* Strings);
  virtual void Clear() = 0;
  virtual void Delete(int Index) = 0;
  virtual void Exchange(int Index1, int Index2);
  // A zero-terminated copy of GetTextStr, with room for four more units, all zero.
  virtual std::unique_ptr<wchar_t[]> GetText() const;
  // The first line equal to S with case ignored, in the list's locale; -1 when none is.
  virtual int IndexOf(const WideString& S) const;
  virtual void Insert(int Index, const WideString& S) = 0;
  virtual void LoadFromFile(const std::string& FileName);
  // A byte-order mark (FF FE little-endian, FE FF big-endian; without one little-endian), then
  // the text. An odd last byte is ignored.
  virtual void LoadFromStream(classlib::TStream* Stream);
  virtual void Move(int CurIndex, int NewIndex);
  virtual void SaveToFile(const std::string& FileName) const;
  // FF FE, then GetTextStr as UTF-16LE, no terminator.
  virtual void SaveToStream(classlib::TStream* Stream) const;
  virtual void SetText(const wchar_t* Text);

  // From another wide list (lines and objects), or from an ANSI TStrings, converted with the
  // system's ANSI code page.
  void Assign(classlib::TPersistent* Source) override;
  // "WideStrings": four upper-case hexadecimal digits per unit of GetTextStr.
  void DefineProperties(classlib::TFiler* Filer) override;

  void BeginUpdate();
  void EndUpdate();
  void InsertObject(int Index, const WideString& S, classlib::TObject* Object);
  // Same count and every line equal, case included.
  bool Equals(const TWideStrings* Strings) const;

 protected:
  // Called when the outermost update begins (true) and ends (false).
  virtual void SetUpdateState(bool Updating) {}
  int GetUpdateCount() const { return FUpdateCount; }

 private:
  template <class Body>
  void Updating(Body&& Run);
  void ReadData(classlib::TReader* Reader);
  void WriteData(classlib::TWriter* Writer) const;
  int FUpdateCount = 0;
  LCID FLocale;
};

}  // namespace richedit
