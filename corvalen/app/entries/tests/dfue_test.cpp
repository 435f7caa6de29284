// The advanced dial-up settings under Wine, against the RAS stand-in's phone book and a
// "Corva.dat" in a folder of the test's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "DfueErweitert.h"
#include "store_fixture.h"

namespace {

const char kTitle[] = "Erweiterte DFÜ-Netzwerkeinstellungen";

// Selects an item as a user's click would (the dialog hears LBN_SELCHANGE).
void Pick(HWND dlg, int id, int index) {
  ::SendDlgItemMessageA(dlg, id, LB_SETCURSEL, index, 0);
  ::PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(::GetDlgItem(dlg, id)));
}

class DfueTest : public StoreFixture {
 protected:
  void SetUp() override {
    MakeFolder("corvdfue");
    settings_->SetMaxDialAttempts(3);
    settings_->SetWaitingTimeForDialAttempts(7);
    ASSERT_NO_FATAL_FAILURE(StartController());
    const char* providers[][2] = {{"p1", "Eins"}, {"p2", "Zwei"}, {"p3", "Drei"}};
    for (const auto& p : providers) {
      CProvider* prov = new CProvider;
      prov->SetId(p[0]);
      prov->SetName(p[1]);
      prov->SetActive(TRUE);
      manager_.GetDatabase().SetProvider(p[0], prov);
    }
    manager_.GetDatabase().SortActiveByName();
    controller_->SetTariffManager(&manager_);
    // Zwei has an entry of its own; "weg" is a provider the tariff database no longer has.
    std::ofstream(dir_ + "\\Corva.dat", std::ios::binary) << "p2=Zwei-Zugang|3/4/2026 0:0:0;weg=Alt|1/1/2020 0:0:0;";
    ::WritePrivateProfileStringA("Zwei-Zugang", "PhoneNumber", "0192", (ras_.Dir() + "rassim.pbk").c_str());
    ::WritePrivateProfileStringA("Corvalen2000", "PhoneNumber", "0190", (ras_.Dir() + "rassim.pbk").c_str());
  }
};

TEST_F(DfueTest, ShowsTheEntriesAndRedialSettingsAndStoresChanges) {
  CDlg_DfueErweitert dlg(controller_.get(), &manager_);
  std::vector<std::string> all, created;
  std::string standard, redials, wait, chosen, tip;
  int otherSel = 0;
  DialogScript script;
  script.Then([&] {
    HWND wnd = FindThreadWindow(kTitle);
    if (!wnd) return false;
    all = ListItems(wnd, IDC_DE_ALL);
    created = ListItems(wnd, IDC_DE_CREATED);
    standard = ItemText(wnd, IDC_DE_STANDARD);
    redials = ItemText(wnd, IDC_DE_REDIALS);
    wait = ItemText(wnd, IDC_DE_WAIT);
    tip = ToolTipText(wnd, IDC_DE_EDIT_STANDARD);
    ::SetDlgItemTextA(wnd, IDC_DE_REDIALS, "0");
    ::SetDlgItemTextA(wnd, IDC_DE_WAIT, "12");
    Pick(wnd, IDC_DE_CREATED, 0);
    return true;
  }).Then([&] {
    Pick(FindThreadWindow(kTitle), IDC_DE_ALL, 2);
    return true;
  }).Then([&] {
    HWND wnd = FindThreadWindow(kTitle);
    chosen = ItemText(wnd, IDC_DE_PROVIDER);
    otherSel = static_cast<int>(::SendDlgItemMessageA(wnd, IDC_DE_CREATED, LB_GETCURSEL, 0, 0));
    // The standard entry opens in the system's entry dialog.
    PostClick(wnd, IDC_DE_EDIT_STANDARD);
    return true;
  }).Then([&] {
    if (ras_.Log().find("RasEntryDlgA entry=\"Corvalen2000\"") == std::string::npos) return false;
    PostClick(FindThreadWindow(kTitle), IDOK);
    return true;
  });
  script.Start();
  EXPECT_EQ(dlg.DoModal(), IDOK);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(all, (std::vector<std::string>{"Drei", "Eins", "Zwei"}));
  EXPECT_EQ(created, std::vector<std::string>{"Zwei"});
  EXPECT_EQ(standard, "Corvalen2000");
  EXPECT_EQ(redials, "2");  // three attempts are two redials
  EXPECT_EQ(wait, "7");
  EXPECT_EQ(tip, std::string(AfxLoadString(1043).c_str()));
  EXPECT_EQ(chosen, "Zwei");  // the last choice, list 1039's third provider
  EXPECT_EQ(otherSel, LB_ERR);
  EXPECT_EQ(UserSetting("MaxDialAttempts"), "1");
  EXPECT_EQ(UserSetting("WaitingTimeForDialAttempts"), "12");
}

