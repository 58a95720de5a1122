// Another program on the clipboard, in plain Win32: "get <file>" writes the clipboard's device-
// independent bitmap to a BMP file, "put <file>" puts a BMP file on the clipboard as a bitmap.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {
bool Get(const char* File) {
  if (!OpenClipboard(nullptr)) return false;
  HANDLE data = GetClipboardData(CF_DIB);
  bool ok = false;
  if (auto* dib = static_cast<const BITMAPINFOHEADER*>(data ? GlobalLock(data) : nullptr)) {
    SIZE_T size = GlobalSize(data);
    DWORD colors = dib->biClrUsed ? dib->biClrUsed : dib->biBitCount <= 8 ? 1u << dib->biBitCount : 0;
    DWORD masks = dib->biCompression == BI_BITFIELDS ? 12 : 0;
    BITMAPFILEHEADER head{};
    head.bfType = 0x4D42;
    head.bfSize = DWORD(sizeof head + size);
    head.bfOffBits = DWORD(sizeof head + dib->biSize + masks + 4 * colors);
    if (FILE* f = std::fopen(File, "wb")) {
      ok = std::fwrite(&head, sizeof head, 1, f) == 1 && std::fwrite(dib, size, 1, f) == 1;
      ok = std::fclose(f) == 0 && ok;
    }
    GlobalUnlock(data);
  }
  CloseClipboard();
  return ok;
}

bool Put(const char* File) {
  auto* bitmap = static_cast<HBITMAP>(LoadImageA(nullptr, File, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!bitmap || !OpenClipboard(nullptr)) return false;
  EmptyClipboard();
  bool ok = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  CloseClipboard();
  return ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  if (!std::strcmp(argv[1], "get")) return Get(argv[2]) ? 0 : 1;
  if (!std::strcmp(argv[1], "put")) return Put(argv[2]) ? 0 : 1;
  return 2;
}
