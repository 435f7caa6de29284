#include "TarifClock.h"
#include "TarifManager.h"
#include "TestSupport.h"

namespace {
struct Registrations : CRegistrationSource {
  std::vector<std::pair<CString, COleDateTime>> rows;
  BOOL GetAt(int i, CString& id, COleDateTime& date) const override {
    if (i >= static_cast<int>(rows.size())) return FALSE;
    id = rows[static_cast<size_t>(i)].first;
    date = rows[static_cast<size_t>(i)].second;
    return TRUE;
  }
};

// Counts the reads that reach the registry.
struct CountingRegistry : CRegistryBackend {
  CRegistryBackend& inner = GetRegistryBackend();
  int queries = 0;
  long OpenKey(RegKey p, const char* n, RegKey* o) override { return inner.OpenKey(p, n, o); }
  long CreateKey(RegKey p, const char* n, RegKey* o) override { return inner.CreateKey(p, n, o); }
  long CloseKey(RegKey k) override { return inner.CloseKey(k); }
  long SetString(RegKey k, const char* n, const char* d, DWORD l) override { return inner.SetString(k, n, d, l); }
  long QueryString(RegKey k, const char* n, char* b, DWORD* l) override {
    ++queries;
    return inner.QueryString(k, n, b, l);
  }
  long DeleteTree(RegKey p, const char* path) override { return inner.DeleteTree(p, path); }
};

std::string Provider(const std::string& id, const std::string& name, const std::string& price,
                     const std::string& extra = "", const std::string& takt = "1") {
  return "<Provider id=\"" + id + "\"><name>" + name + "</name>" + extra + "<set a=\"preis\" b=\"" + price +
         "\" c=\"takt\" d=\"" + takt + "\"/></Provider>\n";
}

std::string Ids(const CProviderArray& arr) {
  std::string r;
  for (int i = 0; i < arr.GetSize(); ++i) r += arr[i]->GetId().str() + " ";
  return r;
}
}  // namespace

class RankingTest : public TariffTest {
 protected:
  void Load(const std::string& providers) {
    WriteTarif("<Providerliste>\n" + providers + "</Providerliste>");
    WriteFile("Feiertags.dat", "<Feiertage><feiertag datum=\"20260406\"/></Feiertage>");
    manager.Init(&settings, nullptr, &regs);
  }
  CSettings settings;
  Registrations regs;
  CTarifManager manager;
};

TEST_F(RankingTest, CheapestFirstWithTheFixedTieBreaks) {
  Load(Provider("teuer", "Teuer", "3.0") + Provider("billig", "Billig", "1.0") +
       Provider("z", "Zeta", "2.0") + Provider("a", "Alpha", "2.0") +
       Provider("login", "Alpha", "2.0", "<anmeldepflichtig>j</anmeldepflichtig>") +
       Provider("minute", "Alpha", "2.0", "", "60"));
  regs.rows.push_back({"login", COleDateTime(2026, 1, 1, 0, 0, 0)});
  int changes = -1;
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(changes, 0);
  // Equal price and takt: the one without login before the login one, then by name; a longer
  // takt ranks after.
  EXPECT_EQ(Ids(manager.GetRanking()), "billig a z login minute teuer ");

  // Registered before unregistered, whatever the login.
  manager.FindProvider("z")->SetRegistered(TRUE);
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Ids(manager.GetRanking()), "billig z a login minute teuer ");
}

TEST_F(RankingTest, LoginProvidersWithoutRegistrationAreRankedButNotUsable) {
  Load(Provider("frei", "Frei", "2.0") + Provider("login", "Login", "1.0", "<anmeldepflichtig>ja</anmeldepflichtig>"));
  int changes;
  CProviderRanking& r = manager.Recompute(&changes, nullptr);
  EXPECT_EQ(r.GetCount(), 2);
  EXPECT_EQ(Ids(r.GetUsable()), "frei ");
  regs.rows.push_back({"login", COleDateTime(2026, 2, 1, 0, 0, 0)});
  regs.rows.push_back({"nicht-da", COleDateTime(2026, 2, 1, 0, 0, 0)});
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Ids(manager.GetRanking()), "login frei ");
  EXPECT_EQ(manager.GetDatabase().GetProviderRanking().FindUsable("frei"), 1);
  EXPECT_EQ(manager.GetDatabase().GetProviderRanking().FindUsable("nicht-da"), -1);
}

