#include <clocale>
#include <cstring>
#include <functional>
#include <set>

#include "DataBudget.h"
#include "TarifDatabase.h"
#include "TarifManager.h"
#include "TarifScramble.h"
#include "TarifTexts.h"
#include "TestSupport.h"

namespace {
const char kSampleTemplate[] = R"(<?xml version="1.0" encoding="UTF-8"?>
<Providerliste version="2.0">
  <Provider id="p1" active="j">
    <name>  aol</name>
    <telefonnummer>0101901</telefonnummer>
    <username>nutzer</username>
    <passwort>kennwort</passwort>
    <info>Kabel &amp; Netz</info>
    <info>
      zweite Zeile</info>
    <anmeldepflichtig>ja</anmeldepflichtig>
    <skipfirstpage>n</skipfirstpage>
    <freiminuten>1</freiminuten>
    <set a="takt" b="60" c="preis" d="1.49"/>
    <set a="grundgebuehr" b="5" c="freimin" d="30" e="pfgeinwahl" f="6.5"/>
    <rule><eq v="anrufe.woche" o="3"/><set f="preis" v="0.9"/></rule>
    <rule><in-range v="stunde.tag" r="1,3-5,20-,-2"/></rule>
  </Provider>
  <Provider id="p2" active="N"><name>ruhend</name></Provider>
  <Provider id="p3" active="no"><name>MUELLER</name><anmeldepflichtig>n</anmeldepflichtig></Provider>
  <Provider active="j"><name>ohne Kennung</name></Provider>
  <Provider id="p4"><name>erst</name><telefonnummer>1</telefonnummer></Provider>
  <Provider id="p4"><name>zweit</name></Provider>
</Providerliste>
)";

// The document in UTF-8 (the test's own texts are code page 1252).
std::string Sample() {
  std::string s = kSampleTemplate;
  s.replace(s.find("MUELLER"), 7, "M\xC3\xBCller &amp; S\xC3\xB6hne \xC3\xA4");
  return s;
}
const std::string kSample = Sample();

struct Fixture : TariffTest {
  CSettings settings;
  CTarifManager manager;
  void Init() { manager.Init(&settings, nullptr); }
  CTarifDatabase& Db() { return manager.GetDatabase(); }
  CProvider* P(const char* id) { return Db().Find(id); }
};

struct Holder : CTarifConnection {
  CProvider* p = nullptr;
  CProvider* GetConnectedProvider() const override { return p; }
  void SetConnectedProvider(CProvider* n) override { p = n; }
};
}  // namespace

class DatabaseTest : public Fixture {};

