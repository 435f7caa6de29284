// A stand-in for the router in the hook's tests: started as Corvalen.exe, it does with the two
// mutexes what the router does, on the schedule of fake-router.ini beside it:
//   [schedule] CreateAfterMs= OwnAfterMs= HoldMs= Abandon=1 (end while owning "CORVALENCONNECTED")
// It appends its command line to started.txt beside it. A second instance ends at once, as the
// router's second instance hands over to the first.
#include <windows.h>

#include <string>

namespace {

std::string Folder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string p = path;
  return p.substr(0, p.find_last_of('\\') + 1);
}

int Get(const char* key, int fallback) {
  return GetPrivateProfileIntA("schedule", key, fallback, (Folder() + "fake-router.ini").c_str());
}

}  // namespace

int main() {
  std::string line = std::string(GetCommandLineA()) + "\r\n";
  HANDLE log = CreateFileA((Folder() + "started.txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                           nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(log, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(log);

  HANDLE single = CreateMutexA(nullptr, FALSE, "CORVALEN");
  if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
  Sleep(Get("CreateAfterMs", 0));
  HANDLE connected = CreateMutexA(nullptr, FALSE, "CORVALENCONNECTED");
  int own = Get("OwnAfterMs", -1);
  if (own >= 0) {
    Sleep(own);
    if (WaitForSingleObject(connected, 5) == WAIT_OBJECT_0) {
      if (Get("Abandon", 0)) ExitProcess(3);
      Sleep(Get("HoldMs", 2000));
      ReleaseMutex(connected);
    }
  } else {
    Sleep(Get("HoldMs", 2000));
  }
  CloseHandle(connected);
  CloseHandle(single);
  return 0;
}
