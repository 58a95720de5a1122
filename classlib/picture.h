// TPicture: holds the graphic of an image control (a bitmap here) and reports its changes,
// including drawing on the bitmap's canvas.
#pragma once

#include <string>

#include "classlib/graphic.h"
#include "classlib/object.h"
#include "classlib/types.h"

namespace classlib {

class TBitmap;

class TPicture : public TPersistent {
  CL_CLASS(TPicture)
  TPicture() = default;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;
  ~TPicture() override;

  TGraphic* GetGraphic() const { return FGraphic; }
  // Keeps a copy of Value (bitmaps); nil empties the picture.
  void SetGraphic(TGraphic* Value);
  // The bitmap, made (empty) first when the picture holds none.
  TBitmap* GetBitmap();
  int GetWidth() const;
  int GetHeight() const;
  // The graphic kind by the extension: ".bmp" (any case) is a bitmap; any other raises
  // EInvalidGraphic "Unknown picture file extension (.xyz)". A failure keeps the old graphic.
  void LoadFromFile(const std::string& FileName);
  void SaveToFile(const std::string& FileName);
  // From a TPicture, a TGraphic or nil.
  void Assign(TPersistent* Source) override;

  TNotifyEvent OnChange;

 protected:
  void Changed();

 private:
  void Take(TGraphic* Graphic);
  TGraphic* FGraphic = nullptr;
};

}  // namespace classlib
