// Filtered resampling (see sSmoothStretch.h).
#include "skin/paint/sSmoothStretch.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "skin/paint/sPixelLanes.h"

#ifdef ORBEX_SSE2
#include "skin/paint/sLaneOps.h"
#endif

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

// Calls add(i, source index, weight) for every contribution of destination sample i, for i = 0
// .. n - 1 in order, and end(i) after the last one of each sample.
template <typename Add, typename End>
static void ForEachContribution(int n, int c, int filter, Add add, End end) {
  if (filter < 0 || filter >= lxFilterCount) filter = 6;
  const double support = FilterSupport(filter);
  const double s = n < c ? static_cast<double>(n) / c : 1.0;
  const double r = support / s;
  for (int i = 0; i < n; ++i) {
    const double g = static_cast<double>(c) * i / n;
    const int j0 = static_cast<int>(std::floor(g - r)), j1 = static_cast<int>(std::ceil(g + r));
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
      add(i, k, static_cast<int>(std::lrint(w * s * 65536.0)));
    }
    end(i);
  }
}

TlxContributions BuildContributions(int n, int c, std::ptrdiff_t stride, int filter) {
  TlxContributions list;
  if (n <= 0 || c <= 0) return list;
  list.resize(static_cast<std::size_t>(n));
  ForEachContribution(
      n, c, filter,
      [&](int i, int k, int w) {
        list[static_cast<std::size_t>(i)].push_back(TlxContributor{static_cast<std::ptrdiff_t>(k) * stride, w});
      },
      [](int) {});
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
  if (n > 0 && c > 0)
    ForEachContribution(n, c, filter, [&](int, int k, int w) { t.Add(k, w); }, [&](int) { t.EndSample(); });
  return t;
}

// The number of tap pairs every sample has, or 0 when they differ (or more than four).
int UniformPairs(const TlxPairTaps& t) {
  if (t.Samples() == 0) return 0;
  const int n = t.Last(0) - t.First(0);
  for (int i = 1; i < t.Samples(); ++i)
    if (t.Last(i) - t.First(i) != n) return 0;
  return n / 2 <= 4 ? n / 2 : 0;
}

#ifdef ORBEX_SSE2

// floor((x + y) / 2) per byte: the rounding-up average less the lost half.
inline __m128i FloorAverage(__m128i x, __m128i y) {
  return _mm_sub_epi8(_mm_avg_epu8(x, y), _mm_and_si128(_mm_xor_si128(x, y), _mm_set1_epi8(1)));
}

// (a + 2b + c) >> 2 per byte, which is floor((floor((a + c) / 2) + b) / 2): the reference's
// (16384 a + 32768 b + 16384 c) >> 16, without its clamp (the sum never exceeds 255 << 16).
inline __m128i Sum121(__m128i a, __m128i b, __m128i c) { return FloorAverage(FloorAverage(a, c), b); }

inline Byte Sum121(Byte a, Byte b, Byte c) { return static_cast<Byte>((a + 2 * b + c) >> 2); }

// One source row of 32-bit pixels halved across: destination pixel i from source pixels
// 2i - 1, 2i, 2i + 1, four at a time as the even and odd pixels of eight. The row two rows
// further down (next, or null) is asked for from memory alongside, so that it is in the
// cache when its turn comes (a halving reads four source bytes for every byte it writes).
void Halve121Across(const Byte* s, int n, Byte* out, const Byte* next) {
  auto pixel = [&](int i) {
    const Byte* a = s + (i == 0 ? 1 : 2 * i - 1) * 4;
    for (int ch = 0; ch < 4; ++ch) out[i * 4 + ch] = Sum121(a[ch], s[8 * i + ch], s[8 * i + 4 + ch]);
  };
  auto evens = [](const Byte* p) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(LoadBytes16(p)), _mm_castsi128_ps(LoadBytes16(p + 16)), _MM_SHUFFLE(2, 0, 2, 0)));
  };
  int i = 0;
  if (n > 0) pixel(i++);
  // Pixels i .. i + 3 read source pixels 2i - 1 .. 2i + 7, inside the row while i + 4 <= n.
  for (; i + 4 <= n; i += 4) {
    const Byte* p = s + static_cast<std::ptrdiff_t>(i) * 8;
    if (next != nullptr) _mm_prefetch(reinterpret_cast<const char*>(next + static_cast<std::ptrdiff_t>(i) * 8), _MM_HINT_T0);
    StoreBytes16(out + i * 4, Sum121(evens(p - 4), evens(p), evens(p + 4)));
  }
  for (; i < n; ++i) pixel(i);
}

