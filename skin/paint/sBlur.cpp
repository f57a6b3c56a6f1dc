// Gaussian blur of 8-bit masks (see sBlur.h).
#include "skin/paint/sBlur.h"

#include <algorithm>
#include <cmath>

#include "skin/paint/sPixelLanes.h"

std::vector<int> GaussianKernel8(double sigma) {
  std::vector<int> out;
  if (!(sigma > 0.0)) return out;
  float w[201];
  double total = 0;
  for (int i = -100; i <= 100; ++i) {
    const double q = i / sigma;
    w[i + 100] = static_cast<float>(std::exp(-q * q / 2.0));
    total += w[i + 100];
  }
  for (float& v : w) v = static_cast<float>(v / total);
  // Cut the tails from the outside in while what is dropped stays below half a grey level.
  int r = 100;
  double tail = 0;
  while (tail < 1.0 / 510.0 && r > 1) {
    tail += 2.0 * w[r + 100];
    --r;
  }
  double central = 0;
  for (int k = -r; k <= r; ++k) central += w[k + 100];
  // Integer weights with an exact sum of 65536: the truncating convolution then maps a
  // constant line to itself, which float weights (summing to 0.99999...) do not.
  out.resize(static_cast<std::size_t>(2 * r + 1));
  int sum = 0;
  for (int k = -r; k <= r; ++k) {
    const int q = static_cast<int>(std::floor(w[k + 100] / central * 65536.0));
    out[static_cast<std::size_t>(k + r)] = q;
    sum += q;
  }
  out[static_cast<std::size_t>(r)] += 65536 - sum;
  return out;
}

static inline Byte BlurValue(long long sum) { return static_cast<Byte>(std::clamp<long long>(sum >> 16, 0, 255)); }

static void BlurRows(const TlxPixelBuffer& b, const std::vector<int>& k) {
  const int r = static_cast<int>(k.size() / 2);
  // The line with r edge values repeated on each side, so the taps need no index limits.
  std::vector<int> line(static_cast<std::size_t>(b.Width + 2 * r));
  for (int y = 0; y < b.Height; ++y) {
    Byte* row = b.Row(y);
    for (int i = -r; i < b.Width + r; ++i) line[static_cast<std::size_t>(i + r)] = row[std::clamp(i, 0, b.Width - 1)];
    for (int i = 0; i < b.Width; ++i) {
      // Sample i - j for tap j = -r .. r is line[i + r - j]; sums stay below 2^24.
      const int* p = line.data() + i;
      int sum = 0;
      for (int t = 0; t <= 2 * r; ++t) sum += k[static_cast<std::size_t>(2 * r - t)] * p[t];
      row[i] = BlurValue(sum);
    }
  }
}

static bool Blurrable(const TlxPixelBuffer& b) { return !b.Empty() && b.BytesPerPixel == 1; }

void GaussianBlur8Ref(const TlxPixelBuffer& b, double sigma) {
  if (!Blurrable(b)) return;
  const std::vector<int> k = GaussianKernel8(sigma);
  if (k.empty()) return;
  const int r = static_cast<int>(k.size() / 2);
  BlurRows(b, k);
  std::vector<Byte> col(static_cast<std::size_t>(b.Height));
  for (int x = 0; x < b.Width; ++x) {
    for (int y = 0; y < b.Height; ++y) col[static_cast<std::size_t>(y)] = b.Row(y)[x];
    for (int i = 0; i < b.Height; ++i) {
      long long sum = 0;
      for (int j = -r; j <= r; ++j)
        sum += static_cast<long long>(k[static_cast<std::size_t>(j + r)]) * col[static_cast<std::size_t>(std::clamp(i - j, 0, b.Height - 1))];
      b.Row(i)[x] = BlurValue(sum);
    }
  }
}

#ifdef ORBEX_SSE2
// The kernel as pair taps over offsets 0 .. 2r: tap t reads sample i + t - r of the line.
static TlxPairTaps KernelTaps(const std::vector<int>& k) {
  TlxPairTaps t;
  for (std::size_t j = 0; j < k.size(); ++j) t.Add(static_cast<int>(j), k[k.size() - 1 - j]);
  t.EndSample();
  return t;
}

// The kernel folded on its centre: it is symmetric, so the two lines at equal distance from the
// centre are added first (16-bit sums, at most 510) and take their common weight once. Terms
// 0 .. r - 1 are those sums, term r the centre line; weights of two terms side by side for one
// 16-bit multiply-add. Empty when the kernel is not symmetric or a weight needs more than 15
// bits (tiny sigmas), where the pair taps are used.
struct TlxFoldedKernel {
  int R = 0;
  std::vector<std::int32_t> Pairs;  // terms 2j and 2j + 1: weight of 2j + 1 << 16 | weight of 2j
};