TEST_F(DatabaseTest, ReadsEveryElementOfTheFile) {
  WriteTarif(kSample);
  WriteFile("Feiertags.dat", "<Feiertage/>");
  Init();
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(Db().GetCount(), 4);  // p1, p2, p3, p4; the provider without id is dropped
  CProvider* p = P("p1");
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->GetName(), "Aol");
  EXPECT_EQ(p->GetPhoneNumber(), "0101901");
  EXPECT_EQ(p->GetUserName(), "nutzer");
  EXPECT_EQ(p->GetPassword(), "kennwort");
  // All the text of an element counts, also before and after an entity.
  EXPECT_EQ(p->GetInfo(), "Kabel & Netzzweite Zeile");
  EXPECT_TRUE(p->IsLoginRequired());
  EXPECT_FALSE(p->GetSkipFirstPage());
  EXPECT_TRUE(p->HasFreeMinutes());
  EXPECT_TRUE(p->IsActive());
  EXPECT_EQ(p->GetUsagePeriod(), 2);
  EXPECT_TRUE(p->CountsCalls());
  const CTarifAction* base = p->GetBaseValues();
  ASSERT_NE(base, nullptr);
  EXPECT_EQ(base->takt, 60);
  EXPECT_FLOAT_EQ(base->price, 1.49f);
  EXPECT_FLOAT_EQ(base->baseFee, 5.0f);
  EXPECT_EQ(base->freeMinutes, 30);
  EXPECT_FLOAT_EQ(base->dialInFee, 6.5f);
  ASSERT_NE(p->GetRuleList(), nullptr);
  ASSERT_EQ(p->GetRuleList()->GetSize(), 2);
  // The list item form of in-range builds an "or" group of one comparison per item.
  auto* top = static_cast<CTarifConditionGroup*>(p->GetRuleList()->GetAt(1)->GetCondition());
  ASSERT_EQ(top->GetChildCount(), 1);
  auto* any = static_cast<CTarifConditionGroup*>(top->GetChild(0));
  EXPECT_EQ(any->GetMode(), CTarifConditionGroup::modeOr);
  ASSERT_EQ(any->GetChildCount(), 4);
  struct { int op, first, second; } want[] = {
      {CTarifComparison::opEqual, 1, 0}, {CTarifComparison::opInRange, 3, 5},
      {CTarifComparison::opGreaterEqual, 20, 0}, {CTarifComparison::opLessEqual, 2, 0}};
  for (int i = 0; i < 4; ++i) {
    auto* c = static_cast<CTarifComparison*>(any->GetChild(i));
    EXPECT_EQ(c->variable, "stunde.tag");
    EXPECT_EQ(c->op, want[i].op) << i;
    EXPECT_EQ(c->first, want[i].first) << i;
    EXPECT_EQ(c->second, want[i].second) << i;
  }
  EXPECT_FLOAT_EQ(static_cast<CTarifRule*>(p->GetRuleList()->GetAt(0))->GetAction()->price, 0.9f);

  EXPECT_FALSE(P("p2")->IsActive());
  EXPECT_TRUE(P("p3")->IsActive());  // only "n" in any case makes a provider inactive
  EXPECT_EQ(P("p3")->GetName(), "M\xFCller & S\xF6hne \xE4");
  EXPECT_FALSE(P("p3")->IsLoginRequired());
  EXPECT_EQ(P("p4")->GetName(), "Zweit");  // a repeated id takes the earlier one's place
  EXPECT_EQ(P("p4")->GetPhoneNumber(), "");

  // Name-sorted active providers for the dialogs.
  const CProviderArray& byName = Db().GetActiveByName();
  ASSERT_EQ(byName.GetSize(), 3);
  EXPECT_EQ(byName[0]->GetId(), "p1");
  EXPECT_EQ(byName[1]->GetId(), "p3");
  EXPECT_EQ(byName[2]->GetId(), "p4");
}

// Each flag element sets its own flag and no other: set by any text but "N" in any case.
TEST_F(DatabaseTest, EachFlagElementSetsItsOwnFlag) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const char* elements[] = {"anmeldepflichtig", "skipfirstpage", "freiminuten"};
  struct { const char* text; bool set; } texts[] = {{"ja", true}, {"1", true}, {"n", false}, {"N", false}};
  for (const char* element : elements) {
    for (const auto& t : texts) {
      WriteTarif(std::string("<Providerliste><Provider id=\"x\"><") + element + ">" + t.text + "</" + element +
                 "></Provider></Providerliste>");
      CTarifManager fresh;
      fresh.Init(&settings, nullptr);
      CProvider* p = fresh.GetDatabase().Find("x");
      const std::string what = std::string(element) + " " + t.text;
      ASSERT_NE(p, nullptr) << what;
      auto setHere = [&](const char* flag) { return t.set && std::strcmp(element, flag) == 0; };
      EXPECT_EQ(p->IsLoginRequired() != 0, setHere("anmeldepflichtig")) << what;
      EXPECT_EQ(p->GetSkipFirstPage() != 0, setHere("skipfirstpage")) << what;
      EXPECT_EQ(p->HasFreeMinutes() != 0, setHere("freiminuten")) << what;
    }
  }
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(DatabaseTest, UnreadableFilesGiveTheFallbackProviderAndTheMessage) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const std::string plainXml = "<Providerliste><Provider id=\"x\"/></Providerliste>";
  struct { const char* what; bool write; std::string bytes; bool scramble; } cases[] = {
      {"missing", false, "", false},
      {"not scrambled", true, plainXml, false},
      {"malformed", true, "<Providerliste><Provider id=\"x\"></Providerliste>", true},
      {"binary junk", true, std::string("\0\xff\x01<", 4), false},
      {"beyond the limit of data files", true, plainXml + std::string(kDataFileLimit, ' '), true},
  };
  for (auto& c : cases) {
    RemoveFile("tarif.dat");
    if (c.write) {
      if (c.scramble) WriteTarif(c.bytes);
      else WriteFile("tarif.dat", c.bytes);
    }
    ui.messages.clear();
    CTarifManager m;
    m.Init(&settings, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u) << c.what;
    EXPECT_EQ(ui.messages[0].text, kTarifUnreadable);
    EXPECT_EQ(ui.messages[0].title, "Astrel Corvalen 2.0");
    ASSERT_EQ(m.GetDatabase().GetCount(), 1) << c.what;
    CProvider* p = m.FindProvider("id-10034");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->GetInfo(), "Dies ist ein Default-Provider, Verbindungspreise ohne Gew\xE4hr! ");
    EXPECT_EQ(p->GetUserName(), "QZJ");
    EXPECT_FLOAT_EQ(p->GetPrice(), 2.9f);
    EXPECT_EQ(p->GetTakt(), 1);
    EXPECT_EQ(m.GetActiveByName().GetSize(), 1);
  }
  EXPECT_EQ(std::string(kTarifUnreadable),
            "Die Tarifinformationen konnten nicht korrekt gelesen werden.\nBitte starten Sie die Reparaturroutine "
            "der Installation und\nstarten danach den Download f\xFCr eine aktuelle Tarifliste.");
}

