// Threads under Wine: synchronised calls run in the main thread while it waits or takes messages,
// errors come back to the caller, OnTerminate and FreeOnTerminate, the thread window's lifetime,
// a stop through an event, and the locked list.
#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

#include "thread.h"

namespace {

class TWorker : public TThread {
public:
  explicit TWorker(std::function<void(TWorker&)> Body, bool Suspended = true)
      : TThread(true), FBody(std::move(Body)) {
    if (!Suspended) Resume();
  }
  void Sync(const TThreadMethod& M) { Synchronize(M); }
  void SetResult(int V) { ReturnValue = V; }
  using TThread::Terminated;

protected:
  void Execute() override { FBody(*this); }

private:
  std::function<void(TWorker&)> FBody;
};

// Takes messages until Done or the time is up.
void PumpUntil(const std::function<bool()>& Done, DWORD Ms = 5000) {
  const DWORD start = GetTickCount();
  while (!Done() && GetTickCount() - start < Ms) {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    Sleep(1);
  }
}

TEST(Thread, SynchronizeRunsInTheMainThreadWhileItWaits) {
  const DWORD main = GetCurrentThreadId();
  DWORD ranIn = 0, executeIn = 0;
  TWorker w([&](TWorker& t) {
    executeIn = GetCurrentThreadId();
    t.Sync([&] { ranIn = GetCurrentThreadId(); });
    t.SetResult(42);
  });
  w.Resume();
  EXPECT_EQ(42, w.WaitFor());
  EXPECT_EQ(main, TThread::MainThreadID());
  EXPECT_EQ(main, ranIn);
  EXPECT_NE(main, executeIn);
  EXPECT_TRUE(w.Finished());
  EXPECT_TRUE(w.FatalMessage().empty());
}

TEST(Thread, ErrorsOfSynchronizedCallsAndOfExecute) {
  std::string caught;
  TWorker w([&](TWorker& t) {
    try {
      t.Sync([] { throw std::runtime_error("im Hauptthread"); });
    } catch (const std::exception& e) {
      caught = e.what();
    }
    throw std::runtime_error("in Execute");
  });
  w.Resume();
  w.WaitFor();
  EXPECT_EQ("im Hauptthread", caught);
  EXPECT_EQ("in Execute", w.FatalMessage());
}

TEST(Thread, OnTerminateRunsInTheMainThreadAndTheObjectFreesItself) {
  static std::atomic<int> destroyed{0};
  struct TSelfFreeing : TWorker {
    using TWorker::TWorker;
    ~TSelfFreeing() override { ++destroyed; }
  };
  const DWORD main = GetCurrentThreadId();
  DWORD terminatedIn = 0;
  auto* w = new TSelfFreeing([](TWorker&) {});
  w->FreeOnTerminate = true;
  w->OnTerminate = [&](TObject*) { terminatedIn = GetCurrentThreadId(); };
  w->Resume();
  PumpUntil([] { return destroyed.load() == 1; });
  EXPECT_EQ(1, destroyed.load());
  EXPECT_EQ(main, terminatedIn);
}

TEST(Thread, ThreadWindowLivesWhileThreadObjectsDo) {
  {
    TWorker w([](TWorker&) {});
    HWND wnd = TThread::ThreadWindow();
    ASSERT_NE(nullptr, wnd);
    char cls[64] = {};
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ("TThreadWindow", cls);
    EXPECT_EQ(wnd, FindWindowA("TThreadWindow", nullptr));
    w.Resume();
    w.WaitFor();
  }
  // The last object posted CM_DESTROYWINDOW; the window closes when the message is taken.
  PumpUntil([] { return TThread::ThreadWindow() == nullptr; });
  EXPECT_EQ(nullptr, TThread::ThreadWindow());
  EXPECT_EQ(nullptr, FindWindowA("TThreadWindow", nullptr));
}

TEST(Thread, ProcessSyncMessagesServesAWaitingThread) {
  // The main thread takes only the synchronisation messages, as a picture does while it waits
  // for its painters; a quit message is reported and taken out.
  std::atomic<int> calls{0};
  std::atomic<bool> done{false};
  TWorker w(
      [&](TWorker& t) {
        for (int i = 0; i < 5; ++i) t.Sync([&] { ++calls; });
        done = true;
      },
      false);
  const DWORD start = GetTickCount();
  while (!done && GetTickCount() - start < 5000) {
    if (TThread::ProcessSyncMessages()) ADD_FAILURE() << "no quit message was posted";
    Sleep(0);
  }
  EXPECT_EQ(5, calls.load());
  w.WaitFor();
  PostQuitMessage(0);
  EXPECT_TRUE(TThread::ProcessSyncMessages());
  EXPECT_FALSE(TThread::ProcessSyncMessages());
}

TEST(Thread, StopThroughAnEventEndsALongWaitAtOnce) {
  HANDLE stop = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD waited = 0;
  TWorker w([&](TWorker& t) {
    const DWORD s = GetTickCount();
    while (!t.Terminated()) WaitForSingleObject(stop, 60000);
    waited = GetTickCount() - s;
  });
  w.Resume();
  Sleep(50);
  w.Terminate();
  SetEvent(stop);
  w.WaitFor();
  EXPECT_LT(waited, 5000u);
  CloseHandle(stop);

  // A thread object that never ran is freed without running its Execute.
  bool ran = false;
  { TWorker never([&](TWorker&) { ran = true; }); }
  EXPECT_FALSE(ran);
}

TEST(ThreadList, LockedByOneThreadAtATime) {
  TThreadList<int> list;
  int items[2] = {1, 2};
  std::atomic<bool> inside{false}, overlap{false};
  auto body = [&](TWorker&) {
    for (int i = 0; i < 2000; ++i) {
      auto& v = list.LockList();
      if (inside.exchange(true)) overlap = true;
      v.push_back(&items[i % 2]);
      if (v.size() > 10) v.erase(v.begin());
      inside = false;
      list.UnlockList();
    }
  };
  TWorker a(body), b(body);
  a.Resume();
  b.Resume();
  a.WaitFor();
  b.WaitFor();
  EXPECT_FALSE(overlap.load());
  EXPECT_EQ(10, list.Count());
  list.Remove(&items[0]);
  EXPECT_EQ(9, list.Count());  // one occurrence
  // The lock is re-entrant in its own thread.
  list.LockList();
  list.Add(&items[1]);
  list.UnlockList();
  EXPECT_EQ(10, list.Count());
}

}  // namespace
