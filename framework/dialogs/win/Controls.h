// Wrappers of the standard controls: each member forwards to the control's messages. They add no
// data to CWnd, so a control can be reached through GetDlgItem or bound with DDX_Control.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <richedit.h>

#include <string>

#include "CString.h"
#include "DataExchange.h"
#include "Wnd.h"

class CStatic : public CWnd {
 public:
  HICON SetIcon(HICON icon) { return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon))); }
  HBITMAP SetBitmap(HBITMAP bmp) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bmp)));
  }
};

class CButton : public CWnd {
 public:
  int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
  void SetCheck(int check) { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
  UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
  void SetState(BOOL highlight) { SendMessage(BM_SETSTATE, highlight); }
  UINT GetButtonStyle() const { return GetStyle() & 0xFF; }
  void SetButtonStyle(UINT style, BOOL redraw = TRUE) { SendMessage(BM_SETSTYLE, style, redraw); }
  HICON SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessage(BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
  }
};

// A group box is a button of style BS_GROUPBOX; its text is the group's caption.
class CGroupBox : public CButton {};

class CEdit : public CWnd {
 public:
  void LimitText(int count = 0) { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(count)); }
  void SetLimitText(UINT count) { SendMessage(EM_LIMITTEXT, count); }
  UINT GetLimitText() const { return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT)); }
  void SetSel(int start, int end, BOOL noScroll = FALSE) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll) SendMessage(EM_SCROLLCARET);
  }
  void GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
  }
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) { SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text)); }
  BOOL SetReadOnly(BOOL readOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }
  int GetLineCount() const { return static_cast<int>(SendMessage(EM_GETLINECOUNT)); }
  BOOL GetModify() const { return static_cast<BOOL>(SendMessage(EM_GETMODIFY)); }
  void SetModify(BOOL modified = TRUE) { SendMessage(EM_SETMODIFY, modified); }
  void SetPasswordChar(char ch) { SendMessage(EM_SETPASSWORDCHAR, static_cast<unsigned char>(ch)); }
};

class CComboBox : public CWnd {
 public:
  int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index))); }
  int AddString(LPCSTR text) { return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
  int InsertString(int index, LPCSTR text) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  }
  int DeleteString(UINT index) { return static_cast<int>(SendMessage(CB_DELETESTRING, index)); }
  void ResetContent() { SendMessage(CB_RESETCONTENT); }
  int GetLBTextLen(int index) const { return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index))); }
  void GetLBText(int index, CString& text) const;
  CString GetLBText(int index) const {
    CString s;
    GetLBText(index, s);
    return s;
  }
  // Index of the first item beginning with the text (case-insensitive) after `after`, or CB_ERR.
  int FindString(int after, LPCSTR text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  int FindStringExact(int after, LPCSTR text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  int SelectString(int after, LPCSTR text) {
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index))); }
  int SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
  }
  void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }
  int SetItemDataPtr(int index, void* data) { return SetItemData(index, reinterpret_cast<DWORD_PTR>(data)); }
  BOOL LimitText(int count) { return static_cast<BOOL>(SendMessage(CB_LIMITTEXT, static_cast<WPARAM>(count))); }
  void ShowDropDown(BOOL show = TRUE) { SendMessage(CB_SHOWDROPDOWN, show); }
  BOOL GetDroppedState() const { return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE)); }
};

class CListBox : public CWnd {
 public:
  int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
  int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
  int SetCurSel(int index) { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
  int GetSel(int index) const { return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(index))); }
  int SetSel(int index, BOOL select = TRUE) { return static_cast<int>(SendMessage(LB_SETSEL, select, index)); }
  int AddString(LPCSTR text) { return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text))); }
  int InsertString(int index, LPCSTR text) {
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
  }
  int DeleteString(UINT index) { return static_cast<int>(SendMessage(LB_DELETESTRING, index)); }
  void ResetContent() { SendMessage(LB_RESETCONTENT); }
  int GetTextLen(int index) const { return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index))); }
  void GetText(int index, CString& text) const;
  CString GetText(int index) const {
    CString s;
    GetText(index, s);
    return s;
  }
  int FindString(int after, LPCSTR text) const {
    return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  int FindStringExact(int after, LPCSTR text) const {
    return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  int SelectString(int after, LPCSTR text) {
    return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(after), reinterpret_cast<LPARAM>(text)));
  }
  DWORD_PTR GetItemData(int index) const { return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index))); }
  int SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
  }
  void* GetItemDataPtr(int index) const { return reinterpret_cast<void*>(GetItemData(index)); }
  int SetItemDataPtr(int index, void* data) { return SetItemData(index, reinterpret_cast<DWORD_PTR>(data)); }
};

