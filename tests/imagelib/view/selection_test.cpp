// The picture view's mouse actions driven by mouse messages to its window: rubber bands, handles,
// moving the selection and the picture, auto-scroll; the marching ants read back from the window;
// and the cursors the view answers WM_SETCURSOR with.
#include <gtest/gtest.h>

#include "classlib/labels.h"
#include "classlib/screen.h"
#include "imagelib/PGCursors.h"
#include "tests/form_suite.h"
#include "tests/imagelib/view/view_support.h"

using namespace imagelib;
using namespace testsupport;

namespace {

class Selection : public FormSuite {
 protected:
  void SetUp() override {
    Image = New<TTestView>(Form);
    Image->SetBorderStyle(bsNone);
    Image->SetBounds(10, 10, 200, 150);
    Image->SetParent(Form);
    Window = Image->GetHandle();
    Image->OnSelectionChange = [this](TObject*) { ++Changes; };
    Image->OnSelectionMade = [this](TObject*) { ++Made; };
    Picture(100, 80);  // at 0, 0 and zoom 1: client and picture pixels are the same
  }
  void Picture(int W, int H) { Image->SetPixelGraphic(TwoHalves(W, H)); }
  void Drag(int X0, int Y0, int X1, int Y1) {
    MouseDown(Window, X0, Y0);
    MouseMove(Window, X1, Y1);
    MouseUp(Window, X1, Y1);
  }
  TSelectionBounds Bounds() const {
    return TSelectionBounds{Image->GetSelectionLeft(), Image->GetSelectionTop(), Image->GetSelectionWidth(),
                            Image->GetSelectionHeight()};
  }
  HCURSOR CursorAt(int X, int Y) {
    EXPECT_EQ(SetCursorAt(Window, X, Y), 1);
    return GetCursor();
  }
  TTestView* Image = nullptr;
  HWND Window = nullptr;
  int Changes = 0, Made = 0;
};

HCURSOR System(LPCSTR Id) { return LoadCursorA(nullptr, Id); }

}  // namespace

TEST_F(Selection, RubberBandsMakeTheSelection) {
  Image->SetActionMode(amCreateSelection);
  Drag(20, 30, 5, 10);  // up and to the left of the anchor
  EXPECT_EQ(Bounds(), (TSelectionBounds{5, 10, 16, 21}));
  EXPECT_TRUE(Image->GetSelection());
  EXPECT_EQ(Made, 1);
  EXPECT_GE(Changes, 2);
  ASSERT_NE(Image->GetSelectionTimer(), nullptr);
  EXPECT_EQ(Image->GetSelectionTimer()->GetInterval(), 50u);
  // A click makes a 1 x 1 selection, also inside the old one.
  Drag(10, 15, 10, 15);
  EXPECT_EQ(Bounds(), (TSelectionBounds{10, 15, 1, 1}));
  EXPECT_EQ(Made, 2);
  // Outside the TPicBox the moves still arrive, and the selection is not held to the picture.
  Drag(50, 50, -20, 120);
  EXPECT_EQ(Bounds(), (TSelectionBounds{-20, 50, 71, 71}));
  EXPECT_EQ(Image->GetDragState(), 0);
  EXPECT_EQ(Image->GetAutoScrollTimer(), nullptr);
  Image->SetSelection(false);
  EXPECT_EQ(Image->GetSelectionTimer(), nullptr);
  // Zoomed, the pointer's picture pixels count.
  Image->SetStretch(sZoomKAR);
  Image->SetZoomFactor(1.5L);  // 150 x 120
  Drag(30, 45, 60, 90);
  EXPECT_EQ(Bounds(), (TSelectionBounds{20, 30, 21, 31}));
}

TEST_F(Selection, HandlesResizeInsideMovesAndElsewhereANewOneStarts) {
  Image->SetActionMode(amMoveResizeCreateSelection);
  Image->SetSelectionBounds(20, 20, 30, 20);  // on screen 20..50 x 20..40
  Image->SetSelection(true);
  Drag(55, 30, 70, 30);  // the right handle, grabbed 25 beyond the width
  EXPECT_EQ(Bounds(), (TSelectionBounds{20, 20, 45, 20}));
  EXPECT_EQ(Made, 1);
  Image->SetSelectionBounds(20, 20, 30, 20);
  Drag(57, 30, 57, 30);  // 7 pixels from the frame: the handle's last column
  EXPECT_EQ(Bounds(), (TSelectionBounds{20, 20, 30, 20}));
  Drag(59, 30, 59, 30);  // 9 pixels: a new selection
  EXPECT_EQ(Bounds(), (TSelectionBounds{59, 30, 1, 1}));

  Image->SetActionMode(amMoveSelection);
  Image->SetSelectionBounds(20, 20, 30, 20);
  Made = 0;
  Drag(25, 25, -500, 25);  // grabbed 5, 5 inside; far to the left
  EXPECT_EQ(Bounds(), (TSelectionBounds{-29, 20, 30, 20})) << "its last column on column 0";
  Drag(25, 25, 900, 900);  // not inside any more: nothing
  EXPECT_EQ(Bounds(), (TSelectionBounds{-29, 20, 30, 20}));
  EXPECT_EQ(Made, 1) << "not for the press that found nothing to do";
}