static TlxFoldedKernel FoldKernel(const std::vector<int>& k) {
  TlxFoldedKernel f;
  const int r = static_cast<int>(k.size() / 2);
  for (int t = 0; t <= r; ++t)
    if (k[static_cast<std::size_t>(t)] != k[static_cast<std::size_t>(2 * r - t)] || k[static_cast<std::size_t>(t)] > 32767 ||
        k[static_cast<std::size_t>(t)] < 0)
      return f;
  f.R = r;
  for (int t = 0; t <= r; t += 2) {
    const std::uint32_t w0 = static_cast<std::uint32_t>(k[static_cast<std::size_t>(t)]);
    const std::uint32_t w1 = t + 1 <= r ? static_cast<std::uint32_t>(k[static_cast<std::size_t>(t + 1)]) : 0u;
    f.Pairs.push_back(static_cast<std::int32_t>(w1 << 16 | w0));
  }
  return f;
}

// 16 outputs of the folded kernel from lines of 16-bit samples (line(t) the samples of tap t
// for these outputs): the samples at equal distance from the centre are added first, then
// terms t and t + 1 take one multiply-add with their weight pair (lanes[t / 2], four copies).
template <typename L>
static inline __m128i Folded16(int r, const std::int32_t* lanes, L line) {
  const __m128i zero = _mm_setzero_si128();
  auto term = [&](int t, __m128i& lo, __m128i& hi) {
    if (t > r) {
      lo = hi = zero;
      return;
    }
    const std::int16_t* a = line(t);
    lo = LoadBytes16(a);
    hi = LoadBytes16(a + 8);
    if (t == r) return;
    const std::int16_t* b = line(2 * r - t);
    lo = _mm_add_epi16(lo, LoadBytes16(b));
    hi = _mm_add_epi16(hi, LoadBytes16(b + 8));
  };
  __m128i acc[4] = {zero, zero, zero, zero};
  for (int t = 0; t <= r; t += 2) {
    __m128i lo0, hi0, lo1, hi1;
    term(t, lo0, hi0);
    term(t + 1, lo1, hi1);
    const __m128i w = LoadBytes16(lanes + 2 * t);
    acc[0] = _mm_add_epi32(acc[0], _mm_madd_epi16(_mm_unpacklo_epi16(lo0, lo1), w));
    acc[1] = _mm_add_epi32(acc[1], _mm_madd_epi16(_mm_unpackhi_epi16(lo0, lo1), w));
    acc[2] = _mm_add_epi32(acc[2], _mm_madd_epi16(_mm_unpacklo_epi16(hi0, hi1), w));
    acc[3] = _mm_add_epi32(acc[3], _mm_madd_epi16(_mm_unpackhi_epi16(hi0, hi1), w));
  }
  return SumsToBytes(acc);
}

// Widens n bytes to 16-bit samples (whole blocks of 16 read and written where they fit).
static void Widen(const Byte* from, int n, std::int16_t* to) {
  const __m128i zero = _mm_setzero_si128();
  int x = 0;
  for (; x + 16 <= n; x += 16) {
    const __m128i v = LoadBytes16(from + x);
    StoreBytes16(to + x, _mm_unpacklo_epi8(v, zero));
    StoreBytes16(to + x + 8, _mm_unpackhi_epi8(v, zero));
  }
  for (; x < n; ++x) to[x] = from[x];
}

