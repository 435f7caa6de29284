// TThread: a thread object of the component library, and TThreadList, a list shared between
// threads behind a lock.
//
// Execute runs in a thread of its own. Synchronize runs a method in the program's main thread (the
// thread that created the first thread object) while the calling thread waits: the call is sent as
// message CM_EXECPROC (0x8FFF) to a hidden window of class "TThreadWindow" that the main thread
// owns, so it runs wherever the main thread next takes its messages. CM_DESTROYWINDOW (0x8FFE)
// is posted to that window when the last thread object goes, and the window closes.
// Whoever waits for a thread in the main thread must keep taking these messages (WaitFor does).
#pragma once

#include <windows.h>

#include <exception>
#include <functional>
#include <vector>

#include "classes.h"

constexpr UINT CM_DESTROYWINDOW = 0x8FFE;
constexpr UINT CM_EXECPROC = 0x8FFF;
constexpr const char* ThreadWindowClassName = "TThreadWindow";

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

using TThreadMethod = std::function<void()>;

class TThread : public TObject {
public:
  explicit TThread(bool CreateSuspended);
  // A thread that still runs is told to end and waited for; one that never ran does not run.
  ~TThread() override;
  TThread(const TThread&) = delete;
  TThread& operator=(const TThread&) = delete;

  void Resume();
  void Suspend();
  // Asks Execute to end: it sets Terminated, which Execute checks.
  void Terminate() { FTerminated = true; }
  // Waits until the thread has ended and gives its ReturnValue. Called in the main thread it keeps
  // running the synchronised calls of every thread meanwhile.
  int WaitFor();

  bool Terminated() const { return FTerminated; }
  bool Suspended() const { return FSuspended; }
  bool Finished() const { return FFinished; }
  HANDLE Handle() const { return FHandle; }
  DWORD ThreadID() const { return FThreadID; }
  TThreadPriority Priority() const { return FPriority; }
  void SetPriority(TThreadPriority Value);
  // The object frees itself when Execute has ended (after OnTerminate).
  bool FreeOnTerminate = false;
  // Runs in the main thread after Execute has ended.
  TNotifyEvent OnTerminate;
  // The message of an exception that left Execute (empty when none did).
  const String& FatalMessage() const { return FFatalMessage; }

  static DWORD MainThreadID();
  // The main thread's thread window; none while no thread object exists.
  static HWND ThreadWindow();
  // Runs the synchronised calls waiting for the main thread (any message taken does this); true
  // when a quit message was met, which is taken out of the queue.
  static bool ProcessSyncMessages();

protected:
  virtual void Execute() = 0;
  // Runs Method in the main thread and waits for it; an exception it raises is raised again here.
  // Called in the main thread itself, Method simply runs.
  void Synchronize(const TThreadMethod& Method);
  virtual void DoTerminate();
  int ReturnValue = 0;

private:
  static DWORD WINAPI ThreadProc(void* Param);
  HANDLE FHandle = nullptr;
  DWORD FThreadID = 0;
  volatile bool FTerminated = false;
  bool FSuspended;
  volatile bool FFinished = false;
  volatile bool FStarted = false;
  volatile bool FAbandoned = false;
  TThreadPriority FPriority = tpNormal;
  String FFatalMessage;
};

// A list of items guarded by a re-entrant lock: LockList gives the items to one thread at a time
// until UnlockList.
template <typename T>
class TThreadList {
public:
  TThreadList() { InitializeCriticalSection(&FLock); }
  ~TThreadList() { DeleteCriticalSection(&FLock); }
  TThreadList(const TThreadList&) = delete;
  TThreadList& operator=(const TThreadList&) = delete;

  std::vector<T*>& LockList() {
    EnterCriticalSection(&FLock);
    return FItems;
  }
  void UnlockList() { LeaveCriticalSection(&FLock); }
  void Add(T* Item) {
    LockList().push_back(Item);
    UnlockList();
  }
  void Remove(T* Item) {
    auto& items = LockList();
    for (size_t i = items.size(); i-- > 0;)
      if (items[i] == Item) {
        items.erase(items.begin() + std::ptrdiff_t(i));
        break;
      }
    UnlockList();
  }
  void Clear() {
    LockList().clear();
    UnlockList();
  }
  int Count() {
    const int n = int(LockList().size());
    UnlockList();
    return n;
  }

private:
  CRITICAL_SECTION FLock;
  std::vector<T*> FItems;
};
