// The router's own phone-book entry as the RAS stand-in stores it: creation, rewriting for a dial
// and after the options changed, the device fallback, credentials, the default internet entry, and
// the entry dialog of RASDLG.DLL.
#include "RasEntrySetup.h"
#include "Settings.h"
#include "rassim_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

void SetMachinePath(const char* path) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(key, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>(path), static_cast<DWORD>(strlen(path)));
  RegCloseKey(key);
}

class EntrySetup : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMachinePath("C:\\Programme\\Corvalen");
    settings.SetDefaultDFUDeviceTyp("isdn");
    settings.SetDefaultDFUDeviceName("AVM ISDN-Controller");
  }
  std::string Value(const char* key) { return sim.PhonebookValue("Corvalen2000", key); }
  RasSimFixture sim;
  CRasAccess ras;
  CSettings settings;
  CRasEntrySetup setup;
};

TEST_F(EntrySetup, CreatesTheEntryWithTheHookAndTheCredentials) {
  EXPECT_FALSE(setup.EntryExists(ras, "Corvalen2000"));
  ASSERT_EQ(setup.CreateEntry("Corvalen2000", ras, "019231770", settings, "QZJ", "QZJ", TRUE), 0);
  EXPECT_TRUE(setup.EntryExists(ras, "Corvalen2000"));
  struct Field { const char *key, *value; } fields[] = {
      {"Options", "280"}, {"CountryID", "49"}, {"CountryCode", "0"}, {"AreaCode", ""},
      {"PhoneNumber", "019231770"}, {"NetProtocols", "4"}, {"FramingProtocol", "1"}, {"Script", ""},
      {"DeviceType", "isdn"}, {"DeviceName", "AVM ISDN-Controller"},
      {"AutodialDll", "C:\\Programme\\Corvalen\\corvai.dll"}, {"AutodialFunc", "AutoDialFunc"},
      {"IpAddress", "0"}, {"X25Address", ""}, {"Channels", "0"},
      {"User", "QZJ"}, {"Password", "QZJ"}, {"PasswordSaved", "1"}, {"Domain", ""}};
  for (const Field& f : fields) EXPECT_EQ(Value(f.key), f.value) << f.key;
  EXPECT_NE(sim.Log().find("RasSetEntryPropertiesA entry=\"Corvalen2000\" size=1768 cb=1768"), std::string::npos);
}

TEST_F(EntrySetup, AnEmptyDeviceTypeIsWrittenAsModemAndAPathWithBackslashIsNotDoubled) {
  settings.SetDefaultDFUDeviceTyp("");
  settings.SetDefaultDFUDeviceName("Standardmodem");
  SetMachinePath("C:\\Corvalen\\");
  ASSERT_EQ(setup.CreateEntry("Corvalen2000", ras, "0191", settings, "", "", TRUE), 0);
  EXPECT_EQ(Value("DeviceType"), "modem");
  EXPECT_EQ(Value("AutodialDll"), "C:\\Corvalen\\corvai.dll");
}

TEST_F(EntrySetup, ADeviceRasDoesNotKnowIsReplacedByTheFirstDevice) {
  settings.SetDefaultDFUDeviceName("Altes Modem");
  ASSERT_EQ(setup.CreateEntry("Corvalen2000", ras, "0191", settings, "QZJ", "QZJ", TRUE), 0);
  EXPECT_EQ(Value("DeviceType"), "modem");
  EXPECT_EQ(Value("DeviceName"), "Standardmodem");
  EXPECT_EQ(sim.Count("RasSetEntryPropertiesA"), 2);

  // An existing entry whose device has gone is rewritten with the first device as well.
  sim.Set("Devices", "isdn,Fritz!Card");
  EXPECT_EQ(setup.WriteEntry("Corvalen2000", ras, "0192", settings, "", "", TRUE, FALSE), 0);
  EXPECT_EQ(Value("DeviceName"), "Fritz!Card");
  EXPECT_EQ(Value("PhoneNumber"), "0192");

  // No device at all: the failure is returned.
  sim.Set("Devices", "none");
  EXPECT_EQ(setup.CreateEntry("Neu", ras, "0191", settings, "QZJ", "QZJ", TRUE), kErrFailed);
  EXPECT_EQ(sim.PhonebookValue("Neu", "PhoneNumber"), "<missing>");
}