// A file that yields no provider is no tariff: the user hears of it with the tariff file's message
// and has the fallback provider, instead of an empty list and no word; a download like it never
// replaces the installed file.
TEST_F(DatabaseTest, FilesWithoutAProviderGiveTheFallbackProviderAndTheMessage) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const char* docs[] = {
      "",
      "<Providerliste version=\"1\"></Providerliste>",
      "<Providerliste><Anbieter id=\"x\"><name>X</name></Anbieter><set a=\"preis\" b=\"1\"/></Providerliste>",
      "<Providerliste><Provider id=\"x\"><name>Unfertig</name>",
      "<Providerliste><Provider><name>Ohne Id</name></Provider></Providerliste>",
  };
  for (const char* doc : docs) {
    SCOPED_TRACE(doc);
    if (*doc) WriteTarif(doc);
    else WriteFile("tarif.dat", "");
    ui.messages.clear();
    CTarifManager m;
    m.Init(&settings, nullptr);
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kTarifUnreadable);
    EXPECT_EQ(m.GetDatabase().GetCount(), 1);
    EXPECT_NE(m.FindProvider("id-10034"), nullptr);
    EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.dat").c_str()), 2);
  }
}

// The takt bills every connection: a value outside 0..3600 seconds, or a whole number beyond an
// int (read as -1 by one C library and as 1661992959 by another), makes the file unreadable alike
// in both builds, with the tariff file's message; a download like it keeps the old file.
TEST_F(DatabaseTest, TaktsOutsideTheirRangeMakeTheFileUnreadable) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const struct {
    const char* value;
    const char* field;
    int takt;  // -1: refused
  } cases[] = {
      {"-1", "takt", -1},         {"99999999999999999999", "takt", -1}, {"3601", "takt", -1},
      {"-99999999999", "takt", -1}, {"2147483648", "freimin", -1},      {"0", "takt", 0},
      {"3600", "takt", 3600},     {" 60s", "takt", 60},                 {"keiner", "takt", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.field) + "=" + c.value);
    for (const char* where : {"", "<rule><set a=\"x\" b=\"y\"/>"}) {
      std::string doc = std::string("<Providerliste><Provider id=\"t\"><name>T</name>") + where + "<set a=\"" +
                        c.field + "\" b=\"" + c.value + "\"/>" + (*where ? "</rule>" : "") + "</Provider></Providerliste>";
      WriteTarif(doc);
      ui.messages.clear();
      CTarifManager m;
      m.Init(&settings, nullptr);
      if (c.takt < 0) {
        ASSERT_EQ(ui.messages.size(), 1u);
        EXPECT_EQ(ui.messages[0].text, kTarifUnreadable);
        EXPECT_EQ(m.FindProvider("t"), nullptr);
        EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.dat").c_str()), 2);
      } else {
        EXPECT_TRUE(ui.messages.empty());
        ASSERT_NE(m.FindProvider("t"), nullptr);
        if (!*where) {
          EXPECT_EQ(m.FindProvider("t")->GetBaseValues()->takt, c.takt);
        }
      }
    }
  }
}

