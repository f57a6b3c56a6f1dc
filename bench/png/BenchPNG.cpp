// Decode time of the large corpus images (1920 x 1080 RGBA, grey and palette) by the PNG
// reader and by libpng, measured in the same run. Each iteration decodes the file with both;
// the iteration time is the reader's, and the counters give both times and their ratio
// (reader / libpng: below 1 means faster than libpng). libpng decodes to raw rows with no
// transformations, the least work it can do.
#include <benchmark/benchmark.h>

#include <chrono>
#include <csetjmp>
#include <cstring>
#include <string>
#include <vector>

#include "skin/paint/lxPNG.h"
#include "tests/native/png/PNGMemoryTarget.h"
#include "tests/native/png/PNGTestSupport.h"

#if ORBEX_BENCH_LIBPNG
#include <png.h>
#endif

namespace {

using Clock = std::chrono::steady_clock;

#if ORBEX_BENCH_LIBPNG
struct TSource {
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos;
};

void ReadFn(png_structp png, png_bytep out, png_size_t n) {
  auto* src = static_cast<TSource*>(png_get_io_ptr(png));
  if (n > src->Size - src->Pos) png_error(png, "read past the end");
  std::memcpy(out, src->Data + src->Pos, n);
  src->Pos += n;
}

// Buffers live outside the function that calls setjmp.
struct TLibpngBuffers {
  std::vector<std::uint8_t> Pixels;
  std::vector<png_bytep> Rows;
};

bool DecodeWithLibpng(const std::vector<std::uint8_t>& data, TLibpngBuffers& buffers, TSource& src) {
  src = TSource{data.data(), data.size(), 0};
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, &src, ReadFn);
  png_read_info(png, info);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  const std::size_t rowBytes = png_get_rowbytes(png, info);
  buffers.Pixels.resize(rowBytes * height);
  buffers.Rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) buffers.Rows[y] = buffers.Pixels.data() + rowBytes * y;
  png_read_image(png, buffers.Rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);
  return true;
}
#endif

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
    TLibpngBuffers buffers;
    TSource src{};
    const auto t2 = Clock::now();
    if (!DecodeWithLibpng(data, buffers, src)) {
      state.SkipWithError("libpng failed");
      return;
    }
    benchmark::DoNotOptimize(buffers.Pixels.data());
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
