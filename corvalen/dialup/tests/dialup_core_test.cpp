// The pure parts of the RAS access layer: its error-text tables, the dialled number, bounded copies
// into record fields and the size of enumeration tables.
#include "DialNumber.h"
#include "ErrTable.h"
#include "RasErrorText.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ErrTable, TextsByIndexAndOutOfBounds) {
  EXPECT_STREQ(CErrTable::GetErrorString(0), "Operation completed successfully.");
  EXPECT_STREQ(CErrTable::GetErrorString(24), "A client socket closure  caused a failure.");
  EXPECT_STREQ(CErrTable::GetErrorString(35), "An error resulted due to the buffer being too short.");
  EXPECT_STREQ(CErrTable::GetErrorString(36), "An error resulted due to a NULL buffer");
  EXPECT_STREQ(CErrTable::GetErrorString(92), "Unable to load the required RAS DLLs");
  EXPECT_STREQ(CErrTable::GetErrorString(93), "An error occurred during the dialing process");
  EXPECT_STREQ(CErrTable::GetErrorString(96), "An error occurred when performing a RAS enumeration");
  EXPECT_STREQ(CErrTable::GetErrorString(119), "Mailbox with this name is alredy existing.");
  EXPECT_STREQ(CErrTable::GetErrorString(61), CErrTable::GetErrorString(73));
  for (int index : {-1, 120, 691})
    EXPECT_STREQ(CErrTable::GetErrorString(index), "CErrTable::GetErrorString: Array out of bounds!") << index;
}

TEST(RasErrorText, FixedTextsSymbolicNamesAndTheGeneralText) {
  struct Case { unsigned code; const char* text; } cases[] = {
      {600, "Unerwarteter Fehler. "},
      {676, "The line is busy. "},
      {678, "There is no answer. "},
      {680, "There is no dial tone. "},
      {682, "ERROR_WRITING_SECTIONNAME "},
      {687, "Bitte versuchen Sie es erneut !"},
      {690, "ERROR_EMPTY_INI_FILE "},
      {691, "Access denied because username and/or password is invalid on the domain. "},
      {704, "ERROR_BAD_CALLBACK_NUMBER"},
      {711, "RasMan initialization failure.  Check the event log. "},
      {750, "ERROR_WRONG_MODULE "},
      {87, "Unerwarteter Fehler. Bitte versuchen sie es erneut"},
      {599, "Unerwarteter Fehler. Bitte versuchen sie es erneut"},
      {754, "Unerwarteter Fehler. Bitte versuchen sie es erneut"},
  };
  for (const Case& c : cases) EXPECT_STREQ(RasErrorText(c.code), c.text) << c.code;
  for (unsigned code = kRasErrorFirst; code <= kRasErrorLast; ++code) EXPECT_GT(strlen(RasErrorText(code)), 5u) << code;
}

TEST(RasErrorReason, EveryReasonOfAFailedDialInGerman) {
  struct Case { unsigned code; const char* text; } cases[] = {
      {676, "Leitung besetzt"},
      {691, "Benutzername oder Kennwort falsch"},
      {680, "Kein Freizeichen"},
      {678, "Keine Antwort der Gegenstelle"},
      {633, "Das DFÜ-Gerät ist belegt oder nicht für ausgehende Verbindungen eingerichtet"},
      {797, "Das Modem wurde nicht gefunden oder ist belegt"},
      {629, "Die Gegenstelle hat die Verbindung getrennt"},
      {723, "Die Rufnummer ist zu lang"},
      {0, "Die Einwahl ist fehlgeschlagen"},
      {87, "Die Einwahl ist fehlgeschlagen"},
      {754, "Die Einwahl ist fehlgeschlagen"},
  };
  for (const Case& c : cases) EXPECT_STREQ(RasErrorReason(c.code), c.text) << c.code;
  // No reason of the table is one of the system's English descriptions.
  for (unsigned code = 600; code < 800; ++code) {
    const std::string reason = RasErrorReason(code);
    for (const char* english : {"The ", "Cannot", "ERROR_", "error", "invalid"})
      EXPECT_EQ(reason.find(english), std::string::npos) << code << ": " << reason;
  }
  EXPECT_TRUE(IsRasLoginRefused(691));
  EXPECT_FALSE(IsRasLoginRefused(676));
}

TEST(DialNumber, PrefixZeroAreaCodeAndLocalNumber) {
  struct Case { const char *prefix, *area, *local, *expected; } cases[] = {
      {"0", "30", "1234567", "00301234567"},
      {"0", "030", "1234567", "00301234567"},
      {"0", "", "1234567", "01234567"},
      {"", "030", "1234567", "0301234567"},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    char out[129];
    EXPECT_TRUE(AssembleDialNumber(out, sizeof out, c.prefix, c.area, c.local));
    EXPECT_STREQ(out, c.expected) << c.prefix << "|" << c.area << "|" << c.local;
  }
}

TEST(DialNumber, ANumberThatDoesNotFitIsRefusedNotOverrun) {
  char out[12];
  memset(out, 'x', sizeof out);
  EXPECT_TRUE(AssembleDialNumber(out, 12, "0", "30", "1234567"));  // 11 digits and the terminator
  EXPECT_EQ(std::string(out), "00301234567");
  char small[12];
  EXPECT_FALSE(AssembleDialNumber(small, sizeof small, "0", "30", "12345678"));
  EXPECT_STREQ(small, "");
  std::string longLocal(200, '7');
  char field[129];
  EXPECT_FALSE(AssembleDialNumber(field, sizeof field, "", "", longLocal.c_str()));
}

TEST(CopyToField, TheTerminatorMustFitToo) {
  char buf[5];
  EXPECT_TRUE(CopyToField(buf, sizeof buf, "abcd"));
  EXPECT_STREQ(buf, "abcd");
  memset(buf, 'x', sizeof buf);
  EXPECT_FALSE(CopyToField(buf, 4, "abcd"));  // length equals the size: nothing is written
  EXPECT_EQ(buf[0], 'x');
  EXPECT_FALSE(CopyToField(nullptr, 4, "a"));

  char field[4];
  CopyLimited(field, 3, "abcdef");
  EXPECT_STREQ(field, "abc");
  CopyLimited(field, 3, nullptr);
  EXPECT_STREQ(field, "");
}

TEST(EnumTableRecords, NeededBytesInRecordsPlusOne) {
  EXPECT_EQ(EnumTableRecords(0, 152), 1u);
  EXPECT_EQ(EnumTableRecords(152, 152), 2u);
  EXPECT_EQ(EnumTableRecords(2 * 264, 264), 3u);
  EXPECT_EQ(EnumTableRecords(300, 264), 2u);
}

}  // namespace
