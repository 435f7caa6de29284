#include <filesystem>

#include "CArchive.h"
#include "CFile.h"
#include "DataBudget.h"
#include "TarifClock.h"
#include "TarifManager.h"
#include "TestSupport.h"
#include "save_faults.h"

namespace {
CTarifProtocol* Record(int day, int calls, int minutes, COleDateTime start = COleDateTime()) {
  auto* r = new CTarifProtocol;
  r->SetDay(day);
  r->SetCallCount(calls);
  r->SetOnlineMinutes(minutes);
  r->SetPeriodStart(start);
  return r;
}
std::string LE32(int v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<size_t>(i)] = static_cast<char>((static_cast<unsigned>(v) >> (8 * i)) & 0xFF);
  return Hex(s);
}
}  // namespace

class ProtocolTest : public TariffTest {
 protected:
  void Load(const std::string& providers) {
    WriteTarif("<Providerliste>" + providers + "</Providerliste>");
    WriteFile("Feiertags.dat", "<x/>");
    manager.Init(&settings, nullptr);
  }
  CTarifProtocol* Rec(const char* id) {
    CTarifProtocol* r = nullptr;
    manager.GetProtocolStore().Lookup(id, r);
    return r;
  }
  CSettings settings;
  CTarifManager manager;
};

TEST_F(ProtocolTest, FileIsTheArchiveImageByteForByte) {
  CTarifProtocolStore store;
  store.SetSettings(&settings);
  store.Save();
  EXPECT_EQ(Hex(ReadFile("free.log")), "0000");

  store.SetAt("id-1", Record(15, 3, 42, COleDateTime(2026, 3, 15, 0, 0, 0)));
  store.SetAt("zweiter", Record(1, 0, 7));
  store.Save();
  const std::string want =
      "0200" "04" + Hex("id-1") + "FFFF" "0100" "0E00" + Hex("CTarifProtocol") +
      "00000000" "000000000082E640" + LE32(42) + LE32(15) + LE32(3) +
      "07" + Hex("zweiter") + "0180" "00000000" "0000000000000000" + LE32(7) + LE32(1) + LE32(0);
  EXPECT_EQ(Hex(ReadFile("free.log")), want);
  EXPECT_FALSE(FileExists("free.tmp"));

  CTarifProtocolStore back;
  back.SetSettings(&settings);
  back.Load(nullptr);
  CTarifProtocol* r = nullptr;
  ASSERT_TRUE(back.Lookup("id-1", r));
  EXPECT_EQ(r->GetDay(), 15);
  EXPECT_EQ(r->GetCallCount(), 3);
  EXPECT_EQ(r->GetOnlineMinutes(), 42);
  EXPECT_EQ(r->GetPeriodStart(), COleDateTime(2026, 3, 15, 0, 0, 0));
  ASSERT_TRUE(back.Lookup("zweiter", r));
  EXPECT_EQ(r->GetOnlineMinutes(), 7);
}

TEST_F(ProtocolTest, DamagedFilesKeepTheRecordsReadBeforeTheDamage) {
  CTarifProtocolStore store;
  store.SetSettings(&settings);
  for (int i = 0; i < 3; ++i) store.SetAt(CString::Formatted("p%d", i), Record(i + 1, i, i));
  store.Save();
  const std::string full = ReadFile("free.log");
  struct { size_t cut; int kept; } cases[] = {{0, 0}, {1, 0}, {30, 0}, {full.size() - 1, 2}, {full.size(), 3}};
  for (auto& c : cases) {
    WriteFile("free.log", full.substr(0, c.cut));
    CTarifProtocolStore s;
    s.SetSettings(&settings);
    s.Load(nullptr);
    EXPECT_EQ(s.GetMap().GetCount(), c.kept) << c.cut;
  }
  // A hostile count, an unknown class, and a reference to an object that does not exist.
  const std::string hostile[] = {
      std::string("\xFF\xFF\xFF\xFF\xFF\xFF", 6),
      std::string("\x01\x00\x01" "a" "\xFF\xFF\x01\x00\x04\x00" "CWnd", 13),
      std::string("\x02\x00\x01" "a" "\x02\x00", 6),
  };
  for (const auto& h : hostile) {
    WriteFile("free.log", h);
    CTarifProtocolStore s;
    s.SetSettings(&settings);
    s.Load(nullptr);
    EXPECT_EQ(s.GetMap().GetCount(), 0);
  }
  // Beyond the limit of data files: no free.log of this program, nothing of it is taken.
  WriteFile("free.log", full + std::string(kDataFileLimit, '\0'));
  CTarifProtocolStore big;
  big.SetSettings(&settings);
  big.Load(nullptr);
  EXPECT_EQ(big.GetMap().GetCount(), 0);
}

