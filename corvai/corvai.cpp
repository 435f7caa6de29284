// corvai.dll: the library that the AutoDial service of RAS loads when a program needs the internet
// while offline. The router names it, with the function "AutoDialFunc", in its phone-book entry.
// It does not dial itself: it starts the router and waits for the router's connected signal.
#include <windows.h>

#include <string>

#include "AutoDialHook.h"
#include "RasAccess.h"

namespace {

const DWORD kNoConnection = RAS_ERROR_USER_DISCONNECTION;  // 631

std::string Narrow(LPCWSTR text) {
  if (!text) return std::string();
  int n = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return std::string();
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text, -1, &out[0], n, nullptr, nullptr);
  out.resize(static_cast<size_t>(n - 1));
  return out;
}

}  // namespace

extern "C" {

// The function the router writes into its entry: runs the worker, then reports whether any RAS
// connection is up; always TRUE.
BOOL WINAPI AutoDialFunc(LPSTR phonebook, LPSTR entry, RASADPARAMS* params, LPDWORD result) {
  try {
    DWORD workerResult = 0;
    CAutoDialHook hook;
    hook.StartRouterAndWait(phonebook, entry, params, &workerResult);
    CRasAccess ras;
    ras.SetHangUpOnDestroy(false);  // never hang up the connection the router made
    DWORD code = kNoConnection;
    if (ras.Load() == 0 && ras.EnumConnections() == 0 && ras.GetConnectionCount() > 0) code = 0;
    if (result) *result = code;
  } catch (...) {
    if (result) *result = kNoConnection;
  }
  return TRUE;
}

BOOL WINAPI AutoDialFuncA(LPSTR phonebook, LPSTR entry, RASADPARAMS* params, LPDWORD result) {
  try {
    CAutoDialHook hook;
    return hook.StartRouterAndWait(phonebook, entry, params, result);
  } catch (...) {
    if (result) *result = CAutoDialHook::kGaveUp;
    return TRUE;
  }
}

BOOL WINAPI AutoDialFuncW(LPWSTR phonebook, LPWSTR entry, RASADPARAMS* params, LPDWORD result) {
  try {
    std::string book = Narrow(phonebook), name = Narrow(entry);
    CAutoDialHook hook;
    return hook.StartRouterAndWait(book.c_str(), name.c_str(), params, result);
  } catch (...) {
    if (result) *result = CAutoDialHook::kGaveUp;
    return TRUE;
  }
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void*) {
  if (reason == DLL_PROCESS_ATTACH) DisableThreadLibraryCalls(instance);
  return TRUE;
}

}  // extern "C"
