// Filtered resampling (see sSmoothStretch.h).
#include "skin/paint/sSmoothStretch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

static constexpr double kPi = 3.14159265358979323846;

float FilterSupport(int filter) {
  static const float kSupport[lxFilterCount] = {0.51f, 1.0f, 1.0f, 1.5f, 2.0f, 3.0f, 2.0f};
  return kSupport[(filter >= 0 && filter < lxFilterCount) ? filter : 6];
}

double FilterWeight(int filter, double x) {
  x = std::fabs(x);
  switch (filter) {
    case 0: return x <= 0.5 ? 1.0 : 0.0;  // the builder applies the half-open box itself
    case 1: return x < 1.0 ? 1.0 - x : 0.0;
    case 2: return x < 1.0 ? x * x * (2.0 * x - 3.0) + 1.0 : 0.0;
    case 3:
      if (x < 0.5) return 0.75 - x * x;
      return x < 1.5 ? (x - 1.5) * (x - 1.5) * 0.5 : 0.0;
    case 4:
      if (x < 1.0) return x * x * (x / 2.0 - 1.0) + 2.0 / 3.0;
      return x < 2.0 ? (2.0 - x) * (2.0 - x) * (2.0 - x) / 6.0 : 0.0;
    case 5:
      if (x == 0.0) return 1.0;
      return x < 3.0 ? std::sin(kPi * x) * std::sin(x) / (kPi * x * x) : 0.0;
    default:
      if (x < 1.0) return x * x * (7.0 / 6.0 * x - 2.0) + 8.0 / 9.0;
      return x < 2.0 ? x * x * (-7.0 / 18.0 * x + 2.0) - 10.0 / 3.0 * x + 16.0 / 9.0 : 0.0;
  }
}

TlxContributions BuildContributions(int n, int c, std::ptrdiff_t stride, int filter) {
  TlxContributions list;
  if (n <= 0 || c <= 0) return list;
  if (filter < 0 || filter >= lxFilterCount) filter = 6;
  list.resize(static_cast<std::size_t>(n));
  const double support = FilterSupport(filter);
  const double s = n < c ? static_cast<double>(n) / c : 1.0;
  const double r = support / s;
  for (int i = 0; i < n; ++i) {
    const double g = static_cast<double>(c) * i / n;
    const int j0 = static_cast<int>(std::floor(g - r)), j1 = static_cast<int>(std::ceil(g + r));
    auto& entries = list[static_cast<std::size_t>(i)];
    for (int j = j0; j <= j1; ++j) {
      const double t = (g - j) * s;  // signed distance
      const double x = std::fabs(t);
      if (x >= support) continue;
      // The box takes a half-open support (-0.5, 0.5]: a sample exactly between two source
      // pixels belongs to one of them, not both.
      const double w = filter == 0 ? ((t > -0.5 && t <= 0.5) ? 1.0 : 0.0) : FilterWeight(filter, x);
      if (w == 0.0) continue;
      // Mirrored at the edges, then limited: a wide kernel over a short line (shrinking 10 to
      // 1 with filter 6) reaches further than one mirror brings back.
      int k = j < 0 ? -j : (j >= c ? 2 * c - 1 - j : j);
      k = std::clamp(k, 0, c - 1);
      entries.push_back(TlxContributor{static_cast<std::ptrdiff_t>(k) * stride,
                                       static_cast<int>(std::lrint(w * s * 65536.0))});
    }
  }
  return list;
}

static inline Byte LineValue(int sum) {
  if (sum < 0) return 0;
  return sum < 0xFF0001 ? static_cast<Byte>(sum >> 16) : 255;
}

static bool PrepareStretch(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight) {
  if (newWidth <= 0 || newHeight <= 0) return false;
  // Beyond the largest work bitmap nothing is made (the intermediate has the new width).
  if (static_cast<long long>(newWidth) * newHeight > lxMaxWorkPixels ||
      static_cast<long long>(newWidth) * src.Height > lxMaxWorkPixels)
    return false;
  if (src.Bits == nullptr || src.Width < 2 || src.Height < 2) throw Exception("Source bitmap is too small");
  if (src.BytesPerPixel != 3 && src.BytesPerPixel != 4) throw EAssertionFailed("Bitmap format is not supported");
  if (newWidth == src.Width && newHeight == src.Height) {
    if (dst.View().Bits == src.Bits) return false;
    dst.SetSize(src.Width, src.Height, src.BytesPerPixel);
    for (int y = 0; y < src.Height; ++y)
      std::memcpy(dst.View().Row(y), src.Row(y), static_cast<std::size_t>(src.Width) * src.BytesPerPixel);
    return false;
  }
  return true;
}

