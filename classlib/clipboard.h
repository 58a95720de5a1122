// TClipboard: the system clipboard, opened with a nesting count and owned by the application's
// utility window; graphics put themselves on it through their clipboard format.
#pragma once

#include "classlib/object.h"
#include "classlib/winapi.h"

namespace classlib {

class TClipboard : public TPersistent {
  CL_CLASS(TClipboard)
  ~TClipboard() override;
  // EClipboardError "Cannot open clipboard" when another program holds it.
  void Open();
  void Close();
  void Clear();
  bool HasFormat(UINT Format);
  // The clipboard's handle for Format, or 0; it stays the clipboard's.
  HANDLE GetAsHandle(UINT Format);
  // Hands Value to the clipboard, which owns it from then on; EClipboardError when it refuses.
  void SetAsHandle(UINT Format, HANDLE Value);
  // A graphic: empties the clipboard and puts the graphic's format on it (with its palette, if any).
  void Assign(TPersistent* Source) override;

 protected:
  // A bitmap takes the clipboard's CF_BITMAP; EInvalidGraphic when there is none.
  void AssignTo(TPersistent* Dest) override;

 private:
  void Emptied();
  int FOpenCount = 0;
  bool FEmptied = false;
};

// The one clipboard object of the program, made on first use.
TClipboard* Clipboard();
void FreeClipboard();

}  // namespace classlib