TEST_F(DfueTest, DeleteAsksAndRemovesTheEntryWithItsAssignment) {
  CDlg_DfueErweitert dlg(controller_.get(), &manager_);
  std::string noChoice, question;
  std::vector<std::string> afterNo, afterYes;
  HWND wnd = nullptr;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow(kTitle);
    if (!wnd) return false;
    PostClick(wnd, IDC_DE_DELETE);
    return true;
  }).Then(AnswerBox("Astrel Corvalen 2.0", &noChoice, IDOK)).Then([&] {
    if (FindMessageBox("Astrel Corvalen 2.0")) return false;
    Pick(wnd, IDC_DE_CREATED, 0);
    PostClick(wnd, IDC_DE_DELETE);
    return true;
  }).Then(AnswerBox("Astrel Corvalen 2.0", &question, IDNO)).Then([&] {
    if (FindMessageBox("Astrel Corvalen 2.0")) return false;
    afterNo = ListItems(wnd, IDC_DE_CREATED);
    // A double click in the list deletes as well.
    Pick(wnd, IDC_DE_CREATED, 0);
    ::PostMessageA(wnd, WM_COMMAND, MAKEWPARAM(IDC_DE_CREATED, LBN_DBLCLK),
                   reinterpret_cast<LPARAM>(::GetDlgItem(wnd, IDC_DE_CREATED)));
    return true;
  }).Then(AnswerBox("Astrel Corvalen 2.0", &question, IDYES)).Then([&] {
    if (FindMessageBox("Astrel Corvalen 2.0")) return false;
    afterYes = ListItems(wnd, IDC_DE_CREATED);
    PostClick(wnd, IDOK);
    return true;
  });
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(noChoice, "In der Spalte \"angelegte DFÜ-Einträge\" wurde kein Provider ausgewählt!");
  EXPECT_EQ(question, "Achtung: Informationen wie Anmeldungsdaten oder spezielle DFÜ-Parametereinstellungen gehen "
                      "verloren.\nSoll der registrierte bzw. individuell zugeordnete Eintrag wirklich gelöscht werden?");
  EXPECT_EQ(afterNo, std::vector<std::string>{"Zwei"});
  EXPECT_TRUE(afterYes.empty());
  EXPECT_EQ(Store(), "weg=Alt|1/1/2020 0:0:0;");
  EXPECT_EQ(ras_.PhonebookValue("Zwei-Zugang", "PhoneNumber"), "<missing>");
  EXPECT_FALSE(manager_.FindProvider("p2")->IsRegistered());
}

TEST_F(DfueTest, ChangeOpensTheEntryOfARegisteredProvider) {
  CDlg_DfueErweitert dlg(controller_.get(), &manager_);
  DialogScript script;
  script.Then([&] {
    HWND wnd = FindThreadWindow(kTitle);
    if (!wnd) return false;
    Pick(wnd, IDC_DE_CREATED, 0);
    PostClick(wnd, IDC_DE_EDIT_PROVIDER);
    return true;
  }).Then([&] {
    if (ras_.Log().find("RasEntryDlgA entry=\"Zwei-Zugang\"") == std::string::npos) return false;
    PostClick(FindThreadWindow(kTitle), IDOK);
    return true;
  });
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
}

// A provider without an entry of its own is offered one first; declined, nothing changes.
TEST_F(DfueTest, ChangeOffersAnEntryToAProviderWithoutOne) {
  CDlg_DfueErweitert dlg(controller_.get(), &manager_);
  HWND wnd = nullptr;
  std::string offer;
  std::vector<std::string> created;
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow(kTitle);
    if (!wnd) return false;
    Pick(wnd, IDC_DE_ALL, 1);  // Eins
    return true;
  }).Then([&] {
    PostClick(wnd, IDC_DE_EDIT_PROVIDER);
    return true;
  }).Then(AnswerBox("Astrel Corvalen 2.0", &offer, IDNO)).Then([&] {
    if (FindMessageBox("Astrel Corvalen 2.0")) return false;
    created = ListItems(wnd, IDC_DE_CREATED);
    PostClick(wnd, IDOK);
    return true;
  });
  script.Start();
  dlg.DoModal();
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(offer, std::string(AfxLoadString(5119).c_str()));
  EXPECT_EQ(created, std::vector<std::string>{"Zwei"});
  EXPECT_EQ(ras_.Log().find("RasEntryDlgA"), std::string::npos);
  EXPECT_EQ(Store(), "p2=Zwei-Zugang|3/4/2026 0:0:0;weg=Alt|1/1/2020 0:0:0;");
}

}  // namespace
