// Throughput of the link's receive path: a long mixed stream (frames, ranges, roll samples,
// garbage) fed through the receive buffer in reads of 1024 bytes and parsed, in bytes/s.
#include <benchmark/benchmark.h>

#include <random>

#include "app/OrbexBuffer.h"
#include "app/OrbexPackets.h"
#include "tests/native/app/PacketBuilder.h"

using namespace orbex_test;

namespace {
Bytes MixedStream(std::size_t target) {
  std::mt19937 rng(11);
  Bytes s;
  while (s.size() < target) {
    const unsigned tb = 22 + static_cast<unsigned>(rng() % 4);
    switch (rng() % 8) {
      case 0:
      case 1:
      case 2:
        Add(s, FrameOf(Status4(1, tb), 4, [&](int i) { return (i * 3 + rng()) & 0xFF; }));
        break;
      case 3:
      case 4: {
        const std::uint8_t a = static_cast<std::uint8_t>(rng() % 200);
        Add(s, Range(Status4(1, tb), 4, a, static_cast<std::uint8_t>(a + rng() % 55),
                     Bytes(64, static_cast<std::uint8_t>(rng()))));
        break;
      }
      case 5:
      case 6:
        Add(s, Single(Status4(3, tb), 4, rng() % 600, static_cast<std::uint8_t>(rng())));
        break;
      default:
        for (int g = rng() % 40; g > 0; --g) s.push_back(static_cast<std::uint8_t>(rng()));
    }
  }
  return s;
}

void BM_ParseMixedStream(benchmark::State& state) {
  const Bytes stream = MixedStream(4u << 20);
  long events = 0;
  for (auto _ : state) {
    TOrbexScopeState scope;
    scope.OnSamples = [&](int, int) { ++events; };
    TOrbexBuffer buffer;
    for (std::size_t at = 0; at < stream.size(); at += 1024) {
      const std::size_t n = std::min<std::size_t>(1024, stream.size() - at);
      buffer.Append(stream.data() + at, static_cast<std::int32_t>(n));
      ParseBuffer(scope, buffer);
    }
    benchmark::DoNotOptimize(scope.GetSamples().data());
  }
  benchmark::DoNotOptimize(events);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(stream.size()));
}
BENCHMARK(BM_ParseMixedStream)->Unit(benchmark::kMillisecond);
}  // namespace
