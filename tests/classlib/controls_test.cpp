// The control framework under Wine: alignment, mouse routing to windowless children with
// capture, painting of windowless children by their parent, and the exception boundary of the
// window procedure.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/application.h"
#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/images.h"
#include "classlib/panels.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

using namespace classlib;
using testsupport::PointParam;

namespace {

class TSpyPanel : public TPanel {
 public:
  using TPanel::TPanel;
  void SetBounds(int L, int T, int W, int H) override {
    ++SetBoundsCalls;
    TPanel::SetBounds(L, T, W, H);
  }
  int SetBoundsCalls = 0;
};

// A windowless control that fills itself red and records what reaches it.
class TSpyGraphic : public TGraphicControl {
 public:
  using TGraphicControl::TGraphicControl;
  std::vector<std::string> Events;

 protected:
  void Paint() override {
    GetCanvas()->GetBrush()->SetColor(clRed);
    GetCanvas()->FillRect(Rect(-50, -50, 500, 500));  // clipped to the control
  }
};

class Controls : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    testsupport::ParkPointer();
    Form = New<TForm>(Application);
    Form->SetBounds(100, 100, 400, 300);
  }
  void TearDown() override {
    Application->OnException = nullptr;
    Free(Form);
  }
  TPanel* AddPanel(TAlign Align, int Height, bool Visible = true) {
    TPanel* p = New<TPanel>(Form);
    p->SetAlign(Align);
    p->SetHeight(Height);
    p->SetVisible(Visible);
    p->SetParent(Form);
    return p;
  }
  TRect ClientRect() { return Form->GetClientRect(); }
  TForm* Form = nullptr;
};

}  // namespace

TEST_F(Controls, AlignsTopBottomAndClientInInsertionOrder) {
  TPanel* top1 = AddPanel(alTop, 30);
  TPanel* top2 = AddPanel(alTop, 20, false);
  TPanel* top3 = AddPanel(alTop, 10);
  TPanel* client = AddPanel(alClient, 5);
  TPanel* bottom = AddPanel(alBottom, 19);
  Form->Show();
  TRect c = ClientRect();
  EXPECT_EQ(top1->GetBoundsRect(), Rect(0, 0, c.Right, 30));
  EXPECT_EQ(top3->GetBoundsRect(), Rect(0, 30, c.Right, 40)) << "the hidden panel takes no room";
  EXPECT_EQ(bottom->GetBoundsRect(), Rect(0, c.Bottom - 19, c.Right, c.Bottom));
  EXPECT_EQ(client->GetBoundsRect(), Rect(0, 40, c.Right, c.Bottom - 19));
  // The window agrees with the stored bounds.
  RECT r = testsupport::WindowRectIn(client->GetHandle(), Form->GetHandle());
  EXPECT_EQ(r.top, 40);
  EXPECT_EQ(r.bottom, c.Bottom - 19);

  top2->Show();
  EXPECT_EQ(top2->GetBoundsRect(), Rect(0, 30, c.Right, 50)) << "shown again, it is back in the middle";
  EXPECT_EQ(top3->GetTop(), 50);
  EXPECT_EQ(client->GetTop(), 60);

  Form->SetBounds(100, 100, 500, 400);
  TRect bigger = ClientRect();
  EXPECT_GT(bigger.Right, c.Right);
  EXPECT_EQ(top1->GetWidth(), bigger.Right);
  EXPECT_EQ(bottom->GetTop(), bigger.Bottom - 19);
  EXPECT_EQ(client->GetHeight(), bigger.Bottom - 19 - 60);
}

TEST_F(Controls, AnAlignedChildIsPutBackThroughItsOwnSetBounds) {
  auto* spy = New<TSpyPanel>(Form);
  spy->SetAlign(alClient);
  spy->SetParent(Form);
  Form->Show();
  TRect full = spy->GetBoundsRect();
  EXPECT_EQ(full, ClientRect());
  spy->SetBoundsCalls = 0;
  spy->SetBounds(10, 10, 5, 5);
  EXPECT_EQ(spy->GetBoundsRect(), full);
  EXPECT_EQ(spy->SetBoundsCalls, 2) << "its own call, then the layout's";
}

