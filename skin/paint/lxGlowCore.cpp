// The window-free part of the glow windows (see lxGlowCore.h).
#include "skin/paint/lxGlowCore.h"

#include <algorithm>

bool GlowGeometry(const TRect& controlRect, const TRect& visibleRect, const TRect& borders, int margin,
                  TlxGlowGeometry& out) {
  out = TlxGlowGeometry{};
  if (!SaneRect(controlRect) || !SaneRect(visibleRect) || !SaneRect(borders) || !SaneCoord(margin)) return false;
  using L = long long;
  const L cw = controlRect.Width(), ch = controlRect.Height();
  const L w = cw + borders.Left + borders.Right - 2 * L{margin};
  const L h = ch + borders.Top + borders.Bottom - 2 * L{margin};
  L cutL = 0, cutT = 0, cutR = 0, cutB = 0;
  if (visibleRect.Width() != cw || visibleRect.Height() != ch) {
    // Nothing of the control shows: any halo left would lie outside the visible part.
    if (visibleRect.IsEmpty()) return false;
    // Each cut removes the halo beyond the glow's edge on that side plus the hidden part of
    // the control there. A cut that would come out negative means the glow, pulled in by a
    // margin wider than the border, already ends inside the visible part: nothing to cut.
    if (visibleRect.Left != 0) cutL = std::max<L>(L{borders.Left} + visibleRect.Left - margin, 0);
    if (visibleRect.Top != 0) cutT = std::max<L>(L{borders.Top} + visibleRect.Top - margin, 0);
    if (visibleRect.Right != cw) cutR = std::max<L>(cw - visibleRect.Right + borders.Right - margin, 0);
    if (visibleRect.Bottom != ch) cutB = std::max<L>(ch - visibleRect.Bottom + borders.Bottom - margin, 0);
  }
  const L ww = w - cutL - cutR, wh = h - cutT - cutB;
  // A window of no pixels would be an empty layered window that nobody can see or hide.
  if (ww < 1 || wh < 1) return false;
  if (w > lxMaxCoord || h > lxMaxCoord || w * h > lxMaxWorkPixels) return false;
  const L x = L{controlRect.Left} - borders.Left + margin + cutL;
  const L y = L{controlRect.Top} - borders.Top + margin + cutT;
  if (!SaneCoord(x) || !SaneCoord(y)) return false;
  out.Window = Bounds(static_cast<int>(x), static_cast<int>(y), static_cast<int>(ww), static_cast<int>(wh));
  out.FullRect = Bounds(static_cast<int>(-cutL), static_cast<int>(-cutT), static_cast<int>(w), static_cast<int>(h));
  return true;
}

namespace {

// Frame 0 of the mask as two opaque pictures of the frame's size for the frame painter: the
// colour multiplied by the coverage, and the coverage itself as grey. Painted alike, the two
// give colour and alpha of every glow pixel whatever the painter stretches or tiles, and
// neither holds the key colour, so the painter copies both as they are.
struct TGlowPictures {
  TlxImageBuffer Colour, Coverage;
};

bool SplitFirstFrame(const TlxMaskImage& mask, TGlowPictures& out) {
  if (mask.Image.Empty() || mask.Image.BytesPerPixel != 4 || !SaneRect(mask.SrcRect)) return false;
  const int fw = MaskFrameWidth(mask), fh = MaskFrameHeight(mask);
  const int band = mask.MaskType != 0 ? fh : 0;
  const TlxPixelBuffer& img = mask.Image;
  const TRect& r = mask.SrcRect;
  // A frame (or its band) reaching beyond the image is a broken skin: no glow, and no work
  // sized by a rectangle the image does not back.
  if (fw < 1 || fh < 1 || r.Left < 0 || r.Top < 0 || r.Left > img.Width - fw ||
      static_cast<long long>(r.Top) + band + fh > img.Height)
    return false;
  out.Colour.SetSize(fw, fh);
  out.Coverage.SetSize(fw, fh);
  for (int y = 0; y < fh; ++y)
    for (int x = 0; x < fw; ++x) {
      const int sx = r.Left + x, sy = r.Top + y;
      const std::uint32_t p = GetPix(img, sx, sy);
      std::uint32_t a = 0;
      if ((p & 0xFFFFFFu) != 0xFF00FFu) a = band != 0 ? 255u - (GetPix(img, sx, sy + band) >> 16 & 0xFFu) : 255u;
      std::uint32_t c = 0;
      for (int shift = 0; shift <= 16; shift += 8) c |= (((p >> shift & 0xFFu) * a + 127u) / 255u) << shift;
      SetPix(out.Colour.View(), x, y, c | 0xFF000000u);
      SetPix(out.Coverage.View(), x, y, a | a << 8 | a << 16 | 0xFF000000u);
    }
  return true;
}

}  // namespace

void PaintGlowImage(const TlxPixelBuffer& dst, const TRect& fullRect, const TlxMaskImage& mask) {
  if (dst.Empty() || dst.BytesPerPixel != 4) return;
  for (int y = 0; y < dst.Height; ++y) FillDWords(dst.Row(y), dst.Width, 0);
  TGlowPictures pictures;
  if (!SplitFirstFrame(mask, pictures)) return;
  TlxMaskImage m = mask;
  m.OwnImage = true;
  m.SrcRect = pictures.Colour.View().BoundsRect();
  m.ImageCount = 1;
  m.MaskType = 0;
  m.CornerType = 0;
  const TlxBackgroundView none{};
  TlxImageBuffer alpha(dst.Width, dst.Height);
  m.Image = pictures.Colour.View();
  PaintMaskFrame(dst, fullRect, false, 0, m, none);
  m.Image = pictures.Coverage.View();
  PaintMaskFrame(alpha.View(), fullRect, false, 0, m, none);
  for (int y = 0; y < dst.Height; ++y)
    for (int x = 0; x < dst.Width; ++x) {
      const std::uint32_t a = GetPix(alpha.View(), x, y) & 0xFFu;
      const std::uint32_t c = GetPix(dst, x, y);
      // Premultiplied colour never exceeds its alpha; the min keeps it so where a system
      // stretch might smooth the two pictures differently.
      std::uint32_t out = a << 24;
      for (int shift = 0; shift <= 16; shift += 8) out |= std::min(c >> shift & 0xFFu, a) << shift;
      SetPix(dst, x, y, out);
    }
}