TEST_F(RankingTest, RulesFollowTheClockAndTheHolidayList) {
  Load("<Provider id=\"abend\"><name>Abend</name><set a=\"preis\" b=\"3\"/>"
       "<rule><or><ge v=\"stunde.tag\" o=\"18\"/><eq v=\"feiertag\" o=\"J\"/></or><set a=\"preis\" b=\"1\"/></rule>"
       "</Provider>" + Provider("fest", "Fest", "2.0"));
  int changes;
  struct { int y, m, d, h; const char* order; } cases[] = {
      {2026, 3, 4, 12, "fest abend "}, {2026, 3, 4, 18, "abend fest "},
      {2026, 3, 1, 12, "abend fest "},  // Sunday
      {2026, 4, 6, 9, "abend fest "},   // listed holiday
      {2026, 4, 7, 9, "fest abend "},
  };
  for (auto& c : cases) {
    At(c.y, c.m, c.d, c.h, 0, 0);
    manager.Recompute(&changes, nullptr);
    EXPECT_EQ(Ids(manager.GetRanking()), c.order) << c.d << "." << c.m << " " << c.h;
  }
}

TEST_F(RankingTest, FilterHidesByIdsAndSwitches) {
  Load(Provider("a", "A", "1.0", "<anmeldepflichtig>j</anmeldepflichtig>") +
       Provider("b", "B", "1.1") +
       "<Provider id=\"c\"><name>C</name><set a=\"preis\" b=\"1.2\" c=\"pfgeinwahl\" d=\"5\"/></Provider>" +
       "<Provider id=\"d\"><name>D</name><set a=\"preis\" b=\"1.3\" c=\"grundgebuehr\" d=\"2\"/></Provider>" +
       Provider("e", "E", "1.4", "", "60") + Provider("f", "F", "1.5", "", "10"));
  int changes;
  struct { const char* filter; const char* hide; const char* show; const char* order; } cases[] = {
      {"000000", "", "", "b c d e f "},  // a needs a registration to be usable
      {"100000", "", "", ""},            // login providers only (a is not usable)
      {"010000", "", "", "b c d e f "},
      {"110000", "", "", "b c d e f "},  // both: nobody hidden for login reasons
      {"001000", "", "", "b d e f "},
      {"000100", "", "", "b c e f "},
      {"000010", "", "", "b c d "},
      {"000001", "", "", "e "},
      {"000011", "", "", "b c d e "},
      {"000000", "b<c", "", "d e f "},
      {"000011", "b<c", "c<f", "c d e f "},  // always shown beats hidden and every switch
  };
  for (auto& c : cases) {
    settings.SetValue("Filter", c.filter);
    settings.SetFilterProvider(c.hide);
    settings.SetNotInFilterProvider(c.show);
    manager.Recompute(&changes, nullptr);
    EXPECT_EQ(Ids(manager.GetRanking()), c.order) << c.filter << " " << c.hide << " " << c.show;
  }
  settings.SetValue("Filter", "000001");
  settings.SetFilterProvider("");
  settings.SetNotInFilterProvider("");
  manager.BuildFilteredLists();
  EXPECT_EQ(Ids(manager.GetDatabase().GetPassing()), "e ");
  EXPECT_EQ(Ids(manager.GetDatabase().GetFilteredOut()), "a b c d f ");
}

// The id lists hold whole ids: one id inside another is a different provider.
TEST(ProviderFilterLists, WholeIdsAreFoundCutAndAppended) {
  struct { const char* list; const char* id; bool has; const char* cut; } cases[] = {
      {"tel", "tel", true, ""},
      {"hotel<tel", "tel", true, "hotel"},
      {"tel<hotel", "tel", true, "hotel"},
      {"a<tel<b", "tel", true, "a<b"},
      {"hotel", "tel", false, "hotel"},
      {"telekom<hotel", "tel", false, "telekom<hotel"},
      {"hotel<tel<tel", "tel", true, "hotel<tel"},  // the first of two only
      {"", "tel", false, ""},
      {"a<b", "", false, "a<b"},
  };
  for (auto& c : cases) {
    EXPECT_EQ(static_cast<bool>(CProviderFilter::ListHas(c.list, c.id)), c.has) << c.list << " " << c.id;
    CString list = c.list;
    EXPECT_EQ(static_cast<bool>(CProviderFilter::CutFromList(list, c.id)), c.has) << c.list;
    EXPECT_EQ(std::string(list), c.cut) << c.list << " " << c.id;
  }
  CString list;
  CProviderFilter::AppendToList(list, "a");
  CProviderFilter::AppendToList(list, "b");
  EXPECT_EQ(std::string(list), "a<b");
}

