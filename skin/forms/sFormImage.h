// Whole-form images and what the taskbar and the form effects show of a skinned form: the
// painter of a form with its children into a bitmap, the form image, the snapshot cover, the
// taskbar thumbnail and live preview handed to the desktop window manager, and the
// process-wide switch that lets the program answer the taskbar's preview requests.
// Owns nothing beyond the bitmaps and windows it hands to its callers.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <memory>

#include "framework/win/Graphics.h"

class TsSkinProvider;

// Paints the control and all its visible windowed children into the bitmap with the
// control's top-left corner at (x, y), clipped to the control's size. A skinned window prints
// itself in print mode (frame included for a form with a provider) and then its windowed
// children, each at its place; any other window paints itself and its children with the
// framework's PaintTo. A hidden child form is filled with its parent's colour. A form with an
// extended-border window prints its whole frame cache, shadow included: not clipped, its
// children placed where the form lies in the cache.
void PaintControlTo(TBitmap* bitmap, TWinControl* control, int x, TsSkinProvider* provider, int y);

// A new 32-bit bitmap of the frame cache's size with the whole form painted into it, every
// pixel opaque unless the form has an extended-border window (the shadow keeps its alpha);
// with freeCache the frame cache is emptied afterwards. Null without a cache.
std::unique_ptr<TBitmap> MakeFormImage(TsSkinProvider* provider, bool freeCache);

// A borderless, never activated tool window over the window's screen rectangle showing what
// the window shows now (opaque, as its layered image), topmost; the caller frees it. Null for
// a window that is gone or has no size.
std::unique_ptr<TCustomForm> MakeSnapshotCover(HWND wnd);

// A borderless, never activated tool window of the engine (not skinned) at the bounds, its
// window made; it shows nothing until given a layered image.
std::unique_ptr<TForm> NewLayeredToolForm(const TRect& bounds);

// The taskbar thumbnail of the form fitted into the requested size, handed to the DWM; false
// on older systems, for a zero size, without the entry, without a cache, or when the DWM
// refuses.
bool SetIconicThumbnail(HWND wnd, TsSkinProvider* provider, int requestedWidth, int requestedHeight);
// The live preview (the whole form image with the frame shown) handed to the DWM.
bool SetIconicLivePreview(HWND wnd, TsSkinProvider* provider);

// Whether skinned forms answer the taskbar's thumbnail and live-preview requests themselves.
// Off at start and never turned on by the program; tests turn it on.
bool IconicPreviewOn();
void SetIconicPreviewForTests(bool on);
