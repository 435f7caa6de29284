#include <algorithm>
#include <clocale>
#include <memory>

#include "CFile.h"
#include "CostLog.h"
#include "DataBudget.h"
#include "Settings.h"
#include "TarifTexts.h"
#include "TestSupport.h"
#include "save_faults.h"

namespace {
int Count(const std::string& hay, const std::string& needle) {
  int n = 0;
  for (size_t p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++n;
  return n;
}
}  // namespace

class CostLogTest : public TariffTest {
 protected:
  void SetUp() override {
    TariffTest::SetUp();
    auto add = [this](const char* id, const char* name, const char* number, int takt, float price, float fee) {
      auto* p = new CProvider;
      p->SetId(id);
      p->SetName(name);
      p->SetPhoneNumber(number);
      p->SetTakt(takt);
      p->SetPrice(price);
      p->SetDialInFee(fee);
      owned.emplace_back(p);
      list.Add(p);
    };
    add("minute", "Minutentakt", "0190123", 60, 9.0f, 5.0f);
    add("sekunde", "Kabel & Netz <Ost>", "01019", 1, 9.0f, 0.0f);
  }
  CConnectionRecord Rec(const char* id, const COleDateTime& start, int seconds, float price, BYTE noFee = 0) {
    CConnectionRecord r;
    r.start = start;
    r.end = start + COleDateTimeSpan(0, 0, 0, seconds);
    r.providerId = id;
    r.price = price;
    r.noDialInFee = noFee;
    return r;
  }
  CSettings settings;
  std::vector<std::unique_ptr<CProvider>> owned;
  CProviderArray list;
};

TEST_F(CostLogTest, RecordFieldsAndCosts) {
  const COleDateTime start(2001, 4, 3, 9, 5, 7);
  EXPECT_EQ(CCostLog::FormatRecord(Rec("minute", start, 61, 1.49f), list),
            "default;4/3/2001 9:5:7;00:01:01;Minutentakt;60;1.49;5.00;0.080;;;0190123;");
  EXPECT_EQ(CCostLog::FormatRecord(Rec("minute", start, 61, 1.49f, 1), list),
            "default;4/3/2001 9:5:7;00:01:01;Minutentakt;60;1.49;0.00;0.030;;;0190123;");
  // Per-second billing: 61 units of one second.
  EXPECT_EQ(CCostLog::FormatRecord(Rec("sekunde", start, 61, 1.2f), list),
            "default;4/3/2001 9:5:7;00:01:01;Kabel & Netz <Ost>;1;1.20;0.00;0.012;;;01019;");
  // Whole days do not show in the duration, but they are billed.
  EXPECT_EQ(CCostLog::FormatRecord(Rec("minute", COleDateTime(2026, 12, 31, 23, 0, 0), 86400 + 3600 + 59, 1.0f), list),
            "default;12/31/2026 23:0:0;01:00:59;Minutentakt;60;1.00;5.00;15.060;;;0190123;");
  // An id missing from the list: no name, number or fee, billed by the second at its own price.
  EXPECT_EQ(CCostLog::FormatRecord(Rec("weg", start, 90, 2.0f), list), "default;4/3/2001 9:5:7;00:01:30;;1;2.00;0.00;0.030;;;;");
  // A clock set back during the connection bills nothing instead of a negative cost.
  EXPECT_EQ(CCostLog::FormatRecord(Rec("minute", start, -30, 1.0f), list).Find("-"), -1);
  // Across the switch to summer time the local clock jumps from 01:59:30 to 03:00:30 in 61
  // seconds: the measured seconds are billed, the local start is logged.
  CConnectionRecord spring = Rec("minute", COleDateTime(2026, 3, 29, 1, 59, 30), 3600 + 61, 1.49f);
  spring.seconds = 61.4;
  EXPECT_EQ(CCostLog::FormatRecord(spring, list), "default;3/29/2026 1:59:30;00:01:01;Minutentakt;60;1.49;5.00;0.080;;;0190123;");
  // Back to winter time the local end lies before the start; the 61 seconds still count.
  CConnectionRecord autumn = Rec("minute", COleDateTime(2026, 10, 25, 2, 59, 30), 61 - 3600, 1.49f);
  autumn.seconds = 61;
  EXPECT_EQ(CCostLog::FormatRecord(autumn, list), "default;10/25/2026 2:59:30;00:01:01;Minutentakt;60;1.49;5.00;0.080;;;0190123;");
  // Decimal point whatever the platform's locale; three decimals.
  EXPECT_EQ(CCostLog::TruncateDecimals("12.345678", 3), "12.345");
}

TEST_F(CostLogTest, AppendedRecordsAreSummedForAPeriod) {
  CCostLog log(&settings);
  EXPECT_EQ(log.GetTotal(COleDateTime(2001, 1, 1, 0, 0, 0), COleDateTime(2030, 1, 1, 0, 0, 0)), 0);
  EXPECT_TRUE(FileExists("rechnung.log"));  // made empty on first read
  log.AppendConnection(Rec("minute", COleDateTime(2001, 4, 3, 9, 5, 7), 61, 1.49f), list);
  log.AppendConnection(Rec("minute", COleDateTime(2001, 4, 3, 9, 6, 8), 61, 1.49f, 1), list);
  log.AppendConnection(Rec("minute", COleDateTime(2001, 4, 5, 0, 0, 0), 61, 1.49f, 1), list);
  EXPECT_EQ(Count(ReadFile("rechnung.log"), "default;"), 3);
  EXPECT_EQ(log.GetTotal(COleDateTime(2001, 4, 3, 0, 0, 0), COleDateTime(2001, 4, 3, 23, 59, 59)), 11);
  EXPECT_EQ(log.GetTotal(COleDateTime(2001, 4, 3, 9, 5, 7), COleDateTime(2001, 4, 5, 0, 0, 0)), 14);
  EXPECT_EQ(log.GetTotal(COleDateTime(2001, 4, 3, 9, 5, 8), COleDateTime(2001, 4, 4, 0, 0, 0)), 3);
  // The day is never taken for the month: 4/3 is April 3 whatever the locale says.
  EXPECT_EQ(log.GetTotal(COleDateTime(2001, 3, 4, 0, 0, 0), COleDateTime(2001, 3, 4, 23, 59, 59)), 0);
}

// Names and numbers come from downloaded tariff files and may hold the log's separator: every
// record reads back as it was written, and the records after it keep their fields.
TEST_F(CostLogTest, ASeparatorInANameOrNumberKeepsEveryRecordWhole) {
  struct Case {
    const char* name;
    const char* number;
  } cases[] = {{"Surf;Spar", "0190;1"}, {"Call;by;Call;Net", ";"}, {";", "01019"}, {"Netz\x10S;", "0\x10\x10"},
               {"100% \\ Surf", "0191"}, {"default", "default"}, {"\r\n default", " default"}, {"defaults", "\x10K"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto* odd = new CProvider;
    odd->SetId("odd");
    odd->SetName(c.name);
    odd->SetPhoneNumber(c.number);
    odd->SetTakt(60);
    odd->SetDialInFee(5.0f);
    owned.emplace_back(odd);
    CProviderArray providers;
    providers.Add(odd);
    providers.Add(list[0]);
    RemoveFile("rechnung.log");
    CCostLog log(&settings);
    log.AppendConnection(Rec("odd", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), providers);
    log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 11, 0, 0), 61, 1.49f, 1), providers);
    std::vector<CCostRecord> records;
    ASSERT_TRUE(CCostLog::ParseRecords(ReadFile("rechnung.log"), records));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(std::string(records[0].Name()), c.name);
    EXPECT_EQ(std::string(records[0].Number()), c.number);
    EXPECT_EQ(std::string(records[0].Cost()), "0.080");
    EXPECT_EQ(std::string(records[1].Name()), "Minutentakt");
    EXPECT_EQ(std::string(records[1].Takt()), "60");
    EXPECT_EQ(std::string(records[1].Cost()), "0.030");
    EXPECT_EQ(log.GetTotal(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)), 11);
    log.SetPlain(1);
    ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
    const std::string html = ReadFile("rechnung.html");
    EXPECT_NE(html.find("Tarifname : " + std::string(CCostLog::EscapeHtml(c.name))), std::string::npos);
    EXPECT_NE(html.find("<B>0.11 DM"), std::string::npos);  // the whole: 0.080 + 0.030 + 0.005
  }
  // A log written before names were escaped reads as it always did.
  WriteFile("rechnung.log", "default;4/3/2001 9:5:7;00:01:01;Netz\\S%3B;60;1.49;5.00;0.080;;;01\\9;");
  std::vector<CCostRecord> records;
  ASSERT_TRUE(CCostLog::ParseRecords(ReadFile("rechnung.log"), records));
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(std::string(records[0].Name()), "Netz\\S%3B");
  EXPECT_EQ(std::string(records[0].Number()), "01\\9");
}

