// The switches of the program that the tests drive (linked in place of win/ProgramSwitches.cpp;
// the delivered program has none of this). Read from the environment at the first call:
//   CORVALEN_TIMESCALE=n              timers, splash, dial pauses and the mailbox time limit n
//                                     times shorter, and the clock n times faster
//   CORVALEN_START=YYYYMMDDHHMMSS     the clock starts at that local time
//   CORVALEN_CLOCK=file               the clock stands at the UTC moment YYYYMMDDHHMMSS that the
//                                     file holds, read afresh at every look at the clock, so a
//                                     test moves time on exactly
//   CORVALEN_POP3_SERVER=host[:port]  the mailbox server
// The clock runs in universal time; the local time is derived through the machine's time zone
// as the system clock's is, so it jumps at a daylight-saving switch while the steady clock (the
// universal seconds) does not.
#include "ProgramSwitches.h"

#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "TarifClock.h"

namespace {

const double kTicksPerSecond = 1e7;  // FILETIME counts 100-ns intervals

std::string Env(const char* name) {
  char buffer[MAX_PATH + 1] = {};
  DWORD n = ::GetEnvironmentVariableA(name, buffer, sizeof buffer);
  return n && n < sizeof buffer ? std::string(buffer, n) : std::string();
}

bool ParseMoment(const std::string& text, SYSTEMTIME& st) {
  int y, mo, d, h, mi, s;
  if (std::sscanf(text.c_str(), "%4d%2d%2d%2d%2d%2d", &y, &mo, &d, &h, &mi, &s) != 6) return false;
  st = SYSTEMTIME{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(mo);
  st.wDay = static_cast<WORD>(d);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(mi);
  st.wSecond = static_cast<WORD>(s);
  return true;
}

bool Seconds(const SYSTEMTIME& utc, double& seconds) {
  FILETIME ft;
  if (!::SystemTimeToFileTime(&utc, &ft)) return false;
  ULARGE_INTEGER u;
  u.LowPart = ft.dwLowDateTime;
  u.HighPart = ft.dwHighDateTime;
  seconds = static_cast<double>(u.QuadPart) / kTicksPerSecond;
  return true;
}

double UtcNowSeconds() {
  SYSTEMTIME st;
  ::GetSystemTime(&st);
  double s = 0;
  Seconds(st, s);
  return s;
}

// The local date and time at `utcSeconds` in the machine's time zone.
COleDateTime LocalAt(double utcSeconds) {
  ULARGE_INTEGER u;
  u.QuadPart = static_cast<ULONGLONG>(std::floor(utcSeconds)) * 10000000ull;
  FILETIME ft{u.LowPart, u.HighPart};
  SYSTEMTIME utc, local;
  if (!::FileTimeToSystemTime(&ft, &utc) || !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
    return COleDateTime::GetCurrentTime();
  return COleDateTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
}

// The UTC moment in the clock file; `last` when the file cannot be read.
double ReadClockFile(const std::string& path, double last) {
  HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) return last;
  char text[32] = {};
  DWORD got = 0;
  ::ReadFile(f, text, sizeof text - 1, &got, nullptr);
  ::CloseHandle(f);
  SYSTEMTIME st;
  double s = last;
  if (!ParseMoment(std::string(text, got), st) || !Seconds(st, s)) return last;
  return s;
}

CProgramSwitches Read() {
  CProgramSwitches sw;
  std::string scale = Env("CORVALEN_TIMESCALE");
  sw.timeScale = scale.empty() ? 1 : std::atoi(scale.c_str());
  if (sw.timeScale < 1) sw.timeScale = 1;

  std::string clockFile = Env("CORVALEN_CLOCK");
  SYSTEMTIME start;
  bool fixedStart = ParseMoment(Env("CORVALEN_START"), start);
  if (!clockFile.empty()) {
    auto utc = std::make_shared<double>(ReadClockFile(clockFile, UtcNowSeconds()));
    auto read = [clockFile, utc] { return *utc = ReadClockFile(clockFile, *utc); };
    SetTarifClock([read] { return LocalAt(read()); });
    SetSteadyClock(read);
  } else if (sw.timeScale > 1 || fixedStart) {
    double origin = UtcNowSeconds();
    SYSTEMTIME utc;
    if (fixedStart && ::TzSpecificLocalTimeToSystemTime(nullptr, &start, &utc)) Seconds(utc, origin);
    const DWORD t0 = ::GetTickCount();
    const int factor = sw.timeScale;
    auto read = [origin, t0, factor] {
      return origin + std::floor(static_cast<double>(::GetTickCount() - t0) / 1000.0 * factor);
    };
    SetTarifClock([read] { return LocalAt(read()); });
    SetSteadyClock(read);
  }

  std::string server = Env("CORVALEN_POP3_SERVER");
  size_t colon = server.rfind(':');
  if (colon != std::string::npos) {
    int port = std::atoi(server.c_str() + colon + 1);
    if (port > 0 && port < 65536) sw.pop3Port = static_cast<unsigned>(port);
    server.erase(colon);
  }
  sw.pop3Host = server.c_str();
  return sw;
}

}  // namespace

const CProgramSwitches& GetProgramSwitches() {
  static const CProgramSwitches switches = Read();
  return switches;
}
