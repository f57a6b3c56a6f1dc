// Benchmarks of the pixel kernels on a full-HD bitmap and on typical control sizes. Each
// reports "MP/s" (destination megapixels per second) and "x_memcpy": its time per call
// divided by the time of a memcpy, timed right after it in the same run, of as many bytes as
// the kernel writes (the destination: 4 bytes a pixel for images, 1 for the 8-bit blur mask).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <random>
#include <vector>

#include "skin/paint/sAlphaCopy.h"
#include "skin/paint/sBlur.h"
#include "skin/paint/sColorMath.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sMaskPaint.h"
#include "skin/paint/sSmoothStretch.h"

namespace {

using Clock = std::chrono::steady_clock;

// Best-of time of one memcpy of n bytes, in nanoseconds, timed anew for every run of a
// benchmark: on a shared machine the load changes within a process, and a reference timed
// once swung the ratios of one binary by a factor of two between runs.
double MemcpyNs(std::size_t n) {
  std::vector<char> a(n, 1), b(n, 2);
  const int reps = static_cast<int>(std::max<std::size_t>(4, (64u << 20) / std::max<std::size_t>(n, 1)));
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const auto t0 = Clock::now();
    for (int i = 0; i < reps; ++i) {
      std::memcpy(b.data(), a.data(), n);
      benchmark::DoNotOptimize(b.data());
      benchmark::ClobberMemory();
    }
    best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / reps);
  }
  return best;
}

void FillImage(const TlxPixelBuffer& b, std::uint32_t seed, bool runs = false) {
  std::mt19937 rng(seed);
  std::uint32_t v = 0;
  for (int y = 0; y < b.Height; ++y)
    for (int x = 0; x < b.Width; ++x) {
      if (!runs || x % 8 == 0) v = rng();
      SetPix(b, x, y, v);
    }
}

// Runs body per iteration, timing it, and sets the two counters for w x h output pixels of
// bytesPerPixel bytes each.
template <typename F>
void Measure(benchmark::State& st, int w, int h, F body, int bytesPerPixel = 4) {
  double ns = 0;
  for (auto _ : st) {
    const auto t0 = Clock::now();
    body();
    benchmark::ClobberMemory();
    ns += std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
  }
  const double perCall = ns / static_cast<double>(st.iterations());
  st.counters["MP/s"] = benchmark::Counter(static_cast<double>(w) * h * st.iterations() / 1e6, benchmark::Counter::kIsRate);
  st.counters["x_memcpy"] = perCall / MemcpyNs(static_cast<std::size_t>(w) * h * bytesPerPixel);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Args({1920, 1080})->Args({100, 30})->Args({400, 300});
}

void BM_Memcpy(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  std::vector<char> a(static_cast<std::size_t>(w) * h * 4, 1), b(a.size());
  Measure(st, w, h, [&] { std::memcpy(b.data(), a.data(), a.size()); benchmark::DoNotOptimize(b.data()); });
}

void BM_ConstantBlend(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer d(w, h), s(w, h);
  FillImage(d.View(), 1);
  FillImage(s.View(), 2);
  Measure(st, w, h, [&] { BlendBitmapsFast(d.View(), s.View(), 100); });
}

void BM_AlphaOverCopy(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer d(w, h), s(w, h);
  FillImage(d.View(), 1);
  FillImage(s.View(), 2);
  const TRect r{0, 0, w, h};
  Measure(st, w, h, [&] { CopyBitmapRect(r, r, d.View(), false, TlxBackgroundView{}, s.View()); });
}

// The image copy's plain case (no blend, tint, key fill or reflection): alpha-over that keeps
// the destination's alpha.
void BM_CopyWithAlpha(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer d(w, h), s(w, h);
  FillImage(d.View(), 1);
  FillImage(s.View(), 2);
  const TRect r{0, 0, w, h};
  Measure(st, w, h, [&] { CopyWithAlpha(r, r, d.View(), false, 0, clNoneTint, false, TlxBackgroundView{}, s.View()); });
}

