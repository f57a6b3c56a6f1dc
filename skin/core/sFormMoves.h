// Window-free rules of a skinned form's moves and mouse answers: the screen snap of a form
// being placed, the frame rectangle of the form's own drag (ResizeMode rmBorder), and which
// hit-test answers the skinned frame keeps as its own. Owns nothing.
#pragma once

#include <cstdint>

#include "framework/base/Types.h"

// One coordinate against one edge: when |coordinate + offset - edge| < buffer the coordinate
// becomes edge - offset, else it stays.
int SnapAxis(int coordinate, int edge, int buffer, int offset);

// A form being placed at (X, Y) with its size, inside the work area of its monitor.
// `BorderOffset` is what an extended-border window adds around the form (its extra width and
// shadow), `TopOffset` what it adds above it (extended title and shadow).
struct TsSnapInput {
  TRect WorkArea;
  int X = 0, Y = 0, Width = 0, Height = 0;
  int Buffer = 10;
  int BorderOffset = 0, TopOffset = 0;
};
// The snapped position: right, bottom, left and top edges in that order, a later edge
// winning over an earlier one.
TPoint SnapPosition(const TsSnapInput& in);

// The frame rectangle of the own drag after the mouse moved (dx, dy) from where it started:
// moved whole for a move; for a resize (hit codes 10-17: left, right, top, top-left,
// top-right, bottom, bottom-left, bottom-right) the grabbed edges follow, never making the
// frame narrower or lower than the minimum (the opposite edge stays).
TRect DragFrameRect(const TRect& start, bool moving, int kind, int dx, int dy, int minWidth, int minHeight);

// The hit-test answers the skinned frame keeps (icon, its own buttons, the bottom corners,
// the grip, the MDI child buttons and the user buttons); the others are left to the system.
bool FrameKeepsHitCode(int code);
// Codes that become the hot element when the mouse is over them (title buttons, MDI child
// buttons, user buttons 1000-1100).
bool HotElementCode(int code);
