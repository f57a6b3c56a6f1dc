// Texture painting of section fills (see sTextures.h).
#include "skin/paint/sTextures.h"

#include <algorithm>

#include "skin/paint/sAlphaCopy.h"

// Tiles srcRect of src on a grid from r's corner over r, painting only inside `clip` (and dst):
// a tile cut by the clip shows the part of it that lies inside.
static void TileRect(const TlxPixelBuffer& dst, const TRect& r, const TlxPixelBuffer& src, const TRect& s,
                     const TRect& clip) {
  const int tw = s.Width(), th = s.Height();
  if (tw <= 0 || th <= 0 || r.IsEmpty() || !SaneRect(r) || !SaneRect(clip)) return;
  const TRect k = ClipRectTo(r, dst, clip);
  if (k.IsEmpty()) return;
  // Only the tiles meeting k, on the grid from r's corner.
  const int y0 = r.Top + (k.Top - r.Top) / th * th, x0 = r.Left + (k.Left - r.Left) / tw * tw;
  for (int y = y0; y < k.Bottom; y += th)
    for (int x = x0; x < k.Right; x += tw) {
      const int l = std::max(x, k.Left), t = std::max(y, k.Top);
      const int w = std::min(x + tw, k.Right) - l, h = std::min(y + th, k.Bottom) - t;
      CopyPixelRect(dst, l, t, src, TRect{s.Left + l - x, s.Top + t - y, s.Left + l - x + w, s.Top + t - y + h});
    }
}
static void TileRect(const TlxPixelBuffer& dst, const TRect& r, const TlxPixelBuffer& src, const TRect& s) {
  TileRect(dst, r, src, s, r);
}

void TileTexture(const TlxPixelBuffer& dst, const TRect& r, const TlxPixelBuffer& image) {
  if (image.Empty()) return;
  TileRect(dst, r, image, image.BoundsRect());
}

void PaintTextureByMode(const TlxPixelBuffer& dst, TRect& r, const TlxPixelBuffer* image, int mode,
                        const TlxMaskImage& mask) {
  if (image && !image->Empty()) {
    TileTexture(dst, r, *image);
    r = lxNoRect;
    return;
  }
  const TRect s = ClipRectTo(mask.SrcRect, mask.Image);
  const int w = s.Width(), h = s.Height();
  if (s.IsEmpty() || r.IsEmpty() || !SaneRect(r)) return;
  auto rest = [&](TRect left) { r = left.IsEmpty() ? lxNoRect : left; };
  switch (mode) {
    case 0: TileRect(dst, r, mask.Image, s); r = lxNoRect; break;
    case 1: StretchPixels(dst, r, r, mask.Image, s); r = lxNoRect; break;
    case 2:
      TileRect(dst, TRect{r.Left, r.Top, r.Right, std::min(r.Top + h, r.Bottom)}, mask.Image, s);
      rest(TRect{r.Left, r.Top + h, r.Right, r.Bottom});
      break;
    case 3:
      TileRect(dst, TRect{r.Left, r.Top, std::min(r.Left + w, r.Right), r.Bottom}, mask.Image, s);
      rest(TRect{r.Left + w, r.Top, r.Right, r.Bottom});
      break;
    // Modes 4 and 5 keep the texture's natural height (width): a smaller rectangle crops it.
    case 4:
      StretchPixels(dst, TRect{r.Left, r.Top, r.Right, r.Top + h}, r, mask.Image, s);
      rest(TRect{r.Left, r.Top + h, r.Right, r.Bottom});
      break;
    case 5:
      StretchPixels(dst, TRect{r.Left, r.Top, r.Left + w, r.Bottom}, r, mask.Image, s);
      rest(TRect{r.Left + w, r.Top, r.Right, r.Bottom});
      break;
    // Modes 6 and 7 lay the tiles against the bottom (right) edge: a smaller rectangle shows
    // the tile's bottom rows (right columns).
    case 6:
      TileRect(dst, TRect{r.Left, r.Bottom - h, r.Right, r.Bottom}, mask.Image, s, r);
      rest(TRect{r.Left, r.Top, r.Right, r.Bottom - h});
      break;
    case 10: {
      // Whole rows of tiles only; below them the destination keeps what it had.
      const int rows = r.Height() / h;
      TileRect(dst, TRect{r.Left, r.Top, r.Right, r.Top + rows * h}, mask.Image, s);
      r = lxNoRect;
      break;
    }
    default:
      TileRect(dst, TRect{r.Right - w, r.Top, r.Right, r.Bottom}, mask.Image, s, r);
      rest(TRect{r.Left, r.Top, r.Right - w, r.Bottom});
      break;
  }
}

