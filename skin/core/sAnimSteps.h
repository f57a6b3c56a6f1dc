// The step plans of the animations, window-free: the weights of a control's cross-fade, and
// the alphas and picture rectangles of a form's show, hide and skin-change frames. The window
// code (skin/core/win/sFade, skin/forms/sAnimations) walks these plans frame by frame; every
// rule of counting and rounding lives here and runs under the sanitizers. Owns nothing.
#pragma once

#include <functional>
#include <vector>

#include "framework/base/Types.h"
#include "skin/core/sConst.h"

// One frame of a form animation is shown this many milliseconds after the one before.
constexpr int AnimFrameInterval = 12;

// The pause of the GUI thread inside a blocking animation step: between two frames of a form
// animation, and after a button's pressed face was shown at once. Sleeps by default; tests put
// a recorder in.
extern std::function<void(int milliseconds)> AnimSleep;

// Frames after the first of an animation of `time` milliseconds (time div 12; never below 0).
int AnimStepCount(int time);

// --- control fades
// The weight the old image keeps at `level` of a fade of `iterations` steps:
// 255 - level x 256 / iterations, limited to 0-255 (0 for no iterations).
int FadeWeight(int level, int iterations);
// The steps of a fade that starts while another one may still run: the section's step count,
// or for the held direction 1 the level reached and for direction 2 what was left of it; halved
// on request (rounding toward zero). Never below 0.
int FadeIterations(int stepCount, int heldDirection, int heldLevel, bool halve);
// The level a fade starts at: kept when it lies in 1 .. iterations - 1, else 1.
int FadeStartLevel(int level, int iterations);

// Whether a control fades on `event` (0-7; others never): in its own set, or with aeGlobalDef
// in it, when the matching button event is in the manager's set.
bool FadeEventInSets(int event, TlxAnimatEvents controlEvents, TlxBtnEvents managerEvents);

// --- form frames
struct TlxAnimFrame {
  int Alpha = 0;
  TRect Rect;   // where the picture is drawn in the copy window (the whole window for atFading)
};

// A show (or a skin change fading in) of `time` ms towards `target`: frames i = 0 .. n with
// n = time div 12, each adding target / n to the alpha (at most target); atAero grows the
// picture from (w/8, h/8, w - w/8, h - h/8) to (0, 0, w, h). No frames when n < 1: the final
// image shows at once.
std::vector<TlxAnimFrame> ShowFrames(int time, TlxAnimType kind, int target, int width, int height);
// A hide of `time` ms from `startAlpha`: frames i = 0 .. n, each taking startAlpha / n off
// (never below 0); atAero shrinks the picture from (0, 0, w, h) by w / (8n), h / (8n) a side.
// No frames when n < 1: the copy goes without being shown.
std::vector<TlxAnimFrame> HideFrames(int time, TlxAnimType kind, int startAlpha, int width, int height);
// The weights the old image keeps in the n + 1 frames of a skin change drawn on a cover window
// (no layered windows): falling from 255 by 255 / n; none when n < 1.
std::vector<int> CoverBlendWeights(int time);
// The old border image's alpha while the new one fades in to `target`: 3 x (target - current),
// at most 255 and never below 0.
int OldImageAlpha(int target, int current);
