// A program started by a test as a child process, and ended with the test.
#pragma once

#include <windows.h>

#include <string>

namespace testsupport {

// Starts `exe` (quoted on the command line, followed by `args`) in the folder `cwd` (empty: the
// test's own). False when the program could not be started.
bool StartProcess(const std::string& exe, const std::string& args, const std::string& cwd,
                  PROCESS_INFORMATION& pi);

// True while the process runs.
bool Running(const PROCESS_INFORMATION& pi);

// Ends a process that still runs with `exitCode`, waits up to `waitMs` for it and closes its
// handles; does nothing for a process that was never started.
void EndProcess(PROCESS_INFORMATION& pi, UINT exitCode, DWORD waitMs);

// Runs the program to its end (at most `waitMs`, else it is ended with `timeoutCode`) and returns
// its exit code; `failCode` when it could not be started.
DWORD RunProcess(const std::string& exe, const std::string& args, const std::string& cwd, DWORD waitMs,
                 DWORD timeoutCode, DWORD failCode);

}  // namespace testsupport
