// Pixel buffers, the fast pixel views, fills and the disabled look (see sAlphaGraph.h).
#include "skin/paint/sAlphaGraph.h"

#include <algorithm>
#include <cmath>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sColorMath.h"

#if defined(__SSE2__) && !defined(ORBEX_NO_FAST_PIXELS)
#include <emmintrin.h>
#define ORBEX_SSE2 1
#endif

void TlxImageBuffer::Reshape(int width, int height, int bytesPerPixel) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  // Rows padded to 4 bytes like a DIB; 64-bit size arithmetic.
  const std::size_t stride = (static_cast<std::size_t>(width) * bytesPerPixel + 3) & ~std::size_t{3};
  const std::size_t bytes = stride * static_cast<std::size_t>(height);
  if (bytes != FBytes) {
    FData.reset(bytes > 0 ? new Byte[bytes] : nullptr);
    FBytes = bytes;
  }
  FView.Bits = FData.get();
  FView.Width = width;
  FView.Height = height;
  FView.Stride = static_cast<std::ptrdiff_t>(stride);
  FView.BytesPerPixel = bytesPerPixel;
}

void TlxImageBuffer::SetSize(int width, int height, int bytesPerPixel) {
  Reshape(width, height, bytesPerPixel);
  // Zeroed as one block: work bitmaps of the screen's size are made for every resampling.
  if (FBytes > 0) std::memset(FData.get(), 0, FBytes);
}

void TlxImageBuffer::SetSizeForOverwrite(int width, int height, int bytesPerPixel) {
  Reshape(width, height, bytesPerPixel);
  const std::size_t line = static_cast<std::size_t>(FView.Width) * bytesPerPixel;
  if (static_cast<std::size_t>(FView.Stride) > line)
    for (int y = 0; y < FView.Height; ++y) std::memset(FView.Row(y) + line, 0, static_cast<std::size_t>(FView.Stride) - line);
}

TRect ClipRectTo(const TRect& r, const TlxPixelBuffer& b) {
  TRect c{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, b.Width), std::min(r.Bottom, b.Height)};
  if (c.IsEmpty()) return TRect{};
  return c;
}

TRect ClipRectTo(const TRect& r, const TlxPixelBuffer& b, const TRect& clip) {
  return ClipRectTo(TRect{std::max(r.Left, clip.Left), std::max(r.Top, clip.Top), std::min(r.Right, clip.Right),
                          std::min(r.Bottom, clip.Bottom)},
                    b);
}

void FillDWords(Byte* start, int count, std::uint32_t value) {
  for (int i = 0; i < count; ++i) StorePixel(start + static_cast<std::ptrdiff_t>(i) * 4, value);
}

static void RequireFormat32(const TlxPixelBuffer& b) {
  if (b.BytesPerPixel != 4) throw EAssertionFailed("Bitmap format is not supported");
}

// ---- TlxFast32 --------------------------------------------------------------------------

bool TlxFast32::Attach(const TlxPixelBuffer& b) {
  if (b.Bits == nullptr || b.Height < 2 || b.Width < 1) {
    FWidth = 0;
    return false;
  }
  RequireFormat32(b);
  FBuffer = b;
  FWidth = b.Width;
  FHeight = b.Height;
  FStart = b.Bits;
  FDelta = b.Row(1) - b.Row(0);
  return true;
}

TColor TlxFast32::GetPixel(int x, int y) const {
  return static_cast<TColor>(SwapRB(LoadPixel(FStart + y * FDelta + x * 4)));
}

void TlxFast32::SetPixel(int x, int y, TColor c) {
  StorePixel(FStart + y * FDelta + x * 4, SwapRB(static_cast<std::uint32_t>(c)));
}

void TlxFast32::FillRect(const TRect& r, std::uint32_t c) {
  if (FWidth <= 0) return;
  const TRect k = ClipRectTo(r, FBuffer);
  if (k.IsEmpty()) return;
  c |= 0xFF000000u;
  for (int y = k.Top; y < k.Bottom; ++y) FillDWords(FStart + y * FDelta + k.Left * 4, k.Width(), c);
}

// ---- TlxFastSum32 -----------------------------------------------------------------------

