// A skinned form's geometry read from its live window, and its window region: the system's
// metrics (each read once), the form description for skin/core/sFormMetrics, the cut-away
// rectangles of the skin's rounded corners, the region made from them and applied to the
// window, and the saving and restoring of the title-button strip of the frame cache.
//
// Owns nothing beyond what it returns: CreateRegion's region belongs to the caller; the
// window takes the region UpdateRegion applies. Bitmaps, forms and skin tables are borrowed.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <string>
#include <vector>

#include "framework/win/WinTypes.h"
#include "skin/core/sFormMetrics.h"
#include "skin/core/sSkinData.h"

class TBitmap;

// The system's own metrics; each value is read at its first use and kept for the program's
// life, so a frame never changes size under a running form.
const ISystemMetrics& SystemMetrics();

int WindowWidthOf(HWND wnd);
int WindowHeightOf(HWND wnd);
int ClientWidthOf(HWND wnd);
int ClientHeightOf(HWND wnd);
// The work area of the monitor nearest the form (the primary one's without a window).
TRect MonitorWorkArea(TCustomForm* form);

// What the form and its window tell of the geometry: styles, border style and width, state,
// bounds (the window's size unless iconic: the form's own bounds lag behind a change of its
// window until the change returns), window and client sizes, visible scroll bars, the main
// menu and where its first item ends. HasSystemMenu is the WS_SYSMENU bit: a provider that takes that bit sets it from
// the system menu it kept. The provider's and the skin's values (shadows, border window,
// title icon, ShowAppIcon, Skinned, ApplySkinGeometry) are left to the caller. A form
// without a window gives its bounds only.
TsFormGeometry FormGeometryOf(TCustomForm* form);

// The cut-away rectangles of the window region, in cache coordinates: the list is emptied,
// then gets the key-colour corner runs of the border mask's top part at y 0 and of its bottom
// part at the form's bottom, and those of the title section's "BORDERSMASK" at y 0 (the
// section `titleSection`, "FORMTITLE" when empty). `width` is the cache width, `height` the
// form height. Nothing is added for indexes outside the tables or masks without an image.
void BuildRegionRects(std::vector<TRect>& list, const TsSkinTables* tables, TBitmap* master, int borderIndex,
                      const std::string& titleSection, int width, int height);

// The rectangle (x, y, x + width, y + height) less every cut-away rectangle moved by (x, y).
// An empty owner when the system refuses a region.
TOwnedRegion CreateRegion(int x, int y, int width, int height, const std::vector<TRect>& cuts);

// Applies the form's window region as PlanFormRegion decides (window coordinates), with or
// without redraw; flags.Changing is set around the change and flags.Changed cleared. False
// when nothing was applied (skipped, or the system refused the region).
bool UpdateRegion(TCustomForm* form, const TsFormGeometry& f, const ISystemMetrics& sm, const std::vector<TRect>& cuts,
                  bool drawNonClientArea, bool inMenu, TsRegionFlags& flags, bool redraw);

// The title-button strip of the frame cache into the work bitmap (which takes the cache's
// pixel format and the strip's size), and back; the caller restores with the strip of its
// last save. Both copies are clipped to both bitmaps, so a strip wider than a narrow form
// copies only what exists. Nothing without bitmaps; 32-bit bitmaps only (the frame cache
// always is one).
void SaveTitleButtonsArea(TBitmap* work, TBitmap* cache, const TsTitleStrip& strip);
void RestoreTitleButtonsArea(TBitmap* cache, TBitmap* work, const TsTitleStrip& strip);