TEST_F(Selection, DraggingMovesAPictureLargerThanTheView) {
  Picture(400, 300);
  Image->SetActionMode(amMoveSelectionMoveImage);
  TControlScrollBar* horz = Image->GetHorzScrollBar();
  TControlScrollBar* vert = Image->GetVertScrollBar();
  MouseDown(Window, 100, 100);
  EXPECT_EQ(Image->GetDragState(), 1);
  MouseMove(Window, 60, 70);
  EXPECT_EQ(horz->GetPosition(), 40);
  EXPECT_EQ(vert->GetPosition(), 30);
  MouseMove(Window, 50, 70);  // the picture follows the pointer
  EXPECT_EQ(horz->GetPosition(), 50);
  EXPECT_EQ(vert->GetPosition(), 30);
  MouseUp(Window, 50, 70);
  EXPECT_EQ(Made, 0);
  EXPECT_EQ(Image->GetDragState(), 0);
  // A picture that fits does not move.
  Picture(100, 80);
  MouseDown(Window, 50, 50);
  EXPECT_EQ(Image->GetDragState(), 0);
  MouseUp(Window, 50, 50);
}

TEST_F(Selection, AutoScrollFollowsADragOutOfTheView) {
  Picture(400, 300);
  Image->SetActionMode(amCreateSelection);
  TControlScrollBar* horz = Image->GetHorzScrollBar();
  TControlScrollBar* vert = Image->GetVertScrollBar();
  horz->SetPosition(12);
  MouseDown(Window, 100, 100);
  TTimer* timer = Image->GetAutoScrollTimer();
  ASSERT_NE(timer, nullptr);
  EXPECT_EQ(timer->GetInterval(), 50u);
  // Each try starts from the same positions.
  auto tickAt = [&](int X, int Y) {
    int h = horz->GetPosition(), v = vert->GetPosition();
    WithPointerAt(Window, X, Y, [&] {
      horz->SetPosition(h);
      vert->SetPosition(v);
      timer->Tick();
      return 0;
    });
  };
  tickAt(-10, 50);
  EXPECT_EQ(horz->GetPosition(), 7);
  tickAt(-10, 50);
  tickAt(-10, 50);
  EXPECT_EQ(horz->GetPosition(), 0);
  int bottom = vert->GetRange() - Image->GetClientHeight();
  vert->SetPosition(bottom - 7);
  tickAt(50, Image->GetClientHeight() + 3);
  EXPECT_EQ(vert->GetPosition(), bottom - 2);
  tickAt(50, Image->GetClientHeight() + 3);
  EXPECT_EQ(vert->GetPosition(), bottom);
  tickAt(50, 50);  // inside: nothing
  EXPECT_EQ(vert->GetPosition(), bottom);
  MouseUp(Window, 50, 50);
  EXPECT_EQ(Image->GetAutoScrollTimer(), nullptr);
}

