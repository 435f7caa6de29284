// The first start as the connection controller runs it with these dialogs: the terms, the own
// phone-book entry, the set-up wizard with the RAS stand-in's devices.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "AccountDialogs.h"
#include "TermsInfoDialogs.h"
#include "WzdSheetOption.h"
#include "dialog_script.h"
#include "rassim_fixture.h"

namespace {

// The controller's dialogs as the program plugs them in.
class CDialogsForController : public CControllerServices {
 public:
  BOOL ShowTerms(HWND parent) override { return RunTermsDialog(CWnd::FromHandle(parent)); }
  INT_PTR RunSetupWizard(HWND parent, CConnectionController& c) override {
    return ::RunSetupWizard(CWnd::FromHandle(parent), &c);
  }
  BOOL ShowFreeMinutes(HWND parent, CConnectionController& c, const CString& id, const CString& entry) override {
    return RunFreeMinutesDialog(CWnd::FromHandle(parent), c, id, entry);
  }
};

class FirstStartTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
    ras_.Set("Devices", "modem,Standardmodem;isdn,AVM ISDN-Controller");
    char tmp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, tmp);
    ::SHSetValueA(HKEY_LOCAL_MACHINE, "Software\\ASTREL\\Corvalen2.0", "PATH", REG_SZ, tmp,
                  static_cast<DWORD>(strlen(tmp) + 1));
    controller_ = std::make_unique<CConnectionController>(&settings_, settings_.GetProvider(), &status_, nullptr,
                                                          &dialogs_);
  }
  static std::string User(const char* name) {
    char buf[256] = {};
    DWORD size = sizeof buf;
    if (::SHGetValueA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen", name, nullptr, buf, &size) != ERROR_SUCCESS)
      return "<missing>";
    return buf;
  }
  // Answers the terms dialog with a choice.
  static DialogScript::Step AnswerTerms(int choice) {
    return [choice] {
      HWND dlg = FindThreadWindow("Astrel Corvalen: Allgemeine Geschäftsbedingungen");
      if (!dlg) return false;
      ::SendMessageA(::GetDlgItem(dlg, choice), BM_CLICK, 0, 0);
      PostClick(dlg, IDOK);
      return true;
    };
  }

  RasSimFixture ras_;
  CSettings settings_;
  CStatusHelper status_;
  CDialogsForController dialogs_;
  std::unique_ptr<CConnectionController> controller_;
};

TEST_F(FirstStartTest, RefusedTermsEndTheStartAndWriteNothing) {
  DialogScript script;
  script.Then(AnswerTerms(IDC_AGB_NO));
  script.Start();
  EXPECT_FALSE(controller_->StartupCheck());
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(User("AGB"), "<missing>");
  EXPECT_EQ(ras_.PhonebookValue("Corvalen2000", "DeviceName"), "<missing>");
}

TEST_F(FirstStartTest, AcceptedTermsThenTheWizardSetsUpDeviceAndOwnEntry) {
  DialogScript terms;
  terms.Then(AnswerTerms(IDC_AGB_YES));
  terms.Start();
  ASSERT_TRUE(controller_->StartupCheck());
  EXPECT_TRUE(terms.Finished());
  EXPECT_EQ(User("AGB"), "1");
  // The entry is made before the wizard, with the first device.
  EXPECT_EQ(ras_.PhonebookValue("Corvalen2000", "DeviceName"), "Standardmodem");
  ASSERT_EQ(settings_.GetDefaultDFUDeviceName(), CString("DEFAULT"));

  // The wizard: the ISDN card and an outside line with 0.
  DialogScript wizard;
  auto page = [](int index) {
    HWND sheet = FindThreadWindow("Astrel Corvalen Einstellungen - Modem");
    if (!sheet) sheet = FindThreadWindow("Astrel Corvalen Einstellungen - Amtsholung");
    if (!sheet) sheet = FindThreadWindow("Astrel Corvalen Einstellungen - Übernahme von DFÜ-Einträgen");
    if (!sheet || static_cast<int>(::SendMessageA(sheet, PSM_HWNDTOINDEX,
                                                  ::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0), 0)) != index)
      return static_cast<HWND>(nullptr);
    return sheet;
  };
  wizard
      .Then([&] {
        HWND sheet = page(0);
        if (!sheet) return false;
        HWND pg = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        ::SendDlgItemMessageA(pg, IDC_DEVICES, CB_SETCURSEL, 1, 0);
        ::SendMessageA(pg, WM_COMMAND, MAKEWPARAM(IDC_DEVICES, CBN_SELCHANGE),
                       reinterpret_cast<LPARAM>(::GetDlgItem(pg, IDC_DEVICES)));
        ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        return true;
      })
      .Then([&] {
        HWND sheet = page(1);
        if (!sheet) return false;
        HWND pg = reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
        ::SetDlgItemTextA(pg, IDC_DIALSTRING, "0");
        ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_NEXT, 0);
        return true;
      })
      .Then([&] {
        HWND sheet = page(2);
        if (!sheet) return false;
        ::PostMessageA(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
        return true;
      });
  wizard.Start();
  EXPECT_TRUE(controller_->RunSetupWizard());
  EXPECT_TRUE(wizard.Finished());
  EXPECT_EQ(User("DefaultDFUDeviceName"), "AVM ISDN-Controller");
  EXPECT_EQ(User("DefaultDFUDeviceTyp"), "isdn");
  EXPECT_EQ(User("DefaultDialString"), "0");
  EXPECT_EQ(User("UpdateFrequence"), "0");
  // The own entry now dials through the chosen device.
  EXPECT_EQ(ras_.PhonebookValue("Corvalen2000", "DeviceName"), "AVM ISDN-Controller");
}

}  // namespace
