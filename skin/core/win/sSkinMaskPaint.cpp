// Mask painting over the skin's records: see sSkinMaskPaint.h.
#include "skin/core/win/sSkinMaskPaint.h"

#include <algorithm>

#include "skin/core/win/sBackgroundRequest.h"
#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/win/sBitmap32.h"
#include "skin/paint/win/sDibSection.h"

namespace {

// The pixels of a bitmap only when they are 32-bit; an empty view otherwise, so that the
// kernels paint nothing instead of raising on a foreign format.
TlxPixelBuffer Pixels32(TBitmap* b) {
  if (b == nullptr || b->Empty() || b->GetPixelFormat() != TPixelFormat::pf32bit) return TlxPixelBuffer{};
  return BitmapPixels(b);
}

TBitmap* OwnBitmap(const TsMaskData& mask) { return As<TBitmap>(mask.Bmp.get()); }

std::uint32_t BandValue(const TlxPixelBuffer& src, int x, int y) { return (GetPix(src, x, y) >> 16) & 0xFF; }

}  // namespace

TlxMaskImage MaskImageOf(const TsMaskData& mask, TBitmap* master) {
  TBitmap* own = OwnBitmap(mask);
  return MaskImageOf(mask, own != nullptr, Pixels32(own != nullptr ? own : master));
}

void PaintMaskFrame(TBitmap* dst, const TRect& dstRect, bool fillCorners, int state, const TsMaskData& mask,
                    const TsBackgroundInfo& bg, TBitmap* master) {
  const TlxPixelBuffer d = TargetPixels32(dst);
  if (d.Empty()) return;
  TlxPixelBuffer bgPixels;
  PaintMaskFrame(d, dstRect, fillCorners, state, MaskImageOf(mask, master), BackgroundView(bg, bgPixels));
}

void DrawMaskState(TBitmap* dst, TPoint pt, int state, const TsBackgroundInfo& bg, const TsSkinTables* sm,
                   int maskIndex, int mode, TBitmap* master) {
  if (!MaskIndexInRange(sm, maskIndex)) return;
  const TlxPixelBuffer d = TargetPixels32(dst);
  if (d.Empty()) return;
  TlxPixelBuffer bgPixels;
  DrawMaskState(d, pt, state, BackgroundView(bg, bgPixels), MaskImageOf(sm->MaskData[static_cast<size_t>(maskIndex)], master),
                mode);
}

// ---------------------------------------------------------------------------------------------
// Window regions.

void PaintPieceCutRegion(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, const TRect& srcRect,
                         int maskType, int bandOffset, HRGN region) {
  if (dst.BytesPerPixel != 4 || src.BytesPerPixel != 4 || !SaneRect(srcRect) || !SaneCoord(dx) || !SaneCoord(dy) ||
      !SaneCoord(bandOffset))
    return;
  const TRect dr{dx, dy, dx + srcRect.Width(), dy + srcRect.Height()};
  const TlxCopySpan c = ClipCopy(dr, srcRect, dst, src);
  if (c.Empty()) return;
  const bool banded = maskType != 0;
  auto cut = [&](int y, int x0, int x1, int mode) {
    if (region == nullptr) return;
    TOwnedRegion run(CreateRectRgn(c.DX + x0, c.DY + y, c.DX + x1, c.DY + y + 1));
    if (run) CombineRgn(region, region, run.Get(), mode);
  };
  for (int y = 0; y < c.H; ++y) {
    const int sy = c.SY + y;
    const bool bandInside = !banded || (sy + bandOffset >= 0 && sy + bandOffset < src.Height);
    int runStart = -1;
    for (int x = 0; x < c.W; ++x) {
      const std::uint32_t s = GetPix(src, c.SX + x, sy);
      if (region != nullptr && s == KeyPixel) {
        if (runStart < 0) runStart = x;
        continue;
      }
      if (runStart >= 0) {
        cut(y, runStart, x, RGN_XOR);
        runStart = -1;
      }
      Byte* p = dst.At(c.DX + x, c.DY + y);
      if (!banded) {
        StorePixel(p, s);
      } else if (bandInside) {
        const int m = static_cast<int>(BandValue(src, c.SX + x, sy + bandOffset));
        for (int ch = 0; ch < 3; ++ch) p[ch] = BandMix(p[ch], static_cast<int>((s >> (8 * ch)) & 0xFF), m);
      }
    }
    if (runStart >= 0) cut(y, runStart, c.W, RGN_DIFF);
  }
}

