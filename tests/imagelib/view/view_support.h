// Helpers of the picture view's window tests: test pictures, a view that lets the tests see its
// paint job and its drag, pumping messages until something happens, and reading the view's
// pixels back through its own device context.
#pragma once

#include <functional>
#include <vector>

#include "classlib/winapi.h"
#include "imagelib/view/PGImage.h"

namespace testsupport {

using namespace imagelib;

constexpr TRGB kLeft = 0x2040C0, kRight = 0x30D020;  // the two halves of TwoHalves

// A 24-bit picture whose left half has one colour and right half another.
inline TPixelGraphic* TwoHalves(int W, int H) {
  auto* p = New<TPixelGraphic>();
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, x < W / 2 ? kLeft : kRight);
  return p;
}

// A 24-bit picture in which every pixel differs from its neighbours.
inline TPixelGraphic* Gradient(int W, int H) {
  auto* p = New<TPixelGraphic>();
  p->NewImage(W, H, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) p->SetPixel(x, y, MakeRGB(x * 255 / W, y * 255 / H, (x * 7 + y * 13) & 255));
  return p;
}

// The view with its paint job, drag and timers in reach.
class TTestView : public TPGImage {
 public:
  using TPGImage::TPGImage;
  using TPGImage::GetAutoScrollTimer;
  using TPGImage::GetDragState;
  using TPGImage::GetPaintPixelGraphic;
  using TPGImage::GetPaintThread;
  using TPGImage::GetSelectionTimer;
  using TPGImage::UpdatePaintPixelGraphic;
};

// Dispatches this thread's messages until Done holds (true) or TimeoutMs pass (false).
inline bool PumpUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 30000) {
  DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (Done()) return true;
    if (GetTickCount() - start > TimeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
}

// Waits, without taking any message, until Done holds.
inline bool WaitUntil(const std::function<bool()>& Done, DWORD TimeoutMs = 30000) {
  DWORD start = GetTickCount();
  while (!Done()) {
    if (GetTickCount() - start > TimeoutMs) return false;
    Sleep(1);
  }
  return true;
}

// Paints the window and its children now.
inline void PaintNow(HWND Window) {
  RedrawWindow(Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

inline COLORREF PixelAt(HWND Window, int X, int Y) {
  HDC dc = GetDC(Window);
  COLORREF c = GetPixel(dc, X, Y);
  ReleaseDC(Window, dc);
  return c;
}

// The window's client pixels W x H as TRGB values (red in the low byte), row by row.
inline std::vector<TRGB> Grab(HWND Window, int W, int H) {
  HDC dc = GetDC(Window);
  HDC mem = CreateCompatibleDC(dc);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = W;
  info.bmiHeader.biHeight = -H;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(mem, section);
  BitBlt(mem, 0, 0, W, H, dc, 0, 0, SRCCOPY);
  GdiFlush();
  std::vector<TRGB> pixels(size_t(W) * H);
  const auto* bgra = static_cast<const uint8_t*>(bits);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = MakeRGB(bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]);
  SelectObject(mem, old);
  DeleteObject(section);
  DeleteDC(mem);
  ReleaseDC(Window, dc);
  return pixels;
}

inline TRGB SysColor(int Index) {
  COLORREF c = GetSysColor(Index);
  return MakeRGB(GetRValue(c), GetGValue(c), GetBValue(c));
}

}  // namespace testsupport