// Both passes with the folded kernel: each row widened into a line with r edge values repeated
// on either side, then the columns over pairs of rows interleaved as they are needed.
static void FoldedBlur(const TlxPixelBuffer& b, const TlxFoldedKernel& f) {
  const int r = f.R, w = b.Width, h = b.Height;
  std::vector<std::int32_t> lanes;
  for (const std::int32_t pair : f.Pairs) lanes.insert(lanes.end(), 4, pair);
  const std::size_t blocks = (static_cast<std::size_t>(w) + 15) / 16 * 16;
  std::vector<std::int16_t> line(blocks + 2 * static_cast<std::size_t>(r) + 16);
  alignas(16) Byte last[16];
  for (int y = 0; y < h; ++y) {
    Byte* row = b.Row(y);
    std::fill_n(line.begin(), r, static_cast<std::int16_t>(row[0]));
    Widen(row, w, line.data() + r);
    std::fill(line.begin() + r + w, line.end(), static_cast<std::int16_t>(row[w - 1]));
    // Tap t of output x reads line[x + t].
    for (int x = 0; x < w; x += 16) {
      const __m128i v = Folded16(r, lanes.data(), [&](int t) { return line.data() + x + t; });
      if (x + 16 <= w) StoreBytes16(row + x, v);
      else { StoreBytes16(last, v); std::copy_n(last, w - x, row + x); }
    }
  }
  // Columns over whole rows. Row pairs are kept interleaved, pair y holding rows y and y + 1
  // side by side for every pixel (and swapped, y + 1 before y): a pair and the swapped pair at
  // the mirror distance then add up to the folded samples of two terms, in the layout of the
  // weight pairs. The pairs i - r .. i + r - 1 that row i reads are made before it is
  // overwritten, in a ring; rows beyond the edges repeat the edge rows.
  const std::size_t pairLen = 2 * blocks;
  const int ringPairs = 2 * r + 2;
  std::vector<std::int16_t> ring(2 * pairLen * static_cast<std::size_t>(ringPairs));
  auto pairs = [&](int y) { return ring.data() + 2 * pairLen * static_cast<std::size_t>((y + r) % ringPairs); };
  const __m128i zero = _mm_setzero_si128();
  auto make = [&](int y) {
    const Byte* a = b.Row(std::clamp(y, 0, h - 1));
    const Byte* c = b.Row(std::clamp(y + 1, 0, h - 1));
    std::int16_t* p = pairs(y);
    std::int16_t* q = p + pairLen;
    int x = 0;
    for (; x + 16 <= w; x += 16) {
      const __m128i va = LoadBytes16(a + x), vc = LoadBytes16(c + x);
      const __m128i ac[2] = {_mm_unpacklo_epi8(va, vc), _mm_unpackhi_epi8(va, vc)};
      const __m128i ca[2] = {_mm_unpacklo_epi8(vc, va), _mm_unpackhi_epi8(vc, va)};
      for (int j = 0; j < 2; ++j) {
        StoreBytes16(p + 2 * x + 16 * j, _mm_unpacklo_epi8(ac[j], zero));
        StoreBytes16(p + 2 * x + 16 * j + 8, _mm_unpackhi_epi8(ac[j], zero));
        StoreBytes16(q + 2 * x + 16 * j, _mm_unpacklo_epi8(ca[j], zero));
        StoreBytes16(q + 2 * x + 16 * j + 8, _mm_unpackhi_epi8(ca[j], zero));
      }
    }
    for (; x < w; ++x) {
      p[2 * x] = q[2 * x + 1] = a[x];
      p[2 * x + 1] = q[2 * x] = c[x];
    }
  };
  const int folds = r / 2;  // weight pairs of two folded terms; the last pair holds the centre
  std::vector<const std::int16_t*> from(static_cast<std::size_t>(2 * folds + 2));
  int made = -r;  // pairs below made are in the ring
  for (int i = 0; i < h; ++i) {
    for (; made <= i + r - 1; ++made) make(made);
    // Terms t, t + 1 (t even, t + 1 < r): pair i + t - r plus swapped pair i + r - t - 1.
    for (int j = 0; j < folds; ++j) {
      from[static_cast<std::size_t>(2 * j)] = pairs(i + 2 * j - r);
      from[static_cast<std::size_t>(2 * j + 1)] = pairs(i + r - 2 * j - 1) + pairLen;
    }
    // The centre row i with weight k[r], 0 (r even), or rows i - 1, i with k[r - 1], k[r] and
    // row i + 1 first in the swapped pair i with k[r - 1], 0 (r odd).
    from[static_cast<std::size_t>(2 * folds)] = pairs(r % 2 ? i - 1 : i);
    from[static_cast<std::size_t>(2 * folds + 1)] = pairs(i) + pairLen;
    const std::int32_t* centre = lanes.data() + 4 * folds;
    const __m128i low = _mm_set1_epi32(0xFFFF);
    Byte* out = b.Row(i);
    for (int x = 0; x < w; x += 16) {
      __m128i acc[4] = {zero, zero, zero, zero};
      for (int j = 0; j < folds; ++j) {
        const std::int16_t* p = from[static_cast<std::size_t>(2 * j)] + 2 * x;
        const std::int16_t* q = from[static_cast<std::size_t>(2 * j + 1)] + 2 * x;
        const __m128i wt = LoadBytes16(lanes.data() + 4 * j);
        for (int g = 0; g < 4; ++g)
          acc[g] = _mm_add_epi32(acc[g], _mm_madd_epi16(_mm_add_epi16(LoadBytes16(p + 8 * g), LoadBytes16(q + 8 * g)), wt));
      }
      const __m128i wc = LoadBytes16(centre);
      const std::int16_t* p = from[static_cast<std::size_t>(2 * folds)] + 2 * x;
      for (int g = 0; g < 4; ++g) acc[g] = _mm_add_epi32(acc[g], _mm_madd_epi16(LoadBytes16(p + 8 * g), wc));
      if (r % 2) {
        const __m128i w0 = _mm_and_si128(wc, low);
        const std::int16_t* q = from[static_cast<std::size_t>(2 * folds + 1)] + 2 * x;
        for (int g = 0; g < 4; ++g) acc[g] = _mm_add_epi32(acc[g], _mm_madd_epi16(LoadBytes16(q + 8 * g), w0));
      }
      const __m128i v = SumsToBytes(acc);
      if (x + 16 <= w) StoreBytes16(out + x, v);
      else { StoreBytes16(last, v); std::copy_n(last, w - x, out + x); }
    }
  }
}

