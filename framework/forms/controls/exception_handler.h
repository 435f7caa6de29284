// The application's exception handler: what happens to an exception that reaches a window
// procedure, timer or callback of the library. Every one of them is a firewall: the exception's
// message is shown (a message box titled with the application's title) and the program goes on.
#pragma once

#include <functional>

#include "sysutils.h"

// Shows the exception's message unless a handler is installed; tests install one that records
// the message instead.
using TExceptionHandler = std::function<void(const String& Message)>;
void SetExceptionHandler(TExceptionHandler handler);
// The title of the handler's message box; the application sets it (TApplication::SetTitle).
void SetApplicationTitle(const String& title);
const String& ApplicationTitle();
// The message of the exception being handled (call inside a catch block).
String CurrentExceptionMessage();
void HandleException();  // inside a catch block

// Runs f; an exception is handled (shown) and the default value returned.
template <typename R, typename F>
R Firewall(R fallback, F&& f) {
  try {
    return f();
  } catch (...) {
    HandleException();
    return fallback;
  }
}
