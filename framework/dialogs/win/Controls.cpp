#include "Controls.h"

#include <string>
#include <vector>

#include "COleDateTime.h"
#include "WinApp.h"

namespace {

CString ItemText(const CWnd* ctl, UINT lenMsg, UINT textMsg, int index) {
  LRESULT len = ctl->SendMessage(lenMsg, static_cast<WPARAM>(index));
  if (len < 0) return CString();
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = ctl->SendMessage(textMsg, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&buf[0]));
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return CString(buf);
}

}  // namespace

void CComboBox::GetLBText(int index, CString& text) const { text = ItemText(this, CB_GETLBTEXTLEN, CB_GETLBTEXT, index); }

void CListBox::GetText(int index, CString& text) const { text = ItemText(this, LB_GETTEXTLEN, LB_GETTEXT, index); }

BOOL CRichEditCtrl::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
  if (!AfxInitRichEdit2()) return FALSE;
  return CWnd::Create("RichEdit20A", "", style, rect, parent, id);
}

CString CRichEditCtrl::GetSelText() const {
  long s = 0, e = 0;
  GetSel(s, e);
  return GetTextRange(s, e);
}

CString CRichEditCtrl::GetTextRange(long first, long last) const {
  if (last < 0) last = GetTextLength();
  if (last <= first) return CString();
  std::vector<char> buf(static_cast<size_t>(last - first) + 1, '\0');
  TEXTRANGEA tr;
  tr.chrg.cpMin = first;
  tr.chrg.cpMax = last;
  tr.lpstrText = buf.data();
  LRESULT n = SendMessage(EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
  return CString(buf.data(), n > 0 ? static_cast<int>(n) : 0);
}

BOOL CToolTipCtrl::Create(CWnd* parent, DWORD style) {
  INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&icc);
  if (!CreateEx(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP | style, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr, nullptr))
    return FALSE;
  // Long tips wrap instead of running off the screen.
  SetMaxTipWidth(300);
  return TRUE;
}

void CToolTipCtrl::FillToolInfo(TOOLINFOA& ti, CWnd* tool) const {
  ti = TOOLINFOA();
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = ::GetParent(tool->m_hWnd);
  ti.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
}

BOOL CToolTipCtrl::AddTool(CWnd* tool, LPCSTR text) {
  if (!tool || !tool->m_hWnd) return FALSE;
  TOOLINFOA ti;
  FillToolInfo(ti, tool);
  ti.lpszText = const_cast<LPSTR>(text ? text : "");
  return static_cast<BOOL>(SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti)));
}

BOOL CToolTipCtrl::AddTool(CWnd* tool, UINT textId) {
  CString text;
  if (!AfxLoadString(textId, text)) return FALSE;
  return AddTool(tool, text);
}

int CToolTipCtrl::AddToolsForChildren(CWnd* parent) {
  int added = 0;
  for (HWND child = ::GetWindow(parent->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    int id = ::GetDlgCtrlID(child);
    // Controls without an id of their own carry -1 (0xFFFF in a classic template).
    if (id == -1 || id == 0xFFFF || id == 0) continue;
    if (AddTool(CWnd::FromHandle(child), static_cast<UINT>(id))) ++added;
  }
  return added;
}

void CToolTipCtrl::DelTool(CWnd* tool) {
  TOOLINFOA ti;
  FillToolInfo(ti, tool);
  SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
}

void CToolTipCtrl::UpdateTipText(LPCSTR text, CWnd* tool) {
  TOOLINFOA ti;
  FillToolInfo(ti, tool);
  ti.lpszText = const_cast<LPSTR>(text);
  SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

CString CToolTipCtrl::GetText(CWnd* tool) const {
  // The ANSI message copies at most 80 characters; the wide one copies the whole tip.
  TOOLINFOW ti = TOOLINFOW();
  ti.cbSize = sizeof ti;
  ti.uFlags = TTF_IDISHWND;
  ti.hwnd = ::GetParent(tool->m_hWnd);
  ti.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
  std::vector<wchar_t> wide(4096, L'\0');
  ti.lpszText = wide.data();
  SendMessage(TTM_GETTEXTW, wide.size(), reinterpret_cast<LPARAM>(&ti));
  wide.back() = L'\0';
  std::vector<char> buf(wide.size() * 2, '\0');
  ::WideCharToMultiByte(CP_ACP, 0, wide.data(), -1, buf.data(), static_cast<int>(buf.size()), nullptr, nullptr);
  return CString(buf.data());
}

// ---- list view --------------------------------------------------------------------------------

int CListCtrl::InsertColumn(int col, LPCSTR heading, int format, int width) {
  LVCOLUMNA c = {};
  c.mask = LVCF_TEXT | LVCF_FMT | LVCF_SUBITEM | (width >= 0 ? LVCF_WIDTH : 0);
  c.fmt = format;
  c.cx = width;
  c.pszText = const_cast<LPSTR>(heading);
  c.iSubItem = col;
  return static_cast<int>(SendMessage(LVM_INSERTCOLUMNA, static_cast<WPARAM>(col), reinterpret_cast<LPARAM>(&c)));
}

int CListCtrl::InsertItem(int item, LPCSTR text) {
  LVITEMA it = {};
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.pszText = const_cast<LPSTR>(text);
  return static_cast<int>(SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&it)));
}

