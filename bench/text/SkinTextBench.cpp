// A 200 x 40 caption drawn the skinned way (four one-pixel contour copies, then the main colour)
// against one plain draw of the same text into the same 32-bit bitmap. Each reports "x_plain":
// its time per call divided by the plain draw's, measured in this run, so the numbers say what
// the contours cost whatever the machine.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>

#include "skin/core/win/sSkinText.h"
#include "skin/paint/win/sBitmap32.h"
#include "bench/harness/RatioBench.h"

namespace {

using benchratio::Clock;
constexpr UINT Format = DT_LEFT | DT_VCENTER | DT_SINGLELINE;
const TRect Caption{8, 8, 208, 48};
const char* const Text = "Orbex Handheld Scope";

// One section whose normal state has all four contour colours around a dark font colour.
TsSkinTables ContourTables() {
  TsSkinTables sm;
  TsGeneralData g;
  g.ClassName = "FORMTITLE";
  g.States = 1;
  g.Props[0].Color = 0x2A2521;
  const TColor colours[5] = {0xEAE5E2, 0x101010, 0x101010, 0x101010, 0x101010};
  std::copy(colours, colours + 5, g.Props[0].FontColor);
  sm.GeneralData.push_back(std::move(g));
  return sm;
}

struct TCaptionScene {
  std::unique_ptr<TBitmap> Target = CreateBitmap32(216, 56);
  TsSkinTables Tables = ContourTables();
  TsTextSkinInfo Info;
  TCaptionScene() {
    Target->Canvas()->Font()->SetName("Tahoma");
    Target->Canvas()->Font()->SetHeight(-13);
    Info.Tables = &Tables;
    Info.SectionIndex = 0;
  }
  void Skinned() { DrawSkinText(Target->Canvas(), Text, true, false, Info, Format, Caption); }
  void Plain() { DrawTextPasses(Target->Canvas(), Text, Caption, PlainTextPasses(true, 0xEAE5E2, Format)); }
};

// Best-of time of one plain draw, in nanoseconds; measured once per run.
double PlainNs() {
  static double best = 0;
  if (best > 0) return best;
  TCaptionScene s;
  best = 1e30;
  for (int round = 0; round < 5; ++round) {
    const auto t0 = Clock::now();
    for (int i = 0; i < 200; ++i) s.Plain();
    GdiFlush();
    best = std::min(best, std::chrono::duration<double, std::nano>(Clock::now() - t0).count() / 200);
  }
  return best;
}

template <typename F>
void Measure(benchmark::State& st, F body) {
  benchratio::MeasureRatio(st, true, PlainNs(), body, "x_plain");
}

void BM_CaptionPlain(benchmark::State& st) {
  TCaptionScene s;
  Measure(st, [&] { s.Plain(); });
}

void BM_CaptionFourContours(benchmark::State& st) {
  TCaptionScene s;
  Measure(st, [&] { s.Skinned(); });
}

}  // namespace

BENCHMARK(BM_CaptionPlain);
BENCHMARK(BM_CaptionFourContours);
