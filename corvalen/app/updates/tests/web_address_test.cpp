// Which texts of the server may go to the shell: web addresses only, checked strictly.
#include <gtest/gtest.h>

#include <string>

#include "WebAddress.h"

namespace {

bool Web(const std::string& s) { return IsWebAddress(s.data(), s.size()); }

TEST(WebAddressTest, WebPagesAreTaken) {
  const char* pages[] = {
      "http://www.astrel.de",
      "http://www.astrel.de/",
      "https://www.astrel.de/corvalen/version.html",
      "HTTP://WWW.ASTREL.DE/Tipp",
      "Https://astrel.de:8080/a/b?x=1&y=%20z#oben",
      "http://127.0.0.1:49152/tarif.dat",
      "http://[::1]:80/",
      "http://[fe80::1]/seite",
      "http://astrel.de?frage",
      "http://astrel.de#anker",
      "http://a-b.c-d.de/~name/(1)/*;,=+!$'@:",
  };
  for (const char* page : pages) EXPECT_TRUE(Web(page)) << page;
}

TEST(WebAddressTest, EverythingElseIsRefused) {
  const std::string cases[] = {
      // Programs and files of the machine, in every form the shell takes them.
      "Z:\\tmp\\marker.exe",
      "C:\\WINDOWS\\system32\\calc.exe",
      "marker.bat",
      "\\\\server\\share\\setup.exe",
      "file:///C:/marker.exe",
      "file://server/share/x.exe",
      // Other schemes and addresses without a host.
      "ftp://astrel.de/tarif.dat",
      "mailto:info@astrel.de",
      "javascript:alert(1)",
      "www.astrel.de",
      "http:/astrel.de",
      "http:\\\\astrel.de",
      "http://",
      "https://",
      "http:///pfad",
      "http://:80/",
      "http://[]/",
      "http://[::1/",
      "http://astrel.de:/",
      "http://astrel.de:123456/",
      "http://astrel.de:8o/",
      // A host disguised by a user name, or with characters no host has.
      "http://www.astrel.de@boese.example/",
      "http://astr_el.de/",
      "http://astrel.de%2f/",
      // Blanks, quotes and control characters that would split or extend a command line.
      " http://astrel.de",
      "http://astrel.de/ -x",
      "http://astrel.de/\" --flag",
      "http://astrel.de/\tx",
      "http://astrel.de/\r\nx",
      std::string("http://astrel.de/\0.exe", 22),
      "http://astrel.de/\x7f",
      "http://astrel.de/\xe4",
      "http://astrel.de/a\\b",
      "http://astrel.de/<script>",
      "http://astrel.de/{x}|^`",
      "",
  };
  for (const std::string& text : cases) EXPECT_FALSE(Web(text)) << text;
}

TEST(WebAddressTest, TheLengthIsBounded) {
  const std::string base = "http://astrel.de/";
  std::string longest = base + std::string(kMaxWebAddressLength - base.size(), 'a');
  EXPECT_TRUE(Web(longest));
  EXPECT_FALSE(Web(longest + "a"));
  EXPECT_FALSE(Web(base + std::string(5 * 1024 * 1024, 'a')));
  EXPECT_FALSE(IsWebAddress(nullptr, 0));
  EXPECT_TRUE(IsWebAddress(CString("https://astrel.de")));
  EXPECT_FALSE(IsWebAddress(CString("C:\\marker.exe")));
}

}  // namespace
