// TThread: Synchronize runs on the main thread and blocks the caller; exceptions of a
// synchronized call come back in the caller; the exception escaping Execute is kept; WaitFor on
// the main thread serves pending Synchronize calls; FreeOnTerminate; Terminate seen by the
// body. A deadlock shows as this executable's time-out.
#include "framework/base/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace {

using namespace std::chrono_literals;

class TTestThread : public TThread {
  ORBEX_CLASS(TTestThread, TThread)
public:
  using TBody = std::function<void(TTestThread&)>;
  explicit TTestThread(TBody body, std::atomic<int>* freed = nullptr)
      : TThread(true), FBody(std::move(body)), FFreed(freed) {}
  ~TTestThread() override {
    // The body uses this object: stop it before the derived part goes (see Thread.h).
    TerminateAndWait();
    if (FFreed != nullptr) FFreed->fetch_add(1);
  }
  void SetReturn(int v) { ReturnValue = v; }

protected:
  void Execute() override { FBody(*this); }

private:
  TBody FBody;
  std::atomic<int>* FFreed;
};

// Serves Synchronize calls as a message loop would, until `done` or about ten seconds.
template <class Pred>
bool ServeUntil(Pred done) {
  for (int i = 0; i < 1000 && !done(); ++i) CheckSynchronize(10);
  return done();
}

}  // namespace

ORBEX_IMPLEMENT_CLASS(TTestThread, TThread, nullptr)

TEST(Thread, CreatedSuspendedAndStartedByResume) {
  std::atomic<bool> ran{false};
  TTestThread t([&](TTestThread& self) {
    ran = true;
    self.SetReturn(42);
  });
  EXPECT_TRUE(t.Suspended());
  std::this_thread::sleep_for(20ms);
  EXPECT_FALSE(ran);
  t.Resume();
  EXPECT_FALSE(t.Suspended());
  EXPECT_EQ(t.WaitFor(), 42);
  EXPECT_TRUE(ran);
  EXPECT_TRUE(t.Finished());
  EXPECT_EQ(t.FatalException(), nullptr);
  EXPECT_EQ(t.FatalExceptionMessage(), "");
  EXPECT_EQ(t.WaitFor(), 42);   // a second wait returns at once
}

TEST(Thread, OnTerminateRunsOnTheMainThreadWhileWaitForWaits) {
  const auto mainId = std::this_thread::get_id();
  int calls = 0;
  bool onMain = false;
  TTestThread t([](TTestThread&) {});
  t.OnTerminate = [&](TObject* sender) {
    ++calls;
    onMain = std::this_thread::get_id() == mainId && sender == &t;
  };
  t.Resume();
  t.WaitFor();   // the thread blocks in OnTerminate's Synchronize until this serves it
  EXPECT_EQ(calls, 1);
  EXPECT_TRUE(onMain);
  EXPECT_TRUE(t.Finished());
}

TEST(Thread, NotSuspendedOrNotStartedIsRefused) {
  struct TBad : TThread {
    TBad() : TThread(false) {}
    void Execute() override {}
  };
  EXPECT_THROW(TBad(), EThread);
  TTestThread idle([](TTestThread&) {});
  EXPECT_THROW(idle.WaitFor(), EThread);
}

TEST(Thread, SynchronizeRunsOnTheMainThreadAndBlocksTheCaller) {
  ASSERT_TRUE(TThread::IsMainThread());
  const auto mainId = std::this_thread::get_id();
  std::atomic<int> ranOnMain{0};
  std::atomic<bool> workerSawResult{false};
  int shared = 0;   // no lock: the worker is blocked while the main thread writes it
  TTestThread t([&](TTestThread& self) {
    EXPECT_FALSE(TThread::IsMainThread());
    self.Synchronize([&] {
      if (std::this_thread::get_id() == mainId) ++ranOnMain;
      std::this_thread::sleep_for(30ms);   // the worker must still be waiting after this
      shared = 7;
    });
    workerSawResult = shared == 7;
  });
  t.Resume();
  // Served by a loop, as the application's message loop does.
  EXPECT_TRUE(ServeUntil([&] { return ranOnMain.load() == 1; }));
  t.WaitFor();
  EXPECT_EQ(ranOnMain, 1);
  EXPECT_TRUE(workerSawResult);

  // On the main thread itself Synchronize runs the call at once.
  int direct = 0;
  t.Synchronize([&] { direct = 1; });
  EXPECT_EQ(direct, 1);
}

