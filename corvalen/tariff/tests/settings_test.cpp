#include "Settings.h"
#include "TestSupport.h"

class SettingsTest : public TariffTest {};

TEST_F(SettingsTest, FreshUserGetsEveryDefault) {
  CSettings s;
  EXPECT_FALSE(s.IsAGBAccepted());
  EXPECT_FALSE(s.LastReadOk());
  EXPECT_EQ(s.GetDefaultDFUDeviceName(), "DEFAULT");
  EXPECT_EQ(s.GetDefaultDFUDeviceTyp(), "modem");
  EXPECT_EQ(s.GetMaxDialAttempts(), 1);
  EXPECT_EQ(s.GetWaitingTimeForDialAttempts(), 1);
  const char* empties[] = {"DefaultDialString", "CurrentTarif", "CurrentDialer", "CheckDialer", "CheckTarif",
                           "MessageOfDay", "DefaultConnection", "UpdateFrequence", "Automatic",
                           "FilterProvider", "NotInFilterProvider", "POP3", "POP3Postfach", "POP3Passwort",
                           "POPSpeichern", "BannerTime"};
  CString got[] = {s.GetDefaultDialString(), s.GetCurrentTarif(), s.GetCurrentDialer(), s.GetCheckDialer(),
                   s.GetCheckTarif(), s.GetMessageOfDay(), s.GetDefaultConnection(), s.GetUpdateFrequence(),
                   s.GetAutomatic(), s.GetFilterProvider(), s.GetNotInFilterProvider(), s.GetPOP3(),
                   s.GetPOP3Postfach(), s.GetPOP3Passwort(), s.GetPOPSpeichern(), s.GetBannerTime()};
  for (size_t i = 0; i < sizeof got / sizeof got[0]; ++i) EXPECT_EQ(got[i], "") << empties[i];
  CFilterSwitches f = s.GetFilter();
  for (int i = 0; i < CFilterSwitches::count; ++i) EXPECT_FALSE(f.on[i]);
  EXPECT_EQ(s.GetUrlOfDay(), "http://www.astrel.de/");

  // No user key yet: the first write creates the whole chain.
  RegKey k;
  EXPECT_NE(reg.OpenKey(kRegCurrentUser, "Software\\ASTREL\\Corvalen", &k), kRegOk);
  EXPECT_FALSE(s.SetAGB("1"));  // setters answer FALSE whatever the registry did
  ASSERT_EQ(reg.OpenKey(kRegCurrentUser, "Software\\ASTREL\\Corvalen", &k), kRegOk);
  reg.CloseKey(k);
  EXPECT_TRUE(s.IsAGBAccepted());
  EXPECT_TRUE(s.LastReadOk());
}

TEST_F(SettingsTest, BuiltInDefaultProvider) {
  CSettings s;
  const CProvider* p = s.GetProvider();
  EXPECT_EQ(p->GetId(), "id-10034");
  EXPECT_EQ(p->GetUserName(), "QZJ");
  EXPECT_EQ(p->GetPassword(), "QZJ");
  EXPECT_FLOAT_EQ(p->GetPrice(), 2.9f);
  EXPECT_FALSE(p->GetPhoneNumber().IsEmpty());
  EXPECT_FALSE(p->GetName().IsEmpty());
  EXPECT_EQ(p->GetTakt(), 1);
  EXPECT_TRUE(p->IsActive());
  EXPECT_EQ(p->GetDialInFee(), 0.0f);
}