// A damaged record (a name with the separator from before names were escaped shifts its fields,
// a decimal comma, an impossible date) is left out of every total and named; the records around
// it count as they were written.
TEST_F(CostLogTest, DamagedRecordsAreLeftOutAndNamed) {
  CCostLog log(&settings);
  const COleDateTime from(2000, 1, 1, 0, 0, 0), to(2030, 1, 1, 0, 0, 0);
  const std::string good = "default;4/3/2001 9:5:7;00:01:01;X;60;1.49;5.00;0.080;;;1;";
  const std::string today = "default;4/4/2001 10:0:0;00:01:01;Y;60;1.49;0.00;0.030;;;2;";
  const std::string shifted = "default;4/3/2001 9:6:0;00:01:01;Surf;Spar;60;1.49;5.00;0.080;;;1;";
  struct { std::string text; double want; std::vector<std::string> named; } cases[] = {
      {good, 8, {}},
      {good + shifted + today, 11, {"Eintrag 2: " + shifted}},
      {shifted + good + today, 11, {"Eintrag 1: " + shifted}},
      {good + "default;4/3/2001 9:5:7;00:01:01;X;60;1.49;5.00;0,030;;;1;" + today, 11,
       {"Eintrag 2: default;4/3/2001 9:5:7;00:01:01;X;60;1.49;5.00;0,030;;;1;"}},  // decimal comma
      {"default;13/3/2001 9:5:7;00:01:01;X;60;1.49;5.00;0.080;;;1;" + good, 8,
       {"Eintrag 1: default;13/3/2001 9:5:7;00:01:01;X;60;1.49;5.00;0.080;;;1;"}},  // no month 13
      {"default;kaputt;00:01:01;X;60;1.49;5.00;0.080;;;1;", 0,
       {"Eintrag 1: default;kaputt;00:01:01;X;60;1.49;5.00;0.080;;;1;"}},
      // a record the old program did not finish, with the next one appended after it
      {good + "default;4/3/2001 9:5:8;00:01:01;" + today, 11, {"Eintrag 2: default;4/3/2001 9:5:8;00:01:01;"}},
      {good + "default;4/3/2001 9:5", 8, {}},  // a record cut off by an interrupted write
      {good + "\r\n" + today + "\r\n", 11, {}},  // line breaks an editor put between records
      {"", 0, {}},
      {";;;;;;;;;;;", 0, {"Eintrag 1: ;;;;;;;;;;;"}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.text);
    WriteFile("rechnung.log", c.text);
    EXPECT_EQ(log.GetTotal(from, to), c.want);
    std::vector<std::string> named;
    for (const CString& d : log.GetDamagedRecords()) named.push_back(d.str());
    EXPECT_EQ(named, c.named);
    EXPECT_EQ(ReadFile("rechnung.log"), c.text);  // the log stays as it is
  }
  // The user is told once, with the record.
  WriteFile("rechnung.log", good + shifted + today);
  log.GetTotal(from, to);
  const std::string notice = CCostLog::DamagedNotice(log.GetDamagedRecords()).str();
  EXPECT_EQ(notice, "Ein Eintrag der Datei rechnung.log ist beschädigt und wird nicht mitgerechnet:\n\nEintrag 2: " +
                        shifted + "\n");
  EXPECT_EQ(CCostLog::DamagedNotice({}), "");
  // A long damaged record is named by its beginning.
  WriteFile("rechnung.log", "default;" + std::string(300, 'x') + ";" + good);
  log.GetTotal(from, to);
  ASSERT_EQ(log.GetDamagedRecords().size(), 1u);
  EXPECT_EQ(log.GetDamagedRecords()[0], CString("Eintrag 1: default;" + std::string(92, 'x') + "..."));
  EXPECT_TRUE(ui.messages.empty());
  // Logs beyond what one read may hold are malformed too, and stay as they are: neither is made
  // anew, and no bill is written from them.
  std::string many;
  for (size_t i = 0; i <= CCostLog::kMaxCostRecords; ++i) many += ";;;;;;;;;;;";
  const std::string beyond[] = {many, good + std::string(kDataFileLimit, ' ')};
  for (const std::string& text : beyond) {
    WriteFile("rechnung.log", text);
    EXPECT_EQ(log.GetTotal(from, to), -1) << text.size();
    EXPECT_FALSE(log.WriteHtml(from, to)) << text.size();
    EXPECT_FALSE(log.BillWriteFailed());  // the log's fault: the caller tells the user so
    EXPECT_EQ(ReadFile("rechnung.log").size(), text.size());
  }
  EXPECT_TRUE(ui.opened.empty());
  EXPECT_EQ(ui.waitDepth, 0);
}

