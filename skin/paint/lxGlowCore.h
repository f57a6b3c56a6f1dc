// The window-free part of the glow windows: where a glow window lies around a control (its
// size from the glow mask's borders and margin, cut to the control's visible part) and the
// picture it shows, painted from the glow mask's first state as premultiplied colour with the
// mask's coverage as alpha, which is what a per-pixel-alpha layered window reads. Owns
// nothing: buffers and masks are the caller's.
#pragma once

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sMaskPaint.h"

// Where a glow window goes. Window: its rectangle in screen coordinates, cuts applied.
// FullRect: the uncut glow picture in the window's own coordinates (it starts left of and
// above the window by the left and top cuts), so painting it into a window-sized buffer
// keeps exactly the part that is shown.
struct TlxGlowGeometry {
  TRect Window;
  TRect FullRect;
};

// The glow around a control at controlRect (screen coordinates) whose visible part is
// visibleRect (control coordinates), for a mask with the border widths `borders` (left, top,
// right, bottom) pulled in by `margin` on every side. When the visible part differs in size
// from the control, the glow is cut at every edge where the visible part ends inside the
// control, so that no halo shows beyond it. False when nothing of the control shows, when the
// glow would be narrower or lower than 1 pixel or larger than a work bitmap may be, or when an
// input lies outside the sane range.
bool GlowGeometry(const TRect& controlRect, const TRect& visibleRect, const TRect& borders, int margin,
                  TlxGlowGeometry& out);

// Paints the first state of the glow mask, as the frame painter lays it over fullRect, into
// dst (32-bit; cleared first to fully transparent): every pixel premultiplied colour with the
// mask's coverage as alpha. The coverage of a picture pixel is 255 less the red byte of its
// band pixel (masks with bands), else 255; key pixels (0xFF00FF) cover nothing. Nothing but
// the clearing for a mask the frame painter would not paint or whose first frame and band do
// not lie inside its image.
void PaintGlowImage(const TlxPixelBuffer& dst, const TRect& fullRect, const TlxMaskImage& mask);
