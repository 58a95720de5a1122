// Owning holders of raw GDI handles, for drawing that a canvas does not cover: each frees its
// handle, or puts back the object it replaced, when it goes, also when an exception passes. A
// handle that is only borrowed stays a raw handle.
#pragma once

#include <memory>
#include <type_traits>

#include "classlib/winapi.h"

namespace classlib {

struct TGdiObjectDeleter {
  void operator()(void* Object) const { DeleteObject(static_cast<HGDIOBJ>(Object)); }
};
// A pen, brush, font, bitmap or region, freed with DeleteObject: TGdiObject<HFONT>.
template <class Handle>
using TGdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, TGdiObjectDeleter>;

struct TMemoryDCDeleter {
  void operator()(HDC DC) const { DeleteDC(DC); }
};
// A device context made by CreateCompatibleDC.
using TMemoryDC = std::unique_ptr<std::remove_pointer_t<HDC>, TMemoryDCDeleter>;

// A window's device context from GetDC, released to the window.
class TWindowDC {
 public:
  explicit TWindowDC(HWND Window) : FWindow(Window), FDC(GetDC(Window)) {}
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  ~TWindowDC() {
    if (FDC) ReleaseDC(FWindow, FDC);
  }
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};

// Object selected into DC while the holder lives; the object it replaced goes back afterwards,
// so that the holder of Object may delete it then.
class TSelectedObject {
 public:
  TSelectedObject(HDC DC, HGDIOBJ Object) : FDC(DC), FOld(SelectObject(DC, Object)) {}
  TSelectedObject(const TSelectedObject&) = delete;
  TSelectedObject& operator=(const TSelectedObject&) = delete;
  ~TSelectedObject() { SelectObject(FDC, FOld); }

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

}  // namespace classlib
