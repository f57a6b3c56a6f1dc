// Glow, ink, soft shadow, text shortening and small glyphs (see sTextEffects.h).
#include "skin/paint/sTextEffects.h"

#include <algorithm>
#include <cmath>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sBlur.h"

// ---- glow ------------------------------------------------------------------------------------

TlxGlowPlan GlowPlan(const TRect& textRect, int glowSize) {
  TlxGlowPlan p;
  if (glowSize <= 0 || !SaneRect(textRect)) return p;
  p.Margin = glowSize + 4;
  p.Area = TRect{textRect.Left - p.Margin, textRect.Top - p.Margin, textRect.Right + p.Margin,
                 textRect.Bottom + p.Margin};
  const long long w = p.Area.Width(), h = p.Area.Height();
  p.Draw = w > 0 && h > 0 && w * h <= lxMaxWorkPixels;
  return p;
}

bool GlowMaskFits(const TlxPixelBuffer& mask, const TlxGlowPlan& plan) {
  return !mask.Empty() && mask.BytesPerPixel == 1 && mask.Width == plan.Area.Width() &&
         mask.Height == plan.Area.Height();
}

int GlowTextOffsets(int offsetFlags, TPoint (&out)[5]) {
  static constexpr TPoint shifts[4] = {{-1, 0}, {0, -1}, {1, 0}, {0, 1}};
  int n = 0;
  for (int i = 0; i < 4; ++i)
    if (offsetFlags & (1 << i)) out[n++] = shifts[i];
  out[n++] = TPoint{0, 0};
  return n;
}

void ComposeGlow(const TlxPixelBuffer& target, const TlxPixelBuffer& mask, TPoint at, TColor glow) {
  if (target.Empty() || mask.Empty() || target.BytesPerPixel != 4 || mask.BytesPerPixel != 1) return;
  if (!SanePoint(at)) return;
  const std::uint32_t g = SwapRB(static_cast<std::uint32_t>(glow));
  const int x0 = std::max(0, -at.X), y0 = std::max(0, -at.Y);
  const int x1 = std::min(mask.Width, target.Width - at.X), y1 = std::min(mask.Height, target.Height - at.Y);
  for (int y = y0; y < y1; ++y) {
    const Byte* m = mask.Row(y);
    for (int x = x0; x < x1; ++x) {
      const int v = m[x];
      if (v == 255) continue;
      const std::uint32_t c = GetPix(target, at.X + x, at.Y + y);
      std::uint32_t out = 0;
      for (int sh = 0; sh < 24; sh += 8) {
        const int cc = (c >> sh) & 0xFF, gc = (g >> sh) & 0xFF;
        out |= static_cast<std::uint32_t>(gc + (cc - gc) * v / 255) << sh;
      }
      const int a = c >> 24;
      out |= static_cast<std::uint32_t>(a + (255 - v) * (255 - a) / 255) << 24;
      SetPix(target, at.X + x, at.Y + y, out);
    }
  }
}

void BuildGlowMask(const TlxPixelBuffer& mask, const TlxGlowPlan& plan, int glowSize, int offsetFlags,
                   const std::function<void(TPoint)>& drawText) {
  if (!GlowMaskFits(mask, plan)) return;
  for (int y = 0; y < mask.Height; ++y) std::memset(mask.Row(y), 255, static_cast<std::size_t>(mask.Width));
  TPoint offsets[5];
  const int n = GlowTextOffsets(offsetFlags, offsets);
  for (int i = 0; i < n; ++i) drawText(TPoint{plan.Margin + offsets[i].X, plan.Margin + offsets[i].Y});
  GaussianBlur8(mask, glowSize);
}

// ---- ink -------------------------------------------------------------------------------------

