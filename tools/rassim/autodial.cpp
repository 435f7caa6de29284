// A stand-in for the AutoDial service of RAS, for tests: it does what the service does when a
// program needs the internet while offline. It reads the default internet entry (the value
// "InternetProfile" under HKEY_CURRENT_USER\RemoteAccess), asks RAS for that entry's properties, loads
// the library the entry names as its AutoDial handler and calls the function the entry names, with
// the phone book, the entry name, the AutoDial parameters and a pointer to the result code.
//
//   autodial.exe [function]   calls the named function instead of the entry's one ("...W" functions
//                             get their strings as UTF-16)
// Prints "AutoDial <function>: <BOOL> <code>" and exits with the code (or 100 + a failure step).
#include "RasSimRecords.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

struct AutoDialParams {  // RASADPARAMS
  DWORD dwSize;
  HWND hwndOwner;
  DWORD dwFlags;
  LONG xDlg;
  LONG yDlg;
};
static_assert(sizeof(AutoDialParams) == 20, "RASADPARAMS");

typedef BOOL(WINAPI* AutoDialA)(LPSTR, LPSTR, AutoDialParams*, DWORD*);
typedef BOOL(WINAPI* AutoDialW)(LPWSTR, LPWSTR, AutoDialParams*, DWORD*);
typedef DWORD(WINAPI* GetEntryProperties)(LPCSTR, LPCSTR, rassim::Entry*, DWORD*, BYTE*, DWORD*);

int Fail(int step, const char* what) {
  printf("AutoDial: %s\n", what);
  fflush(stdout);
  return 100 + step;
}

}  // namespace

int main(int argc, char** argv) {
  char entry[rassim::kMaxEntryName + 1] = {};
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "RemoteAccess", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return Fail(1, "no key RemoteAccess");
  DWORD type = 0, size = sizeof entry - 1;
  LONG rc = RegQueryValueExA(key, "InternetProfile", nullptr, &type, reinterpret_cast<BYTE*>(entry), &size);
  RegCloseKey(key);
  if (rc != ERROR_SUCCESS || type != REG_SZ) return Fail(2, "no InternetProfile");
  entry[size] = 0;

  HMODULE ras = LoadLibraryA("RASAPI32.DLL");
  if (!ras) return Fail(3, "RASAPI32.DLL missing");
  auto getProps = reinterpret_cast<GetEntryProperties>(reinterpret_cast<void*>(GetProcAddress(ras, "RasGetEntryPropertiesA")));
  if (!getProps) return Fail(4, "RasGetEntryPropertiesA missing");
  rassim::Entry props = {};
  props.dwSize = sizeof props;
  DWORD cb = sizeof props;
  if (getProps(nullptr, entry, &props, &cb, nullptr, nullptr) != 0) return Fail(5, "entry unreadable");

  const char* function = argc > 1 ? argv[1] : props.szAutodialFunc;
  HMODULE hook = LoadLibraryA(props.szAutodialDll);
  if (!hook) return Fail(6, "AutoDial library missing");
  FARPROC proc = GetProcAddress(hook, function);
  if (!proc) return Fail(7, "AutoDial function missing");

  AutoDialParams params = {sizeof params, nullptr, 0, 0, 0};
  DWORD code = 0xFFFFFFFF;
  BOOL ok;
  size_t n = strlen(function);
  if (n && function[n - 1] == 'W') {
    wchar_t wentry[rassim::kMaxEntryName + 1] = {};
    MultiByteToWideChar(CP_ACP, 0, entry, -1, wentry, rassim::kMaxEntryName + 1);
    ok = reinterpret_cast<AutoDialW>(reinterpret_cast<void*>(proc))(nullptr, wentry, &params, &code);
  } else {
    ok = reinterpret_cast<AutoDialA>(reinterpret_cast<void*>(proc))(nullptr, entry, &params, &code);
  }
  printf("AutoDial %s: %d %lu\n", function, ok, code);
  fflush(stdout);
  FreeLibrary(hook);
  FreeLibrary(ras);
  return static_cast<int>(code);
}
