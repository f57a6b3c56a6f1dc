// Helpers of the tests on shown forms: letting the messages flow for a while, and a window's
// screen rectangle.
#pragma once

#include "framework/win/Forms.h"

#include <windows.h>

namespace formtest {

// Processes the thread's messages for about `ms` milliseconds.
inline void Pump(int ms = 40) {
  const DWORD start = GetTickCount();
  do {
    Application->ProcessMessages();
    Sleep(2);
  } while (GetTickCount() - start < static_cast<DWORD>(ms));
}

inline RECT WindowRectOf(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

}  // namespace formtest
