#include "Options.h"

#include "AccountDialogs.h"
#include "CostLog.h"
#include "MainWindowMessages.h"
#include "TarifClock.h"
#include "TarifTexts.h"
#include "TipMarkup.h"
#include "TippDesTages.h"
#include "Updates.h"

const char kCheapestProvider[] = "- Günstigstem Provider -";

namespace {
// Settings of Corvalen write an empty text as one blank.
CString NonEmpty(const CString& v) { return v.IsEmpty() ? CString(" ") : v; }
const int kMaxDialString = 10;

// The ids of the "Standard" page.
enum {
  kIdUpdateNow = 1049, kIdStampDialer = 1048, kIdStampTarif = 1047, kIdDevice = 5537,
  kIdConnection = 1079, kIdFrequency = 1020, kIdDialString = 1068, kIdAutomatic = 1121,
  kIdMainConnect = 1050, kIdMainDisconnect = 1052
};
// "Erweitert": the dialog buttons, the expert check box and the five expert controls.
const int kErweitertButtons[CPpg_Erweitert::kDialogCount] = {1000, 1002, 1005, 1001, 1004};
const int kExpertControls[] = {1080, 1082, 1081, 1001, 1004};
const int kExpertCheck = 1083;
// "Kosten": the totals, the bill buttons (same order), the rest.
const int kTotals[4] = {1009, 1010, 1011, 1012};
const int kBillButtons[4] = {1002, 1004, 1006, 1007};
enum { kIdUserBill = 1000, kIdSorted = 1018, kIdFreeProvider = 1015, kIdFreeDetails = 1016 };

void SetItemText(CWnd* page, int id, const CString& text) { page->SetDlgItemText(id, text); }
void Enable(CWnd* page, int id, BOOL on) {
  if (CWnd* w = page->GetDlgItem(id)) w->EnableWindow(on);
}
}  // namespace

// ---------------------------------------------------------------------------------------------

CString FormatUpdateStamp(CString stamp) {
  if (stamp.IsEmpty()) return stamp;
  int dash1 = stamp.Find('-');
  if (dash1 < 0) return stamp;
  int dash2 = stamp.Find('-', dash1 + 1);
  if (dash2 < 0) return stamp;
  CString year = stamp.Left(dash1);
  CString month = stamp.Mid(dash1 + 1, dash2 - dash1 - 1);
  int blank = stamp.Find(' ', dash2 + 1);
  CString day = blank < 0 ? stamp.Mid(dash2 + 1) : stamp.Mid(dash2 + 1, blank - dash2 - 1);
  CString rest = blank < 0 ? CString() : stamp.Mid(blank);
  return day + "." + month + "." + year + rest;
}

CString LineTypeOf(const CString& dialString, const CString& type) {
  CString r = type;
  if (dialString.Find('i') >= 0 || dialString.Find('I') >= 0) r = "isdn";
  if (dialString.Find('m') >= 0 || dialString.Find('M') >= 0) r = "modem";
  return r;
}

// ---------------------------------------------------------------------------------------------

BOOL COptionsPage::PreTranslateMessage(MSG* msg) {
  if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
  return CPropertyPage::PreTranslateMessage(msg);
}

void COptionsPage::InitToolTips() {
  if (!m_tip.m_hWnd) {
    m_tip.Create(this);
    m_tip.Activate(TRUE);
  }
  m_tip.AddToolsForChildren(this);
}

CPsh_Sheet* COptionsPage::GetOptions() const { return static_cast<CPsh_Sheet*>(GetSheet()); }

// ---------------------------------------------------------------------------------------------

const CMessageMap* CPpg_Optionen::GetMessageMap() const {
  using M = CMessageMapOf<CPpg_Optionen>;
  static const CMessageMap map(COptionsPage::GetMessageMap(), {
      M::Control(CBN_SELCHANGE, kIdDevice, &CPpg_Optionen::OnSelchangeDevice),
      M::Control(CBN_SELCHANGE, kIdConnection, &CPpg_Optionen::OnSelchangeConnection),
      M::Control(CBN_SELCHANGE, kIdFrequency, &CPpg_Optionen::OnSelchangeFrequency),
      M::Clicked(kIdUpdateNow, &CPpg_Optionen::OnTarifeAktualisieren)});
  return &map;
}

