// Tests of the engine's timer component on real system timers: ticks on the GUI thread, no
// ticks without an interval or handler, no re-entry while a handler pumps messages, freeing
// in its own tick, the descendants' own handler, and a timer made while the application
// terminates.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/win/Forms.h"
#include "skin/core/win/lxThreadedTimer.h"

namespace {

// Serves messages until `done` holds or `ms` milliseconds have passed; returns done().
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 3000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    Application->ProcessMessages();
    Sleep(2);
  }
  return true;
}

void PumpFor(DWORD ms) { PumpUntil([] { return false; }, ms); }

class CountingTimer : public TlxThreadedTimer {
public:
  CountingTimer() : TlxThreadedTimer(nullptr, true) {}
  int Procs = 0;

protected:
  void TimerProc() override { ++Procs; }
};

class ThreadedTimer : public ::testing::Test {
protected:
  static void SetUpTestSuite() { InitForms(); }
  static void TearDownTestSuite() { DoneForms(); }
};

}  // namespace

TEST_F(ThreadedTimer, TicksOnTheGuiThread) {
  TlxThreadedTimer t(nullptr);
  EXPECT_TRUE(t.Enabled());
  EXPECT_EQ(t.Interval(), 1000u);
  EXPECT_FALSE(t.Running());   // no handler yet
  int ticks = 0;
  DWORD thread = 0;
  t.SetInterval(10);
  t.SetOnTimer([&](TObject* sender) {
    EXPECT_EQ(sender, &t);
    ++ticks;
    thread = GetCurrentThreadId();
  });
  EXPECT_TRUE(t.Running());
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 2; }));
  EXPECT_EQ(thread, GetCurrentThreadId());

  t.SetOnTimer(nullptr);   // removing the handler stops it
  EXPECT_FALSE(t.Running());
  t.SetOnTimer([&](TObject*) { ++ticks; });
  t.SetInterval(0);        // no interval: never ticks, even enabled
  EXPECT_TRUE(t.Enabled());
  EXPECT_FALSE(t.Running());
  const int before = ticks;
  PumpFor(100);
  EXPECT_EQ(ticks, before);
}

TEST_F(ThreadedTimer, NoReentryWhileTheHandlerPumps) {
  TlxThreadedTimer t(nullptr);
  int depth = 0, deepest = 0, ticks = 0;
  t.SetInterval(5);
  t.SetOnTimer([&](TObject*) {
    ++depth;
    deepest = std::max(deepest, depth);
    ++ticks;
    if (ticks == 1) PumpFor(60);   // later ticks arrive meanwhile
    --depth;
  });
  EXPECT_TRUE(PumpUntil([&] { return ticks >= 3; }));
  EXPECT_EQ(deepest, 1);
}

TEST_F(ThreadedTimer, MayBeFreedInItsOwnTick) {
  auto* t = new TlxThreadedTimer(nullptr);
  int ticks = 0;
  t->SetInterval(5);
  t->SetOnTimer([&](TObject*) {
    ++ticks;
    delete t;
    t = nullptr;
  });
  EXPECT_TRUE(PumpUntil([&] { return t == nullptr; }));
  PumpFor(50);
  EXPECT_EQ(ticks, 1);
}

TEST_F(ThreadedTimer, AHandlerThatRaisesGoesToTheApplicationAndTheTimerKeepsTicking) {
  struct Reported {
    TObject* Sender;
    std::string Message;
  };
  std::vector<Reported> reported;
  Application->OnException = [&](TObject* sender, const std::exception& e) {
    reported.push_back({sender, e.what()});
  };
  {
    TlxThreadedTimer t(nullptr);
    int ticks = 0;
    t.SetInterval(5);
    t.SetOnTimer([&](TObject*) {
      if (++ticks <= 2) throw Exception("tick " + std::to_string(ticks) + " failed");
    });
    EXPECT_TRUE(PumpUntil([&] { return ticks >= 4; }));
    EXPECT_TRUE(t.Running());
    ASSERT_EQ(reported.size(), 2u);
    EXPECT_EQ(reported[0].Sender, &t);
    EXPECT_EQ(reported[0].Message, "tick 1 failed");
    EXPECT_EQ(reported[1].Message, "tick 2 failed");
  }
  // A handler that frees its timer and then raises: reported, with no timer to name.
  reported.clear();
  auto* t = new TlxThreadedTimer(nullptr);
  t->SetInterval(5);
  t->SetOnTimer([&](TObject*) {
    delete t;
    t = nullptr;
    throw Exception("freed, then failed");
  });
  EXPECT_TRUE(PumpUntil([&] { return t == nullptr; }));
  Application->OnException = nullptr;
  ASSERT_EQ(reported.size(), 1u);
  EXPECT_EQ(reported[0].Sender, nullptr);
}

TEST_F(ThreadedTimer, DescendantsOwnHandler) {
  TComponent owner(nullptr);
  CountingTimer t;
  EXPECT_FALSE(t.Enabled());
  t.SetInterval(5);
  EXPECT_FALSE(t.Running());
  t.SetEnabled(true);
  EXPECT_TRUE(t.Running());
  EXPECT_TRUE(PumpUntil([&] { return t.Procs >= 2; }));
  TlxThreadedTimer owned(&owner, false);
  EXPECT_EQ(owned.OwnedBy(), &owner);
  EXPECT_FALSE(owned.OnTimer());
}

TEST_F(ThreadedTimer, MadeWhileTheApplicationTerminates) {
  Application->Terminate();
  Application->ProcessMessages();
  ASSERT_TRUE(Application->Terminated());
  {
    TlxThreadedTimer t(nullptr);
    EXPECT_FALSE(t.Enabled());
    EXPECT_EQ(t.Interval(), 0u);
    int ticks = 0;
    // Every setter must cope with the missing inner timer.
    t.SetInterval(5);
    t.SetEnabled(true);
    t.SetOnTimer([&](TObject*) { ++ticks; });
    EXPECT_TRUE(t.Enabled());
    EXPECT_EQ(t.Interval(), 5u);
    EXPECT_FALSE(t.Running());
    PumpFor(60);
    EXPECT_EQ(ticks, 0);
  }
  // A fresh application for whatever runs next.
  DoneForms();
  InitForms();
}
