// Gaussian blur of 8-bit masks (see sBlur.h).
#include "skin/paint/sBlur.h"

#include <algorithm>
#include <cmath>

#include "skin/paint/sPixelLanes.h"

#ifdef ORBEX_SSE2
#include "skin/paint/sBlurLanes.h"
#include "skin/paint/sPaintAvx2.h"
#endif

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
  // Terms 2j and 2j + 1 as weight of 2j + 1 << 16 | weight of 2j, eight times over from 8j on
  // (one 32-byte load; the 16-byte lanes read the first four).
  std::vector<std::int32_t> Lanes;
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
    f.Lanes.insert(f.Lanes.end(), 8, static_cast<std::int32_t>(w1 << 16 | w0));
  }
  return f;
}

static const TlxFoldedLanes& FoldedLanes(TlxLanes lanes) {
  static constexpr TlxFoldedLanes sse2 = FoldedLanesOf<TlxOps128>();
#ifdef ORBEX_AVX2
  if (lanes == TlxLanes::Widest && Avx2LanesUsable()) return FoldedLanesAvx2();
#else
  (void)lanes;
#endif
  return sse2;
}

// Both passes with the folded kernel, a row at a time: row y is widened into a line with r edge
// values repeated on either side and blurred across into a ring of 16-bit rows, which the
// column pass of row i reads at rows i - r .. i + r, the edge rows standing in for the rows
// beyond the mask. The ring is kept in blocks of RingBlock columns, each block holding its 2r + 1
// slots one after the other and then all of them once more: the rows of one output block are
// then 2r + 1 consecutive slots from one address, wherever the ring has come to. Row y of the
// mask is read before the column pass writes it: row i is written once rows up to i + r are in.
static void FoldedBlur(const TlxPixelBuffer& b, const TlxFoldedKernel& f, const TlxFoldedLanes& k) {
  const int r = f.R, w = b.Width, h = b.Height, span = 2 * r + 1;
  const std::size_t step = static_cast<std::size_t>(k.Block), block = RingBlock;  // step: a multiple of the block
  const std::size_t blocks = (static_cast<std::size_t>(w) + step - 1) / step * step / block;
  const std::size_t length = block * blocks + 2 * static_cast<std::size_t>(r) + step;
  std::vector<std::int16_t> lineBuffer(length);
  std::int16_t* const line = lineBuffer.data();
  const std::size_t copy = block * static_cast<std::size_t>(span), stride = 2 * copy;
  std::vector<std::int16_t> ring(blocks * stride);
  const std::size_t unrolled = r <= UnrolledRadius ? static_cast<std::size_t>(r) : 0;
  const TlxRowsStep rows = k.Rows[unrolled];
  const TlxColumnsStep columns = k.Columns[unrolled];
  // Row v (from -r, the rows before the mask, to h + r - 1) has slot (v + r) % span.
  auto slot = [&](int v) { return TlxBlockRing{ring.data() + block * static_cast<std::size_t>((v + r) % span), stride, copy}; };
  auto copyRow = [&](int from, int to) {
    const std::int16_t* a = slot(from).Base;
    std::int16_t* c = slot(to).Base;
    for (std::size_t j = 0; j < blocks; ++j) {
      std::copy_n(a + j * stride, block, c + j * stride);
      std::copy_n(a + j * stride, block, c + j * stride + copy);
    }
  };
  int made = 0;  // rows below made are in the ring (those before the mask with row 0)
  for (int i = 0; i < h; ++i) {
    for (; made <= i + r; ++made) {
      if (made >= h) {
        copyRow(h - 1, made);
        continue;
      }
      const Byte* row = b.Row(made);
      std::fill_n(line, r, static_cast<std::int16_t>(row[0]));
      k.Widen(row, w, line + r);
      std::fill(line + r + w, line + length, static_cast<std::int16_t>(row[w - 1]));
      rows(r, f.Lanes.data(), line, w, slot(made));
      if (made == 0)
        for (int v = -r; v < 0; ++v) copyRow(0, v);
    }
    columns(r, f.Lanes.data(), slot(i - r), w, b.Row(i));
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

void GaussianBlur8Fast(const TlxPixelBuffer& b, double sigma, TlxLanes lanes) {
#ifndef ORBEX_SSE2
  (void)lanes;
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
  if (!folded.Lanes.empty()) {
    FoldedBlur(b, folded, FoldedLanes(lanes));
    return;
  }
  const int r = static_cast<int>(k.size() / 2);
  // Rows: each row with r edge values repeated on either side (and 16 spare bytes, so that a
  // block of 16 outputs always reads whole blocks); tap t of output i reads line[i + t].
  const int w = b.Width, h = b.Height;
  const std::size_t blocks = (static_cast<std::size_t>(w) + 15) / 16 * 16;
  std::vector<Byte> line(blocks + 2 * static_cast<std::size_t>(r) + 16);
  for (int y = 0; y < h; ++y) {
    Byte* row = b.Row(y);
    std::fill_n(line.begin(), r, row[0]);
    std::copy_n(row, w, line.begin() + r);
    std::fill(line.begin() + r + w, line.end(), row[w - 1]);
    for (int x = 0; x < w; x += 16) {
      StoreRowBytes<TlxOps128>(row, x, w, Convolve16(taps, [&](int t) { return line.data() + x + t; }));
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
      StoreRowBytes<TlxOps128>(out, x, w, Convolve16(taps, [&](int t) { return rows[static_cast<std::size_t>(t)] + x; }));
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
