#include "PropertySheet.h"

#include "WinApp.h"

namespace {

// The sheet being created on this thread; its callback attaches it to the window.
thread_local CPropertySheet* t_sheetInit = nullptr;

}  // namespace

// ---- pages ------------------------------------------------------------------------------------

INT_PTR CALLBACK AfxPropPageDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_INITDIALOG && !CWnd::FromHandlePermanent(wnd)) {
    const PROPSHEETPAGEA* psp = reinterpret_cast<const PROPSHEETPAGEA*>(lp);
    CPropertyPage* page = psp ? reinterpret_cast<CPropertyPage*>(psp->lParam) : nullptr;
    return AfxAttachDialog(page, wnd, wp, lp);
  }
  return FALSE;
}

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) : CDialog(templateId, nullptr) {
  m_psp = PROPSHEETPAGEA();
  m_psp.dwSize = sizeof m_psp;
  m_psp.dwFlags = PSP_DEFAULT;
  m_psp.pszTemplate = MAKEINTRESOURCEA(templateId);
  m_psp.pfnDlgProc = AfxPropPageDlgProc;
  m_psp.lParam = reinterpret_cast<LPARAM>(this);
  if (captionId) {
    m_strCaption = AfxLoadString(captionId);
    if (!m_strCaption.IsEmpty()) {
      m_psp.dwFlags |= PSP_USETITLE;
      m_psp.pszTitle = m_strCaption;
    }
  }
}

BOOL CPropertyPage::OnSetActive() {
  if (m_bFirstSetActive)
    m_bFirstSetActive = FALSE;
  else
    UpdateData(FALSE);
  return TRUE;
}

BOOL CPropertyPage::OnKillActive() { return UpdateData(TRUE); }

BOOL CPropertyPage::OnApply() {
  OnOK();
  return TRUE;
}

void CPropertyPage::OnReset() { OnCancel(); }

BOOL CPropertyPage::OnQueryCancel() { return TRUE; }

LRESULT CPropertyPage::OnWizardBack() { return 0; }

LRESULT CPropertyPage::OnWizardNext() { return 0; }

BOOL CPropertyPage::OnWizardFinish() { return TRUE; }

void CPropertyPage::SetModified(BOOL changed) {
  HWND sheet = ::GetParent(m_hWnd);
  ::SendMessageA(sheet, changed ? PSM_CHANGED : PSM_UNCHANGED, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CPropertyPage::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) {
  if (CDialog::OnNotify(wp, lp, result)) return TRUE;
  const NMHDR* nm = reinterpret_cast<const NMHDR*>(lp);
  LRESULT r = 0;
  switch (nm->code) {
    case PSN_SETACTIVE:
      r = OnSetActive() ? 0 : -1;
      break;
    case PSN_KILLACTIVE:
      r = !OnKillActive();
      break;
    case PSN_APPLY:
      if (OnApply()) {
        if (m_pSheet) m_pSheet->m_result = IDOK;
        r = PSNRET_NOERROR;
      } else {
        r = PSNRET_INVALID_NOCHANGEPAGE;
      }
      break;
    case PSN_RESET:
      OnReset();
      break;
    case PSN_QUERYCANCEL:
      r = !OnQueryCancel();
      break;
    case PSN_WIZBACK:
      r = OnWizardBack();
      break;
    case PSN_WIZNEXT:
      r = OnWizardNext();
      break;
    case PSN_WIZFINISH:
      if (OnWizardFinish()) {
        if (m_pSheet) m_pSheet->m_result = ID_WIZFINISH;
        r = FALSE;
      } else {
        r = TRUE;
      }
      break;
    default:
      return FALSE;
  }
  // The sheet reads the answer from the dialog result as well as from the window procedure.
  ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, r);
  *result = r;
  return TRUE;
}

// ---- sheet ------------------------------------------------------------------------------------

int CALLBACK AfxPropSheetCallback(HWND wnd, UINT msg, LPARAM lp) {
  try {
    if (msg == PSCB_PRECREATE && lp) {
      // Created hidden: the sheet shows itself after OnInitDialog.
      DLGTEMPLATE* t = reinterpret_cast<DLGTEMPLATE*>(lp);
      WORD* words = reinterpret_cast<WORD*>(lp);
      if (words[1] == 0xFFFF)  // DLGTEMPLATEEX: version, signature, help id, ex style, style
        *reinterpret_cast<DWORD*>(words + 6) &= ~static_cast<DWORD>(WS_VISIBLE);
      else
        t->style &= ~static_cast<DWORD>(WS_VISIBLE);
    } else if (msg == PSCB_INITIALIZED && t_sheetInit) {
      CPropertySheet* sheet = t_sheetInit;
      t_sheetInit = nullptr;
      sheet->SubclassWindow(wnd);
    }
  } catch (...) {
    AfxReportCurrentException();
  }
  return 0;
}

CPropertySheet::CPropertySheet(LPCSTR caption, CWnd* parent, UINT selectPage) {
  if (caption) m_strCaption = caption;
  CommonConstruct(parent, selectPage);
}

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage) {
  m_strCaption = AfxLoadString(captionId);
  CommonConstruct(parent, selectPage);
}