// Rows of src to the new width, into tmp (newWidth x src.Height).
static void HorizontalPass(const TlxPixelBuffer& src, TlxImageBuffer& tmp, int newWidth, int filter) {
  const int bpp = src.BytesPerPixel;
  tmp.SetSize(newWidth, src.Height, bpp);
  const TlxContributions h = BuildContributions(newWidth, src.Width, bpp, filter);
  for (int y = 0; y < src.Height; ++y) {
    const Byte* s = src.Row(y);
    Byte* d = tmp.View().Row(y);
    for (int i = 0; i < newWidth; ++i)
      for (int ch = 0; ch < bpp; ++ch) {
        int sum = 0;
        for (const TlxContributor& e : h[static_cast<std::size_t>(i)]) sum += e.Weight * s[e.Offset + ch];
        d[i * bpp + ch] = LineValue(sum);
      }
  }
}

#ifndef ORBEX_NO_FAST_PIXELS
// The same sums as HorizontalPass with the contributors walked once per pixel for all
// channels together.
static void HorizontalPassFast(const TlxPixelBuffer& src, TlxImageBuffer& tmp, int newWidth, int filter) {
  const int bpp = src.BytesPerPixel;
  tmp.SetSize(newWidth, src.Height, bpp);
  const TlxContributions h = BuildContributions(newWidth, src.Width, bpp, filter);
  for (int y = 0; y < src.Height; ++y) {
    const Byte* s = src.Row(y);
    Byte* d = tmp.View().Row(y);
    for (int i = 0; i < newWidth; ++i) {
      int acc[4] = {0, 0, 0, 0};
      for (const TlxContributor& e : h[static_cast<std::size_t>(i)]) {
        const Byte* p = s + e.Offset;
        acc[0] += e.Weight * p[0];
        acc[1] += e.Weight * p[1];
        acc[2] += e.Weight * p[2];
        if (bpp == 4) acc[3] += e.Weight * p[3];
      }
      for (int ch = 0; ch < bpp; ++ch) d[i * bpp + ch] = LineValue(acc[ch]);
    }
  }
}
#endif

void SmoothStretchRef(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter) {
  if (!PrepareStretch(src, dst, newWidth, newHeight)) return;
  const int bpp = src.BytesPerPixel;
  TlxImageBuffer tmp;
  HorizontalPass(src, tmp, newWidth, filter);
  const TlxPixelBuffer& t = tmp.View();
  const TlxContributions v = BuildContributions(newHeight, t.Height, t.Stride, filter);
  dst.SetSize(newWidth, newHeight, bpp);
  const TlxPixelBuffer& d = dst.View();
  for (int x = 0; x < newWidth * bpp; ++x) {
    const Byte* col = t.Bits + x;
    for (int i = 0; i < newHeight; ++i) {
      int sum = 0;
      for (const TlxContributor& e : v[static_cast<std::size_t>(i)]) sum += e.Weight * col[e.Offset];
      d.Row(i)[x] = LineValue(sum);
    }
  }
}

void SmoothStretchFast(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter) {
#ifdef ORBEX_NO_FAST_PIXELS
  SmoothStretchRef(src, dst, newWidth, newHeight, filter);
#else
  if (!PrepareStretch(src, dst, newWidth, newHeight)) return;
  const int bpp = src.BytesPerPixel;
  TlxImageBuffer tmp;
  HorizontalPassFast(src, tmp, newWidth, filter);
  const TlxPixelBuffer& t = tmp.View();
  const TlxContributions v = BuildContributions(newHeight, t.Height, t.Stride, filter);
  dst.SetSize(newWidth, newHeight, bpp);
  const TlxPixelBuffer& d = dst.View();
  const int lineBytes = newWidth * bpp;
  // Whole rows at a time: each weight multiplies a contiguous row, which the compiler turns
  // into vector multiply-adds; integer sums make the order of addition irrelevant.
  std::vector<int> acc(static_cast<std::size_t>(lineBytes));
  for (int i = 0; i < newHeight; ++i) {
    std::fill(acc.begin(), acc.end(), 0);
    for (const TlxContributor& e : v[static_cast<std::size_t>(i)]) {
      const Byte* row = t.Bits + e.Offset;
      const int w = e.Weight;
      int* a = acc.data();
      for (int x = 0; x < lineBytes; ++x) a[x] += w * row[x];
    }
    Byte* out = d.Row(i);
    for (int x = 0; x < lineBytes; ++x) out[x] = LineValue(acc[static_cast<std::size_t>(x)]);
  }
#endif
}

void SmoothStretch(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter) {
#ifdef ORBEX_NO_FAST_PIXELS
  SmoothStretchRef(src, dst, newWidth, newHeight, filter);
#else
  SmoothStretchFast(src, dst, newWidth, newHeight, filter);
#endif
}
