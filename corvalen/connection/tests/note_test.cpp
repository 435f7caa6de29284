// The note of the running connection: what the meter's connection writes, read back alike, notes
// that are damaged or cut off refused, and the cost record a left note makes, marked as recovered
// and read by the cost log's reader like every other record.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "CFile.h"
#include "ConnectionMeter.h"
#include "ConnectionNote.h"
#include "CostLog.h"
#include "RegistryBackend.h"
#include "Settings.h"
#include "TarifClock.h"

namespace {

CConnectionNote SampleNote() {
  CConnectionNote n;
  n.entry = "Corvalen2000";
  n.providerId = "fk-100";
  n.providerName = "Funkel;netz 100% \xE4";
  n.phoneNumber = "0192100";
  n.takt = 60;
  n.dialInFee = 5.0f;
  n.segmentStart = COleDateTime(2026, 12, 10, 10, 0, 5);
  n.price = 1.49f;
  n.feeBilled = 0;
  n.seconds = 61;
  n.cost = 7.98f;
  n.written = COleDateTime(2026, 12, 10, 10, 1, 6);
  return n;
}

TEST(ConnectionNote, TheMetersConnectionIsWrittenAndReadBackAlike) {
  CProvider funkel;
  funkel.SetId("fk-100");
  funkel.SetName("Funkelnetz");
  funkel.SetPhoneNumber("0192100");
  funkel.SetTakt(60);
  funkel.SetPrice(1.49f);
  funkel.SetDialInFee(5.0f);
  SetTarifClock([] { return COleDateTime(2026, 12, 10, 10, 0, 5); });
  SetSteadyClock([] { return 1000.0; });
  CConnectionMeter meter;
  meter.Start(&funkel);
  meter.OnBillingInterval();
  CConnectionNote note = MakeConnectionNote(meter, "Corvalen2000", COleDateTime(2026, 12, 10, 10, 1, 35), 1090.5);
  SetTarifClock(nullptr);
  CConnectionNote back;
  ASSERT_TRUE(ParseConnectionNote(FormatConnectionNote(note).str(), back)) << FormatConnectionNote(note);
  EXPECT_EQ("Corvalen2000", back.entry);
  EXPECT_EQ("fk-100", back.providerId);
  EXPECT_EQ("Funkelnetz", back.providerName);
  EXPECT_EQ("0192100", back.phoneNumber);
  EXPECT_EQ(60, back.takt);
  EXPECT_FLOAT_EQ(5.0f, back.dialInFee);
  EXPECT_EQ(COleDateTime(2026, 12, 10, 10, 0, 5), back.segmentStart);
  EXPECT_FLOAT_EQ(1.49f, back.price);
  EXPECT_EQ(0, back.feeBilled);
  EXPECT_DOUBLE_EQ(90.5, back.seconds);
  EXPECT_FLOAT_EQ(meter.GetCost(), back.cost);
  EXPECT_EQ(COleDateTime(2026, 12, 10, 10, 1, 35), back.written);
}

TEST(ConnectionNote, TextsWithAnyCharacterComeBackAsTheyWere) {
  CConnectionNote note = SampleNote();
  note.providerName = "Zeile\r\nzwei %0A 100%";
  note.entry = "Mein=Eintrag";
  CConnectionNote back;
  ASSERT_TRUE(ParseConnectionNote(FormatConnectionNote(note).str(), back));
  EXPECT_EQ(note.providerName, back.providerName);
  EXPECT_EQ(note.entry, back.entry);
}

TEST(ConnectionNote, DamagedOrCutNotesAreRefused) {
  const std::string good = FormatConnectionNote(SampleNote()).str();
  auto replaced = [&good](const std::string& from, const std::string& to) {
    std::string s = good;
    size_t at = s.find(from);
    EXPECT_NE(std::string::npos, at) << from;
    if (at != std::string::npos) s.replace(at, from.size(), to);
    return s;
  };
  struct Case {
    const char* what;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"empty", ""},
      {"cut before the end line", good.substr(0, good.find("ende"))},
      {"cut inside the end line", good.substr(0, good.size() - 3)},
      {"cut inside a value", good.substr(0, good.find("sekunden=") + 10)},
      {"another header", replaced("Corvalen-Verbindung 1", "Corvalen-Verbindung 2")},
      {"a value missing", replaced("takt=60\r\n", "")},
      {"a value twice", replaced("takt=60\r\n", "takt=60\r\ntakt=1\r\n")},
      {"a line without '='", replaced("takt=60", "takt 60")},
      {"no provider id", replaced("provider=fk-100", "provider=")},
      {"a negative takt", replaced("takt=60", "takt=-1")},
      {"a takt beyond a day", replaced("takt=60", "takt=99999999999999999999")},
      {"a takt with decimals", replaced("takt=60", "takt=60.5")},
      {"a price with a comma", replaced("preis=1.4900", "preis=1,49")},
      {"a price out of range", replaced("preis=1.4900", "preis=100000.5")},
      {"seconds of a century and more", replaced("sekunden=61.0000", "sekunden=3153600001")},
      {"the fee flag neither 0 nor 1", replaced("einwahlgebucht=0", "einwahlgebucht=2")},
      {"an impossible date", replaced("beginn=2026-12-10 10:00:05", "beginn=2026-02-30 10:00:05")},
      {"a date in another form", replaced("beginn=2026-12-10 10:00:05", "beginn=12/10/2026 10:0:5")},
      {"a broken escape", replaced("Funkel;netz 100%25", "Funkel;netz 100%2")},
      {"text after the end line", good + "x"},
      {"a note beyond its limit", replaced("name=", "name=" + std::string(kMaxConnectionNote, 'a'))},
  };
  CConnectionNote out;
  ASSERT_TRUE(ParseConnectionNote(good, out)) << good;
  for (const Case& c : cases) EXPECT_FALSE(ParseConnectionNote(c.text, out)) << c.what;
}

