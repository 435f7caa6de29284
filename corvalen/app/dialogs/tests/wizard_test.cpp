// The set-up wizard against the RAS stand-in's devices: pages, buttons, refusals and the settings
// it writes.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include "WzdSheetOption.h"
#include "dialog_script.h"
#include "rassim_fixture.h"

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
    ASSERT_EQ(controller_->GetRasConnection().Load(), 0);
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
    SetUp();
    StartController();
    CWzdSheetOption wizard;
    wizard.SetController(controller_.get());
    std::string b1, b2, b4, devices, tip;
    DialogScript script;
    script
        .Then(OnPage(wizard, 0, &b1, [&] {
          CComboBox& list = wizard.m_page1.m_devices;
          for (int i = 0; i < list.GetCount(); ++i) devices += std::string(list.GetLBText(i).c_str()) + ";";
          tip = ToolTipText(wizard.m_page1.m_hWnd, IDC_DEVICES);
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
    EXPECT_EQ(RunSetupWizard(nullptr, controller_.get()) , IDCANCEL) << "a second wizard is not this one";
    script = DialogScript();
    (void)wizard;
    break;
  }
}

}  // namespace