void ComposeInk(const TlxPixelBuffer& target, const TlxPixelBuffer& temp, TPoint at, TColor color) {
  if (target.Empty() || temp.Empty() || target.BytesPerPixel != 4 || temp.BytesPerPixel != 4) return;
  if (!SanePoint(at)) return;
  const std::uint32_t pc = SwapRB(static_cast<std::uint32_t>(color));
  const int x0 = std::max(0, -at.X), y0 = std::max(0, -at.Y);
  const int x1 = std::min(temp.Width, target.Width - at.X), y1 = std::min(temp.Height, target.Height - at.Y);
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const std::uint32_t s = GetPix(temp, x, y) & 0xFFFFFFu;
      if (s == 0xFFFFFFu) continue;
      const int ink = static_cast<int>((s & 0xFF) + ((s >> 8) & 0xFF) + (s >> 16)) / 3;
      const std::uint32_t t = GetPix(target, at.X + x, at.Y + y);
      std::uint32_t out = 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) {
        const int tc = (t >> sh) & 0xFF, cc = (pc >> sh) & 0xFF;
        out |= static_cast<std::uint32_t>(cc + (tc - cc) * ink / 256) << sh;
      }
      SetPix(target, at.X + x, at.Y + y, out);
    }
}

// ---- soft shadow -----------------------------------------------------------------------------

// Whether the pixel (x, y) lies inside [l, r) x [t, b) less its rounded corners (radius rad,
// limited to half the sides; pixel centres inside the corner circles).
static bool InsideRoundRect(int x, int y, int l, int t, int r, int b, int rad) {
  if (x < l || y < t || x >= r || y >= b) return false;
  rad = std::max(0, std::min({rad, (r - l) / 2, (b - t) / 2}));
  const double cx = std::clamp(x + 0.5, static_cast<double>(l + rad), static_cast<double>(r - rad));
  const double cy = std::clamp(y + 0.5, static_cast<double>(t + rad), static_cast<double>(b - rad));
  const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
  return dx * dx + dy * dy <= static_cast<double>(rad) * rad;
}

void SoftShadowMask(const TlxPixelBuffer& mask, int transparency, int radius, int blur) {
  if (mask.Empty() || mask.BytesPerPixel != 4) return;
  const int w = mask.Width, h = mask.Height;
  const int g = std::clamp(transparency, 0, 100) * 255 / 100;
  const int k = std::max(0, std::min({blur, w / 2, h / 2}));
  const int rad = std::max(0, std::min({radius, w / 2, h / 2}));
  std::vector<std::uint32_t> level(static_cast<std::size_t>(k) + 1);
  for (int i = 0; i <= k; ++i) {
    const int v = i == k ? g : g + static_cast<int>(std::lround((255.0 - g) * (k - i) / (k + 1)));
    level[static_cast<std::size_t>(i)] = 0xFF000000u | 0x010101u * static_cast<std::uint32_t>(v);
  }
  // Each inset rounded rectangle lies inside the one before, so a pixel shows the innermost
  // that holds it: at most its distance from the edge, fewer only near the corners.
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int i = std::min({x, y, w - 1 - x, h - 1 - y, k});
      while (i >= 0 && !InsideRoundRect(x, y, i, i, w - i, h - i, rad)) --i;
      SetPix(mask, x, y, i < 0 ? 0xFFFFFFFFu : level[static_cast<std::size_t>(i)]);
    }
}

void DrawSoftShadow(const TlxPixelBuffer& b, const TRect& r, int transparency, int radius, int blur, TColor color) {
  if (b.Empty() || b.BytesPerPixel != 4 || !SaneRect(r)) return;
  const TRect c = ClipRectTo(r, b);
  if (c.IsEmpty()) return;
  // The piece under r is worked on in place: a view of the bitmap's own rows.
  const TlxPixelBuffer piece{b.At(c.Left, c.Top), c.Width(), c.Height(), b.Stride, 4};
  TlxImageBuffer mask(c.Width(), c.Height());
  SoftShadowMask(mask.View(), transparency, radius, blur);
  MultiplyByMask(piece, mask.View(), color);
}

// ---- text shortening ---------------------------------------------------------------------------

