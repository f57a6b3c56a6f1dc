// A small timing harness with the part of Google Benchmark's interface that bench/ uses, for
// the Windows build (Google Benchmark is native-only here), so that the same benchmark
// sources run under Wine and report the same counters. Each benchmark runs for at least
// --benchmark_min_time seconds per repetition; with --benchmark_repetitions=n the medians of
// the time and of every counter are printed. --benchmark_filter=<regex> picks benchmarks.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

namespace benchmark {

enum TimeUnit { kNanosecond, kMicrosecond, kMillisecond, kSecond };

struct Counter {
  enum Flags { kDefaults = 0, kIsRate = 1 };
  double value = 0;
  Flags flags = kDefaults;
  Counter(double v = 0, Flags f = kDefaults) : value(v), flags(f) {}
};

template <class T>
inline void DoNotOptimize(T const& v) {
  asm volatile("" : : "r,m"(v) : "memory");
}
template <class T>
inline void DoNotOptimize(T& v) {
  asm volatile("" : "+r,m"(v) : : "memory");
}
inline void ClobberMemory() { asm volatile("" : : : "memory"); }

class State {
public:
  State(std::int64_t iterations, std::vector<std::int64_t> args) : FMax(iterations), FArgs(std::move(args)) {}

  // What the loop variable holds: nothing, but a type with a destructor of its own, so that
  // an unused loop variable draws no warning (as with Google Benchmark).
  struct Value {
    ~Value() {}
  };
  struct Iterator {
    State* S;
    std::int64_t Left;
    bool operator!=(const Iterator&) const {
      if (Left > 0) return true;
      S->Stop();
      return false;
    }
    void operator++() { --Left; }
    Value operator*() const { return Value{}; }
  };
  Iterator begin() {
    FStart = std::chrono::steady_clock::now();
    return Iterator{this, FError ? 0 : FMax};
  }
  Iterator end() { return Iterator{this, 0}; }

  std::int64_t range(std::size_t i) const { return i < FArgs.size() ? FArgs[i] : 0; }
  std::int64_t iterations() const { return FMax; }
  void SkipWithError(const char* message) {
    FError = true;
    FMessage = message;
  }
  void SetIterationTime(double seconds) { FManual += seconds; }
  void SetBytesProcessed(std::int64_t bytes) { FBytes = bytes; }

  std::map<std::string, Counter> counters;

  // Read by the runner.
  double WallSeconds() const { return FWall; }
  double ManualSeconds() const { return FManual; }
  std::int64_t Bytes() const { return FBytes; }
  bool Failed() const { return FError; }
  const std::string& Message() const { return FMessage; }

private:
  void Stop() { FWall = std::chrono::duration<double>(std::chrono::steady_clock::now() - FStart).count(); }
  std::int64_t FMax;
  std::vector<std::int64_t> FArgs;
  std::chrono::steady_clock::time_point FStart;
  double FWall = 0, FManual = 0;
  std::int64_t FBytes = 0;
  bool FError = false;
  std::string FMessage;
};

namespace internal {

class Benchmark {
public:
  Benchmark(std::string name, std::function<void(State&)> fn) : FName(std::move(name)), FFn(std::move(fn)) {}
  Benchmark* Args(std::initializer_list<std::int64_t> a) {
    FArgs.emplace_back(a);
    return this;
  }
  Benchmark* Apply(void (*f)(Benchmark*)) {
    f(this);
    return this;
  }
  Benchmark* UseManualTime() {
    FManual = true;
    return this;
  }
  Benchmark* Unit(TimeUnit u) {
    FUnit = u;
    return this;
  }

  std::string FName;
  std::function<void(State&)> FFn;
  std::vector<std::vector<std::int64_t>> FArgs;
  bool FManual = false;
  TimeUnit FUnit = kNanosecond;
};

inline std::vector<Benchmark*>& Registry() {
  static std::vector<Benchmark*> all;
  return all;
}
inline Benchmark* Register(const char* name, std::function<void(State&)> fn) {
  Registry().push_back(new Benchmark(name, std::move(fn)));
  return Registry().back();
}

int RunAll(int argc, char** argv);

}  // namespace internal
}  // namespace benchmark

#define ORBEX_BENCH_CAT2(a, b) a##b
#define ORBEX_BENCH_CAT(a, b) ORBEX_BENCH_CAT2(a, b)
#define BENCHMARK(fn)                                                                              \
  static ::benchmark::internal::Benchmark* ORBEX_BENCH_CAT(orbexBench_, __LINE__) [[maybe_unused]] = \
      ::benchmark::internal::Register(#fn, fn)
#define BENCHMARK_CAPTURE(fn, name, ...)                                                           \
  static ::benchmark::internal::Benchmark* ORBEX_BENCH_CAT(orbexBench_, __LINE__) [[maybe_unused]] = \
      ::benchmark::internal::Register(#fn "/" #name, [](::benchmark::State& st) { fn(st, __VA_ARGS__); })
