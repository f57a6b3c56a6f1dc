// Decode time of the large corpus images (1920 x 1080 RGBA, grey and palette) by the PNG
// reader and by libpng, measured in the same run. Each iteration decodes the file with both;
// the iteration time is the reader's, and the counters give both times and their ratio
// (reader / libpng: below 1 means faster than libpng). libpng decodes to raw rows with no
// transformations, the least work it can do.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "skin/paint/lxPNG.h"
#include "tests/native/skin/paint/png/PNGMemoryTarget.h"
#include "tests/native/skin/paint/png/PNGTestSupport.h"

#if ORBEX_BENCH_LIBPNG
#include "tests/native/skin/paint/png/LibpngDecode.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;

void DecodeBoth(benchmark::State& state, const char* file) {
  const std::vector<std::uint8_t> data = pngtest::ReadFile(std::string(ORBEX_PNG_CORPUS) + "/" + file);
  if (data.empty()) {
    state.SkipWithError("corpus image missing: build the png_corpus target");
    return;
  }
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    TPNGDecoder decoder;
    TPNGMemoryTarget target;
    const auto t0 = Clock::now();
    decoder.Decode(data, target);
    benchmark::DoNotOptimize(target.Pixels.data());
    const auto t1 = Clock::now();
    const double seconds = std::chrono::duration<double>(t1 - t0).count();
    ours += seconds;
    state.SetIterationTime(seconds);
#if ORBEX_BENCH_LIBPNG
    pngtest::TLibpngImage image;
    pngtest::TLibpngSource src{};
    const auto t2 = Clock::now();
    if (!pngtest::DecodeWithLibpng(data, image, src, /*readEnd=*/true)) {
      state.SkipWithError("libpng failed");
      return;
    }
    benchmark::DoNotOptimize(image.Pixels.data());
    theirs += std::chrono::duration<double>(Clock::now() - t2).count();
#endif
  }
  const double n = double(state.iterations());
  state.counters["ours_ms"] = ours / n * 1000;
  if (theirs > 0) {
    state.counters["libpng_ms"] = theirs / n * 1000;
    state.counters["ratio"] = ours / theirs;
  }
}

}  // namespace

BENCHMARK_CAPTURE(DecodeBoth, rgba8_1920x1080, "large_rgba8.png")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeBoth, grey8_1920x1080, "large_grey8.png")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(DecodeBoth, pal8_1920x1080, "large_pal8.png")->UseManualTime()->Unit(benchmark::kMillisecond);
