// The pixel kernels' 256-bit AVX2 steps (sPaintAvx2.cpp, the one unit built with AVX2
// enabled), present where the build has ORBEX_AVX2; callers take them only when
// Avx2LanesUsable() says the processor and the system support AVX2. Window-free.
#pragma once

#include <cstdint>

// True when AVX2 instructions may run here (checked once, by code built without AVX2).
bool Avx2LanesUsable();

#if defined(ORBEX_AVX2)
struct TlxFoldedLanes;
// The folded blur's row-level steps in 256-bit lanes (see sBlurLanes.h).
const TlxFoldedLanes& FoldedLanesAvx2();
// n pixels in place through the hue shift, eight at a time; turn in 0..359, key and greys kept.
void HueShiftPixelsAvx2(std::uint8_t* p, int n, int turn, std::uint32_t key);
#endif
