#include <gtest/gtest.h>

#include "classlib/msgbox.h"
#include "tests/test_support.h"

using namespace classlib;

TEST(MessageBoxHook, AnswersMessageDlgWithoutAWindow) {
  testsupport::MessageBoxRecorder boxes(IDCANCEL);
  EXPECT_EQ(MessageDlg("Save?", mtWarning, mbOK | mbCancel, 0), mrCancel);
  boxes.Answer = IDOK;
  EXPECT_EQ(MessageDlg("Fine", mtInformation, mbOK, 0), mrOk);
  ASSERT_EQ(boxes.Calls.size(), 2u);
  EXPECT_EQ(boxes.Calls[0].Kind, TMessageBoxKind::MessageDlg);
  EXPECT_EQ(boxes.Calls[0].Caption, "Warning");
  EXPECT_EQ(boxes.Calls[0].Text, "Save?");
  EXPECT_EQ(boxes.Calls[0].Flags, UINT(MB_OKCANCEL | MB_ICONWARNING));
  EXPECT_EQ(boxes.Calls[1].Caption, "Information");
  EXPECT_EQ(boxes.Calls[1].Flags, UINT(MB_OK | MB_ICONINFORMATION));
}

TEST(MessageBoxHook, ApplicationBoxesUseTheTitleForAnEmptyCaption) {
  testsupport::MessageBoxRecorder boxes(IDOK);
  SetApplicationTitle("Lumbrix");
  EXPECT_EQ(ApplicationMessageBox("JPG: text", "JPG Warning", 0x31), IDOK);
  ApplicationMessageBox("plain", "", MB_OK);
  ShowMessage("shown");
  ASSERT_EQ(boxes.Calls.size(), 3u);
  EXPECT_EQ(boxes.Calls[0].Caption, "JPG Warning");
  EXPECT_EQ(boxes.Calls[0].Flags, 0x31u);
  EXPECT_EQ(boxes.Calls[1].Caption, "Lumbrix");
  EXPECT_EQ(boxes.Calls[2].Kind, TMessageBoxKind::ShowMessage);
  EXPECT_EQ(boxes.Calls[2].Caption, "Lumbrix");
}
