// Section backgrounds and section items painted from the skin's records into the framework's
// bitmaps: the fill of a section state (colour, gradient, texture, see-through share) over
// what lies behind, the section's corner images and border mask, and the same painted into a
// device context or looked up by name. The pixel work is the window-free core of skin/paint
// (sSectionFill, sTextures, sGradient, sMaskPaint); this unit resolves the section's values
// and textures from the tables. Owns nothing but short-lived work bitmaps.
//
// Every routine raises EAssertionFailed "Bitmap format is not supported" when the bitmap it
// paints into is not 32-bit; other bad input paints nothing.
//
// The skin manager and the per-control skin state are not objects here yet: routines take the
// manager's tables (TsSkinTables), its master bitmap and the control's settings (custom colour,
// hue offset, saturation) as plain parameters.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Controls.h"

#include <windows.h>

#include <memory>
#include <string>

#include "skin/core/sSkinData.h"
#include "skin/paint/sBackgroundInfo.h"
#include "skin/paint/sSectionFill.h"

// The values of one state of a section as the fill core reads them; the texture views point
// into `keep`, which must outlive the state. False for a section outside the tables.
struct TsSectionStateStore {
  TlxMaskImage Texture;
  TlxMaskImage Overlay;
  TlxPixelBuffer Pattern;
  std::unique_ptr<TBitmap> PatternCopy;   // a JPEG or non-32-bit pattern made 32-bit
};
bool ResolveSectionState(const TsSkinTables* sm, int sectionIndex, const std::string& sectionName, int state,
                         TColor customColor, int hotTextureIndex, int textureIndex, TBitmap* master,
                         TlxSectionState& out, TsSectionStateStore& keep);

// The section's fill for a state into r of a 32-bit bitmap, laid over the background by the
// state's transparency. pt is r's position inside the background info's bitmap. customColor
// 0xFF00FF means none; texture indexes of -1 mean the section's own. The state index is
// clipped to the section's state count. Nothing without tables or for a section outside them.
void PaintSectionBackground(int sectionIndex, const std::string& sectionName, const TsBackgroundInfo& bg,
                            TColor customColor, int hotTextureIndex, int textureIndex, const TsSkinTables* sm,
                            TBitmap* bitmap, TPoint pt, const TRect& r, int state, TBitmap* master);

// The background of a control's section: PaintSectionBackground with the section's own name,
// the control's custom colour (0xFF00FF for none) and textures (-1 for the section's own).
void PaintSectionBackgroundOnly(int sectionIndex, const TsSkinTables* sm, TColor customColor, int hotTextureIndex,
                                int textureIndex, const TsBackgroundInfo& bg, int state, TBitmap* bitmap, TPoint pt,
                                const TRect& r, TBitmap* master);

// The section's fill for a colour state as the scroll-bar engine paints it: over a colour
// background (or none) the fill is painted directly, a fully see-through state taking the
// background colour (never the key colour); over a bitmap background it is laid on the
// background piece by the transparency.
void PaintSectionImage(TBitmap* bitmap, const TRect& r, int sectionIndex, int state, const TsSkinTables* sm,
                       const TsBackgroundInfo& bg, TPoint pt, TBitmap* master);
// PaintSectionImage followed by the border mask at `maskIndex` (when valid).
void PaintSectionWithBorder(TBitmap* bitmap, const TRect& r, int sectionIndex, int maskIndex, int state,
                            const TsSkinTables* sm, const TsBackgroundInfo& bg, TPoint pt, TBitmap* master);

// The plain border of a window drawn from its section: with a border mask, the mask painted
// into the control's cache bitmap at r (over the parent's piece for a banded mask, else over
// strips of the section colour), and `inner` becomes r less the mask's borders; a border width
// w > 0 then fills the space between the mask's borders and w with the section colour and, when
// `dc` is not the cache's, copies the four strips of width w to it; `inner` becomes r less w.
// Without a mask, strips of width w are filled into the DC. The state is limited to the
// section's states.
void PaintBorderToDC(HDC dc, const TRect& r, int borderWidth, TRect& inner, int state, TBitmap* cache,
                     TControl* owner, const TsSkinTables* sm, int sectionIndex, int maskIndex, TBitmap* master);

// The background, then the section's four corner images and its border mask. Nothing without a
// bitmap, for an empty rectangle, or one that starts outside the bitmap or at a negative left or
// top; the rest of the rectangle is clipped to the bitmap.
void PaintSectionItem(int sectionIndex, const std::string& sectionName, const TsBackgroundInfo& bg,
                      int hotTextureIndex, int textureIndex, const TsSkinTables* sm, TBitmap* bitmap, TPoint pt,
                      const TRect& r, int state, TBitmap* master);

// PaintSectionItem into a new 32-bit bitmap of r's size, copied to the DC at r (the DC is saved
// and restored).
void PaintSectionItemToDC(int sectionIndex, const std::string& sectionName, const TsBackgroundInfo& bg,
                          int hotTextureIndex, int textureIndex, const TsSkinTables* sm, HDC dc, TPoint pt,
                          const TRect& r, int state, TBitmap* master);

// PaintSectionItem of the section named `name`, or `secondName` when there is none by the first
// name; with `copyFrom` the DC's pixels under r are first copied into the bitmap and serve as
// the background. False when neither name is found.
bool PaintSectionByName(const std::string& name, const std::string& secondName, TBitmap* bitmap, const TRect& r,
                        int state, const TsSkinTables* sm, HDC copyFrom, TBitmap* master);

// The section item of a control: its background (its custom colour, 0xFF00FF for none), the
// corner images, the border mask, then the whole bitmap shifted in hue and saturation when
// those settings are not 0 — except for a section whose "RESERVEDBOOLEAN" flag is set when no
// border mask was painted (none, or state 0 of a mask that paints nothing in it).
void PaintControlItem(int sectionIndex, const TsSkinTables* sm, TColor customColor, int hueOffset, int saturation,
                      const TsBackgroundInfo& bg, TBitmap* bitmap, TPoint pt, const TRect& r, int state,
                      TBitmap* master);
// PaintControlItem over the background asked of the owner's parent control (or, for a windowed
// control without one, of its parent window); the owner's position is added to a bitmap answer.
void PaintControlItemFromParent(TControl* owner, int sectionIndex, const TsSkinTables* sm, TColor customColor,
                                int hueOffset, int saturation, TBitmap* bitmap, int state, TBitmap* master);

// The disabled look of a control image (see MakeDisabledLook of sBitmapKernels), the colour
// mixed in without a background being the control's own (GetControlColor).
void MakeDisabledLook(TBitmap* bitmap, int flags, TControl* control, TPoint offset, const TsBackgroundInfo& bg);
