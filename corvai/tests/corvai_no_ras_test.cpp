// AutoDialFunc on a machine without RAS: whatever the router reported, there is no connection to
// report, so the code is 631. This program lies in a folder without a RAS library beside it.
#include <windows.h>
#include <gtest/gtest.h>

namespace {

DWORD WINAPI OwnUntilSignalled(void* stop) {
  HANDLE mutex = CreateMutexA(nullptr, TRUE, "CORVALENCONNECTED");
  WaitForSingleObject(stop, INFINITE);
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}

TEST(CorvaiWithoutRas, AutoDialFuncReportsNoConnection) {
  // The router is online already (another thread owns the connected mutex), so the worker returns
  // at once; PATH is not set, so nothing is started.
  HANDLE stop = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE owner = CreateThread(nullptr, 0, &OwnUntilSignalled, stop, 0, nullptr);
  for (int i = 0; i < 100; ++i) {
    HANDLE m = OpenMutexA(SYNCHRONIZE, FALSE, "CORVALENCONNECTED");
    if (m) {
      CloseHandle(m);
      break;
    }
    Sleep(10);
  }
  HMODULE dll = LoadLibraryA(CORVAI_DLL);
  ASSERT_NE(dll, nullptr);
  auto func = reinterpret_cast<BOOL(WINAPI*)(LPSTR, LPSTR, void*, LPDWORD)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "AutoDialFunc")));
  ASSERT_NE(func, nullptr);
  DWORD code = 0;
  char entry[] = "Corvalen2000";
  DWORD start = GetTickCount();
  EXPECT_TRUE(func(nullptr, entry, nullptr, &code));
  EXPECT_EQ(code, 631u);
  EXPECT_LT(GetTickCount() - start, 5000u);
  FreeLibrary(dll);
  SetEvent(stop);
  WaitForSingleObject(owner, 5000);
  CloseHandle(owner);
  CloseHandle(stop);
}

}  // namespace
