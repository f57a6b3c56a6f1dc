// Alpha copies and blends (see sAlphaCopy.h).
#include "skin/paint/sAlphaCopy.h"

#include <algorithm>
#include <cmath>

#if defined(__SSE2__) && !defined(ORBEX_NO_FAST_PIXELS)
#include <emmintrin.h>
#define ORBEX_SSE2 1
#endif

static inline int RoundEven(double v) { return static_cast<int>(std::lrint(v)); }
static inline Byte ClampByte(int v) { return static_cast<Byte>(std::clamp(v, 0, 255)); }

std::uint32_t MixFactorRGB(std::uint32_t s, std::uint32_t d, double f) {
  std::uint32_t out = 0;
  for (int sh = 0; sh < 24; sh += 8) {
    const int cs = (s >> sh) & 0xFF, cd = (d >> sh) & 0xFF;
    out |= static_cast<std::uint32_t>(ClampByte(RoundEven(cs - (cs - cd) * f))) << sh;
  }
  return out;
}

TlxCopySpan ClipCopy(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst,
                     const TlxPixelBuffer& src) {
  if (dst.Empty() || src.Empty()) return TlxCopySpan{};
  // 64-bit arithmetic: rectangles come from skin data and may hold any 32-bit values.
  using L = long long;
  L dx = dstRect.Left, dy = dstRect.Top, sx = srcRect.Left, sy = srcRect.Top;
  L w = std::min(L{dstRect.Right} - dstRect.Left, L{srcRect.Right} - srcRect.Left);
  L h = std::min(L{dstRect.Bottom} - dstRect.Top, L{srcRect.Bottom} - srcRect.Top);
  const L mx = std::max({L{0}, -dx, -sx}), my = std::max({L{0}, -dy, -sy});
  dx += mx; sx += mx; w -= mx;
  dy += my; sy += my; h -= my;
  w = std::min({w, dst.Width - dx, src.Width - sx});
  h = std::min({h, dst.Height - dy, src.Height - sy});
  if (w <= 0 || h <= 0) return TlxCopySpan{};
  return TlxCopySpan{static_cast<int>(dx), static_cast<int>(dy), static_cast<int>(sx), static_cast<int>(sy),
                     static_cast<int>(w), static_cast<int>(h)};
}

// Limits an inclusive source rectangle to the source buffer; returns false when empty.
static bool ClipInclusive(const TRect& r, const TlxPixelBuffer& src, TRect& out) {
  if (src.Empty()) return false;
  out = TRect{std::max(r.Left, 0), std::max(r.Top, 0), std::min(r.Right, src.Width - 1),
              std::min(r.Bottom, src.Height - 1)};
  return out.Left <= out.Right && out.Top <= out.Bottom;
}

// The pieces below copy an inclusive source rectangle whose own top-left corner (before
// clipping) lands at (x, y) in dst. Visits the part of each of its rows that lies in both 32-bit
// buffers: fn(d, s, n, tx, ty) gets the first destination and source pixels of a run of n and
// the destination position of the first. Visits nothing when a buffer is not 32 bits or a
// coordinate is outside the sane range.
template <class F>
static void ForEachPieceRow(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, int y,
                            const TRect& srcInclusive, F&& fn) {
  TRect r;
  if (dst.Empty() || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4 || !ClipInclusive(srcInclusive, src, r)) return;
  if (!SaneCoord(x) || !SaneCoord(y) || !SaneRect(srcInclusive)) return;
  const int ox = x - srcInclusive.Left, oy = y - srcInclusive.Top;
  const int sx0 = std::max(r.Left, -ox), sx1 = std::min(r.Right, dst.Width - 1 - ox);
  if (sx1 < sx0) return;
  for (int sy = r.Top; sy <= r.Bottom; ++sy) {
    const int ty = oy + sy;
    if (ty < 0 || ty >= dst.Height) continue;
    fn(dst.At(ox + sx0, ty), src.At(sx0, sy), sx1 - sx0 + 1, ox + sx0, ty);
  }
}

// The same pixels one by one: fn(tx, ty, s) gets the destination position and the source pixel.
template <class F>
static void ForEachPiecePixel(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, int y,
                              const TRect& srcInclusive, F&& fn) {
  ForEachPieceRow(dst, src, x, y, srcInclusive, [&](Byte*, const Byte* s, int n, int tx, int ty) {
    for (int i = 0; i < n; ++i) fn(tx + i, ty, LoadPixel(s + i * 4));
  });
}

