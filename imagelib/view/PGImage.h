// TPGImage: the library's picture view. A scroll box that owns one picture and shows it through
// one child TPicBox that covers the picture's on-screen rectangle, placed and sized by the stretch
// mode, the zoom, centring and auto size; the scroll bars follow the TPicBox at once.
// TPicBox: that child, a paint box whose mouse and paint events reach the view and the user's
// handlers in a fixed order.
// On a screen that cannot show the picture as it is (fewer colours, or a resampled size), the view
// paints a display-ready copy that its paint thread makes meanwhile; the picture area shows an
// empty frame with progress clocks until the copy arrives. The mouse moves the picture or makes,
// moves and resizes a selection, drawn as marching ants, as ActionMode says.
//
// Ownership: a picture handed to the view belongs to it (the old one is freed); a picture the view
// hands out stays the view's. Everything runs on the window's thread; the paint thread reads the
// picture only while the view leaves it alone, and hands its copy over in a posted message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "classlib/bitmap.h"
#include "classlib/images.h"
#include "classlib/scrollbox.h"
#include "classlib/timer.h"
#include "imagelib/PGraphic.h"
#include "imagelib/view/PGArrangement.h"
#include "imagelib/view/PGDisplayCopy.h"
#include "imagelib/view/PGMirror.h"
#include "imagelib/view/PGPaintGeometry.h"
#include "imagelib/view/PGPaintThread.h"
#include "imagelib/view/PGSelectionGeometry.h"

namespace imagelib {

using namespace classlib;

enum TActionMode : uint8_t {
  amMoveImage, amMoveResizeCreateSelection, amMoveSelection, amMoveSelectionMoveImage, amCreateSelection, amNone
};

using TPGINewAutoSizeEvent = std::function<void(TObject* Sender, int PGImageWidth, int PGImageHeight)>;
using TPGSetCursorEvent = std::function<void(TObject* Sender, HCURSOR& CursorHandle)>;

class TPGImage;

class TPicBox : public TPaintBox {
  CL_CLASS(TPicBox)
  // Owned by the view; the view makes it its child.
  explicit TPicBox(TPGImage* Image);

  // The user's handlers (the view's PicBoxOnMouseDown and so on) and the view's own. The relays
  // call each only when it is set: down and move the view's first, up the user's first, paint the
  // view's first; Sender is the TPicBox.
  TMouseEvent UserMouseDown, ImageMouseDown;
  TMouseMoveEvent UserMouseMove, ImageMouseMove;
  TMouseEvent UserMouseUp, ImageMouseUp;
  TNotifyEvent UserPaint, ImagePaint;