void BM_KeyedCopy(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer d(w, h), s(w, h);
  FillImage(d.View(), 1);
  FillImage(s.View(), 2, true);
  for (int y = 0; y < h; y += 3) FillDWords(s.View().Row(y), w / 2, KeyPixel);
  Measure(st, w, h, [&] { CopyBitmapKeyed(d.View(), s.View(), 0, clKeyColor, 0); });
}

void Stretch(benchmark::State& st, int filter, bool halve) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  const int sw = halve ? w * 2 : std::max(w / 2, 2), sh = halve ? h * 2 : std::max(h / 2, 2);
  TlxImageBuffer s(sw, sh), d;
  FillImage(s.View(), 3);
  // Ratios per destination byte: halving reads four times as many.
  Measure(st, w, h, [&] { SmoothStretch(s.View(), d, w, h, filter); });
}
void BM_Stretch2Halving(benchmark::State& st) { Stretch(st, 2, true); }
void BM_Stretch2Doubling(benchmark::State& st) { Stretch(st, 2, false); }
void BM_Stretch6Halving(benchmark::State& st) { Stretch(st, 6, true); }
void BM_Stretch6Doubling(benchmark::State& st) { Stretch(st, 6, false); }

void BM_GaussianBlur8(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer m(w, h, 1);
  std::mt19937 rng(4);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) m.View().Row(y)[x] = static_cast<Byte>(rng());
  // One byte a pixel: the ratio is to a memcpy of w * h bytes.
  Measure(st, w, h, [&] { GaussianBlur8(m.View(), 3.0); }, 1);
}

void BM_HueShift(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer img(w, h);
  FillImage(img.View(), 5, true);
  // One shift per call, as a skin applies it; the colours keep turning, so every call sees
  // coloured runs like the first.
  Measure(st, w, h, [&] { HueShiftBitmap(img.View(), 40); });
}

void BM_NinePieceFrame(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer img(3 * 24, 48), d(w, h);
  FillImage(img.View(), 6);
  FillImage(d.View(), 7);
  TlxMaskImage m;
  m.Image = img.View();
  m.SrcRect = TRect{0, 0, 72, 48};
  m.ImageCount = 3;
  m.MaskType = 1;
  m.DrawMode = dmPaintCentre;
  m.WL = m.WT = m.WR = m.WB = 6;
  Measure(st, w, h, [&] { PaintMaskFrame(d.View(), TRect{0, 0, w, h}, false, 1, m, TlxBackgroundView{}); });
}

void BM_VerticalGradient(benchmark::State& st) {
  const int w = static_cast<int>(st.range(0)), h = static_cast<int>(st.range(1));
  TlxImageBuffer d(w, h);
  TsGradientArray stops;
  ParseGradientData("255;16711680;50;0;0;16711680;65280;50;0;0", stops);
  Measure(st, w, h, [&] { PaintGradient(d.View(), TRect{0, 0, w, h}, stops, 0); });
}

}  // namespace

BENCHMARK(BM_Memcpy)->Apply(Sizes);
BENCHMARK(BM_ConstantBlend)->Apply(Sizes);
BENCHMARK(BM_AlphaOverCopy)->Apply(Sizes);
BENCHMARK(BM_CopyWithAlpha)->Apply(Sizes);
BENCHMARK(BM_KeyedCopy)->Apply(Sizes);
BENCHMARK(BM_Stretch2Halving)->Apply(Sizes);
BENCHMARK(BM_Stretch2Doubling)->Apply(Sizes);
BENCHMARK(BM_Stretch6Halving)->Apply(Sizes);
BENCHMARK(BM_Stretch6Doubling)->Apply(Sizes);
BENCHMARK(BM_GaussianBlur8)->Apply(Sizes);
BENCHMARK(BM_HueShift)->Apply(Sizes);
BENCHMARK(BM_NinePieceFrame)->Apply(Sizes);
BENCHMARK(BM_VerticalGradient)->Apply(Sizes);