// The record of a left note: the segment's start and seconds at its price and tariff, the
// recovered mark in field 9, and the cost log's reader takes it with its cost.
TEST(ConnectionNote, ALeftNoteMakesARecordMarkedRecovered) {
  const CConnectionNote note = SampleNote();
  const CString text = RecoveredRecordText(note, note.seconds);
  // 61 s at takt 60 are 2 units: (60/60 * 1.49 * 2 + 5) Pf = 0.0798 DM.
  EXPECT_EQ("default;12/10/2026 10:0:5;00:01:01;Funkel\x10Snetz 100% \xE4;60;1.49;5.00;0.080;wiederhergestellt;;0192100;",
            text);
  std::vector<CCostRecord> records;
  ASSERT_TRUE(CCostLog::ParseRecords(text.str(), records));
  ASSERT_EQ(1u, records.size());
  EXPECT_TRUE(records[0].Valid());
  EXPECT_EQ("Funkel;netz 100% \xE4", records[0].Name());
  EXPECT_EQ(kRecoveredMark, records[0].fields[8]);
  EXPECT_DOUBLE_EQ(8, CCostLog::TotalOf(text.str(), COleDateTime(2026, 12, 10, 0, 0, 0),
                                        COleDateTime(2026, 12, 11, 0, 0, 0)));
  // A later segment carries no dial-in fee; a line still up later bills the longer time.
  CConnectionNote later = note;
  later.feeBilled = 1;
  EXPECT_NE(-1, RecoveredRecordText(later, 600).Find(";00:10:00;"));
  EXPECT_NE(-1, RecoveredRecordText(later, 600).Find(";1.49;0.00;0.149;wiederhergestellt;"));
  // An id in the UTF-8 form of an umlaut, which the provider record keeps narrowed: the record
  // still names the note's provider.
  CConnectionNote umlaut = note;
  umlaut.providerId = "m\xC3\xBChle";
  EXPECT_EQ(text, RecoveredRecordText(umlaut, note.seconds));
}

TEST(ConnectionNote, TheFileIsWrittenWholeReadAndRemoved) {
  const std::string dir = std::string(ASTREL_BINARY_DIR) + "/connection-test-data/ConnectionNote.File";
  std::error_code ec;
  std::filesystem::remove_all(CFile::NativePath(dir.c_str()), ec);
  std::filesystem::create_directories(CFile::NativePath(dir.c_str()));
  CRegistryBackend& reg = GetRegistryBackend();
  reg.DeleteTree(kRegLocalMachine, "Software\\ASTREL");
  RegKey k = 0;
  ASSERT_EQ(reg.CreateKey(kRegLocalMachine, "Software\\ASTREL\\Corvalen2.0", &k), kRegOk);
  reg.SetString(k, "PATH", dir.data(), static_cast<DWORD>(dir.size()));
  reg.CloseKey(k);
  CSettings settings;
  CConnectionNoteFile file(&settings);
  CConnectionNote out;
  EXPECT_EQ(CConnectionNoteFile::kNoNote, file.Read(out));
  ASSERT_TRUE(file.Write(SampleNote()));
  ASSERT_EQ(CConnectionNoteFile::kNoteRead, file.Read(out));
  EXPECT_EQ("fk-100", out.providerId);
  ASSERT_TRUE(WriteWholeFile(file.GetPath(), "Corvalen-Verbindung 1\r\neintrag=Corv"));
  EXPECT_EQ(CConnectionNoteFile::kNoteDamaged, file.Read(out));
  EXPECT_TRUE(file.Remove());
  EXPECT_EQ(CConnectionNoteFile::kNoNote, file.Read(out));
}

}  // namespace
