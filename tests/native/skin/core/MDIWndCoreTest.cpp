// The MDI client adapter's thumb scrolling.
#include "skin/core/lxMDIWndCore.h"

#include <gtest/gtest.h>

TEST(MDIWndCore, AThumbMovesTheContentsByTheChangeOfPosition) {
  struct Step {
    int TrackPos, Min, Moved;
  } steps[] = {
      {3, 0, -24},   // 0 -> 3
      {3, 0, 0},     // let go where it was
      {1, 0, 16},    // back toward the start
      {6, 5, 0},     // a bar starting at 5: position 1 again
  };
  TlxMDIThumbScroll bar;
  for (const Step& s : steps) EXPECT_EQ(bar.Release(s.TrackPos, s.Min), s.Moved) << s.TrackPos;
}
