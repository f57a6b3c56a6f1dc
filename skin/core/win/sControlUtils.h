// Small questions about controls and windows that the skin state and the skinned controls ask
// again and again, the painting of a container's graphic children over its skinned background,
// and the process-wide animation flag. Owns nothing; GUI thread only.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/StdCtrls.h"

#include <windows.h>

#include "framework/base/Types.h"

// Set for the whole of a form's show, hide or skin-change animation: child controls are not
// refreshed meanwhile. Cleared again by the skin-loaded and section-changed commands.
extern bool AnimationInProgress;

// False for no control, a windowed control without a window handle, one being read, created,
// loaded or destroyed, or one without a parent.
bool ControlIsPaintable(TControl* control);
// The outermost ancestor of the window by GetParent (the window itself when it has none);
// 0 for 0.
HWND TopLevelWindowOf(HWND wnd);
// Gives the window back the system's theme (SetWindowTheme with no names). The entry point is
// looked up in the theme library at the first call; without it nothing happens and the answer
// is false.
bool ResetWindowTheme(HWND wnd);
// Switches the system's visual style of the window off (SetWindowTheme with " " names), so
// that a skinned bar is drawn without it; false as above.
bool SwitchOffWindowTheme(HWND wnd);

// True when the child is a graphic control that is visible (or being designed), at least one
// pixel wide and high, not being destroyed, not a tool button that its bar paints itself
// (button, check or drop-down style), and whose bounds are visible in DC.
bool IsPaintableGraphicChild(TControl* child, HDC DC);
// Paints the graphic children of `control` over its background (its answer to command 34, or
// its colour) into DC, through one off-screen bitmap so that they do not flicker. Each child's
// area lands at its position plus `offset` (the DC's origin relative to the control's client
// area), except where the off-screen pixel there is clFuchsia. Nothing when the control is
// hidden (not designed) while `skipWhenHidden` is set, or has no children. A DC with an empty
// clip box marks the control partly hidden (command 22) and paints nothing; a child whose area
// in DC is not visible is marked the same way and painted all the same. An exception in a
// child's painting is swallowed: the other children are painted. Not re-entrant: a call made
// while one runs (from a child's painting) returns at once.
void PaintGraphicChildren(HDC DC, TWinControl* control, bool skipWhenHidden = true, TPoint offset = TPoint{});
// DrawText flags of a text alignment: left, DT_RIGHT or DT_CENTER, always with DT_EXPANDTABS
// and DT_VCENTER. An alignment out of range counts as left.
UINT TextAlignFlags(TAlignment alignment);
// The client area in window coordinates (origin at the window's top left corner); empty for 0.
TRect ClientRectInWindow(HWND wnd);
// The nearest owner that is a form, the component itself first; null without one.
TCustomForm* OwnerFormOf(TComponent* component);
// The sum of the heights (alTop, alBottom) or widths (alLeft, alRight) of the control's
// visible children with that alignment, graphic ones only with `withGraphic`; 0 for other
// alignments.
int AlignedChildrenExtent(TWinControl* control, TAlign align, bool withGraphic);
// The mouse position on the screen.
TPoint CursorPosition();
