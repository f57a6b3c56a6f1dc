// Mask and border painting on pixel buffers (see sMaskPaint.h).
//
// Sections: frame geometry; plain and stretched copies; StretchRegion; PaintMaskFrame;
// state images; corner runs and corner backgrounds.
#include "skin/paint/sMaskPaint.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sSmoothStretch.h"

// ---- frame geometry -----------------------------------------------------------------------

int MaskFrameWidth(const TlxMaskImage& m) {
  if (m.ImageCount <= 0) return 0;
  return m.SrcRect.Width() / m.ImageCount;
}

int MaskFrameHeight(const TlxMaskImage& m) {
  if (m.MaskType < 0) return 0;
  return m.SrcRect.Height() / (m.MaskType + 1);
}

void ShrinkBorders(int extent, int& lead, int& trail) {
  lead = std::max(lead, 0);
  trail = std::max(trail, 0);
  extent = std::max(extent, 0);
  const int excess = lead + trail - extent;
  if (excess <= 0) return;
  // Split the excess itself (not by the parity of the extent), so the pieces meet exactly;
  // what one side cannot give up the other does.
  int fromLead = excess / 2, fromTrail = excess - fromLead;
  if (fromTrail > trail) { fromLead += fromTrail - trail; fromTrail = trail; }
  if (fromLead > lead) { fromTrail += fromLead - lead; fromLead = lead; }
  lead -= fromLead;
  trail -= fromTrail;
}

std::vector<std::pair<int, int>> TileRuns(int start, int end, int tile, int lo, int hi) {
  std::vector<std::pair<int, int>> runs;
  if (tile <= 0 || end <= start || hi <= lo) return runs;
  using L = long long;
  // Whole tiles k = 0 .. n - 1 at start + k * tile (while one more still fits with room to
  // spare), then the cropped rest; only the runs meeting [lo, hi) are listed.
  const L n = L{end} - tile > start ? (L{end} - tile - start + tile - 1) / tile : 0;
  L k0 = lo > start ? (L{lo} - start) / tile : 0;
  const L k1 = std::min(n, (L{hi} - start + tile - 1) / tile);
  for (L k = k0; k < k1; ++k) runs.emplace_back(static_cast<int>(start + k * tile), tile);
  const L rest = start + n * tile;
  if (rest < end && rest < hi && end > lo) runs.emplace_back(static_cast<int>(rest), static_cast<int>(end - rest));
  return runs;
}

bool MaskFrameLayout(const TRect& r, int state, const TlxMaskImage& mask, TlxMaskLayout& out) {
  out = TlxMaskLayout{};
  if (state == 0 && (mask.DrawMode & dmNoNormal)) return false;
  if (!SaneRect(r) || !SaneRect(mask.SrcRect)) return false;
  if (!SaneCoord(mask.WL) || !SaneCoord(mask.WT) || !SaneCoord(mask.WR) || !SaneCoord(mask.WB)) return false;
  if (r.Width() < 2 || r.Height() < 2 || !mask.HasManager || mask.ImageCount <= 0) return false;
  int wl = mask.WL, wr = mask.WR, wt = mask.WT, wb = mask.WB;
  ShrinkBorders(r.Width(), wl, wr);
  ShrinkBorders(r.Height(), wt, wb);
  state = std::clamp(state, 0, mask.ImageCount - 1);
  const int fw = MaskFrameWidth(mask), fh = MaskFrameHeight(mask);
  const int cw = fw - wl - wr, ch = fh - wt - wb;
  if (cw < 0 || ch < 0) return false;
  out.BandOffset = mask.MaskType != 0 ? fh : 0;
  out.WL = wl; out.WT = wt; out.WR = wr; out.WB = wb;
  const int fl = mask.SrcRect.Left + fw * state, ft = mask.SrcRect.Top;
  const int sr = fl + wl + cw, sb = ft + fh - wb;  // left of the right pieces, top of the bottom ones
  using K = TlxPieceKind;
  auto add = [&](TRect d, TRect s, K k, bool vertical) { out.Pieces.push_back(TlxMaskPiece{d, s, k, vertical}); };
  add({r.Left, r.Top, r.Left + wl, r.Top + wt}, {fl, ft, fl + wl, ft + wt}, K::Corner, false);
  add({r.Left, r.Top + wt, r.Left + wl, r.Bottom - wb}, {fl, ft + wt, fl + wl, ft + wt + ch}, K::Side, true);
  add({r.Left + wl, r.Top, r.Right - wr, r.Top + wt}, {fl + wl, ft, fl + wl + cw, ft + wt}, K::Side, false);
  add({r.Left, r.Bottom - wb, r.Left + wl, r.Bottom}, {fl, sb, fl + wl, sb + wb}, K::Corner, false);
  add({r.Left + wl, r.Bottom - wb, r.Right - wr, r.Bottom}, {fl + wl, sb, fl + wl + cw, sb + wb}, K::Side, false);
  add({r.Right - wr, r.Bottom - wb, r.Right, r.Bottom}, {sr, sb, sr + wr, sb + wb}, K::Corner, false);
  add({r.Right - wr, r.Top, r.Right, r.Top + wt}, {sr, ft, sr + wr, ft + wt}, K::Corner, false);
  add({r.Right - wr, r.Top + wt, r.Right, r.Bottom - wb}, {sr, ft + wt, sr + wr, ft + wt + ch}, K::Side, true);
  if (mask.DrawMode & dmPaintCentre)
    add({r.Left + wl, r.Top + wt, r.Right - wr, r.Bottom - wb}, {fl + wl, ft + wt, fl + wl + cw, ft + wt + ch},
        K::Centre, false);
  return true;
}

