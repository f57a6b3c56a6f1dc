// Timers: ticks arrive as messages on the GUI thread, only while enabled with an interval and a
// handler; a timer freed inside its own tick (or by another timer's tick) ticks no more and
// takes nothing down with it.
#include <gtest/gtest.h>

#include "framework/win/ExtCtrls.h"
#include "tests/win/framework/win/stdctrls/StdCtrlsTestUtil.h"

TEST(Timer, TicksOnlyWhenEnabledWithIntervalAndHandler) {
  TTimer timer(nullptr);
  int ticks = 0;
  EXPECT_FALSE(timer.Running());   // no handler yet
  timer.SetInterval(0);
  timer.SetOnTimer([&](TObject* s) {
    EXPECT_EQ(s, &timer);
    ++ticks;
  });
  EXPECT_FALSE(timer.Running());   // interval 0 never ticks
  fwtest::Pump(60);
  EXPECT_EQ(ticks, 0);
  timer.SetInterval(10);
  EXPECT_TRUE(timer.Running());
  EXPECT_TRUE(fwtest::PumpUntil([&] { return ticks >= 3; }, 3000));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.Running());
  int stopped = ticks;
  fwtest::Pump(80);
  EXPECT_EQ(ticks, stopped);
  timer.SetEnabled(true);
  timer.SetOnTimer(nullptr);   // removing the handler stops it too
  EXPECT_FALSE(timer.Running());
}

TEST(Timer, FreedInsideItsOwnTick) {
  auto* timer = new TTimer(nullptr);
  int ticks = 0;
  timer->SetInterval(10);
  timer->SetOnTimer([&](TObject* s) {
    ++ticks;
    delete static_cast<TTimer*>(s);
  });
  EXPECT_TRUE(fwtest::PumpUntil([&] { return ticks == 1; }, 3000));
  fwtest::Pump(100);
  EXPECT_EQ(ticks, 1);

  // A second timer works afterwards: the shared window survived.
  TTimer next(nullptr);
  int nextTicks = 0;
  next.SetInterval(10);
  next.SetOnTimer([&](TObject*) { ++nextTicks; });
  EXPECT_TRUE(fwtest::PumpUntil([&] { return nextTicks >= 1; }, 3000));
}

TEST(Timer, FreedByAnotherTimersTickAndOwnedByAComponent) {
  auto owner = std::make_unique<TComponent>(nullptr);
  auto* victim = new TTimer(owner.get());
  int victimTicks = 0;
  victim->SetInterval(10);
  victim->SetOnTimer([&](TObject*) { ++victimTicks; });
  TTimer killer(nullptr);
  bool killed = false;
  killer.SetInterval(15);
  killer.SetOnTimer([&](TObject*) {
    if (!killed) owner.reset();   // the owner frees the victim
    killed = true;
  });
  EXPECT_TRUE(fwtest::PumpUntil([&] { return killed; }, 3000));
  int after = victimTicks;
  fwtest::Pump(80);
  EXPECT_EQ(victimTicks, after);
}
