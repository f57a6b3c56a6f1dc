// The MDI client adapter's thumb scrolling (see lxMDIWndCore.h).
#include "skin/core/lxMDIWndCore.h"

int TlxMDIThumbScroll::Release(int trackPos, int nMin) {
  const int pos = trackPos - nMin;
  const int change = pos - LastPos;
  LastPos = pos;
  return -change * MDIScrollUnit;
}