// Row y of a 32-bit background bitmap at destination row ty, or null (as BackgroundPixel
// finds no pixel there); BackgroundAt then reads its pixel at destination column tx.
static const Byte* BackgroundRow(const TlxBackgroundView& bg, int ty) {
  if (!bg.HasBitmap() || bg.Bitmap->BytesPerPixel != 4) return nullptr;
  const long long by = static_cast<long long>(bg.Y) + ty;
  return by < 0 || by >= bg.Bitmap->Height ? nullptr : bg.Bitmap->Row(static_cast<int>(by));
}

static inline bool BackgroundAt(const TlxBackgroundView& bg, const Byte* row, int tx, std::uint32_t& out) {
  if (!row) return false;
  const long long bx = static_cast<long long>(bg.X) + tx;
  if (bx < 0 || bx >= bg.Bitmap->Width) return false;
  out = LoadPixel(row + bx * 4);
  return true;
}

// A key colour as the pixels hold it (blue first), without alpha.
static inline std::uint32_t KeyOf(TColor key) {
  return SwapRB(static_cast<std::uint32_t>(key)) & 0x00FFFFFFu;
}

static bool BackgroundPixel(const TlxBackgroundView& bg, int x, int y, std::uint32_t& out) {
  if (!bg.HasBitmap() || bg.Bitmap->BytesPerPixel != 4) return false;
  const long long bx = static_cast<long long>(bg.X) + x, by = static_cast<long long>(bg.Y) + y;
  if (bx < 0 || by < 0 || bx >= bg.Bitmap->Width || by >= bg.Bitmap->Height) return false;
  out = GetPix(*bg.Bitmap, static_cast<int>(bx), static_cast<int>(by));
  return true;
}

static inline std::uint32_t BandBlend(std::uint32_t d, std::uint32_t s, std::uint32_t band, std::uint32_t keepAlpha) {
  std::uint32_t out = keepAlpha & 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8)
    out |= static_cast<std::uint32_t>(BandMix((d >> sh) & 0xFF, (s >> sh) & 0xFF, (band >> sh) & 0xFF)) << sh;
  return out;
}

// A band pixel whose red byte stands for all three channels.
static inline std::uint32_t RedAsBand(std::uint32_t band) { return ((band >> 16) & 0xFFu) * 0x010101u; }

// The clipped copy of a mask piece whose band rows lie inside the source as well.
static TlxCopySpan MaskPieceSpan(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, int bandOffset,
                                 const TlxPixelBuffer& src) {
  if (dst.BytesPerPixel != 4 || src.BytesPerPixel != 4 || bandOffset < 0) return TlxCopySpan{};
  TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
  c.H = std::min(c.H, src.Height - bandOffset - c.SY);
  return c;
}

void CopyMaskPiece(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, int bandOffset, bool fill,
                   const TlxBackgroundView& bg, const TlxPixelBuffer& src) {
  const TlxCopySpan c = MaskPieceSpan(dstRect, srcRect, dst, bandOffset, src);
  if (c.Empty()) return;
  const bool bgBitmap = bg.HasBitmap();
  const std::uint32_t bgColor = SwapRB(static_cast<std::uint32_t>(bg.Color));
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      const int dx = c.DX + x, dy = c.DY + y;
      const std::uint32_t s = GetPix(src, c.SX + x, c.SY + y);
      const std::uint32_t m = GetPix(src, c.SX + x, c.SY + y + bandOffset);
      const std::uint32_t d = GetPix(dst, dx, dy);
      const bool key = s == KeyPixel;
      if (bgBitmap && fill) {
        std::uint32_t b;
        if (key) {
          if (BackgroundPixel(bg, dx, dy, b)) SetPix(dst, dx, dy, b | 0xFF000000u);
          else SetPix(dst, dx, dy, d | 0xFF000000u);
        } else {
          SetPix(dst, dx, dy, BandBlend(d, s, m, 0xFF000000u));
        }
      } else if (bgBitmap) {
        SetPix(dst, dx, dy, BandBlend(d, s, RedAsBand(m), d));
      } else if (fill) {
        SetPix(dst, dx, dy, key ? bgColor : BandBlend(d, s, RedAsBand(m), d));
      } else if (!key) {
        SetPix(dst, dx, dy, BandBlend(d, s, m, d));
      }
    }
}

