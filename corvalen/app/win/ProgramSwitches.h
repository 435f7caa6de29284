// What the program takes from the place it runs in besides the registry and its data files: the
// factor its timers run faster by, its clock and the mailbox server. The delivered Corvalen.exe
// links ProgramSwitches.cpp, which takes nothing: the system clock at its own pace and the mail
// service's own server. The program the tests drive is built from the same objects and links
// tests/test_switches.cpp in its place, which reads them from the environment. The choice is
// made when linking, so the delivered program has no way to be switched.
#pragma once

#include "CString.h"

struct CProgramSwitches {
  // Every timer period, the splash time, the dial pauses and the mailbox time limit are divided
  // by this (1: as they stand).
  int timeScale = 1;
  // Another mailbox server than the mail service's; empty: the service's own.
  CString pop3Host;
  unsigned pop3Port = 0;
};

// The switches, read once; the first call also installs the clock they name (TarifClock.h).
const CProgramSwitches& GetProgramSwitches();