// An up-down control ("msctls_updown32").
class CSpinButtonCtrl : public CWnd {
 public:
  void SetRange(int lower, int upper) { SendMessage(UDM_SETRANGE32, static_cast<WPARAM>(lower), upper); }
  void GetRange(int& lower, int& upper) const {
    SendMessage(UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
  }
  // Positions are 16-bit (UDM_SETPOS), enough for the ranges the dialogs use.
  int SetPos(int pos) { return static_cast<short>(LOWORD(SendMessage(UDM_SETPOS, 0, MAKELONG(static_cast<short>(pos), 0)))); }
  int GetPos() const { return static_cast<short>(LOWORD(SendMessage(UDM_GETPOS))); }
  CWnd* SetBuddy(CWnd* buddy) {
    return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy->m_hWnd))));
  }
  CWnd* GetBuddy() const { return FromHandle(reinterpret_cast<HWND>(SendMessage(UDM_GETBUDDY))); }
  int SetBase(int base) { return static_cast<int>(SendMessage(UDM_SETBASE, static_cast<WPARAM>(base))); }
};

// A rich edit 2.0 control ("RichEdit20A" of RICHED20.DLL).
class CRichEditCtrl : public CWnd {
 public:
  // Loads the library when needed and creates the control; FALSE when either fails.
  virtual BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

  void SetSel(long start, long end) {
    CHARRANGE cr = {start, end};
    SendMessage(EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&cr));
  }
  void GetSel(long& start, long& end) const {
    CHARRANGE cr = {0, 0};
    SendMessage(EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    start = cr.cpMin;
    end = cr.cpMax;
  }
  void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE) { SendMessage(EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(text)); }
  CString GetSelText() const;
  long GetTextLength() const { return static_cast<long>(SendMessage(WM_GETTEXTLENGTH)); }
  BOOL SetReadOnly(BOOL readOnly = TRUE) { return static_cast<BOOL>(SendMessage(EM_SETREADONLY, readOnly)); }
  DWORD GetEventMask() const { return static_cast<DWORD>(SendMessage(EM_GETEVENTMASK)); }
  DWORD SetEventMask(DWORD mask) { return static_cast<DWORD>(SendMessage(EM_SETEVENTMASK, 0, static_cast<LPARAM>(mask))); }
  BOOL SetSelectionCharFormat(CHARFORMATA& cf) {
    cf.cbSize = sizeof cf;
    return static_cast<BOOL>(SendMessage(EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  }
  DWORD GetSelectionCharFormat(CHARFORMATA& cf) const {
    cf.cbSize = sizeof cf;
    return static_cast<DWORD>(SendMessage(EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&cf)));
  }
  void LimitText(long count = 0) { SendMessage(EM_EXLIMITTEXT, 0, count); }
  COLORREF SetBackgroundColor(BOOL sysColor, COLORREF color) {
    return static_cast<COLORREF>(SendMessage(EM_SETBKGNDCOLOR, sysColor, static_cast<LPARAM>(color)));
  }
  // Marks addresses in the text as links (EN_LINK notifications with ENM_LINK).
  BOOL SetAutoURLDetect(BOOL on = TRUE) { return SendMessage(EM_AUTOURLDETECT, on) == 0; }
  // Client position of a character.
  POINT PosFromChar(long ch) const {
    POINTL p = {0, 0};
    SendMessage(EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&p), ch);
    return POINT{p.x, p.y};
  }
  // The text of a character range (a link's text from EN_LINK, for example).
  CString GetTextRange(long first, long last) const;
};

