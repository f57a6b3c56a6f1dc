// The panel adapters' rules (see lxPanelWndCore.h).
#include "skin/core/lxPanelWndCore.h"

#include <algorithm>

std::string PanelSectionName(int bevelOuter, int bevelInner, bool hasBorder) {
  if (bevelOuter == lxBevelLowered) return bevelInner == lxBevelRaised ? "GROUPBOX" : "PANEL_LOW";
  if (bevelOuter == lxBevelRaised) return bevelInner == lxBevelLowered ? "GROUPBOX" : "PANEL";
  return hasBorder ? "PANEL_LOW" : "CHECKBOX";
}

int PanelFrameInset(int windowWidth, int clientWidth) { return std::max(0, (windowWidth - clientWidth) / 2); }