void CPpg_Optionen::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, kIdDialString, m_dialString);
  DDV_MaxChars(dx, m_dialString, kMaxDialString);
  DDX_Check(dx, kIdAutomatic, m_automatic);
}

BOOL CPpg_Optionen::OnInitDialog() {
  CPsh_Sheet* sheet = GetOptions();
  CSettings* settings = sheet->GetSettings();
  m_made = TRUE;
  InitToolTips();
  m_dialString = settings->GetDefaultDialString();
  m_dialString.Trim();
  m_automatic = settings->GetAutomatic() == "1" ? 1 : 0;
  m_frequency = atoi(settings->GetUpdateFrequence());
  if (m_frequency < 0 || m_frequency > 1) m_frequency = 0;
  COptionsPage::OnInitDialog();  // data exchange into the controls

  auto* devices = static_cast<CComboBox*>(GetDlgItem(kIdDevice));
  devices->ResetContent();
  CStringArray& names = sheet->GetController()->GetDeviceNames();
  for (int i = 0; i < names.GetSize(); ++i) {
    int item = devices->AddString(names.GetAt(i));
    devices->SetItemData(item, static_cast<DWORD_PTR>(i));
  }
  m_deviceName = settings->GetDefaultDFUDeviceName();
  m_deviceType = settings->GetDefaultDFUDeviceTyp();
  int sel = m_deviceName.IsEmpty() ? CB_ERR : devices->FindString(-1, m_deviceName);
  devices->SetCurSel(sel);
  m_initialDevice = m_currentDevice = sel;

  m_defaultConnection = settings->GetDefaultConnection();
  FillConnections();

  auto* frequency = static_cast<CComboBox*>(GetDlgItem(kIdFrequency));
  frequency->ResetContent();
  frequency->AddString(AfxLoadString(126));
  frequency->AddString(AfxLoadString(5504));
  frequency->SetCurSel(m_frequency);

  ShowUpdateStamps();
  return TRUE;
}

void CPpg_Optionen::FillConnections() {
  CTarifManager* manager = GetOptions()->GetTarifManager();
  auto* connections = static_cast<CComboBox*>(GetDlgItem(kIdConnection));
  connections->ResetContent();
  connections->SetItemData(connections->AddString(kCheapestProvider), 0);
  const CProviderArray& ranking = manager->GetRanking();
  for (int i = 0; i < ranking.GetSize(); ++i) {
    CProvider* p = ranking.GetAt(i);
    int item = connections->AddString(p->GetName());
    connections->SetItemData(item, reinterpret_cast<DWORD_PTR>(p));
  }
  CProvider* current = manager->FindProvider(m_defaultConnection);
  int conn = current ? connections->FindStringExact(-1, current->GetName()) : CB_ERR;
  if (conn == CB_ERR) conn = 0;
  connections->SetCurSel(conn);
}

void CPpg_Optionen::ShowUpdateStamps() {
  CSettings* settings = GetOptions()->GetSettings();
  SetItemText(this, kIdStampTarif, FormatUpdateStamp(settings->GetCurrentTarif()));
  SetItemText(this, kIdStampDialer, FormatUpdateStamp(settings->GetCurrentDialer()));
  Enable(this, kIdUpdateNow, m_frequency == 1);
}

void CPpg_Optionen::OnSelchangeDevice() {
  auto* devices = static_cast<CComboBox*>(GetDlgItem(kIdDevice));
  int sel = devices->GetCurSel();
  if (sel < 0) return;
  GetOptions()->GetController()->GetDevice(m_deviceName, m_deviceType, static_cast<int>(devices->GetItemData(sel)));
  m_currentDevice = sel;
}

