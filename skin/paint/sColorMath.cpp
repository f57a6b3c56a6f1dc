// Colour maths (see sColorMath.h).
#include "skin/paint/sColorMath.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "skin/paint/sPixelLanes.h"

#ifdef ORBEX_SSE2
#include "skin/paint/sHueLanes.h"
#include "skin/paint/sPaintAvx2.h"
#endif

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
// The pixels through the hue-shift lanes chosen.
static void HueShiftPixels(Byte* p, int n, int turn, TlxLanes lanes) {
#ifdef ORBEX_AVX2
  if (lanes == TlxLanes::Widest && Avx2LanesUsable()) {
    HueShiftPixelsAvx2(p, n, turn, KeyPixel);
    return;
  }
#else
  (void)lanes;
#endif
  HueShiftPixelsIn<TlxOps128>(p, n, turn, KeyPixel);
}
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

void HueShiftBitmapFast(const TlxPixelBuffer& b, int offset, TlxLanes lanes) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
#ifdef ORBEX_SSE2
  // Offsets that the reference's rounding to a 32-bit integer could not take keep it.
  if (offset >= -(1 << 30) && offset <= (1 << 30)) {
    // Whole turns are dropped: the new hue is taken mod 360, and adding an even number keeps
    // the rounding's ties where they were.
    const int turn = ((offset % 360) + 360) % 360;
    MapRowsByRuns(b, [&](Byte* p, int n) { HueShiftPixels(p, n, turn, lanes); });
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