namespace {

// Tiles one piece over dst (a side or the centre), each run through PaintPieceCutRegion with
// the region off; runs follow the frame painter's rule: whole tiles, then the rest cropped.
void TileRegionPiece(const TlxPixelBuffer& dst, const TRect& d, const TlxPixelBuffer& src, const TRect& s, int maskType,
                     int bandOffset) {
  if (d.IsEmpty() || s.IsEmpty()) return;
  for (const auto& [y, h] : TileRuns(d.Top, d.Bottom, s.Height(), 0, dst.Height))
    for (const auto& [x, w] : TileRuns(d.Left, d.Right, s.Width(), 0, dst.Width))
      PaintPieceCutRegion(dst, x, y, src, TRect{s.Left, s.Top, s.Left + w, s.Top + h}, maskType, bandOffset, nullptr);
}

}  // namespace

void ControlRegionFromMask(TBitmap* bitmap, HRGN region, bool paintCentre, int state, const TsMaskData& mask,
                           TBitmap* master) {
  const TlxPixelBuffer dst = TargetPixels32(bitmap);
  if (dst.Width < 2 || dst.Height < 2) return;
  const TlxMaskImage m = MaskImageOf(mask, master);
  if (!m.HasManager || mask.MaskType < 0 || !SaneRect(m.SrcRect)) return;
  const int W = dst.Width, H = dst.Height;
  int wl = mask.WL, wr = mask.WR, wt = mask.WT, wb = mask.WB;
  ShrinkBorders(W, wl, wr);
  ShrinkBorders(H, wt, wb);
  int count = mask.ImageCount;
  TRect r = m.SrcRect;
  if (count < 1) {
    count = 1;
    r = m.Image.BoundsRect();
  }
  state = std::clamp(state, 0, count - 1);
  const int fw = r.Width() / count;
  const int fh = mask.MaskType != 0 ? r.Height() / (mask.MaskType + 1) : r.Height();
  const int band = mask.MaskType != 0 ? fh : 0;
  const int cw = std::max(fw - wl - wr, 0), ch = std::max(fh - wt - wb, 0);
  const int fl = r.Left + fw * state, ft = r.Top;
  const int sr = fl + fw - wr, sb = ft + fh - wb;
  const bool stretch = (mask.DrawMode & dmStretch) != 0;
  const TlxPixelBuffer& src = m.Image;
  auto corner = [&](int dx, int dy, TRect s) { PaintPieceCutRegion(dst, dx, dy, src, s, mask.MaskType, band, region); };
  auto piece = [&](const TRect& d, const TRect& s, bool centre) {
    if (d.IsEmpty() || s.IsEmpty()) return;
    if (stretch)
      StretchRegion(d.Left, d.Top, d.Width(), centre, band, src, dst, s.Height(), s.Width(), s.Top, s.Left, d.Height());
    else
      TileRegionPiece(dst, d, src, s, mask.MaskType, band);
  };
  corner(0, 0, TRect{fl, ft, fl + wl, ft + wt});
  corner(0, H - wb, TRect{fl, sb, fl + wl, sb + wb});
  if (ch > 0) piece(TRect{0, wt, wl, H - wb}, TRect{fl, ft + wt, fl + wl, ft + wt + ch}, false);
  if (cw > 0) {
    piece(TRect{wl, 0, W - wr, wt}, TRect{fl + wl, ft, fl + wl + cw, ft + wt}, false);
    piece(TRect{wl, H - wb, W - wr, H}, TRect{fl + wl, sb, fl + wl + cw, sb + wb}, false);
  }
  if (ch > 0) piece(TRect{W - wr, wt, W, H - wb}, TRect{sr, ft + wt, sr + wr, ft + wt + ch}, false);
  corner(W - wr, H - wb, TRect{sr, sb, sr + wr, sb + wb});
  corner(W - wr, 0, TRect{sr, ft, sr + wr, ft + wt});
  if (paintCentre && (mask.DrawMode & dmPaintCentre) && cw > 0 && ch > 0)
    piece(TRect{wl, wt, W - wr, H - wb}, TRect{fl + wl, ft + wt, fl + wl + cw, ft + wt + ch}, true);
}

