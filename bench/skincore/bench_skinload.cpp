// Loading a packed skin (unpacking, reading the options text, LoadMasks, LoadPatterns,
// LoadSections, the common indexes) against unpacking its bytes alone, for every ".tez" file
// packed at build time: the loader fixtures and, once they exist, our stored skins. Reports
// "load_to_unpack", the time of a whole load as a multiple of the time of its unpacking.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/sSkinLoader.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"

namespace {

using TClock = std::chrono::steady_clock;

void BM_LoadSkin(benchmark::State& state, const std::string& path) {
  const std::string bytes = ReadFileBytes(path);
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  double unpackTime = 0, loadTime = 0;
  for (auto _ : state) {
    const auto t0 = TClock::now();
    std::unique_ptr<TlxSkinConvertor> c;
    ExtractPackedSkinFrom(data, c);
    const auto t1 = TClock::now();
    const std::uint8_t* text = c->Options()->Memory();
    std::unique_ptr<TMemIniFile> ini = SkinIniFromText(std::string(text, text + c->Options()->Size()));
    TsPixelImageHost host;
    TsLoadedSkin skin;
    LoadSkin(TsSkinSource{ini.get(), c.get(), ""}, TsLoadSettings{}, host, skin);
    benchmark::DoNotOptimize(skin.Tables.MaskData.data());
    const auto t2 = TClock::now();
    unpackTime += std::chrono::duration<double>(t1 - t0).count();
    loadTime += std::chrono::duration<double>(t2 - t0).count();
  }
  state.counters["load_to_unpack"] = unpackTime > 0 ? loadTime / unpackTime : 0;
  state.counters["packed_KiB"] = static_cast<double>(bytes.size()) / 1024.0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::filesystem::path> skins;
  for (const auto& e : std::filesystem::directory_iterator(ORBEX_BENCH_SKINS))
    if (e.path().extension() == ".tez") skins.push_back(e.path());
  std::sort(skins.begin(), skins.end());
  for (const auto& p : skins)
    benchmark::RegisterBenchmark(("BM_LoadSkin/" + p.stem().string()).c_str(), BM_LoadSkin, p.string())
        ->Unit(benchmark::kMicrosecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