void CopyMaskPieceRows(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, int bandOffset, bool fill,
                       const TlxBackgroundView& bg, const TlxPixelBuffer& src) {
  const TlxCopySpan c = MaskPieceSpan(dstRect, srcRect, dst, bandOffset, src);
  if (c.Empty()) return;
  const bool bgBitmap = bg.HasBitmap();
  // Lanes read ahead of what they write: a piece copied within its own image keeps the
  // pixel-by-pixel order.
  const bool lanes = !bgBitmap && !fill && dst.Bits != src.Bits;
  const std::uint32_t bgColor = SwapRB(static_cast<std::uint32_t>(bg.Color));
  for (int y = 0; y < c.H; ++y) {
    const int dy = c.DY + y;
    Byte* d = dst.At(c.DX, dy);
    const Byte* s = src.At(c.SX, c.SY + y);
    const Byte* m = src.At(c.SX, c.SY + y + bandOffset);
    if (lanes) {
      BandBlendRow(d, s, m, c.W, true);
      continue;
    }
    const Byte* bgRow = bgBitmap && fill ? BackgroundRow(bg, dy) : nullptr;
    for (int x = 0; x < c.W; ++x) {
      const std::uint32_t sp = LoadPixel(s + x * 4), mp = LoadPixel(m + x * 4), dp = LoadPixel(d + x * 4);
      const bool key = sp == KeyPixel;
      std::uint32_t out;
      if (bgBitmap && fill) {
        std::uint32_t b;
        out = !key ? BandBlend(dp, sp, mp, 0xFF000000u) : BackgroundAt(bg, bgRow, c.DX + x, b) ? b | 0xFF000000u : dp | 0xFF000000u;
      } else if (bgBitmap) {
        out = BandBlend(dp, sp, RedAsBand(mp), dp);
      } else if (fill) {
        out = key ? bgColor : BandBlend(dp, sp, RedAsBand(mp), dp);
      } else {
        if (key) continue;
        out = BandBlend(dp, sp, mp, dp);
      }
      StorePixel(d + x * 4, out);
    }
  }
}

void BandBlendRow(Byte* d, const Byte* src, const Byte* m, int n, bool skipKey) {
  int i = 0;
#ifdef ORBEX_SSE2
  // ((d - s) * m + s * 256) >> 8 = (d * m + s * (256 - m)) >> 8, whose terms and sum stay
  // below 2^16: exact in 16-bit lanes. Even bytes (blue, red) and odd bytes (green, alpha) are
  // handled in place with masks and shifts.
  const __m128i lowBytes = _mm_set1_epi16(0x00FF), v256 = _mm_set1_epi16(256);
  const __m128i highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u)), key = _mm_set1_epi32(static_cast<int>(KeyPixel));
  const __m128i keyTest = skipKey ? _mm_set1_epi32(-1) : _mm_setzero_si128();
  for (; i + 4 <= n; i += 4) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i * 4));
    const __m128i vm = _mm_loadu_si128(reinterpret_cast<const __m128i*>(m + i * 4));
    const __m128i me = _mm_and_si128(vm, lowBytes), mo = _mm_srli_epi16(vm, 8);
    const __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(vd, lowBytes), me),
                                                      _mm_mullo_epi16(_mm_and_si128(vs, lowBytes), _mm_sub_epi16(v256, me))), 8);
    const __m128i odd = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(vd, 8), mo),
                                      _mm_mullo_epi16(_mm_srli_epi16(vs, 8), _mm_sub_epi16(v256, mo)));
    const __m128i mixed = _mm_or_si128(_mm_andnot_si128(alpha, _mm_or_si128(even, _mm_and_si128(odd, highBytes))),
                                       _mm_and_si128(vd, alpha));
    const __m128i isKey = _mm_and_si128(keyTest, _mm_cmpeq_epi32(vs, key));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), _mm_or_si128(_mm_and_si128(isKey, vd), _mm_andnot_si128(isKey, mixed)));
  }
#endif
  for (; i < n; ++i) {
    const std::uint32_t s = LoadPixel(src + i * 4);
    if (skipKey && s == KeyPixel) continue;
    const std::uint32_t dp = LoadPixel(d + i * 4);
    StorePixel(d + i * 4, BandBlend(dp, s, LoadPixel(m + i * 4), dp));
  }
}

// What a key-aware piece copy compares and paints: the key as the pixels hold it, whether a
// bitmap lies behind (and is the source itself), and the background colour (0xFF00FF: none).
struct TlxTransparentCopy {
  std::uint32_t Key;
  bool BgBitmap, SelfBg, ColourIsKey;
  std::uint32_t BgColor;
};

