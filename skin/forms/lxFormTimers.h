// The timers of a skinned form's effects: blend on moving (the form fades to the manager's
// blend value while dragged), the minimize and restore run between the form and its taskbar
// button, and the glow of a title button under the mouse. Each shows its pictures through
// layered windows. A form holds at most one move or minimize timer (the provider's form
// timer); each title button at most one glow.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/Forms.h"

#include <windows.h>

#include <map>
#include <memory>

#include "framework/win/ExtCtrls.h"
#include "framework/win/Graphics.h"
#include "skin/core/lxFormAnimPlan.h"
#include "skin/core/win/lxThreadedTimer.h"
#include "skin/forms/sSkinProvider.h"

class TlxBorderForm;

// What a timer effect needs of the window it runs on: its extended-border window (null for
// none) and its frame cache (null or empty while there is none); for a title button's
// animation also the window, its skin manager, where the window's top-left lies in the frame
// cache, whether it is active, and the button's face. A skin provider and a system dialog's
// adapter are such owners.
class IlxEffectOwner {
public:
  virtual ~IlxEffectOwner() = default;
  virtual TlxBorderForm* EffectBorderForm() const = 0;
  virtual TBitmap* EffectFrameCache() const = 0;
  virtual HWND EffectWindow() const { return nullptr; }
  virtual TsSkinManager* EffectSkinManager() const { return nullptr; }
  virtual TPoint EffectCacheOrigin() const { return TPoint{0, 0}; }
  virtual bool EffectActive() const { return true; }
  // The title button of a hit code: its place in the frame cache, state, image key, and in
  // MaskIndex the image its face is drawn from; false when the owner has no such button.
  virtual bool EffectButton(int hitCode, TsSkinProvider::TsTitleButtonState& face) const {
    (void)hitCode;
    (void)face;
    return false;
  }
  // The picture a user button shows over its face (null for none).
  virtual TBitmap* EffectUserGlyph(int hitCode) const {
    (void)hitCode;
    return nullptr;
  }
};

// The skin provider as such an owner.
std::unique_ptr<IlxEffectOwner> MakeProviderEffectOwner(TsSkinProvider* provider);

// Fades the dragged form (or its border window) toward the target alpha, one step a tick.
class TlxMoveTimer : public TlxThreadedTimer {
public:
  // `owner` is borrowed; the provider's form uses the provider as owner.
  TlxMoveTimer(IlxEffectOwner* owner, HWND form, int currentAlpha, int targetAlpha, int step);
  TlxMoveTimer(TsSkinProvider* provider, HWND form, int currentAlpha, int targetAlpha, int step);
  ~TlxMoveTimer() override;
  int CurrentAlpha = 255;
  int TargetAlpha = 170;
  int Step = 1;
  // One tick (the timer's, and tests').
  void Tick() { TimerProc(); }

protected:
  void TimerProc() override;

private:
  // Made for a provider's form; null when the owner was given.
  std::unique_ptr<IlxEffectOwner> FOwnOwner;
  IlxEffectOwner* FOwner;
  HWND FForm;
};

// The minimize and restore run: a picture of the whole form shrinks toward the taskbar
// button while it fades, or grows back from it.
class TlxMinTimer : public TlxThreadedTimer {
public:
  explicit TlxMinTimer(TsSkinProvider* provider);
  ~TlxMinTimer() override;
  // Interval, steps, start and target, deltas, work bitmap and animation window.
  void Prepare();
  void Tick() { TimerProc(); }
  // The taskbar moved: a new target, taken as the current rectangle.
  void RetargetToTaskbar();

  // The saved picture of the whole form (set by the minimize start).
  std::unique_ptr<TBitmap> Image;
  // The window the pictures show in: the border window's, or the timer's own form.
  HWND AnimationWindow() const;
  // The border window takes over the showing (restore with a border window).
  void TargetBorderWindow();
  // Minimizing, or growing back.
  bool Minimized = false;
  bool Restoring = false;
  double Alpha = 0;
  int StartAlpha = 255;
  const TlxMinPlan& Plan() const { return FPlan; }
  const TRect& StartRect() const { return FStart; }
  const TlxRectF& Current() const { return FCurrent; }
  // The run has reached its end in the current direction (or never started).
  bool AtEnd() const;

protected:
  void TimerProc() override;

private:
  void ShowFrame();
  void EndRestore();
  TsSkinProvider* FProvider;
  HWND FForm = nullptr;
  TRect FStart, FTarget;
  TlxRectF FCurrent;
  TlxMinPlan FPlan;
  std::unique_ptr<TBitmap> FWork;
  std::unique_ptr<TCustomForm> FOwnForm;
  bool FUsesBorder = false;
  bool FInTick = false;
};

// A title button's fade toward hot or pressed and back, shown in a window of its own above
// the form: a hot minimize, maximize or close button shows the skin's glow image, any other
// the button's face in its state.
class TlxSBAnimation : public TTimer {
public:
  // `owner` is borrowed; the provider's buttons use the provider as owner.
  TlxSBAnimation(IlxEffectOwner* owner, int hitCode);
  TlxSBAnimation(TsSkinProvider* provider, int hitCode);
  ~TlxSBAnimation() override;
  // Toward a state (0 normal, 1 hot, 2 pressed); `rising` while it grows.
  void ChangeState(int state, bool rising);
  // The screen rectangle the picture is centred on.
  TRect GlowRect();
  void MakePicture();
  void Show(int alpha);
  void Tick();
  HWND Window() const;
  int StepCount = 10;
  int Step = 0;
  int State = -1;
  bool Rising = true;
  // The fall ended: window and picture are gone; the provider frees the object later.
  bool Finished = false;

private:
  // The glow image's mask index for this button in its state (-1 none) and its margin.
  int GlowMask(int& margin) const;
  int StepAlpha(int step) const;
  bool Face(TsSkinProvider::TsTitleButtonState& face) const;
  // Made for a provider's buttons; null when the owner was given.
  std::unique_ptr<IlxEffectOwner> FOwnOwner;
  IlxEffectOwner* FOwner;
  int FHitCode;
  bool FShownFull = false;
  std::unique_ptr<TBitmap> FPicture;
  std::unique_ptr<TCustomForm> FWindow;
};

// The title-button animations of one window, one per hit code. An animation whose fall ended
// inside its own tick is freed at a later start, outside any tick.
class TlxButtonAnimations {
public:
  void Start(IlxEffectOwner* owner, int hitCode, int state);
  void Clear() { FItems.clear(); }
  // The running (not finished) animation of a hit code, or null.
  TlxSBAnimation* Find(int hitCode) const;

private:
  std::map<int, std::unique_ptr<TlxSBAnimation>> FItems;
};

// Where a minimizing form goes: its taskbar button, else the taskbar's edge facing it.
TRect TaskbarTarget(HWND form, const TRect& start);
// The screen rectangle of the window's taskbar button, read from the shell's process; empty
// when anything fails.
TRect TaskbarButtonRect(HWND window);