// A database far beyond any real one (28,766 providers held the window 9 to 15 s at every minute's
// ranking) is refused with its own message at start, and as a download before it replaces
// tarif.dat; one at the limit is read.
TEST_F(DatabaseTest, ADatabaseBeyondTheProviderLimitIsRefusedWithItsMessage) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  auto doc = [](int count) {
    std::string xml = "<Providerliste>";
    for (int i = 0; i < count; ++i)
      xml += "<Provider id=\"p" + std::to_string(i) + "\"><name>A" + std::to_string(i) +
             "</name><set a=\"takt\" b=\"60\" c=\"preis\" d=\"1.5\"/></Provider>";
    return xml + "</Providerliste>";
  };
  const int limit = CTarifDatabase::kMaxProviders;
  for (int count : {limit, limit + 1, 28766}) {
    SCOPED_TRACE(count);
    WriteTarif(doc(count));
    ui.messages.clear();
    CTarifManager m;
    m.Init(&settings, nullptr);
    if (count <= limit) {
      EXPECT_TRUE(ui.messages.empty());
      EXPECT_EQ(m.GetDatabase().GetCount(), count);
      EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.dat").c_str()), 0);
      continue;
    }
    ASSERT_EQ(ui.messages.size(), 1u);
    EXPECT_EQ(ui.messages[0].text, kTarifTooManyProviders);
    EXPECT_EQ(ui.messages[0].title, "Astrel Corvalen 2.0");
    EXPECT_EQ(m.GetDatabase().GetCount(), 1);
    EXPECT_NE(m.FindProvider("id-10034"), nullptr);
    EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.dat").c_str()), 2);
  }
  EXPECT_EQ(std::string(kTarifTooManyProviders),
            "Die Tarifinformationen enthalten mehr als 1000 Anbieter und werden nicht geladen:\nSo viele Anbieter "
            "kann Corvalen nicht jede Minute neu vergleichen.\nBitte starten Sie den Download f\xFCr eine aktuelle "
            "Tarifliste.");
}

TEST_F(DatabaseTest, CutOffFilesKeepWhatIsComplete) {
  WriteFile("Feiertags.dat", "<Feiertage/>");

  // Cut off inside the third provider: the two complete ones stay, the unfinished one is dropped.
  std::string doc = kSample;
  doc = doc.substr(0, doc.find("<name>M\xC3\xBC"));
  WriteTarif(doc);
  CTarifManager m;
  m.Init(&settings, nullptr);
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(m.GetDatabase().GetCount(), 2);
  EXPECT_NE(m.FindProvider("p1"), nullptr);
  EXPECT_NE(m.FindProvider("p2"), nullptr);
  EXPECT_EQ(m.FindProvider("p3"), nullptr);
}

TEST_F(DatabaseTest, ShortAttributeListsAreNeverReadPastTheirEnd) {
  // Each of these once read beyond the attribute list; now a missing value sets nothing.
  const char* doc = R"(<Providerliste>
    <Provider id="a" x="id"><set a="takt"/><set a="preis" b="2"/><set a="x" b="takt" c="60"/>
      <rule><eq/><eq v="stunde.tag"/><in-range v="minute.tag"/><and><gt v="anrufe.tag"/></and></rule>
      <set a="preis"/>
    </Provider>
    <Provider active="N" id="b" c="active"/>
  </Providerliste>)";
  CTarifDatabase db;
  ASSERT_TRUE(db.ParseBuffer(doc, strlen(doc)));
  CProvider* a = db.Find("a");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->GetBaseValues()->takt, 60);
  EXPECT_FLOAT_EQ(a->GetBaseValues()->price, 2.0f);
  EXPECT_EQ(a->GetUsagePeriod(), 3);
  auto* top = static_cast<CTarifConditionGroup*>(a->GetRuleList()->GetAt(0)->GetCondition());
  EXPECT_EQ(top->GetChildCount(), 3);  // <eq/> names no variable and is left out
  ASSERT_NE(db.Find("b"), nullptr);
  EXPECT_FALSE(db.Find("b")->IsActive());  // the trailing "active" has no value and changes nothing
}