TEST(Thread, ExceptionInSynchronizedCallIsRaisedInTheWorker) {
  std::string caught;
  TTestThread t([&](TTestThread& self) {
    try {
      self.Synchronize([] { throw EConvertError("parse failed"); });
    } catch (const EConvertError& e) {
      caught = e.Message();
    }
    // Not caught this time: ends the body and is kept.
    self.Synchronize([] { throw EListError("second"); });
  });
  t.Resume();
  t.WaitFor();
  EXPECT_EQ(caught, "parse failed");
  EXPECT_EQ(t.FatalExceptionMessage(), "second");
  EXPECT_THROW(std::rethrow_exception(t.FatalException()), EListError);
}

TEST(Thread, ExceptionEscapingExecuteIsKept) {
  TTestThread t([](TTestThread&) { throw EOSError("Buffer overflowed. OOps"); });
  t.Resume();
  t.WaitFor();   // does not raise
  ASSERT_NE(t.FatalException(), nullptr);
  EXPECT_EQ(t.FatalExceptionMessage(), "Buffer overflowed. OOps");
  try {
    std::rethrow_exception(t.FatalException());
  } catch (const Exception& e) {
    EXPECT_STREQ(e.ClassName(), "EOSError");
  }
  TTestThread u([](TTestThread&) { throw 5; });
  u.Resume();
  u.WaitFor();
  EXPECT_EQ(u.FatalExceptionMessage(), "Unknown exception");
}

TEST(Thread, TerminateIsSeenByTheBody) {
  std::atomic<bool> started{false};
  TTestThread t([&](TTestThread& self) {
    started = true;
    int turns = 0;
    while (!self.Terminated()) {
      ++turns;
      std::this_thread::sleep_for(1ms);
    }
    self.SetReturn(turns > 0 ? 1 : 2);
  });
  t.Resume();
  while (!started) std::this_thread::sleep_for(1ms);
  EXPECT_FALSE(t.Terminated());
  t.Terminate();
  EXPECT_TRUE(t.Terminated());
  EXPECT_EQ(t.WaitFor(), 1);

  // Terminated before it ran: Execute is skipped.
  std::atomic<bool> ran{false};
  TTestThread early([&](TTestThread&) { ran = true; });
  early.Terminate();
  early.Resume();
  early.WaitFor();
  EXPECT_FALSE(ran);
}

TEST(Thread, WaitForServesSynchronizeOfAWorkerThatSynchronizesUntilTerminated) {
  // As the instrument link's reader does: every chunk goes through Synchronize, and the main
  // thread terminates and waits for it while it may be blocked in Synchronize.
  std::atomic<int> attempts{0};
  int served = 0;   // main thread only
  TTestThread t([&](TTestThread& self) {
    while (!self.Terminated()) {
      ++attempts;
      self.Synchronize([&] { ++served; });
    }
  });
  t.Resume();
  ASSERT_TRUE(ServeUntil([&] { return served >= 3; }));
  // Make sure the worker is blocked in a Synchronize nobody serves yet.
  while (attempts.load() <= served) std::this_thread::sleep_for(1ms);
  t.Terminate();
  t.WaitFor();
  EXPECT_TRUE(t.Finished());
  EXPECT_EQ(served, attempts.load());
}

TEST(Thread, FreeingARunningThreadTerminatesAndServesIt) {
  std::atomic<int> freed{0};
  auto* t = new TTestThread(
      [](TTestThread& self) {
        while (!self.Terminated()) self.Synchronize([] {});
      },
      &freed);
  t->Resume();
  std::this_thread::sleep_for(10ms);
  delete t;
  EXPECT_EQ(freed, 1);
}

