// TPGImage as a component: construction and destruction, the picture it owns and lends, loading
// and saving by file name, the property writers, the TPicBox relays and the view's messages.
#include "imagelib/view/PGImage.h"

#include "classlib/finally.h"
#include "classlib/screen.h"
#include "classlib/text.h"
#include "imagelib/view/PGTransparentControls.h"

namespace imagelib {

// ---- TPicBox

TPicBox::TPicBox(TPGImage* Image) : TPaintBox(Image) {
  OnMouseDown = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    MouseDownRelay(Sender, Button, Shift, X, Y);
  };
  OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) { MouseMoveRelay(Sender, Shift, X, Y); };
  OnMouseUp = [this](TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) {
    MouseUpRelay(Sender, Button, Shift, X, Y);
  };
  OnPaint = [this](TObject* Sender) { PaintRelay(Sender); };
}

void TPicBox::MouseDownRelay(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (ImageMouseDown) ImageMouseDown(this, Button, Shift, X, Y);
  if (UserMouseDown) UserMouseDown(this, Button, Shift, X, Y);
}

void TPicBox::MouseMoveRelay(TObject*, TShiftState Shift, int X, int Y) {
  if (ImageMouseMove) ImageMouseMove(this, Shift, X, Y);
  if (UserMouseMove) UserMouseMove(this, Shift, X, Y);
}

// The user's handler still sees the drag that the view's handler then ends.
void TPicBox::MouseUpRelay(TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (UserMouseUp) UserMouseUp(this, Button, Shift, X, Y);
  if (ImageMouseUp) ImageMouseUp(this, Button, Shift, X, Y);
}

void TPicBox::PaintRelay(TObject*) {
  if (ImagePaint) ImagePaint(this);
  if (UserPaint) UserPaint(this);
}

// ---- construction and destruction

TPGImage::TPGImage(TComponent* AOwner) : TScrollBox(AOwner), FCanvas(new TControlCanvas(this)) {
  SetBounds(FLeft, FTop, 100, 100);  // before the TPicBox exists: no arrangement yet
  FPicBox = new TPicBox(this);
  FPicBox->SetBounds(0, 0, 0, 0);
  FPicBox->SetParent(this);
  FPicBox->ImageMouseDown = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
    PicBoxMouseDown(Button, Shift, X, Y);
  };
  FPicBox->ImageMouseMove = [this](TObject*, TShiftState Shift, int X, int Y) { PicBoxMouseMove(Shift, X, Y); };
  FPicBox->ImageMouseUp = [this](TObject*, TMouseButton Button, TShiftState Shift, int X, int Y) {
    PicBoxMouseUp(Button, Shift, X, Y);
  };
  FPicBox->ImagePaint = [this](TObject*) { PicBoxPaint(); };
  // There is always a thread to stop.
  FPaintThread = New<TCreatePaintPGThread>(false, true);
}

TPGImage::~TPGImage() { delete FCanvas; }

void TPGImage::BeforeDestruction() {
  StopPaintThread();
  DrainPaintMessages();  // nothing can post any more
  FreeAndNil(FPaintThread);
  FreeAndNil(FSelectionTimer);
  FreeAndNil(FAutoScrollTimer);
  FreeSelectionBrushes();
  FreeAndNil(FPixelGraphic);
  FreeAndNil(FPaintPixelGraphic);
  TScrollBox::BeforeDestruction();
}

// ---- the picture

TPixelGraphic* TPGImage::GetPixelGraphic() {
  StopPaintThread();
  return FPixelGraphic;
}

void TPGImage::SetPixelGraphic(TPixelGraphic* Graphic) {
  StopPaintThread();
  if (Graphic != FPixelGraphic) {
    FreeAndNil(FPixelGraphic);
    ReleasePaintPixelGraphic();
    FPixelGraphic = Graphic;
  }
  HookPixelGraphic(FPixelGraphic, true);
  PixelGraphicChanged();
}

void TPGImage::HookPixelGraphic(TPixelGraphic* Graphic, bool WithChange) {
  if (!Graphic) return;
  if (WithChange) Graphic->SetOnChange([this](TObject*) { PixelGraphicChanged(); });
  Graphic->SetOnProgressStart([this](TObject* Sender) {
    if (OnPixelGraphicProgressStart) OnPixelGraphicProgressStart(Sender);
  });
  Graphic->SetOnProgress(
      [this](TObject* Sender, int Step, int Max, bool& Abort) { DoPixelGraphicProgress(Sender, Step, Max, Abort); });
  Graphic->SetOnProgressEnd([this](TObject* Sender) {
    if (OnPixelGraphicProgressEnd) OnPixelGraphicProgressEnd(Sender);
  });
}

void TPGImage::DoPixelGraphicProgress(TObject* Sender, int Step, int Max, bool& Abort) {
  if (OnPixelGraphicProgress) OnPixelGraphicProgress(Sender, Step, Max, Abort);
}

// Storing the name first would be seen by nobody: the load clears it before anything else.
void TPGImage::SetFileName(const std::string& Value) { LoadFromFile(Value, 0); }

