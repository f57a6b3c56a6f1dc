// The engine's timer component: see lxThreadedTimer.h.
#include "skin/core/win/lxThreadedTimer.h"

#include "framework/base/TypInfo.h"
#include "framework/win/Forms.h"

ORBEX_IMPLEMENT_PUBLISHED(TlxThreadedTimer, TComponent, &CreateComponentOf<TlxThreadedTimer>)

void TlxThreadedTimer::PublishProperties(TPublisher<TlxThreadedTimer>& P) {
  P.Boolean("Enabled", &TlxThreadedTimer::Enabled, &TlxThreadedTimer::SetEnabled).Default(1);
  P.Integer("Interval", &TlxThreadedTimer::Interval, &TlxThreadedTimer::SetInterval)
      .Default(1000);
  P.Enum("ThreadPriority", &TlxThreadedTimer::ThreadPriority, &TlxThreadedTimer::SetThreadPriority,
         {"tpIdle", "tpLowest", "tpLower", "tpNormal", "tpHigher", "tpHighest", "tpTimeCritical"})
      .Default(tpNormal);
  P.Event("OnTimer", &TlxThreadedTimer::OnTimer, &TlxThreadedTimer::SetOnTimer);
}

TlxThreadedTimer::TlxThreadedTimer(TComponent* AOwner) : TComponent(AOwner) {
  if (Application != nullptr && Application->Terminated()) return;
  FEnabled = true;
  FInterval = 1000;
  FTimer = std::make_unique<TTimer>(nullptr);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(FInterval);
  std::weak_ptr<bool> alive = FAlive;
  FTimer->SetOnTimer([this, alive](TObject*) {
    if (!alive.expired()) InnerTimerTick();
  });
}

TlxThreadedTimer::TlxThreadedTimer(TComponent* AOwner, bool useOwnHandler)
    : TlxThreadedTimer(AOwner) {
  SetEnabled(false);
  FOwnedBy = AOwner;
  if (useOwnHandler) SetOnTimer([this](TObject*) { TimerProc(); });
}

TlxThreadedTimer::~TlxThreadedTimer() {
  *FAlive = false;
  if (FTimer) FTimer->SetEnabled(false);
}

void TlxThreadedTimer::SetEnabled(bool v) {
  if (SetAndCheck(FEnabled, v)) UpdateTimer();
}

void TlxThreadedTimer::SetInterval(std::uint32_t v) {
  if (FInterval == v) return;
  FInterval = v;
  if (FTimer) FTimer->SetInterval(v);
  UpdateTimer();
}

void TlxThreadedTimer::SetOnTimer(TNotifyEvent v) {
  FOnTimer = std::move(v);
  UpdateTimer();
}

void TlxThreadedTimer::SetThreadPriority(TThreadPriority v) {
  if (SetAndCheck(FThreadPriority, v)) UpdateTimer();
}

void TlxThreadedTimer::UpdateTimer() {
  // Without an inner timer (made while the application terminated) only the settings change.
  if (!FTimer) return;
  FTimer->SetEnabled(false);
  if (FInterval != 0 && FEnabled && FOnTimer) FTimer->SetEnabled(true);
}

void TlxThreadedTimer::InnerTimerTick() {
  if (!FTimer || !FTimer->Enabled() || FBusy) return;
  // The handler may free this timer: hold the flag, not the object.
  std::shared_ptr<bool> alive = FAlive;
  FBusy = true;
  try {
    Timer();
  } catch (...) {
    // One failed tick must not stop the timer for good: the next tick runs again, and the
    // error goes to the application's handler like any other event's.
    if (*alive) FBusy = false;
    if (Application != nullptr) Application->HandleException(*alive ? this : nullptr);
    return;
  }
  if (*alive) FBusy = false;
}

void TlxThreadedTimer::Timer() {
  if (!FOnTimer) return;
  // The handler may free this timer (and with it FOnTimer): run a copy.
  TNotifyEvent handler = FOnTimer;
  handler(this);
}