// ---- plain and stretched copies -----------------------------------------------------------

void CopyPixelRect(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, const TRect& srcRect) {
  if (dst.BytesPerPixel != 4 || src.BytesPerPixel != 4 || !SaneCoord(dx) || !SaneCoord(dy) || !SaneRect(srcRect)) return;
  const TlxCopySpan c = ClipCopy(TRect{dx, dy, dx + srcRect.Width(), dy + srcRect.Height()}, srcRect, dst, src);
  for (int y = 0; y < c.H; ++y) std::copy_n(src.At(c.SX, c.SY + y), static_cast<std::size_t>(c.W) * 4, dst.At(c.DX, c.DY + y));
}

void StretchCopyNearest(const TlxPixelBuffer& dst, const TRect& dstRect, const TlxPixelBuffer& src, const TRect& srcRect) {
  if (dst.Empty() || src.Empty() || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4) return;
  if (!SaneRect(dstRect) || !SaneRect(srcRect)) return;
  const long long dw = dstRect.Width(), dh = dstRect.Height(), sw = srcRect.Width(), sh = srcRect.Height();
  if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
  const TRect k = ClipRectTo(dstRect, dst);
  if (k.IsEmpty()) return;
  // The source column of every destination column, once (-1 outside the source); rows then
  // copy through it, and a row from the same source row as the one before is a copy of it.
  std::vector<int> cols(static_cast<std::size_t>(k.Width()));
  bool whole = src.Bits != dst.Bits;  // rows may be repeated by copying the row before
  for (int x = k.Left; x < k.Right; ++x) {
    const long long sx = srcRect.Left + (x - dstRect.Left) * sw / dw;
    cols[static_cast<std::size_t>(x - k.Left)] = sx >= 0 && sx < src.Width ? static_cast<int>(sx) : -1;
    whole = whole && sx >= 0 && sx < src.Width;
  }
  long long lastSy = -1;
  for (int y = k.Top; y < k.Bottom; ++y) {
    const long long sy = srcRect.Top + (y - dstRect.Top) * sh / dh;
    if (sy < 0 || sy >= src.Height) continue;
    Byte* out = dst.At(k.Left, y);
    if (whole && sy == lastSy) {
      std::memmove(out, dst.At(k.Left, y - 1), static_cast<std::size_t>(k.Width()) * 4);
      continue;
    }
    lastSy = sy;
    const Byte* row = src.Row(static_cast<int>(sy));
    for (std::size_t i = 0; i < cols.size(); ++i)
      if (cols[i] >= 0) std::memcpy(out + i * 4, row + static_cast<std::ptrdiff_t>(cols[i]) * 4, 4);
  }
}

static std::atomic<TlxStretchBltProc> StretchBltProc{nullptr};

void SetStretchBltProc(TlxStretchBltProc proc) { StretchBltProc.store(proc); }

