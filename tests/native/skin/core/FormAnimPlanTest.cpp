// The minimize run's steps and moves, the taskbar edge a form minimizes to, blend steps.
#include "skin/core/lxFormAnimPlan.h"

#include <gtest/gtest.h>

TEST(FormAnimPlan, MinimizeStepsAndDeltas) {
  const TRect start = Rect(100, 100, 500, 400);        // centre (300, 250), 400 x 300
  const TRect target = Rect(40, 740, 200, 770);        // centre (120, 755), 160 x 30
  TlxMinPlan p = MakeMinPlan(200, start, target, 255);
  EXPECT_EQ(p.Steps, 13);
  EXPECT_DOUBLE_EQ(p.DX, -180.0 / 13);
  EXPECT_DOUBLE_EQ(p.DY, 505.0 / 13);
  EXPECT_DOUBLE_EQ(p.DW, 240.0 / 26);
  EXPECT_DOUBLE_EQ(p.DH, 270.0 / 26);
  EXPECT_DOUBLE_EQ(p.AlphaStep, 255.0 / 12);
  // Below one interval, and negative times, give a single step (the alpha falls at once).
  EXPECT_EQ(MakeMinPlan(14, start, target, 255).Steps, 1);
  EXPECT_EQ(MakeMinPlan(-5, start, target, 255).Steps, 1);
  EXPECT_DOUBLE_EQ(MakeMinPlan(14, start, target, 200).AlphaStep, 200.0);
}

TEST(FormAnimPlan, MinimizeRunEndsOnTargetAndRestoreComesBack) {
  const TRect start = Rect(100, 100, 500, 400);
  const TRect target = Rect(40, 740, 200, 770);
  TlxMinPlan p = MakeMinPlan(200, start, target, 255);
  TlxRectF r{100, 100, 500, 400};
  double alpha = 255;
  int shown = 0;
  for (int i = 0; i < p.Steps; ++i) {
    MinimizeStep(r, p);
    alpha = MinimizeAlpha(alpha, p);
    if (alpha > 0) ++shown;
  }
  EXPECT_EQ(shown, 11);   // the twelfth step reaches 0 and ends the run
  EXPECT_NEAR(r.Left, 40, 1e-6);
  EXPECT_NEAR(r.Bottom, 770, 1e-6);
  EXPECT_NEAR(r.Width(), 160, 1e-6);
  // Back from the end: alpha climbs by the rounded step (21 a tick) and stops at the start
  // alpha after as many ticks as the way out took, the rectangle back at the start.
  int a = 0, ticks = 0;
  while (a < 255) {
    RestoreStep(r, p);
    a = RestoreAlpha(a, p);
    ++ticks;
  }
  EXPECT_EQ(a, 255);
  EXPECT_EQ(ticks, 13);
  EXPECT_NEAR(r.Left, 100, 1e-6);
  EXPECT_NEAR(r.Bottom, 400, 1e-6);
}

TEST(FormAnimPlan, TaskbarEdges) {
  const TRect mon = Rect(0, 0, 1280, 800);
  const TRect start = Rect(100, 100, 500, 400);   // centre (300, 250)
  // Bottom, top, left, right.
  EXPECT_EQ(TaskbarEdgeTarget(Rect(0, 770, 1280, 800), mon, Rect(0, 0, 1280, 770), start),
            Rect(300, 770, 300, 770));
  EXPECT_EQ(TaskbarEdgeTarget(Rect(0, 0, 1280, 30), mon, Rect(0, 30, 1280, 800), start),
            Rect(300, 30, 300, 30));
  EXPECT_EQ(TaskbarEdgeTarget(Rect(0, 0, 60, 800), mon, Rect(60, 0, 1280, 800), start),
            Rect(60, 250, 60, 250));
  EXPECT_EQ(TaskbarEdgeTarget(Rect(1220, 0, 1280, 800), mon, Rect(0, 0, 1220, 800), start),
            Rect(1220, 250, 1220, 250));
  // No taskbar or an empty one: the work area's bottom at the form's centre.
  EXPECT_EQ(TaskbarEdgeTarget(TRect{}, mon, Rect(0, 0, 1280, 780), start),
            Rect(300, 780, 300, 780));
  EXPECT_EQ(TaskbarEdgeTarget(Rect(0, 0, 0, 0), mon, Rect(0, 0, 1280, 780), start),
            Rect(300, 780, 300, 780));
}

TEST(FormAnimPlan, TaskbarOnASecondMonitor) {
  // The second monitor lies right of the first; its left taskbar starts at x = 1280, which
  // is neither 0 nor near it: its own monitor decides the edge.
  const TRect mon2 = Rect(1280, 0, 2560, 1024);
  const TRect start = Rect(1500, 200, 1900, 600);   // centre (1700, 400)
  EXPECT_EQ(TaskbarEdgeTarget(Rect(1280, 0, 1340, 1024), mon2, Rect(1340, 0, 2560, 1024), start),
            Rect(1340, 400, 1340, 400));
  EXPECT_EQ(TaskbarEdgeTarget(Rect(1280, 994, 2560, 1024), mon2, Rect(1280, 0, 2560, 994), start),
            Rect(1700, 994, 1700, 994));
  // A monitor above the first (negative top) with a top taskbar.
  const TRect mon3 = Rect(0, -768, 1024, 0);
  EXPECT_EQ(TaskbarEdgeTarget(Rect(0, -768, 1024, -738), mon3, Rect(0, -738, 1024, 0),
                              Rect(0, -600, 400, -400)),
            Rect(200, -738, 200, -738));
}

TEST(FormAnimPlan, BlendSteps) {
  EXPECT_EQ(BlendMoveStep(12, 170), 85);     // below 13 ms: one step
  EXPECT_EQ(BlendMoveStep(1000, 170), 1);    // 85 / 83.3
  EXPECT_EQ(BlendMoveStep(1000, 250), 1);    // 5 / 83.3 rounds to 0: at least 1
  EXPECT_EQ(BlendMoveStep(120, 155), 10);
  EXPECT_EQ(BlendMoveStep(1000, 255), 0);    // nothing to fade
  EXPECT_EQ(BlendMoveStep(1000, 300), 0);    // out-of-range targets are clamped
}

TEST(FormAnimPlan, TaskbarRecordsHaveTheShellsPointerSize) {
  struct Case { bool self64, selfWow, shellWow; int size, dataAt, dataSize; bool all; };
  const Case cases[] = {
      {false, false, false, 20, 12, 4, false},   // 32-bit system
      {false, true, false, 32, 16, 8, false},    // 32-bit program, 64-bit shell
      {false, true, true, 20, 12, 4, false},     // both under WOW64
      {true, false, false, 32, 16, 8, true},     // 64-bit program and shell
      {true, false, true, 20, 12, 4, true},      // 64-bit program, 32-bit shell
  };
  for (const Case& c : cases) {
    const TlxTaskbarRecordLayout l = TaskbarRecordLayout(c.self64, c.selfWow, c.shellWow);
    EXPECT_EQ(l.Size, c.size) << c.self64 << c.selfWow << c.shellWow;
    EXPECT_EQ(l.DataAt, c.dataAt) << c.self64 << c.selfWow << c.shellWow;
    EXPECT_EQ(l.DataSize, c.dataSize) << c.self64 << c.selfWow << c.shellWow;
    EXPECT_EQ(l.ReachesAll, c.all) << c.self64 << c.selfWow << c.shellWow;
  }
}
