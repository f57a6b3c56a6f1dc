// Where a bound label sits (see sBoundLabelLayout.h).
#include "skin/core/sBoundLabelLayout.h"

namespace {

// Half of a difference, rounded up (also for a label taller than its control).
int HalfUp(int d) { return d >= 0 ? (d + 1) / 2 : d / 2; }

}  // namespace

TPoint BoundLabelPosition(TsCaptionLayout layout, const TRect& c, TSize l, int indent) {
  const int left = c.Left - l.cx - indent - 4;
  const int centre = c.Left + (c.Width() - l.cx) / 2;
  const int right = c.Right - l.cx;
  const int above = c.Top - l.cy - indent;
  const int below = c.Bottom + indent;
  switch (layout) {
    case sclLeft: return TPoint{left, c.Top + HalfUp(c.Height() - l.cy)};
    case sclTopLeft: return TPoint{c.Left, above};
    case sclTopCenter: return TPoint{centre, above};
    case sclTopRight: return TPoint{right, above};
    case sclLeftTop: return TPoint{left, c.Top + 3};
    case sclBottomLeft: return TPoint{c.Left, below};
    case sclBottomCenter: return TPoint{centre, below};
    case sclBottomRight: return TPoint{right, below};
  }
  return TPoint{c.Left, c.Top};
}