static TlxTransparentCopy TransparentCopy(const TlxBackgroundView& bg, TColor key, const TlxPixelBuffer& src) {
  const bool bgBitmap = bg.HasBitmap();
  return TlxTransparentCopy{KeyOf(key), bgBitmap, bgBitmap && bg.Bitmap->Bits == src.Bits,
                            (bg.Color & 0xFFFFFF) == clKeyColor, SwapRB(static_cast<std::uint32_t>(bg.Color)) | 0xFF000000u};
}

void CopyTransparentPiece(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int dx, bool fill,
                          const TlxBackgroundView& bg, TColor key, const TRect& srcInclusive, int dy) {
  const TlxTransparentCopy t = TransparentCopy(bg, key, src);
  ForEachPiecePixel(dst, src, dx, dy, srcInclusive, [&](int tx, int ty, std::uint32_t s) {
    const bool isKey = s == t.Key;
    if (t.BgBitmap && fill) {
      if (!isKey) SetPix(dst, tx, ty, s | 0xFF000000u);
      else if (!t.SelfBg) {
        std::uint32_t b;
        if (BackgroundPixel(bg, tx, ty, b)) SetPix(dst, tx, ty, b | 0xFF000000u);
      }
    } else if (t.BgBitmap) {
      if (!isKey) SetPix(dst, tx, ty, s);
    } else {
      // A colour of 0xFF00FF means no colour: key pixels stay key pixels.
      SetPix(dst, tx, ty, isKey ? (t.ColourIsKey ? s : t.BgColor) : s);
    }
  });
}

void CopyTransparentPieceRows(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int dx, bool fill,
                              const TlxBackgroundView& bg, TColor key, const TRect& srcInclusive, int dy) {
  const TlxTransparentCopy t = TransparentCopy(bg, key, src);
  ForEachPieceRow(dst, src, dx, dy, srcInclusive, [&](Byte* d, const Byte* s, int n, int tx, int ty) {
    const Byte* bgRow = t.BgBitmap && fill && !t.SelfBg ? BackgroundRow(bg, ty) : nullptr;
    for (int i = 0; i < n; ++i) {
      const std::uint32_t sp = LoadPixel(s + i * 4);
      const bool isKey = sp == t.Key;
      if (t.BgBitmap && fill) {
        std::uint32_t b;
        if (!isKey) StorePixel(d + i * 4, sp | 0xFF000000u);
        else if (BackgroundAt(bg, bgRow, tx + i, b)) StorePixel(d + i * 4, b | 0xFF000000u);
      } else if (t.BgBitmap) {
        if (!isKey) StorePixel(d + i * 4, sp);
      } else {
        StorePixel(d + i * 4, isKey ? (t.ColourIsKey ? sp : t.BgColor) : sp);
      }
    }
  });
}

void CopyMaskPieceKeyed(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int dx, TColor key,
                        const TRect& srcInclusive, int dy) {
  const std::uint32_t k = KeyOf(key);
  ForEachPiecePixel(dst, src, dx, dy, srcInclusive, [&](int tx, int ty, std::uint32_t s) {
    if (s != k) SetPix(dst, tx, ty, s);
  });
}

// ---- keyed copy ---------------------------------------------------------------------------

static bool KeyedSpan(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, int y, TlxCopySpan& c) {
  if (dst.Empty() || src.Empty() || dst.BytesPerPixel != 4) return false;
  if (src.BytesPerPixel != 4 && src.BytesPerPixel != 3) return false;
  if (!SaneCoord(x) || !SaneCoord(y)) return false;
  c = ClipCopy(TRect{x, y, x + src.Width, y + src.Height}, src.BoundsRect(), dst, src);
  return !c.Empty();
}

static inline std::uint32_t ReadRGB(const TlxPixelBuffer& b, int x, int y) {
  const Byte* p = b.At(x, y);
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16);
}

void CopyBitmapKeyedRef(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, TColor key, int y) {
  TlxCopySpan c;
  if (!KeyedSpan(dst, src, x, y, c)) return;
  // A 32-bit pixel is the key only with alpha 0 (an opaque magenta pixel is painted); a 24-bit
  // source has no alpha and is compared on its three bytes.
  const std::uint32_t k = KeyOf(key);
  const bool rgb = src.BytesPerPixel == 3;
  for (int j = 0; j < c.H; ++j)
    for (int i = 0; i < c.W; ++i) {
      const std::uint32_t s = rgb ? ReadRGB(src, c.SX + i, c.SY + j) : GetPix(src, c.SX + i, c.SY + j);
      if (s != k) SetPix(dst, c.DX + i, c.DY + j, s | 0xFF000000u);
    }
}

