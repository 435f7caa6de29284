#include "TermsInfoDialogs.h"

BOOL CDlg_Info::OnInitDialog() {
  CTipDialog::OnInitDialog();
  SetDlgItemText(IDC_INFO_VERSION, AfxLoadString(116) + AfxLoadString(117));
  return TRUE;
}

CString CDlg_AGB::TermsText() {
  static const UINT ids[] = {115, 119, 120, 121, 122, 5505, 5506};
  CString text;
  for (UINT id : ids) text += AfxLoadString(id);
  return text;
}

const CMessageMap* CDlg_AGB::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_AGB>;
  static const CMessageMap map(CTipDialog::GetMessageMap(), {
      M::Clicked(IDC_AGB_YES, &CDlg_AGB::OnChoice),
      M::Clicked(IDC_AGB_NO, &CDlg_AGB::OnChoice)});
  return &map;
}

BOOL CDlg_AGB::OnInitDialog() {
  m_terms = TermsText();
  CTipDialog::OnInitDialog();
  GetDlgItem(IDOK)->EnableWindow(m_choice >= 0);
  // The terms are read from their start, not selected; the focus waits on "Abbrechen".
  SendDlgItemMessage(IDC_AGB_TEXT, EM_SETSEL, 0, 0);
  SendDlgItemMessage(IDC_AGB_TEXT, EM_SCROLLCARET);
  ::SetFocus(::GetDlgItem(m_hWnd, IDCANCEL));
  return FALSE;
}

void CDlg_AGB::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, IDC_AGB_TEXT, m_terms);
  DDX_Radio(dx, IDC_AGB_YES, m_choice);
}

void CDlg_AGB::OnOK() {
  if (!UpdateData(TRUE) || m_choice < 0) return;
  EndDialog(IDOK);
}

void CDlg_AGB::OnChoice() { GetDlgItem(IDOK)->EnableWindow(TRUE); }

BOOL RunTermsDialog(CWnd* parent) {
  CDlg_AGB dlg(parent);
  return dlg.DoModal() == IDOK && dlg.GetChoice() == 0;
}
