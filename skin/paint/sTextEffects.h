// The window-free pixel work behind skinned captions and small glyphs: the glow laid from a
// blurred 8-bit text mask, the ink of text rendered black on white laid in a colour, the rings
// of the soft rounded shadow, text shortened with dots by an injected measurer, and the pixels
// of the small arrow and the dotted frame. Owns nothing but short-lived work buffers; the text
// itself is rendered by the GDI side (win/sTextPaintWin).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

// ---- glow ------------------------------------------------------------------------------------

// Where a caption's glow goes: the text rectangle grown by Margin (glow size + 4) on every
// side. Draw is false for a glow size of 0 or less, for an insane rectangle and for an area
// beyond the work-bitmap limit; nothing is painted then.
struct TlxGlowPlan {
  bool Draw = false;
  int Margin = 0;
  TRect Area;
};
TlxGlowPlan GlowPlan(const TRect& textRect, int glowSize);
// True when a cached mask can be reused: exactly the area's size (a resize rebuilds it).
bool GlowMaskFits(const TlxPixelBuffer& mask, const TlxGlowPlan& plan);
// The text copies drawn into the mask, shifted one pixel left (flag 1), up (2), right (4),
// down (8), in this order, then the unshifted one; returns how many of `out` were filled.
int GlowTextOffsets(int offsetFlags, TPoint (&out)[5]);
// Lays a blurred 8-bit mask at `at` of a 32-bit target: for every mask value v other than 255
// over a target pixel, each colour channel c becomes glow + (c - glow) * v / 255 (truncated)
// and alpha a becomes a + (255 - v) * (255 - a) / 255. Glow in colour order. Pixels outside the
// target are skipped; a mask that is not 8-bit paints nothing.
void ComposeGlow(const TlxPixelBuffer& target, const TlxPixelBuffer& mask, TPoint at, TColor glow);
// Fills an 8-bit mask with white and blurs it after `drawText` has drawn the text in black at
// (margin, margin) plus each offset; the whole rebuild of a glow mask except the text itself.
void BuildGlowMask(const TlxPixelBuffer& mask, const TlxGlowPlan& plan, int glowSize, int offsetFlags,
                   const std::function<void(TPoint)>& drawText);

// ---- ink -------------------------------------------------------------------------------------

// Lays text rendered black on white (`temp`, 32-bit) into the target at `at` in a colour
// (colour order): every temporary pixel that is not white gives the ink g = (r + g + b) / 3 and
// the target pixel becomes colour + (target - colour) * g / 256 per channel, alpha 255. Rows
// and columns are limited to the target.
void ComposeInk(const TlxPixelBuffer& target, const TlxPixelBuffer& temp, TPoint at, TColor color);

// ---- soft shadow -----------------------------------------------------------------------------

// The grey mask of a soft rounded shadow in a 32-bit buffer (r = g = b = level, alpha 255):
// white outside, then rounded rings inset by 0 .. k - 1 pixels at the levels
// g + round((255 - g) * (k - i) / (k + 1)), the inner rounded rectangle (inset k) at g, where
// g = t * 255 / 100 (t limited to 0 .. 100) and k = min(blur, width / 2, height / 2). The corner
// radius is limited the same way.
void SoftShadowMask(const TlxPixelBuffer& mask, int transparency, int radius, int blur);
// The shadow over what r of the bitmap already shows: the piece under r is multiplied by the
// mask with the colour (colour where the mask is black, unchanged where it is white). r is
// limited to the bitmap.
void DrawSoftShadow(const TlxPixelBuffer& b, const TRect& r, int transparency, int radius, int blur, TColor color);

// ---- text shortening ---------------------------------------------------------------------------

// The text when it fits the width; else its longest prefix that fits with "..." appended,
// followed by the dots; an empty prefix gives "" (not the dots alone). A width of 0 or less
// gives "". `measure` gives a text's width in pixels.
std::string ShortenText(const std::string& text, int width, const std::function<int(const std::string&)>& measure);

// ---- small glyphs ----------------------------------------------------------------------------

// One run of pixels of a small glyph: Length pixels from (X, Y), downwards when Vertical.
struct TlxPixelRun {
  int X = 0, Y = 0, Length = 0;
  bool Vertical = false;
  friend bool operator==(const TlxPixelRun&, const TlxPixelRun&) = default;
};
constexpr int saRight = 4;   // the arrow's tip points right: columns 7, 5, 3, 1 high
constexpr int saDown = 8;    // the tip points down: rows 7, 5, 3, 1 wide
// The four runs of a solid small arrow centred in r; empty for other directions.
std::vector<TlxPixelRun> SmallArrowRuns(const TRect& r, int direction);
void DrawSmallArrow(const TlxPixelBuffer& b, TColor color, const TRect& r, int direction);

// One pixel of the dotted frame, in colour B (the dot) or A (the pixel before it).
struct TlxFramePixel {
  int X = 0, Y = 0;
  bool IsB = false;
};
// Along the top and bottom edges, for i = 0 .. width / 3, the pixel at left + 3i in colour B and
// the one before it in colour A; along the left and right edges the same for top + 3i. Right
// and bottom are inclusive. Only pixels on lines that cross `clip` (what is drawn on) are listed;
// nothing for an inverted or insane rectangle.
std::vector<TlxFramePixel> DottedFramePixels(const TRect& inclusive, const TRect& clip);
void DrawDottedFrame(const TlxPixelBuffer& b, const TRect& inclusive, TColor a, TColor bColor);
