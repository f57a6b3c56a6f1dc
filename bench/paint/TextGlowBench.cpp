// The glow of a 200 x 40 caption (glow size 4): laid from the mask the caller keeps, against the
// same glow with the mask rebuilt (white fill, five text copies, blur). The text itself is a
// stand-in of letter strokes, so that GDI's text rendering stays out of the numbers. Each
// reports "x_rebuilt": its time per call divided by the rebuilt glow's, measured in this run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>

#include "skin/paint/sTextEffects.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr TRect Caption{8, 8, 208, 48};
constexpr int GlowSize = 4;

// Letter-like strokes of a line of text at `at`: a stem and a bar every 9 pixels.
void StandInText(const TlxPixelBuffer& mask, TPoint at) {
  for (int x = 0; x + 7 <= Caption.Width(); x += 9)
    for (int y = 0; y < 14; ++y) {
      const int py = at.Y + 13 + y;
      if (py < 0 || py >= mask.Height) continue;
      Byte* row = mask.Row(py);
      row[std::clamp(at.X + x, 0, mask.Width - 1)] = 0;
      row[std::clamp(at.X + x + 1, 0, mask.Width - 1)] = 0;
      if (y == 7) std::fill(row + std::clamp(at.X + x, 0, mask.Width), row + std::clamp(at.X + x + 7, 0, mask.Width), 0);
    }
}

struct TGlowScene {
  TlxGlowPlan Plan = GlowPlan(Caption, GlowSize);
  TlxImageBuffer Target{216, 56};
  TlxImageBuffer Mask{Plan.Area.Width(), Plan.Area.Height(), 1};
  void Rebuild() {
    BuildGlowMask(Mask.View(), Plan, GlowSize, 15, [this](TPoint at) { StandInText(Mask.View(), at); });
  }
  void Lay() { ComposeGlow(Target.View(), Mask.View(), TPoint{Plan.Area.Left, Plan.Area.Top}, 0x40C0FF); }
};

// Best-of time of one rebuilt glow, in nanoseconds; measured once per run.
double RebuiltNs() {
  static double best = 0;
  if (best > 0) return best;
  TGlowScene s;
  best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const auto t0 = Clock::now();
    for (int i = 0; i < 50; ++i) {
      s.Rebuild();
      s.Lay();
      benchmark::ClobberMemory();
    }
    best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / 50);
  }
  return best;
}

template <typename F>
void Measure(benchmark::State& st, F body) {
  double ns = 0;
  for (auto _ : st) {
    const auto t0 = Clock::now();
    body();
    benchmark::ClobberMemory();
    ns += std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
  }
  st.counters["x_rebuilt"] = ns / static_cast<double>(st.iterations()) / RebuiltNs();
}

void BM_TextGlowCachedMask(benchmark::State& st) {
  TGlowScene s;
  s.Rebuild();
  Measure(st, [&] { s.Lay(); });
}

void BM_TextGlowRebuiltMask(benchmark::State& st) {
  TGlowScene s;
  Measure(st, [&] {
    s.Rebuild();
    s.Lay();
  });
}

}  // namespace

BENCHMARK(BM_TextGlowCachedMask);
BENCHMARK(BM_TextGlowRebuiltMask);
