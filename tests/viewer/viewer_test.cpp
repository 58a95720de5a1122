// Fenlo's main window made in this process: its menu as a user reads it, and its start-up with
// the picture folder made, found, or impossible to make.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "classlib/application.h"
#include "classlib/files.h"
#include "tests/test_support.h"
#include "viewer/Unit1.h"

using namespace classlib;
using namespace fenlo;

namespace {

class MainWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    WorkingDir = GetCurrentDir();
    fenlo::testing::SetExeDir(Folder.Path());
  }
  void TearDown() override {
    Free(Form);
    SetCurrentDir(WorkingDir);
    fenlo::testing::SetExeDir("");
  }
  void Create() { Form = New<TForm1>(Application); }

  testsupport::TempDir Folder;
  std::string WorkingDir;
  TForm1* Form = nullptr;
};

TEST_F(MainWindow, MenuCaptionsInOrder) {
  Create();
  struct Expected {
    const char* Top;
    std::vector<std::string> Items;
  };
  const Expected menus[] = {{"Filer", {"Åben", "-", "Gem Som", "-", "EXIT"}},
                            {"Billedstørrelse", {"FULD", "TILPAS"}},
                            {"Editer", {"Kopier", "Sæt Ind"}},
                            {"About", {}}};
  TMenuItem* bar = Form->MainMenu1->GetItems();
  ASSERT_EQ(bar->GetCount(), int(std::size(menus)));
  for (int i = 0; i < bar->GetCount(); ++i) {
    EXPECT_EQ(bar->GetItem(i)->GetCaption(), menus[i].Top);
    std::vector<std::string> items;
    for (int j = 0; j < bar->GetItem(i)->GetCount(); ++j) items.push_back(bar->GetItem(i)->GetItem(j)->GetCaption());
    EXPECT_EQ(items, menus[i].Items) << menus[i].Top;
  }
  // The commands answer through the window's menu bar.
  HMENU handle = GetMenu(Form->GetHandle());
  ASSERT_NE(handle, nullptr);
  EXPECT_EQ(GetSubMenu(handle, 3), nullptr) << "About is a command of the bar";
  EXPECT_EQ(Form->GetCaption(), std::string(kStartVersion) + kPictureFileLabel);
}

TEST_F(MainWindow, StartUpPointsTheDialogsAndTheCurrentFolderAtBilleder) {
  for (bool existing : {false, true}) {
    SCOPED_TRACE(existing ? "folder there" : "folder made");
    if (existing) CreateDir(Folder.File("Billeder"));
    Create();
    const std::string pictures = Folder.Path() + "\\Billeder";
    EXPECT_TRUE(DirectoryExists(pictures));
    EXPECT_EQ(Form->PGOpenDialog1->GetInitialDir(), pictures);
    EXPECT_EQ(Form->PGSaveDialog1->GetInitialDir(), pictures);
    EXPECT_EQ(std::filesystem::equivalent(GetCurrentDir(), pictures), true);
    EXPECT_EQ(Form->PGOpenDialog1->GetFileName(), "");
    FreeAndNil(Form);
    SetCurrentDir(WorkingDir);
    std::filesystem::remove_all(pictures);
  }
}

TEST_F(MainWindow, AFolderThatCannotBeMadeIsReportedAndTheWindowStillComes) {
  // A file where the folder should be.
  std::ofstream(Folder.File("Billeder")) << "x";
  testsupport::MessageBoxRecorder boxes(IDOK);
  Create();
  ASSERT_EQ(boxes.Calls.size(), 1u);
  EXPECT_EQ(boxes.Calls[0].Text.rfind("I/O error ", 0), 0u) << boxes.Calls[0].Text;
  ASSERT_NE(Form, nullptr);
  EXPECT_NE(Form->GetHandle(), nullptr);
  EXPECT_EQ(Form->PGOpenDialog1->GetInitialDir(), "");
}

}  // namespace