// A tool-tip control whose tools are child windows of one parent, their tips relayed by the
// parent's PreTranslateMessage (RelayEvent).
class CToolTipCtrl : public CWnd {
 public:
  BOOL Create(CWnd* parent, DWORD style = 0);
  void Activate(BOOL activate) { SendMessage(TTM_ACTIVATE, activate); }
  BOOL AddTool(CWnd* tool, LPCSTR text);
  BOOL AddTool(CWnd* tool, UINT textId);
  // One tool per child window of the parent whose control id is not -1, with the string-table
  // entry of that id as its text (children without such a string get no tip). Returns the
  // number of tools added.
  int AddToolsForChildren(CWnd* parent);
  void DelTool(CWnd* tool);
  void UpdateTipText(LPCSTR text, CWnd* tool);
  // The text of the tool for that window; empty when it has none.
  CString GetText(CWnd* tool) const;
  int GetToolCount() const { return static_cast<int>(SendMessage(TTM_GETTOOLCOUNT)); }
  void RelayEvent(MSG* msg) { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
  int SetMaxTipWidth(int width) { return static_cast<int>(SendMessage(TTM_SETMAXTIPWIDTH, 0, width)); }
  void SetDelayTime(DWORD which, int ms) { SendMessage(TTM_SETDELAYTIME, which, MAKELONG(ms, 0)); }

 private:
  void FillToolInfo(TOOLINFOA& ti, CWnd* tool) const;
};

// A list view ("SysListView32") in report mode.
class CListCtrl : public CWnd {
 public:
  int InsertColumn(int col, LPCSTR heading, int format = LVCFMT_LEFT, int width = -1);
  int InsertItem(int item, LPCSTR text);
  BOOL SetItemText(int item, int subItem, LPCSTR text);
  CString GetItemText(int item, int subItem) const;
  int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
  BOOL DeleteItem(int item) { return static_cast<BOOL>(SendMessage(LVM_DELETEITEM, static_cast<WPARAM>(item))); }
  BOOL DeleteAllItems() { return static_cast<BOOL>(SendMessage(LVM_DELETEALLITEMS)); }
  // The next item after `start` (-1: from the beginning) with the LVNI_ flags, or -1.
  int GetNextItem(int start, int flags) const {
    return static_cast<int>(SendMessage(LVM_GETNEXTITEM, static_cast<WPARAM>(start), MAKELPARAM(flags, 0)));
  }
  int GetSelectedCount() const { return static_cast<int>(SendMessage(LVM_GETSELECTEDCOUNT)); }
  BOOL SetItemState(int item, UINT state, UINT mask);
  BOOL SetItemData(int item, DWORD_PTR data);
  DWORD_PTR GetItemData(int item) const;
  DWORD SetExtendedStyle(DWORD style) {
    return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style)));
  }
  BOOL SetColumnWidth(int col, int width) { return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(col), MAKELPARAM(width, 0))); }
};

class COleDateTime;

// A date picker ("SysDateTimePick32"); times are the date value of the dialog library.
class CDateTimeCtrl : public CWnd {
 public:
  BOOL SetTime(const COleDateTime& value);
  // FALSE (and the value unchanged) when the control holds no valid date.
  BOOL GetTime(COleDateTime& value) const;
};
void DDX_DateTimeCtrl(CDataExchange* dx, int id, COleDateTime& value);

// The open and save dialogs of the system.
class CFileDialog {
 public:
  CFileDialog(BOOL openDialog, LPCSTR defaultExt = nullptr, LPCSTR fileName = nullptr,
              DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr, CWnd* parent = nullptr);
  virtual ~CFileDialog() = default;
  // IDOK with the chosen path, IDCANCEL otherwise.
  virtual INT_PTR DoModal();
  CString GetPathName() const { return CString(m_file); }
  CString GetFileName() const;
  OPENFILENAMEA m_ofn;

 private:
  BOOL m_open;
  char m_file[MAX_PATH];
  std::string m_filter;
  CString m_defExt;
};
