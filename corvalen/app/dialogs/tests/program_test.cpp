// The dialogs inside the real Corvalen.exe under Wine: the help viewer of the main dialog, the
// information dialog of the system menu, the provider details and the mailbox dialog of the
// mailbox check.
#include <gtest/gtest.h>

#include "Settings.h"
#include "program_driver.h"

namespace {

enum {
  kProvider = 1015, kDetails = 1006, kHilfe = 1084, kViewer20 = 1061, kVersion = 1093, kSysInfo = 16,
  kVerbinden = 1050, kTrennen = 1052, kPostfachUser = 1009
};

using testsupport::ClassOf;

TEST(CorvalenDialogs, HelpInfoAndDetailsFromTheMainDialog) {
  CorvalenRun run;
  int p = run.Start();
  ASSERT_GE(p, 0);
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);

  // Help: the text viewer in help mode, the markup turned into formatting.
  CorvalenRun::Press(main, kHilfe);
  HWND help = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (help = run.FindTop("Hilfesystem Corvalen", true)) != nullptr; }));
  EXPECT_EQ("RichEdit20A", ClassOf(GetDlgItem(help, kViewer20)));
  std::string text = CorvalenRun::Text(help, kViewer20);
  EXPECT_EQ(0u, text.find("Der Corvalen\r\n")) << text;
  EXPECT_EQ(std::string::npos, text.find('\\')) << text;
  EXPECT_NE(std::string::npos, text.find("Verbinden")) << text;
  CorvalenRun::Press(help, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop("Hilfesystem Corvalen", true) == nullptr; }));

  // The system menu's information dialog.
  PostMessageA(main, WM_SYSCOMMAND, kSysInfo, 0);
  HWND info = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (info = run.FindTop("Info über Corvalen ", true)) != nullptr; }));
  EXPECT_EQ("Version 2.00.042", CorvalenRun::Text(info, kVersion));
  CorvalenRun::Press(info, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop("Info über Corvalen ", true) == nullptr; }));

  // Details of the selected provider, titled with its name.
  std::vector<std::string> items = CorvalenRun::ComboItems(main, kProvider);
  int sel = CorvalenRun::ComboSel(main, kProvider);
  ASSERT_GE(sel, 0);
  const std::string& item = items[static_cast<size_t>(sel)];
  std::string title = "Detailinfos \"" + item.substr(item.find("Pfg     ") + 8) + "\"";
  CorvalenRun::Press(main, kDetails);
  HWND details = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (details = run.FindTop(title.c_str(), true)) != nullptr; })) << title;
  EXPECT_EQ("RichEdit20A", ClassOf(GetDlgItem(details, kViewer20)));
  EXPECT_FALSE(CorvalenRun::Text(details, kViewer20).empty());
  CorvalenRun::Press(details, IDOK);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop(title.c_str(), true) == nullptr; }));

  run.Quit(run.Process(p));
  EXPECT_TRUE(run.Exited(p, 10000));
}

// A mailbox whose password is not stored: after connecting, the mailbox dialog asks for it; a
// cancelled dialog checks nothing and keeps no password.
TEST(CorvalenDialogs, MailCheckWithoutAStoredPasswordAsksInTheMailboxDialog) {
  CorvalenRun run;
  {
    CSettings settings;
    settings.SetPOP3("1");
    settings.SetPOP3Postfach("kunde@postwell");
    settings.SetPOPSpeichern("0");
  }
  int p = run.Start();
  ASSERT_GE(p, 0);
  HWND main = run.WaitMain();
  ASSERT_NE(nullptr, main);
  CorvalenRun::Press(main, kVerbinden);
  HWND dlg = nullptr;
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return (dlg = run.FindTop("Postfach-Abfrage", true)) != nullptr; }, 30000));
  EXPECT_EQ("kunde@postwell", CorvalenRun::Text(dlg, kPostfachUser));
  PostMessageA(dlg, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(CorvalenRun::WaitFor([&] { return run.FindTop("Postfach-Abfrage", true) == nullptr; }));
  EXPECT_EQ(std::string(), CSettings().GetPOP3Passwort().c_str());
  CorvalenRun::Press(main, kTrennen);
  EXPECT_TRUE(CorvalenRun::WaitFor([&] { return run.RasCount("RasHangUpA") == 1; }));
  run.Quit(run.Process(p));
  EXPECT_TRUE(run.Exited(p, 10000));
}

}  // namespace
