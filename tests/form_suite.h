// A fixture with one shown form for all the tests of a suite (a top-level window is slow to make
// under Wine); the controls a test puts on the form are freed after it.
#pragma once

#include <gtest/gtest.h>

#include "classlib/application.h"
#include "classlib/forms.h"
#include "tests/window_support.h"

namespace testsupport {

class FormSuite : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    classlib::Application->Initialize();
    ParkPointer();
    Form = classlib::New<classlib::TForm>(classlib::Application);
    Form->SetBounds(0, 0, 460, 360);
    Form->Show();
  }
  static void TearDownTestSuite() { classlib::FreeAndNil(Form); }
  void TearDown() override {
    while (Form->GetControlCount() > 0) classlib::Free(Form->GetControl(Form->GetControlCount() - 1));
    ParkPointer();
  }
  static inline classlib::TForm* Form = nullptr;
};

}  // namespace testsupport