 private:
  void MouseDownRelay(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void MouseMoveRelay(TObject* Sender, TShiftState Shift, int X, int Y);
  void MouseUpRelay(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
  void PaintRelay(TObject* Sender);
};

class TPGImage : public TScrollBox {
  CL_CLASS(TPGImage)
  explicit TPGImage(TComponent* AOwner);
  ~TPGImage() override;
  // Stops the paint thread and frees the picture and the display-ready copy while the window and
  // the TPicBox still exist.
  void BeforeDestruction() override;

  // ---- the picture
  // Lends the picture (null when empty) after the paint thread has stopped.
  TPixelGraphic* GetPixelGraphic();
  // Takes Graphic over (null empties the view) and frees the old picture; handing back the
  // picture the view holds keeps it.
  void SetPixelGraphic(TPixelGraphic* Graphic);
  // Loads by file name through the library's readers (Index picks one of several pictures of a
  // file). A file name ending in a folder separator empties the view. A load that fails leaves the
  // picture and FileName as they were and lets the reader's exception through.
  void LoadFromFile(const std::string& FileName, int Index = 0);
  // The writer is chosen by the extension; EPGEmpty without a picture. FileName follows a save that
  // succeeds.
  virtual void SaveToFile(const std::string& FileName);
  const std::string& GetFileName() const { return FFileName; }
  void SetFileName(const std::string& Value);

  // ---- arrangement
  // Places and sizes the TPicBox. Without Force the user's scroll positions and the TPicBox's
  // place survive while its size stays.
  void Arrange(bool Force);
  // The reaction to every change of the picture or of a property that rebuilds: picture size,
  // auto size, arrangement, the display-ready copy outdated.
  void PixelGraphicChanged();
  // Between picture pixels and TPicBox pixels (truncating; 0 while the divisor is 0 or less).
  int PictureToPicBoxX(int X) const;
  int PictureToPicBoxY(int Y) const;
  int PicBoxToPictureX(int X) const;
  int PicBoxToPictureY(int Y) const;
  TPoint PicBoxToPicture(TPoint P) const { return Point(PicBoxToPictureX(P.X), PicBoxToPictureY(P.Y)); }
  // The zoom of the last arrangement (-1 when the aspect ratio is not kept).
  long double GetEffectiveZoom() const { return FEffectiveZoom; }
  // Asks the form to realize the palettes again: as the foreground window, or in the background.
  void NotifyPalette();

  // ---- mirrored pictures for the mirrored tiles (new pictures, owned by the caller)
  static TPixelGraphic* MirrorHorizontal(TPixelGraphic* Source) { return MirroredPixelGraphic(Source, true, false); }
  static TPixelGraphic* MirrorVertical(TPixelGraphic* Source) { return MirroredPixelGraphic(Source, false, true); }
  static TPixelGraphic* Rotate180(TPixelGraphic* Source) { return MirroredPixelGraphic(Source, true, true); }

  // ---- small queries
  // The border on each side: 0 without bsSingle, else 2 with Ctl3D and 1 without.
  int BorderWidth() const;
  int HorzScrollBarHeight() const;
  int VertScrollBarWidth() const;
  TCanvas* GetCanvas() { return FCanvas; }
  TPicBox* GetPicBox() const { return FPicBox; }
  // The paint thread's stage and percent as last reported.
  int GetProgressStage() const { return FProgressStage; }
  int GetProgressPercent() const { return FProgressPercent; }

  // ---- overrides
  // Also repaints the transparent controls on the view, so that they stay on top of the picture.
  void Invalidate() override;
  // The TPicBox shrinks to nothing first; then the view moves and the picture is arranged again.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The palette of what is painted: the display-ready copy or the picture; 0 for none and for the
  // system palettes.
  HPALETTE GetPalette() override;

  // ---- properties (the setters follow the view's rules: rebuild, arrange, repaint or store)
  TActionMode GetActionMode() const { return FActionMode; }
  void SetActionMode(TActionMode Value) { SetRepainting(FActionMode, Value); }
  bool GetAllow24BitStretch() const { return FAllow24BitStretch; }
  void SetAllow24BitStretch(bool Value) { SetRebuilding(FAllow24BitStretch, Value); }
  bool GetAutoSize() const { return FAutoSize; }
  void SetAutoSize(bool Value);
  int GetAutoSizeMaxHeight() const { return FAutoSizeLimits.MaxHeight; }
  void SetAutoSizeMaxHeight(int Value) { AutoSizeLimit(FAutoSizeLimits.MaxHeight, Value); }
  int GetAutoSizeMinHeight() const { return FAutoSizeLimits.MinHeight; }
  void SetAutoSizeMinHeight(int Value) { AutoSizeLimit(FAutoSizeLimits.MinHeight, Value); }
  int GetAutoSizeMaxWidth() const { return FAutoSizeLimits.MaxWidth; }
  void SetAutoSizeMaxWidth(int Value) { AutoSizeLimit(FAutoSizeLimits.MaxWidth, Value); }
  int GetAutoSizeMinWidth() const { return FAutoSizeLimits.MinWidth; }
  void SetAutoSizeMinWidth(int Value) { AutoSizeLimit(FAutoSizeLimits.MinWidth, Value); }
  // Handed to each picture the view loads.
  TRGB GetBackGroundColor() const { return FBackGroundColor; }
  void SetBackGroundColor(TRGB Value) { FBackGroundColor = Value; }
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value) { SetArranging(FCenter, Value); }
  // Handed whole to each display-ready copy.
  bool GetDither() const { return FDitherOptions.Dither; }
  void SetDither(bool Value) { SetRebuilding(FDitherOptions.Dither, Value); }
  uint8_t GetDitherErrorLimit() const { return FDitherOptions.DitherErrorLimit; }
  void SetDitherErrorLimit(uint8_t Value) { DitherOption(FDitherOptions.DitherErrorLimit, Value); }
  bool GetDitherErrorLimitAuto() const { return FDitherOptions.DitherErrorLimitAuto; }
  void SetDitherErrorLimitAuto(bool Value) { DitherOption(FDitherOptions.DitherErrorLimitAuto, Value); }
  bool GetDitherErrorLimitSoft() const { return FDitherOptions.DitherErrorLimitSoft; }
  void SetDitherErrorLimitSoft(bool Value) { DitherOption(FDitherOptions.DitherErrorLimitSoft, Value); }
  bool GetFlipHorizontal() const { return FFlipHorizontal; }
  void SetFlipHorizontal(bool Value) { SetRepainting(FFlipHorizontal, Value); }
  bool GetFlipVertical() const { return FFlipVertical; }
  void SetFlipVertical(bool Value) { SetRepainting(FFlipVertical, Value); }
  bool GetKeepOldPaintPixelGraphic() const { return FKeepOldPaintPixelGraphic; }
  void SetKeepOldPaintPixelGraphic(bool Value) { FKeepOldPaintPixelGraphic = Value; }
  TPalette8BitSys24BitGraphic GetPalette8BitSys24BitGraphic() const { return FPalette8BitSys24BitGraphic; }
  // Values outside pBlackWhite..pOptimized252Sys16 are refused (ignored).
  void SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value);
  TPalette8BitSys8BitGraphic GetPalette8BitSys8BitGraphic() const { return FPalette8BitSys8BitGraphic; }
  // Values outside pBlackWhite..pSource are refused (ignored).
  void SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value);
  TColor GetPicBoxFrameColor() const { return FPicBoxFrameColor; }
  void SetPicBoxFrameColor(TColor Value) { FPicBoxFrameColor = Value; }
  bool GetProgress5Clocks() const { return FProgress5Clocks; }
  void SetProgress5Clocks(bool Value) { FProgress5Clocks = Value; }
  TColor GetProgressClockBkColor() const { return FProgressClockBkColor; }
  void SetProgressClockBkColor(TColor Value) { FProgressClockBkColor = Value; }
  TColor GetProgressClockLineColor() const { return FProgressClockLineColor; }
  void SetProgressClockLineColor(TColor Value) { FProgressClockLineColor = Value; }
  bool GetProgressClockVisible() const { return FProgressClockVisible; }
  void SetProgressClockVisible(bool Value) { FProgressClockVisible = Value; }
  bool GetRGBWeighting() const { return FRGBWeighting; }
  void SetRGBWeighting(bool Value) { SetRebuilding(FRGBWeighting, Value); }
  // Handed to each picture the view loads.
  TPGWarningAction GetReadWarningAction() const { return FReadWarningAction; }
  void SetReadWarningAction(TPGWarningAction Value) { FReadWarningAction = Value; }
  // On: every arrangement may move the TPicBox and reset the scroll positions, not only forced ones.
  bool GetRearrangeAlways() const { return FRearrangeAlways; }
  void SetRearrangeAlways(bool Value) { FRearrangeAlways = Value; }
  bool GetReduceOnLoad() const { return FReduceOnLoad; }
  void SetReduceOnLoad(bool Value) { FReduceOnLoad = Value; }
  // Handed to the picture by SaveToFile.
  TPGWarningAction GetSaveColorResWarningAction() const { return FSaveColorResWarningAction; }
  void SetSaveColorResWarningAction(TPGWarningAction Value) { FSaveColorResWarningAction = Value; }
  // The selection, in picture pixels, stored as it comes (it may lie outside the picture). While
  // it is on, its frame marches.
  bool GetSelection() const { return FSelection; }
  void SetSelection(bool Value);
  // The two colours of the frame's stripes.
  TColor GetSelectionColor1() const { return FSelectionColor1; }
  void SetSelectionColor1(TColor Value);
  TColor GetSelectionColor2() const { return FSelectionColor2; }
  void SetSelectionColor2(TColor Value);
  int GetSelectionLeft() const { return FSelectionBounds.Left; }
  void SetSelectionLeft(int Value);
  int GetSelectionTop() const { return FSelectionBounds.Top; }
  void SetSelectionTop(int Value);
  int GetSelectionWidth() const { return FSelectionBounds.Width; }
  void SetSelectionWidth(int Value);
  int GetSelectionHeight() const { return FSelectionBounds.Height; }
  void SetSelectionHeight(int Value);
  // Repaints only around the old and the new frame, at once.
  void SetSelectionBounds(int ALeft, int ATop, int AWidth, int AHeight);
  // In picture pixels, and in TPicBox pixels (right and bottom exclusive).
  TRect SelectionRect() const { return SelectionRectOf(FSelectionBounds); }
  TRect SelectionRectInPicBox() const;
  // Shows the hour glass while a file loads.
  bool GetShowHourGlass() const { return FShowHourGlass; }
  void SetShowHourGlass(bool Value) { FShowHourGlass = Value; }
  TStretch GetStretch() const { return FStretch; }
  void SetStretch(TStretch Value) { SetArranging(FStretch, Value); }
  TStretchMode GetStretchMode() const { return FStretchMode; }
  void SetStretchMode(TStretchMode Value) { SetRebuilding(FStretchMode, Value); }
  TTiling GetTiling() const { return FTiling; }
  void SetTiling(TTiling Value) { SetRepainting(FTiling, Value); }
  // Makes the display-ready copy on a worker thread; a change stops a running job.
  bool GetUseThread() const { return FUseThread; }
  void SetUseThread(bool Value);
  // The zoom of sZoomKAR as set (any value is stored; 0 and below show the picture at its size).
  long double GetZoomFactor() const { return FZoomFactor; }
  void SetZoomFactor(long double Value);

