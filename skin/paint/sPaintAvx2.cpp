// The pixel kernels' 256-bit steps (see sPaintAvx2.h). This unit alone is built with AVX2
// enabled: it holds only the AVX2 instantiations of the kernels of sBlurLanes.h and
// sHueLanes.h (internal linkage) and the two entry points, so no code built for AVX2 runs
// before Avx2LanesUsable() was asked; its one table is initialised when compiled.
#include "skin/paint/sPaintAvx2.h"

#if defined(ORBEX_AVX2) && defined(__AVX2__)
#include "skin/paint/sBlurLanes.h"
#include "skin/paint/sHueLanes.h"

static constinit const TlxFoldedLanes FoldedAvx2 = FoldedLanesOf<TlxOps256>();

const TlxFoldedLanes& FoldedLanesAvx2() { return FoldedAvx2; }

void HueShiftPixelsAvx2(std::uint8_t* p, int n, int turn, std::uint32_t key) { HueShiftPixelsIn<TlxOps256>(p, n, turn, key); }
#endif