TEST_F(DatabaseTest, DeeplyNestedGroupsAreRefused) {
  std::string doc = "<Providerliste><Provider id=\"a\"><rule>";
  for (int i = 0; i < 5000; ++i) doc += "<not>";
  CTarifDatabase db;
  EXPECT_FALSE(db.ParseBuffer(doc.data(), doc.size()));
}

// A short document can ask for much: every item of a range is a comparison with its own copy of
// the variable's name, so 20 KB here would build more than 100 MB. What the parse builds is
// counted against what a document of its length can mean, and one beyond that is refused like a
// malformed one.
TEST_F(DatabaseTest, ConditionsBeyondWhatTheDocumentCanMeanAreRefused) {
  auto doc = [](const std::string& name, const std::string& item, size_t items) {
    std::string range = item;
    for (size_t i = 1; i < items; ++i) range += "," + item;
    return "<Providerliste><Provider id=\"a\"><rule><in-range v=\"" + name + "\" r=\"" + range +
           "\"/></rule></Provider></Providerliste>";
  };
  const std::string hostile[] = {doc(std::string(10000, 'v'), "", 10000), doc("stunde.tag", "", 100000)};
  for (const std::string& h : hostile) {
    CTarifDatabase db;
    EXPECT_FALSE(db.ParseBuffer(h.data(), h.size())) << h.size();
  }
  // The densest real content: a range of one-digit items.
  const std::string fits = doc("stunde.tag", "1", 10000);
  CTarifDatabase ok;
  ASSERT_TRUE(ok.ParseBuffer(fits.data(), fits.size()));
  auto* top = static_cast<CTarifConditionGroup*>(ok.Find("a")->GetRuleList()->GetAt(0)->GetCondition());
  ASSERT_EQ(top->GetChildCount(), 1);
  EXPECT_EQ(static_cast<CTarifConditionGroup*>(top->GetChild(0))->GetChildCount(), 10000);
}

TEST_F(DatabaseTest, FixUmlautsNarrowsEveryCharacterOfTheCodePage) {
  struct { const char* in; const char* out; } cases[] = {
      {"\xC3\x84\xC3\x96\xC3\x9C\xC3\x9F\xC3\xA4\xC3\xB6\xC3\xBC", "\xC4\xD6\xDC\xDF\xE4\xF6\xFC"},
      {"Caf\xC3\xA9 Net!", "Caf\xE9 Net!"},
      {"\xE2\x82\xAC 1,50", "\x80 1,50"},
      {"ende\xC3", "ende\xC3"},              // a lead byte without its continuation stays a 1252 byte
      {"\xC3\xC3\xA4", "\xC3\xE4"},
      {"M\xFCller", "M\xFCller"},            // code page 1252 already
      {"\xE2\x86\x92 Pfeil", "? Pfeil"},     // a character the code page lacks
  };
  for (auto& c : cases) {
    CString s(c.in);
    CProvider::FixUmlauts(s);
    EXPECT_EQ(Hex(s.str()), Hex(c.out)) << Hex(c.in);
  }
}

TEST_F(DatabaseTest, CheckTarifFileJudgesADownloadWithoutTouchingTheDatabase) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  WriteTarif(kSample);
  Holder conn;
  CTarifManager m;
  m.Init(&settings, &conn);
  std::string other = "<Providerliste><Provider id=\"q\"/></Providerliste>";
  ScrambleTarif(reinterpret_cast<unsigned char*>(&other[0]), other.size());
  WriteFile("tarif.sic", other);
  EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.sic").c_str()), 0);  // nobody connected
  EXPECT_EQ(m.CheckTarifFile(PathOf("missing.sic").c_str()), 2);
  conn.p = m.FindProvider("p1");
  EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.sic").c_str()), 1);
  EXPECT_EQ(m.CheckTarifFile(PathOf("tarif.dat").c_str()), 0);
  WriteFile("bad.sic", "<<<");
  EXPECT_EQ(m.CheckTarifFile(PathOf("bad.sic").c_str()), 2);
  EXPECT_EQ(m.GetDatabase().GetCount(), 4);
}

