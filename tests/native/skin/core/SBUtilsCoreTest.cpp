// The skinned scroll bars' thumb, drag position, parts under a point and bar rectangles.
#include <gtest/gtest.h>

#include "skin/core/lxSBUtilsCore.h"

namespace {

// A 200-pixel bar with 17-pixel arrows: a 166-pixel track.
constexpr TlxScrollBarLen kBar{200, 17, 10};

TEST(SBUtilsCore, ThumbAndDrag) {
  const struct {
    TlxScrollInfo Info;
    int Size;
    int Offset;   // of the thumb at Info.nPos
    int DragOffset, DragPos;
  } cases[] = {
      {{0, 99, 0, 0}, 17, 0, 0, 0},                  // no page: as long as an arrow
      {{0, 99, 10, 50}, 17, 83, 83, 50},
      {{0, 9999, 1, 0}, 10, 0, 0, 0},                // raised to the least thumb
      {{-2, 0x7FFFFFFF, 10, 0}, 0, 0, 0, -2},        // too wide to scale
      {{100, 200, 10, 100}, 16, 0, 82, 150},         // counted from nMin
      {{0, 99, 0, 0}, 17, 0, 149, 99},               // no page counts as 1: at most nMax
      {{0, 99, 100, 0}, 166, 0, 0, 0},               // the thumb fills the track: no division
  };
  for (const auto& c : cases) {
    const TlxThumb t = ScrollThumb(c.Info, kBar);
    EXPECT_EQ(t.Size, c.Size) << c.Info.nMin << ".." << c.Info.nMax << " page " << c.Info.nPage;
    EXPECT_EQ(t.Offset, c.Offset) << c.Info.nMin << ".." << c.Info.nMax << " page " << c.Info.nPage;
    EXPECT_EQ(ScrollDragPos(c.Info, kBar, t.Size, c.DragOffset), c.DragPos)
        << c.Info.nMin << ".." << c.Info.nMax << " page " << c.Info.nPage;
  }
}

TEST(SBUtilsCore, MulDivRounding) {
  const struct {
    int A, B, C, Want;
  } cases[] = {{5, 3, 2, 8}, {-5, 3, 2, -8}, {5, -3, -2, 8}, {7, 1, 3, 2}, {1, 1, 0, -1},
               {0x40000000, 4, 1, -1}};
  for (const auto& c : cases)
    EXPECT_EQ(ScrollMulDiv(c.A, c.B, c.C), c.Want) << c.A << " " << c.B << " " << c.C;
}

TEST(SBUtilsCore, PartUnderPoint) {
  const TlxScrollInfo info{0, 99, 10, 50};   // thumb 17 at 17 + 83 = 100 .. 117
  const struct {
    TRect Bar;
    bool Vertical;
    TPoint At;
    int Want;
  } cases[] = {
      {{0, 0, 30, 17}, false, {14, 5}, sbpFirstArrow},    // 30 pixels: two 15-pixel arrows
      {{0, 0, 30, 17}, false, {15, 5}, sbpSecondArrow},
      {{0, 0, 30, 17}, false, {15, 17}, sbpNone},         // below the bar
      {{0, 0, 17, 200}, true, {5, 16}, sbpFirstArrow},
      {{0, 0, 17, 200}, true, {5, 183}, sbpSecondArrow},
      {{0, 0, 17, 200}, true, {5, 99}, sbpTrackBefore},
      {{0, 0, 17, 200}, true, {5, 100}, sbpThumb},
      {{0, 0, 17, 200}, true, {5, 117}, sbpTrackAfter},
      {{10, 0, 210, 17}, false, {126, 0}, sbpThumb},      // the bar's own start counts
      {{0, 0, 17, 200}, true, {17, 100}, sbpNone},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ScrollHitPart(c.Bar, c.Vertical, c.At, info, 17, 10), c.Want) << c.At.X << "," << c.At.Y;
}

TEST(SBUtilsCore, NoThumbOnShortBar) {
  const TlxScrollBarLen b{30, 17, 10};
  EXPECT_EQ(ScrollArrowExtent(b), 15);
  EXPECT_FALSE(ScrollThumbShown(ScrollThumb({0, 99, 10, 50}, b), b));
}

TEST(SBUtilsCore, BarAndCornerRects) {
  // A 100 x 80 window with 2-pixel borders, 16-pixel bars.
  const TlxScrollFrame right{{0, 0, 100, 80}, 2, 2, 2, 2, 16, 16, false};
  TlxScrollFrame left = right, horzOnly = right;
  left.LeftScrollBar = true;
  horzOnly.VertThickness = 0;
  const struct {
    TlxScrollFrame Frame;
    TRect Horz, Vert, Corner;
  } cases[] = {
      {right, {2, 62, 82, 78}, {82, 2, 98, 62}, {82, 62, 98, 78}},
      {left, {18, 62, 98, 78}, {2, 2, 18, 62}, {2, 62, 18, 78}},
      {horzOnly, {2, 62, 98, 78}, {98, 2, 98, 62}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScrollHorzBarRect(c.Frame), c.Horz) << c.Frame.LeftScrollBar << c.Frame.VertThickness;
    EXPECT_EQ(ScrollVertBarRect(c.Frame), c.Vert) << c.Frame.LeftScrollBar << c.Frame.VertThickness;
    EXPECT_EQ(ScrollCornerRect(c.Frame), c.Corner) << c.Frame.LeftScrollBar << c.Frame.VertThickness;
  }
}

}  // namespace
