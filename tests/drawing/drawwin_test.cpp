// The drawing window under Wine: mouse messages go to the picture control, and the picture's
// pixels are compared with a reference drawn with plain GDI calls from the figures the window
// must leave (grid dots at the lattice points with an even column plus row, rubber bands in
// R2_NOTXORPEN, finished lines in R2_COPYPEN).
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "classlib/application.h"
#include "classlib/hints.h"
#include "classlib/testing.h"
#include "drawing/DrawWin.h"
#include "tests/test_support.h"
#include "tests/window_support.h"

using namespace classlib;
using namespace skadra;
using testsupport::Click;

namespace {

constexpr int kW = 780, kH = 1200;

// A white 24-bit bottom-up section of the picture's size with plain GDI drawing on it.
class TReference {
 public:
  TReference() {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kW;
    info.bmiHeader.biHeight = kH;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    FSection = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
    FRow = (kW * 3 + 3) / 4 * 4;
    std::memset(FBits, 0xFF, size_t(FRow) * kH);
    FDC = CreateCompatibleDC(nullptr);
    FOld = SelectObject(FDC, FSection);
    SelectObject(FDC, GetStockObject(BLACK_PEN));
    SelectObject(FDC, GetStockObject(WHITE_BRUSH));
  }
  ~TReference() {
    SelectObject(FDC, FOld);
    DeleteDC(FDC);
    DeleteObject(FSection);
  }
  // The dots of grid size G: x = 40 + 17G k, y = 20 + 10G m with k + m even.
  void Grid(int G, int Rop = R2_COPYPEN) {
    SetROP2(FDC, Rop);
    for (int m = 0; 20 + 10 * G * m <= kH + 1; ++m)
      for (int k = m % 2; 40 + 17 * G * k <= kW + 1; k += 2) {
        int x = 40 + 17 * G * k, y = 20 + 10 * G * m;
        ::Ellipse(FDC, x - 1, y + 1, x + 1, y - 1);
      }
  }
  void Line(TPoint A, TPoint B, int Rop) {
    SetROP2(FDC, Rop);
    MoveToEx(FDC, A.X, A.Y, nullptr);
    ::LineTo(FDC, B.X, B.Y);
  }
  void Rectangle(TPoint A, TPoint B, int Rop) {
    SetROP2(FDC, Rop);
    ::Rectangle(FDC, A.X, A.Y, B.X, B.Y);
  }
  void Ellipse(TPoint A, TPoint B, int Rop) {
    SetROP2(FDC, Rop);
    ::Ellipse(FDC, A.X, A.Y, B.X, B.Y);
  }
  void RoundRect(TPoint A, TPoint B, int W, int H, int Rop) {
    SetROP2(FDC, Rop);
    ::RoundRect(FDC, A.X, A.Y, B.X, B.Y, W, H);
  }
  const uint8_t* Row(int Y) {
    GdiFlush();
    return FBits + size_t(kH - 1 - Y) * size_t(FRow);
  }

