// Painters of a skinned frame shared by every frame the engine draws itself: a form's skin
// provider and a system dialog's adapter paint their title bars into a frame cache with these.
// They draw into the bitmap they are given and own nothing.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject.
#include "framework/win/Graphics.h"

#include <windows.h>

#include <string>

#include "skin/core/sSkinData.h"
#include "skin/paint/sBackgroundInfo.h"

class TsSkinManager;
struct TsFormGeometry;

// The state a section is painted in for the window's activity: 1 for an active window when
// the section has an active state, else 0 (also for an index outside the tables).
int StateIn(const TsSkinTables* t, int section, bool active);

// The size of one frame of a mask image (a title button's, the grip's); 0 x 0 for an index
// outside the tables.
TPoint MaskFrameSize(const TsSkinTables* t, int mask);

// A background description that reads from `bitmap` at `at`.
TsBackgroundInfo BackgroundOf(TBitmap* bitmap, TPoint at);

// Draws the icon at r's size into the cache; what the icon painted becomes opaque, every other
// pixel keeps the title's.
void DrawTitleIcon(TBitmap* cache, const TRect& r, HICON icon);

// The caption text in the cache's canvas font, in the title section's colours, over the
// "CAPTION" section's image where the skin has one (`captionIndex` -1: none). `r` is the text
// rectangle, `textWidth` the text's width in that font; `rightToLeft` reads it right to left.
void PaintCaptionText(TBitmap* cache, TsSkinManager* m, int titleIndex, int captionIndex, bool active,
                      const std::string& caption, const TRect& r, int textWidth, bool rightToLeft = false);

// Extended borders: the skin's shadow image (active or inactive) stretched round the frame with
// the shadow mask's widths and blended over the cache, which holds the window's whole image
// with the shadow margins of `f` round it. In drawing mode 1 the image's centre is drawn too.
void PaintExtFrameMask(TBitmap* cache, TsSkinManager* m, bool active, const TsFormGeometry& f, bool drawMode1);
// Extended borders: what was drawn over the frame inside the mask's edge (less the skin's
// content offset) is made opaque, and the image premultiplied for its upload.
void OpaqueExtFrame(TBitmap* cache, const TsFormGeometry& f, int contentOffset);