bool TlxFastSum32::Attach(const TlxPixelBuffer& src, const TlxPixelBuffer& dst) {
  if (src.Bits == nullptr || dst.Bits == nullptr || src.Width < 2 || src.Height < 2 || dst.Width < 2 ||
      dst.Height < 2)
    return false;
  RequireFormat32(src);
  RequireFormat32(dst);
  FSrc = src;
  FDst = dst;
  FWidth = std::min(src.Width, dst.Width);
  FHeight = std::min(src.Height, dst.Height);
  return true;
}

void TlxFastSum32::Blend() {
  if (FSrc.Bits == nullptr || !SaneRect(FDstRect) || !SaneRect(FSrcRect)) return;
  // Source and destination rectangles are taken as equal in size: the destination's size is
  // used, aligned at the bottom-left corners as rows are paired from the bottom.
  int dl = FDstRect.Left, dt = FDstRect.Top, dr = FDstRect.Right, db = FDstRect.Bottom;
  int sl = FSrcRect.Left, sb = FSrcRect.Bottom;
  int st = sb - (db - dt);
  // Clip against both buffers, moving the partner edge along.
  if (dl < 0) { sl -= dl; dl = 0; }
  if (sl < 0) { dl -= sl; sl = 0; }
  if (dt < 0) { st -= dt; dt = 0; }
  if (st < 0) { dt -= st; st = 0; }
  dr = std::min({dr, FDst.Width, dl + (FSrc.Width - sl)});
  db = std::min({db, FDst.Height, dt + (FSrc.Height - st)});
  if (dr <= dl || db <= dt) return;
  BlendConst(FDst, dl, dt, FSrc, sl, st, dr - dl, db - dt, FAlpha);
}

// ---- constant-alpha blend kernel ----------------------------------------------------------

void BlendConstRef(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, int sx, int sy,
                   int w, int h, Byte alpha) {
  const unsigned a = alpha, na = 255u - alpha;
  for (int y = 0; y < h; ++y) {
    Byte* d = dst.At(dx, dy + y);
    const Byte* s = src.At(sx, sy + y);
    for (int i = 0; i < w * 4; ++i) d[i] = static_cast<Byte>((d[i] * a + s[i] * na + 127u) >> 8);
  }
}

void BlendConstFast(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, int sx, int sy,
                    int w, int h, Byte alpha) {
#ifdef ORBEX_SSE2
  const unsigned a = alpha, na = 255u - alpha;
  // Every product is below 2^16 and the sum at most 65152, so 16-bit lanes are exact.
  const __m128i va = _mm_set1_epi16(static_cast<short>(a));
  const __m128i vna = _mm_set1_epi16(static_cast<short>(na));
  const __m128i vr = _mm_set1_epi16(127);
  const __m128i zero = _mm_setzero_si128();
  const int bytes = w * 4;
  for (int y = 0; y < h; ++y) {
    Byte* d = dst.At(dx, dy + y);
    const Byte* s = src.At(sx, sy + y);
    int i = 0;
    for (; i + 16 <= bytes; i += 16) {
      const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i));
      const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i));
      __m128i lo = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(vd, zero), va),
                                 _mm_mullo_epi16(_mm_unpacklo_epi8(vs, zero), vna));
      __m128i hi = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(vd, zero), va),
                                 _mm_mullo_epi16(_mm_unpackhi_epi8(vs, zero), vna));
      lo = _mm_srli_epi16(_mm_add_epi16(lo, vr), 8);
      hi = _mm_srli_epi16(_mm_add_epi16(hi, vr), 8);
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i), _mm_packus_epi16(lo, hi));
    }
    for (; i < bytes; ++i) d[i] = static_cast<Byte>((d[i] * a + s[i] * na + 127u) >> 8);
  }
#else
  BlendConstRef(dst, dx, dy, src, sx, sy, w, h, alpha);
#endif
}

void BlendConst(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, int sx, int sy, int w,
                int h, Byte alpha) {
#ifdef ORBEX_NO_FAST_PIXELS
  BlendConstRef(dst, dx, dy, src, sx, sy, w, h, alpha);
#else
  BlendConstFast(dst, dx, dy, src, sx, sy, w, h, alpha);
#endif
}

// ---- fills --------------------------------------------------------------------------------

