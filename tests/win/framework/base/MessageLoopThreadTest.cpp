// TThread inside a running Win32 message loop, as the application runs it: WakeMainThread
// posts a message whose handler serves Synchronize calls, and WaitFor is called from a
// WM_TIMER handler while the worker keeps synchronizing. Neither may deadlock.
#include "framework/base/Thread.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

namespace {

constexpr UINT kWakeMessage = WM_APP + 1;
constexpr UINT_PTR kStopTimer = 1;

class TSyncWorker : public TThread {
  ORBEX_CLASS(TSyncWorker, TThread)
public:
  TSyncWorker() : TThread(true) {}
  ~TSyncWorker() override {
    Terminate();
    if (!Suspended()) WaitFor();
  }
  std::atomic<int> Attempts{0};
  int Served = 0;   // main thread only

protected:
  void Execute() override {
    while (!Terminated()) {
      ++Attempts;
      Synchronize([this] { ++Served; });
    }
  }
};

struct TLoopState {
  TSyncWorker* Worker = nullptr;
  int ServedByLoop = 0;
  int ServedInWaitFor = 0;
  bool Stopped = false;
};
TLoopState* gState = nullptr;

LRESULT CALLBACK LoopWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  try {
    if (msg == kWakeMessage) {
      int before = gState->Worker->Served;
      CheckSynchronize(0);
      gState->ServedByLoop += gState->Worker->Served - before;
      return 0;
    }
    if (msg == WM_TIMER && wp == kStopTimer && !gState->Stopped && gState->ServedByLoop >= 5) {
      KillTimer(wnd, kStopTimer);
      gState->Stopped = true;
      // The worker is blocked in a Synchronize whose wake-up message sits behind this one.
      while (gState->Worker->Attempts.load() <= gState->Worker->Served) Sleep(1);
      int before = gState->Worker->Served;
      gState->Worker->Terminate();
      gState->Worker->WaitFor();
      gState->ServedInWaitFor = gState->Worker->Served - before;
      PostQuitMessage(0);
      return 0;
    }
  } catch (...) {
    ADD_FAILURE() << "exception in the window procedure";
    PostQuitMessage(1);
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

ORBEX_IMPLEMENT_CLASS(TSyncWorker, TThread, nullptr)

TEST(ThreadMessageLoop, WaitForInsideATimerHandlerServesTheWorker) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = LoopWndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "OrbexSyncTestWindow";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(wnd, nullptr);

  TSyncWorker worker;
  TLoopState state;
  state.Worker = &worker;
  gState = &state;
  WakeMainThread = [wnd] { PostMessageA(wnd, kWakeMessage, 0, 0); };
  SetTimer(wnd, kStopTimer, 20, nullptr);
  worker.Resume();

  MSG msg;
  DWORD started = GetTickCount();
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    DispatchMessageA(&msg);
    if (GetTickCount() - started > 20000) break;   // a hang fails below instead of waiting
  }
  // Past the time limit the worker is still running and posting: stop it here (WaitFor serves
  // its blocked call), so that draining the queue below ends instead of serving it for ever.
  KillTimer(wnd, kStopTimer);
  worker.Terminate();
  worker.WaitFor();
  WakeMainThread = nullptr;

  EXPECT_TRUE(state.Stopped);
  EXPECT_TRUE(worker.Finished());
  EXPECT_GE(state.ServedByLoop, 5);
  EXPECT_GE(state.ServedInWaitFor, 1);   // the blocked call was served by WaitFor itself
  EXPECT_EQ(worker.Served, worker.Attempts.load());
  // Wake-up messages of calls WaitFor already served find nothing to do.
  while (PeekMessageA(&msg, wnd, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
  EXPECT_FALSE(CheckSynchronize(0));
  DestroyWindow(wnd);
  UnregisterClassA(wc.lpszClassName, wc.hInstance);
  gState = nullptr;
}
