// "Now" of the tariff engine. Every part of the engine that needs the current local date and
// time asks here, so tests (and the ranking tool) can run the engine at any moment.
//
// Two clocks: the local date and time, which the log records and the tariff rules read, and a
// steady clock that does not jump when daylight saving begins or ends or when the user sets the
// time. Durations (online time, cost-record seconds, free minutes) are differences of steady
// readings, so a connection across a switch is billed for the time it really lasted.
#pragma once

#include <functional>

#include "COleDateTime.h"

// The current local date and time (the installed clock, or the system's).
COleDateTime GetNow();
// Today at 00:00:00.
COleDateTime GetToday();
// Seconds on the steady clock (the installed one, or the system's monotonic clock); only
// differences of two readings mean anything.
double GetSteadySeconds();

// Installs a local clock; an empty function restores the system clocks (both of them).
void SetTarifClock(std::function<COleDateTime()> clock);
// Installs a steady clock; an empty function restores the system's.
void SetSteadyClock(std::function<double()> clock);
// A clock that stands still at `moment`; the steady clock stands with it (at the moment's
// seconds), so moving the fixed moment on moves both by the same time.
void SetFixedNow(const COleDateTime& moment);
