// The new-entry dialog driven under Wine, against the RAS stand-in's phone book.
#include <gtest/gtest.h>
#include <windows.h>
#include <shlwapi.h>

#include <memory>
#include <string>

#include "NewEntryDialog.h"
#include "Settings.h"
#include "dialog_script.h"
#include "rassim_fixture.h"

namespace {

const char* const kTitle = "Astrel Corvalen Neue DFÜ-Verbindung anlegen";

class NewEntryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
    settings_ = std::make_unique<CSettings>();
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, nullptr);
    ASSERT_EQ(controller_->GetRasAccess().Load(), 0);
    ::WritePrivateProfileStringA("Vorhanden", "LocalPhoneNumber", "0191011",
                                 (ras_.Dir() + "rassim.pbk").c_str());
    provider_.SetId("p1");
    provider_.SetName("Testnetz");
    dlg_.SetProvider(&provider_);
    dlg_.SetController(controller_.get());
    dlg_.SetRasAccess(&controller_->GetRasAccess());
  }
  RasSimFixture ras_;
  CStatusHelper status_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CConnectionController> controller_;
  CProvider provider_;
  CDlg_NeueVerbindung dlg_;
};

// Sets the three texts and clicks OK; then reads the warning that must follow, answers it and
// records which control has the focus afterwards.
struct Refusal {
  const char* name;
  const char* user;
  const char* text;
  int focus;
};

TEST_F(NewEntryTest, RefusesEmptyOrTakenNamesAndEndsWithTheTrimmedValues) {
  const Refusal cases[] = {
      {"   ", "u", "Der Verbindungsname darf nicht leer sein !", IDC_NV_NAME},
      {"Neu", "  ", "Der Benutzername darf nicht leer sein !", IDC_NV_USER},
      {" Vorhanden ", "u",
       "Eine DFÜ-Verbindung unter diesem Namen existiert bereits.\nBitte wählen Sie einen anderen Verbindungsnamen !",
       IDC_NV_NAME},
      {"A;B", "u", "Der Verbindungsname darf keines der Zeichen ; = | enthalten !", IDC_NV_NAME},
      {"A=B", "u", "Der Verbindungsname darf keines der Zeichen ; = | enthalten !", IDC_NV_NAME},
      {"A|B", "u", "Der Verbindungsname darf keines der Zeichen ; = | enthalten !", IDC_NV_NAME},
  };
  const int n = static_cast<int>(sizeof cases / sizeof cases[0]);
  dlg_.SetConnectionName("Testnetz");
  HWND wnd = nullptr;
  int initialFocus = 0;
  bool saveChecked = true, userEnabled = false;
  std::string texts[n], titles[n];
  int focus[n] = {};
  DialogScript script;
  script.Then([&] {
    wnd = FindThreadWindow(kTitle);
    if (!wnd) return false;
    initialFocus = ::GetDlgCtrlID(::GetFocus());
    saveChecked = ::IsDlgButtonChecked(wnd, IDC_NV_SAVE) == BST_CHECKED;
    userEnabled = ::IsWindowEnabled(::GetDlgItem(wnd, IDC_NV_USER));
    return true;
  });
  for (int i = 0; i < n; ++i) {
    script
        .Then([&, i] {
          ::SetDlgItemTextA(wnd, IDC_NV_NAME, cases[i].name);
          ::SetDlgItemTextA(wnd, IDC_NV_USER, cases[i].user);
          PostClick(wnd, IDOK);
          return true;
        })
        .Then([&, i] {
          HWND box = FindOtherDialog(wnd);
          if (!box) return false;
          texts[i] = MessageBoxText(box);
          titles[i] = WindowText(box);
          ::PostMessageA(box, WM_COMMAND, IDOK, 0);
          return true;
        })
        .Then([&, i] {
          // Between the box's end and the dialog's own focus call no window has the focus.
          if (FindOtherDialog(wnd) || !::GetFocus()) return false;
          focus[i] = ::GetDlgCtrlID(::GetFocus());
          return true;
        });
  }
  script.Then([&] {
    ::SetDlgItemTextA(wnd, IDC_NV_NAME, "  Mein Zugang ");
    ::SetDlgItemTextA(wnd, IDC_NV_USER, " kunde ");
    ::SetDlgItemTextA(wnd, IDC_NV_PASSWORD, " geheim ");
    PostClick(wnd, IDOK);
    return true;
  });
  script.Start();
  EXPECT_EQ(dlg_.DoModal(), IDOK);
  ASSERT_TRUE(script.Finished());
  EXPECT_EQ(initialFocus, IDC_NV_USER);
  EXPECT_FALSE(saveChecked);
  EXPECT_TRUE(userEnabled);
  for (int i = 0; i < n; ++i) {
    EXPECT_EQ(texts[i], cases[i].text) << i;
    EXPECT_EQ(titles[i], "Corvalen 2.0") << i;
    EXPECT_EQ(focus[i], cases[i].focus) << i;
  }
  EXPECT_EQ(std::string(dlg_.GetConnectionName()), "Mein Zugang");
  EXPECT_EQ(std::string(dlg_.GetUserName()), "kunde");
  EXPECT_EQ(std::string(dlg_.GetPassword()), "geheim");
  EXPECT_FALSE(dlg_.IsSavePassword());
  COleDateTime now = COleDateTime::GetCurrentTime();
  EXPECT_EQ(dlg_.GetActivationDay(), COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0));
}

TEST_F(NewEntryTest, ProviderWithoutLoginDisablesTheUserDataAndKeepsThePassword) {
  dlg_.SetNoLogin(TRUE);
  dlg_.SetConnectionName("Offen");
  bool enabled[4] = {true, true, true, true};
  bool saveChecked = false;
  ModalRun run = RunModal(kTitle, [&](HWND wnd) {
    int ids[4] = {IDC_NV_USER, IDC_NV_PASSWORD, IDC_NV_SAVE, IDC_NV_DAY};
    for (int i = 0; i < 4; ++i) enabled[i] = ::IsWindowEnabled(::GetDlgItem(wnd, ids[i]));
    saveChecked = ::IsDlgButtonChecked(wnd, IDC_NV_SAVE) == BST_CHECKED;
  }, [&] { return dlg_.DoModal(); });
  EXPECT_EQ(run.result, IDOK);
  ASSERT_TRUE(run.finished);
  for (bool e : enabled) EXPECT_FALSE(e);
  EXPECT_TRUE(saveChecked);
  EXPECT_TRUE(dlg_.IsSavePassword());
  EXPECT_EQ(std::string(dlg_.GetConnectionName()), "Offen");
}

}  // namespace
