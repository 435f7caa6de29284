// "Now" of the tariff engine. Every part of the engine that needs the current local date and
// time asks here, so tests (and the ranking tool) can run the engine at any moment.
#pragma once

#include <functional>

#include "COleDateTime.h"

// The current local date and time (the installed clock, or the system's).
COleDateTime GetNow();
// Today at 00:00:00.
COleDateTime GetToday();

// Installs a clock; an empty function restores the system clock.
void SetTarifClock(std::function<COleDateTime()> clock);
// A clock that stands still at `moment`.
void SetFixedNow(const COleDateTime& moment);
