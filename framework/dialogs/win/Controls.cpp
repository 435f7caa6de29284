#include "Controls.h"

#include <string>
#include <vector>

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
