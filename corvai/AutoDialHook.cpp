#include "AutoDialHook.h"

#include <shellapi.h>

#include <cstdio>

#include "RouterPath.h"

namespace {

// The first number of the command line; the router never reads either.
int g_first = 0;

DWORD TickNow() { return GetTickCount(); }
void PlainSleep(DWORD ms) { Sleep(ms); }

void ShellStart(const std::string& file, const std::string& parameters) {
  SHELLEXECUTEINFOA info = {};
  static_assert(sizeof info == 60, "SHELLEXECUTEINFOA");
  info.cbSize = sizeof info;
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  ShellExecuteExA(&info);  // a router that does not start shows in the mutex not appearing
}

}  // namespace

AutoDialEnvironment DefaultAutoDialEnvironment() {
  return {&TickNow, &PlainSleep, &ReadRouterPath, &ShellStart, "CORVALENCONNECTED"};
}

std::string CAutoDialHook::CommandLine() const {
  char line[64];
  snprintf(line, sizeof line, "AfterDll%d;%d", g_first, second_);
  return line;
}

BOOL CAutoDialHook::StartRouterAndWait(const char*, const char*, void*, DWORD* result) {
  DWORD dummy = 0;
  if (!result) result = &dummy;
  std::string path = env_.readRouterPath();
  if (!path.empty()) {
    if (path.back() != '\\') path += '\\';
    env_.startRouter(path + "Corvalen.exe", CommandLine());
  }
  *result = 0;

  // Phase 1: wait for the router to create its mutex.
  HANDLE mutex = nullptr;
  DWORD start = env_.now();
  for (;;) {
    mutex = OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, env_.mutexName);
    if (mutex) break;
    if (Expired(start)) {
      *result = kGaveUp;
      return TRUE;
    }
    env_.sleep(kPollMs);
  }

  // Phase 2: the router owns the mutex while it is online, so a wait that times out means online.
  start = env_.now();
  for (;;) {
    DWORD wait = WaitForSingleObject(mutex, 1);
    if (wait == WAIT_TIMEOUT) {
      CloseHandle(mutex);
      *result = 0;
      return TRUE;
    }
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) ReleaseMutex(mutex);
    // An abandoned mutex: the router ended while online; a failed wait: nothing more to watch.
    if (wait != WAIT_OBJECT_0 || Expired(start)) break;
    env_.sleep(kPollMs);
  }
  CloseHandle(mutex);
  *result = kGaveUp;
  return TRUE;
}