void CPpg_Optionen::OnSelchangeConnection() {
  auto* connections = static_cast<CComboBox*>(GetDlgItem(kIdConnection));
  int sel = connections->GetCurSel();
  auto* p = sel > 0 ? reinterpret_cast<CProvider*>(connections->GetItemData(sel)) : nullptr;
  m_defaultConnection = p ? p->GetId() : CString(kCheapestProvider);
}

void CPpg_Optionen::OnSelchangeFrequency() {
  int sel = static_cast<CComboBox*>(GetDlgItem(kIdFrequency))->GetCurSel();
  m_frequency = sel < 0 ? 0 : sel;
  Enable(this, kIdUpdateNow, m_frequency == 1);
}

void CPpg_Optionen::OnTarifeAktualisieren() {
  CPsh_Sheet* sheet = GetOptions();
  CConnectionController* c = sheet->GetController();
  HWND main = c->GetMainWindow();
  CTarifUpdateCheck check(c);
  BOOL connectedHere = FALSE;
  if (!c->IsOnline()) {
    int answer = ::MessageBoxA(main ? main : m_hWnd,
        "Sie sind aktuell nicht mit dem Internet verbunden!\nSoll der Corvalen sie für den Zeitraum der\n"
        "Tarifaktualisierung automatisch verbinden ?",
        AfxLoadString(kIdsTitle), MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
      c->SetUpdateConnection(TRUE);
      const CProviderArray& ranking = sheet->GetTarifManager()->GetRanking();
      if (ranking.GetSize() > 0) c->SetCurrentProvider(ranking.GetAt(0));
      if (main) ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(kIdMainConnect, BN_CLICKED), 0);
      connectedHere = TRUE;
    }
  }
  if (c->IsOnline() && check.RunDownload()) {
    // The download reloaded the tariff database: the providers the lists pointed to are gone.
    FillConnections();
    if (sheet->m_kosten.m_hWnd) sheet->m_kosten.FillFreeProviders();
    c->GetServices().LoadAssignments(sheet->GetTarifManager());
    sheet->GetSettings()->SetCurrentTarif(sheet->GetSettings()->GetTarifDate());
    // The server's note on the new tariffs, when it sent one.
    if (TipHasText(sheet->GetSettings()->GetTarifUpdateTip())) {
      CDlg_TippDesTages tip(this);
      tip.SetText(sheet->GetSettings()->GetTarifUpdateTip());
      tip.Show();
    }
    if (main) ::SendMessageA(main, kMsgRefreshProviders, 0, 1);
  }
  if (connectedHere) {
    if (main) ::SendMessageA(main, WM_COMMAND, MAKEWPARAM(kIdMainDisconnect, BN_CLICKED), 0);
    c->SetUpdateConnection(FALSE);
  }
  ShowUpdateStamps();
}

// ---------------------------------------------------------------------------------------------

CPpg_Erweitert::Dialog& CPpg_Erweitert::DialogOf(int which) {
  static Dialog dialogs[kDialogCount];
  return dialogs[which];
}

void CPpg_Erweitert::SetDialog(int which, Dialog run) {
  if (which >= 0 && which < kDialogCount) DialogOf(which) = std::move(run);
}

const CMessageMap* CPpg_Erweitert::GetMessageMap() const {
  using M = CMessageMapOf<CPpg_Erweitert>;
  static const CMessageMap map(COptionsPage::GetMessageMap(), {
      M::Clicked(kErweitertButtons[kProviderFilter], &CPpg_Erweitert::OnFilter),
      M::Clicked(kErweitertButtons[kMailbox], &CPpg_Erweitert::OnMailbox),
      M::Clicked(kErweitertButtons[kLogFiles], &CPpg_Erweitert::OnLogFiles),
      M::Clicked(kErweitertButtons[kDfueSettings], &CPpg_Erweitert::OnDfueSettings),
      M::Clicked(kErweitertButtons[kTakeOver], &CPpg_Erweitert::OnTakeOver),
      M::Clicked(kExpertCheck, &CPpg_Erweitert::OnExpertenmodus)});
  return &map;
}