  // The TPicBox's own properties and events.
  TColor GetPicBoxColor() const { return FPicBox->GetColor(); }
  void SetPicBoxColor(TColor Value) { FPicBox->SetColor(Value); }
  TCursor GetPicBoxCursor() const { return FPicBox->GetCursor(); }
  void SetPicBoxCursor(TCursor Value) { FPicBox->SetCursor(Value); }
  TCursor GetPicBoxDragCursor() const { return FPicBox->GetDragCursor(); }
  void SetPicBoxDragCursor(TCursor Value) { FPicBox->SetDragCursor(Value); }
  TDragMode GetPicBoxDragMode() const { return FPicBox->GetDragMode(); }
  void SetPicBoxDragMode(TDragMode Value) { FPicBox->SetDragMode(Value); }
  const std::string& GetPicBoxHint() const { return FPicBox->GetHint(); }
  void SetPicBoxHint(const std::string& Value) { FPicBox->SetHint(Value); }
  bool GetPicBoxParentColor() const { return FPicBox->GetParentColor(); }
  void SetPicBoxParentColor(bool Value) { FPicBox->SetParentColor(Value); }
  bool GetPicBoxParentShowHint() const { return FPicBox->GetParentShowHint(); }
  void SetPicBoxParentShowHint(bool Value) { FPicBox->SetParentShowHint(Value); }
  TPopupMenu* GetPicBoxPopupMenu() const { return FPicBox->GetPopupMenu(); }
  void SetPicBoxPopupMenu(TPopupMenu* Value) { FPicBox->SetPopupMenu(Value); }
  bool GetPicBoxShowHint() const { return FPicBox->GetShowHint(); }
  void SetPicBoxShowHint(bool Value) { FPicBox->SetShowHint(Value); }
  intptr_t GetPicBoxTag() const { return FPicBox->GetTag(); }
  void SetPicBoxTag(intptr_t Value) { FPicBox->SetTag(Value); }
  TNotifyEvent GetPicBoxOnClick() const { return FPicBox->OnClick; }
  void SetPicBoxOnClick(TNotifyEvent Value) { FPicBox->OnClick = std::move(Value); }
  TNotifyEvent GetPicBoxOnDblClick() const { return FPicBox->OnDblClick; }
  void SetPicBoxOnDblClick(TNotifyEvent Value) { FPicBox->OnDblClick = std::move(Value); }
  TDragDropEvent GetPicBoxOnDragDrop() const { return FPicBox->OnDragDrop; }
  void SetPicBoxOnDragDrop(TDragDropEvent Value) { FPicBox->OnDragDrop = std::move(Value); }
  TDragOverEvent GetPicBoxOnDragOver() const { return FPicBox->OnDragOver; }
  void SetPicBoxOnDragOver(TDragOverEvent Value) { FPicBox->OnDragOver = std::move(Value); }
  TEndDragEvent GetPicBoxOnEndDrag() const { return FPicBox->OnEndDrag; }
  void SetPicBoxOnEndDrag(TEndDragEvent Value) { FPicBox->OnEndDrag = std::move(Value); }
  TStartDragEvent GetPicBoxOnStartDrag() const { return FPicBox->OnStartDrag; }
  void SetPicBoxOnStartDrag(TStartDragEvent Value) { FPicBox->OnStartDrag = std::move(Value); }
  TMouseEvent GetPicBoxOnMouseDown() const { return FPicBox->UserMouseDown; }
  void SetPicBoxOnMouseDown(TMouseEvent Value) { FPicBox->UserMouseDown = std::move(Value); }
  TMouseMoveEvent GetPicBoxOnMouseMove() const { return FPicBox->UserMouseMove; }
  void SetPicBoxOnMouseMove(TMouseMoveEvent Value) { FPicBox->UserMouseMove = std::move(Value); }
  TMouseEvent GetPicBoxOnMouseUp() const { return FPicBox->UserMouseUp; }
  void SetPicBoxOnMouseUp(TMouseEvent Value) { FPicBox->UserMouseUp = std::move(Value); }
  TNotifyEvent GetPicBoxOnPaint() const { return FPicBox->UserPaint; }
  void SetPicBoxOnPaint(TNotifyEvent Value) { FPicBox->UserPaint = std::move(Value); }

