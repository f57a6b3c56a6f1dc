// The window-free rules of the grid adapters: which published colour properties of a grid the
// skin sets and to what, as paths of nested published objects ("ControlLook.SelectionColor").
// The adapter (skin/adapters/lxGridWnd) reads the skin's colours, walks the paths on the grid
// and skips every one the grid does not publish. Owns nothing. Window-free.
#pragma once

#include <string>
#include <vector>

#include "framework/base/Types.h"

// The skin's colours a grid takes (RGB).
struct TlxGridSkinColors {
  TColor Fixed = 0;          // the global section's colour
  TColor FixedFont = 0;      // its font colour
  TColor Hot = 0;            // its hot colour
  TColor EditFont = 0;       // the edit section's font colour
  TColor Border = 0;         // the skin's border colour
  TColor Constant = 0;       // the manager's constant section's colour
  TColor SectionFont = 0;    // the grid's section's font colour
  TColor Selection = 0;      // the selection colour and its font colour (hot)
  TColor SelectionFont = 0;
};

struct TlxGridColorEntry {
  std::string Path;
  TColor Value;
};

// The grid's colours from the skin: "FixedColor", "TitleFont.Color"; for a grid with the
// "ControlLook" object also "FixedFont.Color", the line colours and that object's gradients and
// selection; the "GridStyle.Title" gradient, the "LineColors", the footer and title colours and
// the indicator's icon colour.
std::vector<TlxGridColorEntry> GridColorPlan(const TlxGridSkinColors& c, bool hasControlLook);

// A path's parts ("A.B.C" gives A, B, C).
std::vector<std::string> SplitPropPath(const std::string& path);
