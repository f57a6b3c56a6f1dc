// The window-free rules of the panel adapters: which skin section a framework panel paints
// with, chosen from its bevels, and how far its frame reaches in. The adapters
// (skin/adapters/lxPanelWnd) read the panel's properties and call these. Owns nothing.
// Window-free.
#pragma once

#include <string>

// The panel's bevel cuts by the framework's numbering (bvNone, bvLowered, bvRaised, bvSpace).
constexpr int lxBevelNone = 0, lxBevelLowered = 1, lxBevelRaised = 2;

// A lowered outer bevel: "GROUPBOX" over a raised inner one, else "PANEL_LOW"; a raised outer
// bevel: "GROUPBOX" over a lowered inner one, else "PANEL"; any other: "PANEL_LOW" with a
// border, else "CHECKBOX".
std::string PanelSectionName(int bevelOuter, int bevelInner, bool hasBorder);

// The frame's width on every side: half of what the window is wider than its client area
// (never below 0).
int PanelFrameInset(int windowWidth, int clientWidth);
