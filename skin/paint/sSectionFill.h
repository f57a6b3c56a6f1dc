// The window-free core of section backgrounds: the fill of one section state (colour,
// gradient share, texture share) and how it is laid over the background behind the control by
// the state's transparency. The skin records are read by the caller, which resolves the
// state's values and its texture into a TlxSectionState; this unit owns nothing.
#pragma once

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sGradient.h"
#include "skin/paint/sMaskPaint.h"

// What the fill of one state reads.
struct TlxSectionState {
  TColor Color = 0;                               // RGB
  int Transparency = 0;                           // percent; 100 fully see-through
  int GradientPercent = 0;
  int ImagePercent = 0;
  TsGradientArray Gradient;                       // parsed stops; empty: no gradient data
  const TlxMaskImage* Texture = nullptr;          // texture mask, or nil
  const TlxPixelBuffer* PatternImage = nullptr;   // texture from the skin's pattern images, or nil
  const TlxMaskImage* Overlay = nullptr;          // banded mode-10 texture painted over the result
};

// The fill of one state into r: texture and gradient by their shares, the rest in Color.
// bg is only read for a see-through colour mix and for banded textures.
void FillSection(const TlxPixelBuffer& b, const TRect& r, const TlxSectionState& s, const TlxBackgroundView& bg);

// The state's fill laid over the background: directly when no background is known or the state
// is opaque; the background alone at 100 percent; otherwise the fill blended over the
// background by the transparency. pt is r's position inside the background's bitmap.
void PaintSectionFill(const TlxPixelBuffer& b, const TRect& r, const TlxSectionState& s, const TlxBackgroundView& bg,
                      TPoint pt);
