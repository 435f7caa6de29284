#include "WzdSheetOption.h"

namespace {
// Dialogs of Corvalen write an empty text as one blank.
CString NonEmpty(const CString& v) { return v.IsEmpty() ? CString(" ") : v; }
const int kMaxDialString = 10;
}  // namespace

BOOL CWzdPage::OnInitDialog() {
  BOOL r = CPropertyPage::OnInitDialog();
  m_tip.Create(this);
  m_tip.Activate(TRUE);
  m_tip.AddToolsForChildren(this);
  return r;
}

BOOL CWzdPage::PreTranslateMessage(MSG* msg) {
  if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

CWzdSheetOption* CWzdPage::GetWizard() const { return static_cast<CWzdSheetOption*>(GetSheet()); }

const CMessageMap* CWzdPageOption1::GetMessageMap() const {
  using M = CMessageMapOf<CWzdPageOption1>;
  static const CMessageMap map(CWzdPage::GetMessageMap(),
                               {M::Control(CBN_SELCHANGE, IDC_DEVICES, &CWzdPageOption1::OnSelchangeDevices)});
  return &map;
}

void CWzdPageOption1::DoDataExchange(CDataExchange* dx) { DDX_Control(dx, IDC_DEVICES, m_devices); }

BOOL CWzdPageOption1::OnSetActive() {
  GetSheet()->SetWizardButtons(PSWIZB_NEXT | PSWIZB_DISABLEDFINISH);
  return CWzdPage::OnSetActive();
}

void CWzdPageOption1::OnSelchangeDevices() {
  int sel = m_devices.GetCurSel();
  CConnectionController* c = GetWizard() ? GetWizard()->GetController() : nullptr;
  if (sel < 0 || !c) return;
  c->GetDevice(m_deviceName, m_deviceType, static_cast<int>(m_devices.GetItemData(sel)));
}

LRESULT CWzdPageOption1::OnWizardNext() {
  if (m_devices.GetCurSel() < 0) {
    AfxMessageBox(5510, MB_OK | MB_ICONWARNING, 138);
    return -1;
  }
  return CWzdPage::OnWizardNext();
}

void CWzdPageOption2::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_DIALSTRING, m_dialString);
  DDV_MaxChars(dx, m_dialString, kMaxDialString);
}

BOOL CWzdPageOption2::OnSetActive() {
  GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT | PSWIZB_DISABLEDFINISH);
  return CWzdPage::OnSetActive();
}

LRESULT CWzdPageOption2::OnWizardNext() {
  if (!UpdateData(TRUE)) return -1;
  return CWzdPage::OnWizardNext();
}

BOOL CWzdPageOption3::OnInitDialog() {
  CWzdPage::OnInitDialog();
  auto* list = static_cast<CListBox*>(GetDlgItem(IDC_UPDATE_LIST));
  list->AddString(AfxLoadString(126));
  list->AddString(AfxLoadString(5504));
  list->SetCurSel(0);
  return TRUE;
}

BOOL CWzdPageOption3::OnSetActive() {
  GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_NEXT | PSWIZB_DISABLEDFINISH);
  return CWzdPage::OnSetActive();
}

LRESULT CWzdPageOption3::OnWizardNext() {
  int sel = static_cast<int>(SendDlgItemMessage(IDC_UPDATE_LIST, LB_GETCURSEL));
  m_updateFrequency = sel < 0 ? 0 : sel;
  return CWzdPage::OnWizardNext();
}

const CMessageMap* CWzdPageOption4::GetMessageMap() const {
  using M = CMessageMapOf<CWzdPageOption4>;
  static const CMessageMap map(CWzdPage::GetMessageMap(), {M::Clicked(IDC_TAKEOVER, &CWzdPageOption4::OnUebernahme)});
  return &map;
}

BOOL CWzdPageOption4::OnInitDialog() {
  CWzdPage::OnInitDialog();
  GetDlgItem(IDC_TAKEOVER)->EnableWindow(CWzdSheetOption::TakeOver() ? TRUE : FALSE);
  return TRUE;
}

BOOL CWzdPageOption4::OnSetActive() {
  // Back stays as page 2 left it (enabled); Next gives way to Finish.
  GetSheet()->SetWizardButtons(PSWIZB_BACK | PSWIZB_FINISH);
  return CWzdPage::OnSetActive();
}

BOOL CWzdPageOption4::OnWizardFinish() {
  if (!UpdateData(TRUE)) return FALSE;
  return CWzdPage::OnWizardFinish();
}

void CWzdPageOption4::OnUebernahme() {
  auto& run = CWzdSheetOption::TakeOver();
  if (run) run(this, GetWizard() ? GetWizard()->GetController() : nullptr);
}

CWzdSheetOption::TakeOverDialog& CWzdSheetOption::TakeOver() {
  static TakeOverDialog run;
  return run;
}

CWzdSheetOption::CWzdSheetOption(CWnd* parent) : CPropertySheet(123u, parent) {
  SetWizardMode();
  m_psh.dwFlags |= PSH_WIZARDHASFINISH;
  m_psh.dwFlags &= ~static_cast<DWORD>(PSH_HASHELP);
  for (CPropertyPage* p : {static_cast<CPropertyPage*>(&m_page1), static_cast<CPropertyPage*>(&m_page2),
                           static_cast<CPropertyPage*>(&m_page3), static_cast<CPropertyPage*>(&m_page4)})
    p->m_psp.dwFlags &= ~static_cast<DWORD>(PSP_HASHELP);
  AddPage(&m_page1);
  AddPage(&m_page2);
  AddPage(&m_page4);
}

BOOL CWzdSheetOption::OnInitDialog() {
  BOOL r = CPropertySheet::OnInitDialog();
  if (!m_controller || !m_page1.m_devices.m_hWnd) return r;
  CStringArray& names = m_controller->GetDeviceNames();
  for (int i = 0; i < names.GetSize(); ++i) {
    int item = m_page1.m_devices.AddString(names[i]);
    if (item >= 0) m_page1.m_devices.SetItemData(item, static_cast<DWORD_PTR>(i));
  }
  if (m_page1.m_devices.GetCount() > 0) {
    m_page1.m_devices.SetCurSel(0);
    m_controller->GetDevice(m_page1.m_deviceName, m_page1.m_deviceType,
                            static_cast<int>(m_page1.m_devices.GetItemData(0)));
  }
  return r;
}

void CWzdSheetOption::SaveSettings() {
  CSettings* s = m_controller ? m_controller->GetSettings() : nullptr;
  if (!s) return;
  const CString& dial = m_page2.m_dialString;
  s->SetDefaultDialString(NonEmpty(dial));
  CString type = m_page1.m_deviceType;
  if (dial.Find('i') >= 0 || dial.Find('I') >= 0) type = "isdn";
  if (dial.Find('m') >= 0 || dial.Find('M') >= 0) type = "modem";
  s->SetDefaultDFUDeviceTyp(NonEmpty(type));
  s->SetDefaultDFUDeviceName(NonEmpty(m_page1.m_deviceName));
  s->SetUpdateFrequence("0");
}

INT_PTR RunSetupWizard(CWnd* parent, CConnectionController* controller) {
  CWzdSheetOption wizard(parent);
  wizard.SetController(controller);
  INT_PTR r = wizard.DoModal();
  if (r == ID_WIZFINISH && controller) {
    wizard.SaveSettings();
    controller->UpdateOwnEntry();
  }
  return r;
}
