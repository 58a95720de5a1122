// Menus on a form: command dispatch by id, plain top-level commands, popups reporting their
// opening, state changes in place and rebuilding after structural changes.
#include <gtest/gtest.h>

#include <set>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "classlib/menus.h"

using namespace classlib;

namespace {
class Menus : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Form = New<TForm>(Application);
    Menu = New<TMainMenu>(Form);
    File = Item("&Filer");
    Open = Item("&Hente billede");
    Separator = Item("-");
    Exit = Item("&Afslut");
    Command = Item("Gråtoner");
    File->Add(Open);
    File->Add(Separator);
    File->Add(Exit);
    Menu->GetItems()->Add(File);
    Menu->GetItems()->Add(Command);
    Form->SetMenu(Menu);
    Form->Show();
    Bar = GetMenu(Form->GetHandle());
  }
  void TearDown() override { Free(Form); }
  TMenuItem* Item(const char* Caption) {
    TMenuItem* item = New<TMenuItem>(Form);
    item->SetCaption(Caption);
    item->OnClick = [this, item](TObject* sender) {
      EXPECT_EQ(sender, item);
      Clicked.push_back(item);
    };
    return item;
  }
  void Send(TMenuItem* I) { SendMessageA(Form->GetHandle(), WM_COMMAND, I->GetCommand(), 0); }
  TForm* Form = nullptr;
  TMainMenu* Menu = nullptr;
  TMenuItem *File, *Open, *Separator, *Exit, *Command;
  HMENU Bar = nullptr;
  std::vector<TMenuItem*> Clicked;
};
}  // namespace

TEST_F(Menus, WmCommandWithAnItemsIdClicksIt) {
  ASSERT_EQ(Bar, Menu->GetHandle());
  Send(Exit);
  Send(Command);
  SendMessageA(Form->GetHandle(), WM_COMMAND, MAKEWPARAM(Open->GetCommand(), 1), 0);  // accelerator
  EXPECT_EQ(Clicked, (std::vector<TMenuItem*>{Exit, Command, Open}));
  Send(File);
  EXPECT_EQ(Clicked.size(), 3u) << "an item with a submenu is no command";
  std::set<WORD> ids{Open->GetCommand(), Exit->GetCommand(), Command->GetCommand(), File->GetCommand()};
  EXPECT_EQ(ids.size(), 4u);
}

TEST_F(Menus, TopLevelItemsWithoutChildrenArePlainCommandsOfTheBar) {
  ASSERT_EQ(GetMenuItemCount(Bar), 2);
  HMENU popup = GetSubMenu(Bar, 0);
  ASSERT_NE(popup, nullptr);
  EXPECT_EQ(popup, File->GetHandle());
  EXPECT_EQ(GetSubMenu(Bar, 1), nullptr);
  EXPECT_EQ(GetMenuItemID(Bar, 1), Command->GetCommand());
  EXPECT_EQ(GetMenuItemCount(popup), 3);
  EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
  char text[32] = {};
  GetMenuStringA(Bar, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_EQ(std::string(text), "Gr\xE5toner");
}

TEST_F(Menus, OpeningASubmenuClicksItsItem) {
  SendMessageA(Form->GetHandle(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(File->GetHandle()), 0);
  EXPECT_EQ(Clicked, (std::vector<TMenuItem*>{File}));
}

TEST_F(Menus, StateAndCaptionChangeInPlaceStructureRebuilds) {
  HMENU popup = File->GetHandle();
  Exit->SetEnabled(false);
  Command->SetEnabled(false);
  Open->SetChecked(true);
  EXPECT_TRUE(GetMenuState(popup, 2, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(Bar, 1, MF_BYPOSITION) & MF_GRAYED);
  EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_CHECKED);
  Exit->SetCaption("&Slut");
  char text[32] = {};
  GetMenuStringA(popup, 2, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Slut");
  EXPECT_EQ(File->GetHandle(), popup) << "changed in place, the submenu is the same";

  TMenuItem* help = Item("Hjælp");
  Menu->GetItems()->Add(help);
  HMENU bar = GetMenu(Form->GetHandle());
  EXPECT_EQ(bar, Menu->GetHandle());
  EXPECT_EQ(GetMenuItemCount(bar), 3);
  EXPECT_TRUE(GetMenuState(GetSubMenu(bar, 0), 2, MF_BYPOSITION) & MF_GRAYED) << "states survive a rebuild";
  Free(help);
  EXPECT_EQ(GetMenuItemCount(GetMenu(Form->GetHandle())), 2) << "a freed item leaves the menu";
  Send(Exit);
  EXPECT_TRUE(Clicked.empty()) << "a disabled item does not click";
  Exit->SetEnabled(true);
  Send(Exit);
  EXPECT_EQ(Clicked, (std::vector<TMenuItem*>{Exit}));
}
