// The real Corvalen.exe in a time zone with daylight saving (the test runs with
// TZ=Europe/Berlin): a connection across a switch keeps the local times in the cost log and is
// billed, shown and counted for the time it really lasted.
#include <gtest/gtest.h>

#include "program_driver.h"

namespace {

enum { kVerbinden = 1050, kTrennen = 1052, kGroup = 1071, kOnlineZeit = 1128 };

// The online minutes of the only record of free.log (count, key, the class of the first record,
// then status, period start, online minutes).
int FreeMinutesOfOnlyRecord(const std::string& log, const std::string& id) {
  size_t at = 2 + 1 + id.size() + 2 + 2 + 2 + 14 + 4 + 8;
  if (log.size() < at + 4 || log.compare(3, id.size(), id) != 0) return -1;
  int v;
  memcpy(&v, log.data() + at, 4);
  return v;
}

class CorvalenDaylightSaving : public ::testing::Test {
 protected:
  void SetUp() override {
    TIME_ZONE_INFORMATION tz;
    GetTimeZoneInformation(&tz);
    // Without a zone that switches, the test would show nothing.
    ASSERT_EQ(3, tz.DaylightDate.wMonth) << "TZ=Europe/Berlin expected";
  }
};

// Sunday 29 March 2026, 02:00 CET: the clocks go on to 03:00 CEST. Funkelnetz costs 1.90 Pf a
// minute on Sundays before 18:00, in 60-second units.
TEST_F(CorvalenDaylightSaving, AConnectionAcrossASwitchIsBilledForItsLength) {
  struct {
    const char* connect;   // universal time
    const char* hangUp;
    const char* record;
  } cases[] = {
      // 01:59:30 CET to 03:00:31 CEST: 61 seconds, two units.
      {"20260329005930", "20260329010031", "default;3/29/2026 1:59:30;00:01:01;Funkelnetz;60;1.90;0.00;0.038;;;0192100;"},
      // Sunday 25 October 2026, 03:00 CEST back to 02:00 CET: 02:59:30 CEST to 02:00:31 CET.
      {"20261025005930", "20261025010031", "default;10/25/2026 2:59:30;00:01:01;Funkelnetz;60;1.90;0.00;0.038;;;0192100;"},
  };
  for (const auto& c : cases) {
    CorvalenRun run;
    run.ClockAt(c.connect);
    int p = run.Start();
    HWND main = run.WaitMain();
    ASSERT_NE(nullptr, main);
    CorvalenRun::Press(main, kVerbinden);
    ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
    run.ClockAt(c.hangUp);
    EXPECT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlineZeit) == "0:01:01"; }, 5000))
        << CorvalenRun::Text(main, kOnlineZeit);
    CorvalenRun::Press(main, kTrennen);
    ASSERT_TRUE(CorvalenRun::WaitFor([&] { return !run.File("rechnung.log").empty(); }, 5000));
    EXPECT_EQ(c.record, run.File("rechnung.log"));
    run.Quit(run.Process(p));
    EXPECT_TRUE(run.Exited(p, 10000));
    SetEnvironmentVariableA("CORVALEN_CLOCK", nullptr);
  }
}

// Nachtfalke Net has free minutes: 61 seconds across the switch use two of them, not 62.
TEST_F(CorvalenDaylightSaving, FreeMinutesAcrossTheSwitchCountTheRealTime) {
  CorvalenRun run;
  CorvalenRun::User("DefaultConnection", "nf-500");
  run.ClockAt("20260329005930");
  int p = run.Start();
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  // The first call of the period asks for the free minutes used so far (none).
  HWND freeDlg = run.WaitBox("Freiminutenverwaltung", nullptr);
  ASSERT_NE(nullptr, freeDlg);
  CorvalenRun::Press(freeDlg, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Online(main); }));
  run.ClockAt("20260329010031");
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Text(main, kOnlineZeit) == "0:01:01"; }, 5000))
      << CorvalenRun::Text(main, kOnlineZeit);
  CorvalenRun::Press(main, kTrennen);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return CorvalenRun::Enabled(main, kVerbinden); }, 5000));
  EXPECT_EQ(2, FreeMinutesOfOnlyRecord(run.File("free.log"), "nf-500"));
  run.Quit(run.Process(p));
  EXPECT_TRUE(run.Exited(p, 10000));
  SetEnvironmentVariableA("CORVALEN_CLOCK", nullptr);
}

}  // namespace
