// Window regions from border masks (see sMaskRegion.h).
#include "skin/paint/win/sMaskRegion.h"

bool CutRunsFromRegion(HRGN region, const std::vector<TRect>& runs) {
  if (!region) return false;
  for (const TRect& r : runs) {
    TOwnedRegion piece(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    if (!piece || CombineRgn(region, region, piece.Get(), RGN_DIFF) == ERROR) return false;
  }
  return true;
}

TOwnedRegion WindowRegionFromMask(int width, int height, const TlxMaskImage& mask) {
  TOwnedRegion rgn(CreateRectRgn(0, 0, width, height));
  if (!rgn) return rgn;
  std::vector<TRect> runs;
  CollectCornerKeyRuns(runs, width, mask, false, 0);
  // The bottom corner rows end at the window's bottom.
  CollectCornerKeyRuns(runs, width, mask, true, height - mask.WB);
  if (!CutRunsFromRegion(rgn.Get(), runs)) rgn.Reset();
  return rgn;
}
