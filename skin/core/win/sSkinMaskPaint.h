// Mask painting over the skin's own records: the nine-piece frame, single state images and
// window regions of a TsMaskData painted into the framework's bitmaps, the transparent corners
// of a control image filled from its parent's background, and the clipping of graphic child
// controls. The pixel work is the window-free core of skin/paint (sMaskPaint); this unit turns
// the records and bitmaps into its views. Owns nothing: bitmaps, regions, DCs and records are
// the caller's.
//
// Every routine raises EAssertionFailed "Bitmap format is not supported" when the bitmap it
// paints into is not 32-bit; other bad input paints nothing.
//
// The skin manager is not an object here yet: routines take its tables (TsSkinTables) and its
// master bitmap (the image of masks without their own bitmap) as plain parameters.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Controls.h"

#include <windows.h>

#include "skin/core/sSkinData.h"
#include "skin/paint/sBackgroundInfo.h"
#include "skin/paint/sMaskPaint.h"

// What the painting core reads of a mask entry: its own bitmap when that is a 32-bit bitmap,
// else `master`. An entry with neither an owning manager nor an image to paint from paints
// nothing. The image view stays valid while the bitmaps keep their size and format.
TlxMaskImage MaskImageOf(const TsMaskData& mask, TBitmap* master);

// The nine-piece frame of a mask by state into dstRect of a 32-bit bitmap; nothing for a state
// 0 with draw mode value 2, a rectangle below 2 x 2, or no image.
void PaintMaskFrame(TBitmap* dst, const TRect& dstRect, bool fillCorners, int state, const TsMaskData& mask,
                    const TsBackgroundInfo& bg, TBitmap* master);
// One state image of the mask at `maskIndex` with its top-left corner at pt; nothing for an
// index outside the tables.
void DrawMaskState(TBitmap* dst, TPoint pt, int state, const TsBackgroundInfo& bg, const TsSkinTables* sm,
                   int maskIndex, int mode, TBitmap* master);

// One piece of ControlRegionFromMask: srcRect of `src` copied (mask type 0) or blended through
// the band `bandOffset` rows below (other types) to (dx, dy). With a region, key pixels
// (0x00FF00FF) are not painted and each row's runs of them are combined into the region: by
// exclusive-or when an opaque pixel ends the run, by difference when the row ends it.
void PaintPieceCutRegion(const TlxPixelBuffer& dst, int dx, int dy, const TlxPixelBuffer& src, const TRect& srcRect,
                         int maskType, int bandOffset, HRGN region);
// Paints the mask over the whole bitmap and cuts the corners' key pixels out of `region` (in
// the bitmap's coordinates; normally the bitmap's rectangle). Nothing for a bitmap below 2 x 2,
// a mask without owner or image, or a mask type below 0 (a band height of no rows).
void ControlRegionFromMask(TBitmap* bitmap, HRGN region, bool paintCentre, int state, const TsMaskData& mask,
                           TBitmap* master);

// The key pixels of the four corners of a control's cache bitmap take the background behind
// the control, asked of its parent control (or, for a windowed control without one, of its
// parent window). Nothing without a valid mask index, cache bitmap or owner, for a mask whose
// transparent-corners value is 0, or when nobody can be asked. A colour answer of 0xFF00FF
// leaves the pixels as they are.
void FillControlCorners(TBitmap* cache, TControl* owner, const TsSkinTables* sm, int maskIndex, int state,
                        TBitmap* master);

// Excludes from the DC's clip region the rectangle (moved by the offsets) of every visible
// graphic child control of `parent`; none when graphic controls are painted separately.
void ExcludeChildControls(HDC dc, TWinControl* parent, int yOffset, int xOffset, bool graphicsPaintedSeparately);
