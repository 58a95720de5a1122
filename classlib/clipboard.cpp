#include "classlib/clipboard.h"

#include "classlib/exceptions.h"
#include "classlib/finally.h"
#include "classlib/graphic.h"
#include "classlib/picture.h"
#include "classlib/utilitywindow.h"

namespace classlib {

namespace {
TClipboard* gClipboard = nullptr;
}

TClipboard* Clipboard() {
  if (!gClipboard) gClipboard = new TClipboard;
  return gClipboard;
}

void FreeClipboard() {
  TClipboard* clipboard = gClipboard;
  gClipboard = nullptr;
  Free(clipboard);
}

TClipboard::~TClipboard() {
  if (FOpenCount > 0) CloseClipboard();
}

void TClipboard::Open() {
  if (FOpenCount == 0) {
    // Someone else may hold it for a moment: try a few times before giving up.
    bool opened = false;
    for (int attempt = 0; attempt < 10 && !opened; ++attempt) {
      opened = OpenClipboard(UtilityWindow()) != 0;
      if (!opened) Sleep(10);
    }
    if (!opened) throw EClipboardError("Cannot open clipboard");
    FEmptied = false;
  }
  ++FOpenCount;
}

void TClipboard::Close() {
  if (FOpenCount == 0) return;
  if (--FOpenCount == 0) CloseClipboard();
}

void TClipboard::Emptied() {
  // Writing needs one EmptyClipboard per opening, so that this window owns what it puts there.
  if (!FEmptied) {
    EmptyClipboard();
    FEmptied = true;
  }
}

void TClipboard::Clear() {
  Open();
  EmptyClipboard();
  FEmptied = true;
  Close();
}

bool TClipboard::HasFormat(UINT Format) { return IsClipboardFormatAvailable(Format) != 0; }

HANDLE TClipboard::GetAsHandle(UINT Format) {
  Open();
  HANDLE h = GetClipboardData(Format);
  Close();
  return h;
}

void TClipboard::SetAsHandle(UINT Format, HANDLE Value) {
  Open();
  ScopeExit close([this] { Close(); });
  Emptied();
  if (!SetClipboardData(Format, Value)) throw EClipboardError("Cannot set clipboard data");
}

void TClipboard::Assign(TPersistent* Source) {
  // A picture puts its graphic there.
  if (auto* picture = dynamic_cast<TPicture*>(Source)) Source = picture->GetGraphic();
  auto* graphic = dynamic_cast<TGraphic*>(Source);
  if (!graphic) {
    TPersistent::Assign(Source);
    return;
  }
  Open();
  ScopeExit close([this] { Close(); });
  EmptyClipboard();
  FEmptied = true;
  WORD format = 0;
  HANDLE data = nullptr;
  HPALETTE palette = nullptr;
  graphic->SaveToClipboardFormat(format, data, palette);  // frees its block itself when it fails
  if (!SetClipboardData(format, data)) {
    if (format == CF_BITMAP || format == CF_PALETTE)
      DeleteObject(data);
    else
      GlobalFree(data);
    if (palette) DeleteObject(palette);
    throw EClipboardError("Cannot set clipboard data");
  }
  if (palette && !SetClipboardData(CF_PALETTE, palette)) DeleteObject(palette);
}

}  // namespace classlib
