// Data exchange between a dialog's controls and its members: DoDataExchange runs the DDX_ calls
// in one direction (UpdateData(FALSE) fills the controls, UpdateData(TRUE) reads and checks them).
// A failed check shows a German message, puts the focus on the control and ends the exchange;
// UpdateData then returns FALSE.
#pragma once

#include <windows.h>

#include "CString.h"

class CWnd;

class CDataExchange {
 public:
  CDataExchange(CWnd* dlg, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dlg) {}

  BOOL m_bSaveAndValidate;
  CWnd* m_pDlgWnd;
  int m_idLastControl = 0;
  BOOL m_bEditLastControl = FALSE;

  // The control's window (the exchange fails when the dialog lacks it); remembered for Fail.
  HWND PrepareCtrl(int id);
  HWND PrepareEditCtrl(int id);
  // Focus to the last prepared control and end of the exchange.
  [[noreturn]] void Fail();
  // Shows the message (title: the application's), then Fail.
  [[noreturn]] void Fail(const char* message);

  struct Failure {};
};

void DDX_Text(CDataExchange* dx, int id, CString& value);
// Whole numbers; on reading, anything but an optional sign and digits (blanks around allowed)
// is refused with "Bitte geben Sie eine ganze Zahl ein.".
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
// Check box state: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* dx, int id, int& value);
// A group of radio buttons starting at id (up to the next WS_GROUP): index of the checked one,
// -1 for none.
void DDX_Radio(CDataExchange* dx, int id, int& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// The selected item's text (or the edit text of a combo box with an edit field); on filling,
// the first item beginning with the value is selected, else an edit field gets the value.
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
// Attaches and routes the control through the object the first time (the object is re-attached
// whenever the dialog window is made anew).
void DDX_Control(CDataExchange* dx, int id, CWnd& control);

// Limits the last edit control to count characters on filling; refuses longer texts on reading.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int count);
// Refuses values outside [min, max] on reading.
void DDV_MinMaxInt(CDataExchange* dx, int value, int min, int max);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT min, UINT max);