TEST_F(SettingsTest, TextsAreStoredWithoutTerminatorAndEmptyAsOneBlank) {
  CSettings s;
  s.SetDefaultConnection("");
  std::string raw;
  ASSERT_TRUE(RawUserValue("DefaultConnection", &raw));
  EXPECT_EQ(raw, " ");
  EXPECT_EQ(s.GetDefaultConnection(), "");
  EXPECT_TRUE(s.LastReadOk());

  struct {
    const char* name;
    BOOL (CSettings::*set)(CString);
    CString (CSettings::*get)();
  } table[] = {
      {"DefaultDialString", &CSettings::SetDefaultDialString, &CSettings::GetDefaultDialString},
      {"CurrentTarif", &CSettings::SetCurrentTarif, &CSettings::GetCurrentTarif},
      {"CheckTarif", &CSettings::SetCheckTarif, &CSettings::GetCheckTarif},
      {"DefaultConnection", &CSettings::SetDefaultConnection, &CSettings::GetDefaultConnection},
      {"FilterProvider", &CSettings::SetFilterProvider, &CSettings::GetFilterProvider},
      {"POP3Postfach", &CSettings::SetPOP3Postfach, &CSettings::GetPOP3Postfach},
      {"DefaultDFUDeviceName", &CSettings::SetDefaultDFUDeviceName, &CSettings::GetDefaultDFUDeviceName},
      {"BannerTime", &CSettings::SetBannerTime, &CSettings::GetBannerTime},
  };
  const CString text = "Übertragung 04.03.2026";
  for (auto& row : table) {
    (s.*row.set)(text);
    ASSERT_TRUE(RawUserValue(row.name, &raw)) << row.name;
    EXPECT_EQ(raw, text.str()) << row.name;  // code page 1252, no NUL
    EXPECT_EQ((s.*row.get)(), text) << row.name;
  }
  s.SetMaxDialAttempts(7);
  s.SetWaitingTimeForDialAttempts(30);
  ASSERT_TRUE(RawUserValue("MaxDialAttempts", &raw));
  EXPECT_EQ(raw, "7");
  EXPECT_EQ(s.GetMaxDialAttempts(), 7);
  EXPECT_EQ(s.GetWaitingTimeForDialAttempts(), 30);
  // Another settings object over the same keys sees the same values (and caches them).
  CSettings other;
  EXPECT_EQ(other.GetDefaultDFUDeviceName(), text);
  EXPECT_EQ(other.GetDeviceName(), text);
}

TEST_F(SettingsTest, FilterSwitchesByCharacter) {
  struct { const char* stored; const char* on; } cases[] = {
      {"010011", "010011"}, {"1", "100000"}, {"111111", "111111"}, {"0x1y10", "001010"}, {"", "000000"},
  };
  CSettings s;
  for (auto& c : cases) {
    s.SetValue("Filter", c.stored);
    CFilterSwitches f = s.GetFilter();
    std::string on;
    for (int i = 0; i < CFilterSwitches::count; ++i) on += f.on[i] ? '1' : '0';
    EXPECT_EQ(on, c.on) << c.stored;
  }
  CFilterSwitches f;
  f.on[1] = f.on[4] = f.on[5] = TRUE;
  s.SetFilter(f);
  std::string raw;
  ASSERT_TRUE(RawUserValue("Filter", &raw));
  EXPECT_EQ(raw, "010011");
}

TEST_F(SettingsTest, MailboxPasswordIsScrambledByteByByte) {
  CSettings s;
  EXPECT_TRUE(s.SetPOP3Passwort("geheim!"));
  std::string raw;
  ASSERT_TRUE(RawUserValue("POP3Passwort", &raw));
  ASSERT_EQ(raw.size(), 7u);
  for (size_t i = 0; i < raw.size(); ++i)
    EXPECT_EQ(static_cast<unsigned char>(raw[i]), static_cast<unsigned char>("geheim!"[i]) ^ 0x8E);
  EXPECT_EQ(s.GetPOP3Passwort(), "geheim!");
  EXPECT_TRUE(s.SetPOP3Passwort(""));
  EXPECT_EQ(s.GetPOP3Passwort(), "");
  // An emptied password is stored as one blank, as every empty setting is.
  ASSERT_TRUE(RawUserValue("POP3Passwort", &raw));
  EXPECT_EQ(raw, " ");
}

TEST_F(SettingsTest, MachineValuesComeFromTheMachineKeyOnly) {
  CSettings s;
  EXPECT_EQ(s.GetPATH(), CString(Dir()));
  SetMachineValue("MessageUrl", "/msg/corvalen.dat");
  EXPECT_EQ(s.GetMessageUrl(), "/msg/corvalen.dat");
  s.SetValue("PATH", "C:\\falsch");  // a user value of that name does not count
  EXPECT_EQ(s.GetPATH(), CString(Dir()));
  EXPECT_EQ(s.DataFile("tarif.dat"), CString(Dir() + "\\tarif.dat"));

  reg.DeleteTree(kRegLocalMachine, "Software\\ASTREL");
  EXPECT_EQ(s.GetPATH(), "");
  EXPECT_FALSE(s.LastReadOk());
  EXPECT_EQ(s.DataFile("tarif.dat"), "\\tarif.dat");
  // A machine value longer than a Windows path cannot be read.
  SetMachineValue("PATH", std::string(300, 'x'));
  EXPECT_EQ(s.GetPATH(), "");
  EXPECT_FALSE(s.LastReadOk());
}
