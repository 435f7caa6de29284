#include <cstring>

#include "DataBudget.h"
#include "Feiertage.h"
#include "Settings.h"
#include "TarifClock.h"
#include "TarifManager.h"
#include "TarifTexts.h"
#include "TestSupport.h"

class HolidaysTest : public TariffTest {};

TEST_F(HolidaysTest, ReadsTheFirstAttributeOfEveryFeiertagElement) {
  WriteFile("Feiertags.dat", R"(<?xml version="1.0"?>
<Feiertage>
  <feiertag datum="20261225" name="1. Weihnachtstag"/>
  <feiertag tag="20261225"/>
  <Feiertag datum="20260101"/>
  <feiertag datum="20011301"/>
  <feiertag/>
  <feiertag datum="2026"/>
  <anderes datum="20260501"/>
  <feiertag x="20260501">Text<feiertag y="20260502"/></feiertag>
</Feiertage>)");
  CSettings s;
  CFeiertagList list;
  ASSERT_TRUE(list.Load(&s));
  EXPECT_EQ(list.GetCount(), 5);
  EXPECT_TRUE(list.IsFeiertag(COleDateTime(2026, 12, 25, 0, 0, 0)));
  EXPECT_FALSE(list.IsFeiertag(COleDateTime(2026, 12, 25, 0, 0, 1)));  // exact value only
  EXPECT_FALSE(list.IsFeiertag(COleDateTime(2026, 1, 1, 0, 0, 0)));   // names are case-sensitive
  EXPECT_TRUE(list.IsFeiertag(COleDateTime(2026, 5, 1, 0, 0, 0)));
  EXPECT_TRUE(list.IsFeiertag(COleDateTime(2026, 5, 2, 0, 0, 0)));
  // Month 13 is an invalid date, which never equals a real day (nor the empty date).
  EXPECT_EQ(list.GetAt(2).GetStatus(), COleDateTime::invalid);
  EXPECT_FALSE(list.IsFeiertag(COleDateTime()));
}

TEST_F(HolidaysTest, UnreadableListIsReportedAndTheProgramGoesOn) {
  WriteTarif("<Providerliste><Provider id=\"a\"/></Providerliste>");
  const std::string whole = "<Feiertage><feiertag datum=\"20260101\"/></Feiertage>";
  const std::string cases[] = {"", "<Feiertage><feiertag datum=\"20260101\"></Feiertage>", "kein XML",
                               whole + std::string(kDataFileLimit, ' ')};  // beyond the limit of data files
  for (const std::string& c : cases) {
    RemoveFile("Feiertags.dat");
    if (!c.empty()) WriteFile("Feiertags.dat", c);
    ui.messages.clear();
    CSettings s;
    CTarifManager m;
    m.Init(&s, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text,
              "Die Feiertagsliste konnte nicht gelesen werden.\nBitte starten Sie die Reparaturroutine der "
              "Installation.");
    EXPECT_EQ(ui.messages[0].title, kTitle);
    EXPECT_NE(m.FindProvider("a"), nullptr);
  }
}