TEST(Thread, FreeOnTerminateFreesItselfAfterOnTerminateRanOnTheMainThread) {
  const auto mainId = std::this_thread::get_id();
  std::atomic<int> freed{0};
  std::atomic<bool> terminateOnMain{false};
  auto* t = new TTestThread([](TTestThread&) {}, &freed);
  t->FreeOnTerminate = true;
  t->OnTerminate = [&](TObject* sender) {
    terminateOnMain = std::this_thread::get_id() == mainId && sender == t;
  };
  EXPECT_THROW(t->WaitFor(), EThread);   // not started; and it would free itself anyway
  t->Resume();
  // t may be gone from here on: only the flags are read.
  EXPECT_TRUE(ServeUntil([&] { return freed.load() == 1; }));
  EXPECT_TRUE(terminateOnMain);

  // A self-freeing thread that ends at once, before Resume has returned.
  std::atomic<int> freed2{0};
  auto* quick = new TTestThread([](TTestThread&) {}, &freed2);
  quick->FreeOnTerminate = true;
  quick->Resume();
  for (int i = 0; i < 1000 && freed2.load() == 0; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_EQ(freed2, 1);
}

TEST(Thread, QueuingWakesTheMainThread) {
  std::atomic<int> wakes{0};
  WakeMainThread = [&] { ++wakes; };
  TTestThread t([](TTestThread& self) { self.Synchronize([] {}); });
  t.Resume();
  t.WaitFor();
  WakeMainThread = nullptr;
  EXPECT_EQ(wakes, 1);
  EXPECT_FALSE(CheckSynchronize(0));   // nothing left
}

TEST(Thread, CheckSynchronizeBelongsToTheMainThread) {
  std::atomic<bool> refused{false};
  TTestThread t([&](TTestThread&) {
    try {
      CheckSynchronize(0);
    } catch (const EThread&) {
      refused = true;
    }
  });
  t.Resume();
  t.WaitFor();
  EXPECT_TRUE(refused);
}

TEST(Thread, WaitForFromAnotherThreadJustWaits) {
  std::atomic<bool> release{false};
  TTestThread inner([&](TTestThread&) {
    while (!release) std::this_thread::sleep_for(1ms);
  });
  inner.Resume();
  std::atomic<int> got{-1};
  TTestThread waiter([&](TTestThread&) { got = inner.WaitFor(); });
  waiter.Resume();
  std::this_thread::sleep_for(10ms);
  EXPECT_EQ(got, -1);
  release = true;
  waiter.WaitFor();
  EXPECT_EQ(got, 0);
}

// The cross-thread state, also checked by the ThreadSanitizer build: the wake-up hook, the
// started flag and FreeOnTerminate are touched by the owner while the thread runs.

TEST(Thread, FreeingASelfFreeingThreadFromOutsideDestroysItOnce) {
  std::atomic<int> freed{0};
  std::atomic<bool> ended{false};
  auto* t = new TTestThread([&](TTestThread&) { ended = true; }, &freed);
  t->FreeOnTerminate = true;
  t->OnTerminate = [](TObject*) {};
  t->Resume();
  // The body has ended and the thread waits for OnTerminate to be served: freeing it now
  // takes it over (the destructor's wait serves the call), and it must not free itself too.
  while (!ended) std::this_thread::sleep_for(1ms);
  delete t;
  for (int i = 0; i < 20; ++i) CheckSynchronize(5);   // time for a second free, if one came
  EXPECT_EQ(freed, 1);
}

TEST(Thread, WakeHookChangesWhileWorkersQueueCalls) {
  std::atomic<int> wakesA{0}, wakesB{0};
  int served = 0;   // main thread only
  TTestThread t([&](TTestThread& self) {
    for (int i = 0; i < 200; ++i) self.Synchronize([&] { ++served; });
  });
  t.Resume();
  for (int i = 0; served < 200 && i < 5000; ++i) {
    if (i % 2 == 0)
      WakeMainThread = [&] { ++wakesA; };
    else
      WakeMainThread = [&] { ++wakesB; };
    CheckSynchronize(1);
  }
  WakeMainThread = nullptr;
  const int after = wakesA + wakesB;
  t.WaitFor();
  EXPECT_EQ(served, 200);
  EXPECT_FALSE(static_cast<bool>(WakeMainThread));
  EXPECT_EQ(wakesA + wakesB, after);   // a cleared hook is never called again
  EXPECT_GT(after, 0);
}

TEST(Thread, StartedFlagIsReadAcrossThreads) {
  std::atomic<int> runs{0};
  TTestThread inner([&](TTestThread& self) { self.SetReturn(++runs); });
  // A waiter on another thread sees the start whenever it comes; two racing starts make one
  // thread.
  std::atomic<int> got{-1};
  TTestThread waiter([&](TTestThread&) {
    while (inner.Suspended()) std::this_thread::sleep_for(1ms);
    got = inner.WaitFor();
  });
  waiter.Resume();
  std::thread second([&] { inner.Resume(); });
  inner.Resume();
  second.join();
  waiter.WaitFor();
  EXPECT_EQ(inner.WaitFor(), 1);   // two joiners, one after the other
  EXPECT_EQ(got, 1);
  EXPECT_EQ(runs, 1);
}