void CPropertySheet::CommonConstruct(CWnd* parent, UINT selectPage) {
  m_pParentWnd = parent;
  m_psh = PROPSHEETHEADERA();
  m_psh.dwSize = sizeof m_psh;
  m_psh.dwFlags = PSH_PROPSHEETPAGE;
  m_psh.nStartPage = selectPage;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
  page->m_pSheet = this;
  m_pages.push_back(page);
  if (m_hWnd) {
    HPROPSHEETPAGE h = ::CreatePropertySheetPageA(&page->m_psp);
    if (h) ::SendMessageA(m_hWnd, PSM_ADDPAGE, 0, reinterpret_cast<LPARAM>(h));
  }
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
  int i = GetPageIndex(page);
  if (i < 0) return;
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_REMOVEPAGE, static_cast<WPARAM>(i), 0);
  m_pages.erase(m_pages.begin() + i);
  page->m_pSheet = nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* page) const {
  for (size_t i = 0; i < m_pages.size(); ++i)
    if (m_pages[i] == page) return static_cast<int>(i);
  return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
  if (!m_hWnd) {
    int start = static_cast<int>(m_psh.nStartPage);
    return start >= 0 && start < GetPageCount() ? m_pages[static_cast<size_t>(start)] : nullptr;
  }
  HWND current = reinterpret_cast<HWND>(::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0));
  for (CPropertyPage* p : m_pages)
    if (current && p->m_hWnd == current) return p;
  return nullptr;
}

int CPropertySheet::GetActiveIndex() const {
  CPropertyPage* p = GetActivePage();
  return p ? GetPageIndex(p) : static_cast<int>(m_psh.nStartPage);
}

BOOL CPropertySheet::SetActivePage(int index) {
  if (index < 0 || index >= GetPageCount()) return FALSE;
  if (!m_hWnd) {
    m_psh.nStartPage = static_cast<UINT>(index);
    return TRUE;
  }
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_SETCURSEL, static_cast<WPARAM>(index), 0));
}

void CPropertySheet::SetTitle(LPCSTR text) {
  m_strCaption = text ? text : "";
  if (m_hWnd) ::SendMessageA(m_hWnd, PSM_SETTITLEA, 0, reinterpret_cast<LPARAM>(m_strCaption.c_str()));
}

BOOL CPropertySheet::OnInitDialog() { return TRUE; }

void CPropertySheet::EndDialog(int result) {
  m_result = result;
  m_ended = TRUE;
  EndModalLoop(result);
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd) return FALSE;
  return static_cast<BOOL>(::SendMessageA(m_hWnd, PSM_ISDIALOGMESSAGE, 0, reinterpret_cast<LPARAM>(msg)));
}

BOOL CPropertySheet::ModalLoopCheck() {
  // A modeless sheet has finished when it has no current page any more.
  return ::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0) != 0;
}

INT_PTR CPropertySheet::DoModal() {
  if (m_hWnd || m_pages.empty()) return -1;
  std::vector<PROPSHEETPAGEA> pages;
  for (CPropertyPage* p : m_pages) {
    p->m_bFirstSetActive = TRUE;
    pages.push_back(p->m_psp);
  }
  HWND owner = nullptr;
  if (m_pParentWnd && m_pParentWnd->m_hWnd) {
    owner = m_pParentWnd->m_hWnd;
  } else if (CWnd* main = AfxGetMainWnd()) {
    if (main->m_hWnd) owner = main->m_hWnd;
  }
  while (owner && (::GetWindowLongA(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);

  PROPSHEETHEADERA psh = m_psh;
  psh.dwFlags |= PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_USECALLBACK;
  psh.hwndParent = owner;
  psh.hInstance = AfxGetResourceHandle();
  psh.pszCaption = m_strCaption;
  psh.nPages = static_cast<UINT>(pages.size());
  psh.ppsp = pages.data();
  psh.pfnCallback = AfxPropSheetCallback;
  if (psh.nStartPage >= psh.nPages) psh.nStartPage = 0;
  for (PROPSHEETPAGEA& p : pages) p.hInstance = AfxGetResourceHandle();

  BOOL enableOwner = owner && ::IsWindowEnabled(owner);
  if (enableOwner) ::EnableWindow(owner, FALSE);
  m_result = IDCANCEL;
  m_ended = FALSE;
  CPropertySheet* savedInit = t_sheetInit;
  t_sheetInit = this;
  HWND h = reinterpret_cast<HWND>(::PropertySheetA(&psh));
  t_sheetInit = savedInit;
  INT_PTR result = -1;
  if (h && h != reinterpret_cast<HWND>(-1) && FromHandlePermanent(h) == this) {
    try {
      OnInitDialog();
    } catch (...) {
      AfxReportCurrentException();
    }
    if (!m_ended && ModalLoopCheck()) {
      ::ShowWindow(h, SW_SHOWNORMAL);
      RunModalLoop();
    }
    result = m_result;
  } else if (h && h != reinterpret_cast<HWND>(-1)) {
    ::DestroyWindow(h);
  }
  if (enableOwner) ::EnableWindow(owner, TRUE);
  if (owner && m_hWnd && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
  if (m_hWnd) DestroyWindow();
  return result;
}
