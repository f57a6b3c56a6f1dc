// Colour maths (see sColorMath.h).
#include "skin/paint/sColorMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "skin/paint/sPixelLanes.h"

static inline int RoundEven(double v) { return static_cast<int>(std::lrint(v)); }
static inline std::uint32_t Clamp255(double v) {
  return static_cast<std::uint32_t>(std::clamp(RoundEven(v), 0, 255));
}

TColor BlendColors(TColor a, TColor b, double x) {
  const std::uint32_t ua = static_cast<std::uint32_t>(a), ub = static_cast<std::uint32_t>(b);
  std::uint32_t out = ua & 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    const double ca = (ua >> sh) & 0xFF, cb = (ub >> sh) & 0xFF;
    out |= Clamp255(x * ca + (1.0 - x) * cb) << sh;
  }
  return static_cast<TColor>(out);
}

std::uint32_t ColorHueShift(int offset, std::uint32_t c) {
  const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
  const int v = std::max({r, g, b});
  const int d = v - std::min({r, g, b});
  if (v == 0 || d == 0) return (c & 0xFF00FFFFu) | (static_cast<std::uint32_t>(v) << 16);
  const double s = static_cast<double>(d) / v;
  double h;
  if (r == v) h = 60.0 * (g - b) / d;
  else if (g == v) h = 120.0 + 60.0 * (b - r) / d;
  else h = 240.0 + 60.0 * (r - g) / d;
  if (h < 0) h += 360.0;
  // Wrapped so that negative offsets (and offsets beyond a turn) give a hue in 0..359.
  int hue = RoundEven(offset + h) % 360;
  if (hue < 0) hue += 360;
  const int i = hue / 60;
  const double f = hue / 60.0 - i;
  const std::uint32_t V = static_cast<std::uint32_t>(v);
  const std::uint32_t p = Clamp255(v * (1.0 - s));
  const std::uint32_t q = Clamp255(v * (1.0 - f * s));
  const std::uint32_t t = Clamp255(v * (1.0 - (1.0 - f) * s));
  std::uint32_t R, G, B;
  switch (i) {
    case 0: R = V; G = t; B = p; break;
    case 1: R = q; G = V; B = p; break;
    case 2: R = p; G = V; B = t; break;
    case 3: R = p; G = q; B = V; break;
    case 4: R = t; G = p; B = V; break;
    default: R = V; G = p; B = q; break;
  }
  return (c & 0xFF000000u) | (R << 16) | (G << 8) | B;
}

TColor ApplyHueOffset(int offset, TColor c) {
  if (offset == 0) return c;
  return static_cast<TColor>(SwapRB(ColorHueShift(offset, SwapRB(static_cast<std::uint32_t>(c)))));
}

std::uint32_t ColorSaturate(int amount, std::uint32_t c) {
  if (amount == 0) return c;
  const double g = (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3.0;
  std::uint32_t out = c & 0xFF000000u;
  for (int sh = 0; sh < 24; sh += 8) {
    const double ch = (c >> sh) & 0xFF;
    out |= Clamp255(ch - (g - ch) * amount / 100.0) << sh;
  }
  return out;
}

TColor ApplyColorSaturation(TColor c, int amount) {
  if (amount == 0) return c;
  return static_cast<TColor>(ColorSaturate(amount, static_cast<std::uint32_t>(c)));
}

static void GrayRows(const TlxPixelBuffer& b, bool useKey, std::uint32_t key) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  for (int y = 0; y < b.Height; ++y) {
    Byte* p = b.Row(y);
    for (int x = 0; x < b.Width; ++x, p += 4) {
      if (useKey && LoadPixel(p) == key) continue;
      const Byte v = static_cast<Byte>((p[0] + p[1] + p[2]) / 3);
      p[0] = p[1] = p[2] = v;
    }
  }
}

void GrayscaleBitmap(const TlxPixelBuffer& b) { GrayRows(b, false, 0); }
void GrayscaleExceptKey(const TlxPixelBuffer& b, std::uint32_t key) { GrayRows(b, true, key); }