void StretchPixels(const TlxPixelBuffer& dst, const TRect& dstRect, const TRect& clip, const TlxPixelBuffer& src,
                   const TRect& srcRect) {
  if (!SaneRect(dstRect) || !SaneRect(clip) || !SaneRect(srcRect)) return;
  if (const TlxStretchBltProc proc = StretchBltProc.load(); proc != nullptr && proc(dst, dstRect, clip, src, srcRect))
    return;
  const TRect k = ClipRectTo(dstRect, dst, clip);
  if (k.IsEmpty()) return;
  // The kernel clips to its destination view: a view of the clipped part keeps the mapping.
  TlxPixelBuffer part = dst;
  part.Bits = dst.At(k.Left, k.Top);
  part.Width = k.Width();
  part.Height = k.Height();
  StretchCopyNearest(part, TRect{dstRect.Left - k.Left, dstRect.Top - k.Top, dstRect.Right - k.Left,
                                 dstRect.Bottom - k.Top}, src, srcRect);
}

// ---- StretchRegion ------------------------------------------------------------------------

// The piece at (sx, sy, sw x sh) copied into a buffer of at least 2 x 2 (a single column or
// row repeated), as the resampler needs two samples per direction.
static void PieceAtLeast2x2(const TlxPixelBuffer& src, int sx, int sy, int sw, int sh, TlxImageBuffer& out) {
  out.SetSize(std::max(sw, 2), std::max(sh, 2));
  const TlxPixelBuffer& o = out.View();
  for (int y = 0; y < o.Height; ++y) {
    Byte* row = o.Row(y);
    const Byte* from = src.At(sx, sy + std::min(y, sh - 1));
    std::copy_n(from, static_cast<std::size_t>(sw) * 4, row);
    if (sw == 1) std::copy_n(from, 4, row + 4);
  }
}

void StretchRegion(int dx, int dy, int dw, bool fill, int bandOffset, const TlxPixelBuffer& src,
                   const TlxPixelBuffer& dst, int sh, int sw, int sy, int sx, int dh) {
  if (dx < 0 || dy < 0 || dw <= 0 || dh <= 0 || dst.Width < 2 || dst.Height < 2) return;
  if (dst.BytesPerPixel != 4 || src.BytesPerPixel != 4 || sw <= 0 || sh <= 0) return;
  if (!SaneCoord(dx) || !SaneCoord(dy) || !SaneCoord(dw) || !SaneCoord(dh) || !SaneCoord(sx) || !SaneCoord(sy) ||
      !SaneCoord(sw) || !SaneCoord(sh) || !SaneCoord(bandOffset))
    return;
  const TRect dr{dx, dy, dx + dw, dy + dh};
  if (bandOffset == 0) {
    StretchPixels(dst, dr, dr, src, TRect{sx, sy, sx + sw, sy + sh});
    return;
  }
  if (bandOffset < 0 || sx < 0 || sy < 0 || sx + sw > src.Width || sy + bandOffset + sh > src.Height) return;
  const TRect k = ClipRectTo(dr, dst);
  if (fill && sw == 1 && sh == 1) {
    const std::uint32_t c = GetPix(src, sx, sy);
    const int m = (GetPix(src, sx, sy + bandOffset) >> 16) & 0xFF;
    if (m == 255) return;
    if (m == 0) {
      FillRectOpaque(dst, dr, static_cast<TColor>(SwapRB(c) & 0xFFFFFF));
      return;
    }
    // c + (d - c) * m >> 8 in each channel, the destination's alpha kept: the band blend of a
    // row of the colour through a row of m, the same for every row.
    if (k.IsEmpty()) return;
    const std::vector<std::uint32_t> colour(static_cast<std::size_t>(k.Width()), c);
    const std::vector<std::uint32_t> band(colour.size(), static_cast<std::uint32_t>(m) * 0x010101u);
    for (int y = k.Top; y < k.Bottom; ++y)
      BandBlendRow(dst.At(k.Left, y), reinterpret_cast<const Byte*>(colour.data()), reinterpret_cast<const Byte*>(band.data()),
                   k.Width(), false);
    return;
  }
  // The work bitmaps have the whole destination size; a larger request paints nothing.
  if (static_cast<long long>(dw) * dh > lxMaxWorkPixels) return;
  TlxImageBuffer pic, band;
  const bool smooth = ((dw < sw && dh == sh) || (dw == sw && dh < sh) || fill) && dw > 1 && dh > 1;
  if (smooth) {
    TlxImageBuffer p2, b2;
    PieceAtLeast2x2(src, sx, sy, sw, sh, p2);
    PieceAtLeast2x2(src, sx, sy + bandOffset, sw, sh, b2);
    SmoothStretch(p2.View(), pic, dw, dh, 6);
    SmoothStretch(b2.View(), band, dw, dh, 2);
  } else {
    pic.SetSize(dw, dh);
    band.SetSize(dw, dh);
    const TRect whole{0, 0, dw, dh};
    StretchPixels(pic.View(), whole, whole, src, TRect{sx, sy, sx + sw, sy + sh});
    StretchPixels(band.View(), whole, whole, src, TRect{sx, sy + bandOffset, sx + sw, sy + bandOffset + sh});
  }
  // Each destination row blended from the picture through the band, each channel with the
  // band's own channel.
  for (int y = k.Top; y < k.Bottom; ++y)
    BandBlendRow(dst.At(k.Left, y), pic.View().At(k.Left - dx, y - dy), band.View().At(k.Left - dx, y - dy), k.Width(), false);
}

