// A hook in a framework control's window method (its WindowProc): a handler put in place of the
// method, which it can call on. Taking the hook out puts the method back only while the hook's
// handler is the one in place; under a later hook the handler stays in the chain and only
// forwards to the method it replaced, so that no control ever calls freed code.
//
// Ownership: the hook owns its handler; the control's method slot is borrowed and must outlive
// the hook unless Forget is called. GUI thread only.
#pragma once

#include <memory>

#include "framework/win/Controls.h"

class TlxMethodHook {
public:
  TlxMethodHook() = default;
  ~TlxMethodHook() { Release(); }
  TlxMethodHook(const TlxMethodHook&) = delete;
  TlxMethodHook& operator=(const TlxMethodHook&) = delete;

  // Puts `handler` in `slot`, keeping what was there (a hook held is taken out first).
  void Install(TWndMethod& slot, TWndMethod handler);
  // Takes the hook out (see above); nothing when none is held.
  void Release();
  // Lets go of the slot without touching it (its control is going).
  void Forget();
  bool Installed() const { return FCell != nullptr; }
  // The replaced method with a fresh message (same number, WParam and LParam, Result 0); its
  // LParam and Result copied back. Result 0 without one.
  void CallPrevious(TMessage& message) const;

private:
  std::shared_ptr<struct TlxMethodHookCell> FCell;
  TWndMethod* FSlot = nullptr;
};