TEST_F(Controls, AWindowlessChildGetsTheMouseInItsOwnCoordinatesWithCapture) {
  TPanel* panel = AddPanel(alClient, 0);
  auto* spy = New<TSpyGraphic>(Form);
  spy->SetBounds(50, 40, 30, 20);
  spy->SetParent(panel);
  std::vector<std::string>& log = spy->Events;
  HWND parent = panel->GetHandle();
  spy->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState s, int x, int y) {
    log.push_back("down " + std::to_string(b) + (s & ssDouble ? " double " : " ") + std::to_string(x) + "," +
                  std::to_string(y) + (GetCapture() == parent ? " captured" : ""));
  };
  spy->OnMouseMove = [&](TObject*, TShiftState, int x, int y) {
    log.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  };
  spy->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int x, int y) {
    log.push_back("up " + std::to_string(x) + "," + std::to_string(y) + (GetCapture() ? " captured" : ""));
  };
  spy->OnClick = [&](TObject*) { log.push_back(std::string("click") + (GetCapture() ? " captured" : "")); };
  spy->OnDblClick = [&](TObject*) { log.push_back("dblclick"); };
  Form->Show();

  testsupport::MouseDown(parent, 55, 45);
  EXPECT_EQ(GetCapture(), parent);
  EXPECT_EQ(panel->GetCaptureControl(), spy);
  testsupport::MouseMove(parent, 30, 35);  // outside the child, still its message
  testsupport::MouseUp(parent, 60, 50);
  EXPECT_EQ(GetCapture(), nullptr);
  testsupport::MouseDown(parent, 52, 42, WM_LBUTTONDBLCLK);
  testsupport::MouseUp(parent, 200, 200);  // released outside: no click
  testsupport::MouseDown(parent, 70, 55, WM_RBUTTONDOWN, MK_RBUTTON);
  EXPECT_EQ(GetCapture(), nullptr) << "the right button takes no capture";
  testsupport::MouseUp(parent, 70, 55, WM_RBUTTONUP);
  testsupport::MouseMove(parent, 10, 10, 0);  // over the panel itself
  EXPECT_EQ(log, (std::vector<std::string>{"down 0 5,5 captured", "move -20,-5", "click", "up 10,10",
                                           "dblclick", "down 0 double 2,2 captured", "up 150,160",
                                           "down 1 20,15", "up 20,15"}));
}

TEST_F(Controls, TheParentPaintsItsWindowlessChildClippedToItsBounds) {
  TPanel* panel = AddPanel(alClient, 0);
  panel->SetBevelOuter(bvNone);
  auto* spy = New<TSpyGraphic>(Form);
  spy->SetBounds(20, 10, 30, 15);
  spy->SetParent(panel);
  Form->Show();
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 100, 60);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  COLORREF face = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(GetPixel(dc, 20, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 49, 24), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 50, 24), face);
  EXPECT_EQ(GetPixel(dc, 19, 10), face);
  EXPECT_EQ(GetPixel(dc, 20, 25), face);
  spy->Hide();
  panel->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  EXPECT_EQ(GetPixel(dc, 30, 15), face) << "hidden children are not painted";
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
}

TEST_F(Controls, AWindowedControlCapturesOnItselfForTheLeftButton) {
  TImage* image = New<TImage>(Form);
  image->SetBounds(10, 10, 100, 100);
  image->SetParent(Form);
  std::vector<TPoint> moves;
  image->OnMouseMove = [&](TObject*, TShiftState, int x, int y) { moves.push_back(Point(x, y)); };
  Form->Show();
  HWND h = image->GetHandle();
  testsupport::MouseDown(h, 5, 5);
  EXPECT_EQ(GetCapture(), h);
  testsupport::MouseMove(h, -300, 70000 - 65536);  // a signed 16-bit y of 4464, x of -300
  testsupport::MouseUp(h, 5, 5);
  EXPECT_EQ(GetCapture(), nullptr);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0], Point(-300, 4464));
}

