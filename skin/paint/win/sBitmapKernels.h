// The painting kernels over the framework's bitmaps: the alpha copies and blends, the filtered
// resampling, the disabled look and the whole-bitmap colour transforms of the window-free core
// (sAlphaCopy, sSmoothStretch, sAlphaGraph, sColorMath), taking TBitmap and TsBackgroundInfo
// as the skin state, image lists and buttons hold them. Owns nothing but short-lived views;
// the bitmaps are the caller's.
//
// Formats: a bitmap painted into (a destination) must be 32-bit, else EAssertionFailed "Bitmap
// format is not supported" is raised. A bitmap read from (a source), or changed in place (tint,
// grey, hue, saturation, disabled look), is set to 32 bits first when it has another format
// (see Bitmap32Source), except where a routine says otherwise. Nil or empty bitmaps paint
// nothing.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Graphics.h"

#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sBackgroundInfo.h"
#include "skin/paint/sMaskPaint.h"

// The pixels of a bitmap read by the kernels, as 32 bits: a bitmap of another format is set to
// 32 bits (the bitmap itself changes) and made opaque, its key-colour pixels staying key
// pixels (0x00FF00FF), as the engine's images are. An empty view for no bitmap or an empty one.
TlxPixelBuffer Bitmap32Source(TBitmap* bitmap);

// A piece of a mask image with its transparency band half the mask's source height below
// (see CopyMaskPiece of sAlphaCopy).
void CopyMaskPiece(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, const TlxMaskImage& mask, bool fill,
                   const TsBackgroundInfo& bg, TBitmap* src);
void CopyTransparentPiece(TBitmap* dst, TBitmap* src, int dx, bool fill, const TsBackgroundInfo& bg, TColor key,
                          const TRect& srcInclusive, int dy);
void CopyMaskPieceKeyed(TBitmap* dst, TBitmap* src, int dx, TColor key, const TRect& srcInclusive, int dy);
// The whole source at (x, y), key pixels skipped; a source that is not 32-bit is set to 24 bits
// and read as three bytes a pixel.
void CopyBitmapKeyed(TBitmap* dst, TBitmap* src, int x, TColor key, int y);
void CopyBitmapRect(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, bool fill, const TsBackgroundInfo& bg,
                    TBitmap* src);
void BlendWithBackground(TBitmap* dst, int x, int y, TColor key, double factor, const TRect& srcInclusive,
                         TBitmap* src);
void TintBitmap(TBitmap* bitmap, TColor c, double factor);
void MultiplyByMask(TBitmap* bitmap, TBitmap* mask, TColor c);
void BlendBitmapsFast(TBitmap* dst, TBitmap* src, Byte alpha);
void BlendBitmapPart(TBitmap* dst, TBitmap* src, Byte alpha, TPoint pt, const TRect& srcRect);
void MergeByMask(TBitmap* out, TBitmap* a, TBitmap* b, Byte constant, TBitmap* mask);
void CopyWithAlpha(const TRect& dstRect, const TRect& srcRect, TBitmap* dst, bool reflected, int blendPercent,
                   TColor tint, bool fillKey, const TsBackgroundInfo& bg, TBitmap* src);

// Resamples src into dst (new size, filter). Nothing for a new width or height of 0 or less;
// the same size makes dst a copy of src. Otherwise the working format is 32-bit for a 32-bit
// source, else 24-bit: the source is set to it, and dst gets it with the new size. Raises
// Exception "Source bitmap is too small" for a source narrower or lower than 2 pixels.
void SmoothStretch(TBitmap* src, TBitmap* dst, int newWidth, int newHeight, int filter);

// The disabled look of a control image (see MakeDisabledLook of sAlphaGraph); controlColor is
// the control's colour, used when the info names neither a bitmap nor a colour.
void MakeDisabledLook(TBitmap* bitmap, int flags, TColor controlColor, TPoint offset, const TsBackgroundInfo& bg);
void GrayscaleBitmap(TBitmap* bitmap);
// The glyph laid over dst with its top-left corner at (x, y), by its alpha: a 32-bit glyph by
// its own alpha, another one opaque, where keyed is set with the colour of its bottom-left
// pixel left out; greyed draws it in grey. dst keeps its own alpha, or with raiseAlpha (a
// picture shown by its per-pixel alpha) takes the glyph's where that is higher. The glyph is
// not changed.
void DrawGlyphOver(TBitmap* dst, TBitmap* glyph, int x, int y, bool keyed, bool greyed, bool raiseAlpha = false);
void HueShiftBitmap(TBitmap* bitmap, int offset);
void SaturateBitmap(TBitmap* bitmap, int amount);