// What may take the place of the log ("Importieren"): a file of whole records that all read.
TEST_F(CostLogTest, OnlyAFileWhoseEveryRecordReadsReplacesTheLog) {
  const std::string good = "default;4/3/2001 9:5:7;00:01:01;X;60;1.49;5.00;0.080;;;1;";
  struct { std::string text; bool reads; } cases[] = {
      {good, true},
      {good + good, true},
      {good + "\r\n", true},  // a line break an editor added
      {"", false},
      {"kein Protokoll\r\n", false},
      {good + "default;4/3/2001 9:6:0;00:01:01;Surf;Spar;60;1.49;5.00;0.080;;;1;", false},
      {good + "default;4/3/2001 9:5", false},
      {";;;;;;;;;;;", false},
  };
  for (auto& c : cases) EXPECT_EQ(CCostLog::ReadsAsLog(c.text), c.reads) << c.text;
}

// A record the program did not finish writing (it ended half-way) is cut away before the next
// one is appended, so that the two do not merge into a record that spoils every total and bill.
TEST_F(CostLogTest, ARecordCutOffAtTheEndDoesNotSwallowTheNextOne) {
  const std::string good = "default;4/3/2001 9:5:7;00:01:01;Minutentakt;60;1.49;5.00;0.080;;;0190123;";
  CCostLog log(&settings);
  for (const char* cut : {"default;4/3/2001 9:5", "default;4/3/2001 9:6:0;00:01:01;", "d"}) {
    WriteFile("rechnung.log", good + cut);
    log.AppendConnection(Rec("minute", COleDateTime(2001, 4, 3, 9, 6, 8), 61, 1.49f, 1), list);
    EXPECT_EQ(ReadFile("rechnung.log"), good + "default;4/3/2001 9:6:8;00:01:01;Minutentakt;60;1.49;0.00;0.030;;;0190123;")
        << cut;
    EXPECT_EQ(log.GetTotal(COleDateTime(2001, 4, 3, 0, 0, 0), COleDateTime(2001, 4, 3, 23, 59, 59)), 11) << cut;
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(CostLogTest, ListBillWithStyleSheetsPagesAndEscapedNames) {
  CCostLog log(&settings);
  for (int i = 0; i < 60; ++i)
    log.AppendConnection(Rec(i % 2 ? "sekunde" : "minute", COleDateTime(2026, 3, 1, 8, 0, 0) + COleDateTimeSpan(0, 0, i, 0), 61,
                             1.49f, 1),
                         list);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 4, 1, 8, 0, 0), 61, 1.49f), list);  // outside the period
  WriteFile("logo.gif", "GIF89a");
  WriteFile("rechnung.gif", "GIF89a");
  ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 23, 59, 59)));
  EXPECT_EQ(ReadFile("print.css"), "#Print {}\n#NoPrint {display:none;}");
  EXPECT_EQ(ReadFile("screen.css"), "#Print {display:none;}\n#NoPrint {}");
  ASSERT_EQ(ui.opened.size(), 1u);
  EXPECT_EQ(ui.opened[0], PathOf("rechnung.html"));
  EXPECT_EQ(ui.waitDepth, 0);
  const std::string html = ReadFile("rechnung.html");
  EXPECT_NE(html.find("Kosten vom  01.03.2026 bis  31.03.2026</B></TD></TR>"), std::string::npos);
  EXPECT_NE(html.find("Kabel &amp; Netz &lt;Ost&gt;"), std::string::npos);
  EXPECT_EQ(html.find("Kabel & Netz"), std::string::npos);
  EXPECT_NE(html.find("01.03.2026 08:05:00"), std::string::npos);
  EXPECT_EQ(Count(html, "<TD CLASS=\"a\">00:01:01</TD>"), 60);
  EXPECT_EQ(Count(html, "page-break-before:always"), 1);  // headings again after 55 rows
  // 30 rows of 0.030 and 30 of 0.015.
  EXPECT_NE(html.find("<B>Summe:</B></TD><TD CLASS=\"a\"><B>1.35 DM"), std::string::npos);
  EXPECT_NE(html.find("1.49 Pf"), std::string::npos);
  EXPECT_NE(html.find("logo.gif"), std::string::npos);
  EXPECT_NE(html.find("ALT=\"Banner\""), std::string::npos);
  EXPECT_NE(html.find("Aus technischen Gr\xFCnden k\xF6nnen"), std::string::npos);
  EXPECT_NE(html.find("Anfallende Grundgeb&uuml;hren werden nicht mit aufgef&uuml;hrt"), std::string::npos);
  for (const char* col : {"Beginn", "Dauer", "Takt", "Verb.geb.", "Einwahl", "Tarifname", "Rufnummer", "Kosten"})
    EXPECT_EQ(Count(html, std::string("<B>") + col + "</B>"), 2) << col;
}