void CopyBitmapKeyedFast(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, TColor key, int y) {
#ifdef ORBEX_SSE2
  TlxCopySpan c;
  if (!KeyedSpan(dst, src, x, y, c)) return;
  if (src.BytesPerPixel != 4) return CopyBitmapKeyedRef(dst, src, x, key, y);
  const std::uint32_t k = KeyOf(key);
  const __m128i vk = _mm_set1_epi32(static_cast<int>(k));
  const __m128i opaque = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  for (int j = 0; j < c.H; ++j) {
    Byte* d = dst.At(c.DX, c.DY + j);
    const Byte* s = src.At(c.SX, c.SY + j);
    int i = 0;
    for (; i + 4 <= c.W; i += 4) {
      const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
      const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
      const __m128i isKey = _mm_cmpeq_epi32(vs, vk);
      const __m128i out = _mm_or_si128(_mm_and_si128(isKey, vd), _mm_andnot_si128(isKey, _mm_or_si128(vs, opaque)));
      _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), out);
    }
    for (; i < c.W; ++i) {
      const std::uint32_t v = LoadPixel(s + i * 4);
      if (v != k) StorePixel(d + i * 4, v | 0xFF000000u);
    }
  }
#else
  CopyBitmapKeyedRef(dst, src, x, key, y);
#endif
}

void CopyBitmapKeyed(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, TColor key, int y) {
#ifdef ORBEX_NO_FAST_PIXELS
  CopyBitmapKeyedRef(dst, src, x, key, y);
#else
  CopyBitmapKeyedFast(dst, src, x, key, y);
#endif
}

// ---- alpha-over ---------------------------------------------------------------------------

// One pixel of alpha-over by weight w: channel = d + (s - d) * w / 256 (floor, as a shift).
static inline std::uint32_t OverPixel(std::uint32_t d, std::uint32_t s, int w) {
  std::uint32_t out = d & 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    const int cd = (d >> sh) & 0xFF, cs = (s >> sh) & 0xFF;
    out |= static_cast<std::uint32_t>(cd + (((cs - cd) * w) >> 8)) << sh;
  }
  return out;
}

static inline std::uint32_t OverAlpha(std::uint32_t d, int sa) {
  if (sa == 0) return d;
  const int a = d >> 24;
  return (d & 0x00FFFFFFu) | (static_cast<std::uint32_t>(a + sa * (255 - a) / 255) << 24);
}

#ifdef ORBEX_SSE2
// n pixels of alpha-over by the source's own alpha. d + (s - d) * w >> 8 equals
// (d * (256 - w) + s * w) >> 8, whose terms stay below 2^16: exact in 16-bit lanes. The even
// bytes (blue, red) and the odd bytes (green, alpha) are handled in place with masks and
// shifts, so no byte shuffles are needed. The alpha byte is an odd lane with weights of its
// own: 256 and 0 keep it; when it is updated, a + sa * (255 - a) / 255, which is
// (a * (255 - sa) + sa * 255) / 255 (a * 255 divides exactly), with x / 255 =
// (x + 1 + (x >> 8)) >> 8, exact for x up to 65025.
template <bool UpdateAlpha>
static void OverRowSSE2(Byte* d, const Byte* s, int n) {
  const __m128i lowBytes = _mm_set1_epi16(0x00FF), highBytes = _mm_set1_epi16(static_cast<short>(0xFF00));
  const __m128i v256 = _mm_set1_epi16(256);
  // Odd lanes: green in the low half of a pixel, alpha in the high half.
  const __m128i oddSourceWeight = _mm_set1_epi32(UpdateAlpha ? 255 << 16 : 0);
  const __m128i oddBase = _mm_set1_epi32((UpdateAlpha ? 255 : 256) << 16 | 256);
  const __m128i alphaOne = _mm_set1_epi32(1 << 16), alphaLane = _mm_set1_epi32(static_cast<int>(0xFFFF0000u));
  int i = 0;
  for (; i + 4 <= n; i += 4) {
    const __m128i vd = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + i * 4));
    const __m128i vs = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + i * 4));
    const __m128i sa = _mm_srli_epi32(vs, 24);
    const __m128i w = _mm_or_si128(sa, _mm_slli_epi32(sa, 16));  // the weight in both 16-bit halves
    const __m128i even = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(_mm_and_si128(vd, lowBytes), _mm_sub_epi16(v256, w)),
                                                      _mm_mullo_epi16(_mm_and_si128(vs, lowBytes), w)), 8);
    const __m128i oddW = _mm_or_si128(sa, oddSourceWeight);
    const __m128i oddIW = _mm_sub_epi16(oddBase, UpdateAlpha ? w : sa);
    __m128i odd = _mm_add_epi16(_mm_mullo_epi16(_mm_srli_epi16(vd, 8), oddIW), _mm_mullo_epi16(_mm_srli_epi16(vs, 8), oddW));
    if (UpdateAlpha) odd = _mm_add_epi16(odd, _mm_and_si128(_mm_add_epi16(_mm_srli_epi16(odd, 8), alphaOne), alphaLane));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d + i * 4), _mm_or_si128(even, _mm_and_si128(odd, highBytes)));
  }
  for (; i < n; ++i) {
    const std::uint32_t sp = LoadPixel(s + i * 4);
    std::uint32_t dp = OverPixel(LoadPixel(d + i * 4), sp, sp >> 24);
    if (UpdateAlpha) dp = OverAlpha(dp, sp >> 24);
    StorePixel(d + i * 4, dp);
  }
}
#endif