static inline bool IsGrey(std::uint32_t v) {
  const std::uint32_t bl = v & 0xFF;
  return ((v >> 8) & 0xFF) == bl && ((v >> 16) & 0xFF) == bl;
}

// n contiguous pixels through f, keys and greys left.
template <typename F>
static void MapPixels(Byte* p, int n, F f) {
  for (int x = 0; x < n; ++x, p += 4) {
    const std::uint32_t v = LoadPixel(p);
    if (v != KeyPixel && !IsGrey(v)) StorePixel(p, f(v));
  }
}

template <typename F>
static void MapColouredRef(const TlxPixelBuffer& b, F f) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  for (int y = 0; y < b.Height; ++y) MapPixels(b.Row(y), b.Width, f);
}

// n pixels set to v.
static void FillRun(Byte* p, int n, std::uint32_t v) {
#ifdef ORBEX_SSE2
  if (n >= 4) {
    const __m128i vv = _mm_set1_epi32(static_cast<int>(v));
    for (int i = 0; i + 4 <= n; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(p + i * 4), vv);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p + (n - 4) * 4), vv);
    return;
  }
#endif
  for (int i = 0; i < n; ++i) StorePixel(p + i * 4, v);
}

void HueShiftBitmapRef(const TlxPixelBuffer& b, int offset) {
  MapColouredRef(b, [offset](std::uint32_t v) { return ColorHueShift(offset, v); });
}

