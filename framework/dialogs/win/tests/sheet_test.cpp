// Property sheets and wizards in the library's modal loop.
#include <gtest/gtest.h>

#include <algorithm>

#include "test_resources.h"
#include "test_support.h"

namespace {

struct Script {
  std::vector<int> presses;  // PSBTN_ values, one per page activation
  size_t next = 0;
  std::vector<int> activations;
  std::vector<std::string> log;
};

class CScriptPage : public CPropertyPage {
 public:
  CScriptPage(UINT id, int index, Script& s, DWORD buttons) : CPropertyPage(id), index_(index), s_(s), buttons_(buttons) {}
  BOOL OnSetActive() override {
    s_.activations.push_back(index_);
    if (buttons_) GetSheet()->SetWizardButtons(buttons_);
    BOOL r = CPropertyPage::OnSetActive();
    if (s_.next < s_.presses.size()) GetSheet()->PressButton(s_.presses[s_.next++]);
    return r;
  }
  LRESULT OnWizardNext() override {
    HWND sheet = ::GetParent(m_hWnd);
    backEnabled = ::IsWindowEnabled(::GetDlgItem(sheet, ID_WIZBACK));
    s_.log.push_back("next" + std::to_string(index_));
    return CPropertyPage::OnWizardNext();
  }
  BOOL OnWizardFinish() override {
    s_.log.push_back("finish" + std::to_string(index_));
    return CPropertyPage::OnWizardFinish();
  }
  BOOL OnApply() override {
    s_.log.push_back("apply" + std::to_string(index_));
    return CPropertyPage::OnApply();
  }
  void OnReset() override { s_.log.push_back("reset" + std::to_string(index_)); }
  BOOL backEnabled = TRUE;

 protected:
  int index_;
  Script& s_;
  DWORD buttons_;
};

// Page 1: a device list filled by the sheet; Next is refused while nothing is selected.
class CDevicePage : public CScriptPage {
 public:
  using CScriptPage::CScriptPage;
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Control(dx, IDC_DEVICE, m_devices);
    DDX_CBString(dx, IDC_DEVICE, m_device);
  }
  LRESULT OnWizardNext() override {
    CScriptPage::OnWizardNext();
    if (m_devices.GetCurSel() < 0) {
      ++refused;
      m_devices.SetCurSel(0);  // the user chooses, and tries again
      GetSheet()->PressButton(PSBTN_NEXT);
      return -1;
    }
    UpdateData(TRUE);
    return 0;
  }
  CComboBox m_devices;
  CString m_device;
  int refused = 0;
};

// Page 2: the dial string, at most 10 characters.
class CDialPage : public CScriptPage {
 public:
  using CScriptPage::CScriptPage;
  void DoDataExchange(CDataExchange* dx) override {
    DDX_Text(dx, IDC_DIALSTRING, m_dial);
    DDV_MaxChars(dx, m_dial, 10);
  }
  BOOL OnSetActive() override {
    BOOL r = CScriptPage::OnSetActive();
    limit = static_cast<UINT>(SendDlgItemMessage(IDC_DIALSTRING, EM_GETLIMITTEXT));
    SetDlgItemText(IDC_DIALSTRING, "0i");
    return r;
  }
  CString m_dial = "";
  UINT limit = 0;
};

class CWizard : public CPropertySheet {
 public:
  CWizard(Script& s)
      : CPropertySheet(IDS_WIZARD),
        p1(IDD_PAGE1, 1, s, PSWIZB_NEXT),
        p2(IDD_PAGE2, 2, s, PSWIZB_BACK | PSWIZB_NEXT),
        p3(IDD_PAGE3, 3, s, PSWIZB_FINISH) {
    AddPage(&p1);
    AddPage(&p2);
    AddPage(&p3);
    SetWizardMode();
    m_psh.dwFlags |= PSH_WIZARDHASFINISH;
  }
  BOOL OnInitDialog() override {
    CPropertySheet::OnInitDialog();
    // The sheet fills its first page's list once both exist.
    CComboBox* list = static_cast<CComboBox*>(p1.GetDlgItem(IDC_DEVICE));
    list->AddString("Standardmodem");
    list->AddString("ISDN-Karte");
    caption = GetWindowText();
    return TRUE;
  }
  CDevicePage p1;
  CDialPage p2;
  CScriptPage p3;
  CString caption;
};

