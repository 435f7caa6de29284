#include "NewEntryDialog.h"

#include "AccountDialogs.h"
#include "AssignmentStore.h"
#include "TarifTexts.h"
#include "TippDesTages.h"

namespace {
const UINT kIdsHelp = 5551;
}  // namespace

const CMessageMap* CDlg_NeueVerbindung::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_NeueVerbindung>;
  static const CMessageMap map(CDialog::GetMessageMap(), {M::Clicked(IDC_NV_HELP, &CDlg_NeueVerbindung::OnHelp)});
  return &map;
}

BOOL CDlg_NeueVerbindung::OnInitDialog() {
  CDialog::OnInitDialog();
  COleDateTime now = COleDateTime::GetCurrentTime();
  m_day = COleDateTime(now.GetYear(), now.GetMonth(), now.GetDay(), 0, 0, 0);
  m_date.SetTime(m_day);
  if (m_noLogin) {
    for (int id : {IDC_NV_USER, IDC_NV_PASSWORD, IDC_NV_SAVE, IDC_NV_DAY}) GetDlgItem(id)->EnableWindow(FALSE);
    CheckDlgButton(IDC_NV_SAVE, BST_CHECKED);
    return TRUE;
  }
  CheckDlgButton(IDC_NV_SAVE, BST_UNCHECKED);
  GotoDlgCtrl(GetDlgItem(IDC_NV_USER));
  return FALSE;
}

void CDlg_NeueVerbindung::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_NV_DAY, m_date);
  DDX_Text(dx, IDC_NV_NAME, m_name);
  DDX_Text(dx, IDC_NV_USER, m_user);
  DDV_MaxChars(dx, m_user, kMaxCredential);
  DDX_Text(dx, IDC_NV_PASSWORD, m_password);
  DDV_MaxChars(dx, m_password, kMaxCredential);
  DDX_Check(dx, IDC_NV_SAVE, m_save);
}

BOOL CDlg_NeueVerbindung::Refuse(const char* text, int focusId) {
  AfxMessageBox(text, MB_ICONWARNING, kIdsTitleShort);
  GotoDlgCtrl(GetDlgItem(focusId));
  return FALSE;
}

void CDlg_NeueVerbindung::OnOK() {
  if (!UpdateData(TRUE)) return;
  m_name.Trim();
  m_user.Trim();
  m_password.Trim();
  if (m_name.IsEmpty()) {
    Refuse("Der Verbindungsname darf nicht leer sein !", IDC_NV_NAME);
    return;
  }
  // The name is stored with the provider in Corva.dat, whose records these characters separate.
  if (!CAssignmentStore::IsStorableName(m_name)) {
    Refuse("Der Verbindungsname darf keines der Zeichen ; = | enthalten !", IDC_NV_NAME);
    return;
  }
  // A provider without login has no user name to ask for (its edit is disabled).
  if (m_user.IsEmpty() && !m_noLogin) {
    Refuse("Der Benutzername darf nicht leer sein !", IDC_NV_USER);
    return;
  }
  if (m_ras && m_ras->ValidateEntryName(m_name) != 0) {
    Refuse("Eine DFÜ-Verbindung unter diesem Namen existiert bereits.\nBitte wählen Sie einen anderen Verbindungsnamen !",
           IDC_NV_NAME);
    return;
  }
  COleDateTime picked;
  if (m_date.GetTime(picked) && picked.GetStatus() == COleDateTime::valid)
    m_day = COleDateTime(picked.GetYear(), picked.GetMonth(), picked.GetDay(), 0, 0, 0);
  if (m_provider && m_controller && m_provider->HasFreeMinutes() &&
      !RunFreeMinutesDialog(this, *m_controller, m_provider->GetId(), m_name))
    return;
  EndDialog(IDOK);
}

void CDlg_NeueVerbindung::OnHelp() {
  CDlg_TippDesTages::ShowHelp(this, AfxLoadString(kIdsHelp));
}