// The bill names the pictures that lie in the installation folder; an absent one leaves its cell
// empty at its width instead of a broken picture.
TEST_F(CostLogTest, BillNamesOnlyThePicturesThatAreThere) {
  struct Case {
    std::vector<std::string> present;
  } cases[] = {{{}}, {{"logo.gif", "rechnung.gif"}}, {{"logo.gif", "rechnung.gif", "trivo.gif"}}, {{"trivo.gif"}}};
  const struct {
    const char* file;
    const char* img;
    const char* empty;
  } pictures[] = {
      {"logo.gif", "<IMG SRC=\"logo.gif\" WIDTH=\"64\" HEIGHT=\"95\" ALT=\"\">", "<TD WIDTH=\"64\"></TD>"},
      {"rechnung.gif", "<IMG SRC=\"rechnung.gif\" WIDTH=\"468\" HEIGHT=\"60\" ALT=\"Banner\">", "<TD WIDTH=\"468\"></TD>"},
      {"trivo.gif", "<IMG SRC=\"trivo.gif\" WIDTH=\"91\" HEIGHT=\"95\" ALT=\"\">", "<TD WIDTH=\"91\"></TD>"},
  };
  for (const Case& c : cases) {
    for (const auto& p : pictures) RemoveFile(p.file);
    for (const std::string& f : c.present) WriteFile(f, "GIF89a");
    for (BYTE grouped : {0, 1}) {
      CCostLog log(&settings);
      log.SetPlain(grouped);
      WriteFile("rechnung.log", "");
      ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
      const std::string html = ReadFile("rechnung.html");
      for (const auto& p : pictures) {
        bool there = std::find(c.present.begin(), c.present.end(), p.file) != c.present.end();
        EXPECT_EQ(html.find(p.img) != std::string::npos, there) << p.file << " grouped " << int(grouped);
        EXPECT_EQ(html.find(p.empty) != std::string::npos, !there) << p.file << " grouped " << int(grouped);
      }
    }
  }
}