// ---- PaintMaskFrame -----------------------------------------------------------------------

// Corners and tiles copied through the band read it half the mask's source height below.
static int PieceBandOffset(const TlxMaskImage& mask) { return mask.SrcRect.Height() / 2; }

static void TilePiece(const TlxPixelBuffer& dst, const TlxMaskPiece& p, const TlxMaskImage& mask) {
  const TlxBackgroundView none;
  const int tw = p.Src.Width(), th = p.Src.Height();
  // Sides tile along their length only; the centre row by row, then column by column. Only
  // the runs inside the destination are listed.
  const auto cols = (p.Kind == TlxPieceKind::Side && p.Vertical) ? std::vector<std::pair<int, int>>{{p.Dst.Left, p.Dst.Width()}}
                                                                 : TileRuns(p.Dst.Left, p.Dst.Right, tw, 0, dst.Width);
  const auto rows = (p.Kind == TlxPieceKind::Side && !p.Vertical) ? std::vector<std::pair<int, int>>{{p.Dst.Top, p.Dst.Height()}}
                                                                  : TileRuns(p.Dst.Top, p.Dst.Bottom, th, 0, dst.Height);
  if (tw <= 0 || th <= 0) return;
  for (const auto& [y, h] : rows)
    for (const auto& [x, w] : cols) {
      const TRect s{p.Src.Left, p.Src.Top, p.Src.Left + std::min(w, tw), p.Src.Top + std::min(h, th)};
      if (mask.MaskType != 0)
        CopyMaskPiece(TRect{x, y, x + w, y + h}, s, dst, PieceBandOffset(mask), false, none, mask.Image);
      else
        CopyPixelRect(dst, x, y, mask.Image, s);
    }
}