void CopyBitmapRectRef(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool fill,
                       const TlxBackgroundView& bg, const TlxPixelBuffer& src) {
  if (dst.BytesPerPixel != 4 || src.BytesPerPixel != 4) return;
  const TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      const int dx = c.DX + x, dy = c.DY + y;
      const std::uint32_t s = GetPix(src, c.SX + x, c.SY + y);
      if (fill && s == KeyPixel) {
        std::uint32_t b;
        if (BackgroundPixel(bg, dx, dy, b)) SetPix(dst, dx, dy, b | 0xFF000000u);
        continue;
      }
      const int sa = s >> 24;
      SetPix(dst, dx, dy, OverAlpha(OverPixel(GetPix(dst, dx, dy), s, sa), sa));
    }
}

void CopyBitmapRectFast(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool fill,
                        const TlxBackgroundView& bg, const TlxPixelBuffer& src) {
#ifdef ORBEX_SSE2
  // Key filling reads a third buffer per pixel; that rare case keeps the plain loop.
  if (fill || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4)
    return CopyBitmapRectRef(dstRect, srcRect, dst, fill, bg, src);
  const TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
  for (int y = 0; y < c.H; ++y) OverRowSSE2<true>(dst.At(c.DX, c.DY + y), src.At(c.SX, c.SY + y), c.W);
#else
  CopyBitmapRectRef(dstRect, srcRect, dst, fill, bg, src);
#endif
}

void CopyBitmapRect(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool fill,
                    const TlxBackgroundView& bg, const TlxPixelBuffer& src) {
#ifdef ORBEX_NO_FAST_PIXELS
  CopyBitmapRectRef(dstRect, srcRect, dst, fill, bg, src);
#else
  CopyBitmapRectFast(dstRect, srcRect, dst, fill, bg, src);
#endif
}

// ---- blends and tints ---------------------------------------------------------------------

void BlendWithBackground(const TlxPixelBuffer& dst, int x, int y, TColor key, double factor,
                         const TRect& srcInclusive, const TlxPixelBuffer& src) {
  const std::uint32_t k = KeyOf(key);
  ForEachPiecePixel(dst, src, x, y, srcInclusive, [&](int tx, int ty, std::uint32_t s) {
    if (s == k) return;
    const std::uint32_t d = GetPix(dst, tx, ty);
    SetPix(dst, tx, ty, MixFactorRGB(s, d, factor) | (d & 0xFF000000u));
  });
}

void TintBitmap(const TlxPixelBuffer& b, TColor c, double factor) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  const std::uint32_t pc = SwapRB(static_cast<std::uint32_t>(c));
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      const std::uint32_t v = GetPix(b, x, y);
      if (v == KeyPixel) continue;
      std::uint32_t out = v & 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) {
        const int ch = (v >> sh) & 0xFF, cc = (pc >> sh) & 0xFF;
        out |= static_cast<std::uint32_t>(ClampByte(RoundEven(factor * (ch - cc) + cc))) << sh;
      }
      SetPix(b, x, y, out);
    }
}

