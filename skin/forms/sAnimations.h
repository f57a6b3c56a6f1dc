// The form animations: a skinned form shown, hidden or re-skinned does not simply pop. Its
// whole image (frame and children) goes into a borderless layered copy window over the real
// one, whose alpha rises or falls (atAero: the picture also grows from or shrinks to three
// quarters of its size about the centre); the real window is then shown or removed beneath
// it. Showing and skin changes block the GUI thread (one frame every 12 ms); hiding hands the
// copy to the one process-wide hide timer. Around a skin change the manager freezes the
// visible skinned forms and releases them here one by one with the skin-change animation.
//
// Owns the hide timer's copy window and bitmaps; forms, providers and managers are borrowed.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <functional>
#include <memory>

#include "skin/core/sAnimSteps.h"   // AnimSleep
#include "skin/core/sConst.h"
#include "skin/core/win/lxThreadedTimer.h"
#include "skin/core/win/sControlUtils.h"   // AnimationInProgress

class TsSkinProvider;
class TsSkinManager;
class TBitmap;
class TlxDialogWnd;

// A borderless, never activated tool window (Tag -98, so the thread hook never skins it) at
// the screen rectangle; WS_EX_LAYERED comes with its first image.
std::unique_ptr<TForm> MakeCopyWindow(const TRect& screenRect);

// The form appears: its image fades (and grows, atAero) in over `time` ms up to `target`, then
// the form itself is shown beneath the copy and redrawn before the copy goes.
void AnimShowForm(TsSkinProvider* provider, int time, TlxAnimType kind, int target);
// The form goes: its image becomes the hide timer's copy with the manager's FormHide options.
void AnimHideForm(TsSkinProvider* provider);
// The dialog's client into `bitmap` (its frame cache's size) at the client offsets: from the
// screen (made opaque), else printed by its children.
void PaintDialogTo(TlxDialogWnd* dialog, TBitmap* bitmap, bool fromScreen);
// A skinned system dialog appears and goes as a form does, with the DialogShow and DialogHide
// options; its image is its frame cache with its client over it.
void AnimShowDialog(TlxDialogWnd* dialog, int time, TlxAnimType kind, int target);
void AnimHideDialog(TlxDialogWnd* dialog);
// Hands the copy window and its image to the hide timer (a copy still fading is freed first);
// a time below one frame frees them without showing anything.
void StartHideAnimation(std::unique_ptr<TForm> copy, std::unique_ptr<TBitmap> bitmap, int time, TlxAnimType kind,
                        int startAlpha);
// The copy window the hide timer still fades (null when none).
HWND HidingCopyWindow();
// The hide timer's copy is freed at once (the application ends, tests).
void StopHideAnimation();

// The window that shows a control's old image while a skin change is drawn without layered
// windows: caption "lxOutputWindow", colour clFuchsia, Tag -98; it never erases its background
// or paints a frame (every pixel comes from the animation).
class TOutputWindow : public TCustomControl {
public:
  explicit TOutputWindow(bool topLevel);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& message) override;

private:
  bool FTopLevel;
};
// Places the top-level `wnd` at `at` just above `target` in the Z order, so that it never comes
// over another window lying over the target; topmost only with a topmost target.
void PlaceJustAbove(HWND wnd, HWND target, const TRect& at, UINT flags);
// Shows the control's screen area (also kept as the cover bitmap) on the cover window placed
// over it: a child of the control's parent, or for a top-level control a window just above it.
void CreateCoverWindow(TWinControl* control);
// The cover window and its bitmap while a skin change draws on them (null otherwise).
TOutputWindow* CoverWindow();
TBitmap* CoverBitmap();

// A frozen form takes its new skin: the new image fades in over the old one still on screen
// (an opaque form's frames are blends of the two, shown opaque), then the form redraws beneath
// it and the copy goes. A time below one frame shows the new image at once on the copy. The
// release keeps the copy until its own redraw of the form is over, with the animation off too.
void AnimateSkinChange(TWinControl* control, int time, TlxAnimType kind, int target);

// The manager's links around a skin change (see TsSkinManagerLinks).
void PrepareSkinChangeAnimation(TsSkinManager* manager);
void FreezeSkinnedForms(TsSkinManager* manager);
void ReleaseSkinnedForms(TsSkinManager* manager);

void InitAnimationsUnit();
void DoneAnimationsUnit();