TEST_F(DatabaseTest, ReloadHandsTheConnectionItsNewRecord) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  WriteTarif(kSample);
  Holder conn;
  CTarifManager m;
  m.Init(&settings, &conn);
  conn.p = m.FindProvider("p1");
  WriteTarif("<Providerliste><Provider id=\"p1\"><name>neu</name></Provider></Providerliste>");
  EXPECT_TRUE(m.Reload());
  ASSERT_NE(conn.p, nullptr);
  EXPECT_EQ(conn.p->GetName(), "Neu");
  EXPECT_EQ(conn.p, m.FindProvider("p1"));
  EXPECT_EQ(m.GetRanking().GetSize(), 1);

  WriteTarif("<Providerliste><Provider id=\"p9\"/></Providerliste>");
  EXPECT_TRUE(m.Reload());
  EXPECT_EQ(conn.p, nullptr);

  conn.p = m.FindProvider("p9");
  WriteFile("tarif.dat", "kaputt");
  EXPECT_FALSE(m.Reload());
  EXPECT_EQ(conn.p, nullptr);
  EXPECT_EQ(ui.messages.size(), 1u);
  EXPECT_NE(m.FindProvider("id-10034"), nullptr);
}

// A billed connection whose provider the new data lack, or hold inactive, keeps the provider's
// former record until it ends: it is metered and logged at its tariff, and nothing it holds is
// freed. The listener hears of every reload.
TEST_F(DatabaseTest, ReloadWithoutTheConnectedProviderLeavesItWithItsConnection) {
  struct Keeper : CTarifConnection {
    CProvider* p = nullptr;
    std::unique_ptr<CProvider> kept;
    CProvider* GetConnectedProvider() const override { return p; }
    void SetConnectedProvider(CProvider* n) override {
      if (n != kept.get()) kept.reset();
      p = n;
    }
    void KeepFormerProvider(std::unique_ptr<CProvider> former) override {
      kept = std::move(former);
      p = kept.get();
    }
  };
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const char* connected =
      "<Provider id=\"p1\"><name>verbunden</name><telefonnummer>0191</telefonnummer><set a=\"preis\" b=\"1.5\"/>"
      "</Provider>";
  const struct {
    const char* what;
    std::string next;
    BOOL ok;
  } cases[] = {
      {"dropped", "<Providerliste><Provider id=\"p9\"/></Providerliste>", TRUE},
      {"inactive", "<Providerliste><Provider id=\"p1\" active=\"n\"><name>aus</name></Provider></Providerliste>", TRUE},
      {"unreadable", "kaputt", FALSE},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    WriteTarif(std::string("<Providerliste>") + connected + "</Providerliste>");
    Keeper conn;
    CTarifManager m;
    int heard = 0;
    m.SetReloadListener([&heard] { ++heard; });
    m.Init(&settings, &conn);
    m.Recompute(nullptr, nullptr);
    conn.p = m.FindProvider("p1");
    ASSERT_NE(conn.p, nullptr);
    if (c.ok)
      WriteTarif(c.next);
    else
      WriteFile("tarif.dat", c.next);  // not scrambled: no XML after unscrambling
    EXPECT_EQ(m.Reload(), c.ok);
    EXPECT_EQ(heard, 1);
    ASSERT_NE(conn.p, nullptr);
    EXPECT_EQ(conn.p, conn.kept.get());
    EXPECT_EQ(conn.p->GetName(), "Verbunden");
    EXPECT_EQ(conn.p->GetPhoneNumber(), "0191");
    EXPECT_FLOAT_EQ(conn.p->GetPrice(), 1.5f);
    m.Recompute(nullptr, conn.p);  // the ranking never reaches the kept record
    EXPECT_FLOAT_EQ(conn.p->GetPrice(), 1.5f);
    // Back in the next data: the connection takes the new record and lets the old one go.
    WriteTarif(std::string("<Providerliste>") + connected + "</Providerliste>");
    EXPECT_TRUE(m.Reload());
    EXPECT_EQ(conn.p, m.FindProvider("p1"));
    EXPECT_EQ(conn.kept, nullptr);
    ui.messages.clear();
  }
}