void MultiplyByMask(const TlxPixelBuffer& b, const TlxPixelBuffer& mask, TColor c) {
  if (b.Empty() || b.BytesPerPixel != 4 || mask.BytesPerPixel != 4) return;
  if (b.Width != mask.Width || b.Height != mask.Height) return;
  const std::uint32_t pc = SwapRB(static_cast<std::uint32_t>(c));
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      const std::uint32_t v = GetPix(b, x, y), m = GetPix(mask, x, y);
      std::uint32_t out = v & 0xFF000000u;
      for (int sh = 0; sh < 24; sh += 8) {
        const int ch = (v >> sh) & 0xFF, cc = (pc >> sh) & 0xFF, mm = (m >> sh) & 0xFF;
        out |= static_cast<std::uint32_t>(cc + (((ch - cc) * mm) >> 8)) << sh;
      }
      SetPix(b, x, y, out);
    }
}

void BlendBitmapsFast(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, Byte alpha) {
  TlxFastSum32 f;
  if (!f.Attach(src, dst)) return;
  f.SetAlpha(alpha);
  f.SetDstRect(TRect{0, 0, f.GetWidth(), f.GetHeight()});
  f.SetSrcRect(TRect{0, 0, f.GetWidth(), f.GetHeight()});
  f.Blend();
}

void BlendBitmapPart(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, Byte alpha, TPoint pt,
                     const TRect& srcRect) {
  if (!SanePoint(pt) || !SaneRect(srcRect)) return;
  TRect s = srcRect;
  if (pt.X < 0) { s.Left -= pt.X; pt.X = 0; }
  if (pt.Y < 0) { s.Top -= pt.Y; pt.Y = 0; }
  TlxFastSum32 f;
  if (!f.Attach(src, dst)) return;
  const TlxCopySpan c = ClipCopy(TRect{pt.X, pt.Y, pt.X + s.Width(), pt.Y + s.Height()}, s, dst, src);
  if (c.Empty()) return;
  f.SetAlpha(alpha);
  f.SetDstRect(TRect{c.DX, c.DY, c.DX + c.W, c.DY + c.H});
  f.SetSrcRect(TRect{c.SX, c.SY, c.SX + c.W, c.SY + c.H});
  f.Blend();
}

void MergeByMask(const TlxPixelBuffer& out, const TlxPixelBuffer& a, const TlxPixelBuffer& b, Byte constant,
                 const TlxPixelBuffer* mask) {
  auto same = [&](const TlxPixelBuffer& x) {
    return !x.Empty() && x.BytesPerPixel == 4 && x.Width == a.Width && x.Height == a.Height;
  };
  if (!same(out) || !same(a) || !same(b) || (mask && !same(*mask))) return;
  for (int y = 0; y < a.Height; ++y) {
    Byte* po = out.Row(y);
    const Byte* pa = a.Row(y);
    const Byte* pb = b.Row(y);
    const Byte* pm = mask ? mask->Row(y) : nullptr;
    for (int i = 0; i < a.Width * 4; ++i) {
      const int m = pm ? pm[i] : constant;
      po[i] = static_cast<Byte>(pb[i] + (((pa[i] - pb[i]) * m) >> 8));
    }
  }
}

// ---- the general image copy ---------------------------------------------------------------

