#include "exception_handler.h"

#include <windows.h>

#include <new>

namespace {
TExceptionHandler gExceptionHandler;
String gTitle;
}  // namespace

void SetExceptionHandler(TExceptionHandler handler) { gExceptionHandler = std::move(handler); }
void SetApplicationTitle(const String& title) { gTitle = title; }
const String& ApplicationTitle() { return gTitle; }

String CurrentExceptionMessage() {
  try {
    throw;
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return "Zu wenig Arbeitsspeicher";
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unbekannter Fehler";
  }
}

void HandleException() {
  const String msg = CurrentExceptionMessage();
  try {
    if (gExceptionHandler)
      gExceptionHandler(msg);
    else
      MessageBoxA(GetActiveWindow(), msg.c_str(), gTitle.c_str(), MB_OK | MB_ICONERROR | MB_TASKMODAL);
  } catch (...) {
    // A failing handler must not take the program down either.
  }
}
