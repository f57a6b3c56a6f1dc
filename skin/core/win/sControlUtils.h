// Small questions about controls and windows that the skin state and the skinned controls ask
// again and again, and the process-wide animation flag. Owns nothing; GUI thread only.
#pragma once

#include <windows.h>

class TControl;

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