TEST_F(RankingTest, AHiddenIdDoesNotHideAnIdThatContainsIt) {
  Load(Provider("tel", "Tel", "1.0") + Provider("hotel", "Hotel", "1.1") + Provider("telekom", "Telekom", "1.2"));
  int changes;
  settings.SetFilterProvider("tel");
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Ids(manager.GetRanking()), "hotel telekom ");
  settings.SetFilterProvider("hotel<telekom");
  settings.SetNotInFilterProvider("otel");
  manager.Recompute(&changes, nullptr);
  EXPECT_EQ(Ids(manager.GetRanking()), "tel ");
}

TEST_F(RankingTest, SettingsAreReadOncePerRanking) {
  std::string many;
  for (int i = 0; i < 40; ++i) many += Provider("p" + std::to_string(i), "P" + std::to_string(i), "1.0");
  WriteTarif("<Providerliste>" + many + "</Providerliste>");
  WriteFile("Feiertags.dat", "<x/>");
  CountingRegistry counting;
  CSettings s(&counting);
  CTarifManager m;
  m.Init(&s, nullptr);
  counting.queries = 0;
  int changes;
  m.Recompute(&changes, nullptr);
  EXPECT_EQ(m.GetRanking().GetSize(), 40);
  EXPECT_LE(counting.queries, 4);  // the three filter values (and PATH for a save)
}

TEST_F(RankingTest, ChangeReportForTheCurrentProvider) {
  Load("<Provider id=\"cur\"><name>Cur</name><freiminuten>j</freiminuten><set a=\"preis\" b=\"1\" c=\"freimin\" d=\"30\"/>"
       "<rule><ge v=\"stunde.tag\" o=\"18\"/><set a=\"preis\" b=\"5\" c=\"freimin\" d=\"0\"/></rule></Provider>" +
       Provider("other", "Other", "2.0"));
  int changes;
  At(2026, 3, 4, 17, 59, 0);
  CProvider* cur = manager.FindProvider("cur");
  manager.Recompute(&changes, cur);
  EXPECT_EQ(changes, 0);
  At(2026, 3, 4, 18, 0, 0);
  manager.Recompute(&changes, cur);
  EXPECT_EQ(changes, 3);  // lost its place and its free minutes
  manager.Recompute(&changes, cur);
  EXPECT_EQ(changes, 0);
}

// The ranking built in one sort is the one that inserting each provider in turn builds, equal
// keys included (the later provider in front of the equal ones).
TEST(RankingOrder, OneSortRanksAsInsertionsInTurn) {
  std::vector<std::unique_ptr<CProvider>> owned;
  std::vector<CProvider*> inOrder;
  for (int i = 0; i < 200; ++i) {
    auto p = std::make_unique<CProvider>();
    p->SetId(CString::Formatted("p%d", i));
    p->SetName(i % 7 == 0 ? CString("Gleich") : CString::Formatted("N%d", i % 13));
    p->SetPrice(static_cast<float>(i % 5) * 0.5f);
    p->SetTakt(i % 3 == 0 ? 1 : 60);
    p->SetLoginRequired(i % 4 == 0);
    inOrder.push_back(p.get());
    owned.push_back(std::move(p));
  }
  CProviderRanking oneByOne, sorted;
  for (CProvider* p : inOrder) oneByOne.Insert(p);
  sorted.InsertAll(inOrder);
  ASSERT_EQ(sorted.GetCount(), oneByOne.GetCount());
  ASSERT_EQ(sorted.GetUsableCount(), oneByOne.GetUsableCount());
  for (int i = 0; i < sorted.GetCount(); ++i) EXPECT_EQ(sorted.GetAt(i), oneByOne.GetAt(i)) << i;
  for (int i = 0; i < sorted.GetUsableCount(); ++i) EXPECT_EQ(sorted.GetUsableAt(i), oneByOne.GetUsableAt(i)) << i;
}
