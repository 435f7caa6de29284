// The set-up wizard against the RAS stand-in's devices: pages, buttons, refusals and the settings
// it writes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "WzdSheetOption.h"
#include "dialog_script.h"
#include "rassim_fixture.h"
#include "TermsInfoDialogs.h"

namespace {

class WizardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen");
    ras_.Set("Devices", "modem,Standardmodem;isdn,AVM ISDN-Controller");
  }
  void StartController() {
    settings_ = std::make_unique<CSettings>();
    controller_ = std::make_unique<CConnectionController>(settings_.get(), settings_->GetProvider(), &status_,
                                                          nullptr, nullptr);
    ASSERT_EQ(controller_->GetRasAccess().Load(), 0);
  }
  // The wizard's active page index, -1 while it has none.
  static int ActivePage(CWzdSheetOption& w) { return w.m_hWnd ? w.GetActiveIndex() : -1; }
  static bool ButtonEnabled(CWzdSheetOption& w, int id) { return ::IsWindowEnabled(::GetDlgItem(w.m_hWnd, id)) != 0; }
  // Waits for the page and reads the state of Back, Next and Finish as "BNF" ('-' disabled).
  static DialogScript::Step OnPage(CWzdSheetOption& w, int index, std::string* buttons,
                                   std::function<void()> act) {
    return [&w, index, buttons, act]() {
      if (ActivePage(w) != index) return false;
      if (buttons) {
        *buttons = std::string(ButtonEnabled(w, ID_WIZBACK) ? "B" : "-") + (ButtonEnabled(w, ID_WIZNEXT) ? "N" : "-") +
                   (ButtonEnabled(w, ID_WIZFINISH) && ::IsWindowVisible(::GetDlgItem(w.m_hWnd, ID_WIZFINISH)) ? "F" : "-");
      }
      act();
      return true;
    };
  }
  // A value as the registry holds it.
  static std::string Raw(const char* name) {
    char buf[256] = {};
    DWORD size = sizeof buf;
    if (::SHGetValueA(HKEY_CURRENT_USER, "Software\\ASTREL\\Corvalen", name, nullptr, buf, &size) != ERROR_SUCCESS)
      return "<missing>";
    return buf;
  }
  // The settings as a fresh settings object reads them.
  static std::string Stored(CString (CSettings::*get)()) {
    CSettings s;
    return (s.*get)().c_str();
  }

  RasSimFixture ras_;
  CStatusHelper status_;
  std::unique_ptr<CSettings> settings_;
  std::unique_ptr<CConnectionController> controller_;
};

// Runs the wizard as the controller does: settings saved after Finish only.
INT_PTR RunWizard(CWzdSheetOption& wizard) {
  INT_PTR r = wizard.DoModal();
  if (r == ID_WIZFINISH) wizard.SaveSettings();
  return r;
}

TEST_F(WizardTest, FinishWritesDeviceAndPrefixWithTheLineTypeOfThePrefix) {
  struct Case {
    int device;  // -1: page 1 untouched
    const char* prefix;
    const char *dialString, *type, *name;
  } cases[] = {
      {-1, "0i", "0i", "isdn", "Standardmodem"},
      {1, "0m", "0m", "modem", "AVM ISDN-Controller"},
      {1, "", " ", "isdn", "AVM ISDN-Controller"},
      {-1, "", " ", "modem", "Standardmodem"},
      {-1, "0", "0", "modem", "Standardmodem"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.prefix) + " device " + std::to_string(c.device));
    SetUp();
    StartController();
    CWzdSheetOption wizard;
    wizard.SetController(controller_.get());
    std::string b1, b2, b4, devices, tip, page1Title;
    DialogScript script;
    script
        .Then(OnPage(wizard, 0, &b1, [&] {
          CComboBox& list = wizard.m_page1.m_devices;
          for (int i = 0; i < list.GetCount(); ++i) devices += std::string(list.GetLBText(i).c_str()) + ";";
          tip = ToolTipText(wizard.m_page1.m_hWnd, IDC_DEVICES);
          page1Title = WindowText(wizard.m_hWnd);
          if (c.device >= 0) {
            list.SetCurSel(c.device);
            ::SendMessageA(wizard.m_page1.m_hWnd, WM_COMMAND, MAKEWPARAM(IDC_DEVICES, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(list.m_hWnd));
          }
          wizard.PressButton(PSBTN_NEXT);
        }))
        .Then(OnPage(wizard, 1, &b2, [&] {
          ::SetDlgItemTextA(wizard.m_page2.m_hWnd, IDC_DIALSTRING, c.prefix);
          wizard.PressButton(PSBTN_NEXT);
        }))
        .Then(OnPage(wizard, 2, &b4, [&] { wizard.PressButton(PSBTN_FINISH); }));
    script.Start();
    EXPECT_EQ(RunWizard(wizard), ID_WIZFINISH);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(devices, "Standardmodem;AVM ISDN-Controller;");
    EXPECT_EQ(tip, std::string(AfxLoadString(IDC_DEVICES).c_str()));
    EXPECT_EQ(b1, "-N-");
    EXPECT_EQ(b2, "BN-");
    EXPECT_EQ(b4, "B-F");
    EXPECT_EQ(Raw("DefaultDialString"), c.dialString);
    EXPECT_EQ(Stored(&CSettings::GetDefaultDFUDeviceTyp), c.type);
    EXPECT_EQ(Stored(&CSettings::GetDefaultDFUDeviceName), c.name);
    EXPECT_EQ(Stored(&CSettings::GetUpdateFrequence), "0");
  }
}