 private:
  HBITMAP FSection;
  uint8_t* FBits = nullptr;
  int FRow;
  HDC FDC;
  HGDIOBJ FOld;
};

class DrawingWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    Application->Initialize();
    testsupport::ParkPointer();
    // A start without parameters whose settings dialog is cancelled and whose default settings
    // change nothing.
    skadra::testing::SetExeDir(Folder.Path());
    std::ofstream(Folder.File("default.cfg")) << "";
    StartParameters.clear();
    classlib::testing::SetCommonDialogHook([](TCommonDialog&, void*) { return false; });
    Form = New<TForm1>(Application);
    Form->Show();
    Application->ProcessMessages();
    Picture = Form->Image1->GetHandle();
  }
  void TearDown() override {
    classlib::testing::SetCommonDialogHook(nullptr);
    Free(Form);
    skadra::testing::SetExeDir("");
  }

  void Press(int X, int Y) { testsupport::MouseDown(Picture, X, Y); }
  void Move(int X, int Y, WPARAM Keys = MK_LBUTTON) { testsupport::MouseMove(Picture, X, Y, Keys); }
  void Release(int X, int Y) { testsupport::MouseUp(Picture, X, Y); }
  void Drag(int X1, int Y1, int X2, int Y2) {
    Press(X1, Y1);
    Move((X1 + X2) / 2, (Y1 + Y2) / 2);
    Move(X2, Y2);
    Release(X2, Y2);
  }
  void Choose(TSpeedButton* Tool) { Click(Tool->GetHandle()); }
  std::string Status(int Panel) { return testsupport::StatusPanelText(Form->StatusBar1->GetHandle(), Panel); }
  TBitmap* Bitmap() { return Form->Image1->GetPicture()->GetBitmap(); }
  TCanvas* Canvas() { return Form->Image1->GetCanvas(); }
  void Command(TMenuItem* Item) { SendMessageA(Form->GetHandle(), WM_COMMAND, Item->GetCommand(), 0); }

  // Every pixel of the picture equals the reference's.
  ::testing::AssertionResult SameAs(TReference& Ref) {
    TBitmap* bitmap = Bitmap();
    if (bitmap->GetWidth() != kW || bitmap->GetHeight() != kH) return ::testing::AssertionFailure() << "size";
    int differences = 0;
    std::ostringstream first;
    for (int y = 0; y < kH; ++y) {
      const uint8_t* a = bitmap->GetScanLine(y);
      const uint8_t* b = Ref.Row(y);
      if (std::memcmp(a, b, kW * 3) == 0) continue;
      for (int x = 0; x < kW; ++x)
        if (std::memcmp(a + 3 * x, b + 3 * x, 3) != 0) {
          if (differences < 5) first << " (" << x << "," << y << ")=" << int(a[3 * x]) << " want " << int(b[3 * x]);
          ++differences;
        }
    }
    if (differences == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differences << " pixels differ:" << first.str();
  }

  testsupport::TempDir Folder;
  TForm1* Form = nullptr;
  HWND Picture = nullptr;
};

}  // namespace

TEST_F(DrawingWindow, StartsWithTheGridOfSizeTwoOnAWhitePicture) {
  EXPECT_EQ(GridSize, 2);
  EXPECT_EQ(Form->ToolKind, tkLongLine);
  EXPECT_FALSE(Form->IsDrawing);
  TReference ref;
  ref.Grid(2);
  EXPECT_TRUE(SameAs(ref));
  // 30 full rows of 11 dots of 2 x 2 pixels and a last row cut to 1 pixel high.
  int black = 0;
  for (int y = 0; y < kH; ++y) {
    const uint8_t* row = Bitmap()->GetScanLine(y);
    for (int x = 0; x < kW; ++x) black += row[3 * x] == 0 && row[3 * x + 1] == 0 && row[3 * x + 2] == 0;
  }
  EXPECT_EQ(black, 2618);
  TPen* pen = Canvas()->GetPen();
  EXPECT_EQ(pen->GetColor(), clBlack);
  EXPECT_EQ(pen->GetWidth(), 1);
  EXPECT_EQ(pen->GetStyle(), psSolid);
  EXPECT_EQ(pen->GetMode(), pmCopy);
  EXPECT_EQ(Canvas()->GetBrush()->GetColor(), clWhite);
  EXPECT_EQ(Canvas()->GetBrush()->GetStyle(), bsSolid);
}

