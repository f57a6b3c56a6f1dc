// A skinned form's screen snap, its own drag frame and the hit-test answers its frame keeps.
#include "skin/core/sFormMoves.h"

#include <gtest/gtest.h>

#include <climits>

TEST(FormMoves, SnapWithinTheBufferOnly) {
  // Buffer 10: 9 pixels from an edge snaps, 10 does not; both sides of the edge.
  EXPECT_EQ(SnapAxis(9, 0, 10, 0), 0);
  EXPECT_EQ(SnapAxis(-9, 0, 10, 0), 0);
  EXPECT_EQ(SnapAxis(10, 0, 10, 0), 10);
  EXPECT_EQ(SnapAxis(-10, 0, 10, 0), -10);
  // The offset is the form's width at the right edge: its right side lands on the edge.
  EXPECT_EQ(SnapAxis(1280 - 300 - 9, 1280, 10, 300), 980);
  EXPECT_EQ(SnapAxis(1280 - 300 - 10, 1280, 10, 300), 970);
  // Coordinates at the ends of the range neither overflow nor snap.
  EXPECT_EQ(SnapAxis(INT_MAX, 0, 10, INT_MAX), INT_MAX);
  EXPECT_EQ(SnapAxis(INT_MIN, 0, 10, -1), INT_MIN);
}

TEST(FormMoves, SnapPositionEdgesInOrder) {
  TsSnapInput in;
  in.WorkArea = Rect(0, 0, 1280, 770);
  in.Width = 400;
  in.Height = 300;
  in.X = 1280 - 400 - 9;   // 9 from the right
  in.Y = 770 - 300 + 9;    // 9 past the bottom
  EXPECT_EQ(SnapPosition(in), Point(880, 470));
  in.X = 1280 - 400 - 10;
  in.Y = 100;
  EXPECT_EQ(SnapPosition(in), Point(870, 100));
  // A form wider than the work area near both sides: the left edge, tested later, wins.
  in.Width = 1285;
  in.X = -3;
  EXPECT_EQ(SnapPosition(in).X, 0);
  // Around an extended-border window the offsets move the snapping line outwards.
  in.Width = 400;
  in.BorderOffset = 12;
  in.TopOffset = 20;
  in.X = 5;
  in.Y = 15;
  EXPECT_EQ(SnapPosition(in), Point(12, 20));
}

TEST(FormMoves, DragFrameKeepsTheMinimum) {
  const TRect start = Rect(100, 100, 500, 400);
  EXPECT_EQ(DragFrameRect(start, true, 2, -30, 40, 50, 50), Rect(70, 140, 470, 440));
  EXPECT_EQ(DragFrameRect(start, false, 17, 20, 30, 50, 50), Rect(100, 100, 520, 430));
  EXPECT_EQ(DragFrameRect(start, false, 13, -10, -20, 50, 50), Rect(90, 80, 500, 400));
  // Dragged past the opposite edge: the frame stops at its minimum, the other edge stays.
  EXPECT_EQ(DragFrameRect(start, false, 10, 1000, 0, 120, 60), Rect(380, 100, 500, 400));
  EXPECT_EQ(DragFrameRect(start, false, 15, 0, -1000, 120, 60), Rect(100, 100, 500, 160));
  EXPECT_EQ(DragFrameRect(start, false, 14, -1000, 1000, 120, 60), Rect(100, 340, 220, 400));
  // A negative minimum counts as none.
  EXPECT_EQ(DragFrameRect(start, false, 11, -500, 0, -5, -5), Rect(100, 100, 100, 400));
  // An unknown kind changes nothing.
  EXPECT_EQ(DragFrameRect(start, false, 2, 40, 40, 0, 0), start);
}

TEST(FormMoves, HitCodesTheFrameKeeps) {
  for (int code : {3, 8, 9, 16, 17, 20, 21, 101, 102, 103, 1000, 1005}) EXPECT_TRUE(FrameKeepsHitCode(code)) << code;
  for (int code : {-1, 0, 1, 2, 4, 5, 10, 11, 12, 13, 14, 15, 18, 19, 100, 104, 999}) EXPECT_FALSE(FrameKeepsHitCode(code)) << code;
  for (int code : {8, 9, 20, 21, 101, 103, 1000, 1100}) EXPECT_TRUE(HotElementCode(code)) << code;
  for (int code : {0, 2, 3, 5, 17, 1101}) EXPECT_FALSE(HotElementCode(code)) << code;
}