TEST_F(ProtocolTest, MonthlyPeriodsRollByTheRecordsDay) {
  Load("<Provider id=\"m\"><rule><lt v=\"online.monat\" o=\"60\"/></rule></Provider>");
  struct { int day; COleDateTime start; COleDateTime now; COleDateTime want; bool reset; } cases[] = {
      {31, COleDateTime(2026, 1, 31, 0, 0, 0), COleDateTime(2026, 1, 31, 10, 0, 0), COleDateTime(2026, 2, 28, 0, 0, 0), true},
      {31, COleDateTime(2028, 1, 31, 0, 0, 0), COleDateTime(2028, 1, 31, 0, 0, 1), COleDateTime(2028, 2, 29, 0, 0, 0), true},
      {31, COleDateTime(2026, 1, 31, 0, 0, 0), COleDateTime(2026, 2, 1, 8, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0), true},
      {31, COleDateTime(2026, 2, 28, 0, 0, 0), COleDateTime(2026, 2, 28, 12, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0), true},
      {31, COleDateTime(2026, 12, 31, 0, 0, 0), COleDateTime(2026, 12, 31, 23, 0, 0), COleDateTime(2027, 1, 31, 0, 0, 0), true},
      {31, COleDateTime(2026, 3, 31, 0, 0, 0), COleDateTime(2026, 3, 30, 23, 59, 59), COleDateTime(2026, 3, 31, 0, 0, 0), false},
      {15, COleDateTime(), COleDateTime(2026, 3, 20, 9, 0, 0), COleDateTime(2026, 4, 15, 0, 0, 0), false},
      {15, COleDateTime(), COleDateTime(2026, 3, 10, 9, 0, 0), COleDateTime(2026, 3, 15, 0, 0, 0), false},
      {31, COleDateTime(), COleDateTime(2026, 4, 2, 9, 0, 0), COleDateTime(2026, 4, 30, 0, 0, 0), false},
  };
  int changes;
  for (auto& c : cases) {
    manager.GetProtocolStore().SetAt("m", Record(c.day, 5, 50, c.start));
    SetFixedNow(c.now);
    manager.Recompute(&changes, nullptr);
    CTarifProtocol* r = Rec("m");
    EXPECT_EQ(r->GetPeriodStart().Format("%d.%m.%Y"), c.want.Format("%d.%m.%Y")) << c.now.Format("%d.%m.%Y %H:%M:%S").c_str();
    EXPECT_EQ(r->GetCallCount(), c.reset ? 0 : 5);
    // The provider sees the protocol's values.
    CProvider* p = manager.FindProvider("m");
    EXPECT_EQ(p->GetOnlineMinutes(), r->GetOnlineMinutes());
    EXPECT_EQ(p->GetPeriodStart(), r->GetPeriodStart());
    EXPECT_EQ(p->GetPeriodDay(), c.day);
  }
}