TEST_F(DrawingWindow, WindowLayoutCaptionAndHints) {
  EXPECT_EQ(Form->GetCaption(), "  Trivane v. 1.1      12/ Oktober 02");
  char caption[64] = {};
  GetWindowTextA(Form->GetHandle(), caption, sizeof caption);
  EXPECT_EQ(std::string(caption), "  Trivane v. 1.1      12/ Oktober 02");
  RECT outer{};
  GetWindowRect(Form->GetHandle(), &outer);
  EXPECT_EQ(outer.right - outer.left, 874);
  EXPECT_EQ(outer.bottom - outer.top, 603);
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - 874) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - 603) / 2);

  RECT client{};
  GetClientRect(Form->GetHandle(), &client);
  HWND form = Form->GetHandle();
  RECT panel = testsupport::WindowRectIn(Form->Panel1->GetHandle(), form);
  EXPECT_EQ(panel.top, 0);
  EXPECT_EQ(panel.bottom, 41);
  EXPECT_EQ(panel.right - panel.left, client.right);
  EXPECT_FALSE(IsWindowVisible(Form->PenBar->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(Form->BrushBar->GetHandle()));
  RECT status = testsupport::WindowRectIn(Form->StatusBar1->GetHandle(), form);
  EXPECT_EQ(status.bottom, client.bottom);
  RECT box = testsupport::WindowRectIn(Form->ScrollBox1->GetHandle(), form);
  EXPECT_EQ(box.top, 41);
  EXPECT_EQ(box.bottom, status.top);
  RECT image = testsupport::WindowRectIn(Picture, Form->ScrollBox1->GetHandle());
  EXPECT_EQ(image.left, 0);
  EXPECT_EQ(image.top, 8);
  EXPECT_EQ(image.right - image.left, 780);
  EXPECT_EQ(image.bottom - image.top, 1200);
  EXPECT_EQ(Form->ScrollBox1->GetVertScrollBar()->GetRange(), 1208);
  EXPECT_TRUE(Form->ScrollBox1->GetVertScrollBar()->IsScrollBarVisible());
  EXPECT_EQ(testsupport::StatusParts(Form->StatusBar1->GetHandle()), (std::vector<int>{150, -1}));

  const std::pair<TSpeedButton*, int> tools[] = {
      {Form->LineButton, 8},       {Form->SpeedButton1, 40},  {Form->SpeedButton2, 72},
      {Form->SpeedButton3, 104},   {Form->PenButton, 136},    {Form->RectangleButton, 256},
      {Form->EllipseButton, 288},  {Form->RoundRectButton, 320}, {Form->BrushButton, 352}};
  for (auto [button, left] : tools) {
    RECT r = testsupport::WindowRectIn(button->GetHandle(), Form->Panel1->GetHandle());
    EXPECT_EQ(r.left, left) << button->GetName();
    EXPECT_EQ(r.top, 8) << button->GetName();
    EXPECT_EQ(r.right - r.left, 25) << button->GetName();
    EXPECT_EQ(r.bottom - r.top, 25) << button->GetName();
  }
  EXPECT_TRUE(Form->LineButton->GetDown());
  HWND tip = Form->GetHintWindow();
  EXPECT_EQ(detail::HintToolText(tip, form, Form->LineButton->GetHandle()), "Lang fri linie MED SNAP");
  EXPECT_EQ(detail::HintToolText(tip, form, Form->SpeedButton1->GetHandle()), "Kort N-S snap foroven");
  EXPECT_EQ(testsupport::Escaped(detail::HintToolText(tip, form, Form->SpeedButton2->GetHandle())),
            "Kort N\\xD8-SV snap foroven");
  EXPECT_EQ(testsupport::Escaped(detail::HintToolText(tip, form, Form->SpeedButton3->GetHandle())),
            "Kort NV-S\\xD8 snap foroven");
  EXPECT_EQ(detail::HintToolText(tip, form, Form->RectangleButton->GetHandle()), "");
}

