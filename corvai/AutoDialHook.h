// The worker behind corvai's AutoDial exports: it starts the router with "AfterDll0;0" and watches
// the router's "connected" mutex until the router reports a connection or about 21 seconds pass.
#pragma once

#include <windows.h>

#include <string>

// What the worker needs from the system; tests put a clock and a starter of their own here.
struct AutoDialEnvironment {
  DWORD (*now)();                       // milliseconds of a monotonic clock
  void (*sleep)(DWORD ms);
  std::string (*readRouterPath)();      // PATH of the machine key, "" when missing
  void (*startRouter)(const std::string& file, const std::string& parameters);
  const char* mutexName;
};

// The default environment: GetTickCount, Sleep, the registry, the shell, "CORVALENCONNECTED".
AutoDialEnvironment DefaultAutoDialEnvironment();

class CAutoDialHook {
 public:
  // Each phase gives up once more than this many whole seconds have passed (so after 21 s).
  static constexpr DWORD kPhaseSeconds = 20;
  // The pause between two looks at the mutex.
  static constexpr DWORD kPollMs = 50;
  // The result code of a hook that gave up: the operation was cancelled.
  static constexpr DWORD kGaveUp = 1223;

  explicit CAutoDialHook(const AutoDialEnvironment& env = DefaultAutoDialEnvironment()) : env_(env) {}

  // Phone book, entry and parameters are passed on by the service and not used. Always TRUE;
  // *result 0 when the router is online, kGaveUp otherwise.
  BOOL StartRouterAndWait(const char* phonebook, const char* entry, void* params, DWORD* result);

  // The command line the router is started with.
  std::string CommandLine() const;

 private:
  bool Expired(DWORD start) const { return (env_.now() - start) / 1000 > kPhaseSeconds; }

  AutoDialEnvironment env_;
  int second_ = 0;  // the second number of the command line
};
