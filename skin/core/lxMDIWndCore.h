// The window-free rule of the MDI client adapter's own thumb scrolling: a thumb let go moves
// the client's contents by 8 pixels a position, by the change from the position it last took.
// The adapter (skin/adapters/lxMDIWnd) reads the bars and calls this. Owns nothing.
// Window-free.
#pragma once

// Pixels the contents move for one position of the thumb.
constexpr int MDIScrollUnit = 8;

// One bar's last position, relative to its minimum (0 at the start).
struct TlxMDIThumbScroll {
  int LastPos = 0;
  // The thumb let go at trackPos of a bar starting at nMin: the pixels the contents move
  // (negative toward the start, as ScrollWindow takes them); the new position is kept, so a
  // thumb let go where it was moves nothing.
  int Release(int trackPos, int nMin);
};
