// TMenuItem, TMenu and TMainMenu: a tree of items with captions, enabled and checked states and
// click events, built into a Win32 menu. A top-level item without children is a plain command of
// the menu bar. Each item has a command id of its own that the form's WM_COMMAND is dispatched by.
#pragma once

#include <string>
#include <vector>

#include "classlib/component.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TMenu;

// A key with its shift keys: the virtual-key code in the low byte, then these flags.
using TShortCut = WORD;
constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000;
constexpr TShortCut ShortCut(WORD Key, TShortCut Shift) { return TShortCut(Key | Shift); }
// "Ctrl+X" and the like; empty for 0.
std::string ShortCutToText(TShortCut Value);

class TMenuItem : public TComponent {
  CL_CLASS(TMenuItem)
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;
  // Leaves its parent and frees its own items.
  void BeforeDestruction() override;

  // "-" makes a separator; '&' marks the mnemonic.
  const std::string& GetCaption() const { return FCaption; }
  void SetCaption(const std::string& Value);
  bool GetEnabled() const { return FEnabled; }
  void SetEnabled(bool Value);
  bool GetChecked() const { return FChecked; }
  void SetChecked(bool Value);
  // The item shown in bold, chosen by a double click where a menu offers that.
  bool GetDefault() const { return FDefault; }
  void SetDefault(bool Value);

  // Shown after the caption; the form's key handling clicks the item for it.
  TShortCut GetShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut Value);
  // The caption with the short-cut's text after a tab, as the menu shows it.
  std::string MenuText() const;

  int GetCount() const { return int(FItems.size()); }
  TMenuItem* GetItem(int Index) const;
  TMenuItem* operator[](int Index) const { return GetItem(Index); }
  void Add(TMenuItem* Item) { Insert(GetCount(), Item); }
  void Insert(int Index, TMenuItem* Item);
  // Takes the item out of this one without freeing it.
  void Delete(int Index);
  void Remove(TMenuItem* Item);
  int IndexOf(TMenuItem* Item) const;
  TMenuItem* GetParent() const { return FParent; }

  WORD GetCommand() const { return FCommand; }
  // The submenu of an item with children, once the menu is built.
  HMENU GetHandle() const { return FHandle; }
  // OnClick, unless the item is disabled.
  virtual void Click();

  TNotifyEvent OnClick;

 private:
  friend class TMenu;
  TMenu* RootMenu() const;
  void PropertyChanged();
  UINT StateFlags() const;
  std::string FCaption;
  TShortCut FShortCut = 0;
  bool FEnabled = true;
  bool FChecked = false;
  bool FDefault = false;
  std::vector<TMenuItem*> FItems;
  TMenuItem* FParent = nullptr;
  TMenu* FMenu = nullptr;  // set on the root item of a menu
  WORD FCommand = 0;
  HMENU FHandle = nullptr;
};

class TMenu : public TComponent {
  CL_CLASS(TMenu)
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  void BeforeDestruction() override;

  // The root item: its items are the menu's top level.
  TMenuItem* GetItems() const { return FItems; }
  // Builds the Win32 menu on first need.
  HMENU GetHandle();
  // Clicks the item with this command id; false when it is not one of this menu's.
  bool DispatchCommand(WORD Command);
  // Clicks the item whose submenu is about to open; false when there is none.
  bool DispatchPopup(HMENU Submenu);
  TMenuItem* FindItem(WORD Command) const;
  // Clicks the enabled item (in an enabled submenu) with this short-cut; false when none has it.
  bool IsShortCut(TShortCut Key);

 protected:
  friend class TMenuItem;
  virtual HMENU CreateMenuHandle() { return CreatePopupMenu(); }
  // The structure changed: build again.
  virtual void Rebuild();
  // A state or caption changed in place.
  virtual void ItemChanged(TMenuItem*) {}
  void Build(HMENU Menu, TMenuItem* Parent);
  void DestroyMenuHandle();
  HMENU FHandle = nullptr;

 private:
  TMenuItem* FItems;
};

// A menu that pops up at a screen point; the chosen item is clicked.
class TPopupMenu : public TMenu {
  CL_CLASS(TPopupMenu)
  explicit TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}
  // Returns when the menu closes.
  void Popup(int X, int Y);
};

class TMainMenu : public TMenu {
  CL_CLASS(TMainMenu)
  explicit TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}
  // The form window that shows the menu bar (set by TForm).
  void SetWindow(HWND Window) { FWindow = Window; }
  HWND GetWindow() const { return FWindow; }

 protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void Rebuild() override;
  void ItemChanged(TMenuItem*) override;

 private:
  HWND FWindow = nullptr;
};

}  // namespace classlib
