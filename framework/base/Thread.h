// TThread: a thread object over std::thread, window-free. Created suspended; Resume starts it.
// Synchronize runs a call on the main thread and blocks until it has run; the main thread
// serves such calls in CheckSynchronize, which the application's message loop calls when it
// is woken (WakeMainThread) and which WaitFor keeps calling while it waits.
#pragma once

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "framework/base/Classes.h"

// Scheduling priorities of a thread, lowest first.
enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

// Create it suspended (TThread(true); false raises EThread, since a thread started in the
// base constructor would run Execute before the derived object exists), set it up, Resume.
// A derived class whose Execute uses its own members calls TerminateAndWait() at the start of
// its destructor (the base destructor does it too, but by then the derived part is gone).
// WaitFor raises EThread for a FreeOnTerminate thread, which may be gone at any time; freeing
// such a thread from outside before it has ended takes it over, so it is destroyed once.
class TThread : public TObject {
  ORBEX_CLASS(TThread, TObject)
public:
  explicit TThread(bool createSuspended);
  // Terminates and waits for a started thread that was not freed on termination.
  ~TThread() override;

  void Resume();              // starts a suspended thread (once)
  void Start() { Resume(); }
  void Terminate();           // sets Terminated; the body checks it
  bool Terminated() const { return FTerminated.load(); }
  // Waits for the body to end, serving pending Synchronize calls when called on the main
  // thread; returns ReturnValue.
  int WaitFor();
  // Takes a self-freeing thread over (it will not free itself), asks the body to stop and
  // waits for it. Nothing for a thread never started, or when called by the thread itself
  // (the end of a self-freeing thread).
  void TerminateAndWait();
  bool Finished() const { return FFinished.load(); }
  bool Suspended() const { return !FStarted.load(); }

  // Read by the thread as its last act (under the lock the destructor takes), written by its
  // owner: atomic, so that either may touch it at any time.
  std::atomic<bool> FreeOnTerminate{false};
  int ReturnValue = 0;
  // The priority asked for; kept as a setting (the portable thread runs at the process's
  // normal priority).
  TThreadPriority GetPriority() const { return FPriority; }
  void SetPriority(TThreadPriority p) { FPriority = p; }
  TNotifyEvent OnTerminate;   // runs on the main thread after Execute ends
  // The exception that escaped Execute, kept for the owner (null when none).
  std::exception_ptr FatalException() const { return FFatalException; }
  // Message of the kept exception, "" when none.
  std::string FatalExceptionMessage() const;

  // Runs `method` on the main thread and waits for it; an exception it raises is re-raised in
  // the calling thread. On the main thread it runs at once.
  void Synchronize(const std::function<void()>& method);
  static void Synchronize(TThread* thread, const std::function<void()>& method);

  static bool IsMainThread();

protected:
  virtual void Execute() = 0;
  virtual void DoTerminate();

private:
  void Run();
  std::thread FThread;
  std::thread::id FThreadId;   // set once, before FStarted, so readable without a lock
  std::mutex FStartLock;       // held by Resume while it makes the thread; Run waits for it
  std::mutex FJoinLock;        // one joiner at a time (WaitFor may be called from two threads)
  std::atomic<bool> FTerminated{false};
  std::atomic<bool> FFinished{false};
  std::atomic<bool> FStarted{false};
  std::exception_ptr FFatalException;
  TThreadPriority FPriority = tpNormal;
};

// Serves every pending Synchronize call on the main thread; true when at least one ran.
// `timeoutMs` > 0 waits up to that long for a first call to arrive.
bool CheckSynchronize(int timeoutMs = 0);

// The hook called (from any thread) when a Synchronize call is queued, so that a message loop
// can wake up and call CheckSynchronize. The main thread sets and clears it while workers call
// it, so both go through one lock: once an assignment has returned, the previous hook is no
// longer running and is never called again. The hook runs under that lock: it must only post
// (never assign the hook or wait for the main thread).
class TMainThreadWaker {
public:
  TMainThreadWaker() = default;
  TMainThreadWaker(const TMainThreadWaker&) = delete;
  TMainThreadWaker& operator=(const TMainThreadWaker&) = delete;
  // Sets the hook; nullptr clears it.
  TMainThreadWaker& operator=(std::function<void()> hook);
  explicit operator bool() const;
  // Calls the hook; nothing when none is set.
  void operator()() const;

private:
  mutable std::mutex FLock;
  std::function<void()> FHook;
};

// Set by the application object; may be empty.
extern TMainThreadWaker WakeMainThread;

// Marks the calling thread as the main thread (the application does this at start-up; by
// default the thread that first touches the framework's threading is the main thread).
void SetMainThread();
