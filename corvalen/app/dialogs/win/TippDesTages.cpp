#include "TippDesTages.h"

#include <shellapi.h>

#include "TipMarkup.h"
#include "WebAddress.h"

namespace {

// TRUE when the rich edit 2.0 library can be loaded (it is freed again at once; the dialog keeps
// its own reference through the dialog library while it runs).
BOOL RichEdit20Available() {
  HMODULE lib = ::LoadLibraryA("RICHED20.DLL");
  if (!lib) return FALSE;
  ::FreeLibrary(lib);
  return TRUE;
}

// TRUE when the control keeps a CR LF pair as one character (rich edit 2.0 does).
bool CollapsesLineBreaks(HWND edit, const CString& text) {
  GETTEXTLENGTHEX len = {GTL_PRECISE | GTL_NUMCHARS, CP_ACP};
  LRESULT n = ::SendMessageA(edit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&len), 0);
  int pairs = 0;
  for (int at = text.Find("\r\n"); at >= 0; at = text.Find("\r\n", at + 2)) ++pairs;
  return pairs > 0 && n == text.GetLength() - pairs;
}

void FormatRun(HWND edit, long start, long end, DWORD mask, DWORD effect) {
  CHARRANGE cr = {start, end};
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  CHARFORMATA cf = {};
  cf.cbSize = sizeof cf;
  cf.dwMask = mask;
  cf.dwEffects = effect;
  ::SendMessageA(edit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf));
}

}  // namespace

BOOL CRichEdit20Ctrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!AfxInitRichEdit2()) return FALSE;
  return CWnd::Create("RichEdit20A", "", style, rect, parent, id);
}

CDlg_TippDesTages::CDlg_TippDesTages(CWnd* parent) : CDlg_TippDesTages(IDD_TIPP, IDC_VIEWER, parent) {}

CDlg_TippDesTages::CDlg_TippDesTages(UINT templateId, UINT editId, CWnd* parent)
    : CDialog(templateId, parent), m_editId(editId) {}

INT_PTR CDlg_TippDesTages::ShowHelp(CWnd* parent, const CString& text) {
  CDlg_TippDesTages help(parent);
  help.SetHelpMode(TRUE);
  help.SetText(text);
  return help.Show();
}

INT_PTR CDlg_TippDesTages::Show() {
  // The tips come from the server: a text of any length is cut to what a reader reads first.
  m_text = ExpandTipMarkers(CutTipText(m_text, true));
  if (RichEdit20Available() && AfxInitRichEdit2()) {
    CDlg_TippDesTages20 viewer(m_pParentWnd);
    viewer.SetText(m_text);
    viewer.SetHelpMode(m_helpMode);
    return viewer.DoModal();
  }
  AfxInitRichEdit();
  return DoModal();
}

BOOL CDlg_TippDesTages::OnInitDialog() {
  CDialog::OnInitDialog();
  HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CORVALEN_DLG));
  if (icon) {
    SetIcon(icon, TRUE);
    SetIcon(icon, FALSE);
  }
  HWND edit = ::GetDlgItem(m_hWnd, static_cast<int>(m_editId));
  SetupControl(edit);
  ::SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
  if (m_helpMode) SetWindowText("Hilfesystem Corvalen");
  if (!m_title.IsEmpty()) SetWindowText(m_title);
  ShowTextWithRuns(edit);
  m_tip.Create(this);
  m_tip.Activate(TRUE);
  m_tip.AddToolsForChildren(this);
  BringWindowToTop();
  // The focus goes to OK: a focused text control would select its whole text.
  ::SetFocus(::GetDlgItem(m_hWnd, IDOK));
  return FALSE;
}

