#include "skin/core/sAnimSteps.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

std::function<void(int)> AnimSleep = [](int ms) {
  if (ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(ms));
};

int AnimStepCount(int time) { return time > 0 ? time / AnimFrameInterval : 0; }

int FadeWeight(int level, int iterations) {
  if (iterations <= 0) return 0;
  const long long w = 255 - static_cast<long long>(level) * 256 / iterations;
  return static_cast<int>(std::clamp<long long>(w, 0, 255));
}

int FadeIterations(int stepCount, int heldDirection, int heldLevel, bool halve) {
  int iterations = stepCount;
  if (heldDirection == 1)
    iterations = heldLevel;
  else if (heldDirection == 2)
    iterations = stepCount - heldLevel;
  if (halve) iterations /= 2;
  return std::max(iterations, 0);
}

int FadeStartLevel(int level, int iterations) { return level >= 1 && level <= iterations - 1 ? level : 1; }

bool FadeEventInSets(int event, TlxAnimatEvents controlEvents, TlxBtnEvents managerEvents) {
  if (event < 0 || event > 7) return false;
  if ((controlEvents & (1u << event)) != 0) return true;
  if ((controlEvents & AnimatEventBit(aeGlobalDef)) == 0 || event > beMouseUp) return false;
  return (managerEvents & (1u << event)) != 0;
}

namespace {

int RoundAlpha(double a) { return static_cast<int>(std::lround(std::clamp(a, 0.0, 255.0))); }

// The picture rectangle `k` steps of w / (8n), h / (8n) in from the window's sides.
TRect InsetRect(int k, int n, int width, int height) {
  const double dx = width / (8.0 * n) * k, dy = height / (8.0 * n) * k;
  return TRect{static_cast<int>(std::lround(dx)), static_cast<int>(std::lround(dy)),
               static_cast<int>(std::lround(width - dx)), static_cast<int>(std::lround(height - dy))};
}

}   // namespace

std::vector<TlxAnimFrame> ShowFrames(int time, TlxAnimType kind, int target, int width, int height) {
  std::vector<TlxAnimFrame> frames;
  const int n = AnimStepCount(time);
  if (n < 1) return frames;
  target = std::clamp(target, 0, 255);
  double alpha = 0;
  for (int i = 0; i <= n; ++i) {
    alpha = std::min<double>(target, alpha + static_cast<double>(target) / n);
    TlxAnimFrame f;
    f.Alpha = RoundAlpha(alpha);
    f.Rect = kind == atAero ? InsetRect(n - i, n, width, height) : TRect{0, 0, width, height};
    frames.push_back(f);
  }
  return frames;
}

std::vector<TlxAnimFrame> HideFrames(int time, TlxAnimType kind, int startAlpha, int width, int height) {
  std::vector<TlxAnimFrame> frames;
  const int n = AnimStepCount(time);
  if (n < 1) return frames;
  startAlpha = std::clamp(startAlpha, 0, 255);
  double alpha = startAlpha;
  for (int i = 0; i <= n; ++i) {
    alpha = std::max(0.0, alpha - static_cast<double>(startAlpha) / n);
    TlxAnimFrame f;
    f.Alpha = RoundAlpha(alpha);
    f.Rect = kind == atAero ? InsetRect(i, n, width, height) : TRect{0, 0, width, height};
    frames.push_back(f);
  }
  return frames;
}

std::vector<int> CoverBlendWeights(int time) {
  std::vector<int> weights;
  const int n = AnimStepCount(time);
  if (n < 1) return weights;
  for (int i = 0; i <= n; ++i)
    weights.push_back(std::max(0, static_cast<int>(std::lround(255.0 - 255.0 / n * i))));
  return weights;
}

int OldImageAlpha(int target, int current) { return std::clamp(3 * (target - current), 0, 255); }