void CPpg_Erweitert::Run(int which) {
  CPsh_Sheet* sheet = GetOptions();
  if (DialogOf(which)) DialogOf(which)(this, sheet->GetController(), sheet->GetTarifManager());
}

BOOL CPpg_Erweitert::OnInitDialog() {
  COptionsPage::OnInitDialog();
  InitToolTips();
  // 1000 is the help button elsewhere; here it opens the provider filter.
  m_tip.UpdateTipText(AfxLoadString(5589), GetDlgItem(kErweitertButtons[kProviderFilter]));
  CheckDlgButton(kExpertCheck, m_expertMode ? BST_CHECKED : BST_UNCHECKED);
  BOOL online = GetOptions()->GetController()->IsOnline();
  Enable(this, kExpertCheck, !online);
  for (int id : kExpertControls) Enable(this, id, !online);
  for (int i = 0; i < kDialogCount; ++i) {
    if (!DialogOf(i)) Enable(this, kErweitertButtons[i], FALSE);
  }
  ShowExpertControls(m_expertMode);
  return TRUE;
}

void CPpg_Erweitert::ShowExpertControls(BOOL show) {
  for (int id : kExpertControls) {
    if (CWnd* w = GetDlgItem(id)) w->ShowWindow(show ? SW_SHOW : SW_HIDE);
  }
}

void CPpg_Erweitert::OnExpertenmodus() {
  m_expertMode = IsDlgButtonChecked(kExpertCheck) ? 1 : 0;
  if (!m_expertMode) {
    ShowExpertControls(FALSE);
    return;
  }
  if (::MessageBoxA(m_hWnd, AfxLoadString(5122), AfxLoadString(kIdsTitle), MB_YESNO | MB_ICONQUESTION) == IDYES) {
    ShowExpertControls(TRUE);
  } else {
    m_expertMode = 0;
    CheckDlgButton(kExpertCheck, BST_UNCHECKED);
  }
}

// ---------------------------------------------------------------------------------------------

CPpg_Kosten::UserBill& CPpg_Kosten::UserBillDialog() {
  static UserBill run;
  return run;
}

void CPpg_Kosten::SetUserBillDialog(UserBill run) { UserBillDialog() = std::move(run); }

const CMessageMap* CPpg_Kosten::GetMessageMap() const {
  using M = CMessageMapOf<CPpg_Kosten>;
  static const CMessageMap map(COptionsPage::GetMessageMap(), {
      M::Clicked(kBillButtons[0], &CPpg_Kosten::OnBillToday),
      M::Clicked(kBillButtons[1], &CPpg_Kosten::OnBillYesterday),
      M::Clicked(kBillButtons[2], &CPpg_Kosten::OnBillWeek),
      M::Clicked(kBillButtons[3], &CPpg_Kosten::OnBillMonth),
      M::Clicked(kIdUserBill, &CPpg_Kosten::OnBenutzerdefiniert),
      M::Clicked(kIdFreeDetails, &CPpg_Kosten::OnFreiminuten)});
  return &map;
}

