#include "child_process.h"

namespace testsupport {

bool StartProcess(const std::string& exe, const std::string& args, const std::string& cwd,
                  PROCESS_INFORMATION& pi) {
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  std::string cmd = "\"" + exe + "\"";
  if (!args.empty()) cmd += " " + args;
  pi = PROCESS_INFORMATION{};
  return CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, cwd.empty() ? nullptr : cwd.c_str(),
                        &si, &pi) != FALSE;
}

bool Running(const PROCESS_INFORMATION& pi) {
  return pi.hProcess && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
}

void EndProcess(PROCESS_INFORMATION& pi, UINT exitCode, DWORD waitMs) {
  if (!pi.hProcess) return;
  if (Running(pi)) TerminateProcess(pi.hProcess, exitCode);
  WaitForSingleObject(pi.hProcess, waitMs);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  pi = PROCESS_INFORMATION{};
}

DWORD RunProcess(const std::string& exe, const std::string& args, const std::string& cwd, DWORD waitMs,
                 DWORD timeoutCode, DWORD failCode) {
  PROCESS_INFORMATION pi;
  if (!StartProcess(exe, args, cwd, pi)) return failCode;
  DWORD code = timeoutCode;
  if (WaitForSingleObject(pi.hProcess, waitMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  EndProcess(pi, timeoutCode, 0);
  return code;
}

}  // namespace testsupport
