// Window-free rules of a skinned form's moves: see sFormMoves.h.
#include "skin/core/sFormMoves.h"

#include <algorithm>
#include <cstdlib>

int SnapAxis(int coordinate, int edge, int buffer, int offset) {
  // 64-bit difference: coordinates from a foreign WINDOWPOS may be anything.
  const long long distance = static_cast<long long>(coordinate) + offset - edge;
  return std::llabs(distance) < buffer ? edge - offset : coordinate;
}

TPoint SnapPosition(const TsSnapInput& in) {
  TPoint p{in.X, in.Y};
  const int t = in.BorderOffset;
  p.X = SnapAxis(p.X, in.WorkArea.Right, in.Buffer, t + in.Width);
  p.Y = SnapAxis(p.Y, in.WorkArea.Bottom, in.Buffer, t + in.Height);
  p.X = SnapAxis(p.X, in.WorkArea.Left, in.Buffer, -t);
  p.Y = SnapAxis(p.Y, in.WorkArea.Top, in.Buffer, -in.TopOffset);
  return p;
}

TRect DragFrameRect(const TRect& start, bool moving, int kind, int dx, int dy, int minWidth, int minHeight) {
  TRect r = start;
  if (moving) {
    r.Left += dx;
    r.Right += dx;
    r.Top += dy;
    r.Bottom += dy;
    return r;
  }
  const bool left = kind == 10 || kind == 13 || kind == 16;
  const bool right = kind == 11 || kind == 14 || kind == 17;
  const bool top = kind == 12 || kind == 13 || kind == 14;
  const bool bottom = kind == 15 || kind == 16 || kind == 17;
  minWidth = std::max(0, minWidth);
  minHeight = std::max(0, minHeight);
  if (left) r.Left = std::min(start.Left + dx, start.Right - minWidth);
  if (right) r.Right = std::max(start.Right + dx, start.Left + minWidth);
  if (top) r.Top = std::min(start.Top + dy, start.Bottom - minHeight);
  if (bottom) r.Bottom = std::max(start.Bottom + dy, start.Top + minHeight);
  return r;
}

bool FrameKeepsHitCode(int code) {
  switch (code) {
    case 3: case 8: case 9: case 16: case 17: case 20: case 21: case 101: case 102: case 103: return true;
    default: return code >= 1000;
  }
}

bool HotElementCode(int code) {
  switch (code) {
    case 8: case 9: case 20: case 21: case 101: case 102: case 103: return true;
    default: return code >= 1000 && code <= 1100;
  }
}