TEST_F(CostLogTest, GroupedBillKeepsFileOrderWithinEachTariff) {
  CCostLog log(&settings);
  log.SetPlain(1);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), list);
  log.AppendConnection(Rec("sekunde", COleDateTime(2026, 3, 2, 11, 0, 0), 61, 1.2f), list);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 12, 0, 0), 61, 1.49f, 1), list);
  ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
  const std::string html = ReadFile("rechnung.html");
  size_t kabel = html.find("Tarifname : Kabel &amp; Netz &lt;Ost&gt;");
  size_t minute = html.find("Tarifname : Minutentakt");
  ASSERT_NE(kabel, std::string::npos);
  ASSERT_NE(minute, std::string::npos);
  EXPECT_LT(kabel, minute);  // "K" before "M"
  size_t ten = html.find("10:00:00"), twelve = html.find("12:00:00");
  EXPECT_LT(minute, ten);
  EXPECT_LT(ten, twelve);
  EXPECT_NE(html.find("<B>0.11 DM"), std::string::npos);  // 0.080 + 0.030 + 0.005
  EXPECT_NE(html.find("<B>0.01 DM"), std::string::npos);  // 0.012 + 0.005
  EXPECT_NE(html.find("Gesamtsumme:"), std::string::npos);
  EXPECT_NE(html.find("<B>0.12 DM"), std::string::npos);  // 0.122 + 0.005
  EXPECT_NE(html.find("<TITLE>Kosten </TITLE>"), std::string::npos);
}

