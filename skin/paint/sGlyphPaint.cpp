// Glyph and caption layout, glyph states, nine-piece copies, channel copies (see sGlyphPaint.h).
#include "skin/paint/sGlyphPaint.h"

#include <algorithm>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sColorMath.h"

// ---- glyph and caption -------------------------------------------------------------------------

TlxGlyphCaptionPlace GlyphCaptionLayout(TSize glyph, TSize caption, int flags, const TRect& r, int kind, int margin,
                                        int spacing, int alignment) {
  TlxGlyphCaptionPlace out;
  if (!SaneRect(r)) return out;
  glyph = TSize{std::clamp(glyph.cx, 0, lxMaxCoord), std::clamp(glyph.cy, 0, lxMaxCoord)};
  caption = TSize{std::clamp(caption.cx, 0, lxMaxCoord), std::clamp(caption.cy, 0, lxMaxCoord)};
  margin = std::min(margin, lxMaxCoord);
  spacing = std::min(spacing, lxMaxCoord);
  if (kind < glGlyphLeft || kind > glGlyphBottom) kind = glGlyphLeft;
  if ((flags & glRightToLeft) && kind <= glGlyphRight) kind ^= 1;
  const bool horizontal = kind <= glGlyphRight;
  const bool glyphFirst = kind == glGlyphLeft || kind == glGlyphTop;
  // 64-bit sums: the sizes and the margin come from skin data.
  using L = long long;
  const L axis = horizontal ? r.Width() : r.Height(), across = horizontal ? r.Height() : r.Width();
  const L ga = horizontal ? glyph.cx : glyph.cy, ca = horizontal ? caption.cx : caption.cy;
  const L gx = horizontal ? glyph.cy : glyph.cx, cx = horizontal ? caption.cy : caption.cx;
  L gap = spacing >= 0 ? spacing : std::max<L>(0, axis - ga - ca) / 3;
  if (ga == 0 || ca == 0) gap = 0;
  L gpos, cpos;
  if (margin < 0) {
    const L start = (axis - (ga + gap + ca)) / 2;
    gpos = glyphFirst ? start : start + ca + gap;
    cpos = glyphFirst ? start + ga + gap : start;
  } else {
    gpos = glyphFirst ? margin : axis - margin - ga;
    cpos = glyphFirst ? gpos + ga + gap : gpos - gap - ca;
  }
  auto acrossPos = [&](L size) -> L {
    if (horizontal || alignment == 2) return (across - size) / 2;
    return alignment == 1 ? across - size : 0;
  };
  const L ox = r.Left, oy = r.Top;
  auto place = [&](L along, L acr, L sAlong, L sAcross) {
    const L x = horizontal ? ox + along : ox + acr, y = horizontal ? oy + acr : oy + along;
    const L w = horizontal ? sAlong : sAcross, h = horizontal ? sAcross : sAlong;
    return TRect{static_cast<int>(x), static_cast<int>(y), static_cast<int>(x + w), static_cast<int>(y + h)};
  };
  out.Glyph = place(gpos, acrossPos(gx), ga, gx);
  out.Caption = place(cpos, acrossPos(cx), ca, cx);
  return out;
}

// ---- glyph states ------------------------------------------------------------------------------

TlxGlyphPick PickGlyphColumn(int stripWidth, const TlxGlyphState& s) {
  TlxGlyphPick p;
  if (s.Count < 1 || stripWidth / s.Count < 1) return p;
  p.ColumnWidth = stripWidth / s.Count;
  const int kind = s.Kind >= 0 && s.Kind <= 2 ? s.Kind : 0;
  const int second = s.LowColor ? 0 : 1;
  if (s.Count == 1) {
    p.Column = 0;
    if (s.UseStates) {
      p.Blend = kind == 0 && s.BlendPercent >= 1;
      p.Factor = s.BlendPercent / 100.0;
    } else {
      p.Grey = (s.DisabledKinds & dkGrayed) != 0;
      p.Blend = (s.DisabledKinds & dkBlended) != 0;
      p.Factor = 0.5;
    }
  } else {
    if (!s.UseStates || kind == 0) p.Column = 0;
    else if (kind == 1) p.Column = second;
    else {
      // A state without its own column looks as kind 1.
      const long long c = static_cast<long long>(s.StateIndex) + 2;
      p.Column = c >= 0 && c < s.Count ? static_cast<int>(c) : second;
    }
    p.Blend = !s.UseStates && kind == 0 && s.BlendPercent > 0;
    p.Factor = s.BlendPercent / 100.0;
  }
  p.Keyed = !p.Blend;
  return p;
}

