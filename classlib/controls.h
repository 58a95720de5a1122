// The control framework: TControl (geometry, parent, alignment, visibility, mouse events),
// TWinControl (a real window with its procedure, reflection of child notifications, painting of
// windowless children and mouse routing to them), TGraphicControl (windowless, painted by its
// parent) and TCustomControl (a window that paints itself on a canvas).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "classlib/canvas.h"
#include "classlib/component.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TWinControl;
class TForm;
class TPopupMenu;
class TDragObject;

// One window message as a control's WndProc sees it.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

// Internal messages of the class library (0xB000..0xBBFF) and reflected notifications
// (CN_BASE + the original message, sent by the parent to the child that caused them).
constexpr UINT CM_BASE = 0xB000;
constexpr UINT CM_FONTCHANGED = CM_BASE + 0x11;
constexpr UINT CM_TEXTCHANGED = CM_BASE + 0x12;
constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_NOTIFY = CN_BASE + WM_NOTIFY;
constexpr UINT CN_HSCROLL = CN_BASE + WM_HSCROLL;
constexpr UINT CN_VSCROLL = CN_BASE + WM_VSCROLL;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_CTLCOLOREDIT = CN_BASE + WM_CTLCOLOREDIT;
constexpr UINT CN_CTLCOLORBTN = CN_BASE + WM_CTLCOLORBTN;
constexpr UINT CN_CTLCOLORSTATIC = CN_BASE + WM_CTLCOLORSTATIC;

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

enum TShiftStateFlag : unsigned {
  ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32, ssDouble = 64
};
using TShiftState = unsigned;

enum TControlStyleFlag : unsigned {
  csAcceptsControls = 1, csCaptureMouse = 2, csClickEvents = 4, csDoubleClicks = 8, csOpaque = 16,
  csReplicatable = 32, csSetCaption = 64
};
using TControlStyle = unsigned;

using TMouseEvent = std::function<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = std::function<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
// A handler that sets Key to 0 keeps the key from the control.
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = std::function<void(TObject* Sender, char& Key)>;

// How the input method editor is set while a control has the focus: off for the control
// (imDisable), closed, open, left as it is (imDontCare), or open in one input mode.
enum TImeMode { imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese,
                imSHanguel, imHanguel };

// Dragging controls onto each other is not built: its mode, cursor and events are only stored.
enum TDragMode { dmManual, dmAutomatic };
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;

// The window parameters a control asks for; CreateParams fills them, CreateWnd uses them.
struct TCreateParams {
  std::string Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  HMENU Menu = nullptr;
  void* Param = nullptr;
  UINT ClassStyle = CS_DBLCLKS;
  std::string WinClassName;
  // A system class ("EDIT", "msctls_updown32", ...) that WinClassName is a superclass of.
  std::string SuperClassOf;
};

// MK_* key flags of a mouse message plus the Alt key state.
TShiftState KeysToShiftState(WPARAM Keys);
// Shift and Ctrl as they are now, Alt from a key message's data.
TShiftState KeyDataToShiftState(LPARAM KeyData);

class TControl : public TComponent {
  CL_CLASS(TControl)
  explicit TControl(TComponent* AOwner);
  void BeforeDestruction() override;

  // ---- geometry; everything goes through the virtual SetBounds
  int GetLeft() const { return FLeft; }
  int GetTop() const { return FTop; }
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.Left, R.Top, R.Width(), R.Height()); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  virtual TRect GetClientRect();
  int GetClientWidth() { return GetClientRect().Width(); }
  int GetClientHeight() { return GetClientRect().Height(); }
  // Screen position of the client area's top-left corner.
  virtual TPoint GetClientOrigin();
  TPoint ClientToScreen(TPoint P);
  TPoint ScreenToClient(TPoint P);

  // ---- parent and layout
  TWinControl* GetParent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);
  TAlign GetAlign() const { return FAlign; }
  void SetAlign(TAlign Value);
  bool GetVisible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  // ---- appearance
  TColor GetColor() const;  // the parent's while ParentColor is set
  void SetColor(TColor Value);
  bool GetParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  TFont* GetFont() { return &FFont; }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  virtual std::string GetText();
  virtual void SetText(const std::string& Value);
  std::string GetCaption() { return GetText(); }
  void SetCaption(const std::string& Value) { SetText(Value); }
  const std::string& GetHint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool GetShowHint() const;  // effective: the parent's while ParentShowHint is set
  void SetShowHint(bool Value);
  bool GetParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  TControlStyle GetControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  // Shown over the control while it is not crDefault (the window's WM_SETCURSOR).
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value) { FCursor = Value; }
  TCursor GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  TDragMode GetDragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  // Pops up on a right click (WM_CONTEXTMENU); forgotten when the menu is freed. The window
  // asks the virtual getter, so that a control can offer a menu of its own.
  virtual TPopupMenu* GetPopupMenu() { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);

  // ---- painting and messages
  virtual void Invalidate();
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual void WndProc(TMessage& Message);
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  // Runs the mouse sequence (capture, click, events) for a message whose point is in this
  // control's coordinates. Parents call it for the windowless child the message is meant for.
  void MouseInput(UINT Msg, WPARAM Keys, int X, int Y);
  bool GetMouseCapture() const;
  void SetMouseCapture(bool Value);

  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TDragDropEvent OnDragDrop;
  TDragOverEvent OnDragOver;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;

 protected:
  friend class TWinControl;
  friend class TScrollBox;
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void DefaultHandler(TMessage& Message) { Message.Result = 0; }
  // The parent's colour or font changed (ParentColor / ParentFont).
  virtual void ParentColorChanged();
  virtual void FontChanged();
  virtual void VisibleChanging() {}
  virtual void TextChanged() {}
  virtual void HintChanged() {}
  void RequestAlign();
  virtual bool IsWindowed() const { return false; }
  void Notification(TComponent* Component, TOperation Operation) override;

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TWinControl* FParent = nullptr;
  TAlign FAlign = alNone;
  bool FVisible = true;
  bool FEnabled = true;
  TColor FColor = clBtnFace;
  bool FParentColor = false;
  TFont FFont;
  bool FParentFont = true;
  std::string FText;
  std::string FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  TCursor FCursor = crDefault;
  TCursor FDragCursor = crDrag;
  TDragMode FDragMode = dmManual;
  TPopupMenu* FPopupMenu = nullptr;

 private:
  // The parent's font, which leaves ParentFont on.
  void TakeParentFont();
  bool FClicked = false;
  bool FUpdatingFont = false;
};