// Both axes halved by 1-2-1 sums: destination row i from the across-halved source rows
// 2i - 1 (row 1 for i = 0), 2i and 2i + 1, each row halved once (the last row of one
// destination row is the first of the next).
void Halve121(const TlxPixelBuffer& src, const TlxPixelBuffer& dst) {
  const int n = dst.Width, lineBytes = n * 4;
  const std::size_t stride = (static_cast<std::size_t>(lineBytes) + 15) & ~std::size_t{15};
  std::vector<Byte> buf(stride * 3);
  Byte* prev = buf.data();
  Byte* even = prev + stride;
  Byte* odd = even + stride;
  for (int i = 0; i < dst.Height; ++i) {
    const bool last = i + 1 == dst.Height;
    Halve121Across(src.Row(2 * i), n, even, last ? nullptr : src.Row(2 * i + 2));
    Halve121Across(src.Row(2 * i + 1), n, odd, last ? nullptr : src.Row(2 * i + 3));
    const Byte* a = i == 0 ? odd : prev;
    Byte* out = dst.Row(i);
    int x = 0;
    for (; x + 16 <= lineBytes; x += 16)
      StoreBytes16(out + x, Sum121(LoadBytes16(a + x), LoadBytes16(even + x), LoadBytes16(odd + x)));
    for (; x < lineBytes; ++x) out[x] = Sum121(a[x], even[x], odd[x]);
    std::swap(prev, odd);
  }
}
#endif

// The source sample a tap at j reads: mirrored at the edges, then limited (as the
// contributions have it).
inline int MirroredSample(int j, int c) { return std::clamp(j < 0 ? -j : (j >= c ? 2 * c - 1 - j : j), 0, c - 1); }

// True when the contributions of every sample i of an exact halving (c = 2n) add up, source
// sample by source sample, to the weights w[|d|] on samples 2i + d, d = -D .. D (D + 1 = the
// size of w), mirrored at the edges: then the stencil gives the reference's integer sums.
bool MatchesStencil(int n, int c, int filter, const std::vector<int>& w) {
  const int d = static_cast<int>(w.size()) - 1;
  bool same = true;
  int keys[24] = {}, sums[24] = {}, count = 0;
  auto add = [&](int k, int wt) {
    int e = 0;
    while (e < count && keys[e] != k) ++e;
    if (e == count) {
      if (count == 24) {
        same = false;
        return;
      }
      keys[count] = k;
      sums[count++] = 0;
    }
    sums[e] += wt;
  };
  ForEachContribution(
      n, c, filter, [&](int, int k, int wt) { add(k, wt); },
      [&](int i) {
        for (int o = -d; o <= d; ++o) add(MirroredSample(2 * i + o, c), -w[static_cast<std::size_t>(std::abs(o))]);
        for (int e = 0; e < count; ++e) same = same && sums[e] == 0;
        count = 0;
      });
  return same;
}

// An exact halving by the triangle or the Hermite filter gives sample i the weights 1/4, 1/2,
// 1/4 (16384, 32768, 16384) on source samples 2i - 1 (mirrored to 1 for i = 0), 2i, 2i + 1.
bool IsHalving121(int n, int c, int filter) {
  return n > 0 && c == 2 * n && (filter == 1 || filter == 2) && MatchesStencil(n, c, filter, {32768, 16384});
}

// An exact halving by a filter of small support (bell, B-spline, Lanczos-like, Mitchell)
// gives every sample the weights of the middle one, W[|d|] on source samples 2i + d. Fills w
// (D + 1 weights) and returns true when every sample matches and the weights fit the 16-bit
// multiply-add.
bool HalvingStencil(int n, int c, int filter, std::vector<int>& w) {
  w.clear();
  if (n < 4 || c != 2 * n || filter < 3 || filter > 6) return false;
  std::vector<std::pair<int, int>> mid;
  ForEachContribution(
      n, c, filter, [&](int i, int k, int wt) { if (i == n / 2) mid.emplace_back(k - 2 * i, wt); }, [](int) {});
  int d = 0;
  for (const auto& [off, wt] : mid) d = std::max(d, std::abs(off));
  if (d < 1 || d > 5) return false;
  w.assign(static_cast<std::size_t>(d + 1), 0);
  for (const auto& [off, wt] : mid)
    if (off >= 0) w[static_cast<std::size_t>(off)] += wt;
  for (const int v : w)
    if (v < -32768 || v > 32767) return false;
  if (MatchesStencil(n, c, filter, w)) return true;
  w.clear();
  return false;
}

