// Helpers shared by the standard-control tests: the application made once per test program,
// message pumping with a time limit, and a plain form to put controls on.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/win/Forms.h"

namespace fwtest {

// Handles the waiting messages until `done` is true or `ms` milliseconds have passed; returns
// done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD ms) {
  DWORD start = ::GetTickCount();
  while (!done()) {
    if (::GetTickCount() - start > ms) return done();
    Application->ProcessMessages();
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
  return true;
}

inline void Pump(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

// A visible form owned by the test (freed with it).
inline std::unique_ptr<TForm> MakeForm(int clientWidth = 400, int clientHeight = 300) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(50, 50, clientWidth + 16, clientHeight + 40);
  form->SetClientSize(TSize{clientWidth, clientHeight});
  return form;
}

}  // namespace fwtest
