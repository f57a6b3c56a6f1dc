// Filtered resampling (see sSmoothStretch.h).
#include "skin/paint/sSmoothStretch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "skin/paint/sPixelLanes.h"

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
namespace {

// The contributions of one axis as pair taps (source sample indexes). The fast passes add the
// reference's products in another order; integer sums make the results identical.
TlxPairTaps BuildTaps(int n, int c, int filter) {
  TlxPairTaps t;
  for (const auto& entries : BuildContributions(n, c, 1, filter)) {
    for (const TlxContributor& e : entries) t.Add(static_cast<int>(e.Offset), e.Weight);
    t.EndSample();
  }
  return t;
}

// The intermediate of the two passes: rows padded to whole 16-byte blocks (the padding zeroed),
// so that the vertical pass reads whole blocks.
struct TlxWorkRows {
  TlxWorkRows(int lineBytes, int height)
      : Stride((static_cast<std::size_t>(lineBytes) + 15) & ~std::size_t{15}),
        Data(new Byte[Stride * static_cast<std::size_t>(height)]) {
    // Only the padding needs a value; the passes write every pixel byte.
    for (int y = 0; y < height; ++y) std::memset(Row(y) + lineBytes, 0, Stride - static_cast<std::size_t>(lineBytes));
  }
  Byte* Row(int y) { return Data.get() + Stride * static_cast<std::size_t>(y); }
  std::size_t Stride;
  std::unique_ptr<Byte[]> Data;
};

#ifdef ORBEX_SSE2
// Horizontal pass of 32-bit rows, four rows at a time: the four rows are transposed into one
// line of 16-byte columns (a column holds the pixel of each row), so that every tap of a
// destination pixel feeds four rows at once.
void HorizontalPass32(const TlxPixelBuffer& src, TlxWorkRows& tmp, int newWidth, const TlxPairTaps& taps) {
  const int sw = src.Width;
  std::vector<Byte> cols(static_cast<std::size_t>(sw) * 16);
  for (int y0 = 0; y0 < src.Height; y0 += 4) {
    const int rows = std::min(4, src.Height - y0);
    const Byte* r[4];
    for (int k = 0; k < 4; ++k) r[k] = src.Row(y0 + std::min(k, rows - 1));
    int j = 0;
    for (; j + 4 <= sw; j += 4) {
      const __m128i a = LoadBytes16(r[0] + j * 4), b = LoadBytes16(r[1] + j * 4);
      const __m128i c = LoadBytes16(r[2] + j * 4), d = LoadBytes16(r[3] + j * 4);
      const __m128i ab0 = _mm_unpacklo_epi32(a, b), cd0 = _mm_unpacklo_epi32(c, d);
      const __m128i ab1 = _mm_unpackhi_epi32(a, b), cd1 = _mm_unpackhi_epi32(c, d);
      Byte* out = cols.data() + static_cast<std::size_t>(j) * 16;
      StoreBytes16(out, _mm_unpacklo_epi64(ab0, cd0));
      StoreBytes16(out + 16, _mm_unpackhi_epi64(ab0, cd0));
      StoreBytes16(out + 32, _mm_unpacklo_epi64(ab1, cd1));
      StoreBytes16(out + 48, _mm_unpackhi_epi64(ab1, cd1));
    }
    for (; j < sw; ++j)
      for (int k = 0; k < 4; ++k) std::memcpy(cols.data() + static_cast<std::size_t>(j) * 16 + k * 4, r[k] + j * 4, 4);
    Byte* out[4];
    for (int k = 0; k < rows; ++k) out[k] = tmp.Row(y0 + k);
    for (int i = 0; i < newWidth; ++i) {
      __m128i acc[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
      for (int p = taps.First(i); p < taps.Last(i); p += 2)
        MulAddPair(LoadBytes16(cols.data() + taps.Index(p) * 16), LoadBytes16(cols.data() + taps.Index(p + 1) * 16),
                   _mm_set1_epi32(taps.Pair(p)), acc);
      alignas(16) Byte px[16];
      StoreBytes16(px, SumsToBytes(acc));
      for (int k = 0; k < rows; ++k) std::memcpy(out[k] + i * 4, px + k * 4, 4);
    }
  }
}

// Vertical pass over whole rows: each tap pair of a destination row multiplies two rows of the
// intermediate, 16 bytes at a time.
void VerticalPass(TlxWorkRows& tmp, int lineBytes, const TlxPixelBuffer& dst, const TlxPairTaps& taps) {
  for (int i = 0; i < dst.Height; ++i) {
    Byte* out = dst.Row(i);
    for (int x = 0; x < lineBytes; x += 16) {
      __m128i acc[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
      for (int p = taps.First(i); p < taps.Last(i); p += 2)
        MulAddPair(LoadBytes16(tmp.Row(taps.Index(p)) + x), LoadBytes16(tmp.Row(taps.Index(p + 1)) + x),
                   _mm_set1_epi32(taps.Pair(p)), acc);
      const __m128i v = SumsToBytes(acc);
      if (x + 16 <= lineBytes) {
        StoreBytes16(out + x, v);
      } else {
        alignas(16) Byte last[16];
        StoreBytes16(last, v);
        std::memcpy(out + x, last, static_cast<std::size_t>(lineBytes - x));
      }
    }
  }
}
#endif

// The passes without SIMD (24-bit rows, or targets without SSE2): the same flat taps.
void HorizontalPassTaps(const TlxPixelBuffer& src, TlxWorkRows& tmp, int newWidth, const TlxPairTaps& taps) {
  const int bpp = src.BytesPerPixel;
  for (int y = 0; y < src.Height; ++y) {
    const Byte* s = src.Row(y);
    Byte* d = tmp.Row(y);
    for (int i = 0; i < newWidth; ++i) {
      int acc[4] = {0, 0, 0, 0};
      for (int p = taps.First(i); p < taps.Last(i); ++p) {
        const Byte* px = s + static_cast<std::ptrdiff_t>(taps.Index(p)) * bpp;
        for (int ch = 0; ch < bpp; ++ch) acc[ch] += taps.Weight(p) * px[ch];
      }
      for (int ch = 0; ch < bpp; ++ch) d[i * bpp + ch] = LineValue(acc[ch]);
    }
  }
}

#ifndef ORBEX_SSE2
void VerticalPassTaps(TlxWorkRows& tmp, int lineBytes, const TlxPixelBuffer& dst, const TlxPairTaps& taps) {
  std::vector<int> acc(static_cast<std::size_t>(lineBytes));
  for (int i = 0; i < dst.Height; ++i) {
    std::fill(acc.begin(), acc.end(), 0);
    for (int p = taps.First(i); p < taps.Last(i); ++p) {
      const Byte* row = tmp.Row(taps.Index(p));
      const int w = taps.Weight(p);
      for (int x = 0; x < lineBytes; ++x) acc[static_cast<std::size_t>(x)] += w * row[x];
    }
    Byte* out = dst.Row(i);
    for (int x = 0; x < lineBytes; ++x) out[x] = LineValue(acc[static_cast<std::size_t>(x)]);
  }
}
#endif

}  // namespace
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
  const int lineBytes = newWidth * bpp;
  // Contributions once per axis; then rows to the new width, then whole rows to the new height.
  const TlxPairTaps across = BuildTaps(newWidth, src.Width, filter);
  const TlxPairTaps down = BuildTaps(newHeight, src.Height, filter);
  TlxWorkRows tmp(lineBytes, src.Height);
  dst.SetSize(newWidth, newHeight, bpp);
#ifdef ORBEX_SSE2
  if (bpp == 4) HorizontalPass32(src, tmp, newWidth, across);
  else HorizontalPassTaps(src, tmp, newWidth, across);
  VerticalPass(tmp, lineBytes, dst.View(), down);
#else
  HorizontalPassTaps(src, tmp, newWidth, across);
  VerticalPassTaps(tmp, lineBytes, dst.View(), down);
#endif
#endif
}

void SmoothStretch(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter) {
#ifdef ORBEX_NO_FAST_PIXELS
  SmoothStretchRef(src, dst, newWidth, newHeight, filter);
#else
  SmoothStretchFast(src, dst, newWidth, newHeight, filter);
#endif
}
