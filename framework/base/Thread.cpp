// TThread over std::thread and the process-wide Synchronize queue that the main thread serves.
// Owns: the queue of pending calls (each call lives on the stack of the thread that waits for
// it), the main thread's identity, and the WakeMainThread hook. Window-free: a message loop
// learns of queued calls through WakeMainThread and serves them with CheckSynchronize; WaitFor
// on the main thread serves them itself, so a thread blocked in Synchronize can always finish.
#include "framework/base/Thread.h"

#include <chrono>
#include <deque>

TMainThreadWaker WakeMainThread;

TMainThreadWaker& TMainThreadWaker::operator=(std::function<void()> hook) {
  std::lock_guard<std::mutex> g(FLock);
  FHook.swap(hook);
  return *this;
}

TMainThreadWaker::operator bool() const {
  std::lock_guard<std::mutex> g(FLock);
  return static_cast<bool>(FHook);
}

void TMainThreadWaker::operator()() const {
  std::lock_guard<std::mutex> g(FLock);
  if (FHook) FHook();
}

namespace {

struct TSyncRequest {
  std::function<void()> Method;
  std::exception_ptr Error;
  bool Done = false;
};

struct TSyncQueue {
  std::mutex Lock;
  // Signalled when a call is queued and when a thread finishes, which is all WaitFor on the
  // main thread waits for.
  std::condition_variable Arrived;
  // Signalled when calls have run.
  std::condition_variable Served;
  std::deque<TSyncRequest*> Pending;
};

TSyncQueue& SyncQueue() {
  static TSyncQueue q;
  return q;
}

std::mutex& MainThreadLock() {
  static std::mutex m;
  return m;
}
std::thread::id& MainThreadIdRef() {
  static std::thread::id id;
  return id;
}

// The thread that runs static initialisation is the program's main thread; SetMainThread can
// name another one.
[[maybe_unused]] const bool kMainThreadNoted = [] {
  std::lock_guard<std::mutex> g(MainThreadLock());
  if (MainThreadIdRef() == std::thread::id()) MainThreadIdRef() = std::this_thread::get_id();
  return true;
}();

}  // namespace

void SetMainThread() {
  std::lock_guard<std::mutex> g(MainThreadLock());
  MainThreadIdRef() = std::this_thread::get_id();
}

bool TThread::IsMainThread() {
  std::lock_guard<std::mutex> g(MainThreadLock());
  if (MainThreadIdRef() == std::thread::id()) MainThreadIdRef() = std::this_thread::get_id();
  return MainThreadIdRef() == std::this_thread::get_id();
}

bool CheckSynchronize(int timeoutMs) {
  if (!TThread::IsMainThread())
    throw EThread("CheckSynchronize called from a thread that is not the main thread");
  TSyncQueue& q = SyncQueue();
  std::deque<TSyncRequest*> batch;
  {
    std::unique_lock<std::mutex> lk(q.Lock);
    if (q.Pending.empty() && timeoutMs > 0)
      q.Arrived.wait_for(lk, std::chrono::milliseconds(timeoutMs), [&] { return !q.Pending.empty(); });
    batch.swap(q.Pending);
  }
  if (batch.empty()) return false;
  // Calls run outside the lock: one of them may itself wait for a thread (and so serve calls
  // queued meanwhile) or queue work.
  for (TSyncRequest* r : batch) {
    try {
      r->Method();
    } catch (...) {
      r->Error = std::current_exception();
    }
    {
      std::lock_guard<std::mutex> g(q.Lock);
      r->Done = true;
    }
    q.Served.notify_all();
  }
  return true;
}

// ---------------------------------------------------------------------------------------------

ORBEX_IMPLEMENT_CLASS(TThread, TObject, nullptr)

TThread::TThread(bool createSuspended) {
  // A thread started here would run Execute before the derived class is constructed.
  if (!createSuspended)
    throw EThread("A thread must be created suspended and started with Resume");
}

TThread::~TThread() {
  // FreeOnTerminate: the thread frees itself as its last act.
  if (FStarted.load() && FThreadId == std::this_thread::get_id()) FThread.detach();
  TerminateAndWait();
}

void TThread::TerminateAndWait() {
  if (!FStarted.load() || FThreadId == std::this_thread::get_id()) return;
  // Take the thread over before it decides to free itself (Run decides under the same lock),
  // so that it is destroyed once; then stop it and wait.
  {
    std::lock_guard<std::mutex> g(SyncQueue().Lock);
    FreeOnTerminate.store(false);
  }
  Terminate();
  WaitFor();
}

void TThread::Resume() {
  // Run waits for this lock, so FThread is set before the body (or a self-freeing end) runs;
  // the check under it makes two racing calls start one thread.
  std::lock_guard<std::mutex> g(FStartLock);
  if (FStarted.load()) return;
  // Marked started only once the system made the thread: a thread that could not be made
  // (std::system_error) stays suspended, and WaitFor never waits for a body that never ran.
  FThread = std::thread([this] { Run(); });
  FThreadId = FThread.get_id();
  FStarted.store(true);
}

void TThread::Terminate() { FTerminated.store(true); }

void TThread::Run() {
  { std::lock_guard<std::mutex> g(FStartLock); }
  try {
    if (!Terminated()) Execute();
  } catch (...) {
    FFatalException = std::current_exception();
  }
  try {
    DoTerminate();
  } catch (...) {
    if (!FFatalException) FFatalException = std::current_exception();
  }
  bool freeThread = false;
  {
    // Decided as the very last step, under the lock the destructor takes to claim the
    // thread: an owner that frees it before this point is never joined by a second free.
    std::lock_guard<std::mutex> g(SyncQueue().Lock);
    FFinished.store(true);
    freeThread = FreeOnTerminate.load();
  }
  SyncQueue().Arrived.notify_all();
  if (freeThread) delete this;
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}

int TThread::WaitFor() {
  if (!FStarted.load()) throw EThread("Cannot wait for a thread that was not started");
  if (FreeOnTerminate.load())
    throw EThread("Cannot wait for a thread that frees itself on termination");
  if (FThreadId == std::this_thread::get_id()) throw EThread("A thread cannot wait for itself");
  if (IsMainThread()) {
    TSyncQueue& q = SyncQueue();
    for (;;) {
      {
        std::unique_lock<std::mutex> lk(q.Lock);
        q.Arrived.wait(lk, [&] { return FFinished.load() || !q.Pending.empty(); });
        if (q.Pending.empty() && FFinished.load()) break;
      }
      CheckSynchronize(0);
    }
  }
  {
    std::lock_guard<std::mutex> g(FJoinLock);
    if (FThread.joinable()) FThread.join();
  }
  return ReturnValue;
}

std::string TThread::FatalExceptionMessage() const {
  if (!FFatalException) return std::string();
  try {
    std::rethrow_exception(FFatalException);
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown exception";
  }
}

void TThread::Synchronize(const std::function<void()>& method) { Synchronize(this, method); }

void TThread::Synchronize(TThread*, const std::function<void()>& method) {
  if (IsMainThread()) {
    method();
    return;
  }
  TSyncRequest r;
  r.Method = method;
  TSyncQueue& q = SyncQueue();
  {
    std::lock_guard<std::mutex> g(q.Lock);
    q.Pending.push_back(&r);
  }
  q.Arrived.notify_all();
  WakeMainThread();
  {
    std::unique_lock<std::mutex> lk(q.Lock);
    q.Served.wait(lk, [&] { return r.Done; });
  }
  if (r.Error) std::rethrow_exception(r.Error);
}