// The tiled piece painted row by row: the tile's rows are laid out once, repeated across the
// painted width by whole-row copies (picture and band alike), and each destination row is then
// one copy or one band blend of a whole row. The same pixels as the tile-by-tile copies. false
// (nothing painted) when a tile or its band reaches outside the image, where those copies crop
// every tile and the tile-by-tile path is taken.
static bool TilePieceRows(const TlxPixelBuffer& dst, const TlxMaskPiece& p, const TlxMaskImage& mask, int bandOffset) {
  const TlxPixelBuffer& img = mask.Image;
  const int tw = p.Src.Width(), th = p.Src.Height();
  const bool banded = mask.MaskType != 0;
  if (tw <= 0 || th <= 0) return true;
  // A destination that is the image itself is painted tile by tile, as it reads what it wrote.
  if (dst.Bits == img.Bits) return false;
  if (p.Src.Left < 0 || p.Src.Top < 0 || p.Src.Right > img.Width || p.Src.Bottom > img.Height) return false;
  if (banded && (bandOffset < 0 || p.Src.Bottom > img.Height - bandOffset)) return false;
  // Sides tile along their length only (across it the piece is drawn once, at most the tile's
  // size); the centre in both directions.
  const bool tileX = !(p.Kind == TlxPieceKind::Side && p.Vertical);
  const bool tileY = !(p.Kind == TlxPieceKind::Side && !p.Vertical);
  const long long right = tileX ? p.Dst.Right : std::min<long long>(p.Dst.Right, static_cast<long long>(p.Dst.Left) + tw);
  const long long bottom = tileY ? p.Dst.Bottom : std::min<long long>(p.Dst.Bottom, static_cast<long long>(p.Dst.Top) + th);
  const int x0 = std::max(p.Dst.Left, 0), y0 = std::max(p.Dst.Top, 0);
  const int x1 = static_cast<int>(std::min<long long>(right, dst.Width));
  const int y1 = static_cast<int>(std::min<long long>(bottom, dst.Height));
  if (x1 <= x0 || y1 <= y0) return true;
  const int w = x1 - x0;
  const int phase = static_cast<int>((static_cast<long long>(x0) - p.Dst.Left) % tw);
  // Rows of the tile in use, laid out over the painted width (picture, then band).
  const int rows = std::min(th, y1 - y0);
  const int firstRow = static_cast<int>((static_cast<long long>(y0) - p.Dst.Top) % th);
  const std::size_t rowBytes = static_cast<std::size_t>(w) * 4;
  std::vector<Byte> lines(rowBytes * static_cast<std::size_t>(rows) * (banded ? 2 : 1));
  auto lay = [&](Byte* line, int srcRow) {
    const int first = std::min(tw - phase, w);
    std::copy_n(img.At(p.Src.Left + phase, srcRow), static_cast<std::size_t>(first) * 4, line);
    int done = first;
    if (done < w) {
      const int whole = std::min(tw, w - done);
      std::copy_n(img.At(p.Src.Left, srcRow), static_cast<std::size_t>(whole) * 4, line + static_cast<std::size_t>(done) * 4);
      done += whole;
    }
    // From here on every pixel repeats the one whole tiles before it: copy as many whole
    // periods as are laid out, doubling the run each time.
    while (done < w) {
      const int run = done / tw * tw;
      const int n = std::min(run, w - done);
      std::copy_n(line + static_cast<std::size_t>(done - run) * 4, static_cast<std::size_t>(n) * 4,
                  line + static_cast<std::size_t>(done) * 4);
      done += n;
    }
  };
  for (int k = 0; k < rows; ++k) {
    const int r = (firstRow + k) % th;
    lay(lines.data() + rowBytes * k, p.Src.Top + r);
    if (banded) lay(lines.data() + rowBytes * (rows + k), p.Src.Top + r + bandOffset);
  }
  for (int y = y0; y < y1; ++y) {
    const std::size_t k = static_cast<std::size_t>((y - y0) % rows);
    Byte* out = dst.At(x0, y);
    if (banded) BandBlendRow(out, lines.data() + rowBytes * k, lines.data() + rowBytes * (rows + k), w, true);
    else std::copy_n(lines.data() + rowBytes * k, rowBytes, out);
  }
  return true;
}

static void PaintMaskFrameWith(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                               const TlxMaskImage& mask, const TlxBackgroundView& bg, bool rows) {
  TlxMaskLayout lay;
  if (dst.Empty() || dst.BytesPerPixel != 4 || mask.Image.Empty() || !MaskFrameLayout(dstRect, state, mask, lay)) return;
  const bool fill = fillCorners && mask.CornerType > 0;
  const bool stretch = (mask.DrawMode & dmStretch) != 0;
  for (const TlxMaskPiece& p : lay.Pieces) {
    if (p.Dst.IsEmpty() || p.Src.IsEmpty()) continue;
    if (p.Kind == TlxPieceKind::Corner) {
      const TRect inclusive{p.Src.Left, p.Src.Top, p.Src.Right - 1, p.Src.Bottom - 1};
      if (mask.MaskType != 0)
        (rows ? CopyMaskPieceRows : CopyMaskPiece)(p.Dst, p.Src, dst, PieceBandOffset(mask), fill, bg, mask.Image);
      else
        (rows ? CopyTransparentPieceRows : CopyTransparentPiece)(dst, mask.Image, p.Dst.Left, fill, bg, clKeyColor,
                                                                 inclusive, p.Dst.Top);
    } else if (stretch) {
      if (mask.MaskType != 0)
        StretchRegion(p.Dst.Left, p.Dst.Top, p.Dst.Width(), p.Kind == TlxPieceKind::Centre, lay.BandOffset, mask.Image,
                      dst, p.Src.Height(), p.Src.Width(), p.Src.Top, p.Src.Left, p.Dst.Height());
      else
        StretchPixels(dst, p.Dst, p.Dst, mask.Image, p.Src);
    } else {
      if (!rows || !TilePieceRows(dst, p, mask, PieceBandOffset(mask))) TilePiece(dst, p, mask);
    }
  }
}