// A damaged record does not stop the bill: it is made of the records that read, names the
// damaged one at its end, and is opened.
TEST_F(CostLogTest, ADamagedRecordIsNamedInTheBillAndTheRestIsBilled) {
  CCostLog log(&settings);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), list);
  const std::string bad = "default;3/3/2026 1:0:0;00:00:01;Surf;Spar;60;1.00;0.00;1.5;;;1;";
  std::string text = ReadFile("rechnung.log") + bad;
  WriteFile("rechnung.log", text);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 4, 10, 0, 0), 61, 1.49f, 1), list);
  for (BYTE layout : {0, 1}) {
    SCOPED_TRACE(layout);
    log.SetPlain(layout);
    ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
    const std::string html = ReadFile("rechnung.html");
    EXPECT_EQ(Count(html, "Nicht mitgerechnet (in rechnung.log beschädigt):"), 1);
    EXPECT_NE(html.find("Eintrag 2: " + bad), std::string::npos);
    EXPECT_EQ(Count(html, "Spar"), 1);  // named, not billed
    EXPECT_EQ(Count(html, "0.080 DM"), 1);
    EXPECT_EQ(Count(html, "0.030 DM"), 1);
    EXPECT_NE(html.find(layout ? "Gesamtsumme:" : "Summe:"), std::string::npos);
    EXPECT_NE(html.find("0.11 DM"), std::string::npos);
  }
  EXPECT_EQ(ui.opened.size(), 2u);
  EXPECT_EQ(ui.waitDepth, 0);
  // Without a damaged record the bill has no such note.
  RemoveFile("rechnung.log");
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), list);
  ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
  EXPECT_EQ(ReadFile("rechnung.html").find("Nicht mitgerechnet"), std::string::npos);
  EXPECT_EQ(std::string(kBillUnreadable), "Ihre Rechnungsdaten konnten nicht korrekt gelesen werden!");
}

TEST_F(CostLogTest, AmountsKeepTheirPointUnderAGermanNumericLocale) {
  // The program never changes the locale; this checks that nothing else doing so could turn
  // the log's decimal points into commas, which the log reader would refuse.
  const char* names[] = {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "German"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_NUMERIC, n))) break;
  if (!set) GTEST_SKIP() << "no German locale installed";
  const bool comma = *std::localeconv()->decimal_point == ',';
  const CString rec = CCostLog::FormatRecord(Rec("minute", COleDateTime(2001, 4, 3, 9, 5, 7), 61, 1.49f), list);
  CCostLog log(&settings);
  log.AppendConnection(Rec("minute", COleDateTime(2001, 4, 3, 9, 5, 7), 61, 1.49f), list);
  log.AppendConnection(Rec("minute", COleDateTime(2001, 4, 3, 9, 6, 8), 61, 1.49f, 1), list);
  const double total = log.GetTotal(COleDateTime(2001, 4, 3, 0, 0, 0), COleDateTime(2001, 4, 4, 0, 0, 0));
  std::setlocale(LC_NUMERIC, "C");
  EXPECT_TRUE(comma);
  EXPECT_EQ(rec, "default;4/3/2001 9:5:7;00:01:01;Minutentakt;60;1.49;5.00;0.080;;;0190123;");
  EXPECT_EQ(total, 11);
}

TEST_F(CostLogTest, LogFileAppendsAndCreatesOnlyWhenAsked) {
  const CString path(PathOf("zuordnung.log").c_str());
  CLogFile f;
  f.SetPath(&path);
  char c = 0;
  EXPECT_FALSE(f.ReadByte(&c));
  EXPECT_TRUE(f.CreateIfMissing());
  f.Append("ab");
  f.Append("c;");
  EXPECT_TRUE(f.CreateIfMissing());  // an existing file keeps its content
  std::string all;
  EXPECT_TRUE(f.ReadAll(all));
  EXPECT_EQ(all, "abc;");
  EXPECT_TRUE(f.ReadByte(&c));
  EXPECT_EQ(c, 'a');
  EXPECT_TRUE(f.Create());
  EXPECT_EQ(ReadFile("zuordnung.log"), "");
}