TEST_F(EntrySetup, RewritingForADialAndAfterTheOptionsChanged) {
  ASSERT_EQ(setup.CreateEntry("Corvalen2000", ras, "019231770", settings, "QZJ", "QZJ", TRUE), 0);
  // Before a dial: the provider's number, the device kept, the stored password removed.
  settings.SetDefaultDFUDeviceTyp("modem");
  settings.SetDefaultDFUDeviceName("Standardmodem");
  EXPECT_EQ(setup.WriteEntry("Corvalen2000", ras, "01088", settings, "", "", TRUE, FALSE), 0);
  EXPECT_EQ(Value("PhoneNumber"), "01088");
  EXPECT_EQ(Value("DeviceName"), "AVM ISDN-Controller");
  EXPECT_EQ(Value("Password"), "");
  EXPECT_EQ(Value("PasswordSaved"), "0");
  EXPECT_EQ(Value("AutodialFunc"), "AutoDialFunc");
  // After the options changed: the settings' device and no number until the next dial.
  EXPECT_EQ(setup.WriteEntry("Corvalen2000", ras, "", settings, "", "", FALSE, TRUE), 0);
  EXPECT_EQ(Value("PhoneNumber"), "");
  EXPECT_EQ(Value("DeviceType"), "modem");
  EXPECT_EQ(Value("DeviceName"), "Standardmodem");
  EXPECT_EQ(Value("Options"), "280");  // the rest of the entry stays

  sim.ClearLog();
  EXPECT_EQ(setup.WriteEntry("Fehlt", ras, "0191", settings, "", "", TRUE, TRUE), -1);
  EXPECT_EQ(sim.Count("RasSetEntryPropertiesA"), 0);
}

TEST_F(EntrySetup, Credentials) {
  ASSERT_EQ(setup.CreateEntry("Corvalen2000", ras, "0191", settings, "QZJ", "QZJ", TRUE), 0);
  EXPECT_EQ(setup.SetCredentials("Corvalen2000", ras, "max", "geheim", TRUE), 0);
  CString user, password;
  BOOL saved = FALSE;
  EXPECT_EQ(setup.GetCredentials("Corvalen2000", ras, user, password, saved), 0);
  EXPECT_EQ(user, "max");
  EXPECT_EQ(password, "geheim");
  EXPECT_TRUE(saved);
  EXPECT_EQ(setup.SetCredentials("Corvalen2000", ras, "max", "geheim", FALSE), 0);
  EXPECT_EQ(sim.Phonebook().find("geheim"), std::string::npos);
  EXPECT_EQ(setup.GetCredentials("Corvalen2000", ras, user, password, saved), 0);
  EXPECT_FALSE(saved);
  EXPECT_EQ(setup.SetCredentials("Fehlt", ras, "a", "b", TRUE), kErrFailed);
}

TEST_F(EntrySetup, DefaultInternetEntry) {
  RegDeleteKeyA(HKEY_CURRENT_USER, "RemoteAccess");
  EXPECT_EQ(setup.SetDefaultInternetEntry("Corvalen2000"), 0);  // no key: left alone
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "RemoteAccess", 0, KEY_READ, &key), ERROR_SUCCESS);
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "RemoteAccess", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(setup.SetDefaultInternetEntry("Corvalen2000"), 0);
  char value[64] = {};
  DWORD type = 0, size = sizeof value;
  ASSERT_EQ(RegQueryValueExA(key, "InternetProfile", nullptr, &type, reinterpret_cast<BYTE*>(value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_STREQ(value, "Corvalen2000");  // (Wine's registry adds the terminator the router leaves out)
  RegCloseKey(key);
}

TEST_F(EntrySetup, EntryDialogOfRasdlg) {
  ASSERT_EQ(setup.CreateEntry("Corvalen2000", ras, "0191", settings, "QZJ", "QZJ", TRUE), 0);
  CRasDlgAccess dlg;
  dlg.Load();
  ASSERT_TRUE(dlg.IsAvailable());
  EXPECT_EQ(dlg.ShowEntryDialog(nullptr, "Corvalen2000"), 1);
  EXPECT_NE(sim.Log().find("rasdlg RasEntryDlgA entry=\"Corvalen2000\" size=292 flags=8 pos=0,0 owner=none saved"),
            std::string::npos)
      << sim.Log();
  sim.Set("EntryDlg", "cancel");
  EXPECT_EQ(dlg.ShowEntryDialog(nullptr, "Corvalen2000"), 0);
  EXPECT_TRUE(dlg.EditEntry(nullptr, "Corvalen2000"));
  EXPECT_EQ(sim.Count("RasEntryDlgA"), 3);
  EXPECT_EQ(sim.Count("RasEditPhonebookEntryA"), 0);
}

}  // namespace
