// The link schemes of the rich edit 2.0 control: each names a scheme ("http") and how its links
// look and which cursor they show. A word is a link of a scheme when it starts with the name and
// a colon and goes on after the colon. The first item also serves e-mail addresses, whatever its
// name.
#pragma once

#include <string>

#include "classlib/lists.h"
#include "classlib/types.h"

namespace richedit {

class TURLType : public classlib::TCollectionItem {
  CL_CLASS(TURLType)
  explicit TURLType(classlib::TCollection* Collection) : TCollectionItem(Collection) {}

  const std::string& GetName() const { return FName; }
  void SetName(const std::string& Value) { FName = Value; }
  // clWindowText: the control's URLColor.
  classlib::TColor GetColor() const { return FColor; }
  void SetColor(classlib::TColor Value) { FColor = Value; }
  // crDefault: the control's URLCursor.
  classlib::TCursor GetCursor() const { return FCursor; }
  void SetCursor(classlib::TCursor Value) { FCursor = Value; }
  bool GetUnderline() const { return FUnderline; }
  void SetUnderline(bool Value) { FUnderline = Value; }

  // All four from another scheme; any other source is ignored.
  void Assign(classlib::TPersistent* Source) override;
  std::string GetDisplayName() const override { return FName; }

 private:
  std::string FName;
  classlib::TColor FColor = classlib::clWindowText;
  classlib::TCursor FCursor = classlib::crDefault;
  bool FUnderline = true;
};

class TURLCollection : public classlib::TCollection {
  CL_CLASS(TURLCollection)
  // Owner: the control the schemes belong to.
  explicit TURLCollection(classlib::TPersistent* Owner);
  classlib::TPersistent* GetOwner() const override { return FOwner; }

  TURLType* Add() { return static_cast<TURLType*>(TCollection::Add()); }
  TURLType* GetItem(int Index) const { return static_cast<TURLType*>(TCollection::GetItem(Index)); }
  // Replaces the look of the scheme with exactly this name (case counts), or adds it at the end.
  void AddURL(const std::string& Name, classlib::TColor Color, bool Underline, classlib::TCursor Cursor);

 private:
  classlib::TPersistent* FOwner;
};

}  // namespace richedit
