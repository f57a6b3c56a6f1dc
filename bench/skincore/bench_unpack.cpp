// Unpacking a packed skin of realistic size: an options text and a dozen images of a few
// hundred KiB in total, as the stored skins hold. Reports MB/s of unpacked output.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/core/lxSkinConvertor.h"
#include "tests/native/skin/core/PackedSkinBuilder.h"

namespace {

std::string RealisticSkin(std::int64_t& unpacked) {
  std::vector<TestEntry> entries;
  std::string options;
  for (int i = 0; i < 120; ++i)
    options += "[SECTION" + std::to_string(i) + "]\r\nCOLOR=0xC0C0C0\r\nBORDERSMASK=^0000 0000 "
               "0060 0020 0004 0004 0004 0004 3 1 1 0\r\n";
  entries.push_back({"Options.dat", options});
  const std::size_t sizes[] = {98304, 65536, 49152, 40960, 32768, 24576, 16384,
                               16384, 8192,  8192,  4096,  4096};
  for (std::size_t i = 0; i < sizeof(sizes) / sizeof(sizes[0]); ++i)
    entries.push_back({"Image" + std::to_string(i) + (i % 2 ? ".png" : ".bmp"),
                       ImageLikeBytes(sizes[i], static_cast<std::uint32_t>(i + 1))});
  unpacked = 0;
  for (const TestEntry& e : entries) unpacked += static_cast<std::int64_t>(e.Data.size());
  return BuildPackedSkin(entries);
}

void BM_UnpackPackedSkin(benchmark::State& state) {
  std::int64_t unpacked = 0;
  const std::string bytes = RealisticSkin(unpacked);
  TMemoryStream data;
  data.WriteBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  for (auto _ : state) {
    std::unique_ptr<TlxSkinConvertor> c;
    ExtractPackedSkinFrom(data, c);
    benchmark::DoNotOptimize(c.get());
  }
  state.SetBytesProcessed(state.iterations() * unpacked);
  state.counters["packed_KiB"] = static_cast<double>(bytes.size()) / 1024.0;
  state.counters["unpacked_KiB"] = static_cast<double>(unpacked) / 1024.0;
}
BENCHMARK(BM_UnpackPackedSkin);

}  // namespace
