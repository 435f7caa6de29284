#include "DataExchange.h"

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "Module.h"
#include "Wnd.h"

HWND CDataExchange::PrepareCtrl(int id) {
  HWND ctl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
  m_idLastControl = id;
  m_bEditLastControl = FALSE;
  if (!ctl) throw Failure();  // a template without the control: nothing can be exchanged
  return ctl;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
  HWND ctl = PrepareCtrl(id);
  m_bEditLastControl = TRUE;
  return ctl;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl) {
    HWND ctl = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    if (ctl) {
      ::SetFocus(ctl);
      if (m_bEditLastControl) ::SendMessageA(ctl, EM_SETSEL, 0, -1);
    }
  }
  throw Failure();
}

void CDataExchange::Fail(const char* message) {
  ::MessageBoxA(m_pDlgWnd->m_hWnd, message, AfxGetAppTitle(), MB_OK | MB_ICONEXCLAMATION);
  Fail();
}

namespace {

CString WindowText(HWND wnd) {
  int len = ::GetWindowTextLengthA(wnd);
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  int got = ::GetWindowTextA(wnd, &buf[0], len + 1);
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return CString(buf);
}

// Parses an optional sign and decimal digits with blanks around; FALSE on anything else or on
// overflow of the range [min, max].
bool ParseWhole(const CString& text, long long min, long long max, long long& out) {
  const char* p = text.c_str();
  while (*p == ' ' || *p == '\t') ++p;
  bool neg = false;
  if (*p == '+' || *p == '-') neg = (*p++ == '-');
  if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
  long long v = 0;
  for (; std::isdigit(static_cast<unsigned char>(*p)); ++p) {
    v = v * 10 + (*p - '0');
    if (v > max + 1LL) return false;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p) return false;
  v = neg ? -v : v;
  if (v < min || v > max) return false;
  out = v;
  return true;
}

CString ItemText(HWND ctl, UINT lenMsg, UINT textMsg, int index) {
  LRESULT len = ::SendMessageA(ctl, lenMsg, index, 0);
  if (len < 0) return CString();
  std::string buf(static_cast<size_t>(len) + 1, '\0');
  LRESULT got = ::SendMessageA(ctl, textMsg, index, reinterpret_cast<LPARAM>(&buf[0]));
  buf.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return CString(buf);
}

bool HasEdit(HWND combo) {
  DWORD style = static_cast<DWORD>(::GetWindowLongA(combo, GWL_STYLE));
  return (style & 3) != CBS_DROPDOWNLIST;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value) {
  HWND ctl = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = WindowText(ctl);
  else
    ::SetWindowTextA(ctl, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value) {
  HWND ctl = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseWhole(WindowText(ctl), INT_MIN, INT_MAX, v)) dx->Fail("Bitte geben Sie eine ganze Zahl ein.");
    value = static_cast<int>(v);
  } else {
    ::SetWindowTextA(ctl, CString::Formatted("%d", value));
  }
}

void DDX_Text(CDataExchange* dx, int id, UINT& value) {
  HWND ctl = dx->PrepareEditCtrl(id);
  if (dx->m_bSaveAndValidate) {
    long long v = 0;
    if (!ParseWhole(WindowText(ctl), 0, UINT_MAX, v))
      dx->Fail("Bitte geben Sie eine positive ganze Zahl ein.");
    value = static_cast<UINT>(v);
  } else {
    ::SetWindowTextA(ctl, CString::Formatted("%u", value));
  }
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    value = static_cast<int>(::SendMessageA(ctl, BM_GETCHECK, 0, 0));
  else
    ::SendMessageA(ctl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) value = -1;
  int index = 0;
  for (HWND h = ctl; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
    DWORD style = static_cast<DWORD>(::GetWindowLongA(h, GWL_STYLE));
    if (h != ctl && (style & WS_GROUP)) break;
    LRESULT code = ::SendMessageA(h, WM_GETDLGCODE, 0, 0);
    if (!(code & DLGC_RADIOBUTTON)) continue;
    if (dx->m_bSaveAndValidate) {
      if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED) value = index;
    } else {
      ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
  }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(ctl, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(ctl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_CBString(CDataExchange* dx, int id, CString& value) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    if (HasEdit(ctl)) {
      value = WindowText(ctl);
    } else {
      int sel = static_cast<int>(::SendMessageA(ctl, CB_GETCURSEL, 0, 0));
      value = sel >= 0 ? ItemText(ctl, CB_GETLBTEXTLEN, CB_GETLBTEXT, sel) : CString();
    }
  } else {
    LRESULT sel = ::SendMessageA(ctl, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
    if (sel == CB_ERR && HasEdit(ctl)) ::SetWindowTextA(ctl, value);
  }
}

void DDX_CBStringExact(CDataExchange* dx, int id, CString& value) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    DDX_CBString(dx, id, value);
    return;
  }
  LRESULT i = ::SendMessageA(ctl, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
  if (i != CB_ERR)
    ::SendMessageA(ctl, CB_SETCURSEL, static_cast<WPARAM>(i), 0);
  else if (HasEdit(ctl))
    ::SetWindowTextA(ctl, value);
}

void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(ctl, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(ctl, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
  HWND ctl = dx->PrepareCtrl(id);
  if (dx->m_bSaveAndValidate) {
    int sel = static_cast<int>(::SendMessageA(ctl, LB_GETCURSEL, 0, 0));
    value = sel >= 0 ? ItemText(ctl, LB_GETTEXTLEN, LB_GETTEXT, sel) : CString();
  } else {
    ::SendMessageA(ctl, LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(value.c_str()));
  }
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
  if (control.m_hWnd) return;
  HWND ctl = dx->PrepareCtrl(id);
  if (!control.SubclassWindow(ctl)) throw CDataExchange::Failure();
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int count) {
  if (dx->m_bSaveAndValidate) {
    if (value.GetLength() > count)
      dx->Fail(CString::Formatted("Bitte geben Sie nicht mehr als %d Zeichen ein.", count));
  } else if (dx->m_idLastControl && dx->m_bEditLastControl) {
    HWND ctl = ::GetDlgItem(dx->m_pDlgWnd->m_hWnd, dx->m_idLastControl);
    ::SendMessageA(ctl, EM_LIMITTEXT, static_cast<WPARAM>(count), 0);
  }
}

void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max) {
  if (dx->m_bSaveAndValidate && (value < min || value > max))
    dx->Fail(CString::Formatted("Bitte geben Sie eine ganze Zahl zwischen %d und %d ein.", min, max));
}

void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT min, UINT max) {
  if (dx->m_bSaveAndValidate && (value < min || value > max))
    dx->Fail(CString::Formatted("Bitte geben Sie eine ganze Zahl zwischen %u und %u ein.", min, max));
}

// The entry of CWnd into the exchange; it lives here so that the window layer does not depend on
// the exchange.
BOOL CWnd::UpdateData(BOOL saveAndValidate) {
  if (!m_hWnd) return FALSE;
  CDataExchange dx(this, saveAndValidate);
  try {
    DoDataExchange(&dx);
  } catch (const CDataExchange::Failure&) {
    return FALSE;
  }
  return TRUE;
}
