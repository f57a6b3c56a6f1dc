// Gaussian blur of 8-bit masks (see sBlur.h).
#include "skin/paint/sBlur.h"

#include <algorithm>
#include <cmath>

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

void GaussianBlur8Fast(const TlxPixelBuffer& b, double sigma) {
#ifdef ORBEX_NO_FAST_PIXELS
  GaussianBlur8Ref(b, sigma);
#else
  if (!Blurrable(b)) return;
  const std::vector<int> k = GaussianKernel8(sigma);
  if (k.empty()) return;
  const int r = static_cast<int>(k.size() / 2);
  BlurRows(b, k);
  // Column pass over whole rows: the rows the kernel reads are kept in a copy, since the
  // output overwrites them. Sums stay below 2^24 (weights total 2^16, values below 2^8), so
  // 32-bit accumulators are exact.
  const std::size_t w = static_cast<std::size_t>(b.Width);
  std::vector<Byte> copy(w * static_cast<std::size_t>(b.Height));
  for (int y = 0; y < b.Height; ++y) std::copy(b.Row(y), b.Row(y) + b.Width, copy.begin() + static_cast<std::ptrdiff_t>(w * y));
  std::vector<int> acc(w);
  for (int i = 0; i < b.Height; ++i) {
    std::fill(acc.begin(), acc.end(), 0);
    for (int j = -r; j <= r; ++j) {
      const int kw = k[static_cast<std::size_t>(j + r)];
      const Byte* src = copy.data() + w * static_cast<std::size_t>(std::clamp(i - j, 0, b.Height - 1));
      int* a = acc.data();
      for (std::size_t x = 0; x < w; ++x) a[x] += kw * src[x];
    }
    Byte* out = b.Row(i);
    for (std::size_t x = 0; x < w; ++x) out[x] = static_cast<Byte>(std::min(acc[x] >> 16, 255));
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