void TPGImage::LoadFromFile(const std::string& FileName, int Index) {
  // A copy: the caller may hand in FFileName itself, which is cleared below.
  const std::string name = FileName;
  const std::string previous = FFileName;
  FFileName.clear();
  TCursor cursor = Screen ? Screen->GetCursor() : crDefault;
  if (FShowHourGlass && Screen) Screen->SetCursor(crHourGlass);
  TPixelGraphic* loaded = nullptr;
  bool replaced = false;
  Finally(
      [&] {
        if (!ExtractFileName(name).empty()) {
          loaded = New<TPixelGraphic>();
          loaded->SetReadWarningAction(FReadWarningAction);
          loaded->SetBackGroundColor(FBackGroundColor);
          HookPixelGraphic(loaded, false);
          loaded->LoadFromFileIndex(name, Index);
          HookPixelGraphic(loaded, true);
        }
        // Only now, with the new picture read, does the old one go.
        StopPaintThread();
        FreeAndNil(FPixelGraphic);
        ReleasePaintPixelGraphic();
        FPixelGraphic = loaded;
        loaded = nullptr;
        replaced = true;
        FFileName = name;
      },
      [&] {
        if (FShowHourGlass && Screen) Screen->SetCursor(cursor);
        FreeAndNil(loaded);
        if (replaced)
          PixelGraphicChanged();
        else
          FFileName = previous;
      });
}

void TPGImage::SaveToFile(const std::string& FileName) {
  if (!FPixelGraphic) throw EPGEmpty(PGLangStrS1(pgmIsEmpty, "PixelGraphic"));
  // Saving reads the picture, which the paint thread may be reading too.
  StopPaintThread();
  FPixelGraphic->SetSaveColorResWarningAction(FSaveColorResWarningAction);
  FPixelGraphic->SaveToFile(FileName);
  FFileName = FileName;
}

// ---- property writers

void TPGImage::SetAutoSize(bool Value) {
  FAutoSize = Value;
  PixelGraphicChanged();
}

void TPGImage::AutoSizeLimit(int& Field, int Value) {
  if (Field == Value) return;
  Field = Value;
  if (FAutoSize) PixelGraphicChanged();
}

void TPGImage::SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value) {
  if (Value < pBlackWhite || Value > pOptimized252Sys16) return;
  SetRebuilding(FPalette8BitSys24BitGraphic, Value);
}

void TPGImage::SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value) {
  if (Value < pBlackWhite || Value > pSource) return;
  SetRebuilding(FPalette8BitSys8BitGraphic, Value);
}

void TPGImage::SetUseThread(bool Value) {
  if (Value == FUseThread) return;
  StopPaintThread();
  DrainPaintMessages();
  FPaintPixelGraphicOutdated = true;
  FUseThread = Value;
  Invalidate();
}

void TPGImage::SetZoomFactor(long double Value) {
  // NaN differs even from itself; it arranges every time, at zoom 1.
  if (Value == FZoomFactor) return;
  FZoomFactor = Value;
  Arrange(true);
}

// ---- overrides and queries

void TPGImage::Invalidate() {
  TScrollBox::Invalidate();
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    if (IsTransparentPGControl(child)) child->Invalidate();
  }
}

void TPGImage::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FPicBox) FPicBox->SetBounds(0, 0, 0, 0);
  TScrollBox::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (FPicBox) Arrange(true);
}

int TPGImage::BorderWidth() const {
  if (GetBorderStyle() != bsSingle) return 0;
  return FCtl3D ? 2 : 1;
}

int TPGImage::HorzScrollBarHeight() const { return GetSystemMetrics(SM_CYHSCROLL); }
int TPGImage::VertScrollBarWidth() const { return GetSystemMetrics(SM_CXVSCROLL); }

HPALETTE TPGImage::GetPalette() {
  TPixelGraphic* shown = UpdatePaintPixelGraphic() ? FPaintPixelGraphic : FPixelGraphic;
  if (!shown) return nullptr;
  TPaletteIdent ident = shown->GetPaletteIdent();
  if (ident == pBlackWhite || ident == pSysGray4 || ident == pSys16) return nullptr;
  return shown->GetPalette();
}

void TPGImage::PaintWindow(HDC DC) {
  FCanvas->FreeHandle();
  FCanvas->SetHandle(DC);
  ScopeExit release([this] { FCanvas->SetHandle(nullptr); });
  Paint();
}

void TPGImage::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_DISPLAYCHANGE:
      // The screen's depth may differ now: the next paint decides about the copy afresh.
      FPaintPixelGraphicOutdated = true;
      Invalidate();
      Message.Result = 0;
      return;
    case WM_PGPAINTPIXELGRAPHIC:
      PaintPixelGraphicReady(reinterpret_cast<TPixelGraphic*>(Message.LParam));
      Message.Result = 0;
      return;
    case WM_PGPROGRESS:
      SetProgress(int(Message.WParam), int(Message.LParam));
      Message.Result = 0;
      return;
    case WM_SETCURSOR:
      WMSetCursor(Message);
      return;
    default:
      TScrollBox::WndProc(Message);
  }
}

}  // namespace imagelib
