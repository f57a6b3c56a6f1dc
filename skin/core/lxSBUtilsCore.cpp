// The skinned scroll bars' window-free geometry. Lengths may come from any skin or window, so
// every sum is taken over 64 bits and brought back into the int range before scaling.
#include "skin/core/lxSBUtilsCore.h"

#include <algorithm>
#include <climits>

namespace {

using i64 = std::int64_t;

int Sat(i64 v) { return static_cast<int>(std::clamp<i64>(v, INT_MIN, INT_MAX)); }

// The span of the scroll range that a thumb moves over: range - max(1, nPage) + 1.
i64 PosSpan(const TlxScrollInfo& si) {
  return static_cast<i64>(si.nMax) - si.nMin - std::max<i64>(1, si.nPage) + 1;
}

}  // namespace

int ScrollMulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  i64 n = static_cast<i64>(a) * b, d = c;
  if (d < 0) {
    n = -n;
    d = -d;
  }
  // Half the divisor moves the quotient away from zero, as the system rounds.
  const i64 q = (n >= 0 ? n + d / 2 : n - d / 2) / d;
  return q > INT_MAX || q < -INT_MAX ? -1 : static_cast<int>(q);
}

int TlxScrollBarLen::Track() const {
  return Sat(static_cast<i64>(Length) - 2 * static_cast<i64>(Arrow));
}

TlxThumb ScrollThumb(const TlxScrollInfo& si, const TlxScrollBarLen& b) {
  const i64 range = static_cast<i64>(si.nMax) - si.nMin;
  if (range > ScrollMaxRange) return {};
  const int track = b.Track();
  TlxThumb t;
  t.Size = si.nPage == 0 ? b.Arrow
                         : std::max(ScrollMulDiv(Sat(si.nPage), track, Sat(range + 1)), b.MinThumb);
  const int room = Sat(static_cast<i64>(track) - t.Size);
  const int off = ScrollMulDiv(Sat(static_cast<i64>(si.nPos) - si.nMin), room, Sat(PosSpan(si)));
  t.Offset = std::max(0, std::min(off, room));
  return t;
}

bool ScrollThumbShown(const TlxThumb& t, const TlxScrollBarLen& b) {
  return 2 * static_cast<i64>(b.Arrow) < b.Length && t.Size > 0 && t.Size < b.Track();
}

int ScrollArrowExtent(const TlxScrollBarLen& b) {
  return 2 * static_cast<i64>(b.Arrow) < b.Length ? b.Arrow : b.Length / 2;
}

int ScrollHitPart(const TRect& bar, bool vertical, TPoint p, const TlxScrollInfo& si, int arrow,
                  int minThumb) {
  const int cross = vertical ? p.X : p.Y;
  if (cross < (vertical ? bar.Left : bar.Top) || cross >= (vertical ? bar.Right : bar.Bottom))
    return sbpNone;
  const i64 start = vertical ? bar.Top : bar.Left;
  const i64 len = static_cast<i64>(vertical ? bar.Bottom : bar.Right) - start;
  const i64 along = static_cast<i64>(vertical ? p.Y : p.X) - start;
  if (along < 0 || along >= len) return sbpNone;
  const TlxScrollBarLen b{Sat(len), arrow, minThumb};
  const int e = ScrollArrowExtent(b);
  if (along < e) return sbpFirstArrow;
  if (along >= len - e) return sbpSecondArrow;
  const TlxThumb t = ScrollThumb(si, b);
  if (t.Size >= b.Track()) return sbpNone;
  const i64 thumbStart = static_cast<i64>(arrow) + t.Offset;
  if (along < thumbStart) return sbpTrackBefore;
  if (along < thumbStart + t.Size) return sbpThumb;
  return along < len - arrow ? sbpTrackAfter : sbpNone;
}

int ScrollDragPos(const TlxScrollInfo& si, const TlxScrollBarLen& b, int thumbSize, int offset) {
  const i64 room = static_cast<i64>(b.Track()) - thumbSize;
  const i64 hi = static_cast<i64>(si.nMin) + PosSpan(si);   // nMax - max(1, nPage) + 1
  if (room <= 0 || hi <= si.nMin) return si.nMin;
  const i64 pos = si.nMin + static_cast<i64>(ScrollMulDiv(offset, Sat(PosSpan(si)), Sat(room)));
  return static_cast<int>(std::clamp<i64>(pos, si.nMin, hi));
}

TRect ScrollHorzBarRect(const TlxScrollFrame& f) {
  TRect r;
  r.Left = f.Window.Left + f.LeftEdge + (f.LeftScrollBar ? f.VertThickness : 0);
  r.Right = f.Window.Right - f.RightEdge - (f.LeftScrollBar ? 0 : f.VertThickness);
  r.Bottom = f.Window.Bottom - f.BottomEdge;
  r.Top = r.Bottom - f.HorzThickness;
  return r;
}

TRect ScrollVertBarRect(const TlxScrollFrame& f) {
  TRect r;
  r.Top = f.Window.Top + f.TopEdge;
  r.Bottom = f.Window.Bottom - (f.HorzThickness + f.BottomEdge);
  if (f.LeftScrollBar) {
    r.Left = f.Window.Left + f.LeftEdge;
    r.Right = r.Left + f.VertThickness;
  } else {
    r.Right = f.Window.Right - f.RightEdge;
    r.Left = r.Right - f.VertThickness;
  }
  return r;
}

TRect ScrollCornerRect(const TlxScrollFrame& f) {
  if (f.HorzThickness <= 0 || f.VertThickness <= 0) return {};
  const TRect v = ScrollVertBarRect(f);
  return TRect{v.Left, v.Bottom, v.Right, v.Bottom + f.HorzThickness};
}