TEST_F(ProtocolTest, WeeklyAndDailyPeriods) {
  Load("<Provider id=\"w\"><rule><lt v=\"anrufe.woche\" o=\"5\"/></rule></Provider>"
       "<Provider id=\"t\"><rule><lt v=\"online.tag\" o=\"5\"/></rule></Provider>");
  int changes;
  // A fresh weekly record ends its period next Monday; on a Monday, the Monday after.
  struct { COleDateTime now; COleDateTime want; } fresh[] = {
      {COleDateTime(2026, 3, 4, 12, 0, 0), COleDateTime(2026, 3, 9, 0, 0, 0)},
      {COleDateTime(2026, 3, 8, 23, 0, 0), COleDateTime(2026, 3, 9, 0, 0, 0)},
      {COleDateTime(2026, 3, 9, 0, 30, 0), COleDateTime(2026, 3, 16, 0, 0, 0)},
  };
  for (auto& f : fresh) {
    manager.GetProtocolStore().SetAt("w", Record(1, 2, 0));
    SetFixedNow(f.now);
    manager.Recompute(&changes, nullptr);
    EXPECT_EQ(Rec("w")->GetPeriodStart(), f.want);
    EXPECT_EQ(Rec("w")->GetCallCount(), 2);
  }
  // A boundary three weeks back advances one week per ranking.
  manager.GetProtocolStore().SetAt("w", Record(1, 2, 0, COleDateTime(2026, 2, 16, 0, 0, 0)));
  SetFixedNow(COleDateTime(2026, 3, 4, 12, 0, 0));
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Rec("w")->GetPeriodStart(), COleDateTime(2026, 2, 23, 0, 0, 0));
  EXPECT_EQ(Rec("w")->GetCallCount(), 0);
  manager.Recompute(&changes, nullptr);
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Rec("w")->GetPeriodStart(), COleDateTime(2026, 3, 9, 0, 0, 0));

  manager.GetProtocolStore().SetAt("t", Record(1, 1, 9, COleDateTime(2026, 3, 4, 0, 0, 0)));
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Rec("t")->GetPeriodStart(), COleDateTime(2026, 3, 5, 0, 0, 0));
  EXPECT_EQ(Rec("t")->GetOnlineMinutes(), 0);
  // A record whose provider left the database stays exactly as it is.
  manager.GetProtocolStore().SetAt("weg", Record(9, 9, 9, COleDateTime(2020, 1, 1, 0, 0, 0)));
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Rec("weg")->GetPeriodStart(), COleDateTime(2020, 1, 1, 0, 0, 0));
  EXPECT_EQ(Rec("weg")->GetCallCount(), 9);
  CTarifProtocolStore back;
  back.SetSettings(&settings);
  back.Load(nullptr);
  EXPECT_EQ(back.GetMap().GetCount(), 3);
}

TEST_F(ProtocolTest, FreeMinuteClockRoundsTheLastBegunMinuteUp) {
  Load("<Provider id=\"f\"><freiminuten>j</freiminuten><set a=\"freimin\" b=\"100\"/></Provider>"
       "<Provider id=\"n\"/>");
  CProvider* f = manager.FindProvider("f");
  const COleDateTime t0(2026, 3, 4, 23, 59, 0);
  struct { int seconds; int minutes; } stops[] = {{61, 2}, {59, 1}, {0, 0}, {60, 1}};
  for (auto& s : stops) {
    manager.GetProtocolStore().SetAt("f", Record(1, 0, 0));
    SetFixedNow(t0);
    manager.StartFreeMinutes(f);
    SetFixedNow(t0 + COleDateTimeSpan(0, 0, 0, s.seconds));
    manager.StopFreeMinutes(f);
    EXPECT_EQ(Rec("f")->GetOnlineMinutes(), s.minutes) << s.seconds;
    EXPECT_FALSE(manager.IsFreeMinuteClockRunning());
  }
  // Bookings at 90 and 150 seconds add whole minutes and carry the rest; hang-up at 170 s
  // rounds the 50 remaining seconds up.
  manager.GetProtocolStore().SetAt("f", Record(1, 0, 0));
  SetFixedNow(t0);
  manager.StartFreeMinutes(f);
  int changes;
  SetFixedNow(t0 + COleDateTimeSpan(0, 0, 0, 90));
  manager.Recompute(&changes, f);
  EXPECT_EQ(Rec("f")->GetOnlineMinutes(), 1);
  EXPECT_EQ(manager.GetCarriedSeconds(), 30);
  SetFixedNow(t0 + COleDateTimeSpan(0, 0, 0, 150));
  manager.Recompute(&changes, f);
  EXPECT_EQ(Rec("f")->GetOnlineMinutes(), 2);
  EXPECT_EQ(manager.GetCarriedSeconds(), 30);
  SetFixedNow(t0 + COleDateTimeSpan(0, 0, 0, 170));
  manager.StopFreeMinutes(f);
  EXPECT_EQ(Rec("f")->GetOnlineMinutes(), 3);
  EXPECT_EQ(manager.GetCarriedSeconds(), 0);

  // Across a daylight-saving switch the local clock jumps an hour; the free minutes count the
  // time the steady clock measured (61 s: two begun minutes), forward and back.
  for (int jump : {3600, -3600}) {
    manager.GetProtocolStore().SetAt("f", Record(1, 0, 0));
    double steady = 1000.0;
    SetTarifClock([&] { return t0; });
    SetSteadyClock([&] { return steady; });
    manager.StartFreeMinutes(f);
    SetTarifClock([&] { return t0 + COleDateTimeSpan(0, 0, 0, 61 + jump); });
    steady += 61.2;
    manager.Recompute(&changes, f);
    EXPECT_EQ(Rec("f")->GetOnlineMinutes(), 1) << jump;
    EXPECT_EQ(manager.GetCarriedSeconds(), 1) << jump;
    manager.StopFreeMinutes(f);
    EXPECT_EQ(Rec("f")->GetOnlineMinutes(), 2) << jump;
  }
  SetFixedNow(t0);

  // Calls are counted for providers with a record; the file is written either way.
  RemoveFile("free.log");
  manager.CountCall(f);
  manager.CountCall(manager.FindProvider("n"));
  EXPECT_EQ(Rec("f")->GetCallCount(), 1);
  EXPECT_TRUE(FileExists("free.log"));
  // Without free minutes the clock does not run.
  manager.StartFreeMinutes(manager.FindProvider("n"));
  EXPECT_FALSE(manager.IsFreeMinuteClockRunning());
}