void CPpg_Kosten::PeriodBounds(int period, const COleDateTime& now, COleDateTime& from, COleDateTime& to) {
  COleDateTime today(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
  to = now;
  switch (period) {
    case 0: from = today; break;
    case 1:
      from = today - COleDateTimeSpan(1, 0, 0, 0);
      to = COleDateTime(from.GetYear(), from.GetMonth(), from.GetDay(), 23, 59, 59);
      break;
    case 2: {
      int sinceMonday = (now.GetDayOfWeek() + 5) % 7;  // 1 = Sunday
      from = today - COleDateTimeSpan(sinceMonday, 0, 0, 0);
      break;
    }
    default: from = COleDateTime(now.GetYear(), now.GetMonth(), 1, 0, 0, 0); break;
  }
}

CString CPpg_Kosten::FormatTotal(double hundredths) {
  double pfennig = static_cast<double>(static_cast<long long>(hundredths));
  CString text;
  text.Format("%f DM", pfennig * 0.01);
  return CCostLog::TruncateDecimals(text, 2) + " DM";
}

BOOL CPpg_Kosten::OnInitDialog() {
  COptionsPage::OnInitDialog();
  CPsh_Sheet* sheet = GetOptions();
  CheckDlgButton(kIdSorted, m_sorted ? BST_CHECKED : BST_UNCHECKED);
  {
    CWaitCursor wait;
    CCostLog log(sheet->GetSettings());
    COleDateTime now = GetNow();
    // An unreadable log gives the same answer for every period: it is reported once.
    bool reported = false;
    for (int period = 0; period < 4; ++period) {
      COleDateTime from, to;
      PeriodBounds(period, now, from, to);
      double total = log.GetTotal(from, to);
      if (total == -1) {
        if (!reported) AfxMessageBox(kBillUnreadable, MB_OK | MB_ICONERROR);
        reported = true;
        total = 0;
      }
      SetItemText(this, kTotals[period], FormatTotal(total));
      SendDlgItemMessage(kTotals[period], EM_SETREADONLY, TRUE, 0);
    }
    // A damaged record is left out of every total; the user is told once which it is.
    CString damaged = CCostLog::DamagedNotice(log.GetDamagedRecords());
    if (!damaged.IsEmpty()) AfxMessageBox(damaged, MB_OK | MB_ICONWARNING);
  }
  FillFreeProviders();
  Enable(this, kIdUserBill, static_cast<bool>(UserBillDialog()));

  // The cost page's tips are its own: several of its ids carry other dialogs' tips in the table.
  if (!m_tip.m_hWnd) {
    m_tip.Create(this);
    m_tip.Activate(TRUE);
  }
  const int tips[][2] = {{kBillButtons[0], 5586}, {kBillButtons[1], 4}, {kBillButtons[2], 5},
                         {kBillButtons[3], 6},    {kIdUserBill, 7},    {kIdFreeDetails, 8}};
  for (const auto& t : tips) m_tip.AddTool(GetDlgItem(t[0]), AfxLoadString(static_cast<UINT>(t[1])));
  return TRUE;
}

void CPpg_Kosten::FillFreeProviders() {
  auto* free = static_cast<CComboBox*>(GetDlgItem(kIdFreeProvider));
  free->ResetContent();
  const CProviderArray& active = GetOptions()->GetTarifManager()->GetActiveByName();
  for (int i = 0; i < active.GetSize(); ++i) {
    CProvider* p = active.GetAt(i);
    if (!p->HasFreeMinutes() || !(p->IsRegistered() || !p->IsLoginRequired())) continue;
    int item = free->AddString(p->GetName());
    free->SetItemData(item, reinterpret_cast<DWORD_PTR>(p));
  }
  free->SetCurSel(0);
  Enable(this, kIdFreeDetails, free->GetCount() > 0);
}

void CPpg_Kosten::OnBill(int period) {
  CPsh_Sheet* sheet = GetOptions();
  m_sorted = IsDlgButtonChecked(kIdSorted) ? 1 : 0;
  CCostLog log(sheet->GetSettings());
  log.SetPlain(static_cast<BYTE>(m_sorted));
  COleDateTime from, to;
  PeriodBounds(period, GetNow(), from, to);
  if (!log.WriteHtml(from, to) && !log.BillWriteFailed()) AfxMessageBox(kBillUnreadable, MB_OK | MB_ICONERROR, 5104);
}

void CPpg_Kosten::OnBenutzerdefiniert() {
  m_sorted = IsDlgButtonChecked(kIdSorted) ? 1 : 0;
  if (UserBillDialog()) UserBillDialog()(this, GetOptions()->GetController(), m_sorted);
}

void CPpg_Kosten::OnFreiminuten() {
  auto* free = static_cast<CComboBox*>(GetDlgItem(kIdFreeProvider));
  int sel = free->GetCurSel();
  if (sel < 0) return;
  auto* p = reinterpret_cast<CProvider*>(free->GetItemData(sel));
  CDlg_Freiminuten dlg(GetOptions()->GetController(), p->GetId(), "", this);
  dlg.DoModal();
}

// ---------------------------------------------------------------------------------------------

CPsh_Sheet::CPsh_Sheet(CWnd* parent) : CPropertySheet("", parent, 0) {
  // "&Hilfe" (button 9) explains the page shown; every page has it.
  m_psh.dwFlags |= PSH_HASHELP;
  for (CPropertyPage* page : {static_cast<CPropertyPage*>(&m_optionen), static_cast<CPropertyPage*>(&m_erweitert),
                              static_cast<CPropertyPage*>(&m_kosten)}) {
    page->m_psp.dwFlags |= PSP_HASHELP;
    AddPage(page);
  }
}

const CMessageMap* CPsh_Sheet::GetMessageMap() const {
  using M = CMessageMapOf<CPsh_Sheet>;
  static const CMessageMap map(CPropertySheet::GetMessageMap(), {M::Clicked(9, &CPsh_Sheet::OnHelp)});
  return &map;
}

BOOL CPsh_Sheet::OnInitDialog() {
  BOOL r = CPropertySheet::OnInitDialog();
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) cancel->SetWindowText("Abbrechen");
  if (CWnd* help = GetDlgItem(9)) help->SetWindowText("&Hilfe");
  if (m_startPage >= 1 && m_startPage <= 3) SetActivePage(m_startPage - 1);
  return r;
}

