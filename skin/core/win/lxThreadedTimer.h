// The timer component the engine's animation timers are built on: a framework timer inside a
// component that keeps its settings while the inner timer is switched off, never re-enters a
// tick, may be freed by its own tick handler, and keeps ticking after a handler raised (the
// exception goes to the application's handler). Owns the inner timer. Ticks arrive as window
// messages on the GUI thread.
#pragma once

// The framework's Windows headers come first: <windows.h> renames GetObject, and every unit
// must see the framework's classes with the same names.
#include "framework/win/ExtCtrls.h"

#include <cstdint>
#include <memory>

#include "framework/base/Classes.h"
#include "framework/base/Thread.h"

class TlxThreadedTimer : public TComponent {
  ORBEX_CLASS(TlxThreadedTimer, TComponent)
public:
  // Enabled, interval 1000 ms and an inner timer, unless the application is terminating:
  // then the timer stays without an inner timer (disabled, interval 0) and never ticks.
  explicit TlxThreadedTimer(TComponent* AOwner);
  // The animation timers' constructor: disabled, remembers `AOwner`, and with useOwnHandler
  // its OnTimer calls TimerProc.
  TlxThreadedTimer(TComponent* AOwner, bool useOwnHandler);
  ~TlxThreadedTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool v);
  std::uint32_t Interval() const { return FInterval; }
  void SetInterval(std::uint32_t v);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(TNotifyEvent v);
  // Kept for stored forms only: the timer runs on the GUI thread's messages, no thread is made.
  TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(TThreadPriority v);
  TComponent* OwnedBy() const { return FOwnedBy; }
  // True while the inner timer runs.
  bool Running() const { return FTimer != nullptr && FTimer->Running(); }
  // True while a tick is being handled.
  bool InTick() const { return FBusy; }

protected:
  // The tick of descendants that use their own handler; empty here.
  virtual void TimerProc() {}
  // One tick: fires OnTimer.
  virtual void Timer();

private:
  void UpdateTimer();
  void InnerTimerTick();

  bool FEnabled = false;
  std::uint32_t FInterval = 0;
  TNotifyEvent FOnTimer;
  std::unique_ptr<TTimer> FTimer;
  bool FBusy = false;
  TComponent* FOwnedBy = nullptr;
  TThreadPriority FThreadPriority = tpNormal;
  // Cleared by the destructor, so that a tick whose handler freed this timer stops touching it.
  std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};