class TWinControl : public TControl {
  CL_CLASS(TWinControl)
  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;

  // The window, made on first need; "Control '<name>' has no parent window" without one.
  HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { GetHandle(); }
  void DestroyHandle();
  // Replaces the window at once by a new one, when there is one (a style that only creation sets
  // has changed).
  void RecreateWnd();

  int GetControlCount() const { return int(FControls.size()); }
  TControl* GetControl(int Index) const { return FControls.at(size_t(Index)); }
  // The topmost visible windowless child at P (right and bottom edges exclusive).
  TControl* ControlAtPos(TPoint P, bool AllowDisabled = false);
  TControl* GetCaptureControl() const { return FCaptureControl; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;
  void SetVisible(bool Value) override;
  void SetEnabled(bool Value) override;
  std::string GetText() override;
  void SetText(const std::string& Value) override;
  void Invalidate() override;
  void Update() override;
  void WndProc(TMessage& Message) override;

  bool Focused();
  bool CanFocus();
  void SetFocus();  // "Cannot focus a disabled or invisible window"
  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  // The place among the parent's windowed children in the order Tab goes through them; they
  // come in the order they were put on the parent. Without a parent it is -1 and setting it
  // does nothing; a value out of range makes the control the last.
  int GetTabOrder() const;
  void SetTabOrder(int Value);
  // Focuses the next (or previous) control after Current in this one's tab order, children of
  // windowed children included, that can take the focus and, with CheckTabStop, is a tab stop;
  // wraps around. False when there is none.
  bool SelectNext(TWinControl* Current, bool GoForward, bool CheckTabStop);
  // Three-dimensional look of borders and frames; setting it ends ParentCtl3D.
  bool GetCtl3D() const { return FCtl3D; }
  virtual void SetCtl3D(bool Value);
  // Ctl3D follows the parent's.
  bool GetParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  // Applied whenever the control takes the focus; ImeName is the description of the input
  // method's keyboard layout, which is made active then ('' leaves the layout).
  TImeMode GetImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode Value);
  const std::string& GetImeName() const { return FImeName; }
  void SetImeName(const std::string& Value);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

  // Lays out the aligned children within the client area (see AlignControls).
  void Realign();

  // Child list maintenance (SetParent calls these).
  void InsertControl(TControl* Control);
  void RemoveControl(TControl* Control);

  // The classlib object of a window of this thread, or null.
  static TWinControl* FindControl(HWND Window);