void PaintMaskFrameRef(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                       const TlxMaskImage& mask, const TlxBackgroundView& bg) {
  PaintMaskFrameWith(dst, dstRect, fillCorners, state, mask, bg, false);
}

void PaintMaskFrameFast(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                        const TlxMaskImage& mask, const TlxBackgroundView& bg) {
#ifdef ORBEX_NO_FAST_PIXELS
  PaintMaskFrameWith(dst, dstRect, fillCorners, state, mask, bg, false);
#else
  PaintMaskFrameWith(dst, dstRect, fillCorners, state, mask, bg, true);
#endif
}

void PaintMaskFrame(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                    const TlxMaskImage& mask, const TlxBackgroundView& bg) {
  PaintMaskFrameFast(dst, dstRect, fillCorners, state, mask, bg);
}

// ---- state images -------------------------------------------------------------------------

void CopyThroughMask(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, const TlxMaskImage& mask,
                     int mode, const TlxPixelBuffer& src) {
  if (dst.Empty() || src.Empty() || src.BytesPerPixel != 4) return;
  if (mask.MaskType == 0) {
    const TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
    if (!c.Empty())
      CopyMaskPieceKeyed(dst, src, c.DX, clKeyColor, TRect{c.SX, c.SY, c.SX + c.W - 1, c.SY + c.H - 1}, c.DY);
    return;
  }
  if (dst.BytesPerPixel != 4) return;
  const int band = MaskFrameHeight(mask);
  TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
  c.H = std::min(c.H, src.Height - band - c.SY);
  if (c.Empty() || band <= 0) return;
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      const std::uint32_t s = GetPix(src, c.SX + x, c.SY + y);
      const std::uint32_t b = GetPix(src, c.SX + x, c.SY + y + band);
      const int m = (b >> 16) & 0xFF;
      if (s == KeyPixel || m == 255) continue;
      const int tx = c.DX + x, ty = c.DY + y;
      const std::uint32_t d = GetPix(dst, tx, ty);
      std::uint32_t o = 0;
      for (int sh = 0; sh < 24; sh += 8) {
        const int mm = mode == 1 ? m : std::min(static_cast<int>((b >> sh) & 0xFF) + 100, 255);
        const int v = ((static_cast<int>((d >> sh) & 0xFF) - static_cast<int>((s >> sh) & 0xFF)) * mm +
                       static_cast<int>((s >> sh) & 0xFF) * 256) >> 8;
        o |= static_cast<std::uint32_t>(std::clamp(v, 0, 255)) << sh;
      }
      const int a = d >> 24;
      o |= static_cast<std::uint32_t>(a + (255 - m) * (255 - a) / 255) << 24;
      SetPix(dst, tx, ty, o);
    }
}

void DrawMaskState(const TlxPixelBuffer& dst, TPoint pt, int state, const TlxBackgroundView& bg,
                   const TlxMaskImage& mask, int mode) {
  if (dst.Empty() || mask.Image.Empty() || mask.ImageCount <= 0 || !SanePoint(pt) || !SaneRect(mask.SrcRect)) return;
  const int fw = MaskFrameWidth(mask), fh = MaskFrameHeight(mask);
  const int fl = mask.SrcRect.Left + fw * std::clamp(state, 0, mask.ImageCount - 1);
  // A negative point skips as many leading rows or columns of the image.
  TRect s{fl, mask.SrcRect.Top, fl + fw, mask.SrcRect.Top + fh};
  TRect d{pt.X, pt.Y, pt.X + fw, pt.Y + fh};
  if (pt.X < 0) { s.Left -= pt.X; d.Left = 0; }
  if (pt.Y < 0) { s.Top -= pt.Y; d.Top = 0; }
  if (mask.OwnImage) {
    if (mask.Image.Width >= mask.SrcRect.Right && mask.Image.Height >= mask.SrcRect.Bottom)
      CopyThroughMask(d, s, dst, mask, mode, mask.Image);
    return;
  }
  if (!mask.HasManager) return;
  if (mask.MaskType > 0)
    CopyThroughMask(d, s, dst, mask, mode, mask.Image);
  else if (mask.MaskType == 0 && mode == 1)
    CopyTransparentPiece(dst, mask.Image, d.Left, true, bg, clKeyColor, TRect{s.Left, s.Top, s.Right - 1, s.Bottom - 1},
                         d.Top);
  else if (mask.MaskType == 0)
    BlendWithBackground(dst, d.Left, d.Top, clKeyColor, 0.5, TRect{s.Left, s.Top, s.Right - 1, s.Bottom - 1}, mask.Image);
}

