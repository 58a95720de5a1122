// TPGImage's painting: the margins around the picture's rectangle in the view's colour, the
// picture (or its display-ready copy) in that rectangle or repeated over the whole client area
// with mirrored tiles and flips, or the empty frame with the progress clocks while there is
// nothing to show yet. The TPicBox paints the selection over it afterwards.
#include "classlib/finally.h"
#include "imagelib/view/PGImage.h"

namespace imagelib {

namespace {

// One picture drawn into tiles: the first draw in a paint realises its palette, the later ones
// only select it.
struct TTilePicture {
  TPixelGraphic* Graphic = nullptr;
  bool Drawn = false;
  void DrawInto(TCanvas* Canvas, const TRect& R) {
    Graphic->SetNoPaletteRealize(Drawn);
    Drawn = true;
    Canvas->StretchDraw(R, Graphic);
  }
};

// The tile's rectangle with the edges of each mirrored direction exchanged and moved in by one:
// a stretch into it mirrors.
TRect Reversed(TRect T, TTileMirror M) {
  if (M.Horizontal) T = Rect(T.Right - 1, T.Top, T.Left - 1, T.Bottom);
  if (M.Vertical) T = Rect(T.Left, T.Bottom - 1, T.Right, T.Top - 1);
  return T;
}

int KindOf(TTileMirror M) { return (M.Horizontal ? 1 : 0) + (M.Vertical ? 2 : 0); }

}  // namespace

void TPGImage::Paint() {
  if (FPaintingSuppressed) return;  // the TPicBox is on its way to a new place
  const TRect client = GetClientRect();
  const TRect r = FPicBox->GetBoundsRect();
  TPixelGraphic* g = UpdatePaintPixelGraphic() ? FPaintPixelGraphic : FPixelGraphic;
  if (OnPainting) OnPainting(this);
  // Kinds 1..3 (left to right, top to bottom, both), made for this paint only.
  TOwned<TPixelGraphic> mirrored[4];
  Finally(
      [&] {
        TBrush* brush = FCanvas->GetBrush();
        TTileGrid grid = g ? TileGrid(r, client, FTiling) : TTileGrid{};
        if (FTiling == tNone || grid.Empty()) {
          brush->SetStyle(bsSolid);
          brush->SetColor(GetColor());
          if (r.Top > 0) FCanvas->FillRect(Rect(0, 0, client.Right, r.Top));
          if (r.Bottom < client.Bottom) FCanvas->FillRect(Rect(0, r.Bottom, client.Right, client.Bottom));
          if (r.Left > 0) FCanvas->FillRect(Rect(0, 0, r.Left, client.Bottom));
          if (r.Right < client.Right) FCanvas->FillRect(Rect(r.Right, 0, client.Right, client.Bottom));
        }
        if (g) {
          const TRect clip = FCanvas->GetClipRect();
          int counts[4] = {};
          for (int j = grid.J0; j <= grid.J1; ++j)
            for (int i = grid.I0; i <= grid.I1; ++i)
              if (TileVisible(TileRect(r, i, j), clip))
                ++counts[KindOf(TileMirror(i, j, FFlipHorizontal, FFlipVertical, FTiling))];
          TTilePicture pictures[4];
          pictures[0].Graphic = g;
          // One or two tiles of a kind are drawn reversed; a mirrored picture pays from three on.
          for (int kind = 1; kind < 4; ++kind)
            if (counts[kind] > 2) {
              mirrored[kind].reset(MirroredPixelGraphic(g, kind & 1, kind & 2));
              pictures[kind].Graphic = mirrored[kind].get();
            }
          for (int j = grid.J0; j <= grid.J1; ++j)
            for (int i = grid.I0; i <= grid.I1; ++i) {
              TRect tile = TileRect(r, i, j);
              if (!TileVisible(tile, clip)) continue;
              TTileMirror m = TileMirror(i, j, FFlipHorizontal, FFlipVertical, FTiling);
              int kind = KindOf(m);
              if (pictures[kind].Graphic)
                pictures[kind].DrawInto(FCanvas, tile);
              else
                pictures[0].DrawInto(FCanvas, Reversed(tile, m));
            }
        } else {
          TPen* pen = FCanvas->GetPen();
          pen->SetStyle(psSolid);
          pen->SetColor(FPicBoxFrameColor);
          brush->SetStyle(bsSolid);
          brush->SetColor(FPicBox->GetColor());
          FCanvas->Rectangle(r);
          DrawProgressClocks();
        }
        if ((GetComponentState() & csDesigning) && client.Width() == FWidth && client.Height() == FHeight) {
          FCanvas->GetPen()->SetStyle(psDash);
          FCanvas->GetBrush()->SetStyle(bsClear);
          FCanvas->Rectangle(0, 0, FWidth, FHeight);
        }
      },
      [&] {
        if (OnPaint) OnPaint(this);
      });
}

}  // namespace imagelib
