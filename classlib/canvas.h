// TPen, TBrush, TFont and TCanvas: a drawing surface over a device context. The handle comes from
// the virtual CreateHandle on first need; pen, brush and font are selected lazily before each
// operation; every drawing operation fires OnChange exactly once.
#pragma once

#include <string>
#include <vector>

#include "classlib/object.h"
#include "classlib/types.h"
#include "classlib/winapi.h"

namespace classlib {

class TGraphic;
class TBitmap;

// Owns one GDI object, recreated after a change; tells its owner first, so that the owner can
// deselect the old object before it is deleted.
class TGraphicsObject : public TPersistent {
  CL_CLASS(TGraphicsObject)
  TGraphicsObject() = default;
  TGraphicsObject(const TGraphicsObject&) = delete;
  TGraphicsObject& operator=(const TGraphicsObject&) = delete;
  ~TGraphicsObject() override;
  TNotifyEvent OnChange;

 protected:
  void Changed();  // OnChange, then the old handle goes
  HGDIOBJ FHandle = nullptr;
};

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};

class TPen : public TGraphicsObject {
  CL_CLASS(TPen)
  HPEN GetHandle();
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  int GetWidth() const { return FWidth; }
  void SetWidth(int Value);
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle Value);
  TPenMode GetMode() const { return FMode; }
  void SetMode(TPenMode Value);
  int GetROP2() const;  // the R2_* code of Mode
  void Assign(TPersistent* Source) override;

 private:
  TColor FColor = clBlack;
  int FWidth = 1;
  TPenStyle FStyle = psSolid;
  TPenMode FMode = pmCopy;
};

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush : public TGraphicsObject {
  CL_CLASS(TBrush)
  HBRUSH GetHandle();
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle Value);
  // While set, the brush paints Bitmap's pixels as its pattern (colour and style do not count).
  // Not owned: it must outlive the brush's use.
  TBitmap* GetBitmap() const { return FBitmap; }
  void SetBitmap(TBitmap* Value);
  void Assign(TPersistent* Source) override;

 private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
  TBitmap* FBitmap = nullptr;
};

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
// The pitch bits of a font's pitch-and-family byte, both ways.
TFontPitch PitchOfFamily(BYTE PitchAndFamily);
BYTE FamilyOfPitch(TFontPitch Pitch);

class TFont : public TGraphicsObject {
  CL_CLASS(TFont)
  HFONT GetHandle();
  // The record GetHandle makes its font from; windows and printers make theirs from it too.
  LOGFONTA GetLogFont() const;
  const std::string& GetName() const { return FName; }
  void SetName(const std::string& Value);
  int GetHeight() const { return FHeight; }
  void SetHeight(int Value);
  int GetSize() const;  // points, from Height and the screen's pixels per inch
  void SetSize(int Value);
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  BYTE GetCharset() const { return FCharset; }
  void SetCharset(BYTE Value);
  TFontPitch GetPitch() const { return FPitch; }
  void SetPitch(TFontPitch Value);
  void Assign(TPersistent* Source) override;

 private:
  std::string FName = "MS Sans Serif";
  int FHeight = -11;
  TFontStyles FStyle = 0;
  TColor FColor = clWindowText;
  BYTE FCharset = DEFAULT_CHARSET;
  TFontPitch FPitch = fpDefault;
};

class TCanvas : public TPersistent {
  CL_CLASS(TCanvas)
  TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  ~TCanvas() override;

  // The device context; made by CreateHandle when there is none. EInvalidOperation "Canvas does not
  // allow drawing" when it stays 0.
  HDC GetHandle();
  // Selects the stock objects back into the old context (it is never created or deleted here).
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TPen* GetPen() { return &FPen; }
  TBrush* GetBrush() { return &FBrush; }
  TFont* GetFont() { return &FFont; }
  DWORD GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(DWORD Value) { FCopyMode = Value; }
  TPoint GetPenPos();
  void SetPenPos(TPoint Value) { MoveTo(Value.X, Value.Y); }
  TRect GetClipRect();

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);  // the end pixel is not drawn
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void FillRect(const TRect& R);   // with the brush
  void FrameRect(const TRect& R);  // with the brush
  void TextOut(int X, int Y, const std::string& Text);
  TSize TextExtent(const std::string& Text);
  int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
  int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }
  int DrawText(const std::string& Text, TRect& R, UINT Flags);
  TColor GetPixel(int X, int Y);
  void SetPixel(int X, int Y, TColor Color);
  void Draw(int X, int Y, TGraphic* Graphic);
  void StretchDraw(const TRect& R, TGraphic* Graphic);  // reversed rectangles pass unchanged
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

 protected:
  virtual void CreateHandle() {}
  virtual void Changing();
  virtual void Changed();

  enum StateFlag : unsigned { csHandleValid = 1, csPenValid = 2, csBrushValid = 4, csFontValid = 8 };
  void RequiredState(unsigned Required);

 private:
  void PenChanged();
  void BrushChanged();
  void FontChanged();
  HDC FHandle = nullptr;
  unsigned FState = 0;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  DWORD FCopyMode = SRCCOPY;
};

}  // namespace classlib