  // ---- events
  // Every PixelGraphicChanged, with the size auto size computes (also while AutoSize is off).
  TPGINewAutoSizeEvent OnNewAutoSize;
  // Before and after every paint.
  TNotifyEvent OnPaint;
  TNotifyEvent OnPainting;
  // The end of every PixelGraphicChanged.
  TNotifyEvent OnPixelGraphicChange;
  // The picture's own progress events, relayed unchanged (Abort stops the picture's operation).
  TPGProgressEvent OnPixelGraphicProgress;
  TNotifyEvent OnPixelGraphicProgressEnd;
  TNotifyEvent OnPixelGraphicProgressStart;
  TNotifyEvent OnSelectionChange;
  TNotifyEvent OnSelectionMade;
  TPGSetCursorEvent OnSetCursor;
  // The effective zoom changed (fired before the TPicBox moves).
  TNotifyEvent OnZoomFactorChange;
  TPGSetCursorEvent PicBoxOnSetCursor;

 protected:
  // The view's canvas holds DC while Paint runs.
  void PaintWindow(HDC DC) override;
  // Draws everything but the selection; nothing while the TPicBox is being placed.
  virtual void Paint();
  // Paint covers the whole client area.
  bool EraseBackground(HDC) override { return true; }
  void WndProc(TMessage& Message) override;
  // Nothing for null; WithChange also routes the picture's OnChange to PixelGraphicChanged.
  void HookPixelGraphic(TPixelGraphic* Graphic, bool WithChange);
  // Drops the display-ready copy (with KeepOldPaintPixelGraphic and UseThread it only becomes
  // outdated and stays on screen until its successor arrives).
  void ReleasePaintPixelGraphic();
  // Whether painting uses the display-ready copy instead of the picture.
  bool UpdatePaintPixelGraphic();
  // Terminate and WaitFor on the paint thread: before the picture is changed, freed or lent.
  void StopPaintThread();
  // The window goes: the paint thread stops first and the results it posted are freed.
  void DestroyWnd() override;

