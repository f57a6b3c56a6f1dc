// The timing loop of the form benchmarks: one warm-up run, then the mean of `rounds` runs in
// microseconds, with the GDI batch flushed before the clock stops.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>

inline double MicrosPerRun(int rounds, const std::function<void()>& run) {
  using Clock = std::chrono::steady_clock;
  run();
  const auto start = Clock::now();
  for (int i = 0; i < rounds; ++i) run();
  GdiFlush();
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count() / rounds;
}
