#include "skin/core/lxFormAnimPlan.h"

#include <algorithm>
#include <cmath>

TPoint RectCentre(const TRect& r) { return Point(r.Left + r.Width() / 2, r.Top + r.Height() / 2); }

TlxMinPlan MakeMinPlan(int time, const TRect& start, const TRect& target, int startAlpha) {
  TlxMinPlan p;
  p.Steps = std::max(time / MinTimerInterval, 1);
  const TPoint sc = RectCentre(start);
  const TPoint tc = RectCentre(target);
  p.DX = double(tc.X - sc.X) / p.Steps;
  p.DY = double(tc.Y - sc.Y) / p.Steps;
  p.DW = double(start.Width() - target.Width()) / (2.0 * p.Steps);
  p.DH = double(start.Height() - target.Height()) / (2.0 * p.Steps);
  p.AlphaStep = double(startAlpha) / std::max(1, p.Steps - 1);
  return p;
}

void MinimizeStep(TlxRectF& r, const TlxMinPlan& p) {
  r.Left += p.DX + p.DW;
  r.Right += p.DX - p.DW;
  r.Top += p.DY + p.DH;
  r.Bottom += p.DY - p.DH;
}

void RestoreStep(TlxRectF& r, const TlxMinPlan& p) {
  r.Left -= p.DX + p.DW;
  r.Right += p.DW - p.DX;
  r.Top -= p.DY + p.DH;
  r.Bottom += p.DH - p.DY;
}

double MinimizeAlpha(double alpha, const TlxMinPlan& p) { return std::max(0.0, alpha - p.AlphaStep); }

int RestoreAlpha(double alpha, const TlxMinPlan& p) {
  return static_cast<int>(std::min(std::lround(alpha + p.AlphaStep), 255L));
}

TRect TaskbarEdgeTarget(const TRect& taskbar, const TRect& monitor, const TRect& workArea,
                        const TRect& start) {
  const TPoint c = RectCentre(start);
  if (taskbar.IsEmpty()) return Rect(c.X, workArea.Bottom, c.X, workArea.Bottom);
  const bool wide = taskbar.Width() >= taskbar.Height();
  if (wide) {
    if (taskbar.Top <= monitor.Top && taskbar.Bottom < monitor.Bottom)
      return Rect(c.X, taskbar.Bottom, c.X, taskbar.Bottom);
    if (taskbar.Bottom >= monitor.Bottom) return Rect(c.X, taskbar.Top, c.X, taskbar.Top);
  } else {
    if (taskbar.Left <= monitor.Left && taskbar.Right < monitor.Right)
      return Rect(taskbar.Right, c.Y, taskbar.Right, c.Y);
    if (taskbar.Right >= monitor.Right) return Rect(taskbar.Left, c.Y, taskbar.Left, c.Y);
  }
  // A taskbar touching no side of its monitor: the work area's bottom.
  return Rect(c.X, workArea.Bottom, c.X, workArea.Bottom);
}

int BlendMoveStep(int time, int target) {
  const int range = 255 - std::clamp(target, 0, 255);
  if (range == 0) return 0;
  if (time < 13) return range;
  return std::max(1, static_cast<int>(std::lround(range / (time / 12.0))));
}

TlxTaskbarRecordLayout TaskbarRecordLayout(bool self64, bool selfUnderWow64, bool shellUnderWow64) {
  const bool system64 = self64 || selfUnderWow64;
  TlxTaskbarRecordLayout l;
  if (system64 && !shellUnderWow64) l = TlxTaskbarRecordLayout{32, 16, 8, false};
  l.ReachesAll = self64;
  return l;
}