std::string ShortenText(const std::string& text, int width, const std::function<int(const std::string&)>& measure) {
  if (width <= 0) return "";
  if (measure(text) <= width) return text;
  std::string s = text;
  while (!s.empty()) {
    s.pop_back();
    if (measure(s + "...") <= width) break;
  }
  return s.empty() ? s : s + "...";
}

// ---- small glyphs ----------------------------------------------------------------------------

std::vector<TlxPixelRun> SmallArrowRuns(const TRect& r, int direction) {
  std::vector<TlxPixelRun> runs;
  if (!SaneRect(r) || (direction != saRight && direction != saDown)) return runs;
  // The arrow is 7 pixels across and 4 along its direction.
  const bool right = direction == saRight;
  const int x = r.Left + (r.Width() - (right ? 4 : 7)) / 2;
  const int y = r.Top + (r.Height() - (right ? 7 : 4)) / 2;
  for (int i = 0; i < 4; ++i)
    runs.push_back(right ? TlxPixelRun{x + i, y + i, 7 - 2 * i, true} : TlxPixelRun{x + i, y + i, 7 - 2 * i, false});
  return runs;
}

void DrawSmallArrow(const TlxPixelBuffer& b, TColor color, const TRect& r, int direction) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  const std::uint32_t px = SwapRB(static_cast<std::uint32_t>(color)) | 0xFF000000u;
  for (const TlxPixelRun& run : SmallArrowRuns(r, direction))
    for (int i = 0; i < run.Length; ++i) {
      const int x = run.Vertical ? run.X : run.X + i, y = run.Vertical ? run.Y + i : run.Y;
      if (b.Contains(x, y)) SetPix(b, x, y, px);
    }
}

std::vector<TlxFramePixel> DottedFramePixels(const TRect& r, const TRect& clip) {
  std::vector<TlxFramePixel> out;
  if (!SaneRect(r) || !SaneRect(clip) || r.Right < r.Left || r.Bottom < r.Top) return out;
  // Only the dots that can meet the clip are listed: a frame from skin data may be far larger
  // than what it is drawn on.
  auto range = [](int from, int len, int lo, int hi, int& first, int& last) {
    first = std::max(0, (lo - from) / 3);
    last = std::min(len / 3, (hi - from) / 3);
  };
  const bool inX = r.Left < clip.Right + 1 && r.Right >= clip.Left - 1;
  const bool inY = r.Top < clip.Bottom + 1 && r.Bottom >= clip.Top - 1;
  int first = 0, last = -1;
  if (inX) range(r.Left, r.Right - r.Left, clip.Left, clip.Right, first, last);
  for (int y : {r.Top, r.Bottom}) {
    if (y < clip.Top || y >= clip.Bottom) continue;
    for (int i = first; i <= last; ++i) {
      out.push_back({r.Left + 3 * i, y, true});
      out.push_back({r.Left + 3 * i - 1, y, false});
    }
  }
  first = 0, last = -1;
  if (inY) range(r.Top, r.Bottom - r.Top, clip.Top, clip.Bottom, first, last);
  for (int x : {r.Left, r.Right}) {
    if (x < clip.Left || x >= clip.Right) continue;
    for (int i = first; i <= last; ++i) {
      out.push_back({x, r.Top + 3 * i, true});
      out.push_back({x, r.Top + 3 * i - 1, false});
    }
  }
  return out;
}

void DrawDottedFrame(const TlxPixelBuffer& b, const TRect& inclusive, TColor a, TColor bColor) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  const std::uint32_t pa = SwapRB(static_cast<std::uint32_t>(a)) | 0xFF000000u;
  const std::uint32_t pb = SwapRB(static_cast<std::uint32_t>(bColor)) | 0xFF000000u;
  for (const TlxFramePixel& p : DottedFramePixels(inclusive, b.BoundsRect()))
    if (b.Contains(p.X, p.Y)) SetPix(b, p.X, p.Y, p.IsB ? pb : pa);
}
