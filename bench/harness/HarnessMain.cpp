// Runner of the timing harness (see benchmark/benchmark.h): finds an iteration count that
// fills the minimum time, runs the repetitions and prints one line per benchmark with the
// median time per iteration and the median of every counter.
#include "bench/harness/benchmark/benchmark.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <regex>

namespace benchmark::internal {

namespace {

struct TRun {
  double Seconds = 0;  // per iteration
  std::map<std::string, double> Counters;
};

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  const std::size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

bool RunOnce(Benchmark& b, const std::vector<std::int64_t>& args, std::int64_t n, TRun& out, double& total) {
  State st(n, args);
  b.FFn(st);
  if (st.Failed()) {
    std::printf("%s: %s\n", b.FName.c_str(), st.Message().c_str());
    return false;
  }
  total = b.FManual ? st.ManualSeconds() : st.WallSeconds();
  out.Seconds = total / static_cast<double>(n);
  for (const auto& [name, c] : st.counters)
    out.Counters[name] = (c.flags & Counter::kIsRate) && total > 0 ? c.value / total : c.value;
  if (st.Bytes() > 0 && total > 0) out.Counters["MB/s"] = static_cast<double>(st.Bytes()) / total / 1e6;
  return true;
}

}  // namespace

int RunAll(int argc, char** argv) {
  double minTime = 0.5;
  int repetitions = 1;
  std::string filter = ".";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* key) -> const char* {
      const std::string k = std::string(key) + "=";
      return a.rfind(k, 0) == 0 ? argv[i] + k.size() : nullptr;
    };
    if (const char* v = value("--benchmark_min_time")) minTime = std::atof(v);
    else if (const char* v = value("--benchmark_repetitions")) repetitions = std::max(1, std::atoi(v));
    else if (const char* v = value("--benchmark_filter")) filter = v;
  }
  const std::regex pick(filter);
  for (Benchmark* b : Registry()) {
    std::vector<std::vector<std::int64_t>> sets = b->FArgs;
    if (sets.empty()) sets.emplace_back();
    for (const auto& args : sets) {
      std::string name = b->FName;
      for (std::int64_t v : args) name += "/" + std::to_string(v);
      if (!std::regex_search(name, pick)) continue;
      // Grow the iteration count until one run fills the minimum time.
      std::int64_t n = 1;
      TRun run;
      double total = 0;
      bool ok = true;
      for (;;) {
        if (!(ok = RunOnce(*b, args, n, run, total))) break;
        if (total >= minTime || n >= 1000000000) break;
        const double grow = total > 0 ? minTime * 1.4 / total : 100.0;
        n = std::max<std::int64_t>(n + 1, static_cast<std::int64_t>(static_cast<double>(n) * std::min(grow, 100.0)));
      }
      if (!ok) continue;
      std::vector<TRun> runs{run};
      for (int r = 1; r < repetitions && ok; ++r) {
        ok = RunOnce(*b, args, n, run, total);
        runs.push_back(run);
      }
      std::vector<double> times;
      for (const TRun& r : runs) times.push_back(r.Seconds);
      std::printf("%-40s %14.1f ns %10lld", name.c_str(), Median(times) * 1e9, static_cast<long long>(n));
      for (const auto& entry : runs.front().Counters) {
        std::vector<double> vs;
        for (const TRun& r : runs) vs.push_back(r.Counters.at(entry.first));
        std::printf(" %s=%.4g", entry.first.c_str(), Median(vs));
      }
      std::printf("\n");
      std::fflush(stdout);
    }
  }
  return 0;
}

}  // namespace benchmark::internal

int main(int argc, char** argv) { return benchmark::internal::RunAll(argc, argv); }