#ifdef ORBEX_SSE2
namespace {

inline __m128i Select(__m128i mask, __m128i a, __m128i b) {
  return _mm_or_si128(_mm_and_si128(mask, a), _mm_andnot_si128(mask, b));
}
inline __m128i Times60(__m128i x) { return _mm_sub_epi32(_mm_slli_epi32(x, 6), _mm_slli_epi32(x, 2)); }
// Product of two lanes both within 0..32767 (or a signed 16-bit value times such a one).
inline __m128i Mul16(__m128i a, __m128i b) { return _mm_madd_epi16(a, b); }

// Round-half-even of x / 60 for 0 <= x + 30 < 65536, and a mask of the lanes where x / 60 lies
// exactly halfway (x mod 60 = 30) added to `tie`.
inline __m128i RoundDiv60(__m128i x, __m128i& tie) {
  const __m128i up = _mm_add_epi32(x, _mm_set1_epi32(30));
  // floor(y / 60) = (y * 34953) >> 21 for y below 74898.
  const __m128i q = _mm_srli_epi32(_mm_mulhi_epu16(up, _mm_set1_epi32(34953)), 5);
  tie = _mm_or_si128(tie, _mm_cmpeq_epi32(Mul16(q, _mm_set1_epi32(60)), up));
  return q;
}

// q (odd sectors) or t (even sectors) of four pixels, rounded, by the reference's own double
// operations in the same order: where the exact value lies halfway between two integers, the
// rounding errors of those operations decide, so only the same operations give the same byte.
inline __m128i ThirdValueAsReference(__m128i v, __m128i d, __m128i hue, __m128i i, __m128i odd) {
  const __m128d one = _mm_set1_pd(1.0), sixty = _mm_set1_pd(60.0);
  auto half = [&](__m128i vi, __m128i di, __m128i hi, __m128i ii, __m128i oi) {
    const __m128d vv = _mm_cvtepi32_pd(vi);
    const __m128d s = _mm_div_pd(_mm_cvtepi32_pd(di), vv);
    const __m128d f = _mm_sub_pd(_mm_div_pd(_mm_cvtepi32_pd(hi), sixty), _mm_cvtepi32_pd(ii));
    const __m128d q = _mm_mul_pd(vv, _mm_sub_pd(one, _mm_mul_pd(f, s)));
    const __m128d t = _mm_mul_pd(vv, _mm_sub_pd(one, _mm_mul_pd(_mm_sub_pd(one, f), s)));
    // The odd mask's two lanes widened to the two doubles.
    const __m128d pick = _mm_castsi128_pd(_mm_shuffle_epi32(oi, _MM_SHUFFLE(1, 1, 0, 0)));
    // Rounded half to even, as lrint in the default rounding mode.
    return _mm_cvtpd_epi32(_mm_or_pd(_mm_and_pd(pick, q), _mm_andnot_pd(pick, t)));
  };
  // Black lanes (greys, dropped later) would divide 0 by 0: they divide by 1 instead, so no
  // lane raises a floating-point exception.
  v = _mm_max_epi16(v, _mm_set1_epi32(1));
  const __m128i lo = half(v, d, hue, i, odd);
  const __m128i hi = half(_mm_srli_si128(v, 8), _mm_srli_si128(d, 8), _mm_srli_si128(hue, 8), _mm_srli_si128(i, 8),
                          _mm_srli_si128(odd, 8));
  const __m128i r = _mm_unpacklo_epi64(lo, hi);
  // Clamped to a byte (the values lie within 0..v anyway).
  return _mm_max_epi16(_mm_min_epi16(r, _mm_set1_epi32(255)), _mm_setzero_si128());
}

// Four pixels of ColorHueShift in exact integers. The reference's floating-point maths lands
// on the exact rational values of hue, p, q and t up to tiny errors, so rounding them agrees
// with rounding the exact values, except where q or t is exactly halfway between two integers:
// those lanes take the reference's double operations. offset lies in 0..359.
inline __m128i HueShift4(__m128i px, int offset) {
  __m128i tie = _mm_setzero_si128();
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128i bl = _mm_and_si128(px, byte), gr = _mm_and_si128(_mm_srli_epi32(px, 8), byte);
  const __m128i rd = _mm_and_si128(_mm_srli_epi32(px, 16), byte);
  // The channels sit in the low halves of the lanes: 16-bit max and min are exact.
  const __m128i v = _mm_max_epi16(rd, _mm_max_epi16(gr, bl)), mn = _mm_min_epi16(rd, _mm_min_epi16(gr, bl));
  const __m128i d = _mm_max_epi16(_mm_sub_epi32(v, mn), _mm_set1_epi32(1));  // grey lanes are dropped later
  // Hue * d = 60 * x + base * d by the largest channel (red, then green, then blue).
  const __m128i isR = _mm_cmpeq_epi32(rd, v), isG = _mm_andnot_si128(isR, _mm_cmpeq_epi32(gr, v));
  const __m128i x = Select(isR, _mm_sub_epi32(gr, bl), Select(isG, _mm_sub_epi32(bl, rd), _mm_sub_epi32(rd, gr)));
  const __m128i negR = _mm_and_si128(isR, _mm_cmplt_epi32(x, _mm_setzero_si128()));
  const __m128i base = Select(isR, _mm_and_si128(negR, _mm_set1_epi32(360)),
                              Select(isG, _mm_set1_epi32(120), _mm_set1_epi32(240)));
  const __m128i n = _mm_add_epi32(Times60(x), Mul16(_mm_add_epi32(base, _mm_set1_epi32(offset)), d));
  // n / d rounded half to even; n < 2^18 and d < 2^8, so the float quotient truncates to the
  // exact floor.
  __m128i q = _mm_cvttps_epi32(_mm_div_ps(_mm_cvtepi32_ps(n), _mm_cvtepi32_ps(d)));
  const __m128i rem2 = _mm_slli_epi32(_mm_sub_epi32(n, Mul16(q, d)), 1);
  const __m128i qOdd = _mm_and_si128(q, _mm_set1_epi32(1));
  const __m128i up = _mm_or_si128(_mm_cmpgt_epi32(rem2, d),
                                  _mm_and_si128(_mm_cmpeq_epi32(rem2, d), _mm_cmpeq_epi32(qOdd, _mm_set1_epi32(1))));
  q = _mm_sub_epi32(q, up);  // up is -1 where rounding up
  const __m128i v359 = _mm_set1_epi32(359), v360 = _mm_set1_epi32(360);
  q = _mm_sub_epi32(q, _mm_and_si128(_mm_cmpgt_epi32(q, v359), v360));
  const __m128i hue = _mm_sub_epi32(q, _mm_and_si128(_mm_cmpgt_epi32(q, v359), v360));
  // Sector i = hue div 60 and k = hue mod 60.
  __m128i i = _mm_setzero_si128();
  for (int edge = 59; edge < 359; edge += 60) i = _mm_sub_epi32(i, _mm_cmpgt_epi32(hue, _mm_set1_epi32(edge)));
  const __m128i k = _mm_sub_epi32(hue, Times60(i));
  // p = min; q = round(v - k d / 60) = round((60 min + (60 - k) d) / 60) in odd sectors and
  // t = round((60 min + k d) / 60) in even ones: one rounding, with k mirrored in odd sectors.
  const __m128i odd = _mm_sub_epi32(_mm_setzero_si128(), _mm_and_si128(i, _mm_set1_epi32(1)));
  const __m128i kk = Select(odd, _mm_sub_epi32(_mm_set1_epi32(60), k), k);
  __m128i m3 = RoundDiv60(_mm_add_epi32(Times60(mn), Mul16(kk, d)), tie);
  if (_mm_movemask_epi8(tie) != 0) m3 = Select(tie, ThirdValueAsReference(v, d, hue, i, odd), m3);
  // Each channel is min, v or the third value, by sector.
  auto sector = [&](int s) { return _mm_cmpeq_epi32(i, _mm_set1_epi32(s)); };
  const __m128i s0 = sector(0), s1 = sector(1), s2 = sector(2), s3 = sector(3), s4 = sector(4), s5 = sector(5);
  const __m128i toV = _mm_sub_epi32(v, mn), toM = _mm_sub_epi32(m3, mn);
  auto channel = [&](__m128i vLanes, __m128i mLanes) {
    return _mm_add_epi32(mn, _mm_add_epi32(_mm_and_si128(vLanes, toV), _mm_and_si128(mLanes, toM)));
  };
  const __m128i R = channel(_mm_or_si128(s0, s5), _mm_or_si128(s1, s4));
  const __m128i G = channel(_mm_or_si128(s1, s2), _mm_or_si128(s0, s3));
  const __m128i B = channel(_mm_or_si128(s3, s4), _mm_or_si128(s2, s5));
  return _mm_or_si128(_mm_and_si128(px, _mm_set1_epi32(static_cast<int>(0xFF000000u))),
                      _mm_or_si128(_mm_slli_epi32(R, 16), _mm_or_si128(_mm_slli_epi32(G, 8), B)));
}

}  // namespace
#endif

