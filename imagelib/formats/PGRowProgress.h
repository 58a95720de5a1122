// The row loop of the readers and writers that report progress: the picture's start and end
// events around it (the end also when a row fails), and one report a row.
#pragma once

#include "classlib/finally.h"
#include "imagelib/PGraphic.h"

namespace imagelib {

// Row(y) for y from 0 to Rows - 1, each followed by OnProgress(Sender, y, Rows). Readers stop when
// a handler sets Abort (Abortable); writers write everything whatever it says.
template <class F>
void ForEachRowWithProgress(TPixelGraphic* Graphic, TObject* Sender, int Rows, bool Abortable, F&& Row) {
  if (Graphic->OnProgressStart) Graphic->OnProgressStart(Sender);
  Finally(
      [&] {
        for (int y = 0; y < Rows; ++y) {
          Row(y);
          bool abort = false;
          if (Graphic->OnProgress) Graphic->OnProgress(Sender, y, Rows, abort);
          if (abort && Abortable) return;
        }
      },
      [&] {
        if (Graphic->OnProgressEnd) Graphic->OnProgressEnd(Sender);
      });
}

}  // namespace imagelib