TEST_F(WizardTest, CancelWritesNothing) {
  StartController();
  CWzdSheetOption wizard;
  wizard.SetController(controller_.get());
  DialogScript script;
  script.Then(OnPage(wizard, 0, nullptr, [&] { wizard.PressButton(PSBTN_NEXT); }))
      .Then(OnPage(wizard, 1, nullptr, [&] {
        ::SetDlgItemTextA(wizard.m_page2.m_hWnd, IDC_DIALSTRING, "0i");
        wizard.PressButton(PSBTN_CANCEL);
      }));
  script.Start();
  EXPECT_EQ(RunWizard(wizard), IDCANCEL);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(Stored(&CSettings::GetDefaultDFUDeviceName), "DEFAULT");
  EXPECT_EQ(Stored(&CSettings::GetUpdateFrequence), "");
}

TEST_F(WizardTest, WithoutDevicesThePageRefusesToGoOn) {
  ras_.Set("Devices", "none");
  StartController();
  CWzdSheetOption wizard;
  wizard.SetController(controller_.get());
  std::string boxText;
  int pageAfter = -2;
  DialogScript script;
  script.Then(OnPage(wizard, 0, nullptr, [&] { wizard.PressButton(PSBTN_NEXT); }))
      .Then([&] {
        HWND box = FindMessageBox("Astrel Corvalen 2.0");
        if (!box) return false;
        boxText = MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      })
      .Then([&] {
        if (FindMessageBox("Astrel Corvalen 2.0")) return false;
        pageAfter = ActivePage(wizard);
        wizard.PressButton(PSBTN_CANCEL);
        return true;
      });
  script.Start();
  EXPECT_EQ(RunWizard(wizard), IDCANCEL);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(boxText, "Bitte tragen Sie ein g\xFCltiges DF\xDC-Ger\xE4t ein!");
  EXPECT_EQ(pageAfter, 0);
  EXPECT_EQ(Stored(&CSettings::GetDefaultDFUDeviceName), "DEFAULT");
}

TEST_F(WizardTest, APrefixOfElevenCharactersIsRefused) {
  StartController();
  CWzdSheetOption wizard;
  wizard.SetController(controller_.get());
  std::string boxText;
  int limit = 0, pageAfter = -2;
  DialogScript script;
  script.Then(OnPage(wizard, 0, nullptr, [&] { wizard.PressButton(PSBTN_NEXT); }))
      .Then(OnPage(wizard, 1, nullptr, [&] {
        limit = static_cast<int>(::SendDlgItemMessageA(wizard.m_page2.m_hWnd, IDC_DIALSTRING, EM_GETLIMITTEXT, 0, 0));
        ::SetDlgItemTextA(wizard.m_page2.m_hWnd, IDC_DIALSTRING, "01234567890");
        wizard.PressButton(PSBTN_NEXT);
      }))
      .Then([&] {
        HWND box = FindOtherDialog(wizard.m_hWnd);
        if (!box) return false;
        boxText = MessageBoxText(box);
        ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        return true;
      })
      .Then([&] {
        if (FindOtherDialog(wizard.m_hWnd)) return false;
        pageAfter = ActivePage(wizard);
        wizard.PressButton(PSBTN_CANCEL);
        return true;
      });
  script.Start();
  EXPECT_EQ(RunWizard(wizard), IDCANCEL);
  EXPECT_TRUE(script.Finished());
  EXPECT_EQ(limit, 10);
  EXPECT_FALSE(boxText.empty());
  EXPECT_EQ(pageAfter, 1);
}

TEST_F(WizardTest, TakeOverButtonRunsTheTakeOverDialogWithTheController) {
  StartController();
  CConnectionController* seen = nullptr;
  CWzdSheetOption::SetTakeOverDialog([&](CWnd*, CConnectionController* c) { seen = c; });
  CWzdSheetOption wizard;
  wizard.SetController(controller_.get());
  bool enabled = false;
  DialogScript script;
  script.Then(OnPage(wizard, 0, nullptr, [&] { wizard.PressButton(PSBTN_NEXT); }))
      .Then(OnPage(wizard, 1, nullptr, [&] { wizard.PressButton(PSBTN_NEXT); }))
      .Then(OnPage(wizard, 2, nullptr, [&] {
        enabled = ::IsWindowEnabled(::GetDlgItem(wizard.m_page4.m_hWnd, IDC_TAKEOVER));
        ::SendMessageA(::GetDlgItem(wizard.m_page4.m_hWnd, IDC_TAKEOVER), BM_CLICK, 0, 0);
        wizard.PressButton(PSBTN_CANCEL);
      }));
  script.Start();
  EXPECT_EQ(RunWizard(wizard), IDCANCEL);
  CWzdSheetOption::SetTakeOverDialog(nullptr);
  EXPECT_TRUE(script.Finished());
  EXPECT_TRUE(enabled);
  EXPECT_EQ(seen, controller_.get());
}

}  // namespace