TEST_F(DatabaseTest, EqualNamesKeepTheLaterOneInFront) {
  const char* doc = R"(<Providerliste>
    <Provider id="b"><name>Gleich</name></Provider>
    <Provider id="a"><name>Anders</name></Provider>
    <Provider id="c"><name>Gleich</name></Provider>
  </Providerliste>)";
  CTarifDatabase db;
  ASSERT_TRUE(db.ParseBuffer(doc, strlen(doc)));
  db.SortActiveByName();
  const CProviderArray& arr = db.GetActiveByName();
  ASSERT_EQ(arr.GetSize(), 3);
  EXPECT_EQ(arr[0]->GetId(), "a");
  EXPECT_EQ(arr[1]->GetId(), "c");
  EXPECT_EQ(arr[2]->GetId(), "b");
}

TEST_F(DatabaseTest, DemoTariffUsesEveryKindOfCondition) {
  std::string xml = SourceFile("corvalen/data/tarife.xml");
  ASSERT_FALSE(xml.empty());
  CTarifDatabase db;
  ASSERT_TRUE(db.ParseBuffer(xml.data(), xml.size()));
  EXPECT_GE(db.GetCount(), 12);
  std::set<std::string> vars, ops, groups;
  std::function<void(const CTarifCondition*)> walk = [&](const CTarifCondition* c) {
    if (auto* g = dynamic_cast<const CTarifConditionGroup*>(c)) {
      groups.insert(std::to_string(g->GetMode()));
      for (int i = 0; i < g->GetChildCount(); ++i) walk(g->GetChild(i));
    } else if (auto* k = dynamic_cast<const CTarifComparison*>(c)) {
      vars.insert(k->variable.str());
      ops.insert(std::to_string(k->op));
    }
  };
  CString key;
  CObject* obj;
  for (POSITION pos = db.GetProviders().GetStartPosition(); pos;) {
    db.GetProviders().GetNextAssoc(pos, key, obj);
    auto* p = static_cast<CProvider*>(obj);
    if (!p->GetRuleList()) continue;
    for (int i = 0; i < p->GetRuleList()->GetSize(); ++i) walk(p->GetRuleList()->GetAt(i)->GetCondition());
  }
  const char* all[] = {"tag.jahr", "tag.monat", "datum.tag", "tag.woche", "stunde.monat", "stunde.woche",
                       "stunde.tag", "minute.monat", "minute.woche", "minute.tag", "feiertag", "anrufe.gesamt",
                       "anrufe.monat", "anrufe.woche", "anrufe.tag", "online.gesamt", "online.monat",
                       "online.woche", "online.tag", "anmeldungsdauer", "anmeldungsdatum", "datum.iso",
                       "datum.jahr", "datum.monat"};
  for (const char* v : all) EXPECT_TRUE(vars.count(v)) << v;
  EXPECT_EQ(ops.size(), 7u);
  EXPECT_EQ(groups.size(), 3u);
  // The build turns the source into tarif.dat with the scrambling tool.
  std::string built;
  ASSERT_TRUE(ReadWholeFile((std::string(ASTREL_BINARY_DIR) + "/corvalen/data/tarif.dat").c_str(), built));
  UnscrambleTarif(reinterpret_cast<unsigned char*>(&built[0]), built.size());
  EXPECT_EQ(built, xml);
}

TEST_F(DatabaseTest, PricesReadWithAPointUnderAGermanNumericLocale) {
  const char* names[] = {"de_DE.UTF-8", "de_DE", "German_Germany.1252", "German"};
  const char* set = nullptr;
  for (const char* n : names)
    if ((set = std::setlocale(LC_NUMERIC, n))) break;
  if (!set) GTEST_SKIP() << "no German locale installed";
  const char* doc = "<Providerliste><Provider id=\"a\"><set a=\"preis\" b=\"1.49\" c=\"pfgeinwahl\" d=\"2,5\"/>"
                    "</Provider></Providerliste>";
  CTarifDatabase db;
  bool ok = db.ParseBuffer(doc, strlen(doc));
  std::setlocale(LC_NUMERIC, "C");
  ASSERT_TRUE(ok);
  EXPECT_FLOAT_EQ(db.Find("a")->GetBaseValues()->price, 1.49f);
  EXPECT_FLOAT_EQ(db.Find("a")->GetBaseValues()->dialInFee, 2.0f);  // a comma ends the number
}

