// Colour maths (see sColorMath.h).
#include "skin/paint/sColorMath.h"

#include <algorithm>
#include <cmath>

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

template <typename F>
static void MapColouredRef(const TlxPixelBuffer& b, F f) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  for (int y = 0; y < b.Height; ++y) {
    Byte* p = b.Row(y);
    for (int x = 0; x < b.Width; ++x, p += 4) {
      const std::uint32_t v = LoadPixel(p);
      if (v == KeyPixel || IsGrey(v)) continue;
      StorePixel(p, f(v));
    }
  }
}

// The maths keeps the top byte and depends only on the pixel, so the last result can be reused
// for an equal pixel: identical output, one evaluation per run of equal pixels.
template <typename F>
static void MapColouredFast(const TlxPixelBuffer& b, F f) {
  if (b.Empty() || b.BytesPerPixel != 4) return;
  std::uint32_t lastIn = KeyPixel, lastOut = KeyPixel;
  for (int y = 0; y < b.Height; ++y) {
    Byte* p = b.Row(y);
    for (int x = 0; x < b.Width; ++x, p += 4) {
      const std::uint32_t v = LoadPixel(p);
      if (v == lastIn) {
        StorePixel(p, lastOut);
        continue;
      }
      if (v == KeyPixel || IsGrey(v)) continue;
      lastIn = v;
      lastOut = f(v);
      StorePixel(p, lastOut);
    }
  }
}

void HueShiftBitmapRef(const TlxPixelBuffer& b, int offset) {
  MapColouredRef(b, [offset](std::uint32_t v) { return ColorHueShift(offset, v); });
}
void HueShiftBitmapFast(const TlxPixelBuffer& b, int offset) {
  MapColouredFast(b, [offset](std::uint32_t v) { return ColorHueShift(offset, v); });
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
  MapColouredFast(b, [amount](std::uint32_t v) { return ColorSaturate(amount, v); });
}
void SaturateBitmap(const TlxPixelBuffer& b, int amount) {
#ifdef ORBEX_NO_FAST_PIXELS
  SaturateBitmapRef(b, amount);
#else
  SaturateBitmapFast(b, amount);
#endif
}
