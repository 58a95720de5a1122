// The application and its forms: creation order and the main form, OnCreate failures, the loop
// ending through the main form's close box, forms freed last to first; closing other forms,
// centring, and the screen's list of forms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/screen.h"
#include "tests/test_support.h"

using namespace classlib;

namespace {
std::vector<std::string> gLog;

class TFirstForm : public TForm {
 public:
  explicit TFirstForm(TComponent* AOwner);
};
TFirstForm* FirstForm = nullptr;

TFirstForm::TFirstForm(TComponent* AOwner) : TForm(AOwner) {
  OnCreate = [this](TObject*) {
    gLog.push_back(FirstForm == this ? "create first, reference set" : "create first");
    throw EInvalidOperation("No settings");
  };
  OnDestroy = [](TObject*) { gLog.push_back("destroy first"); };
}

class TSecondForm : public TForm {
 public:
  explicit TSecondForm(TComponent* AOwner) : TForm(AOwner) {
    OnCreate = [](TObject*) { gLog.push_back("create second"); };
    OnDestroy = [](TObject*) { gLog.push_back("destroy second"); };
  }
};
TSecondForm* SecondForm = nullptr;
}  // namespace

TEST(TApplication, RunsUntilTheMainFormClosesThenFreesTheFormsLastToFirst) {
  Application->Initialize();
  testsupport::MessageBoxRecorder boxes(IDOK);
  Application->CreateForm(FirstForm);
  Application->CreateForm(SecondForm);
  ASSERT_NE(FirstForm, nullptr);
  EXPECT_EQ(Application->GetMainForm(), FirstForm);
  ASSERT_EQ(boxes.Calls.size(), 1u) << "the OnCreate failure is reported";
  EXPECT_EQ(boxes.Calls[0].Text, "No settings.");
  EXPECT_EQ(boxes.Calls[0].Kind, TMessageBoxKind::Exception);
  EXPECT_FALSE(FirstForm->GetVisible());
  EXPECT_EQ(Screen->GetFormCount(), 2);

  PostMessageA(FirstForm->GetHandle(), WM_CLOSE, 0, 0);
  Application->Run();  // shows the main form, handles the close box, ends
  EXPECT_TRUE(Application->GetTerminated());
  EXPECT_EQ(gLog, (std::vector<std::string>{"create first, reference set", "create second", "destroy second",
                                            "destroy first"}));
  EXPECT_EQ(Application->GetComponentCount(), 0);
  EXPECT_EQ(Screen->GetFormCount(), 0);
}

TEST(TForm, OtherFormsHideOnCloseUnlessOnCloseSaysNo) {
  Application->Initialize();
  TOwned<TForm> form(New<TForm>(Application));
  form->Show();
  ASSERT_TRUE(IsWindowVisible(form->GetHandle()));
  TCloseAction answer = caNone;
  int asked = 0;
  form->OnClose = [&](TObject*, TCloseAction& action) {
    ++asked;
    EXPECT_EQ(action, caHide);
    action = answer;
  };
  SendMessageA(form->GetHandle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindowVisible(form->GetHandle()));
  answer = caHide;
  SendMessageA(form->GetHandle(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(form->GetHandle()));
  EXPECT_FALSE(form->GetVisible());
  EXPECT_EQ(asked, 2);
  MSG quit;
  EXPECT_FALSE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "only the main form ends the program";
}

TEST(TForm, CentresItsOuterSizeAtTheFirstShowAndKeepsCaptionAndBorder) {
  Application->Initialize();
  TOwned<TForm> form(New<TForm>(Application));
  form->SetBounds(0, 0, 874, 603);
  form->SetPosition(poScreenCenter);
  form->SetCaption("Tegneværktøj");
  form->Show();
  RECT r{};
  GetWindowRect(form->GetHandle(), &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 874) / 2);
  EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 603) / 2);
  EXPECT_EQ(r.right - r.left, 874);
  EXPECT_EQ(form->GetLeft(), r.left);
  char caption[32] = {};
  GetWindowTextA(form->GetHandle(), caption, sizeof caption);
  EXPECT_EQ(testsupport::Escaped(caption), "Tegnev\\xE6rkt\\xF8j");
  EXPECT_TRUE(GetWindowLongA(form->GetHandle(), GWL_STYLE) & WS_THICKFRAME);
  char name[32] = {};
  GetClassNameA(form->GetHandle(), name, sizeof name);
  EXPECT_STREQ(name, "TForm");
  // The client area before and after the window exists agree.
  TOwned<TForm> other(New<TForm>(Application));
  other->SetBounds(0, 0, 300, 200);
  TRect before = other->GetClientRect();
  other->HandleNeeded();
  EXPECT_EQ(other->GetClientRect(), before);
}

TEST(TApplication, ForgetsAMainFormThatIsFreedBeforeRunEnds) {
  Application->Initialize();
  TForm* form = nullptr;
  Application->CreateForm(form);
  ASSERT_EQ(Application->GetMainForm(), form);
  Free(form);
  EXPECT_EQ(Application->GetMainForm(), nullptr);
  TForm* next = nullptr;
  Application->CreateForm(next);
  EXPECT_EQ(Application->GetMainForm(), next) << "the next form made is the main form";
  Free(next);
}