#ifdef ORBEX_SSE2
// 16 bytes of a symmetric stencil of D from its 2D + 1 inputs (t(d) the 16 bytes of offset d):
// the inputs at equal distance are added in 16-bit lanes first (at most 510), then terms 0 and
// 1, 2 and 3, .. go into the multiply-add with their weight pairs (pairs[q], four lanes each).
template <int D, typename T>
inline __m128i FoldedStencil16(const std::int32_t* pairs, T t) {
  const __m128i zero = _mm_setzero_si128();
  __m128i lo[D + 2], hi[D + 2];
  {
    const __m128i v = t(0);
    lo[0] = _mm_unpacklo_epi8(v, zero);
    hi[0] = _mm_unpackhi_epi8(v, zero);
  }
  for (int m = 1; m <= D; ++m) {
    const __m128i a = t(-m), b = t(m);
    lo[m] = _mm_add_epi16(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
    hi[m] = _mm_add_epi16(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
  }
  lo[D + 1] = hi[D + 1] = zero;
  __m128i acc[4] = {zero, zero, zero, zero};
  for (int m = 0; m <= D; m += 2) {
    const __m128i wv = LoadBytes16(pairs + 2 * m);
    acc[0] = _mm_add_epi32(acc[0], _mm_madd_epi16(_mm_unpacklo_epi16(lo[m], lo[m + 1]), wv));
    acc[1] = _mm_add_epi32(acc[1], _mm_madd_epi16(_mm_unpackhi_epi16(lo[m], lo[m + 1]), wv));
    acc[2] = _mm_add_epi32(acc[2], _mm_madd_epi16(_mm_unpacklo_epi16(hi[m], hi[m + 1]), wv));
    acc[3] = _mm_add_epi32(acc[3], _mm_madd_epi16(_mm_unpackhi_epi16(hi[m], hi[m + 1]), wv));
  }
  return SumsToBytes(acc);
}

// Both axes halved by one symmetric stencil each (32-bit pixels): rows halved across into a
// ring keyed by source row, then destination row i from rows 2i - D .. 2i + D (mirrored).
template <int DX, int DY>
void HalveFolded(const TlxPixelBuffer& src, const TlxPixelBuffer& dst, const std::vector<int>& wx, const std::vector<int>& wy) {
  auto lanes = [](const std::vector<int>& w) {
    std::vector<std::int32_t> out;
    for (std::size_t m = 0; m < w.size(); m += 2) {
      const int hiW = m + 1 < w.size() ? w[m + 1] : 0;
      out.insert(out.end(), 4, static_cast<std::int32_t>(static_cast<std::uint32_t>(hiW) << 16 | (static_cast<std::uint32_t>(w[m]) & 0xFFFFu)));
    }
    return out;
  };
  const std::vector<std::int32_t> px = lanes(wx), py = lanes(wy);
  const int n = dst.Width, sw = src.Width, sh = src.Height, lineBytes = n * 4;
  const std::size_t stride = (static_cast<std::size_t>(lineBytes) + 15) & ~std::size_t{15};
  const int ring = 2 * DY + 3;
  std::vector<Byte> buf(stride * static_cast<std::size_t>(ring), 0);
  std::vector<int> tag(static_cast<std::size_t>(ring), -1);
  auto across = [&](int y) -> const Byte* {
    Byte* out = buf.data() + stride * static_cast<std::size_t>(y % ring);
    if (tag[static_cast<std::size_t>(y % ring)] == y) return out;
    tag[static_cast<std::size_t>(y % ring)] = y;
    const Byte* s = src.Row(y);
    const Byte* next = y + 2 < sh ? src.Row(y + 2) : nullptr;
    auto pixel = [&](int i) {
      for (int ch = 0; ch < 4; ++ch) {
        int sum = 0;
        for (int d = -DX; d <= DX; ++d) sum += wx[static_cast<std::size_t>(std::abs(d))] * s[MirroredSample(2 * i + d, sw) * 4 + ch];
        out[i * 4 + ch] = LineValue(sum);
      }
    };
    auto evens = [](const Byte* p) {
      return _mm_castps_si128(
          _mm_shuffle_ps(_mm_castsi128_ps(LoadBytes16(p)), _mm_castsi128_ps(LoadBytes16(p + 16)), _MM_SHUFFLE(2, 0, 2, 0)));
    };
    int i = 0;
    for (; 2 * i - DX < 0 && i < n; ++i) pixel(i);
    // Pixels i .. i + 3 read source pixels 2i - DX .. 2i + DX + 7.
    for (; i + 4 <= n && 2 * i + DX + 8 <= sw; i += 4) {
      const Byte* p = s + static_cast<std::ptrdiff_t>(i) * 8;
      if (next != nullptr) _mm_prefetch(reinterpret_cast<const char*>(next + static_cast<std::ptrdiff_t>(i) * 8), _MM_HINT_T0);
      StoreBytes16(out + i * 4, FoldedStencil16<DX>(px.data(), [&](int d) { return evens(p + 4 * d); }));
    }
    for (; i < n; ++i) pixel(i);
    return out;
  };
  const Byte* rows[2 * DY + 1];
  for (int i = 0; i < dst.Height; ++i) {
    for (int d = -DY; d <= DY; ++d) rows[d + DY] = across(MirroredSample(2 * i + d, sh));
    Byte* out = dst.Row(i);
    for (int x = 0; x < lineBytes; x += 16) {
      const __m128i v = FoldedStencil16<DY>(py.data(), [&](int d) { return LoadBytes16(rows[d + DY] + x); });
      StoreRowBytes<TlxOps128>(out, x, lineBytes, v);
    }
  }
}

// Both axes halved by stencils of the same width, known when compiled; false for others.
bool HalveByStencils(const TlxPixelBuffer& src, const TlxPixelBuffer& dst, const std::vector<int>& wx, const std::vector<int>& wy) {
  const std::size_t d = wx.size() - 1;
  if (wy.size() != wx.size()) return false;
  switch (d) {
    case 2: HalveFolded<2, 2>(src, dst, wx, wy); return true;
    case 3: HalveFolded<3, 3>(src, dst, wx, wy); return true;
    case 5: HalveFolded<5, 5>(src, dst, wx, wy); return true;
    default: return false;
  }
}
#endif

// The intermediate of the two passes (source rows at the new width), made four rows at a time
// as the vertical pass first asks for them and kept in a ring of rows just large enough for
// what one destination row reads: the whole intermediate never exists, and the rows read are
// fresh in the cache. Rows are padded to whole 16-byte blocks (the padding zeroed), so that
// the vertical pass reads whole blocks.
class TlxRowCache {
public:
  TlxRowCache(const TlxPixelBuffer& src, int newWidth, const TlxPairTaps& across, const TlxPairTaps& down)
      : FSrc(src), FWidth(newWidth), FLineBytes(newWidth * src.BytesPerPixel), FAcross(across),
        FStride((static_cast<std::size_t>(FLineBytes) + 15) & ~std::size_t{15}) {
    // The rows of one destination row lie in [lo, hi], both growing with the row (else the
    // ring holds every row).
    int window = 1, lastLo = 0, lastHi = 0;
    bool monotonic = true;
    for (int i = 0; i < down.Samples(); ++i) {
      int lo = src.Height, hi = -1;
      for (int p = down.First(i); p < down.Last(i); ++p) {
        lo = std::min(lo, down.Index(p));
        hi = std::max(hi, down.Index(p));
      }
      if (hi < lo) continue;
      monotonic = monotonic && lo >= lastLo && hi >= lastHi;
      lastLo = lo;
      lastHi = hi;
      window = std::max(window, hi - lo + 1);
    }
    FRing = monotonic ? std::min(window + 4, src.Height + 4) : src.Height + 4;
    FData.reset(new Byte[FStride * static_cast<std::size_t>(FRing)]);
    for (int k = 0; k < FRing; ++k) std::memset(Slot(k) + FLineBytes, 0, FStride - static_cast<std::size_t>(FLineBytes));
#ifdef ORBEX_SSE2
    if (src.BytesPerPixel == 4) {
      FCols.resize(static_cast<std::size_t>(src.Width) * 16);
      FWeights = across.PairLanes();
      for (int p = 0; p < across.Taps(); ++p) FOffsets.push_back(across.Index(p) * 16);
      FUniformPairs = UniformPairs(across);
    }
#endif
  }
  int LineBytes() const { return FLineBytes; }
  // Source row y at the new width, making the rows up to it first.
  const Byte* Row(int y) {
    while (FDone <= y) MakeStrip();
    return Slot(y % FRing);
  }

private:
  Byte* Slot(int k) { return FData.get() + FStride * static_cast<std::size_t>(k); }
  void MakeStrip() {
    const int y0 = FDone, rows = std::min(4, FSrc.Height - y0);
    Byte* out[4];
    for (int k = 0; k < rows; ++k) out[k] = Slot((y0 + k) % FRing);
#ifdef ORBEX_SSE2
    if (FSrc.BytesPerPixel == 4) StripAcross32(y0, rows, out);
    else StripAcross(y0, rows, out);
#else
    StripAcross(y0, rows, out);
#endif
    FDone += rows;
  }

#ifdef ORBEX_SSE2
  // Four 32-bit rows at a time: they are transposed into one line of 16-byte columns (a column
  // holds the pixel of each row), so that every tap pair of a destination pixel feeds all four.
  void StripAcross32(int y0, int rows, Byte* out[4]) {
    const int sw = FSrc.Width;
    const Byte* r[4];
    for (int k = 0; k < 4; ++k) r[k] = FSrc.Row(y0 + std::min(k, rows - 1));
    Byte* cols = FCols.data();
    int j = 0;
    for (; j + 4 <= sw; j += 4) {
      const __m128i a = LoadBytes16(r[0] + j * 4), b = LoadBytes16(r[1] + j * 4);
      const __m128i c = LoadBytes16(r[2] + j * 4), d = LoadBytes16(r[3] + j * 4);
      const __m128i ab0 = _mm_unpacklo_epi32(a, b), cd0 = _mm_unpacklo_epi32(c, d);
      const __m128i ab1 = _mm_unpackhi_epi32(a, b), cd1 = _mm_unpackhi_epi32(c, d);
      Byte* o = cols + static_cast<std::size_t>(j) * 16;
      StoreBytes16(o, _mm_unpacklo_epi64(ab0, cd0));
      StoreBytes16(o + 16, _mm_unpackhi_epi64(ab0, cd0));
      StoreBytes16(o + 32, _mm_unpacklo_epi64(ab1, cd1));
      StoreBytes16(o + 48, _mm_unpackhi_epi64(ab1, cd1));
    }
    for (; j < sw; ++j)
      for (int k = 0; k < 4; ++k) std::memcpy(cols + static_cast<std::size_t>(j) * 16 + k * 4, r[k] + j * 4, 4);
    // The next strip's rows are asked for from memory bit by bit while this one is worked on,
    // so that its transposition finds them in the cache (a halving reads four source bytes
    // for every destination byte).
    TPrefetch ahead;
    for (int k = y0 + 4; k < std::min(y0 + 8, FSrc.Height); ++k) ahead.Rows[ahead.Count++] = FSrc.Row(k);
    ahead.Bytes = static_cast<std::size_t>(sw) * 4;
    const std::size_t lines = (ahead.Bytes + 63) / 64 * static_cast<std::size_t>(ahead.Count);
    ahead.PerStep = static_cast<int>((lines + static_cast<std::size_t>(FWidth) / 4) / (static_cast<std::size_t>(FWidth) / 4 + 1)) + 1;
    switch (FUniformPairs) {
      case 1: Across32<1>(rows, out, ahead); break;
      case 2: Across32<2>(rows, out, ahead); break;
      case 3: Across32<3>(rows, out, ahead); break;
      case 4: Across32<4>(rows, out, ahead); break;
      default: Across32<0>(rows, out, ahead); break;
    }
  }

  // Rows to bring into the cache a few lines per step.
  struct TPrefetch {
    const Byte* Rows[4] = {};
    int Count = 0;
    std::size_t Bytes = 0;
    int PerStep = 0;
    int Row = 0;
    std::size_t At = 0;
    void Step() {
      for (int n = 0; n < PerStep && Row < Count; ++n) {
        _mm_prefetch(reinterpret_cast<const char*>(Rows[Row] + At), _MM_HINT_T0);
        At += 64;
        if (At >= Bytes) {
          At = 0;
          ++Row;
        }
      }
    }
  };

  // Four destination pixels at a time from the columns: their sums in four lanes of rows,
  // turned back into four rows of four pixels (rows are padded to whole 16-byte blocks, so
  // the last block of a row fits; pixels past the width come out 0). N > 0: every pixel has N
  // tap pairs (a loop the compiler lays out whole); 0: any number.
  template <int N>
  void Across32(int rows, Byte* out[4], TPrefetch& ahead) {
    const Byte* cols = FCols.data();
    const int* offsets = FOffsets.data();
    const std::int32_t* weights = FWeights.data();
    for (int i = 0; i < FWidth; i += 4) {
      ahead.Step();
      __m128i px[4];
      for (int u = 0; u < 4; ++u) {
        if (i + u >= FWidth) {
          px[u] = _mm_setzero_si128();
          continue;
        }
        const int first = FAcross.First(i + u);
        const int* o = offsets + first;
        const std::int32_t* w = weights + first * 2;
        px[u] = WeightedBytes16(
            N > 0 ? N : (FAcross.Last(i + u) - first) / 2, [&](int q) { return LoadBytes16(cols + o[2 * q]); },
            [&](int q) { return LoadBytes16(cols + o[2 * q + 1]); }, [&](int q) { return LoadBytes16(w + 4 * q); });
      }
      const __m128i t0 = _mm_unpacklo_epi32(px[0], px[1]), t1 = _mm_unpackhi_epi32(px[0], px[1]);
      const __m128i t2 = _mm_unpacklo_epi32(px[2], px[3]), t3 = _mm_unpackhi_epi32(px[2], px[3]);
      StoreBytes16(out[0] + i * 4, _mm_unpacklo_epi64(t0, t2));
      if (rows > 1) StoreBytes16(out[1] + i * 4, _mm_unpackhi_epi64(t0, t2));
      if (rows > 2) StoreBytes16(out[2] + i * 4, _mm_unpacklo_epi64(t1, t3));
      if (rows > 3) StoreBytes16(out[3] + i * 4, _mm_unpackhi_epi64(t1, t3));
    }
  }
#endif

  // Any pixel size, one row at a time.
  void StripAcross(int y0, int rows, Byte* out[4]) {
    const int bpp = FSrc.BytesPerPixel;
    for (int k = 0; k < rows; ++k) {
      const Byte* s = FSrc.Row(y0 + k);
      for (int i = 0; i < FWidth; ++i) {
        int acc[4] = {0, 0, 0, 0};
        for (int p = FAcross.First(i); p < FAcross.Last(i); ++p) {
          const Byte* px = s + static_cast<std::ptrdiff_t>(FAcross.Index(p)) * bpp;
          for (int ch = 0; ch < bpp; ++ch) acc[ch] += FAcross.Weight(p) * px[ch];
        }
        for (int ch = 0; ch < bpp; ++ch) out[k][i * bpp + ch] = LineValue(acc[ch]);
      }
    }
  }

  const TlxPixelBuffer& FSrc;
  int FWidth;
  int FLineBytes;
  const TlxPairTaps& FAcross;
  std::size_t FStride;
  int FRing = 0;
  int FDone = 0;
  std::unique_ptr<Byte[]> FData;
  std::vector<Byte> FCols;
  std::vector<std::int32_t> FWeights;  // each weight pair four times, for whole-lane loads
  std::vector<int> FOffsets;           // byte offset of each tap's column
  int FUniformPairs = 0;               // tap pairs of every pixel, 0 when they differ
};

#ifdef ORBEX_SSE2
// One destination row from its intermediate rows, 16 bytes at a time: N > 0 tap pairs known
// when compiled, 0 any number (pairs).
template <int N>
void Down32(const Byte* const* line, const std::int32_t* w, int pairs, int lineBytes, Byte* out) {
  if (N > 0) pairs = N;
  for (int x = 0; x < lineBytes; x += 16) {
    const __m128i v = WeightedBytes16(
        pairs, [&](int q) { return LoadBytes16(line[2 * q] + x); }, [&](int q) { return LoadBytes16(line[2 * q + 1] + x); },
        [&](int q) { return LoadBytes16(w + 4 * q); });
    StoreRowBytes<TlxOps128>(out, x, lineBytes, v);
  }
}
#endif

// Vertical pass over whole rows: each tap pair of a destination row multiplies two
// intermediate rows, 16 bytes at a time.
void VerticalPass(TlxRowCache& rows, const TlxPixelBuffer& dst, const TlxPairTaps& taps) {
  const int lineBytes = rows.LineBytes();
#ifdef ORBEX_SSE2
  const std::vector<std::int32_t> weights = taps.PairLanes();
  std::vector<const Byte*> line;
  const int uniform = UniformPairs(taps);
  for (int i = 0; i < dst.Height; ++i) {
    line.clear();
    for (int p = taps.First(i); p < taps.Last(i); ++p) line.push_back(rows.Row(taps.Index(p)));
    const std::int32_t* w = weights.data() + taps.First(i) * 2;
    const int pairs = static_cast<int>(line.size() / 2);
    switch (uniform) {
      case 1: Down32<1>(line.data(), w, pairs, lineBytes, dst.Row(i)); break;
      case 2: Down32<2>(line.data(), w, pairs, lineBytes, dst.Row(i)); break;
      case 3: Down32<3>(line.data(), w, pairs, lineBytes, dst.Row(i)); break;
      case 4: Down32<4>(line.data(), w, pairs, lineBytes, dst.Row(i)); break;
      default: Down32<0>(line.data(), w, pairs, lineBytes, dst.Row(i)); break;
    }
  }
#else
  std::vector<int> acc(static_cast<std::size_t>(lineBytes));
  for (int i = 0; i < dst.Height; ++i) {
    std::fill(acc.begin(), acc.end(), 0);
    for (int p = taps.First(i); p < taps.Last(i); ++p) {
      const Byte* row = rows.Row(taps.Index(p));
      const int w = taps.Weight(p);
      for (int x = 0; x < lineBytes; ++x) acc[static_cast<std::size_t>(x)] += w * row[x];
    }
    Byte* out = dst.Row(i);
    for (int x = 0; x < lineBytes; ++x) out[x] = LineValue(acc[static_cast<std::size_t>(x)]);
  }
#endif
}

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
  // The source is read while the destination is written: a source inside the destination's
  // own pixels is copied first (the reference reads it whole before it sizes the destination).
  const TlxPixelBuffer& old = dst.View();
  const Byte* oldEnd = old.Bits + static_cast<std::ptrdiff_t>(old.Height) * old.Stride;
  TlxImageBuffer copy;
  const TlxPixelBuffer* from = &src;
  if (old.Bits != nullptr && src.Bits >= old.Bits && src.Bits < oldEnd) {
    copy.SetSize(src.Width, src.Height, src.BytesPerPixel);
    for (int y = 0; y < src.Height; ++y)
      std::memcpy(copy.View().Row(y), src.Row(y), static_cast<std::size_t>(src.Width) * src.BytesPerPixel);
    from = &copy.View();
  }
#ifdef ORBEX_SSE2
  if (src.BytesPerPixel == 4 && IsHalving121(newWidth, src.Width, filter) && IsHalving121(newHeight, src.Height, filter)) {
    dst.SetSizeForOverwrite(newWidth, newHeight, 4);
    Halve121(*from, dst.View());
    return;
  }
  std::vector<int> wx, wy;
  if (src.BytesPerPixel == 4 && HalvingStencil(newWidth, src.Width, filter, wx) && HalvingStencil(newHeight, src.Height, filter, wy) &&
      wx.size() == wy.size()) {
    dst.SetSizeForOverwrite(newWidth, newHeight, 4);
    if (HalveByStencils(*from, dst.View(), wx, wy)) return;
  }
#endif
  // Contributions once per axis; then rows to the new width (as the vertical pass asks for
  // them), then whole rows to the new height.
  const TlxPairTaps across = BuildTaps(newWidth, src.Width, filter);
  const TlxPairTaps down = BuildTaps(newHeight, src.Height, filter);
  TlxRowCache rows(*from, newWidth, across, down);
  dst.SetSizeForOverwrite(newWidth, newHeight, src.BytesPerPixel);
  VerticalPass(rows, dst.View(), down);
#endif
}

void SmoothStretch(const TlxPixelBuffer& src, TlxImageBuffer& dst, int newWidth, int newHeight, int filter) {
#ifdef ORBEX_NO_FAST_PIXELS
  SmoothStretchRef(src, dst, newWidth, newHeight, filter);
#else
  SmoothStretchFast(src, dst, newWidth, newHeight, filter);
#endif
}
