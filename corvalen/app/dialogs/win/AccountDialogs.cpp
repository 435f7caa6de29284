#include "AccountDialogs.h"

#include "TippDesTages.h"

namespace {
const int kMaxCredential = 50;
}

CDlg_Benutzerdaten::CDlg_Benutzerdaten(CConnectionController* controller, BOOL allowDelete,
                                       BOOL showActivationDay, CWnd* parent)
    : CTipDialog(IDD_BENUTZERDATEN, parent), m_controller(controller), m_allowDelete(allowDelete),
      m_showActivation(showActivationDay) {
  CProvider* p = controller ? controller->GetCurrentProvider() : nullptr;
  if (p) {
    m_provider = p->GetName();
    m_activation = p->GetRegistrationDate();
  }
}

const CMessageMap* CDlg_Benutzerdaten::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Benutzerdaten>;
  static const CMessageMap map(CTipDialog::GetMessageMap(), {M::Clicked(IDC_DELETE, &CDlg_Benutzerdaten::OnDelete)});
  return &map;
}

BOOL CDlg_Benutzerdaten::OnInitDialog() {
  CTipDialog::OnInitDialog();
  SetWindowText("Anmeldungsdaten '" + m_provider + "'");
  GetDlgItem(IDC_DELETE)->EnableWindow(m_allowDelete);
  int show = m_showActivation ? SW_SHOW : SW_HIDE;
  GetDlgItem(IDC_ACTIVATION_DATE)->ShowWindow(show);
  GetDlgItem(IDC_ACTIVATION_LABEL)->ShowWindow(show);
  if (m_showActivation) {
    // A provider never registered has no date yet: today is offered.
    COleDateTime shown = m_activation;
    if (shown.GetStatus() != COleDateTime::valid || shown.m_dt < 1.0) shown = COleDateTime::GetCurrentTime();
    m_date.SetTime(shown);
  }
  return TRUE;
}

void CDlg_Benutzerdaten::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_ACTIVATION_DATE, m_date);
  DDX_Text(dx, IDC_USERNAME, m_user);
  DDV_MaxChars(dx, m_user, kMaxCredential);
  DDX_Text(dx, IDC_PASSWORD, m_password);
  DDV_MaxChars(dx, m_password, kMaxCredential);
  DDX_Check(dx, IDC_SAVEPASSWORD, m_save);
}

void CDlg_Benutzerdaten::OnOK() {
  if (!UpdateData(TRUE)) return;
  m_user.Trim();
  m_password.Trim();
  if (m_user.IsEmpty()) {
    AfxMessageBox("Der Benutzername darf nicht leer sein !", MB_ICONWARNING, 5104);
    GotoDlgCtrl(GetDlgItem(IDC_USERNAME));
    return;
  }
  if (m_showActivation) {
    COleDateTime picked;
    if (m_date.GetTime(picked)) {
      // Only the day counts.
      COleDateTime day(picked.GetYear(), picked.GetMonth(), picked.GetDay(), 0, 0, 0);
      COleDateTime old = m_activation;
      bool same = old.GetStatus() == COleDateTime::valid && old.GetYear() == day.GetYear() &&
                  old.GetMonth() == day.GetMonth() && old.GetDay() == day.GetDay();
      if (!same) {
        m_activation = day;
        m_activationChanged = TRUE;
        // Into "Corva.dat" as well: the next ranking copies the store's date into the provider.
        if (m_controller && m_controller->GetCurrentProvider()) {
          CProvider* p = m_controller->GetCurrentProvider();
          p->SetRegistrationDate(day);
          m_controller->GetServices().SetAssignmentDate(p->GetId(), day);
        }
      }
    }
  }
  EndDialog(IDOK);
}

void CDlg_Benutzerdaten::OnDelete() {
  if (AfxMessageBox(5121, MB_YESNO | MB_ICONQUESTION, 138) != IDYES) return;
  if (m_controller && m_controller->GetCurrentProvider()) m_controller->DeleteAssignment(m_controller->GetCurrentProvider());
  EndDialog(kDeleted);
}