TEST_F(DrawingWindow, LongLineBandIsErasedAndRedrawnThenDrawnInCopyMode) {
  TReference ref;
  ref.Grid(2);
  Press(41, 22);
  EXPECT_TRUE(Form->IsDrawing);
  EXPECT_EQ(Status(0), "Start: (39, 20)");
  Move(75, 41);
  EXPECT_EQ(Status(1), "Nu: (73, 40)");
  TReference first;
  first.Grid(2);
  first.Line({39, 20}, {73, 40}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(first));
  Move(110, 61);
  EXPECT_EQ(Status(1), "Nu: (107, 60)");
  ref.Line({39, 20}, {107, 60}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref)) << "the first band is gone, only the second is there";
  Release(108, 62);
  EXPECT_FALSE(Form->IsDrawing);
  ref.Line({39, 20}, {107, 60}, R2_COPYPEN);
  EXPECT_TRUE(SameAs(ref));
  EXPECT_EQ(Canvas()->GetPen()->GetMode(), pmCopy);
  EXPECT_EQ(Form->StartPoint, (TPoint{39, 20}));
  EXPECT_EQ(Form->CurrentPoint, (TPoint{107, 60}));
}

TEST_F(DrawingWindow, RefusedLongLineKeepsFollowingAndBlocksPressesUntilIsometric) {
  Press(39, 20);
  Move(107, 40);  // two columns, one row
  Release(107, 40);
  EXPECT_TRUE(Form->IsDrawing) << "a band that is not isometric is not finished";
  TReference ref;
  ref.Grid(2);
  ref.Line({39, 20}, {107, 40}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));

  Press(300, 300);
  EXPECT_EQ(Status(0), "Start: (39, 20)") << "the press is ignored";
  EXPECT_EQ(Form->StartPoint, (TPoint{39, 20}));

  // With no button held the band follows the mouse; isometric again, presses work.
  Move(141, 80, 0);
  ref.Line({39, 20}, {107, 40}, R2_NOTXORPEN);
  ref.Line({39, 20}, {141, 80}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
  Press(200, 200);
  EXPECT_EQ(Form->StartPoint, (TPoint{209, 200}));
  EXPECT_EQ(Status(0), "Start: (209, 200)");
  Release(200, 200);
  EXPECT_FALSE(Form->IsDrawing) << "a band of length zero is vertical";
  EXPECT_TRUE(SameAs(ref)) << "the pending band stays as it was last drawn";
}