void TileMaskPiece(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, const TlxMaskImage& mask,
                   const TlxBackgroundView& bg) {
  const TlxPixelBuffer& img = mask.Image;
  if (dst.Empty() || img.Empty() || dst.BytesPerPixel != 4 || img.BytesPerPixel != 4) return;
  // The band lies half the tile's source height below the picture.
  const int band = srcRect.Height() / 2;
  TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, img);
  c.H = std::min(c.H, img.Height - band - c.SY);
  if (c.Empty()) return;
  const std::uint32_t colour = SwapRB(static_cast<std::uint32_t>(bg.Color)) | 0xFF000000u;
  const bool useColour = (bg.Color & 0xFFFFFF) != clKeyColor;
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      const int tx = c.DX + x, ty = c.DY + y;
      const std::uint32_t s = GetPix(img, c.SX + x, c.SY + y);
      if (s == KeyPixel) {
        const int bx = bg.X + tx, by = bg.Y + ty;
        if (bg.HasBitmap()) {
          if (bg.Bitmap->BytesPerPixel == 4 && bg.Bitmap->Contains(bx, by)) SetPix(dst, tx, ty, GetPix(*bg.Bitmap, bx, by));
        } else if (useColour) {
          SetPix(dst, tx, ty, colour);
        }
        continue;
      }
      // The band's red byte is the transparency of all three channels.
      const int m = (GetPix(img, c.SX + x, c.SY + y + band) >> 16) & 0xFF;
      const std::uint32_t d = GetPix(dst, tx, ty);
      std::uint32_t o = d & 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8)
        o |= static_cast<std::uint32_t>(BandMix((d >> sh) & 0xFF, (s >> sh) & 0xFF, m)) << sh;
      SetPix(dst, tx, ty, o);
    }
}

// Fills a strip from the background: its bitmap piece, or its colour.
static void FillFromBackground(const TlxPixelBuffer& dst, const TRect& r, const TlxBackgroundView& bg) {
  const TRect k = ClipRectTo(r, dst);
  if (k.IsEmpty()) return;
  if (bg.HasBitmap()) {
    CopyPixelRect(dst, k.Left, k.Top, *bg.Bitmap, TRect{bg.X + k.Left, bg.Y + k.Top, bg.X + k.Right, bg.Y + k.Bottom});
  } else if ((bg.Color & 0xFFFFFF) != clKeyColor) {
    FillRectOpaque(dst, k, bg.Color);
  }
}

void FillSectionRect(const TlxPixelBuffer& dst, TRect& r, const TlxBackgroundView& bg, int mode, const TlxMaskImage& mask) {
  const int tw = MaskFrameWidth(mask), th = mask.SrcRect.Height() / 2;
  if (tw <= 0 || th <= 0 || r.IsEmpty() || !SaneRect(r) || !SaneRect(mask.SrcRect) || !SaneCoord(bg.X) || !SaneCoord(bg.Y)) {
    r = lxNoRect;
    return;
  }
  const TRect tile{mask.SrcRect.Left, mask.SrcRect.Top, mask.SrcRect.Left + tw, mask.SrcRect.Top + 2 * th};
  // Column by column, whole tiles vertically; the last column cropped.
  const int rows = r.Height() / th;
  const int rowsEnd = r.Top + rows * th;
  // Only the tiles meeting the destination, on the grid from r's corner.
  const int x0 = r.Left + std::max(0, (0 - r.Left) / tw * tw), y0 = r.Top + std::max(0, (0 - r.Top) / th * th);
  const int x1 = std::min(r.Right, dst.Width), y1 = std::min(rowsEnd, dst.Height);
  for (int x = x0; x < x1; x += tw)
    for (int y = y0; y < y1; y += th) {
      const int w = std::min(tw, r.Right - x);
      TileMaskPiece(TRect{x, y, x + w, y + th}, TRect{tile.Left, tile.Top, tile.Left + w, tile.Top + 2 * th}, dst, mask, bg);
    }
  if (mode == 10) {
    const int colsEnd = r.Left + (r.Width() / tw) * tw;
    FillFromBackground(dst, TRect{r.Left, rowsEnd, r.Right, r.Bottom}, bg);
    FillFromBackground(dst, TRect{colsEnd, r.Top, r.Right, rowsEnd}, bg);
  }
  r = lxNoRect;
}