CDlg_Freiminuten::CDlg_Freiminuten(CConnectionController* controller, const CString& providerId,
                                   const CString& entry, CWnd* parent)
    : CTipDialog(IDD_FREIMINUTEN, parent), m_controller(controller), m_providerId(providerId), m_entry(entry) {}

const CMessageMap* CDlg_Freiminuten::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Freiminuten>;
  static const CMessageMap map(CTipDialog::GetMessageMap(), {M::Clicked(IDC_HILFE_FM, &CDlg_Freiminuten::OnHilfe)});
  return &map;
}

BOOL CDlg_Freiminuten::OnInitDialog() {
  m_day = 1;
  CTarifManager* manager = m_controller ? m_controller->GetTariffManager() : nullptr;
  CTarifProtocol* record = nullptr;
  if (manager && manager->GetProtocolStore().Lookup(m_providerId, record) && record) {
    m_minutes = record->GetOnlineMinutes() % 60;
    m_hours = record->GetOnlineMinutes() / 60;
    m_day = record->GetDay() == 0 ? 1 : record->GetDay();
    m_calls = record->GetCallCount();
  }
  CTipDialog::OnInitDialog();
  m_spinHours.SetRange(0, 750);
  m_spinMinutes.SetRange(0, 59);
  m_spinDay.SetRange(1, 31);
  m_spinCalls.SetRange(0, 16959);
  CProvider* provider = manager ? manager->FindProvider(m_providerId) : nullptr;
  if (provider && !provider->CountsCalls()) {
    GetDlgItem(IDC_FM_CALLS)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_FM_SPIN_CALLS)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_FM_CALLS_LABEL)->ShowWindow(SW_HIDE);
  }
  return TRUE;
}

void CDlg_Freiminuten::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_FM_SPIN_HOURS, m_spinHours);
  DDX_Control(dx, IDC_FM_SPIN_MINUTES, m_spinMinutes);
  DDX_Control(dx, IDC_FM_SPIN_DAY, m_spinDay);
  DDX_Control(dx, IDC_FM_SPIN_CALLS, m_spinCalls);
  DDX_Text(dx, IDC_FM_HOURS, m_hours);
  DDX_Text(dx, IDC_FM_MINUTES, m_minutes);
  DDX_Text(dx, IDC_FM_DAY, m_day);
  DDX_Text(dx, IDC_FM_CALLS, m_calls);
}

CString CDlg_Freiminuten::CheckValues() const {
  if (m_day < 1) return "Rücksetzungsdatum zu klein (min. 1)";
  if (m_day > 31) return "Rücksetzungsdatum zu groß (max. 31)";
  if (m_calls < 0) return "Anzahl der bereits aufgebauten Verbindungen zu klein (min. 0)";
  // Negative used time would give the record negative minutes.
  if (m_hours < 0 || m_minutes < 0) return "Bereits verbrauchte Freiminuten zu klein (min. 0)";
  // The minutes are those of the hour begun: 75 would be stored as 1 h 75 min.
  if (m_minutes > 59) return "Bereits verbrauchte Minuten zu groß (max. 59)";
  if (m_hours > 750) return "Bereits verbrauchte Stunden zu groß (max. 750)";
  return CString();
}

void CDlg_Freiminuten::OnOK() {
  if (!UpdateData(TRUE)) return;
  CString error = CheckValues();
  if (!error.IsEmpty()) {
    AfxMessageBox(error, MB_ICONWARNING, 5104);
    return;
  }
  CTarifManager* manager = m_controller ? m_controller->GetTariffManager() : nullptr;
  if (manager) {
    auto* record = new CTarifProtocol;
    record->SetDay(m_day);
    record->SetCallCount(m_calls);
    record->SetOnlineMinutes(m_hours * 60 + m_minutes);
    manager->GetProtocolStore().SetAt(m_providerId, record);
    manager->SaveProtocols();
  }
  EndDialog(IDOK);
}

void CDlg_Freiminuten::OnHilfe() {
  CDlg_TippDesTages::ShowHelp(this, AfxLoadString(5550));
}

BOOL RunFreeMinutesDialog(CWnd* parent, CConnectionController& controller, const CString& providerId,
                          const CString& entry) {
  CDlg_Freiminuten dlg(&controller, providerId, entry, parent);
  return dlg.DoModal() == IDOK;
}