namespace {
struct TlxCopyParams {
  int BlendPercent;
  bool Tinted;
  int TintB, TintG, TintR;  // memory order
};

inline std::uint32_t TintValue(std::uint32_t s, const TlxCopyParams& p) {
  if (!p.Tinted) return s;
  const int grey = static_cast<int>(((s & 0xFF) + ((s >> 8) & 0xFF) + ((s >> 16) & 0xFF)) / 3);
  auto ch = [grey](int t) { return static_cast<std::uint32_t>(ClampByte(RoundEven(grey * t / 255.0))); };
  return (s & 0xFF000000u) | ch(p.TintB) | (ch(p.TintG) << 8) | (ch(p.TintR) << 16);
}

TlxCopyParams MakeParams(int blendPercent, TColor tint) {
  TlxCopyParams p{};
  p.BlendPercent = blendPercent;
  p.Tinted = tint != clNoneTint;
  p.TintR = tint & 0xFF;
  p.TintG = (tint >> 8) & 0xFF;
  p.TintB = (tint >> 16) & 0xFF;
  return p;
}

void ReflectionRef(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, const TlxCopyParams& p,
                   const TlxPixelBuffer& src) {
  // The source rectangle limited to the source buffer; the mirror covers at most half its
  // height less one row, so sources of 1..3 rows draw none (and the fade step never divides
  // by zero).
  if (!SaneRect(dstRect) || !SaneRect(srcRect)) return;
  const TRect s = ClipRectTo(srcRect, src);
  const int half = s.Height() / 2;
  const int rows = half - 1;
  if (rows <= 0) return;
  const int step = 255 / half;
  const int top = dstRect.Top + std::min(dstRect.Height(), srcRect.Height());
  const int w = std::min(dstRect.Width(), srcRect.Width());
  int fade = 255;
  for (int k = 0; k < rows; ++k, fade = std::max(fade - step, 0)) {
    const int ty = top + k;
    if (ty >= dst.Height) break;
    if (ty < 0) continue;
    const int sy = s.Bottom - 1 - k;
    for (int i = 0; i < w; ++i) {
      const int tx = dstRect.Left + i, sx = srcRect.Left + i;
      if (tx < 0 || tx >= dst.Width || sx < s.Left || sx >= s.Right) continue;
      const std::uint32_t sp = GetPix(src, sx, sy);
      if (sp == KeyPixel) continue;
      const int sa = sp >> 24;
      const int v = p.BlendPercent != 0 ? (100 - p.BlendPercent) * sa / 300 * fade / 255 : fade * (sa / 3) / 255;
      SetPix(dst, tx, ty, OverPixel(GetPix(dst, tx, ty), TintValue(sp, p), std::clamp(v, 0, 255)));
    }
  }
}
}  // namespace

void CopyWithAlphaRef(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool reflected,
                      int blendPercent, TColor tint, bool fillKey, const TlxBackgroundView& bg,
                      const TlxPixelBuffer& src) {
  if (dst.BytesPerPixel != 4 || src.BytesPerPixel != 4) return;
  const TlxCopyParams p = MakeParams(blendPercent, tint);
  const TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
  const bool bgBitmap = bg.HasBitmap();
  for (int y = 0; y < c.H; ++y)
    for (int x = 0; x < c.W; ++x) {
      const int dx = c.DX + x, dy = c.DY + y;
      const std::uint32_t s = GetPix(src, c.SX + x, c.SY + y);
      if (bgBitmap && s == KeyPixel) {
        std::uint32_t b;
        if (fillKey && BackgroundPixel(bg, dx, dy, b)) SetPix(dst, dx, dy, b);
        continue;
      }
      const int sa = s >> 24;
      const int w = blendPercent != 0 ? (100 - blendPercent) * sa / 100 : sa;
      SetPix(dst, dx, dy, OverPixel(GetPix(dst, dx, dy), TintValue(s, p), std::clamp(w, 0, 255)));
    }
  if (reflected) ReflectionRef(dstRect, srcRect, dst, p, src);
}

void CopyWithAlphaFast(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool reflected,
                       int blendPercent, TColor tint, bool fillKey, const TlxBackgroundView& bg,
                       const TlxPixelBuffer& src) {
#ifdef ORBEX_SSE2
  // The common case (plain image, no blend, no tint, no key filling) is an alpha-over that
  // keeps the destination's alpha; key pixels have alpha 0 and so leave it unchanged as well.
  const bool plain = blendPercent == 0 && tint == clNoneTint && !(fillKey && bg.HasBitmap());
  if (!plain || dst.BytesPerPixel != 4 || src.BytesPerPixel != 4)
    return CopyWithAlphaRef(dstRect, srcRect, dst, reflected, blendPercent, tint, fillKey, bg, src);
  const TlxCopySpan c = ClipCopy(dstRect, srcRect, dst, src);
  for (int y = 0; y < c.H; ++y) OverRowSSE2<false>(dst.At(c.DX, c.DY + y), src.At(c.SX, c.SY + y), c.W);
  if (reflected) ReflectionRef(dstRect, srcRect, dst, MakeParams(blendPercent, tint), src);
#else
  CopyWithAlphaRef(dstRect, srcRect, dst, reflected, blendPercent, tint, fillKey, bg, src);
#endif
}

void CopyWithAlpha(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool reflected,
                   int blendPercent, TColor tint, bool fillKey, const TlxBackgroundView& bg,
                   const TlxPixelBuffer& src) {
#ifdef ORBEX_NO_FAST_PIXELS
  CopyWithAlphaRef(dstRect, srcRect, dst, reflected, blendPercent, tint, fillKey, bg, src);
#else
  CopyWithAlphaFast(dstRect, srcRect, dst, reflected, blendPercent, tint, fillKey, bg, src);
#endif
}
