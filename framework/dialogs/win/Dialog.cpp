#include "Dialog.h"

#include "WinApp.h"

INT_PTR AfxAttachDialog(CWnd* obj, HWND wnd, WPARAM wp, LPARAM lp) {
  if (!obj || !obj->SubclassWindow(wnd)) return FALSE;
  // WM_INITDIALOG reached the dialog procedure before the window was routed through the object.
  return AfxCallWndProc(obj, wnd, WM_INITDIALOG, wp, lp);
}

INT_PTR CALLBACK AfxDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  // Once attached, the object's window procedure sees every message first and calls the system's
  // dialog handling (which calls this procedure again) as its default: nothing to do here then.
  if (msg == WM_INITDIALOG && !CWnd::FromHandlePermanent(wnd))
    return AfxAttachDialog(reinterpret_cast<CDialog*>(lp), wnd, wp, lp);
  return FALSE;
}

BOOL CDialog::CreateFromTemplate(UINT templateId, HWND parent) {
  if (m_hWnd) return FALSE;
  m_nIDTemplate = templateId;
  HWND h = ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(templateId), parent, AfxDlgProc,
                                reinterpret_cast<LPARAM>(this));
  if (!h) return FALSE;
  if (FromHandlePermanent(h) != this) {
    ::DestroyWindow(h);
    return FALSE;
  }
  m_createdHere = TRUE;
  return TRUE;
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
  m_pParentWnd = parent;
  m_bModal = FALSE;
  HWND owner = parent ? parent->m_hWnd : nullptr;
  return CreateFromTemplate(templateId, owner);
}

HWND CDialog::ModalOwner() const {
  HWND owner = nullptr;
  if (m_pParentWnd && m_pParentWnd->m_hWnd) {
    owner = m_pParentWnd->m_hWnd;
  } else if (CWnd* main = AfxGetMainWnd()) {
    if (main != this && main->m_hWnd) owner = main->m_hWnd;
  }
  while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  return owner;
}

INT_PTR CDialog::DoModal() {
  HWND owner = ModalOwner();
  BOOL enableOwner = owner && ::IsWindowEnabled(owner);
  if (enableOwner) ::EnableWindow(owner, FALSE);
  m_bModal = TRUE;
  m_bEndRequested = FALSE;
  m_nModalResult = -1;
  INT_PTR result = -1;
  if (CreateFromTemplate(m_nIDTemplate, owner)) {
    // The dialog may have ended inside OnInitDialog already.
    if (!m_bEndRequested) RunModalLoop();
    result = m_nModalResult;
    if (m_hWnd) ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  if (enableOwner) ::EnableWindow(owner, TRUE);
  if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
  if (m_hWnd) DestroyWindow();
  m_bModal = FALSE;
  return result;
}

void CDialog::EndDialog(int result) {
  if (m_bModal) {
    m_bEndRequested = TRUE;
    EndModalLoop(result);
  } else if (m_hWnd) {
    m_nModalResult = result;
    ::EndDialog(m_hWnd, result);
  }
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  // Keyboard navigation of a top-level dialog; pages and other child dialogs leave it to their
  // parent.
  if (!m_hWnd || (GetStyle() & WS_CHILD)) return FALSE;
  return ::IsDialogMessageA(m_hWnd, msg);
}

BOOL CDialog::OnCommand(WPARAM wp, LPARAM lp) {
  if (CWnd::OnCommand(wp, lp)) return TRUE;
  UINT code = HIWORD(wp), id = LOWORD(wp);
  if (code != BN_CLICKED) return FALSE;
  if (id == IDOK) {
    OnOK();
    return TRUE;
  }
  if (id == IDCANCEL) {
    OnCancel();
    return TRUE;
  }
  return FALSE;
}

BOOL CDialog::OnWndMsg(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
  if (msg == WM_INITDIALOG) {
    *result = OnInitDialog();
    return TRUE;
  }
  return CWnd::OnWndMsg(msg, wp, lp, result);
}
