// Under Wine: the settings land in the real registry, as `reg export` shows them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "CFile.h"
#include "Settings.h"

namespace {
// reg.exe writes its export as UTF-16 little-endian; the values here are ASCII.
std::string Narrow(const std::string& utf16) {
  std::string out;
  for (size_t i = 2; i + 1 < utf16.size(); i += 2)
    if (utf16[i + 1] == 0) out += utf16[i];
  return out;
}

std::string Export(const char* key, const char* file) {
  std::string cmd = std::string("reg export ") + key + " " + file + " /y";
  STARTUPINFOA si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return "";
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  std::string raw;
  ReadWholeFile(file, raw);
  return raw.size() > 2 && static_cast<unsigned char>(raw[0]) == 0xFF ? Narrow(raw) : raw;
}
}  // namespace

TEST(RegistryWin32, SettingsAreWrittenUnderTheUserKeyAsStrings) {
  GetRegistryBackend().DeleteTree(0x80000001u, "Software\\ASTREL");
  CSettings s;
  s.SetAGB("1");
  s.SetDefaultConnection("");
  s.SetMaxDialAttempts(3);
  s.SetDefaultDFUDeviceTyp("isdn");
  // Read back through the raw API: REG_SZ with exactly the text's bytes.
  HKEY h;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen", 0, KEY_READ, &h), ERROR_SUCCESS);
  char buf[64];
  DWORD type = 0, len = sizeof buf;
  ASSERT_EQ(RegQueryValueExA(h, "DefaultConnection", nullptr, &type, reinterpret_cast<BYTE*>(buf), &len), ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::string(buf, len).substr(0, 1), " ");
  len = sizeof buf;
  ASSERT_EQ(RegQueryValueExA(h, "MaxDialAttempts", nullptr, &type, reinterpret_cast<BYTE*>(buf), &len), ERROR_SUCCESS);
  EXPECT_EQ(std::string(buf, 1), "3");
  RegCloseKey(h);

  const std::string text = Export("HKCU\\Software\\ASTREL", "C:\\corvalen-user.reg");
  EXPECT_NE(text.find("[HKEY_CURRENT_USER\\Software\\ASTREL\\Corvalen]"), std::string::npos) << text;
  EXPECT_NE(text.find("\"AGB\"=\"1\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"DefaultConnection\"=\" \""), std::string::npos) << text;
  EXPECT_NE(text.find("\"DefaultDFUDeviceTyp\"=\"isdn\""), std::string::npos) << text;
  EXPECT_NE(text.find("\"MaxDialAttempts\"=\"3\""), std::string::npos) << text;

  // The machine key is only read: PATH written there by the set-up comes back.
  HKEY m;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", 0, nullptr, 0, KEY_ALL_ACCESS,
                            nullptr, &m, nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(m, "PATH", 0, REG_SZ, reinterpret_cast<const BYTE*>("C:\\Corvalen\\"), 13);  // with NUL
  RegCloseKey(m);
  EXPECT_EQ(s.GetPATH(), "C:\\Corvalen\\");
  EXPECT_TRUE(s.LastReadOk());
}
