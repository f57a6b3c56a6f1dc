// The skinned non-client scroll bars' geometry that needs no window: the thumb's size and place
// in the track, the arrow buttons' extent, the part of a bar under a point, the position a
// dragged thumb stands for, and the two bars' and the corner square's rectangles. The scroll
// adapter (skin/adapters) reads the window's scroll info and frame and calls these; nothing here
// is owned. Window-free.
#pragma once

#include <cstdint>

#include "framework/base/Types.h"

// The part of the scroll info that the geometry needs, as the system keeps it (nPage unsigned).
struct TlxScrollInfo {
  int nMin = 0;
  int nMax = 0;
  unsigned nPage = 0;
  int nPos = 0;
};

// The parts of a bar; each equals the scroll code that pressing it sends.
constexpr int sbpNone = -1, sbpFirstArrow = 0, sbpSecondArrow = 1, sbpTrackBefore = 2,
              sbpTrackAfter = 3, sbpThumb = 5;

// Ranges wider than this give no thumb: the system's scaling cannot hold them.
constexpr std::int64_t ScrollMaxRange = 0x7FFFFFFE;

// a * b / c over 64 bits, rounded half away from zero as the system's MulDiv; -1 when c is 0 or
// the result does not fit in an int (as the system answers).
int ScrollMulDiv(int a, int b, int c);

// A bar's length along its direction, its arrow length and its least thumb (pixels).
struct TlxScrollBarLen {
  int Length = 0;
  int Arrow = 0;
  int MinThumb = 10;
  int Track() const;   // Length - 2 * Arrow, limited to the int range
};

// The thumb: its size and its offset from the track start (the end of the first arrow). With
// nPage 0 it is as long as an arrow; over a range wider than ScrollMaxRange it is 0 at 0. Its
// size may reach or pass the track, and then the bar shows no thumb.
struct TlxThumb {
  int Size = 0;
  int Offset = 0;
};
TlxThumb ScrollThumb(const TlxScrollInfo& si, const TlxScrollBarLen& b);

// Whether the thumb is shown: two full arrows fit and the thumb is shorter than the track.
bool ScrollThumbShown(const TlxThumb& t, const TlxScrollBarLen& b);

// The length of each arrow button: the arrow length when two fit in the bar, else half the bar.
int ScrollArrowExtent(const TlxScrollBarLen& b);

// The part under `p` of the bar `bar` (any coordinates, the same for both), sbpNone outside it
// or where no part lies.
int ScrollHitPart(const TRect& bar, bool vertical, TPoint p, const TlxScrollInfo& si, int arrow,
                  int minThumb);

// The position that a thumb of `thumbSize` at `offset` from the track start stands for, within
// nMin ... nMax - max(1, nPage) + 1; nMin when the thumb fills the track or the range is empty.
int ScrollDragPos(const TlxScrollInfo& si, const TlxScrollBarLen& b, int thumbSize, int offset);

// A window's frame as the scroll bars see it: its rectangle, how far the previous procedure
// moved each side in, each bar's thickness times whether it is shown, and the bar side.
struct TlxScrollFrame {
  TRect Window;
  int LeftEdge = 0, TopEdge = 0, RightEdge = 0, BottomEdge = 0;
  int HorzThickness = 0;   // 0 when the horizontal bar is not shown
  int VertThickness = 0;   // 0 when the vertical bar is not shown
  bool LeftScrollBar = false;
};
TRect ScrollHorzBarRect(const TlxScrollFrame& f);
TRect ScrollVertBarRect(const TlxScrollFrame& f);
// The square between the two bars: empty unless both are shown.
TRect ScrollCornerRect(const TlxScrollFrame& f);
