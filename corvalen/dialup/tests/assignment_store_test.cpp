// The entry-assignment store over a real "Corva.dat" in a data folder of each test's own.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "AssignmentStore.h"
#include "CFile.h"
#include "Provider.h"
#include "TarifManager.h"
#include "TarifProtocol.h"
#include "TarifUi.h"
#include "save_faults.h"

namespace fs = std::filesystem;

class AssignmentStoreTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::string(ASTREL_BINARY_DIR) + "/assignment-test-data/" + info->name();
    std::error_code ec;
    fs::remove_all(CFile::NativePath(dir_.c_str()), ec);
    fs::create_directories(CFile::NativePath(dir_.c_str()));
    for (const char* id : {"p1", "p2", "p3"}) {
      CProvider* p = new CProvider;
      p->SetId(id);
      p->SetName(std::string("Anbieter ") + id);
      manager.GetDatabase().SetProvider(id, p);
    }
    store.SetFolder(dir_.c_str());
    store.SetTariffManager(&manager);
  }
  std::string Path(const char* name) const { return CFile::NativePath((dir_ + "\\" + name).c_str()); }
  void Write(const std::string& bytes) const {
    std::ofstream(Path("Corva.dat"), std::ios::binary) << bytes;
  }
  std::string Read() const {
    std::ifstream f(Path("Corva.dat"), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  CProvider* P(const char* id) const { return manager.FindProvider(id); }

  std::string dir_;
  CTarifManager manager;
  CAssignmentStore store;
};

TEST_F(AssignmentStoreTest, AddAppendsOneRecordAndLoadMarksRegistered) {
  CEntryAssignment r{"p1", "Mein Zugang", COleDateTime(2000, 4, 3, 17, 45, 12)};
  ASSERT_TRUE(store.AddAssignment(r));
  EXPECT_EQ(Read(), "p1=Mein Zugang|3/4/2000 0:0:0;");
  ASSERT_TRUE(store.AddAssignment({"p2", "Zweiter", COleDateTime(2026, 12, 31, 0, 0, 0)}));
  EXPECT_EQ(Read(), "p1=Mein Zugang|3/4/2000 0:0:0;p2=Zweiter|31/12/2026 0:0:0;");

  CAssignmentStore again;
  again.SetFolder(dir_.c_str());
  again.SetTariffManager(&manager);
  EXPECT_FALSE(P("p1")->IsRegistered());
  again.Load();
  ASSERT_EQ(again.GetCount(), 2);
  EXPECT_TRUE(P("p1")->IsRegistered());
  EXPECT_TRUE(P("p2")->IsRegistered());
  EXPECT_FALSE(P("p3")->IsRegistered());
  COleDateTime d;
  EXPECT_EQ(std::string(again.Lookup("p1", d)), "Mein Zugang");
  EXPECT_EQ(d, COleDateTime(2000, 4, 3, 0, 0, 0));
  EXPECT_EQ(std::string(again.Lookup("p3", d)), "null");

  CString id;
  ASSERT_TRUE(again.GetAt(1, id, d));
  EXPECT_EQ(std::string(id), "p2");
  EXPECT_EQ(d, COleDateTime(2026, 12, 31, 0, 0, 0));
  EXPECT_FALSE(again.GetAt(2, id, d));
}

TEST_F(AssignmentStoreTest, LoadEdgeCases) {
  struct Case {
    const char* file;
    int count;
    const char* lookupP1;
  } cases[] = {
      {"", 0, "null"},
      {"p1=Erster|1/2/2001 0:0:0;p1=Zweiter|2/2/2001 0:0:0;", 2, "Erster"},  // the first record wins
      {"gone=Alt|1/1/1999 0:0:0;p1=Da|1/1/1999 0:0:0;", 1, "Da"},           // unknown provider dropped
      {"p2=X|1/1/2000 0:0:0;p1=abgeschn", 1, "null"},                         // cut off inside a value
      {"p1=ohne Trenner;", 1, ""},                                            // no "|": empty name
      {"p1", 0, "null"},
  };
  for (const Case& c : cases) {
    Write(c.file);
    store.Load();
    EXPECT_EQ(store.GetCount(), c.count) << c.file;
    EXPECT_EQ(std::string(store.Lookup("p1")), c.lookupP1) << c.file;
  }
  EXPECT_FALSE(P("gone"));

  // A missing file is an empty store.
  fs::remove(Path("Corva.dat"));
  store.Load();
  EXPECT_EQ(store.GetCount(), 0);
}

TEST_F(AssignmentStoreTest, RecordWithoutBarKeepsValueAsDate) {
  Write("p1=3/4/2000 0:0:0;");
  store.Load();
  COleDateTime d;
  EXPECT_EQ(std::string(store.Lookup("p1", d)), "");
  EXPECT_EQ(d, COleDateTime(2000, 4, 3, 0, 0, 0));
}

TEST_F(AssignmentStoreTest, RemoveRewritesWithoutEveryRecordOfTheId) {
  Write("p1=A|1/1/2000 0:0:0;gone=Alt|1/1/1999 0:0:0;p2=B|2/1/2000 0:0:0;p1=C|3/1/2000 0:0:0;");
  manager.GetProtocolStore().SetAt("p1", new CTarifProtocol);
  manager.GetProtocolStore().SetAt("p2", new CTarifProtocol);
  store.Load();
  ASSERT_EQ(store.GetCount(), 3);
  ASSERT_TRUE(store.RemoveAssignment("p1"));
  // Records of providers unknown now stay in the file.
  EXPECT_EQ(Read(), "gone=Alt|1/1/1999 0:0:0;p2=B|2/1/2000 0:0:0;");
  EXPECT_EQ(store.GetCount(), 1);
  EXPECT_EQ(std::string(store.Lookup("p1")), "null");
  EXPECT_EQ(std::string(store.Lookup("p2")), "B");
  EXPECT_FALSE(fs::exists(Path("Corva.sic")));
  CTarifProtocol* proto = nullptr;
  EXPECT_FALSE(manager.GetProtocolStore().Lookup("p1", proto));
  EXPECT_TRUE(manager.GetProtocolStore().Lookup("p2", proto));

  // Removing from a missing file leaves no file behind.
  fs::remove(Path("Corva.dat"));
  EXPECT_TRUE(store.RemoveAssignment("p2"));
  EXPECT_FALSE(fs::exists(Path("Corva.dat")));
  EXPECT_EQ(store.GetCount(), 0);
}

TEST_F(AssignmentStoreTest, ANewActivationDayIsWrittenToTheFile) {
  Write("p1=A|1/1/2000 0:0:0;gone=Alt|1/1/1999 0:0:0;p2=B|2/1/2000 0:0:0;p1=C|3/1/2000 0:0:0;");
  store.Load();
  ASSERT_TRUE(store.SetAssignmentDate("p1", COleDateTime(2026, 11, 13, 17, 30, 0)));
  // Every record of the provider gets the day; the others stay byte for byte.
  EXPECT_EQ(Read(), "p1=A|13/11/2026 0:0:0;gone=Alt|1/1/1999 0:0:0;p2=B|2/1/2000 0:0:0;p1=C|13/11/2026 0:0:0;");
  COleDateTime d;
  EXPECT_EQ(std::string(store.Lookup("p1", d)), "A");
  EXPECT_EQ(d, COleDateTime(2026, 11, 13, 0, 0, 0));
  store.Load();
  EXPECT_EQ(std::string(store.Lookup("p1", d)), "A");
  EXPECT_EQ(d, COleDateTime(2026, 11, 13, 0, 0, 0));
  // A provider without a record, or an invalid day, changes nothing.
  EXPECT_FALSE(store.SetAssignmentDate("p3", COleDateTime(2026, 11, 13, 0, 0, 0)));
  COleDateTime bad;
  bad.SetStatus(COleDateTime::invalid);
  EXPECT_FALSE(store.SetAssignmentDate("p2", bad));
  EXPECT_EQ(Read(), "p1=A|13/11/2026 0:0:0;gone=Alt|1/1/1999 0:0:0;p2=B|2/1/2000 0:0:0;p1=C|13/11/2026 0:0:0;");
}

// The controller's store and the advanced settings' own store work on one "Corva.dat": a new
// activation day leaves this store holding what the file holds, with the other store's changes.
TEST_F(AssignmentStoreTest, ANewActivationDayReadsBackWhatAnotherStoreWrote) {
  Write("p1=A|1/1/2000 0:0:0;");
  store.Load();
  CAssignmentStore other;
  other.SetFolder(dir_.c_str());
  other.SetTariffManager(&manager);
  other.Load();
  ASSERT_TRUE(other.AddAssignment({"p2", "B", COleDateTime(2001, 2, 3, 0, 0, 0)}));
  P("p2")->SetRegistered(0);
  ASSERT_TRUE(store.SetAssignmentDate("p1", COleDateTime(2026, 11, 13, 0, 0, 0)));
  EXPECT_EQ(Read(), "p1=A|13/11/2026 0:0:0;p2=B|3/2/2001 0:0:0;");
  EXPECT_EQ(store.GetCount(), 2);
  COleDateTime d;
  EXPECT_EQ(std::string(store.Lookup("p2", d)), "B");
  EXPECT_EQ(d, COleDateTime(2001, 2, 3, 0, 0, 0));
  EXPECT_TRUE(P("p2")->IsRegistered());

  // The other store removed the provider meanwhile: nothing is dated, and it is gone here too.
  ASSERT_TRUE(other.RemoveAssignment("p1"));
  EXPECT_FALSE(store.SetAssignmentDate("p1", COleDateTime(2026, 12, 24, 0, 0, 0)));
  EXPECT_EQ(Read(), "p2=B|3/2/2001 0:0:0;");
  EXPECT_EQ(std::string(store.Lookup("p1")), "null");
  EXPECT_EQ(store.GetCount(), 1);
}

TEST_F(AssignmentStoreTest, SeparatorsInIdOrNameAreRefused) {
  Write("p2=B|2/1/2000 0:0:0;");
  for (const char* name : {"a;b", "a=b", "a|b"})
    EXPECT_FALSE(store.AddAssignment({"p1", name, COleDateTime(2000, 1, 1, 0, 0, 0)})) << name;
  EXPECT_FALSE(store.AddAssignment({"", "Name", COleDateTime(2000, 1, 1, 0, 0, 0)}));
  EXPECT_FALSE(store.AddAssignment({"p;1", "Name", COleDateTime(2000, 1, 1, 0, 0, 0)}));
  EXPECT_EQ(Read(), "p2=B|2/1/2000 0:0:0;");
  EXPECT_EQ(store.GetCount(), 0);
}

TEST_F(AssignmentStoreTest, AddAfterACutOffRecordDropsTheFragment) {
  // An interrupted write left half a record; appending to it would merge both into garbage.
  Write("p2=B|2/1/2000 0:0:0;p1=Hal");
  ASSERT_TRUE(store.AddAssignment({"p3", "Neu", COleDateTime(2001, 5, 6, 0, 0, 0)}));
  EXPECT_EQ(Read(), "p2=B|2/1/2000 0:0:0;p3=Neu|6/5/2001 0:0:0;");
  store.Load();
  EXPECT_EQ(std::string(store.Lookup("p3")), "Neu");
  EXPECT_EQ(std::string(store.Lookup("p2")), "B");
}

TEST(AssignmentDate, FormatAndParse) {
  EXPECT_EQ(std::string(CAssignmentStore::FormatDate(COleDateTime(2000, 4, 3, 12, 0, 0))), "3/4/2000 0:0:0");
  EXPECT_EQ(CAssignmentStore::ParseDate("13/11/2026 0:0:0"), COleDateTime(2026, 11, 13, 0, 0, 0));
  EXPECT_EQ(CAssignmentStore::ParseDate("1/2/2003"), COleDateTime(2003, 2, 1, 0, 0, 0));
  EXPECT_EQ(CAssignmentStore::ParseDate("1/2/2003 4:5:6"), COleDateTime(2003, 2, 1, 4, 5, 6));
  for (const char* bad : {"", "x", "32/1/2000 0:0:0", "1/13/2000", "1/1/2000 0:0", "1/1/2000 0:0:0x", "1-1-2000"})
    EXPECT_NE(CAssignmentStore::ParseDate(bad).GetStatus(), COleDateTime::valid) << bad;
}

// A "Corva.dat" that cannot be written keeps its records, the store keeps what the file holds,
// and the user is told which file it is.
TEST_F(AssignmentStoreTest, AFailedWriteKeepsTheFileAndTheRecordsAndSaysSo) {
  struct Recording : CTarifUi {
    std::vector<std::string> texts;
    void ShowError(const char* text, const char*) override { texts.push_back(text); }
    bool OpenDocument(const char*) override { return true; }
  } ui;
  SetTarifUi(&ui);
  Write("p1=Erster|3/4/2000 0:0:0;p2=Zweiter|3/4/2000 0:0:0;");
  manager.GetProtocolStore().SetAt("p1", new CTarifProtocol);
  store.Load();
  const std::string before = Read();
  const std::string told = testsupport::SaveFailedText(dir_ + "\\Corva.dat");
  for (const testsupport::SaveFault& fault : testsupport::SaveFaults()) {
    SCOPED_TRACE(fault.name);
    ui.texts.clear();
    fault.apply(Path("Corva.dat"));
    const BOOL removed = store.RemoveAssignment("p1");
    fault.release(Path("Corva.dat"));
    EXPECT_FALSE(removed);
    EXPECT_EQ(Read(), before);
    EXPECT_EQ(store.Lookup("p1"), "Erster");
    CTarifProtocol* proto = nullptr;
    EXPECT_TRUE(manager.GetProtocolStore().Lookup("p1", proto));  // its free minutes stay with it
    EXPECT_FALSE(fs::exists(Path("Corva.sic")));
    EXPECT_EQ(ui.texts, std::vector<std::string>{told});

    ui.texts.clear();
    fault.apply(Path("Corva.dat"));
    const BOOL added = store.AddAssignment({"p3", "Dritter", COleDateTime(2026, 12, 31, 0, 0, 0)});
    fault.release(Path("Corva.dat"));
    if (fault.blocksAppend) {
      EXPECT_FALSE(added);
      EXPECT_EQ(Read(), before);
      EXPECT_EQ(store.Lookup("p3"), "null");
      EXPECT_EQ(ui.texts, std::vector<std::string>{told});
    } else {
      EXPECT_TRUE(added);
      EXPECT_EQ(Read(), before + "p3=Dritter|31/12/2026 0:0:0;");
      Write(before);
      store.Load();
    }
  }
  SetTarifUi(nullptr);
}
