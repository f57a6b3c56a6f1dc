// Window regions from border masks: the key-colour runs of a mask's corner rows (collected
// window-free by CollectCornerKeyRuns) cut out of a window's rectangle, for rounded skinned
// frames. The caller owns the returned region.
#pragma once

#include <windows.h>

#include <vector>

#include "skin/paint/sMaskPaint.h"
#include "skin/paint/win/sDibSection.h"

// Removes every run rectangle from the region (RGN_DIFF); false when a combine fails.
bool CutRunsFromRegion(HRGN region, const std::vector<TRect>& runs);
// The window rectangle (0, 0, width, height) less the key runs of the mask's top corners and,
// at the window's bottom, of its bottom corners. Empty owner when the region cannot be made.
TOwnedRegion WindowRegionFromMask(int width, int height, const TlxMaskImage& mask);