TEST_F(ProtocolTest, RemoveResetsTheProvidersUsage) {
  Load("<Provider id=\"f\"><rule><lt v=\"online.monat\" o=\"5\"/></rule></Provider>");
  manager.GetProtocolStore().SetAt("f", Record(10, 4, 4));
  int changes;
  manager.Recompute(&changes, nullptr);
  CProvider* f = manager.FindProvider("f");
  EXPECT_EQ(f->GetCallCount(), 4);
  f->SetRegistrationDate(COleDateTime(2026, 1, 1, 0, 0, 0));
  EXPECT_FALSE(manager.GetProtocolStore().Remove(""));
  EXPECT_TRUE(manager.GetProtocolStore().Remove("f"));
  EXPECT_FALSE(manager.GetProtocolStore().Remove("f"));
  EXPECT_EQ(f->GetCallCount(), 0);
  EXPECT_EQ(f->GetPeriodDay(), 1);
  EXPECT_EQ(f->GetPeriodStart().m_dt, 0);
  EXPECT_EQ(f->GetRegistrationDate().m_dt, 0);
  CTarifProtocol day;
  day.SetDay(40);
  EXPECT_EQ(day.GetDay(), 31);
  day.SetDay(-3);
  EXPECT_EQ(day.GetDay(), 1);
}

TEST_F(ProtocolTest, AFailedSaveLeavesTheStoredRecordsAlone) {
  CTarifProtocolStore store;
  store.SetSettings(&settings);
  store.SetAt("a", Record(5, 1, 1));
  store.Save();
  const std::string before = ReadFile("free.log");
  ASSERT_EQ(before.size(), 2u + 2 + 20 + 24);
  // The new file cannot be made (a folder stands in its place): free.log keeps its records.
  std::filesystem::create_directories(CFile::NativePath(PathOf("free.tmp").c_str()));
  store.SetAt("b", Record(6, 2, 2));
  store.Save();
  EXPECT_EQ(ReadFile("free.log"), before);
  std::filesystem::remove(CFile::NativePath(PathOf("free.tmp").c_str()));
  store.Save();
  CTarifProtocolStore back;
  back.SetSettings(&settings);
  back.Load(nullptr);
  EXPECT_EQ(back.GetMap().GetCount(), 2);
}

// A "free.log" that cannot be replaced stays whole, and the user is told which file it is.
TEST_F(ProtocolTest, ASaveThatFailsKeepsTheStoredRecordsAndSaysSo) {
  CTarifProtocolStore store;
  store.SetSettings(&settings);
  store.SetAt("id-1", Record(15, 3, 42));
  ASSERT_TRUE(store.Save());
  const std::string stored = ReadFile("free.log");
  store.SetAt("zweiter", Record(1, 0, 7));
  for (const testsupport::SaveFault& fault : testsupport::SaveFaults()) {
    SCOPED_TRACE(fault.name);
    ui.messages.clear();
    const std::string path = CFile::NativePath(PathOf("free.log").c_str());
    fault.apply(path);
    const BOOL saved = store.Save();
    EXPECT_FALSE(store.Save());  // told once
    fault.release(path);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadFile("free.log"), stored);
    EXPECT_FALSE(FileExists("free.tmp"));
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, testsupport::SaveFailedText(PathOf("free.log")));
    EXPECT_EQ(ui.messages[0].title, "Fehler");
    ASSERT_TRUE(store.Save());
    EXPECT_EQ(ReadFile("free.log").size(), stored.size() + 2 + 8 + 24);  // "zweiter" is in now
    WriteFile("free.log", stored);
  }
}
