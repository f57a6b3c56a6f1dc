// Hidden utility windows of class "TPUtilWindow": a message-only target for timers, popup-menu
// commands and other non-visual components. Each TUtilWindow owns one window and forwards its
// messages to a framework window method; the classic AllocateHWnd/DeallocateHWnd pair is kept
// for code that holds the raw handle.
#pragma once

#include <windows.h>

#include "framework/win/Messages.h"
#include "framework/win/WinTypes.h"

#include <functional>

// A window method: receives every message of the window; Result is returned to the system.
// Messages the method leaves unanswered must be passed to DefWindowProcA by the method itself
// (as the classic utility windows do), or the window will not close or paint properly.
using TWndMethod = std::function<void(TMessage&)>;

// Owns one hidden top-level window of class "TPUtilWindow" (not shown, not in the taskbar).
// An exception escaping the method is handed to the application's exception handler.
class TUtilWindow {
public:
  // Raises EOSError when the window cannot be made.
  explicit TUtilWindow(TWndMethod method);
  TUtilWindow(const TUtilWindow&) = delete;
  TUtilWindow& operator=(const TUtilWindow&) = delete;
  ~TUtilWindow();
  HWND Handle() const { return FWindow.Get(); }
  // Replaces the method (e.g. when the owning object moves); never null.
  void SetMethod(TWndMethod method);

private:
  friend LRESULT CALLBACK UtilWindowProc(HWND, UINT, WPARAM, LPARAM);
  TWndMethod FMethod;
  TOwnedWindow FWindow;
};

// Classic form: the caller owns the returned window and frees it with DeallocateHWnd.
HWND AllocateHWnd(TWndMethod method);
void DeallocateHWnd(HWND wnd);
