// Texture painting of section fills into 32-bit pixel buffers: the tiling modes of a texture
// mask, plain tiling of a pattern image, and textures with a transparency band over a
// background. Owns nothing; window-free (JPEG pattern images are drawn by the framework's
// canvas in the GDI layer).
#pragma once

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"
#include "skin/paint/sMaskPaint.h"

// "Nothing left for the section colour".
constexpr TRect lxNoRect{-1, -1, -1, -1};

// Tiles an image over the rectangle (clipped), the last column and row cropped.
void TileTexture(const TlxPixelBuffer& dst, const TRect& r, const TlxPixelBuffer& image);

// Paints a texture into r by mode: a given pattern image is tiled over all of r; otherwise the
// mask's image piece (its source rectangle) is placed by the mask's tiling mode (0 tiled, 1
// stretched, 2/6 a row of tiles along the top/bottom, 3/7 a column along the left/right, 4/5 a
// row/column stretched along the edge, 10 whole rows of tiles). r becomes the part left for
// the section colour, or lxNoRect. Modes 8, 9 and above 10 are painted as mode 7.
void PaintTextureByMode(const TlxPixelBuffer& dst, TRect& r, const TlxPixelBuffer* image, int mode,
                        const TlxMaskImage& mask);

// One tile of a texture with a transparency band: non-key pixels blended through the band, key
// pixels take the background (bitmap pixel, or its colour when that is not 0xFF00FF).
void TileMaskPiece(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst, const TlxMaskImage& mask,
                   const TlxBackgroundView& bg);
// Tiles a banded texture (the mask's first frame) over r: mode 10 also fills the strips below
// the last whole row and right of the last whole column from the background. r becomes lxNoRect.
void FillSectionRect(const TlxPixelBuffer& dst, TRect& r, const TlxBackgroundView& bg, int mode,
                     const TlxMaskImage& mask);
