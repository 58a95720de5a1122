// In-memory stand-in for the GDI, memory and cursor calls of the core (native build only).
#include "classlib/winapi.h"
#include "classlib/testing.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <unistd.h>
#include <unordered_set>
#include <vector>

enum class NativeKind : uint32_t { Bitmap = 0xB17B17, Palette = 0xBA1E77E, Global = 0x610BA1, Cursor = 0xC0C0C0, Module = 0x3D3D3D };

struct NativeObject {
  NativeKind kind;
  std::vector<uint8_t> data;        // palette entries, global memory, cursor planes
  // Bitmap pixels: calloc'ed, so that a large section costs no more than the pages it uses, as
  // with the system's own sections.
  std::unique_ptr<uint8_t, void (*)(void*)> pixels{nullptr, &std::free};
  int lockCount = 0;                // global memory
  int hotX = 0, hotY = 0, width = 0, height = 0;  // cursors
};

namespace {

// Leaked on purpose: handles may be deleted from late clean-up, after static destructors.
std::mutex& Lock() { static auto* m = new std::mutex; return *m; }
std::unordered_set<NativeObject*>& Live() { static auto* s = new std::unordered_set<NativeObject*>; return *s; }

int gFailAfter = 0;  // the n-th next CreateDIBSection fails when > 0

NativeObject* Make(NativeKind kind) {
  auto* o = new NativeObject{kind, {}};
  std::lock_guard<std::mutex> g(Lock());
  Live().insert(o);
  return o;
}

NativeObject* Find(void* handle, NativeKind kind) {
  std::lock_guard<std::mutex> g(Lock());
  auto* o = static_cast<NativeObject*>(handle);
  if (!o || !Live().count(o) || o->kind != kind) return nullptr;
  return o;
}

bool Destroy(void* handle, NativeKind kind) {
  std::lock_guard<std::mutex> g(Lock());
  auto* o = static_cast<NativeObject*>(handle);
  if (!o || !Live().count(o) || o->kind != kind) return false;
  Live().erase(o);
  delete o;
  return true;
}

}  // namespace

namespace classlib::testing {
void ForceCreateDIBSectionFailure(int n) { gFailAfter = n; }
int NativeLiveHandleCount() {
  std::lock_guard<std::mutex> g(Lock());
  return int(Live().size());
}
bool NativeCursorInfo(HCURSOR cursor, int& hotX, int& hotY, const uint8_t*& andPlane, const uint8_t*& xorPlane) {
  NativeObject* o = Find(cursor, NativeKind::Cursor);
  if (!o) return false;
  hotX = o->hotX;
  hotY = o->hotY;
  size_t plane = o->data.size() / 2;
  andPlane = o->data.data();
  xorPlane = o->data.data() + plane;
  return true;
}
}  // namespace classlib::testing

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, UINT, void** bits, HANDLE, DWORD) {
  if (bits) *bits = nullptr;
  if (!info) return nullptr;
  if (gFailAfter > 0 && --gFailAfter == 0) return nullptr;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  int64_t width = h.biWidth, height = std::llabs(int64_t(h.biHeight)), bpp = h.biBitCount;
  if (width <= 0 || height <= 0 || bpp <= 0) return nullptr;
  int64_t row = ((bpp * width + 31) / 32) * 4;
  if (row > INT32_MAX || row * height > INT32_MAX) return nullptr;
  auto* pixels = static_cast<uint8_t*>(std::calloc(size_t(row * height), 1));
  if (!pixels) return nullptr;
  NativeObject* o = Make(NativeKind::Bitmap);
  o->pixels.reset(pixels);
  if (bits) *bits = pixels;
  return o;
}

BOOL DeleteObject(HGDIOBJ object) {
  return Destroy(object, NativeKind::Bitmap) || Destroy(object, NativeKind::Palette);
}

BOOL GdiFlush() { return TRUE; }

HPALETTE CreatePalette(const LOGPALETTE* palette) {
  if (!palette || palette->palVersion != 0x300) return nullptr;
  NativeObject* o = Make(NativeKind::Palette);
  const auto* first = reinterpret_cast<const uint8_t*>(palette->palPalEntry);
  o->data.assign(first, first + palette->palNumEntries * sizeof(PALETTEENTRY));
  return o;
}

UINT GetPaletteEntries(HPALETTE palette, UINT start, UINT count, PALETTEENTRY* entries) {
  NativeObject* o = Find(palette, NativeKind::Palette);
  if (!o) return 0;
  UINT total = UINT(o->data.size() / sizeof(PALETTEENTRY));
  if (!entries) return total;
  if (start >= total) return 0;
  if (count > total - start) count = total - start;
  std::memcpy(entries, o->data.data() + start * sizeof(PALETTEENTRY), count * sizeof(PALETTEENTRY));
  return count;
}

HGLOBAL GlobalAlloc(UINT, SIZE_T bytes) {
  if (bytes > SIZE_T(INT32_MAX)) return nullptr;
  NativeObject* o = Make(NativeKind::Global);
  o->data.assign(bytes, 0);
  return o;
}

LPVOID GlobalLock(HGLOBAL memory) {
  NativeObject* o = Find(memory, NativeKind::Global);
  if (!o) return nullptr;
  ++o->lockCount;
  return o->data.empty() ? static_cast<void*>(o) : o->data.data();
}

BOOL GlobalUnlock(HGLOBAL memory) {
  NativeObject* o = Find(memory, NativeKind::Global);
  if (!o || o->lockCount == 0) return FALSE;
  return --o->lockCount > 0;
}

SIZE_T GlobalSize(HGLOBAL memory) {
  NativeObject* o = Find(memory, NativeKind::Global);
  return o ? o->data.size() : 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) { return Destroy(memory, NativeKind::Global) ? nullptr : memory; }

HCURSOR CreateCursor(HINSTANCE, int xHotSpot, int yHotSpot, int width, int height, const void* andPlane,
                     const void* xorPlane) {
  if (width <= 0 || height <= 0 || !andPlane || !xorPlane) return nullptr;
  size_t plane = size_t((width + 15) / 16 * 2) * size_t(height);
  NativeObject* o = Make(NativeKind::Cursor);
  o->hotX = xHotSpot;
  o->hotY = yHotSpot;
  o->width = width;
  o->height = height;
  o->data.resize(plane * 2);
  std::memcpy(o->data.data(), andPlane, plane);
  std::memcpy(o->data.data() + plane, xorPlane, plane);
  return o;
}

BOOL DestroyCursor(HCURSOR cursor) { return Destroy(cursor, NativeKind::Cursor); }

HMODULE GetModuleHandleA(LPCSTR name) {
  static NativeObject* self = Make(NativeKind::Module);
  return name ? nullptr : self;
}

int MulDiv(int number, int numerator, int denominator) {
  if (denominator == 0) return -1;
  int64_t product = int64_t(number) * numerator;
  // Halves go away from zero, as the Windows routine does.
  int64_t half = (denominator < 0 ? -int64_t(denominator) : denominator) / 2;
  bool negative = (product < 0) != (denominator < 0);
  int64_t magnitude = (product < 0 ? -product : product);
  int64_t d = denominator < 0 ? -int64_t(denominator) : denominator;
  int64_t q = (magnitude + half) / d;
  if (q > INT32_MAX) return -1;
  return int(negative ? -q : q);
}

DWORD GetTickCount() {
  using namespace std::chrono;
  return DWORD(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

DWORD GetCurrentThreadId() { return DWORD(gettid()); }
