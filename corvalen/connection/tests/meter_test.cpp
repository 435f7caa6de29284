// The meter of a running connection on the tariff clock: the running cost by billing units, the
// online time, the price segments and their cost records in rechnung.log, across price changes
// and daylight-saving switches, and a connected provider that a reload of the tariff data loses.
// The local clock and the steady clock are set apart, as the system's are at a switch.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "ConnectionMeter.h"
#include "CostLog.h"
#include "Settings.h"
#include "TarifClock.h"
#include "TarifManager.h"
#include "TestSupport.h"

namespace {

class MeterTest : public TariffTest {
 protected:
  void SetUp() override {
    TariffTest::SetUp();
    funkel.SetId("fk-100");
    funkel.SetName("Funkelnetz");
    funkel.SetPhoneNumber("0192100");
    funkel.SetTakt(60);
    funkel.SetPrice(1.49f);
  }

  // The local clock at a moment and the steady clock at a reading, each on its own.
  void At(const COleDateTime& local, double steady) {
    SetTarifClock([local] { return local; });
    SetSteadyClock([steady] { return steady; });
  }
  std::string Log() {
    std::string text;
    log.BuildPaths();
    log.SetPath(&log.GetLogPath());
    log.ReadAll(text);
    return text;
  }

  CSettings settings;
  CCostLog log{&settings};
  CConnectionMeter meter{&log};
  CProvider funkel;
};

// A connection at one price: the dial-in fee is the first cost, every billing interval adds one
// unit, the online time counts from the connect, and the hang-up writes one record.
TEST_F(MeterTest, AConnectionAtOnePriceIsOneRecord) {
  funkel.SetDialInFee(5.0f);
  At(COleDateTime(2026, 12, 10, 10, 0, 5), 1000);
  meter.Start(&funkel);
  EXPECT_EQ(&funkel, meter.GetProvider());
  EXPECT_FLOAT_EQ(1.49f, meter.GetPricePerMinute());
  EXPECT_FLOAT_EQ(5.0f, meter.GetCost());
  EXPECT_FALSE(meter.IsFeeBilled());
  meter.OnBillingInterval();  // the program bills the first unit at the connect
  EXPECT_FLOAT_EQ(6.49f, meter.GetCost());
  At(COleDateTime(2026, 12, 10, 10, 1, 5), 1060);
  meter.OnBillingInterval();
  EXPECT_FLOAT_EQ(7.98f, meter.GetCost());
  At(COleDateTime(2026, 12, 10, 10, 1, 40), 1095);
  meter.GetOnlineSpan();
  EXPECT_EQ(95, meter.GetOnlineSeconds());
  EXPECT_EQ("", Log());  // nothing is written while the price holds
  EXPECT_TRUE(meter.Stop());
  // 95 seconds: two units and the dial-in fee.
  EXPECT_EQ("default;12/10/2026 10:0:5;00:01:35;Funkelnetz;60;1.49;5.00;0.080;;;0192100;", Log());
  EXPECT_EQ(nullptr, meter.GetProvider());
  EXPECT_FLOAT_EQ(0.0f, meter.GetCost());
  // A second hang-up has nothing to log.
  EXPECT_FALSE(meter.Stop());
  meter.OnBillingInterval();
  EXPECT_EQ("default;12/10/2026 10:0:5;00:01:35;Funkelnetz;60;1.49;5.00;0.080;;;0192100;", Log());
}

// Thursday: Funkelnetz costs 1.49 Pf until 17:59 and 2.79 Pf from 18:00. The billing interval
// after the change ends the first segment with its record; the second carries no dial-in fee.
// A change of less than 0.001 Pf is no change.
TEST_F(MeterTest, APriceChangeInsideTheConnectionSplitsItsRecord) {
  funkel.SetDialInFee(5.0f);
  At(COleDateTime(2026, 12, 10, 17, 58, 30), 500);
  meter.Start(&funkel);
  meter.OnBillingInterval();
  funkel.SetPrice(1.4905f);
  At(COleDateTime(2026, 12, 10, 17, 59, 30), 560);
  meter.OnBillingInterval();
  EXPECT_EQ("", Log());
  EXPECT_FLOAT_EQ(1.49f, meter.GetPricePerMinute());
  funkel.SetPrice(2.79f);
  At(COleDateTime(2026, 12, 10, 18, 0, 10), 600);
  meter.OnBillingInterval();
  EXPECT_EQ("default;12/10/2026 17:58:30;00:01:40;Funkelnetz;60;1.49;5.00;0.080;;;0192100;", Log());
  EXPECT_TRUE(meter.IsFeeBilled());
  EXPECT_FLOAT_EQ(2.79f, meter.GetPricePerMinute());
  EXPECT_EQ(COleDateTime(2026, 12, 10, 18, 0, 10), meter.GetSegmentStart());
  // Two units at 1.49 and the fee, then the first at 2.79.
  EXPECT_FLOAT_EQ(5.0f + 1.49f + 1.49f + 2.79f, meter.GetCost());
  At(COleDateTime(2026, 12, 10, 18, 0, 40), 630);
  meter.GetOnlineSpan();
  EXPECT_EQ(130, meter.GetOnlineSeconds());  // the online time runs on from the connect
  EXPECT_TRUE(meter.Stop());
  // 100 seconds at 1.49 Pf (two units), then 30 seconds at 2.79 Pf (one unit).
  EXPECT_EQ("default;12/10/2026 17:58:30;00:01:40;Funkelnetz;60;1.49;5.00;0.080;;;0192100;"
            "default;12/10/2026 18:0:10;00:00:30;Funkelnetz;60;2.79;0.00;0.028;;;0192100;",
            Log());
}

// Sunday 29 March 2026, 02:00 CET, the clocks go on to 03:00 CEST; Sunday 25 October 2026,
// 03:00 CEST, back to 02:00 CET. Across either switch a connection of 61 seconds keeps its local
// start in the log and is billed, shown and logged for its 61 seconds.
TEST_F(MeterTest, AConnectionAcrossADaylightSavingSwitchIsBilledForItsLength) {
  const struct {
    COleDateTime connect, hangUp;
    const char* record;
  } cases[] = {
      {COleDateTime(2026, 3, 29, 1, 59, 30), COleDateTime(2026, 3, 29, 3, 0, 31),
       "default;3/29/2026 1:59:30;00:01:01;Funkelnetz;60;1.90;0.00;0.038;;;0192100;"},
      {COleDateTime(2026, 10, 25, 2, 59, 30), COleDateTime(2026, 10, 25, 2, 0, 31),
       "default;10/25/2026 2:59:30;00:01:01;Funkelnetz;60;1.90;0.00;0.038;;;0192100;"},
  };
  funkel.SetPrice(1.90f);
  std::string expected;
  for (const auto& c : cases) {
    At(c.connect, 7000);
    meter.Start(&funkel);
    meter.OnBillingInterval();
    At(c.hangUp, 7061);
    meter.GetOnlineSpan();
    EXPECT_EQ(61, meter.GetOnlineSeconds()) << c.record;
    EXPECT_TRUE(meter.Stop());
    expected += c.record;
    EXPECT_EQ(expected, Log());
  }
}

// A billing unit is one interval of the provider at the segment's price; a provider billed by the
// second adds a sixtieth of the price. A steady clock that stands or goes back measures nothing.
TEST_F(MeterTest, BillingUnitsAndDurationsAtTheirEdges) {
  At(COleDateTime(2026, 12, 10, 10, 0, 0), 100);
  meter.Reset();
  meter.SetProvider(&funkel);
  meter.SetPricePerMinute(1.5f);
  meter.SetCost(10.0f);
  EXPECT_FLOAT_EQ(11.5f, meter.AddBillingUnit());
  EXPECT_FLOAT_EQ(13.0f, meter.AddBillingUnit());
  funkel.SetTakt(1);
  EXPECT_FLOAT_EQ(13.025f, meter.AddBillingUnit());
  meter.SetProvider(nullptr);
  EXPECT_FLOAT_EQ(13.025f, meter.AddBillingUnit());

  EXPECT_DOUBLE_EQ(0, meter.GetSegmentSeconds(100));
  EXPECT_DOUBLE_EQ(0, meter.GetSegmentSeconds(40));
  EXPECT_DOUBLE_EQ(60, meter.GetSegmentSeconds(160));
  At(COleDateTime(2026, 12, 10, 10, 0, 0), 50);
  EXPECT_DOUBLE_EQ(0, meter.GetOnlineSpan().m_span);
  EXPECT_EQ(0, meter.GetOnlineSeconds());
  // Whole seconds are rounded: 59.6 seconds show as 60.
  At(COleDateTime(2026, 12, 10, 10, 1, 0), 159.6);
  meter.GetOnlineSpan();
  EXPECT_EQ(60, meter.GetOnlineSeconds());

  // Exactly one interval is one unit, a second more is two.
  funkel.SetTakt(60);
  funkel.SetPrice(1.49f);
  for (double seconds : {60.0, 61.0}) {
    At(COleDateTime(2026, 12, 10, 11, 0, 0), 1000);
    meter.Start(&funkel);
    At(COleDateTime(2026, 12, 10, 11, 0, 0) + COleDateTimeSpan(seconds / 86400.0), 1000 + seconds);
    EXPECT_TRUE(meter.Stop());
  }
  EXPECT_EQ("default;12/10/2026 11:0:0;00:01:00;Funkelnetz;60;1.49;0.00;0.015;;;0192100;"
            "default;12/10/2026 11:0:0;00:01:01;Funkelnetz;60;1.49;0.00;0.030;;;0192100;",
            Log());
}

// The screen and the bill bill alike for every takt: the billing timer ticks at the rule's
// interval (the controller starts it at GetIntervalSeconds), the meter adds a unit at each tick,
// and at the hang-up its running cost is what the cost record says. Takt 0 bills by the second on
// both (it once showed only the dial-in fee while the bill charged every second).
TEST_F(MeterTest, ScreenAndBillAgreeForEveryTakt) {
  funkel.SetDialInFee(5.0f);
  funkel.SetPrice(60.0f);  // a Pf a second: one unit shows in the record's three decimals
  for (int takt : {0, 1, 7, 10, 60, 180, 3600}) {
    for (double seconds : {0.5, 59.5, 61.5, 150.5, 3599.5, 3700.5}) {
      SCOPED_TRACE(testing::Message() << "takt " << takt << ", " << seconds << " s");
      RemoveFile("rechnung.log");
      funkel.SetTakt(takt);
      const COleDateTime connect(2026, 12, 10, 10, 0, 0);
      At(connect, 1000);
      meter.Start(&funkel);
      const int interval = meter.GetIntervalSeconds();
      EXPECT_GE(interval, 1);
      for (int tick = 0; tick * interval < seconds; ++tick) {
        At(connect + COleDateTimeSpan(tick * interval / 86400.0), 1000 + tick * interval);
        meter.OnBillingInterval();
      }
      const float shown = meter.GetCost();
      At(connect + COleDateTimeSpan(seconds / 86400.0), 1000 + seconds);
      ASSERT_TRUE(meter.Stop());
      // The record's cost, field 8, in DM with three decimals; a unit is at least 0.01 DM here.
      const std::string record = Log();
      std::vector<std::string> fields;
      for (size_t from = 0, semi; (semi = record.find(';', from)) != std::string::npos; from = semi + 1)
        fields.push_back(record.substr(from, semi - from));
      ASSERT_EQ(fields.size(), 11u) << record;
      EXPECT_NEAR(std::atof(fields[7].c_str()), shown * 0.01, 0.0006) << record;
    }
  }
}

// The free minutes run out between two billing intervals: the segment ends at once and the new
// one starts with its first unit, the timer starts again at the new segment (OnPriceChange
// answers TRUE), and no unit is added out of turn when nothing changed. Screen and bill agree.
TEST_F(MeterTest, APriceChangeBetweenTwoIntervalsKeepsScreenAndBillAlike) {
  funkel.SetPrice(0.0f);
  const COleDateTime connect(2026, 12, 10, 10, 0, 0);
  auto at = [&](double s) { At(connect + COleDateTimeSpan(s / 86400.0), 1000 + s); };
  at(0);
  meter.Start(&funkel);
  meter.OnBillingInterval();
  at(60);
  meter.OnBillingInterval();
  at(75);
  EXPECT_FALSE(meter.OnPriceChange());  // nothing changed: nothing billed
  EXPECT_FLOAT_EQ(0.0f, meter.GetCost());
  funkel.SetPrice(1.2f);
  at(90);
  EXPECT_TRUE(meter.OnPriceChange());
  EXPECT_FLOAT_EQ(1.2f, meter.GetCost());
  at(150);  // the timer started again at 90
  meter.OnBillingInterval();
  at(200);
  const float shown = meter.GetCost();
  ASSERT_TRUE(meter.Stop());
  EXPECT_FLOAT_EQ(2.4f, shown);
  EXPECT_EQ("default;12/10/2026 10:0:0;00:01:30;Funkelnetz;60;0.00;0.00;0.000;;;0192100;"
            "default;12/10/2026 10:1:30;00:01:50;Funkelnetz;60;1.20;0.00;0.024;;;0192100;",
            Log());
}

// Tariff data read again while online: the connected provider's new record takes its place; when
// the new data lack it (or switch it off) its former record stays with the meter, which goes on
// billing at its tariff and names it in the record, and lets it go when another takes its place.
TEST_F(MeterTest, AConnectedProviderThatAReloadLosesIsMeteredToTheEnd) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const std::string connected =
      "<Provider id=\"fk-100\"><name>funkelnetz</name><telefonnummer>0192100</telefonnummer>"
      "<set a=\"takt\" b=\"60\" c=\"preis\" d=\"1.49\"/></Provider>";
  const char* later[] = {
      "<Providerliste><Provider id=\"nf-500\"><name>nachtfalke</name></Provider></Providerliste>",
      "<Providerliste><Provider id=\"fk-100\" active=\"n\"><name>aus</name></Provider></Providerliste>",
  };
  for (const char* next : later) {
    SCOPED_TRACE(next);
    RemoveFile("rechnung.log");
    WriteTarif("<Providerliste>" + connected + "</Providerliste>");
    CTarifManager manager;
    manager.Init(&settings, &meter);
    manager.Recompute(nullptr, nullptr);
    At(COleDateTime(2026, 12, 11, 10, 0, 0), 0);
    meter.Start(manager.FindProvider("fk-100"));
    meter.OnBillingInterval();

    // New data with the provider: the meter holds its new record.
    WriteTarif("<Providerliste>" + connected + "</Providerliste>");
    ASSERT_TRUE(manager.Reload());
    ASSERT_NE(nullptr, meter.GetProvider());
    EXPECT_EQ(manager.FindProvider("fk-100"), meter.GetProvider());

    WriteTarif(next);
    ASSERT_TRUE(manager.Reload());
    CProvider* kept = meter.GetProvider();
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ("Funkelnetz", std::string(kept->GetName()));
    At(COleDateTime(2026, 12, 11, 10, 1, 0), 60);
    meter.OnBillingInterval();
    EXPECT_FLOAT_EQ(2.98f, meter.GetCost());
    At(COleDateTime(2026, 12, 11, 10, 5, 0), 300);
    EXPECT_TRUE(meter.Stop());
    EXPECT_EQ("default;12/11/2026 10:0:0;00:05:00;Funkelnetz;60;1.49;0.00;0.075;;;0192100;", Log());
    EXPECT_EQ(nullptr, meter.GetProvider());
  }
}

}  // namespace
