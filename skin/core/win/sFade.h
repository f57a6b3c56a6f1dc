// Cross-fades of a skinned control between its looks (normal, hot, pressed): a copy of the old
// cache image blended over the freshly painted one in steps of 10 ms, each frame offered to
// the control (command 24) or drawn straight into its window. One control owns at most one
// running fade: the routines take the address of the control's fade-timer field. The timer is
// owned by the control (as its component) and freed through StopFadeTimer.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/ExtCtrls.h"

#include <cstdint>
#include <memory>

#include "skin/core/sSkinManagerCore.h"

class TsCommonData;
class TsSkinManager;
class TControl;

// Fade timers alive now: the provider's closing code waits for 0.
extern int FadeTimerCount;
// Set when the application's main form closes: every fade stops at its next tick.
extern bool FadeStopAll;

class TsFadeTimer : public TTimer {
  ORBEX_CLASS(TsFadeTimer, TTimer)
public:
  explicit TsFadeTimer(TControl* owner);
  ~TsFadeTimer() override;

  // 0 none (the timer stops), 1 and 2 the two directions; a negative level becomes 1.
  void SetDirection(std::uint8_t value);
  std::uint8_t Direction() const { return FDirection; }
  // The end of the fade: command 16 goes to a living control (which frees the timer), the
  // control repaints and the answer is true; while 0 <= level <= iterations false.
  bool Finished();
  // One frame: the old image keeps FadeWeight(level, iterations) over the cache image.
  void FadeStep();
  // True while the timer's own tick runs (a timer stopped then is freed when it returns).
  bool InTick() const { return FInTick; }

  TsCommonData* SkinData = nullptr;
  int Iterations = 0;
  int Level = 0;
  std::unique_ptr<TBitmap> FromImage;

protected:
  void Timer() override;

private:
  friend void StopFadeTimer(TsFadeTimer** field, TsCommonData* skinData);
  std::uint8_t FDirection = 0;
  bool FInTick = false;
  bool FFreeAfterTick = false;
};

// The event is in the control's set; or, with aeGlobalDef in it, the matching button event is
// in the manager's (null: the default one) AnimEffects.Buttons.Events.
bool FadeEventAllowed(TlxAnimatEvent event, TlxAnimatEvents controlEvents, TsSkinManager* manager);
// Binds the skin data, copies the cache into the from-image and counts the steps from the
// fade still held (see FadeIterations).
void PrepareFade(TsFadeTimer* timer, TsCommonData* skinData, bool halve = false);
// Starts (or turns) the fade of the control when its section fades.
void StartFade(TsFadeTimer** field, TsCommonData* skinData, bool halve, std::uint8_t direction);
// A change of look: faded when allowed and possible, else painted at once (a running fade
// stops). The hover glow follows either way.
void ChangeStateWithFade(TsFadeTimer** field, TsCommonData* skinData, bool halve, std::uint8_t direction,
                         bool allowed);
// Stops the fade and frees its timer (after its tick when called from inside it); clears the
// field.
void StopFadeTimer(TsFadeTimer** field, TsCommonData* skinData);