TEST_F(DatabaseTest, AReplacedRecordLeavesEveryList) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  WriteTarif(kSample);
  Init();
  int changes;
  manager.Recompute(&changes, nullptr);
  manager.BuildFilteredLists();
  CProvider* fresh = new CProvider;
  fresh->SetId("p4");
  fresh->SetName("Neu");
  Db().SetProvider("p4", fresh);
  auto holds = [](const CProviderArray& arr, const char* id) {
    for (int i = 0; i < arr.GetSize(); ++i)
      if (arr[i]->GetId() == id) return true;
    return false;
  };
  EXPECT_FALSE(holds(Db().GetActiveByName(), "p4"));
  EXPECT_FALSE(holds(Db().GetRanking(), "p4"));
  EXPECT_FALSE(holds(Db().GetPassing(), "p4"));
  EXPECT_EQ(Db().GetProviderRanking().GetCount(), 2);  // p1 (no registration) and p3
  manager.Recompute(&changes, nullptr);
  EXPECT_TRUE(holds(Db().GetRanking(), "p4"));
  // Loading again starts from an empty database.
  Db().Load(&settings, nullptr);
  EXPECT_EQ(Db().GetCount(), 4);
  EXPECT_EQ(P("p4")->GetName(), "Zweit");
}

TEST_F(DatabaseTest, NumbersThatAreNotFiniteReadAsZeroAndKeepTheRankingSorted) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  const char* bad[] = {"nan", "NAN", "inf", "-inf", "infinity", "1e999"};
  for (const char* v : bad) {
    std::string doc = std::string("<Providerliste>") +
                      "<Provider id=\"drei\"><name>drei</name><set a=\"preis\" b=\"3.00\"/></Provider>"
                      "<Provider id=\"zwei\"><name>zwei</name><set a=\"preis\" b=\"2.00\"/></Provider>"
                      "<Provider id=\"x\"><name>x</name><set a=\"preis\" b=\"" + v +
                      "\" c=\"grundgebuehr\" d=\"" + v + "\" e=\"pfgeinwahl\" f=\"" + v + "\"/></Provider>"
                      "</Providerliste>";
    WriteTarif(doc);
    CTarifManager m;
    m.Init(&settings, nullptr);
    const CTarifAction* base = m.FindProvider("x")->GetBaseValues();
    EXPECT_EQ(base->price, 0.0f) << v;
    EXPECT_EQ(base->baseFee, 0.0f) << v;
    EXPECT_EQ(base->dialInFee, 0.0f) << v;
    int changes;
    m.Recompute(&changes, nullptr);
    const CProviderArray& r = m.GetDatabase().GetRanking();
    ASSERT_EQ(r.GetSize(), 3) << v;
    EXPECT_EQ(r[0]->GetId(), "x") << v;
    EXPECT_EQ(r[1]->GetId(), "zwei") << v;
    EXPECT_EQ(r[2]->GetId(), "drei") << v;
  }
}

TEST_F(DatabaseTest, TheFallbackProviderKeepsItsPriceThroughEveryRanking) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  RemoveFile("tarif.dat");
  Init();
  int changes;
  for (int i = 0; i < 2; ++i) {
    manager.Recompute(&changes, nullptr);
    CProvider* p = manager.FindProvider("id-10034");
    ASSERT_NE(p, nullptr);
    EXPECT_FLOAT_EQ(p->GetPrice(), 2.9f) << i;
    EXPECT_EQ(p->GetTakt(), 1);
  }
}

TEST_F(DatabaseTest, ANameOverTwoLinesShowsOnOne) {
  const char* doc = "<Providerliste><Provider id=\"a\"><name>  erste\r\n   zweite \n</name></Provider>"
                    "<Provider id=\"b\"><name>ein\nzwei\n\ndrei</name></Provider></Providerliste>";
  CTarifDatabase db;
  ASSERT_TRUE(db.ParseBuffer(doc, strlen(doc)));
  EXPECT_EQ(db.Find("a")->GetName(), "Erste zweite");
  EXPECT_EQ(db.Find("b")->GetName(), "Ein zwei drei");
}
