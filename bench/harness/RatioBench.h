// Shared by the painting benchmarks under Wine: the stored skins' folder as the program sees
// it, and timings reported as a ratio to a baseline measured in the same run (a BitBlt of the
// same size, a plain draw), so that the numbers say what the skin costs on any machine.
#pragma once

#include <benchmark/benchmark.h>

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <string>

#include "skin/paint/win/sBitmap32.h"

namespace benchratio {

using Clock = std::chrono::steady_clock;

#ifdef ORBEX_SKINS_DIR
// ORBEX_SKINS_DIR with a Unix path put through Wine's Z: drive.
inline std::string SkinsDir() {
  std::string dir = ORBEX_SKINS_DIR;
  if (!dir.empty() && dir[0] == '/') dir = "Z:" + dir;
  std::replace(dir.begin(), dir.end(), '/', '\\');
  return dir;
}
#endif

// Best-of time of one BitBlt of w x h between two 32-bit bitmaps, in nanoseconds.
inline double BltNs(int w, int h) {
  auto src = CreateBitmap32(w, h), dst = CreateBitmap32(w, h);
  double best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const auto t0 = Clock::now();
    for (int i = 0; i < 200; ++i)
      BitBlt(dst->Canvas()->GetHandle(), 0, 0, w, h, src->Canvas()->GetHandle(), 0, 0, SRCCOPY);
    GdiFlush();
    best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / 200);
  }
  return best;
}

// Times `body` and reports `counter` ("x_blt" by default), its time per call over baseNs; an
// error when the scene could not be made.
template <typename F>
void MeasureRatio(benchmark::State& st, bool ready, double baseNs, F body, const char* counter = "x_blt") {
  if (!ready) {
    st.SkipWithError("the stored skin \"Dusk\" could not be loaded");
    return;
  }
  double ns = 0;
  for (auto _ : st) {
    const auto t0 = Clock::now();
    body();
    GdiFlush();
    ns += std::chrono::duration<double, std::nano>(Clock::now() - t0).count();
  }
  st.counters[counter] = ns / static_cast<double>(st.iterations()) / baseNs;
}

}  // namespace benchratio