#ifdef ORBEX_SSE2
namespace {

// Four pixels in place through the hue shift; keys and greys stay.
inline void HueShiftGroup(Byte* p, int turn) {
  const __m128i byte = _mm_set1_epi32(0xFF);
  const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i bl = _mm_and_si128(px, byte);
  const __m128i grey = _mm_and_si128(_mm_cmpeq_epi32(_mm_and_si128(_mm_srli_epi32(px, 8), byte), bl),
                                     _mm_cmpeq_epi32(_mm_and_si128(_mm_srli_epi32(px, 16), byte), bl));
  const __m128i keep = _mm_or_si128(grey, _mm_cmpeq_epi32(px, _mm_set1_epi32(static_cast<int>(KeyPixel))));
  if (_mm_movemask_epi8(keep) == 0xFFFF) return;
  const __m128i out = HueShift4(px, turn);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), _mm_or_si128(_mm_and_si128(keep, px), _mm_andnot_si128(keep, out)));
}

// n pixels in place through the hue shift, four at a time (the last few padded with keys);
// turn is the offset taken into 0..359.
void HueShiftPixels(Byte* p, int n, int turn) {
  int x = 0;
  for (; x + 4 <= n; x += 4) HueShiftGroup(p + x * 4, turn);
  if (x == n) return;
  alignas(16) Byte last[16];
  for (int k = 0; k < 4; ++k) StorePixel(last + k * 4, KeyPixel);
  const std::size_t bytes = static_cast<std::size_t>(n - x) * 4;
  std::memcpy(last, p + x * 4, bytes);
  HueShiftGroup(last, turn);
  std::memcpy(p + x * 4, last, bytes);
}

}  // namespace
#endif

