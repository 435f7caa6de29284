// The server's message file and the date rules of the daily checks, with the engine's clock
// standing still and the in-memory registry.
#include <string>

#include "DataBudget.h"
#include "HostileXml.h"
#include "ServerMessages.h"
#include "TarifScramble.h"
#include "TestSupport.h"

class ServerMsgTest : public TariffTest {
 protected:
  BOOL Parse(const std::string& xml) { return ParseServerMessages(xml.data(), xml.size(), &settings, &result); }
  CSettings settings;
  CServerMessageParse result;
};

const char kMessages[] =
    "<?xml version=\"1.0\"?>\n<server>\n"
    " <tip typ=\"tarif\"><url>http://upd.example/tarif.dat  </url><date>2026-03-01 10:00:00 extra</date></tip>\n"
    " <tip typ=\"dialer\"><url>http://upd.example/setup.exe</url><date>2026-02-01 08:30:00</date></tip>\n"
    " <tip typ=\"banner\"><url>http://upd.example/b.gif?a=1&amp;b=2</url><date>2026-01-05 00:00:00</date></tip>\n"
    " <tip typ=\"urlofday\"><url>http://www.example/heute</url></tip>\n"
    " <tip typ=\"daily\">Heute \\bg\xC3\xBC" "nstig\\b\nsurfen<url>http://ignored.example/</url> !</tip>\n"
    " <tip typ=\"tarifupdate\">Neue Tarife f\xC3\xBC" "r M\xC3\xA4" "rz: Caf\xC3\xA9 Net ab 1,50 \xE2\x82\xAC</tip>\n"
    " <other typ=\"tarif\" x=\"1\">noise</other>\n"
    "</server>\n";

TEST_F(ServerMsgTest, EveryValueReachesItsPlace) {
  ASSERT_TRUE(Parse(kMessages));
  EXPECT_EQ(settings.GetTarifUrl(), "http://upd.example/tarif.dat");
  EXPECT_EQ(settings.GetTarifDate(), "2026-03-01 10:00:00");  // a stamp counts on 19 characters
  EXPECT_EQ(settings.GetDialerUrl(), "http://upd.example/setup.exe");
  EXPECT_EQ(settings.GetDialerDate(), "2026-02-01 08:30:00");
  // An entity splits the text in expat's chunks; the address still arrives whole.
  EXPECT_EQ(settings.GetBannerUrl(), "http://upd.example/b.gif?a=1&b=2");
  EXPECT_EQ(result.bannerDate, "2026-01-05 00:00:00");
  EXPECT_EQ(settings.GetUrlOfDay(), "http://www.example/heute");
  // UTF-8 becomes code page 1252, every character of it; the url inside the daily tip changes
  // nothing.
  EXPECT_EQ(std::string(settings.GetDailyTip()), "Heute \\bg\xFCnstig\\b\nsurfen !");
  EXPECT_EQ(std::string(settings.GetTarifUpdateTip()), "Neue Tarife f\xFCr M\xE4rz: Caf\xE9 Net ab 1,50 \x80");
}

TEST_F(ServerMsgTest, BrokenOrTruncatedDocumentsAreRefused) {
  std::string whole = kMessages;
  EXPECT_FALSE(Parse(whole.substr(0, whole.size() / 2)));  // cut short in transfer
  EXPECT_FALSE(Parse("<server><tip typ=\"tarif\"></server>"));
  EXPECT_FALSE(Parse(""));
  EXPECT_FALSE(Parse("not xml at all"));
}

namespace {
void ParseMessages(const void* arg) {
  const std::string& doc = *static_cast<const std::string*>(arg);
  CSettings settings;
  CServerMessageParse result;
  ParseServerMessages(doc.data(), doc.size(), &settings, &result);
}
}  // namespace

// 15 MB of nested elements once held some 650 MB; every hostile document is refused within the
// budget of one read.
TEST_F(ServerMsgTest, NestedAndCountlessElementsAreRefusedWithinTheReadBudget) {
  for (int i = 0; i < kHostileCaseCount; ++i) {
    const HostileXml h = HostileCases(i, "<server><tip typ=\"urlofday\"><url>http://x.example/</url></tip>", "</server>");
    SCOPED_TRACE(h.what);
    EXPECT_FALSE(Parse(h.doc));
    const long long growth = PeakGrowthInChild(ParseMessages, &h.doc);
    if (growth >= 0) {
      EXPECT_LE(growth, static_cast<long long>(kDataBudgetBytes));
    }
  }
}

TEST_F(ServerMsgTest, BlankValuesAndUnknownTypsLeaveSettingsAlone) {
  settings.SetTarifUrl("old");
  ASSERT_TRUE(Parse("<s><tip typ=\"tarif\"><url>   </url></tip><tip typ=\"foo\"><url>x</url><date>y</date></tip>"
                    "<date>2026-01-01 00:00:00</date></s>"));
  // The last typ seen was "foo": a date outside any tip goes with it, and nowhere.
  EXPECT_EQ(settings.GetTarifUrl(), "old");
  EXPECT_EQ(settings.GetTarifDate(), "");
  EXPECT_EQ(result.bannerDate, "");
}

