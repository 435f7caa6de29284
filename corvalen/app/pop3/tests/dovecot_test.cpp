// The mailbox check against a real POP3 server: Dovecot on 127.0.0.1, started for this program
// by with_dovecot.sh (user "kunde", password "geheim", three messages). Dovecot refuses LAST, so
// the check counts the new messages through the unique ids it kept at the previous check.
#include "MailCheck.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "RegistryMemory.h"
#include "mail_check_support.h"

namespace {

const char kNewMail[] = "Ihr Postfach bei  POSTWELL enthält zur Zeit  %d  neue E-Mail(s)!";

std::string NewMailText(int n) { return std::string(CString::Formatted(kNewMail, n)); }

class DovecotTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* port = std::getenv("ASTREL_DOVECOT_PORT");
    const char* maildir = std::getenv("ASTREL_DOVECOT_MAILDIR");
    ASSERT_TRUE(port && *port && maildir && *maildir)
        << "Kein Dovecot: dieses Programm läuft unter corvalen/app/pop3/tests/with_dovecot.sh "
           "(ctest -R corvalen_pop3_dovecot_test), das den Server startet.";
    ASSERT_TRUE(AfxSocketInit());
    port_ = static_cast<UINT>(std::atoi(port));
    // The maildir is a Unix path; Wine shows the Unix root as drive Z:.
    maildir_ = std::string("Z:") + maildir;
    for (char& c : maildir_)
      if (c == '/') c = '\\';
    settings.SetPOP3("1");
    settings.SetPOP3Postfach("kunde");
    settings.SetPOP3Passwort("geheim");
    settings.SetPOPSpeichern("1");
  }
  // One check against Dovecot; the boxes it showed.
  std::vector<TestMailCheck::Box> Check() {
    TestMailCheck check(&settings, nullptr);
    check.SetServer("127.0.0.1", port_);
    check.Start();
    EXPECT_NE(check.GetSocket(), nullptr);
    PumpUntilEnded(check);
    EXPECT_EQ(check.GetSocket(), nullptr) << "the check did not end";
    return check.boxes;
  }
  // A message delivered into the maildir.
  void Deliver(const std::string& name) {
    std::ofstream out(maildir_ + "\\new\\" + name, std::ios::binary);
    out << "From: absender@example.org\r\nTo: kunde@example.org\r\nSubject: " << name << "\r\n\r\nText\r\n";
    ASSERT_TRUE(out.good()) << maildir_;
  }

  UINT port_ = 0;
  std::string maildir_;
  CMemoryRegistry registry;
  CSettings settings{&registry};
};

}  // namespace

TEST_F(DovecotTest, NewMessagesAreCountedSinceTheLastCheck) {
  // The first check knows no message yet: all three are new.
  auto boxes = Check();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, NewMailText(3));
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL | MB_ICONINFORMATION));
  EXPECT_EQ(pop3::SplitSeenIds(settings.GetPOP3Kennungen().str()).size(), 3u);

  // Nothing came: no box.
  EXPECT_TRUE(Check().empty());

  // Two messages arrive.
  Deliver("2000000001.M1P1.neu");
  Deliver("2000000002.M1P1.neu");
  boxes = Check();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, NewMailText(2));
  EXPECT_TRUE(Check().empty());
}

TEST_F(DovecotTest, WrongPasswordShowsTheErrorBox) {
  settings.SetPOP3Passwort("falsch");
  auto boxes = Check();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, kMailLoginFailedText);
  EXPECT_EQ(boxes[0].flags, static_cast<UINT>(MB_OK | MB_SYSTEMMODAL | MB_ICONERROR));
}