void PaintGlyphState(const TlxPixelBuffer& strip, const TlxPixelBuffer& dst, TPoint at, const TlxGlyphState& s) {
  if (strip.Empty() || dst.Empty() || dst.BytesPerPixel != 4 || !SanePoint(at)) return;
  if (strip.BytesPerPixel != 4 && strip.BytesPerPixel != 3) return;
  const TlxGlyphPick p = PickGlyphColumn(strip.Width, s);
  if (p.Column < 0) return;
  const int w = p.ColumnWidth, h = strip.Height, x0 = p.Column * w;
  TlxImageBuffer work(w, h);
  const TlxPixelBuffer& wv = work.View();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const Byte* sp = strip.At(x0 + x, y);
      const std::uint32_t v = strip.BytesPerPixel == 4 ? LoadPixel(sp)
                                                       : (sp[0] | static_cast<std::uint32_t>(sp[1]) << 8 |
                                                          static_cast<std::uint32_t>(sp[2]) << 16);
      SetPix(wv, x, y, v);
    }
  // The strip's transparent colour is the bottom-left pixel of the column; pixels of that colour
  // become the key as the keyed copies read it (alpha 0).
  const std::uint32_t key = GetPix(wv, 0, h - 1) & 0xFFFFFFu;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if ((GetPix(wv, x, y) & 0xFFFFFFu) == key) SetPix(wv, x, y, key);
  const TColor keyColor = SwapRB(key);
  if (p.Grey) GrayscaleExceptKey(wv, key);
  if (p.Blend) BlendWithBackground(dst, at.X, at.Y, keyColor, p.Factor, TRect{0, 0, w - 1, h - 1}, wv);
  else if (s.Count == 1) CopyBitmapKeyed(dst, wv, at.X, keyColor, at.Y);
  else CopyMaskPieceKeyed(dst, wv, at.X, keyColor, TRect{0, 0, w - 1, h - 1}, at.Y);
}

// ---- nine pieces -------------------------------------------------------------------------------

namespace {

// Adds tiles of src over dst (the last ones cropped), only those that meet `clip`. The caller
// made sure that the source sizes are at least 1.
void AddTiles(std::vector<TlxBlit>& out, const TRect& dst, const TRect& src, const TRect& clip) {
  const int sw = src.Width(), sh = src.Height();
  // Start at the first tile that reaches the clip, so the count stays within the clip's size.
  const long long fx = clip.Left > dst.Left ? (static_cast<long long>(clip.Left) - dst.Left) / sw : 0;
  const long long fy = clip.Top > dst.Top ? (static_cast<long long>(clip.Top) - dst.Top) / sh : 0;
  for (long long y = dst.Top + fy * sh; y < dst.Bottom && y < clip.Bottom; y += sh)
    for (long long x = dst.Left + fx * sw; x < dst.Right && x < clip.Right; x += sw) {
      const int w = static_cast<int>(std::min<long long>(sw, dst.Right - x));
      const int h = static_cast<int>(std::min<long long>(sh, dst.Bottom - y));
      const TRect d{static_cast<int>(x), static_cast<int>(y), static_cast<int>(x) + w, static_cast<int>(y) + h};
      out.push_back(TlxBlit{d, TRect{src.Left, src.Top, src.Left + w, src.Top + h}});
    }
}

void AddPiece(std::vector<TlxBlit>& out, const TRect& dst, const TRect& src, int mode, const TRect& clip) {
  if (dst.IsEmpty() || src.IsEmpty()) return;   // a source of no pixels is never tiled
  if (dst.Right <= clip.Left || dst.Left >= clip.Right || dst.Bottom <= clip.Top || dst.Top >= clip.Bottom) return;
  if (mode == spStretch) out.push_back(TlxBlit{dst, src});
  else AddTiles(out, dst, src, clip);
}

// A corner: one copy, or two split at `split` columns when the margin sets differ there.
void AddCorner(std::vector<TlxBlit>& out, const TRect& dst, const TRect& src, int split, bool fromRight) {
  if (dst.IsEmpty()) return;
  const int w = dst.Width();
  if (split <= 0 || split >= w) {
    out.push_back(TlxBlit{dst, src});
    return;
  }
  const int a = fromRight ? w - split : split;
  out.push_back(TlxBlit{TRect{dst.Left, dst.Top, dst.Left + a, dst.Bottom}, TRect{src.Left, src.Top, src.Left + a, src.Bottom}});
  out.push_back(TlxBlit{TRect{dst.Left + a, dst.Top, dst.Right, dst.Bottom}, TRect{src.Left + a, src.Top, src.Right, src.Bottom}});
}

}  // namespace

