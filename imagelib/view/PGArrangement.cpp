#include "imagelib/view/PGArrangement.h"

#include <algorithm>
#include <cmath>

namespace imagelib {

namespace {

constexpr long double kMaxSize = PGMaxPicBoxSize;

// Sizes are carried as long doubles (exact for every integer in reach) until they are limited.
struct TFit {
  long double W, H, Z;
};

// The whole area on the side where the picture is relatively longer, the other side in proportion.
TFit FitKeepAspect(long double AW, long double AH, long double PW, long double PH) {
  long double ar = AW / AH, pr = PW / PH;
  if (ar < pr) return {AW, truncl(AW / pr), AW / PW};
  return {truncl(AH * pr), AH, AH / PH};
}

// As FitKeepAspect, unless that leaves a gap wider than a scroll bar: then the shorter relative
// side fills the area less one bar and the other side overflows and scrolls.
TFit FitLongerEdge(long double AW, long double AH, long double PW, long double PH, long double HB, long double VB) {
  TFit f = FitKeepAspect(AW, AH, PW, PH);
  if (f.W >= AW - VB && f.H >= AH - HB) return f;
  long double ar = AW / AH, pr = PW / PH;
  if (ar > pr) {
    long double w = AW - VB;
    return {w, truncl(w / pr), w / PW};
  }
  long double h = AH - HB;
  return {truncl(h * pr), h, h / PH};
}

TFit Fit(TStretch Stretch, long double ZoomFactor, long double PW, long double PH, long double AW, long double AH,
         long double HB, long double VB) {
  TFit own{PW, PH, 1.0L};
  switch (Stretch) {
    case sNeverKAR:
      return own;
    case sAlways:
      return {AW, AH, -1.0L};
    case sAlwaysKAR:
      return FitKeepAspect(AW, AH, PW, PH);
    case sShrink: {
      TFit f = own;
      if (PW > AW) f.W = AW;
      if (PH > AH) f.H = AH;
      if (f.W != PW || f.H != PH) f.Z = -1.0L;
      return f;
    }
    case sShrinkKAR:
      return PW > AW || PH > AH ? FitKeepAspect(AW, AH, PW, PH) : own;
    case sEnlarge: {
      // Room for a bar that the other side's overflow will bring.
      long double ah = PW > AW ? AH - HB : AH;
      long double aw = PH > AH ? AW - VB : AW;
      TFit f = own;
      if (aw > PW) f.W = aw;
      if (PH < ah) f.H = ah;
      if (f.W != PW || f.H != PH) f.Z = -1.0L;
      return f;
    }
    case sEnlargeKAR:
      return PW < AW && PH < AH ? FitKeepAspect(AW, AH, PW, PH) : own;
    case sAlwaysLongerEdgeKAR:
      return FitLongerEdge(AW, AH, PW, PH, HB, VB);
    case sShrinkLongerEdgeKAR:
    case sEnlargeShrinkLongerEdgeKAR: {
      if (Stretch == sEnlargeShrinkLongerEdgeKAR && PW < AW && PH < AH) return FitKeepAspect(AW, AH, PW, PH);
      // Shrunk only when it would need both bars.
      bool both = (PW > AW && PH > AH - HB) || (PW > AW - VB && PH > AH);
      return both ? FitLongerEdge(AW, AH, PW, PH, HB, VB) : own;
    }
    case sEnlargeLongerEdgeKAR:
      return PW < AW || PH < AH ? FitLongerEdge(AW, AH, PW, PH, HB, VB) : own;
    case sZoomKAR: {
      // NaN, 0 and below show the picture at its size; a zoom past the size limit stops there.
      long double z = ZoomFactor > 0 ? ZoomFactor : 1.0L;
      z = std::min(z, kMaxSize / std::max(PW, PH));
      return {nearbyintl(PW * z), nearbyintl(PH * z), z};
    }
  }
  return own;
}

// Holds both sides within 0..PGMaxPicBoxSize; a size that keeps the aspect ratio keeps it (the
// longer side becomes the limit, the other one and the zoom follow, products before quotients).
void Limit(TFit& F) {
  if (F.W > kMaxSize || F.H > kMaxSize) {
    if (F.Z > 0 && F.W >= F.H) {
      F.H = truncl(F.H * kMaxSize / F.W);
      F.Z = F.Z * kMaxSize / F.W;
      F.W = kMaxSize;
    } else if (F.Z > 0) {
      F.W = truncl(F.W * kMaxSize / F.H);
      F.Z = F.Z * kMaxSize / F.H;
      F.H = kMaxSize;
    } else {
      F.W = std::min(F.W, kMaxSize);
      F.H = std::min(F.H, kMaxSize);
    }
  }
  F.W = std::max(F.W, 0.0L);
  F.H = std::max(F.H, 0.0L);
}

}  // namespace

TArrangement ComputeArrangement(const TArrangeArea& A, TStretch Stretch, long double ZoomFactor, bool Center) {
  TFit f{static_cast<long double>(A.PictureWidth), static_cast<long double>(A.PictureHeight), 1.0L};
  if (A.PictureWidth > 0 && A.PictureHeight > 0 && A.AreaWidth > 0 && A.AreaHeight > 0)
    f = Fit(Stretch, ZoomFactor, A.PictureWidth, A.PictureHeight, A.AreaWidth, A.AreaHeight, A.HorzBarHeight,
            A.VertBarWidth);
  Limit(f);
  TArrangement r;
  r.Width = int(f.W);
  r.Height = int(f.H);
  r.Zoom = f.Z;
  if (!Center) return r;
  // Which bars the picture will bring: a bar taken by one side can make the other side overflow.
  int64_t cw = A.AreaWidth, ch = A.AreaHeight;
  for (int pass = 0; pass < 2; ++pass) {
    if (!r.HorzBar && cw < r.Width) {
      ch -= A.HorzBarHeight;
      r.HorzBar = true;
    }
    if (!r.VertBar && r.Height > ch) {
      cw -= A.VertBarWidth;
      r.VertBar = true;
    }
  }
  if (ch > r.Height) r.Y = int((ch - r.Height) / 2);
  if (cw > r.Width) r.X = int((cw - r.Width) / 2);
  return r;
}

bool MustPlace(const TArrangement& T, const TPlacement& Now, bool Force, bool Center) {
  if (Now.Bounds.Width() != T.Width || Now.Bounds.Height() != T.Height) return true;
  if (!Force) return false;
  if (Now.Bounds.Left != T.X || Now.Bounds.Top != T.Y) return true;
  if (!Center) return Now.HorzPosition != 0 || Now.VertPosition != 0;
  return (T.HorzBar && Now.HorzPosition != CenteredScrollPosition(T.Width, Now.ClientWidth)) ||
         (T.VertBar && Now.VertPosition != CenteredScrollPosition(T.Height, Now.ClientHeight));
}

classlib::TSize ComputeAutoSize(int PictureWidth, int PictureHeight, int BorderWidth, int HorzBarHeight,
                                int VertBarWidth, const TAutoSizeLimits& L) {
  int64_t w = int64_t(PictureWidth) + 2 * int64_t(BorderWidth);
  int64_t h = int64_t(PictureHeight) + 2 * int64_t(BorderWidth);
  // A bar that one limit makes necessary can make the other limit bite too.
  bool horz = false, vert = false;
  for (int pass = 0; pass < 2; ++pass) {
    if (!horz && L.MaxWidth < w) {
      h += HorzBarHeight;
      horz = true;
    }
    if (!vert && L.MaxHeight < h) {
      w += VertBarWidth;
      vert = true;
    }
  }
  w = std::max<int64_t>(std::min<int64_t>(w, L.MaxWidth), L.MinWidth);
  h = std::max<int64_t>(std::min<int64_t>(h, L.MaxHeight), L.MinHeight);
  return classlib::TSize{int(std::clamp<int64_t>(w, 0, INT32_MAX)), int(std::clamp<int64_t>(h, 0, INT32_MAX))};
}

int ScaleCoordinate(int X, int Numerator, int Denominator) {
  if (Denominator <= 0) return 0;
  int64_t v = int64_t(X) * Numerator / Denominator;
  return int(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace imagelib