BOOL CListCtrl::SetItemText(int item, int subItem, LPCSTR text) {
  LVITEMA it = {};
  it.iSubItem = subItem;
  it.pszText = const_cast<LPSTR>(text);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
}

CString CListCtrl::GetItemText(int item, int subItem) const {
  std::vector<char> buf(1024, '\0');
  LVITEMA it = {};
  it.iSubItem = subItem;
  it.pszText = buf.data();
  it.cchTextMax = static_cast<int>(buf.size());
  LRESULT n = SendMessage(LVM_GETITEMTEXTA, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it));
  return CString(buf.data(), n > 0 ? static_cast<int>(n) : 0);
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
  LVITEMA it = {};
  it.state = state;
  it.stateMask = mask;
  return static_cast<BOOL>(SendMessage(LVM_SETITEMSTATE, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&it)));
}

BOOL CListCtrl::SetItemData(int item, DWORD_PTR data) {
  LVITEMA it = {};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  it.lParam = static_cast<LPARAM>(data);
  return static_cast<BOOL>(SendMessage(LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&it)));
}

DWORD_PTR CListCtrl::GetItemData(int item) const {
  LVITEMA it = {};
  it.mask = LVIF_PARAM;
  it.iItem = item;
  if (!SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&it))) return 0;
  return static_cast<DWORD_PTR>(it.lParam);
}

// ---- date picker ------------------------------------------------------------------------------

BOOL CDateTimeCtrl::SetTime(const COleDateTime& value) {
  if (value.GetStatus() != COleDateTime::valid) return FALSE;
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(value.GetYear());
  st.wMonth = static_cast<WORD>(value.GetMonth());
  st.wDay = static_cast<WORD>(value.GetDay());
  st.wHour = static_cast<WORD>(value.GetHour());
  st.wMinute = static_cast<WORD>(value.GetMinute());
  st.wSecond = static_cast<WORD>(value.GetSecond());
  st.wDayOfWeek = static_cast<WORD>(value.GetDayOfWeek() - 1);
  return static_cast<BOOL>(SendMessage(DTM_SETSYSTEMTIME, GDT_VALID, reinterpret_cast<LPARAM>(&st)));
}

BOOL CDateTimeCtrl::GetTime(COleDateTime& value) const {
  SYSTEMTIME st = {};
  if (SendMessage(DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&st)) != GDT_VALID) return FALSE;
  COleDateTime t;
  if (t.SetDateTime(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond) != 0) return FALSE;
  value = t;
  return TRUE;
}

void DDX_DateTimeCtrl(CDataExchange* dx, int id, COleDateTime& value) {
  HWND ctl = dx->PrepareCtrl(id);
  CDateTimeCtrl* picker = static_cast<CDateTimeCtrl*>(CWnd::FromHandle(ctl));
  if (dx->m_bSaveAndValidate) {
    if (!picker->GetTime(value)) dx->Fail("Bitte geben Sie ein gültiges Datum ein.");
  } else {
    picker->SetTime(value);
  }
}

// ---- file dialogs -----------------------------------------------------------------------------

CFileDialog::CFileDialog(BOOL openDialog, LPCSTR defaultExt, LPCSTR fileName, DWORD flags, LPCSTR filter,
                         CWnd* parent)
    : m_open(openDialog), m_defExt(defaultExt ? defaultExt : "") {
  m_file[0] = '\0';
  if (fileName) lstrcpynA(m_file, fileName, MAX_PATH);
  // "Text|*.txt|Alle|*.*||" as the system wants it: zero-separated, two zeros at the end.
  if (filter) {
    m_filter = filter;
    for (char& c : m_filter)
      if (c == '|') c = '\0';
  }
  m_filter.append(2, '\0');
  m_ofn = OPENFILENAMEA();
  m_ofn.lStructSize = sizeof m_ofn;
  m_ofn.hwndOwner = parent ? parent->m_hWnd : nullptr;
  m_ofn.hInstance = AfxGetResourceHandle();
  m_ofn.lpstrFilter = filter ? m_filter.c_str() : nullptr;
  m_ofn.lpstrFile = m_file;
  m_ofn.nMaxFile = MAX_PATH;
  m_ofn.lpstrDefExt = m_defExt.IsEmpty() ? nullptr : m_defExt.c_str();
  m_ofn.Flags = flags | OFN_EXPLORER;
}

INT_PTR CFileDialog::DoModal() {
  if (!m_ofn.hwndOwner) {
    HWND active = ::GetActiveWindow();
    m_ofn.hwndOwner = active;
  }
  BOOL ok = m_open ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileName() const {
  CString p(m_file);
  int slash = p.ReverseFind('\\');
  return slash >= 0 ? p.Mid(slash + 1) : p;
}
