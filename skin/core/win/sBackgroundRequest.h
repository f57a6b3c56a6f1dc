// The asking side of a background exchange: a see-through control asks its parent control or
// parent window, with the skin command that carries a TsBackgroundRequest, for what lies
// behind it, and the answer becomes the TsBackgroundInfo that painting routines take. A parent
// that does not answer either paints itself into the asker's DC or gives its colour. Owns
// nothing: the request, the DC and any answered bitmap belong to the caller and the parent.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Controls.h"

#include <windows.h>

#include "skin/paint/sBackgroundInfo.h"

// The colour of a window that has no skin manager to ask: the system button face, in the
// framework's system-colour encoding of the engine's skins.
constexpr TColor BackgroundNoManagerColor = static_cast<TColor>(0xFF00000F);

// Asks `control` (command 34: by SendMessage when it has a window handle, else by Perform;
// nothing for no control or one being destroyed) and returns 1 when it answered. The request's
// PaintToDC as the caller left it is the fallback wish; the receiver is asked to paint into DC
// when `paint` is set. Unanswered with the fallback wish: the control paints itself into DC
// (WM_ERASEBKGND and WM_PAINT) shifted so that Rect of the asker lies over the right part of
// it; Rect is left moved by the offsets; Kind stays 0 (nothing is painted for a DC of 0).
// Unanswered without it: Kind 1 and the control's colour (its answer to command 21, or its own
// colour when that is 0), filled into DC at Rect when `paint` is set and the request carries a
// bitmap. Returns 0 then.
int RequestControlBackground(TsBackgroundRequest& request, TControl* control, bool paint);
// The same for a window handle (always by SendMessage). Without the fallback wish the colour
// is the default skin manager's global colour (see SetDefaultGlobalColorSource) and nothing is
// filled into the DC.
int RequestWindowBackground(TsBackgroundRequest& request, HWND wnd, bool paint);

// The default skin manager's global colour as RequestWindowBackground asks for it: the default
// manager installs its answer while it exists and removes it (nil) when it goes. Without one
// the colour is BackgroundNoManagerColor. Set from the GUI thread.
using TDefaultGlobalColorSource = TColor (*)();
void SetDefaultGlobalColorSource(TDefaultGlobalColorSource source);
// A bitmap answer (Kind 2) becomes (Bitmap, OffsetX, OffsetY, 0xFF00FF, ready); any other the
// request's colour in RGB at the offsets, without a bitmap.
void BackgroundRequestToInfo(const TsBackgroundRequest& request, TsBackgroundInfo& info);
