// Small value types shared by the class library and its users: points, rectangles, colours and the
// event signatures.
#pragma once

#include <cstdint>
#include <functional>

namespace classlib {

class TObject;

struct TPoint {
  int X = 0, Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

struct TSize {
  int cx = 0, cy = 0;
  friend bool operator==(const TSize&, const TSize&) = default;
};

inline TPoint Point(int X, int Y) { return TPoint{X, Y}; }
inline TRect Rect(int Left, int Top, int Right, int Bottom) { return TRect{Left, Top, Right, Bottom}; }
inline TRect Bounds(int Left, int Top, int Width, int Height) {
  return TRect{Left, Top, Left + Width, Top + Height};
}

// 0x00BBGGRR, or 0x80000000 | COLOR_* for a system colour.
using TColor = int32_t;
constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clScrollBar = TColor(0x80000000), clBackground = TColor(0x80000001),
                 clWindow = TColor(0x80000005), clWindowFrame = TColor(0x80000006),
                 clWindowText = TColor(0x80000008), clBtnFace = TColor(0x8000000F),
                 clBtnShadow = TColor(0x80000010), clGrayText = TColor(0x80000011),
                 clBtnText = TColor(0x80000012), clBtnHighlight = TColor(0x80000014),
                 clHighlight = TColor(0x8000000D), clHighlightText = TColor(0x8000000E),
                 clInfoBk = TColor(0x80000018), clInfoText = TColor(0x80000017);
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

using TNotifyEvent = std::function<void(TObject* Sender)>;

// A mouse cursor by number: the screen's Cursors turn it into a handle.
using TCursor = int;
constexpr TCursor crDefault = 0, crArrow = -2, crCross = -3, crIBeam = -4, crSizeNESW = -6, crSizeNS = -7,
                  crSizeNWSE = -8, crSizeWE = -9, crHourGlass = -11, crDrag = -12, crHandPoint = -21,
                  crSizeAll = -22;

}  // namespace classlib