TEST_F(DrawingWindow, VerticalLongLineAndReleaseInTheStartColumnKeepOnlyTheBand) {
  TReference ref;
  ref.Grid(2);
  Drag(39, 20, 39, 60);
  EXPECT_FALSE(Form->IsDrawing);
  ref.Line({39, 20}, {39, 60}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
  EXPECT_EQ(Canvas()->GetPen()->GetMode(), pmNotXor);

  // An isometric band whose release snaps back into the start column.
  Press(243, 100);
  Move(277, 120);
  Release(245, 130);
  EXPECT_FALSE(Form->IsDrawing);
  ref.Line({243, 100}, {277, 120}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
}

TEST_F(DrawingWindow, LongLineFinalLineGoesToTheSnappedReleasePoint) {
  Press(39, 20);
  Move(73, 40);
  Release(110, 61);  // the band ends at (73, 40), the release snaps to (107, 60)
  TReference ref;
  ref.Grid(2);
  ref.Line({39, 20}, {73, 40}, R2_NOTXORPEN);
  ref.Line({39, 20}, {107, 60}, R2_COPYPEN);
  EXPECT_TRUE(SameAs(ref));
}

TEST_F(DrawingWindow, RectangleIsItsLastBandAndLocksTheLongLineOut) {
  Choose(Form->RectangleButton);
  EXPECT_EQ(Form->ToolKind, tkRectangle);
  EXPECT_FALSE(Form->LineButton->GetDown());
  Press(100, 100);
  EXPECT_EQ(Status(0), "Start: (100, 100)") << "rectangles are not snapped";
  Move(130, 170);
  Move(200, 150);
  EXPECT_EQ(Status(1), "Nu: (200, 150)");
  Release(200, 150);
  EXPECT_FALSE(Form->IsDrawing);
  TReference ref;
  ref.Grid(2);
  ref.Rectangle({100, 100}, {200, 150}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
  EXPECT_EQ(Canvas()->GetPen()->GetMode(), pmNotXor);

  Choose(Form->LineButton);
  Press(300, 300);
  EXPECT_FALSE(Form->IsDrawing) << "dx 100, dy 50 is not isometric";
  EXPECT_EQ(Status(0), "Start: (100, 100)");
}

TEST_F(DrawingWindow, EllipseAndRoundRectWithSignedCornerSizes) {
  Choose(Form->EllipseButton);
  Drag(300, 300, 220, 250);
  Choose(Form->RoundRectButton);
  EXPECT_EQ(Form->ToolKind, tkRoundRect);
  Drag(400, 150, 500, 200);  // corner sizes (400 - 500) div 2 and (150 - 200) div 2: negative
  Drag(700, 600, 600, 560);  // and positive
  TReference ref;
  ref.Grid(2);
  ref.Ellipse({300, 300}, {220, 250}, R2_NOTXORPEN);
  ref.RoundRect({400, 150}, {500, 200}, 50, 25, R2_NOTXORPEN);
  ref.RoundRect({700, 600}, {600, 560}, 50, 20, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
}

TEST_F(DrawingWindow, ShortLinesFromTheSnappedReleasePoint) {
  // A plain click draws in the mode the last drawing left: pmCopy at start.
  TReference ref;
  ref.Grid(2);
  Choose(Form->SpeedButton1);
  EXPECT_EQ(Form->ToolKind, tkShortNS);
  Press(100, 100);
  Release(100, 100);
  EXPECT_FALSE(Form->IsDrawing);
  ref.Line({107, 100}, {107, 140}, R2_COPYPEN);
  Choose(Form->SpeedButton2);
  EXPECT_EQ(Form->ToolKind, tkShortNESW);
  Press(300, 300);
  Release(300, 300);
  ref.Line({311, 300}, {277, 320}, R2_COPYPEN);
  Choose(Form->SpeedButton3);
  EXPECT_EQ(Form->ToolKind, tkShortNWSE);
  Press(500, 500);
  Release(500, 500);
  ref.Line({515, 500}, {549, 520}, R2_COPYPEN);
  EXPECT_TRUE(SameAs(ref));
  EXPECT_EQ(Status(0), "Start: (515, 500)");

  // After a drag the band steps have set pmNotXor: the line toggles the dot it crosses.
  Choose(Form->SpeedButton1);
  Press(600, 600);
  Move(120, 110);
  Release(120, 110);
  ref.Line({107, 120}, {107, 160}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
  EXPECT_EQ(Bitmap()->GetScanLine(140)[3 * 107], 0xFF) << "the dot at (108, 140) was crossed in pmNotXor";
}

TEST_F(DrawingWindow, ShortLinesRefuseReleasesNearTheEdgesAndStayInProgress) {
  struct Case {
    TSpeedButton* tool;
    TPoint refused, accepted;
  };
  const Case cases[] = {{Form->SpeedButton2, {61, 500}, {62, 500}},
                        {Form->SpeedButton1, {300, 1141}, {300, 1140}},
                        {Form->SpeedButton3, {741, 500}, {740, 500}}};
  for (const Case& c : cases) {
    Choose(c.tool);
    Press(c.refused.X, c.refused.Y);
    Release(c.refused.X, c.refused.Y);
    EXPECT_TRUE(Form->IsDrawing) << c.tool->GetName();
    Press(c.accepted.X, c.accepted.Y);
    Release(c.accepted.X, c.accepted.Y);
    EXPECT_FALSE(Form->IsDrawing) << c.tool->GetName();
  }
  TReference ref;
  ref.Grid(2);
  ref.Line({73, 500}, {39, 520}, R2_COPYPEN);
  ref.Line({311, 1140}, {311, 1180}, R2_COPYPEN);
  ref.Line({753, 500}, {787, 520}, R2_COPYPEN);
  EXPECT_TRUE(SameAs(ref)) << "refused releases draw nothing";
}

TEST_F(DrawingWindow, StatusShowsRawPositionsWhenIdleAndFollowsTheCapture) {
  Move(5, 7, 0);
  EXPECT_EQ(Status(1), "Nu: (5, 7)");
  EXPECT_EQ(Status(0), "");
  Choose(Form->RectangleButton);
  Press(50, 60);
  EXPECT_EQ(GetCapture(), Picture);
  Move(-20, -5);  // outside the control, still ours
  EXPECT_EQ(Status(1), "Nu: (-20, -5)");
  Release(-20, -5);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Form->CurrentPoint, (TPoint{-20, -5}));
  // The second click of a double click is a press.
  Press(70, 80);
  Release(70, 80);
  testsupport::MouseDown(Picture, 90, 95, WM_LBUTTONDBLCLK);
  EXPECT_EQ(Status(0), "Start: (90, 95)");
  Release(90, 95);
  // Every button draws.
  testsupport::MouseDown(Picture, 33, 44, WM_RBUTTONDOWN, MK_RBUTTON);
  EXPECT_EQ(Status(0), "Start: (33, 44)");
  EXPECT_TRUE(Form->IsDrawing);
}

TEST_F(DrawingWindow, RedrawingTheGridAfterARectangleTogglesTheDots) {
  Choose(Form->RectangleButton);
  Drag(100, 100, 200, 150);
  Command(Form->GentegnNet1);
  TReference ref;
  ref.Grid(2);
  ref.Rectangle({100, 100}, {200, 150}, R2_NOTXORPEN);
  ref.Grid(2, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
  EXPECT_EQ(Bitmap()->GetScanLine(20)[3 * 40], 0xFF) << "a black dot over a black dot turns white";
}

TEST_F(DrawingWindow, PenBarShowsWhileItsButtonIsDownAndSetsStyleAndWidth) {
  HWND form = Form->GetHandle();
  Choose(Form->PenButton);
  EXPECT_TRUE(Form->PenButton->GetDown());
  EXPECT_TRUE(Form->LineButton->GetDown()) << "the pen button has a group of its own";
  ASSERT_TRUE(IsWindowVisible(Form->PenBar->GetHandle()));
  EXPECT_EQ(testsupport::WindowRectIn(Form->PenBar->GetHandle(), form).top, 41);
  EXPECT_EQ(testsupport::WindowRectIn(Form->ScrollBox1->GetHandle(), form).top, 82);
  Choose(Form->BrushButton);
  EXPECT_EQ(testsupport::WindowRectIn(Form->BrushBar->GetHandle(), form).top, 82) << "bars keep their order";
  Choose(Form->BrushButton);
  EXPECT_FALSE(Form->BrushButton->GetDown());
  EXPECT_FALSE(IsWindowVisible(Form->BrushBar->GetHandle()));

  Choose(Form->DashPen);
  EXPECT_EQ(Canvas()->GetPen()->GetStyle(), psDash);
  EXPECT_FALSE(Form->SolidPen->GetDown());
  Choose(Form->ClearPen);
  EXPECT_EQ(Canvas()->GetPen()->GetStyle(), psClear);
  Choose(Form->SolidPen);
  EXPECT_EQ(Canvas()->GetPen()->GetStyle(), psSolid);

  EXPECT_EQ(Form->PenSize->GetText(), "1");
  EXPECT_FALSE(GetWindowLongA(Form->PenWidth->GetHandle(), GWL_STYLE) & UDS_ARROWKEYS);
  Form->PenSize->SetText("4");
  EXPECT_EQ(Canvas()->GetPen()->GetWidth(), 4);
  // The up arrow steps from the number in the edit.
  RECT arrows{};
  GetClientRect(Form->PenWidth->GetHandle(), &arrows);
  testsupport::MouseDown(Form->PenWidth->GetHandle(), arrows.right / 2, 2);
  testsupport::MouseUp(Form->PenWidth->GetHandle(), arrows.right / 2, 2);
  EXPECT_EQ(Form->PenSize->GetText(), "5");
  EXPECT_EQ(Canvas()->GetPen()->GetWidth(), 5);

  Choose(Form->PenButton);
  EXPECT_FALSE(IsWindowVisible(Form->PenBar->GetHandle()));
  EXPECT_EQ(testsupport::WindowRectIn(Form->ScrollBox1->GetHandle(), form).top, 41);
}

TEST_F(DrawingWindow, BrushStylesFollowTheirButtons) {
  Choose(Form->BrushButton);
  const std::pair<TSpeedButton*, TBrushStyle> styles[] = {
      {Form->ClearBrush, bsClear},         {Form->HorizontalBrush, bsHorizontal},
      {Form->VerticalBrush, bsVertical},   {Form->FDiagonalBrush, bsFDiagonal},
      {Form->BDiagonalBrush, bsBDiagonal}, {Form->CrossBrush, bsCross},
      {Form->DiagCrossBrush, bsDiagCross}, {Form->SolidBrush, bsSolid}};
  for (auto [button, style] : styles) {
    Choose(button);
    EXPECT_EQ(Canvas()->GetBrush()->GetStyle(), style) << button->GetName();
    EXPECT_TRUE(button->GetDown());
  }
  EXPECT_TRUE(Form->LineButton->GetDown()) << "group 1 of the brush bar is a group of its own";
}

TEST_F(DrawingWindow, ColourDialogStartsFromTheCanvasColourAndOkTakesTheChoice) {
  COLORREF offered = 0xFFFFFFFF;
  bool answer = true;
  classlib::testing::SetCommonDialogHook([&](TCommonDialog&, void* record) {
    auto* cc = static_cast<CHOOSECOLORA*>(record);
    offered = cc->rgbResult;
    EXPECT_TRUE(cc->Flags & CC_RGBINIT);
    cc->rgbResult = RGB(255, 0, 0);
    return answer;
  });
  Choose(Form->PenButton);
  Choose(Form->PenColor);
  EXPECT_EQ(offered, RGB(0, 0, 0));
  EXPECT_EQ(Canvas()->GetPen()->GetColor(), clRed);

  Canvas()->GetPen()->SetColor(clBlue);
  answer = false;
  Command(Form->StregFarve1);
  EXPECT_EQ(offered, RGB(0, 0, 255));
  EXPECT_EQ(Canvas()->GetPen()->GetColor(), clBlue) << "Cancel changes nothing";

  answer = true;
  Choose(Form->BrushButton);
  Choose(Form->BrushColor);
  EXPECT_EQ(offered, RGB(255, 255, 255));
  EXPECT_EQ(Canvas()->GetBrush()->GetColor(), clRed);
}

TEST_F(DrawingWindow, ToolPanelOffAndOnFromTheMenu) {
  Choose(Form->PenButton);
  Choose(Form->EllipseButton);
  EXPECT_EQ(Form->ToolKind, tkEllipse);
  Command(Form->Fra1);
  EXPECT_EQ(Form->ToolKind, tkLongLine);
  EXPECT_TRUE(Form->EllipseButton->GetDown()) << "the buttons are left as they are";
  EXPECT_FALSE(IsWindowVisible(Form->Panel1->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(Form->PenBar->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(Form->BrushBar->GetHandle()));
  EXPECT_EQ(testsupport::WindowRectIn(Form->ScrollBox1->GetHandle(), Form->GetHandle()).top, 0);
  Command(Form->Til1);
  EXPECT_TRUE(IsWindowVisible(Form->Panel1->GetHandle()));
  EXPECT_FALSE(IsWindowVisible(Form->PenBar->GetHandle())) << "only the tool panel comes back";
  // The bar: Filer, Editer, then these, then Hjælp.
  HMENU bar = GetMenu(Form->GetHandle());
  ASSERT_EQ(GetMenuItemCount(bar), 9);
  EXPECT_EQ(GetSubMenu(bar, 2), nullptr) << "StregFarve is a command of the bar";
  EXPECT_EQ(GetSubMenu(bar, 3), nullptr) << "Gentegn Net is a command of the bar";
  EXPECT_NE(GetSubMenu(bar, 4), nullptr);
  char text[32] = {};
  GetMenuStringA(bar, 4, text, sizeof text, MF_BYPOSITION);
  EXPECT_EQ(testsupport::Escaped(text), "Tegnev\\xE6rkt\\xF8j");
  EXPECT_EQ(GetSubMenu(bar, 5), nullptr) << "SKJUL is a command of the bar";
  EXPECT_EQ(GetSubMenu(bar, 6), nullptr) << "START TEKSTBEHANDLER is a command of the bar";
  HMENU painter = GetSubMenu(bar, 7);
  ASSERT_NE(painter, nullptr);
  EXPECT_EQ(GetMenuItemCount(painter), 2);
  GetMenuStringA(bar, 7, text, sizeof text, MF_BYPOSITION);
  EXPECT_EQ(std::string(text), "START MALEREN");
}

TEST_F(DrawingWindow, SwitchedOffCommandsAreGreyInTheMenuBar) {
  HMENU bar = GetMenu(Form->GetHandle());
  // SKJUL, START TEKSTBEHANDLER and START MALEREN, after Filer, Editer, StregFarve and Gentegn Net.
  for (int i = 5; i <= 7; ++i) EXPECT_FALSE(GetMenuState(bar, UINT(i), MF_BYPOSITION) & MF_GRAYED) << i;
  Form->ApplyCommandLine({"4", "5"});
  for (int i = 5; i <= 7; ++i) EXPECT_TRUE(GetMenuState(bar, UINT(i), MF_BYPOSITION) & MF_GRAYED) << i;
  Form->ApplyCommandLine({"1", "3"});
  for (TSpeedButton* b : {Form->LineButton, Form->RectangleButton, Form->EllipseButton, Form->RoundRectButton,
                          Form->BrushButton})
    EXPECT_FALSE(IsWindowEnabled(b->GetHandle())) << b->GetName();
  EXPECT_TRUE(IsWindowEnabled(Form->PenButton->GetHandle()));
}

TEST_F(DrawingWindow, ChoosingAToolLeavesAPendingFigureInProgress) {
  Press(39, 20);
  Move(107, 40);
  Release(107, 40);
  Choose(Form->RectangleButton);
  EXPECT_TRUE(Form->IsDrawing);
  Move(150, 90, 0);  // the next band step draws the new tool's figure over the old band
  TReference ref;
  ref.Grid(2);
  ref.Line({39, 20}, {107, 40}, R2_NOTXORPEN);
  ref.Rectangle({39, 20}, {107, 40}, R2_NOTXORPEN);
  ref.Rectangle({39, 20}, {150, 90}, R2_NOTXORPEN);
  EXPECT_TRUE(SameAs(ref));
}

TEST_F(DrawingWindow, HugeGridSizeSnapsWithoutOverflow) {
  testsupport::ScopedValue grid(GridSize, 2147483627);
  Press(500, 500);
  EXPECT_EQ(Status(0), "Start: (39, 20)");
  Release(500, 500);
  Command(Form->GentegnNet1);  // 80 div G rows: none
  Choose(Form->SpeedButton1);
  Press(100, 100);
  Release(100, 100);
  EXPECT_TRUE(Form->IsDrawing) << "every release is too near the edge";
  GridSize = 0;
  Choose(Form->LineButton);
  Press(57, 31);
  EXPECT_EQ(Status(0), "Start: (57, 31)") << "a grid size of 0 snaps nothing";
}
