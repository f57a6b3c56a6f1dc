// Mask and border painting on pixel buffers: the nine-piece frame painter (shrink, tile,
// stretch, by state), the stretched band copy, single state images, the corner key runs of
// window regions and the copy of a background into frame corners. Owns nothing: masks,
// images and destinations are borrowed. Window-free; the parts that need a device context or a
// region live in win/, and the adapter from the skin's mask records fills TlxMaskImage.
#pragma once

#include <vector>

#include "framework/base/Types.h"
#include "skin/paint/sAlphaGraph.h"

// Draw-mode bits of a mask.
constexpr int dmStretch = 1;     // stretch sides and centre (else tile them)
constexpr int dmNoNormal = 2;    // paint nothing in state 0
constexpr int dmPaintCentre = 4; // paint the centre

// What painting reads of one mask entry.
struct TlxMaskImage {
  TlxPixelBuffer Image;        // the mask's own bitmap, else the skin's master bitmap
  bool OwnImage = false;       // Image is the mask's own bitmap
  bool HasManager = true;      // without an owning skin manager nothing is painted
  TRect SrcRect;               // the mask inside Image
  int ImageCount = 1;          // state frames side by side
  int MaskType = 0;            // 0 picture only; n: the height holds n + 1 bands
  int DrawMode = 0;            // dm* bits (or a texture mode)
  int WL = 0, WT = 0, WR = 0, WB = 0;  // border widths
  int CornerType = 0;          // > 0: corner key pixels show the background
};

// Frame width: rectangle width div image count (0 for no images).
int MaskFrameWidth(const TlxMaskImage& m);
// Band height: rectangle height div (mask type + 1); the whole height for type 0, 0 for
// types below 0.
int MaskFrameHeight(const TlxMaskImage& m);

// Shrinks two border widths that do not fit an extent so that they meet exactly:
// lead + trail == extent afterwards (the excess is split, the odd pixel from trail).
void ShrinkBorders(int extent, int& lead, int& trail);

// Runs of a tiled span [start, end): whole tiles while one more still fits with room to
// spare, then the rest cropped from the tile's start (never squeezed). (position, length).
// Only runs meeting [lo, hi) are listed (the visible part of a long span).
std::vector<std::pair<int, int>> TileRuns(int start, int end, int tile, int lo = -lxMaxCoord, int hi = lxMaxCoord);

enum class TlxPieceKind { Corner, Side, Centre };
struct TlxMaskPiece {
  TRect Dst;
  TRect Src;
  TlxPieceKind Kind = TlxPieceKind::Corner;
  bool Vertical = false;  // a side tiled along y (left and right sides)
};
struct TlxMaskLayout {
  std::vector<TlxMaskPiece> Pieces;  // in painting order
  int BandOffset = 0;
  int WL = 0, WT = 0, WR = 0, WB = 0;  // border widths after shrinking
};

// The nine pieces of a frame painted into dstRect (order: top-left, left, top, bottom-left,
// bottom, bottom-right, top-right, right, centre when drawn). false when nothing is painted.
bool MaskFrameLayout(const TRect& dstRect, int state, const TlxMaskImage& mask, TlxMaskLayout& out);

// Paints a mask frame by state into dstRect. Nothing for a state 0 with dmNoNormal, a
// rectangle below 2 x 2, no manager or no images. Ref tiles sides and centre tile by tile;
// Fast lays a tile's rows out once over the painted width and paints whole rows (the same
// pixels); PaintMaskFrame picks Fast unless ORBEX_NO_FAST_PIXELS.
void PaintMaskFrameRef(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                       const TlxMaskImage& mask, const TlxBackgroundView& bg);
void PaintMaskFrameFast(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                        const TlxMaskImage& mask, const TlxBackgroundView& bg);
void PaintMaskFrame(const TlxPixelBuffer& dst, const TRect& dstRect, bool fillCorners, int state,
                    const TlxMaskImage& mask, const TlxBackgroundView& bg);

// Nearest-neighbour stretch (the COLORONCOLOR look) of srcRect onto dstRect, clipped to both.
void StretchCopyNearest(const TlxPixelBuffer& dst, const TRect& dstRect, const TlxPixelBuffer& src,
                        const TRect& srcRect);
// The window system's own stretch (StretchBlt, SRCCOPY, stretch mode COLORONCOLOR) of srcRect
// onto dstRect, painting only inside `clip` and dst; false when it could not be done. The GDI
// layer installs one at start-up, so that stretched skin pieces show the system's pixels.
using TlxStretchBltProc = bool (*)(const TlxPixelBuffer& dst, const TRect& dstRect, const TRect& clip,
                                   const TlxPixelBuffer& src, const TRect& srcRect);
// Installs the system's stretch (nil: none, the nearest-neighbour kernel is used).
void SetStretchBltProc(TlxStretchBltProc proc);
// A stretch as the system paints it where one is installed, else StretchCopyNearest; only
// inside `clip` (the part of dstRect that may be painted).
void StretchPixels(const TlxPixelBuffer& dst, const TRect& dstRect, const TRect& clip, const TlxPixelBuffer& src,
                   const TRect& srcRect);
// Plain copy of srcRect to (dx, dy), clipped.
void CopyPixelRect(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, const TRect& srcRect);

// Stretches a piece with its transparency band bandOffset rows below onto the destination.
void StretchRegion(int dx, int dy, int dw, bool fill, int bandOffset, const TlxPixelBuffer& src,
                   const TlxPixelBuffer& dst, int sh, int sw, int sy, int sx, int dh);

// The band copy of one state image (rows and columns limited to both rectangles, the
// destination and the band).
void CopyThroughMask(const TRect& dstRect, const TRect& srcRect, const TlxPixelBuffer& dst,
                     const TlxMaskImage& mask, int mode, const TlxPixelBuffer& src);
// Draws one state image of a mask with its top-left corner at pt.
void DrawMaskState(const TlxPixelBuffer& dst, TPoint pt, int state, const TlxBackgroundView& bg,
                   const TlxMaskImage& mask, int mode);

// One-pixel-high rectangles of the key runs in the corner rows of the first state frame (top
// corners, or bottom corners with bottom set), for cutting a window region. Row i of the
// corner rows (counted from the corner's first row) lands at y = yOffset + i: a window's
// bottom corners are collected with yOffset = window height - bottom width.
void CollectCornerKeyRuns(std::vector<TRect>& list, int windowWidth, const TlxMaskImage& mask, bool bottom,
                          int yOffset);

// Hit-test corner codes.
constexpr int htTopLeft = 13, htTopRight = 14, htBottomLeft = 16, htBottomRight = 17;
// Copies the background (src at srcPoint) into the key pixels of one corner of dst within
// dstRect; the key test is made on the mask's corner (mask given) or on dst itself (nil).
void CopyBackgroundToCorners(const TlxPixelBuffer& dst, const TlxPixelBuffer& src, const TRect& dstRect,
                             int corner, const TlxMaskImage* mask, TPoint srcPoint);
