// The GDI side of captions and small glyphs: text rendered through a DC and laid into 32-bit
// bitmaps in a colour or as a glow (the 8-bit grey mask the caller caches), the soft shadow over
// a framework bitmap, text measuring and shortening on a canvas, the small arrow, focus and
// dotted frames on a DC, glyph states of a strip bitmap, the nine-piece copy by BitBlt and
// StretchBlt, and channel copies. The pixel work is the window-free core (sTextEffects,
// sGlyphPaint). Owns nothing beyond each call but the mask the caller keeps.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include <windows.h>

#include <memory>
#include <string>

#include "skin/paint/sGlyphPaint.h"
#include "skin/paint/sTextEffects.h"

// ---- text into 32-bit bitmaps --------------------------------------------------------------

// Renders the text black on white, with the bitmap canvas's font, into a temporary bitmap of
// r's size and lays its ink into the bitmap at r in the colour (ComposeInk). Nothing for an
// empty text or rectangle; raises EAssertionFailed for a bitmap that is not 32-bit.
void DrawTextWithEffect(TBitmap* bitmap, const std::string& text, TColor color, UINT format, const TRect& r);

// The glow of a caption: the mask (an 8-bit grey-palette bitmap the caller keeps between
// paints, rebuilt only when its size is not r grown by glowSize + 4) holds the text, with the
// target canvas's font, shifted by the offset flags (1 left, 2 up, 4 right, 8 down) and then in
// place, blurred by GaussianBlur8 with sigma glowSize; it is laid into the target in the glow
// colour (ComposeGlow). Nothing for a glow size of 0 or less or an empty text.
void PaintTextGlow(TBitmap* target, const std::string& text, const TRect& r, std::unique_ptr<TBitmap>& mask,
                   TColor glowColor, int glowSize, int offsetFlags, UINT format);

// The soft rounded shadow over what r of the bitmap shows (see sTextEffects.h).
void DrawSoftShadow(TBitmap* bitmap, const TRect& r, int transparency, int radius, int blur, TColor color);

// ---- measuring -----------------------------------------------------------------------------

// The canvas's text width and size, its TextRect, GetTextExtentPoint32 and DrawText of a string
// on a DC (returning DrawText's height; r is updated by DT_CALCRECT), and a font's height from
// GetTextMetrics on the screen DC (0 for no font).
int TextWidthOf(TCanvas* canvas, const std::string& text);
TSize TextExtentOf(TCanvas* canvas, const std::string& text);
void TextRectOf(TCanvas* canvas, const TRect& r, int x, int y, const std::string& text);
TSize TextExtentStr(HDC dc, const std::string& text);
int DrawTextStr(HDC dc, const std::string& text, TRect& r, UINT format);
int FontHeightOf(TFont* font);
// ShortenText measured with the canvas's font.
std::string ShortenText(TCanvas* canvas, const std::string& text, int width);

// ---- small glyphs --------------------------------------------------------------------------

// The solid small arrow centred in r (saRight, saDown; other directions draw nothing).
void DrawSmallArrow(TCanvas* canvas, TColor color, const TRect& r, int direction);
// `count` nested one-pixel frames from r inwards, each drawn as two polylines: the top-left edge
// in the first colour, the bottom-right edge in the second. The DC's pen is put back.
void DrawFocusFrame(HDC dc, const TRect& r, TColor topLeftColor, int count, TColor bottomRightColor);
// The dotted frame of DottedFramePixels (right and bottom inclusive) on the canvas.
void DrawDottedFrame(TCanvas* canvas, const TRect& inclusive, TColor a, TColor b);

// ---- glyph strips and frame pieces ---------------------------------------------------------

// One glyph of a strip of `count` equal columns at r's top-left of a 32-bit destination (see
// TlxGlyphState); a strip of any format is made 32-bit first, a 16-colour one counting as low
// colour. Nothing for a count below 1 or no strip.
void PaintGlyphState(TBitmap* glyph, TBitmap* dst, const TRect& r, int stateIndex, int blendPercent, int kind,
                     int disabledKinds, bool useStates, int count, bool lowColor = false);
// The opaque nine-piece copy of srcRect of src into dstRect of dst (StretchPiecePlan): BitBlt for
// pieces of equal size, StretchBlt in COLORONCOLOR mode for the others.
void StretchPiece(TBitmap* dst, TBitmap* src, const TRect& dstRect, const TRect& srcRect, const TlxStretchSpec& layout);
// CopyChannel between a 32-bit and an 8-bit framework bitmap.
void CopyChannel(TBitmap* image, TBitmap* mask, int channel, bool toMask);