// Each row's runs of one colour are found first, their colours mapped once (map(p, n) maps n
// contiguous pixels in place), and the runs filled. Rows of mostly single pixels are mapped
// pixel by pixel instead.
template <typename M>
static void MapRowsByRuns(const TlxPixelBuffer& b, M map) {
  const int w = b.Width;
  // A row has at most w runs; one more start closes the last.
  std::vector<int> startBuf(static_cast<std::size_t>(w) + 1);
  std::vector<std::uint32_t> colourBuf(static_cast<std::size_t>(w)), mappedBuf(static_cast<std::size_t>(w));
  int* const starts = startBuf.data();
  std::uint32_t* const colours = colourBuf.data();
  std::uint32_t* const mapped = mappedBuf.data();
  for (int y = 0; y < b.Height; ++y) {
    Byte* p = b.Row(y);
    starts[0] = 0;
    colours[0] = LoadPixel(p);
    int runs = 1, x = 1;
#ifdef ORBEX_SSE2
    for (; x + 4 <= w; x += 4) {
      const __m128i cur = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x * 4));
      const __m128i prev = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + x * 4 - 4));
      for (int m = ~_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(cur, prev))) & 15; m != 0; m &= m - 1) {
        const int at = x + __builtin_ctz(static_cast<unsigned>(m));
        starts[runs] = at;
        colours[runs++] = LoadPixel(p + at * 4);
      }
    }
#endif
    for (; x < w; ++x)
      if (LoadPixel(p + x * 4) != LoadPixel(p + x * 4 - 4)) {
        starts[runs] = x;
        colours[runs++] = LoadPixel(p + x * 4);
      }
    if (runs * 2 > w) {
      map(p, w);
      continue;
    }
    starts[runs] = w;
    std::memcpy(mapped, colours, static_cast<std::size_t>(runs) * 4);
    map(reinterpret_cast<Byte*>(mapped), runs);
    for (int k = 0; k < runs; ++k)
      if (mapped[k] != colours[k]) FillRun(p + starts[k] * 4, starts[k + 1] - starts[k], mapped[k]);
  }
}

void HueShiftBitmapFast(const TlxPixelBuffer& b, int offset) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
#ifdef ORBEX_SSE2
  // Offsets that the reference's rounding to a 32-bit integer could not take keep it.
  if (offset >= -(1 << 30) && offset <= (1 << 30)) {
    // Whole turns are dropped: the new hue is taken mod 360, and adding an even number keeps
    // the rounding's ties where they were.
    const int turn = ((offset % 360) + 360) % 360;
    MapRowsByRuns(b, [&](Byte* p, int n) { HueShiftPixels(p, n, turn); });
    return;
  }
#endif
  MapRowsByRuns(b, [&](Byte* p, int n) { MapPixels(p, n, [offset](std::uint32_t v) { return ColorHueShift(offset, v); }); });
}

void HueShiftBitmap(const TlxPixelBuffer& b, int offset) {
#ifdef ORBEX_NO_FAST_PIXELS
  HueShiftBitmapRef(b, offset);
#else
  HueShiftBitmapFast(b, offset);
#endif
}

void SaturateBitmapRef(const TlxPixelBuffer& b, int amount) {
  MapColouredRef(b, [amount](std::uint32_t v) { return ColorSaturate(amount, v); });
}
void SaturateBitmapFast(const TlxPixelBuffer& b, int amount) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  MapRowsByRuns(b, [amount](Byte* p, int n) { MapPixels(p, n, [amount](std::uint32_t v) { return ColorSaturate(amount, v); }); });
}
void SaturateBitmap(const TlxPixelBuffer& b, int amount) {
#ifdef ORBEX_NO_FAST_PIXELS
  SaturateBitmapRef(b, amount);
#else
  SaturateBitmapFast(b, amount);
#endif
}