// 16 outputs from 2r + 1 lines of bytes with the pair taps: output x = sum over t of
// weight(t) * line(t)[x].
template <typename L>
static inline __m128i Convolve16(const TlxPairTaps& taps, L line) {
  __m128i acc[4] = {_mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128(), _mm_setzero_si128()};
  for (int p = taps.First(0); p < taps.Last(0); p += 2)
    MulAddPair(LoadBytes16(line(taps.Index(p))), LoadBytes16(line(taps.Index(p + 1))), _mm_set1_epi32(taps.Pair(p)), acc);
  return SumsToBytes(acc);
}
#endif

void GaussianBlur8Fast(const TlxPixelBuffer& b, double sigma) {
#ifndef ORBEX_SSE2
  GaussianBlur8Ref(b, sigma);
#else
  if (!Blurrable(b)) return;
  // Glows are blurred again and again with the same sigma: the last kernel is kept.
  thread_local double lastSigma = 0;
  thread_local std::vector<int> k;
  thread_local TlxPairTaps taps;
  thread_local TlxFoldedKernel folded;
  if (!(sigma == lastSigma)) {
    k = GaussianKernel8(sigma);
    taps = KernelTaps(k);
    folded = k.empty() ? TlxFoldedKernel{} : FoldKernel(k);
    lastSigma = sigma;
  }
  if (k.empty()) return;
  if (!folded.Pairs.empty()) {
    FoldedBlur(b, folded);
    return;
  }
  const int r = static_cast<int>(k.size() / 2);
  // Rows: each row with r edge values repeated on either side (and 16 spare bytes, so that a
  // block of 16 outputs always reads whole blocks); tap t of output i reads line[i + t].
  const int w = b.Width, h = b.Height;
  const std::size_t blocks = (static_cast<std::size_t>(w) + 15) / 16 * 16;
  std::vector<Byte> line(blocks + 2 * static_cast<std::size_t>(r) + 16);
  alignas(16) Byte last[16];
  for (int y = 0; y < h; ++y) {
    Byte* row = b.Row(y);
    std::fill_n(line.begin(), r, row[0]);
    std::copy_n(row, w, line.begin() + r);
    std::fill(line.begin() + r + w, line.end(), row[w - 1]);
    for (int x = 0; x < w; x += 16) {
      const __m128i v = Convolve16(taps, [&](int t) { return line.data() + x + t; });
      if (x + 16 <= w) StoreBytes16(row + x, v);
      else { StoreBytes16(last, v); std::copy_n(last, w - x, row + x); }
    }
  }
  // Columns, row-wise over whole rows. The output overwrites the rows the kernel still reads,
  // so the original rows i - r .. i + r are kept in a ring (padded to whole blocks) while row i
  // is written; rows beyond the edges repeat the edge rows.
  const int ringRows = 2 * r + 2;
  std::vector<Byte> ring(blocks * static_cast<std::size_t>(ringRows));
  auto slot = [&](int y) { return ring.data() + blocks * static_cast<std::size_t>(y % ringRows); };
  std::vector<const Byte*> rows(k.size());
  int kept = 0;  // rows 0 .. kept - 1 have been put into the ring
  for (int i = 0; i < h; ++i) {
    for (; kept < h && kept <= i + r; ++kept) std::copy_n(b.Row(kept), w, slot(kept));
    // Tap t (weight k[2r - t]) reads row i + t - r: the reference's k[j + r] on row i - j.
    for (int t = 0; t <= 2 * r; ++t) rows[static_cast<std::size_t>(t)] = slot(std::clamp(i + t - r, 0, h - 1));
    Byte* out = b.Row(i);
    for (int x = 0; x < w; x += 16) {
      const __m128i v = Convolve16(taps, [&](int t) { return rows[static_cast<std::size_t>(t)] + x; });
      if (x + 16 <= w) StoreBytes16(out + x, v);
      else { StoreBytes16(last, v); std::copy_n(last, w - x, out + x); }
    }
  }
#endif
}

void GaussianBlur8(const TlxPixelBuffer& b, double sigma) {
#ifdef ORBEX_NO_FAST_PIXELS
  GaussianBlur8Ref(b, sigma);
#else
  GaussianBlur8Fast(b, sigma);
#endif
}