std::vector<TlxBlit> StretchPiecePlan(const TRect& d, const TRect& s, const TlxStretchSpec& layout, const TRect& clip) {
  std::vector<TlxBlit> out;
  if (!SaneRect(d) || !SaneRect(s) || !SaneRect(clip) || d.IsEmpty() || s.IsEmpty()) return out;
  const TlxMargins& a = layout.Margins1;
  const TlxMargins& b = layout.Margins2;
  auto pos = [](int v) { return std::clamp(v, 0, lxMaxCoord); };
  // Corner sizes: the larger margin of the two sets, no larger than the source.
  const int L = std::min(std::max(pos(a.Left), pos(b.Left)), s.Width());
  const int T = std::min(std::max(pos(a.Top), pos(b.Top)), s.Height());
  const int R = std::min(std::max(pos(a.Right), pos(b.Right)), s.Width());
  const int B = std::min(std::max(pos(a.Bottom), pos(b.Bottom)), s.Height());
  const int splitL = std::min(pos(a.Left), pos(b.Left)), splitR = std::min(pos(a.Right), pos(b.Right));
  const int cl = std::min(L, d.Width()), cr = std::min(R, d.Width());
  const int ct = std::min(T, d.Height()), cb = std::min(B, d.Height());
  AddCorner(out, TRect{d.Left, d.Top, d.Left + cl, d.Top + ct}, TRect{s.Left, s.Top, s.Left + cl, s.Top + ct}, splitL, false);
  AddCorner(out, TRect{d.Right - cr, d.Top, d.Right, d.Top + ct}, TRect{s.Right - cr, s.Top, s.Right, s.Top + ct}, splitR, true);
  AddCorner(out, TRect{d.Left, d.Bottom - cb, d.Left + cl, d.Bottom}, TRect{s.Left, s.Bottom - cb, s.Left + cl, s.Bottom},
            splitL, false);
  AddCorner(out, TRect{d.Right - cr, d.Bottom - cb, d.Right, d.Bottom},
            TRect{s.Right - cr, s.Bottom - cb, s.Right, s.Bottom}, splitR, true);
  // Between the corners; a source length of 0 or less (margins beyond the source) is skipped.
  const TRect dc{d.Left + L, d.Top + T, d.Right - R, d.Bottom - B};
  const TRect sc{s.Left + L, s.Top + T, s.Right - R, s.Bottom - B};
  AddPiece(out, TRect{d.Left, dc.Top, d.Left + cl, dc.Bottom}, TRect{s.Left, sc.Top, s.Left + cl, sc.Bottom},
           layout.SideModes[0], clip);
  AddPiece(out, TRect{dc.Left, d.Top, dc.Right, d.Top + ct}, TRect{sc.Left, s.Top, sc.Right, s.Top + ct},
           layout.SideModes[1], clip);
  AddPiece(out, TRect{d.Right - cr, dc.Top, d.Right, dc.Bottom}, TRect{s.Right - cr, sc.Top, s.Right, sc.Bottom},
           layout.SideModes[2], clip);
  AddPiece(out, TRect{dc.Left, d.Bottom - cb, dc.Right, d.Bottom}, TRect{sc.Left, s.Bottom - cb, sc.Right, s.Bottom},
           layout.SideModes[3], clip);
  if (layout.PaintCentre) AddPiece(out, dc, sc, layout.CentreMode, clip);
  return out;
}

void BlitNearest(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, const TlxBlit& b) {
  if (dst.Empty() || src.Empty() || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4) return;
  if (b.Dst.IsEmpty() || b.Src.IsEmpty() || !SaneRect(b.Dst) || !SaneRect(b.Src)) return;
  using L = long long;
  const TRect c = ClipRectTo(b.Dst, dst);
  const L dw = b.Dst.Width(), dh = b.Dst.Height(), sw = b.Src.Width(), sh = b.Src.Height();
  for (int y = c.Top; y < c.Bottom; ++y) {
    const L sy = b.Src.Top + (y - L{b.Dst.Top}) * sh / dh;
    if (sy < 0 || sy >= src.Height) continue;
    for (int x = c.Left; x < c.Right; ++x) {
      const L sx = b.Src.Left + (x - L{b.Dst.Left}) * sw / dw;
      if (sx >= 0 && sx < src.Width) SetPix(dst, x, y, GetPix(src, static_cast<int>(sx), static_cast<int>(sy)));
    }
  }
}

void StretchPiece(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, const TRect& dstRect, const TRect& srcRect,
                  const TlxStretchSpec& layout) {
  if (dst.Empty() || src.Empty()) return;
  for (const TlxBlit& b : StretchPiecePlan(dstRect, srcRect, layout, dst.BoundsRect())) BlitNearest(dst, src, b);
}

// ---- channels ----------------------------------------------------------------------------------

void CopyChannel(const TlxPixelBuffer& image, const TlxPixelBuffer& mask, int channel, bool toMask) {
  if (channel < 0 || channel > 3 || image.Empty() || mask.Empty()) return;
  if (image.BytesPerPixel != 4 || mask.BytesPerPixel != 1) return;
  const int w = std::min(image.Width, mask.Width), h = std::min(image.Height, mask.Height);
  for (int y = 0; y < h; ++y) {
    Byte* ip = image.Row(y) + channel;
    Byte* mp = mask.Row(y);
    for (int x = 0; x < w; ++x) {
      if (toMask) mp[x] = ip[4 * x];
      else ip[4 * x] = mp[x];
    }
  }
}