TEST_F(Selection, TheFrameMarchesAroundTheSelectionOnly) {
  Image->SetActionMode(amMoveSelection);
  Image->SetSelectionBounds(20, 20, 30, 20);  // its frame runs around 19..50 x 19..40
  Image->SetSelectionColor1(clRed);
  Image->SetSelectionColor2(clRed);
  Image->SetSelection(true);
  PaintNow(Window);
  std::vector<TRGB> px = Grab(Window, 200, 150);
  auto at = [&](int X, int Y) { return px[size_t(Y) * 200 + X]; };
  for (int x = 19; x <= 50; ++x) {
    ASSERT_EQ(at(x, 19), 0x0000FF) << x;
    ASSERT_EQ(at(x, 40), 0x0000FF) << x;
  }
  for (int y = 19; y <= 40; ++y) ASSERT_EQ(at(50, y), 0x0000FF) << y;
  EXPECT_EQ(at(20, 20), kLeft) << "the selected pixels stay";
  EXPECT_EQ(at(18, 18), kLeft);
  EXPECT_EQ(at(12, 12), kLeft) << "no handles in this mode";
  // Two colours: stripes along the whole frame, moving on by one pixel each tick.
  Image->SetSelectionColor1(clWhite);
  Image->SetSelectionColor2(clRed);
  auto phaseOfFrame = [&]() {
    px = Grab(Window, 200, 150);
    int found = -1;
    for (int c = 0; c < 8; ++c) {
      bool all = true;
      for (int x = 19; x <= 50 && all; ++x)
        for (int y : {19, 40}) all = all && ((at(x, y) == 0xFFFFFF) == ((x + y + c) % 8 < 4));
      for (int y = 19; y <= 40 && all; ++y)
        for (int x : {19, 50}) all = all && ((at(x, y) == 0xFFFFFF) == ((x + y + c) % 8 < 4));
      if (all) found = c;
    }
    return found;
  };
  Image->GetSelectionTimer()->Tick();
  int before = phaseOfFrame();
  ASSERT_GE(before, 0) << "one stripe pattern over the whole frame";
  Image->GetSelectionTimer()->Tick();
  EXPECT_EQ(phaseOfFrame(), (before + 7) % 8);
  // With handles in the mode that resizes.
  Image->SetActionMode(amMoveResizeCreateSelection);
  PaintNow(Window);
  px = Grab(Window, 200, 150);
  EXPECT_NE(at(12, 12), kLeft) << "the top-left handle";
  EXPECT_NE(at(35 - 2, 12), kLeft) << "the top one";
  // An opaque control over the frame keeps its pixels when the frame is drawn again.
  auto* label = New<TLabel>(Image);
  label->SetAutoSize(false);
  label->SetColor(clBlue);
  label->SetBounds(30, 15, 10, 10);
  label->SetParent(Image);
  PaintNow(Window);
  Image->SetSelectionColor1(clLime);
  Image->SetSelectionColor2(clLime);
  Image->GetSelectionTimer()->Tick();
  px = Grab(Window, 200, 150);
  EXPECT_EQ(at(25, 19), 0x00FF00);
  EXPECT_EQ(at(35, 19), 0xFF0000) << "under the label";
}

TEST_F(Selection, CursorsFollowTheModeAndWhatIsUnderThePointer) {
  const HCURSOR arrow = System(IDC_ARROW);
  EXPECT_EQ(CursorAt(150, 120), arrow) << "outside the picture: the view's own";
  EXPECT_EQ(CursorAt(50, 50), arrow) << "a picture that fits cannot be moved";
  Image->SetSelectionBounds(20, 20, 30, 20);
  Image->SetSelection(true);
  Image->SetActionMode(amMoveResizeCreateSelection);
  struct Row {
    int X, Y;
    HCURSOR Cursor;
  } rows[] = {
      {80, 70, PGCursorCrossDashed}, {30, 30, PGCursorMove},           {35, 14, System(IDC_SIZENS)},
      {35, 45, System(IDC_SIZENS)},  {14, 30, System(IDC_SIZEWE)},     {55, 30, System(IDC_SIZEWE)},
      {14, 14, System(IDC_SIZENWSE)}, {55, 45, System(IDC_SIZENWSE)},  {55, 14, System(IDC_SIZENESW)},
      {14, 45, System(IDC_SIZENESW)}, {150, 120, arrow},
  };
  for (const Row& r : rows) EXPECT_EQ(CursorAt(r.X, r.Y), r.Cursor) << r.X << "," << r.Y;
  Image->SetActionMode(amCreateSelection);
  EXPECT_EQ(CursorAt(30, 30), PGCursorCrossDashed) << "no moving in this mode";
  Image->SetActionMode(amNone);
  Image->SetPicBoxCursor(crCross);
  EXPECT_EQ(CursorAt(30, 30), System(IDC_CROSS)) << "the TPicBox's own";

  // A picture to move: the open hand, closed while it moves; the program may choose another.
  Picture(400, 300);
  Image->SetActionMode(amMoveImage);
  EXPECT_EQ(CursorAt(50, 50), PGCursorHandOpen);
  int asked = 0;
  Image->PicBoxOnSetCursor = [&](TObject* Sender, HCURSOR& Cursor) {
    EXPECT_EQ(Sender, Image);
    ++asked;
    if (Cursor == PGCursorHandClosed) Cursor = System(IDC_HAND);
  };
  MouseDown(Window, 50, 50);
  EXPECT_EQ(asked, 1) << "asked at the press";
  EXPECT_EQ(GetCursor(), System(IDC_HAND));
  EXPECT_EQ(CursorAt(50, 50), System(IDC_HAND));
  MouseUp(Window, 50, 50);
  EXPECT_EQ(CursorAt(50, 50), PGCursorHandOpen);
  // Over the view outside the picture OnSetCursor decides; a screen cursor wins over both.
  Picture(100, 80);
  Image->OnSetCursor = [&](TObject*, HCURSOR& Cursor) { Cursor = System(IDC_HELP); };
  EXPECT_EQ(CursorAt(150, 120), System(IDC_HELP));
  asked = 0;
  Screen->SetCursor(crHourGlass);
  EXPECT_EQ(CursorAt(150, 120), System(IDC_WAIT));
  EXPECT_EQ(CursorAt(50, 50), System(IDC_WAIT));
  EXPECT_EQ(asked, 0);
  Screen->SetCursor(crDefault);
}
