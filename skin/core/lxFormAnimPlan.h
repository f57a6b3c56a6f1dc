// The arithmetic of a skinned form's timer effects, free of windows: the minimize and restore
// run between the form and its taskbar button (steps, per-step moves, alpha), where that run
// ends when the button itself cannot be found, and the alpha step of blend on moving.
#pragma once

#include "framework/base/Types.h"

// The current rectangle of the minimize run, kept in fractions so that small per-step moves
// add up.
struct TlxRectF {
  double Left = 0, Top = 0, Right = 0, Bottom = 0;
  double Width() const { return Right - Left; }
  double Height() const { return Bottom - Top; }
};

struct TlxMinPlan {
  int Steps = 1;
  // Centre movement per step.
  double DX = 0, DY = 0;
  // Half the size change per step.
  double DW = 0, DH = 0;
  double AlphaStep = 0;
};

// Timer interval of the minimize run (ms).
constexpr int MinTimerInterval = 15;
// Timer interval of blend on moving (ms).
constexpr int MoveTimerInterval = 12;

// The integer centre of a rectangle (halves rounded toward zero).
TPoint RectCentre(const TRect& r);
// `time`: the minimize animation's time in ms; `startAlpha`: the form's own opacity.
TlxMinPlan MakeMinPlan(int time, const TRect& start, const TRect& target, int startAlpha);
// One step toward the target (minimizing) or back (restoring).
void MinimizeStep(TlxRectF& r, const TlxMinPlan& plan);
void RestoreStep(TlxRectF& r, const TlxMinPlan& plan);
// The next alpha of either direction: down by the step to no less than 0; up by the rounded
// step to no more than 255.
double MinimizeAlpha(double alpha, const TlxMinPlan& plan);
int RestoreAlpha(double alpha, const TlxMinPlan& plan);

// Where a minimized form goes when its taskbar button is unknown: an empty rectangle on the
// taskbar's inner edge facing the form. The edge is the side of the taskbar's monitor it
// touches; without a taskbar (or an empty one) the bottom of the work area, at the form's
// centre.
TRect TaskbarEdgeTarget(const TRect& taskbar, const TRect& monitor, const TRect& workArea,
                        const TRect& start);

// Where a taskbar button's data lies in the shell's button records, which have the shell's own
// pointer size: 64-bit where the system is 64-bit (this program 64-bit, or 32-bit under
// WOW64) and the shell does not run under WOW64. `ReachesAll`: this program can read the
// shell's memory at any address the record names (a 32-bit one only below 4 GiB).
struct TlxTaskbarRecordLayout {
  int Size = 20;
  int DataAt = 12;
  int DataSize = 4;
  bool ReachesAll = false;
};
TlxTaskbarRecordLayout TaskbarRecordLayout(bool self64, bool selfUnderWow64, bool shellUnderWow64);

// The alpha step of blend on moving: the whole way at once for times below 13 ms, else spread
// over time / 12 ticks, and never 0 while the target is below opaque.
int BlendMoveStep(int time, int target);
