// The file dialogs' hook: it lays out the preview and info panels in the empty child dialog the
// system makes for it, clears the preview on every selection change, starts the preview thread
// 150 ms after the last one, takes its results and progress, draws both panels, centres the
// dialog and keeps the save dialog's extension in step with the chosen type.
//
// The preview thread is never waited for while the dialog runs: a selection change cancels it
// (it posts nothing from then on), frees what it had already posted, and a new preview starts
// once a cancelled thread has stopped, at the latest at its reader's next progress report.
#include <algorithm>
#include <cstring>
#include <vector>

#include "classlib/application.h"
#include "classlib/files.h"
#include "classlib/gdihandles.h"
#include "classlib/graphics.h"
#include "classlib/text.h"
#include "imagelib/PGInit.h"
#include "imagelib/view/PGFileDialogs.h"
#include "imagelib/view/PGPaintGeometry.h"
#include "imagelib/view/PGProgressClock.h"

namespace imagelib {

namespace {

const char* const kDialogProperty = "TPGOpenDialog";

// A path the dialog gives (CDM_GETFILEPATH, CDM_GETFOLDERPATH), of any length; empty when it
// has none. A dialog whose answer does not fit copies nothing and tells the size it needs.
std::string DialogPath(HWND Dialog, UINT Msg) {
  std::vector<char> buffer(256, '\0');
  for (int attempt = 0; attempt < 4; ++attempt) {
    const LRESULT reply = SendMessageA(Dialog, Msg, WPARAM(buffer.size()), reinterpret_cast<LPARAM>(buffer.data()));
    if (reply <= 0) return std::string();
    if (size_t(reply) > buffer.size()) {
      buffer.assign(size_t(reply), '\0');
      continue;
    }
    return std::string(buffer.data(), strnlen(buffer.data(), size_t(reply) - 1));
  }
  return std::string();
}

// Dialog units of the dialog window in pixels.
RECT DialogRect(HWND Dialog, int Left, int Top, int Width, int Height) {
  RECT r{Left, Top, Left + Width, Top + Height};
  MapDialogRect(Dialog, &r);
  return r;
}

HWND CreateChild(HWND Parent, const char* ClassName, const char* Caption, DWORD Style, const RECT& R, int Id) {
  return CreateWindowExA(0, ClassName, Caption, Style, R.left, R.top, R.right - R.left, R.bottom - R.top, Parent,
                         reinterpret_cast<HMENU>(INT_PTR(Id)), GetModuleHandleA(nullptr), nullptr);
}

void CenterDialogWindow(HWND Window) {
  RECT r{};
  GetWindowRect(Window, &r);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 3;
  SetWindowPos(Window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A canvas on a device context that the hook borrows, which gets its state back afterwards.
class TBorrowedCanvas {
 public:
  explicit TBorrowedCanvas(HDC DC) : FDC(DC), FSaved(SaveDC(DC)) { Canvas.SetHandle(DC); }
  TBorrowedCanvas(const TBorrowedCanvas&) = delete;
  TBorrowedCanvas& operator=(const TBorrowedCanvas&) = delete;
  ~TBorrowedCanvas() {
    Canvas.SetHandle(nullptr);
    RestoreDC(FDC, FSaved);
  }
  TCanvas Canvas;

 private:
  HDC FDC;
  int FSaved;
};

// A line of two segments in one pen colour.
void Corner(TCanvas& Canvas, TColor Color, TPoint A, TPoint B, TPoint C) {
  Canvas.GetPen()->SetColor(Color);
  Canvas.MoveTo(A.X, A.Y);
  Canvas.LineTo(B.X, B.Y);
  Canvas.LineTo(C.X, C.Y);
}

}  // namespace

UINT_PTR CALLBACK PGOpenDialogHookProc(HWND Window, UINT Msg, WPARAM wParam, LPARAM lParam) {
  TPGOpenDialog* dialog = nullptr;
  try {
    if (Msg == WM_INITDIALOG) {
      dialog = reinterpret_cast<TPGOpenDialog*>(reinterpret_cast<const OPENFILENAMEA*>(lParam)->lCustData);
      if (!dialog) return 0;
      SetPropA(Window, kDialogProperty, dialog);
      dialog->InitDialog(Window);
      return 1;
    }
    dialog = static_cast<TPGOpenDialog*>(GetPropA(Window, kDialogProperty));
    if (!dialog) return 0;
    switch (Msg) {
      case WM_NCDESTROY:
        RemovePropA(Window, kDialogProperty);
        dialog->NcDestroy();
        return 0;  // the dialog manager frees what it holds for the window
      case WM_PGPROGRESS:
        // Also DM_SETDEFID's number, which never comes here (PGViewMessages.h).
        dialog->DrawPreviewProgressClock(int(wParam) / 16, int(lParam));
        return 1;
      case WM_PGSTARTPREVIEW:
        dialog->StartPreview();
        return 1;
      case WM_PGPAINTPIXELGRAPHIC:
        // The dialog manager's DM_GETDEFID has this number too, and carries no picture.
        if (!lParam) return 0;
        dialog->PreviewArrived(reinterpret_cast<TPixelGraphic*>(lParam));
        return 1;
      case WM_PGPREVIEWFAILED:
        dialog->PreviewFailed();
        return 1;
      case WM_DRAWITEM: {
        const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item.hwndItem == dialog->FPreviewWindow) {
          dialog->DrawPreviewPanel(item);
          return 1;
        }
        if (item.hwndItem == dialog->FInfoWindow) {
          dialog->DrawInfoPanel(item);
          return 1;
        }
        return 0;
      }
      case WM_NOTIFY:
        switch (reinterpret_cast<const NMHDR*>(lParam)->code) {
          case CDN_SELCHANGE: dialog->ClearPreview(); return 1;
          case CDN_TYPECHANGE: dialog->ChangeFileNameExtension(); return 1;
          case CDN_INITDONE:
            dialog->FitHookWindow();
            CenterDialogWindow(GetParent(Window));
            return 1;
          default: return 0;
        }
      default: return 0;
    }
  } catch (...) {
    if (Application) Application->HandleException(dialog);
  }
  return 0;
}

void TPGOpenDialog::InitDialog(HWND Hook) {
  FDialogWindow = GetParent(Hook);
  FHookWindow = Hook;
  SetWindowLongA(Hook, GWL_STYLE, LONG(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
  const RECT all = DialogRect(FDialogWindow, 0, 0, 288, 144);
  SetWindowPos(Hook, nullptr, 0, 0, all.right - all.left, all.bottom - all.top, SWP_NOZORDER | SWP_NOACTIVATE);
  // The system puts its standard controls where the placeholder is, and the panels right of it.
  CreateChild(Hook, "Static", "-placeholder-", WS_CHILD | WS_CLIPSIBLINGS | WS_GROUP,
              DialogRect(FDialogWindow, 0, 0, 191, 144), stc32);
  const DWORD panel = WS_CHILD | WS_VISIBLE | WS_DISABLED | BS_OWNERDRAW;
  FPreviewWindow = CreateChild(Hook, "Button", "Button", panel, DialogRect(FDialogWindow, 192, 20, 92, 85), 0);
  FInfoWindow = CreateChild(Hook, "Button", "Button", panel, DialogRect(FDialogWindow, 193, 110, 92, 33), 0);
}

void TPGOpenDialog::FitHookWindow() {
  // The dialog moves the panels right of its standard controls; the system's dialog on this
  // platform leaves the hook window at the size it had before, which would clip them.
  RECT hook{};
  GetWindowRect(FHookWindow, &hook);
  LONG right = hook.right, bottom = hook.bottom;
  for (HWND panel : {FPreviewWindow, FInfoWindow}) {
    RECT r{};
    GetWindowRect(panel, &r);
    right = std::max(right, r.right);
    bottom = std::max(bottom, r.bottom);
  }
  if (right == hook.right && bottom == hook.bottom) return;
  SetWindowPos(FHookWindow, nullptr, 0, 0, right - hook.left, bottom - hook.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TPGOpenDialog::NcDestroy() {
  FTimer->SetEnabled(false);
  StopPreview();
  FPendingPath.clear();
  FPreviewWindow = FInfoWindow = FDialogWindow = FHookWindow = nullptr;
}

void TPGOpenDialog::PreviewTimer(TObject*) {
  if (FHookWindow) PostMessageA(FHookWindow, WM_PGSTARTPREVIEW, 0, 0);
  FTimer->SetEnabled(false);
}

void TPGOpenDialog::StopPreview() {
  if (FPreviewThread) FPreviewThread->Cancel();
  // What it posted before it was cancelled: pictures are freed, the rest is dropped.
  DrainPostedMessages(FHookWindow, WM_PGPAINTPIXELGRAPHIC,
                      [](const MSG& M) { Free(reinterpret_cast<TPixelGraphic*>(M.lParam)); });
  DrainPostedMessages(FHookWindow, WM_PGPREVIEWFAILED, [](const MSG&) {});
  DrainPostedMessages(FHookWindow, WM_PGPROGRESS, [](const MSG&) {});
  FreeAndNil(FPreviewGraphic);
}

void TPGOpenDialog::ClearPreview() {
  FTimer->SetEnabled(false);
  StopPreview();
  FPendingPath.clear();
  FInfoValid = false;
  FInfoFailure.clear();
  InvalidatePreviewPanel();
  InvalidateInfoPanel();
  FTimer->SetEnabled(true);  // the preview starts 150 ms after the last change
}

void TPGOpenDialog::StartPreview() {
  if (FPendingPath.empty()) {
    StopPreview();
    const std::string path = FirstSelectedPath(DialogPath(FDialogWindow, CDM_GETFILEPATH));
    FInfoValid = GetFileFormatInfo(path, 0, FInfoDescription, FInfoSubFormat, FInfoExtra, FInfoWidth, FInfoHeight,
                                   FInfoColors, FInfoBitCount, FInfoImageCount, &FInfoFailure);
    InvalidateInfoPanel();
    InvalidatePreviewPanel();
    if (!FInfoValid) return;
    FPendingPath = path;
  }
  StartPreviewThread();
}

void TPGOpenDialog::StartPreviewThread() {
  if (FPreviewThread && !FPreviewThread->GetFinished()) {
    // Cancelled, but still inside a step that reports no progress: try again shortly.
    FTimer->SetEnabled(true);
    return;
  }
  const std::string path = FPendingPath;
  FPendingPath.clear();
  FreeAndNil(FPreviewThread);
  FPreviewThread = New<TCreateOpenSaveDialogPaintPGThread>(true, false);
  FPreviewThread->FileName = path;
  FPreviewThread->DialogWindow = FDialogWindow;
  FPreviewThread->HookWindow = FHookWindow;
  RECT client{};
  GetClientRect(FPreviewWindow, &client);
  FPreviewThread->BoxWidth = client.right - client.left - 4;
  FPreviewThread->BoxHeight = client.bottom - client.top - 4;
  FPreviewThread->StretchMode = FStretchMode;
  FPreviewThread->Palette8BitSys24BitGraphic = FPalette8BitSys24BitGraphic;
  FPreviewThread->Palette8BitSys8BitGraphic = FPalette8BitSys8BitGraphic;
  FPreviewThread->ScreenBitCount = ScreenBitCount();
  FPreviewThread->Resume();
}

void TPGOpenDialog::PreviewArrived(TPixelGraphic* Graphic) {
  FreeAndNil(FPreviewGraphic);
  FPreviewGraphic = Graphic;
  InvalidatePreviewPanel();
}

void TPGOpenDialog::PreviewFailed() {
  FInfoFailure = FPreviewThread ? FPreviewThread->GetFailureText() : std::string();
  InvalidateInfoPanel();
}

std::vector<std::string> TPGOpenDialog::InfoLines() const {
  std::vector<std::string> lines;
  if (!FInfoValid && FInfoFailure.empty()) return lines;
  if (!FInfoDescription.empty()) lines.push_back(FInfoDescription);
  if (FInfoValid) {
    for (const std::string* detail : {&FInfoSubFormat, &FInfoExtra})
      if (!detail->empty()) lines.push_back(*detail);
    lines.push_back(PreviewInfoSizeLine(FInfoWidth, FInfoHeight, FInfoColors, FInfoBitCount, FInfoImageCount));
  }
  if (!FInfoFailure.empty()) lines.push_back(FInfoFailure);
  return lines;
}

// ---- the panels

void TPGOpenDialog::DrawPreviewPanel(const DRAWITEMSTRUCT& Item) {
  const int L = Item.rcItem.left, T = Item.rcItem.top, R = Item.rcItem.right, B = Item.rcItem.bottom;
  TBorrowedCanvas borrowed(Item.hDC);
  TCanvas& canvas = borrowed.Canvas;
  canvas.GetPen()->SetStyle(psClear);
  canvas.GetBrush()->SetColor(clBtnFace);
  canvas.Rectangle(L + 2, T + 2, R - 1, B - 1);
  // The sunken frame, two pixels wide.
  canvas.GetPen()->SetStyle(psSolid);
  Corner(canvas, clBtnShadow, {L, B - 2}, {L, T}, {R - 1, T});
  Corner(canvas, clBlack, {L + 1, B - 3}, {L + 1, T + 1}, {R - 2, T + 1});
  Corner(canvas, clWhite, {L, B - 1}, {R - 1, B - 1}, {R - 1, T - 1});
  Corner(canvas, clBtnFace, {L + 1, B - 2}, {R - 2, B - 2}, {R - 2, T});
  if (!FPreviewGraphic || FPreviewGraphic->GetWidth() <= 0 || FPreviewGraphic->GetHeight() <= 0) return;
  const TSize size = PreviewSize(FPreviewGraphic->GetWidth(), FPreviewGraphic->GetHeight(), R - L - 4, B - T - 4);
  const int x = (L + R - size.cx) / 2, y = (T + B - size.cy) / 2;
  FPreviewGraphic->DrawToDC(Item.hDC, Rect(x, y, x + size.cx, y + size.cy), false, SRCCOPY);
}

void TPGOpenDialog::DrawInfoPanel(const DRAWITEMSTRUCT& Item) {
  if (!FShowInfo) return;
  const std::vector<std::string> lines = InfoLines();
  if (lines.empty()) return;
  // A font of every field the dialog font's record may set, which a canvas's font would not keep.
  TGdiObject<HFONT> font(CreateFontIndirectA(&PGDialogLogFont));
  TSelectedObject selected(Item.hDC, font.get());
  const int height = Item.rcItem.bottom - Item.rcItem.top, n = int(lines.size());
  for (int i = 0; i < n; ++i)
    TextOutA(Item.hDC, 0, i * height / n, lines[size_t(i)].c_str(), int(lines[size_t(i)].size()));
}

void TPGOpenDialog::DrawPreviewProgressClock(int Stage, int Percent) {
  if (!FProgressClockVisible || !FPreviewWindow) return;
  RECT client{};
  GetClientRect(FPreviewWindow, &client);
  const int cx = client.left + (client.right - client.left) / 2, cy = client.top + (client.bottom - client.top) / 2;
  const int size = PGProgressClockSize, c = PGProgressClockCentre;
  TWindowDC dc(FPreviewWindow);
  // Drawn on the panel's face off screen, then copied in one piece.
  TMemoryDC mem(CreateCompatibleDC(dc.Get()));
  TGdiObject<HBITMAP> clock(CreateCompatibleBitmap(dc.Get(), size, size));
  TSelectedObject selected(mem.get(), clock.get());
  TBorrowedCanvas borrowed(mem.get());
  borrowed.Canvas.GetBrush()->SetColor(clBtnFace);
  borrowed.Canvas.FillRect(Rect(0, 0, size, size));
  PaintProgressClock(&borrowed.Canvas, 0, 0, Stage, Percent, FProgressClockLineColor, FProgressClockBkColor);
  // The clock's centre a pixel up and left of the panel's.
  BitBlt(dc.Get(), cx - c - 1, cy - c - 1, size, size, mem.get(), 0, 0, SRCCOPY);
}

void TPGOpenDialog::InvalidatePreviewPanel() {
  if (!FPreviewWindow) return;
  RECT r{};
  GetClientRect(FPreviewWindow, &r);
  InflateRect(&r, -2, -2);
  InvalidateRect(FPreviewWindow, &r, FALSE);
}

void TPGOpenDialog::InvalidateInfoPanel() {
  if (FInfoWindow) InvalidateRect(FInfoWindow, nullptr, TRUE);
}

// ---- the save dialog's extension

void TPGOpenDialog::ChangeFileNameExtension() {
  if (!IsSaveDialog || (GetOptions() & ofAllowMultiSelect) || !FOpenFileNameRecord) return;
  std::string path = DialogPath(FDialogWindow, CDM_GETFILEPATH);
  const std::string folder = DialogPath(FDialogWindow, CDM_GETFOLDERPATH);
  // No name the dialog could tell, or a folder: the name stays as it is.
  if (path.empty() || DirectoryExists(path)) return;
  path = ChangeFileExt(path, "." + FilterExtension(int(FOpenFileNameRecord->nFilterIndex)));
  if (!folder.empty() && ExtractFilePath(path) == IncludeTrailingPathDelimiter(folder)) path = ExtractFileName(path);
  SendMessageA(FDialogWindow, CDM_SETCONTROLTEXT, edt1, reinterpret_cast<LPARAM>(path.c_str()));
}

}  // namespace imagelib