// A list cut short (an interrupted copy or download) keeps the days before the cut and is
// reported once as damaged: the days after the cut are missing.
TEST_F(HolidaysTest, AListCutShortKeepsWhatItHeldAndIsReportedOnce) {
  WriteTarif("<Providerliste><Provider id=\"a\"/></Providerliste>");
  const std::string whole =
      "<Feiertage><feiertag datum=\"20260101\"/><feiertag datum=\"20260501\"/></Feiertage>";
  struct Case {
    size_t cut;  // bytes of `whole` the file keeps
    int days;    // the days read before the cut
  } cases[] = {
      {whole.find("<feiertag datum=\"20260501") + 20, 1},  // inside the second record
      {whole.find("<feiertag datum=\"20260501"), 1},       // between two records
      {whole.find("</Feiertage>") + 5, 2},                 // inside the closing tag
      {whole.find("<feiertag"), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(whole.substr(0, c.cut));
    WriteFile("Feiertags.dat", whole.substr(0, c.cut));
    CSettings s;
    CFeiertagList list;
    EXPECT_FALSE(list.Load(&s));
    EXPECT_EQ(list.GetCount(), c.days);
    ui.messages.clear();
    CTarifManager m;
    m.Init(&s, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kHolidaysUnreadable);
    EXPECT_EQ(m.GetHolidays().GetCount(), c.days);
    EXPECT_EQ(m.GetHolidays().IsFeiertag(COleDateTime(2026, 1, 1, 0, 0, 0)), c.days > 0);
  }
  // The whole list says nothing.
  WriteFile("Feiertags.dat", whole);
  ui.messages.clear();
  CSettings s;
  CTarifManager m;
  m.Init(&s, nullptr);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(m.GetHolidays().GetCount(), 2);
}

TEST_F(HolidaysTest, DemoListHoldsTheGermanPublicHolidays) {
  std::string xml = SourceFile("corvalen/data/Feiertags.dat");
  CFeiertagList list;
  ASSERT_TRUE(list.ParseBuffer(xml.data(), xml.size()));
  const int days[][3] = {{2026, 1, 1}, {2026, 4, 3}, {2026, 4, 6}, {2026, 5, 1}, {2026, 5, 14}, {2026, 5, 25},
                         {2026, 10, 3}, {2026, 12, 25}, {2026, 12, 26}, {2030, 4, 19}, {2035, 3, 26}};
  for (auto& d : days) EXPECT_TRUE(list.IsFeiertag(COleDateTime(d[0], d[1], d[2], 0, 0, 0))) << d[0] << "-" << d[1] << "-" << d[2];
  EXPECT_FALSE(list.IsFeiertag(COleDateTime(2026, 4, 7, 0, 0, 0)));
  EXPECT_EQ(list.GetCount(), 10 * 9);
}

TEST_F(HolidaysTest, DateHelpers) {
  CDateUtil u;
  At(2026, 3, 1, 15, 0, 0);  // Sunday
  EXPECT_EQ(u.WeekStart(1), COleDateTime(2026, 2, 23, 0, 0, 0));
  EXPECT_EQ(u.WeekStart(0), COleDateTime(2026, 2, 23, 0, 0, 0));
  At(2026, 3, 2, 0, 0, 1);  // Monday just after midnight
  EXPECT_EQ(u.WeekStart(1), COleDateTime(2026, 3, 2, 0, 0, 0));
  At(2028, 3, 1, 9, 30, 0);  // leap year
  EXPECT_EQ(u.YesterdayStart(), COleDateTime(2028, 2, 29, 0, 0, 0));
  EXPECT_EQ(u.YesterdayEnd(), COleDateTime(2028, 2, 29, 23, 59, 59));
  EXPECT_EQ(u.MonthStart(), COleDateTime(2028, 3, 1, 0, 0, 0));
  EXPECT_EQ(u.TodayAt(23, 59, 59), COleDateTime(2028, 3, 1, 23, 59, 59));
  At(2027, 1, 1, 0, 0, 0);
  EXPECT_EQ(u.YesterdayStart(), COleDateTime(2026, 12, 31, 0, 0, 0));
  EXPECT_EQ(GetToday(), COleDateTime(2027, 1, 1, 0, 0, 0));

  At(2001, 4, 3, 12, 0, 0);
  EXPECT_EQ(GetDateText(), "03.04.2001");
  At(2026, 12, 24, 12, 0, 0);
  EXPECT_EQ(GetDateText(), "24.12.2026");
  EXPECT_EQ(FormatHours(COleDateTimeSpan(0, 1, 5, 7)), "01:05:07");
  EXPECT_EQ(FormatHours(COleDateTimeSpan(0, 25, 0, 0)), "01:00:00");
  EXPECT_EQ(FormatHours(COleDateTimeSpan(0, 0, 0, 0)), "00:00:00");
  EXPECT_EQ(FormatHours(COleDateTimeSpan(0, 23, 59, 59)), "23:59:59");
}