  // ---- the display-ready copy and its progress (WM_PGPAINTPIXELGRAPHIC, WM_PGPROGRESS)
  TPixelGraphic* GetPaintPixelGraphic() const { return FPaintPixelGraphic; }
  TCreatePaintPGThread* GetPaintThread() const { return FPaintThread; }
  // Takes a finished copy over (null: the job failed, and the picture is painted itself).
  void PaintPixelGraphicReady(TPixelGraphic* Graphic);
  void SetProgress(int Stage, int Percent);
  // The clocks over the picture area, on the view's canvas.
  void DrawProgressClocks();

  // ---- selection and mouse
  // Drag states: none, moving the picture, moving the selection, making one; resizing by handle
  // H is DragResize + H.
  enum : uint8_t { DragNone, DragMoveImage, DragMoveSelection, DragMakeSelection, DragResize };
  uint8_t GetDragState() const { return FDragState; }
  TTimer* GetSelectionTimer() const { return FSelectionTimer; }
  TTimer* GetAutoScrollTimer() const { return FAutoScrollTimer; }
  void PicBoxPaint();
  void DrawSelection();
  void MakeSelectionBrushes();
  void SelectionTimer();
  void AutoScrollTimer();
  void PicBoxMouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  void PicBoxMouseMove(TShiftState Shift, int X, int Y);
  void PicBoxMouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  void SelectTo(int X, int Y);
  void WMSetCursor(TMessage& Message);

