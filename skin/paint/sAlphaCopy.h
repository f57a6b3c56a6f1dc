// Alpha copies and blends between pixel buffers: key-aware copies, copies through a mask's
// transparency band, alpha-over composition, constant-alpha blends, tints, merges and the
// general image copy with blend, tint and reflection. Owns nothing; window-free. Every routine
// limits its rows and columns to both buffers itself: out-of-range input paints nothing.
//
// Blend through a band value m (0..255): ((destination - source) * m + source * 256) >> 8:
// m = 0 gives the source, m = 255 nearly the destination.
#pragma once

#include <cstdint>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

inline Byte BandMix(int d, int s, int m) { return static_cast<Byte>(((d - s) * m + s * 256) >> 8); }
// round(s - (s - d) * f) for blue, green and red; alpha byte 0.
std::uint32_t MixFactorRGB(std::uint32_t s, std::uint32_t d, double f);

// One clipped copy: w x h pixels from (SX, SY) to (DX, DY); Empty() when nothing is left.
struct TlxCopySpan {
  int DX = 0, DY = 0, SX = 0, SY = 0, W = 0, H = 0;
  bool Empty() const { return W <= 0 || H <= 0; }
};
// The smaller of the two rectangles' sizes at their top-left corners, limited to both buffers
// (negative coordinates moved in on both sides).
TlxCopySpan ClipCopy(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst,
                     const TlxPixelBuffer& src);

// A piece of a mask image whose transparency band lies bandOffset rows below the picture (half
// the mask's source height for frame pieces). Over a bitmap background with fill, and over a
// colour without fill, each channel blends with the band's own channel; otherwise the band's
// red byte is the transparency of all three.
void CopyMaskPiece(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, int bandOffset,
                   bool fill, const TlxBackgroundView& bg, const TlxPixelBuffer& src);
// n pixels of src blended into d through the band pixels m, each channel with the band's own
// channel; d keeps its alpha. With skipKey, src pixels equal to 0x00FF00FF leave d (one row of
// CopyMaskPiece without fill over a colour, the tiling case). SIMD where available, the same
// integer results.
void BandBlendRow(Byte* d, const Byte* src, const Byte* m, int n, bool skipKey);
// Key-aware copy of the inclusive source rectangle to (dx, dy); key in colour order.
void CopyTransparentPiece(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int dx, bool fill,
                          const TlxBackgroundView& bg, TColor key, const TRect& srcInclusive, int dy);
// The two piece copies above (the same pixels, in the same order) row by row through row
// pointers, with whole-row band blends where the piece is not painted onto its own image; the
// frame's fast path paints its corners with them.
void CopyMaskPieceRows(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, int bandOffset,
                       bool fill, const TlxBackgroundView& bg, const TlxPixelBuffer& src);
void CopyTransparentPieceRows(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int dx, bool fill,
                              const TlxBackgroundView& bg, TColor key, const TRect& srcInclusive, int dy);
// Copies every source pixel of the inclusive rectangle that is not the key; alpha as it is.
void CopyMaskPieceKeyed(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int dx, TColor key,
                        const TRect& srcInclusive, int dy);
// The whole source (32 or 24 bits a pixel) at (x, y), key pixels skipped (a 32-bit pixel
// equal to the key with alpha 0; a 24-bit pixel equal to the key's colour), written pixels get
// alpha 255.
void CopyBitmapKeyedRef(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, TColor key, int y);
void CopyBitmapKeyedFast(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, TColor key, int y);
void CopyBitmapKeyed(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, int x, TColor key, int y);
// Alpha-over by the source's alpha; destination alpha a becomes a + sa * (255 - a) div 255.
// With fill, key pixels take the background's pixel with alpha 255.
void CopyBitmapRectRef(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool fill,
                       const TlxBackgroundView& bg, const TlxPixelBuffer& src);
void CopyBitmapRectFast(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool fill,
                        const TlxBackgroundView& bg, const TlxPixelBuffer& src);
void CopyBitmapRect(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool fill,
                    const TlxBackgroundView& bg, const TlxPixelBuffer& src);
// For each non-key source pixel: destination = round(source - (source - destination) * factor).
void BlendWithBackground(const TlxPixelBuffer& dst, int x, int y, TColor key, double factor,
                         const TRect& srcInclusive, const TlxPixelBuffer& src);
// Every pixel but 0x00FF00FF: channel = round(factor * (channel - colour) + colour).
void TintBitmap(const TlxPixelBuffer& b, TColor c, double factor);
// channel = colour + (channel - colour) * mask channel / 256; nothing for different sizes.
void MultiplyByMask(const TlxPixelBuffer& b, const TlxPixelBuffer& mask, TColor c);
// Constant-alpha blend of equal-sized buffers (alpha = weight of the destination).
void BlendBitmapsFast(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, Byte alpha);
// The source rectangle onto the destination at pt; negative pt moves the source rectangle.
void BlendBitmapPart(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, Byte alpha, TPoint pt,
                     const TRect& srcRect);
// out = B + (A - B) * m / 256 per byte, m from the mask or the constant; equal sizes only.
void MergeByMask(const TlxPixelBuffer& out, const TlxPixelBuffer& a, const TlxPixelBuffer& b, Byte constant,
                 const TlxPixelBuffer* mask);
// The image copy of image lists and glyphs: weight = source alpha (times (100 - blend) / 100),
// optional tint (clNoneTint = none), key pixels skipped or filled from a bitmap background, and
// an optional fading reflection below the destination rectangle.
void CopyWithAlphaRef(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool reflected,
                      int blendPercent, TColor tint, bool fillKey, const TlxBackgroundView& bg,
                      const TlxPixelBuffer& src);
void CopyWithAlphaFast(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool reflected,
                       int blendPercent, TColor tint, bool fillKey, const TlxBackgroundView& bg,
                       const TlxPixelBuffer& src);
void CopyWithAlpha(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, bool reflected,
                   int blendPercent, TColor tint, bool fillKey, const TlxBackgroundView& bg,
                   const TlxPixelBuffer& src);