 protected:
  friend class TControl;
  friend LRESULT CALLBACK StdWndProc(HWND, UINT, WPARAM, LPARAM);
  virtual void CreateParams(TCreateParams& Params);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  // Runs Create, the system call that makes the window, so that the window belongs to this
  // control from its first message on. For CreateWindowHandle overrides.
  void CreateBoundWindow(const std::function<HWND()>& Create);
  // After the window exists: font, stored state, then the children's windows.
  virtual void CreateWndDone() {}
  virtual void DestroyWnd();
  void DefaultHandler(TMessage& Message) override;
  // Alignment within Rect; TScrollBox adds the scroll range afterwards.
  virtual void AlignControls(TRect& Rect);
  virtual void AdjustClientRect(TRect&) {}
  // The client rectangle before the window exists.
  virtual TRect ClientRectWithoutHandle();
  // Default WM_PAINT of an own window class: PaintWindow, then the windowless children.
  void PaintHandler(HDC GivenDC);
  virtual void PaintWindow(HDC DC);
  void PaintControls(HDC DC);
  // WM_ERASEBKGND: fills the client area with the effective colour; return false to leave it.
  virtual bool EraseBackground(HDC DC);
  // WM_COMMAND with lParam 0 (menus); false passes it on to the default procedure.
  virtual bool CommandFromMenu(WPARAM WParam) { return false; }
  // The solid brush of the effective colour, for reflected WM_CTLCOLOR*.
  HBRUSH GetColorBrush();
  // The frame of a bordered window: a sunken edge with Ctl3D, else a line. In the parameters of
  // a new window, or changed on the window there is.
  void BorderParams(TCreateParams& Params, bool Bordered) const;
  void UpdateBorderStyle(bool Bordered);
  // The bits of Mask in the window's style (GWL_STYLE) or extended style (GWL_EXSTYLE) become
  // those of Bits, the others stay, in one write; nothing without a window.
  void SetWindowStyleBits(LONG Mask, LONG Bits, int Index = GWL_STYLE);
  void SetWindowStyleBit(LONG Bit, bool On, int Index = GWL_STYLE) { SetWindowStyleBits(Bit, On ? Bit : 0, Index); }
  // The focus came or went; the key events, before the control sees the key.
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(WORD& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(WORD& Key, TShiftState Shift);
  bool IsWindowed() const override { return true; }
  void FontChanged() override;
  void ParentColorChanged() override;
  void HintChanged() override;
  bool OwnWindowClass() const { return FDefWndProc == nullptr || FDefWndProc == DefWindowProcA; }

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  std::vector<TControl*> FControls;
  TControl* FCaptureControl = nullptr;
  bool FTabStop = false;
  bool FCreatingWnd = false;
  bool FCtl3D = true;

 private:
  void AddTabOrderList(std::vector<TWinControl*>& List);
  void ParentCtl3DChanged();
  void ApplyIme();
  void ResetIme();
  // Runs a key message through the key events; false when a handler swallowed the key.
  bool KeyEvent(TMessage& Message);
  void ReflectTo(HWND Child, UINT Msg, TMessage& Message);
  bool ReflectNotification(TMessage& Message);
  void RouteMouse(TMessage& Message);
  // WM_SETCURSOR and WM_CONTEXTMENU for this window; false leaves them to the default procedure.
  bool SetCursorFor(TMessage& Message);
  bool PopupFor(TMessage& Message);
  void UpdateBounds();
  void ApplyFont();
  bool FAligning = false;
  HFONT FWindowFont = nullptr;
  HBRUSH FColorBrush = nullptr;
  TColor FColorBrushColor = clNone;
  std::vector<TWinControl*> FTabList;
  bool FParentCtl3D = true;
  bool FUpdatingCtl3D = false;
  TImeMode FImeMode = imDontCare;
  std::string FImeName;
  bool FImeDisabled = false;
  HKL FLayoutBeforeIme = nullptr;
};

// A canvas on a control: the paint DC during painting; outside painting a DC of the window
// (for a windowless control, of its parent with the origin moved), released when the outermost
// window procedure call returns.
class TControlCanvas : public TCanvas {
  CL_CLASS(TControlCanvas)
  explicit TControlCanvas(TControl* AControl) : FControl(AControl) {}
  ~TControlCanvas() override;
  TControl* GetControl() const { return FControl; }
  void FreeHandle();
  // Canvas DCs taken outside painting and not yet released.
  static int HeldDCCount();
  static void ReleaseHeldDCs();

 protected:
  void CreateHandle() override;

 private:
  TControl* FControl;
  HDC FDC = nullptr;
  HWND FDCWindow = nullptr;
};

class TGraphicControl : public TControl {
  CL_CLASS(TGraphicControl)
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* GetCanvas() { return FCanvas; }
  // Invalidates the bounds in the parent's window; nothing while the parent has no window.
  void Invalidate() override;
  void Update() override;

 protected:
  friend class TWinControl;
  virtual void Paint() {}

 private:
  TControlCanvas* FCanvas;
};

class TCustomControl : public TWinControl {
  CL_CLASS(TCustomControl)
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() { return FCanvas; }

 protected:
  virtual void Paint() {}
  void PaintWindow(HDC DC) override;

 private:
  TControlCanvas* FCanvas;
};

// The form that holds a control, or null.
TForm* GetParentForm(TControl* Control);

LRESULT CALLBACK StdWndProc(HWND Window, UINT Msg, WPARAM WParam, LPARAM LParam);

// Runs Body as the window procedure runs a message (for callbacks from the system that are not
// window messages, such as timers): an exception goes to the application, and canvas DCs taken
// meanwhile are released when no window procedure is running.
void DispatchCallback(TObject* Sender, const std::function<void()>& Body);

}  // namespace classlib