// ---- corner runs and corner backgrounds ---------------------------------------------------

void CollectCornerKeyRuns(std::vector<TRect>& list, int windowWidth, const TlxMaskImage& mask, bool bottom, int yOffset) {
  const TlxPixelBuffer& img = mask.Image;
  if (img.Empty() || img.BytesPerPixel != 4 || mask.ImageCount <= 0 || mask.MaskType < 0) return;
  if (!SaneRect(mask.SrcRect) || !SaneCoord(windowWidth) || !SaneCoord(yOffset)) return;
  if (!SaneCoord(mask.WL) || !SaneCoord(mask.WT) || !SaneCoord(mask.WR) || !SaneCoord(mask.WB)) return;
  const int fw = MaskFrameWidth(mask), fh = MaskFrameHeight(mask);
  const int fl = mask.SrcRect.Left, ft = mask.SrcRect.Top;
  // The corner rows of the frame; the first of them lands at yOffset.
  const int r0 = bottom ? fh - mask.WB : 0, r1 = bottom ? fh : std::min(mask.WT, fh);
  auto scan = [&](int row, int c0, int c1, int shift) {
    int runStart = -1;
    for (int col = c0; col <= c1; ++col) {
      const int ix = fl + col, iy = ft + row;
      const bool key = col < c1 && img.Contains(ix, iy) && GetPix(img, ix, iy) == KeyPixel;
      if (key && runStart < 0) runStart = col;
      if (!key && runStart >= 0) {
        list.push_back(TRect{runStart + shift, yOffset + row - r0, col + shift, yOffset + row - r0 + 1});
        runStart = -1;
      }
    }
  };
  for (int row = std::max(r0, 0); row < r1; ++row) {
    scan(row, 0, std::min(mask.WL, fw), 0);
    scan(row, std::max(fw - mask.WR, 0), fw, windowWidth - fw);
  }
}

void CopyBackgroundToCorners(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, const TRect& dstRect, int corner,
                             const TlxMaskImage* mask, TPoint srcPoint) {
  if (dst.Empty() || src.Empty() || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4) return;
  if (!SaneRect(dstRect) || !SanePoint(srcPoint)) return;
  if (mask && (!SaneRect(mask->SrcRect) || !SaneCoord(mask->WR) || !SaneCoord(mask->WB))) return;
  int mx = 0, my = 0;
  if (mask) {
    if (mask->Image.Empty() || mask->Image.BytesPerPixel != 4) return;
    const int fw = MaskFrameWidth(*mask), fh = MaskFrameHeight(*mask);
    const int l = mask->SrcRect.Left, t = mask->SrcRect.Top;
    switch (corner) {
      case htTopRight: mx = l + fw - mask->WR; my = t; break;
      case htBottomLeft: mx = l; my = t + fh - mask->WB; break;
      case htBottomRight: mx = l + fw - mask->WR; my = t + fh - mask->WB; break;
      default: mx = l; my = t; break;
    }
  }
  const TRect k = ClipRectTo(dstRect, dst);
  for (int y = k.Top; y < k.Bottom; ++y)
    for (int x = k.Left; x < k.Right; ++x) {
      const int ox = x - dstRect.Left, oy = y - dstRect.Top;
      const int sx = srcPoint.X + ox, sy = srcPoint.Y + oy;
      if (!src.Contains(sx, sy)) continue;
      std::uint32_t test;
      if (mask) {
        if (!mask->Image.Contains(mx + ox, my + oy)) continue;
        test = GetPix(mask->Image, mx + ox, my + oy);
      } else {
        test = GetPix(dst, x, y);
      }
      if ((test & 0x00FFFFFFu) == 0xFF00FFu) SetPix(dst, x, y, GetPix(src, sx, sy));
    }
}
