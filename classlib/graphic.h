// TGraphic: the abstract picture of the class library, with its change event, size, palette,
// transparency, streaming, files and clipboard formats.
#pragma once

#include <string>

#include "classlib/object.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TCanvas;  // core headers never need the canvas itself
class TStream;

class TGraphic : public TPersistent {
  CL_CLASS(TGraphic)
  virtual void Changed(TObject* Sender);
  virtual bool GetEmpty() = 0;
  virtual int GetWidth() = 0;
  virtual void SetWidth(int Value) = 0;
  virtual int GetHeight() = 0;
  virtual void SetHeight(int Value) = 0;
  virtual HPALETTE GetPalette() { return nullptr; }
  virtual void SetPalette(HPALETTE) {}
  virtual bool GetTransparent() { return FTransparent; }
  virtual void SetTransparent(bool Value) { FTransparent = Value; }
  virtual void ReadData(TStream* Stream);
  virtual void WriteData(TStream* Stream);
  // A graphic class that does not override these cannot stream: EAbstractError "Abstract Error".
  virtual void LoadFromStream(TStream* Stream);
  virtual void SaveToStream(TStream* Stream);
  virtual void LoadFromClipboardFormat(WORD Format, HANDLE Data, HPALETTE Palette);
  virtual void SaveToClipboardFormat(WORD& Format, HANDLE& Data, HPALETTE& Palette);
  virtual void LoadFromFile(const std::string& FileName);
  virtual void SaveToFile(const std::string& FileName);

  TNotifyEvent OnChange;

 protected:
  friend class TCanvas;
  // Draws the whole graphic stretched into Rect of Canvas (TCanvas::Draw and StretchDraw).
  virtual void Draw(TCanvas* Canvas, const TRect& Rect) = 0;

 private:
  bool FTransparent = false;
};

}  // namespace classlib
