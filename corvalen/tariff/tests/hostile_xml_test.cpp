// The tariff and holiday readers on documents whose structure asks for far more memory than they
// are long: each is refused as a damaged file, and the read stays within the budget of one read
// (DataBudget.h) however the document is built. The peak is measured in a child process where the
// build allows it, and by expat's own account everywhere.
#include <string>

#include "DataBudget.h"
#include "Feiertage.h"
#include "HostileXml.h"
#include "Settings.h"
#include "TarifDatabase.h"
#include "TarifManager.h"
#include "TarifScramble.h"
#include "TarifTexts.h"
#include "TestSupport.h"

namespace {

void ParseTarif(const void* arg) {
  const std::string& doc = *static_cast<const std::string*>(arg);
  CTarifDatabase db;
  db.ParseBuffer(doc.data(), doc.size());
}

void CheckTarif(const void* arg) {
  const std::string& stored = *static_cast<const std::string*>(arg);
  CTarifDatabase::CheckTarifBuffer(stored.data(), stored.size(), "x", false);
}

void ParseHolidays(const void* arg) {
  const std::string& doc = *static_cast<const std::string*>(arg);
  CFeiertagList list;
  list.ParseBuffer(doc.data(), doc.size());
}

}  // namespace

class HostileXmlTest : public TariffTest {
 protected:
  CSettings settings;
};

TEST_F(HostileXmlTest, NestedAndCountlessElementsStayWithinTheReadBudget) {
  WriteFile("Feiertags.dat", "<Feiertage/>");
  for (int i = 0; i < kHostileCaseCount; ++i) {
    const HostileXml tarif = HostileCases(i, "<Providerliste><Provider id=\"x\"><name>X</name>", "</Provider></Providerliste>");
    SCOPED_TRACE(tarif.what);
    // Read at start: the tariff file's message and the fallback provider.
    WriteTarif(tarif.doc);
    ui.messages.clear();
    {
      CTarifManager m;
      m.Init(&settings, nullptr);
      ASSERT_EQ(ui.messages.size(), 1u);
      EXPECT_EQ(ui.messages[0].text, kTarifUnreadable);
      EXPECT_EQ(m.GetDatabase().GetCount(), 1);
      EXPECT_EQ(m.FindProvider("x"), nullptr);
    }
    // Offered as an update: refused before it could replace the file.
    std::string stored = tarif.doc;
    ScrambleTarif(reinterpret_cast<unsigned char*>(&stored[0]), stored.size());
    EXPECT_EQ(CTarifDatabase::CheckTarifBuffer(stored.data(), stored.size(), "", true), 2);

    const HostileXml holidays = HostileCases(i, "<Feiertage><feiertag d=\"20261225\"/>", "</Feiertage>");
    CFeiertagList list;
    EXPECT_FALSE(list.ParseBuffer(holidays.doc.data(), holidays.doc.size()));

    // The peak of each read, with the document already in memory: within one read's budget.
    struct { const char* reader; void (*work)(const void*); const std::string* arg; } reads[] = {
        {"tariff database", ParseTarif, &tarif.doc},
        {"download check", CheckTarif, &stored},
        {"holiday list", ParseHolidays, &holidays.doc},
    };
    for (const auto& r : reads) {
      const long long growth = PeakGrowthInChild(r.work, r.arg);
      if (growth >= 0) {
        EXPECT_LE(growth, static_cast<long long>(kDataBudgetBytes)) << r.reader;
      }
    }
  }
}

// Elements the tariff reader builds something for, by the hundred thousand in one provider: what
// it builds is counted against what a document of the length can mean (DataBudget.h), so each
// is refused within the budget; so is a file of countless providers (CTarifDatabase::kMaxProviders).
TEST_F(HostileXmlTest, CountlessRulesConditionsAndProvidersStayWithinTheReadBudget) {
  const char* parts[] = {
      "<rule/>", "<rule><and/></rule>", "<rule><eq v=\"a\" o=\"1\"/></rule>",
      "<rule><in-range v=\"a\" r=\"1,2,3,4,5,6,7,8,9\"/></rule>",
      "</Provider><Provider id=\"x\"><name>X</name>",
  };
  for (const char* part : parts) {
    SCOPED_TRACE(part);
    std::string doc = "<Providerliste><Provider id=\"x\"><name>X</name>";
    const std::string one = part;
    while (doc.size() < (size_t(15) << 20)) doc += one;
    doc += "</Provider></Providerliste>";
    CTarifDatabase db;
    EXPECT_FALSE(db.ParseBuffer(doc.data(), doc.size()));
    const long long growth = PeakGrowthInChild(ParseTarif, &doc);
    if (growth >= 0) {
      EXPECT_LE(growth, static_cast<long long>(kDataBudgetBytes));
    }
  }
}

// expat's own account: what it held at its peak for each document stays within its share, and
// the deep document is stopped at the nesting limit rather than by its memory.
TEST_F(HostileXmlTest, ExpatsOwnMemoryCountsAgainstItsShare) {
  for (int i = 0; i < kHostileCaseCount; ++i) {
    const HostileXml h = HostileCases(i, "<r>", "</r>");
    SCOPED_TRACE(h.what);
    CDataXmlParser parser;
    ASSERT_TRUE(parser.IsValid());
    EXPECT_FALSE(parser.Parse(h.doc.data(), h.doc.size(), true));
    EXPECT_LE(parser.GetPeakBytes(), kXmlParserBudget);
    EXPECT_EQ(parser.IsTooDeep(), i == 0);
  }
  // A real document nests a tariff rule's condition groups 64 deep and is read whole.
  std::string doc = "<Providerliste><Provider id=\"a\"><rule>";
  for (int i = 0; i < CTarifDatabase::kMaxGroupDepth - 1; ++i) doc += "<and>";
  doc += "<eq v=\"stunde.tag\" o=\"1\"/>";
  for (int i = 0; i < CTarifDatabase::kMaxGroupDepth - 1; ++i) doc += "</and>";
  doc += "</rule></Provider></Providerliste>";
  CTarifDatabase db;
  EXPECT_TRUE(db.ParseBuffer(doc.data(), doc.size()));
}
