#include "classlib/menus.h"

#include <map>

#include "classlib/exceptions.h"
#include "classlib/text.h"
#include "classlib/utilitywindow.h"

namespace classlib {

namespace {
// Command ids of the live items, unique in the program (WM_COMMAND carries 16 bits).
std::map<WORD, TMenuItem*>& Commands() {
  static auto* commands = new std::map<WORD, TMenuItem*>;
  return *commands;
}

WORD AllocateCommand(TMenuItem* Item) {
  static WORD next = 0;
  auto& commands = Commands();
  if (commands.size() >= 0xFFFE) throw EOutOfResources("Out of system resources");
  do {
    if (++next == 0) next = 1;
  } while (commands.count(next));
  commands[next] = Item;
  return next;
}
}  // namespace

std::string ShortCutToText(TShortCut Value) {
  if (!Value) return "";
  std::string text;
  if (Value & scCtrl) text += "Ctrl+";
  if (Value & scShift) text += "Shift+";
  if (Value & scAlt) text += "Alt+";
  UINT key = Value & 0xFF;
  if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
    text += char(key);
  else if (key >= VK_F1 && key <= VK_F12)
    text += "F" + IntToStr(int(key - VK_F1 + 1));
  else
    text += Format("#%d", int(key));
  return text;
}

// ---- TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand(this)) {}

TMenuItem::~TMenuItem() { Commands().erase(FCommand); }

void TMenuItem::BeforeDestruction() {
  if (FParent) FParent->Remove(this);
  while (!FItems.empty()) {
    TMenuItem* item = FItems.back();
    FItems.pop_back();
    item->FParent = nullptr;
    Free(item);
  }
  TComponent::BeforeDestruction();
}

TMenuItem* TMenuItem::GetItem(int Index) const {
  if (Index < 0 || Index >= GetCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  return FItems[size_t(Index)];
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
  if (!Item) return;
  if (Item->FParent) throw EInvalidOperation("Menu inserted twice");
  if (Index < 0 || Index > GetCount()) throw EListError(Format("List index out of bounds (%d)", Index));
  FItems.insert(FItems.begin() + Index, Item);
  Item->FParent = this;
  if (TMenu* menu = RootMenu()) menu->Rebuild();
}

void TMenuItem::Delete(int Index) {
  TMenuItem* item = GetItem(Index);
  FItems.erase(FItems.begin() + Index);
  item->FParent = nullptr;
  item->FHandle = nullptr;
  if (TMenu* menu = RootMenu()) menu->Rebuild();
}

void TMenuItem::Remove(TMenuItem* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
}

int TMenuItem::IndexOf(TMenuItem* Item) const {
  for (size_t i = 0; i < FItems.size(); ++i)
    if (FItems[i] == Item) return int(i);
  return -1;
}

TMenu* TMenuItem::RootMenu() const {
  const TMenuItem* item = this;
  while (item->FParent) item = item->FParent;
  return item->FMenu;
}

void TMenuItem::SetCaption(const std::string& Value) {
  if (Value == FCaption) return;
  bool separator = FCaption == "-" || Value == "-";
  FCaption = Value;
  if (TMenu* menu = RootMenu()) {
    if (separator)
      menu->Rebuild();
    else
      menu->ItemChanged(this);
  }
}

void TMenuItem::SetShortCut(TShortCut Value) {
  if (Value == FShortCut) return;
  FShortCut = Value;
  if (TMenu* menu = RootMenu()) menu->ItemChanged(this);
}

std::string TMenuItem::MenuText() const {
  return FShortCut ? FCaption + "\t" + ShortCutToText(FShortCut) : FCaption;
}

void TMenuItem::SetEnabled(bool Value) {
  if (Value == FEnabled) return;
  FEnabled = Value;
  PropertyChanged();
}

void TMenuItem::SetChecked(bool Value) {
  if (Value == FChecked) return;
  FChecked = Value;
  PropertyChanged();
}

void TMenuItem::SetDefault(bool Value) {
  if (Value == FDefault) return;
  FDefault = Value;
  PropertyChanged();
}

void TMenuItem::PropertyChanged() {
  if (TMenu* menu = RootMenu()) menu->ItemChanged(this);
}

UINT TMenuItem::StateFlags() const { return (FEnabled ? MF_ENABLED : MF_GRAYED) | (FChecked ? MF_CHECKED : 0); }

void TMenuItem::Click() {
  if (FEnabled && OnClick) OnClick(this);
}

// ---- TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() = default;

void TMenu::BeforeDestruction() {
  DestroyMenuHandle();
  TMenuItem* items = FItems;
  FItems = nullptr;
  items->FMenu = nullptr;
  Free(items);
  TComponent::BeforeDestruction();
}

HMENU TMenu::GetHandle() {
  if (!FHandle) {
    FHandle = CreateMenuHandle();
    if (!FHandle) throw EOutOfResources("Out of system resources");
    Build(FHandle, FItems);
  }
  return FHandle;
}

void TMenu::Build(HMENU Menu, TMenuItem* Parent) {
  for (TMenuItem* item : Parent->FItems) {
    if (item->FCaption == "-") {
      AppendMenuA(Menu, MF_SEPARATOR, 0, nullptr);
    } else if (!item->FItems.empty()) {
      item->FHandle = CreatePopupMenu();
      Build(item->FHandle, item);
      AppendMenuA(Menu, MF_POPUP | item->StateFlags(), reinterpret_cast<UINT_PTR>(item->FHandle),
                  item->FCaption.c_str());
    } else {
      item->FHandle = nullptr;
      AppendMenuA(Menu, MF_STRING | item->StateFlags(), item->FCommand, item->MenuText().c_str());
    }
    if (item->FDefault) SetMenuDefaultItem(Menu, UINT(GetMenuItemCount(Menu) - 1), TRUE);
  }
}

void TMenu::DestroyMenuHandle() {
  if (FHandle) DestroyMenu(FHandle);  // takes the submenus with it
  FHandle = nullptr;
}

void TMenu::Rebuild() {
  if (FHandle) {
    DestroyMenuHandle();
    GetHandle();
  }
}

TMenuItem* TMenu::FindItem(WORD Command) const {
  auto found = Commands().find(Command);
  if (found == Commands().end() || found->second->RootMenu() != this) return nullptr;
  return found->second;
}

bool TMenu::IsShortCut(TShortCut Key) {
  std::vector<TMenuItem*> pending(FItems->FItems.rbegin(), FItems->FItems.rend());
  while (!pending.empty()) {
    TMenuItem* item = pending.back();
    pending.pop_back();
    if (!item->FEnabled) continue;
    if (item->FItems.empty()) {
      if (item->FShortCut == Key) {
        item->Click();
        return true;
      }
    } else {
      pending.insert(pending.end(), item->FItems.rbegin(), item->FItems.rend());
    }
  }
  return false;
}

bool TMenu::DispatchCommand(WORD Command) {
  TMenuItem* item = FindItem(Command);
  if (!item || !item->FItems.empty()) return false;
  item->Click();
  return true;
}

void TPopupMenu::Popup(int X, int Y) {
  // The menu needs a window of this thread to report to; the command comes back as the result.
  HWND owner = GetActiveWindow();
  if (!owner) owner = UtilityWindow();
  UINT command = UINT(TrackPopupMenu(GetHandle(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, X, Y, 0, owner,
                                     nullptr));
  if (command) DispatchCommand(WORD(command));
}

bool TMenu::DispatchPopup(HMENU Submenu) {
  std::vector<TMenuItem*> pending{FItems};
  while (!pending.empty()) {
    TMenuItem* item = pending.back();
    pending.pop_back();
    if (item != FItems && item->FHandle == Submenu) {
      item->Click();
      return true;
    }
    pending.insert(pending.end(), item->FItems.begin(), item->FItems.end());
  }
  return false;
}

// ---- TMainMenu

void TMainMenu::Rebuild() {
  if (!FHandle) return;
  HMENU old = FHandle;
  FHandle = nullptr;
  GetHandle();
  if (FWindow) ::SetMenu(FWindow, FHandle);
  DestroyMenu(old);
}

void TMainMenu::ItemChanged(TMenuItem* Item) {
  if (!FHandle || !Item->GetParent()) return;
  TMenuItem* parent = Item->GetParent();
  HMENU menu = parent->GetParent() ? parent->GetHandle() : FHandle;
  if (!menu) return;
  // In place, so that a menu that is open while its OnClick runs keeps its submenus.
  std::string caption = Item->MenuText();
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STATE | MIIM_STRING;
  info.fState = (Item->GetEnabled() ? MFS_ENABLED : MFS_GRAYED) | (Item->GetChecked() ? MFS_CHECKED : 0) |
                (Item->GetDefault() ? MFS_DEFAULT : 0);
  info.dwTypeData = caption.data();
  SetMenuItemInfoA(menu, UINT(parent->IndexOf(Item)), TRUE, &info);
  if (FWindow) DrawMenuBar(FWindow);
}

}  // namespace classlib