void CDlg_TippDesTages::ShowTextWithRuns(HWND edit) {
  m_boldRuns.clear();
  m_underlineRuns.clear();
  if (!m_markup) {
    ::SetWindowTextA(edit, m_text);
    return;
  }
  // The positions depend on how the control counts line breaks, which shows once the text is in.
  CTipRuns runs = StripTipMarks(m_text, false);
  ::SetWindowTextA(edit, runs.text);
  if (CollapsesLineBreaks(edit, runs.text)) runs = StripTipMarks(m_text, true);
  for (auto& p : TipRunPairs(runs.bold)) {
    FormatRun(edit, p.first, p.second, CFM_BOLD, CFE_BOLD);
    m_boldRuns.push_back({p.first, p.second});
  }
  for (auto& p : TipRunPairs(runs.underline)) {
    FormatRun(edit, p.first, p.second, CFM_UNDERLINE, CFE_UNDERLINE);
    m_underlineRuns.push_back({p.first, p.second});
  }
  CHARRANGE none = {0, 0};
  ::SendMessageA(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&none));
}

void CDlg_TippDesTages::OnPaint() {
  if (!IsIconic()) {
    CDialog::OnPaint();
    return;
  }
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(m_hWnd, &ps);
  ::SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  RECT rc;
  ::GetClientRect(m_hWnd, &rc);
  int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
  HICON icon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CORVALEN_DLG));
  if (icon) ::DrawIcon(dc, (rc.right - cx + 1) / 2, (rc.bottom - cy + 1) / 2, icon);
  ::EndPaint(m_hWnd, &ps);
}

BOOL CDlg_TippDesTages::PreTranslateMessage(MSG* msg) {
  if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
  return CDialog::PreTranslateMessage(msg);
}

CDlg_TippDesTages20::CDlg_TippDesTages20(CWnd* parent) : CDlg_TippDesTages20(IDD_TIPP20, parent) {}

CDlg_TippDesTages20::CDlg_TippDesTages20(UINT templateId, CWnd* parent)
    : CDlg_TippDesTages(templateId, IDC_VIEWER20, parent) {}

const CMessageMap* CDlg_TippDesTages20::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_TippDesTages20>;
  static const CMessageMap map(CDlg_TippDesTages::GetMessageMap(),
                               {M::Notify(EN_LINK, IDC_VIEWER20, &CDlg_TippDesTages20::OnLink)});
  return &map;
}

void CDlg_TippDesTages20::SetupControl(HWND edit) {
  CDataExchange dx(this, FALSE);
  DDX_Control(&dx, static_cast<int>(m_editId), m_edit);
  m_edit.SetEventMask(m_edit.GetEventMask() | ENM_LINK);
  m_edit.SendEditMessage(TRUE);
}

void CDlg_TippDesTages20::OnLink(NMHDR* hdr, LRESULT* result) {
  auto* link = reinterpret_cast<ENLINK*>(hdr);
  *result = 0;
  if (link->msg != WM_LBUTTONDOWN) return;
  // The control marks file: and other addresses as links too, and the tips come from the server:
  // only a web page is opened (in the browser); a click on anything else does nothing.
  CString target = m_edit.GetTextRange(link->chrg.cpMin, link->chrg.cpMax);
  if (!IsWebAddress(target)) return;
  CWaitCursor wait;
  OpenLink(target);
}

void CDlg_TippDesTages20::OpenLink(const CString& target) {
  ::ShellExecuteA(m_hWnd, "open", target, nullptr, nullptr, SW_SHOWNORMAL);
}

CDlg_ProviderDetails20::CDlg_ProviderDetails20(CWnd* parent, const CString& title, const CString& text)
    : CDlg_TippDesTages20(IDD_DETAILS, parent) {
  m_markup = false;
  m_title = title;
  m_text = text;
}

CDlg_ProviderDetails::CDlg_ProviderDetails(CWnd* parent, const CString& title, const CString& text)
    : CDlg_TippDesTages(IDD_DETAILS_RE1, IDC_VIEWER, parent) {
  m_markup = false;
  m_title = title;
  m_text = text;
}

INT_PTR ShowProviderDetails(CWnd* parent, const CString& title, const CString& text) {
  // The provider's text comes with the tariff data from the server, cut like a tip.
  const CString shown = CutTipText(text, false);
  if (RichEdit20Available() && AfxInitRichEdit2()) {
    CDlg_ProviderDetails20 dlg(parent, title, shown);
    return dlg.DoModal();
  }
  AfxInitRichEdit();
  CDlg_ProviderDetails dlg(parent, title, shown);
  return dlg.DoModal();
}
