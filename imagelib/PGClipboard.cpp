// Pasting a picture from the system clipboard (Windows build).
#include "classlib/clipboard.h"
#include "classlib/finally.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

void TPixelGraphic::PasteFromClipboard() {
  TClipboard* clipboard = Clipboard();
  clipboard->Open();  // EClipboardError when another program holds it
  Finally(
      [&] {
        if (clipboard->HasFormat(CF_DIB)) LoadFromClipboardFormat(CF_DIB, clipboard->GetAsHandle(CF_DIB), nullptr);
      },
      [&] { clipboard->Close(); });
}

}  // namespace imagelib