// The cost log and the bill when the disk refuses them: the old files stay whole, the user is
// told which file it is. An append that another program's reading handle allows goes in.
TEST_F(CostLogTest, AFailedWriteKeepsTheLogAndTheBillAndSaysSo) {
  CCostLog log(&settings);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), list);
  ASSERT_TRUE(log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0)));
  const std::string logBefore = ReadFile("rechnung.log"), billBefore = ReadFile("rechnung.html");
  for (const testsupport::SaveFault& fault : testsupport::SaveFaults()) {
    SCOPED_TRACE(fault.name);
    ui.messages.clear();
    ui.opened.clear();
    const std::string logFile = CFile::NativePath(PathOf("rechnung.log").c_str());
    fault.apply(logFile);
    log.AppendConnection(Rec("sekunde", COleDateTime(2026, 3, 3, 10, 0, 0), 61, 1.2f), list);
    fault.release(logFile);
    if (fault.blocksAppend) {
      EXPECT_EQ(ReadFile("rechnung.log"), logBefore);
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text, testsupport::SaveFailedText(PathOf("rechnung.log")));
      EXPECT_EQ(ui.messages[0].title, "Fehler");
    } else {
      EXPECT_GT(ReadFile("rechnung.log").size(), logBefore.size());
      EXPECT_TRUE(ui.messages.empty());
      WriteFile("rechnung.log", logBefore);
    }
    ui.messages.clear();
    const std::string billFile = CFile::NativePath(PathOf("rechnung.html").c_str());
    fault.apply(billFile);
    const BOOL written = log.WriteHtml(COleDateTime(2026, 3, 1, 0, 0, 0), COleDateTime(2026, 3, 31, 0, 0, 0));
    fault.release(billFile);
    EXPECT_FALSE(written);
    EXPECT_TRUE(log.BillWriteFailed());
    EXPECT_EQ(ReadFile("rechnung.html"), billBefore);
    EXPECT_FALSE(FileExists("rechnung.html.sic"));
    EXPECT_TRUE(ui.opened.empty());
    ASSERT_FALSE(ui.messages.empty());
    EXPECT_EQ(ui.messages.back().text, testsupport::SaveFailedText(PathOf("rechnung.html")));
  }
}

#ifndef _WIN32
// The disk fills up half-way through a record: what got in is cut away again, so the next record
// starts where the last whole one ended.
TEST_F(CostLogTest, ARecordCutByAFullDiskIsTakenOut) {
  CCostLog log(&settings);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), list);
  const std::string before = ReadFile("rechnung.log");
  {
    testsupport::FileSizeLimit full(before.size() + 20);
    log.AppendConnection(Rec("sekunde", COleDateTime(2026, 3, 3, 10, 0, 0), 61, 1.2f), list);
  }
  EXPECT_EQ(ReadFile("rechnung.log"), before);
  EXPECT_EQ(ui.messages.size(), 1u);
  log.AppendConnection(Rec("sekunde", COleDateTime(2026, 3, 3, 10, 0, 0), 61, 1.2f), list);
  EXPECT_EQ(ReadFile("rechnung.log"),
            before + "default;3/3/2026 10:0:0;00:01:01;Kabel & Netz <Ost>;1;1.20;0.00;0.012;;;01019;");
}

// A file that refuses to be cut (the file system fails the truncation): what got in of the record
// is taken out all the same, by writing back whole what the log held before, and the failure is
// told as a failed save.
TEST_F(CostLogTest, ARecordCutInALogThatCannotBeCutIsTakenOut) {
  struct UncuttableLog : CCostLog {
    using CCostLog::CCostLog;
    BOOL Truncate(CFile&, long) override { return FALSE; }
  } log(&settings);
  log.AppendConnection(Rec("minute", COleDateTime(2026, 3, 2, 10, 0, 0), 61, 1.49f), list);
  const std::string before = ReadFile("rechnung.log");
  {
    testsupport::FileSizeLimit full(before.size() + 20);
    log.AppendConnection(Rec("sekunde", COleDateTime(2026, 3, 3, 10, 0, 0), 61, 1.2f), list);
  }
  EXPECT_EQ(ReadFile("rechnung.log"), before);
  EXPECT_FALSE(FileExists("rechnung.log.sic"));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, testsupport::SaveFailedText(PathOf("rechnung.log")));
  EXPECT_EQ(ui.messages[0].title, "Fehler");
  log.AppendConnection(Rec("sekunde", COleDateTime(2026, 3, 3, 10, 0, 0), 61, 1.2f), list);
  EXPECT_EQ(ReadFile("rechnung.log"),
            before + "default;3/3/2026 10:0:0;00:01:01;Kabel & Netz <Ost>;1;1.20;0.00;0.012;;;01019;");
}
#endif