void CPsh_Sheet::OnHelp() {
  static const UINT texts[3][3] = {{5542, 5543, 5544}, {5557, 5558, 0}, {5545, 5546, 0}};
  int index = GetActiveIndex();
  if (index < 0 || index > 2) return;
  CString text;
  for (UINT id : texts[index]) {
    if (id) text += AfxLoadString(id);
  }
  // Modal to the sheet: the sheet stays disabled under it and comes back to the front after it.
  CDlg_TippDesTages::ShowHelp(this, text);
}

void CPsh_Sheet::SaveSettings() {
  CSettings* s = m_settings;
  const CPpg_Optionen& p = m_optionen;
  if (!p.m_made) return;
  s->SetDefaultDialString(NonEmpty(p.m_dialString));
  s->SetDefaultDFUDeviceTyp(NonEmpty(LineTypeOf(p.m_dialString, p.m_deviceType)));
  s->SetDefaultDFUDeviceName(NonEmpty(p.m_deviceName));
  s->SetDefaultConnection(NonEmpty(p.m_defaultConnection));
  s->SetAutomatic(p.m_automatic ? "1" : "0");
  CString frequency;
  frequency.Format("%d", p.m_frequency);
  s->SetUpdateFrequence(frequency);
  if (p.m_currentDevice != p.m_initialDevice && m_controller && m_controller->UpdateOwnEntry() != 0) {
    AfxMessageBox(5588, MB_OK | MB_ICONERROR, kIdsTitle);
  }
}

INT_PTR RunOptionsSheet(CPsh_Sheet& sheet, CWnd* parent, CConnectionController* controller,
                        CTarifManager* manager, CSettings* settings, int startPage) {
  sheet.SetParent(parent);
  sheet.SetController(controller);
  sheet.SetTarifManager(manager);
  sheet.SetSettings(settings);
  sheet.SetStartPage(startPage);
  sheet.m_optionen.m_made = FALSE;
  // Built without a caption; run from the main dialog it is titled and has no "Übernehmen" (the
  // pages write nothing before OK, the dialogs they open write their own settings).
  sheet.SetTitle("Astrel Corvalen Optionen");
  sheet.SetNoApplyButton();
  INT_PTR r = sheet.DoModal();
  if (r == IDOK) sheet.SaveSettings();
  return r;
}