 private:
  // The setters' rules: store a new value, then PixelGraphicChanged / Arrange(true) / Invalidate.
  template <class T>
  void SetRebuilding(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    PixelGraphicChanged();
  }
  template <class T>
  void SetArranging(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Arrange(true);
  }
  template <class T>
  void SetRepainting(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    Invalidate();
  }
  void AutoSizeLimit(int& Field, int Value);
  template <class T>
  void DitherOption(T& Field, T Value) {
    if (Field == Value) return;
    Field = Value;
    if (FDitherOptions.Dither) PixelGraphicChanged();
  }
  TArrangeArea ArrangeArea() const;
  // Frees the results and progress reports the paint thread posted and the view has not taken:
  // they belong to a picture or a job that is gone.
  void DrainPaintMessages();
  // Starts a paint job; true when painting is to use the copy (made already without a thread).
  bool StartPaintJob(int ScreenBits, bool NeedStretch);
  // The picture is moved by a drag: larger than the client area where a scroll bar is shown.
  bool CanMovePicture();
  void FreeSelectionBrushes();
  TSelectionScale SelectionScale() const;
  // Captures the mouse for the TPicBox, so that moves outside it still reach it.
  void CaptureMouse();
  // Sets Abort from the user's handler; the view adds nothing.
  void DoPixelGraphicProgress(TObject* Sender, int Step, int Max, bool& Abort);

  TActionMode FActionMode = amMoveImage;
  bool FAllow24BitStretch = false;
  bool FAutoSize = false;
  TAutoSizeLimits FAutoSizeLimits;
  TRGB FBackGroundColor = 0;
  TControlCanvas* FCanvas;
  bool FCenter = false;
  // The current or last paint job (a stand-in that does nothing before the first).
  TCreatePaintPGThread* FPaintThread = nullptr;
  uint8_t FDragState = DragNone;
  TPoint FDragStart{0, 0};   // TPicBox pixels
  TPoint FGrabOffset{0, 0};  // picture pixels
  TPoint FAnchor{0, 0};      // picture pixels
  TDitherOptions FDitherOptions;
  std::string FFileName;
  bool FFlipHorizontal = false;
  bool FFlipVertical = false;
  int FPictureHeight = 0, FPictureWidth = 0;  // as PixelGraphicChanged last took them
  bool FKeepOldPaintPixelGraphic = false;
  bool FPaintingSuppressed = false;  // while Arrange moves the TPicBox
  TPixelGraphic* FPaintPixelGraphic = nullptr;  // the display-ready copy, owned
  bool FPaintPixelGraphicOutdated = false;
  int FPaintPixelGraphicWidth = 0, FPaintPixelGraphicHeight = 0;  // the size the copy was made for
  // The last job failed: the picture is painted itself until the copy is outdated again.
  bool FPaintPixelGraphicFailed = false;
  TPalette8BitSys24BitGraphic FPalette8BitSys24BitGraphic = pOptimized252Sys16;
  TPalette8BitSys8BitGraphic FPalette8BitSys8BitGraphic = pOptimized252Sys16;
  TPicBox* FPicBox = nullptr;
  TColor FPicBoxFrameColor = clBtnShadow;
  TPixelGraphic* FPixelGraphic = nullptr;  // owned
  bool FProgress5Clocks = true;
  TColor FProgressClockBkColor = clBtnFace;
  TColor FProgressClockLineColor = clBtnShadow;
  bool FProgressClockVisible = true;
  int FProgressStage = 0, FProgressPercent = 0;
  bool FRGBWeighting = true;
  TPGWarningAction FReadWarningAction = pgwaOKCancelBox;
  bool FRearrangeAlways = false;
  bool FReduceOnLoad = false;
  TBrush* FPhaseBrushes[8] = {};
  TBitmap* FPhaseBitmaps[8] = {};
  bool FSelection = false;
  uint8_t FSelectionPhase = 0;
  TColor FSelectionColor1 = clWhite;
  TColor FSelectionColor2 = 255;
  TSelectionBounds FSelectionBounds;
  TTimer* FSelectionTimer = nullptr;
  TTimer* FAutoScrollTimer = nullptr;
  bool FShowHourGlass = true;
  TStretch FStretch = sNeverKAR;
  TStretchMode FStretchMode = smFast;
  bool FUseThread = true;
  TTiling FTiling = tNone;
  TPGWarningAction FSaveColorResWarningAction = pgwaOKCancelBox;
  long double FZoomFactor = 1.0L;
  long double FEffectiveZoom = 1.0L;
};

}  // namespace imagelib