TEST_F(ServerMsgTest, ValuesAreTrimmedOnBothSides) {
  ASSERT_TRUE(Parse("<s><tip typ=\"urlofday\"><url>\r\n\thttp://www.example/heute\r\n</url></tip>"
                    "<tip typ=\"tarif\"><url>\n  http://upd.example/t.dat</url>"
                    "<date>\n2026-03-01 10:00:00\n</date></tip></s>"));
  EXPECT_EQ(settings.GetUrlOfDay(), "http://www.example/heute");
  EXPECT_EQ(settings.GetTarifUrl(), "http://upd.example/t.dat");
  EXPECT_EQ(settings.GetTarifDate(), "2026-03-01 10:00:00");
}

// An address that is no web address is not kept, whichever tip names it: the server messages
// come over plain HTTP, and the addresses go to the shell or to a download.
TEST_F(ServerMsgTest, AddressesOtherThanWebPagesAreNotKept) {
  const char* typs[] = {"urlofday", "dialer", "tarif", "banner"};
  const std::string refused[] = {"Z:\\tmp\\marker.exe", "C:\\marker.bat", "file:///C:/marker.exe", "marker.exe",
                           "ftp://upd.example/x", "http://upd.example/\" -x", std::string("http://") + std::string(3000, 'a')};
  for (const char* typ : typs) {
    for (const std::string& address : refused) {
      settings.SetUrlOfDay("");
      settings.SetDialerUrl("");
      settings.SetTarifUrl("");
      settings.SetBannerUrl("");
      ASSERT_TRUE(Parse(std::string("<s><tip typ=\"") + typ + "\"><url>" + address + "</url></tip></s>")) << address;
      EXPECT_EQ(settings.GetUrlOfDay(), "") << typ << " " << address;
      EXPECT_EQ(settings.GetDialerUrl(), "") << typ << " " << address;
      EXPECT_EQ(settings.GetTarifUrl(), "") << typ << " " << address;
      EXPECT_EQ(settings.GetBannerUrl(), "") << typ << " " << address;
    }
  }
  std::string good = "<s>";
  for (const char* typ : typs) good += std::string("<tip typ=\"") + typ + "\"><url>https://upd.example/seite</url></tip>";
  ASSERT_TRUE(Parse(good + "</s>"));
  EXPECT_EQ(settings.GetUrlOfDay(), "https://upd.example/seite");
  EXPECT_EQ(settings.GetDialerUrl(), "https://upd.example/seite");
  EXPECT_EQ(settings.GetTarifUrl(), "https://upd.example/seite");
  EXPECT_EQ(settings.GetBannerUrl(), "https://upd.example/seite");
}

// What the update checks do: compare the parsed stamp with the stored one, store the parsed one
// after the update, and compare again the next day with the same file.
TEST_F(ServerMsgTest, StampStoredAfterAnUpdateIsNotOfferedAgain) {
  const char* stamps[] = {"2026-03-01 10:00:00", "2026-03-01 10:00:00 MEZ", "2026-03-01", "2026-03-01 10:00"};
  for (const char* stamp : stamps) {
    std::string xml = std::string("<s><tip typ=\"tarif\"><date>") + stamp + "</date></tip><tip typ=\"dialer\"><date>" +
                      stamp + "</date></tip></s>";
    settings.SetCurrentTarif("2020-01-01 00:00:00");
    settings.SetCurrentDialer("");
    ASSERT_TRUE(Parse(xml));
    EXPECT_TRUE(IsNewServerStamp(settings.GetTarifDate(), settings.GetCurrentTarif())) << stamp;
    EXPECT_TRUE(IsNewServerStamp(settings.GetDialerDate(), settings.GetCurrentDialer())) << stamp;
    settings.SetCurrentTarif(settings.GetTarifDate());
    settings.SetCurrentDialer(settings.GetDialerDate());
    ASSERT_TRUE(Parse(xml));
    EXPECT_FALSE(IsNewServerStamp(settings.GetTarifDate(), settings.GetCurrentTarif())) << stamp;
    EXPECT_FALSE(IsNewServerStamp(settings.GetDialerDate(), settings.GetCurrentDialer())) << stamp;
    EXPECT_LE(settings.GetCurrentTarif().GetLength(), 19) << stamp;
  }
}

