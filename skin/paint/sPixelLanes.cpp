// Tap tables of the fast pixel kernels (see sPixelLanes.h).
#include "skin/paint/sPixelLanes.h"

#include <cstdlib>

#include "skin/paint/sPaintAvx2.h"

bool Avx2LanesUsable() {
#if defined(ORBEX_AVX2)
  // The compiler's check also asks the system whether it keeps the 256-bit registers.
  static const bool usable = __builtin_cpu_supports("avx2");
  return usable;
#else
  return false;
#endif
}

void TlxPairTaps::Add(int index, int weight) {
  if (!FOpen) {
    FFirst.push_back(static_cast<int>(FIndex.size()));
    FOpen = true;
  }
  if (weight != 0 && weight >= -32767 && weight <= 32767) {  // the common case: one tap
    FIndex.push_back(index);
    FWeight.push_back(weight);
    return;
  }
  // Spread the weight over as many taps as 16 bits need: each within range, their sum exact.
  const long long w = weight;
  const int parts = static_cast<int>((std::llabs(w) + 32766) / 32767);
  for (int k = 0; k < parts; ++k) {
    FIndex.push_back(index);
    FWeight.push_back(static_cast<int>(w * (k + 1) / parts - w * k / parts));
  }
}

void TlxPairTaps::EndSample() {
  if (!FOpen) FFirst.push_back(static_cast<int>(FIndex.size()));
  if ((FIndex.size() - static_cast<std::size_t>(FFirst.back())) % 2) {
    FIndex.push_back(FIndex.size() > static_cast<std::size_t>(FFirst.back()) ? FIndex.back() : 0);
    FWeight.push_back(0);
  }
  for (std::size_t k = FPair.size() * 2; k < FWeight.size(); k += 2)
    FPair.push_back(static_cast<std::int32_t>((static_cast<std::uint32_t>(FWeight[k + 1]) << 16) |
                                              (static_cast<std::uint32_t>(FWeight[k]) & 0xFFFFu)));
  FOpen = false;
}

std::vector<std::int32_t> TlxPairTaps::PairLanes() const {
  std::vector<std::int32_t> lanes;
  lanes.reserve(FPair.size() * 4);
  for (const std::int32_t pair : FPair) lanes.insert(lanes.end(), 4, pair);
  return lanes;
}
