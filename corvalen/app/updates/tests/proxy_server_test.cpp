// The downloads through the proxy setting against a real HTTP server: Python's http.server,
// started by with_http_server.sh and named in http_proxy. The program asks its built-in update
// server, whose name the proxy answers without any lookup; the files lie in the served folder.
#include <windows.h>

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "CFile.h"
#include "ConnectionController.h"
#include "TarifClock.h"
#include "TarifScramble.h"
#include "Updates.h"
#include "program_folder.h"
#include "test_files.h"
#include "window_driver.h"

namespace {

using testsupport::WinPath;

class ProxyServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* root = std::getenv("ASTREL_HTTP_ROOT");
    ASSERT_TRUE(root && *root) << "Kein HTTP-Server: dieses Programm läuft unter "
                                  "corvalen/app/updates/tests/with_http_server.sh (ctest -R corvalen_updates_proxy_test).";
    www_ = WinPath(root);
    dir_ = UseProgramFolder("corvproxy");
    SetFixedNow(COleDateTime(2026, 3, 4, 13, 30, 0));
    SetUpdateServer("");  // the built-in server, reached through the proxy
    settings_ = std::make_unique<CSettings>();
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, nullptr);
  }
  void TearDown() override { SetTarifClock(nullptr); }
  // A file the server gives for http://update.astrel.de/<path>.
  void Serve(const std::string& path, const std::string& body) {
    std::string file = www_ + "\\update.astrel.de";
    ::CreateDirectoryA(file.c_str(), nullptr);
    for (size_t i = 0, slash; (slash = path.find('/', i)) != std::string::npos; i = slash + 1) {
      file += "\\" + path.substr(i, slash - i);
      ::CreateDirectoryA(file.c_str(), nullptr);
    }
    file += "\\" + path.substr(path.rfind('/') + 1);
    ASSERT_TRUE(WriteWholeFile(file.c_str(), body));
  }
  std::string Path(const char* name) const { return dir_ + "\\" + name; }

  std::string www_, dir_;
  CStatusHelper status_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CConnectionController> controller_;
};

}  // namespace

TEST_F(ProxyServerTest, ServerMessagesAndBannerComeThroughTheProxy) {
  // A whole GIF picture (only such a one replaces the banner) of some 3000 bytes: a 2 x 1 screen
  // whose image data come in sub-blocks of 250 bytes.
  std::string banner("GIF89a\x02\x00\x01\x00\x80\x00\x00\x00\x00\x00\xFF\xFF\xFF"
                     "\x2C\x00\x00\x00\x00\x02\x00\x01\x00\x00\x02", 30);
  for (int b = 0; b < 12; ++b) {
    banner += static_cast<char>(250);
    for (int i = 0; i < 250; ++i) banner += static_cast<char>((b * 250 + i) * 13);
  }
  banner += std::string("\x00;", 2);
  std::string messages =
      "<?xml version=\"1.0\"?><server>"
      "<tip typ=\"banner\"><url>\nhttp://update.astrel.de/bilder/banner.gif\n</url><date>2026-03-01 00:00:00</date></tip>"
      "<tip typ=\"tarif\"><url>http://update.astrel.de/tarif/tarif.dat</url><date>2026-03-01 10:00:00</date></tip>"
      "</server>";
  ScrambleTarif(reinterpret_cast<unsigned char*>(&messages[0]), messages.size());
  Serve("msg/corva.xml", messages);
  Serve("bilder/banner.gif", banner);
  for (const char* f : {"ServerInfo.dat", "ServerInfo.sic", "rechnung.gif", "banner.gif"}) ::DeleteFileA(Path(f).c_str());

  CServerInfo info;
  ASSERT_TRUE(info.Update(controller_.get(), TRUE));
  EXPECT_EQ(ReadAll(Path("ServerInfo.dat")), messages);
  EXPECT_EQ(std::string(settings_->GetTarifUrl()), "http://update.astrel.de/tarif/tarif.dat");
  EXPECT_EQ(ReadAll(Path("rechnung.gif")), banner);
  EXPECT_EQ(std::string(settings_->GetBannerTime()), "2026-03-01 00:00:00");
}

TEST_F(ProxyServerTest, MissingFileIsAFailedDownload) {
  EXPECT_FALSE(DownloadFile("http://update.astrel.de/gibt/es/nicht.dat", Path("out.bin").c_str()));
  Serve("da.txt", "hallo");
  EXPECT_TRUE(DownloadFile("http://update.astrel.de/da.txt", Path("out.bin").c_str()));
  EXPECT_EQ(ReadAll(Path("out.bin")), "hallo");
}