TEST_F(ServerMsgTest, ScrambledFileIsRead) {
  std::string s = kMessages;
  ScrambleTarif(reinterpret_cast<unsigned char*>(&s[0]), s.size());
  WriteFile("ServerInfo.dat", s);
  EXPECT_TRUE(ParseServerMessageFile(PathOf("ServerInfo.dat").c_str(), &settings, &result));
  EXPECT_EQ(settings.GetTarifUrl(), "http://upd.example/tarif.dat");
  EXPECT_FALSE(ParseServerMessageFile(PathOf("missing.dat").c_str(), &settings, &result));
  WriteFile("plain.dat", kMessages);  // not scrambled: garbage after unscrambling
  EXPECT_FALSE(ParseServerMessageFile(PathOf("plain.dat").c_str(), &settings, &result));
  // Beyond the limit of data files: refused before it is read, as a download check too.
  std::string big = kMessages + std::string(kDataFileLimit, ' ');
  ScrambleTarif(reinterpret_cast<unsigned char*>(&big[0]), big.size());
  WriteFile("big.dat", big);
  EXPECT_FALSE(ParseServerMessageFile(PathOf("big.dat").c_str(), &settings, &result));
  EXPECT_FALSE(IsCompleteScrambledDocument(PathOf("big.dat").c_str()));
  EXPECT_TRUE(IsCompleteScrambledDocument(PathOf("ServerInfo.dat").c_str()));
}

TEST_F(ServerMsgTest, CheckDateRule) {
  const COleDateTime now(2026, 3, 4, 13, 30, 0);
  struct Case {
    const char* stored;
    BOOL due;
  } cases[] = {
      {"04.03.2026", FALSE}, {"03.03.2026", TRUE}, {"01.01.2020", TRUE},
      {"05.03.2026", TRUE},  // after today: a clock set wrong once
      {"4.3.2026", TRUE},    {"", TRUE},           {"xx.03.2026", TRUE}, {"31.02.2026", TRUE},
  };
  for (const Case& c : cases) EXPECT_EQ(IsCheckDateDue(c.stored, now), c.due) << c.stored;
  // A whole day is counted from the same time of day: just after midnight the previous day is due.
  EXPECT_TRUE(IsCheckDateDue("03.03.2026", COleDateTime(2026, 3, 4, 0, 0, 1)));
  EXPECT_EQ(FormatCheckDate(COleDateTime(2026, 3, 4, 0, 0, 0)), "04.03.2026");
}

TEST_F(ServerMsgTest, MessageOfDayOncePerDay) {
  EXPECT_TRUE(IsMessageOfDayDue(settings));
  EXPECT_EQ(settings.GetMessageOfDay(), "04.03.2026");
  EXPECT_FALSE(IsMessageOfDayDue(settings));
  At(2026, 3, 5, 0, 5, 0);
  EXPECT_TRUE(IsMessageOfDayDue(settings));
  EXPECT_EQ(settings.GetMessageOfDay(), "05.03.2026");
  settings.SetMessageOfDay("kaputt");
  EXPECT_TRUE(IsMessageOfDayDue(settings));
}

TEST_F(ServerMsgTest, DailyChecksAskOnceADayAndStoreTodayEveryTime) {
  for (DailyCheck which : {DailyCheck::dialer, DailyCheck::tarif}) {
    auto stored = [&] { return which == DailyCheck::dialer ? settings.GetCheckDialer() : settings.GetCheckTarif(); };
    At(2026, 3, 4, 13, 30, 0);
    EXPECT_TRUE(IsDailyCheckDue(settings, which));  // never asked
    EXPECT_EQ(stored(), "04.03.2026");
    EXPECT_FALSE(IsDailyCheckDue(settings, which));  // second connect the same day
    At(2026, 3, 6, 9, 0, 0);
    EXPECT_TRUE(IsDailyCheckDue(settings, which));
    EXPECT_EQ(stored(), "06.03.2026");
  }
  // " 06.03.2026 " is trimmed before it is read.
  settings.SetCheckTarif(" 06.03.2026 ");
  EXPECT_FALSE(IsDailyCheckDue(settings, DailyCheck::tarif));
  // "Nur manuell": neither check runs, and nothing is stored.
  settings.SetUpdateFrequence("1");
  At(2026, 4, 1, 9, 0, 0);
  EXPECT_FALSE(IsDailyCheckDue(settings, DailyCheck::dialer));
  EXPECT_FALSE(IsDailyCheckDue(settings, DailyCheck::tarif));
  EXPECT_EQ(settings.GetCheckDialer(), "06.03.2026");
}

TEST_F(ServerMsgTest, ServerStampComparison) {
  struct Case {
    const char* server;
    const char* stored;
    BOOL fresh;
  } cases[] = {
      {"2026-03-0", "", FALSE},                                       // 9 characters never count
      {"2026-03-01", "", TRUE},                                       // 10 are enough
      {"2026-03-01 10:00:00", "2026-03-01 10:00:00", FALSE},
      {"2026-03-01 10:00:00 trailing", "2026-03-01 10:00:00", FALSE}, // compared on 19 characters
      {"2026-03-01 10:00:01", "2026-03-01 10:00:00", TRUE},
      {"2026-03-01 10:00:00", "2026-03-01 10:00:0", TRUE},            // stored of another length
      {"2026-03-01 10:00:00", "2026-03-01 10:00:00x", TRUE},
      {"2026-03-01", "2026-03-01", FALSE},                            // a short stamp, stored as it came
      {"2026-03-01", "2026-03-02", TRUE},
  };
  for (const Case& c : cases) EXPECT_EQ(IsNewServerStamp(c.server, c.stored), c.fresh) << c.server << " / " << c.stored;
}
