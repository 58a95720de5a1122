// Modal forms and their buttons: a button's ModalResult ends the loop, Enter and Esc click the
// Default and Cancel buttons, the close box cancels, and the other windows are disabled meanwhile.
#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/buttons.h"
#include "classlib/edits.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/msgbox.h"

using namespace classlib;

namespace {
class Modal : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    Owner = New<TForm>(Application);
    Owner->Show();
    Dialog = New<TForm>(Application);
    Edit = New<TEdit>(Dialog);
    Edit->SetParent(Dialog);
    OK = New<TButton>(Dialog);
    OK->SetBounds(10, 40, 75, 25);
    OK->SetDefault(true);
    OK->SetModalResult(mrOk);
    OK->SetParent(Dialog);
    Cancel = New<TButton>(Dialog);
    Cancel->SetBounds(90, 40, 75, 25);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    Cancel->SetParent(Dialog);
    Dialog->SetActiveControl(Edit);
  }
  void TearDown() override {
    classlib::testing::SetModalFormHook(nullptr);
    FreeAndNil(Dialog);
    FreeAndNil(Owner);
  }
  TForm* Owner = nullptr;
  TForm* Dialog = nullptr;
  TEdit* Edit = nullptr;
  TButton* OK = nullptr;
  TButton* Cancel = nullptr;
};
}  // namespace

TEST_F(Modal, EndsAsTheUserAnswers) {
  struct {
    const char* How;
    UINT Msg;
    WPARAM Key;
    int Result;
  } cases[] = {
      {"Enter in the edit", WM_KEYDOWN, VK_RETURN, mrOk},
      {"Esc in the edit", WM_KEYDOWN, VK_ESCAPE, mrCancel},
      {"the close box", WM_CLOSE, 0, mrCancel},
      {"a click on OK", BM_CLICK, 0, mrOk},
  };
  for (auto& c : cases) {
    bool ownerDisabled = false, focused = false;
    int clicks = 0;
    OK->OnClick = [&](TObject*) { ++clicks; };
    classlib::testing::SetModalFormHook([&](TForm& Form) {
      ownerDisabled = !IsWindowEnabled(Owner->GetHandle());
      focused = GetFocus() == Edit->GetHandle();
      HWND target = c.Msg == WM_CLOSE ? Form.GetHandle() : c.Msg == BM_CLICK ? OK->GetHandle() : Edit->GetHandle();
      PostMessageA(target, c.Msg, c.Key, 0);
    });
    EXPECT_EQ(Dialog->ShowModal(), c.Result) << c.How;
    EXPECT_TRUE(ownerDisabled) << c.How;
    EXPECT_TRUE(focused) << c.How;
    EXPECT_EQ(clicks, c.Result == mrOk ? 1 : 0) << c.How;
    EXPECT_TRUE(IsWindowEnabled(Owner->GetHandle())) << c.How;
    EXPECT_FALSE(Dialog->GetVisible()) << c.How;
  }
}

TEST_F(Modal, VisibleFormCannotBeMadeModal) {
  Dialog->Show();
  EXPECT_THROW(Dialog->ShowModal(), EInvalidOperation);
  EXPECT_TRUE(IsWindowEnabled(Owner->GetHandle()));
}