// ---------------------------------------------------------------------------------------------
// Corners of a control image.

void FillControlCorners(TBitmap* cache, TControl* owner, const TsSkinTables* sm, int maskIndex, int state,
                        TBitmap* master) {
  if (!MaskIndexInRange(sm, maskIndex) || owner == nullptr) return;
  const TsMaskData& md = sm->MaskData[static_cast<size_t>(maskIndex)];
  if (md.CornerType == 0) return;
  const TlxPixelBuffer dst = TargetPixels32(cache);
  if (dst.Empty()) return;

  TsBackgroundRequest req;
  req.Rect = TRect{0, 0, dst.Width, dst.Height};
  if (owner->Parent() != nullptr) {
    RequestControlBackground(req, owner->Parent(), false);
  } else if (auto* w = As<TWinControl>(owner); w != nullptr && w->HandleAllocated() && GetParent(w->Handle())) {
    RequestWindowBackground(req, GetParent(w->Handle()), false);
  } else {
    return;
  }
  TsBackgroundInfo info;
  BackgroundRequestToInfo(req, info);
  if (info.Bitmap != nullptr) {
    info.X += owner->Left();
    info.Y += owner->Top();
  }
  TlxPixelBuffer bgPixels = Pixels32(info.Bitmap);

  TlxMaskImage m = MaskImageOf(md, master);
  if (m.OwnImage && md.ImageCount == 0) {
    m.MaskType = 1;
    m.ImageCount = 3;
    m.SrcRect = m.Image.BoundsRect();
  }
  // Which corners to fill does not depend on whether the frame is painted in this state.
  m.DrawMode &= ~dmNoNormal;
  TlxMaskLayout lay;
  if (!MaskFrameLayout(TRect{0, 0, dst.Width, dst.Height}, state, m, lay)) return;
  const std::uint32_t colour = SwapRB(static_cast<std::uint32_t>(info.Color) & 0xFFFFFF) | 0xFF000000u;
  const bool colourFill = (static_cast<std::uint32_t>(info.Color) & 0xFFFFFF) != clKeyColor;
  for (const TlxMaskPiece& p : lay.Pieces) {
    if (p.Kind != TlxPieceKind::Corner) continue;
    for (int y = p.Dst.Top; y < p.Dst.Bottom; ++y) {
      for (int x = p.Dst.Left; x < p.Dst.Right; ++x) {
        const int sx = p.Src.Left + x - p.Dst.Left, sy = p.Src.Top + y - p.Dst.Top;
        if (!dst.Contains(x, y) || !m.Image.Contains(sx, sy) || GetPix(m.Image, sx, sy) != KeyPixel) continue;
        const int bx = info.X + x, by = info.Y + y;
        if (!bgPixels.Empty() && bgPixels.Contains(bx, by))
          SetPix(dst, x, y, GetPix(bgPixels, bx, by) | 0xFF000000u);
        else if (bgPixels.Empty() && colourFill)
          SetPix(dst, x, y, colour);
      }
    }
  }
}

void ExcludeChildControls(HDC dc, TWinControl* parent, int yOffset, int xOffset, bool graphicsPaintedSeparately) {
  if (dc == nullptr || parent == nullptr || graphicsPaintedSeparately) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* c = parent->Controls(i);
    if (c->IsWindowed() || !c->Visible()) continue;
    const TRect b = c->BoundsRect();
    ExcludeClipRect(dc, b.Left + xOffset, b.Top + yOffset, b.Right + xOffset, b.Bottom + yOffset);
  }
}