TEST_F(Controls, ExceptionsInHandlersGoToTheApplicationAndTheWindowGoesOn) {
  TPanel* panel = AddPanel(alClient, 0);
  int clicks = 0;
  panel->OnClick = [&](TObject*) {
    if (++clicks == 1) throw EInvalidOperation("Kaput");
    throw std::runtime_error("plain failure.");
  };
  Form->Show();
  {
    testsupport::MessageBoxRecorder boxes(IDOK);
    testsupport::Click(panel->GetHandle());
    testsupport::Click(panel->GetHandle());
    ASSERT_EQ(boxes.Calls.size(), 2u);
    EXPECT_EQ(boxes.Calls[0].Kind, TMessageBoxKind::Exception);
    EXPECT_EQ(boxes.Calls[0].Text, "Kaput.");
    EXPECT_EQ(boxes.Calls[0].Caption, Application->GetTitle());
    EXPECT_EQ(boxes.Calls[0].Flags, UINT(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(boxes.Calls[1].Text, "plain failure.");
  }
  EXPECT_EQ(clicks, 2);
  EXPECT_EQ(GetCapture(), nullptr) << "the capture went before the handler ran";

  TObject* sender = nullptr;
  std::string text;
  Application->OnException = [&](TObject* s, std::exception_ptr e) {
    sender = s;
    text = ExceptionText(e);
  };
  testsupport::Click(panel->GetHandle());
  EXPECT_EQ(sender, panel);
  EXPECT_EQ(text, "plain failure.");
}

TEST_F(Controls, ChildWindowsNeedAParentAndExistOnlyWithTheirForm) {
  TPanel* orphan = New<TPanel>(Form);
  orphan->SetName("Orphan");
  try {
    orphan->GetHandle();
    FAIL();
  } catch (const EInvalidOperation& e) {
    EXPECT_EQ(e.Message(), "Control 'Orphan' has no parent window");
  }
  TPanel* child = AddPanel(alNone, 10);
  EXPECT_FALSE(child->HandleAllocated()) << "setters only store before the form has a window";
  child->SetBounds(7, 8, 20, 10);
  Form->Show();
  ASSERT_TRUE(child->HandleAllocated());
  EXPECT_EQ(TWinControl::FindControl(child->GetHandle()), child);
  char name[32] = {};
  GetClassNameA(child->GetHandle(), name, sizeof name);
  EXPECT_STREQ(name, "TPanel");
  RECT r = testsupport::WindowRectIn(child->GetHandle(), Form->GetHandle());
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 8);
  HWND h = child->GetHandle();
  Form->DestroyHandle();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(child->HandleAllocated());
}

TEST_F(Controls, ACanvasDCTakenInAMessageIsReleasedWhenTheMessageIsDone) {
  TPanel* panel = AddPanel(alClient, 0);
  panel->SetBevelOuter(bvNone);
  auto* spy = New<TSpyGraphic>(Form);
  spy->SetBounds(20, 10, 30, 15);
  spy->SetParent(panel);
  Form->Show();
  int heldInside = -1;
  spy->OnClick = [&](TObject*) {
    spy->GetCanvas()->GetBrush()->SetColor(clBlue);
    spy->GetCanvas()->FillRect(Rect(0, 0, 4, 4));  // drawn outside WM_PAINT, on the parent's DC
    heldInside = TControlCanvas::HeldDCCount();
  };
  testsupport::Click(panel->GetHandle(), 22, 12);
  EXPECT_EQ(heldInside, 1);
  EXPECT_EQ(TControlCanvas::HeldDCCount(), 0);
  EXPECT_FALSE(spy->GetCanvas()->HandleAllocated());
  HDC dc = GetDC(panel->GetHandle());
  EXPECT_EQ(GetPixel(dc, 21, 11), RGB(0, 0, 255)) << "logical (0, 0) is the child's corner";
  ReleaseDC(panel->GetHandle(), dc);
}
