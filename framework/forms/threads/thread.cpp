#include "thread.h"

#include <string>

namespace {

struct TSyncRecord {
  const TThreadMethod* Method;
  std::exception_ptr Error;
};

// The thread window and the count of thread objects, shared by all threads.
CRITICAL_SECTION& ThreadLock() {
  static CRITICAL_SECTION lock;
  static bool made = (InitializeCriticalSection(&lock), true);
  (void)made;
  return lock;
}
HWND gThreadWindow = nullptr;
int gThreadCount = 0;
DWORD gMainThreadID = 0;

LRESULT CALLBACK ThreadWndProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case CM_EXECPROC: {
      auto* rec = reinterpret_cast<TSyncRecord*>(LParam);
      try {
        (*rec->Method)();
      } catch (...) {
        rec->Error = std::current_exception();
      }
      return 0;
    }
    case CM_DESTROYWINDOW:
      EnterCriticalSection(&ThreadLock());
      if (gThreadCount == 0 && gThreadWindow == Wnd) {
        DestroyWindow(Wnd);
        gThreadWindow = nullptr;
      }
      LeaveCriticalSection(&ThreadLock());
      return 0;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

void AddThread() {
  EnterCriticalSection(&ThreadLock());
  if (gMainThreadID == 0) gMainThreadID = GetCurrentThreadId();
  if (++gThreadCount == 1 && !gThreadWindow) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSA wc = {};
      wc.lpfnWndProc = ThreadWndProc;
      wc.hInstance = GetModuleHandleA(nullptr);
      wc.lpszClassName = ThreadWindowClassName;
      registered = RegisterClassA(&wc) != 0;
    }
    gThreadWindow = CreateWindowExA(0, ThreadWindowClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                    GetModuleHandleA(nullptr), nullptr);
  }
  LeaveCriticalSection(&ThreadLock());
}

void RemoveThread() {
  EnterCriticalSection(&ThreadLock());
  if (--gThreadCount == 0 && gThreadWindow) PostMessageA(gThreadWindow, CM_DESTROYWINDOW, 0, 0);
  LeaveCriticalSection(&ThreadLock());
}

const int kPriorities[] = {THREAD_PRIORITY_IDLE,   THREAD_PRIORITY_LOWEST,  THREAD_PRIORITY_BELOW_NORMAL,
                           THREAD_PRIORITY_NORMAL, THREAD_PRIORITY_ABOVE_NORMAL, THREAD_PRIORITY_HIGHEST,
                           THREAD_PRIORITY_TIME_CRITICAL};

}  // namespace

DWORD TThread::MainThreadID() { return gMainThreadID; }

HWND TThread::ThreadWindow() { return gThreadWindow; }

bool TThread::ProcessSyncMessages() {
  MSG m;
  // Sent calls run inside PeekMessage; the posted ones of the thread window are taken here.
  // (Wine hands out a pending quit message whatever the filter.)
  while (PeekMessageA(&m, nullptr, CM_DESTROYWINDOW, CM_EXECPROC, PM_REMOVE)) {
    if (m.message == WM_QUIT) return true;
    DispatchMessageA(&m);
  }
  // A quit message comes forward only when nothing else waits; it is taken out and reported.
  if (!PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE) || m.message != WM_QUIT) return false;
  if (!PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) return false;
  if (m.message == WM_QUIT) return true;
  TranslateMessage(&m);
  DispatchMessageA(&m);
  return false;
}

TThread::TThread(bool CreateSuspended) : FSuspended(true) {
  AddThread();
  FHandle = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &FThreadID);
  if (!FHandle) {
    RemoveThread();
    throw EInvalidOperation("Thread-Erzeugungsfehler: Fehler " + std::to_string(GetLastError()));
  }
  if (!CreateSuspended) Resume();
}

TThread::~TThread() {
  if (FHandle) {
    if (!FFinished) {
      if (FThreadID != 0 && FSuspended && !FStarted) {
        // Never ran: its thread only checks the flag and ends.
        FAbandoned = true;
        while (ResumeThread(FHandle) > 1) {
        }
        WaitForSingleObject(FHandle, INFINITE);
      } else {
        FreeOnTerminate = false;
        Terminate();
        if (FSuspended) Resume();
        WaitFor();
      }
    }
    CloseHandle(FHandle);
  }
  RemoveThread();
}

DWORD WINAPI TThread::ThreadProc(void* Param) {
  auto* t = static_cast<TThread*>(Param);
  if (t->FAbandoned) return 0;
  t->FStarted = true;
  try {
    if (!t->FTerminated) t->Execute();
  } catch (const std::exception& e) {
    t->FFatalMessage = e.what();
  } catch (...) {
    t->FFatalMessage = "Unbekannter Fehler im Thread";
  }
  const bool freeThread = t->FreeOnTerminate;
  const int result = t->ReturnValue;
  try {
    t->DoTerminate();
  } catch (...) {
  }
  t->FFinished = true;
  if (freeThread) delete t;
  return DWORD(result);
}

void TThread::Resume() {
  if (!FSuspended) return;
  const DWORD previous = ResumeThread(FHandle);
  if (previous <= 1) FSuspended = false;
}

void TThread::Suspend() {
  FSuspended = true;
  SuspendThread(FHandle);
}

void TThread::SetPriority(TThreadPriority Value) {
  FPriority = Value;
  SetThreadPriority(FHandle, kPriorities[Value]);
}

int TThread::WaitFor() {
  if (GetCurrentThreadId() == gMainThreadID) {
    for (;;) {
      const DWORD r = MsgWaitForMultipleObjects(1, &FHandle, FALSE, INFINITE, QS_SENDMESSAGE);
      if (r != WAIT_OBJECT_0 + 1) break;
      MSG m;
      PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE);
    }
  } else {
    WaitForSingleObject(FHandle, INFINITE);
  }
  DWORD code = 0;
  GetExitCodeThread(FHandle, &code);
  return int(code);
}

void TThread::Synchronize(const TThreadMethod& Method) {
  if (GetCurrentThreadId() == gMainThreadID || !gThreadWindow) {
    Method();
    return;
  }
  TSyncRecord rec{&Method, nullptr};
  SendMessageA(gThreadWindow, CM_EXECPROC, 0, reinterpret_cast<LPARAM>(&rec));
  if (rec.Error) std::rethrow_exception(rec.Error);
}

void TThread::DoTerminate() {
  if (OnTerminate) Synchronize([this] { OnTerminate(this); });
}