void FillRectOpaque(const TlxPixelBuffer& b, const TRect& r, TColor c) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  const std::uint32_t px = SwapRB(static_cast<std::uint32_t>(c)) | 0xFF000000u;
  // A one-row buffer cannot be attached to TlxFast32; its row is filled directly, clipped the
  // same way as every other rectangle.
  const TRect k = ClipRectTo(r, b);
  if (k.IsEmpty()) return;
  for (int y = k.Top; y < k.Bottom; ++y) FillDWords(b.At(k.Left, y), k.Width(), px);
}

void FillFrameOpaque(const TlxPixelBuffer& b, const TRect& r, int leftWidth, TColor c, int bottomWidth,
                     int rightWidth, int topWidth) {
  if (!SaneRect(r) || !SaneCoord(leftWidth) || !SaneCoord(bottomWidth) || !SaneCoord(rightWidth) || !SaneCoord(topWidth))
    return;
  FillRectOpaque(b, TRect{r.Left, r.Top, r.Right, r.Top + topWidth}, c);
  FillRectOpaque(b, TRect{r.Left, r.Top + topWidth, r.Left + leftWidth, r.Bottom}, c);
  FillRectOpaque(b, TRect{r.Left + leftWidth, r.Bottom - bottomWidth, r.Right, r.Bottom}, c);
  FillRectOpaque(b, TRect{r.Right - rightWidth, r.Top + topWidth, r.Right, r.Bottom - bottomWidth}, c);
}

void SetRectAlpha(const TlxPixelBuffer& b, const TRect& r, Byte alpha, bool skipKey) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  const TRect k = ClipRectTo(r, b);
  for (int y = k.Top; y < k.Bottom; ++y) {
    Byte* p = b.At(k.Left, y);
    for (int x = 0; x < k.Width(); ++x, p += 4) {
      if (skipKey && LoadPixel(p) == KeyPixel) continue;
      p[3] = alpha;
    }
  }
}

void BlendColorIntoRect(const TlxPixelBuffer& b, const TRect& r, int percent, TColor c) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  const TRect k = ClipRectTo(r, b);
  const double p = percent / 100.0;
  const double q = 1.0 - p;
  // Per channel in memory order: blue, green, red.
  const double cb = (c >> 16) & 0xFF, cg = (c >> 8) & 0xFF, cr = c & 0xFF;
  for (int y = k.Top; y < k.Bottom; ++y) {
    Byte* px = b.At(k.Left, y);
    for (int x = 0; x < k.Width(); ++x, px += 4) {
      px[0] = static_cast<Byte>(std::clamp<long>(std::lrint(p * px[0] + q * cb), 0, 255));
      px[1] = static_cast<Byte>(std::clamp<long>(std::lrint(p * px[1] + q * cg), 0, 255));
      px[2] = static_cast<Byte>(std::clamp<long>(std::lrint(p * px[2] + q * cr), 0, 255));
    }
  }
}

void MakeDisabledLook(const TlxPixelBuffer& b, int flags, TPoint offset, const TlxBackgroundView& bg,
                      TColor controlColor) {
  if (b.Empty() || b.BytesPerPixel != 4 || !SanePoint(offset) || !SaneCoord(bg.X) || !SaneCoord(bg.Y)) return;
  // Key pixels stay key pixels in both steps, so that later key-aware copies still skip them.
  if (flags & dkGrayed) GrayscaleExceptKey(b, KeyPixel);
  if (!(flags & dkBlended)) return;
  if (bg.HasBitmap()) {
    // The parent piece under the image is blended onto it: the image keeps 40 percent. Key
    // pixels of either are left as they are.
    const TlxPixelBuffer& pb = *bg.Bitmap;
    const int ox = bg.X + offset.X, oy = bg.Y + offset.Y;
    for (int y = 0; y < b.Height; ++y)
      for (int x = 0; x < b.Width; ++x) {
        if (!pb.Contains(ox + x, oy + y) || pb.BytesPerPixel != 4) continue;
        const std::uint32_t d = GetPix(b, x, y), s = GetPix(pb, ox + x, oy + y);
        if (d == KeyPixel || s == KeyPixel) continue;
        SetPix(b, x, y, MixFactorRGB(s, d, 0.4) | (d & 0xFF000000u));
      }
  } else {
    const TColor c = bg.Color == clKeyColor ? controlColor : bg.Color;
    BlendColorIntoRect(b, b.BoundsRect(), 50, c);
  }
}
