#include "classlib/canvas.h"

#include "classlib/bitmap.h"
#include "classlib/exceptions.h"
#include "classlib/graphic.h"
#include "classlib/graphics.h"

namespace classlib {

// ---- TGraphicsObject

TGraphicsObject::~TGraphicsObject() {
  if (FHandle) DeleteObject(FHandle);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);  // the owner deselects the old object first
  if (FHandle) {
    DeleteObject(FHandle);
    FHandle = nullptr;
  }
}

// ---- TPen

HPEN TPen::GetHandle() {
  if (!FHandle) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    FHandle = CreatePen(styles[FStyle], FWidth, ColorToRGB(FColor));
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return static_cast<HPEN>(FHandle);
}

void TPen::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 0 || Value == FWidth) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (Value == FMode) return;
  FMode = Value;
  Changed();
}

int TPen::GetROP2() const {
  static const int codes[] = {R2_BLACK,       R2_WHITE,    R2_NOP,        R2_NOT,        R2_COPYPEN,  R2_NOTCOPYPEN,
                              R2_MERGEPENNOT, R2_MASKPENNOT, R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN, R2_NOTMERGEPEN,
                              R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
  return codes[FMode];
}

void TPen::Assign(TPersistent* Source) {
  if (auto* pen = dynamic_cast<TPen*>(Source)) {
    FColor = pen->FColor;
    FWidth = pen->FWidth;
    FStyle = pen->FStyle;
    FMode = pen->FMode;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---- TBrush

HBRUSH TBrush::GetHandle() {
  if (!FHandle && FBitmap) {
    FHandle = CreatePatternBrush(FBitmap->GetHandle());
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  if (!FHandle) {
    LOGBRUSH lb{};
    lb.lbColor = ColorToRGB(FColor);
    if (FStyle == bsSolid) {
      lb.lbStyle = BS_SOLID;
    } else if (FStyle == bsClear) {
      lb.lbStyle = BS_HOLLOW;
    } else {
      lb.lbStyle = BS_HATCHED;
      lb.lbHatch = ULONG_PTR(FStyle - bsHorizontal);  // HS_HORIZONTAL .. HS_DIAGCROSS
    }
    FHandle = CreateBrushIndirect(&lb);
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return static_cast<HBRUSH>(FHandle);
}

void TBrush::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;  // a colour makes no sense on a hollow brush
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (Value == FBitmap) return;
  FBitmap = Value;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* brush = dynamic_cast<TBrush*>(Source)) {
    FColor = brush->FColor;
    FStyle = brush->FStyle;
    FBitmap = brush->FBitmap;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---- TFont

TFontPitch PitchOfFamily(BYTE PitchAndFamily) {
  switch (PitchAndFamily & 3) {
    case FIXED_PITCH: return fpFixed;
    case VARIABLE_PITCH: return fpVariable;
    default: return fpDefault;
  }
}

BYTE FamilyOfPitch(TFontPitch Pitch) {
  return Pitch == fpVariable ? VARIABLE_PITCH : Pitch == fpFixed ? FIXED_PITCH : DEFAULT_PITCH;
}

LOGFONTA TFont::GetLogFont() const {
  LOGFONTA lf{};
  lf.lfHeight = FHeight;
  lf.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (FStyle & fsItalic) ? 1 : 0;
  lf.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = FCharset;
  lf.lfPitchAndFamily = FamilyOfPitch(FPitch);
  lstrcpynA(lf.lfFaceName, FName.c_str(), LF_FACESIZE);
  return lf;
}

HFONT TFont::GetHandle() {
  if (!FHandle) {
    const LOGFONTA lf = GetLogFont();
    FHandle = CreateFontIndirectA(&lf);
    if (!FHandle) throw EOutOfResources("Out of system resources");
  }
  return static_cast<HFONT>(FHandle);
}

void TFont::SetName(const std::string& Value) {
  if (Value.empty() || Value == FName) return;
  FName = Value;
  Changed();
}

void TFont::SetHeight(int Value) {
  if (Value == FHeight) return;
  FHeight = Value;
  Changed();
}

int TFont::GetSize() const { return -MulDiv(FHeight, 72, ScreenPixelsPerInch()); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, ScreenPixelsPerInch(), 72)); }

void TFont::SetStyle(TFontStyles Value) {
  if (Value == FStyle) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (Value == FColor) return;
  FColor = Value;
  Changed();
}

void TFont::SetCharset(BYTE Value) {
  if (Value == FCharset) return;
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (Value == FPitch) return;
  FPitch = Value;
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* font = dynamic_cast<TFont*>(Source)) {
    FName = font->FName;
    FHeight = font->FHeight;
    FStyle = font->FStyle;
    FColor = font->FColor;
    FCharset = font->FCharset;
    FPitch = font->FPitch;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---- TCanvas

TCanvas::TCanvas() {
  FPen.OnChange = [this](TObject*) { PenChanged(); };
  FBrush.OnChange = [this](TObject*) { BrushChanged(); };
  FFont.OnChange = [this](TObject*) { FontChanged(); };
}

TCanvas::~TCanvas() { SetHandle(nullptr); }

HDC TCanvas::GetHandle() {
  if (!FHandle) CreateHandle();
  if (!FHandle) throw EInvalidOperation("Canvas does not allow drawing");
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (FHandle == Value) return;
  if (FHandle) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
  FState = 0;
  FHandle = Value;
  if (FHandle) FState = csHandleValid;
}

void TCanvas::PenChanged() {
  if (FHandle && (FState & csPenValid)) SelectObject(FHandle, GetStockObject(BLACK_PEN));
  FState &= ~unsigned(csPenValid);
}

void TCanvas::BrushChanged() {
  if (FHandle && (FState & csBrushValid)) SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  FState &= ~unsigned(csBrushValid);
}

void TCanvas::FontChanged() {
  if (FHandle && (FState & csFontValid)) SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  FState &= ~unsigned(csFontValid);
}

void TCanvas::RequiredState(unsigned Required) {
  HDC dc = GetHandle();
  unsigned missing = Required & ~FState;
  if (missing & csPenValid) {
    SelectObject(dc, FPen.GetHandle());
    SetROP2(dc, FPen.GetROP2());
    FState |= csPenValid;
  }
  if (missing & csBrushValid) {
    SelectObject(dc, FBrush.GetHandle());
    // Decides whether dash gaps and hatch backgrounds are painted.
    if (FBrush.GetStyle() == bsSolid) {
      SetBkColor(dc, ColorToRGB(FBrush.GetColor()));
      SetBkMode(dc, OPAQUE);
    } else {
      SetBkMode(dc, TRANSPARENT);
    }
    FState |= csBrushValid;
  }
  if (missing & csFontValid) {
    SelectObject(dc, FFont.GetHandle());
    SetTextColor(dc, ColorToRGB(FFont.GetColor()));
    FState |= csFontValid;
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TPoint TCanvas::GetPenPos() {
  POINT p{};
  GetCurrentPositionEx(GetHandle(), &p);
  return TPoint{int(p.x), int(p.y)};
}

TRect TCanvas::GetClipRect() {
  RECT r{};
  GetClipBox(GetHandle(), &r);
  return TRect{int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

void TCanvas::MoveTo(int X, int Y) { MoveToEx(GetHandle(), X, Y, nullptr); }

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

namespace {
std::vector<POINT> ToPoints(const std::vector<TPoint>& Points) {
  std::vector<POINT> pts(Points.size());
  for (size_t i = 0; i < Points.size(); ++i) pts[i] = POINT{Points[i].X, Points[i].Y};
  return pts;
}
RECT ToRECT(const TRect& R) { return RECT{R.Left, R.Top, R.Right, R.Bottom}; }
}  // namespace

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  std::vector<POINT> pts = ToPoints(Points);
  ::Polyline(FHandle, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  std::vector<POINT> pts = ToPoints(Points);
  ::Polygon(FHandle, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::FillRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT r = ToRECT(R);
  ::FillRect(FHandle, &r, FBrush.GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& R) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  RECT r = ToRECT(R);
  ::FrameRect(FHandle, &r, FBrush.GetHandle());
  Changed();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  TextOutA(FHandle, X, Y, Text.data(), int(Text.size()));
  MoveTo(X + TextWidth(Text), Y);
  Changed();
}

TSize TCanvas::TextExtent(const std::string& Text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE s{};
  GetTextExtentPoint32A(FHandle, Text.data(), int(Text.size()), &s);
  return TSize{int(s.cx), int(s.cy)};
}

int TCanvas::DrawText(const std::string& Text, TRect& R, UINT Flags) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  RECT r = ToRECT(R);
  int height = DrawTextA(FHandle, Text.data(), int(Text.size()), &r, Flags);
  R = TRect{int(r.left), int(r.top), int(r.right), int(r.bottom)};
  Changed();
  return height;
}

TColor TCanvas::GetPixel(int X, int Y) { return TColor(::GetPixel(GetHandle(), X, Y)); }

void TCanvas::SetPixel(int X, int Y, TColor Color) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  ::SetPixel(FHandle, X, Y, ColorToRGB(Color));
  Changed();
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->GetEmpty()) return;
  Changing();
  RequiredState(csHandleValid);
  SetBkColor(FHandle, ColorToRGB(FBrush.GetColor()));
  SetTextColor(FHandle, ColorToRGB(FFont.GetColor()));
  Graphic->Draw(this, Rect(X, Y, X + Graphic->GetWidth(), Y + Graphic->GetHeight()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& R, TGraphic* Graphic) {
  if (!Graphic) return;
  Changing();
  RequiredState(csHandleValid);
  Graphic->Draw(this, R);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Canvas->RequiredState(csHandleValid | csBrushValid);
  StretchBlt(FHandle, Dest.Left, Dest.Top, Dest.Width(), Dest.Height(), Canvas->FHandle, Source.Left, Source.Top,
             Source.Width(), Source.Height(), FCopyMode);
  Changed();
}

}  // namespace classlib