TEST(Wizard, NextNextFinishEndsWithFinishAndKeepsThePagesData) {
  Script s;
  s.presses = {PSBTN_NEXT, PSBTN_NEXT, PSBTN_FINISH};
  CWizard w(s);
  EXPECT_EQ(w.DoModal(), ID_WIZFINISH);
  EXPECT_EQ(w.p1.refused, 1) << "Next without a device stays on the page";
  EXPECT_EQ(w.p1.m_device, "Standardmodem");
  EXPECT_EQ(w.p2.m_dial, "0i");
  EXPECT_EQ(w.p2.limit, 10u);
  EXPECT_FALSE(w.p1.backEnabled);
  EXPECT_TRUE(w.p2.backEnabled);
  EXPECT_EQ(s.activations, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(s.log, (std::vector<std::string>{"next1", "next1", "next2", "finish3"}));
  EXPECT_EQ(w.m_hWnd, nullptr);
  EXPECT_EQ(w.p1.m_hWnd, nullptr);
  EXPECT_EQ(w.p1.m_devices.m_hWnd, nullptr);
}

TEST(Wizard, CancelEndsWithoutFinish) {
  Script s;
  s.presses = {PSBTN_NEXT, PSBTN_CANCEL};
  CWizard w(s);
  EXPECT_EQ(w.DoModal(), IDCANCEL);
  EXPECT_EQ(s.activations, (std::vector<int>{1, 2}));
  EXPECT_EQ(std::count(s.log.begin(), s.log.end(), std::string("finish3")), 0);
}

// A plain sheet: the start page chosen beforehand, OK applies the pages, command routing through
// the sheet's own message map, and a second run of the same objects.
class COptions : public CPropertySheet {
 public:
  COptions(Script& s) : CPropertySheet("Astrel Corvalen Optionen"), p1(IDD_PAGE1, 1, s, 0), p2(IDD_PAGE2, 2, s, 0) {
    AddPage(&p1);
    AddPage(&p2);
    m_psh.dwFlags |= PSH_NOAPPLYNOW;
  }
  const CMessageMap* GetMessageMap() const override {
    using M = CMessageMapOf<COptions>;
    static const CMessageMap map(CPropertySheet::GetMessageMap(), {M::Command(IDHELP, &COptions::OnHelp)});
    return &map;
  }
  BOOL OnInitDialog() override {
    CPropertySheet::OnInitDialog();
    ::SetDlgItemTextA(m_hWnd, IDCANCEL, "Abbrechen");
    cancelText = GetDlgItem(IDCANCEL)->GetWindowText();
    SendMessage(WM_COMMAND, MAKEWPARAM(IDHELP, BN_CLICKED), 0);
    return TRUE;
  }
  void OnHelp() { ++helps; }
  CScriptPage p1;
  CDialPage p2;
  CString cancelText;
  int helps = 0;
};

TEST(OptionsSheet, StartPageOkAndSecondRun) {
  Script s;
  s.presses = {PSBTN_OK};
  COptions sheet(s);
  sheet.SetActivePage(1);
  EXPECT_EQ(sheet.DoModal(), IDOK);
  EXPECT_EQ(s.activations, (std::vector<int>{2}));
  EXPECT_EQ(sheet.cancelText, "Abbrechen");
  EXPECT_EQ(sheet.helps, 1);
  EXPECT_EQ(sheet.p2.m_dial, "0i");
  EXPECT_EQ(s.log, (std::vector<std::string>{"apply2"}));

  s = Script();
  s.presses = {PSBTN_CANCEL};
  sheet.SetActivePage(0);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(s.activations, (std::vector<int>{1}));
  EXPECT_EQ(s.log, (std::vector<std::string>{"reset1"}));
}

}  // namespace

namespace {

// A sheet that ends itself while it is being initialised is never run.
class CEndingSheet : public CPropertySheet {
 public:
  CEndingSheet(Script& s) : CPropertySheet("Ende"), p1(IDD_PAGE1, 1, s, 0) { AddPage(&p1); }
  BOOL OnInitDialog() override {
    EndDialog(IDCANCEL);
    return TRUE;
  }
  CScriptPage p1;
};

TEST(OptionsSheet, EndedDuringInitialisation) {
  Script s;
  CEndingSheet sheet(s);
  EXPECT_EQ(sheet.DoModal(), IDCANCEL);
  EXPECT_EQ(sheet.m_hWnd, nullptr);
  EXPECT_EQ(sheet.p1.m_hWnd, nullptr);
}

}  // namespace
